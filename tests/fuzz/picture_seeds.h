#pragma once
// Well-formed pictures for the picture readers' replays and tests: a plain
// and a placeable WMF and an EMF holding every record kind the reader knows
// (and one it does not), Windows bitmaps of every depth and coding, icons.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QtEndian>

#include <initializer_list>
#include <vector>

namespace qp::fuzz {

class TBytes {
public:
    TBytes& u8(int v) { return raw(char(v)); }
    TBytes& u16(int v) {
        char b[2];
        qToLittleEndian<quint16>(quint16(v), b);
        return raw(b, 2);
    }
    TBytes& u32(qint64 v) {
        char b[4];
        qToLittleEndian<quint32>(quint32(v), b);
        return raw(b, 4);
    }
    TBytes& raw(char c) {
        B.append(c);
        return *this;
    }
    TBytes& raw(const char* p, int n) {
        B.append(p, n);
        return *this;
    }
    TBytes& raw(const QByteArray& b) {
        B.append(b);
        return *this;
    }
    QByteArray B;
};

// One WMF record: size in words, function, 16-bit parameters.
inline QByteArray WmfRecord(int function, std::initializer_list<int> words,
                            const QByteArray& tail = {}) {
    QByteArray params;
    for (int w : words)
        params.append(TBytes().u16(w).B);
    params.append(tail);
    if (params.size() % 2)
        params.append('\0');
    return TBytes().u32(3 + params.size() / 2).u16(function).raw(params).B;
}

inline QByteArray WmfBody() {
    QByteArray face("Arial");
    face.resize(32, '\0');
    QByteArray font = TBytes().u16(-20).u16(0).u16(0).u16(0).u16(700).B;
    font.append(QByteArray("\x01\x00\x00\x00\x00\x00\x00\x00", 8)).append(face);
    QByteArray r;
    r += WmfRecord(0x020B, {0, 0});             // SETWINDOWORG
    r += WmfRecord(0x020C, {200, 300});         // SETWINDOWEXT
    r += WmfRecord(0x0102, {1});                // SETBKMODE
    r += WmfRecord(0x0209, {0xFF, 0});          // SETTEXTCOLOR
    r += WmfRecord(0x02FA, {0, 3, 0, 0xFF, 0}); // CREATEPENINDIRECT
    r += WmfRecord(0x02FC, {0, 0x80, 0, 0});    // CREATEBRUSHINDIRECT
    r += WmfRecord(0x02FB, {}, font);           // CREATEFONTINDIRECT
    r += WmfRecord(0x00F7, {0x300, 0});         // CREATEPALETTE: takes a slot
    r += WmfRecord(0x012D, {0});                // SELECTOBJECT
    r += WmfRecord(0x012D, {1});
    r += WmfRecord(0x012D, {2});
    r += WmfRecord(0x0214, {10, 10});                     // MOVETO y, x
    r += WmfRecord(0x0213, {100, 200});                   // LINETO
    r += WmfRecord(0x041B, {80, 120, 20, 20});            // RECTANGLE b, r, t, l
    r += WmfRecord(0x0418, {150, 250, 90, 130});          // ELLIPSE
    r += WmfRecord(0x061C, {10, 10, 190, 290, 160, 200}); // ROUNDRECT
    r += WmfRecord(0x0324, {3, 10, 10, 50, 10, 30, 40});  // POLYGON
    r += WmfRecord(0x0325, {3, 60, 10, 90, 10, 70, 40});  // POLYLINE
    r += WmfRecord(0x0538, {2, 3, 3, 10, 100, 40, 100, 20, 130, 60, 100, 90, 100, 80, 130});
    r += WmfRecord(0x0521, {5}, TBytes().raw("Hello", 5).raw('\0').u16(150).u16(20).B);
    r += WmfRecord(0x0A32, {170, 20, 4, 0}, QByteArray("Text"));
    r += WmfRecord(0x0A32, {180, 20, 2, 4, 0, 0, 10, 10}, QByteArray("Hi"));
    r += WmfRecord(0x01F0, {1});             // DELETEOBJECT
    r += WmfRecord(0x02FA, {5, 0, 0, 0, 0}); // a null pen into the freed slot
    r += WmfRecord(0x0800, {1, 2, 3});       // a record the reader does not know
    r += WmfRecord(0x0000, {});              // EOF
    return r;
}

inline QByteArray WmfHeader(const QByteArray& body) {
    return TBytes().u16(1).u16(9).u16(0x300).u32(9 + body.size() / 2).u16(4).u32(20).u16(0).B +
           body;
}

inline QByteArray PlainWmf() {
    return WmfHeader(WmfBody());
}

inline QByteArray PlaceableWmf() {
    return TBytes()
               .u32(0x9AC6CDD7)
               .u16(0)
               .u16(0)
               .u16(0)
               .u16(300)
               .u16(200)
               .u16(1440)
               .u32(0)
               .u16(0)
               .B +
           PlainWmf();
}

inline QByteArray EmfRecord(int type, const QByteArray& params) {
    QByteArray p = params;
    while (p.size() % 4)
        p.append('\0');
    return TBytes().u32(type).u32(8 + p.size()).raw(p).B;
}

inline QByteArray Ints(std::initializer_list<qint64> values) {
    TBytes b;
    for (qint64 v : values)
        b.u32(v);
    return b.B;
}

inline QByteArray EmfBody() {
    QByteArray font = Ints({2, -16, 0, 0, 0, 700});
    font.append(QByteArray(8, '\0'));
    for (QChar c : QStringLiteral("Arial"))
        font.append(TBytes().u16(c.unicode()).B);
    font.append(QByteArray(64 - 10, '\0'));
    QByteArray text = Ints({0, 0, 0, 0, 1, 0, 0});             // bounds, graphics mode, scales
    text += Ints({20, 150, 4, 8 + 28 + 40, 0, 0, 0, 0, 0, 0}); // EMRTEXT, string after it
    for (QChar c : QStringLiteral("Text"))
        text.append(TBytes().u16(c.unicode()).B);
    QByteArray poly16 = Ints({0, 0, 0, 0, 3});
    poly16 += TBytes().u16(10).u16(10).u16(50).u16(10).u16(30).u16(40).B;
    QByteArray polyPoly = Ints({0, 0, 0, 0, 2, 6, 3, 3});
    polyPoly += TBytes().u16(10).u16(100).u16(40).u16(100).u16(20).u16(130).B;
    polyPoly += TBytes().u16(60).u16(100).u16(90).u16(100).u16(80).u16(130).B;
    QByteArray r;
    r += EmfRecord(9, Ints({300, 200}));            // SETWINDOWEXTEX
    r += EmfRecord(10, Ints({0, 0}));               // SETWINDOWORGEX
    r += EmfRecord(17, Ints({1}));                  // SETMAPMODE
    r += EmfRecord(24, Ints({0xFF}));               // SETTEXTCOLOR
    r += EmfRecord(38, Ints({1, 0, 3, 0, 0xFF00})); // CREATEPEN
    r += EmfRecord(39, Ints({2, 0, 0x80, 0}));      // CREATEBRUSHINDIRECT
    r += EmfRecord(82, font);                       // EXTCREATEFONTINDIRECTW
    r += EmfRecord(37, Ints({1}));                  // SELECTOBJECT
    r += EmfRecord(37, Ints({2}));
    r += EmfRecord(37, Ints({0x80000000 | 5})); // a stock object
    r += EmfRecord(37, Ints({0x80000000 | 7}));
    r += EmfRecord(27, Ints({10, 10}));                               // MOVETOEX
    r += EmfRecord(54, Ints({200, 100}));                             // LINETO
    r += EmfRecord(43, Ints({20, 20, 120, 80}));                      // RECTANGLE
    r += EmfRecord(42, Ints({130, 90, 250, 150}));                    // ELLIPSE
    r += EmfRecord(44, Ints({200, 160, 290, 190, 10, 10}));           // ROUNDRECT
    r += EmfRecord(86, poly16);                                       // POLYGON16
    r += EmfRecord(87, poly16);                                       // POLYLINE16
    r += EmfRecord(3, Ints({0, 0, 0, 0, 3, 10, 10, 50, 10, 30, 40})); // POLYGON
    r += EmfRecord(4, Ints({0, 0, 0, 0, 2, 60, 10, 90, 10}));         // POLYLINE
    r += EmfRecord(91, polyPoly);                                     // POLYPOLYGON16
    r += EmfRecord(84, text);                                         // EXTTEXTOUTW
    r += EmfRecord(40, Ints({1}));                                    // DELETEOBJECT
    r += EmfRecord(33, {});                                           // SAVEDC
    r += EmfRecord(34, Ints({-1}));                                   // RESTOREDC
    r += EmfRecord(70, Ints({0}));                                    // a comment
    r += EmfRecord(120, Ints({1, 2, 3})); // a record the reader does not know
    r += EmfRecord(14, Ints({0, 0, 20})); // EOF
    return r;
}

inline QByteArray Emf() {
    const QByteArray body = EmfBody();
    QByteArray header =
        Ints({0,  0, 300, 200, 0, 0, 7938, 5292, 0x464D4520, 0x10000, 88 + body.size(),
              30, 3, 0,   0,   0, 0, 1024, 768,  320,        240});
    return EmfRecord(1, header) + body;
}

// A BMP file of `depth` bits (1, 4, 8, 16, 24, 32), or RLE-coded with 4 or 8.
inline QByteArray Bitmap(int depth, int compression = 0) {
    const int width = 5, height = 3;
    const int colors = depth <= 8 ? 1 << depth : 0;
    QByteArray pixels;
    if (compression == 1) { // RLE8: runs, then end of line / end of bitmap
        for (int y = 0; y < height; ++y)
            pixels += TBytes().u8(width).u8(y + 1).u8(0).u8(0).B;
        pixels += TBytes().u8(0).u8(1).B;
    } else if (compression == 2) { // RLE4
        for (int y = 0; y < height; ++y)
            pixels += TBytes().u8(width).u8(0x12).u8(0).u8(0).B;
        pixels += TBytes().u8(0).u8(1).B;
    } else {
        const int row = (width * depth + 31) / 32 * 4;
        for (int y = 0; y < height; ++y)
            for (int i = 0; i < row; ++i)
                pixels.append(char((y * 37 + i * 11) & 0xFF));
    }
    QByteArray info = TBytes()
                          .u32(40)
                          .u32(width)
                          .u32(height)
                          .u16(1)
                          .u16(depth)
                          .u32(compression)
                          .u32(pixels.size())
                          .u32(2835)
                          .u32(2835)
                          .u32(colors)
                          .u32(0)
                          .B;
    for (int i = 0; i < colors; ++i)
        info += TBytes().u8(i * 17).u8(255 - i * 17).u8(i * 5).u8(0).B;
    const int offset = 14 + info.size();
    return TBytes().raw("BM", 2).u32(offset + pixels.size()).u32(0).u32(offset).B + info + pixels;
}

// A bitmap with the small header of the first Windows versions.
inline QByteArray CoreBitmap() {
    QByteArray info = TBytes().u32(12).u16(2).u16(2).u16(1).u16(1).B;
    info += TBytes().u8(0).u8(0).u8(0).u8(255).u8(255).u8(255).B;
    QByteArray pixels = TBytes().u32(0x80000000).u32(0x40000000).B;
    const int offset = 14 + info.size();
    return TBytes().raw("BM", 2).u32(offset + pixels.size()).u32(0).u32(offset).B + info + pixels;
}

// An icon with a 4-bit bitmap image and a PNG image.
inline QByteArray Icon() {
    const QByteArray bmp = Bitmap(4).mid(14);
    QByteArray dib = bmp;
    qToLittleEndian<quint32>(6, dib.data() + 8); // height counts the mask rows too
    dib.append(QByteArray(3 * 4, '\0'));         // the mask
    QImage img(4, 4, QImage::Format_ARGB32);
    img.fill(Qt::red);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    const int first = 6 + 2 * 16, second = first + dib.size();
    return TBytes()
               .u16(0)
               .u16(1)
               .u16(2)
               .u8(5)
               .u8(3)
               .u8(16)
               .u8(0)
               .u16(1)
               .u16(4)
               .u32(dib.size())
               .u32(first)
               .u8(4)
               .u8(4)
               .u8(0)
               .u8(0)
               .u16(1)
               .u16(32)
               .u32(png.size())
               .u32(second)
               .B +
           dib + png;
}

inline std::vector<QByteArray> PictureSeeds() {
    std::vector<QByteArray> seeds{PlainWmf(), PlaceableWmf(), Emf(), CoreBitmap(), Icon()};
    for (int depth : {1, 4, 8, 16, 24, 32})
        seeds.push_back(Bitmap(depth));
    seeds.push_back(Bitmap(8, 1));
    seeds.push_back(Bitmap(4, 2));
    return seeds;
}

} // namespace qp::fuzz
