#include "design/shapes.h"

#include "design/base_panel.h"
#include "design/design_units.h"
#include "print/base_report.h"

#include <QPainter>
#include <array>

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
    if (s == Shape_)
        return;
    Shape_ = s;
    Repaint();
}

void TGLabelShapes::SetPen(const TDesignPen& p) {
    Pen_ = p;
    Repaint();
}

void TGLabelShapes::SetBrush(const TDesignBrush& b) {
    Brush_ = b;
    Repaint();
}

void TGLabelShapes::SetTransparent(bool t) {
    Transparent_ = t;
    Brush_.Style = t ? print::bsClear : print::bsSolid;
    Repaint();
}

void TGLabelShapes::SetRoundPerc(int p) {
    RoundPerc_ = std::clamp(p, 0, 100);
    Repaint();
}

int TGLabelShapes::CornerSize() const {
    return Trunc(RoundPerc_ * 0.01 * std::max(Width(), Height()));
}

QRect TGLabelShapes::ScreenBox() const {
    const int w = ZoomedPenWidth(Pen_.Width, Zoom());
    const int h = w / 2;
    return QRect(QPoint(h, h), QPoint(Width() + h - w + 1, Height() + h - w + 1));
}

void TGLabelShapes::Paint(QPainter& p) {
    const int w = ZoomedPenWidth(Pen_.Width, Zoom());
    p.save();
    p.translate(Left(), Top());
    p.setRenderHint(QPainter::Antialiasing, false);
    SetScreenPen(p, Pen_, w);
    p.setBrush(QBrush(ToQColor(Brush_.Color), QtBrushStyle(Brush_.Style)));
    // Windows box corners (right/bottom exclusive) turned into a Qt outline
    // whose pen is centred on it: the pen covers [left - h, right - 1 - h + w).
    const QRect box = ScreenBox();
    const int h = w / 2;
    const QRectF path =
        w > 0
            ? QRectF(QPointF(box.left() - h + w / 2.0, box.top() - h + w / 2.0),
                     QPointF(box.right() - 1 - h + w - w / 2.0, box.bottom() - 1 - h + w - w / 2.0))
            : QRectF(0, 0, Width(), Height());
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

void TGLabelShapes::PrintObject(print::TBaseReport& r, double X, double Y) {
    const double ppi = PixelsPerInch;
    r.SetPen(ToQColor(Pen_.Color), Pen_.Style, -Trunc(Pen_.Width / ppi * 100), Pen_.Mode);
    r.SetBrush(ToQColor(Brush_.Color), Brush_.Style);
    const double x1 = X + Left() / ppi, y1 = Y + Top() / ppi;
    const double x2 = X + (Left() + Width()) / ppi, y2 = Y + (Top() + Height()) / ppi;
    switch (Shape_) {
    case stRoundRect:
    case stRoundSquare: {
        const double c = RoundPerc_ * 0.01 * (Height() < Width() ? x2 - x1 : y2 - y1);
        r.RoundRect(x1, y1, x2, y2, c, c);
        break;
    }
    case stEllipse:
    case stCircle:
        r.Ellipse(x1, y1, x2, y2);
        break;
    default:
        r.Rectangle(x1, y1, x2, y2);
        break;
    }
}

TPropertyList TGLabelShapes::StoredProperties() const {
    TPropertyList out = TGGraphicControl::StoredProperties();
    out.push_back({"Transparent", Transparent_});
    if (!(Brush_.Color == clWhite))
        out.push_back({"Brush.Color", Brush_.Color});
    if (Brush_.Style != print::bsSolid)
        out.push_back({"Brush.Style", TIdent{BrushStyleName(Brush_.Style)}});
    AppendPen(out, Pen_);
    if (RoundPerc_ != 25)
        out.push_back({"RoundPerc", std::int32_t(RoundPerc_)});
    if (Shape_ != stRectangle)
        out.push_back({"Shape", TIdent{ShapeTypeName(Shape_)}});
    return out;
}

bool TGLabelShapes::SetProperty(const QString& name, const TPropertyValue& v) {
    QString s;
    int i = 0;
    if (name.startsWith(QLatin1String("Pen."))) {
        TDesignPen pen = Pen_;
        if (!SetPenProperty(pen, name.mid(4), v))
            return false;
        SetPen(pen);
        return true;
    }
    if (name == "Brush.Color") {
        TDesignBrush b = Brush_;
        if (!AsColor(v, b.Color))
            return false;
        SetBrush(b);
        return true;
    }
    if (name == "Brush.Style") {
        TDesignBrush b = Brush_;
        if (!AsIdent(v, s) || !BrushStyleFromName(s, b.Style))
            return false;
        SetBrush(b);
        return true;
    }
    if (name == "Transparent") {
        bool t = false;
        if (!AsBool(v, t))
            return false;
        SetTransparent(t);
        return true;
    }
    if (name == "RoundPerc") {
        if (!AsInt(v, i))
            return false;
        SetRoundPerc(i);
        return true;
    }
    if (name == "Shape") {
        if (!AsIdent(v, s) || (i = IndexOfName(kShapes, s)) < 0)
            return false;
        SetShape(TShapeType(i));
        return true;
    }
    return TGGraphicControl::SetProperty(name, v);
}

// ============================ TGLineShape ================================

TGLineShape::TGLineShape() {
    SetBounds(0, 0, 10, 10);
}

void TGLineShape::SetLineStyle(TLineStyle s) {
    if (s == Style_)
        return;
    Style_ = s;
    Repaint();
}

void TGLineShape::SetPen(const TDesignPen& p) {
    Pen_ = p;
    Repaint();
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

void TGLineShape::Paint(QPainter& p) {
    const int w = ZoomedPenWidth(Pen_.Width, Zoom());
    p.save();
    p.translate(Left(), Top());
    p.setClipRect(QRect(0, 0, Width(), Height()), Qt::IntersectClip);
    SetScreenPen(p, Pen_, w);
    QPen q = p.pen();
    q.setCapStyle(Qt::FlatCap);
    p.setPen(q);
    const auto [a, b] = ScreenLine();
    // A Windows line covers its start pixel and stops short of the end.
    const double c = (w % 2) ? 0.5 : 0.0;
    p.drawLine(QPointF(a) + QPointF(c, c), QPointF(b) + QPointF(c, c));
    p.restore();
}

void TGLineShape::PrintObject(print::TBaseReport& r, double X, double Y) {
    const double ppi = PixelsPerInch;
    r.SetPen(ToQColor(Pen_.Color), Pen_.Style, -Pen_.Width, print::pmCopy);
    const int h = Pen_.Width / 2;
    const double x1 = X + Left() / ppi, x2 = X + (Left() + Width()) / ppi;
    const double y1 = Y + (Top() + h) / ppi, y2 = Y + (Top() + Height() + h) / ppi;
    switch (Style_) {
    case stHorizontal:
        r.MoveTo(x1, y1), r.LineTo(x2, y1);
        break;
    case stVertical:
        r.MoveTo(x1, y1), r.LineTo(x1, y2);
        break;
    case stAngleSlopingUp:
        r.MoveTo(x1, y2), r.LineTo(x2, y1);
        break;
    case stAngleSlopingDown:
        r.MoveTo(x1, y1), r.LineTo(x2, y2);
        break;
    }
}

TPropertyList TGLineShape::StoredProperties() const {
    TPropertyList out = TGGraphicControl::StoredProperties();
    if (Style_ != stHorizontal)
        out.push_back({"LineStyle", TIdent{LineStyleName(Style_)}});
    AppendPen(out, Pen_);
    return out;
}

bool TGLineShape::SetProperty(const QString& name, const TPropertyValue& v) {
    if (name.startsWith(QLatin1String("Pen."))) {
        TDesignPen pen = Pen_;
        if (!SetPenProperty(pen, name.mid(4), v))
            return false;
        SetPen(pen);
        return true;
    }
    if (name == "LineStyle") {
        QString s;
        int i = -1;
        if (!AsIdent(v, s) || (i = IndexOfName(kLineStyles, s)) < 0)
            return false;
        SetLineStyle(TLineStyle(i));
        return true;
    }
    return TGGraphicControl::SetProperty(name, v);
}

// ============================ TGImage ====================================

TGImage::TGImage() {
    SetBounds(0, 0, 105, 105);
}

void TGImage::SetPicture(const TDesignPicture& p) {
    Picture_ = p;
    Repaint();
}

void TGImage::SetStretch(bool s) {
    Stretch_ = s;
    if (s)
        AutoSize_ = false;
    Repaint();
}

void TGImage::SetAutoSize(bool a) {
    AutoSize_ = a;
    if (a)
        Stretch_ = false;
    if (Loading())
        return;
    ApplyAutoSize();
    Changed();
}

void TGImage::SetOptionsDirect(bool stretch, bool autoSize) {
    Stretch_ = stretch;
    AutoSize_ = autoSize;
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

void TGImage::Paint(QPainter& p) {
    if (Zoom() == 1.0f && AutoSize_ && Picture_.Width() > 0 && Picture_.Height() > 0)
        SetBounds(Left(), Top(), Picture_.Width(), Picture_.Height());
    const QRect whole(Left(), Top(), Width(), Height());
    QRect target = whole;
    if (!Stretch_ && Zoom() == 1.0f && Picture_.Width() > 0)
        target = QRect(Left(), Top(), Picture_.Width(), Picture_.Height());
    p.save();
    if (Picture_.Empty()) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(whole).adjusted(0.5, 0.5, -0.5, -0.5));
    } else if (!Picture_.Image().isNull()) {
        p.drawImage(target, Picture_.Image());
    } else if (const QPicture* d = Picture_.Drawing()) {
        const QRect b = d->boundingRect();
        p.setClipRect(whole, Qt::IntersectClip);
        p.translate(target.topLeft());
        if (!b.isEmpty())
            p.scale(double(target.width()) / b.width(), double(target.height()) / b.height());
        p.drawPicture(-b.topLeft(), *d);
    } else {
        // Kept as stored; say so rather than show nothing.
        p.setPen(QPen(QColor(64, 64, 64), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(whole).adjusted(0.5, 0.5, -0.5, -0.5));
        p.setClipRect(whole);
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(11);
        p.setFont(f);
        p.drawText(whole.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap,
                   CannotShowText());
    }
    p.restore();
}

void TGImage::PrintObject(print::TBaseReport& r, double X, double Y) {
    const double ppi = PixelsPerInch;
    const QRectF box(QPointF(X + Left() / ppi, Y + Top() / ppi),
                     QPointF(X + (Left() + Width()) / ppi, Y + (Top() + Height()) / ppi));
    if (Picture_.Kind() == TDesignPicture::pkBitmap && !Picture_.Image().isNull())
        r.StretchDraw(box, Picture_.Image());
    else if (Picture_.Kind() == TDesignPicture::pkMetafile && Picture_.Drawing())
        r.StretchPicture(box, *Picture_.Drawing());
}

TPropertyList TGImage::StoredProperties() const {
    TPropertyList out = TGGraphicControl::StoredProperties();
    if (AutoSize_)
        out.push_back({"AutoSize", true});
    if (!Picture_.Empty())
        out.push_back({"Picture.Data", Picture_.PictureData()});
    if (!Stretch_)
        out.push_back({"Stretch", false});
    return out;
}

bool TGImage::SetProperty(const QString& name, const TPropertyValue& v) {
    bool b = false;
    if (name == "AutoSize") {
        if (!AsBool(v, b))
            return false;
        SetAutoSize(b);
        return true;
    }
    if (name == "Stretch") {
        if (!AsBool(v, b))
            return false;
        SetStretch(b);
        return true;
    }
    if (name == "Picture.Data") {
        auto bytes = std::get_if<QByteArray>(&v);
        TDesignPicture pic;
        if (!bytes || !TDesignPicture::FromPictureData(*bytes, pic))
            return false;
        // Absurd sizes from a damaged stream are not applied by AutoSize.
        SetPicture(pic);
        return true;
    }
    return TGGraphicControl::SetProperty(name, v);
}

void TGImage::Loaded() {
    TGGraphicControl::Loaded();
    ApplyAutoSize();
}

} // namespace qp::design
