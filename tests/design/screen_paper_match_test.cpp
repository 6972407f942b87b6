// The design surface and the printed PDF put every object at the same
// inches: one layout of every drawn kind painted onto an image through the
// screen's drawing and printed to a PDF rasterised by poppler, both at 192
// dots per inch, compared object by object.
#include "design/address_label.h"
#include "design/barcodes.h"
#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/imb_barcode.h"
#include "design/shapes.h"
#include "design/text_labels.h"
#include "print/paper_codes.h"
#include "print/printer_setup.h"
#include "print/report_printer.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qp::design;
using namespace qp::print;

namespace {

constexpr int kDpi = 192;         // both pictures
constexpr int kScale = kDpi / 96; // image pixels per design pixel
constexpr double kOrigin = 1.0;   // inches from the sheet's corner on paper
// Antialiasing and the rasterisers' own glyph shapes move an edge by a
// pixel or two; a misplaced object moves it by more.
constexpr int kTolerance = 3;

// Bounding box of the dark pixels inside `area`; empty when none.
QRect DarkBox(const QImage& img, const QRect& area) {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    const QRect a = area.intersected(img.rect());
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x)
            if (qGray(img.pixel(x, y)) < 160) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

class ScreenAndPaper : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(Setup.SelectPrinterByName(TPrinterSetup::kPdfPrinterName));
        ASSERT_TRUE(Setup.SetPaperCode(kPaperLetter));
        Setup.SetOrientation(poPortrait);
        P.SetSize(576, 384); // 6 by 4 inches
        Data.Add("LNAME", "Last Name", "Whitfield");
        Data.Add("FNAME", "First Name", "Ada");
        Data.Add("STREET", "Street", "12 Elm St");
        Data.Add("CITY", "City", "Springfield");
        Data.Add("STATE", "State", "IL");
        Data.Add("ZIP", "Zip", "62704-1234");
        P.SetDataSet(&Data);
        Build();
    }

    template <typename T> T* Add(int l, int t, int w, int h) {
        auto* o = static_cast<T*>(
            P.AddObject(std::make_unique<T>(), QRect(QPoint(l, t), QPoint(l + w, t + h))));
        Objects.push_back(o);
        return o;
    }

    // Every kind that draws, well apart from each other.
    void Build() {
        Add<TGPLabel>(10, 10, 142, 33)->SetCaption("Quillpost");
        auto* shadowed = Add<TGPLabel>(170, 10, 142, 33);
        shadowed->SetCaption("Shadow");
        shadowed->SetDepthShadow(3);
        shadowed->SetcolorShadow(clBlack);
        auto* field = Add<TGPDLabel>(330, 10, 142, 33);
        field->DataFieldName = "LNAME";
        field->DataFieldDescript = "Last Name";
        Add<TGCounterLabel>(10, 60, 142, 33)->SetStartingnumber(42);
        auto* turned = Add<TGPLabel>(500, 10, 40, 110);
        turned->SetCaption("Turned");
        turned->SetAngle(90);
        auto* multi = Add<TGMultiLineLabel>(170, 60, 150, 40);
        multi->SetItems({"Two lines", "centred"});
        multi->SetAlignment(taCenter);
        auto* address = Add<TGDMultiLineAddressLabel>(10, 110, 200, 70);
        address->Layout.UseCountry = false;
        Add<TGSymbolLabel>(340, 60, 40, 40);
        Add<TGLabelShapes>(230, 120, 60, 40);
        Add<TGLabelShapes>(310, 120, 60, 40)->SetShape(stEllipse);
        Add<TGLabelShapes>(390, 130, 60, 40)->SetShape(stRoundRect);
        auto* line = Add<TGLineShape>(230, 180, 120, 6);
        TDesignPen thick;
        thick.Width = 3;
        line->SetPen(thick);
        auto* image = Add<TGImage>(380, 190, 40, 30);
        QImage bmp(8, 6, QImage::Format_RGB32);
        bmp.fill(Qt::darkBlue);
        image->SetPicture(TDesignPicture::FromImage(bmp));
        auto* postnet = Add<TGPostNetBarCode>(10, 200, 270, 16);
        postnet->ZipCodeField = "ZIP";
        postnet->AddressField = "STREET";
        Add<TGFIMBarCode>(460, 230, 60, 54);
        auto* imb = Add<TGIMbBarCode>(10, 240, 300, 20);
        NewImbBarCode(*imb);
        imb->MailerId = "123456";
        imb->HumanReadable = true;
    }

    QImage Screen() {
        P.RefreshDataValues();
        QImage img(P.Width() * kScale, P.Height() * kScale, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        painter.scale(kScale, kScale);
        P.Paint(painter, false);
        return img;
    }

    QImage Paper() {
        const QString pdf = dir.filePath("layout.pdf");
        Setup.SetOutputFileName(pdf);
        TReportPrinter job(&Setup);
        job.OnPrint = [&](TBaseReport& r) {
            P.Printing = true;
            P.RefreshDataValues();
            P.PrintObjects(r, kOrigin, kOrigin);
            P.Printing = false;
        };
        EXPECT_TRUE(job.Execute()) << job.LastError().toStdString();
        const QString png = dir.filePath("page");
        QProcess raster;
        raster.start("pdftoppm", {"-r", QString::number(kDpi), "-singlefile", "-png", pdf, png});
        EXPECT_TRUE(raster.waitForFinished(60000));
        EXPECT_EQ(raster.exitCode(), 0) << raster.readAllStandardError().toStdString();
        const QImage page(png + ".png");
        return page.copy(int(kOrigin * kDpi), int(kOrigin * kDpi), P.Width() * kScale,
                         P.Height() * kScale);
    }

    QTemporaryDir dir;
    TPrinterSetup Setup;
    TMapDataSource Data;
    TGLabelPanel P;
    std::vector<TGGraphicControl*> Objects;
};

TEST_F(ScreenAndPaper, EveryObjectSitsAtTheSameInches) {
    const QImage screen = Screen();
    const QImage paper = Paper();
    ASSERT_FALSE(paper.isNull());
    if (const QString keep = qEnvironmentVariable("QP_KEEP_IMAGES"); !keep.isEmpty()) {
        screen.save(keep + "/screen.png");
        paper.save(keep + "/paper.png");
    }
    for (TGGraphicControl* o : Objects) {
        SCOPED_TRACE(o->ClassName().toStdString() + " at " + std::to_string(o->Left()) + "," +
                     std::to_string(o->Top()));
        const QRect area(o->Left() * kScale - 8, o->Top() * kScale - 8, o->Width() * kScale + 16,
                         o->Height() * kScale + 16);
        const QRect s = DarkBox(screen, area), p = DarkBox(paper, area);
        ASSERT_FALSE(s.isNull());
        ASSERT_FALSE(p.isNull());
        EXPECT_NEAR(s.left(), p.left(), kTolerance);
        EXPECT_NEAR(s.top(), p.top(), kTolerance);
        EXPECT_NEAR(s.right(), p.right(), kTolerance);
        EXPECT_NEAR(s.bottom(), p.bottom(), kTolerance);
    }
    // Overall, next to every dark pixel of one picture lies a dark pixel of
    // the other (within 2 pixels, for antialiasing and glyph shapes).
    auto unmatched = [](const QImage& a, const QImage& b, int& dark) {
        int alone = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                if (qGray(a.pixel(x, y)) >= 160)
                    continue;
                ++dark;
                bool near = false;
                for (int dy = -2; dy <= 2 && !near; ++dy)
                    for (int dx = -2; dx <= 2 && !near; ++dx)
                        near = b.valid(x + dx, y + dy) && qGray(b.pixel(x + dx, y + dy)) < 160;
                alone += !near;
            }
        return alone;
    };
    int dark = 0;
    const int alone = unmatched(screen, paper, dark) + unmatched(paper, screen, dark);
    ASSERT_GT(dark, 0);
    EXPECT_LT(double(alone) / dark, 0.02) << alone << " of " << dark;
}

} // namespace
