// Browse grid on a 1,000,000-record file: opening the model, paging
// through it as a scrolling view would, and jumping to the far end, with
// the process's resident memory before and after.
#include "addressbook/browse_columns.h"
#include "addressbook/ui/browse_model.h"
#include "store/address_file.h"
#include "support/sample_addresses.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <fstream>

namespace {

long residentKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

struct BigFile {
    qp::testing::TempDir dir;
    std::string path = dir.file("big.dbf");
    BigFile() { (void)qp::testing::SampleAddresses::writeTable(path, 1000000, true); }
};

BigFile& big() {
    static BigFile file;
    return file;
}

qp::store::Table openBig() {
    auto t = qp::store::openAddressFile(big().path, qp::store::OpenMode::ReadOnly);
    (void)t->setQuery("!ISDEL");
    (void)t->setOrder(t->tagArea("LNAME"));
    t->first();
    return std::move(*t);
}

const std::vector<std::string>& fields() {
    static auto f = qp::addressbook::VisibleFields(qp::addressbook::DefaultCursorFieldOrder());
    return f;
}

void BM_BrowseOpen(benchmark::State& state) {
    auto t = openBig();
    for (auto _ : state) {
        qp::addressbook::TBrowseModel model(t, "X", fields());
        benchmark::DoNotOptimize(model.data(model.index(0, 1), Qt::DisplayRole));
    }
}
BENCHMARK(BM_BrowseOpen)->Unit(benchmark::kMillisecond);

// Scrolling: 30 visible rows, a page down at a time, 2,000 pages.
void BM_BrowseScroll(benchmark::State& state) {
    auto t = openBig();
    qp::addressbook::TBrowseModel model(t, "X", fields());
    const long before = residentKb();
    int top = 0;
    for (auto _ : state) {
        for (int r = top; r < top + 30; ++r)
            for (int c = 0; c < model.columnCount(); ++c)
                benchmark::DoNotOptimize(model.data(model.index(r, c), Qt::DisplayRole));
        top = (top + 30) % 60000;
    }
    state.counters["rss_growth_kb"] = double(residentKb() - before);
}
BENCHMARK(BM_BrowseScroll)->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_BrowseJumpToEnd(benchmark::State& state) {
    auto t = openBig();
    for (auto _ : state) {
        qp::addressbook::TBrowseModel model(t, "X", fields());
        const int last = model.rowCount() - 1;
        benchmark::DoNotOptimize(model.data(model.index(last - 10, 1), Qt::DisplayRole));
        benchmark::DoNotOptimize(model.data(model.index(last / 2, 1), Qt::DisplayRole));
    }
    state.counters["rss_kb"] = double(residentKb());
}
BENCHMARK(BM_BrowseJumpToEnd)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    big();
    std::printf("resident after writing the file: %ld kB\n", residentKb());
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
