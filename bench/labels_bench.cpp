// 10,000 address records on Avery 5160 (334 pages) to a PDF, and into a
// stored job for the preview: the whole label print request; and to a PDF
// with an Intelligent Mail barcode under each address.

#include "design/address_label.h"
#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/imb_barcode.h"
#include "design/layout_stream.h"
#include "labels/printing/label_print_job.h"
#include "print/printer_setup.h"
#include "store/address_file.h"
#include "support/sample_addresses.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace qp;

struct LabelRun {
    testing::TempDir dir;
    std::optional<store::Table> table;
    design::TTableDataSource source;
    design::TGLabelPanel panel;
    labels::LabelDefinition definition;
    std::string sysdata;

    explicit LabelRun(std::uint32_t records, bool imb = false) {
        const std::string file = dir.file("ADD0001.DBF");
        if (auto st = testing::SampleAddresses::writeTable(file, records, true); !st)
            throw std::runtime_error(st.error());
        auto t = store::openAddressFile(file, store::OpenMode::ReadOnly);
        if (!t)
            throw std::runtime_error(t.error());
        table.emplace(std::move(*t));
        source.SetTable(&*table);
        design::UseAddressFieldLabels(source, true);
        panel.SetDataSet(&source);
        sysdata = dir.file("sysdata");
        std::filesystem::create_directory(sysdata);
        definition.layoutFile = "BIN00001.L";
        design::TGLabelPanel layout;
        layout.SetSize(252, 96);
        layout.AddObject(std::make_unique<design::TGDMultiLineAddressLabel>(),
                         QRect(QPoint(5, 5), QPoint(240, imb ? 70 : 90)));
        if (imb) {
            auto b = std::make_unique<design::TGIMbBarCode>();
            design::NewImbBarCode(*b);
            b->MailerId = "123456";
            layout.AddObject(std::move(b), QRect(QPoint(2, 72), QPoint(250, 88)));
        }
        design::SaveLayoutFile(layout, QString::fromStdString(sysdata + "/BIN00001.L"));
    }

    labels::LabelPrintResult print(print::TPrinterSetup& setup, bool preview) {
        labels::LabelPrintRequest r;
        r.addressTable = &*table;
        r.panel = &panel;
        r.definition = definition;
        r.sysdataFolder = sysdata;
        r.presortPath = dir.file("PRESORT.PSL");
        r.selection.choice = store::SelectionChoice::All;
        r.positions = labels::LabelPositions(definition);
        r.preview = preview;
        r.setup = &setup;
        table->first();
        return labels::printLabels(r, {});
    }
};

void BM_LabelsToPdf(benchmark::State& state) {
    LabelRun run(static_cast<std::uint32_t>(state.range(0)));
    print::TPrinterSetup setup;
    setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName);
    setup.SetOutputFileName(QString::fromStdString(run.dir.file("labels.pdf")));
    int pages = 0;
    for (auto _ : state)
        pages = run.print(setup, false).pages;
    state.counters["pages"] = pages;
}
BENCHMARK(BM_LabelsToPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LabelsWithImbToPdf(benchmark::State& state) {
    LabelRun run(static_cast<std::uint32_t>(state.range(0)), true);
    print::TPrinterSetup setup;
    setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName);
    setup.SetOutputFileName(QString::fromStdString(run.dir.file("labels.pdf")));
    int pages = 0;
    for (auto _ : state)
        pages = run.print(setup, false).pages;
    state.counters["pages"] = pages;
}
BENCHMARK(BM_LabelsWithImbToPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LabelsToPreview(benchmark::State& state) {
    LabelRun run(static_cast<std::uint32_t>(state.range(0)));
    print::TPrinterSetup setup;
    setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName);
    int pages = 0;
    for (auto _ : state)
        pages = run.print(setup, true).pages;
    state.counters["pages"] = pages;
}
BENCHMARK(BM_LabelsToPreview)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
