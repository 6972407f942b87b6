// quillpost-batch report: new, list, show, builtin, print and import-layout.
#include "pdf_probe.h"
#include "reports_test_support.h"
#include "support/file_bytes.h"
#include "support/peer_tools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using qp::testing::runCommand;
using qp::testing::shellQuote;

namespace {

using qp::testing::slurp;

class BatchReport : public ::testing::Test {
protected:
    void SetUp() override {
        file = home.file("ADD0001.DBF");
        auto t = qp::testing::makeAddressFile(
            file, {{{"LNAME", "Able"},
                    {"FNAME", "Ann"},
                    {"CITY", "Avon"},
                    {"STATE", "CT"},
                    {"PHONE", "555-0101"}},
                   {{"LNAME", "Baker"}, {"CITY", "Bath"}, {"PHONE", "555-0202"}}});
        ASSERT_TRUE(t) << t.error();
    }
    qp::testing::CommandOutput batch(const std::string& args) {
        return runCommand("QUILLPOST_HOME=" + shellQuote(home.path().toStdString()) + " LC_ALL=C " +
                          QP_BATCH_EXE + " " + args);
    }
    std::string sysdata(const std::string& name) const {
        return home.path().toStdString() + "/sysdata/" + name;
    }
    qp::testing::ReportsHome home;
    std::string file;
};

} // namespace

TEST_F(BatchReport, NewListShowAndPrint) {
    auto made = batch("report new \"Phone list\" --layout \"A4 Size, Portrait\"");
    ASSERT_EQ(made.status, 0) << made.output;
    EXPECT_NE(made.output.find("BIN00001.R"), std::string::npos);
    EXPECT_EQ(batch("report new \"phone LIST\"").status, 1); // the description is taken
    EXPECT_EQ(batch("report new X --layout \"Legal\"").status, 2);

    auto list = batch("report list");
    ASSERT_EQ(list.status, 0) << list.output;
    EXPECT_EQ(list.output,
              "DESCRIPT,LAYOUT,BINARY\r\nPhone list,\"A4 Size, Portrait\",BIN00001.R\r\n");

    auto show = batch("report show \"Phone list\"");
    ASSERT_EQ(show.status, 0) << show.output;
    EXPECT_NE(show.output.find("\"PageWidth\":793"), std::string::npos) << show.output;
    EXPECT_NE(show.output.find("\"PageHeight\":1121"), std::string::npos);
    EXPECT_NE(show.output.find("\"band\":\"detail\""), std::string::npos);
    EXPECT_NE(show.output.find("TGPageNumberLabel"), std::string::npos);

    const std::string pdf = home.file("phones.pdf");
    auto printed =
        batch("report print \"Phone list\" " + shellQuote(file) + " --pdf " + shellQuote(pdf));
    ASSERT_EQ(printed.status, 0) << printed.output;
    EXPECT_EQ(printed.output, "2 record(s) on 1 page(s)\n");
    const auto words = PdfWords(QString::fromStdString(pdf));
    EXPECT_NE(FindWord(words, "Phone"), nullptr);
    EXPECT_NE(FindWord(words, "555-0202"), nullptr);
    EXPECT_NEAR(PdfPageSize(QString::fromStdString(pdf)).width(), 8.27, 0.02);

    auto one = batch("report print \"Phone list\" " + shellQuote(file) + " --one-per-page --pdf " +
                     shellQuote(pdf) + " --overwrite");
    ASSERT_EQ(one.status, 0) << one.output;
    EXPECT_EQ(PdfPageCount(QString::fromStdString(pdf)), 2);
    EXPECT_EQ(
        batch("report print Nothing " + shellQuote(file) + " --pdf " + shellQuote(pdf)).status, 1);
}

TEST_F(BatchReport, BuiltInReportsWithTheirOptions) {
    const std::string pdf = home.file("r2.pdf");
    auto r = batch("report builtin 2 " + shellQuote(file) + " --title \"Phone Book\" --pdf " +
                   shellQuote(pdf));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "2 record(s) on 1 page(s)\n");
    const auto words = PdfWords(QString::fromStdString(pdf));
    EXPECT_NE(FindWord(words, "Book"), nullptr);
    EXPECT_NE(FindWord(words, "Organization"), nullptr);
    auto filtered = batch("report builtin 1 " + shellQuote(file) +
                          " --criteria LNAME=Baker --pdf " + shellQuote(pdf));
    ASSERT_EQ(filtered.status, 0) << filtered.output;
    EXPECT_EQ(filtered.output, "1 record(s) on 1 page(s)\n");
    EXPECT_EQ(batch("report builtin 5 " + shellQuote(file) + " --pdf " + shellQuote(pdf)).status,
              2);
    EXPECT_EQ(batch("report builtin 1 " + shellQuote(file) + " --pdf " + shellQuote(pdf) +
                    " --one-per-page")
                  .status,
              2);
}

TEST_F(BatchReport, ImportLayoutRefusesADamagedFileAndKeepsTheReport) {
    ASSERT_EQ(batch("report new Members").status, 0);
    const std::string layout = sysdata("BIN00001.R");
    const std::string before = slurp(layout);
    const std::string damaged = home.file("damaged.R");
    {
        std::ofstream f(damaged, std::ios::binary);
        f << before.substr(0, before.size() - 20);
    }
    auto bad = batch("report import-layout Members " + shellQuote(damaged));
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.output.find("cannot be used"), std::string::npos) << bad.output;
    EXPECT_EQ(slurp(layout), before);

    const std::string copy = home.file("copy.R");
    std::filesystem::copy_file(layout, copy);
    auto good = batch("report import-layout Second " + shellQuote(copy));
    ASSERT_EQ(good.status, 0) << good.output;
    // The same objects (named as read) and the same settings.
    const std::string imported = slurp(sysdata("BIN00002.R"));
    const std::string settings("\x01\x03\x34\x21", 4); // the list, then a width of 8500
    ASSERT_NE(before.rfind(settings), std::string::npos);
    EXPECT_EQ(imported.substr(imported.rfind(settings)), before.substr(before.rfind(settings)));
}
