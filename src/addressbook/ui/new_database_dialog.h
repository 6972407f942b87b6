#pragma once
// "Create new database": the name of a new address file in the DATA folder
// and, through "Specify Field Lengths", its field widths. Creating the file
// is left to the caller (store::createAddressFile).

#include "addressbook/ui/dialog_support.h"
#include "store/address_file.h"
#include "store/settings_file.h"

#include <QDialog>
#include <QString>

#include <filesystem>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qp::addressbook {

class TNewDatabaseDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1037;

    // `dataFolder` defaults to the program's DATA folder. The lengths are
    // read from the settings file; the name box starts at the first free
    // ADD name.
    explicit TNewDatabaseDialog(QWidget* parent = nullptr, std::filesystem::path dataFolder = {});

    // After Ok: the full path of the file to create (it did not exist) and
    // the field widths to create it with.
    std::filesystem::path databasePath() const { return path_; }
    const store::NewFileFieldLengths& newFileLengths() const { return lengths_; }
    store::FieldLengths fieldLengths() const;

    QString name() const;
    void setHelpHandler(HelpHandler handler) { help_ = std::move(handler); }

    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void nameChanged();
    void specifyFieldLengths();

    std::filesystem::path dataFolder_;
    std::filesystem::path path_;
    store::NewFileFieldLengths lengths_;
    QLineEdit* nameBox_ = nullptr;
    QLabel* invalidLabel_ = nullptr;
    QPushButton* ok_ = nullptr;
    HelpHandler help_;
};

} // namespace qp::addressbook
