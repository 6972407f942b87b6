// The DBF File Import window with its match window, and the window
// importing the earlier versions' files.

#include "exchange/ui/dbf_import_form.h"
#include "exchange/ui/older_import_form.h"
#include "exchange_test_support.h"
#include "store/ui/common_dialogs.h"
#include "support/peer_tools.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

using namespace qp;
using namespace qp::exchange;

namespace {

bool writeSource(const std::string& kind, const std::string& path) {
    const std::string script = testing::peerScript("../../exchange/peers/dbf_sources.py");
    return testing::runCommand("/usr/bin/python3 " + testing::shellQuote(script) + " " + kind +
                               " " + testing::shellQuote(path))
               .status == 0;
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

class DbfImportWindowsTest : public QObject {
    Q_OBJECT

    QStringList messages_;

private slots:
    void init() {
        messages_.clear();
        ui::SetMessageHandler([this](const ui::MessageRequest& r) {
            messages_ << r.text;
            return false;
        });
    }
    void cleanup() { ui::SetMessageHandler(nullptr); }

    void dbfImportWindowProposesMatchesAndImports() {
        if (!testing::havePythonDbf())
            QSKIP("python3-dbf is not installed");
        testing::TempDir dir;
        QVERIFY(writeSource("db3", dir.file("people.dbf")));
        QVERIFY(writeSource("empty", dir.file("empty.dbf")));
        auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
        TDbfImportForm form(table);
        QCOMPARE(form.windowTitle(), QString("DBF File Import"));
        QCOMPARE(form.fileNameLabel()->text(), QString("(none)"));
        QVERIFY(!form.matchButton()->isEnabled());
        QVERIFY(!form.importButton()->isEnabled());

        form.chooseFile(q(dir.file("addr.dbf")));
        QCOMPARE(messages_.value(0), QString("Cannot import a file to itself"));
        form.chooseFile(q(dir.file("empty.dbf")));
        QCOMPARE(messages_.value(1), QString("There are no records in empty.dbf"));
        QCOMPARE(form.fileNameLabel()->text(), QString("(none)"));
        QVERIFY(!form.matchButton()->isEnabled());

        form.chooseFile(q(dir.file("people.dbf")));
        QCOMPARE(form.fileNameLabel()->text(), QString("people.dbf"));
        QVERIFY(form.matchButton()->isEnabled());
        QVERIFY(!form.importButton()->isEnabled());

        auto source = openImportSource(dir.file("people.dbf"), table.path());
        QVERIFY(source.ok());
        auto offered = dbfImportFields();
        TDbfMatchForm match(*source, form.matchingToShow(), offered);
        QCOMPARE(match.windowTitle(), QString("DBF File Import Match Fields"));
        QCOMPARE(match.matchGrid()->horizontalHeaderItem(0)->text(), QString("Quillpost Field"));
        QCOMPARE(match.matchGrid()->horizontalHeaderItem(1)->text(),
                 QString("Import from Field (in people.dbf)"));
        // The browser shows every record; the deleted one is starred.
        auto* model = match.browser()->model();
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(model->headerData(1, Qt::Vertical).toString(), QString("*2"));
        QCOMPARE(model->data(model->index(0, 0)).toString(), QString("Müller"));
        QCOMPARE(model->data(model->index(0, 6)).toString(), QString("Grüße zweite Zeile"));
        // Proposed: LNAME, FNAME, ZIP and the memo.
        QCOMPARE(match.matchGrid()->item(0, 0)->text(), QString("Last Name"));
        QCOMPARE(match.matchGrid()->item(0, 1)->text(), QString("LNAME"));
        QCOMPARE(match.matchGrid()->item(10, 1)->text(), QString("ZIP"));
        const int memoRow = int(offered.size()) - 1;
        QCOMPARE(match.matchGrid()->item(memoRow, 1)->text(), QString("NOTES"));
        // The memo row offers the memo only; other rows everything else.
        QCOMPARE(match.choicesForRow(memoRow), std::vector<int>{6});
        QCOMPARE(match.choicesForRow(8), (std::vector<int>{0, 1, 2, 3, 4, 5}));
        match.chooseForRow(8, 6); // a memo cannot go into City
        QCOMPARE(match.matchGrid()->item(8, 1)->text(), QString());
        match.chooseForRow(8, 0); // LNAME moves from Last Name to City
        QCOMPARE(match.matchGrid()->item(0, 1)->text(), QString());
        QCOMPARE(match.matchGrid()->item(8, 1)->text(), QString("LNAME"));
        match.chooseForRow(0, 0);
        form.setMatching(match.result());
        QVERIFY(form.importButton()->isEnabled());
        // Reopened, the window shows the matching confirmed.
        QCOMPARE(form.matchingToShow()[0].match, 0u);

        form.runImport();
        QCOMPARE(messages_.last(), QString("Import complete. Imported 3 records.\r\n1 record "
                                           "marked deleted in people.dbf was left out."));
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.gauge()->value(), 100);
        QCOMPARE(form.imported(), 3u);
        QCOMPARE(testing::column(table, "LNAME"),
                 (std::vector<std::string>{"Müller", "Smith", "Ñúñez"}));
        QVERIFY(store::checkAddressIndex(table, store::Table::IndexCheck::Full).ok());
    }

    void olderImportWindowChecksTheVersion() {
        if (!testing::havePythonDbf())
            QSKIP("python3-dbf is not installed");
        testing::TempDir dir;
        QVERIFY(writeSource("older1", dir.file("old1.dbf")));
        QVERIFY(writeSource("older2", dir.file("old2.dbf")));
        auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
        TImportOlder form(table, OlderVersion::V2);
        QCOMPARE(form.windowTitle(), QString("Import Quillpost 2.x DBF"));
        QVERIFY(!form.importButton()->isEnabled());
        form.chooseFile(q(dir.file("old1.dbf")));
        QCOMPARE(messages_.value(0), QString("old1.dbf does not appear to be a Quillpost 2.x DBF"));
        QVERIFY(!form.importButton()->isEnabled());
        form.chooseFile(q(dir.file("old2.dbf")));
        QVERIFY(form.importButton()->isEnabled());
        form.runImport();
        QCOMPARE(messages_.last(), QString("Import complete. Imported 3 records."));
        QCOMPARE(form.result(), int(QDialog::Accepted));
        table.setDeleted(false);
        QCOMPARE(testing::column(table, "LNAME"),
                 (std::vector<std::string>{"Adams", "Baker", "Clark"}));
        QCOMPARE(testing::column(table, "ISDEL"), (std::vector<std::string>{"F", "T", "T"}));

        TImportOlder first(table, OlderVersion::V1);
        QCOMPARE(first.windowTitle(), QString("Import Quillpost 1.x DBF"));
    }
};

QTEST_MAIN(DbfImportWindowsTest)
#include "dbf_import_windows_uitest.moc"
