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

ContactRecord Person(const std::string& surname, const std::string& givenName) {
    ContactRecord record = EmptyRecord();
    SetField(record, Surname, surname);
    SetField(record, GivenName, givenName);
    return record;
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
