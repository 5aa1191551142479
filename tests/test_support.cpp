#include "test_support.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>

#include "store/fixed_text.h"

namespace {

std::atomic<int> folderCounter{0};

}  // namespace

ScratchFolder::ScratchFolder() {
    std::ostringstream name;
    name << "corvelle-test-" << std::chrono::steady_clock::now().time_since_epoch().count() << "-"
         << folderCounter++;
    root_ = std::filesystem::temp_directory_path() / name.str();
    std::filesystem::create_directories(root_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

PathString ScratchFolder::Path(const std::string& name) const {
    return (root_ / std::filesystem::u8path(name)).native();
}

CurrentDirectoryScope::CurrentDirectoryScope(const std::filesystem::path& directory)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(directory);
}

CurrentDirectoryScope::~CurrentDirectoryScope() { std::filesystem::current_path(previous_); }

std::string ReadFileBytes(const PathString& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const PathString& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const PathString& path) { return std::filesystem::exists(std::filesystem::path(path)); }

std::string Gbk(const char* utf8) {
    std::u16string units = std::filesystem::u8path(utf8).u16string();
    return GbkText(units.c_str());
}

ContactRecord Record(std::initializer_list<std::pair<ContactField, std::string>> fields) {
    ContactRecord record = EmptyRecord();
    for (const auto& [field, text] : fields) SetField(record, field, text);
    return record;
}

ContactRecord FilledRecord() {
    ContactRecord record = Record({
        {Surname, Gbk("欧阳")},
        {GivenName, Gbk("小明")},
        {BirthYear, "1985"},
        {BirthMonth, "3"},
        {BirthDay, "7"},
        {QQNumber, "10001"},
        {Email, "xiaoming@example.com"},
        {Mobile, "13800000000"},
        {Nickname, Gbk("阿明")},
        {HomeCountry, Gbk("中国")},
        {HomeProvince, Gbk("河北")},
        {HomeCity, Gbk("石家庄")},
        {HomeStreet, Gbk("中山路 1 号")},
        {HomePostcode, "050000"},
        {HomePhone, "0311-1234567"},
        {HomeFax, "0311-7654321"},
        {WorkCountry, Gbk("中国")},
        {WorkProvince, Gbk("北京")},
        {WorkCity, Gbk("北京")},
        {WorkStreet, Gbk("长安街 100 号")},
        {WorkPostcode, "100000"},
        {WorkPhone, "010-12345678"},
        {WorkFax, "010-87654321"},
        {Company, Gbk("科文通讯设备有限公司北京分公司")},  // 28 bytes
        {Department, Gbk("市场部二组")},
        {JobTitle, Gbk("高级经理")},
    });
    record.Gender = 1;
    return record;
}

ContactRecord Person(const std::string& surname, const std::string& givenName) {
    return Record({{Surname, surname}, {GivenName, givenName}});
}

ContactRecord Contact(const std::string& surname, int32_t group) {
    ContactRecord record = Person(surname);
    record.GroupIndex = group;
    return record;
}

Document NewDocument() {
    Document document;
    ResetDocument(document);
    return document;
}
