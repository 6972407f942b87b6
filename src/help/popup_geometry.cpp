#include "help/popup_geometry.h"

#include <algorithm>

namespace qp::help {

WrappedText WrapWords(const QString& text, int maxWidth, const TextWidth& measure) {
    WrappedText out;
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (const QString& paragraph : paragraphs) {
        const QStringList words = paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QString line;
        for (const QString& word : words) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && measure(candidate) > maxWidth) {
                out.lines << line;
                line = word;
            } else {
                line = candidate;
            }
        }
        out.lines << line;
    }
    for (const QString& l : out.lines)
        out.width = std::max(out.width, measure(l));
    return out;
}

PopupLayout LayoutPopup(QSize wrappedText, int lineHeight, bool hasMore, QSize moreText) {
    Q_UNUSED(lineHeight);
    PopupLayout l;
    l.box = QSize(wrappedText.width() + 16, wrappedText.height() + 10);
    // A short text must not clip the more line.
    if (hasMore)
        l.box.setWidth(std::max(l.box.width(), moreText.width() + 16));
    l.paintArea = l.box;
    if (hasMore)
        l.paintArea.rheight() += 3 + moreText.height();
    l.window = l.paintArea + QSize(6, 6);
    l.outline = QRect(0, 0, l.box.width(), l.box.height() + (hasMore ? moreText.height() : 0));
    l.textRect = QRect(8, 4, l.box.width() - 16, wrappedText.height());
    if (hasMore) {
        const int right = l.box.width() - 8;
        const int bottom = l.outline.height() - 2;
        l.moreRect = QRect(right - moreText.width(), bottom - moreText.height(), moreText.width(),
                           moreText.height());
    }
    return l;
}

QPoint PlacePopup(const QRect& control, const PopupLayout& layout, const QRect& screen) {
    const int w = layout.window.width();
    const int h = layout.window.height();
    int left = control.left() - layout.box.width() / 2;
    if (left < screen.left())
        left = screen.left();
    if (left + w > screen.left() + screen.width())
        left = screen.left() + screen.width() - w - 10;
    int top = control.top() + 8;
    if (top + h > screen.top() + screen.height())
        top = screen.top() + screen.height() - h - 10;
    return {left, top};
}

} // namespace qp::help
