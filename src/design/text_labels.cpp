#include "design/text_labels.h"

#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/design_units.h"
#include "print/base_report.h"

#include <QDateTime>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QRegularExpression>
#include <array>

namespace qp::design {

namespace {
const std::array<const char*, 3> kAlignments{"taLeftJustify", "taRightJustify", "taCenter"};
const std::array<const char*, 6> kHighlight{"hdNone",    "hdright",  "hdLeft",
                                            "hdUpRight", "hdUpLeft", "hdUp"};
const std::array<const char*, 6> kShadow{"sdNone",      "sdRight",    "sdLeft",
                                         "sdDownRight", "sdDownLeft", "sdDown"};
const std::array<const char*, 3> kDateFormats{"dtfDateNone", "dtfDateShort", "dtfDateLong"};
const std::array<const char*, 3> kTimeFormats{"dtfTimeNone", "dtfTimeShort", "dtfTimeLong"};

template <size_t N> int IndexOfName(const std::array<const char*, N>& names, const QString& n) {
    for (size_t i = 0; i < N; ++i)
        if (n.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QImage MakeMetricsImage() {
    QImage img(1, 1, QImage::Format_ARGB32);
    // QImage reports qRound(dots per metre * 0.0254): 3780 gives exactly 96.
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    return img;
}

QString TrimRightSpaces(QString s) {
    int n = s.size();
    while (n > 0 && s[n - 1] == QLatin1Char(' '))
        --n;
    s.truncate(n);
    return s;
}

bool IsBlank(const QString& s) {
    for (QChar c : s)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

// Inches of a device row or column (the inverse of the engine's XI2D/YI2D).
double InchesOfRow(const print::TBaseReport& r, int row) {
    return row / r.YDpi() + r.UnprintableMargins().top() - r.OriginY;
}
} // namespace

QString AlignmentName(TAlignment a) {
    return QLatin1String(kAlignments.at(a));
}
QString HighlightDirectionName(THighlightDirection d) {
    return QLatin1String(kHighlight.at(d));
}
QString ShadowDirectionName(TShadowDirection d) {
    return QLatin1String(kShadow.at(d));
}

const QPaintDevice* DesignMetricsDevice() {
    static const QImage img = MakeMetricsImage();
    return &img;
}

QFont DesignQFont(const TDesignFont& f, double points, const QPaintDevice* device) {
    QFont q(f.Name);
    const double dpi = device ? device->logicalDpiY() : PixelsPerInch;
    // Point size scaled so that the font is points * 96 / 72 painter units high.
    q.setPointSizeF(std::max(0.5, points) * PixelsPerInch / dpi);
    q.setBold(f.Bold);
    q.setItalic(f.Italic);
    q.setUnderline(f.Underline);
    q.setStrikeOut(f.StrikeOut);
    if (f.Name.compare(QLatin1String("WingDings"), Qt::CaseInsensitive) == 0)
        q.setStyleHint(QFont::AnyStyle, QFont::PreferMatch);
    return q;
}

TScreenMetrics DesignMetrics(const TDesignFont& f, double points) {
    const QFont q = DesignQFont(f, points, DesignMetricsDevice());
    QFontMetrics m(q, const_cast<QPaintDevice*>(DesignMetricsDevice()));
    TScreenMetrics out;
    out.Height = m.height();
    out.Ascent = m.ascent();
    out.ExternalLeading = std::max(0, m.leading());
    out.InternalLeading = std::max(0, m.height() - RoundHalfEven(points * PixelsPerInch / 72.0));
    return out;
}

int DesignTextWidth(const TDesignFont& f, double points, const QString& text) {
    const QFont q = DesignQFont(f, points, DesignMetricsDevice());
    return QFontMetrics(q, const_cast<QPaintDevice*>(DesignMetricsDevice()))
        .horizontalAdvance(text);
}

int DesignTextHeight(const TDesignFont& f, double points) {
    return DesignMetrics(f, points).Height;
}

// ============================ TGBaseLabel ================================

TGBaseLabel::TGBaseLabel() {
    SetBounds(0, 0, 142, 33);
}

double TGBaseLabel::ZoomedPoints() const {
    return Zoom() != 1.0f ? Trunc(Font_.Size * double(Zoom())) : Font_.Size;
}

void TGBaseLabel::SetCaption(const QString& c) {
    if (c == Caption_)
        return;
    Caption_ = c;
    NeedsLayout_ = true;
    if (!Loading())
        Changed();
    Repaint();
}

void TGBaseLabel::SetFont(const TDesignFont& f) {
    if (f == Font_)
        return;
    Font_ = f;
    NeedsLayout_ = true;
    if (!Loading())
        Changed();
    Repaint();
}

void TGBaseLabel::SetAlignment(TAlignment a) {
    if (a == Alignment_)
        return;
    Alignment_ = a;
    NeedsLayout_ = true;
    Repaint();
    if (!Loading())
        Changed();
}

void TGBaseLabel::SetDepthHighlight(int d) {
    d = std::clamp(d, 0, kMaxDepth);
    if (d == DepthHighlight_)
        return;
    DepthHighlight_ = d;
    NeedsLayout_ = true;
    Repaint();
}

void TGBaseLabel::SetDepthShadow(int d) {
    d = std::clamp(d, 0, kMaxDepth);
    if (d == DepthShadow_)
        return;
    DepthShadow_ = d;
    NeedsLayout_ = true;
    Repaint();
}

void TGBaseLabel::SetDirectionHighlight(THighlightDirection d) {
    if (d == DirHighlight_)
        return;
    DirHighlight_ = d;
    NeedsLayout_ = true;
    Repaint();
}

void TGBaseLabel::SetDirectionShadow(TShadowDirection d) {
    if (d == DirShadow_)
        return;
    DirShadow_ = d;
    NeedsLayout_ = true;
    Repaint();
}

void TGBaseLabel::SetcolorHighlight(TColor c) {
    if (c == ColorHighlight_)
        return;
    ColorHighlight_ = c;
    Repaint();
}

void TGBaseLabel::SetcolorShadow(TColor c) {
    if (c == ColorShadow_)
        return;
    ColorShadow_ = c;
    Repaint();
}

void TGBaseLabel::SetAngle(int a) {
    if (a != 0 && a != 90 && a != 180 && a != 270)
        return;
    if (a == Angle_)
        return;
    Angle_ = a;
    if (a != 0)
        Alignment_ = taLeftJustify;
    NeedsLayout_ = true;
    if (!Loading()) {
        const bool horizontal = a == 0 || a == 180;
        if ((horizontal && Width() < Height()) || (!horizontal && Height() < Width()))
            SetBounds(Left(), Top(), Height(), Width());
    }
    Repaint();
}

void TGBaseLabel::SetTransparent(bool t) {
    if (t == Transparent_)
        return;
    Transparent_ = t;
    Repaint();
    if (!Loading())
        Changed();
}

void TGBaseLabel::SetBackColor(TColor c) {
    if (c == BackColor_)
        return;
    BackColor_ = c;
    Repaint();
    if (!Loading())
        Changed();
}

void TGBaseLabel::BoundsChanged() {
    TGGraphicControl::BoundsChanged();
    NeedsLayout_ = true;
    if (Width() < 1 || Height() < 1)
        SetBounds(Left(), Top(), std::max(1, Width()), std::max(1, Height()));
}

void TGBaseLabel::AssignFont(const TDesignFont& f) {
    Font_ = f;
    NeedsLayout_ = true;
    Repaint();
}

void TGBaseLabel::Layout() {
    const double pts = ZoomedPoints();
    const TScreenMetrics m = DesignMetrics(Font_, pts);
    TGeometry g;
    g.lh = m.ExternalLeading + m.InternalLeading + m.Height;
    g.tw = DesignTextWidth(Font_, pts, Caption_ + QLatin1Char(' '));
    const int ds = DepthShadow_, dh = DepthHighlight_;
    switch (DirShadow_) {
    case sdNone:
        break;
    case sdRight:
        g.sdx = ds;
        break;
    case sdLeft:
        g.sdx = -ds;
        break;
    case sdDownRight:
        g.sdx = ds, g.sdy = ds;
        break;
    case sdDownLeft:
        g.sdx = -ds, g.sdy = ds;
        break;
    case sdDown:
        g.sdy = ds;
        break;
    }
    switch (DirHighlight_) {
    case hdNone:
        break;
    case hdright:
        g.hdx = dh;
        break;
    case hdLeft:
        g.hdx = -dh;
        break;
    case hdUpRight:
        g.hdx = dh, g.hdy = -dh;
        break;
    case hdUpLeft:
        g.hdx = -dh, g.hdy = -dh;
        break;
    case hdUp:
        g.hdy = -dh;
        break;
    }
    g.mx = std::max({g.sdx < 0 ? -g.sdx : 0, g.hdx < 0 ? -g.hdx : 0, 0});
    g.my = std::max({g.sdy < 0 ? -g.sdy : 0, g.hdy < 0 ? -g.hdy : 0, 0});
    g.f = g.lh + g.sdy - g.hdy;

    int w = Width(), h = Height();
    if (Angle_ == 0 || Angle_ == 180) {
        if (Angle_ == 180 && 2 * g.tw < w)
            w = 2 * g.tw;
        if (w <= 5)
            w = g.tw;
        if (g.f * 1.2 < h)
            h = Trunc(g.f * 1.2);
        if (h < g.f)
            h = g.f;
    } else {
        if (g.tw * 1.2 < h)
            h = Trunc(g.tw * 1.2);
        if (h < 5)
            h = g.tw;
        if (g.f * 1.2 < w)
            w = Trunc(g.f * 1.2);
        if (w < g.f)
            w = g.f;
    }
    if (w != Width() || h != Height())
        SetBounds(Left(), Top(), w, h);
    w = Width(), h = Height();

    TRectI r;
    if (Angle_ == 0 || Angle_ == 180)
        r = {g.mx, g.my, w, g.lh + g.my};
    else
        r = {g.my, g.mx, g.lh + g.my, h - g.my};
    if (Angle_ == 90)
        r.Offset(0, h + r.Top + g.hdx - r.Bottom - 1);
    else if (Angle_ == 180)
        r.Offset(w + r.Left - r.Right - g.sdy - 1, 0);
    auto turned = [&](int dx, int dy) {
        switch (Angle_) {
        case 90:
            return QPoint(dy, -dx);
        case 180:
            return QPoint(-dx, -dy);
        case 270:
            return QPoint(-dy, dx);
        default:
            return QPoint(dx, dy);
        }
    };
    g.R = r;
    g.S = r;
    const QPoint so = turned(g.sdx, g.sdy);
    g.S.Offset(so.x(), so.y());
    g.H = r;
    const QPoint ho = turned(g.hdx, g.hdy);
    g.H.Offset(ho.x(), ho.y());
    auto origin = [&](const TRectI& q) {
        switch (Angle_) {
        case 90:
            return QPoint(q.Left, q.Bottom);
        case 180:
            return QPoint(q.Right, q.Bottom);
        case 270:
            return QPoint(q.Right, q.Top);
        default:
            return QPoint(q.Left, q.Top);
        }
    };
    g.TextOrigin = origin(g.R);
    g.ShadowOrigin = origin(g.S);
    g.HighlightOrigin = origin(g.H);
    if (Angle_ == 0) {
        int x = g.R.Left;
        if (Alignment_ == taRightJustify)
            x = g.R.Right - g.tw;
        else if (Alignment_ == taCenter)
            x = (g.R.Right - g.R.Left) / 2 - g.tw / 2;
        g.TextOrigin.setX(x);
        g.HighlightOrigin.setX(x + g.hdx);
        g.ShadowOrigin.setX(x + g.sdx);
    }
    G_ = g;
    NeedsLayout_ = false;
}

void TGBaseLabel::FitToText() {
    if (Angle_ != 0)
        return;
    if (NeedsLayout_)
        Layout();
    const int bx = std::max({G_.R.Left, G_.S.Left, G_.H.Left});
    const int by = std::max({G_.R.Top, G_.S.Top, G_.H.Top});
    const double pts = ZoomedPoints();
    const int tw = DesignTextWidth(Font_, pts, Caption_ + QStringLiteral("     "));
    const int th = DesignTextHeight(Font_, pts);
    int w = Width(), h = Height();
    if (w < bx + tw)
        w = bx + tw;
    if (h < by + th)
        h = by + th;
    SetBounds(Left(), Top(), w, h);
    NeedsLayout_ = true;
    Repaint();
}

void TGBaseLabel::Paint(QPainter& p) {
    RefreshCaption(nullptr);
    if (Width() < 5 || Height() < 5)
        NeedsLayout_ = true;
    // The text may have changed (counter, clock) without a setter.
    NeedsLayout_ = true;
    Layout();
    p.save();
    p.translate(Left(), Top());
    if (!Transparent_)
        p.fillRect(QRect(0, 0, Width(), Height()), ToQColor(BackColor_));
    const QFont font = DesignQFont(Font_, ZoomedPoints(), p.device());
    p.setFont(font);
    p.setBackgroundMode(Qt::TransparentMode);
    const int ascent = QFontMetrics(font, p.device()).ascent();
    auto draw = [&](const TRectI& clip, QPoint origin, TColor color) {
        p.save();
        p.setClipRect(QRect(QPoint(clip.Left, clip.Top), QPoint(clip.Right - 1, clip.Bottom - 1)),
                      Qt::IntersectClip);
        p.setPen(ToQColor(color));
        p.translate(origin);
        if (Angle_ != 0)
            p.rotate(-Angle_);
        p.drawText(QPointF(0, ascent), Caption_);
        p.restore();
    };
    draw(G_.S, G_.ShadowOrigin, ColorShadow_);
    draw(G_.H, G_.HighlightOrigin, ColorHighlight_);
    draw(G_.R, G_.TextOrigin, Font_.Color);
    p.restore();
}

void TGBaseLabel::PrintObject(print::TBaseReport& r, double X, double Y) {
    RefreshCaption(&r);
    NeedsLayout_ = true;
    Layout();
    const double ppi = PixelsPerInch;
    const int L = Left(), T = Top();
    if (!Transparent_) {
        r.SetPen(ToQColor(BackColor_), print::psClear, 1);
        r.SetBrush(ToQColor(BackColor_), print::bsSolid);
        r.Rectangle(X + L / ppi, Y + T / ppi, X + (L + Width() - 1) / ppi,
                    Y + (T + Height() - 1) / ppi);
    }
    print::TFontSpec spec = Font_.Spec();
    spec.Rotation = Angle_;
    r.SetFont(spec);
    r.SetBrush(ToQColor(BackColor_), print::bsClear);
    auto out = [&](const TRectI& q, QPoint o, TColor color) {
        r.SetFontColor(ToQColor(color));
        const QRectF clip(QPointF(X + (L + q.Left) / ppi - 0.03, Y + (T + q.Top) / ppi - 0.03),
                          QPointF(X + (L + q.Right) / ppi, Y + (T + q.Bottom) / ppi));
        r.TextRect(clip, X + (L + o.x()) / ppi, Y + (T + o.y()) / ppi, Caption_);
    };
    if (DepthShadow_ > 0 && DirShadow_ != sdNone)
        out(G_.S, G_.ShadowOrigin, ColorShadow_);
    if (DepthHighlight_ > 0 && DirHighlight_ != hdNone)
        out(G_.H, G_.HighlightOrigin, ColorHighlight_);
    out(G_.R, G_.TextOrigin, Font_.Color);
    r.SetFontRotation(0);
}

TPropertyList TGBaseLabel::StoredProperties() const {
    TPropertyList out = TGGraphicControl::StoredProperties();
    if (Alignment_ != taLeftJustify)
        out.push_back({"Alignment", TIdent{AlignmentName(Alignment_)}});
    if (DepthHighlight_ != 0)
        out.push_back({"DepthHighlight", std::int32_t(DepthHighlight_)});
    if (DepthShadow_ != 0)
        out.push_back({"DepthShadow", std::int32_t(DepthShadow_)});
    if (DirHighlight_ != hdUpLeft)
        out.push_back({"DirectionHighlight", TIdent{HighlightDirectionName(DirHighlight_)}});
    if (DirShadow_ != sdDownRight)
        out.push_back({"DirectionShadow", TIdent{ShadowDirectionName(DirShadow_)}});
    if (!(ColorHighlight_ == clAqua))
        out.push_back({"colorHighlight", ColorHighlight_});
    if (!(ColorShadow_ == clGray))
        out.push_back({"colorShadow", ColorShadow_});
    if (Angle_ != 0)
        out.push_back({"Angle", std::int32_t(Angle_)});
    if (!Caption_.isEmpty())
        out.push_back({"Caption", Caption_});
    AppendFont(out, Font_);
    out.push_back({"Transparent", Transparent_});
    out.push_back({"BackColor", BackColor_});
    AppendOwnProperties(out);
    return out;
}

bool TGBaseLabel::SetProperty(const QString& name, const TPropertyValue& v) {
    QString s;
    int i = 0;
    bool b = false;
    TColor c;
    if (name.startsWith(QLatin1String("Font."))) {
        TDesignFont f = Font_;
        if (!SetFontProperty(f, name.mid(5), v))
            return false;
        SetFont(f);
        return true;
    }
    if (name == "Alignment") {
        if (!AsIdent(v, s) || (i = IndexOfName(kAlignments, s)) < 0)
            return false;
        SetAlignment(TAlignment(i));
        return true;
    }
    if (name == "DepthHighlight" || name == "DepthShadow") {
        if (!AsInt(v, i))
            return false;
        name == "DepthShadow" ? SetDepthShadow(i) : SetDepthHighlight(i);
        return true;
    }
    if (name == "DirectionHighlight") {
        if (!AsIdent(v, s) || (i = IndexOfName(kHighlight, s)) < 0)
            return false;
        SetDirectionHighlight(THighlightDirection(i));
        return true;
    }
    if (name == "DirectionShadow") {
        if (!AsIdent(v, s) || (i = IndexOfName(kShadow, s)) < 0)
            return false;
        SetDirectionShadow(TShadowDirection(i));
        return true;
    }
    if (name == "colorHighlight" || name == "colorShadow") {
        if (!AsColor(v, c))
            return false;
        name == "colorShadow" ? SetcolorShadow(c) : SetcolorHighlight(c);
        return true;
    }
    if (name == "Angle") {
        if (!AsInt(v, i))
            return false;
        SetAngle(i);
        return true;
    }
    if (name == "Caption") {
        if (!AsString(v, s))
            return false;
        SetCaption(s);
        return true;
    }
    if (name == "Transparent") {
        if (!AsBool(v, b))
            return false;
        SetTransparent(b);
        return true;
    }
    if (name == "BackColor") {
        if (!AsColor(v, c))
            return false;
        SetBackColor(c);
        return true;
    }
    return TGGraphicControl::SetProperty(name, v);
}

// ============================ TGPDLabel ==================================

void TGPDLabel::ShowDataValue() {
    TGBasePanel* panel = Panel();
    const bool printing = Printing();
    const TDataSource* ds = panel ? panel->DataSet() : nullptr;
    std::optional<TDataField> field;
    if (!DataFieldDescript.isEmpty() && ds && ds->Active())
        field = ds->FieldByLabel(DataFieldDescript);
    QString caption;
    if (field) {
        if ((panel && panel->DisplayDataValues()) || printing) {
            caption = ds->FieldText(field->Name).value_or(QString());
            if (IsBlank(caption) && !printing)
                caption = QStringLiteral("<blank field>");
        } else {
            caption = QLatin1Char('[') + DataFieldDescript + QLatin1Char(']');
        }
    } else if (!printing) {
        caption = QStringLiteral("<undefined field>");
    }
    // A missing field prints nothing rather than its design text.
    Caption_ = TrimRightSpaces(caption);
    MarkForLayout();
    if (!printing)
        Repaint();
}

void TGPDLabel::ShowDesignText() {
    Caption_.clear();
    MarkForLayout();
}

void TGPDLabel::AppendOwnProperties(TPropertyList& out) const {
    if (!DataFieldName.isEmpty())
        out.push_back({"DataFieldName", DataFieldName});
    if (!DataFieldDescript.isEmpty())
        out.push_back({"DataFieldDescript", DataFieldDescript});
    out.push_back({"LengthOfText", std::int32_t(LengthOfText)});
}

bool TGPDLabel::SetProperty(const QString& name, const TPropertyValue& v) {
    if (name == "DataFieldName")
        return AsString(v, DataFieldName);
    if (name == "DataFieldDescript")
        return AsString(v, DataFieldDescript);
    if (name == "LengthOfText")
        return AsInt(v, LengthOfText);
    return TGBaseLabel::SetProperty(name, v);
}

// ============================ TGCounterLabel =============================

TGCounterLabel::TGCounterLabel() {
    Caption_ = CounterText();
}

QString TGCounterLabel::CounterText() const {
    QString digits;
    if (LeadingZeros_ > 0) {
        const qint64 n = Current_;
        digits = QString::number(n < 0 ? -n : n).rightJustified(LeadingZeros_, QLatin1Char('0'));
        if (n < 0)
            digits.prepend(QLatin1Char('-'));
    } else {
        digits = QString::number(Current_);
    }
    return TextBefore + digits + TextAfter;
}

void TGCounterLabel::SetStartingnumber(int n) {
    if (n == Starting_)
        return;
    Starting_ = n;
    ResetCounter();
}

void TGCounterLabel::SetRepeatEach(int n) {
    RepeatEach_ = std::clamp(n, 1, 999);
}
void TGCounterLabel::SetLeadingZeros(int n) {
    LeadingZeros_ = std::clamp(n, 0, 9);
}

void TGCounterLabel::NextLabel() {
    if (++RepeatCount_ >= RepeatEach_) {
        ++Current_;
        RepeatCount_ = 0;
        Repaint();
    }
}

void TGCounterLabel::ResetCounter() {
    Current_ = Starting_;
    RepeatCount_ = 0;
    Caption_ = CounterText();
    MarkForLayout();
    Repaint();
}

void TGCounterLabel::ApplySettings(int start, int repeat, const QString& before,
                                   const QString& after, int zeros) {
    SetStartingnumber(start);
    SetRepeatEach(repeat);
    TextBefore = before;
    TextAfter = after;
    SetLeadingZeros(zeros);
    Caption_ = TextBefore + QString::number(Current_) + TextAfter;
    MarkForLayout();
    if (Angle() == 0) {
        SetWidth(10);
        FitToText();
    }
    Repaint();
    Changed();
}

void TGCounterLabel::AppendOwnProperties(TPropertyList& out) const {
    if (!TextBefore.isEmpty())
        out.push_back({"TextBefore", TextBefore});
    if (!TextAfter.isEmpty())
        out.push_back({"TextAfter", TextAfter});
    out.push_back({"Startingnumber", std::int32_t(Starting_)});
    out.push_back({"RepeatEach", std::int32_t(RepeatEach_)});
    out.push_back({"LeadingZeros", std::int32_t(LeadingZeros_)});
}

bool TGCounterLabel::SetProperty(const QString& name, const TPropertyValue& v) {
    int i = 0;
    if (name == "TextBefore")
        return AsString(v, TextBefore);
    if (name == "TextAfter")
        return AsString(v, TextAfter);
    if (name == "Startingnumber" || name == "RepeatEach" || name == "LeadingZeros") {
        if (!AsInt(v, i))
            return false;
        if (name == "Startingnumber")
            SetStartingnumber(i);
        else if (name == "RepeatEach")
            SetRepeatEach(i);
        else
            SetLeadingZeros(i);
        return true;
    }
    return TGBaseLabel::SetProperty(name, v);
}

// ============================ TGSymbolLabel ==============================

TGSymbolLabel::TGSymbolLabel() {
    Font_.Name = QStringLiteral("WingDings");
    Font_.Size = 24;
    Caption_ = QStringLiteral("[");
}

void TGSymbolLabel::BoundsChanged() {
    TGBaseLabel::BoundsChanged();
    FitSymbol();
}

void TGSymbolLabel::FitSymbol() {
    if (Loading() || !Panel())
        return;
    const double pts = ZoomedPoints();
    const int w = Trunc(1.1 * DesignTextWidth(Font_, pts, Caption_));
    const int h = Trunc(1.1 * DesignTextHeight(Font_, pts));
    if (w != Width() || h != Height())
        SetBounds(Left(), Top(), w != Width() ? w : Width(), h != Height() ? h : Height());
    Panel()->FitToSelection();
}

int TGSymbolLabel::SymbolIndex() const {
    if (Caption_.isEmpty())
        return 0;
    return std::clamp(int(Caption_.at(0).unicode()) - 32, 0, 223);
}

void TGSymbolLabel::ChooseSymbol(const TDesignFont& font, int index) {
    Font_ = font;
    Caption_ = QChar(char16_t(std::clamp(index, 0, 223) + 32));
    MarkForLayout();
    FitSymbol();
    Repaint();
    Changed();
}

// ============================ TGDateTimeLabel ============================

std::function<QDateTime()>& TGDateTimeLabel::Now() {
    static std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
    return clock;
}

QString TGDateTimeLabel::ClockText() const {
    const QDateTime now = Now()();
    const QLocale loc = QLocale::system();
    QString s;
    if (DateFormat == dtfDateShort)
        s = loc.toString(now.date(), QLocale::ShortFormat);
    else if (DateFormat == dtfDateLong)
        s = loc.toString(now.date(), QLocale::LongFormat);
    if (TimeFormat == dtfTimeShort)
        s += QLatin1Char(' ') + loc.toString(now.time(), QLocale::ShortFormat);
    else if (TimeFormat == dtfTimeLong)
        s += QLatin1Char(' ') + loc.toString(now.time(), QLocale::LongFormat);
    return s;
}

void TGDateTimeLabel::AppendOwnProperties(TPropertyList& out) const {
    out.push_back({"DateFormat", TIdent{QLatin1String(kDateFormats.at(DateFormat))}});
    out.push_back({"TimeFormat", TIdent{QLatin1String(kTimeFormats.at(TimeFormat))}});
}

bool TGDateTimeLabel::SetProperty(const QString& name, const TPropertyValue& v) {
    QString s;
    int i = -1;
    if (name == "DateFormat") {
        if (!AsIdent(v, s) || (i = IndexOfName(kDateFormats, s)) < 0)
            return false;
        DateFormat = TGDateFormat(i);
        return true;
    }
    if (name == "TimeFormat") {
        if (!AsIdent(v, s) || (i = IndexOfName(kTimeFormats, s)) < 0)
            return false;
        TimeFormat = TGTimeFormat(i);
        return true;
    }
    return TGBaseLabel::SetProperty(name, v);
}

void TGPageNumberLabel::RefreshCaption(print::TBaseReport* report) {
    Caption_ = report ? QString::number(report->CurrentPage()) : QStringLiteral("##");
}

// ============================ Multi-line =================================

TGMultiLineBaseLabel::TGMultiLineBaseLabel() {
    SetBounds(0, 0, 190, 33);
}

double TGMultiLineBaseLabel::ZoomedPoints() const {
    const double size = FitPoints_ > 0 ? FitPoints_ : Font_.Size;
    return Zoom() != 1.0f ? Trunc(size * double(Zoom())) : size;
}

void TGMultiLineBaseLabel::SetItems(const QStringList& l) {
    Items_ = l;
    if (WordWrap_)
        Rewrap();
    Repaint();
}

void TGMultiLineBaseLabel::SetAlignment(TAlignment a) {
    if (a == Alignment_)
        return;
    Alignment_ = a;
    Repaint();
    if (!Loading())
        Changed();
}

void TGMultiLineBaseLabel::SetFont(const TDesignFont& f) {
    if (f == Font_)
        return;
    Font_ = f;
    if (WordWrap_)
        Rewrap();
    if (!Loading())
        Changed();
    Repaint();
}

void TGMultiLineBaseLabel::SetWordWrap(bool w) {
    if (w == WordWrap_)
        return;
    WordWrap_ = w;
    if (w)
        Rewrap();
    else
        Wrapped_.clear();
    Repaint();
}

QStringList TGMultiLineBaseLabel::Lines() const {
    return WordWrap_ ? Wrapped_ : Items_;
}

QStringList TGMultiLineBaseLabel::WrapLines(const QStringList& items, const TDesignFont& f,
                                            double points, int width) {
    const QFont q = DesignQFont(f, points, DesignMetricsDevice());
    const QFontMetrics m(q, const_cast<QPaintDevice*>(DesignMetricsDevice()));
    QStringList out;
    for (const QString& item : items) {
        if (item.isEmpty()) {
            out << QString();
            continue;
        }
        QString line;
        int pos = 0;
        while (pos < item.size()) {
            // Next word with the blanks that follow it.
            int end = pos;
            while (end < item.size() && item[end] != QLatin1Char(' '))
                ++end;
            while (end < item.size() && item[end] == QLatin1Char(' '))
                ++end;
            const QString word = item.mid(pos, end - pos);
            if (line.isEmpty() || m.horizontalAdvance(TrimRightSpaces(line + word)) <= width) {
                line += word;
            } else {
                out << TrimRightSpaces(line);
                line = word;
            }
            // A word longer than the width is broken by characters.
            while (m.horizontalAdvance(TrimRightSpaces(line)) > width && line.size() > 1) {
                int n = line.size() - 1;
                while (n > 1 && m.horizontalAdvance(line.left(n)) > width)
                    --n;
                out << line.left(n);
                line = line.mid(n);
            }
            pos = end;
        }
        out << TrimRightSpaces(line);
    }
    return out;
}

void TGMultiLineBaseLabel::Rewrap() {
    if (WordWrap_)
        Wrapped_ = WrapLines(Items_, Font_, ZoomedPoints(), Width());
    Repaint();
}

int TGMultiLineBaseLabel::LineHeight() const {
    const QFont q = DesignQFont(Font_, ZoomedPoints(), DesignMetricsDevice());
    return QFontMetrics(q, const_cast<QPaintDevice*>(DesignMetricsDevice()))
        .boundingRect(QStringLiteral("XXX"))
        .height();
}

void TGMultiLineBaseLabel::FitToContents() {
    if (WordWrap_)
        Rewrap();
    const QStringList lines = Lines();
    int widest = 0;
    for (const QString& l : lines)
        widest = std::max(widest, DesignTextWidth(Font_, ZoomedPoints(), l));
    SetBounds(Left(), Top(), std::max(Width(), widest),
              std::max(1, LineHeight() * int(std::max<qsizetype>(1, lines.size()))));
}

void TGMultiLineBaseLabel::BoundsChanged() {
    TGGraphicControl::BoundsChanged();
    if (WordWrap_ && !Loading())
        Rewrap();
}

void TGMultiLineBaseLabel::AssignFont(const TDesignFont& f) {
    Font_ = f;
    ShowDataValue();
    if (WordWrap_)
        Rewrap();
    Repaint();
}

void TGMultiLineBaseLabel::Paint(QPainter& p) {
    QStringList lines = Lines();
    const QString placeholder = Memo_ ? QStringLiteral("<blank memo>") : QStringLiteral("<blank>");
    if (lines.isEmpty())
        lines << placeholder;
    else if (lines.size() == 1 && IsBlank(lines[0]))
        lines << placeholder;
    p.save();
    p.translate(Left(), Top());
    p.setClipRect(QRect(0, 0, Width(), Height()), Qt::IntersectClip);
    const QFont font = DesignQFont(Font_, ZoomedPoints(), p.device());
    p.setFont(font);
    p.setPen(ToQColor(Font_.Color));
    p.setBackgroundMode(Qt::TransparentMode);
    const int lh = LineHeight();
    const int ascent = QFontMetrics(font, p.device()).ascent();
    for (int i = 0; i < lines.size(); ++i) {
        const int tw = DesignTextWidth(Font_, ZoomedPoints(), lines[i]);
        int x = 0;
        if (Alignment_ == taRightJustify)
            x = Width() - tw - 1;
        else if (Alignment_ == taCenter)
            x = Width() / 2 - tw / 2;
        p.drawText(QPointF(x, i * lh + ascent), lines[i]);
    }
    p.restore();
}

void TGMultiLineBaseLabel::PrintObject(print::TBaseReport& r, double X, double Y) {
    const double ppi = PixelsPerInch;
    const double dx = r.XDpi(), dy = r.YDpi();
    const int k = Trunc(dx / ppi);
    print::TFontSpec spec = Font_.Spec();
    spec.Underline = false;
    if (FitPoints_ > 0)
        spec.Size = FitPoints_;
    r.SetFont(spec);
    r.SetBrush(Qt::white, print::bsClear);
    const auto method = r.LineHeightMethod;
    r.LineHeightMethod = print::lhmFont;
    const int lineH = std::max(1, RoundHalfEven(r.LineHeight() * dy));
    r.LineHeightMethod = method;
    const double x0 = X + Left() / ppi;
    const QRect B =
        r.RectToDevice(QRectF(QPointF(x0, Y + Top() / ppi),
                              QPointF(X + (Left() + Width()) / ppi, Y + (Top() + Height()) / ppi)));
    int y = B.top();
    for (const QString& line : Lines()) {
        if (y >= B.bottom())
            break;
        const int bandBottom = std::min(y + lineH, B.bottom());
        const int w = RoundHalfEven(r.TextWidth(line) * dx);
        int o = 0;
        if (Alignment_ == taRightJustify)
            o = (B.right() - B.left()) - w - k;
        else if (Alignment_ == taCenter)
            o = (B.right() - B.left()) / 2 + k - w / 2;
        const double top = InchesOfRow(r, y);
        const QRectF band(QPointF(x0, top),
                          QPointF(X + (Left() + Width()) / ppi, InchesOfRow(r, bandBottom)));
        r.TextRect(band, x0 + o / dx, top, line);
        y += lineH;
    }
}

TPropertyList TGMultiLineBaseLabel::StoredProperties() const {
    TPropertyList out = TGGraphicControl::StoredProperties();
    if (!Items_.isEmpty())
        out.push_back({"Items.Strings", Items_});
    out.push_back({"AutoSize", AutoSize});
    if (Alignment_ != taLeftJustify)
        out.push_back({"Alignment", TIdent{AlignmentName(Alignment_)}});
    AppendFont(out, Font_);
    if (WordWrap_)
        out.push_back({"WordWrap", true});
    AppendOwnProperties(out);
    return out;
}

bool TGMultiLineBaseLabel::SetProperty(const QString& name, const TPropertyValue& v) {
    if (name.startsWith(QLatin1String("Font."))) {
        TDesignFont f = Font_;
        if (!SetFontProperty(f, name.mid(5), v))
            return false;
        SetFont(f);
        return true;
    }
    if (name == "Items.Strings") {
        auto l = std::get_if<QStringList>(&v);
        if (!l)
            return false;
        SetItems(*l);
        return true;
    }
    if (name == "AutoSize")
        return AsBool(v, AutoSize);
    if (name == "Alignment") {
        QString s;
        int i = -1;
        if (!AsIdent(v, s) || (i = IndexOfName(kAlignments, s)) < 0)
            return false;
        SetAlignment(TAlignment(i));
        return true;
    }
    if (name == "WordWrap") {
        bool b = false;
        if (!AsBool(v, b))
            return false;
        SetWordWrap(b);
        return true;
    }
    return TGGraphicControl::SetProperty(name, v);
}

void TGDMultiLineLabel::ShowDataValue() {
    TGBasePanel* panel = Panel();
    const bool printing = Printing();
    const TDataSource* ds = panel ? panel->DataSet() : nullptr;
    std::optional<TDataField> field;
    if (!DataFieldDescript.isEmpty() && ds && ds->Active())
        field = ds->FieldByLabel(DataFieldDescript);
    Items_.clear();
    if (field) {
        if ((panel && panel->DisplayDataValues()) || printing) {
            const QString text = ds->FieldText(field->Name).value_or(QString());
            if (!text.isEmpty()) {
                QStringList raw = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
                Items_ = WordWrap() ? WrapLines(raw, Font_, ZoomedPoints(), Width()) : raw;
                if (WordWrap())
                    Wrapped_ = Items_;
            }
        } else {
            Items_ << QLatin1Char('[') + DataFieldDescript + QLatin1Char(']');
        }
    } else if (!printing) {
        Items_ << QStringLiteral("<undefined memo>");
    }
    if (WordWrap() && (!field || Items_.isEmpty()))
        Wrapped_ = WrapLines(Items_, Font_, ZoomedPoints(), Width());
    if (!printing)
        Repaint();
}

void TGDMultiLineLabel::Rewrap() {
    if (InShow_)
        return;
    InShow_ = true;
    ShowDataValue();
    InShow_ = false;
}

void TGDMultiLineLabel::ShowDesignText() {
    Items_.clear();
    Wrapped_.clear();
}

void TGDMultiLineLabel::AppendOwnProperties(TPropertyList& out) const {
    if (!DataFieldName.isEmpty())
        out.push_back({"DataFieldName", DataFieldName});
    if (!DataFieldDescript.isEmpty())
        out.push_back({"DataFieldDescript", DataFieldDescript});
}

bool TGDMultiLineLabel::SetProperty(const QString& name, const TPropertyValue& v) {
    if (name == "DataFieldName")
        return AsString(v, DataFieldName);
    if (name == "DataFieldDescript")
        return AsString(v, DataFieldDescript);
    return TGMultiLineBaseLabel::SetProperty(name, v);
}

} // namespace qp::design
