#include "print/report_printer.h"

#include "print/page_renderer.h"
#include "print/pdf_file.h"
#include "print/printer_setup.h"

#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinter>

namespace qp::print {

namespace {

QString CheckTarget(TPrinterSetup& setup) {
    if (setup.IsPdf()) {
        const QString file = setup.OutputFileName();
        if (file.isEmpty())
            return QStringLiteral("No PDF file name was given.");
        const QFileInfo dir(QFileInfo(file).absolutePath());
        if (!dir.isDir() || !dir.isWritable())
            return QStringLiteral("Unable to write the file \"%1\".").arg(file);
        return OutputFileProblem(file);
    }
    return {};
}

TDeviceMap PrinterMap(const QPaintDevice& device) {
    // Full-page mode: device origin is the paper's corner.
    TDeviceMap map;
    map.XDpi = device.logicalDpiX();
    map.YDpi = device.logicalDpiY();
    return map;
}

// PDF output goes through a file that replaces the target only when whole,
// laid out as the printer would lay out its pages.
bool OpenPdf(TPdfFile& pdf, TPrinterSetup& setup, QString* error) {
    QPrinter& printer = setup.Printer();
    QPageLayout layout = printer.pageLayout();
    layout.setMode(QPageLayout::FullPageMode);
    return pdf.Open(setup.OutputFileName(), layout, printer.resolution(), printer.docName(), error);
}

} // namespace

TReportPrinter::~TReportPrinter() {
    if (Painter_.isActive())
        Painter_.end();
}

bool TReportPrinter::BeginJob() {
    const QString problem = CheckTarget(Setup());
    if (!problem.isEmpty()) {
        SetError(problem);
        return false;
    }
    QPrinter& printer = Setup().Printer();
    printer.setFullPage(true);
    printer.setDocName(Title.isEmpty() ? QStringLiteral("Quillpost") : Title);
    // PDF output makes no copies by itself: the engine repeats the pages.
    RepeatCopies_ = Setup().IsPdf() && Setup().Copies() > 1;
    printer.setCopyCount(RepeatCopies_ ? 1 : Setup().Copies());
    Open_ = false;
    PagesOut_ = 0;
    Kept_.clear();
    Pdf_.reset();
    if (Setup().IsPdf()) {
        Pdf_ = std::make_unique<TPdfFile>();
        QString error;
        if (!OpenPdf(*Pdf_, Setup(), &error)) {
            Pdf_.reset();
            SetError(error);
            return false;
        }
    }
    return true;
}

bool TReportPrinter::OutputPage(const TPageRecord& page) {
    QPagedPaintDevice* device = Pdf_ ? static_cast<QPagedPaintDevice*>(Pdf_->Writer())
                                     : static_cast<QPagedPaintDevice*>(&Setup().Printer());
    if (!Open_) {
        if (!Painter_.begin(device)) {
            SetError(
                QStringLiteral("Unable to start printing on \"%1\".").arg(Setup().DeviceName()));
            return false;
        }
        Open_ = true;
    } else if (!device->newPage()) {
        SetError(QStringLiteral("Unable to start a new page."));
        return false;
    }
    RenderPage(Painter_, page, PrinterMap(*device));
    ++PagesOut_;
    return true;
}

void TReportPrinter::EndPage(TPageRecord&& page) {
    if (!OutputPage(page)) {
        Abort();
        return;
    }
    if (RepeatCopies_)
        Kept_.push_back(std::move(page));
}

void TReportPrinter::EndJob(bool aborted) {
    if (!aborted && RepeatCopies_) {
        for (int copy = 1; copy < Setup().Copies(); ++copy)
            for (const TPageRecord& page : Kept_)
                if (!OutputPage(page))
                    break;
    }
    bool ended = true;
    if (Open_)
        ended = Painter_.end();
    if (Pdf_) {
        // Nothing painted (canceled before the first page): no file at all.
        QString error;
        if (Open_ && !Pdf_->Finish(ended, &error) && LastError().isEmpty())
            SetError(error);
        Pdf_.reset();
    } else if (!ended && LastError().isEmpty()) {
        SetError(QStringLiteral("Unable to finish printing on \"%1\".").arg(Setup().DeviceName()));
    }
    Open_ = false;
    Kept_.clear();
}

bool PrintStoredJob(const TStoredJob& job, TPrinterSetup& setup, const QString& title,
                    QString* error) {
    auto fail = [&](const QString& e) {
        if (error)
            *error = e;
        return false;
    };
    if (job.Pages.empty())
        return fail(QStringLiteral("There are no pages to print."));
    const QString problem = CheckTarget(setup);
    if (!problem.isEmpty())
        return fail(problem);
    QPrinter& printer = setup.Printer();
    printer.setFullPage(true);
    printer.setDocName(title.isEmpty() ? QStringLiteral("Quillpost") : title);
    const bool repeat = setup.IsPdf();
    printer.setCopyCount(repeat ? 1 : setup.Copies());
    TPdfFile pdf;
    QString pdfError;
    if (setup.IsPdf() && !OpenPdf(pdf, setup, &pdfError))
        return fail(pdfError);
    QPagedPaintDevice* device = setup.IsPdf() ? static_cast<QPagedPaintDevice*>(pdf.Writer())
                                              : static_cast<QPagedPaintDevice*>(&printer);
    QPainter painter;
    if (!painter.begin(device))
        return fail(QStringLiteral("Unable to start printing on \"%1\".").arg(setup.DeviceName()));
    const int copies = repeat ? setup.Copies() : 1;
    bool first = true;
    bool pagesOk = true;
    for (int copy = 0; copy < copies && pagesOk; ++copy) {
        for (const TPageRecord& page : job.Pages) {
            if (!first && !device->newPage()) {
                pagesOk = false;
                break;
            }
            first = false;
            RenderPage(painter, page, PrinterMap(*device));
        }
    }
    const bool ended = painter.end() && pagesOk;
    if (setup.IsPdf())
        return pdf.Finish(ended, &pdfError) || fail(pdfError);
    if (!ended)
        return fail(QStringLiteral("Unable to finish printing on \"%1\".").arg(setup.DeviceName()));
    return true;
}

} // namespace qp::print
