// Presort of 10,000 to 1,000,000 ZIP codes: the tally and grouping alone,
// and the whole run over a 100,000-record address table.

#include "labels/presort.h"
#include "store/address_file.h"
#include "support/sample_addresses.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

namespace {

using namespace qp;

// ZIPs spread over every prefix, a few long and a few unusable.
std::vector<std::string> spreadZips(std::size_t n) {
    std::mt19937 random(7);
    std::vector<std::string> zips;
    zips.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "%05u", static_cast<unsigned>(random() % 100000));
        std::string zip = text;
        if (i % 50 == 0)
            zip += "-1234";
        if (i % 997 == 0)
            zip = "K1A 0B1";
        zips.push_back(zip);
    }
    return zips;
}

void BM_PresortZips(benchmark::State& state) {
    auto zips = spreadZips(static_cast<std::size_t>(state.range(0)));
    testing::TempDir dir;
    std::string out = dir.file("PRESORT.PSL");
    for (auto _ : state) {
        std::size_t i = 0;
        labels::ZipSource source = [&](std::string& zip, std::uint32_t& recno) {
            if (i == zips.size())
                return false;
            zip = zips[i++];
            recno = static_cast<std::uint32_t>(i);
            return true;
        };
        auto run = labels::runPresort(source, out);
        if (run.outcome != labels::PresortOutcome::Done)
            std::abort();
        benchmark::DoNotOptimize(run.result.groups.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PresortZips)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_PresortAddressTable(benchmark::State& state) {
    static testing::TempDir dir;
    static std::string path = [] {
        std::string p = dir.file("add0001.DBF");
        if (!testing::SampleAddresses::writeTable(p, 100000, false))
            std::abort();
        return p;
    }();
    auto table = store::openAddressFile(path, store::OpenMode::ReadOnly);
    if (!table) {
        state.SkipWithError(table.error().c_str());
        return;
    }
    std::string out = dir.file("PRESORT.PSL");
    for (auto _ : state) {
        auto run = labels::runPresort(*table, {store::SelectionChoice::All, false, true}, out);
        if (run.outcome != labels::PresortOutcome::Done) {
            state.SkipWithError(run.message.c_str());
            break;
        }
        state.counters["counted"] = run.result.counted;
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_PresortAddressTable)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
