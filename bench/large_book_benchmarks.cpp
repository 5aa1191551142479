// How the book's commands grow with its size: each at 512, 10,000 and
// 100,000 full contacts, so that tools/bench.sh can print the ratio from
// the smallest to the largest.
//
//     corvelle_large_book_benchmarks [--folder=FOLDER] [--benchmark_...]
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

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

std::filesystem::path parentFolder = std::filesystem::temp_directory_path();

std::filesystem::path Folder() {
    static std::filesystem::path root = [] {
        std::filesystem::path path = parentFolder / ("corvelle-large-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return root;
}

PathString PathOf(const std::string& name, int count) {
    return PathFromAscii((Folder() / (std::to_string(count) + "-" + name)).string().c_str());
}

// One book of each size, made once.
const ContactStore& Book(int count) {
    static std::map<int, ContactStore> books;
    ContactStore& store = books[count];
    if (RecordCount(store) != count) FillFullBook(store, count);
    return store;
}

const GroupList& Groups() {
    static GroupList groups;
    if (GroupCount(groups) == 0) FillFullGroups(groups);
    return groups;
}

int Count(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

void OpenBook(benchmark::State& state) {
    PathString path = PathOf("open.txl", Count(state));
    WriteAddressBook(path, Groups(), Book(Count(state)));
    for (auto _ : state) {
        GroupList groups;
        ContactStore contacts;
        benchmark::DoNotOptimize(ReadAddressBook(path, groups, contacts));
    }
}

void SaveBook(benchmark::State& state) {
    PathString path = PathOf("save.txl", Count(state));
    for (auto _ : state) benchmark::DoNotOptimize(WriteAddressBook(path, Groups(), Book(Count(state))));
}

// One keystroke's filter pass over every field and the row the list then
// asks for last, in a book whose list was filled: the hard case is the
// first letter over the whole book.
void Keystroke(benchmark::State& state, const std::string& pattern) {
    ContactStore store;
    FillFullBook(store, Count(state));
    FilterState filters{0, 0, pattern, {}};
    for (int32_t& flag : filters.columnFlags) flag = 1;
    // The list was filled once the book was open, which made the search keys.
    FilterState everyone = filters;
    everyone.pattern.clear();
    ApplyFilters(store, everyone);
    int shown = 0;
    for (auto _ : state) {
        shown = ApplyFilters(store, filters);
        benchmark::DoNotOptimize(ShownRecordAt(store, shown - 1));
    }
    state.counters["shown"] = shown;
}

// The pass with nothing typed that fills the list once the book is open:
// it makes every record's search key.
void ShowAllMakingKeys(benchmark::State& state) {
    FilterState filters{0, 0, "", {}};
    for (auto _ : state) {
        state.PauseTiming();
        ContactStore store;
        FillFullBook(store, Count(state));
        state.ResumeTiming();
        benchmark::DoNotOptimize(ApplyFilters(store, filters));
    }
}

void SortBook(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ContactStore store;
        FillFullBook(store, Count(state));
        state.ResumeTiming();
        SortByName(store);
    }
}

// "全选" then "删除选中" with every other contact ticked.
void DeleteTicked(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ContactStore store;
        FillFullBook(store, Count(state));
        state.ResumeTiming();
        for (size_t i = 0; i < store.records.size(); i += 2) store.records[i]->CheckFlag = 1;
        benchmark::DoNotOptimize(RemoveTickedRecords(store));
    }
}

void ImportVcard(benchmark::State& state) {
    PathString path = PathOf("cards.vcf", Count(state));
    WriteFileReplacing(path, MixedVcardText(Book(Count(state))));
    int imported = 0;
    for (auto _ : state) {
        Document book;
        imported = ReadVcardFile(path, book).imported;
        state.PauseTiming();  // no command frees a whole book
        book = Document();
        state.ResumeTiming();
    }
    if (imported != Count(state)) state.SkipWithError("not every card was imported");
}

void ImportCsv(benchmark::State& state) {
    PathString path = PathOf("contacts.csv", Count(state));
    ExportCsvFile(path, Book(Count(state)), false);
    int imported = 0;
    for (auto _ : state) {
        ContactStore store;
        GroupList groups;
        imported = ImportCsvFile(path, store, groups, {nullptr, nullptr}).imported;
        state.PauseTiming();
        store = ContactStore();
        state.ResumeTiming();
    }
    if (imported != Count(state)) state.SkipWithError("not every line was imported");
}

void ExportCsv(benchmark::State& state) {
    PathString path = PathOf("export.csv", Count(state));
    for (auto _ : state) benchmark::DoNotOptimize(ExportCsvFile(path, Book(Count(state)), false));
}

void ExportVcardOneFile(benchmark::State& state) {
    PathString path = PathOf("export.vcf", Count(state));
    for (auto _ : state) benchmark::DoNotOptimize(WriteVcardCardsFile(path, Book(Count(state)), Utf8Qp, &Groups()));
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(512)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(OpenBook)->Apply(Sizes);
BENCHMARK(SaveBook)->Apply(Sizes);
BENCHMARK_CAPTURE(Keystroke, letter, std::string("z"))->Apply(Sizes);
BENCHMARK_CAPTURE(Keystroke, initials, std::string("zs"))->Apply(Sizes);
BENCHMARK_CAPTURE(Keystroke, pinyin, std::string("zhangs"))->Apply(Sizes);
BENCHMARK_CAPTURE(Keystroke, digits, std::string("138"))->Apply(Sizes);
// Searches that every contact of the book passes, each found in its texts.
BENCHMARK_CAPTURE(Keystroke, pinyin_everyone, std::string("zhang"))->Apply(Sizes);
BENCHMARK_CAPTURE(Keystroke, digits_everyone, std::string("+86 45678"))->Apply(Sizes);
BENCHMARK(ShowAllMakingKeys)->Apply(Sizes);
BENCHMARK(SortBook)->Apply(Sizes);
BENCHMARK(DeleteTicked)->Apply(Sizes);
BENCHMARK(ImportVcard)->Apply(Sizes);
BENCHMARK(ImportCsv)->Apply(Sizes);
BENCHMARK(ExportCsv)->Apply(Sizes);
BENCHMARK(ExportVcardOneFile)->Apply(Sizes);

int main(int argc, char** argv) {
    TakeFolderOption(argc, argv, parentFolder);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
    return 0;
}
