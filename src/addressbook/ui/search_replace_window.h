#pragma once
// "Search and Replace": one field's values replaced over the address file,
// in every record or those matching the filter.

#include "addressbook/maintenance/search_replace.h"
#include "addressbook/ui/bulk_tool_window.h"
#include "store/table.h"

#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace qp::addressbook {

class TSearchReplaceWindow : public TBulkToolWindow {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1003;
    // `filterExpression`: the filter set in the main window (empty: none).
    TSearchReplaceWindow(store::Table& table, std::string filterExpression,
                         QWidget* parent = nullptr);

    // The request the choices make.
    ReplaceRequest request() const;
    // Asks, replaces, reports; closes the window when done.
    void Replace();

    QComboBox* targetBox() const { return target_; }
    QLineEdit* findBox() const { return find_; }
    QLineEdit* replacementBox() const { return with_; }
    QRadioButton* containsButton() const { return contains_; }
    QRadioButton* partialButton() const { return partial_; }
    QRadioButton* filterButton() const { return filtered_; }
    QCheckBox* caseSensitiveBox() const { return caseSensitive_; }

private:
    void targetChanged();

    store::Table& table_;
    std::string filter_;
    QComboBox* target_ = nullptr;
    QRadioButton* exactly_ = nullptr;
    QRadioButton* contains_ = nullptr;
    QLineEdit* find_ = nullptr;
    QCheckBox* caseSensitive_ = nullptr;
    QRadioButton* whole_ = nullptr;
    QRadioButton* partial_ = nullptr;
    QLineEdit* with_ = nullptr;
    QRadioButton* all_ = nullptr;
    QRadioButton* filtered_ = nullptr;
};

} // namespace qp::addressbook
