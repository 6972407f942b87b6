// "Count Zip Codes": the count on first showing, its texts and buttons,
// Cancel Count?, the preview, the CSV export, help and the tool.
#include "addressbook/dialog_test_support.h"
#include "addressbook/tool_registry.h"
#include "help/help_service.h"
#include "help/ods_help.h"
#include "print/printer_setup.h"
#include "print/ui/preview_form.h"
#include "print/ui/print_status_form.h"
#include "reports/ui/zip_count_window.h"
#include "reports_test_support.h"
#include "window_test_support.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

using namespace qp;
using namespace qp::reports;

using qp::testing::whenFinished;
using qp::testing::whenModal;

class ZipCountWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ProgramHome> home_;
    std::optional<store::Table> table_;

    void makeTable(const std::vector<std::string>& zips) {
        table_.reset();
        auto t = testing::makeAddressFile(home_->path("DATA/ADD0001.DBF").toStdString(),
                                          testing::zipRecords(zips));
        QVERIFY2(t, t ? "" : t.error().c_str());
        table_.emplace(std::move(*t));
    }

    // Shows the window and waits for the count to end.
    void showAndCount(TCountZipCodes& w) {
        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(w.state() == TCountZipCodes::State::Finished ||
                                     w.state() == TCountZipCodes::State::Canceled,
                                 20000);
    }

private slots:
    void init() {
        home_ = std::make_unique<test::ProgramHome>();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void cleanup() {
        table_.reset();
        home_.reset();
    }

    void countsOnFirstShowingAndEndsWithItsText() {
        std::vector<std::string> zips(1234, "12345");
        for (const char* z : {"12345-6789", "1234", "K1A 0B1", "", "", "", "", ""})
            zips.push_back(z);
        makeTable(zips);
        QVERIFY(table_->setOrder(table_->tagArea("LNAME")));
        QVERIFY(table_->go(40));
        TCountZipCodes w(*table_);
        QCOMPARE(w.windowTitle(), QString("Count Zip Codes"));
        showAndCount(w);
        QCOMPARE(w.state(), TCountZipCodes::State::Finished);
        QCOMPARE(w.statusLabel()->text(),
                 QString("Finished counting. Press Print or Preview for the report"));
        const std::vector<std::string> expected{"12345     1,235", "",           "", "1234      1",
                                                "K1A 0     1",     "BLANK     5"};
        QCOMPARE(w.resultLines(), expected);
        QCOMPARE(w.resultList()->count(), 6);
        QCOMPARE(w.resultList()->item(5)->text(), QString("BLANK     5"));
        QVERIFY(w.buttonRow()->isVisible());
        QVERIFY(!w.cancelButton()->isVisible());
        // Order and record are as they were.
        QCOMPARE(table_->indexOrd(), table_->tagArea("LNAME"));
        QCOMPARE(table_->recNo(), 40u);
        // A later activation does not count again.
        w.hide();
        w.show();
        QTest::qWait(50);
        QCOMPARE(w.state(), TCountZipCodes::State::Finished);
    }

    void cancelAsksAndNoGoesOn() {
        makeTable(std::vector<std::string>(6000, "12345"));
        test::MessageRecorder messages;
        messages.answers = {false, true}; // No, then Yes
        TCountZipCodes w(*table_);
        int clicks = 0;
        std::function<void()> clickCancel = [&] {
            if (w.state() == TCountZipCodes::State::Counting) {
                clicks = 2;
                w.cancelButton()->click(); // No: the count goes on
                QVERIFY(w.state() == TCountZipCodes::State::Counting);
                w.cancelButton()->click(); // Yes
                return;
            }
            if (w.state() == TCountZipCodes::State::Idle)
                QTimer::singleShot(0, clickCancel);
        };
        QTimer::singleShot(0, clickCancel);
        showAndCount(w);
        if (clicks < 2)
            QSKIP("the count ended before Cancel could be pressed twice");
        QCOMPARE(messages.seen.size(), size_t(2));
        QCOMPARE(messages.seen[0].text, QString("Cancel Count?"));
        QCOMPARE(messages.seen[0].title, QString("CANCEL"));
        QCOMPARE(w.state(), TCountZipCodes::State::Canceled);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(w.resultLines().empty());
    }

    void previewShowsTheReport() {
        makeTable({"12345", "23456", ""});
        QVERIFY(print::TPrinterSetup::Shared().SelectPrinterByName(
            print::TPrinterSetup::kPdfPrinterName));
        TCountZipCodes w(*table_);
        showAndCount(w);
        QString status, caption;
        whenModal<print::TPrintStatusForm>([&](print::TPrintStatusForm& form) {
            whenFinished(form, [&](print::TPrintStatusForm& s) {
                status = s.StatusLabel()->text();
                QCOMPARE(s.windowTitle(), QString("Preview Status"));
                whenModal<print::TPreviewForm>([&](print::TPreviewForm& p) {
                    caption = p.Caption();
                    p.accept();
                });
                s.Button()->click();
            });
        });
        w.DoThePrintJob(true);
        QCOMPARE(status, QString("\nPreview Ready!"));
        QCOMPARE(caption, QString("Preview Zipcode Count"));
        QVERIFY(w.isVisible());
    }

    void exportWritesCsvOrSaysWhyNot() {
        makeTable({"12345", "12345", "K1A 0B1", ""});
        test::MessageRecorder messages;
        TCountZipCodes w(*table_);
        showAndCount(w);
        const QString path = home_->path("counts.csv");
        QVERIFY(w.ExportCsv(path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("ZIP,Count\r\n12345,2\r\nK1A 0,1\r\nBLANK,1\r\n"));
        QVERIFY(!w.ExportCsv(home_->path("no/such/folder/counts.csv")));
        QCOMPARE(messages.seen.size(), size_t(1));
        QVERIFY(messages.seen[0].text.startsWith("The counts could not be written"));
        QVERIFY(!QFile::exists(home_->path("no/such/folder/counts.csv")));
    }

    void helpCoversTheControlsAndTheToolIsRegistered() {
        makeTable({"12345"});
        TCountZipCodes w(*table_);
        showAndCount(w);
        help::TODSHelp* help = help::AttachHelp(w);
        QVERIFY(help);
        QCOMPARE(int(help->MaxWidth), 200);
        QVERIFY(help->mouseHelpButton());
        for (QWidget* c : w.findChildren<QWidget*>()) {
            if (qobject_cast<QAbstractButton*>(c) || qobject_cast<QListWidget*>(c))
                QVERIFY2(help->HelpText.find(help::ControlKey(c)), qPrintable(help::ControlKey(c)));
        }
        QVERIFY(addressbook::FindTool(addressbook::Tool::CountZipCodes));
        QVERIFY(addressbook::FindTool(addressbook::Tool::PrintCurrentRecord));
    }
};

QTEST_MAIN(ZipCountWindowTest)
#include "zip_count_window_uitest.moc"
