// Jobs written to PDF, read back with poppler: sizes, page counts, text positions.
#include "pdf_probe.h"
#include "print/page_renderer.h"
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/report_printer.h"
#include "print/test_page.h"

#include <QPageSize>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qp::print;

namespace {

class PdfOutput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        if (qEnvironmentVariableIsSet("QP_KEEP_PDF")) // for looking at the output by hand
            Dir.setAutoRemove(false);
        ASSERT_TRUE(Setup.SelectPrinterByName(TPrinterSetup::kPdfPrinterName));
        ASSERT_TRUE(Setup.SetPaperCode(kPaperLetter));
        Setup.SetOrientation(poPortrait);
    }
    QString Pdf(const QString& name) {
        const QString path = Dir.filePath(name);
        Setup.SetOutputFileName(path);
        return path;
    }
    QTemporaryDir Dir;
    TPrinterSetup Setup;
};

// pdftotext's box of a word ends at the font's descent, which is where the
// engine's line bottom (the y position) is.
void ExpectWordAt(const std::vector<TPdfWord>& words, const QString& text, double x,
                  double lineBottom, int page = 1) {
    const TPdfWord* w = FindWord(words, text, page);
    ASSERT_NE(w, nullptr) << text.toStdString();
    EXPECT_NEAR(w->XMin, x, 0.01) << text.toStdString();
    EXPECT_NEAR(w->YMax, lineBottom, 0.01) << text.toStdString();
}

void ProduceSample(TBaseReport& r) {
    r.OnPrint = [](TBaseReport& job) {
        job.SetFont("Arial", 12);
        job.GotoXY(1.0, 2.0);
        job.Print("Alpha");
        job.PrintRight("Omega", 7.5);
        job.NewLine();
        job.ClearTabs();
        job.SetTab(2.0, pjRight, 1.5, 5);
        job.Tab();
        job.Print("Right");
        job.NewPage();
        job.GotoXY(3.25, 4.0);
        job.Print("Second");
    };
}

} // namespace

TEST_F(PdfOutput, LetterPageSizeAndCount) {
    const QString path = Pdf("size.pdf");
    TReportPrinter job(&Setup);
    EXPECT_DOUBLE_EQ(job.PageWidth(), 8.5);
    EXPECT_DOUBLE_EQ(job.PageHeight(), 11.0);
    ProduceSample(job);
    ASSERT_TRUE(job.Execute()) << job.LastError().toStdString();
    EXPECT_EQ(PdfPageCount(path), 2);
    const QSizeF size = PdfPageSize(path);
    EXPECT_NEAR(size.width(), 8.5, 0.005);
    EXPECT_NEAR(size.height(), 11.0, 0.005);
}

TEST_F(PdfOutput, PaperCodesAndOrientation) {
    struct Case {
        int code;
        double w, h;
    } cases[] = {{kPaperA4, 8.27, 11.69}, {kPaperA5, 5.83, 8.27}, {20, 4.125, 9.5}};
    for (const Case& c : cases) {
        ASSERT_TRUE(Setup.SetPaperCode(c.code)) << c.code;
        EXPECT_NEAR(Setup.PageWidth(), c.w, 0.01) << c.code;
        EXPECT_NEAR(Setup.PageHeight(), c.h, 0.01) << c.code;
    }
    ASSERT_TRUE(Setup.SetUserPaper(4.0, 6.0));
    Setup.SetOrientation(poLandScape);
    EXPECT_NEAR(Setup.PageWidth(), 6.0, 1e-6);
    EXPECT_NEAR(Setup.PageHeight(), 4.0, 1e-6);
    const QString path = Pdf("user.pdf");
    TReportPrinter job(&Setup);
    job.Orientation = poDefault;
    ASSERT_TRUE(job.Execute());
    const QSizeF size = PdfPageSize(path);
    EXPECT_NEAR(size.width(), 6.0, 0.005);
    EXPECT_NEAR(size.height(), 4.0, 0.005);
    EXPECT_FALSE(Setup.SetPaperCode(999));
}

TEST_F(PdfOutput, TextLandsAtItsInchPositions) {
    const QString path = Pdf("text.pdf");
    TReportPrinter job(&Setup);
    ProduceSample(job);
    double width = 0, lh = 0;
    job.OnAfterPrint = [&](TBaseReport& r) {
        width = r.TextWidth("Omega");
        lh = r.LineHeight();
    };
    ASSERT_TRUE(job.Execute());
    const auto words = PdfWords(path);
    ExpectWordAt(words, "Alpha", 1.0, 2.0);
    ExpectWordAt(words, "Omega", 7.5 - width, 2.0);
    const TPdfWord* omega = FindWord(words, "Omega");
    ASSERT_NE(omega, nullptr);
    EXPECT_NEAR(omega->XMax, 7.5, 0.02);
    const TPdfWord* right = FindWord(words, "Right");
    ASSERT_NE(right, nullptr);
    EXPECT_NEAR(right->XMax, 2.0 + 1.5 - 0.05, 0.02);
    EXPECT_NEAR(right->YMax, 2.0 + lh, 0.01);
    ExpectWordAt(words, "Second", 3.25, 4.0, 2);
}

TEST_F(PdfOutput, StoredJobReplaysToTheSamePositions) {
    const QString direct = Pdf("direct.pdf");
    TReportPrinter printer(&Setup);
    ProduceSample(printer);
    ASSERT_TRUE(printer.Execute());

    TStoredJob stored;
    TReportFiler filer(&Setup);
    filer.SetStream(&stored);
    ProduceSample(filer);
    ASSERT_TRUE(filer.Execute());
    ASSERT_EQ(stored.PageCount(), 2);
    EXPECT_DOUBLE_EQ(stored.PaperWidth, 8.5);

    const QString replayed = Pdf("replayed.pdf");
    QString error;
    ASSERT_TRUE(PrintStoredJob(stored, Setup, {}, &error)) << error.toStdString();

    const auto a = PdfWords(direct);
    const auto b = PdfWords(replayed);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_FALSE(a.empty());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].Text, b[i].Text);
        EXPECT_EQ(a[i].Page, b[i].Page);
        EXPECT_NEAR(a[i].XMin, b[i].XMin, 1e-3);
        EXPECT_NEAR(a[i].YMin, b[i].YMin, 1e-3);
    }
}

TEST_F(PdfOutput, CopiesRepeatThePagesInAPdf) {
    const QString path = Pdf("copies.pdf");
    TReportPrinter job(&Setup);
    job.Copies = 3;
    ProduceSample(job);
    ASSERT_TRUE(job.Execute());
    EXPECT_EQ(PdfPageCount(path), 6);
    const auto words = PdfWords(path);
    EXPECT_NE(FindWord(words, "Second", 6), nullptr);
}

TEST_F(PdfOutput, AbortKeepsOnlyFinishedPages) {
    const QString path = Pdf("abort.pdf");
    TReportPrinter job(&Setup);
    job.OnPrint = [](TBaseReport& r) {
        r.GotoXY(1, 1);
        r.Print("First");
        r.NewPage();
        r.GotoXY(1, 1);
        r.Print("Half");
        r.Abort();
        r.Print("Ignored");
    };
    EXPECT_FALSE(job.Execute());
    EXPECT_TRUE(job.Aborted());
    EXPECT_EQ(job.PagesOutput(), 1);
    EXPECT_EQ(PdfPageCount(path), 1);
    const auto words = PdfWords(path);
    EXPECT_NE(FindWord(words, "First"), nullptr);
    EXPECT_EQ(FindWord(words, "Half", 2), nullptr);

    const QString none = Pdf("none.pdf");
    TReportPrinter early(&Setup);
    early.OnPrint = [](TBaseReport& r) { r.Abort(); };
    EXPECT_FALSE(early.Execute());
    EXPECT_FALSE(QFile::exists(none));
}

TEST_F(PdfOutput, MissingFileNameFailsBeforeAnyEvent) {
    Setup.SetOutputFileName({});
    TReportPrinter job(&Setup);
    bool printed = false;
    job.OnPrint = [&](TBaseReport&) { printed = true; };
    EXPECT_FALSE(job.Execute());
    EXPECT_FALSE(printed);
    EXPECT_FALSE(job.LastError().isEmpty());
}

TEST_F(PdfOutput, TestPageRulersSitOnTheInchMarks) {
    const QString path = Pdf("testpage.pdf");
    TReportPrinter job(&Setup);
    job.OnPrint = [](TBaseReport& r) { PrintTestPage(r); };
    ASSERT_TRUE(job.Execute());
    EXPECT_EQ(PdfPageCount(path), 1);
    const auto words = PdfWords(path);
    int topNumbers = 0;
    for (const TPdfWord& w : words) {
        if (w.YMax > 0.5)
            continue; // the top ruler only
        ++topNumbers;
        EXPECT_NEAR((w.XMin + w.XMax) / 2, w.Text.toDouble(), 0.01) << w.Text.toStdString();
    }
    EXPECT_EQ(topNumbers, 8);
    const TPdfWord* right = FindWord(words, "Right");
    ASSERT_NE(right, nullptr);
    EXPECT_NEAR(right->XMax, 1.0 + 3 * 1.6 - 0.05, 0.02);
}
