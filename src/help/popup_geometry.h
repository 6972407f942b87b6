#pragma once
// Sizes and placement of the help pop-up, apart from any window so they can
// be checked without a screen.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

namespace qp::help {

using TextWidth = std::function<int(const QString&)>;

// Word wrap as the pop-up draws it: breaks at blanks and at line breaks; a
// word wider than the width stands alone on its line.
struct WrappedText {
    QStringList lines;
    int width = 0; // of the widest line
};
WrappedText WrapWords(const QString& text, int maxWidth, const TextWidth& measure);

struct PopupLayout {
    QSize box;       // wrapped text + 16 wide, + 10 high
    QSize paintArea; // box, with the more line 3 + its height taller
    QSize window;    // paint area + 6 each way (the shadow)
    QRect outline;   // the framed, filled rectangle
    QRect textRect;  // where the wrapped text is drawn
    QRect moreRect;  // the more line (empty without it)
};
PopupLayout LayoutPopup(QSize wrappedText, int lineHeight, bool hasMore, QSize moreText);

// Top-left of the pop-up for a control whose screen bounds are `control`.
QPoint PlacePopup(const QRect& control, const PopupLayout& layout, const QRect& screen);

// The shadow's 8 x 8 pattern, one byte a row, high bit leftmost; a set bit
// keeps what lies beneath, a clear bit darkens it.
inline constexpr unsigned char kShadowPattern[8] = {0xAA, 0x00, 0x55, 0x00, 0xAA, 0x00, 0x55, 0x00};
inline bool ShadowKeeps(int x, int y) {
    return (kShadowPattern[y & 7] >> (7 - (x & 7))) & 1;
}

} // namespace qp::help
