// The count: keys, groups, the result list and the walk over a selection.
#include "reports/zip_count.h"
#include "reports_test_support.h"
#include "store/filter_criteria.h"

#include <gtest/gtest.h>

using namespace qp;
using namespace qp::reports;
using qp::testing::makeAddressFile;
using qp::testing::ReportsHome;
using qp::testing::zipRecords;

namespace {

std::vector<std::string> countLines(store::Table& table, store::RecordSelection selection = {},
                                    std::string_view separator = ",") {
    auto run = countZipCodes(table, selection);
    EXPECT_EQ(run.outcome, ZipCountOutcome::Done) << run.message;
    return zipResultLines(run.tallies, separator);
}

using Lines = std::vector<std::string>;

} // namespace

TEST(ZipCountKey, FirstFiveCharactersOfTheTrimmedZip) {
    EXPECT_EQ(zipCountKey("12345-6789"), "12345");
    EXPECT_EQ(zipCountKey("  1234  "), "1234");
    EXPECT_EQ(zipCountKey("K1A 0B1"), "K1A 0");
    EXPECT_EQ(zipCountKey("          "), "");
    EXPECT_EQ(zipCountKey(""), "");
}

TEST(ZipCountKey, DigitGroupsFollowTheLexicalTest) {
    EXPECT_EQ(zipGroupOf("00000"), 0);
    EXPECT_EQ(zipGroupOf("12345"), 1);
    EXPECT_EQ(zipGroupOf("99999"), 9);
    // Only length, first digit and the two character-order bounds count.
    EXPECT_EQ(zipGroupOf("1234A"), 1);
    EXPECT_EQ(zipGroupOf("12-34"), 1);
    EXPECT_EQ(zipGroupOf("9999Z"), kOtherGroup); // 'Z' sorts after "99999-999"
    EXPECT_EQ(zipGroupOf("1234"), kOtherGroup);
    EXPECT_EQ(zipGroupOf("K1A 0"), kOtherGroup);
    EXPECT_EQ(zipGroupOf("A1234"), kOtherGroup);
}

TEST(ZipCountFormat, ThousandsSeparatorsAndWholeCounts) {
    EXPECT_EQ(formatCount(0, ","), "0");
    EXPECT_EQ(formatCount(999, ","), "999");
    EXPECT_EQ(formatCount(1234, ","), "1,234");
    EXPECT_EQ(formatCount(1234, "."), "1.234");
    EXPECT_EQ(formatCount(1000000, ","), "1,000,000");
    EXPECT_EQ(formatCount(12345678901ull, "\u202f"), "12\u202f345\u202f678\u202f901");
    EXPECT_EQ(zipResultLine({"12345", 1000000}, ","), "12345     1,000,000");
    EXPECT_EQ(zipResultLine({"BLANK", 5}, ","), "BLANK     5");
    // The key is cut or padded to ten characters, counted as characters.
    EXPECT_EQ(zipResultLine({"\xC3\x84"
                             "BC",
                             2},
                            ","),
              "\xC3\x84"
              "BC       2");
    const auto parts = splitZipResultLine("12345     1,000,000");
    EXPECT_EQ(parts.key, "12345");
    EXPECT_EQ(parts.count, "1,000,000");
    EXPECT_EQ(splitZipResultLine("").key, "");
    EXPECT_EQ(splitZipResultLine("1234      7").key, "1234");
}

TEST(ZipCount, TheExampleSetGivesItsExactLines) {
    ReportsHome home;
    auto t = makeAddressFile(home.file("ADD0001.DBF"),
                             zipRecords({"12345", "1234", "12345-6789", "K1A 0B1", "", "02134", "",
                                         "", "", "", "k1a 0x9", "90210"}));
    ASSERT_TRUE(t) << t.error();
    EXPECT_EQ(countLines(*t), (Lines{"02134     1", "12345     2", "90210     1", "", "",
                                     "1234      1", "K1A 0     1", "k1a 0     1", "BLANK     5"}));
}

TEST(ZipCount, SeparatorAndOtherGroupOrder) {
    ReportsHome home;
    std::vector<std::string> zips(1234, "12345");
    for (const char* z : {"abd", "ABC", "Abb", "0123"})
        zips.push_back(z);
    auto t = makeAddressFile(home.file("ADD0001.DBF"), zipRecords(zips));
    ASSERT_TRUE(t) << t.error();
    // Other keys sort without regard to case.
    EXPECT_EQ(countLines(*t, {}, "."), (Lines{"12345     1.234", "", "", "0123      1",
                                              "Abb       1", "ABC       1", "abd       1"}));
}

TEST(ZipCount, AnEmptySelectionGivesOnlyTheTwoEmptyLines) {
    ReportsHome home;
    auto t = makeAddressFile(home.file("ADD0001.DBF"), {});
    ASSERT_TRUE(t) << t.error();
    EXPECT_EQ(countLines(*t), (Lines{"", ""}));
    auto deleted = makeAddressFile(home.file("ADD0002.DBF"), {{{"ZIP", "12345"}, {"ISDEL", "T"}}});
    ASSERT_TRUE(deleted) << deleted.error();
    EXPECT_EQ(countLines(*deleted), (Lines{"", ""}));
}

TEST(ZipCount, CountsTheSelectionAndPutsTheTableBack) {
    ReportsHome home;
    auto t = makeAddressFile(home.file("ADD0001.DBF"),
                             zipRecords({"30303", "10001", "30303", "", "10001", "60606"}));
    ASSERT_TRUE(t) << t.error();
    ASSERT_TRUE(t->setOrder(t->tagArea("ZIP")));
    ASSERT_TRUE(t->setQuery("LNAME <> 'Name2' .and. !ISDEL"));
    ASSERT_TRUE(t->go(3));
    EXPECT_EQ(countLines(*t),
              (Lines{"10001     1", "30303     2", "60606     1", "", "", "BLANK     1"}));
    EXPECT_EQ(t->indexOrd(), t->tagArea("ZIP"));
    EXPECT_EQ(t->recNo(), 3u);
    EXPECT_EQ(t->dbFilter(), "LNAME <> 'Name2' .and. !ISDEL");

    store::RecordSelection all;
    all.choice = store::SelectionChoice::All;
    EXPECT_EQ(countLines(*t, all)[0], "10001     2");
    store::RecordSelection current;
    current.choice = store::SelectionChoice::Current;
    EXPECT_EQ(countLines(*t, current), (Lines{"30303     1", "", ""}));
    EXPECT_EQ(t->recNo(), 3u);
}

TEST(ZipCount, StatusTextsAndCancel) {
    ReportsHome home;
    auto t = makeAddressFile(home.file("ADD0001.DBF"),
                             zipRecords(std::vector<std::string>(250, "12345")));
    ASSERT_TRUE(t) << t.error();
    ASSERT_TRUE(t->go(17));
    std::vector<std::string> texts;
    ZipCountHooks hooks;
    hooks.status = [&](std::string_view s) { texts.emplace_back(s); };
    auto run = countZipCodes(*t, {}, hooks);
    ASSERT_EQ(run.outcome, ZipCountOutcome::Done);
    EXPECT_EQ(texts, (std::vector<std::string>{"Reading database records...", "Reading record 100",
                                               "Reading record 200", "Sorting Zip Codes..."}));
    EXPECT_EQ(run.counter.records(), 250u);

    int asked = 0;
    hooks.cancelRequested = [&] { return ++asked == 120; };
    run = countZipCodes(*t, {}, hooks);
    EXPECT_EQ(run.outcome, ZipCountOutcome::Canceled);
    EXPECT_EQ(run.counter.records(), 120u); // stopped after the current record
    EXPECT_TRUE(run.tallies.empty());
    EXPECT_EQ(t->recNo(), 17u);
}

TEST(ZipCount, CsvRowsInListOrder) {
    std::vector<ZipTally> tallies{
        {"02134", 1}, {"12345", 1234}, {"K1A 0", 2}, {"A,B", 1}, {"BLANK", 5}};
    EXPECT_EQ(zipCountCsv(tallies), "ZIP,Count\r\n02134,1\r\n12345,1234\r\nK1A 0,2\r\n"
                                    "\"A,B\",1\r\nBLANK,5\r\n");
    EXPECT_EQ(zipCountCsv({}), "ZIP,Count\r\n");
}

TEST(ZipCount, WindowsTextInTheKeyIsReadAsUtf8) {
    ReportsHome home;
    auto t = makeAddressFile(home.file("ADD0001.DBF"), zipRecords({"\xC3\x84"
                                                                   "1B 2C3"}));
    ASSERT_TRUE(t) << t.error();
    EXPECT_EQ(countLines(*t), (Lines{"", "",
                                     "\xC3\x84"
                                     "1B 2     1"}));
}
