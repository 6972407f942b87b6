// The main window driven as a user would: start-up, navigation, editing,
// adding with the duplicate probe and ZIP look-up, deleting, cloning, the
// clipboard, recently used files, the enabling rules and the tool sessions.
#include "addressbook/tool_registry.h"
#include "addressbook/ui/address_main.h"
#include "addressbook/ui/browse_model.h"
#include "addressbook/ui/browse_window.h"
#include "addressbook/ui/new_record_dialog.h"
#include "addressbook/ui/rebuild_windows.h"
#include "addressbook/ui/record_editors.h"
#include "addressbook/ui/search_browse_tools.h"
#include "addressbook/ui/single_instance.h"
#include "dialog_test_support.h"
#include "store/address_file.h"
#include "store/locale_dates.h"
#include "store/program_folder.h"
#include "store/settings_file.h"
#include "store/shared_routines.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <map>

using namespace qp;
using namespace qp::addressbook;
using Record = std::map<std::string, std::string>;

namespace {

void makeAddressFile(const QString& path, const std::vector<Record>& records,
                     const store::FieldLengths& lengths = {}) {
    QVERIFY(store::createAddressFile(path.toStdString(), lengths).ok());
    auto table = store::openAddressFile(path.toStdString());
    QVERIFY(table.ok());
    for (const auto& r : records) {
        QVERIFY(table->append().ok());
        for (const auto& [field, value] : r) {
            if (field == "ISDEL")
                QVERIFY(table->replaceLogical(field, value == "T").ok());
            else
                QVERIFY(table->replace(field, value).ok());
        }
        QVERIFY(table->post().ok());
    }
}

// Acts on the next modal dialog as soon as it is shown.
void whenModal(std::function<void(QDialog*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(d);
        }
    });
    timer->start();
}

QPushButton* button(QWidget& w, const char* name) {
    return w.findChild<QPushButton*>(QString::fromLatin1(name));
}

QAction* action(QWidget& w, const char* name) {
    return w.findChild<QAction*>(QString::fromLatin1(name));
}

const std::vector<Record> kThree = {
    {{"LNAME", "Jones"}, {"FNAME", "Mary"}, {"CITY", "Boston"}, {"STATE", "MA"}, {"ZIP", "02110"}},
    {{"LNAME", "Adams"}, {"FNAME", "John"}, {"CITY", "Chicago"}, {"STATE", "IL"}, {"ZIP", "60601"}},
    {{"LNAME", "Baker"}, {"FNAME", "Ann"}, {"CITY", "Denver"}, {"STATE", "CO"}, {"ZIP", "80202"}},
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ProgramHome> home;
    std::unique_ptr<test::MessageRecorder> messages;

    QString dataFile(const QString& name) { return home->path(QStringLiteral("DATA/") + name); }

    store::SettingsFile settings() { return store::SettingsFile::standard(); }

    // A window started up on `file` (or the default file when none).
    std::unique_ptr<TAddressMain> start(const QString& file = {}) {
        if (!file.isEmpty()) {
            auto s = settings();
            (void)store::WriteMruList(s, {file.toStdString()});
        }
        auto w = std::make_unique<TAddressMain>();
        w->StartUp();
        w->show();
        return w;
    }

    QString shown(TAddressMain& w, const char* field) { return w.fieldEdit(field)->text(); }

private slots:
    void init() {
        home = std::make_unique<test::ProgramHome>();
        messages = std::make_unique<test::MessageRecorder>();
        auto s = settings();
        QVERIFY(store::WriteGettingStartedOff(s, true).ok());
        for (int t = 0; t < kToolCount; ++t)
            if (Tool(t) != Tool::RebuildIndexes && Tool(t) != Tool::RebuildSystemIndexes &&
                Tool(t) != Tool::Preferences)
                UnregisterTool(Tool(t));
    }
    void cleanup() {
        messages.reset();
        home.reset();
    }

    void firstStartCreatesAndOpensTheDefaultFile() {
        auto w = start();
        const QString path = QString::fromStdString(store::defaultAddressFilePath());
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(w->currentFile(), path);
        QCOMPARE(w->windowTitle(), QStringLiteral("Quillpost - ") + path);
        QCOMPARE(w->filterStatusText(), QStringLiteral("No records"));
        QCOMPARE(w->sortStatusText(), QStringLiteral("Sorted by Last Name"));
        QCOMPARE(QString::fromStdString(store::ReadMruList(settings()).at(0)), path);
        // A file without records: Add, but no Edit, Delete or navigation.
        QVERIFY(button(*w, "btnAdd")->isEnabled());
        QVERIFY(!button(*w, "btnEdit")->isEnabled());
        QVERIFY(!action(*w, "actNext")->isEnabled());
        QVERIFY(action(*w, "actRebuild")->isEnabled());
    }

    void navigatesInLastNameOrderWithKeysAndButtons() {
        makeAddressFile(dataFile("nav.DBF"), kThree);
        auto w = start(dataFile("nav.DBF"));
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Adams"));
        QCOMPARE(w->filterStatusText(), QStringLiteral("3 records (no filter)"));
        w->Next();
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Baker"));
        QTest::keyClick(w->fieldEdit("CITY"), Qt::Key_PageDown);
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Jones"));
        w->Next(); // at the end: stays
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Jones"));
        QTest::keyClick(w->fieldEdit("CITY"), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Adams"));
        QTest::keyClick(w->fieldEdit("CITY"), Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Jones"));
        w->Prior();
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Baker"));
        w->SetOrderTo(QStringLiteral("&City"));
        QCOMPARE(w->sortStatusText(), QStringLiteral("Sorted by City"));
        w->First();
        QCOMPARE(shown(*w, "CITY"), QStringLiteral("Boston"));
    }

    void editSaveCancelAndMemoPadding() {
        makeAddressFile(dataFile("edit.DBF"), kThree);
        auto w = start(dataFile("edit.DBF"));
        QVERIFY(!w->fieldEdit("LNAME")->isReadOnly() == false);
        QVERIFY(w->BeginEdit());
        QVERIFY(button(*w, "btnSave")->isVisibleTo(w.get()));
        QVERIFY(!button(*w, "btnAdd")->isVisibleTo(w.get()));
        QVERIFY(!w->menuBar()->actions().at(0)->isEnabled()); // File menu
        w->fieldEdit("TITLE")->setText(QStringLiteral("Editor"));
        w->memoEdit()->setPlainText(QStringLiteral("abcd"));
        QVERIFY(w->Save());
        QVERIFY(!w->editing());
        QCOMPARE(QString::fromStdString(w->table()->getString("TITLE")), QStringLiteral("Editor"));
        QCOMPARE(QString::fromStdString(*w->table()->getMemo("MEMO")), QStringLiteral("abcd "));

        QVERIFY(w->BeginEdit());
        w->memoEdit()->setPlainText(QStringLiteral("abc"));
        QVERIFY(w->Save());
        QCOMPARE(QString::fromStdString(*w->table()->getMemo("MEMO")), QStringLiteral("abc"));

        QVERIFY(w->BeginEdit());
        w->fieldEdit("TITLE")->setText(QStringLiteral("Changed"));
        w->CancelEdit();
        QCOMPARE(shown(*w, "TITLE"), QStringLiteral("Editor"));
        QCOMPARE(QString::fromStdString(w->table()->getString("TITLE")), QStringLiteral("Editor"));
    }

    void typingOvertypesRefusesForeignTextAndEnterMovesOn() {
        makeAddressFile(dataFile("type.DBF"), kThree);
        auto w = start(dataFile("type.DBF"));
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        auto* last = w->fieldEdit("LNAME");
        QTest::mouseDClick(last, Qt::LeftButton);
        QVERIFY(w->editing());
        last->setFocus();
        last->setCursorPosition(0);
        QTest::keyClick(last, Qt::Key_E);
        QCOMPARE(last->text(), QStringLiteral("edams"));
        SetInsertToggle(true);
        QTest::keyClick(last, Qt::Key_X);
        SetInsertToggle(false);
        QCOMPARE(last->text(), QStringLiteral("exdams"));
        QKeyEvent foreign(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("\u0416"));
        QApplication::sendEvent(last, &foreign);
        QCOMPARE(last->text(), QStringLiteral("exdams"));
        QTRY_VERIFY(messages->texts().join("|").contains(QStringLiteral("\u0416")));
        QVERIFY(messages->texts().last().contains(QStringLiteral("Windows-1252")));
        QTest::keyClick(last, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w->fieldEdit("FNAME"));
        auto* mi = w->fieldEdit("MIDDLE");
        mi->setFocus();
        QTest::keyClick(mi, Qt::Key_Q);
        QCOMPARE(mi->text(), QStringLiteral("Q"));
        w->CancelEdit();
    }

    void typingInTheMemoStartsEditing() {
        makeAddressFile(dataFile("memo.DBF"), kThree);
        auto w = start(dataFile("memo.DBF"));
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->memoEdit()->setFocus();
        QTest::keyClicks(w->memoEdit(), QStringLiteral("hi"));
        QVERIFY(w->editing());
        QCOMPARE(w->memoEdit()->toPlainText(), QStringLiteral("hi"));
    }

    void addProbesForDuplicatesInFilesOfAnyWidthAndLooksUpTheZip() {
        store::FieldLengths narrow{{"LNAME", 12}, {"FNAME", 8}};
        makeAddressFile(dataFile("narrow.DBF"), kThree, narrow);
        auto s = settings();
        store::AddingPreferences prefs;
        prefs.autoDupCheck = prefs.plugCityState = true;
        prefs.defaultCountry = "USA";
        QVERIFY(store::WriteAddingPreferences(s, prefs).ok());
        auto w = start(dataFile("narrow.DBF"));
        w->Last(); // Jones

        auto answer = [](const char* last, const char* first, const char* zip) {
            whenModal([=](QDialog* d) {
                auto* dialog = qobject_cast<TNewRecordDialog*>(d);
                QVERIFY(dialog);
                dialog->lastNameBox()->setText(last);
                dialog->firstNameBox()->setText(first);
                dialog->zipBox()->setText(zip);
                dialog->accept();
            });
        };
        // A match apart from letter case: the question, No by default.
        answer("ADAMS", "john", "");
        messages->answers = {false};
        w->Add();
        QVERIFY(!w->editing());
        QCOMPARE(messages->seen.size(), std::size_t(1));
        QCOMPARE(messages->seen[0].title, QStringLiteral("Possible Duplicate"));
        QCOMPARE(messages->seen[0].kind, ui::MessageKind::YesNoDefaultNo);
        QVERIFY(messages->seen[0].text.startsWith("Possible duplicate: \r\n\r\nJohn Adams\r\n"));
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Adams")); // the found record stays shown
        QCOMPARE(w->table()->queryRecCount(), 3u);

        // No duplicate, ZIP 606: city and state from the Chicago record.
        w->Last();
        answer("Carter", "Eve", "606");
        w->Add();
        QVERIFY(w->editing());
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Carter"));
        QCOMPARE(shown(*w, "CITY"), QStringLiteral("Chicago"));
        QCOMPARE(shown(*w, "STATE"), QStringLiteral("IL"));
        QCOMPARE(shown(*w, "ZIP"), QStringLiteral("606"));
        QCOMPARE(shown(*w, "COUNTRY"), QStringLiteral("USA"));
        QVERIFY(w->Save());
        QCOMPARE(w->table()->queryRecCount(), 4u);
        QCOMPARE(QString::fromStdString(w->table()->getString("LNAME")), QStringLiteral("Carter"));

        // Cancel in the dialog ends the command.
        whenModal([](QDialog* d) { d->reject(); });
        w->Add();
        QVERIFY(!w->editing());
    }

    void addCarriesFieldsAndFocusesPastSkippedOnes() {
        makeAddressFile(dataFile("carry.DBF"), kThree);
        auto s = settings();
        store::AddingPreferences prefs;
        prefs.carryCity = prefs.carryState = prefs.carryOrg = true;
        prefs.skipLastName = prefs.skipFirstName = true;
        prefs.plugDate = true;
        QVERIFY(store::WriteAddingPreferences(s, prefs).ok());
        auto w = start(dataFile("carry.DBF"));
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->Add(); // from Adams, Chicago
        QVERIFY(w->editing());
        QCOMPARE(shown(*w, "CITY"), QStringLiteral("Chicago"));
        QCOMPARE(shown(*w, "ZIP"), QString());
        QCOMPARE(QApplication::focusWidget(), w->fieldEdit("MIDDLE"));
        QCOMPARE(w->fieldEdit("LNAME")->focusPolicy(), Qt::ClickFocus);
        QVERIFY(!shown(*w, "DATE").isEmpty());
        w->CancelEdit();
        QCOMPARE(w->fieldEdit("LNAME")->focusPolicy(), Qt::StrongFocus);
        QCOMPARE(w->table()->queryRecCount(), 3u);
    }

    void deletingTheOnlyFilterMatchClearsTheFilter() {
        makeAddressFile(dataFile("del.DBF"), kThree);
        auto w = start(dataFile("del.DBF"));
        w->filter()[store::FilterField::LastName] = "Jon";
        QCOMPARE(w->ApplyFilter(), 1u);
        w->ShowRecord();
        w->SetButtons();
        QCOMPARE(w->filterStatusText(), QStringLiteral("1 filter matches"));
        QVERIFY(button(*w, "btnClearFilter")->isVisibleTo(w.get()));
        messages->answers = {true};
        w->DeleteRecord();
        QCOMPARE(messages->seen.back().title, QStringLiteral("DELETE"));
        QVERIFY(!w->filterSet());
        QCOMPARE(w->filterStatusText(), QStringLiteral("2 records (no filter)"));
        QVERIFY(!button(*w, "btnClearFilter")->isVisibleTo(w.get()));
        // Still in the file, marked and ISDEL true, until the indexes are rebuilt.
        QCOMPARE(w->table()->recCount(), 3u);
        w->table()->setDeleted(false);
        QVERIFY(w->table()->go(1));
        QVERIFY(w->table()->deleted());
        QVERIFY(w->table()->getLogical("ISDEL"));
        w->table()->setDeleted(true);
    }

    void cloneGivesAnUntaggedCopy() {
        makeAddressFile(dataFile("clone.DBF"), kThree);
        auto w0 = start(dataFile("clone.DBF"));
        const std::string tag = w0->tagId();
        w0.reset();
        {
            auto t = store::openAddressFile(dataFile("clone.DBF").toStdString());
            QVERIFY(t->go(2));
            QVERIFY(t->replace("TAG", tag).ok());
            QVERIFY(t->replace("MEMO", "note").ok());
            QVERIFY(t->post().ok());
        }
        auto w = start(dataFile("clone.DBF"));
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Adams"));
        messages->answers = {true};
        w->CloneRecord();
        QCOMPARE(messages->seen.back().text,
                 QStringLiteral("Clone completed. Current record is an exact copy"));
        QCOMPARE(w->table()->recNo(), 4u);
        QCOMPARE(QString::fromStdString(w->table()->getString("LNAME")), QStringLiteral("Adams"));
        QCOMPARE(QString::fromStdString(w->table()->getString("TAG")), QString());
        QCOMPARE(QString::fromStdString(*w->table()->getMemo("MEMO")), QStringLiteral("note"));
    }

    void copyToClipboardText() {
        makeAddressFile(dataFile("clip.DBF"), {{{"LNAME", "Smith"},
                                                {"FNAME", "John"},
                                                {"MIDDLE", "Q"},
                                                {"STREET", "1 Main St"},
                                                {"CITY", "Austin"},
                                                {"STATE", "TX"},
                                                {"ZIP", "78701"},
                                                {"PHONE", "555-1234"}}});
        auto w = start(dataFile("clip.DBF"));
        whenModal([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Copy Record To Clipboard"));
            d->accept();
        });
        w->CopyToClipboard();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("John Q. Smith \r\n1 Main St\r\nAustin  TX 78701\r\n"
                                "Phone  :555-1234\r\n"));
    }

    void recentlyUsedListKeepsFourAndMovesReopenedFilesUp() {
        QStringList files;
        for (int i = 1; i <= 5; ++i) {
            files << dataFile(QStringLiteral("mru%1.DBF").arg(i));
            makeAddressFile(files.back(), kThree);
        }
        auto w = start(files[0]);
        for (int i = 1; i < 5; ++i)
            QVERIFY(w->OpenQPWDBF(files[i]));
        auto mru = store::ReadMruList(settings());
        QCOMPARE(mru.size(), std::size_t(4));
        QCOMPARE(QString::fromStdString(mru[0]), files[4]);
        QCOMPARE(QString::fromStdString(mru[3]), files[1]);
        w->openRecentFile(QString::fromStdString(mru[1]));
        mru = store::ReadMruList(settings());
        QCOMPARE(QString::fromStdString(mru[0]), files[3]);
        QCOMPARE(QString::fromStdString(mru[1]), files[4]);
        QCOMPARE(mru.size(), std::size_t(4));
        // The File menu lists them after Exit.
        QCOMPARE(w->findChild<QAction*>("mru1")->text(), files[3]);
    }

    void aMissingRecentFileReopensThePreviousOne() {
        makeAddressFile(dataFile("keep.DBF"), kThree);
        makeAddressFile(dataFile("gone.DBF"), kThree);
        auto w = start(dataFile("gone.DBF"));
        QVERIFY(w->OpenQPWDBF(dataFile("keep.DBF")));
        QVERIFY(QFile::remove(dataFile("gone.DBF")));
        messages->seen.clear();
        w->openRecentFile(dataFile("gone.DBF"));
        QCOMPARE(messages->texts().at(0),
                 QStringLiteral("File ") + dataFile("gone.DBF") + QStringLiteral(" not found"));
        QVERIFY(messages->texts().at(1).startsWith(QStringLiteral("Unable to open ") +
                                                   dataFile("gone.DBF")));
        QCOMPARE(w->currentFile(), dataFile("keep.DBF"));
        QVERIFY(w->fileOpen());
    }

    void noFileStateWhenTheOpenFails() {
        QFile junk(dataFile("junk.DBF"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a table");
        junk.close();
        auto w = start(dataFile("junk.DBF"));
        QVERIFY(!w->fileOpen());
        QCOMPARE(w->currentFile(), QString());
        QCOMPARE(w->windowTitle(), QStringLiteral("Quillpost - ") + dataFile("junk.DBF"));
        QVERIFY(!button(*w, "btnAdd")->isEnabled());
        QVERIFY(button(*w, "btnExit")->isVisibleTo(w.get()));
        QVERIFY(!action(*w, "actRebuild")->isEnabled());
        QVERIFY(action(*w, "actOpen")->isEnabled());
        QVERIFY(!w->menuBar()->actions().at(2)->isEnabled()); // Record menu
        QCOMPARE(w->findChild<QLabel*>("noFileNotice")->text(),
                 QStringLiteral("Please Open or Create a Quillpost Address file"));
    }

    void toolsAreDisabledUntilRegisteredAndRunInsideOneSession() {
        makeAddressFile(dataFile("tool.DBF"), kThree);
        auto w = start(dataFile("tool.DBF"));
        QAction* labels = w->toolAction(Tool::PrintLabels);
        QVERIFY(!labels->isEnabled());
        QCOMPARE(labels->toolTip(), QStringLiteral("This tool is not available yet"));
        w->Next(); // Baker
        const auto recno = w->table()->recNo();

        bool ran = false;
        RegisterTool(Tool::ConvertCase, [&](ToolContext& c) {
            ran = true;
            QCOMPARE(c.window, w.get());
            QCOMPARE(c.table->recNo(), recno);
            // The tool wanders: another order, another query, another record.
            QVERIFY(c.table->setOrder(0).ok());
            QVERIFY(c.table->setQuery("CITY='Boston'").ok());
            c.table->first();
        });
        RegisterTool(Tool::PrintLabels, [&](ToolContext& c) {
            QVERIFY(c.nameAndAddressFields);
            QVERIFY(w->extraFields());
        });
        w->SetButtons();
        QVERIFY(labels->isEnabled());
        QCOMPARE(labels->toolTip(),
                 QStringLiteral("Click here or press CTRL+L to print/design labels"));
        w->toolAction(Tool::ConvertCase)->trigger();
        QVERIFY(ran);
        QCOMPARE(w->table()->recNo(), recno);
        QCOMPARE(QString::fromStdString(w->table()->dbFilter()), QStringLiteral("!ISDEL"));
        QCOMPARE(QString::fromStdString(w->table()->tagName()), QStringLiteral("LNAME"));
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Baker"));
        labels->trigger();
        QVERIFY(!w->extraFields());
    }

    void closingDuringAnEditAsksToSave() {
        makeAddressFile(dataFile("close.DBF"), kThree);
        auto w = start(dataFile("close.DBF"));
        QVERIFY(w->BeginEdit());
        w->fieldEdit("ORG")->setText(QStringLiteral("Acme"));
        messages->answers = {true};
        QVERIFY(w->close());
        QCOMPARE(messages->seen.back().text, QStringLiteral("Save changes?"));
        QCOMPARE(messages->seen.back().title, QStringLiteral("Save"));
        w.reset();
        auto t = store::openAddressFile(dataFile("close.DBF").toStdString());
        QVERIFY(t.ok());
        QVERIFY(t->go(2));
        QCOMPARE(QString::fromStdString(t->getString("ORG")), QStringLiteral("Acme"));
    }

    void rebuildIndexesPacksTheFile() {
        auto records = kThree;
        records.push_back({{"LNAME", "Gone"}, {"ISDEL", "T"}});
        makeAddressFile(dataFile("pack.DBF"), records);
        {
            auto t = store::openAddressFile(dataFile("pack.DBF").toStdString());
            QVERIFY(t->go(4));
            QVERIFY(t->deleteRecord().ok());
        }
        auto w = start(dataFile("pack.DBF"));
        QCOMPARE(w->table()->recCount(), 4u);
        // Asked first, naming how many; No leaves the file as it was.
        messages->answers = {false};
        whenModal([](QDialog* d) { qobject_cast<TRebuildIndexesForm*>(d)->run(); });
        w->toolAction(Tool::RebuildIndexes)->trigger();
        QVERIFY(messages->seen.back().text.contains(QStringLiteral("removes 1 deleted record ")));
        QCOMPARE(w->table()->recCount(), 4u);
        messages->answers = {true};
        whenModal([](QDialog* d) {
            auto* form = qobject_cast<TRebuildIndexesForm*>(d);
            QVERIFY(form);
            QCOMPARE(form->windowTitle(), QStringLiteral("Rebuild Indexes"));
            form->runButton()->click();
        });
        w->toolAction(Tool::RebuildIndexes)->trigger();
        QCOMPARE(w->table()->recCount(), 3u);
        QVERIFY(store::addressIndexValid(*w->table()));
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Adams"));
        QCOMPARE(QString::fromStdString(w->table()->tagName()), QStringLiteral("LNAME"));
    }

    void undeletedRecordsSurviveTheRebuild() {
        auto records = kThree;
        for (const char* name : {"Gone", "Lost", "Drop"})
            records.push_back({{"LNAME", name}, {"ISDEL", "T"}});
        makeAddressFile(dataFile("undel.DBF"), records);
        {
            auto t = store::openAddressFile(dataFile("undel.DBF").toStdString());
            t->setDeleted(false);
            for (std::uint32_t n : {4u, 5u, 6u}) {
                QVERIFY(t->go(n));
                QVERIFY(t->deleteRecord().ok());
            }
        }
        auto w = start(dataFile("undel.DBF"));
        QCOMPARE(w->table()->queryRecCount(), 3u);
        QVERIFY(!action(*w, "actUndelete")->isVisible());

        // Browse shows them greyed with a Deleted column, and brings one back.
        {
            TBrowseWindow browse(
                *w->table(), std::string(), [] {}, w.get());
            auto* model = browse.model();
            QCOMPARE(model->rowCount(), 3);
            browse.setShowDeleted(true);
            QCOMPARE(model->rowCount(), 6);
            QCOMPARE(model->headerData(model->columnCount() - 1, Qt::Horizontal, Qt::DisplayRole)
                         .toString(),
                     QStringLiteral("Deleted"));
            // Last name order: Adams, Baker, Drop, Gone, Jones, Lost.
            QVERIFY(model->rowDeleted(3));
            QVERIFY(!model->rowDeleted(0));
            QCOMPARE(model->data(model->index(3, 0), Qt::ForegroundRole).value<QColor>(),
                     QColor(Qt::gray));
            browse.grid()->setCurrentIndex(model->index(3, 0));
            QCOMPARE(QString::fromStdString(w->table()->getString("LNAME")),
                     QStringLiteral("Gone"));
            auto* undelete = browse.findChild<QPushButton*>("btnUndelete");
            QVERIFY(undelete->isEnabled());
            undelete->click();
            QVERIFY(!model->rowDeleted(3));
            QVERIFY(!undelete->isEnabled());
            QVERIFY(!w->table()->getLogical("ISDEL"));
            browse.setShowDeleted(false);
            QCOMPARE(model->rowCount(), 4);
            const auto visual = browse.visualFields();
            QVERIFY(std::find(visual.begin(), visual.end(), "Deleted") == visual.end());
            browse.reject();
        }

        // The Record menu's Undelete, while a deleted record is shown.
        w->table()->setDeleted(false);
        QVERIFY(w->table()->go(5));
        w->ShowRecord();
        w->SetButtons();
        QVERIFY(action(*w, "actUndelete")->isVisible());
        action(*w, "actUndelete")->trigger();
        QVERIFY(!w->table()->deleted());
        w->table()->setDeleted(true);

        messages->answers = {true};
        whenModal([](QDialog* d) { qobject_cast<TRebuildIndexesForm*>(d)->run(); });
        w->toolAction(Tool::RebuildIndexes)->trigger();
        QVERIFY(messages->seen.back().text.contains(QStringLiteral("removes 1 deleted record ")));
        QCOMPARE(w->table()->recCount(), 5u);
        QStringList names;
        for (std::uint32_t n = 1; n <= 5; ++n) {
            QVERIFY(w->table()->go(n));
            names << QString::fromStdString(w->table()->getString("LNAME"));
        }
        QVERIFY(names.contains("Gone") && names.contains("Lost") && !names.contains("Drop"));
    }

    void aMissingIndexAsksToRebuild() {
        makeAddressFile(dataFile("noidx.DBF"), kThree);
        QVERIFY(QFile::remove(dataFile("noidx.CDX")));
        messages->answers = {true};
        whenModal([](QDialog* d) { qobject_cast<TRebuildIndexesForm*>(d)->run(); });
        auto w = start(dataFile("noidx.DBF"));
        QCOMPARE(messages->seen.at(0).title, QStringLiteral("Warning"));
        QCOMPARE(messages->seen.at(0).text,
                 QStringLiteral("The index file for ") + dataFile("noidx.DBF") +
                     QStringLiteral("\r\nis missing or invalid. Rebuild now?"));
        QVERIFY(w->fileOpen());
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Adams"));

        // Answering No leaves no file open.
        w.reset();
        QVERIFY(QFile::remove(dataFile("noidx.CDX")));
        messages->answers = {false};
        w = start(dataFile("noidx.DBF"));
        QVERIFY(!w->fileOpen());
    }

    void altKeysEditAndSaveAndTheTypingModeShows() {
        makeAddressFile(dataFile("keys.DBF"), kThree);
        auto w = start(dataFile("keys.DBF"));
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QVERIFY(!w->findChild<QLabel*>("typingMode")->isVisibleTo(w.get()));
        // A button's Alt key clicks it (the click shows for a moment first).
        QTest::keyClick(w->windowHandle(), Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(w->editing());
        auto* mode = w->findChild<QLabel*>("typingMode");
        QVERIFY(mode->isVisibleTo(w.get()));
        QCOMPARE(mode->text(), QStringLiteral("Overtype"));
        auto* title = w->fieldEdit("TITLE");
        title->setFocus();
        QTest::keyClick(title, Qt::Key_Insert);
        QTRY_COMPARE(mode->text(), QStringLiteral("Insert"));
        QTest::keyClick(title, Qt::Key_Insert);
        QTRY_COMPARE(mode->text(), QStringLiteral("Overtype"));
        title->setText(QStringLiteral("Keyed"));
        QTest::keyClick(w->windowHandle(), Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY(!w->editing());
        QCOMPARE(QString::fromStdString(w->table()->getString("TITLE")), QStringLiteral("Keyed"));

        // The Record menu names the keys of its buttons.
        QCOMPARE(action(*w, "actAdd")->text(), QStringLiteral("&Add\tAlt+A"));
        QCOMPARE(action(*w, "actEdit")->text(), QStringLiteral("&Edit\tAlt+E"));
        QCOMPARE(action(*w, "actDelete")->text(), QStringLiteral("&Delete\tAlt+D"));
    }

    void aDamagedFileOpensReadOnlyAndRebuildRepairsIt() {
        makeAddressFile(dataFile("dmg.DBF"), kThree);
        QVERIFY(QFile::remove(dataFile("dmg.FPT")));
        messages->answers = {false}; // not repaired at once
        auto w = start(dataFile("dmg.DBF"));
        QVERIFY(w->fileOpen());
        QVERIFY(messages->seen.at(0).text.contains(QStringLiteral("not found")));
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Adams"));
        auto* notice = w->findChild<QLabel*>("readOnlyStatus");
        QVERIFY(notice->isVisibleTo(w.get()));
        QVERIFY(notice->text().startsWith(QStringLiteral("Read-only: ")));
        QVERIFY(notice->text().contains(QStringLiteral("Rebuild Indexes")));
        QVERIFY(!button(*w, "btnEdit")->isEnabled());
        QVERIFY(!button(*w, "btnAdd")->isEnabled());
        QVERIFY(!action(*w, "actEdit")->isEnabled());
        QVERIFY(!w->BeginEdit());
        QVERIFY(messages->texts().last().startsWith(QStringLiteral("Read-only: ")));
        QVERIFY(action(*w, "actRebuild")->isEnabled());

        whenModal([](QDialog* d) { qobject_cast<TRebuildIndexesForm*>(d)->run(); });
        w->toolAction(Tool::RebuildIndexes)->trigger();
        QVERIFY(w->table()->writeBlock().empty());
        QVERIFY(!notice->isVisibleTo(w.get()));
        QVERIFY(button(*w, "btnEdit")->isEnabled());
        QCOMPARE(w->table()->recCount(), 3u);
        QVERIFY(w->BeginEdit());
        w->fieldEdit("TITLE")->setText(QStringLiteral("Mended"));
        QVERIFY(w->Save());
        QVERIFY(QFile::exists(dataFile("dmg.FPT")));
    }

    void aFailedOpenSaysTheEnginesReason() {
        QVERIFY(
            store::Table::create(dataFile("other.DBF").toStdString(), {{"NAME", 'C', 20, 0}}).ok());
        auto w = start(dataFile("other.DBF"));
        QVERIFY(!w->fileOpen());
        QVERIFY(messages->texts().join("|").contains(QStringLiteral("is missing")));
        QVERIFY(messages->texts().join("|").startsWith(QStringLiteral("Unable to open ")));
    }

    void aSavedRecordThatLeftTheFilterStaysAndSaysSo() {
        makeAddressFile(dataFile("left.DBF"), {{{"LNAME", "Adams"}, {"CITY", "Springfield"}},
                                               {{"LNAME", "Baker"}, {"CITY", "Springfield"}},
                                               {{"LNAME", "Cole"}, {"CITY", "Boston"}}});
        auto w = start(dataFile("left.DBF"));
        w->filter()[store::FilterField::City] = "Springfield";
        QCOMPARE(w->ApplyFilter(), 2u);
        w->table()->first();
        w->ShowRecord();
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Adams"));
        QVERIFY(!w->filterStatusText().contains(QStringLiteral("no longer")));
        QVERIFY(w->BeginEdit());
        w->fieldEdit("CITY")->setText(QStringLiteral("Miami"));
        QVERIFY(w->Save());
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Adams"));
        QVERIFY(w->filterStatusText().contains(
            QStringLiteral("(this record no longer matches the filter)")));
    }

    void taggedIsStoredWithSaveAndClearTagsStaysOnTheRecord() {
        RegisterSearchBrowseTools();
        makeAddressFile(dataFile("tags.DBF"), kThree);
        auto w = start(dataFile("tags.DBF"));
        w->Next();
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Baker"));
        auto* tagged = w->findChild<QCheckBox*>("chkTagged");
        QVERIFY(w->BeginEdit());
        QVERIFY(tagged->isEnabled());
        tagged->click();
        QVERIFY(tagged->isChecked());
        QCOMPARE(w->table()->getString("TAG"), std::string()); // not before Save
        QVERIFY(w->Save());
        QCOMPARE(w->table()->getString("TAG"), w->tagId());
        QVERIFY(tagged->isChecked());

        w->toolAction(Tool::ClearTags)->trigger();
        QCOMPARE(shown(*w, "LNAME"), QStringLiteral("Baker"));
        QVERIFY(!tagged->isChecked());
    }

    void aTypedDateInTheShortFormatIsStored() {
        makeAddressFile(dataFile("date.DBF"), kThree);
        const QString typed = QString::fromStdString(
            store::FormatDisplayDate("19970428", store::UserShortDatePattern()));
        auto w = start(dataFile("date.DBF"));
        QVERIFY(w->BeginEdit());
        auto* date = w->fieldEdit("DATE");
        QVERIFY(!date->isReadOnly());
        date->setText(QStringLiteral("45/45/45/45"));
        QVERIFY(!w->Save());
        QVERIFY(messages->texts().last().contains(QStringLiteral("is not a date")));
        QVERIFY(w->editing());
        date->setText(typed);
        QVERIFY(w->Save());
        QCOMPARE(w->table()->getString("DATE"), std::string("19970428"));
        QCOMPARE(date->text(), typed);
        QVERIFY(w->BeginEdit());
        date->clear();
        QVERIFY(w->Save());
        QCOMPARE(w->table()->getString("DATE"), std::string());
    }

    void aSecondStartAsksTheFirstToComeForward() {
        TSingleInstance first;
        QVERIFY(first.Claim());
        bool raised = false;
        connect(&first, &TSingleInstance::raiseRequested, this, [&] { raised = true; });
        TSingleInstance second;
        QVERIFY(!second.Claim());
        QTRY_VERIFY(raised);
    }

    void recordAreaLayoutListsEveryFieldWithItsLabel() {
        makeAddressFile(dataFile("layout.DBF"), kThree);
        auto w = start(dataFile("layout.DBF"));
        RecordAreaLayout layout = w->recordAreaLayout();
        const RecordAreaControl* zip = layout.find(QStringLiteral("ZIP"));
        QVERIFY(zip);
        QCOMPARE(zip->label, QStringLiteral("Zip or Postal"));
        QCOMPARE(zip->page, 1);
        QVERIFY(zip->geometry.isValid());
        QCOMPARE(layout.find(QStringLiteral("LNAME"))->label, QStringLiteral("Last"));
        QCOMPARE(layout.find(QStringLiteral("LNAME"))->page, 0);
        QCOMPARE(layout.controls.front().field, QStringLiteral("LNAME"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
