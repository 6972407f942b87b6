// "Print Current Record": the boxes and "All", the preview of the record on
// screen at the page width, the window staying open, help.
#include "addressbook/dialog_test_support.h"
#include "help/help_service.h"
#include "help/ods_help.h"
#include "print/printer_setup.h"
#include "print/ui/file_preview.h"
#include "print/ui/preview_form.h"
#include "print/ui/print_status_form.h"
#include "reports/ui/record_sheet_window.h"
#include "reports_test_support.h"
#include "window_test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

using namespace qp;
using namespace qp::reports;

using qp::testing::whenFinished;
using qp::testing::whenModal;

class RecordSheetWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ProgramHome> home_;
    std::optional<store::Table> table_;

private slots:
    void init() {
        home_ = std::make_unique<test::ProgramHome>();
        auto t = testing::makeAddressFile(
            home_->path("DATA/ADD0001.DBF").toStdString(),
            {{{"LNAME", "Able"}}, {{"LNAME", "Baker"}, {"MEMO", "Ring twice."}}});
        QVERIFY(t);
        table_.emplace(std::move(*t));
        QVERIFY(table_->go(2));
    }
    void cleanup() {
        table_.reset();
        home_.reset();
    }

    void boxesStartCheckedInTableOrderAndAllSetsThem() {
        TPrintCurrentRecord w(*table_);
        QCOMPARE(w.windowTitle(), QString("Print Current Record"));
        QStringList captions;
        for (int i = 0; i < kSheetFieldCount; ++i) {
            QVERIFY(w.box(i)->isChecked());
            captions << w.box(i)->text();
        }
        QCOMPARE(captions.first(), QString("Prefix"));
        QCOMPARE(captions[9], QString("State/Province"));
        QCOMPARE(captions[15], QString("E-mail"));
        QCOMPARE(captions.last(), QString("Memo"));
        QVERIFY(w.allBox()->isChecked());

        w.allBox()->click();
        for (int i = 0; i < kSheetFieldCount; ++i)
            QVERIFY(!w.box(i)->isChecked());
        QCOMPARE(w.choices(), SheetChoices{});
        w.box(1)->click();
        SheetChoices one{};
        one[1] = true;
        QCOMPARE(w.choices(), one);
        w.allBox()->click();
        QCOMPARE(w.choices(), allSheetChoices());
    }

    void previewAtPageWidthAndTheWindowStaysOpen() {
        QVERIFY(print::TPrinterSetup::Shared().SelectPrinterByName(
            print::TPrinterSetup::kPdfPrinterName));
        TPrintCurrentRecord w(*table_);
        w.show();
        QString status, caption, title;
        int pages = 0;
        whenModal<print::TPrintStatusForm>([&](print::TPrintStatusForm& form) {
            whenFinished(form, [&](print::TPrintStatusForm& s) {
                status = s.StatusLabel()->text();
                whenModal<print::TPreviewForm>([&](print::TPreviewForm& p) {
                    caption = p.Caption();
                    pages = p.Preview()->Model().PageCount();
                    title = p.windowTitle();
                    p.accept();
                });
                s.Button()->click();
            });
        });
        w.findChild<QPushButton*>("PreviewButton")->click();
        QCOMPARE(status, QString("\nReport Preview Ready!"));
        QCOMPARE(caption, QString("Preview Report"));
        QCOMPARE(pages, 1);
        QVERIFY2(title.startsWith("Preview Page 1 of 1"), qPrintable(title));
        QVERIFY(w.isVisible());
        QCOMPARE(table_->recNo(), 2u);
    }

    void helpCoversEveryControl() {
        TPrintCurrentRecord w(*table_);
        w.show();
        help::TODSHelp* help = help::AttachHelp(w);
        QVERIFY(help);
        QCOMPARE(int(help->MaxWidth), 200);
        for (QAbstractButton* c : w.findChildren<QAbstractButton*>())
            QVERIFY2(help->HelpText.find(help::ControlKey(c)), qPrintable(help::ControlKey(c)));
        for (const auto& e : help->HelpText.entries)
            QVERIFY2(w.findChild<QWidget*>(e.name), qPrintable(e.name));
    }
};

QTEST_MAIN(RecordSheetWindowTest)
#include "record_sheet_window_uitest.moc"
