#include "store/csz_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

using namespace qp::store;

namespace {

std::vector<CszRow> shipped() {
    auto rows = ReadCszSource(std::string(QP_SOURCE_DIR) + "/" + std::string(kCszSourceName));
    EXPECT_TRUE(rows.ok()) << rows.error();
    return rows.ok() ? *rows : std::vector<CszRow>{};
}

// The first row of a state: the one the state/ZIP check compares.
const CszRow* firstRow(const std::vector<CszRow>& rows, std::string_view state) {
    auto it =
        std::find_if(rows.begin(), rows.end(), [&](const CszRow& r) { return r.state == state; });
    return it == rows.end() ? nullptr : &*it;
}

bool inRange(const CszRow& row, std::string_view zip) {
    return !(zip < row.lowZip) && !(zip > row.highZip);
}

} // namespace

TEST(CszSource, ParsesColumnsCommentsAndErrors) {
    auto rows = ParseCszSource("# header\r\n\r\nIllinois | IL | 60000 | 62999\r\n"
                               "  Ontario|ON|K0A 0A0|P9Z 9Z9  \n");
    ASSERT_TRUE(rows.ok()) << rows.error();
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0], (CszRow{"Illinois", "IL", "60000", "62999"}));
    EXPECT_EQ((*rows)[1], (CszRow{"Ontario", "ON", "K0A 0A0", "P9Z 9Z9"}));

    auto three = ParseCszSource("#\nA | B | C\n");
    ASSERT_FALSE(three.ok());
    EXPECT_NE(three.error().find("Line 2"), std::string::npos);
    EXPECT_FALSE(ParseCszSource("A | TOOLONG | 1 | 2\n").ok());
    EXPECT_FALSE(ParseCszSource("A name much longer than twenty | XX | 1 | 2\n").ok());
    EXPECT_FALSE(ParseCszSource("A | XX | 2 | 1\n").ok());
    EXPECT_FALSE(ParseCszSource("A | XX |  | 1\n").ok());
}

TEST(CszSource, ShippedFileCoversEveryStateTerritoryAndProvince) {
    std::vector<CszRow> rows = shipped();
    const std::set<std::string> expected = {
        "AL", "AK", "AZ", "AR", "CA", "CO", "CT", "DE", "DC", "FL", "GA", "HI", "ID", "IL", "IN",
        "IA", "KS", "KY", "LA", "ME", "MD", "MA", "MI", "MN", "MS", "MO", "MT", "NE", "NV", "NH",
        "NJ", "NM", "NY", "NC", "ND", "OH", "OK", "OR", "PA", "RI", "SC", "SD", "TN", "TX", "UT",
        "VT", "VA", "WA", "WV", "WI", "WY", "PR", "VI", "GU", "AS", "MP", "FM", "MH", "PW", "AA",
        "AE", "AP", "AB", "BC", "MB", "NB", "NL", "NS", "NT", "NU", "ON", "PE", "QC", "SK", "YT"};
    std::set<std::string> found;
    for (const CszRow& r : rows)
        found.insert(r.state);
    EXPECT_EQ(found, expected);
    // A state's rows stay together, so its first row is its main range.
    std::map<std::string, std::size_t> lastSeen;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        auto it = lastSeen.find(rows[i].state);
        if (it != lastSeen.end()) {
            EXPECT_EQ(it->second, i - 1) << rows[i].state;
        }
        lastSeen[rows[i].state] = i;
    }
}

TEST(CszSource, ShippedRangesHoldKnownCodes) {
    std::vector<CszRow> rows = shipped();
    const std::pair<const char*, const char*> known[] = {
        {"IL", "60601"},   {"IL", "60601-1234"}, {"NY", "10001"},   {"NY", "14850"},
        {"CA", "90210"},   {"CA", "96161"},      {"TX", "78701"},   {"FL", "33101"},
        {"FL", "34102"},   {"DC", "20500"},      {"MD", "21201"},   {"VA", "20170"},
        {"VA", "23219"},   {"MA", "02108"},      {"RI", "02903"},   {"NH", "03301"},
        {"ME", "04101"},   {"VT", "05401"},      {"CT", "06103"},   {"NJ", "07102"},
        {"PA", "19103"},   {"DE", "19901"},      {"WV", "25301"},   {"GA", "30303"},
        {"AK", "99501"},   {"HI", "96813"},      {"WA", "98101"},   {"OR", "97201"},
        {"NV", "89501"},   {"NM", "87501"},      {"AZ", "85001"},   {"UT", "84101"},
        {"ID", "83702"},   {"WY", "82001"},      {"CO", "80202"},   {"OK", "73102"},
        {"AR", "72201"},   {"LA", "70112"},      {"NE", "68102"},   {"KS", "66603"},
        {"MO", "63101"},   {"MT", "59601"},      {"ND", "58501"},   {"SD", "57501"},
        {"MN", "55101"},   {"WI", "53703"},      {"IA", "50309"},   {"MI", "48226"},
        {"IN", "46204"},   {"OH", "43215"},      {"KY", "40601"},   {"MS", "39201"},
        {"TN", "37219"},   {"AL", "36104"},      {"SC", "29201"},   {"NC", "27601"},
        {"PR", "00901"},   {"PR", "00601"},      {"VI", "00802"},   {"GU", "96910"},
        {"AS", "96799"},   {"MP", "96950"},      {"FM", "96941"},   {"MH", "96960"},
        {"PW", "96940"},   {"AA", "34002"},      {"AE", "09001"},   {"AP", "96201"},
        {"ON", "M5V 3L9"}, {"ON", "K1A 0B1"},    {"ON", "P3E 1A1"}, {"QC", "H2X 1Y4"},
        {"QC", "G1R 4P5"}, {"QC", "J4K 2T4"},    {"BC", "V6B 1A1"}, {"AB", "T2P 1J9"},
        {"SK", "S4P 3Y2"}, {"MB", "R3C 4T3"},    {"NB", "E1C 4M3"}, {"NS", "B3H 1A1"},
        {"PE", "C1A 7N8"}, {"NL", "A1C 5M2"},    {"YT", "Y1A 1B1"}, {"NT", "X1A 2L9"},
        {"NT", "X0E 0T0"}, {"NU", "X0A 0H0"},    {"NU", "X0C 0G0"},
    };
    for (const auto& [state, zip] : known) {
        const CszRow* row = firstRow(rows, state);
        ASSERT_NE(row, nullptr) << state;
        EXPECT_TRUE(inRange(*row, zip)) << state << " " << zip;
    }
    EXPECT_FALSE(inRange(*firstRow(rows, "IL"), "63000"));
    EXPECT_FALSE(inRange(*firstRow(rows, "NU"), "X1A 2L9"));
    EXPECT_FALSE(inRange(*firstRow(rows, "NT"), "X0A 0H0"));
}
