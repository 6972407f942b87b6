// The IMb barcode properties dialog: Ok refused with the reason while the
// tracking fields are invalid, and the settings applied on Ok.
#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/imb_barcode.h"
#include "design/ui/imb_barcode_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

using namespace qp::design;
using namespace qp::design::ui;

class ImbBarcodeDialogTest : public QObject {
    Q_OBJECT
private slots:
    void okRefusedWithTheReasonThenApplied() {
        TGLabelPanel panel;
        TMapDataSource src;
        src.Add("USER1", "User 1", "7");
        panel.SetDataSet(&src);
        TGIMbBarCode b;
        NewImbBarCode(b);
        TImbBarcodeDialog d(b, &panel);
        QVERIFY(b.MailerId.isEmpty());
        d.accept();
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(d.Problem->text(), QString("The mailer ID must be six or nine digits"));
        d.MailerId->setText("912345");
        d.accept();
        QCOMPARE(d.Problem->text(), QString("A six-digit mailer ID cannot begin with 9"));
        d.MailerId->setText("123456");
        d.BarcodeId->setText("05");
        d.accept();
        QVERIFY(d.Problem->text().contains("0 to 4"));
        d.BarcodeId->setText("01");
        d.FromField->setChecked(true);
        QVERIFY(!d.Start->isEnabled());
        QCOMPARE(d.SerialField->currentData().toString(), QString("USER1"));
        d.Routing->setCurrentIndex(1);
        d.HumanReadable->setChecked(true);
        d.accept();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        d.ApplyTo(b);
        QCOMPARE(b.BarcodeId, QString("01"));
        QCOMPARE(b.MailerId, QString("123456"));
        QCOMPARE(b.SerialSource, issField);
        QCOMPARE(b.SerialField, QString("USER1"));
        QCOMPARE(b.Routing, imbRoute9Digit);
        QVERIFY(b.HumanReadable);
    }
};

QTEST_MAIN(ImbBarcodeDialogTest)
#include "imb_barcode_dialog_uitest.moc"
