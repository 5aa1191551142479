// The book's commands on a large book without Google Benchmark, so that the
// Windows build can be timed under Wine beside the native figures of
// corvelle_large_book_benchmarks; and the memory an open book takes.
//
//     large_book_timing [--folder=FOLDER] [REPEATS] [COUNT...]
//         each command at each count (default 10000 100000), the median
//         of REPEATS (default 5) in ms, one line each; CORVELLE_BENCH_ONLY=TEXT
//         times only the commands whose names hold TEXT,
//         CORVELLE_BENCH_BOOK=directory fills the book as a company's
//         directory (FillDirectoryBook) instead of every field full, and
//         CORVELLE_BENCH_ITEMS=1 gives every contact the details of a phone
//     large_book_timing --write-book PATH COUNT
//         writes a book of COUNT full contacts
//     large_book_timing --open-book PATH
//         opens the book as the window does (read, then the pass that
//         fills the list) and prints the book's bytes, the process's peak
//         memory in bytes and their ratio
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "bench/bench_data.h"
#include "csv/csv_reader.h"
#include "csv/csv_writer.h"
#include "listview/filters.h"
#include "store/address_book_file.h"
#include "store/name_order.h"
#include "store/safe_file.h"
#include "vcard/vcard_reader.h"
#include "vcard/vcard_writer.h"

namespace {

std::filesystem::path folder = std::filesystem::temp_directory_path();

PathString PathOf(const std::string& name, int count) {
    return PathFromAscii((folder / (std::to_string(count) + "-" + name)).string().c_str());
}

// The median of `repeats` runs of `work` in ms; `prepare` runs untimed before each.
double MedianMs(int repeats, const std::function<void()>& prepare, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        if (prepare) prepare();
        auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool Wanted(const char* command) {
    const char* only = std::getenv("CORVELLE_BENCH_ONLY");
    return !only || std::string(command).find(only) != std::string::npos;
}

void Print(const char* command, int count, double ms) {
    std::printf("%-28s %7d %10.2f\n", command, count, ms);
    std::fflush(stdout);
}

// CORVELLE_BENCH_BOOK=directory: contacts as a company's directory has
// them, instead of every field full; CORVELLE_BENCH_ITEMS=1: every contact
// also carries the details of a phone's export.
void FillBook(ContactStore& store, int count) {
    const char* book = std::getenv("CORVELLE_BENCH_BOOK");
    if (book && std::string(book) == "directory") {
        FillDirectoryBook(store, count);
    } else {
        FillFullBook(store, count);
    }
    if (std::getenv("CORVELLE_BENCH_ITEMS")) AddFullDetails(store);
}

FilterState SearchOf(const std::string& pattern) {
    FilterState filters{0, 0, pattern, {}};
    for (int32_t& flag : filters.columnFlags) flag = 1;
    return filters;
}

void TimeCommands(int repeats, int count) {
    GroupList groups;
    FillFullGroups(groups);
    ContactStore book;
    FillBook(book, count);

    PathString bookPath = PathOf("book.txl", count);
    WriteAddressBook(bookPath, groups, book);
    if (Wanted("OpenBook")) Print("OpenBook", count, MedianMs(repeats, nullptr, [&] {
              GroupList readGroups;
              ContactStore contacts;
              ReadAddressBook(bookPath, readGroups, contacts);
          }));
    if (Wanted("SaveBook")) Print("SaveBook", count, MedianMs(repeats, nullptr, [&] { WriteAddressBook(bookPath, groups, book); }));

    const char* const patterns[] = {"z", "zs", "zhang", "zhangs", "138", "+86 45678"};
    std::vector<std::string> keystrokes;
    for (const char* pattern : patterns) {
        std::string name = std::string("Keystroke \"") + pattern + "\"";
        if (Wanted(name.c_str())) keystrokes.push_back(pattern);
    }
    ContactStore searched;
    if (Wanted("ShowAllMakingKeys") || !keystrokes.empty()) {
        Print("ShowAllMakingKeys", count, MedianMs(repeats, [&] { FillBook(searched, count); },
                                                   [&] { ApplyFilters(searched, SearchOf("")); }));
    }
    for (const std::string& pattern : keystrokes) {
        FilterState filters = SearchOf(pattern);
        std::string name = "Keystroke \"" + pattern + "\"";
        Print(name.c_str(), count, MedianMs(repeats, nullptr, [&] { ApplyFilters(searched, filters); }));
    }

    ContactStore sorted;
    if (Wanted("SortBook")) Print("SortBook", count, MedianMs(repeats, [&] { FillBook(sorted, count); }, [&] { SortByName(sorted); }));
    if (Wanted("DeleteTicked")) Print("DeleteTicked", count, MedianMs(repeats, [&] {
              FillBook(sorted, count);
              for (size_t i = 0; i < sorted.records.size(); i += 2) sorted.records[i]->CheckFlag = 1;
          },
                                          [&] { RemoveTickedRecords(sorted); }));

    PathString cards = PathOf("cards.vcf", count);
    WriteFileReplacing(cards, MixedVcardText(book));
    // An import adds to the open book; the book imported into is emptied
    // before each run, untimed, as no command frees a whole book.
    Document imported;
    if (Wanted("ImportVcard")) Print("ImportVcard", count, MedianMs(repeats, [&] { imported = Document(); }, [&] {
              ReadVcardFile(cards, imported);
          }));
    PathString csv = PathOf("contacts.csv", count);
    ExportCsvFile(csv, book, false);
    ContactStore csvStore;
    GroupList csvGroups;
    if (Wanted("ImportCsv")) Print("ImportCsv", count, MedianMs(repeats, [&] {
              csvStore = ContactStore();
              csvGroups = GroupList();
          }, [&] { ImportCsvFile(csv, csvStore, csvGroups, {nullptr, nullptr}); }));
    if (Wanted("ExportCsv")) Print("ExportCsv", count, MedianMs(repeats, nullptr, [&] { ExportCsvFile(PathOf("export.csv", count), book, false); }));
    if (Wanted("ExportVcardOneFile")) Print("ExportVcardOneFile", count, MedianMs(repeats, nullptr, [&] {
              WriteVcardCardsFile(PathOf("export.vcf", count), book, Utf8Qp, &groups);
          }));
}

unsigned long long PeakMemoryBytes() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
#else
    struct rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<unsigned long long>(usage.ru_maxrss) * 1024;  // Linux gives KiB
#endif
}

int OpenBook(const char* path) {
    GroupList groups;
    ContactStore contacts;
    PathString book = PathFromAscii(path);
    if (ReadAddressBook(book, groups, contacts) != LoadOk) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return 1;
    }
    ApplyFilters(contacts, SearchOf(""));
    unsigned long long bytes = std::filesystem::file_size(path);
    unsigned long long peak = PeakMemoryBytes();
    std::printf("contacts %d book %llu peak %llu ratio %.2f\n", RecordCount(contacts), bytes, peak,
                static_cast<double>(peak) / static_cast<double>(bytes));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    TakeFolderOption(argc, argv, folder);
    if (argc == 4 && std::string(argv[1]) == "--write-book") {
        GroupList groups;
        FillFullGroups(groups);
        ContactStore book;
        FillBook(book, std::atoi(argv[3]));
        return WriteAddressBook(PathFromAscii(argv[2]), groups, book) ? 0 : 1;
    }
    if (argc == 3 && std::string(argv[1]) == "--open-book") return OpenBook(argv[2]);
    int repeats = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<int> counts;
    for (int i = 2; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
    if (counts.empty()) counts = {10000, 100000};
    std::printf("%-28s %7s %10s\n", "command", "count", "median ms");
    for (int count : counts) TimeCommands(repeats, count);
    return 0;
}
