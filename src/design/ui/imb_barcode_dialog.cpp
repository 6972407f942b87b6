#include "design/ui/imb_barcode_dialog.h"

#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/imb_barcode.h"
#include "store/ui/common_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

namespace qp::design::ui {

namespace {
QLineEdit* DigitsEdit(const QString& name, const QString& text, int maxDigits, QWidget* parent) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setMaxLength(maxDigits);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), e));
    return e;
}
} // namespace

TImbBarcodeDialog::TImbBarcodeDialog(const TGIMbBarCode& b, const TGBasePanel* panel,
                                     QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("IMb Barcode");
    BarcodeId = DigitsEdit("BarcodeIdEdit", b.BarcodeId, 2, this);
    ServiceType = DigitsEdit("ServiceTypeEdit", b.ServiceType, 3, this);
    MailerId = DigitsEdit("MailerIdEdit", b.MailerId, 9, this);
    Counter = new QRadioButton("&Count up from", this);
    Counter->setObjectName("CounterButton");
    Start = new QSpinBox(this);
    Start->setObjectName("StartEdit");
    Start->setRange(0, 999999999);
    Start->setValue(b.SerialStart);
    FromField = new QRadioButton("Take from &field", this);
    FromField->setObjectName("FieldButton");
    SerialField = new QComboBox(this);
    SerialField->setObjectName("SerialFieldCombo");
    if (const TDataSource* ds = panel ? panel->DataSet() : nullptr)
        for (const TDataField& f : ds->Fields())
            if (f.Visible && f.Tag >= 0 && f.Type != 'M')
                SerialField->addItem(f.DisplayLabel.isEmpty() ? f.Name : f.DisplayLabel, f.Name);
    if (int i = SerialField->findData(b.SerialField); i >= 0)
        SerialField->setCurrentIndex(i);
    else if (!b.SerialField.isEmpty())
        SerialField->addItem(b.SerialField, b.SerialField),
            SerialField->setCurrentIndex(SerialField->count() - 1);
    (b.SerialSource == issField ? FromField : Counter)->setChecked(true);
    Routing = new QComboBox(this);
    Routing->setObjectName("RoutingCombo");
    Routing->addItems(
        {"ZIP (5 digits)", "ZIP+4 (9 digits)", "ZIP+4 and delivery point (11 digits)"});
    Routing->setCurrentIndex(b.Routing);
    HumanReadable = new QCheckBox("&Print the digits under the bars", this);
    HumanReadable->setObjectName("HumanReadableCheck");
    HumanReadable->setChecked(b.HumanReadable);
    Problem = new QLabel(this);
    Problem->setObjectName("ProblemLabel");
    Problem->setStyleSheet("color: #b00000");
    Problem->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow("&Barcode identifier", BarcodeId);
    form->addRow("&Service type", ServiceType);
    form->addRow("&Mailer ID", MailerId);
    auto* counter = new QHBoxLayout;
    counter->addWidget(Counter);
    counter->addWidget(Start, 1);
    auto* field = new QHBoxLayout;
    field->addWidget(FromField);
    field->addWidget(SerialField, 1);
    form->addRow("Serial number", counter);
    form->addRow("", field);
    form->addRow("&Routing code", Routing);
    form->addRow("", HumanReadable);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addWidget(Problem);
    lay->addWidget(buttons);
    auto enable = [this] {
        Start->setEnabled(Counter->isChecked());
        SerialField->setEnabled(FromField->isChecked());
    };
    connect(Counter, &QRadioButton::toggled, this, enable);
    enable();
}

QString TImbBarcodeDialog::Refusal() const {
    // A field serial is checked per record; the fixed fields are checked here.
    const QString serial = Counter->isChecked() ? QString::number(Start->value()) : QString("0");
    const TImbText t =
        ImbTrackingCode(BarcodeId->text(), ServiceType->text(), MailerId->text(), serial);
    if (!t.Ok())
        return t.Refusal;
    if (FromField->isChecked() && SerialField->currentData().toString().isEmpty())
        return QStringLiteral("Choose the field that holds the serial number");
    return {};
}

void TImbBarcodeDialog::accept() {
    const QString why = Refusal();
    Problem->setText(why);
    if (why.isEmpty())
        QDialog::accept();
}

void TImbBarcodeDialog::ApplyTo(TGIMbBarCode& b) const {
    b.BarcodeId = BarcodeId->text();
    b.ServiceType = ServiceType->text();
    b.MailerId = MailerId->text();
    b.SerialSource = FromField->isChecked() ? issField : issCounter;
    b.SerialStart = Start->value();
    b.SerialField = FromField->isChecked() ? SerialField->currentData().toString() : QString();
    b.Routing = TImbRouting(Routing->currentIndex());
    b.HumanReadable = HumanReadable->isChecked();
    b.ResetCounter();
}

bool RunImbBarcodeDialog(TGIMbBarCode& b, TGBasePanel& panel, QWidget* parent) {
    TImbBarcodeDialog d(b, &panel, parent);
    qp::ui::CenterDialog(d);
    if (d.exec() != QDialog::Accepted)
        return false;
    b.Changed();
    d.ApplyTo(b);
    b.ShowDataValue();
    b.Repaint();
    return true;
}

} // namespace qp::design::ui
