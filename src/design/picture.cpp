#include "design/picture.h"

#include "design/design_units.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace qp::design {

QString TDesignPicture::ClassName() const {
    switch (Kind_) {
    case pkBitmap:
        return QStringLiteral("TBitmap");
    case pkMetafile:
        return QStringLiteral("TMetafile");
    case pkIcon:
        return QStringLiteral("TIcon");
    default:
        return {};
    }
}

bool TDesignPicture::CanShow() const {
    return !Image_.isNull() || Drawing_ != nullptr;
}

void TDesignPicture::Clear() {
    *this = TDesignPicture();
}

namespace {

// Pictures in a layout come from other users' files: no image may claim more
// memory than this, whatever its header says.
constexpr int kImageAllocationLimitMb = 64;
constexpr qint64 kMaxImagePixels = qint64(kImageAllocationLimitMb) * 1024 * 1024 / 4;

QImage ReadImage(const QByteArray& bytes, const char* format) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAllocationLimit(kImageAllocationLimitMb);
    return reader.read();
}

quint32 Le32(const QByteArray& b, qsizetype at) {
    return at >= 0 && at + 4 <= b.size() ? qFromLittleEndian<quint32>(b.constData() + at) : 0;
}
quint16 Le16(const QByteArray& b, qsizetype at) {
    return at >= 0 && at + 2 <= b.size() ? qFromLittleEndian<quint16>(b.constData() + at) : 0;
}

const QString kDamagedBitmap = QStringLiteral("The picture data is damaged: %1.");

// A device-independent bitmap (its info header at `at`, its pixels at
// `bits`, `end` the end of the bytes present): every size the header states
// must fit the bytes present before a reader allocates anything.
QString CheckDib(const QByteArray& b, qsizetype at, qsizetype bits, qsizetype end, bool mask) {
    const quint32 headerSize = Le32(b, at);
    if (headerSize < 12 || at + qint64(headerSize) > end)
        return kDamagedBitmap.arg(QStringLiteral("the bitmap header is cut short"));
    qint64 width, height;
    int bitCount;
    quint32 compression = 0, colorsUsed = 0;
    int paletteEntrySize = 4;
    if (headerSize == 12) {
        width = Le16(b, at + 4);
        height = qint16(Le16(b, at + 6));
        bitCount = Le16(b, at + 10);
        paletteEntrySize = 3;
    } else {
        if (headerSize < 40)
            return kDamagedBitmap.arg(QStringLiteral("the bitmap header is cut short"));
        width = qint32(Le32(b, at + 4));
        height = qint32(Le32(b, at + 8));
        bitCount = Le16(b, at + 14);
        compression = Le32(b, at + 16);
        colorsUsed = Le32(b, at + 32);
    }
    if (mask)
        height /= 2; // an icon's image holds its colour and mask rows
    height = std::abs(height);
    if (width <= 0 || height <= 0)
        return kDamagedBitmap.arg(QStringLiteral("the bitmap has no size"));
    if (width > 32767 || height > 32767 || width * height > kMaxImagePixels)
        return kDamagedBitmap.arg(QStringLiteral("the bitmap is larger than a picture can be"));
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return kDamagedBitmap.arg(QStringLiteral("unknown colour depth %1").arg(bitCount));
    }
    qint64 palette = 0;
    if (bitCount <= 8) {
        const qint64 most = qint64(1) << bitCount;
        if (colorsUsed > most)
            return kDamagedBitmap.arg(QStringLiteral("the colour table is too long"));
        palette = (colorsUsed ? colorsUsed : most) * paletteEntrySize;
    }
    if (compression == 3 && headerSize == 40)
        palette += 12; // the three colour masks follow the header
    if (at + qint64(headerSize) + palette > end)
        return kDamagedBitmap.arg(QStringLiteral("the colour table is cut short"));
    if (bits < 0)
        bits = at + qint64(headerSize) + palette;
    if (bits < at + qint64(headerSize) || bits > end)
        return kDamagedBitmap.arg(QStringLiteral("the pixels are not where the header says"));
    const qint64 present = end - bits;
    const qint64 rowBytes = (width * bitCount + 31) / 32 * 4;
    switch (compression) {
    case 0: // plain rows
    case 3: // bit fields
        if (rowBytes * height > present)
            return kDamagedBitmap.arg(QStringLiteral("the pixels are cut short"));
        break;
    case 1:
    case 2: // run-length coded: a run of two bytes paints at most 255 pixels
        if (width * height > qMax<qint64>(present, 1) * 255 * 4)
            return kDamagedBitmap.arg(QStringLiteral("the pixels are cut short"));
        break;
    default:
        return kDamagedBitmap.arg(QStringLiteral("unknown compression %1").arg(compression));
    }
    return {};
}

} // namespace

QString CheckBitmapBytes(const QByteArray& b) {
    if (b.size() < 14 + 12 || !b.startsWith("BM"))
        return kDamagedBitmap.arg(QStringLiteral("it is not a Windows bitmap"));
    return CheckDib(b, 14, Le32(b, 10), b.size(), false);
}

bool LooksLikeIcon(const QByteArray& b) {
    return b.size() >= 6 && Le16(b, 0) == 0 && (Le16(b, 2) == 1 || Le16(b, 2) == 2);
}

QString CheckIconBytes(const QByteArray& b) {
    const qint64 count = Le16(b, 4);
    if (count == 0 || 6 + 16 * count > b.size())
        return kDamagedBitmap.arg(QStringLiteral("the icon directory is cut short"));
    for (qint64 i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * i;
        const qint64 size = Le32(b, entry + 8), offset = Le32(b, entry + 12);
        if (offset < 6 + 16 * count || offset + size > b.size() || size < 8)
            return kDamagedBitmap.arg(QStringLiteral("an icon image lies outside the data"));
        if (b.mid(offset, 8) == QByteArray("\x89PNG\r\n\x1a\n", 8))
            continue;
        if (const QString damage = CheckDib(b, offset, -1, offset + size, true); !damage.isEmpty())
            return damage;
    }
    return {};
}

void TDesignPicture::Decode() {
    Image_ = QImage();
    Drawing_.reset();
    Size_ = QSize();
    Problem_.clear();
    if (Kind_ == pkBitmap || Kind_ == pkIcon) {
        const bool bmp = Bytes_.startsWith("BM");
        const bool ico = Kind_ == pkIcon && LooksLikeIcon(Bytes_);
        const QString damage = ico   ? CheckIconBytes(Bytes_)
                               : bmp ? CheckBitmapBytes(Bytes_)
                                     : QString();
        if (!damage.isEmpty()) {
            Problem_ = damage;
            return;
        }
        Image_ = ReadImage(Bytes_, ico ? "ICO" : bmp ? "BMP" : nullptr);
        if (Image_.isNull())
            Problem_ = QStringLiteral("The picture data cannot be read as an image.");
        else
            Size_ = Image_.size();
    } else if (Kind_ == pkMetafile) {
        auto pic = std::make_shared<QPicture>();
        QSize size;
        QString problem;
        if (ReadMetafile(Bytes_, *pic, size, problem)) {
            Drawing_ = pic;
            Size_ = size;
        } else {
            Problem_ = problem;
        }
    }
}

TDesignPicture TDesignPicture::FromBitmapBytes(const QByteArray& bmp) {
    TDesignPicture p;
    p.Kind_ = pkBitmap;
    p.Bytes_ = bmp;
    p.Decode();
    return p;
}

TDesignPicture TDesignPicture::FromMetafileBytes(const QByteArray& mf) {
    TDesignPicture p;
    p.Kind_ = pkMetafile;
    p.Bytes_ = mf;
    p.Decode();
    return p;
}

TDesignPicture TDesignPicture::FromIconBytes(const QByteArray& ico) {
    TDesignPicture p;
    p.Kind_ = pkIcon;
    p.Bytes_ = ico;
    p.Decode();
    return p;
}

TDesignPicture TDesignPicture::FromImage(const QImage& img) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.convertToFormat(QImage::Format_RGB32).save(&buf, "BMP");
    return FromBitmapBytes(bytes);
}

QByteArray TDesignPicture::PictureData() const {
    QByteArray out;
    if (Kind_ == pkNone)
        return out;
    const QByteArray name = ClassName().toLatin1();
    out.append(char(name.size()));
    out.append(name);
    if (Kind_ != pkIcon) {
        char len[4];
        qToLittleEndian<quint32>(quint32(Bytes_.size()), len);
        out.append(len, 4);
    }
    out.append(Bytes_);
    return out;
}

bool TDesignPicture::FromPictureData(const QByteArray& data, TDesignPicture& out) {
    if (data.isEmpty()) {
        out.Clear();
        return true;
    }
    const int n = quint8(data[0]);
    if (data.size() < 1 + n)
        return false;
    const QByteArray name = data.mid(1, n);
    QByteArray rest = data.mid(1 + n);
    if (name == "TIcon") {
        out = FromIconBytes(rest);
        return true;
    }
    if (rest.size() < 4)
        return false;
    const quint32 len = qFromLittleEndian<quint32>(rest.constData());
    if (len > quint32(rest.size() - 4))
        return false;
    rest = rest.mid(4, len);
    if (name == "TBitmap")
        out = FromBitmapBytes(rest);
    else if (name == "TMetafile")
        out = FromMetafileBytes(rest);
    else
        return false;
    return true;
}

bool TDesignPicture::LoadFile(const QString& path, TDesignPicture& out, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    const QByteArray bytes = f.readAll();
    const QString ext = QFileInfo(path).suffix().toLower();
    TDesignPicture p;
    if (ext == "wmf" || ext == "emf") {
        p = FromMetafileBytes(bytes);
    } else if (ext == "bmp" || ext == "dib") {
        p = FromBitmapBytes(bytes);
    } else {
        QImage img = QImage::fromData(bytes);
        if (img.isNull()) {
            if (error)
                *error = QStringLiteral("Unknown image format");
            return false;
        }
        p = FromImage(img);
    }
    if (!p.CanShow()) {
        if (error)
            *error = p.Problem();
        return false;
    }
    out = p;
    return true;
}

// ============================ Metafile reader ============================

namespace {

struct TMfState {
    QPainter* P = nullptr;
    std::map<int, std::pair<int, QVariant>> Objects; // slot -> (kind, pen/brush/font)
    QPen Pen{Qt::black};
    QBrush Brush{Qt::white};
    QFont Font;
    QColor TextColor = Qt::black;
    QPointF Cur;
    QRectF Window{0, 0, 0, 0};
    QSize Target;
    int Drawn = 0;
    void Apply() {
        if (Window.width() == 0 || Window.height() == 0)
            return;
        const QSizeF target = Target.isEmpty()
                                  ? QSizeF(std::abs(Window.width()), std::abs(Window.height()))
                                  : QSizeF(Target);
        QTransform t;
        t.scale(target.width() / Window.width(), target.height() / Window.height());
        t.translate(-Window.left(), -Window.top());
        P->setTransform(t);
    }
    // The lowest free slot, as Windows assigns them; -1 when the table is
    // full (slots are 16-bit numbers).
    std::set<int> Freed;
    int NextSlot = 0;
    int FreeSlot() {
        if (!Freed.empty()) {
            const int slot = *Freed.begin();
            Freed.erase(Freed.begin());
            return slot;
        }
        return NextSlot <= 0xFFFF ? NextSlot++ : -1;
    }
    void AddObject(int kind, const QVariant& v) {
        if (const int slot = FreeSlot(); slot >= 0)
            Objects[slot] = {kind, v};
    }
    void DeleteObject(int slot) {
        if (Objects.erase(slot))
            Freed.insert(slot);
    }
    void Select(int kind, const QVariant& v) {
        if (kind == 1)
            Pen = v.value<QPen>();
        else if (kind == 2)
            Brush = v.value<QBrush>();
        else if (kind == 3)
            Font = v.value<QFont>();
        P->setPen(Pen);
        P->setBrush(Brush);
    }
};

QColor ColorRef(quint32 c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QPen MakePen(int style, int width, quint32 color) {
    if ((style & 0xF) == 5)
        return QPen(Qt::NoPen);
    QPen pen(ColorRef(color));
    pen.setWidth(std::clamp(width, 0, 0x7FFF));
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                          Qt::DashDotDotLine};
    if ((style & 0xF) < 5)
        pen.setStyle(styles[style & 0xF]);
    return pen;
}

QBrush MakeBrush(int style, quint32 color) {
    if (style == 1) // BS_NULL
        return QBrush(Qt::NoBrush);
    return QBrush(ColorRef(color));
}

// A natural size in design pixels, whatever the header claims.
QSize SaneSize(double w, double h) {
    auto side = [](double v) { return RoundHalfEven(std::clamp(v, 0.0, 32767.0)); };
    return QSize(side(w), side(h));
}

class TReader {
public:
    explicit TReader(const QByteArray& b) : B_(b) {}
    bool Has(qsizetype at, qsizetype n) const { return at >= 0 && at + n <= B_.size(); }
    quint8 Byte(qsizetype at) const { return quint8(B_.at(at)); }
    quint16 U16(qsizetype at) const {
        return Has(at, 2) ? quint16(Byte(at) | (Byte(at + 1) << 8)) : 0;
    }
    qint16 I16(qsizetype at) const { return qint16(U16(at)); }
    quint32 U32(qsizetype at) const {
        return Has(at, 4) ? quint32(U16(at)) | (quint32(U16(at + 2)) << 16) : 0;
    }
    qint32 I32(qsizetype at) const { return qint32(U32(at)); }
    const QByteArray& B_;
};

bool ReadWmf(const QByteArray& bytes, QPicture& out, QSize& size, QString& problem) {
    TReader r(bytes);
    qsizetype pos = 0;
    QRectF bbox;
    double inch = 0;
    if (r.U32(0) == 0x9AC6CDD7u) {
        bbox = QRectF(QPointF(r.I16(6), r.I16(8)), QPointF(r.I16(10), r.I16(12))).normalized();
        inch = r.U16(14);
        pos = 22;
    }
    const int type = r.U16(pos), headerWords = r.U16(pos + 2);
    if ((type != 1 && type != 2) || headerWords != 9) {
        problem = QStringLiteral("This is not a Windows metafile.");
        return false;
    }
    pos += 18;
    TMfState st;
    if (!bbox.isEmpty() && inch > 0) {
        size = SaneSize(bbox.width() / inch * PixelsPerInch, bbox.height() / inch * PixelsPerInch);
        st.Window = bbox;
        st.Target = size;
    }
    QPicture pic;
    QPainter p(&pic);
    st.P = &p;
    int unknown = 0, damaged = 0;
    bool windowSet = false;
    while (r.Has(pos, 6)) {
        const qsizetype words = r.U32(pos);
        const int fn = r.U16(pos + 4);
        const qsizetype a = pos + 6; // parameters
        if (words < 3 || !r.Has(pos, words * 2))
            break;
        const qsizetype end = pos + words * 2;
        // Counts inside a record must fit the record before anything is read.
        auto fits = [&](qsizetype at, qint64 n) { return n >= 0 && at >= a && at + n <= end; };
        auto pt = [&](qsizetype at) { return QPointF(r.I16(at + 2), r.I16(at)); }; // y, x
        auto rect = [&](qsizetype at) { // bottom, right, top, left
            return QRectF(QPointF(r.I16(at + 6), r.I16(at + 4)), QPointF(r.I16(at + 2), r.I16(at)))
                .normalized();
        };
        auto points = [&](qsizetype at, int n) {
            QPolygonF poly;
            for (int i = 0; i < n; ++i)
                poly << QPointF(r.I16(at + 4 * i), r.I16(at + 4 * i + 2));
            return poly;
        };
        switch (fn) {
        case 0x0000:
            pos = bytes.size();
            continue;
        case 0x020B: { // SETWINDOWORG
            const QPointF o = pt(a);
            st.Window.moveTopLeft(o);
            break;
        }
        case 0x020C: { // SETWINDOWEXT
            st.Window.setSize(QSizeF(r.I16(a + 2), r.I16(a)));
            windowSet = true;
            if (size.isEmpty()) {
                size = QSize(std::abs(r.I16(a + 2)), std::abs(r.I16(a)));
                st.Target = size;
            }
            break;
        }
        case 0x0209:
            st.TextColor = ColorRef(r.U32(a));
            break;
        case 0x0102:
        case 0x0106:
        case 0x0103:
        case 0x0104:
        case 0x0201:
        case 0x012E:
        case 0x0107:
        case 0x001E:
        case 0x0127:
        case 0x0105:
            break; // modes: no effect here
        case 0x0214:
            st.Cur = pt(a);
            break;
        case 0x0213: {
            const QPointF to = pt(a);
            st.Apply();
            p.drawLine(st.Cur, to);
            st.Cur = to;
            ++st.Drawn;
            break;
        }
        case 0x041B:
            st.Apply();
            p.drawRect(rect(a));
            ++st.Drawn;
            break;
        case 0x0418:
            st.Apply();
            p.drawEllipse(rect(a));
            ++st.Drawn;
            break;
        case 0x061C: { // ROUNDRECT: height, width, then the rectangle
            st.Apply();
            const double h = r.I16(a), w = r.I16(a + 2);
            p.drawRoundedRect(rect(a + 4), w / 2, h / 2);
            ++st.Drawn;
            break;
        }
        case 0x0324:
        case 0x0325: {
            const int n = r.I16(a);
            if (!fits(a + 2, 4 * qint64(n))) {
                ++damaged;
                break;
            }
            st.Apply();
            const QPolygonF poly = points(a + 2, n);
            fn == 0x0324 ? p.drawPolygon(poly) : p.drawPolyline(poly);
            ++st.Drawn;
            break;
        }
        case 0x0538: { // POLYPOLYGON
            const int polys = r.I16(a);
            if (!fits(a + 2, 2 * qint64(polys))) {
                ++damaged;
                break;
            }
            qsizetype at = a + 2 + 2 * polys;
            qint64 total = 0;
            for (int i = 0; i < polys; ++i)
                total += std::max<qint64>(0, r.I16(a + 2 + 2 * i));
            if (!fits(at, 4 * total)) {
                ++damaged;
                break;
            }
            QPainterPath path;
            for (int i = 0; i < polys; ++i) {
                const int n = std::max<int>(0, r.I16(a + 2 + 2 * i));
                path.addPolygon(points(at, n));
                path.closeSubpath();
                at += 4 * n;
            }
            st.Apply();
            p.drawPath(path);
            ++st.Drawn;
            break;
        }
        case 0x02FA: // CREATEPENINDIRECT
            st.AddObject(1, QVariant::fromValue(MakePen(r.U16(a), r.I16(a + 2), r.U32(a + 6))));
            break;
        case 0x02FC: // CREATEBRUSHINDIRECT
            st.AddObject(2, QVariant::fromValue(MakeBrush(r.U16(a), r.U32(a + 2))));
            break;
        case 0x02FB: { // CREATEFONTINDIRECT
            QFont f;
            const QByteArray face = bytes.mid(a + 18, std::clamp<qsizetype>(end - (a + 18), 0, 32));
            f.setFamily(
                QString::fromLatin1(face.left(face.indexOf('\0') < 0 ? 32 : face.indexOf('\0'))));
            f.setPixelSize(std::max(1, std::abs(int(r.I16(a)))));
            f.setBold(r.I16(a + 8) >= 600);
            f.setItalic(r.Has(a + 10, 1) && r.Byte(a + 10) != 0);
            st.AddObject(3, QVariant::fromValue(f));
            break;
        }
        case 0x00F7:
        case 0x01F9:
        case 0x0142:
        case 0x06FF: // other objects take a slot
            st.AddObject(0, {});
            break;
        case 0x012D: { // SELECTOBJECT
            auto it = st.Objects.find(r.U16(a));
            if (it != st.Objects.end())
                st.Select(it->second.first, it->second.second);
            break;
        }
        case 0x01F0:
            st.DeleteObject(r.U16(a));
            break;
        case 0x0521: { // TEXTOUT
            const int n = r.I16(a);
            const qsizetype at = a + 2 + ((n + 1) & ~1);
            if (!fits(a + 2, n) || !fits(at, 4)) {
                ++damaged;
                break;
            }
            const QString text = QString::fromLatin1(bytes.mid(a + 2, n));
            st.Apply();
            p.setFont(st.Font);
            p.setPen(st.TextColor);
            p.drawText(QPointF(r.I16(at + 2), r.I16(at) + QFontMetricsF(st.Font).ascent()), text);
            p.setPen(st.Pen);
            ++st.Drawn;
            break;
        }
        case 0x0A32: { // EXTTEXTOUT
            const QPointF o = pt(a);
            const int n = r.I16(a + 4), opts = r.U16(a + 6);
            const qsizetype at = a + 8 + ((opts & 0x6) ? 8 : 0);
            if (!fits(at, n)) {
                ++damaged;
                break;
            }
            const QString text = QString::fromLatin1(bytes.mid(at, n));
            st.Apply();
            p.setFont(st.Font);
            p.setPen(st.TextColor);
            p.drawText(o + QPointF(0, QFontMetricsF(st.Font).ascent()), text);
            p.setPen(st.Pen);
            ++st.Drawn;
            break;
        }
        default:
            ++unknown;
            break;
        }
        pos += words * 2;
    }
    p.end();
    (void)windowSet;
    if (st.Drawn == 0) {
        problem =
            damaged ? QStringLiteral("The metafile is damaged.")
            : unknown
                ? QStringLiteral("The metafile uses drawing records this program cannot show.")
                : QStringLiteral("The metafile draws nothing.");
        return false;
    }
    if (size.isEmpty())
        size = QSize(100, 100);
    st.Target = size;
    pic.setBoundingRect(QRect(QPoint(0, 0), size));
    out = pic;
    return true;
}

bool ReadEmf(const QByteArray& bytes, QPicture& out, QSize& size, QString& problem) {
    TReader r(bytes);
    if (r.U32(0) != 1 || r.U32(40) != 0x464D4520u) {
        problem = QStringLiteral("This is not an enhanced metafile.");
        return false;
    }
    const QRectF bounds(QPointF(r.I32(8), r.I32(12)), QPointF(r.I32(16), r.I32(20)));
    const QRectF frame(QPointF(r.I32(24), r.I32(28)), QPointF(r.I32(32), r.I32(36)));
    size =
        SaneSize(frame.width() / 2540.0 * PixelsPerInch, frame.height() / 2540.0 * PixelsPerInch);
    if (size.isEmpty())
        size = SaneSize(bounds.width() + 1, bounds.height() + 1);
    TMfState st;
    st.Window = QRectF(bounds.topLeft(), QSizeF(bounds.width() + 1, bounds.height() + 1));
    st.Target = size;
    QPicture pic;
    QPainter p(&pic);
    st.P = &p;
    std::map<quint32, std::pair<int, QVariant>> objects;
    int unknown = 0, damaged = 0;
    qsizetype pos = r.U32(4); // header size
    auto rectl = [&](qsizetype at) {
        return QRectF(QPointF(r.I32(at), r.I32(at + 4)), QPointF(r.I32(at + 8), r.I32(at + 12)))
            .normalized();
    };
    while (r.Has(pos, 8)) {
        const quint32 type = r.U32(pos), len = r.U32(pos + 4);
        const qsizetype a = pos + 8;
        if (len < 8 || !r.Has(pos, len))
            break;
        const qsizetype end = pos + len;
        // Counts inside a record must fit the record before anything is read.
        auto fits = [&](qsizetype at, qint64 n) { return n >= 0 && at >= a && at + n <= end; };
        switch (type) {
        case 14:
            pos = bytes.size();
            continue; // EOF
        case 9:
            st.Window.setSize(QSizeF(r.I32(a), r.I32(a + 4)));
            break;
        case 10:
            st.Window.moveTopLeft(QPointF(r.I32(a), r.I32(a + 4)));
            break;
        case 24:
            st.TextColor = ColorRef(r.U32(a));
            break;
        case 27:
            st.Cur = QPointF(r.I32(a), r.I32(a + 4));
            break;
        case 54: {
            const QPointF to(r.I32(a), r.I32(a + 4));
            st.Apply();
            p.drawLine(st.Cur, to);
            st.Cur = to;
            ++st.Drawn;
            break;
        }
        case 43:
            st.Apply();
            p.drawRect(rectl(a));
            ++st.Drawn;
            break;
        case 42:
            st.Apply();
            p.drawEllipse(rectl(a));
            ++st.Drawn;
            break;
        case 44:
            st.Apply();
            p.drawRoundedRect(rectl(a), r.I32(a + 16) / 2.0, r.I32(a + 20) / 2.0);
            ++st.Drawn;
            break;
        case 86:
        case 87:
        case 3:
        case 4: { // POLYGON16, POLYLINE16, POLYGON, POLYLINE
            const bool wide = type == 3 || type == 4;
            const qint64 n = r.U32(a + 16);
            if (!fits(a + 20, n * (wide ? 8 : 4))) {
                ++damaged;
                break;
            }
            QPolygonF poly;
            poly.reserve(n);
            for (int i = 0; i < n; ++i)
                poly << (wide ? QPointF(r.I32(a + 20 + 8 * i), r.I32(a + 24 + 8 * i))
                              : QPointF(r.I16(a + 20 + 4 * i), r.I16(a + 22 + 4 * i)));
            st.Apply();
            (type == 86 || type == 3) ? p.drawPolygon(poly) : p.drawPolyline(poly);
            ++st.Drawn;
            break;
        }
        case 91: { // POLYPOLYGON16
            const qint64 polys = r.U32(a + 16);
            if (!fits(a + 24, 4 * polys)) {
                ++damaged;
                break;
            }
            qsizetype at = a + 24 + 4 * polys;
            qint64 total = 0;
            for (qint64 i = 0; i < polys; ++i)
                total += r.U32(a + 24 + 4 * i);
            if (!fits(at, 4 * total)) {
                ++damaged;
                break;
            }
            QPainterPath path;
            for (qint64 i = 0; i < polys; ++i) {
                const qint64 n = r.U32(a + 24 + 4 * i);
                QPolygonF poly;
                for (qint64 j = 0; j < n; ++j, at += 4)
                    poly << QPointF(r.I16(at), r.I16(at + 2));
                path.addPolygon(poly);
                path.closeSubpath();
            }
            st.Apply();
            p.drawPath(path);
            ++st.Drawn;
            break;
        }
        case 38:
            objects[r.U32(a)] = {
                1, QVariant::fromValue(MakePen(int(r.U32(a + 4)), r.I32(a + 8), r.U32(a + 16)))};
            break;
        case 39:
            objects[r.U32(a)] = {2,
                                 QVariant::fromValue(MakeBrush(int(r.U32(a + 4)), r.U32(a + 8)))};
            break;
        case 82: {
            QFont f;
            QString face;
            for (int i = 0; i < 32 && fits(a + 4 + 28 + 2 * i, 2); ++i) {
                const char16_t c = r.U16(a + 4 + 28 + 2 * i);
                if (!c)
                    break;
                face += QChar(c);
            }
            f.setFamily(face);
            f.setPixelSize(int(std::clamp<qint64>(std::abs(qint64(r.I32(a + 4))), 1, 0x7FFF)));
            f.setBold(r.I32(a + 4 + 16) >= 600);
            objects[r.U32(a)] = {3, QVariant::fromValue(f)};
            break;
        }
        case 37: {
            const quint32 ih = r.U32(a);
            if (ih & 0x80000000u) {
                const int stock = int(ih & 0x7FFFFFFF);
                if (stock <= 4) {
                    const int g[] = {255, 192, 128, 64, 0};
                    st.Select(2, QVariant::fromValue(QBrush(QColor(g[stock], g[stock], g[stock]))));
                } else if (stock == 5) {
                    st.Select(2, QVariant::fromValue(QBrush(Qt::NoBrush)));
                } else if (stock == 6 || stock == 7) {
                    st.Select(1, QVariant::fromValue(QPen(stock == 6 ? Qt::white : Qt::black)));
                } else if (stock == 8) {
                    st.Select(1, QVariant::fromValue(QPen(Qt::NoPen)));
                }
            } else if (auto it = objects.find(ih); it != objects.end()) {
                st.Select(it->second.first, it->second.second);
            }
            break;
        }
        case 40:
            objects.erase(r.U32(a));
            break;
        case 84: {                      // EXTTEXTOUTW
            const qsizetype t = a + 28; // EMRTEXT
            const QPointF ref(r.I32(t), r.I32(t + 4));
            const qint64 n = r.U32(t + 8);
            const qsizetype off = pos + r.U32(t + 12);
            if (!fits(t, 20) || !fits(off, 2 * n) || off < a) {
                ++damaged;
                break;
            }
            QString text;
            for (qint64 i = 0; i < n; ++i)
                text += QChar(char16_t(r.U16(off + 2 * i)));
            st.Apply();
            p.setFont(st.Font);
            p.setPen(st.TextColor);
            p.drawText(ref + QPointF(0, QFontMetricsF(st.Font).ascent()), text);
            p.setPen(st.Pen);
            ++st.Drawn;
            break;
        }
        case 11:
        case 12:
        case 17:
        case 18:
        case 19:
        case 21:
        case 22:
        case 33:
        case 34:
        case 70:
        case 75:
        case 76:
            break; // modes, save/restore, comments: nothing to draw
        default:
            ++unknown;
            break;
        }
        pos += len;
    }
    p.end();
    if (st.Drawn == 0) {
        problem =
            damaged ? QStringLiteral("The metafile is damaged.")
            : unknown
                ? QStringLiteral("The metafile uses drawing records this program cannot show.")
                : QStringLiteral("The metafile draws nothing.");
        return false;
    }
    pic.setBoundingRect(QRect(QPoint(0, 0), size));
    out = pic;
    return true;
}

} // namespace

bool ReadMetafile(const QByteArray& bytes, QPicture& out, QSize& designSize, QString& problem) {
    TReader r(bytes);
    if (r.U32(0) == 1 && r.U32(40) == 0x464D4520u)
        return ReadEmf(bytes, out, designSize, problem);
    return ReadWmf(bytes, out, designSize, problem);
}

} // namespace qp::design
