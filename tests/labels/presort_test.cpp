#include "labels/presort.h"
#include "labels_test_support.h"
#include "support/file_bytes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

using namespace qp::labels;

namespace {

std::string presortOf(const std::vector<std::string>& zips) {
    PresortTally tally;
    for (const auto& z : zips)
        tally.add(z);
    return groupPresort(tally).text();
}

std::vector<std::string> times(int n, const std::string& zip) {
    return std::vector<std::string>(static_cast<std::size_t>(n), zip);
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

using qp::testing::slurp;

// A table with just the fields the walk reads.
qp::store::Table zipTable(const std::string& path, const std::vector<std::string>& zips) {
    EXPECT_TRUE(qp::store::Table::create(path, {{"ZIP", 'C', 10, 0}, {"ISDEL", 'L', 1, 0}}));
    auto t = qp::store::Table::open(path, qp::store::OpenMode::Exclusive);
    EXPECT_TRUE(t);
    for (const auto& z : zips) {
        EXPECT_TRUE(t->append());
        EXPECT_TRUE(t->replace("ZIP", z));
        EXPECT_TRUE(t->post());
    }
    return std::move(*t);
}

} // namespace

TEST(PresortTable, NinetySixRowsNamingNineHundredThirtyPrefixes) {
    std::set<std::string> prefixes;
    std::size_t tokens = 0;
    for (const auto& row : adcTable()) {
        std::istringstream in{std::string(row.prefixes)};
        for (std::string p; in >> p; ++tokens)
            prefixes.insert(p);
    }
    EXPECT_EQ(adcTable().size(), 96u);
    EXPECT_EQ(prefixes.size(), 930u);
    EXPECT_EQ(tokens, 930u);
    EXPECT_EQ(adcTable()[25].name, "FARGO ND  580");
    EXPECT_EQ(adcTable()[36].name, "LAS VEGAS  NV 890");
    EXPECT_EQ(adcTable()[73].name, "SAN JUAN PR  006");
}

TEST(Presort, TenInOneZipFormAFiveDigitGroup) {
    EXPECT_EQ(presortOf(times(10, "12345")), "** 5-digit 12345\r\n12345\r\n");
}

TEST(Presort, NineAndOneNeighbourFormAThreeDigitGroup) {
    EXPECT_EQ(presortOf(times(9, "12345") + times(1, "12346")),
              "** 3-digit 123\r\n12345\r\n12346\r\n");
}

TEST(Presort, NineAloneGoToTheirAdc) {
    EXPECT_EQ(presortOf(times(9, "12345")), "** ADC ALBANY NY 120\r\n12345\r\n");
}

TEST(Presort, NineDigitZipCountsUnderItsFiveDigitKey) {
    EXPECT_EQ(presortOf(times(5, "12345-6789") + times(5, "12345")),
              "** 5-digit 12345\r\n12345\r\n");
}

TEST(Presort, ShortKeysAreAcceptedAndGrouped) {
    EXPECT_TRUE(acceptablePresortKey("1234"));
    EXPECT_EQ(presortOf(times(10, "1234")), "** 5-digit 1234\r\n1234\r\n");
    // Four of "1234" and six of "12399" share the prefix "123".
    EXPECT_EQ(presortOf(times(4, "1234") + times(6, "12399")),
              "** 3-digit 123\r\n1234\r\n12399\r\n");
}

TEST(Presort, UnusableZipsAreNotCounted) {
    PresortTally tally;
    EXPECT_FALSE(tally.add("A1234"));
    EXPECT_FALSE(tally.add(""));
    EXPECT_FALSE(tally.add(" 12345"));
    EXPECT_FALSE(tally.add("1*345"));
    EXPECT_FALSE(tally.add("9999A")); // above "99999-999"
    EXPECT_TRUE(tally.add("00000"));
    EXPECT_EQ(tally.unplaced(), 5u);
    EXPECT_EQ(tally.counted(), 1u);
}

TEST(Presort, AdcRowsByPrefix) {
    EXPECT_EQ(presortOf({"90210"}), "** ADC TWIN VALLEY CA 900\r\n90210\r\n");
    EXPECT_EQ(presortOf({"90012"}), "** ADC LOS ANGELES CA 900\r\n90012\r\n");
    EXPECT_EQ(presortOf({"00012", "00100"}), "** Unknown\r\n00012\r\n00100\r\n");
}

TEST(Presort, ThePassesInTheirOrder) {
    auto zips = times(12, "60601") + times(10, "02134") + times(3, "10001") + times(7, "10002") +
                times(2, "90210") + times(1, "90212") + times(1, "12345") + times(2, "00001") +
                times(1, "12201") + times(1, "99999");
    EXPECT_EQ(presortOf(zips), "** 5-digit 02134\r\n02134\r\n"
                               "** 5-digit 60601\r\n60601\r\n"
                               "** 3-digit 100\r\n10001\r\n10002\r\n"
                               "** ADC ALBANY NY 120\r\n12201\r\n12345\r\n"
                               "** ADC SEATTLE WA 980\r\n99999\r\n"
                               "** ADC TWIN VALLEY CA 900\r\n90210\r\n90212\r\n"
                               "** Unknown\r\n00001\r\n");
}

TEST(Presort, EmptySelectionWritesAnEmptyFile) {
    qp::testing::LabelsTempFolder folder;
    std::string out = folder.file("PRESORT.PSL");
    ZipSource none = [](std::string&, std::uint32_t&) { return false; };
    auto run = runPresort(none, out);
    EXPECT_EQ(run.outcome, PresortOutcome::Done);
    ASSERT_TRUE(std::filesystem::exists(out));
    EXPECT_EQ(std::filesystem::file_size(out), 0u);
}

TEST(Presort, WalksTheSelectionAndWritesTheList) {
    qp::testing::LabelsTempFolder folder;
    auto zips = times(10, "12345") + times(3, "A0000") + times(2, "98101");
    auto table = zipTable(folder.file("ADDR.DBF"), zips);
    table.go(2);
    std::vector<std::string> statuses;
    std::uint32_t askedUnplaced = 0;
    PresortHooks hooks;
    hooks.status = [&](std::string_view s) { statuses.emplace_back(s); };
    hooks.goOnWithUnplaced = [&](std::uint32_t unplaced, std::uint32_t selected) {
        askedUnplaced = unplaced;
        EXPECT_EQ(selected, 15u);
        return true;
    };
    std::string out = folder.file("PRESORT.PSL");
    auto run = runPresort(table, {qp::store::SelectionChoice::All, false, true}, out, hooks);
    ASSERT_EQ(run.outcome, PresortOutcome::Done) << run.message;
    EXPECT_EQ(askedUnplaced, 3u);
    EXPECT_EQ(slurp(out), "** 5-digit 12345\r\n12345\r\n** ADC SEATTLE WA 980\r\n98101\r\n");
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses.front(), "Reading database records...");
    EXPECT_EQ(statuses.back(), "Sorting Zip Codes...");
    EXPECT_EQ(table.recNo(), 2u);
    auto lines = readPresortList(out);
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 4u);
    EXPECT_TRUE((*lines)[0].heading);
    EXPECT_FALSE((*lines)[1].heading);
}

TEST(Presort, StartFromCurrentCountsFromTheCurrentRecord) {
    qp::testing::LabelsTempFolder folder;
    auto table = zipTable(folder.file("ADDR.DBF"), times(5, "55401") + times(10, "12345"));
    table.go(6);
    auto run = runPresort(table, {qp::store::SelectionChoice::All, true, true},
                          folder.file("PRESORT.PSL"));
    ASSERT_EQ(run.outcome, PresortOutcome::Done) << run.message;
    EXPECT_EQ(run.result.text(), "** 5-digit 12345\r\n12345\r\n");
}

TEST(Presort, CancelWritesNothing) {
    qp::testing::LabelsTempFolder folder;
    auto table = zipTable(folder.file("ADDR.DBF"), times(20, "12345"));
    std::string out = folder.file("PRESORT.PSL");
    int seen = 0;
    PresortHooks hooks;
    hooks.cancelRequested = [&] { return ++seen == 3; };
    auto run = runPresort(table, {qp::store::SelectionChoice::All, false, true}, out, hooks);
    EXPECT_EQ(run.outcome, PresortOutcome::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(Presort, DecliningUnplacedRecordsWritesNothing) {
    qp::testing::LabelsTempFolder folder;
    auto table = zipTable(folder.file("ADDR.DBF"), {"12345", "X"});
    std::string out = folder.file("PRESORT.PSL");
    PresortHooks hooks;
    hooks.goOnWithUnplaced = [](std::uint32_t, std::uint32_t) { return false; };
    auto run = runPresort(table, {qp::store::SelectionChoice::All, false, true}, out, hooks);
    EXPECT_EQ(run.outcome, PresortOutcome::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(Presort, AFailedWriteIsReported) {
    qp::testing::LabelsTempFolder folder;
    ZipSource one = [n = 0](std::string& zip, std::uint32_t& recno) mutable {
        zip = "12345";
        recno = 1;
        return n++ == 0;
    };
    auto run = runPresort(one, folder.file("missing/PRESORT.PSL"));
    EXPECT_EQ(run.outcome, PresortOutcome::Failed);
    EXPECT_NE(run.message.find("PRESORT.PSL"), std::string::npos);
}

TEST(Presort, HeadingsAreOnlyLinesBeginningWithTheMark) {
    qp::testing::LabelsTempFolder folder;
    std::string path = folder.file("PRESORT.PSL");
    std::ofstream(path, std::ios::binary) << "** ADC X\r\n1**23\r\n**\r\n12345\r\n";
    auto lines = readPresortList(path);
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 4u);
    EXPECT_TRUE((*lines)[0].heading);
    EXPECT_FALSE((*lines)[1].heading);
    EXPECT_FALSE((*lines)[2].heading);
    EXPECT_EQ((*lines)[3].text, "12345");
}
