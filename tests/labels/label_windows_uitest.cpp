#include "labels/label_stock.h"
#include "labels/ui/label_layout_windows.h"
#include "labels_test_support.h"
#include "print/ui/window_hooks.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

using namespace qp::labels;

class LabelWindowsTest : public QObject {
    Q_OBJECT
    QStringList messages_;

    void type(TUserLabelLayoutForm& form, TUserLabelLayoutForm::Length which, const QString& text) {
        auto* edit = form.length(which);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        emit edit->editingFinished();
    }

private slots:
    void init() {
        messages_.clear();
        qp::ui::SetMessageHandler([this](const qp::ui::MessageRequest& r) {
            messages_ << r.text;
            return true;
        });
    }

    void unitSwitchKeepsThePrecision() {
        TUserLabelLayoutForm form(ManualLayout{});
        form.show();
        QCOMPARE(form.length(TUserLabelLayoutForm::Width)->text(), QString("2.625"));
        form.millimetresButton()->click();
        QCOMPARE(form.length(TUserLabelLayoutForm::Width)->text(), QString("67"));
        form.inchesButton()->click();
        QCOMPARE(form.length(TUserLabelLayoutForm::Width)->text(), QString("2.625"));
        form.accept();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.layout().labelWidth, 2.625);
        QCOMPARE(form.layout().horizontalPitch, 2.765);
    }

    void validationMessagesInTheirOrder() {
        TUserLabelLayoutForm form(ManualLayout{});
        form.show();
        type(form, TUserLabelLayoutForm::Height, "0.299");
        form.accept();
        QCOMPARE(messages_.value(0), QString("Label Height must be at least .3 inches (or 7mm)"));
        QVERIFY(form.isVisible());
        type(form, TUserLabelLayoutForm::Height, "0.3");
        type(form, TUserLabelLayoutForm::Width, "0.499");
        form.accept();
        QCOMPARE(messages_.value(1), QString("Label Width must be at least .5 inch (or 13mm)"));
        type(form, TUserLabelLayoutForm::Width, "3");
        // Leaving the width raised the pitch to it.
        QCOMPARE(form.length(TUserLabelLayoutForm::HPitch)->text(), QString("3.0"));
        type(form, TUserLabelLayoutForm::HPitch, "2");
        form.accept();
        QCOMPARE(messages_.value(2), QString("Horizontal Pitch must be at least = Label Width"));
        form.across()->setValue(1); // one column: a smaller pitch is fine
        type(form, TUserLabelLayoutForm::VPitch, "0.2");
        form.accept();
        QCOMPARE(messages_.value(3), QString("Vertical Pitch must be at least = Label Height"));
        form.down()->setValue(1);
        type(form, TUserLabelLayoutForm::PaperWidth, "0.2");
        form.accept();
        QCOMPARE(messages_.value(4), QString("Page Width must be at least .3 inch"));
        type(form, TUserLabelLayoutForm::PaperWidth, "8.5");
        type(form, TUserLabelLayoutForm::PaperHeight, "0");
        form.accept();
        QCOMPARE(messages_.value(5), QString("Page Height must be at least .3 inches"));
        type(form, TUserLabelLayoutForm::PaperHeight, "11");
        type(form, TUserLabelLayoutForm::Width, "0.5");
        form.accept();
        QCOMPARE(messages_.size(), 6);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.layout().labelHeight, 0.3);
    }

    void paperChoiceFillsTheSizeInTheUnitShown() {
        TUserLabelLayoutForm form(ManualLayout{});
        form.show();
        form.millimetresButton()->click();
        form.paper()->setCurrentIndex(3);
        emit form.paper()->activated(3);
        QCOMPARE(form.length(TUserLabelLayoutForm::PaperWidth)->text(), QString("297"));
        form.accept();
        QCOMPARE(form.layout().paperSize, std::string("A4L"));
        QCOMPARE(form.layout().sheetWidth, 11.69);
    }

    void templateWindowStartsOnAveryLaserAddressForUserLayouts() {
        qp::testing::LabelsTempFolder folder;
        QVERIFY(buildLabelTemplateTable(folder.file("LBLTPL.DBF")));
        LabelDefinition def;
        def.maker = "USER";
        def.templateName = "Avery 8160  Address";
        TSelectLabelTemplateForm form(folder.path().string(), def, false);
        QVERIFY(form.opened());
        QCOMPARE(form.manufacturer()->currentText(), QString("Avery Laserjet"));
        QCOMPARE(form.product()->currentText(), QString("Address/Shipping Labels"));
        QCOMPARE(form.grid()->currentRow(), 0);
        QVERIFY(form.okButton()->isEnabled());
    }

    void templateWindowFindsTheCurrentTemplate() {
        qp::testing::LabelsTempFolder folder;
        QVERIFY(buildLabelTemplateTable(folder.file("LBLTPL.DBF")));
        LabelDefinition def; // an Avery laser address definition
        TSelectLabelTemplateForm form(folder.path().string(), def, false);
        auto s = form.selected();
        QVERIFY(s);
        QCOMPARE(s->description, std::string("Avery 5160  Address"));
        QCOMPARE(form.detail(1)->text(), QString("2.625"));
        // A filter that matches nothing disables the grid and Ok: no label
        // printer roll is on A4 or A5.
        form.manufacturer()->setCurrentIndex(3);
        form.european()->setChecked(true);
        form.product()->setCurrentIndex(1);
        QVERIFY(!form.okButton()->isEnabled());
        QVERIFY(!form.grid()->isEnabled());
        form.product()->setCurrentIndex(6);
        form.european()->setChecked(false);
        QVERIFY(form.okButton()->isEnabled());
    }

    void searchNarrowsAcrossMakersAndEnterPicks() {
        qp::testing::LabelsTempFolder folder;
        QVERIFY(buildLabelTemplateTable(folder.file("LBLTPL.DBF")));
        TSelectLabelTemplateForm form(folder.path().string(), LabelDefinition{}, true);
        QVERIFY(form.opened());
        // Every maker has its item after the four fixed ones.
        QCOMPARE(form.manufacturer()->itemText(0), QString("Avery Laserjet"));
        QCOMPARE(form.manufacturer()->itemText(3), QString("Costar LabelPrinter"));
        QCOMPARE(form.manufacturer()->count(), 27);
        QVERIFY(form.manufacturer()->findText("Herma") > 3);
        // A Costar item and a family no Avery L-sheet is in: the search still finds it.
        form.manufacturer()->setCurrentIndex(3);
        form.product()->setCurrentIndex(2);
        form.european()->setChecked(true);
        QTest::keyClicks(form.search(), "L716");
        QVERIFY(form.grid()->rowCount() > 1);
        QTest::keyClicks(form.search(), "3");
        QCOMPARE(form.grid()->rowCount(), 1);
        QCOMPARE(form.grid()->item(0, 0)->text(), QString("Avery L7163  Mailing"));
        QVERIFY(!form.manufacturer()->isEnabled());
        form.show();
        QTest::keyClick(form.search(), Qt::Key_Return);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.selected()->description, std::string("Avery L7163  Mailing"));
        // Clearing the search brings the lists' filter back.
        form.search()->clear();
        QVERIFY(form.manufacturer()->isEnabled());
        QCOMPARE(form.grid()->rowCount(), 0);
        QVERIFY(!form.okButton()->isEnabled());
    }

    void searchKeysMoveTheHighlight() {
        qp::testing::LabelsTempFolder folder;
        QVERIFY(buildLabelTemplateTable(folder.file("LBLTPL.DBF")));
        TSelectLabelTemplateForm form(folder.path().string(), LabelDefinition{}, true);
        form.show();
        QTest::keyClicks(form.search(), "Herma 44");
        QVERIFY(form.grid()->rowCount() > 2);
        QCOMPARE(form.grid()->currentRow(), 0);
        QTest::keyClick(form.search(), Qt::Key_Down);
        QCOMPARE(form.grid()->currentRow(), 1);
        QCOMPARE(form.selected()->description, form.grid()->item(1, 0)->text().toStdString());
    }

    void saveAsStockKeepsTheSheetToChooseAgain() {
        qp::testing::LabelsTempFolder folder;
        QVERIFY(buildLabelTemplateTable(folder.file("LBLTPL.DBF")));
        ManualLayout m;
        m.labelWidth = 3.5;
        m.horizontalPitch = 3.6;
        m.across = 2;
        TUserLabelLayoutForm form(m, nullptr, folder.path().string());
        form.show();
        QVERIFY(form.saveAsStockButton());
        QVERIFY(!form.saveAsStock(""));
        QCOMPARE(messages_.value(0), QString("Please type a name for the sheet."));
        QVERIFY(!form.saveAsStock("Avery 5160  Address"));
        QVERIFY(messages_.value(1).startsWith("The catalogue already holds a sheet called"));
        QVERIFY(form.saveAsStock("Workshop bins"));
        QVERIFY(form.isVisible()); // still open: Ok or Cancel as ever

        LabelDefinition def;
        def.maker = "USER";
        def.templateName = "Workshop bins";
        def.productType = "MISCELLANEOUS";
        TSelectLabelTemplateForm pick(folder.path().string(), def, false);
        QCOMPARE(pick.manufacturer()->currentText(), QString("User Defined"));
        auto s = pick.selected();
        QVERIFY(s);
        QCOMPARE(s->description, std::string("Workshop bins"));
        QCOMPARE(s->maker, std::string("USER"));
        QCOMPARE(s->labelWidth, 3.5);
        QCOMPARE(s->across, 2);
        // Without a catalogue folder there is no such button.
        TUserLabelLayoutForm plain(m);
        QVERIFY(!plain.saveAsStockButton());
    }

    // QP_SCREENSHOTS=folder: the template window searching, for the documentation.
    void templateWindowScreenshot() {
        const QString folder = qEnvironmentVariable("QP_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("QP_SCREENSHOTS not set");
        qp::testing::LabelsTempFolder sysdata;
        QVERIFY(buildLabelTemplateTable(sysdata.file("LBLTPL.DBF")));
        TSelectLabelTemplateForm form(sysdata.path().string(), LabelDefinition{}, true);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::keyClicks(form.search(), "herma 44");
        QTest::keyClick(form.search(), Qt::Key_Down);
        QTest::qWait(50);
        form.grab().save(folder + QStringLiteral("/select-label-template.png"));
    }

    void missingCatalogueSaysSo() {
        qp::testing::LabelsTempFolder folder;
        TSelectLabelTemplateForm form(folder.path().string(), LabelDefinition{}, true);
        QVERIFY(!form.opened());
        QCOMPARE(messages_.value(0), QString("Unable to Open LBLTPL.DBF"));
    }

    void layoutChoiceDefaultsToTheList() {
        TLabelLayoutForm form;
        QVERIFY(form.templateChoice()->isChecked());
        form.accept();
        QCOMPARE(form.choice(), LayoutChoice::TemplateList);
        TLabelLayoutForm manual;
        manual.manualChoice()->setChecked(true);
        manual.reject();
        QCOMPARE(manual.choice(), LayoutChoice::Cancelled);
    }

    void helpButtonsOpenTheirTopics() {
        QList<int> topics;
        qp::print::SetHelpHandler([&topics](QWidget*, int topic) { topics << topic; });
        TLabelLayoutForm choice;
        choice.findChild<QPushButton*>(QStringLiteral("HelpButton"))->click();
        TUserLabelLayoutForm manual(ManualLayout{});
        manual.findChild<QPushButton*>(QStringLiteral("HelpButton"))->click();
        qp::print::SetHelpHandler({});
        QCOMPARE(topics, (QList<int>{1049, 1050}));
    }
};

QTEST_MAIN(LabelWindowsTest)
#include "label_windows_uitest.moc"
