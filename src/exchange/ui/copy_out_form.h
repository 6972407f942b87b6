#pragma once
// The "Copy Records Out" window.

#include "exchange/copy_out.h"
#include "exchange/named_export.h"
#include "store/table.h"

#include <QDialog>
#include <QString>

#include <optional>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QWidget;

namespace qp::exchange {

class TCopyRecordsOutForm : public QDialog {
    Q_OBJECT
public:
    TCopyRecordsOutForm(store::Table& table, QWidget* parent = nullptr);

    CopyFormat format() const;
    void setFormat(CopyFormat format);
    // The CSV-with-names or vCard choice, when one of them is checked.
    std::optional<NamedFormat> namedFormat() const;
    void setNamedFormat(NamedFormat format);
    QCheckBox* byteOrderMark() const { return bom_; }
    // What accepting a name in the save dialog does: the checks, then the copy.
    void acceptName(const QString& path);
    bool copying() const { return copying_; }
    const CopyOutcome& outcome() const { return outcome_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QLabel* fileName() const { return fileName_; }
    QLabel* copyingLine() const { return copyingLine_; }
    QProgressBar* gauge() const { return gauge_; }

protected:
    void reject() override;

private:
    void saveAs();
    void forgetName();

    store::Table& table_;
    QString folder_;
    bool copying_ = false;
    bool cancelConfirmed_ = false;
    CopyOutcome outcome_;
    QWidget* choices_ = nullptr;
    QWidget* progressPanel_ = nullptr;
    QRadioButton* dbf_ = nullptr;
    QRadioButton* text_ = nullptr;
    QRadioButton* csv_ = nullptr;
    QRadioButton* vcard_ = nullptr;
    QCheckBox* bom_ = nullptr;
    QLabel* fileName_ = nullptr;
    QLabel* copyingLine_ = nullptr;
    QProgressBar* gauge_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;
};

} // namespace qp::exchange
