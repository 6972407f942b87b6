#include "print/report_printer.h"

#include "print/page_renderer.h"
#include "print/printer_setup.h"

#include <QFileInfo>
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
    }
    return {};
}

TDeviceMap PrinterMap(QPrinter& printer) {
    // Full-page mode: device origin is the paper's corner.
    TDeviceMap map;
    map.XDpi = printer.logicalDpiX();
    map.YDpi = printer.logicalDpiY();
    return map;
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
    return true;
}

bool TReportPrinter::OutputPage(const TPageRecord& page) {
    QPrinter& printer = Setup().Printer();
    if (!Open_) {
        if (!Painter_.begin(&printer)) {
            SetError(
                QStringLiteral("Unable to start printing on \"%1\".").arg(Setup().DeviceName()));
            return false;
        }
        Open_ = true;
    } else if (!printer.newPage()) {
        SetError(QStringLiteral("Unable to start a new page."));
        return false;
    }
    RenderPage(Painter_, page, PrinterMap(printer));
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
    if (Open_)
        Painter_.end();
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
    QPainter painter;
    if (!painter.begin(&printer))
        return fail(QStringLiteral("Unable to start printing on \"%1\".").arg(setup.DeviceName()));
    const int copies = repeat ? setup.Copies() : 1;
    bool first = true;
    for (int copy = 0; copy < copies; ++copy) {
        for (const TPageRecord& page : job.Pages) {
            if (!first)
                printer.newPage();
            first = false;
            RenderPage(painter, page, PrinterMap(printer));
        }
    }
    painter.end();
    return true;
}

} // namespace qp::print
