#include "design/barcodes.h"

#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/design_units.h"
#include "print/base_report.h"

#include <QPainter>
#include <QRegularExpression>
#include <cmath>

namespace qp::design {

namespace {
const char* const kPostNetTypes[] = {"pnbc5Digit", "pnbc9Digit", "pnbc11Digit"};
const char* const kFimTypes[] = {"fimTypeA", "fimTypeB", "fimTypeC"};
const char* const kDigitBars[] = {"FFHHH", "HHHFF", "HHFHF", "HHFFH", "HFHHF",
                                  "HFHFH", "HFFHH", "FHHHF", "FHHFH", "FHFHH"};

template <size_t N> int IndexOf(const char* const (&names)[N], const QString& n) {
    for (size_t i = 0; i < N; ++i)
        if (n.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QString DigitsOf(const QString& s) {
    QString out;
    for (QChar c : s)
        if (c >= '0' && c <= '9')
            out += c;
    return out;
}

double SnapPos(double v, double origin, double dpi) {
    return origin + std::round((v - origin) * dpi) / dpi;
}
// Whole device pixels, never fewer than the nominal length covers.
double PixelsUp(double inches, double dpi) {
    return std::ceil(inches * dpi - 1e-6) / dpi;
}
} // namespace

QString PostNetTypeName(TPostNetBarCodeType t) {
    return QLatin1String(kPostNetTypes[t]);
}
QString FimTypeName(TFIMBarCodeType t) {
    return QLatin1String(kFimTypes[t]);
}

QString DeliveryPointDigits(const QString& address) {
    const QString a = address.toUpper();
    // Military addresses, as whole words only ("NAPOLEON" is a street).
    static const QRegularExpression military(QStringLiteral("(^|[^A-Z0-9])(APO|FPO)([^A-Z0-9]|$)"));
    if (military.match(a).hasMatch())
        return QStringLiteral("99");
    QChar r1 = ' ', r2 = ' ';
    bool slash = false, ordinal = false;
    int taken = 0;
    for (int p = a.size() - 1; p >= 0; --p) {
        const QChar ch = a[p];
        const QString pair = a.mid(p, 2);
        if (ch >= '0' && ch <= '9') {
            if (!slash && !ordinal && taken < 2) {
                (taken == 0 ? r2 : r1) = ch;
                ++taken;
            }
        } else if (ch == ' ') {
            if (taken > 0)
                break;
            slash = ordinal = false;
        } else if (ch == '/' && taken >= 1) {
            slash = true;
            taken = 0;
            r1 = r2 = ' ';
        } else if (taken == 1) {
            r1 = '0';
            taken = 2;
        } else if (pair == "ST" || pair == "ND" || pair == "RD" || pair == "TH") {
            ordinal = true;
        }
    }
    if (r1 == ' ' && r2 == ' ')
        return QStringLiteral("99");
    if (r1 == ' ')
        r1 = '0';
    return QString(r1) + r2;
}

QString PostNetCode(const QString& zip, const QString& address, TPostNetBarCodeType type) {
    if (zip.size() <= 4 || zip < QLatin1String("00000") || zip > QLatin1String("99999-9999"))
        return {};
    QString s = DigitsOf(zip);
    if (s.size() < 5)
        return {};
    // Only real codes: 5, 9 or 9 + delivery point digits.
    if (type == pnbc5Digit || s.size() != 9)
        s = s.left(5);
    else if (type == pnbc11Digit)
        s += DeliveryPointDigits(address);
    int sum = 0;
    for (QChar c : s)
        sum += c.unicode() - '0';
    return s + QChar('0' + (10 - sum % 10) % 10);
}

QString PostNetBars(const QString& code) {
    if (code.isEmpty())
        return {};
    QString out = QStringLiteral("F");
    for (QChar c : code)
        if (c >= '0' && c <= '9')
            out += QLatin1String(kDigitBars[c.unicode() - '0']);
    return out + QLatin1Char('F');
}

QString FimSlots(TFIMBarCodeType type) {
    static const char* const fimSlots[] = {"10100000100000101", "10001010001010001",
                                           "10100010001000101"};
    return QLatin1String(fimSlots[type]);
}

std::vector<QRectF> PostNetBarRects(const QString& code, double x, double y, const TDeviceGrid& g) {
    std::vector<QRectF> out;
    const QString bars = PostNetBars(code);
    const double w = PixelsUp(kPostNetBarWidth, g.XDpi);
    const double top = SnapPos(y, g.OffsetY, g.YDpi);
    const double bottom = top + PixelsUp(kPostNetFullHeight, g.YDpi);
    const double halfTop = bottom - PixelsUp(kPostNetFullHeight - kPostNetHalfTop, g.YDpi);
    for (int i = 0; i < bars.size(); ++i) {
        const double left = SnapPos(x + i * kPostNetPitch, g.OffsetX, g.XDpi);
        out.push_back(
            QRectF(QPointF(left, bars[i] == 'F' ? top : halfTop), QPointF(left + w, bottom)));
    }
    return out;
}

std::vector<QRectF> FimBarRects(TFIMBarCodeType type, double x, double y, const TDeviceGrid& g) {
    std::vector<QRectF> out;
    const QString fimSlots = FimSlots(type);
    const double w = PixelsUp(kFimSlot, g.XDpi);
    const double top = SnapPos(y, g.OffsetY, g.YDpi);
    const double bottom = top + PixelsUp(kFimHeight, g.YDpi);
    for (int n = 0; n < fimSlots.size(); ++n)
        if (fimSlots[n] == '1') {
            const double left = SnapPos(x + n * kFimSlot, g.OffsetX, g.XDpi);
            out.push_back(QRectF(QPointF(left, top), QPointF(left + w, bottom)));
        }
    return out;
}

TBarPlacement::TBarPlacement(const TGGraphicControl& o, const TDrawContext& c) {
    // Panel units per inch: design pixels at the panel's zoom.
    Inch = PixelsPerInch * double(o.Zoom());
    Origin = c.Target == dtPaper ? c.OriginInches : QPointF();
    Grid = c.Target == dtPaper ? c.Grid : TDeviceGrid{Inch, Inch, 0, 0};
    X = Origin.x() + o.Left() / Inch;
    Y = Origin.y() + o.Top() / Inch;
}

QRectF TBarPlacement::ToPanel(const QRectF& inches) const {
    return QRectF((inches.topLeft() - Origin) * Inch, inches.size() * Inch);
}

void DrawBars(QPainter& p, const TBarPlacement& at, const std::vector<QRectF>& inches,
              const QColor& color) {
    QVector<QRectF> bars;
    bars.reserve(qsizetype(inches.size()));
    for (const QRectF& b : inches)
        bars << at.ToPanel(b);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRects(bars); // all at once: one call for the whole code
    p.restore();
}

TDeviceGrid GridOf(const print::TBaseReport& r) {
    TDeviceGrid g;
    g.XDpi = r.XDpi() > 0 ? r.XDpi() : 600;
    g.YDpi = r.YDpi() > 0 ? r.YDpi() : 600;
    const QMarginsF m = r.UnprintableMargins();
    g.OffsetX = m.left() - r.OriginX;
    g.OffsetY = m.top() - r.OriginY;
    return g;
}

// ============================== POSTNET ==================================

TGPostNetBarCode::TGPostNetBarCode() {
    StoreBounds(0, 0, 270, 16);
}

const QImage& TGPostNetBarCode::DesignPicture() {
    static const QImage img = [] {
        QImage i(270, 16, QImage::Format_RGB32);
        i.fill(Qt::white);
        QPainter p(&i);
        const QString bars = PostNetBars(PostNetCode("12345-6789", "123 MAIN ST", pnbc11Digit));
        for (int k = 0; k < bars.size(); ++k) {
            const int x = 4 + k * 262 / bars.size();
            p.fillRect(QRect(x, bars[k] == 'F' ? 1 : 8, 2, bars[k] == 'F' ? 14 : 7), Qt::black);
        }
        return i;
    }();
    return img;
}

void TGPostNetBarCode::Draw(QPainter& p, const TDrawContext& c) {
    const TGBasePanel* panel = Panel();
    const bool values = !c.DesignDecorations || (panel && panel->DisplayDataValues());
    const QString code = values ? Code() : QString();
    if (!code.isEmpty()) {
        TBarPlacement at(*this, c);
        DrawBars(p, at, PostNetBarRects(code, at.X, at.Y, at.Grid), Qt::black);
        return;
    }
    if (!c.DesignDecorations)
        return;
    // The sample picture at its own size; the stored bounds stay as they are.
    const int w = RoundHalfEven(270 * double(Zoom()));
    const int h = RoundHalfEven(16 * double(Zoom()));
    p.drawImage(QRect(Left(), Top(), w, h), DesignPicture());
}

void TGPostNetBarCode::ShowDataValue() {
    const TGBasePanel* panel = Panel();
    const TDataSource* ds = panel ? panel->DataSet() : nullptr;
    auto text = [&](const QString& field) {
        if (!ds || !ds->Active() || field.isEmpty())
            return QString();
        return ds->FieldText(field).value_or(QString());
    };
    AddressText = text(AddressField);
    ZipText = text(ZipCodeField);
    if (!Printing())
        Repaint();
}

const TPropertyTable& TGPostNetBarCode::PropertyTable() const {
    using K = TGPostNetBarCode;
    auto field = [](const char* name, QString K::*f) {
        return Row<K>(
            name, QString(), srUnlessDefault, peRepaint | peChanged,
            [f](const K& o) { return o.*f; },
            [f](K& o, const TPropertyValue& v) { return AsString(v, o.*f); });
    };
    static const TPropertyTable t = TPropertyTable::Extend(
        BaseTable(),
        {field("ZipCodeField", &K::ZipCodeField), field("AddressField", &K::AddressField),
         Row<K>(
             "BarCodeType", TIdent{PostNetTypeName(pnbc11Digit)}, srAlways, peRepaint | peChanged,
             [](const K& o) { return TIdent{PostNetTypeName(o.BarCodeType)}; },
             [](K& o, const TPropertyValue& v) {
                 const int i = IdentIndex(v, kPostNetTypes, 3);
                 return i >= 0 && (o.BarCodeType = TPostNetBarCodeType(i), true);
             })});
    return t;
}

// ================================ FIM ====================================

TGFIMBarCode::TGFIMBarCode() {
    StoreBounds(0, 0, TDesignLength::FromInches(kFimSize).TruncatedPixels(),
                TDesignLength::FromInches(kFimHeight).TruncatedPixels());
}

void TGFIMBarCode::SetFIMType(TFIMBarCodeType t) {
    Assign(Type_, t, peRepaint | peChanged);
}

void TGFIMBarCode::Draw(QPainter& p, const TDrawContext& c) {
    TBarPlacement at(*this, c);
    DrawBars(p, at, FimBarRects(Type_, at.X, at.Y, at.Grid), Qt::black);
}

const TPropertyTable& TGFIMBarCode::PropertyTable() const {
    using K = TGFIMBarCode;
    static const TPropertyTable t = TPropertyTable::Extend(
        BaseTable(), {Row<K>(
                         "FIMType", TIdent{FimTypeName(fimTypeA)}, srAlways, peRepaint | peChanged,
                         [](const K& o) { return TIdent{FimTypeName(o.Type_)}; },
                         [](K& o, const TPropertyValue& v) {
                             const int i = IdentIndex(v, kFimTypes, 3);
                             return i >= 0 && (o.Type_ = TFIMBarCodeType(i), true);
                         })});
    return t;
}

} // namespace qp::design
