// The New Record dialog and the date selector.

#include "addressbook/date_selector_rules.h"
#include "addressbook/ui/date_selector_dialog.h"
#include "addressbook/ui/new_record_dialog.h"
#include "dialog_test_support.h"
#include "store/shared_routines.h"

#include <QCalendarWidget>
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

NewRecordOptions options(bool names, bool zip) {
    NewRecordOptions o;
    o.askNames = names;
    o.askZip = zip;
    o.lastNameWidth = 20;
    o.firstNameWidth = 15;
    o.zipWidth = 9;
    return o;
}

} // namespace

class NewRecordDialogTest : public QObject {
    Q_OBJECT
private slots:
    void showsOnlyTheAskedBoxesCappedAtTheFileWidths();
    void enterInTheZipBoxIsOk();
    void tabOutOfFirstNameIsOkOnlyWithoutZip();
    void pageDownAnywhereIsOk();
    void cancelEndsTheAdd();

    void selectorStartsAtTheRecordsDate();
    void selectorStepsAndToday();
    void selectorOkNoDateCancel();
    void helpButtonsOpenTheirTopics();
};

void NewRecordDialogTest::showsOnlyTheAskedBoxesCappedAtTheFileWidths() {
    TNewRecordDialog both(options(true, true));
    QCOMPARE(both.windowTitle(), QStringLiteral("New Record"));
    QCOMPARE(both.lastNameBox()->maxLength(), 20);
    QCOMPARE(both.firstNameBox()->maxLength(), 15);
    QCOMPARE(both.zipBox()->maxLength(), 9);
    QCOMPARE(child<QPushButton>(both, "OkButton")->text(), QStringLiteral("Ok [PgDn]"));

    TNewRecordDialog zipOnly(options(false, true));
    QVERIFY(!zipOnly.lastNameBox());
    QVERIFY(!zipOnly.firstNameBox());
    QVERIFY(zipOnly.zipBox());
    QCOMPARE(zipOnly.lastName(), QString());

    TNewRecordDialog namesOnly(options(true, false));
    QVERIFY(!namesOnly.zipBox());
    QCOMPARE(namesOnly.zip(), QString());
}

void NewRecordDialogTest::enterInTheZipBoxIsOk() {
    TNewRecordDialog dialog(options(true, true));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClicks(dialog.lastNameBox(), QStringLiteral("Baker"));
    QTest::keyClick(dialog.lastNameBox(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Ann"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.zipBox()); // the ZIP is asked: no Ok yet
    QVERIFY(dialog.isVisible());
    QTest::keyClicks(dialog.zipBox(), QStringLiteral("60614-1234")); // capped at 9
    QTest::keyClick(dialog.zipBox(), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.lastName(), QStringLiteral("Baker"));
    QCOMPARE(dialog.firstName(), QStringLiteral("Ann"));
    QCOMPARE(dialog.zip(), QStringLiteral("60614-123"));
}

void NewRecordDialogTest::tabOutOfFirstNameIsOkOnlyWithoutZip() {
    TNewRecordDialog dialog(options(true, false));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.firstNameBox()->setFocus();
    QTest::keyClicks(dialog.firstNameBox(), QStringLiteral("Ann"));
    // Back-tab is not leaving forward.
    QTest::keyClick(dialog.firstNameBox(), Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(dialog.isVisible());
    dialog.firstNameBox()->setFocus();
    QTest::keyClick(dialog.firstNameBox(), Qt::Key_Tab);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.firstName(), QStringLiteral("Ann"));
}

void NewRecordDialogTest::pageDownAnywhereIsOk() {
    TNewRecordDialog dialog(options(true, true));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClicks(dialog.lastNameBox(), QStringLiteral("Smith"));
    QTest::keyClick(dialog.lastNameBox(), Qt::Key_PageDown);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.lastName(), QStringLiteral("Smith"));
}

void NewRecordDialogTest::cancelEndsTheAdd() {
    TNewRecordDialog dialog(options(true, false));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(dialog.lastNameBox(), Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void NewRecordDialogTest::selectorStartsAtTheRecordsDate() {
    TDateSelectorDialog withDate("19970428");
    QCOMPARE(withDate.windowTitle(), QStringLiteral("Select a Date"));
    QCOMPARE(withDate.selectedDate(), QDate(1997, 4, 28));
    auto today = TodayLocal();
    QDate todayQ(int(today.year()), int(unsigned(today.month())), int(unsigned(today.day())));
    QCOMPARE(TDateSelectorDialog("").selectedDate(), todayQ);
    QCOMPARE(TDateSelectorDialog("1997").selectedDate(), todayQ);
}

void NewRecordDialogTest::selectorStepsAndToday() {
    TDateSelectorDialog dialog("20240131");
    auto* calendar = child<QCalendarWidget>(dialog, "Calendar");
    QTest::mouseClick(child<QPushButton>(dialog, "MonthForwardButton"), Qt::LeftButton);
    QCOMPARE(dialog.selectedDate(), QDate(2024, 2, 29));
    QCOMPARE(calendar->monthShown(), 2);
    QTest::mouseClick(child<QPushButton>(dialog, "YearForwardButton"), Qt::LeftButton);
    QCOMPARE(dialog.selectedDate(), QDate(2025, 2, 28));
    QTest::mouseClick(child<QPushButton>(dialog, "YearBackButton"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(dialog, "MonthBackButton"), Qt::LeftButton);
    QCOMPARE(dialog.selectedDate(), QDate(2024, 1, 28));
    QCOMPARE(calendar->yearShown(), 2024);
    QTest::mouseClick(child<QPushButton>(dialog, "TodayButton"), Qt::LeftButton);
    QCOMPARE(dialog.selectedDate(), QDate::currentDate());
    QCOMPARE(child<QPushButton>(dialog, "MonthForwardButton")->text(), QStringLiteral("Month +"));
}

void NewRecordDialogTest::selectorOkNoDateCancel() {
    {
        TDateSelectorDialog dialog("19970428");
        dialog.setSelectedDate(QDate(1998, 3, 7));
        QTest::mouseClick(child<QPushButton>(dialog, "OkButton"), Qt::LeftButton);
        QCOMPARE(dialog.choice(), TDateSelectorDialog::Choice::Date);
        QCOMPARE(dialog.eightDigitDate(), std::string("19980307"));
    }
    {
        TDateSelectorDialog dialog("19970428");
        QTest::mouseClick(child<QPushButton>(dialog, "NoDateButton"), Qt::LeftButton);
        QCOMPARE(dialog.choice(), TDateSelectorDialog::Choice::NoDate);
        QCOMPARE(dialog.eightDigitDate(), std::string());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    {
        TDateSelectorDialog dialog("19970428");
        QTest::mouseClick(child<QPushButton>(dialog, "CancelButton"), Qt::LeftButton);
        QCOMPARE(dialog.choice(), TDateSelectorDialog::Choice::Cancel);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
    // The one-call form, driven once the dialog is up.
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<TDateSelectorDialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        d->noDate();
    });
    QCOMPARE(TDateSelectorDialog::SelectDate("19970428"), std::optional<std::string>(""));
}

void NewRecordDialogTest::helpButtonsOpenTheirTopics() {
    QList<int> topics;
    TNewRecordDialog record(options(true, true));
    record.setHelpHandler([&](int t) { topics << t; });
    QTest::mouseClick(child<QPushButton>(record, "HelpButton"), Qt::LeftButton);
    TDateSelectorDialog date("");
    date.setHelpHandler([&](int t) { topics << t; });
    QTest::mouseClick(child<QPushButton>(date, "HelpButton"), Qt::LeftButton);
    QCOMPARE(topics, (QList<int>{1091, 1025}));
    QCOMPARE(record.result(), int(QDialog::Rejected));
}

QTEST_MAIN(NewRecordDialogTest)
#include "new_record_dialog_test.moc"
