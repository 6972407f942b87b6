#include "design/text_labels.h"

#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/design_units.h"
#include "design/symbol_font.h"
#include "print/base_report.h"
#include "print/text_metrics.h"

#include <QDateTime>
#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
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
    out.InternalLeading =
        std::max(0, m.height() - TDesignLength::FromPoints(points).RoundedPixels());
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
    Assign(Caption_, c);
}
void TGBaseLabel::SetFont(const TDesignFont& f) {
    Assign(Font_, f);
}
void TGBaseLabel::SetAlignment(TAlignment a) {
    Assign(Alignment_, a);
}
void TGBaseLabel::SetDepthHighlight(int d) {
    Assign(DepthHighlight_, std::clamp(d, 0, kMaxDepth));
}
void TGBaseLabel::SetDepthShadow(int d) {
    Assign(DepthShadow_, std::clamp(d, 0, kMaxDepth));
}
void TGBaseLabel::SetDirectionHighlight(THighlightDirection d) {
    Assign(DirHighlight_, d);
}
void TGBaseLabel::SetDirectionShadow(TShadowDirection d) {
    Assign(DirShadow_, d);
}
void TGBaseLabel::SetcolorHighlight(TColor c) {
    Assign(ColorHighlight_, c, peRepaint | peChanged);
}
void TGBaseLabel::SetcolorShadow(TColor c) {
    Assign(ColorShadow_, c, peRepaint | peChanged);
}
void TGBaseLabel::SetAngle(int a) {
    SetProperty(QStringLiteral("Angle"), std::int32_t(a));
}
void TGBaseLabel::SetTransparent(bool t) {
    Assign(Transparent_, t, peRepaint | peChanged);
}
void TGBaseLabel::SetBackColor(TColor c) {
    Assign(BackColor_, c, peRepaint | peChanged);
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
    const TDrawnText d = DrawnText();
    const TScreenMetrics m = DesignMetrics(d.Font, pts);
    TGeometry g;
    g.lh = m.ExternalLeading + m.InternalLeading + m.Height;
    g.tw = DesignTextWidth(d.Font, pts, d.Text + QLatin1Char(' '));
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
    // The text is drawn in this box; the stored size stays as the user or
    // the layout file made it (painting never marks the layout changed).
    w = std::max(1, w), h = std::max(1, h);
    g.BoxW = w, g.BoxH = h;

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
    const TDrawnText d = DrawnText();
    const int tw = DesignTextWidth(d.Font, pts, d.Text + QStringLiteral("     "));
    const int th = DesignTextHeight(d.Font, pts);
    // Fitting starts from the box the text is drawn in.
    int w = G_.BoxW, h = G_.BoxH;
    if (w < bx + tw)
        w = bx + tw;
    if (h < by + th)
        h = by + th;
    SetBounds(Left(), Top(), w, h);
    NeedsLayout_ = true;
    Repaint();
}

void TGBaseLabel::Draw(QPainter& p, const TDrawContext& c) {
    // The text may have changed (counter, clock, page) without a setter.
    RefreshCaption(c.Report);
    Layout();
    p.save();
    p.translate(Left(), Top());
    if (!Transparent_)
        p.fillRect(QRect(0, 0, G_.BoxW, G_.BoxH), ToQColor(BackColor_));
    const TDrawnText d = DrawnText();
    const QFont font = DesignQFont(d.Font, ZoomedPoints(), p.device());
    p.setFont(font);
    p.setBackgroundMode(Qt::TransparentMode);
    const double ascent = QFontMetricsF(font, p.device()).ascent();
    auto draw = [&](const TRectI& clip, QPoint origin, TColor color) {
        p.save();
        p.setClipRect(QRect(QPoint(clip.Left, clip.Top), QPoint(clip.Right - 1, clip.Bottom - 1)),
                      Qt::IntersectClip);
        p.setPen(ToQColor(color));
        p.translate(origin);
        if (Angle_ != 0)
            p.rotate(-Angle_);
        p.drawText(QPointF(0, ascent), d.Text);
        p.restore();
    };
    // The 3D copies only where they have depth.
    if (DepthShadow_ > 0 && DirShadow_ != sdNone)
        draw(G_.S, G_.ShadowOrigin, ColorShadow_);
    if (DepthHighlight_ > 0 && DirHighlight_ != hdNone)
        draw(G_.H, G_.HighlightOrigin, ColorHighlight_);
    draw(G_.R, G_.TextOrigin, Font_.Color);
    p.restore();
}

namespace {
template <class K> std::vector<TPropertyRow> FontRows(TDesignFont K::*font) {
    auto sub = [font](const char* name, TPropertyValue def, TStoreRule store, auto get) {
        return Row<K>(
            name, std::move(def), store, peAll, [font, get](const K& o) { return get(o.*font); },
            [font, name](K& o, const TPropertyValue& v) {
                return SetFontProperty(o.*font, QString::fromLatin1(name).mid(5), v);
            });
    };
    return {
        sub("Font.Color", clBlack, srAlways, [](const TDesignFont& f) { return f.Color; }),
        sub("Font.Height", 0, srAlways,
            [](const TDesignFont& f) { return std::int32_t(f.Height()); }),
        sub("Font.Name", QString(), srAlways, [](const TDesignFont& f) { return f.Name; }),
        sub("Font.Pitch", TIdent{FontPitchName(fpDefault)}, srUnlessDefault,
            [](const TDesignFont& f) { return TIdent{FontPitchName(f.Pitch)}; }),
        sub("Font.Style", TSet{}, srAlways,
            [](const TDesignFont& f) {
                TSet style;
                if (f.Bold)
                    style.Names << "fsBold";
                if (f.Italic)
                    style.Names << "fsItalic";
                if (f.Underline)
                    style.Names << "fsUnderline";
                if (f.StrikeOut)
                    style.Names << "fsStrikeOut";
                return style;
            }),
        // Streams of other writers may give the size in points instead.
        sub("Font.Size", 0, srNever, [](const TDesignFont& f) { return std::int32_t(f.Size); }),
    };
}

template <class K, size_t N>
TPropertyRow EnumRow(const char* name, int def, TStoreRule store, unsigned effects,
                     const std::array<const char*, N>& names, std::function<int(const K&)> get,
                     std::function<void(K&, int)> set) {
    return Row<K>(
        name, TIdent{QLatin1String(names[def])}, store, effects,
        [&names, get](const K& o) { return TIdent{QLatin1String(names.at(get(o)))}; },
        [&names, set](K& o, const TPropertyValue& v) {
            const int i = IdentIndex(v, names.data(), int(N));
            return i >= 0 && (set(o, i), true);
        });
}

template <class K> TPropertyRow StringRow(const char* name, QString K::*field, unsigned effects) {
    return Row<K>(
        name, QString(), srUnlessDefault, effects, [field](const K& o) { return o.*field; },
        [field](K& o, const TPropertyValue& v) { return AsString(v, o.*field); });
}
} // namespace

const TPropertyTable& TGBaseLabel::PropertyTable() const {
    using K = TGBaseLabel;
    auto intRow = [](const char* name, int K::*field, int lo, int hi) {
        return Row<K>(
            name, 0, srUnlessDefault, peAll, [field](const K& o) { return o.*field; },
            [field, lo, hi](K& o, const TPropertyValue& v) {
                int i = 0;
                return AsInt(v, i) && (o.*field = std::clamp(i, lo, hi), true);
            });
    };
    auto colorRow = [](const char* name, TColor def, TStoreRule store, TColor K::*field) {
        return Row<K>(
            name, def, store, peRepaint | peChanged, [field](const K& o) { return o.*field; },
            [field](K& o, const TPropertyValue& v) { return AsColor(v, o.*field); });
    };
    static const TPropertyTable t = [&] {
        std::vector<TPropertyRow> rows{
            EnumRow<K>(
                "Alignment", taLeftJustify, srUnlessDefault, peAll, kAlignments,
                [](const K& o) { return int(o.Alignment_); },
                [](K& o, int i) { o.Alignment_ = TAlignment(i); }),
            intRow("DepthHighlight", &K::DepthHighlight_, 0, kMaxDepth),
            intRow("DepthShadow", &K::DepthShadow_, 0, kMaxDepth),
            EnumRow<K>(
                "DirectionHighlight", hdUpLeft, srUnlessDefault, peAll, kHighlight,
                [](const K& o) { return int(o.DirHighlight_); },
                [](K& o, int i) { o.DirHighlight_ = THighlightDirection(i); }),
            EnumRow<K>(
                "DirectionShadow", sdDownRight, srUnlessDefault, peAll, kShadow,
                [](const K& o) { return int(o.DirShadow_); },
                [](K& o, int i) { o.DirShadow_ = TShadowDirection(i); }),
            colorRow("colorHighlight", clAqua, srUnlessDefault, &K::ColorHighlight_),
            colorRow("colorShadow", clGray, srUnlessDefault, &K::ColorShadow_),
            Row<K>(
                "Angle", 0, srUnlessDefault, peAll, [](const K& o) { return o.Angle_; },
                [](K& o, const TPropertyValue& v) {
                    int a = 0;
                    if (!AsInt(v, a))
                        return false;
                    o.ApplyAngle(a); // other angles are ignored
                    return true;
                }),
            StringRow<K>("Caption", &K::Caption_, peAll),
        };
        const auto font = FontRows<K>(&K::Font_);
        rows.insert(rows.end(), font.begin(), font.end());
        rows.push_back(Row<K>(
            "Transparent", true, srAlways, peRepaint | peChanged,
            [](const K& o) { return o.Transparent_; },
            [](K& o, const TPropertyValue& v) { return AsBool(v, o.Transparent_); }));
        rows.push_back(colorRow("BackColor", clWhite, srAlways, &K::BackColor_));
        return TPropertyTable::Extend(BaseTable(), std::move(rows));
    }();
    return t;
}

void TGBaseLabel::ApplyAngle(int a) {
    if (a != 0 && a != 90 && a != 180 && a != 270)
        return;
    if (a == Angle_)
        return;
    Angle_ = a;
    if (a != 0)
        Alignment_ = taLeftJustify;
    if (!Loading()) {
        const bool horizontal = a == 0 || a == 180;
        if ((horizontal && Width() < Height()) || (!horizontal && Height() < Width()))
            SetBounds(Left(), Top(), Height(), Width());
    }
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

const TPropertyTable& TGPDLabel::PropertyTable() const {
    using K = TGPDLabel;
    static const TPropertyTable t = TPropertyTable::Extend(
        TGBaseLabel::PropertyTable(),
        {StringRow<K>("DataFieldName", &K::DataFieldName, peChanged),
         StringRow<K>("DataFieldDescript", &K::DataFieldDescript, peChanged),
         Row<K>(
             "LengthOfText", 0, srAlways, peChanged, [](const K& o) { return o.LengthOfText; },
             [](K& o, const TPropertyValue& v) { return AsInt(v, o.LengthOfText); })});
    return t;
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
    SetProperty(QStringLiteral("Startingnumber"), std::int32_t(n));
}
void TGCounterLabel::SetRepeatEach(int n) {
    SetProperty(QStringLiteral("RepeatEach"), std::int32_t(n));
}
void TGCounterLabel::SetLeadingZeros(int n) {
    SetProperty(QStringLiteral("LeadingZeros"), std::int32_t(n));
}

void TGCounterLabel::StoreStartingnumber(int n) {
    if (n == Starting_)
        return;
    Starting_ = n;
    ResetCounter();
}
void TGCounterLabel::StoreRepeatEach(int n) {
    RepeatEach_ = std::clamp(n, 1, 999);
}
void TGCounterLabel::StoreLeadingZeros(int n) {
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
    StoreStartingnumber(start);
    StoreRepeatEach(repeat);
    TextBefore = before;
    TextAfter = after;
    StoreLeadingZeros(zeros);
    Caption_ = TextBefore + QString::number(Current_) + TextAfter;
    MarkForLayout();
    if (Angle() == 0) {
        SetWidth(10);
        FitToText();
    }
    Repaint();
    Changed();
}

const TPropertyTable& TGCounterLabel::PropertyTable() const {
    using K = TGCounterLabel;
    auto intRow = [](const char* name, void (K::*set)(int), int K::*field) {
        return Row<K>(
            name, 0, srAlways, peRepaint | peChanged, [field](const K& o) { return o.*field; },
            [set](K& o, const TPropertyValue& v) {
                int i = 0;
                return AsInt(v, i) && ((o.*set)(i), true);
            });
    };
    static const TPropertyTable t =
        TPropertyTable::Extend(TGBaseLabel::PropertyTable(),
                               {StringRow<K>("TextBefore", &K::TextBefore, peAll),
                                StringRow<K>("TextAfter", &K::TextAfter, peAll),
                                intRow("Startingnumber", &K::StoreStartingnumber, &K::Starting_),
                                intRow("RepeatEach", &K::StoreRepeatEach, &K::RepeatEach_),
                                intRow("LeadingZeros", &K::StoreLeadingZeros, &K::LeadingZeros_)});
    return t;
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
    const TDrawnText d = DrawnText();
    const int w = Trunc(1.1 * DesignTextWidth(d.Font, pts, d.Text));
    const int h = Trunc(1.1 * DesignTextHeight(d.Font, pts));
    if (w != Width() || h != Height())
        SetBounds(Left(), Top(), w != Width() ? w : Width(), h != Height() ? h : Height());
    Panel()->FitToSelection();
}

int TGSymbolLabel::SymbolIndex() const {
    if (Caption_.isEmpty())
        return 0;
    return std::clamp(int(Caption_.at(0).unicode()) - 32, 0, 223);
}

TGBaseLabel::TDrawnText TGSymbolLabel::DrawnText() const {
    TSymbolText s = SymbolText(Font_, Caption_);
    return {std::move(s.Font), std::move(s.Text)};
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

const TPropertyTable& TGDateTimeLabel::PropertyTable() const {
    using K = TGDateTimeLabel;
    static const TPropertyTable t =
        TPropertyTable::Extend(TGBaseLabel::PropertyTable(),
                               {EnumRow<K>(
                                    "DateFormat", dtfDateShort, srAlways, peAll, kDateFormats,
                                    [](const K& o) { return int(o.DateFormat); },
                                    [](K& o, int i) { o.DateFormat = TGDateFormat(i); }),
                                EnumRow<K>(
                                    "TimeFormat", dtfTimeNone, srAlways, peAll, kTimeFormats,
                                    [](const K& o) { return int(o.TimeFormat); },
                                    [](K& o, int i) { o.TimeFormat = TGTimeFormat(i); })});
    return t;
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
    Assign(Items_, l);
}
void TGMultiLineBaseLabel::SetAlignment(TAlignment a) {
    Assign(Alignment_, a, peRepaint | peChanged);
}
void TGMultiLineBaseLabel::SetFont(const TDesignFont& f) {
    Assign(Font_, f);
}
void TGMultiLineBaseLabel::SetWordWrap(bool w) {
    SetProperty(QStringLiteral("WordWrap"), w);
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

double TGMultiLineBaseLabel::LinePitch() const {
    // Kept between calls: rebuilt only when the font changes.
    static print::TTextMetrics metrics;
    print::TFontSpec spec = Font_.Spec();
    spec.Size = ZoomedPoints();
    metrics.SetFont(spec);
    return TDesignLength::FromInches(metrics.LineHeight()).Pixels();
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

void TGMultiLineBaseLabel::Draw(QPainter& p, const TDrawContext& c) {
    QStringList lines = Lines();
    if (c.DesignDecorations) {
        const QString placeholder =
            Memo_ ? QStringLiteral("<blank memo>") : QStringLiteral("<blank>");
        if (lines.isEmpty())
            lines << placeholder;
        else if (lines.size() == 1 && IsBlank(lines[0]))
            lines << placeholder;
    }
    p.save();
    p.translate(Left(), Top());
    p.setClipRect(QRect(0, 0, Width(), Height()), Qt::IntersectClip);
    const QFont font = DesignQFont(Font_, ZoomedPoints(), p.device());
    p.setFont(font);
    p.setPen(ToQColor(Font_.Color));
    p.setBackgroundMode(Qt::TransparentMode);
    const double lh = LinePitch();
    const double ascent = QFontMetricsF(font, p.device()).ascent();
    // Lines wholly below the box are not drawn; the last one may be cut.
    for (int i = 0; i < lines.size() && i * lh < Height(); ++i) {
        int x = 0;
        if (Alignment_ != taLeftJustify) {
            const int tw = DesignTextWidth(Font_, ZoomedPoints(), lines[i]);
            x = Alignment_ == taRightJustify ? Width() - tw - 1 : Width() / 2 - tw / 2;
        }
        p.drawText(QPointF(x, i * lh + ascent), lines[i]);
    }
    p.restore();
}

const TPropertyTable& TGMultiLineBaseLabel::PropertyTable() const {
    using K = TGMultiLineBaseLabel;
    static const TPropertyTable t = [] {
        std::vector<TPropertyRow> rows{
            Row<K>(
                "Items.Strings", QStringList(), srUnlessDefault, peAll,
                [](const K& o) { return o.Items_; },
                [](K& o, const TPropertyValue& v) {
                    auto l = std::get_if<QStringList>(&v);
                    return l && (o.Items_ = *l, true);
                }),
            Row<K>(
                "AutoSize", false, srAlways, peChanged, [](const K& o) { return o.AutoSize; },
                [](K& o, const TPropertyValue& v) { return AsBool(v, o.AutoSize); }),
            EnumRow<K>(
                "Alignment", taLeftJustify, srUnlessDefault, peRepaint | peChanged, kAlignments,
                [](const K& o) { return int(o.Alignment_); },
                [](K& o, int i) { o.Alignment_ = TAlignment(i); }),
        };
        const auto font = FontRows<K>(&K::Font_);
        rows.insert(rows.end(), font.begin(), font.end());
        rows.push_back(Row<K>(
            "WordWrap", false, srUnlessDefault, peAll, [](const K& o) { return o.WordWrap_; },
            [](K& o, const TPropertyValue& v) {
                bool w = false;
                if (!AsBool(v, w))
                    return false;
                if (w != o.WordWrap_ && !w)
                    o.Wrapped_.clear();
                o.WordWrap_ = w;
                return true;
            }));
        return TPropertyTable::Extend(BaseTable(), std::move(rows));
    }();
    return t;
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

const TPropertyTable& TGDMultiLineLabel::PropertyTable() const {
    using K = TGDMultiLineLabel;
    static const TPropertyTable t = TPropertyTable::Extend(
        TGMultiLineBaseLabel::PropertyTable(),
        {StringRow<K>("DataFieldName", &K::DataFieldName, peChanged),
         StringRow<K>("DataFieldDescript", &K::DataFieldDescript, peChanged)});
    return t;
}

} // namespace qp::design
