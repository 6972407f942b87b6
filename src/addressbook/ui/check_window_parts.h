#pragma once
// Parts shared by the record check windows and the bulk tools: the progress
// bar, status line and pointer-help button below the pages, the progress
// report of a check run, and "Tag All" on a result page.

#include "addressbook/maintenance/record_checks.h"
#include "store/table.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;
class QWidget;

namespace qp::addressbook {

class TRecordGrid;

// A button that is not the default one when Enter is pressed.
QPushButton* NewActionButton(const QString& text, const char* name, QWidget* parent);
QRadioButton* NewRadioButton(const QString& text, const char* name, QWidget* parent);
QProgressBar* NewProgressBar(QWidget* parent);
QLabel* NewStatusLine(QWidget* parent);
QToolButton* NewMouseHelpButton(QWidget* parent);

// Reports a check's progress on `bar` and `status` (the count found, in
// `foundText`'s words) at most every 50 ms and at the end; false once
// `cancelRequested` is set.
CheckReport ShowCheckProgress(QProgressBar* bar, QLabel* status, const bool& cancelRequested,
                              std::function<std::string(std::uint32_t)> foundText);

// Asks `question`, saves the grid's edits and runs the tagging window on the
// table; false when the user declined or the edits could not be saved.
bool TagAllFound(TRecordGrid& grid, store::Table& table, const std::string& tagId,
                 const QString& question, QWidget* parent);

} // namespace qp::addressbook
