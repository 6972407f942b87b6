// The built-in reports and designed reports on paper, read back from PDF:
// columns, name and city forms, heads, selection, page breaks, the memo band
// and one record per page.
#include "design/data_source.h"
#include "design/text_labels.h"
#include "pdf_probe.h"
#include "print/printer_setup.h"
#include "print/report_printer.h"
#include "reports/builtin_report.h"
#include "reports/designed_report.h"
#include "reports_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qp;
using namespace qp::reports;
using qp::testing::RecordValues;

namespace {

std::vector<QString> wordsOnPage(const std::vector<TPdfWord>& words, int page) {
    std::vector<QString> out;
    for (const auto& w : words)
        if (w.Page == page)
            out.push_back(w.Text);
    return out;
}

bool has(const std::vector<TPdfWord>& words, const QString& text, int page = 0) {
    return std::any_of(words.begin(), words.end(), [&](const TPdfWord& w) {
        return w.Text == text && (page == 0 || w.Page == page);
    });
}

class ReportPrint : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName));
        ASSERT_TRUE(setup.SetPaperCode(print::kPaperLetter));
        pdf = QString::fromStdString(home.file("report.pdf"));
        setup.SetOutputFileName(pdf);
    }
    void make(const std::vector<RecordValues>& records) {
        auto t = qp::testing::makeAddressFile(home.file("ADD0001.DBF"), records);
        ASSERT_TRUE(t) << t.error();
        table.emplace(std::move(*t));
        (void)table->setQuery("!ISDEL");
    }
    int builtIn(BuiltInOptions o, ReportSelection s = {store::SelectionChoice::All, false}) {
        const std::string order = BuiltInReportOrder(o.report);
        auto walk = ReportWalk::begin(*table, s, order, o.report == 4 ? "" : order);
        EXPECT_TRUE(walk) << walk.error();
        print::TReportPrinter job(&setup);
        int printed = -1;
        prepareBuiltInReport(job, *table, o, {}, &printed);
        EXPECT_TRUE(job.Execute()) << job.LastError().toStdString();
        return printed;
    }
    qp::testing::ReportsHome home;
    print::TPrinterSetup setup;
    QString pdf;
    std::optional<store::Table> table;
};

} // namespace

TEST(BuiltInForms, NameAndCityLines) {
    EXPECT_EQ(CityLineA("Springfield", "IL", "62701"), "Springfield, IL  62701 ");
    EXPECT_EQ(CityLineA("", "IL", "62701"), "IL  62701 ");
    EXPECT_EQ(CityLineA("", "", ""), "");
    EXPECT_EQ(CityLineB("Springfield", "IL", "62701"), "Springfield, IL, 62701");
    EXPECT_EQ(NameA({"Smith", "John", "Q", ""}), "Smith, John Q.");
    EXPECT_EQ(NameA({"Smith", "", "", ""}), "Smith, ");
    EXPECT_EQ(NameB({"Smith", "", "", "Dr."}), "Smith, Dr. ");
    EXPECT_EQ(NameB({"Smith", "John", "", ""}), "Smith,  John ");
    EXPECT_EQ(NameB({"Smith", "John", "Q", "Mr."}), "Smith, Mr. John Q.");
    EXPECT_EQ(NameB({"", "John", "", "Mr."}), "");
    EXPECT_EQ(TitleAndOrganization("CEO", "Acme"), "CEO, Acme");
    EXPECT_EQ(TitleAndOrganization("CEO", ""), "");
    EXPECT_EQ(PhoneAndFax("555-1234", "555-9999"), "Ph: 555-1234  Fax: 555-9999  ");
    EXPECT_EQ(PhoneAndFax("", "555-9999"), "Fax: 555-9999  ");
}

TEST_F(ReportPrint, ReportOneColumnsHeadsAndSelection) {
    make({{{"LNAME", "Adams"},
           {"FNAME", "Ann"},
           {"STREET", "1 Elm St"},
           {"CITY", "Springfield"},
           {"STATE", "IL"},
           {"ZIP", "62701"},
           {"PHONE", "555-0101"}},
          {{"LNAME", ""}, {"FNAME", "Nobody"}},
          {{"LNAME", "#1 Pizza"}},
          {{"LNAME", "Gone"}, {"PREFIX", "deleted"}},
          {{"LNAME", "Marked"}, {"ISDEL", "T"}}});
    // A record with ISDEL true but no deletion mark.
    ASSERT_TRUE(table->append());
    ASSERT_TRUE(table->replace("LNAME", "Flagged"));
    ASSERT_TRUE(table->replaceLogical("ISDEL", true));
    ASSERT_TRUE(table->post());
    BuiltInOptions o;
    o.title = QStringLiteral("Members");
    EXPECT_EQ(builtIn(o), 2);
    const auto words = PdfWords(pdf);
    ASSERT_EQ(PdfPageCount(pdf), 1);
    const TPdfWord* name = FindWord(words, "Name");
    const TPdfWord* address = FindWord(words, "Address");
    const TPdfWord* city = FindWord(words, "City/St/Zip");
    const TPdfWord* phone = FindWord(words, "Phone");
    ASSERT_TRUE(name && address && city && phone);
    EXPECT_NEAR(name->XMin, 1.02, 0.02);
    EXPECT_NEAR(address->XMin, 2.77, 0.02);
    EXPECT_NEAR(city->XMin, 4.92, 0.02);
    EXPECT_NEAR(phone->XMin, 6.92, 0.02);
    const TPdfWord* adams = FindWord(words, "Adams,");
    const TPdfWord* street = FindWord(words, "Elm");
    const TPdfWord* springfield = FindWord(words, "Springfield,");
    ASSERT_TRUE(adams && street && springfield);
    EXPECT_NEAR(adams->XMin, 1.02, 0.02);
    EXPECT_NEAR(springfield->XMin, 4.92, 0.02);
    EXPECT_TRUE(has(words, "62701"));
    EXPECT_TRUE(has(words, "Members"));
    EXPECT_TRUE(has(words, "Page"));
    // A name that begins with punctuation prints; blank names, a prefix of
    // DELETED and ISDEL true do not.
    EXPECT_TRUE(has(words, "#1"));
    EXPECT_FALSE(has(words, "Nobody"));
    EXPECT_FALSE(has(words, "Gone,"));
    EXPECT_FALSE(has(words, "Marked,"));
    EXPECT_FALSE(has(words, "Flagged,"));
    EXPECT_GT(adams->YMin, name->YMax); // the records below the heads
}

TEST_F(ReportPrint, ReportFourPrintsBlankNamesAndItsThreeLines) {
    make({{{"LNAME", ""}, {"ORG", "Orphan Org"}},
          {{"LNAME", "Baker"},
           {"PREFIX", "Dr."},
           {"TITLE", "CEO"},
           {"ORG", "Acme"},
           {"STREET", "2 Oak Ave"},
           {"CITY", "Dover"},
           {"STATE", "DE"},
           {"ZIP", "19901"},
           {"COUNTRY", "USA"},
           {"PHONE", "555-0202"},
           {"EMAIL", "b@acme.test"},
           {"DATE", "20240131"},
           {"CODES", "VIP"}}});
    BuiltInOptions o;
    o.report = 4;
    o.printCodes = true;
    EXPECT_EQ(builtIn(o), 2);
    const auto words = PdfWords(pdf);
    EXPECT_TRUE(has(words, "Orphan"));
    const TPdfWord* baker = FindWord(words, "Baker,");
    const TPdfWord* ceo = FindWord(words, "CEO,");
    const TPdfWord* street = FindWord(words, "Oak");
    const TPdfWord* dover = FindWord(words, "Dover,");
    const TPdfWord* usa = FindWord(words, "USA");
    const TPdfWord* date = FindWord(words, "20240131");
    ASSERT_TRUE(baker && ceo && street && dover && usa && date);
    EXPECT_NEAR(baker->XMin, 1.02, 0.02);
    EXPECT_NEAR(ceo->XMin, 3.77, 0.02);
    EXPECT_NEAR(dover->XMin, 3.77, 0.02);
    EXPECT_NEAR(usa->XMin, 6.77, 0.02);
    EXPECT_NEAR(date->XMin, 6.77, 0.02);
    EXPECT_GT(street->YMin, baker->YMax);
    EXPECT_GT(date->YMin, usa->YMax);
    EXPECT_TRUE(has(words, "Codes:"));
    EXPECT_TRUE(has(words, "VIP"));
    EXPECT_TRUE(has(words, "Title"));
    EXPECT_TRUE(has(words, "Phone,Fax"));
}

TEST_F(ReportPrint, ReportThreeSkipsBlankOrganizationsAndWrapsMemos) {
    std::vector<RecordValues> records{{{"LNAME", "Lone"}},
                                      {{"LNAME", "Cole"}, {"ORG", "(Closed)"}}};
    make(records);
    table->first();
    while (!table->eof() && table->getString("LNAME") != "Cole")
        table->next();
    std::string memo;
    for (int i = 0; i < 200; ++i)
        memo += "Memo word" + std::to_string(i) + " ";
    ASSERT_TRUE(table->replace("MEMO", memo));
    ASSERT_TRUE(table->post());
    BuiltInOptions o;
    o.report = 3;
    o.printMemo = true;
    EXPECT_EQ(builtIn(o), 1);
    const auto words = PdfWords(pdf);
    EXPECT_TRUE(has(words, "(Closed)"));
    EXPECT_FALSE(has(words, "Lone,"));
    EXPECT_TRUE(has(words, "word0"));
    EXPECT_TRUE(has(words, "word199"));
    for (const auto& w : words)
        EXPECT_LT(w.XMax, 8.0 + 0.01) << w.Text.toStdString();
}

namespace {

class DesignedPrint : public ReportPrint {
protected:
    void prepare(int records, const QString& memo = {}) {
        std::vector<RecordValues> list;
        for (int i = 0; i < records; ++i)
            list.push_back({{"LNAME", "Person" + std::to_string(i + 1)}});
        make(list);
        if (!memo.isEmpty()) {
            for (table->first(); !table->eof(); table->next()) {
                ASSERT_TRUE(table->replace("MEMO", memo.toStdString()));
                ASSERT_TRUE(table->post());
            }
        }
        source.SetTable(&*table);
        design::UseAddressFieldLabels(source, true);
        bands.SetDataSet(&source);
        vars.UseHeader = vars.UseFooter = false;
        vars.HeaderHeight = vars.FooterHeight = 0;
        auto field = std::make_unique<design::TGPDLabel>();
        field->DataFieldName = "LNAME";
        field->DataFieldDescript = "Last Name";
        bands.Detail.SetSize(696, 96);
        bands.Detail.AddObject(std::move(field), QRect(QPoint(0, 10), QPoint(200, 26)));
    }
    void addHeaderAndFooter() {
        vars.UseHeader = vars.UseFooter = true;
        vars.HeaderHeight = vars.FooterHeight = 30;
        auto head = std::make_unique<design::TGPLabel>();
        head->SetCaption("HeadText");
        bands.Header.AddObject(std::move(head), QRect(QPoint(0, 5), QPoint(100, 21)));
        auto foot = std::make_unique<design::TGPLabel>();
        foot->SetCaption("FootText");
        bands.Footer.AddObject(std::move(foot), QRect(QPoint(0, 5), QPoint(100, 21)));
    }
    int run(bool onePerPage = false) {
        table->first();
        DesignedReportPrinter printer(bands, vars, *table, DesignedOptions{onePerPage});
        print::TReportPrinter job(&setup);
        prepareDesignedReport(job, printer, vars);
        EXPECT_TRUE(job.Execute()) << job.LastError().toStdString();
        return PdfPageCount(pdf);
    }
    design::TTableDataSource source;
    ReportBands bands;
    ReportVars vars = NewReportVars();
};

} // namespace

TEST_F(DesignedPrint, ADetailBandThatFitsExactlyStaysOnePixelMoreMoves) {
    prepare(10);
    vars.DetailHeight = 96; // ten one-inch bands fill the ten inches between the margins
    EXPECT_EQ(run(), 1);
    const auto words = PdfWords(pdf);
    EXPECT_TRUE(has(words, "Person1", 1));
    EXPECT_TRUE(has(words, "Person10", 1));
    vars.DetailHeight = 97;
    EXPECT_EQ(run(), 2);
    EXPECT_TRUE(has(PdfWords(pdf), "Person10", 2));
}

TEST_F(DesignedPrint, ABandTallerThanThePageStartsNoBlankPage) {
    prepare(2);
    vars.DetailHeight = 2000;
    EXPECT_EQ(run(), 2);
    const auto words = PdfWords(pdf);
    EXPECT_TRUE(has(words, "Person1", 1));
    EXPECT_TRUE(has(words, "Person2", 2));
}

TEST_F(DesignedPrint, OneRecordPerPageWithHeaderAndFooterOnEach) {
    prepare(3);
    addHeaderAndFooter();
    vars.DetailHeight = 40;
    EXPECT_EQ(run(true), 3);
    const auto words = PdfWords(pdf);
    for (int page = 1; page <= 3; ++page) {
        EXPECT_TRUE(has(words, "HeadText", page));
        EXPECT_TRUE(has(words, "FootText", page));
        EXPECT_TRUE(has(words, "Person" + QString::number(page), page));
    }
    const TPdfWord* head = FindWord(words, "HeadText");
    const TPdfWord* foot = FindWord(words, "FootText");
    ASSERT_TRUE(head && foot);
    EXPECT_NEAR(head->XMin, 0.5 + 0.125, 0.03);
    EXPECT_LT(head->YMin, 0.5 + 30 / 96.0);
    EXPECT_GT(foot->YMin, 11 - 0.5 - 30 / 96.0 - 0.01);
}

TEST_F(DesignedPrint, ALongMemoContinuesOnTheNextPageAfterTheHeader) {
    QString memo;
    for (int i = 1; i <= 150; ++i)
        memo += QStringLiteral("Line%1\n").arg(i);
    prepare(1, memo);
    addHeaderAndFooter();
    vars.UseMemo = true;
    vars.DetailHeight = 40;
    vars.Borders[rbMemo] = {true, true, true, true, 1, 20, 0xFFFFFF};
    EXPECT_EQ(run(), 3);
    const auto words = PdfWords(pdf);
    EXPECT_TRUE(has(words, "Line1", 1));
    EXPECT_TRUE(has(words, "Line150", 3));
    EXPECT_TRUE(has(words, "HeadText", 2));
    EXPECT_TRUE(has(words, "FootText", 3));
    const TPdfWord* head2 = FindWord(words, "HeadText", 2);
    // Page 2 starts with memo lines right under the header.
    const auto page2 = wordsOnPage(words, 2);
    ASSERT_FALSE(page2.empty());
    ASSERT_TRUE(head2);
    for (const auto& w : words) {
        if (w.Page == 2 && w.Text.startsWith("Line")) {
            EXPECT_GT(w.YMin, head2->YMax);
        }
    }
}

TEST_F(DesignedPrint, AMemoLineThatNeverFitsEndsTheMemo) {
    prepare(1, QStringLiteral("Huge text"));
    vars.UseMemo = true;
    vars.MemoFontSize = 1500; // taller than the page
    vars.DetailHeight = 20;
    EXPECT_LE(run(), 2);
}

TEST_F(DesignedPrint, PaperFollowsTheSettings) {
    prepare(1);
    SetPaper(vars, ReportPaper::A4Landscape);
    run();
    const QSizeF size = PdfPageSize(pdf);
    EXPECT_NEAR(size.width(), 11.69, 0.02);
    EXPECT_NEAR(size.height(), 8.27, 0.02);
}
