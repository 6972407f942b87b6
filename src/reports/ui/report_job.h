#pragma once
// One print or preview of a report window: the printer check, a PDF file
// name when "PDF file" is the printer, the status window that runs the job,
// and the preview window afterwards.

#include "print/ui/print_status_form.h"

#include <QString>

#include <functional>

class QWidget;

namespace qp::print {
class TBaseReport;
}

namespace qp::reports {

struct ReportJobSpec {
    bool preview = false;
    QString previewCaption;
    int previewZoom = 100; // a percent, or 2 for the page width
    QString pdfFileName;   // suggested when printing to a PDF file
    print::TFinalTexts finalTexts;
    QString cancelQuestion = QStringLiteral("Cancel Printing?");
    // Sets the job up; the status window is there to read its stop request.
    std::function<void(print::TBaseReport&, const print::TPrintStatusForm&)> prepare;
};

enum class ReportJobOutcome { NotRun, Completed, Canceled };

ReportJobOutcome runReportJob(QWidget* parent, const ReportJobSpec& spec);

// The printer set-up dialog, or "There are no printers installed".
void runPrinterSetup(QWidget* parent);

} // namespace qp::reports
