// "Print Report", the report designer and "Report Layout": the built-in
// page, the list of designed reports with New, Clone and Delete, the band
// rules on screen, Save's checks, Cancel leaving every file alone, the
// preview at page width and the table put back.
#include "addressbook/dialog_test_support.h"
#include "design/ui/panel_widget.h"
#include "print/printer_setup.h"
#include "print/ui/file_preview.h"
#include "print/ui/preview_form.h"
#include "print/ui/print_status_form.h"
#include "reports/ui/report_designer.h"
#include "reports/ui/report_layout_dialog.h"
#include "reports/ui/report_setup_window.h"
#include "reports_test_support.h"
#include "store/shared_routines.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>

using namespace qp;
using namespace qp::reports;
using qp::testing::whenFinished;
using qp::testing::whenModal;

class ReportWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ProgramHome> home_;
    std::optional<store::Table> table_;

    std::unique_ptr<TReportSetup> window(bool filterSet = false) {
        const std::string sysdata = store::SysdataFolder().string();
        auto t = openReportTable(sysdata);
        if (!t)
            return nullptr;
        return std::make_unique<TReportSetup>(*table_, std::move(*t), sysdata, "", filterSet);
    }
    QByteArray bytes(const QString& name) {
        QFile f(home_->path("sysdata/" + name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init() {
        home_ = std::make_unique<test::ProgramHome>();
        auto t = testing::makeAddressFile(
            home_->path("DATA/ADD0001.DBF").toStdString(),
            {{{"LNAME", "Able"}, {"CITY", "Avon"}}, {{"LNAME", "Baker"}, {"MEMO", "Ring twice."}}});
        QVERIFY(t);
        table_.emplace(std::move(*t));
        QVERIFY(table_->go(2));
        QVERIFY(print::TPrinterSetup::Shared().SelectPrinterByName(
            print::TPrinterSetup::kPdfPrinterName));
    }
    void cleanup() {
        table_.reset();
        home_.reset();
    }

    void builtInPageAndButtonRules() {
        auto w = window(false);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QString("Print Report"));
        QCOMPARE(w->builtInList()->count(), 4);
        QCOMPARE(w->builtInList()->item(2)->text(), QString("3. Organization,Name,Phone,Fax "));
        QCOMPARE(w->titleEdit()->text(), QString("Report 1"));
        w->builtInList()->setCurrentRow(3);
        QCOMPARE(w->titleEdit()->text(), QString("Report 4"));
        QVERIFY(!w->filterButton()->isEnabled());
        QVERIFY(w->allButton()->isChecked());
        w->show();
        QVERIFY(!w->onePerPageBox()->isVisible());
        QVERIFY(w->printButton()->isVisible());
        w->tabs()->setCurrentIndex(TReportSetup::DesignerPage);
        // No report yet: nothing to modify, print or preview.
        QVERIFY(!w->modifyButton()->isEnabled());
        QVERIFY(!w->printButton()->isVisible());
        QVERIFY(w->newButton()->isEnabled());
        w.reset(); // the report table is open for exclusive use
        auto filtered = window(true);
        QVERIFY(filtered);
        QVERIFY(filtered->filterButton()->isEnabled());
        QVERIFY(filtered->filterButton()->isChecked());
    }

    void newCloneDeleteAndCancel() {
        test::MessageRecorder messages;
        auto w = window();
        bool accept = true;
        w->runDesigner = [&](ReportBands& bands, ReportDesign& d, bool isNew) -> bool {
            if (!isNew && d.Description != "Members")
                return false;
            d.Description = "Members";
            bands.Detail.SetSize(600, 33);
            bands.Detail.SetPanelState(psRectangle);
            bands.Detail.CreateObjectInRect(QRect(QPoint(0, 0), QPoint(60, 20)));
            return accept;
        };
        w->newReport();
        QCOMPARE(w->reportList()->topLevelItemCount(), 1);
        QCOMPARE(w->reportList()->topLevelItem(0)->text(0), QString("Members"));
        const QByteArray first = bytes("BIN00001.R");
        QVERIFY(!first.isEmpty());

        // Cancel in the designer: the table and the file stay as they were.
        accept = false;
        w->modifyReport();
        QCOMPARE(bytes("BIN00001.R"), first);
        QCOMPARE(w->reportList()->topLevelItemCount(), 1);

        messages.answers = {true};
        w->cloneReport();
        QCOMPARE(messages.seen.back().text, QString("Clone \"Members\"?"));
        QCOMPARE(messages.seen.back().title, QString("CLONE"));
        QCOMPARE(w->reportList()->topLevelItemCount(), 2);
        QCOMPARE(bytes("BIN00002.R"), first);

        messages.answers = {true};
        w->reportList()->setCurrentItem(w->reportList()->topLevelItem(0));
        w->deleteReport();
        QCOMPARE(messages.seen.back().title, QString("DELETE"));
        QCOMPARE(w->reportList()->topLevelItemCount(), 1);
    }

    void previewOfABuiltInReportAtPageWidthPutsTheTableBack() {
        auto w = window();
        w->show();
        QString status, caption;
        int pages = 0;
        whenModal<print::TPrintStatusForm>([&](print::TPrintStatusForm& form) {
            whenFinished(form, [&](print::TPrintStatusForm& s) {
                status = s.StatusLabel()->text();
                whenModal<print::TPreviewForm>([&](print::TPreviewForm& p) {
                    caption = p.Caption();
                    pages = p.Preview()->Model().PageCount();
                    p.accept();
                });
                s.Button()->click();
            });
        });
        w->previewButton()->click();
        QCOMPARE(status, QString("\nReport Preview Ready!"));
        QCOMPARE(caption, QString("Preview Report"));
        QCOMPARE(pages, 1);
        QCOMPARE(table_->recNo(), 2u);
        QCOMPARE(table_->indexOrd(), 0);
    }

    void designerBandsToolsAndSave() {
        test::MessageRecorder messages;
        ReportBands bands;
        ReportDesign design;
        TReportDesigner d(bands, design, true, &*table_);
        d.show();
        QCOMPARE(d.windowTitle(), QString("Report Designer"));
        QCOMPARE(d.layoutCaption()->text(), QString("Letter Size, Portrait"));
        QCOMPARE(d.fontButton()->text(), QString("Default Font: Arial, 10 pt "));
        QCOMPARE(bands.Detail.Width(), 816 - 96 - 24);
        QVERIFY(!d.bandWidget(rbFooter)->isVisible());
        QVERIFY(!d.memoProperties()->isVisible());
        // "Save" shows only after the first change; moving through records is none.
        auto* saveButton = d.findChild<QPushButton*>("SaveButton");
        QVERIFY(saveButton && !saveButton->isVisible());
        d.moveRecord(2);
        QVERIFY(!saveButton->isVisible() && !d.changed());

        // The field tool: the header only beeps, the detail takes the field.
        d.setTool(psDataLabel);
        QVERIFY(!bands.Header.Accepting());
        QTest::mousePress(d.bandWidget(rbHeader), Qt::LeftButton, Qt::KeyboardModifiers(),
                          QPoint(10, 10));
        QTest::mouseRelease(d.bandWidget(rbHeader), Qt::LeftButton, Qt::KeyboardModifiers(),
                            QPoint(40, 20));
        QCOMPARE(bands.Header.ObjectCount(), 0);

        d.bandSwitch(rbFooter)->setChecked(true);
        QVERIFY(saveButton->isVisible() && d.changed());
        QCOMPARE(design.Vars.FooterHeight, 20);
        QVERIFY(d.bandWidget(rbFooter)->isVisible());
        d.bandSwitch(rbMemo)->setChecked(true);
        QVERIFY(d.memoProperties()->isVisible());
        QCOMPARE(d.memoBand()->height(), 33);

        d.dragBand(rbDetail, 33, 100000);
        QCOMPARE(design.Vars.HeaderHeight + design.Vars.DetailHeight + design.Vars.FooterHeight,
                 1056 - 96);
        d.dragBand(rbDetail, 33, -100);
        QCOMPARE(design.Vars.DetailHeight, 20); // a band that is on keeps 20 pixels

        // Nothing on: Save says so and stays.
        for (TReportBand b : {rbHeader, rbDetail, rbMemo, rbFooter})
            d.bandSwitch(b)->setChecked(false);
        QVERIFY(!d.save());
        QCOMPARE(messages.texts().back(),
                 QString("No report bands are selected. Please select at least one"));
        QVERIFY(d.isVisible());
        d.bandSwitch(rbHeader)->setChecked(true);
        d.descriptionEdit()->setText("Saved one");
        QVERIFY(d.save());
        QCOMPARE(design.Description, QString("Saved one"));
        QVERIFY(design.Vars.UseHeader);
        QCOMPARE(design.Vars.HeaderHeight, 20);
        QVERIFY(!design.Vars.UseDetail);
    }

    void layoutDialogRecognisesPaperAndMakesDefaults() {
        ReportVars v = NewReportVars();
        SetPaper(v, ReportPaper::A4Landscape);
        v.LeftMargin = 96;
        TReportProperties dialog(v);
        QVERIFY(dialog.a4Button()->isChecked());
        QVERIFY(dialog.landscapeButton()->isChecked());
        QCOMPARE(dialog.marginBox(0)->value(), 1.0);
        QCOMPARE(dialog.paperDescription(), QString("A4 Size, Landscape"));
        dialog.letterButton()->setChecked(true);
        QCOMPARE(dialog.vars().PageWidth, 1056);
        QCOMPARE(dialog.paperDescription(), QString("Letter Size, Landscape"));
        dialog.shadeBox(rbDetail)->setCurrentIndex(3);
        QCOMPARE(dialog.vars().Borders[rbDetail].ShadePercent, 60);
        dialog.setDefaults();
        QCOMPARE(dialog.vars().PageWidth, 816);
        QCOMPARE(dialog.vars().LeftMargin, 48);
        QCOMPARE(dialog.vars().Borders[rbDetail], BandBorders{});
        QVERIFY(dialog.portraitButton()->isChecked());
    }
};

QTEST_MAIN(ReportWindowsTest)
#include "report_windows_uitest.moc"
