// Pictures from other users' layouts: counts and sizes that the bytes do not
// back end in a reason, at once and without allocating for them; every
// record kind of a well-formed picture is still drawn.
#include "design/picture.h"
#include "fuzz/picture_seeds.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace qp::design;
using namespace qp::fuzz;

namespace {

QByteArray EmfWith(const QByteArray& record) {
    QByteArray body = EmfRecord(43, Ints({1, 1, 5, 5})) + record + EmfRecord(14, Ints({0, 0, 20}));
    QByteArray header =
        Ints({0, 0, 300, 200, 0, 0, 7938, 5292, 0x464D4520, 0x10000, 88 + body.size(),
              3, 1, 0,   0,   0, 0, 1024, 768,  320,        240});
    return EmfRecord(1, header) + body;
}

QByteArray WmfWith(const QByteArray& record) {
    return WmfHeader(WmfRecord(0x020C, {200, 300}) + WmfRecord(0x041B, {5, 5, 1, 1}) + record +
                     WmfRecord(0, {}));
}

} // namespace

TEST(PictureBounds, EveryRecordKindOfTheSeedsIsDrawn) {
    for (const QByteArray& mf : {PlainWmf(), PlaceableWmf(), Emf()}) {
        const auto p = TDesignPicture::FromMetafileBytes(mf);
        ASSERT_TRUE(p.CanShow()) << p.Problem().toStdString();
        EXPECT_GT(p.Width(), 0);
        QImage img(300, 200, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        const QRect box = p.Drawing()->boundingRect();
        painter.scale(300.0 / box.width(), 200.0 / box.height());
        painter.drawPicture(0, 0, *p.Drawing());
        painter.end();
        int marked = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                marked += img.pixel(x, y) != qRgb(255, 255, 255);
        EXPECT_GT(marked, 1000);
    }
    for (const QByteArray& bmp : PictureSeeds()) {
        if (bmp.startsWith("BM")) {
            EXPECT_TRUE(TDesignPicture::FromBitmapBytes(bmp).CanShow()) << bmp.size();
        }
    }
    EXPECT_TRUE(TDesignPicture::FromIconBytes(Icon()).CanShow());
}

TEST(PictureBounds, PointCountsBeyondTheRecordAreRefusedAtOnce) {
    QElapsedTimer clock;
    clock.start();
    // A POLYGON claiming 0x7FFFFFFF points in a record of three.
    const auto polygon = TDesignPicture::FromMetafileBytes(
        EmfWith(EmfRecord(3, Ints({0, 0, 0, 0, 0x7FFFFFFF, 1, 2, 3, 4, 5, 6}))));
    EXPECT_TRUE(polygon.CanShow()); // the rectangle before it is still drawn
    for (int type : {3, 4, 86, 87})
        EXPECT_EQ(TDesignPicture::FromMetafileBytes(
                      EmfWith(EmfRecord(type, Ints({0, 0, 0, 0, 0xFFFFFFFF, 1, 2}))))
                      .Drawing()
                      ->size(),
                  polygon.Drawing()->size());
    // POLYPOLYGON16: a huge polygon count, then huge point counts.
    TDesignPicture::FromMetafileBytes(
        EmfWith(EmfRecord(91, Ints({0, 0, 0, 0, 0x7FFFFFFF, 0x7FFFFFFF, 3}))));
    TDesignPicture::FromMetafileBytes(
        EmfWith(EmfRecord(91, Ints({0, 0, 0, 0, 3, 9, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 1, 2}))));
    // EXTTEXTOUTW whose string lies outside its record.
    TDesignPicture::FromMetafileBytes(EmfWith(EmfRecord(
        84, Ints({0, 0, 0, 0, 1, 0, 0, 20, 150, 0x7FFFFFFF, 0x7FFFFFF0, 0, 0, 0, 0, 0, 0}))));
    // The same in a WMF: polygon, polyline, polypolygon, text.
    for (int fn : {0x0324, 0x0325})
        TDesignPicture::FromMetafileBytes(WmfWith(WmfRecord(fn, {0x7FFF, 1, 2})));
    TDesignPicture::FromMetafileBytes(WmfWith(WmfRecord(0x0538, {0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF})));
    TDesignPicture::FromMetafileBytes(WmfWith(WmfRecord(0x0521, {0x7FFF, 0x4141})));
    TDesignPicture::FromMetafileBytes(WmfWith(WmfRecord(0x0A32, {1, 1, 0x7FFF, 0})));
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST(PictureBounds, ObjectTablesStayCheapWithManyObjects) {
    // Tens of thousands of pens, none deleted: slots are found without a scan.
    QByteArray records;
    for (int i = 0; i < 60000; ++i)
        records += WmfRecord(0x02FA, {0, 1, 0, 0, 0});
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(TDesignPicture::FromMetafileBytes(WmfWith(records)).CanShow());
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST(PictureBounds, ABitmapHeaderMayNotClaimMoreThanItsBytes) {
    QByteArray big = Bitmap(24);
    qToLittleEndian<qint32>(30000, big.data() + 18); // width
    qToLittleEndian<qint32>(30000, big.data() + 22); // height
    const auto p = TDesignPicture::FromBitmapBytes(big);
    EXPECT_FALSE(p.CanShow());
    EXPECT_TRUE(p.Problem().startsWith("The picture data is damaged")) << p.Problem().toStdString();

    QByteArray wide = Bitmap(8);
    qToLittleEndian<qint32>(2000, wide.data() + 18); // rows longer than the pixels present
    EXPECT_FALSE(CheckBitmapBytes(wide).isEmpty());
    QByteArray palette = Bitmap(8);
    qToLittleEndian<quint32>(100000, palette.data() + 46); // colours used
    EXPECT_FALSE(CheckBitmapBytes(palette).isEmpty());
    QByteArray rle = Bitmap(8, 1);
    qToLittleEndian<qint32>(20000, rle.data() + 18);
    qToLittleEndian<qint32>(20000, rle.data() + 22);
    EXPECT_FALSE(CheckBitmapBytes(rle).isEmpty());
    QByteArray offset = Bitmap(24);
    qToLittleEndian<quint32>(0x7FFFFFF0, offset.data() + 10);
    EXPECT_FALSE(CheckBitmapBytes(offset).isEmpty());
    EXPECT_TRUE(CheckBitmapBytes(Bitmap(24)).isEmpty());

    QByteArray icon = Icon();
    qToLittleEndian<quint32>(0x7FFFFFF0, icon.data() + 6 + 8); // first image's size
    EXPECT_FALSE(TDesignPicture::FromIconBytes(icon).CanShow());
    QByteArray count = Icon();
    qToLittleEndian<quint16>(0xFFFF, count.data() + 4);
    EXPECT_FALSE(CheckIconBytes(count).isEmpty());
}

TEST(PictureBounds, HeaderSizesAreKeptToWhatAPanelCanHold) {
    QByteArray emf = Emf();
    qToLittleEndian<qint32>(0x7FFFFFFF, emf.data() + 32); // frame right
    const auto p = TDesignPicture::FromMetafileBytes(emf);
    ASSERT_TRUE(p.CanShow());
    EXPECT_LE(p.Width(), 32767);
}
