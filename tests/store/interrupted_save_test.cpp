// Saves that go wrong half way: the process killed at any moment of a
// save, or a disk that takes only so many bytes of it. The file on disk
// must always be the whole old file or the whole new one, and a save that
// did not happen must say so. (POSIX only: kill and file-size limits.)
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "csv/csv_writer.h"
#include "random_books.h"
#include "store/address_book_file.h"
#include "store/fixed_text.h"
#include "store/settings_file.h"
#include "test_support.h"
#include "vcard/vcard_writer.h"

namespace {

const Document& FullBook(int which) {
    static const Document books[2] = {RandomBook(FullBookSeeds[0], FullBookSize),
                                      RandomBook(FullBookSeeds[1], FullBookSize)};
    return books[which];
}

std::string FullBookBytes(int which) { return EncodeAddressBook(FullBook(which).groups, FullBook(which).contacts); }

// The names in a folder other than the ones expected: what a save left
// behind.
std::vector<std::string> OtherFiles(const ScratchFolder& folder, const std::vector<std::string>& expected) {
    std::vector<std::string> others;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Root())) {
        std::string name = entry.path().filename().string();
        bool known = false;
        for (const std::string& e : expected) known = known || e == name;
        if (!known) others.push_back(name);
    }
    return others;
}

// corvelle_save_loop, started and waited for until it has built its books.
class SaveLoop {
public:
    explicit SaveLoop(const PathString& book) {
        int fds[2];
        if (pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
        std::string program = CORVELLE_SAVE_LOOP;
        char* argv[] = {&program[0], const_cast<char*>(book.c_str()), nullptr};
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        char ready[6] = {};
        size_t got = 0;
        while (pid_ > 0 && got < sizeof ready) {
            ssize_t n = read(fds[0], ready + got, sizeof ready - got);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        close(fds[0]);
        ready_ = got == sizeof ready;
    }

    bool Ready() const { return pid_ > 0 && ready_; }

    // True when the kill is what ended it (not an error of its own).
    bool Kill() {
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

private:
    pid_t pid_ = -1;
    bool ready_ = false;
};

}  // namespace

TEST(InterruptedSave, AKillAtAnyMomentLeavesTheWholeOldOrTheWholeNewBook) {
    ScratchFolder folder;
    PathString path = folder.Path("book.txl");
    const std::string books[2] = {FullBookBytes(0), FullBookBytes(1)};
    ASSERT_EQ(FullBookSize, RecordCount(FullBook(0).contacts));
    ASSERT_FALSE(books[0] == books[1]);

    // Kills spread over three saves' time, so that they land at every stage
    // of one: encoding, writing, flushing, replacing.
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(1, WriteAddressBook(path, FullBook(0).groups, FullBook(0).contacts));
    auto saveTime = std::chrono::steady_clock::now() - start;
    const int kills = 120;
    int interrupted = 0;
    for (int k = 0; k < kills; ++k) {
        SaveLoop loop(path);
        ASSERT_TRUE(loop.Ready()) << "corvelle_save_loop did not start";
        std::this_thread::sleep_for(saveTime * 3 * k / kills);
        ASSERT_TRUE(loop.Kill()) << "corvelle_save_loop ended on its own";

        std::string onDisk = ReadFileBytes(path);
        bool whole = onDisk == books[0] || onDisk == books[1];
        ASSERT_TRUE(whole) << "kill " << k << " left " << onDisk.size() << " bytes that are neither book";
        Document read;
        ASSERT_EQ(LoadOk, ReadAddressBook(path, read.groups, read.contacts));
        ASSERT_EQ(FullBookSize, RecordCount(read.contacts));
        if (!OtherFiles(folder, {"book.txl"}).empty()) ++interrupted;
    }
    // The test proves something only if kills did land in the middle of saves.
    EXPECT_GT(interrupted, 0);
}

namespace {

// A file the program writes, in an old and a new version. Every writer of
// the program belongs in this table.
struct SavedFile {
    const char* name;
    int (*save)(const PathString& path, int version);  // 1 on success
};

void PrintTo(const SavedFile& file, std::ostream* out) { *out << file.name; }

int SaveBook(const PathString& path, int version) {
    return WriteAddressBook(path, FullBook(version).groups, FullBook(version).contacts);
}

int SaveSettingsVersion(const PathString& path, int version) {
    DisplaySettings settings = DefaultSettings();
    if (version == 1) {
        for (int i = 0; i < ColumnFlagCount; ++i) settings.ColumnFlags[i] = 1;
        CopyToField(settings.DefaultFileName, DefaultFileNameWidth, Gbk("我的通讯录.txl"));
    }
    return SaveSettings(settings, path);
}

int SaveVcard(const PathString& path, int version) {
    return WriteVcardFile(path, RecordAt(FullBook(version).contacts, 0), Utf8Qp);
}

int SaveCsv(const PathString& path, int version) {
    return ExportCsvFile(path, FullBook(version).contacts, false) ? 1 : 0;
}

const SavedFile SavedFiles[] = {
    {"AddressBook", SaveBook},
    {"Settings", SaveSettingsVersion},
    {"Vcard", SaveVcard},
    {"Csv", SaveCsv},
};

// While it lasts, this process may write no file past `limit` bytes, as
// on a disk that fills up: a write past it fails with EFBIG instead of
// raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(size_t limit) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limited = previous_;
        limited.rlim_cur = static_cast<rlim_t>(limit);
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_;
    void (*previousHandler_)(int);
};

int SaveNewWithinLimit(const SavedFile& file, const PathString& path, size_t limit) {
    FileSizeLimit scope(limit);
    return file.save(path, 1);
}

// Every byte count through the header, then around every page boundary
// and a spread of others: wherever the disk fills, inside one write or
// between two.
std::vector<size_t> Limits(size_t size) {
    const size_t page = 4096;
    const size_t everyByte = 400;
    std::vector<size_t> limits;
    for (size_t n = 0; n < size && n < everyByte; ++n) limits.push_back(n);
    for (size_t boundary = page; boundary - 1 < size; boundary += page) {
        for (size_t n : {boundary - 1, boundary, boundary + 1}) if (n < size) limits.push_back(n);
    }
    for (size_t n = everyByte; n < size; n += size / 61 + 1) limits.push_back(n);
    limits.push_back(size - 1);
    return limits;
}

class FailingWrites : public ::testing::TestWithParam<SavedFile> {};

}  // namespace

TEST_P(FailingWrites, AFullDiskIsReportedAndKeepsTheOldFile) {
    const SavedFile& file = GetParam();
    ScratchFolder folder;
    PathString path = folder.Path("saved");
    ASSERT_EQ(1, file.save(folder.Path("new"), 1));
    std::string newBytes = ReadFileBytes(folder.Path("new"));
    ASSERT_EQ(1, file.save(path, 0));
    std::string oldBytes = ReadFileBytes(path);
    ASSERT_FALSE(oldBytes == newBytes);

    for (size_t limit : Limits(newBytes.size())) {
        ASSERT_EQ(0, SaveNewWithinLimit(file, path, limit)) << "reported success with room for " << limit << " bytes";
        ASSERT_TRUE(ReadFileBytes(path) == oldBytes) << "the old file changed with room for " << limit << " bytes";
        ASSERT_TRUE(OtherFiles(folder, {"saved", "new"}).empty()) << "a file was left with room for " << limit << " bytes";
    }
    ASSERT_EQ(1, SaveNewWithinLimit(file, path, newBytes.size()));
    EXPECT_TRUE(ReadFileBytes(path) == newBytes);
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, FailingWrites, ::testing::ValuesIn(SavedFiles),
                         [](const ::testing::TestParamInfo<SavedFile>& info) { return std::string(info.param.name); });
