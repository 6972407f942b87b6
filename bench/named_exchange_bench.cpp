// Import of 100,000 records from CSV with field names and of 10,000 vCards
// (index rebuild included), and their exports.

#include "exchange/delimited_import.h"
#include "exchange/field_names.h"
#include "exchange/named_export.h"
#include "exchange/vcard_import.h"
#include "store/address_file.h"
#include "support/sample_addresses.h"

#include <benchmark/benchmark.h>

namespace {

using namespace qp;

constexpr std::uint32_t kCsvRecords = 100000;
constexpr std::uint32_t kCards = 10000;

// A file of `count` records written by the export of a sample table.
std::string sampleFile(exchange::NamedFormat format, std::uint32_t count) {
    static testing::TempDir dir;
    const std::string tag = std::to_string(int(format)) + "-" + std::to_string(count);
    std::string dbf = dir.file("source" + tag + ".dbf");
    if (!testing::SampleAddresses::writeTable(dbf, count, false))
        std::abort();
    auto table = store::openAddressFile(dbf, store::OpenMode::Exclusive);
    table->setDeleted(false);
    (void)table->setQuery("");
    std::string path = dir.file("sample" + tag + ".txt");
    auto out = exchange::copyRecordsNamed(*table, format, path, {true, ','},
                                          {store::SelectionChoice::Filter});
    if (!out.ok || out.copied != count)
        std::abort();
    return path;
}

template <typename Import>
void importInto(benchmark::State& state, std::uint32_t expected, Import import) {
    testing::TempDir dir;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string target = dir.file("import" + std::to_string(round++) + ".dbf");
        if (!store::createAddressFile(target, {}))
            std::abort();
        auto table = store::openAddressFile(target, store::OpenMode::Exclusive);
        state.ResumeTiming();
        auto outcome = import(*table);
        if (!exchange::rebuildAfterImport(*table) || outcome.imported != expected)
            state.SkipWithError("import failed");
    }
}

// Format detection, the scan with its proposals, the import and the index.
void BM_ImportCsvWithNames(benchmark::State& state) {
    static const std::string csv = sampleFile(exchange::NamedFormat::CsvWithNames, kCsvRecords);
    importInto(state, kCsvRecords, [&](store::Table& table) {
        auto format = exchange::detectDelimitedFormat(csv);
        auto scan = exchange::scanDelimitedFile(csv, format);
        return exchange::importDelimitedRecords(table, csv, format, scan.fields,
                                                exchange::namedImportFields());
    });
}
BENCHMARK(BM_ImportCsvWithNames)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportVCards(benchmark::State& state) {
    static const std::string vcf = sampleFile(exchange::NamedFormat::VCard, kCards);
    importInto(state, kCards,
               [&](store::Table& table) { return exchange::importVCards(table, vcf); });
}
BENCHMARK(BM_ImportVCards)->Unit(benchmark::kMillisecond)->Iterations(3);

void exportAs(benchmark::State& state, exchange::NamedFormat format) {
    testing::TempDir dir;
    std::string dbf = dir.file("source.dbf");
    if (!testing::SampleAddresses::writeTable(dbf, kCsvRecords, true))
        std::abort();
    auto table = store::openAddressFile(dbf, store::OpenMode::Exclusive);
    (void)table->setOrder(table->tagArea("LNAME"));
    (void)table->setQuery("!ISDEL");
    for (auto _ : state) {
        auto out = exchange::copyRecordsNamed(*table, format, dir.file("out"));
        benchmark::DoNotOptimize(out.copied);
    }
}
void BM_ExportCsvWithNames(benchmark::State& state) {
    exportAs(state, exchange::NamedFormat::CsvWithNames);
}
void BM_ExportVCards(benchmark::State& state) {
    exportAs(state, exchange::NamedFormat::VCard);
}
BENCHMARK(BM_ExportCsvWithNames)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportVCards)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
BENCHMARK_MAIN();
