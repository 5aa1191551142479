// Timings of the portable core on a full book: the book file, the vCard
// and CSV exchanges, and one pass of the quick search.
//
//     corvelle_benchmarks [--folder=FOLDER] [--benchmark_...]
//     corvelle_benchmarks --write-vcard-file=PATH   writes the 512-card file and exits
//     corvelle_benchmarks --write-phone-vcard-file=PATH   the same cards as a phone writes them
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <string>
#include <utility>

#include "bench/bench_data.h"
#include "csv/csv_reader.h"
#include "csv/csv_writer.h"
#include "listview/filters.h"
#include "store/address_book_file.h"
#include "store/fixed_text.h"
#include "store/safe_file.h"
#include "vcard/vcard_export.h"
#include "vcard/vcard_reader.h"

namespace {

// Where the files are written: the system's temporary folder unless
// --folder= names another (a disk, or a RAM disk where flushing to the disk
// costs nothing).
std::filesystem::path parentFolder = std::filesystem::temp_directory_path();

// A folder of its own, removed at exit.
struct Scratch {
    std::filesystem::path root;
    Scratch() {
        root = parentFolder / ("corvelle-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    PathString Path(const char* name) const { return PathFromAscii((root / name).string().c_str()); }
};

Scratch& Folder() {
    static Scratch scratch;
    return scratch;
}

const ContactStore& FullBook() {
    static ContactStore store;
    if (RecordCount(store) == 0) FillFullBook(store);
    return store;
}

const GroupList& FullGroups() {
    static GroupList groups;
    if (GroupCount(groups) == 0) FillFullGroups(groups);
    return groups;
}

// Counts go through DoNotOptimize as const: built with GCC, its overload
// for a non-const value may leave garbage in it, and the check below fails.
void Require(bool condition, benchmark::State& state, const char* what) {
    if (!condition) state.SkipWithError(what);
}

void ReadAddressBook512(benchmark::State& state) {
    PathString path = Folder().Path("read.txl");
    if (!WriteAddressBook(path, FullGroups(), FullBook())) return state.SkipWithError("cannot write the book");
    GroupList groups;
    ContactStore contacts;
    for (auto _ : state) {
        LoadResult result = ReadAddressBook(path, groups, contacts);
        benchmark::DoNotOptimize(std::as_const(result));
    }
    Require(RecordCount(contacts) == BenchContacts, state, "the book did not read back whole");
}

void WriteAddressBook512(benchmark::State& state) {
    PathString path = Folder().Path("write.txl");
    for (auto _ : state) {
        int written = WriteAddressBook(path, FullGroups(), FullBook());
        benchmark::DoNotOptimize(std::as_const(written));
    }
}

// Encoding alone, without the file system: what the write costs in the
// program itself.
void EncodeAddressBook512(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(EncodeAddressBook(FullGroups(), FullBook()));
}

// A card file written once, on first use, into the benchmark's folder.
PathString CardFile(PathString& path, const char* name, std::string (*text)(const ContactStore&)) {
    if (path.empty()) {
        path = Folder().Path(name);
        WriteFileReplacing(path, text(FullBook()));
    }
    return path;
}

PathString VcardFilePath() {
    static PathString path;
    return CardFile(path, "cards.vcf", MixedVcardText);
}

PathString PhoneVcardFilePath() {
    static PathString path;
    return CardFile(path, "phone.vcf", PhoneVcardText);
}

void ReadCards(benchmark::State& state, const PathString& path) {
    int imported = 0;
    for (auto _ : state) {
        Document book;
        imported = ReadVcardFile(path, book).imported;
        benchmark::DoNotOptimize(std::as_const(imported));
    }
    Require(imported == BenchContacts, state, "not every card was imported");
}

void ReadVcardFile512(benchmark::State& state) { ReadCards(state, VcardFilePath()); }
void ReadPhoneVcardFile512(benchmark::State& state) { ReadCards(state, PhoneVcardFilePath()); }

// The floor of reading the file at all: its bytes read and its lines
// counted, as wc -l does.
void CountVcardLines512(benchmark::State& state) {
    PathString path = VcardFilePath();
    long lines = 0;
    for (auto _ : state) {
        FILE* file = OpenFile(path, "rb");
        char buffer[1 << 16];
        lines = 0;
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            for (size_t i = 0; i < n; ++i) lines += buffer[i] == '\n';
        }
        std::fclose(file);
        benchmark::DoNotOptimize(std::as_const(lines));
    }
    state.counters["lines"] = static_cast<double>(lines);
}

void ExportVcardFiles512(benchmark::State& state) {
    PathString directory = Folder().Path("export");
    std::filesystem::create_directories(PathToUtf8(directory));
    VcardEncoding encoding = VcardEncodingFromValue(static_cast<int>(state.range(0)));
    int written = 0;
    for (auto _ : state) written = ExportVcardFiles(FullBook(), directory, encoding, ExportAll).written;
    Require(written == BenchContacts, state, "not every contact was exported");
}

PathString CsvFilePath() {
    static PathString path;
    if (path.empty()) {
        path = Folder().Path("contacts.csv");
        ExportCsvFile(path, FullBook(), false);
    }
    return path;
}

// Imports the file into an empty book, over and over.
void TimeCsvImport(benchmark::State& state, const PathString& path) {
    int imported = 0;
    for (auto _ : state) {
        ContactStore store;
        GroupList groups;
        imported = ImportCsvFile(path, store, groups, {nullptr, nullptr}).imported;
        benchmark::DoNotOptimize(std::as_const(imported));
    }
    Require(imported == BenchContacts, state, "not every line was imported");
}

void ImportCsvFile512(benchmark::State& state) { TimeCsvImport(state, CsvFilePath()); }

// The same contacts as Google exports them: the layout recognised, typed
// phones placed, labels made into groups.
void ImportGoogleCsvFile512(benchmark::State& state) {
    static PathString path;
    if (path.empty()) {
        path = Folder().Path("google.csv");
        WriteFileReplacing(path, GoogleCsvText(FullBook()));
    }
    TimeCsvImport(state, path);
}

void ExportCsvFile512(benchmark::State& state) {
    PathString path = Folder().Path("export.csv");
    for (auto _ : state) {
        bool written = ExportCsvFile(path, FullBook(), false);
        benchmark::DoNotOptimize(std::as_const(written));
    }
}

// Typical searches over every text, all 17 columns shown: a surname that
// many contacts carry, a digit pair, a pair of ASCII letters (also read as
// pinyin), a pair of characters that no contact has, which must look at
// every text of every contact, pinyin initials and a mix, and a phone
// number written with separators.
struct Search {
    const char* label;
    std::string pattern;
};

const Search& SearchAt(int index) {
    static const Search searches[] = {
        {"surname", GbkText(u"张")},
        {"digits", "12"},
        {"letters", "ab"},
        {"nowhere", GbkText(u"冇")},
        {"initials", "zs"},
        {"pinyin", "zhangs"},
        {"phone", "138-0013"},
    };
    return searches[index];
}

void FilterPass512(benchmark::State& state) {
    const Search& search = SearchAt(static_cast<int>(state.range(0)));
    FilterState filters{0, 0, search.pattern, {}};
    for (int32_t& flag : filters.columnFlags) flag = 1;
    const ContactStore& store = FullBook();
    int shown = 0;
    for (auto _ : state) {
        shown = 0;
        SearchQuery query = PrepareSearch(filters.pattern);  // once a pass, as RefreshList does
        for (const auto& record : store.records) shown += PassesFilters(*record, filters, query);
        benchmark::DoNotOptimize(std::as_const(shown));
    }
    state.SetLabel(search.label);
    state.counters["shown"] = shown;
}

// The pass as the list runs it: the search keys sift the records first
// (made by the first pass, as opening the book does), then the records that
// may match are checked as above.
void ApplyFilters512(benchmark::State& state) {
    const Search& search = SearchAt(static_cast<int>(state.range(0)));
    FilterState filters{0, 0, search.pattern, {}};
    for (int32_t& flag : filters.columnFlags) flag = 1;
    static ContactStore store;
    if (RecordCount(store) == 0) FillFullBook(store);
    FilterState everything = filters;
    everything.pattern.clear();
    ApplyFilters(store, everything);
    int shown = 0;
    for (auto _ : state) {
        shown = ApplyFilters(store, filters);
        benchmark::DoNotOptimize(std::as_const(shown));
    }
    state.SetLabel(search.label);
    state.counters["shown"] = shown;
}

}  // namespace

BENCHMARK(ReadAddressBook512)->Name("ReadAddressBook/512")->Unit(benchmark::kMicrosecond);
BENCHMARK(WriteAddressBook512)->Name("WriteAddressBook/512")->Unit(benchmark::kMicrosecond);
BENCHMARK(EncodeAddressBook512)->Name("EncodeAddressBook/512")->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadVcardFile512)->Name("ReadVcardFile/512")->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadPhoneVcardFile512)->Name("ReadPhoneVcardFile/512")->Unit(benchmark::kMicrosecond);
BENCHMARK(CountVcardLines512)->Name("CountVcardLines/512")->Unit(benchmark::kMicrosecond);
BENCHMARK(ExportVcardFiles512)->Name("ExportVcardFiles/512")->DenseRange(0, VcardEncodingCount - 1)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(ImportCsvFile512)->Name("ImportCsvFile/512")->Unit(benchmark::kMicrosecond);
BENCHMARK(ImportGoogleCsvFile512)->Name("ImportGoogleCsvFile/512")->Unit(benchmark::kMicrosecond);
BENCHMARK(ExportCsvFile512)->Name("ExportCsvFile/512")->Unit(benchmark::kMicrosecond);
BENCHMARK(FilterPass512)->Name("FilterPass/512")->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);
BENCHMARK(ApplyFilters512)->Name("ApplyFilters/512")->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    const char writeOption[] = "--write-vcard-file=";
    if (argc == 2 && std::strncmp(argv[1], writeOption, sizeof writeOption - 1) == 0) {
        return WriteFileReplacing(PathFromAscii(argv[1] + sizeof writeOption - 1), MixedVcardText(FullBook())) ? 0 : 1;
    }
    const char writePhoneOption[] = "--write-phone-vcard-file=";
    if (argc == 2 && std::strncmp(argv[1], writePhoneOption, sizeof writePhoneOption - 1) == 0) {
        PathString path = PathFromAscii(argv[1] + sizeof writePhoneOption - 1);
        return WriteFileReplacing(path, PhoneVcardText(FullBook())) ? 0 : 1;
    }
    TakeFolderOption(argc, argv, parentFolder);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
