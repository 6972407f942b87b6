#include "reports/ui/report_job.h"

#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/report_printer.h"
#include "print/ui/preview_form.h"
#include "print/ui/printer_dialogs.h"
#include "store/ui/common_dialogs.h"

#include <QDir>
#include <QFileDialog>

namespace qp::reports {

ReportJobOutcome runReportJob(QWidget* parent, const ReportJobSpec& spec) {
    if (!ui::CheckPrinterReady(parent))
        return ReportJobOutcome::NotRun;
    auto& setup = print::TPrinterSetup::Shared();
    auto run = [&](print::TBaseReport& job, print::TStatusMode mode) {
        print::TPrintStatusForm status(job, mode, parent);
        status.FinalTexts = spec.finalTexts;
        status.CancelQuestion = spec.cancelQuestion;
        if (spec.prepare)
            spec.prepare(job, status);
        ui::CenterDialog(status);
        status.exec();
        return status.ShowPreviewAfterwards() ||
               (mode == print::smPrint && status.Finished() && !status.JobAborted());
    };
    if (spec.preview) {
        print::TStoredJob stored;
        print::TReportFiler job(&setup);
        job.SetStream(&stored);
        if (!run(job, print::smPreview))
            return ReportJobOutcome::Canceled;
        print::TPreviewForm form(stored, spec.previewCaption, spec.previewZoom, parent);
        form.exec();
        return ReportJobOutcome::Completed;
    }
    if (setup.IsPdf()) {
        const QString file = QFileDialog::getSaveFileName(
            parent, QStringLiteral("Print To PDF File"),
            QDir::home().filePath(spec.pdfFileName.isEmpty() ? QStringLiteral("report.pdf")
                                                             : spec.pdfFileName),
            QStringLiteral("PDF files (*.pdf)"));
        if (file.isEmpty())
            return ReportJobOutcome::NotRun;
        setup.SetOutputFileName(file);
    }
    print::TReportPrinter job(&setup);
    return run(job, print::smPrint) ? ReportJobOutcome::Completed : ReportJobOutcome::Canceled;
}

void runPrinterSetup(QWidget* parent) {
    auto& setup = print::TPrinterSetup::Shared();
    if (setup.PrinterNames().isEmpty()) {
        ui::ShowInfo(QStringLiteral("There are no printers installed"), parent);
        return;
    }
    print::RunPrinterSetupDialog(setup, parent);
}

} // namespace qp::reports
