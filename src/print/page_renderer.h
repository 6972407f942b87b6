#pragma once
#include "print/draw_command.h"

class QPainter;

namespace qp::print {

// Maps inches on the paper to a paint device: device = (inch - offset) * dpi.
struct TDeviceMap {
    double XDpi = 96;
    double YDpi = 96;
    double OffsetX = 0; // unprintable left margin, inches
    double OffsetY = 0; // unprintable top margin, inches
    double OriginX = 0; // device pixels added after scaling (preview scroll, page placement)
    double OriginY = 0;

    QPointF Map(QPointF inches) const {
        return {(inches.x() - OffsetX) * XDpi + OriginX, (inches.y() - OffsetY) * YDpi + OriginY};
    }
    QRectF Map(const QRectF& r) const { return QRectF(Map(r.topLeft()), Map(r.bottomRight())); }
};

// The one renderer of the engine.
void RenderCommand(QPainter& painter, const TDrawCommand& cmd, const TDeviceMap& map);
void RenderPage(QPainter& painter, const TPageRecord& page, const TDeviceMap& map);

} // namespace qp::print
