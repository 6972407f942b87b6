// Damaged and clashing table files: names that differ only in case, record
// counts and header lengths that disagree with the file, memo files whose
// next free block is wrong, packs cut short, failed writes, and repair.

#include "store/repair.h"
#include "store/table.h"
#include "store/table_files.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

using namespace qp::store;
using qp::testing::TempDir;

namespace {

std::vector<FieldSpec> fields() {
    return {{"NAME", 'C', 12, 0}, {"ISDEL", 'L', 1, 0}, {"MEMO", 'M', 10, 0}};
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void put32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>(v >> (8 * i));
}

void putBE32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>(v >> (8 * (3 - i)));
}

// A table of `count` records NAME R1..Rn, each with a memo "memo of Rn",
// every third one marked deleted, and a tag on NAME.
void makeTable(const std::string& path, int count) {
    ASSERT_TRUE(Table::create(path, fields()).ok());
    auto t = Table::open(path, OpenMode::Exclusive);
    ASSERT_TRUE(t.ok()) << t.error();
    ASSERT_TRUE(t->indexTag("NAME", "UPPER(NAME)").ok());
    for (int i = 1; i <= count; ++i) {
        ASSERT_TRUE(t->append().ok());
        ASSERT_TRUE(t->replace("NAME", "R" + std::to_string(i)).ok());
        ASSERT_TRUE(t->replace("MEMO", "memo of R" + std::to_string(i)).ok());
        ASSERT_TRUE(t->post().ok());
        if (i % 3 == 0) {
            ASSERT_TRUE(t->deleteRecord().ok());
        }
    }
}

struct Snapshot {
    std::map<std::string, std::string> files;
    explicit Snapshot(const std::filesystem::path& folder) {
        for (const auto& e : std::filesystem::directory_iterator(folder))
            files[e.path().filename().string()] = bytesOf(e.path().string());
    }
    bool operator==(const Snapshot& o) const { return files == o.files; }
};

// Every record in natural order as NAME=memo (deleted ones shown too).
std::vector<std::string> contents(Table& t) {
    t.setDeleted(false);
    std::vector<std::string> out;
    for (bool more = t.first(); more; more = t.next()) {
        auto memo = t.getMemo("MEMO");
        out.push_back(t.getString("NAME") + (t.deleted() ? "*" : "") + "=" +
                      (memo ? *memo : "ERROR " + memo.error()));
    }
    return out;
}

} // namespace

TEST(TableFamily, CreateRefusesAnyMemberInAnyLetterCase) {
    TempDir dir;
    makeTable(dir.file("add0001.DBF"), 3);
    Snapshot before(dir.path());
    auto st = Table::create(dir.file("ADD0001.DBF"), fields());
    EXPECT_FALSE(st.ok());
    EXPECT_NE(st.error().find("already exists"), std::string::npos) << st.error();
    EXPECT_TRUE(Snapshot(dir.path()) == before);

    // A stray index or memo file of the same stem is refused as well.
    writeBytes(dir.file("other.cdx"), "not mine");
    EXPECT_FALSE(Table::create(dir.file("OTHER.DBF"), fields()).ok());
    EXPECT_EQ(bytesOf(dir.file("other.cdx")), "not mine");
    EXPECT_EQ(existingFamilyFiles(dir.file("Add0001.dbf")).size(), 3u);
}

TEST(TableFamily, CreateOverLocksTheExistingTableFirst) {
    TempDir dir;
    makeTable(dir.file("other.DBF"), 3);
    {
        auto holder = Table::open(dir.file("other.DBF"), OpenMode::Shared);
        ASSERT_TRUE(holder.ok());
        Snapshot before(dir.path());
        auto over = Table::createOver(dir.file("OTHER.DBF"), fields());
        ASSERT_FALSE(over.ok());
        EXPECT_NE(over.error().find("in use"), std::string::npos) << over.error();
        EXPECT_TRUE(Snapshot(dir.path()) == before);
    }
    auto over = Table::createOver(dir.file("OTHER.DBF"), fields());
    ASSERT_TRUE(over.ok()) << over.error();
    EXPECT_EQ(*over, dir.file("other.DBF"));
    EXPECT_FALSE(fileExists(dir.file("other.CDX")));
    auto t = Table::open(*over, OpenMode::ReadOnly);
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(t->recCount(), 0u);
}

TEST(TableDamage, HeaderCountingFewerOrMoreRecordsOpensReadOnly) {
    for (std::uint32_t stored : {3u, 7u}) {
        TempDir dir;
        std::string path = dir.file("T.DBF");
        makeTable(path, 5);
        std::string b = bytesOf(path);
        put32(b, 4, stored);
        writeBytes(path, b);
        Snapshot before(dir.path());
        auto t = Table::open(path, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        EXPECT_NE(t->damage().find("counts " + std::to_string(stored) +
                                   " records but the file "
                                   "holds 5"),
                  std::string::npos)
            << t->damage();
        EXPECT_EQ(t->recCount(), std::min(stored, 5u));
        EXPECT_FALSE(t->append().ok());
        t->setDeleted(false);
        ASSERT_TRUE(t->go(1));
        EXPECT_FALSE(t->replace("NAME", "X").ok());
        EXPECT_FALSE(t->pack().ok());
        EXPECT_FALSE(t->deleteStructuralIndex().ok());
        EXPECT_FALSE(t->zap().ok());
        t = fail("closed");
        EXPECT_TRUE(Snapshot(dir.path()) == before);
    }
}

TEST(TableDamage, HeaderLengthOffByOneIsDamageNotShiftedData) {
    for (int delta : {-1, 1}) {
        TempDir dir;
        std::string path = dir.file("T.DBF");
        makeTable(path, 4);
        std::string b = bytesOf(path);
        std::uint16_t hl = static_cast<std::uint16_t>(static_cast<unsigned char>(b[8]) |
                                                      (static_cast<unsigned char>(b[9]) << 8));
        hl = static_cast<std::uint16_t>(hl + delta);
        b[8] = static_cast<char>(hl & 0xFF);
        b[9] = static_cast<char>(hl >> 8);
        writeBytes(path, b);
        auto t = Table::open(path, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        EXPECT_NE(t->damage().find("header length"), std::string::npos) << t->damage();
        EXPECT_FALSE(t->append().ok());
        // Read where the descriptors say the records start: nothing shifted.
        auto rows = contents(*t);
        ASSERT_EQ(rows.size(), 4u);
        EXPECT_EQ(rows[0], "R1=memo of R1");
        EXPECT_EQ(rows[2], "R3*=memo of R3");
    }
}

TEST(TableDamage, ZeroPaddingAfterTheTerminatorIsSound) {
    TempDir dir;
    std::string path = dir.file("T.DBF");
    makeTable(path, 2);
    std::string b = bytesOf(path);
    std::uint16_t hl = static_cast<std::uint16_t>(static_cast<unsigned char>(b[8]) |
                                                  (static_cast<unsigned char>(b[9]) << 8));
    b.insert(hl, 1, '\0');
    ++hl;
    b[8] = static_cast<char>(hl & 0xFF);
    b[9] = static_cast<char>(hl >> 8);
    writeBytes(path, b);
    auto t = Table::open(path, OpenMode::Exclusive);
    ASSERT_TRUE(t.ok()) << t.error();
    EXPECT_EQ(t->damage(), "");
    EXPECT_EQ(contents(*t), (std::vector<std::string>{"R1=memo of R1", "R2=memo of R2"}));
}

TEST(TableDamage, MemoNextFreeInsideTheUsedBlocksRefusesWrites) {
    TempDir dir;
    std::string path = dir.file("T.DBF");
    makeTable(path, 4);
    std::string fpt = bytesOf(dir.file("T.FPT"));
    putBE32(fpt, 0, 9); // the second memo's block: the next write would overwrite it
    writeBytes(dir.file("T.FPT"), fpt);
    Snapshot before(dir.path());
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        EXPECT_NE(t->damage().find("next free block 9 lies inside"), std::string::npos)
            << t->damage();
        EXPECT_FALSE(t->append().ok());
        EXPECT_EQ(contents(*t)[1], "R2=memo of R2");
    }
    EXPECT_TRUE(Snapshot(dir.path()) == before);
}

TEST(TableDamage, TruncatedMemoFileIsReportedNeverEmpty) {
    TempDir dir;
    std::string path = dir.file("T.DBF");
    makeTable(path, 4);
    std::string fpt = bytesOf(dir.file("T.FPT"));
    fpt.resize(512 + 64 * 2); // the first two memos survive
    writeBytes(dir.file("T.FPT"), fpt);
    Snapshot before(dir.path());
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        EXPECT_NE(t->damage().find("truncated"), std::string::npos) << t->damage();
        auto rows = contents(*t);
        EXPECT_EQ(rows[0], "R1=memo of R1");
        EXPECT_EQ(rows[3].rfind("R4=ERROR Memo file T.FPT is damaged", 0), 0u) << rows[3];
        EXPECT_FALSE(t->append().ok());
    }
    EXPECT_TRUE(Snapshot(dir.path()) == before);
}

TEST(TableDamage, BlocksLeftByACutMemoWriteAreNoDamage) {
    TempDir dir;
    std::string path = dir.file("T.DBF");
    makeTable(path, 2);
    // A memo written at the end whose record and header never followed.
    std::string fpt = bytesOf(dir.file("T.FPT"));
    fpt += std::string(64, 'x');
    writeBytes(dir.file("T.FPT"), fpt);
    auto t = Table::open(path, OpenMode::Exclusive);
    ASSERT_TRUE(t.ok()) << t.error();
    EXPECT_EQ(t->damage(), "");
    ASSERT_TRUE(t->append().ok());
    ASSERT_TRUE(t->replace("NAME", "R3").ok());
    ASSERT_TRUE(t->replace("MEMO", "memo of R3").ok());
    ASSERT_TRUE(t->post().ok());
    EXPECT_EQ(contents(*t),
              (std::vector<std::string>{"R1=memo of R1", "R2=memo of R2", "R3=memo of R3"}));
}

TEST(TableIndex, AnIndexThatCannotBeOpenedMakesTheTableReadOnlyUntilRebuilt) {
    TempDir dir;
    std::string path = dir.file("T.DBF");
    makeTable(path, 3);
    writeBytes(dir.file("T.CDX"), std::string(1024, '\x7f'));
    Snapshot before(dir.path());
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        ASSERT_NE(t->indexError(), "");
        auto st = t->append();
        ASSERT_FALSE(st.ok());
        EXPECT_NE(st.error().find("read-only until its indexes are rebuilt"), std::string::npos);
        EXPECT_FALSE(t->indexTag("CITY", "NAME").ok()); // never added to a damaged file
    }
    EXPECT_TRUE(Snapshot(dir.path()) == before);
    auto t = Table::open(path, OpenMode::Exclusive);
    ASSERT_TRUE(t->deleteStructuralIndex().ok());
    ASSERT_TRUE(t->indexTag("NAME", "UPPER(NAME)").ok());
    ASSERT_TRUE(t->append().ok());
    ASSERT_TRUE(t->replace("NAME", "R4").ok());
    ASSERT_TRUE(t->post().ok());
    EXPECT_EQ(t->recCount(), 4u);
}

TEST(TablePack, WritesBesideAndCompactsTheMemoFile) {
    TempDir dir;
    std::string path = dir.file("T.DBF");
    makeTable(path, 30);
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        // Dead memo blocks: every memo rewritten longer, so it moves.
        t->setDeleted(false);
        for (bool more = t->first(); more; more = t->next()) {
            ASSERT_TRUE(t->replace("MEMO", *t->getMemo("MEMO") + std::string(80, '+')).ok());
            ASSERT_TRUE(t->post().ok());
        }
    }
    auto sizeBefore = std::filesystem::file_size(dir.file("T.FPT"));
    auto t = Table::open(path, OpenMode::Exclusive);
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE(t->pack().ok());
    EXPECT_EQ(t->recCount(), 20u);
    EXPECT_LT(std::filesystem::file_size(dir.file("T.FPT")), sizeBefore);
    EXPECT_FALSE(fileExists(packedTablePath(path)));
    auto rows = contents(*t);
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows[2], "R4=memo of R4" + std::string(80, '+'));
    ASSERT_TRUE(t->setOrder(1).ok());
    ASSERT_TRUE(t->seek("R29").value());
    EXPECT_EQ(t->getString("NAME"), "R29");
    // Still writable with its new files.
    ASSERT_TRUE(t->append().ok());
    ASSERT_TRUE(t->replace("MEMO", "new").ok());
    ASSERT_TRUE(t->post().ok());
    EXPECT_EQ(*t->getMemo("MEMO"), "new");
}

TEST(TablePack, AnInterruptedPackIsUndoneOrFinishedAtTheNextOpen) {
    TempDir dir;
    std::string path = dir.file("T.DBF");
    makeTable(path, 6);
    std::string dbf = bytesOf(path), fpt = bytesOf(dir.file("T.FPT"));
    // Cut before the commit: the new files are dropped, the old ones stay.
    writeBytes(packedMemoPath(path), "partial");
    writeBytes(packedTablePath(path), "partial");
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        EXPECT_EQ(t->recCount(), 6u);
    }
    EXPECT_FALSE(fileExists(packedTablePath(path)));
    EXPECT_FALSE(fileExists(packedMemoPath(path)));
    EXPECT_EQ(bytesOf(path), dbf);

    // Cut after the memo file was renamed: the table's rename is finished.
    std::filesystem::copy_file(path, dir.file("old.DBF"));
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        ASSERT_TRUE(t->pack().ok());
    }
    std::string packed = bytesOf(path);
    std::filesystem::rename(path, packedTablePath(path));
    std::filesystem::rename(dir.file("old.DBF"), path);
    auto t = Table::open(path, OpenMode::ReadOnly);
    EXPECT_FALSE(t.ok()); // a read-only open cannot finish it
    t = Table::open(path, OpenMode::Exclusive);
    ASSERT_TRUE(t.ok()) << t.error();
    EXPECT_EQ(bytesOf(path), packed);
    EXPECT_EQ(t->recCount(), 4u);
    EXPECT_EQ(contents(*t)[3], "R5=memo of R5");
}

TEST(TableWrite, AFailedAddLeavesTheTableAsItWas) {
    TempDir dir;
    std::string path = dir.file("T.DBF");
    makeTable(path, 40);
    auto t = Table::open(path, OpenMode::Exclusive);
    ASSERT_TRUE(t.ok());
    ASSERT_EQ(t->indexError(), "");
    // Damage every page of the index under the open table.
    std::string cdx = bytesOf(dir.file("T.CDX"));
    for (std::size_t at = 1024; at < cdx.size(); ++at)
        cdx[at] = '\xff';
    writeBytes(dir.file("T.CDX"), cdx);
    std::string dbfBefore = bytesOf(path);
    ASSERT_TRUE(t->append().ok());
    ASSERT_TRUE(t->replace("NAME", "R41").ok());
    auto st = t->post();
    if (!st.ok()) {
        // Every record and the count as they were; only the write-in-progress
        // mark stays set, so the next open verifies the damaged index.
        std::string after = bytesOf(path);
        EXPECT_EQ(after.substr(15), dbfBefore.substr(15)) << st.error();
        EXPECT_EQ(after.substr(12, 2), dbfBefore.substr(12, 2));
        EXPECT_EQ(after[14], '\x01');
        EXPECT_EQ(t->recCount(), 40u);
        EXPECT_FALSE(t->append().ok()); // read-only until the index is rebuilt
    }
}

TEST(TableRepair, KeepsEveryWholeRecordAndSetsTheHeader) {
    TempDir dir;
    std::string path = dir.file("T.DBF");
    makeTable(path, 9);
    std::string b = bytesOf(path);
    put32(b, 4, 5);           // the header counts fewer
    b.pop_back();             // no end mark
    b += std::string(7, 'z'); // and a partial record
    writeBytes(path, b);
    auto t = Table::open(path, OpenMode::Exclusive);
    ASSERT_TRUE(t.ok());
    ASSERT_NE(t->damage(), "");
    auto outcome = repairTableFiles(*t);
    ASSERT_TRUE(outcome.ok()) << outcome.error();
    EXPECT_EQ(outcome->report.recordsKept, 9u);
    EXPECT_EQ(outcome->report.deletedKept, 3u);
    EXPECT_EQ(outcome->report.headerCount, 5u);
    EXPECT_EQ(outcome->report.bytesDropped, 7u);
    EXPECT_EQ(outcome->report.backups.size(), 3u); // something was dropped
    EXPECT_TRUE(fileExists(dir.file("T.bak.DBF")));
    EXPECT_EQ(bytesOf(dir.file("T.bak.DBF")), b);
    EXPECT_EQ(t->damage(), "");
    EXPECT_EQ(t->tagCount(), 1);
    auto rows = contents(*t);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[8], "R9*=memo of R9");
    t = fail("closed");
    auto again = Table::open(path, OpenMode::Exclusive);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again->damage(), "");
    EXPECT_EQ(again->indexError(), "");
    EXPECT_TRUE(again->append().ok());
}

TEST(TableRepair, DropsOnlyMemosItCannotReadAndSaysWhich) {
    TempDir dir;
    std::string path = dir.file("T.DBF");
    makeTable(path, 4);
    std::string fpt = bytesOf(dir.file("T.FPT"));
    fpt.resize(512 + 64 * 2);
    writeBytes(dir.file("T.FPT"), fpt);
    auto t = Table::open(path, OpenMode::Exclusive);
    auto outcome = repairTableFiles(*t);
    ASSERT_TRUE(outcome.ok()) << outcome.error();
    EXPECT_EQ(outcome->report.memosKept, 2u);
    EXPECT_EQ(outcome->report.memosDropped, (std::vector<std::uint32_t>{3, 4}));
    EXPECT_EQ(contents(*t),
              (std::vector<std::string>{"R1=memo of R1", "R2=memo of R2", "R3*=", "R4="}));
    EXPECT_TRUE(fileExists(dir.file("T.bak.FPT")));
}

TEST(TableRepair, ASoundTableKeepsNoBackups) {
    TempDir dir;
    std::string path = dir.file("T.DBF");
    makeTable(path, 3);
    auto t = Table::open(path, OpenMode::Exclusive);
    auto outcome = repairTableFiles(*t);
    ASSERT_TRUE(outcome.ok()) << outcome.error();
    EXPECT_TRUE(outcome->report.backups.empty());
    EXPECT_FALSE(fileExists(dir.file("T.bak.DBF")));
    EXPECT_EQ(contents(*t).size(), 3u);
}
