// The table engine on 100,000 address-shaped records: appends, the 26 tag
// builds, a pack, seeks, a query count, a filtered walk in last-name order
// and a sequential read. QUILLPOST_BENCH_RECORDS=1000000 runs the same on a
// million records (minutes, and about 2 GB of disk; not for CI).

#include "store/address_file.h"
#include "store/address_schema.h"
#include "store/table.h"
#include "support/sample_addresses.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>

using namespace qp::store;
using qp::testing::SampleAddresses;
using qp::testing::TempDir;

namespace {

const std::uint32_t kRecords = [] {
    const char* wanted = std::getenv("QUILLPOST_BENCH_RECORDS");
    long n = wanted ? std::strtol(wanted, nullptr, 10) : 0;
    return n > 0 ? static_cast<std::uint32_t>(n) : std::uint32_t(100000);
}();

// One table with all tags, made once and shared by the read benchmarks.
const std::string& sharedTable() {
    static TempDir dir;
    static std::string path = [] {
        std::string p = dir.file("bench.dbf");
        if (auto st = SampleAddresses::writeTable(p, kRecords, true); !st)
            throw std::runtime_error(st.error());
        return p;
    }();
    return path;
}

void BM_AppendWithoutIndexes(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        TempDir dir;
        std::string path = dir.file("append.dbf");
        (void)Table::create(path, SampleAddresses::fieldSpecs());
        auto t = Table::open(path, OpenMode::Exclusive);
        SampleAddresses gen;
        std::vector<qp::testing::SampleAddress> rows;
        for (std::uint32_t i = 0; i < kRecords; ++i)
            rows.push_back(gen.next());
        state.ResumeTiming();
        for (const auto& a : rows) {
            (void)SampleAddresses::append(*t, a);
            (void)t->post();
        }
    }
}
BENCHMARK(BM_AppendWithoutIndexes)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_BuildAll26Tags(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        TempDir dir;
        std::string path = dir.file("tags.dbf");
        (void)SampleAddresses::writeTable(path, kRecords, false);
        auto t = Table::open(path, OpenMode::Exclusive);
        state.ResumeTiming();
        (void)buildAddressTags(*t);
    }
}
BENCHMARK(BM_BuildAll26Tags)->Unit(benchmark::kMillisecond)->Iterations(1);

// Pack as Rebuild Indexes runs it (the index already deleted): the live
// records and their memos written beside the table, synced, renamed in place.
void BM_Pack(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        TempDir dir;
        std::string path = dir.file("pack.dbf");
        (void)SampleAddresses::writeTable(path, kRecords, false);
        auto t = Table::open(path, OpenMode::Exclusive);
        state.ResumeTiming();
        if (auto st = t->pack(); !st)
            state.SkipWithError(st.error().c_str());
    }
}
BENCHMARK(BM_Pack)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_10000RandomSeeksOnLname(benchmark::State& state) {
    auto t = Table::open(sharedTable(), OpenMode::ReadOnly);
    (void)t->setOrder(t->tagArea("LNAME"));
    std::vector<std::string> keys;
    std::mt19937 rng(7);
    SampleAddresses gen(3);
    for (int i = 0; i < 10000; ++i) {
        std::string k = gen.next().lname;
        for (auto& c : k)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        keys.push_back(k.substr(0, 1 + rng() % k.size()));
    }
    for (auto _ : state)
        for (const auto& k : keys)
            benchmark::DoNotOptimize(t->seek(k).ok());
}
BENCHMARK(BM_10000RandomSeeksOnLname)->Unit(benchmark::kMillisecond);

void BM_QueryCount(benchmark::State& state) {
    auto t = Table::open(sharedTable(), OpenMode::ReadOnly);
    (void)t->setQuery("UPPER(LNAME)=\"SM\".and. !ISDEL");
    for (auto _ : state)
        benchmark::DoNotOptimize(t->queryRecCount());
}
BENCHMARK(BM_QueryCount)->Unit(benchmark::kMillisecond);

// The same count in last-name order, where the query keeps to its key range.
void BM_QueryCountInLnameOrder(benchmark::State& state) {
    auto t = Table::open(sharedTable(), OpenMode::ReadOnly);
    (void)t->setOrder(t->tagArea("LNAME"));
    (void)t->setQuery("UPPER(LNAME)=\"SM\".and. !ISDEL");
    for (auto _ : state)
        benchmark::DoNotOptimize(t->queryRecCount());
}
BENCHMARK(BM_QueryCountInLnameOrder)->Unit(benchmark::kMillisecond);

// The filter of the main window walked in its sort order, as a listing or a
// print run does: the query positions on the first match and the walk goes on
// from there, each record read once.
void BM_FilteredWalkInLnameOrder(benchmark::State& state) {
    auto t = Table::open(sharedTable(), OpenMode::ReadOnly);
    (void)t->setOrder(t->tagArea("LNAME"));
    for (auto _ : state) {
        (void)t->setQuery("UPPER(LNAME)=\"SM\".and. !ISDEL");
        std::uint32_t count = 0;
        for (bool more = t->first(); more; more = t->next())
            ++count;
        benchmark::DoNotOptimize(count);
        state.counters["matches"] = count;
    }
}
BENCHMARK(BM_FilteredWalkInLnameOrder)->Unit(benchmark::kMillisecond);

void BM_SequentialRead(benchmark::State& state) {
    auto t = Table::open(sharedTable(), OpenMode::ReadOnly);
    t->setDeleted(false);
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (bool more = t->first(); more; more = t->next())
            bytes += t->getString(0).size();
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_SequentialRead)->Unit(benchmark::kMillisecond);

} // namespace
// The index check that runs on every open of an address file (sampled), and
// the full one of `check`, on the 100,000-record table with its 26 tags; the
// open itself is included, as the window pays for it.
void BM_OpenAndSampledIndexCheck(benchmark::State& state) {
    const std::string& path = sharedTable();
    for (auto _ : state) {
        auto t = Table::open(path, OpenMode::ReadOnly);
        benchmark::DoNotOptimize(t->checkIndex(Table::IndexCheck::Sampled).ok());
    }
}
BENCHMARK(BM_OpenAndSampledIndexCheck)->Unit(benchmark::kMillisecond);

void BM_FullIndexCheck(benchmark::State& state) {
    const std::string& path = sharedTable();
    for (auto _ : state) {
        auto t = Table::open(path, OpenMode::ReadOnly);
        benchmark::DoNotOptimize(t->checkIndex(Table::IndexCheck::Full).ok());
    }
}
BENCHMARK(BM_FullIndexCheck)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_AppendWithAll26Tags(benchmark::State& state) {
    const std::string& path = sharedTable();
    for (auto _ : state) {
        state.PauseTiming();
        TempDir dir;
        std::string copy = dir.file("append.dbf");
        for (const char* ext : {".dbf", ".cdx", ".fpt"})
            std::filesystem::copy_file(path.substr(0, path.size() - 4) + ext,
                                       copy.substr(0, copy.size() - 4) + ext);
        auto t = Table::open(copy, OpenMode::Exclusive);
        SampleAddresses gen(5);
        state.ResumeTiming();
        for (int i = 0; i < 2000; ++i) {
            (void)SampleAddresses::append(*t, gen.next());
            (void)t->post();
        }
        (void)t->flush();
    }
}
BENCHMARK(BM_AppendWithAll26Tags)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
