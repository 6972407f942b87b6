#include "addressbook/ui/test_page_commands.h"

#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/report_printer.h"
#include "print/test_page.h"
#include "print/ui/preview_form.h"
#include "print/ui/print_status_form.h"
#include "print/ui/printer_dialogs.h"
#include "store/ui/common_dialogs.h"

#include <QDir>
#include <QFileDialog>

namespace qp::addressbook {

void PrintTestPage(QWidget* parent, bool preview) {
    if (!ui::CheckPrinterReady(parent))
        return;
    auto page = [](print::TBaseReport& r) { print::PrintTestPage(r); };
    if (preview) {
        print::TStoredJob stored;
        print::TReportFiler job;
        job.SetStream(&stored);
        job.Title = QStringLiteral("Quillpost test page");
        job.OnPrint = page;
        print::TPrintStatusForm status(job, print::smPreview, parent);
        status.exec();
        if (status.ShowPreviewAfterwards())
            print::TPreviewForm(stored, QStringLiteral("Preview Test Page"), 75, parent).exec();
        return;
    }
    print::TPrinterSetup& setup = print::TPrinterSetup::Shared();
    if (print::RunPrintDialog(setup, parent) == 0)
        return;
    if (setup.IsPdf()) {
        // The PDF printer needs a file to write.
        const QString file =
            QFileDialog::getSaveFileName(parent, QStringLiteral("Print To PDF File"),
                                         QDir::home().filePath(QStringLiteral("test page.pdf")),
                                         QStringLiteral("PDF files (*.pdf)"));
        if (file.isEmpty())
            return;
        setup.SetOutputFileName(file);
    }
    print::TReportPrinter job(&setup);
    job.Title = QStringLiteral("Quillpost test page");
    job.OnPrint = page;
    print::TPrintStatusForm status(job, print::smPrint, parent);
    status.exec();
}

} // namespace qp::addressbook
