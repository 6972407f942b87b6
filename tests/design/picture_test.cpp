// Pictures kept as stored bytes: bitmaps, our metafile reader, and pictures
// that cannot be shown, which must survive unchanged.
#include "design/shapes.h"

#include <QBuffer>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace qp::design;

namespace {

// A small metafile writer for the tests: words in little-endian order.
class TWmf {
public:
    TWmf& Record(quint16 fn, std::initializer_list<qint16> params) {
        Words(quint32(3 + params.size()));
        Word(fn);
        for (qint16 p : params)
            Word(quint16(p));
        return *this;
    }
    QByteArray Bytes(int inch = 96, QRect bbox = QRect(0, 0, 100, 50)) const {
        QByteArray out;
        auto put16 = [&](quint16 v) { out.append(char(v & 0xFF)).append(char(v >> 8)); };
        auto put32 = [&](quint32 v) { put16(v & 0xFFFF), put16(v >> 16); };
        put32(0x9AC6CDD7u);
        put16(0);
        put16(bbox.left()), put16(bbox.top()), put16(bbox.right() + 1), put16(bbox.bottom() + 1);
        put16(inch);
        put32(0);
        put16(0);
        put16(1), put16(9), put16(0x300), put32(0), put16(1), put32(0), put16(0);
        out.append(Body_);
        put32(3), put16(0); // EOF
        return out;
    }

private:
    void Word(quint16 v) { Body_.append(char(v & 0xFF)).append(char(v >> 8)); }
    void Words(quint32 v) { Word(v & 0xFFFF), Word(v >> 16); }
    QByteArray Body_;
};

QImage Render(const TGImage& img) {
    QImage canvas(img.Width(), img.Height(), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    const_cast<TGImage&>(img).Paint(p);
    return canvas;
}

TEST(Pictures, BitmapsRoundTripThroughPictureData) {
    QImage src(4, 3, QImage::Format_RGB32);
    src.fill(Qt::green);
    const TDesignPicture pic = TDesignPicture::FromImage(src);
    EXPECT_EQ(pic.ClassName(), "TBitmap");
    EXPECT_TRUE(pic.CanShow());
    const QByteArray data = pic.PictureData();
    EXPECT_EQ(data.mid(1, 7), "TBitmap");
    EXPECT_EQ(qFromLittleEndian<quint32>(data.constData() + 8), quint32(pic.Bytes().size()));
    EXPECT_EQ(data.mid(12, 2), "BM"); // a Windows bitmap file follows
    TDesignPicture back;
    ASSERT_TRUE(TDesignPicture::FromPictureData(data, back));
    EXPECT_EQ(back, pic);
    EXPECT_EQ(back.Width(), 4);
}

TEST(Pictures, PlaceableMetafileRectangleIsDrawnScaledToTheObject) {
    TWmf w;
    w.Record(0x02FC, {0, qint16(0x00FF), 0, 0}) // red solid brush (colour 0x0000FF)
        .Record(0x012D, {0})                    // select it
        .Record(0x020B, {0, 0})                 // window origin
        .Record(0x020C, {50, 100})              // window extent (y, x)
        .Record(0x041B, {50, 100, 0, 0});       // rectangle, the whole window
    const QByteArray bytes = w.Bytes();
    const TDesignPicture pic = TDesignPicture::FromMetafileBytes(bytes);
    ASSERT_TRUE(pic.CanShow()) << pic.Problem().toStdString();
    EXPECT_EQ(pic.Width(), 100);
    EXPECT_EQ(pic.Height(), 50);
    TGImage img;
    img.SetBounds(0, 0, 40, 20);
    img.SetPicture(pic);
    const QImage out = Render(img);
    EXPECT_EQ(out.pixelColor(20, 10), QColor(Qt::red));
    EXPECT_EQ(img.Picture().Bytes(), bytes);
}

TEST(Pictures, UnshowableMetafileIsKeptUnchangedAndSaysSo) {
    TWmf w;
    w.Record(0x0F43, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}); // a bitmap record we do not read
    const QByteArray bytes = w.Bytes();
    const TDesignPicture pic = TDesignPicture::FromMetafileBytes(bytes);
    EXPECT_FALSE(pic.CanShow());
    EXPECT_FALSE(pic.Problem().isEmpty());
    TGImage img;
    img.BeginLoading();
    ASSERT_TRUE(img.SetProperty("Picture.Data", pic.PictureData()));
    img.Loaded();
    EXPECT_EQ(img.Picture().Bytes(), bytes);
    EXPECT_EQ(img.Picture().ClassName(), "TMetafile");
    // Written back exactly as read.
    const TPropertyList props = img.StoredProperties();
    bool found = false;
    for (const TProperty& p : props)
        if (p.Name == "Picture.Data") {
            found = true;
            EXPECT_EQ(std::get<QByteArray>(p.Value), pic.PictureData());
        }
    EXPECT_TRUE(found);
    // The frame on screen is not empty: it carries the notice.
    const QImage out = Render(img);
    int dark = 0;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            dark += out.pixelColor(x, y).lightness() < 128;
    EXPECT_GT(dark, 20);
}

TEST(Pictures, DamagedPictureDataIsRefused) {
    TDesignPicture out;
    QByteArray bad;
    bad.append(char(7)).append("TBitmap").append("\xFF\xFF\xFF\x7F", 4);
    EXPECT_FALSE(TDesignPicture::FromPictureData(bad, out));
    QByteArray unknown;
    unknown.append(char(5)).append("TJunk").append("\0\0\0\0", 4);
    EXPECT_FALSE(TDesignPicture::FromPictureData(unknown, out));
    TGImage img;
    EXPECT_FALSE(img.SetProperty("Picture.Data", bad));
    EXPECT_TRUE(img.Picture().Empty());
}

TEST(Pictures, FailedLoadKeepsThePictureTheObjectHad) {
    QTemporaryDir dir;
    TGImage img;
    QImage src(8, 8, QImage::Format_RGB32);
    src.fill(Qt::blue);
    img.SetPicture(TDesignPicture::FromImage(src));
    const QByteArray before = img.Picture().Bytes();

    const QString junk = dir.filePath("junk.bmp");
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a bitmap at all");
    f.close();
    QString error;
    EXPECT_FALSE(img.LoadPictureFile(junk, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(img.LoadPictureFile(dir.filePath("missing.wmf"), &error));
    EXPECT_EQ(img.Picture().Bytes(), before);

    // PNG is converted to a Windows bitmap on load.
    const QString png = dir.filePath("dot.png");
    ASSERT_TRUE(src.save(png, "PNG"));
    ASSERT_TRUE(img.LoadPictureFile(png, &error)) << error.toStdString();
    EXPECT_EQ(img.Picture().ClassName(), "TBitmap");
    EXPECT_EQ(img.Picture().Bytes().left(2), "BM");
}

} // namespace

namespace {

QByteArray Emf(QRect frameHundredthsMm) {
    QByteArray out;
    auto put32 = [&](qint32 v) {
        char b[4];
        qToLittleEndian<qint32>(v, b);
        out.append(b, 4);
    };
    auto rect = [&](QRect r) {
        put32(r.left()), put32(r.top()), put32(r.right()), put32(r.bottom());
    };
    put32(1), put32(88);
    rect(QRect(QPoint(0, 0), QPoint(99, 49)));
    rect(frameHundredthsMm);
    put32(0x464D4520), put32(0x10000), put32(0), put32(4);
    put32(0), put32(0), put32(0), put32(0);          // handles, description, palette
    put32(1024), put32(768), put32(320), put32(240); // device and millimetres
    put32(39), put32(24), put32(1), put32(0), put32(0x00FF00), put32(0); // green brush
    put32(37), put32(12), put32(1);
    put32(43), put32(24);
    rect(QRect(QPoint(0, 0), QPoint(100, 50)));
    put32(14), put32(20), put32(0), put32(16), put32(20);
    return out;
}

TEST(Pictures, EnhancedMetafileRectangleIsDrawn) {
    // 100 by 50 design pixels is 2645.8 by 1322.9 hundredths of a millimetre.
    const QByteArray bytes = Emf(QRect(QPoint(0, 0), QPoint(2646, 1323)));
    const TDesignPicture pic = TDesignPicture::FromMetafileBytes(bytes);
    ASSERT_TRUE(pic.CanShow()) << pic.Problem().toStdString();
    EXPECT_EQ(pic.Width(), 100);
    EXPECT_EQ(pic.Height(), 50);
    TGImage img;
    img.SetBounds(0, 0, 60, 30);
    img.SetPicture(pic);
    EXPECT_EQ(Render(img).pixelColor(30, 15), QColor(Qt::green));
    const TDesignPicture notEmf = TDesignPicture::FromMetafileBytes("GIF89a......");
    EXPECT_FALSE(notEmf.CanShow());
    EXPECT_EQ(notEmf.Bytes(), QByteArray("GIF89a......"));
}

} // namespace

namespace {

TEST(Pictures, TruncatedMetafilesNeverCrashAndKeepTheirBytes) {
    TWmf w;
    w.Record(0x02FA, {0, 3, 0, 0x00FF, 0})
        .Record(0x012D, {0})
        .Record(0x0324, {3, 0, 0, 50, 0, 25, 40})
        .Record(0x0538, {2, 3, 3, 0, 0, 10, 0, 5, 9, 20, 20, 30, 20, 25, 29})
        .Record(0x02FB, {-12, 0, 0, 0, 700, 1, 0, 0, 0, 0, 0, 0})
        .Record(0x0521, {2, 0x4241, 5, 5});
    const QByteArray full = w.Bytes();
    ASSERT_TRUE(TDesignPicture::FromMetafileBytes(full).CanShow());
    for (int n = 0; n < full.size(); n += 3) {
        const TDesignPicture p = TDesignPicture::FromMetafileBytes(full.left(n));
        EXPECT_EQ(p.Bytes(), full.left(n));
        if (!p.CanShow()) {
            EXPECT_FALSE(p.Problem().isEmpty()) << n;
        }
    }
}

} // namespace
