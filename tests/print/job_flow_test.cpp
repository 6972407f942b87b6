// Events, pages, status lines, positions and lines of a recorded job.
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/status_format.h"

#include <gtest/gtest.h>

using namespace qp::print;

namespace {

class JobFlow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Setup.SelectPrinterByName("pdf FILE on nowhere"));
        Setup.SetPaperCode(kPaperLetter);
        Setup.SetOrientation(poPortrait);
    }
    TPrinterSetup Setup;
};

const TDrawCommand& OnlyText(const TPageRecord& page) {
    for (const TDrawCommand& c : page.Commands)
        if (c.Kind == dkText)
            return c;
    static TDrawCommand none;
    ADD_FAILURE() << "no text";
    return none;
}

} // namespace

TEST_F(JobFlow, EventsRunInOrderAndEveryPageStartsWithItsStatus) {
    TReportFiler job(&Setup);
    std::vector<std::string> log;
    job.OnBeforePrint = [&](TBaseReport& r) {
        log.push_back("before");
        r.StatusFormat = "Printing Page %p\r%0\r%1";
        r.StatusText = {"", ""};
    };
    job.OnPrint = [&](TBaseReport& r) {
        log.push_back("print " + std::to_string(r.CurrentPage()));
        r.NewPage();
        r.NewPage();
        log.push_back("print end " + std::to_string(r.CurrentPage()));
    };
    job.OnNewPage = [&](TBaseReport& r) {
        log.push_back("newpage " + std::to_string(r.CurrentPage()));
    };
    job.OnAfterPrint = [&](TBaseReport&) { log.push_back("after"); };
    job.OnStatus = [&](const QString& s) { log.push_back("status " + s.toStdString()); };
    ASSERT_TRUE(job.Execute());
    const std::vector<std::string> expected = {
        "before",    "status Printing Page 1\r\r", "print 1",   "status Printing Page 2\r\r",
        "newpage 2", "status Printing Page 3\r\r", "newpage 3", "print end 3",
        "after"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(job.Job().PageCount(), 3);
    EXPECT_FALSE(job.Printing());
}

TEST_F(JobFlow, PageRangeAndAbort) {
    TReportFiler job(&Setup);
    job.FirstPage = 2;
    job.LastPage = 3;
    job.OnPrint = [](TBaseReport& r) {
        for (int i = 0; i < 4; ++i)
            r.NewPage();
    };
    ASSERT_TRUE(job.Execute());
    EXPECT_EQ(job.Job().PageCount(), 2);

    TReportFiler stopped(&Setup);
    bool after = false;
    stopped.OnPrint = [](TBaseReport& r) {
        r.NewPage();
        r.Abort();
        r.NewPage(); // ignored once aborted
        EXPECT_EQ(r.CurrentPage(), 2);
    };
    stopped.OnAfterPrint = [&](TBaseReport& r) { after = r.Aborted(); };
    EXPECT_FALSE(stopped.Execute());
    EXPECT_TRUE(after);
    EXPECT_EQ(stopped.Job().PageCount(), 1);
}

TEST(StatusFormat, Codes) {
    EXPECT_EQ(FormatStatus("Printing Page %p\r%0\r%1", 3, {"", ""}), "Printing Page 3\r\r");
    EXPECT_EQ(FormatStatus("Printing Page %p\r%0\r%1", 3, {}), "Printing Page 3\r\r");
    EXPECT_EQ(FormatStatus("%P of %p: %0/%2 100%% %x", 12, {"a", "b", "c"}),
              "12 of 12: a/c 100% %x");
    EXPECT_EQ(FormatStatus("\rPreview Stopped at page %p!", 2, {}), "\rPreview Stopped at page 2!");
    EXPECT_EQ(FormatStatus("trailing %", 1, {}), "trailing %");
}

TEST_F(JobFlow, HomeNewLineAndLinesLeft) {
    TReportFiler job(&Setup);
    job.LineHeightMethod = lhmLinesPerInch;
    job.LinesPerInch = 4; // 0.25 inch lines
    job.OnPrint = [](TBaseReport& r) {
        r.SetSection(1.0, 7.0, 2.0, 3.1);
        r.Home();
        EXPECT_DOUBLE_EQ(r.XPos(), 1.0);
        EXPECT_DOUBLE_EQ(r.YPos(), 2.25); // first line fills the section's top 0.25
        EXPECT_EQ(r.LineNum(), 1);
        EXPECT_EQ(r.LinesLeft(), 4);
        for (int expected : {3, 2, 1, 0}) {
            r.Print("x");
            r.NewLine();
            EXPECT_EQ(r.LinesLeft(), expected);
        }
        EXPECT_EQ(r.LineNum(), 5);
        EXPECT_DOUBLE_EQ(r.XPos(), 1.0);
        // Go to y, new line: the line between y and y + h is the current one.
        r.GotoXY(1.0, 2.5);
        r.NewLine();
        EXPECT_EQ(r.LinesLeft(), 2);
    };
    ASSERT_TRUE(job.Execute());
}

TEST_F(JobFlow, SectionStartsAtTheMarginsOfTheWholeSheet) {
    TReportFiler job(&Setup);
    job.MarginLeft = 1.0;
    job.OnPrint = [](TBaseReport& r) {
        EXPECT_DOUBLE_EQ(r.SectionLeft, 1.0);
        EXPECT_DOUBLE_EQ(r.SectionRight, 8.0);
        EXPECT_DOUBLE_EQ(r.SectionTop, 0.5);
        EXPECT_DOUBLE_EQ(r.SectionBottom, 10.5);
        r.SetSection(2, 3, 4, 5);
        r.ResetSection();
        EXPECT_DOUBLE_EQ(r.SectionLeft, 1.0);
    };
    ASSERT_TRUE(job.Execute());
}

TEST_F(JobFlow, TextSitsOnItsLineAndOriginsShiftUntilTheNextPage) {
    TReportFiler job(&Setup);
    double descent = 0;
    job.OnPrint = [&](TBaseReport& r) {
        r.SetFont("Arial", 10);
        descent = r.FontDescent();
        r.OriginX = 2.0;
        r.OriginY = 0.5;
        r.GotoXY(1.0, 3.0);
        r.Print("shifted");
        EXPECT_DOUBLE_EQ(r.XPos(), 1.0 + r.TextWidth("shifted"));
        r.NewPage();
        EXPECT_DOUBLE_EQ(r.OriginX, 0.0);
        EXPECT_DOUBLE_EQ(r.OriginY, 0.0);
        r.GotoXY(1.0, 3.0);
        r.Print("plain");
    };
    ASSERT_TRUE(job.Execute());
    const TDrawCommand& a = OnlyText(job.Job().Pages[0]);
    EXPECT_DOUBLE_EQ(a.P1.x(), 3.0);
    EXPECT_NEAR(a.P1.y(), 3.5 - descent, 1e-9);
    const TDrawCommand& b = OnlyText(job.Job().Pages[1]);
    EXPECT_DOUBLE_EQ(b.P1.x(), 1.0);
    EXPECT_NEAR(b.P1.y(), 3.0 - descent, 1e-9);
}

TEST_F(JobFlow, FontLineHeightFollowsTheFont) {
    TReportFiler job(&Setup);
    job.OnPrint = [](TBaseReport& r) {
        r.SetFont("Arial", 10);
        const double small = r.LineHeight();
        r.SetFont("Arial", 20);
        EXPECT_NEAR(r.LineHeight(), 2 * small, 0.01);
        // About 1.15 x the size for Arial-like fonts.
        EXPECT_NEAR(small, 10 / 72.0 * 1.15, 0.02);
        EXPECT_NEAR(r.TextWidth("MMMM"), 2 * r.TextWidth("MM"), 1e-6);
        r.LineHeightMethod = lhmLinesPerInch;
        EXPECT_DOUBLE_EQ(r.LineHeight(), 1.0 / 6);
    };
    ASSERT_TRUE(job.Execute());
}

TEST_F(JobFlow, RightCentredAndClippedText) {
    TReportFiler job(&Setup);
    double w = 0;
    job.OnPrint = [&](TBaseReport& r) {
        w = r.TextWidth("Page 1");
        r.GotoXY(0, 2);
        r.PrintRight("Page 1", 8.0);
        r.PrintCenter("Page 1", 4.25);
        r.SetFontRotation(90);
        r.TextRect(QRectF(1, 1, 2, 0.5), 1.1, 1.2, "clip");
    };
    ASSERT_TRUE(job.Execute());
    const auto& cmds = job.Job().Pages[0].Commands;
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_NEAR(cmds[0].P1.x(), 8.0 - w, 1e-9);
    EXPECT_NEAR(cmds[1].P1.x(), 4.25 - w / 2, 1e-9);
    EXPECT_EQ(cmds[2].Kind, dkTextClipped);
    EXPECT_EQ(cmds[2].P1, QPointF(1.1, 1.2));
    EXPECT_EQ(cmds[2].Rect, QRectF(1, 1, 2, 0.5));
    EXPECT_EQ(cmds[2].Font.Rotation, 90);
}
