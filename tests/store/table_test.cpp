#include "store/table.h"
#include "support/file_bytes.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <sys/stat.h>

using namespace qp::store;
using qp::testing::TempDir;

namespace {

std::vector<FieldSpec> smallFields() {
    return {{"NAME", 'C', 20, 0},
            {"CITY", 'C', 15, 0},
            {"AMOUNT", 'N', 8, 2},
            {"ISDEL", 'L', 1, 0},
            {"MEMO", 'M', 10, 0}};
}

Table openNew(const std::string& path, std::vector<FieldSpec> fields = smallFields()) {
    EXPECT_TRUE(Table::create(path, fields).ok());
    auto t = Table::open(path, OpenMode::Exclusive);
    EXPECT_TRUE(t.ok()) << t.error();
    return std::move(*t);
}

void add(Table& t, const std::string& name, const std::string& city = "") {
    ASSERT_TRUE(t.append().ok());
    ASSERT_TRUE(t.replace("NAME", name).ok());
    if (!city.empty()) {
        ASSERT_TRUE(t.replace("CITY", city).ok());
    }
    ASSERT_TRUE(t.post().ok());
}

std::vector<std::string> walk(Table& t, const char* field = "NAME") {
    std::vector<std::string> out;
    for (bool more = t.first(); more; more = t.next())
        out.push_back(t.getString(field));
    return out;
}

using qp::testing::slurp;

void spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace

TEST(Table, CreatesFoxProLayoutAndRoundTripsValues) {
    TempDir dir;
    std::string path = dir.file("t.dbf");
    {
        Table t = openNew(path);
        add(t, "Zoë Ärger", "Köln");
        ASSERT_TRUE(t.replaceNumber("AMOUNT", 12.5).ok());
        ASSERT_TRUE(t.replace("MEMO", "first memo").ok());
        ASSERT_TRUE(t.post().ok());
    }
    std::string bytes = slurp(path);
    ASSERT_GE(bytes.size(), 32u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xF5); // memo table
    EXPECT_EQ(bytes[29], 0x03);                            // Windows-1252
    EXPECT_EQ(bytes[32 + 5 * 32], 0x0D);
    EXPECT_EQ(bytes.back(), 0x1A);
    EXPECT_EQ(bytes[4], 1); // one record counted
    // The umlaut is one Windows-1252 byte on disk.
    EXPECT_NE(bytes.find("Zo\xEB \xC4rger"), std::string::npos);

    auto t = Table::open(path, OpenMode::ReadOnly);
    ASSERT_TRUE(t.ok()) << t.error();
    EXPECT_EQ(t->getString("name"), "Zoë Ärger");
    EXPECT_EQ(t->getString("CITY"), "Köln");
    EXPECT_EQ(t->getNumber("AMOUNT"), 12.5);
    EXPECT_EQ(t->getRaw(2), "   12.50");
    EXPECT_EQ(*t->getMemo("MEMO"), "first memo");
    EXPECT_FALSE(t->getLogical("ISDEL"));
}

TEST(Table, RefusesTextWindows1252CannotHold) {
    TempDir dir;
    Table t = openNew(dir.file("t.dbf"));
    ASSERT_TRUE(t.append().ok());
    auto st = t.replace("NAME", "日本");
    EXPECT_FALSE(st.ok());
    EXPECT_NE(st.error().find("Windows-1252"), std::string::npos);
}

TEST(Table, FieldsWrittenByNumberAsByName) {
    TempDir dir;
    Table t = openNew(dir.file("t.dbf"));
    ASSERT_TRUE(t.append().ok());
    ASSERT_TRUE(t.replace(1, "Köln").ok());
    ASSERT_TRUE(t.replace(2, " 7.25").ok());
    ASSERT_TRUE(t.replace(4, "a memo").ok());
    // A number that names no field is refused, never written past the record.
    EXPECT_FALSE(t.replace(5, "x").ok());
    EXPECT_FALSE(t.replace(-1, "x").ok());
    ASSERT_TRUE(t.post().ok());
    EXPECT_EQ(t.getString("CITY"), "Köln");
    EXPECT_EQ(t.getNumber("AMOUNT"), 7.25);
    EXPECT_EQ(*t.getMemo("MEMO"), "a memo");
}

TEST(Table, MemoGrowsMovesAndIsReusedInPlace) {
    TempDir dir;
    std::string path = dir.file("m.dbf");
    Table t = openNew(path);
    add(t, "A");
    ASSERT_TRUE(t.replace("MEMO", "short").ok());
    ASSERT_TRUE(t.post().ok());
    std::string pointer = t.getRaw(4);
    auto fptSize = [&] {
        return slurp(dir.file("m.FPT")).size() + slurp(dir.file("m.fpt")).size();
    };
    auto sizeAfterFirst = fptSize();

    // Still fits its block: rewritten in place.
    ASSERT_TRUE(t.replace("MEMO", "shorter!").ok());
    ASSERT_TRUE(t.post().ok());
    EXPECT_EQ(t.getRaw(4), pointer);
    EXPECT_EQ(fptSize(), sizeAfterFirst);

    // Outgrows it: moves to the end.
    std::string big(500, 'x');
    ASSERT_TRUE(t.replace("MEMO", big).ok());
    ASSERT_TRUE(t.post().ok());
    EXPECT_NE(t.getRaw(4), pointer);
    EXPECT_EQ(*t.getMemo("MEMO"), big);
    EXPECT_GT(fptSize(), sizeAfterFirst);

    t.go(1);
    EXPECT_EQ(*t.getMemo("MEMO"), big);
}

TEST(Table, HidesMarkedRecordsAndCountsQueries) {
    TempDir dir;
    Table t = openNew(dir.file("q.dbf"));
    for (const char* n : {"Baker", "Bakersfield", "Jones", "Johnson", "Smith"})
        add(t, n);
    ASSERT_TRUE(t.go(3));
    ASSERT_TRUE(t.deleteRecord().ok());
    EXPECT_EQ(walk(t), (std::vector<std::string>{"Baker", "Bakersfield", "Johnson", "Smith"}));

    ASSERT_TRUE(t.setQuery("UPPER(NAME)=\"JO\"").ok());
    EXPECT_EQ(t.queryRecCount(), 1u);
    EXPECT_EQ(walk(t), (std::vector<std::string>{"Johnson"}));

    // A malformed query is refused and the one in force stays.
    auto bad = t.setQuery("UPPER(NAME=\"JO\"");
    EXPECT_FALSE(bad.ok());
    EXPECT_EQ(t.dbFilter(), "UPPER(NAME)=\"JO\"");

    t.setDeleted(false);
    EXPECT_EQ(t.queryRecCount(), 2u);
    ASSERT_TRUE(t.setQuery("").ok());
    EXPECT_EQ(t.queryRecCount(), 5u);
}

TEST(Table, IndexOrderSeekExactSoftAndScope) {
    TempDir dir;
    Table t = openNew(dir.file("s.dbf"));
    for (const char* n : {"Smith", "baker", "Jones", "Baker", "Bakersfield", "Adams"})
        add(t, n);
    ASSERT_TRUE(t.indexTag("NAME", "UPPER(NAME)").ok());
    ASSERT_TRUE(t.setOrder(t.tagArea("name")).ok());
    EXPECT_EQ(walk(t), (std::vector<std::string>{"Adams", "baker", "Baker", "Bakersfield", "Jones",
                                                 "Smith"}));

    // Exact off: a prefix; duplicates in record order.
    ASSERT_TRUE(*t.seek("BAK"));
    EXPECT_EQ(t.recNo(), 2u);
    // Exact on: the whole key.
    t.setExact(true);
    ASSERT_TRUE(*t.seek("BAKER"));
    EXPECT_EQ(t.recNo(), 2u);
    EXPECT_FALSE(*t.seek("BAK"));
    EXPECT_TRUE(t.eof());
    t.setExact(false);
    // Soft seek stops at the next greater key.
    EXPECT_FALSE(*t.seek("K"));
    EXPECT_TRUE(t.eof());
    t.setSoftSeek(true);
    EXPECT_FALSE(*t.seek("K"));
    ASSERT_FALSE(t.eof());
    EXPECT_EQ(t.getString("NAME"), "Smith");
    t.setSoftSeek(false);

    // A seek skips a hidden record with the key.
    ASSERT_TRUE(t.go(2));
    ASSERT_TRUE(t.deleteRecord().ok());
    ASSERT_TRUE(*t.seek("BAKER"));
    EXPECT_EQ(t.recNo(), 4u);

    ASSERT_TRUE(t.setScope("B", "J").ok());
    EXPECT_EQ(walk(t), (std::vector<std::string>{"Baker", "Bakersfield", "Jones"}));
    ASSERT_TRUE(t.setScope("", "").ok());

    // Backwards from the end.
    std::vector<std::string> back;
    for (bool more = t.last(); more; more = t.prior())
        back.push_back(t.getString("NAME"));
    EXPECT_EQ(back, (std::vector<std::string>{"Smith", "Jones", "Bakersfield", "Baker", "Adams"}));
    EXPECT_TRUE(t.bof());
}

TEST(Table, KeepsIndexUpToDateThroughEditsPackAndZap) {
    TempDir dir;
    std::string path = dir.file("k.dbf");
    {
        Table t = openNew(path);
        for (const char* n : {"Moore", "Lee", "Perez"})
            add(t, n);
        ASSERT_TRUE(t.indexTag("NAME", "UPPER(NAME)").ok());
        ASSERT_TRUE(t.indexTag("DELETED", "DELETED()").ok());
        ASSERT_TRUE(t.setOrder(1).ok());
        add(t, "Adams"); // appended after the build
        ASSERT_TRUE(t.go(2));
        ASSERT_TRUE(t.replace("NAME", "Zed").ok());
        ASSERT_TRUE(t.post().ok());
        EXPECT_EQ(walk(t), (std::vector<std::string>{"Adams", "Moore", "Perez", "Zed"}));
        ASSERT_TRUE(t.go(1));
        ASSERT_TRUE(t.deleteRecord().ok());
    }
    {
        // Reopened: the index on disk says the same.
        auto t = Table::open(path, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        ASSERT_TRUE(t->setOrder(t->tagArea("NAME")).ok());
        EXPECT_EQ(walk(*t), (std::vector<std::string>{"Adams", "Perez", "Zed"}));
        ASSERT_TRUE(t->setOrder(t->tagArea("DELETED")).ok());
        t->setDeleted(false);
        ASSERT_TRUE(*t->seek("T"));
        EXPECT_EQ(t->recNo(), 1u);
        t->setDeleted(true);

        ASSERT_TRUE(t->pack().ok());
        EXPECT_EQ(t->recCount(), 3u);
        ASSERT_TRUE(t->setOrder(t->tagArea("NAME")).ok());
        EXPECT_EQ(walk(*t), (std::vector<std::string>{"Adams", "Perez", "Zed"}));
        ASSERT_TRUE(*t->seek("ZED"));
        EXPECT_EQ(t->recNo(), 1u); // "Zed" was record 2, now the first after the pack

        ASSERT_TRUE(t->zap().ok());
        EXPECT_EQ(t->recCount(), 0u);
        EXPECT_FALSE(t->first());
        EXPECT_TRUE(t->eof());
        add(*t, "Again");
        EXPECT_EQ(walk(*t), (std::vector<std::string>{"Again"}));
    }
    EXPECT_EQ(slurp(path).back(), 0x1A);
}

TEST(Table, PackCopiesTheFilesOnlyWhenThatChangesThem) {
    TempDir dir;
    std::string path = dir.file("p.dbf");
    std::string memoPath = dir.file("p.fpt");
    auto inode = [](const std::string& file) {
        struct stat st {};
        return ::stat(file.c_str(), &st) == 0 ? st.st_ino : ino_t(0);
    };
    Table t = openNew(path);
    for (const char* n : {"Moore", "Lee", "Perez"})
        add(t, n);
    ASSERT_TRUE(t.go(1));
    ASSERT_TRUE(t.replace("MEMO", "short").ok());
    ASSERT_TRUE(t.post().ok());
    ASSERT_TRUE(t.go(3));
    ASSERT_TRUE(t.replace("MEMO", "third").ok());
    ASSERT_TRUE(t.post().ok());
    ASSERT_TRUE(t.go(1));
    ASSERT_TRUE(t.replace("MEMO", std::string(500, 'x')).ok()); // leaves its old block unused
    ASSERT_TRUE(t.post().ok());
    ASSERT_TRUE(t.indexTag("NAME", "UPPER(NAME)").ok());
    ASSERT_TRUE(t.flush().ok());

    // Unused memo blocks: the pack copies and the memo file shrinks.
    const auto memoBefore = slurp(memoPath).size();
    ASSERT_TRUE(t.pack().ok());
    EXPECT_LT(slurp(memoPath).size(), memoBefore);
    ASSERT_TRUE(t.go(1));
    EXPECT_EQ(*t.getMemo("MEMO"), std::string(500, 'x'));
    ASSERT_TRUE(t.go(3));
    EXPECT_EQ(*t.getMemo("MEMO"), "third");

    // Nothing to remove: the same files stay, index and all.
    ASSERT_TRUE(t.flush().ok());
    const auto table = slurp(path), memo = slurp(memoPath);
    const auto tableInode = inode(path), memoInode = inode(memoPath);
    ASSERT_TRUE(t.pack().ok());
    ASSERT_TRUE(t.flush().ok());
    EXPECT_EQ(inode(path), tableInode);
    EXPECT_EQ(inode(memoPath), memoInode);
    EXPECT_EQ(slurp(path), table);
    EXPECT_EQ(slurp(memoPath), memo);
    ASSERT_TRUE(t.setOrder(t.tagArea("NAME")).ok());
    EXPECT_EQ(walk(t), (std::vector<std::string>{"Lee", "Moore", "Perez"}));
    EXPECT_TRUE(t.checkIndex(Table::IndexCheck::Full).ok());

    // A deleted record: copied again without it.
    ASSERT_TRUE(t.go(2));
    ASSERT_TRUE(t.deleteRecord().ok());
    ASSERT_TRUE(t.pack().ok());
    EXPECT_NE(inode(path), tableInode);
    EXPECT_EQ(t.recCount(), 2u);
    EXPECT_EQ(walk(t), (std::vector<std::string>{"Moore", "Perez"}));
    ASSERT_TRUE(t.go(2));
    EXPECT_EQ(*t.getMemo("MEMO"), "third");
}

TEST(Table, ScratchIndexShowsOnlyAddedRecords) {
    TempDir dir;
    Table t = openNew(dir.file("x.dbf"));
    for (const char* n : {"C", "A", "B", "D"})
        add(t, n);
    ASSERT_TRUE(t.createScratchIndex(dir.file("_chk.idx"), "UPPER(NAME)").ok());
    for (std::uint32_t r : {1u, 3u}) {
        ASSERT_TRUE(t.go(r));
        ASSERT_TRUE(t.keyAdd().ok());
    }
    ASSERT_TRUE(t.setOrder(t.tagCount()).ok());
    EXPECT_EQ(walk(t), (std::vector<std::string>{"B", "C"}));
    ASSERT_TRUE(*t.seek("C"));
    EXPECT_FALSE(*t.seek("A"));
    t.closeScratchIndex();
    EXPECT_EQ(t.indexOrd(), 0);
}

TEST(Table, ExclusiveOpenLocksOutOthers) {
    TempDir dir;
    std::string path = dir.file("l.dbf");
    ASSERT_TRUE(Table::create(path, smallFields()).ok());
    auto first = Table::open(path, OpenMode::Exclusive);
    ASSERT_TRUE(first.ok());
    auto second = Table::open(path, OpenMode::Exclusive);
    ASSERT_FALSE(second.ok());
    EXPECT_NE(second.error().find("in use"), std::string::npos);
    EXPECT_FALSE(Table::open(path, OpenMode::ReadOnly).ok());
}

TEST(Table, ExpressionsOnTheCurrentRecord) {
    TempDir dir;
    Table t = openNew(dir.file("e.dbf"));
    add(t, "Baker", "Boston");
    EXPECT_EQ(t.evaluate("UPPER(NAME)+\"|\"")->text, "BAKER               |");
    EXPECT_EQ(t.evaluate("TRIM(NAME)-\" \"+CITY")->text.substr(0, 12), "Baker Boston");
    EXPECT_TRUE(*t.evalLogical("RECNO()=1 .and. !DELETED()"));
    auto bad = t.evalLogical("NAME +");
    ASSERT_FALSE(bad.ok());
    EXPECT_NE(bad.error().find("position"), std::string::npos);
}

TEST(TableDamage, TruncatedFileIsReadAsFarAsSoundAndNeverWritten) {
    TempDir dir;
    std::string path = dir.file("d.dbf");
    {
        Table t = openNew(path);
        for (const char* n : {"A", "B", "C"})
            add(t, n);
    }
    std::string bytes = slurp(path);
    std::string cut = bytes.substr(0, bytes.size() - 1 - 20); // half of the last record gone
    spit(path, cut);
    auto t = Table::open(path, OpenMode::Exclusive);
    ASSERT_TRUE(t.ok()) << t.error();
    EXPECT_EQ(t->recCount(), 2u);
    EXPECT_EQ(walk(*t), (std::vector<std::string>{"A", "B"}));
    EXPECT_FALSE(t->writeBlock().empty());
    EXPECT_FALSE(t->append().ok());
    EXPECT_FALSE(t->pack().ok());
    EXPECT_EQ(slurp(path), cut);
}

TEST(TableDamage, BadHeadersAndMemoPointersGiveErrors) {
    TempDir dir;
    std::string path = dir.file("h.dbf");
    {
        Table t = openNew(path);
        add(t, "A");
        ASSERT_TRUE(t.replace("MEMO", "text").ok());
        ASSERT_TRUE(t.post().ok());
    }
    std::string good = slurp(path);

    for (auto mutate : std::vector<std::function<void(std::string&)>>{
             [](std::string& b) { b.resize(20); }, // header cut short
             [](std::string& b) {
                 b[10] = 3;
                 b[11] = 0;
             }, // record length disagrees
             [](std::string& b) {
                 b[8] = 1;
                 b[9] = 0;
             },                                        // header length too small
             [](std::string& b) { b[32 + 11] = '?'; }, // unknown field type
         }) {
        std::string bytes = good;
        mutate(bytes);
        spit(path, bytes);
        auto t = Table::open(path, OpenMode::Exclusive);
        EXPECT_FALSE(t.ok());
        if (!t.ok()) {
            EXPECT_NE(t.error().find("h.dbf"), std::string::npos) << t.error();
        }
        EXPECT_EQ(slurp(path), bytes);
    }

    // A memo pointer past the end of the memo file.
    std::string bytes = good;
    auto memoAt = bytes.size() - 1 - 10;
    bytes.replace(memoAt, 10, "     99999");
    spit(path, bytes);
    auto t = Table::open(path, OpenMode::ReadOnly);
    ASSERT_TRUE(t.ok()) << t.error();
    auto memo = t->getMemo("MEMO");
    ASSERT_FALSE(memo.ok());
    EXPECT_NE(memo.error().find("damaged"), std::string::npos);
}

TEST(TableDamage, RecordCountIsWrittenAfterTheRecord) {
    // A header claiming fewer records than the file holds (a crash between the
    // record write and the count write) opens read-only with the counted
    // records; nothing is written over the uncounted one, which repair keeps.
    TempDir dir;
    std::string path = dir.file("c.dbf");
    {
        Table t = openNew(path);
        add(t, "A");
        add(t, "B");
    }
    std::string bytes = slurp(path);
    bytes[4] = 1;
    spit(path, bytes);
    auto t = Table::open(path, OpenMode::Exclusive);
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(walk(*t), (std::vector<std::string>{"A"}));
    EXPECT_NE(t->damage(), "");
    EXPECT_FALSE(t->append().ok());
    ASSERT_TRUE(t->repair().ok());
    add(*t, "C");
    EXPECT_EQ(walk(*t), (std::vector<std::string>{"A", "B", "C"}));
}
