#include "print/ui/printer_dialogs.h"

#include "print/printer_setup.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace qp::print {

bool RunPrinterSetupDialog(TPrinterSetup& setup, QWidget* parent) {
    QPageSetupDialog dialog(&setup.Printer(), parent);
    return dialog.exec() == QDialog::Accepted;
}

int RunPrintDialog(TPrinterSetup& setup, QWidget* parent) {
    QPrinter& printer = setup.Printer();
    printer.setCopyCount(setup.Copies());
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    setup.SyncFromPrinter();
    setup.SetCopies(printer.copyCount());
    return setup.Copies();
}

} // namespace qp::print
