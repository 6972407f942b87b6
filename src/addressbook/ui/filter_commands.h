#pragma once
// Save Filter and Restore Filter: the file dialogs, the .FLT name rules and
// the overwrite question around store::SaveFilterTo / ReadFilterFrom.

#include "store/address_filter.h"
#include "store/filter_criteria.h"
#include "store/table.h"

#include <QString>

#include <functional>
#include <optional>
#include <string_view>

class QWidget;

namespace qp::addressbook {

// Asks for a file name; an empty result is Cancel. Tests replace it.
struct FilterFileRequest {
    bool save = true;
    QString caption;
    QString folder;       // where the dialog starts
    QString proposedName; // "*.FLT" when saving
    QString nameFilter;
    QString defaultSuffix;
};
using FilterFileChooser = std::function<QString(QWidget* parent, const FilterFileRequest&)>;

// Kept by the main window for the whole run: the save dialog starts in the
// program folder the first time and in the last used folder afterwards.
class TFilterFileCommands {
public:
    explicit TFilterFileCommands(QWidget* parent = nullptr);

    void setFileChooser(FilterFileChooser chooser) { chooser_ = std::move(chooser); }

    // Save Filter: true when the criteria were written.
    bool saveFilter(const store::FilterCriteria& criteria);

    // Restore Filter, first half: the criteria of the chosen file (nothing on
    // Cancel or a refused name, which has been reported).
    std::optional<store::FilterCriteria> chooseFilterToRestore();

    // Restore Filter in full: the chosen criteria replace `criteria` and are
    // applied to `table`; nothing when nothing was chosen.
    std::optional<store::FilterOutcome>
    restoreFilter(store::Table& table, store::FilterCriteria& criteria, std::string_view tagId);

    QString lastSaveFolder() const { return lastSaveFolder_; }

private:
    QString choose(const FilterFileRequest& request) const;

    QWidget* parent_;
    FilterFileChooser chooser_;
    QString lastSaveFolder_;
};

// The platform's file dialogs.
QString ChooseFilterFileWithDialog(QWidget* parent, const FilterFileRequest& request);

} // namespace qp::addressbook
