#pragma once
// The browse grid's model: one row per visible record in the current order,
// read on demand through TBrowsePager, one column per browse-visible field.

#include "addressbook/browse_pager.h"
#include "store/table.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace qp::addressbook {

class TBrowseModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TBrowseModel(store::Table& table, std::string tagId, std::vector<std::string> fields,
                 QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The column added while deleted records are shown ("Yes" on those).
    static constexpr const char* kDeletedColumn = "Deleted";

    const std::vector<std::string>& fields() const { return fields_; }
    // Adds or removes the Deleted column; marked rows then show greyed. The
    // caller lets deleted records through the table's query first.
    void setShowDeleted(bool on);
    bool showDeleted() const { return showDeleted_; }
    bool rowDeleted(int row) const;
    TBrowsePager& pager() { return pager_; }
    // The row of the cursor's record (-1 when none).
    int currentRow() { return pager_.currentRow(); }
    bool goToRow(int row) { return pager_.goToRow(row); }
    // After the current record changed (a tag toggled).
    void refreshRow(int row);
    // After the set of visible records changed.
    void reload();

private:
    store::Table& table_;
    std::string tagId_;
    std::vector<std::string> fields_;
    mutable TBrowsePager pager_;
    bool showDeleted_ = false;
};

} // namespace qp::addressbook
