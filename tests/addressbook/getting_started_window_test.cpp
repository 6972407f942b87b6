// The Getting Started window and the Preferences window.

#include "addressbook/preferences_rules.h"
#include "addressbook/ui/getting_started_window.h"
#include "addressbook/ui/preferences_window.h"
#include "dialog_test_support.h"
#include "store/settings_file.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

using namespace qp::addressbook;

namespace {

template <class T> T* child(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

// Every anchor of the page: its text and its target.
QList<QPair<QString, QString>> anchors(QTextDocument* doc) {
    QList<QPair<QString, QString>> out;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            QTextFragment f = it.fragment();
            if (f.charFormat().isAnchor())
                out.append({f.text(), f.charFormat().anchorHref()});
        }
    return out;
}

} // namespace

class GettingStartedWindowTest : public QObject {
    Q_OBJECT
private slots:
    void pageReadsAsWritten();
    void everyLinkOpensItsTopic();
    void checkBoxFollowsTheSetting();
    void borderless();

    void preferencesLoadFromTheSettingsFile();
    void preferencesOkWritesEveryKey();
    void preferencesCancelLeavesTheFileUnchanged();
    void preferencesHelpOpensItsTopic();
};

void GettingStartedWindowTest::pageReadsAsWritten() {
    qp::test::ProgramHome home;
    TGettingStartedWindow window({});
    auto* page = child<QTextBrowser>(window, "PageText");
    QVERIFY(page->isReadOnly());
    QString text = page->toPlainText();
    QVERIFY(text.startsWith(QStringLiteral(
        "\"What do I do now?\" is a common question when you first start a new program. we want "
        "to answer that question for you so you can start enjoying your new program right "
        "away!")));
    for (const char* line :
         {"How do I create a new database?",
          "How do I import records from another program that are in dBase or ASCII "
          "comma-delimited format?",
          "How do I add a new record?", "How do I change an existing record?",
          "How do I delete an existing record?", "Other Frequently Asked Questions",
          "Every screen has two Help options. Click on the Help to display the main Help topic "
          "for that screen. Or, click on the black question mark. Your mouse cursor will turn "
          "into a question mark and you can click on any screen object you have a question "
          "about. You can always come back to this screen by clicking Help from the main menu, "
          "and then selecting Getting Started."})
        QVERIFY2(text.contains(QString::fromLatin1(line)), line);
    // The question is bold and underlined.
    QTextCursor c(page->document());
    c.setPosition(text.indexOf(QStringLiteral("What")) + 1);
    QVERIFY(c.charFormat().fontUnderline());
    QVERIFY(c.charFormat().fontWeight() >= QFont::Bold);
    QCOMPARE(child<QLabel>(window, "HeadingLabel")->text(), QStringLiteral("Getting Started"));
    QCOMPARE(child<QPushButton>(window, "OkButton")->text(), QStringLiteral("Ok"));
}

void GettingStartedWindowTest::everyLinkOpensItsTopic() {
    qp::test::ProgramHome home;
    QList<int> opened;
    TGettingStartedWindow window([&](int topic) { opened << topic; });
    auto* page = child<QTextBrowser>(window, "PageText");
    auto links = anchors(page->document());
    QStringList texts;
    for (const auto& [text, href] : links) {
        texts << text;
        emit page->anchorClicked(QUrl(href));
    }
    QCOMPARE(texts, (QStringList{"new", "dBase", "ASCII", "add", "change", "delete",
                                 "Frequently Asked Questions"}));
    QCOMPARE(opened, (QList<int>{1037, 1021, 1023, 1030, 1030, 2099, 2098}));
    // A click on a real link, through the mouse.
    opened.clear();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTextCursor c = page->document()->find(QStringLiteral("delete"));
    QVERIFY(!c.isNull());
    c.setPosition(c.selectionStart() + 2);
    QPoint at = page->cursorRect(c).center();
    QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(opened, QList<int>{2099});
}

void GettingStartedWindowTest::checkBoxFollowsTheSetting() {
    qp::test::ProgramHome home;
    {
        TGettingStartedWindow window({});
        auto* box = child<QCheckBox>(window, "DontShowCheck");
        QCOMPARE(box->text(), QStringLiteral("Do not show this screen at start up"));
        QVERIFY(!box->isChecked());
        box->setChecked(true);
        QTest::mouseClick(child<QPushButton>(window, "OkButton"), Qt::LeftButton);
    }
    QVERIFY(home.settingsText().contains("GettingStarted=1"));
    QVERIFY(qp::store::ReadGettingStartedOff(qp::store::SettingsFile::standard()));
    {
        TGettingStartedWindow window({});
        auto* box = child<QCheckBox>(window, "DontShowCheck");
        QVERIFY(box->isChecked());
        box->setChecked(false);
        window.reject(); // Esc also writes it back
    }
    QVERIFY(!qp::store::ReadGettingStartedOff(qp::store::SettingsFile::standard()));
}

void GettingStartedWindowTest::borderless() {
    qp::test::ProgramHome home;
    TGettingStartedWindow window({});
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(child<QTextBrowser>(window, "PageText")->font().pointSize(), 10);
}

void GettingStartedWindowTest::preferencesLoadFromTheSettingsFile() {
    qp::test::ProgramHome home;
    home.writeSettings("[Adding]\r\nSkipfirstName=1\r\nPlugDate=0x1\r\nCarryZip=yes\r\n"
                       "DefaultCountry=Canada\r\n");
    TPreferencesWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Preferences"));
    QVERIFY(child<QCheckBox>(window, "SkipfirstName")->isChecked());
    QVERIFY(child<QCheckBox>(window, "PlugDate")->isChecked());
    QVERIFY(!child<QCheckBox>(window, "CarryZip")->isChecked()); // not an integer: default
    QVERIFY(!child<QCheckBox>(window, "SkipLastName")->isChecked());
    QCOMPARE(child<QLineEdit>(window, "DefaultCountry")->text(), QStringLiteral("Canada"));
    QCOMPARE(child<QLineEdit>(window, "DefaultCountry")->maxLength(), 30);
    QCOMPARE(window.findChildren<QCheckBox*>().size(), 28);
}

void GettingStartedWindowTest::preferencesOkWritesEveryKey() {
    qp::test::ProgramHome home;
    qp::store::AddingPreferences prefs;
    prefs.skipLastName = true;
    prefs.skipFirstName = true;
    prefs.carryCountry = true;
    prefs.defaultCountry = "Deutschland";
    {
        TPreferencesWindow window;
        window.setPreferences(prefs);
        window.show();
        QTest::mouseClick(child<QPushButton>(window, "OkButton"), Qt::LeftButton);
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }
    QCOMPARE(qp::store::ReadAddingPreferences(qp::store::SettingsFile::standard()), prefs);
    QByteArray text = home.settingsText();
    for (const auto& s : kPreferenceSwitches)
        QVERIFY2(text.contains(QByteArray(s.key.data(), s.key.size()) + "="), s.key.data());
    QVERIFY(text.contains("DefaultCountry=Deutschland"));
    QVERIFY(text.contains("SkipfirstName=1\r\n"));
}

void GettingStartedWindowTest::preferencesCancelLeavesTheFileUnchanged() {
    qp::test::ProgramHome home;
    QByteArray before = "[Adding]\r\nCarryOrg=1\r\n";
    home.writeSettings(before);
    TPreferencesWindow window;
    window.show();
    child<QCheckBox>(window, "CarryOrg")->setChecked(false);
    child<QCheckBox>(window, "SkipDate")->setChecked(true);
    child<QLineEdit>(window, "DefaultCountry")->setText(QStringLiteral("USA"));
    QTest::mouseClick(child<QPushButton>(window, "CancelButton"), Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QCOMPARE(home.settingsText(), before);
}

void GettingStartedWindowTest::preferencesHelpOpensItsTopic() {
    qp::test::ProgramHome home;
    TPreferencesWindow window;
    QList<int> topics;
    window.setHelpHandler([&](int t) { topics << t; });
    QTest::mouseClick(child<QPushButton>(window, "HelpButton"), Qt::LeftButton);
    QCOMPARE(topics, QList<int>{1038});
    QVERIFY(home.settingsText().isEmpty());
}

QTEST_MAIN(GettingStartedWindowTest)
#include "getting_started_window_test.moc"
