// quillpost-batch zip-count and print-record.
#include "pdf_probe.h"
#include "reports_test_support.h"
#include "support/file_bytes.h"
#include "support/peer_tools.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using qp::testing::runCommand;
using qp::testing::shellQuote;

namespace {

using qp::testing::slurp;

class BatchReports : public ::testing::Test {
protected:
    void SetUp() override { file = home.file("ADD0001.DBF"); }
    void make(const std::vector<qp::testing::RecordValues>& records) {
        auto t = qp::testing::makeAddressFile(file, records);
        ASSERT_TRUE(t) << t.error();
    }
    qp::testing::CommandOutput batch(const std::string& args, const std::string& locale = "C") {
        return runCommand("QUILLPOST_HOME=" + shellQuote(home.path().toStdString()) +
                          " LC_ALL=" + locale + " " + QP_BATCH_EXE + " " + args);
    }
    qp::testing::ReportsHome home;
    std::string file;
};

} // namespace

TEST_F(BatchReports, ZipCountPrintsTheListWithTheLocaleSeparator) {
    std::vector<std::string> zips(1234, "12345");
    for (const char* z : {"12345-6789", "1234", "K1A 0B1", "", ""})
        zips.push_back(z);
    make(qp::testing::zipRecords(zips));
    auto us = batch("zip-count " + shellQuote(file), "en_US.UTF-8");
    ASSERT_EQ(us.status, 0) << us.output;
    EXPECT_EQ(us.output, "12345     1,235\n\n\n1234      1\nK1A 0     1\nBLANK     2\n");
    auto de = batch("zip-count " + shellQuote(file), "de_DE.UTF-8");
    ASSERT_EQ(de.status, 0) << de.output;
    EXPECT_EQ(de.output, "12345     1.235\n\n\n1234      1\nK1A 0     1\nBLANK     2\n");
}

TEST_F(BatchReports, ZipCountFilterCsvAndPdf) {
    make({{{"LNAME", "Able"}, {"ZIP", "30303"}},
          {{"LNAME", "Baker"}, {"ZIP", "10001"}},
          {{"LNAME", "Able"}, {"ZIP", "30303-1111"}}});
    const std::string csv = home.file("counts.csv");
    const std::string pdf = home.file("counts.pdf");
    auto r = batch("zip-count " + shellQuote(file) + " --criteria LNAME=Able --csv " +
                   shellQuote(csv) + " --pdf " + shellQuote(pdf));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "30303     2\n\n\n");
    EXPECT_EQ(slurp(csv), "ZIP,Count\r\n30303,2\r\n");
    const auto words = PdfWords(QString::fromStdString(pdf));
    EXPECT_NE(FindWord(words, "Report"), nullptr);
    EXPECT_NE(FindWord(words, "30303"), nullptr);

    // A CSV that cannot be written is said so, and nothing is left behind.
    auto bad = batch("zip-count " + shellQuote(file) + " --csv " +
                     shellQuote(home.file("missing/counts.csv")));
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.output.find("could not be written"), std::string::npos) << bad.output;
    auto none = batch("zip-count " + shellQuote(file) + " --criteria LNAME=Nobody");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(batch("zip-count " + shellQuote(file) + " --paper a4").status, 2);
}

TEST_F(BatchReports, PrintRecordWithChosenFields) {
    make({{{"LNAME", "Baker"}, {"ZIP", "12207"}, {"MEMO", "Ring twice."}},
          {{"LNAME", "Gone"}, {"ISDEL", "T"}}});
    const std::string pdf = home.file("record.pdf");
    auto r = batch("print-record " + shellQuote(file) +
                   " --recno 1 --fields LNAME,zip,Memo --pdf " + shellQuote(pdf));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "1 page(s) printed\n");
    const auto words = PdfWords(QString::fromStdString(pdf));
    for (const char* text : {"Last", "Baker", "Zip/Postal", "12207", "Ring", "twice."})
        EXPECT_NE(FindWord(words, text), nullptr) << text;
    EXPECT_EQ(FindWord(words, "Prefix"), nullptr);

    EXPECT_EQ(batch("print-record " + shellQuote(file) + " --pdf " + shellQuote(pdf)).status, 2);
    EXPECT_EQ(batch("print-record " + shellQuote(file) + " --recno 1 --fields Nope --pdf " +
                    shellQuote(pdf))
                  .status,
              2);
    auto missing =
        batch("print-record " + shellQuote(file) + " --recno 9 --pdf " + shellQuote(pdf));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("There is no record 9"), std::string::npos);
    auto deleted =
        batch("print-record " + shellQuote(file) + " --recno 2 --pdf " + shellQuote(pdf));
    EXPECT_EQ(deleted.status, 1);
    EXPECT_NE(deleted.output.find("deleted"), std::string::npos) << deleted.output;
}
