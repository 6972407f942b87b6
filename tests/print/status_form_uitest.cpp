// The status window: texts, Cancel/Stop, closing while a job runs.
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/report_printer.h"
#include "print/ui/print_status_form.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace qp::print;

class StatusFormTest : public QObject {
    Q_OBJECT

private:
    TPrinterSetup Setup;

    // Runs the form until its job has finished.
    static void RunToEnd(TPrintStatusForm& form) {
        form.show();
        QTRY_VERIFY_WITH_TIMEOUT(form.Finished(), 10000);
    }

    static void Pages(TBaseReport& job, int n, const std::function<bool(int)>& keepGoing) {
        job.OnBeforePrint = [](TBaseReport& r) {
            r.StatusFormat = "Printing Page %p\r%0\r%1";
            r.StatusText = {"", ""};
        };
        job.OnPrint = [n, keepGoing](TBaseReport& r) {
            for (int page = 1; page < n && keepGoing(page) && !r.Aborted(); ++page)
                r.NewPage();
        };
    }

private slots:
    void initTestCase() { QVERIFY(Setup.SelectPrinterByName(TPrinterSetup::kPdfPrinterName)); }

    void printRunsAndEndsWithOk() {
        TReportFiler job(&Setup);
        TPrintStatusForm form(job, smPrint);
        QCOMPARE(form.windowTitle(), QString("Print Status"));
        QCOMPARE(form.Button()->text(), QString("Cancel"));
        QString seenOnPage2;
        Pages(job, 3, [&](int page) {
            if (page == 2)
                seenOnPage2 = form.StatusLabel()->text();
            return true;
        });
        form.FinalTexts.Completed = "\rLabel Print Completed!";
        RunToEnd(form);
        QCOMPARE(seenOnPage2, QString("Printing Page 2\n\n"));
        QCOMPARE(form.Button()->text(), QString("Ok"));
        QCOMPARE(form.StatusLabel()->text(), QString("\nLabel Print Completed!"));
        QVERIFY(form.isVisible());
        form.Button()->click();
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Accepted));
    }

    void stoppedPreviewNamesItsLastPage() {
        TReportFiler job(&Setup);
        TPrintStatusForm form(job, smPreview);
        QCOMPARE(form.windowTitle(), QString("Preview Status"));
        QCOMPARE(form.Button()->text(), QString("Stop"));
        Pages(job, 5, [&](int page) {
            if (page == 2)
                form.Button()->click(); // the user presses Stop during page 2
            return !form.StopRequested();
        });
        RunToEnd(form);
        QCOMPARE(form.StatusLabel()->text(), QString("\nPreview Stopped at page 2!"));
        QVERIFY(form.ShowPreviewAfterwards());
        QCOMPARE(job.Job().PageCount(), 2);
    }

    void finishedPreviewIsReadyOrClosesItself() {
        TReportFiler job(&Setup);
        TPrintStatusForm form(job, smPreview);
        Pages(job, 2, [](int) { return true; });
        RunToEnd(form);
        QCOMPARE(form.StatusLabel()->text(), QString("\nPreview Ready!"));

        TReportFiler labels(&Setup);
        TPrintStatusForm auto_(labels, smPreview);
        auto_.CloseWhenPreviewReady = true;
        Pages(labels, 2, [](int) { return true; });
        RunToEnd(auto_);
        QVERIFY(!auto_.isVisible());
        QVERIFY(auto_.ShowPreviewAfterwards());
    }

    void cancelAsksAndASecondPressIsIgnored() {
        TReportFiler job(&Setup);
        TPrintStatusForm form(job, smPrint);
        form.CancelQuestion = "Cancel Report Printing?";
        int asked = 0;
        QString question;
        form.ConfirmCancel = [&](QWidget*, const QString& q) {
            ++asked;
            question = q;
            form.Button()->click(); // pressed again while the question is open
            return asked == 2;
        };
        Pages(job, 6, [&](int page) {
            if (page == 2 || page == 3)
                form.Button()->click();
            return true;
        });
        RunToEnd(form);
        QCOMPARE(asked, 2); // No on page 2, Yes on page 3
        QCOMPARE(question, QString("Cancel Report Printing?"));
        QVERIFY(form.JobAborted());
        QVERIFY(!form.ShowPreviewAfterwards());
        QCOMPARE(form.StatusLabel()->text(), QString("\nPrint Canceled!"));
        QCOMPARE(job.Job().PageCount(), 2);
    }

    void closingWhileRunningWaitsForTheJob() {
        TReportFiler job(&Setup);
        TPrintStatusForm form(job, smPrint);
        bool visibleAfterClose = false;
        bool abortedInJob = false;
        Pages(job, 4, [&](int page) {
            if (page == 1) {
                form.close();
                visibleAfterClose = form.isVisible();
                abortedInJob = job.Aborted();
            }
            return true;
        });
        form.show();
        QTRY_VERIFY_WITH_TIMEOUT(form.Finished(), 10000);
        QVERIFY(visibleAfterClose);
        QVERIFY(abortedInJob);
        QTRY_VERIFY(!form.isVisible());
    }

    void cancelledPdfSaysWhatItKept() {
        QTemporaryDir dir;
        Setup.SetOutputFileName(dir.filePath("cut.pdf"));
        TReportPrinter job(&Setup);
        TPrintStatusForm form(job, smPrint);
        form.ConfirmCancel = [](QWidget*, const QString&) { return true; };
        Pages(job, 5, [&](int page) {
            if (page == 2) {
                job.GotoXY(1, 1);
                job.Print("partial");
                form.Button()->click();
            }
            return true;
        });
        RunToEnd(form);
        QVERIFY(form.StatusLabel()->text().startsWith("\nPrint Canceled!\n1 page(s) kept in "));
        QVERIFY(QFile::exists(dir.filePath("cut.pdf")));
    }

    void aJobThatCannotStartIsReported() {
        Setup.SetOutputFileName({});
        TReportPrinter job(&Setup);
        TPrintStatusForm form(job, smPrint);
        QString reported;
        form.ReportError = [&](QWidget*, const QString& e) { reported = e; };
        RunToEnd(form);
        QVERIFY(!reported.isEmpty());
        QCOMPARE(form.Button()->text(), QString("Ok"));
    }
};

QTEST_MAIN(StatusFormTest)
#include "status_form_uitest.moc"
