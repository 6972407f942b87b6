#include "design/imb_barcode.h"

#include "design/barcodes.h"
#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/design_units.h"
#include "design/text_labels.h"
#include "print/base_report.h"

#include <QFontMetricsF>
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
    StoreBounds(0, 0, TDesignLength::FromInches(BarsLength()).RoundedPixels(),
                TDesignLength::FromInches(FullHeight()).RoundedPixels());
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

void TGIMbBarCode::Draw(QPainter& p, const TDrawContext& c) {
    const TGBasePanel* panel = Panel();
    const bool values =
        !c.DesignDecorations || (panel && panel->DataSet() && panel->DisplayDataValues());
    const TImbText bars = values ? Bars() : TImbText{SampleBars(), {}};
    if (!bars.Ok() && !c.DesignDecorations)
        return; // a piece without a valid code prints no barcode
    const TBarPlacement at(*this, c);
    const QString shown = bars.Ok() ? bars.Value : SampleBars();
    const std::vector<QRectF> rects = ImbBarRects(shown, at.X, at.Y, at.Grid);
    DrawBars(p, at, rects, bars.Ok() ? Qt::black : Qt::lightGray);
    double bottom = at.Y;
    for (const QRectF& r : rects)
        bottom = std::max(bottom, r.bottom());
    p.save();
    TDesignFont arial;
    arial.Size = int(kImbTextSize);
    const QFont f = DesignQFont(arial, kImbTextSize * double(Zoom()), p.device());
    p.setFont(f);
    if (!bars.Ok()) {
        // Why this record prints no barcode, over the greyed sample.
        p.setPen(Qt::red);
        p.drawText(BoundsRect(), Qt::AlignCenter | Qt::TextWordWrap, bars.Refusal);
    } else if (HumanReadable) {
        p.setPen(Qt::black);
        const double top = bottom + kImbTextGap;
        const QRectF line =
            at.ToPanel(QRectF(at.X, top, BarsLength() + 1, kImbTextSize / 72.0 * 1.5));
        p.setClipRect(line, Qt::IntersectClip);
        const QString text = values ? ImbHumanReadable(Tracking().Value, RoutingCode().Value)
                                    : QStringLiteral("IMb");
        p.drawText(QPointF(line.left(), line.top() + QFontMetricsF(f, p.device()).ascent()), text);
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

void TGIMbBarCode::Printed(print::TBaseReport&) {
    // Each piece gets its own number.
    if (SerialSource == issCounter && Bars().Ok()) {
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
