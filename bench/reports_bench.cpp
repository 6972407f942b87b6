// The ZIP count over a million-record address table, the Zip Code Count
// Report of 40,000 distinct ZIP codes, built-in report 4 over 100,000
// records and a designed report over 10,000 records, each into a PDF file.

#include "design/data_source.h"
#include "print/printer_setup.h"
#include "print/report_printer.h"
#include "reports/builtin_report.h"
#include "reports/designed_report.h"
#include "reports/starter_report.h"
#include "reports/zip_count.h"
#include "reports/zip_count_report.h"
#include "store/address_file.h"
#include "store/filter_criteria.h"
#include "support/sample_addresses.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>

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

// An address table of `count` records with its tags, made once per size.
const std::string& sampleTable(std::uint32_t count) {
    static testing::TempDir dir;
    static std::map<std::uint32_t, std::string> made;
    auto it = made.find(count);
    if (it != made.end())
        return it->second;
    std::string p = dir.file("add" + std::to_string(count) + ".DBF");
    if (!testing::SampleAddresses::writeTable(p, count, true))
        std::abort();
    return made[count] = p;
}

void BM_BuiltInReport4ToPdf(benchmark::State& state) {
    auto table = store::openAddressFile(sampleTable(100000), store::OpenMode::ReadOnly);
    if (!table) {
        state.SkipWithError(table.error().c_str());
        return;
    }
    testing::TempDir dir;
    print::TPrinterSetup setup;
    setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName);
    setup.SetOutputFileName(QString::fromStdString(dir.file("report4.pdf")));
    reports::BuiltInOptions options;
    options.report = 4;
    for (auto _ : state) {
        auto walk =
            reports::ReportWalk::begin(*table, {store::SelectionChoice::All, false}, "LNAME", "");
        if (!walk) {
            state.SkipWithError(walk.error().c_str());
            break;
        }
        print::TReportPrinter job(&setup);
        int printed = 0;
        reports::prepareBuiltInReport(job, *table, options, {}, &printed);
        if (!job.Execute()) {
            state.SkipWithError(job.LastError().toStdString().c_str());
            break;
        }
        state.counters["pages"] = job.PagesOutput();
        state.counters["records"] = printed;
    }
}
BENCHMARK(BM_BuiltInReport4ToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_DesignedReportToPdf(benchmark::State& state) {
    auto table = store::openAddressFile(sampleTable(10000), store::OpenMode::ReadOnly);
    if (!table) {
        state.SkipWithError(table.error().c_str());
        return;
    }
    testing::TempDir dir;
    print::TPrinterSetup setup;
    setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName);
    setup.SetOutputFileName(QString::fromStdString(dir.file("designed.pdf")));
    design::TTableDataSource source(&*table);
    design::UseAddressFieldLabels(source, true);
    reports::ReportBands bands;
    reports::ReportVars vars = reports::NewReportVars();
    reports::makeStarterReport(bands, vars, QStringLiteral("Members"));
    vars.Borders[reports::rbDetail] = {false, false, false, true, 1, 20, 0xFFFFFF};
    bands.SetDataSet(&source);
    for (auto _ : state) {
        auto walk =
            reports::ReportWalk::begin(*table, {store::SelectionChoice::All, false}, "", "");
        if (!walk) {
            state.SkipWithError(walk.error().c_str());
            break;
        }
        reports::DesignedReportPrinter printer(bands, vars, *table, {});
        print::TReportPrinter job(&setup);
        reports::prepareDesignedReport(job, printer, vars);
        if (!job.Execute()) {
            state.SkipWithError(job.LastError().toStdString().c_str());
            break;
        }
        state.counters["pages"] = job.PagesOutput();
        state.counters["records"] = printer.recordsPrinted();
    }
}
BENCHMARK(BM_DesignedReportToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
