// The help component on real windows: tables, pop-ups, pointer help, the
// main window's F1 and Help menu, and the viewer.
#include "addressbook/ui/address_main.h"
#include "help/help_service.h"
#include "help/help_viewer.h"
#include "help/ods_help.h"
#include "window_factory.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QtTest>

using namespace qp;
using namespace qp::help;

namespace {

bool takesInput(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QCalendarWidget*>(w);
}

// Parts of Qt's own widgets (tab scrollers, calendar cells) are not ours.
bool insideQtWidget(const QWidget* w, const QWidget* window) {
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QCalendarWidget*>(p) || qobject_cast<const QTabBar*>(p) ||
            qobject_cast<const QAbstractItemView*>(p))
            return true;
    return qobject_cast<const QTabBar*>(w->parentWidget()) != nullptr;
}

void pressAt(QWidget* receiver, QWidget* target, Qt::MouseButton button = Qt::LeftButton) {
    const QPoint global = target->mapToGlobal(target->rect().center());
    QMouseEvent e(QEvent::MouseButtonPress, receiver->mapFromGlobal(global), global, button, button,
                  Qt::NoModifier);
    QApplication::sendEvent(receiver, &e);
}

void key(QWidget* receiver, int k) {
    QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(receiver, &e);
}

// A window of our own with a panel that explains its controls.
struct TestWindow {
    QDialog dialog;
    QGroupBox* panel;
    QLineEdit* named;
    QLineEdit* unexplained;
    QCheckBox* byCaption;
    QLineEdit* disabled;
    TODSHelp* help;
    int done = 0;
    TestWindow() {
        dialog.setObjectName("TestWindow");
        auto* l = new QVBoxLayout(&dialog);
        panel = new QGroupBox("Panel", &dialog);
        panel->setObjectName("Panel");
        auto* pl = new QVBoxLayout(panel);
        named = new QLineEdit(panel);
        named->setObjectName("Named");
        unexplained = new QLineEdit(panel);
        unexplained->setObjectName("Unexplained");
        byCaption = new QCheckBox("&Keep && hold", panel);
        disabled = new QLineEdit(panel);
        disabled->setObjectName("Disabled");
        disabled->setEnabled(false);
        pl->addWidget(named);
        pl->addWidget(unexplained);
        pl->addWidget(byCaption);
        pl->addWidget(disabled);
        l->addWidget(panel);
        help = new TODSHelp(&dialog);
        help->HelpText.add("Named", QStringLiteral("Named text"));
        help->HelpText.add("Unexplained", QString());
        help->HelpText.add("Panel", QStringLiteral("Panel text"));
        help->HelpText.add("Keep & hold", QStringLiteral("Caption text"));
        help->HelpText.add("Disabled", QStringLiteral("Disabled text"));
        help->OnHelpDone = [this] { ++done; };
        dialog.resize(300, 240);
        dialog.move(100, 100);
    }
};

bool popupShows(const QString& text) {
    return TODSHelpPopup::exists() && TODSHelpPopup::instance().isVisible() &&
           TODSHelpPopup::instance().text() == text;
}

} // namespace

class ContextHelpTest : public QObject {
    Q_OBJECT

    std::vector<int> opened_;

private slots:
    void initTestCase() {
        InstallHelp(*qApp);
        SetTopicOpener([this](int t) { opened_.push_back(t); });
    }
    void init() {
        opened_.clear();
        if (TODSHelpPopup::exists())
            TODSHelpPopup::instance().hidePopup();
    }

    void everyWindowHasATableCoveringItsInputControls() {
        helptest::WindowShelf shelf;
        const QStringList keys = WindowTableKeys();
        for (auto& built : shelf.build()) {
            QWidget& w = *built.window;
            QCOMPARE(WindowKey(w), built.key);
            QVERIFY2(keys.contains(built.key), qPrintable(built.key));
            TODSHelp* help = AttachHelp(w);
            QVERIFY2(help, qPrintable(built.key));
            QVERIFY2(help->mouseHelpButton(), qPrintable(built.key));
            QCOMPARE(help->mouseHelpButton()->toolTip(), QString("Click here for mouse help"));
            for (QWidget* c : w.findChildren<QWidget*>()) {
                const QString key = ControlKey(c);
                if (!takesInput(c) || c->isHidden() || key.isEmpty() || key.startsWith("qt_") ||
                    insideQtWidget(c, &w) || c->objectName() == "ODSHelpMask")
                    continue;
                QVERIFY2(help->HelpText.find(key), qPrintable(built.key + ": no entry for " + key));
            }
            // Every entry names a control the window has, so no text is lost
            // (the filter's record area comes only with the main window's layout).
            for (const auto& e : help->HelpText.entries) {
                if (e.name == "RecordArea")
                    continue;
                bool found = false;
                for (QWidget* c : w.findChildren<QWidget*>())
                    found = found || ControlKey(c) == e.name;
                QVERIFY2(found, qPrintable(built.key + ": stale entry " + e.name));
            }
        }
    }

    void widthsFollowTheWindowKind() {
        helptest::WindowShelf shelf;
        for (auto& built : shelf.build()) {
            TODSHelp* help = AttachHelp(*built.window);
            const bool wide = QStringList{"TAddressMain", "TFilterWindow", "TNewRecordDialog",
                                          "TNewDatabaseDialog", "TFieldLengthsDialog"}
                                  .contains(built.key);
            QCOMPARE(int(help->MaxWidth), wide ? 300 : 200);
            QCOMPARE(help->Color, QColor(255, 255, 232));
            QVERIFY(help->ParentFont);
            QCOMPARE(help->MoreText, QString("Click here or press F1 for more..."));
        }
    }

    void filterCityLabelShowsTheCityBoxText() {
        helptest::WindowShelf shelf;
        for (auto& built : shelf.build()) {
            if (built.key != "TFilterWindow")
                continue;
            built.window->show();
            TODSHelp* help = AttachHelp(*built.window);
            auto* label = built.window->findChild<QLabel*>("qCityLabel");
            QVERIFY(label);
            help->WhatsThis(label);
            QVERIFY(popupShows(help->HelpText.find("qCity")->data.text.value()));
            QVERIFY(!TODSHelpPopup::instance().hasMore()); // stored tables carry no context
            key(&TODSHelpPopup::instance(), Qt::Key_F1);
            QVERIFY(!TODSHelpPopup::instance().isVisible());
            QVERIFY(opened_.empty());
        }
    }

    void fallsBackToTheParentButNeverTheWindow() {
        TestWindow t;
        t.dialog.show();
        t.help->WhatsThis(t.unexplained);
        QVERIFY(popupShows("Panel text"));
        TODSHelpPopup::instance().hidePopup();
        t.help->WhatsThis(t.byCaption);
        QVERIFY(popupShows("Caption text"));
        TODSHelpPopup::instance().hidePopup();
        t.help->HelpText.entries.clear();
        t.help->HelpText.add("TestWindow", QStringLiteral("Window text"));
        const int before = t.done;
        t.help->WhatsThis(t.named);
        QVERIFY(!TODSHelpPopup::instance().isVisible());
        QCOMPARE(t.done, before + 1);
    }

    void whatsThisMenuOnTheControls() {
        TestWindow t;
        t.dialog.show();
        QMenu* menu = t.help->whatsThisMenu(t.named);
        QCOMPARE(menu->objectName(), QString("WhatsThisMenu"));
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions()[0]->text(), QString("What's this?"));
        menu->actions()[0]->trigger();
        QVERIFY(popupShows("Named text"));
        // A context-menu request on a control brings up the same menu.
        TODSHelpPopup::instance().hidePopup();
        QContextMenuEvent ce(QContextMenuEvent::Mouse, QPoint(2, 2),
                             t.named->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(t.named, &ce);
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
    }

    void pointerHelpShowsTheClickedControlsText() {
        TestWindow t;
        t.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.dialog));
        t.named->setFocus();
        t.help->BeginMouseHelp();
        QVERIFY(t.help->inMouseHelp());
        QVERIFY(QApplication::overrideCursor());
        auto* mask = t.dialog.findChild<QWidget*>("ODSHelpMask");
        QVERIFY(mask);
        QCOMPARE(mask->size(), QSize(0, 0));
        pressAt(mask, t.disabled); // disabled controls answer too
        QVERIFY(popupShows("Disabled text"));
        QVERIFY(!t.help->inMouseHelp());
        QVERIFY(!QApplication::overrideCursor());
        QTRY_VERIFY(!t.dialog.findChild<QWidget*>("ODSHelpMask"));
    }

    void escapeEndsPointerHelpWithoutAPopup() {
        TestWindow t;
        t.dialog.show();
        t.help->BeginMouseHelp();
        const int before = t.done;
        key(t.dialog.findChild<QWidget*>("ODSHelpMask"), Qt::Key_A); // ignored
        QVERIFY(t.help->inMouseHelp());
        key(t.dialog.findChild<QWidget*>("ODSHelpMask"), Qt::Key_Escape);
        QVERIFY(!t.help->inMouseHelp());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!TODSHelpPopup::exists() || !TODSHelpPopup::instance().isVisible());
        QCOMPARE(t.done, before + 1);
    }

    void clickOnAWindowBlockedByADialogShowsNothing() {
        TestWindow t;
        t.dialog.show();
        QDialog modal;
        modal.setWindowModality(Qt::ApplicationModal);
        modal.show();
        t.help->BeginMouseHelp();
        pressAt(t.dialog.findChild<QWidget*>("ODSHelpMask"), t.named);
        QVERIFY(!t.help->inMouseHelp());
        QVERIFY(!TODSHelpPopup::exists() || !TODSHelpPopup::instance().isVisible());
        modal.close();
    }

    void popupClosesByKeyAndLeftClickButNotRightClick() {
        TestWindow t;
        t.dialog.show();
        t.help->WhatsThis(t.named);
        auto& popup = TODSHelpPopup::instance();
        QVERIFY(popup.isVisible());
        pressAt(&popup, &popup, Qt::RightButton);
        QVERIFY(popup.isVisible());
        pressAt(&popup, &popup, Qt::LeftButton);
        QVERIFY(!popup.isVisible());
        t.help->WhatsThis(t.named);
        key(&popup, Qt::Key_Space);
        QVERIFY(!popup.isVisible());
    }

    void moreLineOpensTheEntrysTopic() {
        TestWindow t;
        t.dialog.show();
        t.help->HelpText.entries[0].data.helpContext = 1033;
        t.help->WhatsThis(t.named);
        auto& popup = TODSHelpPopup::instance();
        QVERIFY(popup.hasMore());
        const QPoint at = popup.layout().moreRect.center();
        QMouseEvent e(QEvent::MouseButtonPress, at, popup.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&popup, &e);
        QCOMPARE(opened_, std::vector<int>{1033});
        t.help->WhatsThis(t.named);
        key(&popup, Qt::Key_F1);
        QCOMPARE(opened_, (std::vector<int>{1033, 1033}));
    }

    void popupIsPaintedInItsColourWithAPatternedShadow() {
        TestWindow t;
        t.dialog.show();
        t.help->WhatsThis(t.named);
        auto& popup = TODSHelpPopup::instance();
        const PopupLayout l = popup.layout();
        QCOMPARE(popup.size(), l.window);
        const QImage img = popup.grab().toImage();
        QCOMPARE(QColor(img.pixel(2, l.outline.height() - 3)), QColor(255, 255, 232));
        QCOMPARE(QColor(img.pixel(0, 0)), QColor(Qt::black)); // the frame
        // The strip right of the paint area: pattern rows 1 and 3 darken all.
        const int x = l.paintArea.width() + 2;
        QCOMPARE(QColor(img.pixel(x, 9)), QColor(Qt::black));
        QVERIFY(QColor(img.pixel(x, 8)) != QColor(img.pixel(x + 1, 8)) ||
                QColor(img.pixel(x, 8)) == QColor(Qt::black));
        // Wrapped within MaxWidth.
        const QFontMetrics fm(t.dialog.font());
        for (const QString& line : popup.lines())
            QVERIFY(fm.horizontalAdvance(line) <= t.help->MaxWidth);
    }

    void longTextWrapsAtTheWindowsMaxWidth() {
        TestWindow t;
        t.dialog.show();
        t.help->HelpText.entries[0].data.text = QString("word ").repeated(80);
        t.help->MaxWidth = 200;
        t.help->WhatsThis(t.named);
        auto& popup = TODSHelpPopup::instance();
        QVERIFY(popup.lines().size() > 3);
        QVERIFY(popup.layout().box.width() <= 200 + 16);
        QVERIFY(popup.layout().box.width() > 150);
    }

    void mainWindowF1OpensItsTopicAndTheHelpMenuTheViewer() {
        helptest::WindowShelf shelf;
        auto built = shelf.build();
        QWidget& main = *built.front().window;
        QCOMPARE(built.front().key, QString("TAddressMain"));
        WireMainHelpMenu(main);
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::keyClick(&main, Qt::Key_F1);
        QCOMPARE(opened_, std::vector<int>{1029});
        auto& viewer = THelpViewer::instance();
        main.findChild<QAction*>("actHelpSearch")->trigger();
        QVERIFY(viewer.isVisible());
        QCOMPARE(viewer.tabs()->currentIndex(), 1);
        main.findChild<QAction*>("actHelpContents")->trigger();
        QCOMPARE(viewer.tabs()->currentIndex(), 0);
        QCOMPARE(viewer.currentTopic(), QString("index"));
        main.findChild<QAction*>("actHelpHowTo")->trigger();
        QCOMPARE(viewer.currentTopic(), QString("howto"));
        QCOMPARE(opened_, std::vector<int>{1029}); // menus go to the viewer's modes
        viewer.hide();
    }

    void viewerSearchAndBackForward() {
        auto& viewer = THelpViewer::instance();
        viewer.showTopic(1029);
        viewer.showTopic(1033);
        QVERIFY(viewer.browser()->toPlainText().contains("Address Filter"));
        viewer.back();
        QCOMPARE(viewer.currentTopic(), QString("1029"));
        viewer.forward();
        QCOMPARE(viewer.currentTopic(), QString("1033"));
        viewer.showTopic(99999); // not a topic: stays
        QCOMPARE(viewer.currentTopic(), QString("1033"));
        viewer.showSearch();
        QTest::keyClicks(viewer.searchBox(), "preferences");
        QVERIFY(viewer.results()->count() >= 1);
        QCOMPARE(viewer.results()->item(0)->text(), QString("Preferences"));
        QTest::keyClick(viewer.searchBox(), Qt::Key_Return);
        QCOMPARE(viewer.currentTopic(), QString("1038"));
        viewer.hide();
    }
};

QTEST_MAIN(ContextHelpTest)
#include "context_help_uitest.moc"
