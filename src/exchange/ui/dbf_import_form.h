#pragma once
// The "DBF File Import" window, its "DBF File Import Match Fields" window
// and the grid browsing the source table.

#include "exchange/dbf_import.h"
#include "exchange/ui/import_dialog.h"
#include "store/table.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QString>

#include <optional>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTableWidget;

namespace qp::exchange {

// The source table's records, read as the grid shows them.
class SourceTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    SourceTableModel(SourceTable& source, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    SourceTable& source_;
};

class TDbfMatchForm : public QDialog {
    Q_OBJECT
public:
    TDbfMatchForm(SourceTable& source, const std::vector<DbfMatchField>& fields,
                  const std::vector<AddressLabel>& offered, QWidget* parent = nullptr);

    std::vector<DbfMatchField> result() const { return fields_; }
    // What the pop-up menu offers for a row, by source field index.
    std::vector<int> choicesForRow(int row) const;
    // What choosing in the pop-up menu does: -1 is "(none)".
    void chooseForRow(int row, int sourceField);
    void clearCurrent();
    void clearAll();
    QTableView* browser() const { return browser_; }
    QTableWidget* matchGrid() const { return match_; }

private:
    void selectField();
    void showRows();

    std::vector<DbfMatchField> fields_;
    std::vector<AddressLabel> offered_;
    QTableView* browser_ = nullptr;
    QTableWidget* match_ = nullptr;
};

class TDbfImportForm : public ImportDialog {
    Q_OBJECT
public:
    enum class State { NoFile, FileChosen, Matched, Importing, Rebuilding };

    TDbfImportForm(store::Table& table, QWidget* parent = nullptr);
    ~TDbfImportForm() override;

    // What accepting a name in the open dialog does.
    void chooseFile(const QString& path);
    // The matching as the match window shows it when opened now.
    std::vector<DbfMatchField> matchingToShow() const;
    // Sets the matching as the match window's Ok would.
    void setMatching(std::vector<DbfMatchField> fields);
    void runImport();
    State state() const { return state_; }
    const std::vector<DbfMatchField>& fields() const { return fields_; }
    QPushButton* matchButton() const { return matchButton_; }
    QPushButton* importButton() const { return importButton_; }

private:
    void selectFile();
    void openMatch();
    void setState(State state);
    void dropFile();

    std::vector<AddressLabel> offered_;
    std::optional<SourceTable> source_;
    std::vector<DbfMatchField> fields_;
    bool confirmed_ = false; // the matching was confirmed once for this file
    State state_ = State::NoFile;
    QPushButton* selectButton_ = nullptr;
    QPushButton* matchButton_ = nullptr;
    QPushButton* importButton_ = nullptr;
};

} // namespace qp::exchange
