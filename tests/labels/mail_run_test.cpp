// A mail run as a new user makes it: long addresses on a new label, a partly
// used first sheet, foreign records in the presort, a label-printer roll.
// Checked through the batch command and the PDF it writes.

#include "labels/label_definition.h"
#include "labels/presort.h"
#include "labels_test_support.h"
#include "store/address_file.h"
#include "support/peer_tools.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

using qp::testing::runCommand;
using qp::testing::shellQuote;

namespace {

using Fields = std::map<std::string, std::string>;

struct Word {
    std::string text;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0; // inches
    int page = 0;                          // from 1
};

class MailRun : public ::testing::Test {
protected:
    void SetUp() override {
        home = folder.path().string();
        file = folder.file("ADD0001.DBF");
        ASSERT_TRUE(qp::store::createAddressFile(file, {}));
    }
    void add(const Fields& fields, int times = 1) {
        auto t = qp::store::openAddressFile(file);
        ASSERT_TRUE(t) << t.error();
        for (int i = 0; i < times; ++i) {
            ASSERT_TRUE(t->append());
            for (const auto& [name, value] : fields)
                ASSERT_TRUE(t->replace(name, value));
            ASSERT_TRUE(t->post());
        }
    }
    void addNumbered(int count) {
        for (int i = 1; i <= count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "Cell%03d", i);
            add({{"LNAME", name}, {"ZIP", "12345"}});
        }
    }
    qp::testing::CommandOutput batch(const std::string& args) {
        return runCommand("QUILLPOST_HOME=" + shellQuote(home) + " " + QP_BATCH_EXE + " " + args);
    }
    qp::testing::CommandOutput print(const std::string& label, const std::string& pdf,
                                     const std::string& more = "") {
        return batch("labels " + shellQuote(file) + " --label " + label + " --pdf " +
                     shellQuote(pdf) + " --selection all " + more);
    }
    std::vector<Word> words(const std::string& pdf) {
        auto r = runCommand("pdftotext -bbox " + shellQuote(pdf) + " -");
        std::vector<Word> out;
        std::regex item(
            R"re(<page width="([0-9.]+)" height="([0-9.]+)">|<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]+)</word>)re");
        int page = 0;
        for (std::sregex_iterator i(r.output.begin(), r.output.end(), item), end; i != end; ++i) {
            if ((*i)[1].matched) {
                ++page;
                pageSizes.push_back({std::stod((*i)[1]) / 72, std::stod((*i)[2]) / 72});
                continue;
            }
            out.push_back({(*i)[7], std::stod((*i)[3]) / 72, std::stod((*i)[4]) / 72,
                           std::stod((*i)[5]) / 72, std::stod((*i)[6]) / 72, page});
        }
        return out;
    }
    static const Word* find(const std::vector<Word>& all, const std::string& text) {
        for (const auto& w : all)
            if (w.text == text)
                return &w;
        return nullptr;
    }
    qp::testing::LabelsTempFolder folder;
    std::string home, file;
    std::vector<std::pair<double, double>> pageSizes;
};

Fields longAddress(const std::string& city, bool country) {
    Fields f{{"PREFIX", "Dr."},
             {"FNAME", "Theodora"},
             {"LNAME", "Quincy-Harper"},
             {"TITLE", "Director of Procurement"},
             {"ORG", "\"Big\" Bob's Diner"},
             {"STREET", "1200 Commonwealth Avenue"},
             {"STREET2", "Suite 400, Building C"},
             {"CITY", city},
             {"STATE", "MA"},
             {"ZIP", "02134-1234"}};
    if (country)
        f["COUNTRY"] = "United States";
    return f;
}

// The city/state/ZIP line of a six- and a seven-line address lies inside its
// 1 in cell, the new label's block shrinking the text to fit.
TEST_F(MailRun, LongAddressesKeepTheirCityLineInsideTheCell) {
    add(longAddress("Alphaville", false));
    add(longAddress("Betatown", true));
    ASSERT_EQ(batch("label new Sheet").status, 0);
    const std::string pdf = folder.file("long.pdf");
    auto r = print("Sheet", pdf);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output.find("did not fit"), std::string::npos) << r.output;
    auto all = words(pdf);
    const struct {
        const char* city;
        double left;
    } cells[] = {{"Alphaville", 0.188}, {"Betatown", 0.188 + 2.75}};
    for (const auto& c : cells) {
        const Word* city = find(all, c.city);
        ASSERT_TRUE(city) << c.city;
        EXPECT_GE(city->y0, 0.5) << c.city;
        EXPECT_LE(city->y1, 1.5) << c.city;
        EXPECT_GE(city->x0, c.left) << c.city;
        EXPECT_LE(city->x1, c.left + 2.625) << c.city;
        // The title line is still there: shrinking was enough.
        EXPECT_TRUE(find(all, "Procurement")) << c.city;
    }
    const Word* country = find(all, "States");
    ASSERT_TRUE(country);
    EXPECT_LE(country->y1, 1.5);
}

// Too long even at 6 points on a half-inch label: the title and then other
// lines are left out, the city line stays, and the record is named.
TEST_F(MailRun, AddressesThatStillDoNotFitAreNamed) {
    add({{"LNAME", "Short"}, {"CITY", "Gamma"}, {"ZIP", "12345"}});
    add(longAddress("Deltaburg", true));
    ASSERT_EQ(batch("label new Tiny --template 'Avery 5167  Return Address'").status, 0);
    const std::string pdf = folder.file("tiny.pdf");
    auto r = print("Tiny", pdf, "--report-clipped");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("1 address did not fit the label and was cut: record 2."),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("Clipped records: 2\n"), std::string::npos) << r.output;
    auto all = words(pdf);
    const Word* city = find(all, "Deltaburg");
    ASSERT_TRUE(city);
    // First position (Quincy-Harper sorts before Short): 1.75 x 0.5 in.
    EXPECT_GE(city->y0, 0.5);
    EXPECT_LE(city->y1, 1.0);
    EXPECT_GE(city->x0, 0.281);
    EXPECT_LE(city->x1, 0.281 + 1.75);
    EXPECT_FALSE(find(all, "Procurement"));
}

// New starts on the stock's own pitch: row 10 of a 5160 sheet at 9.5 in.
TEST_F(MailRun, NewLabelTakesTheStockGeometry) {
    ASSERT_EQ(batch("label new Plain").status, 0);
    auto show = batch("label show Plain");
    ASSERT_EQ(show.status, 0) << show.output;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(show.output, m,
                                  std::regex(R"(\n28,1,10,([0-9.]+),([0-9.]+),2\.625,1\.000)")))
        << show.output;
    EXPECT_NEAR(std::stod(m[1]), 0.188, 0.005);
    EXPECT_NEAR(std::stod(m[2]), 0.5 + 9 * 1.0, 0.005);
    EXPECT_NE(show.output.find("pitch 2.750 across, 1.000 down"), std::string::npos) << show.output;
}

// Five positions of a used first sheet cleared: later sheets are full.
TEST_F(MailRun, ClearedPositionsApplyToTheFirstSheetOnly) {
    addNumbered(100);
    ASSERT_EQ(batch("label new Sheet --template 'Avery 5160  Address'").status, 0);
    const std::string pdf = folder.file("first.pdf");
    auto r = print("Sheet", pdf, "--positions 6-30 --first-sheet-only");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("100 label(s) on 4 page(s)"), std::string::npos) << r.output;
    auto all = words(pdf);
    int onPage[5] = {};
    for (const auto& w : all)
        if (w.text.rfind("Cell", 0) == 0 && w.page >= 1 && w.page <= 4)
            ++onPage[w.page];
    EXPECT_EQ(onPage[1], 25);
    EXPECT_EQ(onPage[2], 30);
    EXPECT_EQ(onPage[3], 30);
    EXPECT_EQ(onPage[4], 15);
    const Word* first = find(all, "Cell001");
    ASSERT_TRUE(first);
    EXPECT_NEAR(first->y0, 0.5 + 1.0, 0.1); // position 6 is the second row
    const Word* second = find(all, "Cell026");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->page, 2);
    EXPECT_NEAR(second->y0, 0.5, 0.1); // position 1 of the second sheet

    addNumbered(10);
    auto every = print("Sheet", pdf, "--positions 6-30");
    EXPECT_NE(every.output.find("110 label(s) on 5 page(s)"), std::string::npos) << every.output;
    auto start = print("Sheet", pdf, "--start-at 6");
    EXPECT_NE(start.output.find("110 label(s) on 4 page(s)"), std::string::npos) << start.output;
    EXPECT_EQ(print("Sheet", pdf, "--start-at 31").status, 2);
}

// Berlin 10115 is no ZIP code: left out of the presort and counted.
TEST_F(MailRun, ForeignRecordsAreNotPresorted) {
    add({{"LNAME", "Home"}, {"CITY", "Newyork"}, {"ZIP", "10115"}}, 10);
    add({{"LNAME", "Abroad"}, {"CITY", "Berlin"}, {"ZIP", "10115"}, {"COUNTRY", "Germany"}}, 10);
    add({{"LNAME", "Abroad"}, {"CITY", "Paris"}, {"ZIP", "75008"}, {"COUNTRY", "France"}}, 3);
    add({{"LNAME", "Home"}, {"CITY", "Newyork"}, {"ZIP", "10115"}, {"COUNTRY", "u.s.a."}}, 2);
    const std::string list = folder.file("PRESORT.PSL");
    auto r = batch("presort " + shellQuote(file) + " --selection all --out " + shellQuote(list));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("13 selected records have no usable ZIP code or are addressed abroad"),
              std::string::npos)
        << r.output;
    std::ifstream in(list, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "** 5-digit 10115\r\n10115\r\n");

    ASSERT_EQ(batch("label new Sheet --template 'Avery 5160  Address'").status, 0);
    const std::string pdf = folder.file("presort.pdf");
    auto printed = print("Sheet", pdf, "--presort");
    ASSERT_EQ(printed.status, 0) << printed.output;
    EXPECT_NE(printed.output.find("12 label(s) and 1 presort heading(s)"), std::string::npos)
        << printed.output;
    auto all = words(pdf);
    EXPECT_FALSE(find(all, "Berlin"));
    EXPECT_FALSE(find(all, "Paris"));
}

TEST(Presort, UnitedStatesNamesAreDomestic) {
    using qp::labels::domesticCountry;
    for (const char* name : {"", "  ", "USA", "us", "U.S.A.", "U.S.", "United States",
                             "united states of america", "AMERICA"})
        EXPECT_TRUE(domesticCountry(name)) << name;
    for (const char* name : {"Germany", "Canada", "Australia", "Japan", "Mexico", "USSR"})
        EXPECT_FALSE(domesticCountry(name)) << name;
    EXPECT_EQ(qp::labels::presortZip("10115", "Germany"), "");
    EXPECT_EQ(qp::labels::presortZip("10115", "usa"), "10115");
}

// A Dymo 30252 roll (1.1 x 3.5 in, stored standing) is designed and printed
// with the address along its 3.5 in side.
TEST_F(MailRun, TallRollLabelsRunAlongTheirLongSide) {
    add({{"FNAME", "Rolland"},
         {"LNAME", "Feeder"},
         {"STREET", "77 Sunset Strip"},
         {"CITY", "Springfield"},
         {"STATE", "IL"},
         {"ZIP", "62701"}});
    ASSERT_EQ(batch("label new Roll --template 'Dymo 30252  Address'").status, 0);
    auto show = batch("label show Roll");
    ASSERT_EQ(show.status, 0) << show.output;
    EXPECT_NE(show.output.find("Label: 3.504 x 1.102 in"), std::string::npos) << show.output;
    EXPECT_NE(show.output.find("paper USERL"), std::string::npos) << show.output;
    const std::string pdf = folder.file("roll.pdf");
    auto r = print("Roll", pdf, "--yes");
    ASSERT_EQ(r.status, 0) << r.output;
    auto all = words(pdf);
    ASSERT_FALSE(pageSizes.empty());
    EXPECT_NEAR(pageSizes[0].first, 3.504, 0.02);
    EXPECT_NEAR(pageSizes[0].second, 1.220, 0.02);
    const Word* street = find(all, "Sunset");
    ASSERT_TRUE(street);
    EXPECT_GT(street->x1 - street->x0, street->y1 - street->y0); // read across the long side
    const Word* zip = find(all, "62701");
    ASSERT_TRUE(zip);
    EXPECT_LE(zip->y1, 1.220);
    EXPECT_GT(zip->x1, 1.2); // past where a standing label would end
}

TEST(LabelGeometry, OnlyTallLabelPrinterRollsTurn) {
    qp::labels::LabelTemplate roll;
    roll.description = "Dymo 30252  Address";
    roll.labelHeight = 3.504;
    roll.labelWidth = 1.102;
    roll.across = roll.down = 1;
    roll.leftMargin = 0.059;
    roll.horizontalPitch = 1.102;
    roll.verticalPitch = 3.504;
    roll.sheetWidth = 1.220;
    roll.sheetDepth = 3.504;
    roll.printer = "LP";
    roll.paperSize = "USERP";
    qp::labels::LabelDefinition def;
    qp::labels::applyTemplate(def, roll);
    EXPECT_FLOAT_EQ(def.labelWidth, 3.504f);
    EXPECT_FLOAT_EQ(def.labelHeight, 1.102f);
    EXPECT_FLOAT_EQ(def.topMargin, 0.059f);
    EXPECT_FLOAT_EQ(def.leftMargin, 0.0f);
    EXPECT_EQ(def.paperSize, "USERL");
    const auto paper = qp::labels::portraitPaperSize(def);
    EXPECT_NEAR(paper.width, 1.220, 1e-6);
    EXPECT_NEAR(paper.height, 3.504, 1e-6);

    qp::labels::LabelTemplate sheet = roll;
    sheet.printer = "LJ"; // a laser sheet keeps its stance
    qp::labels::LabelDefinition other;
    qp::labels::applyTemplate(other, sheet);
    EXPECT_EQ(other.paperSize, "USERP");
    EXPECT_FLOAT_EQ(other.labelHeight, 3.504f);
}

} // namespace
