#pragma once
// The "vCard File Import" window: a file of cards from a phone or an address
// book into the open address file.

#include "exchange/ui/import_dialog.h"
#include "exchange/vcard_import.h"
#include "store/table.h"

#include <QString>

class QComboBox;
class QLabel;
class QPushButton;

namespace qp::exchange {

class TVCardImportForm : public ImportDialog {
    Q_OBJECT
public:
    enum class State { NoFile, FileChosen, Importing, Rebuilding };

    TVCardImportForm(store::Table& table, QWidget* parent = nullptr);

    // What accepting a name in the open dialog does.
    void chooseFile(const QString& path);
    VCardOptions options() const;
    void runImport();
    State state() const { return state_; }
    QPushButton* importButton() const { return importButton_; }
    QComboBox* addressBox() const { return address_; }
    QComboBox* dateBox() const { return date_; }
    QLabel* cardCount() const { return count_; }

private:
    void selectFile();
    void setState(State state);

    QString path_;
    State state_ = State::NoFile;
    QLabel* count_ = nullptr;
    QComboBox* address_ = nullptr;
    QComboBox* date_ = nullptr;
    QPushButton* selectButton_ = nullptr;
    QPushButton* importButton_ = nullptr;
};

} // namespace qp::exchange
