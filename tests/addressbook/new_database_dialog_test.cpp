// The "Create new database" and "Specify Field Lengths" dialogs.

#include "addressbook/ui/field_lengths_dialog.h"
#include "addressbook/ui/new_database_dialog.h"
#include "dialog_test_support.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace qp::addressbook;

namespace {

template <class T> T* child(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

void touch(const QString& path) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("x");
}

} // namespace

class NewDatabaseDialogTest : public QObject {
    Q_OBJECT
private slots:
    void presetsFirstFreeName();
    void invalidNameDisablesOkAndShowsTheRule();
    void existingNameIsRefusedAndDialogStaysOpen();
    void okGivesPathAndLengthsFromSettings();
    void pageDownIsOk();
    void fieldLengthsComeBackFromTheLengthsDialog();

    void faxShowsFortyWhenAbsentAndThirtyAfterDefaults();
    void outOfRangeTextPutsBackTheLoadedValue();
    void okWithoutTickWritesNothing();
    void okWithTickWritesTheLengths();
    void helpButtonsOpenTheirTopics();
};

void NewDatabaseDialogTest::presetsFirstFreeName() {
    qp::test::ProgramHome home;
    touch(home.path("DATA/add0001.DBF"));
    TNewDatabaseDialog dialog;
    QCOMPARE(dialog.name(), QStringLiteral("ADD0002"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Create new database"));
    QCOMPARE(child<QLineEdit>(dialog, "NameEdit")->maxLength(), 8);
    QCOMPARE(child<QPushButton>(dialog, "OkButton")->text(), QStringLiteral("Ok [PgDn]"));
}

void NewDatabaseDialogTest::invalidNameDisablesOkAndShowsTheRule() {
    qp::test::ProgramHome home;
    TNewDatabaseDialog dialog;
    dialog.show();
    auto* name = child<QLineEdit>(dialog, "NameEdit");
    auto* ok = child<QPushButton>(dialog, "OkButton");
    auto* rule = child<QLabel>(dialog, "InvalidNameLabel");
    QVERIFY(ok->isEnabled());
    QVERIFY(!rule->isVisible());
    QCOMPARE(rule->text(), QStringLiteral("Invalid name. Must start with A..Z, followed by "
                                          "A..Z,0..9 or \"_\" (underscore)"));
    for (const char* bad : {"", "1LIST", "MY-LIST", "A.B"}) {
        name->setText(QString::fromLatin1(bad));
        QVERIFY2(!ok->isEnabled(), bad);
        QVERIFY2(rule->isVisible(), bad);
    }
    name->setText(QStringLiteral("My_List"));
    QVERIFY(ok->isEnabled());
    QVERIFY(!rule->isVisible());
    // Enter on an invalid name does not close the dialog.
    name->setText(QStringLiteral("9"));
    QTest::keyClick(name, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
}

void NewDatabaseDialogTest::existingNameIsRefusedAndDialogStaysOpen() {
    qp::test::ProgramHome home;
    qp::test::MessageRecorder messages;
    touch(home.path("DATA/Clients.DBF"));
    TNewDatabaseDialog dialog;
    dialog.show();
    child<QLineEdit>(dialog, "NameEdit")->setText(QStringLiteral("CLIENTS"));
    QTest::mouseClick(child<QPushButton>(dialog, "OkButton"), Qt::LeftButton);
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("That file already exists.Please select another name")});
    QCOMPARE(messages.seen.front().title, QStringLiteral("Information"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(dialog.databasePath().empty());
}

void NewDatabaseDialogTest::okGivesPathAndLengthsFromSettings() {
    qp::test::ProgramHome home;
    home.writeSettings("[NewFileFieldLengths]\r\nFieldLNAME=20\r\nFieldZIP=0x0C\r\n"
                       "FieldCITY=81\r\n");
    TNewDatabaseDialog dialog;
    dialog.show();
    child<QLineEdit>(dialog, "NameEdit")->setText(QStringLiteral("Members"));
    QTest::mouseClick(child<QPushButton>(dialog, "OkButton"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(QString::fromStdString(dialog.databasePath().string()), home.path("DATA/Members.DBF"));
    auto lengths = dialog.fieldLengths();
    QCOMPARE(lengths.at("LNAME"), 20);
    QCOMPARE(lengths.at("ZIP"), 12);
    QCOMPARE(lengths.at("CITY"), 30); // out of range in the file: its default
    QCOMPARE(lengths.at("FAX"), 40);
}

void NewDatabaseDialogTest::pageDownIsOk() {
    qp::test::ProgramHome home;
    TNewDatabaseDialog dialog;
    dialog.show();
    auto* name = child<QLineEdit>(dialog, "NameEdit");
    name->setFocus();
    QTest::keyClick(name, Qt::Key_PageDown);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(QString::fromStdString(dialog.databasePath().filename().string()),
             QStringLiteral("ADD0001.DBF"));
}

void NewDatabaseDialogTest::fieldLengthsComeBackFromTheLengthsDialog() {
    qp::test::ProgramHome home;
    TNewDatabaseDialog dialog;
    dialog.show();
    // The lengths dialog is modal: fill it in once it is up.
    QTimer::singleShot(0, [&] {
        auto* lengths = qobject_cast<TFieldLengthsDialog*>(QApplication::activeModalWidget());
        QVERIFY(lengths);
        child<QLineEdit>(*lengths, "FieldLNAME")->setText(QStringLiteral("25"));
        lengths->accept();
    });
    QTest::mouseClick(child<QPushButton>(dialog, "FieldLengthsButton"), Qt::LeftButton);
    QCOMPARE(dialog.fieldLengths().at("LNAME"), 25);
    QVERIFY(home.settingsText().isEmpty()); // not kept for all new files
}

void NewDatabaseDialogTest::faxShowsFortyWhenAbsentAndThirtyAfterDefaults() {
    qp::test::ProgramHome home;
    TFieldLengthsDialog dialog(
        qp::store::ReadNewFileFieldLengths(qp::store::SettingsFile::standard()));
    auto* fax = child<QLineEdit>(dialog, "FieldFAX");
    QCOMPARE(fax->text(), QStringLiteral("40"));
    QTest::mouseClick(child<QPushButton>(dialog, "DefaultsButton"), Qt::LeftButton);
    QCOMPARE(fax->text(), QStringLiteral("30"));
    QCOMPARE(child<QLineEdit>(dialog, "FieldEMAIL")->text(), QStringLiteral("40"));
    QCOMPARE(child<QLabel>(dialog, "FieldFNAMELabel")->text(), QStringLiteral("First Name"));
    QCOMPARE(child<QLabel>(dialog, "FieldUSER2Label")->text(), QStringLiteral("Comments #2"));
}

void NewDatabaseDialogTest::outOfRangeTextPutsBackTheLoadedValue() {
    qp::test::ProgramHome home;
    TFieldLengthsDialog dialog(qp::store::NewFileFieldLengths::absentDefaults());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    auto* last = child<QLineEdit>(dialog, "FieldLNAME");
    auto* first = child<QLineEdit>(dialog, "FieldFNAME");
    struct Case {
        const char* typed;
        const char* after;
    };
    for (Case c :
         {Case{"9", "30"}, Case{"81", "30"}, Case{"", "30"}, Case{"10", "10"}, Case{"80", "80"}}) {
        last->setFocus();
        last->setText(QString::fromLatin1(c.typed));
        first->setFocus(); // leaving the box checks it
        QCOMPARE(last->text(), QString::fromLatin1(c.after));
        last->setText(QStringLiteral("30"));
    }
    // Ok re-checks boxes that were never left.
    last->setFocus();
    last->setText(QStringLiteral("9"));
    dialog.accept();
    QCOMPARE(dialog.lengths().lengthOf("LNAME"), 30);
    // After Defaults, the restored value is the Defaults one.
    TFieldLengthsDialog second(qp::store::NewFileFieldLengths::absentDefaults());
    QTest::mouseClick(child<QPushButton>(second, "DefaultsButton"), Qt::LeftButton);
    child<QLineEdit>(second, "FieldFAX")->setText(QStringLiteral("99"));
    second.accept();
    QCOMPARE(second.lengths().lengthOf("FAX"), 30);
}

void NewDatabaseDialogTest::okWithoutTickWritesNothing() {
    qp::test::ProgramHome home;
    TFieldLengthsDialog dialog(qp::store::NewFileFieldLengths::absentDefaults());
    child<QLineEdit>(dialog, "FieldZIP")->setText(QStringLiteral("12"));
    dialog.accept();
    QCOMPARE(dialog.lengths().lengthOf("ZIP"), 12);
    QVERIFY(home.settingsText().isEmpty());
}

void NewDatabaseDialogTest::okWithTickWritesTheLengths() {
    qp::test::ProgramHome home;
    TFieldLengthsDialog dialog(qp::store::NewFileFieldLengths::absentDefaults());
    child<QLineEdit>(dialog, "FieldZIP")->setText(QStringLiteral("12"));
    child<QCheckBox>(dialog, "UseForAll")->setChecked(true);
    dialog.accept();
    auto stored = qp::store::ReadNewFileFieldLengths(qp::store::SettingsFile::standard());
    QCOMPARE(stored.lengthOf("ZIP"), 12);
    QCOMPARE(stored.lengthOf("FAX"), 40);
    QVERIFY(home.settingsText().contains("FieldZIP=12\r\n"));
}

void NewDatabaseDialogTest::helpButtonsOpenTheirTopics() {
    qp::test::ProgramHome home;
    QList<int> topics;
    TNewDatabaseDialog dialog;
    dialog.setHelpHandler([&](int t) { topics << t; });
    QTest::mouseClick(child<QPushButton>(dialog, "HelpButton"), Qt::LeftButton);
    TFieldLengthsDialog lengths(qp::store::NewFileFieldLengths::absentDefaults());
    lengths.setHelpHandler([&](int t) { topics << t; });
    QTest::mouseClick(child<QPushButton>(lengths, "HelpButton"), Qt::LeftButton);
    QCOMPARE(topics, (QList<int>{1037, 2097}));
}

QTEST_MAIN(NewDatabaseDialogTest)
#include "new_database_dialog_test.moc"
