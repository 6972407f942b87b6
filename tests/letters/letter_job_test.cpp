// The print run: one letter a record, copies, new pages between letters and
// copies and never after the last, status, cancel, failures, and the table
// put back as it was. PDFs are read back with pdftotext.

#include "letters/letter_job.h"
#include "letters/letter_store.h"
#include "letters_test_support.h"
#include "pdf_probe.h"
#include "print/printer_setup.h"
#include "richtext/rtf_reader.h"
#include "richtext/text_finder.h"

#include <QFile>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace qp::letters {
namespace {

std::vector<testing::TRecordValues> ThreePeople() {
    auto a = testing::JohnJones();
    testing::TRecordValues b{{"FNAME", "Mary"},        {"LNAME", "Smith"}, {"CITY", "Boston"},
                             {"STATE", "MA"},          {"ZIP", "02101"},   {"ORG", "[Phone]"},
                             {"PHONE", "617-555-0199"}};
    testing::TRecordValues c{{"FNAME", "Carlos"}, {"LNAME", "Perez"}, {"ZIP", "85001"}};
    return {a, b, c};
}

QString PageText(const std::vector<TPdfWord>& words, int page) {
    QStringList out;
    for (const auto& w : words)
        if (w.Page == page)
            out << w.Text;
    return out.join(QLatin1Char(' '));
}

struct TJobFixture : ::testing::Test {
    testing::TLettersHome home;
    print::TPrinterSetup setup;
    QString Pdf() const { return home.Path("out.pdf"); }
    void ToPdf() {
        setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName);
        setup.SetOutputFileName(Pdf());
    }
};

TEST_F(TJobFixture, ThreeRecordsGiveThreePagesWithTheirValues) {
    store::Table table = home.MakeAddresses(ThreePeople());
    QTextDocument letter;
    testing::MakeLetter(letter, "[Name and Address]\nDear [First] [Last], from [Organization].");
    ToPdf();
    store::RecordSelection all;
    all.choice = store::SelectionChoice::All;
    const auto r = PrintLetters(letter, table, all, 1, setup, "Test");
    ASSERT_EQ(r.Outcome, TLetterOutcome::Completed) << r.Error.toStdString();
    EXPECT_EQ(r.Letters, 3);
    EXPECT_EQ(r.Pages, 3);
    ASSERT_EQ(PdfPageCount(Pdf()), 3); // no blank page after the last letter
    const auto words = PdfWords(Pdf());
    EXPECT_TRUE(PageText(words, 1).contains("Dear John Jones,"));
    EXPECT_TRUE(PageText(words, 1).contains("IL 62701")) << PageText(words, 1).toStdString();
    EXPECT_TRUE(PageText(words, 2).contains("Dear Mary Smith, from [Phone]."));
    EXPECT_FALSE(PageText(words, 2).contains("617-555-0199"));
    EXPECT_TRUE(PageText(words, 3).contains("Dear Carlos Perez"));
    // The text starts at the letter's one-inch margins.
    const TPdfWord* dear = FindWord(words, "Dear", 1);
    ASSERT_NE(dear, nullptr);
    EXPECT_NEAR(dear->XMin, 1.0, 0.05);
    EXPECT_NEAR(PdfPageSize(Pdf()).width(), 8.5, 0.01);
    EXPECT_NEAR(PdfPageSize(Pdf()).height(), 11.0, 0.01);
}

TEST_F(TJobFixture, CopiesOfATwoPageLetterForTheCurrentRecord) {
    store::Table table = home.MakeAddresses(ThreePeople());
    table.next(); // Mary
    QTextDocument letter;
    testing::MakeLetter(letter, "Front for [First]\n\fBack page");
    ToPdf();
    store::RecordSelection current;
    current.choice = store::SelectionChoice::Current;
    current.currentByQuery = false;
    QStringList statuses;
    TLetterJobHooks hooks;
    hooks.Status = [&](const QString& s) { statuses << s; };
    const auto r = PrintLetters(letter, table, current, 3, setup, "Test", hooks);
    ASSERT_EQ(r.Outcome, TLetterOutcome::Completed) << r.Error.toStdString();
    ASSERT_EQ(PdfPageCount(Pdf()), 6);
    const auto words = PdfWords(Pdf());
    for (int p = 1; p <= 6; ++p) {
        const QString text = PageText(words, p);
        if (p % 2)
            EXPECT_EQ(text, "Front for Mary") << p;
        else
            EXPECT_EQ(text, "Back page") << p;
    }
    EXPECT_TRUE(statuses.isEmpty()); // straight to the end after the one record
}

TEST_F(TJobFixture, StatusCountsPagesAndTheTableIsPutBack) {
    store::Table table = home.MakeAddresses(ThreePeople());
    ASSERT_TRUE(table.setQuery("LNAME <> 'Perez' .and. !ISDEL").ok());
    table.first();
    table.next(); // Mary
    const std::uint32_t before = table.recNo();
    QTextDocument letter;
    testing::MakeLetter(letter, "One\n\fTwo");
    ToPdf();
    store::RecordSelection all;
    all.choice = store::SelectionChoice::All;
    QStringList statuses;
    TLetterJobHooks hooks;
    hooks.Status = [&](const QString& s) { statuses << s; };
    const auto r = PrintLetters(letter, table, all, 1, setup, "Test", hooks);
    ASSERT_EQ(r.Outcome, TLetterOutcome::Completed);
    EXPECT_EQ(r.Pages, 6);
    ASSERT_GE(statuses.size(), 2);
    EXPECT_EQ(statuses[1], "Printing page 4");
    EXPECT_EQ(table.dbFilter(), "LNAME <> 'Perez' .and. !ISDEL");
    EXPECT_EQ(table.recNo(), before);
}

TEST_F(TJobFixture, CancelEndsAfterTheRecordAndSaysSo) {
    store::Table table = home.MakeAddresses(ThreePeople());
    QTextDocument letter;
    testing::MakeLetter(letter, "Hello [First]");
    ToPdf();
    store::RecordSelection all;
    all.choice = store::SelectionChoice::All;
    TLetterJobHooks hooks;
    hooks.CancelNow = [] { return true; };
    const auto r = PrintLetters(letter, table, all, 1, setup, "Test", hooks);
    EXPECT_EQ(r.Outcome, TLetterOutcome::Canceled);
    EXPECT_EQ(r.Letters, 1);
}

TEST_F(TJobFixture, AFailureIsNeverCompleted) {
    store::Table table = home.MakeAddresses(ThreePeople());
    QTextDocument letter;
    ToPdf();
    store::RecordSelection all;
    all.choice = store::SelectionChoice::All;
    // A target that cannot be written fails with its reason.
    testing::MakeLetter(letter, "Hello");
    setup.SetOutputFileName(home.Path("no/such/folder/out.pdf"));
    const auto r = PrintLetters(letter, table, all, 1, setup, "Test");
    EXPECT_EQ(r.Outcome, TLetterOutcome::Failed);
    EXPECT_FALSE(r.Error.isEmpty());
}

TEST_F(TJobFixture, MergedRtfHasOneSectionALetter) {
    store::Table table = home.MakeAddresses(ThreePeople());
    QTextDocument letter;
    testing::MakeLetter(letter, "Dear [First],\nRegards");
    store::RecordSelection all;
    all.choice = store::SelectionChoice::All;
    const QString out = home.Path("merged.rtf");
    const auto r = WriteMergedRtf(letter, table, all, 1, out);
    ASSERT_TRUE(r.Ok) << r.Error.toStdString();
    EXPECT_EQ(r.Letters, 3);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray rtf = f.readAll();
    EXPECT_EQ(rtf.count("\\sect\\sectd"), 2);
    QTextDocument back;
    const auto read = richtext::ReadRtf(rtf, back);
    EXPECT_TRUE(read.Complete) << read.Problem.toStdString();
    const QString text = richtext::PlainText(back);
    EXPECT_TRUE(text.contains("Dear John,"));
    EXPECT_TRUE(text.contains("Dear Mary,"));
    EXPECT_TRUE(text.contains("Dear Carlos,"));
    EXPECT_EQ(text.count("Regards"), 3);
}

TEST(LetterPage, TextAreaInOneCoordinateSystem) {
    richtext::TPageSettings page; // 8.5 x 11, one-inch margins
    auto area = TextAreaInches(page);
    ASSERT_TRUE(area);
    EXPECT_DOUBLE_EQ(area->left(), 1.0);
    EXPECT_DOUBLE_EQ(area->top(), 1.0);
    EXPECT_DOUBLE_EQ(area->width(), 6.5);
    EXPECT_DOUBLE_EQ(area->height(), 9.0);
    page.TopMargin = 15840;
    EXPECT_FALSE(TextAreaInches(page));
    page = {};
    page.PageWidth = 0;
    EXPECT_FALSE(TextAreaInches(page));
}

} // namespace
} // namespace qp::letters
