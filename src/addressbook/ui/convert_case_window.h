#pragma once
// "Convert Case": the letter case of chosen fields in the current record,
// every record or the records matching the filter; cancellable between
// records.

#include "addressbook/maintenance/case_conversion.h"
#include "addressbook/ui/bulk_tool_window.h"
#include "store/table.h"

#include <vector>

class QCheckBox;
class QRadioButton;

namespace qp::addressbook {

class TConvertCaseWindow : public TBulkToolWindow {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1045;
    TConvertCaseWindow(store::Table& table, bool filterSet, QWidget* parent = nullptr);

    CaseRun choices() const;
    // Asks, converts, closes the window.
    void Convert();

    QCheckBox* allBox() const { return all_; }
    const std::vector<QCheckBox*>& fieldBoxes() const { return boxes_; }
    QRadioButton* conversionButton(CaseConversion c) const;
    QRadioButton* recordsButton(CaseRecords r) const;
    bool cancelled() const { return cancelled_; }

protected:
    void cancelWhileRunning() override;

private:
    store::Table& table_;
    QCheckBox* all_ = nullptr;
    std::vector<QCheckBox*> boxes_;
    QRadioButton* upper_ = nullptr;
    QRadioButton* capitalize_ = nullptr;
    QRadioButton* lower_ = nullptr;
    QRadioButton* current_ = nullptr;
    QRadioButton* allRecords_ = nullptr;
    QRadioButton* filtered_ = nullptr;
    bool cancelRequested_ = false;
    bool cancelled_ = false;
};

} // namespace qp::addressbook
