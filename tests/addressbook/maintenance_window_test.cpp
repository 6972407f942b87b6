// The record maintenance windows and the check windows, driven as a user
// would: choices, the questions they ask (answered from a queue), the
// messages they show, the scratch files they leave (none).
#include "addressbook/tool_registry.h"
#include "addressbook/ui/check_duplicates_window.h"
#include "addressbook/ui/check_state_zip_window.h"
#include "addressbook/ui/convert_case_window.h"
#include "addressbook/ui/delete_records_window.h"
#include "addressbook/ui/record_grid.h"
#include "addressbook/ui/search_replace_window.h"
#include "addressbook/ui/tool_session.h"
#include "dialog_test_support.h"
#include "store/address_file.h"
#include "store/filter_criteria.h"
#include "store/system_tables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QtTest>

using namespace qp;
using namespace qp::addressbook;

class MaintenanceWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ProgramHome> home;
    std::unique_ptr<test::MessageRecorder> messages;

    store::Table makeFile(const std::vector<std::array<const char*, 4>>& rows) {
        const std::string path = home->path(QStringLiteral("DATA/ADD0001.DBF")).toStdString();
        [&] { QVERIFY(store::createAddressFile(path, {}).ok()); }();
        auto t = store::openAddressFile(path);
        for (const auto& r : rows) {
            (void)t->append();
            (void)t->replace("LNAME", r[0]);
            (void)t->replace("FNAME", r[1]);
            (void)t->replace("STATE", r[2]);
            (void)t->replace("ZIP", r[3]);
            (void)t->post();
        }
        (void)t->setQuery(store::kNoFilterQuery);
        (void)t->setOrder(t->tagArea("LNAME"));
        t->first();
        return std::move(*t);
    }

    static std::string lastName(store::Table& t, std::uint32_t recno) {
        t.setDeleted(false);
        t.go(recno);
        std::string v = t.getString("LNAME");
        t.setDeleted(true);
        return v;
    }

private slots:
    void init() {
        home = std::make_unique<test::ProgramHome>();
        messages = std::make_unique<test::MessageRecorder>();
    }
    void cleanup() {
        messages.reset();
        home.reset();
    }

    void everyUtilitiesToolIsRegistered() {
        RegisterBuiltInTools();
        for (Tool tool : {Tool::SearchReplace, Tool::ConvertCase, Tool::DeleteRecords,
                          Tool::CheckDuplicates, Tool::CheckStateZip, Tool::RebuildSystemIndexes})
            QVERIFY(FindTool(tool));
    }

    void replaceAsksWithTheCountAndReports() {
        auto t = makeFile({{"JONES", "A", "IL", "60601"},
                           {"JOHNSON", "B", "NY", "10001"},
                           {"MAJOR", "C", "IL", "60601"}});
        TSearchReplaceWindow w(t, {});
        QVERIFY(!w.filterButton()->isEnabled());
        w.findBox()->setText(QStringLiteral("JO"));
        w.replacementBox()->setText(QStringLiteral("SMITH"));
        messages->answers = {false};
        w.Replace();
        QCOMPARE(messages->seen.size(), size_t(1));
        QCOMPARE(messages->seen[0].title, QStringLiteral("Replace"));
        QCOMPARE(messages->seen[0].text,
                 QStringLiteral("Find records where field Last Name\nexactly matches: \"JO\"  "
                                "(case sensitive)\nand replace the entire field with \"SMITH\"\n\n"
                                "2 records will change."));
        QCOMPARE(lastName(t, 1), std::string("JONES")); // No changed nothing
        messages->seen.clear();
        messages->answers = {true};
        w.Replace();
        QCOMPARE(messages->texts(),
                 (QStringList{messages->seen[0].text, "Replaced 2 records", "Replacement done"}));
        QCOMPARE(lastName(t, 1), std::string("SMITH"));
        QCOMPARE(lastName(t, 2), std::string("SMITH"));
        QCOMPARE(lastName(t, 3), std::string("MAJOR"));
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }

    void valueBoxesFollowTheTargetWidth() {
        auto t = makeFile({{"A", "B", "IL", "1"}});
        TSearchReplaceWindow w(t, "STATE='IL'");
        QVERIFY(w.filterButton()->isEnabled());
        w.findBox()->setText(QStringLiteral("ABCDEF"));
        w.targetBox()->setCurrentText(QStringLiteral("Middle Initial"));
        QCOMPARE(w.findBox()->text(), QStringLiteral("A"));
        QCOMPARE(w.findBox()->maxLength(), 1);
        QCOMPARE(w.request().target.field, std::string_view("MIDDLE"));
    }

    void convertCaseWithoutFieldsSaysSoAndCancelStopsAfterTheRecord() {
        auto t =
            makeFile({{"adams", "a", "", ""}, {"baker", "b", "", ""}, {"carter", "c", "", ""}});
        TConvertCaseWindow w(t, false);
        QVERIFY(!w.recordsButton(CaseRecords::Filter)->isEnabled());
        w.allBox()->click();
        w.Convert();
        QCOMPARE(messages->texts(), QStringList{"No fields checked for conversion"});
        w.allBox()->click();
        w.recordsButton(CaseRecords::All)->setChecked(true);
        messages->seen.clear();
        // Yes to "Convert now?", then Yes to the cancel question asked during the run.
        messages->answers = {true, true};
        QTimer::singleShot(0, &w, [&w] { w.reject(); });
        w.Convert();
        QCOMPARE(messages->seen[0].text,
                 QStringLiteral("Convert now? This process cannot be undone..\n\n"
                                "3 records will change."));
        QCOMPARE(messages->seen[1].text, QStringLiteral("Cancel case conversion?"));
        QVERIFY(w.cancelled());
        QCOMPARE(lastName(t, 1), std::string("ADAMS"));
        QCOMPARE(lastName(t, 2), std::string("baker"));
        QCOMPARE(lastName(t, 3), std::string("carter"));
    }

    void deleteRecordsConfirmsTheCount() {
        auto t = makeFile({{"A", "", "IL", ""}, {"B", "", "NY", ""}, {"C", "", "IL", ""}});
        (void)t.setQuery("STATE='IL'");
        TDeleteRecordsWindow w(t, "STATE='IL'");
        w.choiceButton(DeleteChoice::Matching)->setChecked(true);
        messages->answers = {true};
        w.DeleteNow();
        QCOMPARE(messages->texts(),
                 (QStringList{"Are you sure?\n\n2 records will change.", "Deleted 2 records",
                              "For optimum space usage, please select\n[Rebuild Indexes] from "
                              "the File menu"}));
        (void)t.setQuery(store::kNoFilterQuery);
        QCOMPARE(t.queryRecCount(), 1u);
    }

    void duplicateResultPageAndScratchFileGone() {
        auto t = makeFile({{"JONES", "MARY", "", ""},
                           {"JONES", "MARY", "", ""},
                           {"JONES", "MARK", "", ""},
                           {"ADAMS", "JOHN", "", ""}});
        const QString scratch = home->path(QStringLiteral("_chkdup.idx"));
        {
            TCheckDuplicatesWindow w(t, "TAG1", scratch.toStdString());
            w.checkButton(DuplicateCheck::Initial)->setChecked(true);
            QVERIFY(!w.streetCharsBox()->isVisibleTo(&w));
            w.PerformCheck();
            QCOMPARE(w.found(), 2u);
            QVERIFY(w.onResultPage());
            QCOMPARE(w.statusLine()->text(), QStringLiteral("Found 2 possible duplicates"));
            QCOMPARE(w.grid()->model()->rowCount(), 2);
            QVERIFY(QFile::exists(scratch));
            w.Tag();
            QCOMPARE(t.getString("TAG"), std::string("TAG1"));
            messages->answers = {true};
            w.DeleteRecord();
            QCOMPARE(messages->seen.back().text, QStringLiteral("Delete this record?"));
            QCOMPARE(w.grid()->model()->rowCount(), 1);
            w.accept();
            QVERIFY(!QFile::exists(scratch));
        }
        QCOMPARE(t.queryRecCount(), 3u);
    }

    void duplicateCheckCancelledLeavesNoScratchFile() {
        auto t = makeFile({{"X", "Y", "", ""}, {"X", "Y", "", ""}});
        const QString scratch = home->path(QStringLiteral("_chkdup.idx"));
        {
            TCheckDuplicatesWindow w(t, "TAG1", scratch.toStdString());
            messages->answers = {true};
            QTimer::singleShot(0, &w, [&w] { w.reject(); });
            w.PerformCheck();
            w.reject();
        }
        QVERIFY(!QFile::exists(scratch));
    }

    void stateZipCheckListsAndEditsTheStateTable() {
        const std::string csz = home->path(QStringLiteral("sysdata/CSZ.DBF")).toStdString();
        QVERIFY(store::createSystemTable(csz, store::SystemTable::StateZip).ok());
        {
            auto s = store::Table::open(csz, store::OpenMode::Exclusive);
            (void)s->append();
            (void)s->replace("NAME", "Illinois");
            (void)s->replace("STATE", "IL");
            (void)s->replace("LOW_ZIP", "60001");
            (void)s->replace("HIGH_ZIP", "62999");
            (void)s->post();
        }
        auto t = makeFile({{"Ok", "", "IL", "60601"},
                           {"High", "", "IL", "63000"},
                           {"Lower", "", "il", "60601"},
                           {"Blank", "", "", "60601"}});
        const QString scratch = home->path(QStringLiteral("DATA/_chksz.idx"));
        {
            TCheckStateZipWindow w(t, "TAG1");
            w.PerformCheck();
            QCOMPARE(w.found(), 2u);
            QVERIFY(w.onResultPage());
            QCOMPARE(w.statusLine()->text(),
                     QStringLiteral("Found 2 records with questionable state or zipcodes"));
            QCOMPARE(w.grid()->model()->rowCount(), 2);
            QVERIFY(QFile::exists(scratch));
            // Correct the first listed record's state in the grid, then save.
            auto* model = w.grid()->model();
            int stateColumn = -1;
            for (int c = 0; c < model->columnCount(); ++c)
                if (model->columns()[std::size_t(c)].field == "STATE")
                    stateColumn = c;
            QVERIFY(stateColumn >= 0);
            QVERIFY(
                model->setData(model->index(0, stateColumn), QStringLiteral("IN"), Qt::EditRole));
            w.SaveRecord();
            QCOMPARE(t.getString("STATE"), std::string("IN"));

            w.ToggleStateEditor();
            QVERIFY(w.editingStates());
            QVERIFY(!w.cancelButton()->isEnabled());
            QCOMPARE(w.editStatesButton()->text(), QStringLiteral("Stop Editing"));
            QCOMPARE(w.statesGrid()->model()->rowCount(), 1);
            w.AddState();
            QCOMPARE(w.statesGrid()->model()->rowCount(), 2);
            w.ToggleStateEditor();
            QVERIFY(!w.editingStates());
            QVERIFY(w.onResultPage());
            w.accept();
        }
        QVERIFY(!QFile::exists(scratch));
        auto s = store::Table::open(csz, store::OpenMode::ReadOnly);
        QCOMPARE(s->recCount(), 2u);
    }
};

QTEST_MAIN(MaintenanceWindowTest)
#include "maintenance_window_test.moc"
