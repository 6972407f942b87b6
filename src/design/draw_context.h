#pragma once
// What one drawing of a design object is for. Every object kind has one
// drawing routine that paints onto any QPainter in panel coordinates (design
// pixels at the panel's zoom); the context says where the painting goes and
// whether the design-time decorations (placeholders, field names, sample
// barcodes) belong to it.
#include <QPointF>

namespace qp::print {
class TBaseReport;
}

namespace qp::design {

enum TDrawTarget {
    dtScreen, // the design surface
    dtPaper   // printer, PDF and the print preview, through the print engine
};

// Device grid for bar placement: positions snap to the nearest device pixel
// (measured from `offsetX/Y` inches, the device's origin), widths and heights
// round up to whole pixels.
struct TDeviceGrid {
    double XDpi = 600;
    double YDpi = 600;
    double OffsetX = 0;
    double OffsetY = 0;
};

struct TDrawContext {
    TDrawTarget Target = dtScreen;
    // Placeholders and sample pictures where a value is missing: on the
    // design surface only.
    bool DesignDecorations = true;
    // Paper: where panel coordinate (0, 0) lies on the sheet, in inches, the
    // device grid bars snap to, and the running job (page numbers).
    QPointF OriginInches;
    TDeviceGrid Grid;
    print::TBaseReport* Report = nullptr;

    static TDrawContext Screen() { return {}; }
};

} // namespace qp::design
