// Objects printed through the engine at an origin in inches: the recorded
// drawing calls, and a PDF read back with poppler.
#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/shapes.h"
#include "design/text_labels.h"
#include "pdf_probe.h"
#include "print/paper_codes.h"
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/report_printer.h"

#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qp::design;
using namespace qp::print;

namespace {

class Printing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Setup.SelectPrinterByName(TPrinterSetup::kPdfPrinterName));
        ASSERT_TRUE(Setup.SetPaperCode(kPaperLetter));
        Setup.SetOrientation(poPortrait);
        P.SetSize(384, 192);
    }
    // Runs one page with the panel printed at (x, y) inches.
    std::vector<TDrawCommand> Record(double x, double y) {
        TReportFiler job(&Setup);
        job.OnPrint = [&](TBaseReport& r) {
            P.Printing = true;
            P.RefreshDataValues();
            P.PrintObjects(r, x, y);
            P.NextLabelAll();
            P.Printing = false;
        };
        EXPECT_TRUE(job.Execute());
        EXPECT_EQ(job.Job().PageCount(), 1);
        return job.Job().Pages.empty() ? std::vector<TDrawCommand>{} : job.Job().Pages[0].Commands;
    }
    template <typename T> T* Add(int l, int t, int w, int h) {
        return static_cast<T*>(
            P.AddObject(std::make_unique<T>(), QRect(QPoint(l, t), QPoint(l + w, t + h))));
    }
    // Copies, so that a temporary page may be filtered.
    static std::vector<std::shared_ptr<TDrawCommand>> OfKind(const std::vector<TDrawCommand>& cs,
                                                             TDrawKind k) {
        std::vector<std::shared_ptr<TDrawCommand>> out;
        for (const auto& c : cs)
            if (c.Kind == k)
                out.push_back(std::make_shared<TDrawCommand>(c));
        return out;
    }
    TPrinterSetup Setup;
    TGLabelPanel P;
};

TEST_F(Printing, ShapesBoxesAreOriginPlusPixelsOverNinetySix) {
    auto* s = Add<TGLabelShapes>(48, 96, 96, 48);
    TDesignPen pen;
    pen.Width = 3;
    s->SetPen(pen);
    auto* e = Add<TGLabelShapes>(0, 0, 96, 96);
    e->SetShape(stEllipse);
    auto* rr = Add<TGLabelShapes>(0, 0, 192, 96);
    rr->SetShape(stRoundRect);
    const auto cmds = Record(1.0, 2.0);
    const auto rects = OfKind(cmds, dkRect);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_NEAR(rects[0]->Rect.left(), 1.5, 1e-9);
    EXPECT_NEAR(rects[0]->Rect.top(), 3.0, 1e-9);
    EXPECT_NEAR(rects[0]->Rect.right(), 2.5, 1e-9);
    EXPECT_NEAR(rects[0]->Rect.bottom(), 3.5, 1e-9);
    // 3 design pixels = Trunc(3.125) hundredths of an inch.
    EXPECT_NEAR(rects[0]->Pen.WidthInches, 0.03, 0.002);
    const auto ellipses = OfKind(cmds, dkEllipse);
    ASSERT_EQ(ellipses.size(), 1u);
    EXPECT_NEAR(ellipses[0]->Rect.width(), 1.0, 1e-9);
    const auto rounds = OfKind(cmds, dkRoundRect);
    ASSERT_EQ(rounds.size(), 1u);
    EXPECT_NEAR(rounds[0]->P2.x(), 0.25 * 2.0, 1e-9); // percent of the box's width
}

TEST_F(Printing, LinesUseTheirPenWidthAsHundredths) {
    auto* l = Add<TGLineShape>(96, 48, 192, 20);
    TDesignPen pen;
    pen.Width = 4;
    l->SetPen(pen);
    auto* up = Add<TGLineShape>(0, 0, 96, 48);
    up->SetLineStyle(stAngleSlopingUp);
    const auto lines = OfKind(Record(0.5, 0.5), dkLine);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NEAR(lines[0]->P1.x(), 1.5, 1e-9);
    EXPECT_NEAR(lines[0]->P1.y(), 0.5 + 50.0 / 96, 1e-9); // Top + width div 2
    EXPECT_NEAR(lines[0]->P2.x(), 3.5, 1e-9);
    EXPECT_NEAR(lines[0]->Pen.WidthInches, 0.04, 0.002);
    EXPECT_NEAR(lines[1]->P1.y(), 1.0, 1e-9); // from bottom-left
    EXPECT_NEAR(lines[1]->P2.y(), 0.5, 1e-9);
}

TEST_F(Printing, TextWithoutDepthsPrintsOnceAndWithDepthsThrice) {
    auto* plain = Add<TGPLabel>(96, 96, 142, 33);
    plain->SetCaption("Plain");
    auto cmds = OfKind(Record(0.25, 0.25), dkTextClipped);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0]->Text, "Plain");
    EXPECT_NEAR(cmds[0]->P1.x(), 1.25, 1e-9);
    EXPECT_NEAR(cmds[0]->P1.y(), 1.25, 1e-9);
    plain->SetDepthShadow(3);
    plain->SetDepthHighlight(2);
    cmds = OfKind(Record(0.25, 0.25), dkTextClipped);
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_NEAR(cmds[0]->P1.x() - cmds[2]->P1.x(), 3.0 / 96, 1e-9); // shadow first
    EXPECT_NEAR(cmds[1]->P1.x() - cmds[2]->P1.x(), -2.0 / 96, 1e-9);
    EXPECT_EQ(cmds[0]->Font.Color, ToQColor(clGray));
}

TEST_F(Printing, OpaqueTextFillsItsBoxAndRotatedTextCarriesItsAngle) {
    auto* l = Add<TGPLabel>(0, 0, 142, 33);
    l->SetTransparent(false);
    l->SetBackColor(TColor{0x00FFFF});
    l->SetAngle(90);
    const auto cmds = Record(0, 0);
    const auto rects = OfKind(cmds, dkRect);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0]->Brush.Style, bsSolid);
    EXPECT_EQ(rects[0]->Pen.Style, psClear);
    const auto texts = OfKind(cmds, dkTextClipped);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->Font.Rotation, 90);
}

TEST_F(Printing, DataFieldsCountersAndPageNumbersTakeTheirValuesPerRecord) {
    TMapDataSource ds;
    ds.Add("LNAME", "Last Name", "Smith");
    P.SetDataSet(&ds);
    auto* f = Add<TGPDLabel>(0, 0, 142, 33);
    f->DataFieldDescript = "Last Name";
    auto* missing = Add<TGPDLabel>(0, 40, 142, 33);
    missing->DataFieldDescript = "Gone";
    auto* c = Add<TGCounterLabel>(0, 80, 142, 33);
    c->SetStartingnumber(7);
    Add<TGPageNumberLabel>(0, 120, 142, 33);
    auto texts = OfKind(Record(0, 0), dkTextClipped);
    QStringList seen;
    for (const auto& t : texts)
        seen << t->Text;
    EXPECT_EQ(seen, QStringList({"Smith", "7", "1"}));
    texts = OfKind(Record(0, 0), dkTextClipped);
    EXPECT_EQ(texts[1]->Text, "8"); // NextLabelAll after each record
}

TEST_F(Printing, MultiLineTextPrintsOnlyTheLinesThatFit) {
    auto* m = Add<TGMultiLineLabel>(0, 0, 190, 10);
    QStringList ten;
    for (int i = 0; i < 10; ++i)
        ten << QString("Line %1").arg(i);
    m->SetItems(ten);
    const int lh = m->LineHeight();
    m->SetHeight(3 * lh + lh / 2); // three and a half lines
    const auto texts = OfKind(Record(1, 1), dkTextClipped);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[3]->Text, "Line 3");
    // The fourth is clipped at the object's bottom edge.
    EXPECT_NEAR(texts[3]->Rect.bottom(), 1 + m->Height() / 96.0, 2.0 / Setup.YDpi());
}

TEST_F(Printing, ImagesWithoutAPicturePrintNothing) {
    auto* img = Add<TGImage>(0, 0, 105, 105);
    EXPECT_TRUE(Record(0, 0).empty());
    QImage bmp(10, 10, QImage::Format_RGB32);
    bmp.fill(Qt::blue);
    img->SetPicture(TDesignPicture::FromImage(bmp));
    auto images = OfKind(Record(2, 3), dkImage);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_NEAR(images[0]->Rect.left(), 2.0, 1e-9);
    EXPECT_NEAR(images[0]->Rect.width(), 105.0 / 96, 1e-9);
    img->SetStretch(false); // its own size, as the screen shows it
    images = OfKind(Record(2, 3), dkImage);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_NEAR(images[0]->Rect.width(), 10.0 / 96, 1e-9);
}

TEST_F(Printing, PdfShowsTextAtItsInches) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath("label.pdf");
    Setup.SetOutputFileName(pdf);
    auto* l = Add<TGPLabel>(96, 48, 200, 33);
    l->SetCaption("Quillpost");
    auto* r = Add<TGPLabel>(0, 120, 300, 33);
    r->SetCaption("Right");
    r->SetAlignment(taRightJustify);
    TReportPrinter job(&Setup);
    job.OnPrint = [&](TBaseReport& rep) { P.PrintObjects(rep, 1.0, 2.0); };
    ASSERT_TRUE(job.Execute()) << job.LastError().toStdString();
    const auto words = PdfWords(pdf);
    const TPdfWord* w = FindWord(words, "Quillpost");
    ASSERT_NE(w, nullptr);
    EXPECT_NEAR(w->XMin, 1.0 + 96.0 / 96, 0.03);
    EXPECT_NEAR(w->YMin, 2.0 + 48.0 / 96, 0.05);
    const TPdfWord* right = FindWord(words, "Right");
    ASSERT_NE(right, nullptr);
    // Right-aligned: ends one space short of the object's right edge.
    EXPECT_NEAR(right->XMax, 1.0 + 300.0 / 96, 0.15);
    EXPECT_LT(right->XMax, 1.0 + 300.0 / 96);
}

} // namespace

namespace {

// The same panel painted onto a high-resolution image shows its objects at
// the same places in inches as on screen.
TEST(Painting, AnyPainterGetsTheSameLayoutAtItsOwnScale) {
    TGLabelPanel p;
    p.SetSize(192, 96);
    auto* s = static_cast<TGLabelShapes*>(
        p.AddObject(std::make_unique<TGLabelShapes>(), QRect(QPoint(48, 24), QPoint(96, 72))));
    TDesignBrush b;
    b.Color = TColor{0x0000FF};
    s->SetBrush(b);
    p.AddToSelection(s);
    QImage screen(192, 96, QImage::Format_RGB32);
    {
        QPainter painter(&screen);
        p.Paint(painter);
    }
    QImage fine(192 * 3, 96 * 3, QImage::Format_RGB32); // 288 per inch
    {
        QPainter painter(&fine);
        painter.scale(3, 3);
        p.Paint(painter, false);
    }
    EXPECT_EQ(screen.pixelColor(70, 50), QColor(Qt::red));
    EXPECT_EQ(fine.pixelColor(70 * 3, 50 * 3), QColor(Qt::red));
    EXPECT_EQ(fine.pixelColor(40 * 3, 20 * 3), QColor(Qt::white));
    // Selection squares only with the design marks.
    EXPECT_EQ(screen.pixelColor(47, 23), QColor(Qt::black));
    EXPECT_EQ(fine.pixelColor(47 * 3 + 1, 23 * 3 + 1), QColor(Qt::white));
}

} // namespace
