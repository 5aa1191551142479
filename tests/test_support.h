// Fixtures shared by the test suites: scratch folders, files as bytes,
// records in a line.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "store/contact_record.h"
#include "store/document.h"

// A fresh, empty folder that is removed again with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The full path of a name inside the folder.
    PathString Path(const std::string& name) const;
    const std::filesystem::path& Root() const { return root_; }

private:
    std::filesystem::path root_;
};

// Makes the scratch folder the current directory for the object's life.
class CurrentDirectoryScope {
public:
    explicit CurrentDirectoryScope(const std::filesystem::path& directory);
    ~CurrentDirectoryScope();

private:
    std::filesystem::path previous_;
};

std::string ReadFileBytes(const PathString& path);
void WriteFileBytes(const PathString& path, const std::string& bytes);
bool FileExists(const PathString& path);

// Skips a test whose files are missing, except under .ci/run
// (CORVELLE_CI set), where a missing file is a failure: a skip there would
// prove nothing.
#define SKIP_UNLESS_PRESENT(path)                                                    \
    if (!std::filesystem::exists(path)) {                                             \
        if (std::getenv("CORVELLE_CI")) FAIL() << (path) << " is missing";            \
        GTEST_SKIP() << (path) << " is missing";                                      \
    }

// GBK bytes of a UTF-8 literal, for readable expectations.
std::string Gbk(const char* utf8);

// A record with a surname and a given name, everything else empty.
ContactRecord Person(const std::string& surname, const std::string& givenName = std::string());

// A record with these texts (already GBK), everything else empty.
ContactRecord Record(std::initializer_list<std::pair<ContactField, std::string>> fields);

// Every text field filled with Chinese or ASCII that CSV and every vCard
// encoding carry back whole (the nickname only the phone form), female
// (1), born 1985-3-7, a 28-byte company.
ContactRecord FilledRecord();

// A contact with a surname, in a group.
ContactRecord Contact(const std::string& surname, int32_t group = 0);

// A document with the five default groups and no contacts.
Document NewDocument();
