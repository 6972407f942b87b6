// The record maintenance tools and the checks on 100,000 address-shaped
// records: replace over all records, the duplicate check and the state/ZIP
// check.

#include "addressbook/maintenance/record_checks.h"
#include "addressbook/maintenance/search_replace.h"
#include "store/address_filter.h"
#include "store/address_schema.h"
#include "store/system_tables.h"
#include "store/table.h"
#include "support/sample_addresses.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdexcept>

using namespace qp;
using namespace qp::addressbook;
using qp::testing::SampleAddresses;
using qp::testing::TempDir;

namespace {

constexpr std::uint32_t kRecords = 100000;

// One table with all tags, made once; each run works on a fresh copy.
const TempDir& master() {
    static TempDir dir;
    static bool made = [] {
        if (auto st = SampleAddresses::writeTable(dir.file("master.dbf"), kRecords, true); !st)
            throw std::runtime_error(st.error());
        return true;
    }();
    (void)made;
    return dir;
}

// The same records, but as a real list is: names and streets told apart in
// 19 records of 20, so that about one record in twenty is a possible
// duplicate (the sample names alone repeat every few hundred records).
const TempDir& realistic() {
    static TempDir dir;
    static bool made = [] {
        const std::string path = dir.file("master.dbf");
        auto fail = [](const std::string& why) { throw std::runtime_error(why); };
        if (auto st = store::Table::create(path, SampleAddresses::fieldSpecs()); !st)
            fail(st.error());
        auto t = store::Table::open(path, store::OpenMode::Exclusive);
        if (!t)
            fail(t.error());
        SampleAddresses gen;
        for (std::uint32_t i = 0; i < kRecords; ++i) {
            auto a = gen.next();
            if (i % 20 != 0) {
                a.lname += std::to_string(i);
                a.street = std::to_string(i) + " " + a.street;
            }
            if (auto st = SampleAddresses::append(*t, a); !st)
                fail(st.error());
            if (auto st = t->post(); !st)
                fail(st.error());
        }
        for (const auto& tag : store::kAddressTags)
            if (auto st = t->indexTag(std::string(tag.name), std::string(tag.expression)); !st)
                fail(st.error());
        return true;
    }();
    (void)made;
    return dir;
}

store::Table freshCopy(const TempDir& work, const TempDir& from = master()) {
    namespace fs = std::filesystem;
    for (const char* ext : {".dbf", ".cdx", ".fpt"})
        if (fs::exists(from.path() / (std::string("master") + ext)))
            fs::copy_file(from.path() / (std::string("master") + ext),
                          work.path() / (std::string("copy") + ext),
                          fs::copy_options::overwrite_existing);
    auto t = store::Table::open(work.file("copy.dbf"), store::OpenMode::Exclusive);
    if (!t)
        throw std::runtime_error(t.error());
    (void)store::ClearEngineFilter(*t);
    return std::move(*t);
}

void runReplace(benchmark::State& state, ReplaceRequest request) {
    TempDir work;
    for (auto _ : state) {
        state.PauseTiming();
        auto t = freshCopy(work);
        state.ResumeTiming();
        auto n = RunReplace(t, request, false);
        if (!n)
            state.SkipWithError(n.error().c_str());
        else
            state.counters["changed"] = double(*n);
    }
}

// The blank countries (19 records in 20) get a value in an indexed field.
void BM_ReplaceBlankCountryWholeField(benchmark::State& state) {
    ReplaceRequest r;
    r.target = *FindReplaceTarget("Country");
    r.replacement = "United States";
    runReplace(state, r);
}
BENCHMARK(BM_ReplaceBlankCountryWholeField)->Unit(benchmark::kMillisecond)->Iterations(3);

// A partial, case-insensitive replace that walks all records and changes
// about a tenth of them.
void BM_ReplacePartialTenthOfRecords(benchmark::State& state) {
    ReplaceRequest r;
    r.target = *FindReplaceTarget("Address 1");
    r.condition = FindCondition::Contains;
    r.caseSensitive = false;
    r.find = "main st";
    r.replacement = "Main Street";
    r.action = ReplaceAction::MatchingText;
    runReplace(state, r);
}
BENCHMARK(BM_ReplacePartialTenthOfRecords)->Unit(benchmark::kMillisecond)->Iterations(3);

// The count asked before any replace: the same walk without writing.
void BM_ReplaceCountOnly(benchmark::State& state) {
    TempDir work;
    auto t = freshCopy(work);
    ReplaceRequest r;
    r.target = *FindReplaceTarget("Last Name");
    r.find = "SMITH";
    r.caseSensitive = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(RunReplace(t, r, true));
}
BENCHMARK(BM_ReplaceCountOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

void runDuplicates(benchmark::State& state, DuplicateOptions options,
                   const TempDir& from = realistic()) {
    TempDir work;
    auto t = freshCopy(work, from);
    for (auto _ : state) {
        ScratchIndexFile scratch;
        auto out = RunDuplicateCheck(t, options, scratch, work.path() / "_chkdup.idx");
        if (!out.error.empty())
            state.SkipWithError(out.error.c_str());
        state.counters["found"] = double(out.found);
    }
}

void BM_DuplicateCheckLastFirst(benchmark::State& state) {
    runDuplicates(state, {DuplicateCheck::Name});
}
BENCHMARK(BM_DuplicateCheckLastFirst)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DuplicateCheckStreetSuffixesAlike(benchmark::State& state) {
    runDuplicates(state, {DuplicateCheck::Street, 30, true});
}
BENCHMARK(BM_DuplicateCheckStreetSuffixesAlike)->Unit(benchmark::kMillisecond)->Iterations(3);

// The sample names alone: nine records in ten are collected into the
// scratch index (built in one bulk pass).
void BM_DuplicateCheckMostlyDuplicates(benchmark::State& state) {
    runDuplicates(state, {DuplicateCheck::Name}, master());
}
BENCHMARK(BM_DuplicateCheckMostlyDuplicates)->Unit(benchmark::kMillisecond)->Iterations(3);

// Austin (787) lies outside the Texas range given here: about one record in
// twelve is questionable.
void BM_StateZipCheck(benchmark::State& state) {
    TempDir work;
    auto t = freshCopy(work);
    const std::string cszPath = work.file("CSZ.DBF");
    if (auto st = store::createSystemTable(cszPath, store::SystemTable::StateZip); !st)
        throw std::runtime_error(st.error());
    auto csz = store::Table::open(cszPath, store::OpenMode::Exclusive);
    const std::array<std::array<const char*, 4>, 10> ranges{
        {{"New York", "NY", "10000", "14999"},
         {"Massachusetts", "MA", "01000", "02799"},
         {"Illinois", "IL", "60000", "62999"},
         {"Texas", "TX", "75000", "77999"},
         {"Arizona", "AZ", "85000", "86599"},
         {"Colorado", "CO", "80000", "81699"},
         {"Washington", "WA", "98000", "99499"},
         {"Florida", "FL", "32000", "34999"},
         {"Georgia", "GA", "30000", "31999"},
         {"Oregon", "OR", "97000", "97999"}}};
    for (const auto& r : ranges) {
        (void)csz->append();
        (void)csz->replace("NAME", r[0]);
        (void)csz->replace("STATE", r[1]);
        (void)csz->replace("LOW_ZIP", r[2]);
        (void)csz->replace("HIGH_ZIP", r[3]);
        (void)csz->post();
    }
    for (auto _ : state) {
        ScratchIndexFile scratch;
        auto out = RunStateZipCheck(t, *csz, true, scratch, work.path() / "_chksz.idx");
        if (!out.error.empty())
            state.SkipWithError(out.error.c_str());
        state.counters["found"] = double(out.found);
    }
}
BENCHMARK(BM_StateZipCheck)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
