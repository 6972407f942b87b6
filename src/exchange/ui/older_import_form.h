#pragma once
// The window importing an address file of an earlier version.

#include "exchange/older_import.h"
#include "store/table.h"

#include <QDialog>
#include <QString>

#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace qp::exchange {

class TImportOlder : public QDialog {
    Q_OBJECT
public:
    enum class State { NoFile, FileChosen, Importing, Rebuilding };

    TImportOlder(store::Table& table, OlderVersion version, QWidget* parent = nullptr);
    ~TImportOlder() override;

    void chooseFile(const QString& path);
    void runImport();
    State state() const { return state_; }
    std::uint32_t imported() const { return imported_; }
    QLabel* fileNameLabel() const { return fileName_; }
    QPushButton* importButton() const { return importButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QLabel* statusLine() const { return status_; }

protected:
    void reject() override;

private:
    void selectFile();
    void setState(State state);

    store::Table& table_;
    OlderVersion version_;
    std::optional<SourceTable> source_;
    State state_ = State::NoFile;
    bool cancelRequested_ = false;
    std::uint32_t imported_ = 0;
    QLabel* fileName_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* gauge_ = nullptr;
    QPushButton* selectButton_ = nullptr;
    QPushButton* importButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;
};

} // namespace qp::exchange
