// POSTNET and FIM: digits, delivery point, bars against zint, and the bars
// on paper in whole device pixels.
#include "design/barcodes.h"
#include "design/base_panel.h"
#include "design/data_source.h"
#include "print/paper_codes.h"
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/report_printer.h"

#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qp::design;
using namespace qp::print;

namespace {

// zint's dump: row 1 marks the full bars, row 2 every bar, one module each
// followed by a gap module.
QString ZintPattern(const QString& symbology, const QString& data) {
    QProcess z;
    z.start("zint", {"-b", symbology, "-d", data, "--dump"});
    if (!z.waitForFinished(10000) || z.exitCode() != 0)
        return "error";
    const QStringList rows =
        QString::fromLatin1(z.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    auto bits = [](const QString& row) {
        QString out;
        for (const QString& h : row.split(' ', Qt::SkipEmptyParts)) {
            const int v = h.toInt(nullptr, 16);
            for (int i = h.size() * 4 - 1; i >= 0; --i)
                out += (v >> i) & 1 ? '1' : '0';
        }
        return out;
    };
    if (symbology == "FIM")
        return bits(rows.value(0)).left(17);
    const QString top = bits(rows.value(0)), all = bits(rows.value(1));
    QString out;
    for (int i = 0; i < all.size(); i += 2)
        if (all[i] == '1')
            out += top[i] == '1' ? 'F' : 'H';
    return out;
}

bool HaveZint() {
    return !QStandardPaths::findExecutable("zint").isEmpty();
}

} // namespace

TEST(PostNet, DigitsAndCheckDigit) {
    EXPECT_EQ(PostNetCode("12345", "", pnbc5Digit), "123455");
    EXPECT_EQ(PostNetBars("123455").size(), 32);
    EXPECT_EQ(PostNetCode("12345-6789", "", pnbc9Digit), "1234567895");
    EXPECT_EQ(PostNetBars("1234567895").size(), 52);
    EXPECT_EQ(PostNetCode("12345-6789", "123 MAIN ST", pnbc11Digit), "123456789230");
    EXPECT_EQ(PostNetBars("123456789230").size(), 62);
    // Only real code lengths.
    EXPECT_EQ(PostNetCode("12345", "123 MAIN ST", pnbc11Digit), "123455");
    EXPECT_EQ(PostNetCode("12345-67", "", pnbc9Digit), "123455");
    EXPECT_EQ(PostNetCode("12345-67", "1 A", pnbc11Digit), "123455");
    EXPECT_EQ(PostNetCode("12345-6789", "", pnbc5Digit), "123455");
    // No barcode.
    EXPECT_EQ(PostNetCode("1234", "", pnbc5Digit), "");
    EXPECT_EQ(PostNetCode("K1A 0B1", "", pnbc5Digit), "");
    EXPECT_EQ(PostNetCode("", "", pnbc11Digit), "");
    EXPECT_EQ(PostNetBars(""), "");
}

TEST(PostNet, DeliveryPointDigits) {
    EXPECT_EQ(DeliveryPointDigits("123 MAIN ST"), "23");
    EXPECT_EQ(DeliveryPointDigits("77 SUNSET BLVD APT 2B"), "02");
    EXPECT_EQ(DeliveryPointDigits("PSC 1234 BOX 56 APO"), "99");
    EXPECT_EQ(DeliveryPointDigits("unit 3 fpo ae"), "99");
    EXPECT_EQ(DeliveryPointDigits("12 NAPOLEON AVE"), "12");
    EXPECT_EQ(DeliveryPointDigits("MAIN STREET"), "99");
    EXPECT_EQ(DeliveryPointDigits(""), "99");
    EXPECT_EQ(DeliveryPointDigits("10 E 5TH ST"), "10");
    EXPECT_EQ(DeliveryPointDigits("100 1/2 ELM"), "00");
    EXPECT_EQ(DeliveryPointDigits("MAIN ST APT 4"), "04");
}

TEST(PostNet, BarsMatchZint) {
    if (!HaveZint())
        GTEST_SKIP() << "zint not installed";
    QRandomGenerator rng(42);
    for (int i = 0; i < 150; ++i) {
        const QString zip5 = QString::number(rng.bounded(100000)).rightJustified(5, '0');
        const QString plus4 = QString::number(rng.bounded(10000)).rightJustified(4, '0');
        const QString dp = QString::number(rng.bounded(100)).rightJustified(2, '0');
        const QString street = QString("%1 MAIN ST").arg(dp);
        for (int t = 0; t < 3; ++t) {
            const QString zip = t == 0 ? zip5 : zip5 + "-" + plus4;
            const QString code = PostNetCode(zip, street, TPostNetBarCodeType(t));
            const QString digits = t == 0 ? zip5 : t == 1 ? zip5 + plus4 : zip5 + plus4 + dp;
            ASSERT_EQ(code.left(code.size() - 1), digits);
            ASSERT_EQ(PostNetBars(code), ZintPattern("POSTNET", digits)) << digits.toStdString();
        }
    }
}

TEST(Fim, SlotsMatchZintAndTheBarCounts) {
    EXPECT_EQ(FimSlots(fimTypeA).count('1'), 5);
    EXPECT_EQ(FimSlots(fimTypeB).count('1'), 6);
    EXPECT_EQ(FimSlots(fimTypeC).count('1'), 6);
    if (!HaveZint())
        GTEST_SKIP() << "zint not installed";
    EXPECT_EQ(FimSlots(fimTypeA), ZintPattern("FIM", "A"));
    EXPECT_EQ(FimSlots(fimTypeB), ZintPattern("FIM", "B"));
    EXPECT_EQ(FimSlots(fimTypeC), ZintPattern("FIM", "C"));
}

TEST(PostNet, BarWidthsRoundUpToWholeDevicePixels) {
    for (double dpi : {300.0, 600.0, 203.0}) {
        TDeviceGrid g{dpi, dpi, 0, 0};
        const auto rects = PostNetBarRects("123455", 0.5 + 1 / 96.0, 0.25, g);
        ASSERT_EQ(rects.size(), 32u);
        const int dots = int(std::ceil(0.015 * dpi - 1e-6));
        for (const QRectF& r : rects) {
            EXPECT_NEAR(r.width() * dpi, dots, 1e-6);
            EXPECT_NEAR(r.left() * dpi, std::round(r.left() * dpi), 1e-6);
        }
        EXPECT_NEAR(rects[31].left() - rects[0].left(), 31 * 0.046, 1.0 / dpi);
        EXPECT_NEAR(rects[0].height(), std::ceil(0.125 * dpi - 1e-6) / dpi, 1e-9);
        // Half bars share the bottom.
        EXPECT_DOUBLE_EQ(rects[1].bottom(), rects[0].bottom());
        EXPECT_LT(rects[1].height(), rects[0].height());
    }
    TDeviceGrid g300{300, 300, 0, 0};
    EXPECT_NEAR(PostNetBarRects("123455", 0, 0, g300)[0].width() * 300, 5, 1e-9);
    const auto fim = FimBarRects(fimTypeB, 1, 1, g300);
    ASSERT_EQ(fim.size(), 6u);
    EXPECT_NEAR(fim[0].width() * 300, 10, 1e-9); // 9.375 dots round up
}

namespace {
class BarcodePrint : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Setup.SelectPrinterByName(TPrinterSetup::kPdfPrinterName));
        ASSERT_TRUE(Setup.SetPaperCode(kPaperLetter));
        Setup.SetOrientation(poPortrait);
        P.SetSize(400, 200);
        Src.Add("ZIP", "ZIP", "12345-6789");
        Src.Add("STREET", "Street", "123 MAIN ST");
        P.SetDataSet(&Src);
    }
    TPrinterSetup Setup;
    TGLabelPanel P;
    TMapDataSource Src;
};
} // namespace

TEST_F(BarcodePrint, RecordedBarsAndTheFimPen) {
    auto* b = static_cast<TGPostNetBarCode*>(P.InsertLoaded(std::make_unique<TGPostNetBarCode>()));
    b->ZipCodeField = "ZIP";
    b->AddressField = "STREET";
    b->SetBounds(48, 24, 270, 16);
    auto* f = static_cast<TGFIMBarCode*>(P.InsertLoaded(std::make_unique<TGFIMBarCode>()));
    f->SetBounds(0, 96, 60, 60);
    TReportFiler job(&Setup);
    job.OnPrint = [&](TBaseReport& r) {
        r.SetPen(Qt::red, psDash, 7);
        P.Printing = true;
        P.RefreshDataValues();
        P.PrintObjects(r, 1.0, 1.0);
        P.Printing = false;
    };
    ASSERT_TRUE(job.Execute());
    std::vector<TDrawCommand> rects;
    for (const auto& c : job.Job().Pages.at(0).Commands)
        if (c.Kind == dkRect)
            rects.push_back(c);
    ASSERT_EQ(rects.size(), 62u + 5u);
    EXPECT_NEAR(rects[0].Rect.left(), 1.5, 1.0 / 600);
    EXPECT_NEAR(rects[0].Rect.top(), 1.25, 1.0 / 600);
    EXPECT_NEAR(rects[0].Rect.width(), 9.0 / 600, 1e-9);
    EXPECT_EQ(rects[0].Brush.Color, QColor(Qt::black));
    EXPECT_NEAR(rects[62].Rect.left(), 1.0, 1e-9);
    EXPECT_NEAR(rects[62].Rect.height(), 0.5625, 1.0 / 600);
    // The bars carry their own pen: the job's red dashes never widen them.
    EXPECT_EQ(rects[62].Pen.Style, psClear);
    EXPECT_EQ(rects[62].Brush.Style, bsSolid);
}

TEST_F(BarcodePrint, PdfBarsAreNineDotsAt600Dpi) {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        GTEST_SKIP() << "poppler-utils not installed";
    auto* b = static_cast<TGPostNetBarCode*>(P.InsertLoaded(std::make_unique<TGPostNetBarCode>()));
    b->ZipCodeField = "ZIP";
    b->AddressField = "STREET";
    b->BarCodeType = pnbc5Digit;
    QTemporaryDir dir;
    const QString pdf = dir.filePath("bars.pdf");
    Setup.SetOutputFileName(pdf);
    TReportPrinter job(&Setup);
    job.OnPrint = [&](TBaseReport& r) {
        P.Printing = true;
        P.RefreshDataValues();
        P.PrintObjects(r, 1.0, 1.0);
        P.Printing = false;
    };
    ASSERT_TRUE(job.Execute()) << job.LastError().toStdString();
    QProcess pp;
    pp.start("pdftoppm", {"-r", "600", "-gray", "-aa", "no", "-aaVector", "no", "-x", "540", "-y",
                          "540", "-W", "1000", "-H", "120", "-png", pdf, dir.filePath("p")});
    ASSERT_TRUE(pp.waitForFinished(30000));
    QImage img(dir.filePath("p-1.png"));
    ASSERT_FALSE(img.isNull());
    // Scan a row through the full and half bars.
    const int y = 60 + 60; // 1.1 in from the top minus 0.9 in offset, in dots
    QList<int> widths;
    int run = 0;
    for (int x = 0; x < img.width(); ++x) {
        const bool dark = qGray(img.pixel(x, std::min(y, img.height() - 1))) < 128;
        if (dark)
            ++run;
        else if (run) {
            widths << run;
            run = 0;
        }
    }
    ASSERT_EQ(widths.size(), 32) << "bars found";
    for (int w : widths)
        EXPECT_EQ(w, 9);
}
