#pragma once
// The "vCard File Import" window: a file of cards from a phone or an address
// book into the open address file.

#include "exchange/vcard_import.h"
#include "store/table.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace qp::exchange {

class TVCardImportForm : public QDialog {
    Q_OBJECT
public:
    enum class State { NoFile, FileChosen, Importing, Rebuilding };

    TVCardImportForm(store::Table& table, QWidget* parent = nullptr);

    // What accepting a name in the open dialog does.
    void chooseFile(const QString& path);
    VCardOptions options() const;
    void runImport();
    State state() const { return state_; }
    std::uint32_t imported() const { return imported_; }
    QPushButton* importButton() const { return importButton_; }
    QComboBox* addressBox() const { return address_; }
    QComboBox* dateBox() const { return date_; }
    QLabel* statusLine() const { return status_; }
    QLabel* cardCount() const { return count_; }
    QProgressBar* gauge() const { return gauge_; }

protected:
    void reject() override;

private:
    void selectFile();
    void setState(State state);

    store::Table& table_;
    QString path_;
    State state_ = State::NoFile;
    bool cancelRequested_ = false;
    std::uint32_t imported_ = 0;
    QLabel* fileName_ = nullptr;
    QLabel* count_ = nullptr;
    QComboBox* address_ = nullptr;
    QComboBox* date_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* gauge_ = nullptr;
    QPushButton* selectButton_ = nullptr;
    QPushButton* importButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;
};

} // namespace qp::exchange
