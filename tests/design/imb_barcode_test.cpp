// The Intelligent Mail barcode object: its stored properties, the record's
// routing code, refusals shown instead of bars, the serial counted up per
// piece and kept for the next job, and the bars on paper at their printed
// dimensions, read back from a 600-dpi render of the PDF.
#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/imb_barcode.h"
#include "design/layout_stream.h"
#include "design/object_registry.h"
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/report_printer.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qp::design;
using namespace qp::print;

namespace {

class ImbObject : public ::testing::Test {
protected:
    void SetUp() override {
        P.SetSize(400, 200);
        Src.Add("ZIP", "ZIP", "12345-6789");
        Src.Add("STREET", "Street", "123 MAIN ST");
        Src.Add("USER1", "User 1", "4711");
        P.SetDataSet(&Src);
        B = static_cast<TGIMbBarCode*>(P.InsertLoaded(CreateBuiltInObject("TGIMbBarCode")));
        NewImbBarCode(*B);
        B->BarcodeId = "00";
        B->ServiceType = "270";
        B->MailerId = "123456";
        B->SetProperty("SerialStart", 41);
        B->SetBounds(96, 48, B->Width(), B->Height());
    }
    // Prints `pieces` labels the way the label job does.
    std::vector<QString> PrintPieces(int pieces) {
        std::vector<QString> tracking;
        TPrinterSetup setup;
        EXPECT_TRUE(setup.SelectPrinterByName(TPrinterSetup::kPdfPrinterName));
        TReportFiler job(&setup);
        job.OnPrint = [&](TBaseReport& r) {
            P.Printing = true;
            for (int i = 0; i < pieces; ++i) {
                P.RefreshDataValues();
                tracking.push_back(B->Tracking().Value);
                P.PrintObjects(r, 0, i * 0.5);
                P.NextLabelAll();
            }
            P.Printing = false;
        };
        EXPECT_TRUE(job.Execute());
        return tracking;
    }
    TGLabelPanel P;
    TMapDataSource Src;
    TGIMbBarCode* B = nullptr;
};

} // namespace

TEST_F(ImbObject, CodesFromTheRecordAndTheReasonWhenThereAreNone) {
    P.RefreshDataValues();
    EXPECT_EQ(B->Tracking().Value, "00270123456000000041");
    EXPECT_EQ(B->RoutingCode().Value, "12345678923");
    EXPECT_EQ(B->Bars().Value, ImbBars("00270123456000000041", "12345678923").Value);
    B->Routing = imbRoute9Digit;
    EXPECT_EQ(B->RoutingCode().Value, "123456789");
    B->Routing = imbRoute5Digit;
    EXPECT_EQ(B->RoutingCode().Value, "12345");

    Src.Values["ZIP"] = "1234A";
    P.RefreshDataValues();
    EXPECT_FALSE(B->Bars().Ok());
    EXPECT_EQ(B->Bars().Refusal, "The ZIP code \"1234A\" holds \"A\"");
    Src.Values["ZIP"] = "12345";
    B->BarcodeId = "07";
    P.RefreshDataValues();
    EXPECT_EQ(B->Bars().Refusal, "The second digit of the barcode identifier must be 0 to 4");

    // A refused piece prints nothing and uses no serial number.
    TPrinterSetup setup;
    ASSERT_TRUE(setup.SelectPrinterByName(TPrinterSetup::kPdfPrinterName));
    TReportFiler job(&setup);
    job.OnPrint = [&](TBaseReport& r) { P.PrintObjects(r, 0, 0); };
    ASSERT_TRUE(job.Execute());
    for (const auto& c : job.Job().Pages.at(0).Commands)
        EXPECT_NE(c.Kind, dkRect);
    EXPECT_EQ(B->Serial(), 41);

    // The serial from a record field.
    B->BarcodeId = "00";
    B->SerialSource = issField;
    B->SerialField = "USER1";
    P.RefreshDataValues();
    EXPECT_EQ(B->Tracking().Value, "00270123456000004711");
    Src.Values["USER1"] = "12x";
    P.RefreshDataValues();
    EXPECT_FALSE(B->Bars().Ok());
}

TEST_F(ImbObject, StoredPropertiesRoundTripAndOnlyWhereTheKindIsKnown) {
    B->SerialSource = issField;
    B->SerialField = "USER2";
    B->Routing = imbRoute9Digit;
    B->HumanReadable = true;
    B->MailerId = "912345678";
    QTemporaryDir dir;
    const QString path = dir.filePath("BIN00001.L");
    ASSERT_TRUE(SaveLayoutFile(P, path));

    TGLabelPanel Q;
    ASSERT_TRUE(LoadLayoutFile(Q, path));
    ASSERT_EQ(Q.ObjectCount(), 1);
    auto* r = dynamic_cast<TGIMbBarCode*>(Q.Object(0));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->StoredProperties(), B->StoredProperties());
    EXPECT_EQ(r->ZipCodeField, "ZIP");
    EXPECT_EQ(r->AddressField, "STREET");
    EXPECT_EQ(r->MailerId, "912345678");
    EXPECT_EQ(r->SerialStart, 41);
    EXPECT_EQ(r->SerialSource, issField);
    EXPECT_EQ(r->Routing, imbRoute9Digit);
    EXPECT_TRUE(r->HumanReadable);
    EXPECT_TRUE(PanelKindClasses(pkEnvelope).contains("TGIMbBarCode"));
    EXPECT_FALSE(PanelKindClasses(pkReport).contains("TGIMbBarCode"));

    // A panel that does not know the kind refuses the file and keeps nothing.
    class TReportLike : public TGDataPanel {
        QStringList StreamClasses() const override { return PanelKindClasses(pkReport); }
    } report;
    QString error;
    EXPECT_FALSE(LoadLayoutFile(report, path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(report.ObjectCount(), 0);
}

TEST_F(ImbObject, SerialCountsUpPerPieceAndTheNextStartIsKept) {
    const auto first = PrintPieces(3);
    EXPECT_EQ(first, (std::vector<QString>{"00270123456000000041", "00270123456000000042",
                                           "00270123456000000043"}));
    ASSERT_TRUE(KeepImbSerials(P));
    EXPECT_EQ(B->SerialStart, 44);
    EXPECT_FALSE(KeepImbSerials(P)); // nothing printed since

    QTemporaryDir dir;
    const QString path = dir.filePath("BIN00002.L");
    ASSERT_TRUE(SaveLayoutFile(P, path));
    P.ClearObjects();
    ASSERT_TRUE(LoadLayoutFile(P, path));
    B = dynamic_cast<TGIMbBarCode*>(P.Object(0));
    ASSERT_NE(B, nullptr);
    EXPECT_EQ(PrintPieces(2).front(), "00270123456000000044");

    // A six-digit serial runs out with a reason instead of wrapping.
    B->MailerId = "912345678";
    B->SetProperty("SerialStart", 999999);
    const auto last = PrintPieces(2);
    EXPECT_EQ(last[0], "00270912345678999999");
    EXPECT_EQ(last[1], "");
    P.RefreshDataValues();
    EXPECT_EQ(B->Bars().Refusal, "The serial number 1000000 has more than 6 digits");
}

TEST(ImbBars, WithinTheUspsDimensionsAtCommonResolutions) {
    const QString bars = ImbBars("01234567094987654321", "01234567891").Value;
    for (double dpi : {203.0, 300.0, 600.0, 1200.0}) {
        const auto rects = ImbBarRects(bars, 1.0 + 1 / 96.0, 0.5, TDeviceGrid{dpi, dpi, 0, 0});
        ASSERT_EQ(rects.size(), 65u);
        const double perInch = 64 / (rects[64].left() - rects[0].left());
        EXPECT_GE(perInch, 20);
        EXPECT_LE(perInch, 24);
        double full = 0, tracker = 10;
        for (const QRectF& r : rects) {
            EXPECT_GE(r.width(), 0.015);
            EXPECT_LE(r.width(), 0.025 + 1e-9);
            EXPECT_NEAR(r.width() * dpi, std::round(r.width() * dpi), 1e-6);
            full = std::max(full, r.height());
            tracker = std::min(tracker, r.height());
        }
        EXPECT_GE(full, 0.125);
        EXPECT_LE(full, 0.165);
        EXPECT_GE(tracker, 0.039);
        EXPECT_LE(tracker, 0.057);
    }
}

TEST_F(ImbObject, PdfOnAnEnvelopeReadsBackAsTheSameBars) {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        GTEST_SKIP() << "poppler-utils not installed";
    TPrinterSetup setup;
    ASSERT_TRUE(setup.SelectPrinterByName(TPrinterSetup::kPdfPrinterName));
    ASSERT_TRUE(setup.SetUserPaper(9.5, 4.125));
    QTemporaryDir dir;
    const QString pdf = dir.filePath("envelope.pdf");
    setup.SetOutputFileName(pdf);
    TReportPrinter job(&setup);
    QString expected;
    job.OnPrint = [&](TBaseReport& r) {
        P.Printing = true;
        P.RefreshDataValues();
        expected = B->Bars().Value;
        P.PrintObjects(r, 3.0, 3.0);
        P.Printing = false;
    };
    ASSERT_TRUE(job.Execute()) << job.LastError().toStdString();
    ASSERT_EQ(expected.size(), 65);
    QProcess pp;
    pp.start("pdftoppm", {"-r", "600", "-gray", "-aa", "no", "-aaVector", "no", "-png", pdf,
                          dir.filePath("p")});
    ASSERT_TRUE(pp.waitForFinished(60000));
    QImage img(dir.filePath("p-1.png"));
    ASSERT_FALSE(img.isNull());
    img = img.convertToFormat(QImage::Format_Grayscale8);

    // Each dark column run is a bar; its top and bottom tell its state.
    struct Bar {
        int left, right, top, bottom;
    };
    std::vector<Bar> found;
    auto columnExtent = [&](int x, int& top, int& bottom) {
        top = -1;
        for (int y = 0; y < img.height(); ++y)
            if (img.constScanLine(y)[x] < 128) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
        return top >= 0;
    };
    for (int x = 0; x < img.width(); ++x) {
        int top = -1, bottom = 0;
        if (!columnExtent(x, top, bottom))
            continue;
        if (!found.empty() && found.back().right == x - 1) {
            Bar& b = found.back();
            b.right = x;
            b.top = std::min(b.top, top);
            b.bottom = std::max(b.bottom, bottom);
        } else {
            found.push_back({x, x, top, bottom});
        }
    }
    ASSERT_EQ(found.size(), 65u);
    int minTop = img.height(), maxBottom = 0;
    for (const Bar& b : found) {
        minTop = std::min(minTop, b.top);
        maxBottom = std::max(maxBottom, b.bottom);
    }
    QString read;
    for (const Bar& b : found) {
        const bool up = b.top == minTop, down = b.bottom == maxBottom;
        read += up && down ? 'F' : up ? 'A' : down ? 'D' : 'T';
        const double width = (b.right - b.left + 1) / 600.0;
        EXPECT_GE(width, 0.015);
        EXPECT_LE(width, 0.025);
        if (!up && !down) {
            const double tracker = (b.bottom - b.top + 1) / 600.0;
            EXPECT_GE(tracker, 0.039);
            EXPECT_LE(tracker, 0.057);
        }
    }
    EXPECT_EQ(read, expected);
    const double full = (maxBottom - minTop + 1) / 600.0;
    EXPECT_GE(full, 0.125);
    EXPECT_LE(full, 0.165);
    const double perInch = 64 / ((found[64].left - found[0].left) / 600.0);
    EXPECT_GE(perInch, 20);
    EXPECT_LE(perInch, 24);
    // Where the object says: 3 in + 96 design pixels across, 3 in + 48 down.
    EXPECT_NEAR(found[0].left / 600.0, 4.0, 2.0 / 600);
    EXPECT_NEAR(minTop / 600.0, 3.5, 2.0 / 600);
}

TEST_F(ImbObject, HumanReadableLineOnlyWhenAskedFor) {
    auto texts = [&] {
        TPrinterSetup setup;
        EXPECT_TRUE(setup.SelectPrinterByName(TPrinterSetup::kPdfPrinterName));
        TReportFiler job(&setup);
        job.OnPrint = [&](TBaseReport& r) {
            P.Printing = true;
            P.RefreshDataValues();
            P.PrintObjects(r, 0, 0);
            P.Printing = false;
        };
        EXPECT_TRUE(job.Execute());
        QStringList out;
        for (const auto& c : job.Job().Pages.at(0).Commands)
            if (c.Kind == dkText || c.Kind == dkTextClipped)
                out << c.Text;
        return out;
    };
    EXPECT_TRUE(texts().isEmpty());
    B->HumanReadable = true;
    B->SetProperty("SerialStart", 41);
    EXPECT_EQ(texts(), QStringList{"00270123456000000041 12345678923"});
}
