// Writes the seed corpora of the harnesses with the program's own writers:
// small, valid files from which the fuzzer starts.
// Usage: corvelle_seed_writer CORPUS_FOLDER (fuzz/corpus)
#include <cstdio>
#include <filesystem>
#include <string>

#include "store/address_book_file.h"
#include "store/fixed_text.h"
#include "store/settings_file.h"

namespace {

std::string Gbk(const char16_t* text) { return GbkText(text); }

bool Save(const std::string& path, const Document& document) {
    return WriteAddressBook(path, document.groups, document.contacts) == 1;
}

bool WriteBooks(const std::string& folder) {
    Document document;
    ResetDocument(document, DocumentViews{nullptr, nullptr, nullptr, nullptr});
    bool ok = Save(folder + "/new.txl", document);

    ContactRecord zhang = EmptyRecord();
    SetField(zhang, Surname, Gbk(u"张"));
    SetField(zhang, GivenName, Gbk(u"三"));
    SetField(zhang, Mobile, "13800138000");
    SetField(zhang, BirthYear, "1985");
    SetField(zhang, BirthMonth, "7");
    SetField(zhang, BirthDay, "21");
    SetField(zhang, HomeCity, Gbk(u"北京"));
    SetField(zhang, Email, "zhang@example.com");
    zhang.GroupIndex = 2;
    AppendRecord(document.contacts, zhang);
    ContactRecord li = EmptyRecord();
    SetField(li, Surname, Gbk(u"李"));
    SetField(li, Company, Gbk(u"某某科技有限公司"));
    li.Gender = 1;
    li.GroupIndex = 3;
    AppendRecord(document.contacts, li);
    ok = Save(folder + "/two_contacts.txl", document) && ok;

    // Every field full, odd genders and groups, an empty group name.
    ContactRecord full = EmptyRecord();
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText) SetField(full, info.field, std::string(info.width, static_cast<char>('A' + f)));
    }
    full.Gender = -1;
    full.GroupIndex = 99;
    AppendRecord(document.contacts, full);
    AppendGroup(document.groups, "");
    AppendGroup(document.groups, Gbk(u"一二三四五六七") + "x");
    ok = Save(folder + "/full_fields.txl", document) && ok;

    ClearGroups(document.groups);
    ok = Save(folder + "/no_groups.txl", document) && ok;
    return ok;
}

bool WriteSettings(const std::string& folder) {
    DisplaySettings settings = DefaultSettings();
    bool ok = SaveSettings(settings, folder + "/default.dat") == 1;
    for (int i = 0; i < ColumnFlagCount; ++i) settings.ColumnFlags[i] = i % 2;
    CopyToField(settings.DefaultFileName, DefaultFileNameWidth, Gbk(u"我的通讯录.txl"));
    return SaveSettings(settings, folder + "/chosen.dat") == 1 && ok;
}

// The seeds of each harness, written into corpus/HARNESS/.
struct SeedSet {
    const char* harness;
    bool (*write)(const std::string& folder);
};

const SeedSet SeedSets[] = {
    {"address_book", WriteBooks},
    {"settings", WriteSettings},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvelle_seed_writer CORPUS_FOLDER\n");
        return 2;
    }
    bool ok = true;
    for (const SeedSet& set : SeedSets) {
        std::string folder = std::string(argv[1]) + "/" + set.harness;
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (!set.write(folder)) {
            std::fprintf(stderr, "corvelle_seed_writer: cannot write the seeds in %s\n", folder.c_str());
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
