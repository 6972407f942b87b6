#include "help/help_service.h"

#include "help/help_viewer.h"
#include "help/ods_help.h"
#include "print/ui/window_hooks.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

namespace qp::help {

namespace {

const QString kTableDir = QStringLiteral(":/qp/help/tables");

std::function<void(int)>& opener() {
    static std::function<void(int)> f;
    return f;
}

// The black question mark.
QToolButton* makeMouseHelpButton(QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QStringLiteral("MouseHelpButton"));
    b->setText(QStringLiteral("?"));
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
    QPalette pal = b->palette();
    pal.setColor(QPalette::ButtonText, Qt::black);
    b->setPalette(pal);
    b->setToolTip(QStringLiteral("Click here for mouse help"));
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QAbstractButton* findHelpButton(QWidget& window) {
    if (auto* b = window.findChild<QAbstractButton*>(QStringLiteral("HelpButton")))
        return b;
    for (auto* b : window.findChildren<QAbstractButton*>()) {
        const QString t = b->text().remove(QLatin1Char('&'));
        if (b->property("helpTopic").isValid() || t == QLatin1String("Help"))
            return b;
    }
    return nullptr;
}

// Puts the pointer-help button beside the Help button, or where a window of
// this kind keeps its tools; the corner of the window when nothing fits.
void placeMouseHelpButton(QWidget& window, QToolButton* button) {
    if (auto* main = qobject_cast<QMainWindow*>(&window)) {
        if (auto* bar = main->findChild<QToolBar*>()) {
            for (QAction* a : bar->actions())
                if (a->text() == QLatin1String("?") && !a->isSeparator())
                    a->setVisible(false); // ours takes its place
            button->setParent(bar);
            bar->addWidget(button);
            return;
        }
    }
    if (QAbstractButton* help = findHelpButton(window)) {
        QWidget* parent = help->parentWidget();
        if (auto* box = qobject_cast<QDialogButtonBox*>(parent)) {
            box->addButton(button, QDialogButtonBox::HelpRole);
            return;
        }
        if (parent && parent->layout()) {
            auto findIn = [&](QLayout* l, auto&& self) -> std::pair<QBoxLayout*, int> {
                for (int i = 0; i < l->count(); ++i) {
                    QLayoutItem* item = l->itemAt(i);
                    if (item->widget() == help)
                        if (auto* b = qobject_cast<QBoxLayout*>(l))
                            return {b, i};
                    if (item->layout())
                        if (auto r = self(item->layout(), self); r.first)
                            return r;
                }
                return {nullptr, -1};
            };
            if (auto [box, index] = findIn(parent->layout(), findIn); box) {
                button->setParent(parent);
                box->insertWidget(index + 1, button);
                return;
            }
        }
    }
    button->setParent(&window);
    button->adjustSize();
    button->move(window.width() - button->width() - 4, 4);
    button->raise();
    struct Corner : QObject {
        QToolButton* b;
        explicit Corner(QToolButton* button) : QObject(button), b(button) {}
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::Resize) {
                auto* w = static_cast<QWidget*>(o);
                b->move(w->width() - b->width() - 4, 4);
            }
            return false;
        }
    };
    window.installEventFilter(new Corner(button));
}

// The windows' own question-mark buttons start our pointer help instead.
bool adoptQuestionButton(QWidget& window, TODSHelp& help) {
    for (const char* name : {"MouseHelpButton", "WhatsThisButton"}) {
        if (auto* b = window.findChild<QToolButton*>(QString::fromLatin1(name))) {
            QObject::disconnect(b, &QToolButton::clicked, nullptr, nullptr);
            b->setToolTip(QStringLiteral("Click here for mouse help"));
            help.setMouseHelpButton(b);
            return true;
        }
    }
    return false;
}

// Watches windows as they open, and the context menus of their controls.
class THelpEvents : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (!o->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(o);
        switch (e->type()) {
        case QEvent::Show:
            if (w->isWindow() && !TODSHelp::of(w))
                AttachHelp(*w);
            break;
        case QEvent::ContextMenu:
            if (!w->isWindow()) {
                if (TODSHelp* help = TODSHelp::of(w->window())) {
                    auto* ce = static_cast<QContextMenuEvent*>(e);
                    help->whatsThisMenu(w)->popup(ce->globalPos());
                    return true;
                }
            }
            break;
        case QEvent::WhatsThis:
            // Qt's own what's-this mode, where a window still uses it.
            if (!w->isWindow())
                if (TODSHelp* help = TODSHelp::of(w->window())) {
                    help->WhatsThis(w);
                    return true;
                }
            break;
        default:
            break;
        }
        return false;
    }
};

} // namespace

void SetTopicOpener(std::function<void(int)> f) {
    opener() = std::move(f);
}

void ShowTopic(int topic) {
    if (topic == 0)
        return;
    if (opener()) {
        opener()(topic);
        return;
    }
    THelpViewer::instance().showTopic(topic);
}

void ShowContents() {
    THelpViewer::instance().showContents();
}

void SearchHelp() {
    THelpViewer::instance().showSearch();
}

void HowToUseHelp() {
    THelpViewer::instance().showHowToUse();
}

std::function<void(int)> TopicHandler() {
    return [](int topic) { ShowTopic(topic); };
}

QString WindowKey(const QWidget& window) {
    QString name = QString::fromLatin1(window.metaObject()->className());
    const int colons = name.lastIndexOf(QLatin1String("::"));
    return colons < 0 ? name : name.mid(colons + 2);
}

std::optional<TODSHelpText> LoadWindowTable(const QString& key) {
    QFile f(kTableDir + QLatin1Char('/') + key + QStringLiteral(".help"));
    if (key.isEmpty() || !f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ParseHelpTable(QString::fromUtf8(f.readAll())).table;
}

QStringList WindowTableKeys() {
    QStringList keys;
    for (const QString& f : QDir(kTableDir).entryList({QStringLiteral("*.help")}, QDir::Files))
        keys << QFileInfo(f).completeBaseName();
    return keys;
}

TODSHelp* AttachHelp(QWidget& window) {
    if (TODSHelp* existing = TODSHelp::of(&window))
        return existing;
    auto table = LoadWindowTable(WindowKey(window));
    if (!table)
        table = LoadWindowTable(window.objectName());
    if (!table)
        return nullptr;
    auto* help = new TODSHelp(&window);
    help->HelpText = std::move(*table);
    if (help->HelpText.maxWidth > 0)
        help->MaxWidth = quint16(help->HelpText.maxWidth);
    if (!adoptQuestionButton(window, *help)) {
        QToolButton* button = makeMouseHelpButton(&window);
        placeMouseHelpButton(window, button);
        help->setMouseHelpButton(button);
        // Follow the Help button when a tool hides it while it works.
        if (QAbstractButton* hb = findHelpButton(window)) {
            struct Follow : QObject {
                QToolButton* b;
                Follow(QObject* parent, QToolButton* button) : QObject(parent), b(button) {}
                bool eventFilter(QObject* o, QEvent* e) override {
                    if (e->type() == QEvent::Hide)
                        b->hide();
                    else if (e->type() == QEvent::Show)
                        b->show();
                    else if (e->type() == QEvent::EnabledChange)
                        b->setEnabled(static_cast<QWidget*>(o)->isEnabled());
                    return false;
                }
            };
            hb->installEventFilter(new Follow(button, button));
        }
        if (window.isVisible())
            button->show();
    }
    // Help buttons that name their topic but are not connected yet, and
    // the one the table gives a topic to.
    for (auto* b : window.findChildren<QAbstractButton*>()) {
        const QVariant topic = b->property("helpTopic");
        if (topic.isValid())
            QObject::connect(b, &QAbstractButton::clicked, help,
                             [t = topic.toInt()] { ShowTopic(t); });
    }
    if (help->HelpText.topic != 0)
        if (QAbstractButton* hb = findHelpButton(window);
            hb && !hb->property("helpTopic").isValid())
            QObject::connect(hb, &QAbstractButton::clicked, help,
                             [t = help->HelpText.topic] { ShowTopic(t); });
    return help;
}

void InstallHelp(QApplication& app) {
    print::SetHelpHandler([](QWidget*, int topic) { ShowTopic(topic); });
    static THelpEvents* events = nullptr;
    if (!events) {
        events = new THelpEvents(&app);
        app.installEventFilter(events);
    }
}

void WireMainHelpMenu(QWidget& mainWindow) {
    const std::pair<const char*, void (*)()> items[] = {{"actHelpContents", &ShowContents},
                                                        {"actHelpSearch", &SearchHelp},
                                                        {"actHelpHowTo", &HowToUseHelp}};
    for (const auto& [name, show] : items) {
        if (auto* a = mainWindow.findChild<QAction*>(QString::fromLatin1(name))) {
            QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
            QObject::connect(a, &QAction::triggered, a, show);
        }
    }
}

} // namespace qp::help
