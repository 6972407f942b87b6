#pragma once
// An editable grid over the records a cursor shows in its current order
// (the collected records of a check, or a small system table): the rows are
// noted once, the cursor follows the selected row, an edited cell changes
// the record's buffer and Save posts it; a move to another row posts too.

#include "store/table.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class QPushButton;
class QTableView;

namespace qp::addressbook {

struct GridColumn {
    std::string field; // a field name, or "Tagged"
    QString header;
};

class TRecordGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr const char* kTaggedColumn = "Tagged";
    TRecordGridModel(store::Table& table, std::vector<GridColumn> columns, std::string tagId,
                     QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Walks the cursor's order (rows are empty until the first call); the
    // cursor stays on its record.
    void reload();
    // Re-reads one row from the table.
    void refreshRow(int row);
    std::uint32_t recnoOfRow(int row) const;
    int rowOfRecno(std::uint32_t recno) const;
    // Puts the cursor on the row's record (posting a pending change).
    bool goToRow(int row);
    int fieldWidth(int column) const;
    const std::vector<GridColumn>& columns() const { return columns_; }
    store::Table& table() { return table_; }
    const std::string& tagId() const { return tagId_; }
    // The error of the last failed change, for the window to show.
    QString takeError();

private:
    QString cell(int column) const;

    store::Table& table_;
    std::vector<GridColumn> columns_;
    std::vector<int> fieldIndexes_;
    std::string tagId_;
    std::vector<std::uint32_t> recnos_;
    std::vector<QStringList> rows_;
    QString error_;
};

// The grid with "First", "Prior", "Next", "Last" under it.
class TRecordGrid : public QWidget {
    Q_OBJECT
public:
    TRecordGrid(store::Table& table, std::vector<GridColumn> columns, std::string tagId,
                const QString& objectPrefix, QWidget* parent = nullptr);

    QTableView* view() const { return view_; }
    TRecordGridModel* model() const { return model_; }
    // Reads the rows (empty until then) and selects the cursor's record.
    void reload();
    int currentRow() const;
    void selectRow(int row);
    void First();
    void Prior();
    void Next();
    void Last();
    // Save (post), Undo (drop the change), Delete (deletion mark and ISDEL
    // for address records), Tag (toggle the tag), Add (a blank record).
    bool Save();
    void Undo();
    bool DeleteCurrent(bool addressRecord);
    bool ToggleTagOfCurrent();
    bool AddBlank();
    void EditCurrent();

signals:
    void failed(const QString& message);

private:
    void showError(const QString& message);

    store::Table& table_;
    QTableView* view_ = nullptr;
    TRecordGridModel* model_ = nullptr;
};

// Columns of the address records a check shows; the street check puts
// the street second.
std::vector<GridColumn> AddressCheckColumns(bool streetSecond);

} // namespace qp::addressbook
