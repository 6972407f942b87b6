#pragma once
// "Delete Records": every record, or those matching or not matching the
// filter.

#include "addressbook/maintenance/delete_records.h"
#include "addressbook/ui/bulk_tool_window.h"
#include "store/table.h"

#include <string>

class QRadioButton;

namespace qp::addressbook {

class TDeleteRecordsWindow : public TBulkToolWindow {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1046;
    TDeleteRecordsWindow(store::Table& table, std::string filterExpression,
                         QWidget* parent = nullptr);

    DeleteChoice choice() const;
    QRadioButton* choiceButton(DeleteChoice c) const;
    // Asks, deletes, reports, closes the window.
    void DeleteNow();

private:
    store::Table& table_;
    std::string filter_;
    QRadioButton* all_ = nullptr;
    QRadioButton* matching_ = nullptr;
    QRadioButton* notMatching_ = nullptr;
};

} // namespace qp::addressbook
