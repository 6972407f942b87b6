// Tab stops (placement, justification, shading, box lines) and pens in inches.
#include "print/page_renderer.h"
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/shading.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace qp::print;

namespace {

class Tabs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Setup.SelectPrinterByName(TPrinterSetup::kPdfPrinterName));
        Setup.SetPaperCode(kPaperLetter);
    }
    // Runs body in a one-page job and returns its drawing calls.
    std::vector<TDrawCommand> Run(const std::function<void(TBaseReport&)>& body) {
        TReportFiler job(&Setup);
        job.MarginLeft = 1.0;
        job.OnPrint = [&](TBaseReport& r) {
            r.SetFont("Arial", 10);
            body(r);
        };
        EXPECT_TRUE(job.Execute());
        return job.Job().Pages.at(0).Commands;
    }
    static std::vector<TDrawCommand> Only(const std::vector<TDrawCommand>& all, TDrawKind kind) {
        std::vector<TDrawCommand> out;
        for (const auto& c : all)
            if (c.Kind == kind)
                out.push_back(c);
        return out;
    }
    TPrinterSetup Setup;
};

} // namespace

TEST_F(Tabs, JustificationPlacesTextInTheCell) {
    double w = 0;
    const auto cmds = Only(Run([&](TBaseReport& r) {
                               w = r.TextWidth("abc");
                               r.ClearTabs();
                               r.SetTab(1.0, pjCenter, 2.0, 10);
                               r.SetTab(3.0, pjLeft, 2.0, 10);
                               r.SetTab(5.0, pjRight, 2.0, 10);
                               r.GotoXY(0, 2);
                               r.Print("\tabc\tabc\tabc");
                               EXPECT_DOUBLE_EQ(r.XPos(), 7.0); // the end of the last cell
                           }),
                           dkText);
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_NEAR(cmds[0].P1.x(), 2.0 - w / 2, 1e-9);
    EXPECT_NEAR(cmds[1].P1.x(), 3.1, 1e-9);
    EXPECT_NEAR(cmds[2].P1.x(), 7.0 - 0.1 - w, 1e-9);
}

TEST_F(Tabs, SpreadTextFillsTheWidthLessBothMargins) {
    double last = 0, w1 = 0, w2 = 0;
    const auto cmds = Only(Run([&](TBaseReport& r) {
                               last = r.TextWidth("three");
                               w1 = r.TextWidth("one");
                               w2 = r.TextWidth("two");
                               r.ClearTabs();
                               r.SetTab(1.0, pjBlock, 4.0, 20);
                               r.GotoXY(0, 2);
                               r.Tab();
                               r.Print("one two three");
                           }),
                           dkText);
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(cmds[0].Text, "one");
    EXPECT_NEAR(cmds[0].P1.x(), 1.2, 1e-9);
    EXPECT_NEAR(cmds[2].P1.x() + last, 5.0 - 0.2, 1e-9);
    // Equal gaps between the words.
    EXPECT_NEAR(cmds[1].P1.x() - cmds[0].P1.x() - w1, cmds[2].P1.x() - cmds[1].P1.x() - w2, 1e-9);
}

TEST_F(Tabs, NegativePositionsFollowThePreviousStop) {
    Run([](TBaseReport& r) {
        r.ClearTabs();
        r.SetTab(-1, pjLeft, 1.75, 2);
        r.SetTab(-1, pjLeft, 2.15, 2);
        r.SetTab(-1, pjRight, 0, 5); // position only
        r.SetTab(4.0, pjLeft, 1.0, 2);
        r.SetTab(-1, pjLeft, 1.0, 2);
        ASSERT_EQ(r.TabCount(), 5);
        EXPECT_DOUBLE_EQ(r.TabStop(0).Position, 1.0); // the left margin
        EXPECT_DOUBLE_EQ(r.TabStop(1).Position, 2.75);
        EXPECT_DOUBLE_EQ(r.TabStop(2).Position, 4.9);
        EXPECT_DOUBLE_EQ(r.TabStop(2).Width, 0);
        EXPECT_EQ(r.TabStop(2).Margin, 0);
        EXPECT_DOUBLE_EQ(r.TabStop(4).Position, 5.0);
    });
}

TEST_F(Tabs, ZeroWidthStopAlignsOnItsPosition) {
    double w = 0;
    const auto cmds = Only(Run([&](TBaseReport& r) {
                               w = r.TextWidth("12");
                               r.ClearTabs();
                               r.SetTab(3.0, pjRight, 0, 10, blAll, 50);
                               r.GotoXY(0, 2);
                               r.Tab();
                               r.Print("12");
                           }),
                           dkText);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_NEAR(cmds[0].P1.x(), 3.0 - w, 1e-9);
}

TEST_F(Tabs, ShadeAndBoxLinesPaintTheCellUnderTheText) {
    double lh = 0;
    const auto cmds = Run([&](TBaseReport& r) {
        lh = r.LineHeight();
        r.SetBrush(Qt::black, bsClear);
        r.ClearTabs();
        r.SetTab(1.0, pjLeft, 2.0, 5, blTop | blBottom, 10);
        r.GotoXY(0, 2);
        r.Tab(5, blLeft); // this cell only
        r.Print("x");
        r.NewLine();
        r.Tab();
    });
    ASSERT_GE(cmds.size(), 6u);
    // First row: fill, left line, text.
    EXPECT_EQ(cmds[0].Kind, dkRect);
    EXPECT_EQ(cmds[0].Brush.Color, QColor(242, 242, 242));
    EXPECT_EQ(cmds[0].Pen.Style, psClear);
    EXPECT_NEAR(cmds[0].Rect.top(), 2.0 - lh, 1e-9);
    EXPECT_NEAR(cmds[0].Rect.bottom(), 2.0, 1e-9);
    EXPECT_NEAR(cmds[0].Rect.left(), 1.0, 1e-9);
    EXPECT_NEAR(cmds[0].Rect.right(), 3.0, 1e-9);
    EXPECT_EQ(cmds[1].Kind, dkLine);
    EXPECT_EQ(cmds[1].P1, QPointF(1.0, 2.0 - lh));
    EXPECT_EQ(cmds[1].P2, QPointF(1.0, 2.0));
    EXPECT_EQ(cmds[2].Kind, dkText);
    // Second row: the stop's own shade 10 and its top and bottom lines.
    EXPECT_EQ(cmds[3].Brush.Color, QColor(229, 229, 229));
    EXPECT_EQ(cmds[4].Kind, dkLine);
    EXPECT_NEAR(cmds[4].P1.y(), 2.0, 1e-9);
    EXPECT_NEAR(cmds[5].P1.y(), 2.0 + lh, 1e-9);
}

TEST_F(Tabs, SavedSetsComeBackAndOriginsShiftStops) {
    const auto cmds = Only(Run([](TBaseReport& r) {
                               r.ClearTabs();
                               r.SetTab(0.0, pjLeft, 0.625, 5);
                               r.SaveTabs();
                               r.ClearTabs();
                               r.SetTab(4.0, pjLeft, 1.0, 0);
                               r.RestoreTabs();
                               EXPECT_EQ(r.TabCount(), 1);
                               r.OriginX = 2.375;
                               r.Home();
                               r.Tab();
                               r.Print("k");
                               EXPECT_FALSE(r.Tab()); // no more stops on this line
                           }),
                           dkText);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_NEAR(cmds[0].P1.x(), 2.375 + 0.05, 1e-9);
}

TEST(Shading, FormulaOnTheBrushColour) {
    EXPECT_EQ(ShadedColor(Qt::black, 5), QColor(242, 242, 242));
    EXPECT_EQ(ShadedColor(Qt::black, 0), QColor(Qt::white));
    EXPECT_EQ(ShadedColor(QColor(10, 100, 200), 100), QColor(10, 100, 200));
    EXPECT_EQ(ShadedColor(QColor(10, 100, 200), 250), QColor(10, 100, 200));
    EXPECT_EQ(ShadedColor(QColor(0, 100, 200), 50), QColor(127, 177, 227));
}

TEST_F(Tabs, PenWidthsInPixelsOrHundredths) {
    Run([](TBaseReport& r) {
        ASSERT_DOUBLE_EQ(r.XDpi(), 600);
        r.SetPen(Qt::black, psSolid, -5);
        EXPECT_DOUBLE_EQ(r.Pen().WidthInches, 0.05);
        r.SetPenWidth(3);
        EXPECT_DOUBLE_EQ(r.Pen().WidthInches, 3 / 600.0);
        r.SetPenWidth(0); // never below one pixel
        EXPECT_DOUBLE_EQ(r.Pen().WidthInches, 1 / 600.0);
        r.SetPenWidth(-1);
        EXPECT_DOUBLE_EQ(r.Pen().WidthInches, 6 / 600.0);
    });
}

// The renderer at 100 dpi: a 0.05 inch pen is 5 pixels, shapes land in inches.
TEST(Renderer, PaintsInchesOntoAnyResolution) {
    TStoredJob job;
    TPrinterSetup setup;
    setup.SelectPrinterByName(TPrinterSetup::kPdfPrinterName);
    TReportFiler filer(&setup);
    filer.SetStream(&job);
    filer.OnPrint = [](TBaseReport& r) {
        r.SetPen(Qt::black, psSolid, -5);
        r.MoveTo(1.0, 2.0);
        r.LineTo(3.0, 2.0);
        r.SetBrush(Qt::red, bsSolid);
        r.SetPen(Qt::black, psClear, 1);
        r.Rectangle(4.0, 4.0, 5.0, 5.0);
    };
    ASSERT_TRUE(filer.Execute());
    QImage img(850, 1100, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        TDeviceMap map;
        map.XDpi = map.YDpi = 100;
        RenderPage(p, job.Pages[0], map);
    }
    double ink = 0; // pixels covered, antialiased edges counted by their share
    for (int y = 190; y < 210; ++y)
        ink += (255 - qGray(img.pixel(200, y))) / 255.0;
    EXPECT_NEAR(ink, 5.0, 0.1);
    EXPECT_EQ(img.pixelColor(450, 450), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(390, 450), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(510, 450), QColor(Qt::white));
}
