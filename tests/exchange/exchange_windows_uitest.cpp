#include "addressbook/tool_registry.h"
#include "exchange/ui/ascii_import_form.h"
#include "exchange/ui/copy_out_form.h"
#include "exchange/ui/import_tool.h"
#include "exchange_test_support.h"
#include "store/ui/common_dialogs.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

using namespace qp;
using namespace qp::exchange;

class ExchangeWindowsTest : public QObject {
    Q_OBJECT

    QStringList messages_;
    bool answer_ = false;

private slots:
    void init() {
        messages_.clear();
        ui::SetMessageHandler([this](const ui::MessageRequest& r) {
            messages_ << r.title + "|" + r.text;
            return answer_;
        });
    }
    void cleanup() { ui::SetMessageHandler(nullptr); }

    void importWindowStatesAndMessages() {
        testing::TempDir dir;
        auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
        TAsciiImportForm form(table);
        QCOMPARE(form.windowTitle(), QString("ASCII File Import"));
        QVERIFY(!form.matchButton()->isEnabled());
        QVERIFY(!form.importButton()->isEnabled());

        testing::writeFile(dir.file("one.csv"), "one line\r\n");
        form.chooseFile(QString::fromStdString(dir.file("one.csv")));
        QCOMPARE(messages_.value(0), QString("Information|Unable to import from this file"));
        QVERIFY(!form.matchButton()->isEnabled());

        form.chooseFile(QString::fromStdString(dir.file("ADDR.DBF")));
        QCOMPARE(messages_.value(1), QString("Information|Cannot copy a file to itself!"));

        testing::writeFile(dir.file("in.csv"), "Smith,\"Rome, IT\"\r\nDoe,Oslo\r\n");
        form.chooseFile(QString::fromStdString(dir.file("in.csv")));
        QVERIFY(form.matchButton()->isEnabled());
        QVERIFY(!form.importButton()->isEnabled());

        TAsciiMatchForm match(form.scan(), form.fields(), defaultImportFields(), "in.csv");
        QCOMPARE(match.windowTitle(), QString("ASCII File Import Match Fields"));
        QCOMPARE(match.sampleGrid()->horizontalHeaderItem(1)->text(), QString("Field 2"));
        QCOMPARE(match.sampleGrid()->item(0, 1)->text(), QString("Rome, IT"));
        QCOMPARE(match.matchGrid()->horizontalHeaderItem(1)->text(),
                 QString("Import from Field (in in.csv)"));
        QCOMPARE(match.matchGrid()->item(0, 0)->text(), QString("Last Name"));
        match.chooseForRow(0, 0); // Last Name <- Field 1
        match.chooseForRow(8, 0); // City takes Field 1 away from Last Name
        QCOMPARE(match.matchGrid()->item(0, 1)->text(), QString());
        QCOMPARE(match.matchGrid()->item(8, 1)->text(), QString("Field 1"));
        match.chooseForRow(0, 0);
        match.chooseForRow(8, 1);
        auto fields = match.result();
        QCOMPARE(QString::fromStdString(fields[0].match), QString("Last Name"));
        QCOMPARE(QString::fromStdString(fields[1].match), QString("City"));

        // Reopened, the window takes the matching back.
        TAsciiMatchForm again(form.scan(), fields, defaultImportFields(), "in.csv");
        QCOMPARE(again.matchGrid()->item(8, 1)->text(), QString("Field 2"));
        again.clearAll();
        QVERIFY(!anyMatched(again.result()));

        form.setMatching(fields);
        QVERIFY(form.importButton()->isEnabled());
        form.runImport();
        QCOMPARE(messages_.last(), QString("Information|Import complete. Imported 2 records."));
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.gauge()->value(), 100);
        QVERIFY(store::addressIndexValid(table));
        QCOMPARE(testing::column(table, "CITY"), (std::vector<std::string>{"Rome, IT", "Oslo"}));
    }

    // Escape while records are read stops the import after the record in
    // hand; while the indexes are rebuilt it is ignored, and the window never
    // closes as cancelled.
    void escapeCancelsImportingAndWaitsOutRebuilding() {
        testing::TempDir dir;
        auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
        testing::writeFile(dir.file("in.csv"), "Smith,Rome\r\nDoe,Oslo\r\nRoe,Bonn\r\n");
        auto matched = [&](TAsciiImportForm& form) {
            form.chooseFile(QString::fromStdString(dir.file("in.csv")));
            TAsciiMatchForm match(form.scan(), form.fields(), defaultImportFields(), "in.csv");
            match.chooseForRow(0, 0);
            form.setMatching(match.result());
        };
        std::vector<TAsciiImportForm::State> seen;
        auto escapeSoon = [&seen](TAsciiImportForm& form) {
            QTimer::singleShot(0, &form, [&seen, &form] {
                seen.push_back(form.state());
                QTest::keyClick(&form, Qt::Key_Escape);
            });
        };

        TAsciiImportForm cancelled(table);
        QSignalSpy cancelledRejects(&cancelled, &QDialog::rejected);
        matched(cancelled);
        escapeSoon(cancelled);
        cancelled.runImport();
        QCOMPARE(seen, std::vector{TAsciiImportForm::State::Importing});
        QCOMPARE(messages_.last(),
                 QString("Information|Import cancelled after importing 1 records."));
        QCOMPARE(cancelledRejects.count(), 0);
        QCOMPARE(table.recCount(), 1u);
        QVERIFY(store::addressIndexValid(table));

        seen.clear();
        TAsciiImportForm rebuilt(table);
        QSignalSpy rebuiltRejects(&rebuilt, &QDialog::rejected);
        matched(rebuilt);
        // Queued from the count message, so it arrives while the indexes are rebuilt.
        ui::SetMessageHandler([&](const ui::MessageRequest& r) {
            messages_ << r.title + "|" + r.text;
            escapeSoon(rebuilt);
            return answer_;
        });
        rebuilt.runImport();
        QCOMPARE(seen, std::vector{TAsciiImportForm::State::Rebuilding});
        QCOMPARE(messages_.last(), QString("Information|Import complete. Imported 3 records."));
        QCOMPARE(rebuiltRejects.count(), 0);
        QCOMPARE(rebuilt.result(), int(QDialog::Accepted));
        QCOMPARE(table.recCount(), 4u);
        QVERIFY(store::addressIndexValid(table));

        // Idle, Escape closes the window.
        TAsciiImportForm idle(table);
        QSignalSpy idleRejects(&idle, &QDialog::rejected);
        QTest::keyClick(&idle, Qt::Key_Escape);
        QCOMPARE(idleRejects.count(), 1);
    }

    // The import commands take the window's writable table, else open the
    // file themselves, and say why when they cannot.
    void importCommandsFindTheirTable() {
        testing::TempDir dir;
        auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
        addressbook::ToolContext c;
        c.table = &table;
        store::Table* ran = nullptr;
        auto run = [&ran](store::Table& t) { ran = &t; };
        runOnImportTable(c, "Unable to import", run);
        QCOMPARE(ran, &table);

        c.table = nullptr;
        c.filePath = dir.file("MISSING.DBF");
        ran = nullptr;
        runOnImportTable(c, "Unable to import", run);
        QVERIFY(!ran);
        QVERIFY(messages_.last().startsWith("Information|Unable to import\r\n\r\n"));
        QVERIFY(messages_.last().size() > QString("Information|Unable to import\r\n\r\n").size());
    }

    void copyOutWindowChecksAndCopies() {
        testing::TempDir dir;
        auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
        for (auto name : {"Ann", "Bob"}) {
            QVERIFY(table.append());
            QVERIFY(table.replace("LNAME", name));
            QVERIFY(table.post());
        }
        (void)table.setQuery("!ISDEL");
        TCopyRecordsOutForm form(table);
        QCOMPARE(form.windowTitle(), QString("Copy Records Out"));
        QCOMPARE(form.format(), CopyFormat::Dbf);
        form.acceptName(QString::fromStdString(dir.file("x.txt")));
        QCOMPARE(messages_.value(0), QString("Information|Must have a .DBF extension"));
        form.acceptName(QString::fromStdString(dir.file("addr.DBF")));
        QCOMPARE(messages_.value(1), QString("Information|Cannot copy a file to itself!"));

        testing::writeFile(dir.file("old.txt"), "keep");
        form.setFormat(CopyFormat::Text);
        QCOMPARE(form.fileName()->text(), QString("(none)"));
        answer_ = false;
        form.acceptName(QString::fromStdString(dir.file("old.txt")));
        QVERIFY(messages_.value(2).startsWith("Warning!|"));
        QVERIFY(messages_.value(2).endsWith(" already exists.\r\nDo you want to overwrite it?"));
        QCOMPARE(QString::fromStdString(testing::slurp(dir.file("old.txt"))), QString("keep"));

        answer_ = true;
        form.acceptName(QString::fromStdString(dir.file("old.txt")));
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.outcome().copied, 2u);
        QVERIFY(testing::slurp(dir.file("old.txt")).find("\"Bob\"") != std::string::npos);
    }

    void cancelBeforeCopyingClosesTheWindow() {
        testing::TempDir dir;
        auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
        TCopyRecordsOutForm form(table);
        form.show();
        QTest::mouseClick(form.cancelButton(), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QVERIFY(messages_.isEmpty());
    }
};

QTEST_MAIN(ExchangeWindowsTest)
#include "exchange_windows_uitest.moc"
