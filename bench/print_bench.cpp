// The print engine: 10,000 tabbed lines into a PDF and into a stored job,
// and turning a preview page.

#include "print/base_report.h"
#include "print/page_renderer.h"
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/report_printer.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace qp::print;

namespace {

void printLines(TBaseReport& r) {
    r.SetFont(QStringLiteral("Arial"), 9);
    r.ClearTabs();
    r.SetTab(0.5, pjLeft, 2.0, 2);
    r.SetTab(-1, pjCenter, 1.5, 2);
    r.SetTab(-1, pjRight, 1.5, 2);
    r.Home();
    for (int i = 0; i < 10000; ++i) {
        if (r.LinesLeft() < 1) {
            r.NewPage();
            r.Home();
        }
        r.PrintLn(QStringLiteral("\tSmith, John %1\tNew York NY\t%2").arg(i).arg(10000 + i));
    }
}

void BM_TenThousandLinesToPdf(benchmark::State& state) {
    QTemporaryDir dir;
    for (auto _ : state) {
        TPrinterSetup setup;
        setup.SelectPrinterByName(TPrinterSetup::kPdfPrinterName);
        setup.SetOutputFileName(dir.filePath(QStringLiteral("lines.pdf")));
        TReportPrinter job(&setup);
        job.OnPrint = printLines;
        benchmark::DoNotOptimize(job.Execute());
        state.counters["pages"] = job.PagesOutput();
    }
}
BENCHMARK(BM_TenThousandLinesToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

TStoredJob& storedJob() {
    static TStoredJob job;
    static bool made = [] {
        TReportFiler filer;
        filer.SetStream(&job);
        filer.OnPrint = printLines;
        return filer.Execute();
    }();
    (void)made;
    return job;
}

void BM_TenThousandLinesToStoredJob(benchmark::State& state) {
    for (auto _ : state) {
        TStoredJob job;
        TReportFiler filer;
        filer.SetStream(&job);
        filer.OnPrint = printLines;
        benchmark::DoNotOptimize(filer.Execute());
    }
}
BENCHMARK(BM_TenThousandLinesToStoredJob)->Unit(benchmark::kMillisecond)->Iterations(3);

// One preview page at a zoom: the page drawn into an image of the size the
// preview shows (96 dpi screen, zoom in percent).
void BM_PreviewPageTurn(benchmark::State& state) {
    const TStoredJob& job = storedJob();
    double zoom = state.range(0) / 100.0;
    std::size_t page = 0;
    for (auto _ : state) {
        const auto& record = job.Pages[page++ % job.Pages.size()];
        TDeviceMap map;
        map.XDpi = map.YDpi = 96 * zoom;
        QImage image(int(8.5 * map.XDpi), int(11 * map.YDpi), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        RenderPage(painter, record, map);
    }
}
BENCHMARK(BM_PreviewPageTurn)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);

} // namespace
