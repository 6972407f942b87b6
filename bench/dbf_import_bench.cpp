// Import of a 100,000-record FoxPro table with memos written by another
// program (field names of its own, a date, a number, a memo on every
// record), index rebuild included, and the record loop alone.

#include "exchange/dbf_import.h"
#include "store/address_file.h"
#include "support/sample_addresses.h"

#include <benchmark/benchmark.h>

namespace {

using namespace qp;

constexpr std::uint32_t kRecords = 100000;

const std::string& sampleSource() {
    static testing::TempDir dir;
    static std::string path;
    if (!path.empty())
        return path;
    path = dir.file("CUSTOMER.DBF");
    const std::vector<store::FieldSpec> fields{
        {"LNAME", 'C', 30, 0},   {"FNAME", 'C', 30, 0},   {"COMPANY", 'C', 30, 0},
        {"ADDRESS", 'C', 40, 0}, {"CITY", 'C', 30, 0},    {"STATE", 'C', 2, 0},
        {"ZIP", 'C', 10, 0},     {"PHONE", 'C', 20, 0},   {"EMAIL", 'C', 40, 0},
        {"SINCE", 'C', 8, 0},    {"BALANCE", 'N', 10, 2}, {"NOTES", 'M', 10, 0}};
    if (!store::Table::create(path, fields))
        std::abort();
    auto table = store::Table::open(path, store::OpenMode::Exclusive);
    if (!table)
        std::abort();
    testing::SampleAddresses samples;
    for (std::uint32_t i = 0; i < kRecords; ++i) {
        auto a = samples.next();
        const std::pair<const char*, std::string> values[] = {
            {"LNAME", a.lname},
            {"FNAME", a.fname},
            {"COMPANY", a.org},
            {"ADDRESS", a.street},
            {"CITY", a.city},
            {"STATE", a.state},
            {"ZIP", a.zip},
            {"PHONE", a.phone},
            {"EMAIL", a.email},
            {"SINCE", a.date},
            {"BALANCE", std::to_string(i % 997) + ".25"},
            {"NOTES", "Customer " + std::to_string(i) + "\r\nCall before delivery."}};
        if (!table->append())
            std::abort();
        for (const auto& [name, value] : values)
            if (!value.empty() && !table->replace(name, value))
                std::abort();
        if (!table->post())
            std::abort();
    }
    return path;
}

// With the index rebuild (`rebuild`) or the record loop alone.
void importDbf(benchmark::State& state, bool rebuild) {
    testing::TempDir dir;
    const std::string& source = sampleSource();
    auto offered = exchange::dbfImportFields();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string target = dir.file("import" + std::to_string(round++) + ".dbf");
        if (!store::createAddressFile(target, {}))
            std::abort();
        auto table = store::openAddressFile(target, store::OpenMode::Exclusive);
        state.ResumeTiming();
        auto src = exchange::openImportSource(source, table->path());
        if (!src)
            std::abort();
        auto fields = exchange::sourceMatchFields(*src);
        exchange::proposeMatches(fields, offered);
        exchange::matchDbfField(fields, 2, 5); // COMPANY into Organization
        exchange::matchDbfField(fields, 3, 6); // ADDRESS into Address 1
        auto outcome = exchange::importDbfRecords(*table, *src, fields, offered);
        if ((rebuild && !exchange::rebuildAfterImport(*table)) || outcome.imported != kRecords)
            state.SkipWithError("import failed");
    }
}
void BM_ImportFoxProTable(benchmark::State& state) {
    importDbf(state, true);
}
void BM_ImportFoxProLoopOnly(benchmark::State& state) {
    importDbf(state, false);
}
BENCHMARK(BM_ImportFoxProTable)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportFoxProLoopOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
