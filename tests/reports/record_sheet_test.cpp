// The single-record sheet: captions and values, empty values, the memo below
// its rule, over two pages, and none of it when nothing is chosen.
#include "pdf_probe.h"
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/report_printer.h"
#include "reports/record_sheet.h"
#include "reports_test_support.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>

using namespace qp;
using namespace qp::reports;

namespace {

std::chrono::year_month_day fixedToday() {
    return std::chrono::year(2026) / std::chrono::month(3) / std::chrono::day(5);
}

class RecordSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName));
        ASSERT_TRUE(setup.SetPaperCode(print::kPaperLetter));
        pdf = QString::fromStdString(home.file("sheet.pdf"));
        setup.SetOutputFileName(pdf);
    }
    RecordSheet sheetFor(qp::testing::RecordValues values) {
        auto t = qp::testing::makeAddressFile(
            home.file("ADD000" + std::to_string(++files) + ".DBF"), {values});
        EXPECT_TRUE(t) << t.error();
        auto sheet = readRecordSheet(*t);
        EXPECT_TRUE(sheet) << sheet.error();
        return *sheet;
    }
    void printPdf(const RecordSheet& sheet, const SheetChoices& choices) {
        print::TReportPrinter job(&setup);
        RecordSheetHooks hooks;
        hooks.today = fixedToday;
        prepareRecordSheet(job, sheet, choices, hooks);
        ASSERT_TRUE(job.Execute()) << job.LastError().toStdString();
    }
    print::TStoredJob store(const RecordSheet& sheet, const SheetChoices& choices) {
        print::TStoredJob stored;
        print::TReportFiler job(&setup);
        job.SetStream(&stored);
        RecordSheetHooks hooks;
        hooks.today = fixedToday;
        prepareRecordSheet(job, sheet, choices, hooks);
        EXPECT_TRUE(job.Execute());
        return stored;
    }
    // Horizontal lines across the section (the head's two and the memo rule).
    static int rules(const print::TPageRecord& page) {
        int n = 0;
        for (const auto& c : page.Commands)
            if (c.Kind == print::dkLine && c.P1.y() == c.P2.y() && c.P2.x() - c.P1.x() > 6)
                ++n;
        return n;
    }
    qp::testing::ReportsHome home;
    print::TPrinterSetup setup;
    QString pdf;
    int files = 0;
};

const qp::testing::RecordValues kFullRecord{{"PREFIX", "Dr."},
                                            {"LNAME", "Baker"},
                                            {"FNAME", "Jo"},
                                            {"MIDDLE", "Q"},
                                            {"ORG", "Acme Corp"},
                                            {"STREET", "12 Main St"},
                                            {"CITY", "Albany"},
                                            {"STATE", "NY"},
                                            {"ZIP", "12207-1234"},
                                            {"PHONE", "518-555-0100"},
                                            {"EMAIL", "jo@example.com"},
                                            {"DATE", "19980305"},
                                            {"MEMO", "Call before delivery."}};

} // namespace

TEST_F(RecordSheetTest, EveryBoxGivesTwentyCaptionsAndTheMemoBelowARule) {
    const RecordSheet sheet = sheetFor(kFullRecord);
    EXPECT_EQ(sheet.values[19], "03/05/1998"); // the date as displayed
    printPdf(sheet, allSheetChoices());
    ASSERT_EQ(PdfPageCount(pdf), 1);
    const auto words = PdfWords(pdf);
    // Captions on the first stop in table order, one line each.
    double lastY = 0;
    for (const char* caption :
         {"Prefix", "Last", "First", "Middle", "Title", "Organization", "Address", "City", "State",
          "Zip/Postal", "Country", "Phone", "Fax", "E-Mail", "Comment", "Codes", "Date"}) {
        const TPdfWord* w = FindWord(words, caption);
        ASSERT_NE(w, nullptr) << caption;
        EXPECT_NEAR(w->XMin, 1.02, 0.03) << caption;
        EXPECT_GT(w->YMin, lastY) << caption;
        lastY = w->YMin;
    }
    // Values on the second stop, beside their captions.
    const TPdfWord* baker = FindWord(words, "Baker");
    const TPdfWord* last = FindWord(words, "Last");
    ASSERT_TRUE(baker && last);
    EXPECT_NEAR(baker->XMin, 2.27, 0.03);
    EXPECT_NEAR(baker->YMin, last->YMin, 0.03);
    ASSERT_NE(FindWord(words, "12207-1234"), nullptr);
    // The head: page and today's date at the right edge, above the section.
    const TPdfWord* date = FindWord(words, "03/05/2026");
    ASSERT_NE(date, nullptr);
    EXPECT_NEAR(date->XMax, 7.5, 0.03);
    EXPECT_LT(date->YMax, 1.0);
    // The memo under the fields, in italics, below the one rule.
    const TPdfWord* call = FindWord(words, "Call");
    ASSERT_NE(call, nullptr);
    EXPECT_GT(call->YMin, lastY);

    const auto stored = store(sheet, allSheetChoices());
    EXPECT_EQ(rules(stored.Pages.at(0)), 3);
    int captions = 0;
    for (const auto& c : stored.Pages[0].Commands) {
        if (c.Kind != print::dkText)
            continue;
        if (c.Font.Bold)
            ++captions;
        if (c.Text.startsWith("Call")) {
            EXPECT_TRUE(c.Font.Italic);
        }
        EXPECT_EQ(c.Font.Name, "Times");
    }
    EXPECT_EQ(captions, 20);
}

TEST_F(RecordSheetTest, EmptyValuesStillPrintTheirCaption) {
    const RecordSheet sheet = sheetFor({{"LNAME", "Baker"}});
    SheetChoices some{};
    some[1] = some[5] = some[14] = true; // Last, Organization, Fax
    printPdf(sheet, some);
    const auto words = PdfWords(pdf);
    for (const char* caption : {"Last", "Organization", "Fax", "Baker"})
        EXPECT_NE(FindWord(words, caption), nullptr) << caption;
    EXPECT_EQ(FindWord(words, "Prefix"), nullptr);
}

TEST_F(RecordSheetTest, NoBoxLeavesOnlyThePageHead) {
    const RecordSheet sheet = sheetFor(kFullRecord);
    printPdf(sheet, SheetChoices{});
    QStringList texts;
    for (const auto& w : PdfWords(pdf))
        texts << w.Text;
    EXPECT_EQ(texts, (QStringList{"Page", "1", "03/05/2026"}));
    EXPECT_EQ(rules(store(sheet, SheetChoices{}).Pages.at(0)), 2);
}

TEST_F(RecordSheetTest, AnEmptyMemoPrintsNeitherRuleNorLines) {
    auto values = kFullRecord;
    values["MEMO"] = "  \r\n ";
    const RecordSheet sheet = sheetFor(values);
    const auto stored = store(sheet, allSheetChoices());
    ASSERT_EQ(stored.PageCount(), 1);
    EXPECT_EQ(rules(stored.Pages[0]), 2);
    for (const auto& c : stored.Pages[0].Commands)
        if (c.Kind == print::dkText) {
            EXPECT_FALSE(c.Font.Italic) << c.Text.toStdString();
        }
}

TEST_F(RecordSheetTest, ALongMemoGoesOnOverTheNextPageWithoutASecondRule) {
    std::string memo;
    for (int i = 1; i <= 70; ++i)
        memo += "Memo line " + std::to_string(i) + " about the delivery of the order.\r\n";
    auto values = kFullRecord;
    values["MEMO"] = memo;
    const RecordSheet sheet = sheetFor(values);
    printPdf(sheet, allSheetChoices());
    ASSERT_EQ(PdfPageCount(pdf), 2);
    const auto words = PdfWords(pdf);
    EXPECT_NE(FindWord(words, "Page", 2), nullptr);
    EXPECT_NE(FindWord(words, "03/05/2026", 2), nullptr);
    // Every memo line printed once, in order, the last ones on page 2 inside the section.
    int lastNumber = 0;
    for (std::size_t i = 0; i + 2 < words.size(); ++i) {
        if (words[i].Text != "Memo" || words[i + 1].Text != "line")
            continue;
        const int n = words[i + 2].Text.toInt();
        EXPECT_EQ(n, lastNumber + 1);
        lastNumber = n;
        EXPECT_LT(words[i].YMax, 10.0);
        if (words[i].Page == 2) {
            EXPECT_GT(words[i].YMin, 1.0);
        }
    }
    EXPECT_EQ(lastNumber, 70);

    const auto stored = store(sheet, allSheetChoices());
    ASSERT_EQ(stored.PageCount(), 2);
    EXPECT_EQ(rules(stored.Pages[0]), 3);
    EXPECT_EQ(rules(stored.Pages[1]), 2);
    for (const auto& c : stored.Pages[1].Commands)
        if (c.Kind == print::dkText && c.Text.startsWith("Memo")) {
            EXPECT_TRUE(c.Font.Italic);
        }
}

TEST(RecordSheetWrap, LinesStayWithinTheWidthAndKeepBreaks) {
    auto measure = [](const QString& s) { return 0.1 * s.size(); };
    EXPECT_EQ(wrapText("one two three four", 0.9, measure),
              (QStringList{"one two", "three", "four"}));
    EXPECT_EQ(wrapText("abcdefghijkl", 0.5, measure), (QStringList{"abcde", "fghij", "kl"}));
    EXPECT_EQ(wrapText("first\r\n\r\nthird\nfourth\r", 2.0, measure),
              (QStringList{"first", "", "third", "fourth"}));
    EXPECT_TRUE(wrapText(" ", 2.0, measure).isEmpty());
    EXPECT_TRUE(wrapText("", 2.0, measure).isEmpty());
    for (const QString& line : wrapText(QString(300, 'w') + " a b", 0.7, measure)) {
        EXPECT_LE(measure(line), 0.7);
    }
}
