#include "labels_test_support.h"
#include "store/address_file.h"
#include "support/file_bytes.h"
#include "support/peer_tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

using qp::testing::runCommand;
using qp::testing::shellQuote;

namespace {

using qp::testing::slurp;

} // namespace

TEST(BatchLabels, PresortWritesTheList) {
    qp::testing::LabelsTempFolder folder;
    std::string file = folder.file("add0001.DBF");
    ASSERT_TRUE(qp::store::createAddressFile(file, {}));
    {
        auto t = qp::store::openAddressFile(file);
        ASSERT_TRUE(t) << t.error();
        for (int i = 0; i < 12; ++i) {
            ASSERT_TRUE(t->append());
            ASSERT_TRUE(t->replace("LNAME", "Name" + std::to_string(i)));
            ASSERT_TRUE(t->replace("ZIP", i < 10 ? "98101" : i == 10 ? "00012" : "ABCDE"));
            ASSERT_TRUE(t->post());
        }
    }
    std::string out = folder.file("PRESORT.PSL");
    auto r = runCommand(std::string(QP_BATCH_EXE) + " presort " + shellQuote(file) +
                        " --selection all --out " + shellQuote(out));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("1 selected records have no usable ZIP"), std::string::npos)
        << r.output;
    EXPECT_EQ(slurp(out), "** 5-digit 98101\r\n98101\r\n** Unknown\r\n00012\r\n");
}

TEST(BatchLabels, StockListsTheCatalogueWithItsFilter) {
    auto all = runCommand(std::string(QP_BATCH_EXE) + " label-stock");
    ASSERT_EQ(all.status, 0) << all.output;
    EXPECT_NE(all.output.find("Avery 5160  Address,1.000,2.625,3,10,0.500,0.188,2.750,1.000,"
                              "8.500,11.000,LTR"),
              std::string::npos);
    auto costar = runCommand(std::string(QP_BATCH_EXE) +
                             " label-stock --manufacturer 'Costar LabelPrinter' --product All");
    ASSERT_EQ(costar.status, 0) << costar.output;
    EXPECT_EQ(costar.output.find("Avery"), std::string::npos);
    EXPECT_NE(costar.output.find("COSTAR"), std::string::npos);
    auto bad = runCommand(std::string(QP_BATCH_EXE) + " label-stock --product Nothing");
    EXPECT_EQ(bad.status, 2);
}

namespace {

// A program folder of its own, an address file of `count` records named
// Cell01, Cell02, ... and a saved design "Sheet" on Avery 5160.
class BatchLabelPrinting : public ::testing::Test {
protected:
    void SetUp() override {
        home = folder.path().string();
        file = folder.file("ADD0001.DBF");
        ASSERT_TRUE(qp::store::createAddressFile(file, {}));
    }
    void addRecords(int count, const std::string& zip = "12345") {
        auto t = qp::store::openAddressFile(file);
        ASSERT_TRUE(t) << t.error();
        for (int i = 1; i <= count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "Cell%02d", i);
            ASSERT_TRUE(t->append());
            ASSERT_TRUE(t->replace("LNAME", name));
            ASSERT_TRUE(t->replace("ZIP", zip));
            ASSERT_TRUE(t->post());
        }
    }
    qp::testing::CommandOutput batch(const std::string& args) {
        return runCommand("QUILLPOST_HOME=" + shellQuote(home) + " " + QP_BATCH_EXE + " " + args);
    }
    // Word -> (x, y) of its top-left in inches, first page.
    std::map<std::string, std::pair<double, double>> words(const std::string& pdf) {
        auto r = runCommand("pdftotext -f 1 -l 1 -bbox " + shellQuote(pdf) + " -");
        std::map<std::string, std::pair<double, double>> out;
        std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>([^<]+)</word>)re");
        for (std::sregex_iterator i(r.output.begin(), r.output.end(), word), end; i != end; ++i)
            out[(*i)[3]] = {std::stod((*i)[1]) / 72, std::stod((*i)[2]) / 72};
        return out;
    }
    qp::testing::LabelsTempFolder folder;
    std::string home, file;
};

TEST_F(BatchLabelPrinting, EveryCellOfASheetPrintsAtItsOrigin) {
    addRecords(30);
    auto made = batch("label new Sheet --template 'Avery 5160  Address'");
    ASSERT_EQ(made.status, 0) << made.output;
    auto show = batch("label show Sheet");
    ASSERT_EQ(show.status, 0) << show.output;
    EXPECT_NE(show.output.find("30,3,10,5.688,9.500,2.625,1.000"), std::string::npos)
        << show.output;

    const std::string pdf = folder.file("sheet.pdf");
    auto r = batch("labels " + shellQuote(file) + " --label Sheet --pdf " + shellQuote(pdf) +
                   " --selection all");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("30 label(s) on 1 page(s)"), std::string::npos) << r.output;
    auto found = words(pdf);
    // The new label's address block sits 5 design pixels inside the cell.
    const double inset = 5.0 / 96;
    for (int p = 0; p < 30; ++p) {
        char name[16];
        std::snprintf(name, sizeof name, "Cell%02d", p + 1);
        ASSERT_TRUE(found.count(name)) << name;
        const double x = 0.188 + (p % 3) * 2.75 + inset, y = 0.5 + (p / 3) * 1.0 + inset;
        EXPECT_NEAR(found[name].first, x, 0.02) << name;
        EXPECT_NEAR(found[name].second, y, 0.02) << name;
    }
}

TEST_F(BatchLabelPrinting, PositionsAndCopiesAsTheWindowTakesThem) {
    addRecords(2);
    ASSERT_EQ(batch("label new Sheet").status, 0);
    const std::string pdf = folder.file("two.pdf");
    auto r = batch("labels " + shellQuote(file) + " --label Sheet --pdf " + shellQuote(pdf) +
                   " --selection all --copies 2 --positions 1,3-30");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("4 label(s) on 1 page(s)"), std::string::npos) << r.output;
    auto text = runCommand("pdftotext -layout " + shellQuote(pdf) + " -").output;
    // Row 1: Cell01, (empty), Cell01; row 2: Cell02, Cell02.
    EXPECT_NE(text.find("Cell01"), std::string::npos);
    auto firstRow = text.substr(0, text.find('\n'));
    EXPECT_EQ(std::count(text.begin(), text.end(), 'C'), 4) << text;
    EXPECT_NE(firstRow.find("Cell01"), firstRow.rfind("Cell01")) << text;

    auto bad = batch("labels " + shellQuote(file) + " --label Sheet --pdf " + shellQuote(pdf) +
                     " --positions 31");
    EXPECT_EQ(bad.status, 2) << bad.output;
    auto unknown =
        batch("labels " + shellQuote(file) + " --label Nothing --pdf " + shellQuote(pdf));
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.output.find("There is no label called \"Nothing\""), std::string::npos);
}

TEST_F(BatchLabelPrinting, PresortPrintsHeadingLabels) {
    addRecords(11, "12345");
    ASSERT_EQ(batch("label new Sheet").status, 0);
    const std::string pdf = folder.file("presort.pdf");
    auto r = batch("labels " + shellQuote(file) + " --label Sheet --pdf " + shellQuote(pdf) +
                   " --selection all --presort");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("11 label(s) and 1 presort heading(s)"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Labels will print/preview in the following order:"),
              std::string::npos);
    EXPECT_EQ(slurp(folder.file("PRESORT.PSL")), "** 5-digit 12345\r\n12345\r\n");
    auto found = words(pdf);
    ASSERT_TRUE(found.count("5-digit"));
    EXPECT_NEAR(found["5-digit"].second, 0.5 + 1.0 / 3, 0.1);
}

TEST_F(BatchLabelPrinting, ImportLayoutGivesADesignTheObjectsOfAFile) {
    ASSERT_EQ(batch("label new First").status, 0);
    auto copy = batch("label import-layout Second " + shellQuote(home + "/sysdata/BIN00001.L") +
                      " --template 'Avery 5160  Address'");
    ASSERT_EQ(copy.status, 0) << copy.output;
    EXPECT_NE(copy.output.find("BIN00002.L (1 object(s))"), std::string::npos) << copy.output;
    auto list = batch("label list");
    EXPECT_NE(list.output.find("First,Avery 5160  Address,3,10"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("Second,"), std::string::npos);
    std::ofstream(folder.file("broken.L")) << "TPF0";
    auto broken = batch("label import-layout Third " + shellQuote(folder.file("broken.L")));
    EXPECT_EQ(broken.status, 1) << broken.output;
    EXPECT_EQ(batch("label list").output.find("Third"), std::string::npos);
    EXPECT_EQ(batch("label new First").status, 1);
}

TEST_F(BatchLabelPrinting, ADamagedOrMissingLayoutPrintsNothing) {
    addRecords(3);
    ASSERT_EQ(batch("label new Sheet").status, 0);
    const std::string layout = home + "/sysdata/BIN00001.L";
    std::ofstream(layout, std::ios::binary | std::ios::trunc)
        << std::string("\x01TPF0\x08TGPLa", 11);
    const std::string pdf = folder.file("none.pdf");
    auto r = batch("labels " + shellQuote(file) + " --label Sheet --pdf " + shellQuote(pdf) +
                   " --selection all");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("at byte"), std::string::npos) << r.output;
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_EQ(slurp(layout), std::string("\x01TPF0\x08TGPLa", 11));
    std::filesystem::remove(layout);
    r = batch("labels " + shellQuote(file) + " --label Sheet --pdf " + shellQuote(pdf));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("Label definition file has been removed from the sysdata directory"),
              std::string::npos)
        << r.output;
}

TEST(BatchStock, ListNarrowsByMakerPrinterAndPaper) {
    auto avery = runCommand(std::string(QP_BATCH_EXE) + " stock list --maker avery --printer LJ");
    ASSERT_EQ(avery.status, 0) << avery.output;
    EXPECT_NE(avery.output.find("Avery 5160  Address"), std::string::npos);
    EXPECT_EQ(avery.output.find(",IJ,"), std::string::npos);
    auto euro = runCommand(std::string(QP_BATCH_EXE) + " stock list --european");
    ASSERT_EQ(euro.status, 0) << euro.output;
    EXPECT_EQ(euro.output.find(",LTR,"), std::string::npos);
    EXPECT_NE(euro.output.find(",A4,"), std::string::npos);
    EXPECT_EQ(runCommand(std::string(QP_BATCH_EXE) + " stock list --printer XX").status, 2);
    EXPECT_EQ(runCommand(std::string(QP_BATCH_EXE) + " stock list --maker 'a\"b'\"'\"").status, 2);
}

} // namespace
