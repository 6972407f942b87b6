#include "design/shapes.h"

#include "design/base_panel.h"
#include "design/design_units.h"
#include "print/base_report.h"

#include <QPainter>
#include <array>
#include <cmath>

namespace qp::design {

namespace {
const std::array<const char*, 6> kShapes{"stRectangle",   "stSquare",  "stRoundRect",
                                         "stRoundSquare", "stEllipse", "stCircle"};
const std::array<const char*, 4> kLineStyles{"stHorizontal", "stVertical", "stAngleSlopingUp",
                                             "stAngleSlopingDown"};
template <size_t N> int IndexOfName(const std::array<const char*, N>& names, const QString& n) {
    for (size_t i = 0; i < N; ++i)
        if (n.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

Qt::PenStyle QtPenStyle(print::TPenStyle s) {
    switch (s) {
    case print::psDash:
        return Qt::DashLine;
    case print::psDot:
        return Qt::DotLine;
    case print::psDashDot:
        return Qt::DashDotLine;
    case print::psDashDotDot:
        return Qt::DashDotDotLine;
    case print::psClear:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

Qt::BrushStyle QtBrushStyle(print::TBrushStyle s) {
    switch (s) {
    case print::bsClear:
        return Qt::NoBrush;
    case print::bsHorizontal:
        return Qt::HorPattern;
    case print::bsVertical:
        return Qt::VerPattern;
    case print::bsFDiagonal:
        return Qt::FDiagPattern;
    case print::bsBDiagonal:
        return Qt::BDiagPattern;
    case print::bsCross:
        return Qt::CrossPattern;
    case print::bsDiagCross:
        return Qt::DiagCrossPattern;
    default:
        return Qt::SolidPattern;
    }
}

// A Windows-style pen whose w pixels cover w pixel columns starting at the
// line's coordinate minus w/2, drawn without antialiasing.
void SetScreenPen(QPainter& p, const TDesignPen& pen, int w) {
    if (w <= 0 || pen.Style == print::psClear) {
        p.setPen(Qt::NoPen);
        return;
    }
    QPen q(ToQColor(pen.Color));
    q.setWidth(w);
    q.setStyle(w > 1 ? Qt::SolidLine : QtPenStyle(pen.Style));
    q.setJoinStyle(Qt::MiterJoin);
    q.setCapStyle(Qt::SquareCap);
    p.setPen(q);
    if (pen.Mode == print::pmXor || pen.Mode == print::pmNotXor)
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
}
} // namespace

QString ShapeTypeName(TShapeType s) {
    return QLatin1String(kShapes.at(s));
}
QString LineStyleName(TLineStyle s) {
    return QLatin1String(kLineStyles.at(s));
}

int ZoomedPenWidth(int width, float zoom) {
    if (zoom == 1.0f)
        return width;
    int w = RoundHalfEven(width * double(zoom));
    if (w <= 0 && width > 0)
        w = 1;
    return w;
}

// ============================ TGLabelShapes ==============================

TGLabelShapes::TGLabelShapes() {
    SetBounds(0, 0, 25, 25);
}

void TGLabelShapes::SetShape(TShapeType s) {
    Assign(Shape_, s, peRepaint | peChanged);
}
void TGLabelShapes::SetPen(const TDesignPen& p) {
    Assign(Pen_, p, peRepaint | peChanged);
}
void TGLabelShapes::SetBrush(const TDesignBrush& b) {
    Assign(Brush_, b, peRepaint | peChanged);
}
void TGLabelShapes::SetTransparent(bool t) {
    SetProperty(QStringLiteral("Transparent"), t);
}
void TGLabelShapes::SetRoundPerc(int p) {
    Assign(RoundPerc_, std::clamp(p, 0, 100), peRepaint | peChanged);
}

bool TGLabelShapes::HitTest(QPoint p, int tolerance) const {
    const QRect b = BoundsRect();
    if (!Transparent_)
        return b.contains(p);
    const int t = tolerance + ZoomedPenWidth(Pen_.Width, Zoom()) / 2;
    if (!b.adjusted(-t, -t, t, t).contains(p))
        return false;
    if (Shape_ == stEllipse || Shape_ == stCircle) {
        const double rx = b.width() / 2.0, ry = b.height() / 2.0;
        if (rx <= t || ry <= t)
            return true;
        const QPointF c = QRectF(b).center();
        const double dx = (p.x() + 0.5 - c.x()) / rx, dy = (p.y() + 0.5 - c.y()) / ry;
        const double d = std::sqrt(dx * dx + dy * dy); // 1 on the outline
        return std::abs(d - 1.0) * std::min(rx, ry) <= t;
    }
    return !b.adjusted(t, t, -t, -t).contains(p);
}

int TGLabelShapes::CornerSize() const {
    return Trunc(RoundPerc_ * 0.01 * std::max(Width(), Height()));
}

QRect TGLabelShapes::ScreenBox() const {
    const int w = ZoomedPenWidth(Pen_.Width, Zoom());
    const int h = w / 2;
    return QRect(QPoint(h, h), QPoint(Width() + h - w + 1, Height() + h - w + 1));
}

void TGLabelShapes::Draw(QPainter& p, const TDrawContext&) {
    const int w = ZoomedPenWidth(Pen_.Width, Zoom());
    p.save();
    p.translate(Left(), Top());
    p.setRenderHint(QPainter::Antialiasing, false);
    SetScreenPen(p, Pen_, w);
    p.setBrush(QBrush(ToQColor(Brush_.Color), QtBrushStyle(Brush_.Style)));
    // The outline runs along the object's bounds, the pen centred on it.
    const QRectF path(0, 0, Width(), Height());
    switch (Shape_) {
    case stRoundRect:
    case stRoundSquare: {
        const double c = CornerSize() / 2.0;
        p.drawRoundedRect(path, c, c);
        break;
    }
    case stEllipse:
    case stCircle:
        p.drawEllipse(path);
        break;
    default:
        p.drawRect(path);
        break;
    }
    p.restore();
}

template <class K> std::vector<TPropertyRow> PenRows(TDesignPen K::*pen) {
    auto sub = [pen](const char* name, TPropertyValue def, auto get) {
        return Row<K>(
            name, std::move(def), srUnlessDefault, peRepaint | peChanged,
            [pen, get](const K& o) { return get(o.*pen); },
            [pen, name](K& o, const TPropertyValue& v) {
                return SetPenProperty(o.*pen, QString::fromLatin1(name).mid(4), v);
            });
    };
    return {sub("Pen.Color", clBlack, [](const TDesignPen& p) { return p.Color; }),
            sub("Pen.Mode", TIdent{PenModeName(print::pmCopy)},
                [](const TDesignPen& p) { return TIdent{PenModeName(p.Mode)}; }),
            sub("Pen.Style", TIdent{PenStyleName(print::psSolid)},
                [](const TDesignPen& p) { return TIdent{PenStyleName(p.Style)}; }),
            sub("Pen.Width", 1, [](const TDesignPen& p) { return std::int32_t(p.Width); })};
}

const TPropertyTable& TGLabelShapes::PropertyTable() const {
    using K = TGLabelShapes;
    static const TPropertyTable t = [] {
        std::vector<TPropertyRow> rows{
            Row<K>(
                "Transparent", false, srAlways, peRepaint | peChanged,
                [](const K& o) { return o.Transparent_; },
                [](K& o, const TPropertyValue& v) {
                    bool b = false;
                    if (!AsBool(v, b))
                        return false;
                    o.Transparent_ = b;
                    o.Brush_.Style = b ? print::bsClear : print::bsSolid;
                    return true;
                }),
            Row<K>(
                "Brush.Color", clWhite, srUnlessDefault, peRepaint | peChanged,
                [](const K& o) { return o.Brush_.Color; },
                [](K& o, const TPropertyValue& v) { return AsColor(v, o.Brush_.Color); }),
            Row<K>(
                "Brush.Style", TIdent{BrushStyleName(print::bsSolid)}, srUnlessDefault,
                peRepaint | peChanged,
                [](const K& o) { return TIdent{BrushStyleName(o.Brush_.Style)}; },
                [](K& o, const TPropertyValue& v) {
                    QString s;
                    return AsIdent(v, s) && BrushStyleFromName(s, o.Brush_.Style);
                }),
        };
        const auto pen = PenRows<K>(&K::Pen_);
        rows.insert(rows.end(), pen.begin(), pen.end());
        rows.push_back(Row<K>(
            "RoundPerc", 25, srUnlessDefault, peRepaint | peChanged,
            [](const K& o) { return o.RoundPerc_; },
            [](K& o, const TPropertyValue& v) {
                int i = 0;
                return AsInt(v, i) && (o.RoundPerc_ = std::clamp(i, 0, 100), true);
            }));
        rows.push_back(Row<K>(
            "Shape", TIdent{ShapeTypeName(stRectangle)}, srUnlessDefault, peRepaint | peChanged,
            [](const K& o) { return TIdent{ShapeTypeName(o.Shape_)}; },
            [](K& o, const TPropertyValue& v) {
                const int i = IdentIndex(v, kShapes.data(), int(kShapes.size()));
                return i >= 0 && (o.Shape_ = TShapeType(i), true);
            }));
        return TPropertyTable::Extend(BaseTable(), std::move(rows));
    }();
    return t;
}

// ============================ TGLineShape ================================

TGLineShape::TGLineShape() {
    SetBounds(0, 0, 10, 10);
}

void TGLineShape::SetLineStyle(TLineStyle s) {
    Assign(Style_, s, peRepaint | peChanged);
}
void TGLineShape::SetPen(const TDesignPen& p) {
    Assign(Pen_, p, peRepaint | peChanged);
}

std::pair<QPoint, QPoint> TGLineShape::ScreenLine() const {
    const int w = ZoomedPenWidth(Pen_.Width, Zoom());
    const int h = w / 2;
    switch (Style_) {
    case stVertical:
        return {QPoint(h, h), QPoint(h, h + Height() - w + 1)};
    case stAngleSlopingUp:
        return {QPoint(Width(), 0), QPoint(0, Height())};
    case stAngleSlopingDown:
        return {QPoint(0, 0), QPoint(Width(), Height())};
    default:
        return {QPoint(h, h), QPoint(Width() + h - w + 1, h)};
    }
}

void TGLineShape::StretchToEdges() {
    TGBasePanel* panel = Panel();
    if (!panel)
        return;
    if (Style_ == stHorizontal)
        SetBounds(0, Top(), panel->Width(), Height());
    else if (Style_ == stVertical)
        SetBounds(Left(), 0, Width(), panel->Height());
    Repaint();
}

void TGLineShape::Draw(QPainter& p, const TDrawContext&) {
    const int w = ZoomedPenWidth(Pen_.Width, Zoom());
    p.save();
    p.translate(Left(), Top());
    p.setClipRect(QRect(0, 0, Width(), Height()), Qt::IntersectClip);
    SetScreenPen(p, Pen_, w);
    QPen q = p.pen();
    q.setCapStyle(Qt::FlatCap);
    p.setPen(q);
    // Straight lines lie along the top or left edge, their whole width
    // inside the object; sloping lines join opposite corners.
    const double c = w / 2.0;
    switch (Style_) {
    case stVertical:
        p.drawLine(QPointF(c, 0), QPointF(c, Height()));
        break;
    case stAngleSlopingUp:
        p.drawLine(QPointF(0, Height()), QPointF(Width(), 0));
        break;
    case stAngleSlopingDown:
        p.drawLine(QPointF(0, 0), QPointF(Width(), Height()));
        break;
    default:
        p.drawLine(QPointF(0, c), QPointF(Width(), c));
        break;
    }
    p.restore();
}

const TPropertyTable& TGLineShape::PropertyTable() const {
    using K = TGLineShape;
    static const TPropertyTable t = [] {
        std::vector<TPropertyRow> rows{Row<K>(
            "LineStyle", TIdent{LineStyleName(stHorizontal)}, srUnlessDefault,
            peRepaint | peChanged, [](const K& o) { return TIdent{LineStyleName(o.Style_)}; },
            [](K& o, const TPropertyValue& v) {
                const int i = IdentIndex(v, kLineStyles.data(), int(kLineStyles.size()));
                return i >= 0 && (o.Style_ = TLineStyle(i), true);
            })};
        const auto pen = PenRows<K>(&K::Pen_);
        rows.insert(rows.end(), pen.begin(), pen.end());
        return TPropertyTable::Extend(BaseTable(), std::move(rows));
    }();
    return t;
}

// ============================ TGImage ====================================

TGImage::TGImage() {
    SetBounds(0, 0, 105, 105);
}

void TGImage::SetPicture(const TDesignPicture& p) {
    Picture_ = p;
    PropertyChanged(peRepaint | peChanged);
}
void TGImage::SetStretch(bool s) {
    SetProperty(QStringLiteral("Stretch"), s);
}
void TGImage::SetAutoSize(bool a) {
    SetProperty(QStringLiteral("AutoSize"), a);
}

void TGImage::SetOptionsDirect(bool stretch, bool autoSize) {
    if (stretch == Stretch_ && autoSize == AutoSize_)
        return;
    Stretch_ = stretch;
    AutoSize_ = autoSize;
    PropertyChanged(peRepaint | peChanged);
}

void TGImage::ApplyAutoSize() {
    if (AutoSize_ && Picture_.Width() > 0 && Picture_.Height() > 0)
        SetBounds(Left(), Top(), std::min(Picture_.Width(), kMaxPictureSide),
                  std::min(Picture_.Height(), kMaxPictureSide));
    Repaint();
}

bool TGImage::LoadPictureFile(const QString& path, QString* error) {
    TDesignPicture p;
    if (!TDesignPicture::LoadFile(path, p, error))
        return false; // keeps the picture the object had
    SetPicture(p);
    return true;
}

void TGImage::Draw(QPainter& p, const TDrawContext& c) {
    const QRect whole(Left(), Top(), Width(), Height());
    QRect target = whole;
    // Unstretched pictures keep their own size (zoomed with the panel).
    if (!Stretch_ && Picture_.Width() > 0 && Picture_.Height() > 0)
        target = QRect(Left(), Top(), RoundHalfEven(Picture_.Width() * double(Zoom())),
                       RoundHalfEven(Picture_.Height() * double(Zoom())));
    p.save();
    p.setClipRect(whole, Qt::IntersectClip);
    if (!Picture_.Image().isNull()) {
        p.drawImage(target, Picture_.Image());
    } else if (const QPicture* d = Picture_.Drawing()) {
        const QRect b = d->boundingRect();
        p.translate(target.topLeft());
        if (!b.isEmpty())
            p.scale(double(target.width()) / b.width(), double(target.height()) / b.height());
        p.drawPicture(-b.topLeft(), *d);
    } else if (!c.DesignDecorations) {
        // Nothing to show on paper.
    } else if (Picture_.Empty()) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(whole).adjusted(0.5, 0.5, -0.5, -0.5));
    } else {
        // Kept as stored; say so rather than show nothing.
        p.setPen(QPen(QColor(64, 64, 64), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(whole).adjusted(0.5, 0.5, -0.5, -0.5));
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(11);
        p.setFont(f);
        p.drawText(whole.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap,
                   CannotShowText());
    }
    p.restore();
}

const TPropertyTable& TGImage::PropertyTable() const {
    using K = TGImage;
    static const TPropertyTable t = TPropertyTable::Extend(
        BaseTable(), {Row<K>(
                          "AutoSize", false, srUnlessDefault, peRepaint | peChanged,
                          [](const K& o) { return o.AutoSize_; },
                          [](K& o, const TPropertyValue& v) {
                              bool a = false;
                              if (!AsBool(v, a))
                                  return false;
                              o.AutoSize_ = a;
                              if (a)
                                  o.Stretch_ = false;
                              if (!o.Loading())
                                  o.ApplyAutoSize();
                              return true;
                          }),
                      Row<K>(
                          "Picture.Data", QByteArray(), srUnlessDefault, peRepaint | peChanged,
                          [](const K& o) { return o.Picture_.PictureData(); },
                          [](K& o, const TPropertyValue& v) {
                              auto bytes = std::get_if<QByteArray>(&v);
                              TDesignPicture pic;
                              if (!bytes || !TDesignPicture::FromPictureData(*bytes, pic))
                                  return false;
                              // Absurd sizes from a damaged stream are not applied by AutoSize.
                              o.Picture_ = pic;
                              return true;
                          }),
                      Row<K>(
                          "Stretch", true, srUnlessDefault, peRepaint | peChanged,
                          [](const K& o) { return o.Stretch_; },
                          [](K& o, const TPropertyValue& v) {
                              bool b = false;
                              if (!AsBool(v, b))
                                  return false;
                              o.Stretch_ = b;
                              if (b)
                                  o.AutoSize_ = false;
                              return true;
                          })});
    return t;
}

void TGImage::Loaded() {
    TGGraphicControl::Loaded();
    ApplyAutoSize();
}

} // namespace qp::design
