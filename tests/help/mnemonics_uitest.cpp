// Alt keys of every window: no two controls shown at once answer to the
// same mnemonic, on every page of every tab, and menu titles count too
// (a hidden menu still claims its key).
#include "window_factory.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

using namespace qp;

namespace {

bool insideQtWidget(const QWidget* w, const QWidget* window) {
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QCalendarWidget*>(p) || qobject_cast<const QAbstractItemView*>(p))
            return true;
    return false;
}

// Every caption of `window` that answers to an Alt key right now, by key.
QMultiMap<QString, QString> mnemonics(QWidget* window) {
    QMultiMap<QString, QString> out;
    auto note = [&out](const QString& text) {
        const QKeySequence k = QKeySequence::mnemonic(text);
        if (!k.isEmpty())
            out.insert(k.toString(), text);
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window || !w->isVisibleTo(window) || insideQtWidget(w, window))
            continue;
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            note(b->text());
        else if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy())
            note(l->text());
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            note(g->title());
        else if (auto* t = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < t->count(); ++i)
                if (t->isTabVisible(i))
                    note(t->tabText(i));
        } else if (auto* m = qobject_cast<QMenuBar*>(w)) {
            for (QAction* a : m->actions())
                note(a->text());
        }
    }
    return out;
}

QStringList clashes(QWidget* window, const QString& where) {
    QStringList found;
    const auto all = mnemonics(window);
    for (const QString& key : all.uniqueKeys())
        if (all.count(key) > 1)
            found << QStringLiteral("%1: %2 on %3")
                         .arg(where, key, QStringList(all.values(key)).join(" / "));
    return found;
}

// Items of one drop-down menu (and of its submenus, each on its own) that
// answer to the same key.
void menuClashes(QMenu* menu, const QString& where, QStringList& found) {
    QMultiMap<QString, QString> keys;
    for (QAction* a : menu->actions()) {
        if (!a->isVisible() || a->isSeparator())
            continue;
        const QKeySequence k = QKeySequence::mnemonic(a->text());
        if (!k.isEmpty())
            keys.insert(k.toString(), a->text());
        if (a->menu())
            menuClashes(a->menu(), where + " > " + a->text(), found);
    }
    for (const QString& key : keys.uniqueKeys())
        if (keys.count(key) > 1)
            found << QStringLiteral("%1: %2 on %3")
                         .arg(where, key, QStringList(keys.values(key)).join(" / "));
}

} // namespace

class MnemonicsTest : public QObject {
    Q_OBJECT
private slots:
    void noTwoShownControlsShareAnAltKey() {
        helptest::WindowShelf shelf;
        QStringList found;
        for (auto& built : shelf.build()) {
            QWidget* window = built.window.get();
            window->show();
            QCoreApplication::processEvents();
            found << clashes(window, built.key);
            if (built.key == "TAddressMain") { // the walk sees the window's keys
                const auto keys = mnemonics(window);
                QVERIFY(keys.contains("Alt+E") && keys.contains("Alt+T") && keys.contains("Alt+X"));
            }
            for (auto* tabs : window->findChildren<QTabWidget*>()) {
                for (int i = 0; i < tabs->count(); ++i) {
                    tabs->setCurrentIndex(i);
                    found << clashes(window, built.key + "/" + tabs->tabText(i));
                }
            }
            for (auto* bar : window->findChildren<QMenuBar*>())
                for (QAction* a : bar->actions())
                    if (a->menu())
                        menuClashes(a->menu(), built.key + " > " + a->text(), found);
            window->hide();
        }
        found.removeDuplicates();
        if (!found.isEmpty())
            QFAIL(qPrintable(found.join('\n')));
    }
};

QTEST_MAIN(MnemonicsTest)
#include "mnemonics_uitest.moc"
