// Import of 100,000 text lines (index rebuild included) and export of them.

#include "exchange/ascii_import.h"
#include "exchange/copy_out.h"
#include "store/address_file.h"
#include "support/sample_addresses.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

namespace {

using namespace qp;

constexpr std::uint32_t kRecords = 100000;

// A text file of kRecords lines written by the export of a sample table.
const std::string& sampleText() {
    static testing::TempDir dir;
    static std::string path;
    if (!path.empty())
        return path;
    std::string dbf = dir.file("source.dbf");
    if (!testing::SampleAddresses::writeTable(dbf, kRecords, false))
        std::abort();
    auto table = store::openAddressFile(dbf, store::OpenMode::Exclusive);
    table->setDeleted(false);
    path = dir.file("sample.txt");
    (void)table->setQuery("");
    auto out = exchange::copyRecordsOut(*table, exchange::CopyFormat::Text, path,
                                        {store::SelectionChoice::Filter});
    if (!out.ok || out.copied != kRecords)
        std::abort();
    return path;
}

std::vector<exchange::ImportField> allMatched() {
    std::vector<exchange::ImportField> fields;
    for (std::size_t i = 0; i < exchange::kTextOrder.size(); ++i) {
        auto label = exchange::labelOf(exchange::kTextOrder[i]).value_or("");
        fields.push_back({"Field " + std::to_string(i + 1), 0, label});
    }
    return fields;
}

// With the index rebuild (`rebuild`) or the record loop alone.
void importText(benchmark::State& state, bool rebuild) {
    testing::TempDir dir;
    const std::string& text = sampleText();
    auto fields = allMatched();
    auto offered = exchange::defaultImportFields();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string target = dir.file("import" + std::to_string(round++) + ".dbf");
        if (!store::createAddressFile(target, {}))
            std::abort();
        auto table = store::openAddressFile(target, store::OpenMode::Exclusive);
        state.ResumeTiming();
        auto outcome = exchange::importAsciiRecords(*table, text, fields, offered);
        if ((rebuild && !exchange::rebuildAfterImport(*table)) || outcome.imported != kRecords)
            state.SkipWithError("import failed");
    }
}
void BM_ImportText(benchmark::State& state) {
    importText(state, true);
}
void BM_ImportLoopOnly(benchmark::State& state) {
    importText(state, false);
}
BENCHMARK(BM_ImportText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportLoopOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportText(benchmark::State& state) {
    testing::TempDir dir;
    std::string dbf = dir.file("source.dbf");
    if (!testing::SampleAddresses::writeTable(dbf, kRecords, true))
        std::abort();
    auto table = store::openAddressFile(dbf, store::OpenMode::Exclusive);
    (void)table->setOrder(table->tagArea("LNAME"));
    (void)table->setQuery("!ISDEL");
    for (auto _ : state) {
        auto out =
            exchange::copyRecordsOut(*table, exchange::CopyFormat::Text, dir.file("out.txt"));
        benchmark::DoNotOptimize(out.copied);
    }
}
BENCHMARK(BM_ExportText)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportDbf(benchmark::State& state) {
    testing::TempDir dir;
    std::string dbf = dir.file("source.dbf");
    if (!testing::SampleAddresses::writeTable(dbf, kRecords, true))
        std::abort();
    auto table = store::openAddressFile(dbf, store::OpenMode::Exclusive);
    (void)table->setOrder(table->tagArea("LNAME"));
    (void)table->setQuery("!ISDEL");
    int round = 0;
    for (auto _ : state) {
        auto out = exchange::copyRecordsOut(*table, exchange::CopyFormat::Dbf,
                                            dir.file("out" + std::to_string(round++) + ".dbf"));
        benchmark::DoNotOptimize(out.copied);
    }
}
BENCHMARK(BM_ExportDbf)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
BENCHMARK_MAIN();
