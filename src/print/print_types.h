#pragma once
// Value types shared by the print engine: units, pens, brushes, fonts.
#include <QColor>
#include <QString>

namespace qp::print {

enum TUnits { unInch };
enum TLineHeightMethod { lhmFont, lhmLinesPerInch };
enum TOrientation { poPortrait, poLandScape, poDefault };
enum TAccuracyMethod { amPositioning, amAppearance };
enum TTextBKMode { bkTransparent, bkOpaque };

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

// Where text printed at a tab stop goes (codes as the callers pass them).
enum TPrintJustify { pjCenter = 0, pjLeft = 1, pjRight = 2, pjBlock = 3 };

// Box-line switches of a tab stop, combinable.
enum TBoxLines { blNone = 0, blLeft = 1, blRight = 2, blTop = 4, blBottom = 8, blAll = 15 };

struct TPenSpec {
    QColor Color = Qt::black;
    TPenStyle Style = psSolid;
    double WidthInches = 0; // 0: one device pixel
    TPenMode Mode = pmCopy;
    bool operator==(const TPenSpec&) const = default;
};

struct TBrushSpec {
    QColor Color = Qt::black; // black so that a tab shade of s percent is s percent grey
    TBrushStyle Style = bsClear;
    bool operator==(const TBrushSpec&) const = default;
};

struct TFontSpec {
    QString Name = QStringLiteral("Arial");
    double Size = 10; // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    QColor Color = Qt::black;
    double Rotation = 0; // degrees counter-clockwise
    bool operator==(const TFontSpec&) const = default;
};

} // namespace qp::print
