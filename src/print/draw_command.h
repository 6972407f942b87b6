#pragma once
// One drawing call of a page, in inches from the paper's top-left corner.
// Every target paints from these, so printer, PDF and preview agree.
#include "print/print_types.h"

#include <QImage>
#include <QPicture>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace qp::print {

enum TDrawKind {
    dkText,        // Text with its baseline start at P1
    dkTextClipped, // Text with its top-left at P1, clipped to Rect
    dkLine,        // P1 to P2 with Pen
    dkRect,        // Rect with Pen and Brush
    dkRoundRect,   // Rect, corner ellipse P2.x by P2.y
    dkEllipse,     // Rect
    dkImage,       // Image stretched into Rect
    dkPicture,     // Picture stretched into Rect, clipped to Rect
    dkPaint        // Paint called with Rect on the device, clipped to Rect
};

// Draws onto the device inside `target` (device pixels); `zoom` is the map's
// resolution over the device's own, for drawing that sizes itself by the
// device (rich text).
using TPaintRoutine = std::function<void(QPainter& painter, const QRectF& target, double zoom)>;

struct TDrawCommand {
    TDrawKind Kind = dkLine;
    QPointF P1;
    QPointF P2;
    QRectF Rect;
    QString Text;
    // Text: the width its layout gave it, inches; where the device's own
    // metrics make it wider or narrower, the renderer scales it to this
    // (0: as the device measures it).
    double Width = 0;
    TFontSpec Font;
    TPenSpec Pen;
    TBrushSpec Brush;
    QImage Image;
    std::shared_ptr<const QPicture> Picture; // shared: a QPicture is costly to construct
    std::shared_ptr<const TPaintRoutine> Paint;
};

struct TPageRecord {
    std::vector<TDrawCommand> Commands;
};

// An outline the preview draws in light grey under every page, such as the
// edges of the labels on a sheet. It belongs to the screen only: it is no
// drawing call and never reaches paper.
struct TPreviewOutline {
    enum TShape { osRectangle, osRoundRect, osEllipse };
    QRectF Rect; // inches from the paper's top-left corner
    TShape Shape = osRectangle;
};

// A job kept in memory page by page; the window that runs the job owns it.
struct TStoredJob {
    double PaperWidth = 8.5; // inches, whole sheet
    double PaperHeight = 11;
    double XDpi = 600; // resolution of the device the job was laid out for
    double YDpi = 600;
    std::vector<TPageRecord> Pages;
    std::vector<TPreviewOutline> Outlines; // on every page, preview only

    int PageCount() const { return static_cast<int>(Pages.size()); }
    void Clear() { Pages.clear(); }
};

} // namespace qp::print
