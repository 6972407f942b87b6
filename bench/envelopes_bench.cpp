// 10,000 #10 envelopes with an address block and a POSTNET barcode to a
// PDF: the whole envelope print request, one envelope a page.

#include "design/data_source.h"
#include "design/layout_stream.h"
#include "envelopes/envelope_panel.h"
#include "envelopes/envelope_print_job.h"
#include "print/printer_setup.h"
#include "store/address_file.h"
#include "support/sample_addresses.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace qp;

void BM_EnvelopesToPdf(benchmark::State& state) {
    testing::TempDir dir;
    const std::string file = dir.file("ADD0001.DBF");
    if (auto st = testing::SampleAddresses::writeTable(
            file, static_cast<std::uint32_t>(state.range(0)), true);
        !st)
        throw std::runtime_error(st.error());
    auto t = store::openAddressFile(file, store::OpenMode::ReadOnly);
    if (!t)
        throw std::runtime_error(t.error());
    design::TTableDataSource source(&*t);
    design::UseAddressFieldLabels(source, true);
    envelopes::TEnvelopePanel panel;
    panel.SetDataSet(&source);
    const std::string sysdata = dir.file("sysdata");
    std::filesystem::create_directory(sysdata);
    {
        envelopes::TEnvelopePanel layout;
        layout.SizeForEnvelope(9.5, 4.125);
        envelopes::AddStarterObjects(layout);
        design::SaveLayoutFile(layout, QString::fromStdString(sysdata + "/BIN00001.E"));
    }
    print::TPrinterSetup setup;
    setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName);
    setup.SetOutputFileName(QString::fromStdString(dir.file("envelopes.pdf")));
    envelopes::EnvelopePrintRequest r;
    r.addressTable = &*t;
    r.panel = &panel;
    r.definition.description = "Bench";
    r.definition.layoutFile = "BIN00001.E";
    r.sysdataFolder = sysdata;
    r.selection.choice = store::SelectionChoice::All;
    r.setup = &setup;
    int pages = 0;
    for (auto _ : state) {
        t->first();
        pages = envelopes::printEnvelopes(r, {}).pages;
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_EnvelopesToPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
