#pragma once
// Print > Printer Test Page: the alignment page through the status window,
// to the printer or into the preview, so a user can check a printer.

class QWidget;

namespace qp::addressbook {

void PrintTestPage(QWidget* parent, bool preview);

} // namespace qp::addressbook
