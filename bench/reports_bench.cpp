// The ZIP count over a million-record address table, and the Zip Code
// Count Report of 40,000 distinct ZIP codes into a PDF file.

#include "print/printer_setup.h"
#include "print/report_printer.h"
#include "reports/zip_count.h"
#include "reports/zip_count_report.h"
#include "store/address_file.h"
#include "store/filter_criteria.h"
#include "support/sample_addresses.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using namespace qp;

void BM_CountZipCodes(benchmark::State& state) {
    static testing::TempDir dir;
    static std::string path = [] {
        std::string p = dir.file("add0001.DBF");
        if (!testing::SampleAddresses::writeTable(p, 1000000, false))
            std::abort();
        return p;
    }();
    auto table = store::openAddressFile(path, store::OpenMode::ReadOnly);
    if (!table) {
        state.SkipWithError(table.error().c_str());
        return;
    }
    (void)table->setQuery(store::kNoFilterQuery);
    store::RecordSelection selection; // the query in force, as the window counts
    for (auto _ : state) {
        auto run = reports::countZipCodes(*table, selection);
        if (run.outcome != reports::ZipCountOutcome::Done) {
            state.SkipWithError(run.message.c_str());
            break;
        }
        state.counters["records"] = static_cast<double>(run.counter.records());
        state.counters["keys"] = static_cast<double>(run.counter.distinctKeys());
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_CountZipCodes)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ZipReportToPdf(benchmark::State& state) {
    std::vector<reports::ZipTally> tallies;
    for (int i = 0; i < 40000; ++i)
        tallies.push_back({std::to_string(10000 + i * 2), static_cast<std::uint64_t>(1 + i % 977)});
    const auto lines = reports::zipResultLines(tallies, ",");
    testing::TempDir dir;
    print::TPrinterSetup setup;
    setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName);
    setup.SetOutputFileName(QString::fromStdString(dir.file("zips.pdf")));
    for (auto _ : state) {
        print::TReportPrinter job(&setup);
        reports::prepareZipReport(job, lines);
        if (!job.Execute()) {
            state.SkipWithError(job.LastError().toStdString().c_str());
            break;
        }
        state.counters["pages"] = job.PagesOutput();
    }
}
BENCHMARK(BM_ZipReportToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
