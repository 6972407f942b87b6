#include "richtext/ui/inch_ruler.h"

#include "richtext/page_settings.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>

#include <cmath>

namespace qp::richtext {

namespace {
constexpr int kHeight = 24;
constexpr double kGrab = 6;
} // namespace

TInchRuler::TInchRuler(QTextEdit* editor, QWidget* parent) : QWidget(parent), Editor_(editor) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setToolTip(tr("Drag the markers to set the indents; click to set a tab stop, drag it off to "
                  "remove it."));
    const auto refresh = [this] { update(); };
    connect(editor, &QTextEdit::cursorPositionChanged, this, refresh);
    connect(editor->horizontalScrollBar(), &QScrollBar::valueChanged, this, refresh);
    connect(editor->document(), &QTextDocument::contentsChanged, this, refresh);
}

QSize TInchRuler::sizeHint() const {
    return {400, kHeight};
}

void TInchRuler::SetTextWidth(double layoutUnits) {
    TextWidth_ = layoutUnits;
    update();
}

double TInchRuler::Origin() const {
    const QPoint viewport = Editor_->viewport()->mapTo(Editor_, QPoint(0, 0));
    return Editor_->x() - x() + viewport.x() + Editor_->document()->documentMargin() -
           Editor_->horizontalScrollBar()->value();
}

double TInchRuler::Snap(double x) const {
    const double step = LayoutDpi() / 16; // a sixteenth of an inch
    return std::round(x / step) * step;
}

void TInchRuler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const double o = Origin();
    const double dpi = LayoutDpi();
    p.fillRect(QRectF(o, 3, TextWidth_, height() - 6), Qt::white);
    p.setPen(palette().color(QPalette::WindowText));
    for (int i = 0; i * dpi / 8 <= TextWidth_ + 0.5; ++i) {
        const double x = o + i * dpi / 8;
        const int len = i % 8 == 0 ? 10 : (i % 4 == 0 ? 7 : (i % 2 == 0 ? 5 : 3));
        p.drawLine(QPointF(x, height() / 2.0 - len / 2.0), QPointF(x, height() / 2.0 + len / 2.0));
    }
    const QTextBlockFormat f = Editor_->textCursor().blockFormat();
    const double left = o + f.leftMargin();
    const double first = left + f.textIndent();
    const double right = o + TextWidth_ - f.rightMargin();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(palette().color(QPalette::Highlight));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({{first - 4, 0}, {first + 4, 0}, {first, 6}}));
    p.drawPolygon(QPolygonF(
        {{left - 4, double(height())}, {left + 4, double(height())}, {left, height() - 6.0}}));
    p.drawPolygon(QPolygonF(
        {{right - 4, double(height())}, {right + 4, double(height())}, {right, height() - 6.0}}));
    p.setPen(QPen(palette().color(QPalette::WindowText), 1.5));
    for (const QTextOption::Tab& tab : f.tabPositions()) {
        const double x = o + tab.position;
        p.drawLine(QPointF(x, height() - 8.0), QPointF(x, height() - 2.0));
        const double dir = tab.type == QTextOption::RightTab ? -4 : 4;
        p.drawLine(QPointF(x, height() - 2.0), QPointF(x + dir, height() - 2.0));
    }
}

void TInchRuler::mousePressEvent(QMouseEvent* e) {
    const QTextBlockFormat f = Editor_->textCursor().blockFormat();
    const double o = Origin();
    const double x = e->position().x();
    const bool top = e->position().y() < height() / 2.0;
    const double left = o + f.leftMargin();
    const double first = left + f.textIndent();
    const double right = o + TextWidth_ - f.rightMargin();
    Drag_ = mkNone;
    if (top && std::abs(x - first) <= kGrab)
        Drag_ = mkFirst;
    else if (!top && std::abs(x - left) <= kGrab)
        Drag_ = mkLeft;
    else if (!top && std::abs(x - right) <= kGrab)
        Drag_ = mkRight;
    if (Drag_ != mkNone)
        return;
    const auto tabs = f.tabPositions();
    for (int i = 0; i < tabs.size(); ++i)
        if (std::abs(x - (o + tabs[i].position)) <= kGrab) {
            Drag_ = mkTab;
            DragTab_ = i;
            return;
        }
    if (x > o && x < o + TextWidth_) { // a new left tab stop
        QTextBlockFormat change;
        auto newTabs = tabs;
        newTabs.append(QTextOption::Tab(Snap(x - o), QTextOption::LeftTab));
        std::sort(newTabs.begin(), newTabs.end(),
                  [](const auto& a, const auto& b) { return a.position < b.position; });
        change.setTabPositions(newTabs);
        Editor_->textCursor().mergeBlockFormat(change);
        update();
    }
}

void TInchRuler::mouseMoveEvent(QMouseEvent* e) {
    if (Drag_ == mkNone)
        return;
    QTextBlockFormat f = Editor_->textCursor().blockFormat();
    QTextBlockFormat change;
    const double x = std::clamp(Snap(e->position().x() - Origin()), 0.0, TextWidth_);
    switch (Drag_) {
    case mkFirst:
        change.setTextIndent(x - f.leftMargin());
        break;
    case mkLeft: // the first line stays where it is
        change.setLeftMargin(x);
        change.setTextIndent(f.leftMargin() + f.textIndent() - x);
        break;
    case mkRight:
        change.setRightMargin(TextWidth_ - x);
        break;
    case mkTab: {
        auto tabs = f.tabPositions();
        if (DragTab_ >= 0 && DragTab_ < tabs.size())
            tabs[DragTab_].position = x;
        change.setTabPositions(tabs);
        break;
    }
    default:
        return;
    }
    Editor_->textCursor().mergeBlockFormat(change);
    update();
}

void TInchRuler::mouseReleaseEvent(QMouseEvent* e) {
    if (Drag_ == mkTab && !rect().adjusted(0, -10, 0, 10).contains(e->position().toPoint())) {
        auto tabs = Editor_->textCursor().blockFormat().tabPositions();
        if (DragTab_ >= 0 && DragTab_ < tabs.size()) {
            tabs.removeAt(DragTab_);
            QTextBlockFormat change;
            change.setTabPositions(tabs);
            Editor_->textCursor().mergeBlockFormat(change);
        }
    }
    Drag_ = mkNone;
    DragTab_ = -1;
    update();
}

} // namespace qp::richtext
