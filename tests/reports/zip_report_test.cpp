// The printed ZIP report: columns, pages, shading, head and foot, A4.
#include "pdf_probe.h"
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/report_printer.h"
#include "reports/zip_count.h"
#include "reports/zip_count_report.h"
#include "reports_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

using namespace qp;
using namespace qp::reports;

namespace {

// Distinct five-digit keys 10000, 10001, ... as a result list.
std::vector<std::string> keyLines(int n, std::uint64_t count = 1) {
    std::vector<ZipTally> tallies;
    for (int i = 0; i < n; ++i)
        tallies.push_back({std::to_string(10000 + i), count});
    return zipResultLines(tallies, ",");
}

class ZipReport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName));
        pdf = QString::fromStdString(home.file("report.pdf"));
        setup.SetOutputFileName(pdf);
    }
    void printPdf(const std::vector<std::string>& lines, int paper = print::kPaperLetter) {
        ASSERT_TRUE(setup.SetPaperCode(paper));
        print::TReportPrinter job(&setup);
        prepareZipReport(job, lines);
        ASSERT_TRUE(job.Execute()) << job.LastError().toStdString();
    }
    print::TStoredJob store(const std::vector<std::string>& lines) {
        print::TStoredJob stored;
        print::TReportFiler job(&setup);
        job.SetStream(&stored);
        prepareZipReport(job, lines);
        EXPECT_TRUE(job.Execute());
        return stored;
    }
    qp::testing::ReportsHome home;
    print::TPrinterSetup setup;
    QString pdf;
};

} // namespace

TEST_F(ZipReport, ThreeHundredLinesFillFourColumnsBeforePageTwo) {
    const auto lines = keyLines(298); // and the two empty lines: 300
    printPdf(lines);
    ASSERT_EQ(PdfPageCount(pdf), 2);
    const auto words = PdfWords(pdf);
    // Keys on page 1 by column, from the column boundaries at 0.5 + i * 1.875.
    std::array<std::vector<int>, 4> columns;
    int lastOnPage1 = 0, firstOnPage2 = 0;
    for (const auto& w : words) {
        bool ok = false;
        const int key = w.Text.toInt(&ok);
        if (!ok || key < 10000)
            continue;
        if (w.Page == 1) {
            const int c = static_cast<int>((w.XMin - 0.5) / 1.875);
            ASSERT_GE(c, 0);
            ASSERT_LT(c, 4);
            columns[static_cast<std::size_t>(c)].push_back(key);
            lastOnPage1 = std::max(lastOnPage1, key);
        } else if (firstOnPage2 == 0) {
            firstOnPage2 = key;
        }
    }
    for (const auto& c : columns)
        ASSERT_FALSE(c.empty());
    // Every column of page 1 is full (the same number of lines), in order.
    EXPECT_EQ(columns[0].size(), columns[3].size());
    EXPECT_EQ(columns[1].front(), columns[0].back() + 1);
    EXPECT_EQ(columns[3].front(), columns[2].back() + 1);
    EXPECT_EQ(firstOnPage2, lastOnPage1 + 1);
    EXPECT_NE(FindWord(words, "Page", 2), nullptr);
}

TEST_F(ZipReport, PageHeadFootAndCountsPrintedWhole) {
    std::vector<ZipTally> tallies{
        {"12345", 1000000}, {"23456", 12345678}, {"K1A 0", 1234}, {"BLANK", 5}};
    printPdf(zipResultLines(tallies, ","));
    const auto words = PdfWords(pdf);
    for (const char* text : {"1,000,000", "12,345,678", "1,234", "K1A", "BLANK", "5"})
        EXPECT_NE(FindWord(words, text), nullptr) << text;
    const TPdfWord* title = FindWord(words, "Zip");
    ASSERT_NE(title, nullptr);
    EXPECT_LT(title->YMax, 1.0); // above the section
    EXPECT_NEAR(title->XMin, 0.5, 0.05);
    const TPdfWord* page = FindWord(words, "Page");
    ASSERT_NE(page, nullptr);
    EXPECT_GT(page->YMin, 10.0); // below it
    // The count stays in its stop, right-justified, clear of the key.
    const TPdfWord* big = FindWord(words, "12,345,678");
    const TPdfWord* key = FindWord(words, "23456");
    ASSERT_TRUE(big && key);
    EXPECT_GT(big->XMin, key->XMax);
    EXPECT_NEAR(big->XMax, 0.5 + 1.25 - 0.05, 0.05);
}

TEST_F(ZipReport, OnA4TheFourthColumnStaysInsideTheRightMargin) {
    printPdf(keyLines(298), print::kPaperA4);
    const QSizeF size = PdfPageSize(pdf);
    ASSERT_NEAR(size.width(), 8.27, 0.02);
    double right = 0;
    for (const auto& w : PdfWords(pdf))
        right = std::max(right, w.XMax);
    EXPECT_LE(right, size.width() - 0.5);

    // The boundaries and the shading of the last column end at the margin too.
    ASSERT_TRUE(setup.SetPaperCode(print::kPaperA4));
    const auto stored = store(keyLines(298));
    double drawnRight = 0;
    for (const auto& c : stored.Pages.at(0).Commands) {
        if (c.Kind == print::dkRect)
            drawnRight = std::max(drawnRight, c.Rect.right());
        if (c.Kind == print::dkLine)
            drawnRight = std::max({drawnRight, c.P1.x(), c.P2.x()});
    }
    EXPECT_NEAR(drawnRight, stored.PaperWidth - 0.5, 0.01);
}

TEST_F(ZipReport, OddLinesOfEachColumnAreShaded) {
    ASSERT_TRUE(setup.SetPaperCode(print::kPaperLetter));
    const auto stored = store(keyLines(4));
    ASSERT_EQ(stored.PageCount(), 1);
    std::vector<double> shadedTops;
    for (const auto& c : stored.Pages[0].Commands)
        if (c.Kind == print::dkRect && c.Brush.Style == print::bsSolid) {
            EXPECT_EQ(c.Brush.Color, QColor(242, 242, 242));
            shadedTops.push_back(c.Rect.top());
        }
    // Lines 1, 3 and 5 (three stops each) of the six: four keys and two empty lines.
    ASSERT_EQ(shadedTops.size(), 9u);
    std::set<double> rows(shadedTops.begin(), shadedTops.end());
    EXPECT_EQ(rows.size(), 3u);
    // The section's frame and the three column boundaries.
    int frames = 0, boundaries = 0;
    for (const auto& c : stored.Pages[0].Commands) {
        if (c.Kind == print::dkRect && c.Brush.Style != print::bsSolid)
            ++frames;
        if (c.Kind == print::dkLine && c.P1.x() == c.P2.x())
            ++boundaries;
    }
    // Drawn with the page head and again over the shading at the page's end.
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(boundaries, 6);
    const auto& last = stored.Pages[0].Commands.back();
    EXPECT_EQ(last.Kind, print::dkLine);
}
