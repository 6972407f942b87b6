#pragma once
// The "ASCII File Import" window and its "ASCII File Import Match Fields"
// window.

#include "exchange/ascii_import.h"
#include "exchange/delimited_text.h"
#include "exchange/ui/import_dialog.h"
#include "store/table.h"

#include <QDialog>
#include <QString>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace qp::exchange {

class TAsciiMatchForm : public QDialog {
    Q_OBJECT
public:
    TAsciiMatchForm(const AsciiScan& scan, const std::vector<ImportField>& fields,
                    const std::vector<AddressLabel>& offered, const QString& fileName,
                    QWidget* parent = nullptr);

    // The fields with the matching as it stands in the window.
    std::vector<ImportField> result() const;
    // What choosing in the pop-up menu does: -1 is "(none)".
    void chooseForRow(int row, int textField);
    void clearCurrent();
    void clearAll();
    QTableWidget* sampleGrid() const { return sample_; }
    QTableWidget* matchGrid() const { return match_; }

private:
    void selectField();
    void showRow(int row);

    std::vector<ImportField> fields_;
    std::vector<AddressLabel> offered_;
    std::vector<int> rowField_; // per offered field: the text field, or -1
    QTableWidget* sample_ = nullptr;
    QTableWidget* match_ = nullptr;
};

class TAsciiImportForm : public ImportDialog {
    Q_OBJECT
public:
    enum class State { NoFile, FileChosen, Matched, Importing, Rebuilding };

    TAsciiImportForm(store::Table& table, QWidget* parent = nullptr);

    // What accepting a name in the open dialog does: the separator and a
    // line of field names are detected and shown.
    void chooseFile(const QString& path);
    // Reads the chosen file again as the field-names box and separator say.
    void setFormat(const DelimitedFormat& format);
    const DelimitedFormat& format() const { return format_; }
    const std::vector<AddressLabel>& offered() const { return offered_; }
    QCheckBox* headerBox() const { return header_; }
    QComboBox* separatorBox() const { return separator_; }
    // Sets the matching as the match window's Ok would.
    void setMatching(std::vector<ImportField> fields);
    void runImport();
    State state() const { return state_; }
    const std::vector<ImportField>& fields() const { return fields_; }
    const AsciiScan& scan() const { return scan_; }
    QPushButton* matchButton() const { return matchButton_; }
    QPushButton* importButton() const { return importButton_; }

private:
    void selectFile();
    void openMatch();
    void setState(State state);
    void rescan();
    // Whether the file is read the older way: commas and no names.
    bool plainCommas() const { return format_.separator == ',' && !format_.header; }

    std::vector<AddressLabel> offered_;
    DelimitedFormat format_;
    AsciiScan scan_;
    std::vector<ImportField> fields_;
    QString path_;
    State state_ = State::NoFile;
    QCheckBox* header_ = nullptr;
    QComboBox* separator_ = nullptr;
    QPushButton* selectButton_ = nullptr;
    QPushButton* matchButton_ = nullptr;
    QPushButton* importButton_ = nullptr;
};

} // namespace qp::exchange
