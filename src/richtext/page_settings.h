#pragma once
// The page of a rich-text document in twips (1440 to the inch), kept on the
// document itself so that a copy, the editor and the renderer agree on it.

#include <QSizeF>

class QTextDocument;

namespace qp::richtext {

constexpr int kTwipsPerInch = 1440;

struct TPageSettings {
    int PageWidth = 12240;  // 8.5 inches
    int PageHeight = 15840; // 11 inches
    int LeftMargin = 1440;
    int RightMargin = 1440;
    int TopMargin = 1440;
    int BottomMargin = 1440;

    int TextWidth() const { return PageWidth - LeftMargin - RightMargin; }
    int TextHeight() const { return PageHeight - TopMargin - BottomMargin; }
    // Sizes a page can have and margins that leave at least half an inch of
    // text each way; anything else is brought into that range.
    TPageSettings Normalized() const;
    bool operator==(const TPageSettings&) const = default;
};

TPageSettings PageSettings(const QTextDocument& doc);
void SetPageSettings(QTextDocument& doc, const TPageSettings& page);

// Lengths in block and image formats are in layout units: pixels at the
// resolution Qt lays text out at when no device is given.
double LayoutDpi();
double TwipsToLayout(double twips);
double LayoutToTwips(double units);
// The text area of the page in layout units.
QSizeF TextAreaInLayoutUnits(const TPageSettings& page);

// Replaces `to` with a copy of `from`: text, formats, images and page.
void CopyDocument(const QTextDocument& from, QTextDocument& to);

} // namespace qp::richtext
