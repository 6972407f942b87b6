// Walks in index order under a query: whatever stretch of the order the walk
// keeps to, it must show exactly the records that the query accepts when each
// record is tested on its own, in key order.

#include "store/key_bounds.h"
#include "store/table.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

using namespace qp::store;
using qp::testing::TempDir;

namespace {

using Recnos = std::vector<std::uint32_t>;

constexpr std::uint32_t kRecords = 3000;

class KeyRangeWalk : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = dir_.file("names.dbf");
        ASSERT_TRUE(Table::create(
                        path, {{"LNAME", 'C', 12, 0}, {"FNAME", 'C', 10, 0}, {"CITY", 'C', 10, 0}})
                        .ok());
        auto opened = Table::open(path, OpenMode::Exclusive);
        ASSERT_TRUE(opened.ok()) << opened.error();
        table_.emplace(std::move(*opened));
        Table& t = *table_;
        // Last names around "SM" (shorter, longer, other case, letters past
        // ASCII), the lowest ("Aaron") and highest ("ÿves") keys of the orders.
        const char* last[] = {"Adams",  "Baker",  "Smith",     "smith",   "Smythe", "Smart",
                              "Sm",     "Small",  "SMALLWOOD", "Smörgås", "Jones",  "Snow",
                              "Slater", "Zeller", "Aaron",     "ÿves"};
        const char* first[] = {"Ann", "bob", "Carl", "Dora", "Eve", "Smith"};
        const char* cities[] = {"Boston", "Berlin", "Chicago", "Austin"};
        std::uint32_t seed = 12345;
        auto pick = [&seed](std::uint32_t n) {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 16) % n;
        };
        for (std::uint32_t r = 1; r <= kRecords; ++r) {
            ASSERT_TRUE(t.append().ok());
            // Few records at the ends of the orders.
            std::uint32_t l = pick(std::size(last));
            if ((l == 14 || l == 15) && pick(8) != 0)
                l = 2;
            std::string lname = last[l];
            if (pick(5) == 0)
                lname += std::to_string(pick(100));
            ASSERT_TRUE(t.replace("LNAME", lname).ok());
            ASSERT_TRUE(t.replace("FNAME", first[pick(std::size(first))]).ok());
            ASSERT_TRUE(t.replace("CITY", cities[pick(std::size(cities))]).ok());
            ASSERT_TRUE(t.post().ok());
            if (r % 17 == 0) {
                ASSERT_TRUE(t.deleteRecord().ok());
            }
        }
        ASSERT_TRUE(t.indexTag("LNAME", "UPPER(LNAME)+UPPER(FNAME)").ok());
        ASSERT_TRUE(t.indexTag("RAW", "LNAME").ok());
        ASSERT_TRUE(t.indexTag("CITY", "UPPER(CITY)").ok());
    }

    Table& t() { return *table_; }

    static Recnos forward(Table& t) {
        Recnos out;
        for (bool more = t.first(); more; more = t.next())
            out.push_back(t.recNo());
        return out;
    }

    static Recnos backward(Table& t) {
        Recnos out;
        for (bool more = t.last(); more; more = t.prior())
            out.push_back(t.recNo());
        std::reverse(out.begin(), out.end());
        return out;
    }

    // The records `query` accepts, tested one by one without any index, and
    // then put in the order of `tag` by a walk with neither query nor scope.
    // A scope (plain ASCII bounds) is applied to the keys here, by hand.
    Recnos expected(const std::string& query, const std::string& tag,
                    const std::string& scopeLow = {}, const std::string& scopeHigh = {}) {
        Table& table = t();
        const int order = table.indexOrd();
        EXPECT_TRUE(table.setQuery("").ok());
        EXPECT_TRUE(table.setOrder(0).ok());
        std::set<std::uint32_t> accepted;
        for (std::uint32_t r = 1; r <= table.recCount(); ++r) {
            EXPECT_TRUE(table.go(r));
            auto match = table.evalLogical(query);
            EXPECT_TRUE(match.ok()) << match.error();
            if (!table.deleted() && match.ok() && *match)
                accepted.insert(r);
        }
        EXPECT_TRUE(table.setOrder(table.tagArea(tag)).ok());
        Recnos out;
        for (bool more = table.first(); more; more = table.next()) {
            const std::string key = table.currentKey();
            if (!scopeLow.empty() && key.compare(0, scopeLow.size(), scopeLow) < 0)
                continue;
            if (!scopeHigh.empty() && key.compare(0, scopeHigh.size(), scopeHigh) > 0)
                continue;
            if (accepted.contains(table.recNo()))
                out.push_back(table.recNo());
        }
        EXPECT_TRUE(table.setOrder(order).ok());
        return out;
    }

    // Both directions of the walk under `query` in `tag`'s order give the
    // records expected, and the count agrees.
    void checkQuery(const std::string& query, const std::string& tag = "LNAME") {
        SCOPED_TRACE(query + " in order " + tag);
        const Recnos want = expected(query, tag);
        ASSERT_TRUE(t().setOrder(t().tagArea(tag)).ok());
        ASSERT_TRUE(t().setQuery(query).ok());
        EXPECT_EQ(forward(t()), want);
        EXPECT_EQ(backward(t()), want);
        EXPECT_EQ(t().queryRecCount(), want.size());
        ASSERT_TRUE(t().setQuery("").ok());
    }

    TempDir dir_;
    std::optional<Table> table_;
};

TEST_F(KeyRangeWalk, GivesWhatEachRecordTestedAloneGives) {
    const Recnos prefix = expected("UPPER(LNAME)=\"SM\"", "LNAME");
    // The fixture is meant to have matches and misses on both sides.
    ASSERT_GT(prefix.size(), 500u);
    ASSERT_LT(prefix.size(), 2500u);

    for (const char* query : {
             "UPPER(LNAME)=\"SM\"",
             "UPPER(LNAME)=\"SMÖ\"",
             "upper( lname ) = 'SMALL'",
             "(UPPER(LNAME)=\"SMI\") .AND. CITY=\"B\"",
             "CITY=\"Boston\" .and. UPPER(LNAME)=\"SMITH\" .and. !ISDEL",
             "UPPER(LNAME)=\"SM\" .AND. UPPER(LNAME)=\"SMY\"",
             "UPPER(LNAME)=\"SM\" .OR. CITY=\"Austin\"",
             ".NOT. UPPER(LNAME)=\"SM\"",
             "UPPER(LNAME)=\"SMALLWOODSMALLWOOD\"", // longer than the field
             "UPPER(LNAME)=\"\"",
             "UPPER(LNAME)=\"SM \"",
             "UPPER(LNAME)==\"SMITH       \"",
             "UPPER(LNAME)==\"SMITH\"",
             "\"SM\"=UPPER(LNAME)",
             "UPPER(FNAME)=\"SM\"",
         }) {
        checkQuery(query);
    }
    checkQuery("LNAME=\"Sm\"", "RAW");
    checkQuery("UPPER(LNAME)=\"SM\"", "CITY");
}

TEST_F(KeyRangeWalk, ExactOnComparesWholeValuesButForTrailingBlanks) {
    t().setExact(true);
    for (const char* query : {"UPPER(LNAME)=\"SMITH\"", "UPPER(LNAME)=\"SMITH   \"",
                              "UPPER(LNAME)=\"SMITH                 \"", "UPPER(LNAME)=\"SM\"",
                              "UPPER(LNAME)==\"SMITH       \""})
        checkQuery(query);
}

TEST_F(KeyRangeWalk, MatchesAtTheEndsOfTheOrderAndNowhere) {
    checkQuery("UPPER(LNAME)=\"AA\"");
    checkQuery("LNAME=\"ÿ\"", "RAW"); // keys of byte 0xFF: no upper end
    checkQuery("UPPER(LNAME)=\"QQ\"");

    ASSERT_TRUE(t().setOrder(t().tagArea("LNAME")).ok());
    ASSERT_TRUE(t().setQuery("UPPER(LNAME)=\"QQ\"").ok());
    EXPECT_FALSE(t().first());
    EXPECT_TRUE(t().eof());
    EXPECT_FALSE(t().last());
    EXPECT_TRUE(t().eof());

    const Recnos start = expected("UPPER(LNAME)=\"AA\"", "LNAME");
    ASSERT_TRUE(t().setQuery("").ok());
    ASSERT_TRUE(t().first());
    ASSERT_FALSE(start.empty());
    EXPECT_EQ(t().recNo(), start.front()); // the first entry of the order matches
}

TEST_F(KeyRangeWalk, KeepsWithinTheUserScopeToo) {
    const std::string query = "UPPER(LNAME)=\"SM\"";
    const std::size_t matches = expected(query, "LNAME").size();
    for (const auto& [low, high] : std::vector<std::pair<std::string, std::string>>{
             {"SMA", "SMI"}, {"A", "SN"}, {"SMY", "Z"}, {"B", "J"}, {"", "SMB"}}) {
        SCOPED_TRACE(low + ".." + high);
        const Recnos want = expected(query, "LNAME", low, high);
        const Recnos all = expected(".T.", "LNAME", low, high);
        ASSERT_TRUE(t().setOrder(t().tagArea("LNAME")).ok());
        ASSERT_TRUE(t().setScope(low, high).ok());
        ASSERT_TRUE(t().setQuery(query).ok());
        EXPECT_EQ(forward(t()), want);
        EXPECT_EQ(backward(t()), want);
        EXPECT_EQ(t().queryRecCount(), matches); // the count is of the whole table
        // The query goes, the scope stays.
        ASSERT_TRUE(t().setQuery("").ok());
        EXPECT_EQ(forward(t()), all);
    }
}

TEST_F(KeyRangeWalk, SeekAndGoThenMoveOn) {
    const std::string query = "UPPER(LNAME)=\"SM\"";
    const Recnos want = expected(query, "LNAME");
    ASSERT_TRUE(t().setOrder(t().tagArea("LNAME")).ok());
    ASSERT_TRUE(t().setQuery(query).ok());

    // Seek then next: the matches from the first key beginning "SMI" on.
    ASSERT_TRUE(*t().seek("SMI"));
    Recnos fromSeek{t().recNo()};
    while (t().next())
        fromSeek.push_back(t().recNo());
    auto at = std::find(want.begin(), want.end(), fromSeek.front());
    ASSERT_NE(at, want.end());
    EXPECT_EQ(fromSeek, Recnos(at, want.end()));

    // A key the query rules out is not found; a soft seek lands on the first
    // match after it.
    EXPECT_FALSE(*t().seek("JONES"));
    EXPECT_TRUE(t().eof());
    t().setSoftSeek(true);
    EXPECT_FALSE(*t().seek("JONES"));
    ASSERT_FALSE(t().eof());
    EXPECT_EQ(t().recNo(), want.front());
    EXPECT_FALSE(*t().seek("SN"));
    EXPECT_TRUE(t().eof());
    t().setSoftSeek(false);

    // From a record outside the range, next and prior reach its near end.
    ASSERT_TRUE(t().setQuery("").ok());
    ASSERT_TRUE(*t().seek("BAKER"));
    const std::uint32_t baker = t().recNo();
    ASSERT_TRUE(*t().seek("ZELLER"));
    const std::uint32_t zeller = t().recNo();
    ASSERT_TRUE(t().setQuery(query).ok());
    ASSERT_TRUE(t().go(baker));
    ASSERT_TRUE(t().next());
    EXPECT_EQ(t().recNo(), want.front());
    ASSERT_TRUE(t().go(zeller));
    ASSERT_TRUE(t().prior());
    EXPECT_EQ(t().recNo(), want.back());
}

TEST_F(KeyRangeWalk, FollowsTheOrderAndAScratchIndex) {
    const std::string query = "UPPER(LNAME)=\"SMA\"";
    const Recnos want = expected(query, "LNAME");
    const Recnos byCity = expected(query, "CITY");
    // Set in natural order, then the order changes under it.
    ASSERT_TRUE(t().setOrder(0).ok());
    ASSERT_TRUE(t().setQuery(query).ok());
    ASSERT_TRUE(t().setOrder(t().tagArea("LNAME")).ok());
    EXPECT_EQ(forward(t()), want);
    ASSERT_TRUE(t().setOrder(t().tagArea("CITY")).ok());
    EXPECT_EQ(forward(t()), byCity);

    // A scratch index holds some records only: the walk shows the matches
    // among them.
    ASSERT_TRUE(t().setQuery("").ok());
    Recnos added;
    for (std::uint32_t r = 1; r <= kRecords; r += 3)
        added.push_back(r);
    ASSERT_TRUE(t().createScratchIndex(dir_.file("_part.idx"), "UPPER(LNAME)+UPPER(FNAME)").ok());
    ASSERT_TRUE(t().keyAddRecords(added).ok());
    ASSERT_TRUE(t().setOrder(t().tagCount()).ok());
    ASSERT_TRUE(t().setQuery(query).ok());
    Recnos inScratch;
    for (std::uint32_t r : want)
        if (r % 3 == 1)
            inScratch.push_back(r);
    EXPECT_EQ(forward(t()), inScratch);
    EXPECT_EQ(backward(t()), inScratch);
    EXPECT_EQ(t().queryRecCount(), want.size());
    t().closeScratchIndex();
}

// The key range drawn from a query, on the expressions alone.
TEST(QueryKeyPrefix, OnlyWhereTheQueryForcesTheKeysStart) {
    const std::vector<FieldDef> fields = [] {
        std::vector<FieldDef> f(2);
        f[0].name = "LNAME";
        f[0].type = 'C';
        f[0].offset = 1;
        f[0].length = 12;
        f[1].name = "FNAME";
        f[1].type = 'C';
        f[1].offset = 13;
        f[1].length = 10;
        return f;
    }();
    auto prefix = [&](const std::string& query, const std::string& key,
                      bool descending = false) -> std::optional<std::string> {
        auto q = Expression::parse(query, fields);
        auto k = Expression::parse(key, fields);
        EXPECT_TRUE(q.ok() && k.ok()) << query << " / " << key;
        TagInfo tag;
        tag.expression = key;
        tag.keyLength = k->width();
        tag.descending = descending;
        return queryKeyPrefix(*q, *k, tag);
    };
    const std::string key = "UPPER(LNAME)+UPPER(FNAME)";
    EXPECT_EQ(prefix("UPPER(LNAME)=\"SM\"", key), "SM");
    EXPECT_EQ(prefix("((Upper(lname)) = [SM]) and !ISDEL", key), "SM");
    EXPECT_EQ(prefix("UPPER(LNAME)=\"SM  \"", key), "SM");
    EXPECT_EQ(prefix("UPPER(LNAME)==\"SM  \"", key), "SM  ");
    EXPECT_EQ(prefix("UPPER(LNAME)=\"SM\" .and. UPPER(LNAME)=\"SMIT\"", key), "SMIT");
    EXPECT_EQ(prefix("LNAME=\"Sm\"", "LNAME"), "Sm");
    EXPECT_EQ(prefix("UPPER(LNAME)=\"SM\"", "UPPER(LNAME)"), "SM");

    EXPECT_EQ(prefix("UPPER(LNAME)=\"SM\"", key, true), std::nullopt);
    EXPECT_EQ(prefix("UPPER(LNAME)=\"SM\" .or. LNAME=\"X\"", key), std::nullopt);
    EXPECT_EQ(prefix("!(UPPER(LNAME)=\"SM\")", key), std::nullopt);
    EXPECT_EQ(prefix("UPPER(LNAME)#\"SM\"", key), std::nullopt);
    EXPECT_EQ(prefix("\"SM\"=UPPER(LNAME)", key), std::nullopt);
    EXPECT_EQ(prefix("UPPER(FNAME)=\"SM\"", key), std::nullopt);
    EXPECT_EQ(prefix("UPPER(LNAME)=\"\"", key), std::nullopt);
    EXPECT_EQ(prefix("UPPER(LNAME)=\"SMALLWOODSMALL\"", key), std::nullopt);
    EXPECT_EQ(prefix("UPPER(LNAME)=\"SM\"", "UPPER(LNAME-FNAME)"), std::nullopt);
    EXPECT_EQ(prefix("UPPER(LNAME)=\"SM\"", "UPPER(FNAME)+UPPER(LNAME)"), std::nullopt);
    EXPECT_EQ(prefix("LNAME=\"Sm\"", "LNAME+FNAME"), "Sm");
    EXPECT_EQ(prefix("LNAME+FNAME=\"Sm\"", "LNAME+FNAME"), std::nullopt);
    EXPECT_EQ(prefix("IIF(LNAME=\"A\",LNAME,FNAME)=\"Sm\"", "IIF(LNAME=\"A\",LNAME,FNAME)"),
              std::nullopt);
}

TEST(KeyBoundsTest, ScopeAndPrefixEnds) {
    EXPECT_EQ(prefixEnd("SM"), "SN");
    EXPECT_EQ(prefixEnd("S\xFF\xFF"), "T");
    EXPECT_EQ(prefixEnd("\xFF"), std::nullopt);
    EXPECT_EQ(prefixEnd(""), std::nullopt);

    const KeyBounds sm = KeyBounds::prefix("SM");
    EXPECT_TRUE(sm.contains("SM"));
    EXPECT_TRUE(sm.contains("SMZZZ"));
    EXPECT_TRUE(sm.contains("SM\xFF"));
    EXPECT_FALSE(sm.contains("SLZZZ"));
    EXPECT_FALSE(sm.contains("SN"));
    EXPECT_FALSE(sm.contains("S"));

    // A scope keeps keys whose start, cut to the bound's length, lies between.
    const KeyBounds scope = KeyBounds::scope("B", "J");
    EXPECT_TRUE(scope.contains("B"));
    EXPECT_TRUE(scope.contains("JZZZ"));
    EXPECT_FALSE(scope.contains("AZZZ"));
    EXPECT_FALSE(scope.contains("K"));

    const KeyBounds both = scope.intersect(KeyBounds::prefix("JO"));
    EXPECT_EQ(both.low, "JO");
    EXPECT_EQ(both.below, "JP");
    EXPECT_EQ(KeyBounds::scope("A", "").intersect(KeyBounds::prefix("\xFF")).below, std::nullopt);
    EXPECT_EQ(KeyBounds::scope("A", "C").intersect(KeyBounds::prefix("\xFF")).below, "D");
}

} // namespace
