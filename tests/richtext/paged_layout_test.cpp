// Pages: where they start, how a page is drawn into a rectangle, PDF output
// read back with poppler, and documents that could make a renderer loop.

#include "pdf_probe.h"
#include "richtext/paged_layout.h"
#include "richtext/rtf_reader.h"
#include "richtext/text_finder.h"
#include "richtext_test_support.h"
#include "support/peer_tools.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace qp::richtext;

namespace {

bool HavePoppler() {
    return qp::testing::runCommand("command -v pdftotext").status == 0;
}

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void AddParagraphs(QTextDocument& doc, int count, const QString& stem) {
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    for (int i = 0; i < count; ++i) {
        if (!c.block().text().isEmpty())
            c.insertBlock();
        c.insertText(QStringLiteral("%1 %2 lorem ipsum dolor sit amet").arg(stem).arg(i));
    }
}

QByteArray ThreePages() {
    return "{\\rtf1\\paperw12240\\paperh15840\\margl1440\\margr1440\\margt1440\\margb1440 "
           "\\pard Alpha one page\\par\\page Bravo two page\\par\\pard\\pagebb Charlie "
           "three page\\par}";
}

TEST(PagedLayout, PageBreaksStartPagesAtKnownPositions) {
    QTextDocument doc;
    ReadRtf(ThreePages(), doc);
    const TPagedLayout layout(doc);
    ASSERT_EQ(layout.PageCount(), 3);
    EXPECT_EQ(layout.PageStart(0), 0);
    EXPECT_EQ(layout.PageStart(1), doc.findBlockByNumber(1).position());
    EXPECT_EQ(layout.PageStart(2), doc.findBlockByNumber(2).position());
    EXPECT_EQ(layout.PageAt(layout.PageStart(1) + 3), 1);
}

TEST(PagedLayout, RenderWalksEveryPageAndEnds) {
    QTextDocument doc;
    AddParagraphs(doc, 300, "Line");
    SetPageSettings(doc, {12240, 15840, 1440, 1440, 1440, 1440});
    const TPagedLayout layout(doc);
    EXPECT_GT(layout.PageCount(), 3);
    QImage image(850, 1100, QImage::Format_RGB32);
    QPainter painter(&image);
    const QRectF target = TextRectOnDevice(layout.Page(), image.logicalDpiX(), image.logicalDpiY());
    int start = 0, pages = 0;
    std::vector<int> starts;
    do {
        starts.push_back(start);
        image.fill(Qt::white);
        start = RenderPage(painter, target, doc, start);
        ++pages;
        ASSERT_LE(pages, layout.PageCount());
    } while (start > 0);
    EXPECT_EQ(pages, layout.PageCount());
    for (int i = 0; i < pages; ++i)
        EXPECT_EQ(starts[std::size_t(i)], layout.PageStart(i));
    // Nothing is drawn outside the target rectangle.
    painter.end();
    for (int y = 0; y < int(target.top()) - 1; ++y)
        for (int x = 0; x < image.width(); x += 3)
            ASSERT_EQ(image.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
}

TEST(PagedLayout, ChangesAreSeenByTheNextRender) {
    QTextDocument doc;
    AddParagraphs(doc, 5, "Short");
    QImage image(100, 100, QImage::Format_RGB32);
    QPainter painter(&image);
    EXPECT_EQ(RenderPage(painter, QRectF(0, 0, 100, 100), doc, 0), 0);
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    QTextBlockFormat f;
    f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    c.insertBlock(f);
    c.insertText("Second page");
    EXPECT_EQ(RenderPage(painter, QRectF(0, 0, 100, 100), doc, 0), doc.lastBlock().position());
}

TEST(PagedLayout, ZoomScalesThePageIntoTheRectangle) {
    QTextDocument doc;
    QTextCharFormat big;
    big.setFontPointSize(72);
    QTextCursor(&doc).insertText("WWWWWWWWWWWWWWWW", big); // fills the line
    const TPagedLayout layout(doc);
    const auto inkWidth = [&](double zoom) {
        QImage image(1000, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        layout.Paint(painter, 0, QRectF(0, 0, 1000, 300), zoom);
        painter.end();
        int right = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    right = std::max(right, x);
        return right;
    };
    const int full = inkWidth(1.0);
    const int half = inkWidth(0.5);
    EXPECT_GT(full, 400);
    EXPECT_NEAR(half, full / 2, 12);
}

TEST(PagedLayout, OversizedContentEndsInsteadOfLooping) {
    QTextDocument doc;
    QTextCursor c(&doc);
    QImage tall(10, 10, QImage::Format_RGB32);
    tall.fill(Qt::black);
    doc.addResource(QTextDocument::ImageResource, QUrl("tall"), tall);
    QTextImageFormat pic;
    pic.setName("tall");
    pic.setWidth(TwipsToLayout(1440));
    pic.setHeight(TwipsToLayout(40 * 1440)); // taller than the page
    c.insertImage(pic);
    c.insertBlock();
    c.insertText("after");
    SetPageSettings(doc, {12240, 15840, 1440, 1440, 1440, 1440});
    QImage image(100, 100, QImage::Format_RGB32);
    QPainter painter(&image);
    int start = 0, pages = 0;
    do {
        start = RenderPage(painter, QRectF(0, 0, 100, 100), doc, start);
        ASSERT_LT(++pages, 10);
    } while (start > 0);

    // Margins wider than the paper are brought back to a usable page.
    SetPageSettings(doc, {1000, 1000, 5000, 5000, 5000, 5000});
    const TPageSettings p = PageSettings(doc);
    EXPECT_GE(p.TextWidth(), 720);
    EXPECT_GE(p.TextHeight(), 720);
    const TPagedLayout layout(doc);
    EXPECT_GE(layout.PageCount(), 1);
}

TEST(PagedLayout, BatchPdfHasThreePagesWithTheirText) {
    if (!HavePoppler())
        GTEST_SKIP() << "poppler-utils not installed";
    qp::testing::TRichTextHome home;
    ASSERT_TRUE(home.Write("three.rtf", ThreePages()));
    const std::string exe = QP_BATCH_EXE;
    const auto r =
        qp::testing::runCommand(exe + " rtf pdf " + home.File("three.rtf").toStdString() + " " +
                                home.File("three.pdf").toStdString());
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "3 page(s) printed\n");
    const QString pdf = home.File("three.pdf");
    EXPECT_EQ(PdfPageCount(pdf), 3);
    const QSizeF size = PdfPageSize(pdf);
    EXPECT_NEAR(size.width(), 8.5, 0.01);
    EXPECT_NEAR(size.height(), 11, 0.01);
    const QStringList pages = PdfText(pdf).split(QChar('\f'));
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(pages[0].contains("Alpha one page"));
    EXPECT_FALSE(pages[0].contains("Bravo"));
    EXPECT_TRUE(pages[1].contains("Bravo two page"));
    EXPECT_TRUE(pages[2].contains("Charlie three page"));
    // The text starts at the margins: one inch from the left and the top.
    const auto words = PdfWords(pdf);
    const TPdfWord* alpha = FindWord(words, "Alpha", 1);
    ASSERT_NE(alpha, nullptr);
    EXPECT_NEAR(alpha->XMin, 1.0, 0.05);
    EXPECT_NEAR(alpha->YMin, 1.0, 0.1);
}

TEST(PagedLayout, PdfOnTheDocumentsOwnPageAndMargins) {
    if (!HavePoppler())
        GTEST_SKIP() << "poppler-utils not installed";
    qp::testing::TRichTextHome home;
    QTextDocument doc;
    AddParagraphs(doc, 120, "Row");
    SetPageSettings(doc, {8391, 11906, 2880, 720, 720, 720}); // A5, two-inch left margin
    const TPdfResult r = WritePdf(doc, home.File("a5.pdf"));
    ASSERT_TRUE(r.Ok) << r.Error.toStdString();
    EXPECT_EQ(PdfPageCount(home.File("a5.pdf")), r.Pages);
    EXPECT_EQ(r.Pages, TPagedLayout(doc).PageCount());
    const QSizeF size = PdfPageSize(home.File("a5.pdf"));
    EXPECT_NEAR(size.width(), 8391 / 1440.0, 0.01);
    const auto words = PdfWords(home.File("a5.pdf"));
    const TPdfWord* row = FindWord(words, "Row", 1);
    ASSERT_NE(row, nullptr);
    EXPECT_NEAR(row->XMin, 2.0, 0.05);
    // Every paragraph is printed once.
    int rows = 0;
    for (const auto& w : words)
        rows += w.Text == "Row";
    EXPECT_EQ(rows, 120);

    const TPdfResult bad = WritePdf(doc, "/nonexistent-folder/x.pdf");
    EXPECT_FALSE(bad.Ok);
    EXPECT_FALSE(bad.Error.isEmpty());
}

} // namespace
