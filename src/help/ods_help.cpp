#include "help/ods_help.h"

#include "help/help_service.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

namespace qp::help {

QColor PopupColor() {
    return QColor(kPopupColor & 0xFF, (kPopupColor >> 8) & 0xFF, (kPopupColor >> 16) & 0xFF);
}

QFont MoreFont(QFont font) {
    font.setBold(!font.bold());
    return font;
}

PopupLayout MeasurePopup(const QString& text, const QFont& font, int maxWidth, bool hasMore,
                         const QString& moreText, QStringList* lines) {
    const QFontMetrics fm(font);
    const WrappedText wrapped =
        WrapWords(text, maxWidth, [&fm](const QString& s) { return fm.horizontalAdvance(s); });
    if (lines)
        *lines = wrapped.lines;
    QSize more;
    if (hasMore) {
        const QFontMetrics mm(MoreFont(font));
        more = QSize(mm.horizontalAdvance(moreText), mm.height());
    }
    return LayoutPopup(QSize(wrapped.width, int(wrapped.lines.size()) * fm.height()), fm.height(),
                       hasMore, more);
}

QString ControlKey(const QWidget* c) {
    if (!c->objectName().isEmpty())
        return c->objectName();
    QString caption;
    if (auto* b = qobject_cast<const QAbstractButton*>(c))
        caption = b->text();
    else if (auto* l = qobject_cast<const QLabel*>(c))
        caption = l->text();
    else if (auto* g = qobject_cast<const QGroupBox*>(c))
        caption = g->title();
    caption.replace(QLatin1String("&&"), QString(QChar(1)));
    caption.remove(QLatin1Char('&'));
    caption.replace(QChar(1), QLatin1Char('&'));
    return caption.trimmed();
}

namespace {

QCursor questionCursor() {
    return QCursor(Qt::WhatsThisCursor);
}

QRect screenBounds(const QWidget* w) {
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

// A window blocked by a modal dialog counts as disabled.
bool ownerEnabled(const QWidget* w) {
    const QWidget* window = w->window();
    if (!window->isEnabled())
        return false;
    const QWidget* modal = QApplication::activeModalWidget();
    return !modal || modal == window;
}

std::vector<TODSHelp*>& components() {
    static std::vector<TODSHelp*> all;
    return all;
}

} // namespace

// ---- component ---------------------------------------------------------------

TODSHelp::TODSHelp(QWidget* window) : QObject(window), window_(window) {
    setObjectName(QStringLiteral("ODSHelp1"));
    Font = QFont(QStringLiteral("MS Sans Serif"));
    Font.setPixelSize(11);
    components().push_back(this);
}

TODSHelp::~TODSHelp() {
    std::erase(components(), this);
    if (mask_)
        delete mask_.data();
}

TODSHelp* TODSHelp::of(const QWidget* window) {
    TODSHelp* last = nullptr;
    for (TODSHelp* h : components())
        if (h->window_ == window)
            last = h;
    return last;
}

TPopupSettings TODSHelp::settings() const {
    TPopupSettings s;
    s.color = Color;
    s.moreText = MoreText;
    s.font = ParentFont ? window_->font() : Font;
    s.maxWidth = MaxWidth;
    s.done = OnHelpDone;
    return s;
}

void TODSHelp::setMouseHelpButton(QToolButton* button) {
    button_ = button;
    connect(button, &QToolButton::clicked, this, &TODSHelp::BeginMouseHelp);
}

bool TODSHelp::buttonHidden() const {
    return button_ && window_->isVisible() && (!button_->isVisible() || !button_->isEnabled());
}

bool TODSHelp::PopupHelpFor(QWidget* control, const QRect& screenRect) {
    return PopupHelpFor(control, screenRect, settings());
}

bool TODSHelp::PopupHelpFor(QWidget* control, const QRect& screenRect,
                            const TPopupSettings& settings) {
    if (!control)
        return false;
    QWidget* window = control->window();
    TODSHelp* owner = of(window);
    if (!owner)
        return false;
    const QString key = ControlKey(control);
    if (key.isEmpty())
        return false;
    const auto index = owner->HelpText.resolve(key);
    if (!index)
        return false;
    window->raise();
    TODSHelpEntry& entry = owner->HelpText.entries[*index];
    if (entry.data.helpContext == 0) {
        const QVariant own = control->property("helpContext");
        if (own.isValid())
            entry.data.helpContext = own.toInt();
    }
    TODSHelpPopup::instance().showEntry(entry, screenRect, settings);
    return true;
}

void TODSHelp::WhatsThis(QWidget* control) {
    if (buttonHidden())
        return;
    const TPopupSettings s = settings();
    if (!control) {
        if (s.done)
            s.done();
        return;
    }
    for (QWidget* c = control; c && !c->isWindow(); c = c->parentWidget())
        if (PopupHelpFor(c, screenBounds(c), s))
            return;
    if (s.done)
        s.done();
}

QMenu* TODSHelp::whatsThisMenu(QWidget* control) {
    if (!menu_) {
        menu_ = new QMenu(window_);
        menu_->setObjectName(QStringLiteral("WhatsThisMenu"));
    }
    menu_->clear();
    QPointer<QWidget> target(control);
    QAction* item = menu_->addAction(QStringLiteral("What's this?"));
    item->setObjectName(QStringLiteral("WhatsThis1"));
    connect(item, &QAction::triggered, this, [this, target] { WhatsThis(target.data()); });
    return menu_;
}

void TODSHelp::BeginMouseHelp() {
    if (mask_)
        return;
    auto* mask = new TODSHelpMask(*this, window_);
    mask_ = mask;
    mask->previousActive = window_->focusWidget();
    QApplication::setOverrideCursor(questionCursor());
    mask->show();
    mask->raise();
    mask->setFocus(Qt::OtherFocusReason);
    mask->grabMouse();
    mask->grabKeyboard();
}

void TODSHelp::endMouseHelp(bool showAt, QPoint globalPos) {
    auto* mask = static_cast<TODSHelpMask*>(mask_.data());
    if (!mask || mask->ending)
        return;
    mask->ending = true;
    mask->releaseMouse();
    mask->releaseKeyboard();
    QApplication::restoreOverrideCursor();
    const TPopupSettings s = settings();
    bool shown = false;
    if (showAt) {
        QWidget* under = QApplication::widgetAt(globalPos);
        if (under && ownerEnabled(under)) {
            for (QWidget* c = under; c && !c->isWindow(); c = c->parentWidget())
                if ((shown = PopupHelpFor(c, screenBounds(c), s)))
                    break;
        }
    }
    if (!shown && s.done)
        s.done();
    if (mask->previousActive && !shown)
        mask->previousActive->setFocus(Qt::OtherFocusReason);
    mask_ = nullptr;
    mask->hide();
    mask->deleteLater();
}

// ---- capture control ---------------------------------------------------------

TODSHelpMask::TODSHelpMask(TODSHelp& help, QWidget* window) : QWidget(window), help_(help) {
    setObjectName(QStringLiteral("ODSHelpMask"));
    setGeometry(0, 0, 0, 0);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void TODSHelpMask::mouseMoveEvent(QMouseEvent* e) {
    QWidget* under = QApplication::widgetAt(e->globalPosition().toPoint());
    bool ours = false;
    for (QWidget* w = under; w && !ours; w = w->parentWidget())
        ours = w->isEnabled();
    QApplication::changeOverrideCursor(ours ? questionCursor() : QCursor(Qt::ArrowCursor));
}

void TODSHelpMask::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        help_.endMouseHelp(true, e->globalPosition().toPoint());
}

void TODSHelpMask::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape)
        help_.endMouseHelp(false, {});
}

void TODSHelpMask::focusOutEvent(QFocusEvent*) {
    if (!ending)
        help_.endMouseHelp(false, {});
}

// ---- pop-up -------------------------------------------------------------------

namespace {
TODSHelpPopup* thePopup = nullptr;
}

TODSHelpPopup::TODSHelpPopup()
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("ODSHelpPopup"));
    // Painted whole from the saved screen beneath: no erasing.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s != Qt::ApplicationActive && isVisible())
            hidePopup();
    });
}

bool TODSHelpPopup::exists() {
    return thePopup != nullptr;
}

TODSHelpPopup& TODSHelpPopup::instance() {
    if (!thePopup) {
        thePopup = new TODSHelpPopup;
        QObject::connect(qApp, &QObject::destroyed, [] { thePopup = nullptr; });
    }
    return *thePopup;
}

void TODSHelpPopup::showEntry(const TODSHelpEntry& entry, const QRect& controlRect,
                              const TPopupSettings& settings) {
    if (isVisible())
        hidePopup();
    deactivated_ = false;
    settings_ = settings;
    text_ = entry.data.text.value_or(QString());
    context_ = entry.data.helpContext;
    controlRect_ = controlRect;
    hasMore_ = context_ != 0;
    setFont(settings.font);
    layout_ =
        MeasurePopup(text_, settings.font, settings.maxWidth, hasMore_, settings.moreText, &lines_);
    QScreen* screen = QGuiApplication::screenAt(controlRect.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QPoint at = PlacePopup(controlRect, layout_, area);
    beneath_ = screen ? screen->grabWindow(0, at.x() - area.x(), at.y() - area.y(),
                                           layout_.window.width(), layout_.window.height())
                      : QPixmap();
    setGeometry(QRect(at, layout_.window));
    shown_ = true;
    show();
    raise();
    activateWindow();
}

void TODSHelpPopup::hidePopup() {
    hide();
}

void TODSHelpPopup::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    if (!shown_)
        return;
    shown_ = false;
    text_.clear();
    if (settings_.done)
        settings_.done();
}

void TODSHelpPopup::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible() &&
        QGuiApplication::applicationState() == Qt::ApplicationActive) {
        deactivated_ = true;
        hidePopup();
    }
}

void TODSHelpPopup::keyPressEvent(QKeyEvent* e) {
    if (hasMore_ && e->key() == Qt::Key_F1)
        ShowTopic(context_);
    hidePopup();
}

void TODSHelpPopup::mousePressEvent(QMouseEvent* e) {
    // A press outside a popup window arrives here too: it closes it, as the
    // loss of activation would.
    const bool inside = rect().contains(e->position().toPoint());
    if (inside && e->button() != Qt::LeftButton)
        return;
    if (!inside) {
        deactivated_ = true;
        hidePopup();
        return;
    }
    if (hasMore_ && layout_.moreRect.contains(e->position().toPoint()))
        ShowTopic(context_);
    hidePopup();
}

void TODSHelpPopup::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!beneath_.isNull())
        p.drawPixmap(0, 0, beneath_);
    else
        p.fillRect(rect(), palette().window());
    // Shadow: what lies beneath, ANDed with the pattern (clear bits darken).
    QImage pattern(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.setPixel(x, y, ShadowKeeps(x, y) ? qRgba(0, 0, 0, 0) : qRgba(0, 0, 0, 255));
    const QRect paint(QPoint(0, 0), layout_.paintArea);
    QRegion shadow(rect().translated(6, 6) & rect());
    shadow -= QRegion(paint);
    p.save();
    p.setClipRegion(shadow);
    p.setBrushOrigin(0, 0);
    p.fillRect(rect(), QBrush(pattern));
    p.restore();
    // Frame, colour, text.
    const QRect outline = layout_.outline;
    p.fillRect(outline, settings_.color);
    p.setPen(Qt::black);
    p.drawRect(outline.adjusted(0, 0, -1, -1));
    p.setFont(settings_.font);
    const QFontMetrics fm(settings_.font);
    int y = layout_.textRect.top();
    for (const QString& line : lines_) {
        p.drawText(QRect(layout_.textRect.left(), y, layout_.textRect.width() + 1, fm.height()),
                   Qt::AlignLeft | Qt::AlignTop, line);
        y += fm.height();
    }
    if (hasMore_) {
        p.setFont(MoreFont(settings_.font));
        p.drawText(layout_.moreRect, Qt::AlignRight | Qt::AlignBottom, settings_.moreText);
    }
}

} // namespace qp::help
