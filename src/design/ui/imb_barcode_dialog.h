#pragma once
// The properties dialog of the Intelligent Mail barcode object.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace qp::design {
class TGBasePanel;
class TGIMbBarCode;
} // namespace qp::design

namespace qp::design::ui {

class TImbBarcodeDialog : public QDialog {
public:
    TImbBarcodeDialog(const TGIMbBarCode& b, const TGBasePanel* panel, QWidget* parent = nullptr);
    // Ok is refused (with the reason shown) while the tracking fields are invalid.
    void accept() override;
    void ApplyTo(TGIMbBarCode& b) const;

    QLineEdit* BarcodeId;
    QLineEdit* ServiceType;
    QLineEdit* MailerId;
    QRadioButton* Counter;
    QSpinBox* Start;
    QRadioButton* FromField;
    QComboBox* SerialField;
    QComboBox* Routing;
    QCheckBox* HumanReadable;
    QLabel* Problem;

private:
    QString Refusal() const;
};

// Opens the dialog; false on Cancel (the object unchanged).
bool RunImbBarcodeDialog(TGIMbBarCode& b, TGBasePanel& panel, QWidget* parent = nullptr);

} // namespace qp::design::ui
