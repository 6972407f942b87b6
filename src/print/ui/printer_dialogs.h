#pragma once
// The platform's printer set-up and print dialogs on the selected printer.
class QWidget;

namespace qp::print {

class TPrinterSetup;

// False when cancelled.
bool RunPrinterSetupDialog(TPrinterSetup& setup, QWidget* parent);
// The number of copies chosen, 0 when cancelled; the printer chosen is selected.
int RunPrintDialog(TPrinterSetup& setup, QWidget* parent);

} // namespace qp::print
