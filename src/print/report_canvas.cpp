#include "print/report_canvas.h"

#include "print/base_report.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPicture>
#include <cmath>
#include <limits>

namespace qp::print {

namespace {

TPenStyle PenStyleOf(const QPen& pen) {
    switch (pen.style()) {
    case Qt::NoPen:
        return psClear;
    case Qt::DashLine:
        return psDash;
    case Qt::DotLine:
        return psDot;
    case Qt::DashDotLine:
        return psDashDot;
    case Qt::DashDotDotLine:
        return psDashDotDot;
    default:
        return psSolid;
    }
}

TPenMode PenModeOf(QPainter::CompositionMode m) {
    switch (m) {
    case QPainter::RasterOp_NotDestination:
        return pmNot;
    case QPainter::RasterOp_NotSource:
        return pmNotCopy;
    case QPainter::RasterOp_SourceOrDestination:
        return pmMerge;
    case QPainter::RasterOp_SourceAndDestination:
        return pmMask;
    case QPainter::RasterOp_SourceXorDestination:
        return pmXor;
    case QPainter::RasterOp_NotSourceXorDestination:
        return pmNotXor;
    case QPainter::RasterOp_NotSourceAndNotDestination:
        return pmNotMerge;
    case QPainter::RasterOp_NotSourceOrNotDestination:
        return pmNotMask;
    case QPainter::RasterOp_SourceAndNotDestination:
        return pmMaskPenNot;
    case QPainter::RasterOp_NotSourceAndDestination:
        return pmMaskNotPen;
    case QPainter::RasterOp_NotSourceOrDestination:
        return pmMergeNotPen;
    default:
        return pmCopy;
    }
}

TBrushStyle BrushStyleOf(Qt::BrushStyle s) {
    switch (s) {
    case Qt::NoBrush:
        return bsClear;
    case Qt::HorPattern:
        return bsHorizontal;
    case Qt::VerPattern:
        return bsVertical;
    case Qt::FDiagPattern:
        return bsFDiagonal;
    case Qt::BDiagPattern:
        return bsBDiagonal;
    case Qt::CrossPattern:
        return bsCross;
    case Qt::DiagCrossPattern:
        return bsDiagCross;
    default:
        return bsSolid;
    }
}

// Painter units per unit of length along the transform (its mean scale).
double ScaleOf(const QTransform& t) {
    return std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
}

class TRecordingEngine : public QPaintEngine {
public:
    TRecordingEngine(TBaseReport& report, double unitsPerInch)
        : QPaintEngine(AllFeatures), R_(report), Upi_(unitsPerInch) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return User; }

    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i)
            Shape(dkRect, rects[i]);
    }
    void drawEllipse(const QRectF& r) override { Shape(dkEllipse, r); }
    void drawLines(const QLineF* lines, int count) override {
        const QTransform t = painter()->combinedTransform();
        for (int i = 0; i < count; ++i) {
            TDrawCommand c;
            c.Kind = dkLine;
            c.P1 = Inches(t.map(lines[i].p1()));
            c.P2 = Inches(t.map(lines[i].p2()));
            c.Pen = PenSpec(t);
            R_.AddDrawing(std::move(c));
        }
    }
    void drawPath(const QPainterPath& path) override {
        // A rounded rectangle starts on its left side at one corner radius
        // below the top and reaches the top one radius right of the left.
        const QRectF b = path.boundingRect();
        if (path.elementCount() >= 4 && path.elementAt(0).isMoveTo()) {
            const QPointF start = path.elementAt(0);
            const QPointF arcEnd = path.elementAt(3);
            const double rx = arcEnd.x() - b.left(), ry = start.y() - b.top();
            if (qFuzzyCompare(start.x() + 1, b.left() + 1) &&
                qFuzzyCompare(arcEnd.y() + 1, b.top() + 1) && rx > 0 && ry > 0) {
                QPainterPath probe;
                probe.addRoundedRect(b, rx, ry);
                if (probe == path) {
                    const QTransform t = painter()->combinedTransform();
                    TDrawCommand c = ShapeCommand(dkRoundRect, b, t);
                    c.P2 = {2 * rx * ScaleOf(t) / Upi_, 2 * ry * ScaleOf(t) / Upi_};
                    R_.AddDrawing(std::move(c));
                    return;
                }
            }
        }
        Picture([&](QPainter& p) { p.drawPath(path); }, b);
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        QPolygonF poly(count);
        for (int i = 0; i < count; ++i)
            poly[i] = points[i];
        Picture(
            [&](QPainter& p) {
                if (mode == PolylineMode)
                    p.drawPolyline(poly);
                else
                    p.drawPolygon(poly, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
            },
            poly.boundingRect());
    }
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override {
        drawImage(r, pm.toImage(), sr, Qt::AutoColor);
    }
    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                   Qt::ImageConversionFlags) override {
        const QTransform t = painter()->combinedTransform();
        TDrawCommand c;
        c.Kind = dkImage;
        c.Rect = Inches(t.mapRect(r));
        c.Image = sr == QRectF(image.rect()) ? image : image.copy(sr.toAlignedRect());
        R_.AddDrawing(std::move(c));
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QString text = item.text();
        if (text.isEmpty())
            return;
        QPainter& painter = *this->painter();
        const QTransform t = painter.combinedTransform();
        const QFont& font = item.font();
        const double scale = ScaleOf(t);
        const double dpi = Upi_;
        const double logicalPx =
            font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * dpi / 72.0;
        TDrawCommand c;
        c.Text = text;
        c.Font.Name = font.family();
        c.Font.Size = logicalPx * scale / Upi_ * 72.0;
        c.Font.Bold = font.bold();
        c.Font.Italic = font.italic();
        c.Font.Underline = font.underline();
        c.Font.StrikeOut = font.strikeOut();
        c.Font.Color = painter.pen().color();
        c.Width = item.width() * scale / Upi_;
        c.Font.Rotation = -std::atan2(t.m12(), t.m11()) * 180.0 / M_PI;
        if (std::abs(c.Font.Rotation) < 1e-9)
            c.Font.Rotation = 0;
        if (!painter.hasClipping()) {
            c.Kind = dkText;
            c.P1 = Inches(t.map(p));
        } else {
            // Clipped text is placed by its top-left: the baseline less the
            // font's ascent, along the text's up direction.
            c.Kind = dkTextClipped;
            c.Rect = Inches(t.mapRect(painter.clipBoundingRect()));
            if (!HaveAscent_ || !(font == AscentFont_)) {
                AscentFont_ = font;
                Ascent_ = QFontMetricsF(font, paintDevice()).ascent();
                HaveAscent_ = true;
            }
            c.P1 = Inches(t.map(p - QPointF(0, Ascent_)));
        }
        R_.AddDrawing(std::move(c));
    }

private:
    QPointF Inches(QPointF units) const { return units / Upi_; }
    QRectF Inches(const QRectF& units) const {
        return QRectF(units.topLeft() / Upi_, units.size() / Upi_);
    }

    TPenSpec PenSpec(const QTransform& t) const {
        const QPen& pen = painter()->pen();
        TPenSpec s;
        s.Style = PenStyleOf(pen);
        s.Color = pen.color();
        s.Mode = PenModeOf(painter()->compositionMode());
        s.WidthInches = pen.isCosmetic() ? 0 : pen.widthF() * ScaleOf(t) / Upi_;
        return s;
    }

    TDrawCommand ShapeCommand(TDrawKind kind, const QRectF& r, const QTransform& t) const {
        TDrawCommand c;
        c.Kind = kind;
        c.Rect = Inches(t.mapRect(r));
        c.Pen = PenSpec(t);
        const QBrush& brush = painter()->brush();
        c.Brush.Style = BrushStyleOf(brush.style());
        c.Brush.Color = brush.color();
        return c;
    }

    void Shape(TDrawKind kind, const QRectF& r) {
        R_.AddDrawing(ShapeCommand(kind, r, painter()->combinedTransform()));
    }

    // Anything else is kept as a small picture of itself.
    template <class F> void Picture(F draw, const QRectF& logicalBounds) {
        QPainter& painter = *this->painter();
        const QTransform t = painter.combinedTransform();
        const double pad = painter.pen().style() == Qt::NoPen ? 0 : painter.pen().widthF();
        const QRectF b = logicalBounds.adjusted(-pad, -pad, pad, pad);
        if (b.isEmpty())
            return;
        QPicture pic;
        QPainter p(&pic);
        p.setPen(painter.pen());
        p.setBrush(painter.brush());
        p.setRenderHints(painter.renderHints());
        draw(p);
        p.end();
        TDrawCommand c;
        c.Kind = dkPicture;
        c.Rect = Inches(t.mapRect(QRectF(pic.boundingRect())));
        c.Picture = std::make_shared<const QPicture>(pic);
        R_.AddDrawing(std::move(c));
    }

    TBaseReport& R_;
    double Upi_;
    QFont AscentFont_;
    double Ascent_ = 0;
    bool HaveAscent_ = false;
};

} // namespace

class TRecordingDevice : public QPaintDevice {
public:
    TRecordingDevice(TBaseReport& report, double unitsPerInch)
        : Engine_(report, unitsPerInch), Upi_(unitsPerInch) {}
    QPaintEngine* paintEngine() const override { return &Engine_; }

protected:
    int metric(PaintDeviceMetric m) const override {
        const int dpi = qRound(Upi_);
        switch (m) {
        case PdmWidth:
        case PdmHeight:
            return 1 << 24;
        case PdmWidthMM:
        case PdmHeightMM:
            return int((1 << 24) * 25.4 / Upi_);
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return dpi;
        case PdmNumColors:
            return std::numeric_limits<int>::max();
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(m);
        }
    }

private:
    mutable TRecordingEngine Engine_;
    double Upi_;
};

TReportCanvas::TReportCanvas(TBaseReport& report, double unitsPerInch)
    : Device_(std::make_unique<TRecordingDevice>(report, unitsPerInch)) {
    Painter_.begin(Device_.get());
}

TReportCanvas::~TReportCanvas() {
    Painter_.end();
}

} // namespace qp::print
