#include "design/imb_barcode.h"

#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/design_units.h"
#include "print/base_report.h"

#include <QPainter>
#include <cmath>
#include <limits>

namespace qp::design {

namespace {
const char* const kRoutingNames[] = {"imbRoute5Digit", "imbRoute9Digit", "imbRoute11Digit"};
const char* const kSerialSourceNames[] = {"issCounter", "issField"};

double SnapPos(double v, double origin, double dpi) {
    return origin + std::round((v - origin) * dpi) / dpi;
}
double PixelsUp(double inches, double dpi) {
    return std::ceil(inches * dpi - 1e-6) / dpi;
}

// Bars shown at design time when the record gives none.
const QString& SampleBars() {
    static const QString bars = ImbBars("00270123456200800001", "12345678901").Value;
    return bars;
}

double BarsLength() {
    return (kImbBarCount - 1) * kImbPitch + kImbBarWidth;
}
double FullHeight() {
    return 2 * kImbExtender + kImbTracker;
}
} // namespace

QString ImbRoutingName(TImbRouting r) {
    return QLatin1String(kRoutingNames[r]);
}
QString ImbSerialSourceName(TImbSerialSource s) {
    return QLatin1String(kSerialSourceNames[s]);
}

std::vector<QRectF> ImbBarRects(const QString& bars, double x, double y, const TDeviceGrid& g) {
    std::vector<QRectF> out;
    const double w = PixelsUp(kImbBarWidth, g.XDpi);
    const double top = SnapPos(y, g.OffsetY, g.YDpi);
    const double extender = PixelsUp(kImbExtender, g.YDpi);
    const double trackTop = top + extender;
    const double trackBottom = trackTop + PixelsUp(kImbTracker, g.YDpi);
    const double bottom = trackBottom + extender;
    for (int i = 0; i < bars.size(); ++i) {
        const double left = SnapPos(x + i * kImbPitch, g.OffsetX, g.XDpi);
        const QChar b = bars[i];
        const double t = b == 'F' || b == 'A' ? top : trackTop;
        const double u = b == 'F' || b == 'D' ? bottom : trackBottom;
        out.push_back(QRectF(QPointF(left, t), QPointF(left + w, u)));
    }
    return out;
}

// =============================== Object ==================================

TGIMbBarCode::TGIMbBarCode() {
    StoreBounds(0, 0, RoundHalfEven(PixelsPerInch * BarsLength()),
                RoundHalfEven(PixelsPerInch * FullHeight()));
}

TImbText TGIMbBarCode::Tracking() const {
    const QString serial =
        SerialSource == issField ? SerialText.trimmed() : QString::number(Serial_);
    return ImbTrackingCode(BarcodeId, ServiceType, MailerId, serial);
}

TImbText TGIMbBarCode::Bars() const {
    const TImbText tracking = Tracking();
    if (!tracking.Ok())
        return tracking;
    const TImbText routing = RoutingCode();
    if (!routing.Ok())
        return routing;
    return ImbBars(tracking.Value, routing.Value);
}

bool TGIMbBarCode::NextStart(qint32& next) const {
    if (SerialSource != issCounter || !Used_)
        return false;
    next = qint32(std::min<qint64>(Serial_, std::numeric_limits<qint32>::max()));
    return true;
}

void TGIMbBarCode::Paint(QPainter& p) {
    const float z = Zoom();
    const int textHeight =
        HumanReadable ? RoundHalfEven(PixelsPerInch * (kImbTextGap + kImbTextSize / 72.0) * z) : 0;
    const int w = RoundHalfEven(PixelsPerInch * BarsLength() * z);
    const int h = RoundHalfEven(PixelsPerInch * FullHeight() * z) + textHeight;
    if (Width() != w || Height() != h)
        SetBounds(Left(), Top(), w, h);
    const TGBasePanel* panel = Panel();
    const bool values = panel && panel->DataSet() && panel->DisplayDataValues();
    const TImbText bars = values ? Bars() : TImbText{SampleBars(), {}};
    // Bars at the screen's resolution, one design pixel at least.
    const TDeviceGrid grid{PixelsPerInch * z, PixelsPerInch * z, 0, 0};
    const double inch = PixelsPerInch * z;
    const QString shown = bars.Ok() ? bars.Value : SampleBars();
    p.save();
    for (const QRectF& r : ImbBarRects(shown, Left() / inch, Top() / inch, grid))
        p.fillRect(QRectF(r.left() * inch, r.top() * inch, r.width() * inch, r.height() * inch),
                   bars.Ok() ? Qt::black : Qt::lightGray);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(std::max(6, RoundHalfEven(inch * kImbTextSize / 72.0)));
    p.setFont(f);
    if (!bars.Ok()) {
        // Why this record prints no barcode, over the greyed sample.
        p.setPen(Qt::red);
        p.drawText(BoundsRect(), Qt::AlignCenter | Qt::TextWordWrap, bars.Refusal);
    } else if (HumanReadable) {
        p.setPen(Qt::black);
        const QRect line(Left(), Top() + h - textHeight, w, textHeight);
        const QString text = values ? ImbHumanReadable(Tracking().Value, RoutingCode().Value)
                                    : QStringLiteral("IMb");
        p.drawText(line, Qt::AlignLeft | Qt::AlignBottom, text);
    }
    p.restore();
}

void TGIMbBarCode::ShowDataValue() {
    const TGBasePanel* panel = Panel();
    const TDataSource* ds = panel ? panel->DataSet() : nullptr;
    auto text = [&](const QString& field) {
        if (!ds || !ds->Active() || field.isEmpty())
            return QString();
        return ds->FieldText(field).value_or(QString());
    };
    AddressText = text(AddressField);
    ZipText = text(ZipCodeField);
    SerialText = SerialSource == issField ? text(SerialField) : QString();
    if (!Printing())
        Repaint();
}

void TGIMbBarCode::NextLabel() {}

void TGIMbBarCode::ResetCounter() {
    Serial_ = SerialStart;
    Used_ = false;
}

void TGIMbBarCode::PrintObject(print::TBaseReport& r, double X, double Y) {
    const TImbText bars = Bars();
    if (!bars.Ok())
        return;
    r.SetPen(Qt::black, print::psSolid, 1, print::pmCopy);
    r.SetBrush(Qt::black, print::bsSolid);
    const double x = X + Left() / double(PixelsPerInch);
    const double y = Y + Top() / double(PixelsPerInch);
    double bottom = y;
    for (const QRectF& b : ImbBarRects(bars.Value, x, y, GridOf(r))) {
        r.FillRect(b.left(), b.top(), b.right(), b.bottom());
        bottom = std::max(bottom, b.bottom());
    }
    if (HumanReadable) {
        print::TFontSpec font;
        font.Size = kImbTextSize;
        r.SetFont(font);
        const QString text = ImbHumanReadable(Tracking().Value, RoutingCode().Value);
        const double top = bottom + kImbTextGap;
        r.TextRect(QRectF(x, top, BarsLength() + 1, kImbTextSize / 72.0 * 1.5), x, top, text);
    }
    // Each piece gets its own number.
    if (SerialSource == issCounter) {
        ++Serial_;
        Used_ = true;
    }
}

const TPropertyTable& TGIMbBarCode::PropertyTable() const {
    using K = TGIMbBarCode;
    constexpr unsigned effects = peRepaint | peChanged;
    auto text = [](const char* name, QString K::*f, const char* def, TStoreRule store) {
        return Row<K>(
            name, QString::fromLatin1(def), store, effects, [f](const K& o) { return o.*f; },
            [f](K& o, const TPropertyValue& v) { return AsString(v, o.*f); });
    };
    static const TPropertyTable t = TPropertyTable::Extend(
        BaseTable(),
        {text("ZipCodeField", &K::ZipCodeField, "", srUnlessDefault),
         text("AddressField", &K::AddressField, "", srUnlessDefault),
         text("BarcodeId", &K::BarcodeId, "00", srAlways),
         text("ServiceType", &K::ServiceType, "270", srAlways),
         text("MailerId", &K::MailerId, "", srUnlessDefault),
         Row<K>(
             "SerialSource", TIdent{ImbSerialSourceName(issCounter)}, srAlways, effects,
             [](const K& o) { return TIdent{ImbSerialSourceName(o.SerialSource)}; },
             [](K& o, const TPropertyValue& v) {
                 const int i = IdentIndex(v, kSerialSourceNames, 2);
                 return i >= 0 && (o.SerialSource = TImbSerialSource(i), true);
             }),
         Row<K>(
             "SerialStart", qint32(1), srAlways, effects, [](const K& o) { return o.SerialStart; },
             [](K& o, const TPropertyValue& v) {
                 int start = 0;
                 if (!AsInt(v, start) || start < 0)
                     return false;
                 o.SerialStart = start;
                 o.ResetCounter();
                 return true;
             }),
         text("SerialField", &K::SerialField, "", srUnlessDefault),
         Row<K>(
             "Routing", TIdent{ImbRoutingName(imbRoute11Digit)}, srAlways, effects,
             [](const K& o) { return TIdent{ImbRoutingName(o.Routing)}; },
             [](K& o, const TPropertyValue& v) {
                 const int i = IdentIndex(v, kRoutingNames, 3);
                 return i >= 0 && (o.Routing = TImbRouting(i), true);
             }),
         Row<K>(
             "HumanReadable", false, srAlways, effects, [](const K& o) { return o.HumanReadable; },
             [](K& o, const TPropertyValue& v) { return AsBool(v, o.HumanReadable); })});
    return t;
}

void NewImbBarCode(TGGraphicControl& o) {
    if (auto* b = dynamic_cast<TGIMbBarCode*>(&o)) {
        b->ZipCodeField = QStringLiteral("ZIP");
        b->AddressField = QStringLiteral("STREET");
    }
}

bool KeepImbSerials(TGBasePanel& panel) {
    bool moved = false;
    for (int i = 0; i < panel.ObjectCount(); ++i) {
        auto* imb = dynamic_cast<TGIMbBarCode*>(panel.Object(i));
        qint32 next = 0;
        if (imb && imb->NextStart(next) && next != imb->SerialStart) {
            imb->SerialStart = next;
            imb->ResetCounter();
            moved = true;
        }
    }
    return moved;
}

} // namespace qp::design
