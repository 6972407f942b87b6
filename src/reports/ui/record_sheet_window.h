#pragma once
// "Print Current Record": the fields to print for the record on screen, and
// Print, Preview and Printer Setup. The window stays open after a job.

#include "reports/record_sheet.h"

#include <QDialog>

#include <array>

class QCheckBox;

namespace qp::reports {

class TPrintCurrentRecord : public QDialog {
    Q_OBJECT
public:
    TPrintCurrentRecord(store::Table& table, QWidget* parent = nullptr);

    SheetChoices choices() const;
    QCheckBox* box(int i) const { return boxes_[static_cast<std::size_t>(i)]; }
    QCheckBox* allBox() const { return all_; }

    // Runs the job for the current record; false when it did not complete.
    bool DoPrint(bool preview);

private:
    void allClicked(bool checked);

    store::Table& table_;
    std::array<QCheckBox*, kSheetFieldCount> boxes_{};
    QCheckBox* all_ = nullptr;
};

// The check box's object name: "cb" and the field ("cbLNAME", "cbDisplayDate").
QString sheetBoxName(int i);

void runPrintCurrentRecord(QWidget* parent, store::Table& table);

} // namespace qp::reports
