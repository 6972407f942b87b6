#include "print/page_renderer.h"

#include "print/text_metrics.h"

#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace qp::print {

namespace {

double PenPixels(const TPenSpec& pen, const TDeviceMap& map) {
    const double px = pen.WidthInches * (map.XDpi + map.YDpi) / 2;
    return std::max(1.0, std::round(px));
}

QVector<qreal> DashPattern(TPenStyle style, double widthPx, double dpi) {
    // Dash lengths fixed in inches so that dashes look alike at any resolution.
    auto u = [&](double inches) { return std::max(0.5, inches * dpi / widthPx); };
    switch (style) {
    case psDash:
        return {u(0.06), u(0.02)};
    case psDot:
        return {u(0.01), u(0.02)};
    case psDashDot:
        return {u(0.06), u(0.02), u(0.01), u(0.02)};
    case psDashDotDot:
        return {u(0.06), u(0.02), u(0.01), u(0.02), u(0.01), u(0.02)};
    default:
        return {};
    }
}

bool ApplyPenMode(QPainter& painter, TPenMode mode, QColor& color) {
    const bool rasterOps =
        painter.paintEngine() && painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    QPainter::CompositionMode cm = QPainter::CompositionMode_SourceOver;
    switch (mode) {
    case pmNop:
        return false;
    case pmBlack:
        color = Qt::black;
        break;
    case pmWhite:
        color = Qt::white;
        break;
    case pmNot:
        cm = QPainter::RasterOp_NotDestination;
        break;
    case pmNotCopy:
        cm = QPainter::RasterOp_NotSource;
        break;
    case pmMerge:
        cm = QPainter::RasterOp_SourceOrDestination;
        break;
    case pmMask:
        cm = QPainter::RasterOp_SourceAndDestination;
        break;
    case pmXor:
        cm = QPainter::RasterOp_SourceXorDestination;
        break;
    case pmNotXor:
        cm = QPainter::RasterOp_NotSourceXorDestination;
        break;
    case pmNotMerge:
        cm = QPainter::RasterOp_NotSourceAndNotDestination;
        break;
    case pmNotMask:
        cm = QPainter::RasterOp_NotSourceOrNotDestination;
        break;
    case pmMaskPenNot:
        cm = QPainter::RasterOp_SourceAndNotDestination;
        break;
    case pmMaskNotPen:
        cm = QPainter::RasterOp_NotSourceAndDestination;
        break;
    case pmMergePenNot:
    case pmMergeNotPen:
        cm = QPainter::RasterOp_NotSourceOrDestination;
        break;
    default:
        break;
    }
    if (cm != QPainter::CompositionMode_SourceOver && !rasterOps)
        cm = QPainter::CompositionMode_SourceOver; // vector devices: plain copy
    painter.setCompositionMode(cm);
    return true;
}

QPen MakePen(const TPenSpec& spec, const TDeviceMap& map, QColor color) {
    if (spec.Style == psClear)
        return Qt::NoPen;
    const double w = PenPixels(spec, map);
    QPen pen(color, w, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    const QVector<qreal> dashes = DashPattern(spec.Style, w, (map.XDpi + map.YDpi) / 2);
    if (!dashes.isEmpty())
        pen.setDashPattern(dashes);
    return pen;
}

QBrush MakeBrush(const TBrushSpec& spec, const TDeviceMap& map) {
    Qt::BrushStyle style = Qt::SolidPattern;
    switch (spec.Style) {
    case bsSolid:
        break;
    case bsClear:
        return Qt::NoBrush;
    case bsHorizontal:
        style = Qt::HorPattern;
        break;
    case bsVertical:
        style = Qt::VerPattern;
        break;
    case bsFDiagonal:
        style = Qt::FDiagPattern;
        break;
    case bsBDiagonal:
        style = Qt::BDiagPattern;
        break;
    case bsCross:
        style = Qt::CrossPattern;
        break;
    case bsDiagCross:
        style = Qt::DiagCrossPattern;
        break;
    }
    QBrush brush(spec.Color, style);
    if (style != Qt::SolidPattern) {
        // Hatch spacing as on a 96 dpi screen, whatever the device.
        brush.setTransform(QTransform::fromScale(map.XDpi / 96.0, map.YDpi / 96.0));
    }
    return brush;
}

class TRenderer {
public:
    TRenderer(QPainter& painter, const TDeviceMap& map) : P_(painter), M_(map) {
        const int ldpi = painter.device() ? painter.device()->logicalDpiY() : 96;
        FontFactor_ = map.YDpi / (ldpi > 0 ? ldpi : 96);
    }

    void Draw(const TDrawCommand& c) {
        P_.save();
        switch (c.Kind) {
        case dkText:
        case dkTextClipped:
            DrawText(c);
            break;
        case dkLine:
        case dkRect:
        case dkRoundRect:
        case dkEllipse:
            DrawShape(c);
            break;
        case dkImage:
            if (!c.Image.isNull())
                P_.drawImage(M_.Map(c.Rect), c.Image);
            break;
        case dkPicture:
            DrawPicture(c);
            break;
        case dkPaint:
            if (c.Paint && *c.Paint) {
                const QRectF target = M_.Map(c.Rect).normalized();
                P_.setClipRect(target, Qt::IntersectClip);
                const int ldpi = P_.device() ? P_.device()->logicalDpiX() : 96;
                (*c.Paint)(P_, target, M_.XDpi / (ldpi > 0 ? ldpi : 96));
            }
            break;
        }
        P_.restore();
    }

private:
    const QFont& FontFor(const TFontSpec& spec) {
        if (!HaveFont_ || !(spec == LastSpec_)) {
            TFontSpec scaled = spec;
            scaled.Size = spec.Size * FontFactor_;
            Font_ = MakeQFont(scaled);
            LastSpec_ = spec;
            HaveFont_ = true;
        }
        return Font_;
    }

    void DrawText(const TDrawCommand& c) {
        const QFont& font = FontFor(c.Font);
        P_.setFont(font);
        P_.setPen(c.Font.Color);
        P_.setBackgroundMode(Qt::TransparentMode);
        if (c.Kind == dkTextClipped)
            P_.setClipRect(M_.Map(c.Rect).normalized(), Qt::IntersectClip);
        P_.translate(M_.Map(c.P1));
        if (c.Font.Rotation != 0)
            P_.rotate(-c.Font.Rotation);
        const QFontMetricsF metrics(font, P_.device());
        if (c.Width > 0) {
            const double natural = metrics.horizontalAdvance(c.Text);
            const double wanted = c.Width * M_.XDpi;
            if (natural > 0 && std::abs(wanted / natural - 1) > 1e-3)
                P_.scale(wanted / natural, 1);
        }
        const double baseline = c.Kind == dkTextClipped ? metrics.ascent() : 0;
        P_.drawText(QPointF(0, baseline), c.Text);
    }

    void DrawShape(const TDrawCommand& c) {
        QColor color = c.Pen.Color;
        if (!ApplyPenMode(P_, c.Pen.Mode, color))
            return;
        P_.setRenderHint(QPainter::Antialiasing, true);
        P_.setPen(MakePen(c.Pen, M_, color));
        if (c.Kind == dkLine) {
            P_.drawLine(M_.Map(c.P1), M_.Map(c.P2));
            return;
        }
        P_.setBrush(MakeBrush(c.Brush, M_));
        QRectF r = M_.Map(c.Rect).normalized();
        if (c.Pen.Style == psInsideFrame) {
            const double h = PenPixels(c.Pen, M_) / 2;
            r.adjust(h, h, -h, -h);
        }
        if (c.Kind == dkRect)
            P_.drawRect(r);
        else if (c.Kind == dkEllipse)
            P_.drawEllipse(r);
        else
            P_.drawRoundedRect(r, c.P2.x() * M_.XDpi / 2, c.P2.y() * M_.YDpi / 2, Qt::AbsoluteSize);
    }

    void DrawPicture(const TDrawCommand& c) {
        if (!c.Picture)
            return;
        const QRect bounds = c.Picture->boundingRect();
        if (bounds.isEmpty())
            return;
        const QRectF target = M_.Map(c.Rect).normalized();
        P_.setClipRect(target, Qt::IntersectClip);
        P_.translate(target.topLeft());
        P_.scale(target.width() / bounds.width(), target.height() / bounds.height());
        P_.drawPicture(-bounds.topLeft(), *c.Picture);
    }

    QPainter& P_;
    TDeviceMap M_;
    double FontFactor_ = 1;
    bool HaveFont_ = false;
    TFontSpec LastSpec_;
    QFont Font_;
};

} // namespace

void RenderCommand(QPainter& painter, const TDrawCommand& cmd, const TDeviceMap& map) {
    TRenderer(painter, map).Draw(cmd);
}

void RenderPage(QPainter& painter, const TPageRecord& page, const TDeviceMap& map) {
    TRenderer renderer(painter, map);
    for (const TDrawCommand& c : page.Commands)
        renderer.Draw(c);
}

} // namespace qp::print
