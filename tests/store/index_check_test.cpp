// The index check: the full form finds every way a tag can disagree with the
// records (a key missing, stale, doubled, or for a record the table lacks);
// the sampled form that runs on every open finds the common ones; logical
// tags keep their key type across reopens; and a fixed-seed replay of damaged
// index pages shows that whenever the check passes, every tag really is right.

#include "index_walk_helpers.h"
#include "store/address_file.h"
#include "store/compact_index.h"
#include "store/table.h"
#include "support/peer_tools.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

using namespace qp::store;
using namespace qp::testing;

namespace {

namespace fs = std::filesystem;

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class IndexCheck : public ::testing::Test {
protected:
    TempDir dir;
    std::string dbf = dir.file("ADD0001.DBF");
    std::string cdx = dir.file("ADD0001.CDX");

    void SetUp() override { fresh(400, 1); }

    void fresh(std::uint32_t count, std::uint64_t seed) {
        for (const char* ext : {".DBF", ".CDX", ".FPT"})
            fs::remove(dir.file(std::string("ADD0001") + ext));
        ASSERT_TRUE(SampleAddresses::writeTable(dbf, count, true, seed).ok());
    }

    Status check(Table::IndexCheck depth) {
        auto t = openAddressFile(dbf, OpenMode::ReadOnly);
        if (!t)
            return fail(t.error());
        return checkAddressIndex(*t, depth);
    }

    // Changes the index file directly, as damage or another program would.
    template <class F> void editIndex(const std::string& tagName, F&& change) {
        auto index = CompactIndex::open(cdx, IndexKind::Compound, false);
        ASSERT_TRUE(index.ok()) << index.error();
        auto tag = index->findTag(tagName);
        ASSERT_TRUE(tag);
        change(*index, *tag);
        ASSERT_TRUE(index->flush().ok());
    }
};

} // namespace

TEST_F(IndexCheck, SoundFilePassesBothForms) {
    EXPECT_TRUE(check(Table::IndexCheck::Full).ok());
    EXPECT_TRUE(check(Table::IndexCheck::Sampled).ok());
    EXPECT_EQ(tagWalkProblem(dbf), "");
}

TEST_F(IndexCheck, KeyMissingForTheNewestRecord) {
    // What a process killed after writing a record but before its keys leaves.
    editIndex("ZIP", [](CompactIndex& index, int tag) {
        for (auto e = index.first(tag); e; e = index.next(tag, *e))
            if (e->recno == 400) {
                ASSERT_TRUE(index.remove(tag, e->key, e->recno).ok());
                break;
            }
    });
    auto full = check(Table::IndexCheck::Full);
    ASSERT_FALSE(full.ok());
    EXPECT_NE(full.error().find("Index tag ZIP"), std::string::npos) << full.error();
    EXPECT_NE(full.error().find("399 keys for 400 records"), std::string::npos) << full.error();
    auto sampled = check(Table::IndexCheck::Sampled);
    ASSERT_FALSE(sampled.ok());
    EXPECT_NE(sampled.error().find("record 400 is missing"), std::string::npos) << sampled.error();
}

TEST_F(IndexCheck, KeyMissingInTheMiddle) {
    editIndex("CITY", [](CompactIndex& index, int tag) {
        auto e = index.first(tag);
        for (int i = 0; i < 150 && e; ++i)
            e = index.next(tag, *e);
        ASSERT_TRUE(e);
        ASSERT_TRUE(index.remove(tag, e->key, e->recno).ok());
    });
    EXPECT_FALSE(check(Table::IndexCheck::Full).ok());
}

TEST_F(IndexCheck, StaleKeyAfterTheRecordChangedBehindTheIndex) {
    // LNAME of record 123 rewritten in the DBF alone.
    std::size_t at = 0;
    {
        auto t = Table::open(dbf, OpenMode::ReadOnly);
        ASSERT_TRUE(t.ok());
        at = t->header().headerLength + 122u * t->header().recordLength + 1;
    }
    std::string bytes = readBytes(dbf);
    bytes.replace(at, 6, "AAAAAA");
    writeBytes(dbf, bytes);
    auto full = check(Table::IndexCheck::Full);
    ASSERT_FALSE(full.ok());
    EXPECT_NE(full.error().find("record 123 has the key"), std::string::npos) << full.error();
}

TEST_F(IndexCheck, KeyForARecordTheTableDoesNotHoldOrTwoKeysForOne) {
    editIndex("STATE", [](CompactIndex& index, int tag) {
        ASSERT_TRUE(index.insert(tag, std::string(20, 'Z'), 401).ok());
    });
    auto beyond = check(Table::IndexCheck::Full);
    ASSERT_FALSE(beyond.ok());
    EXPECT_NE(beyond.error().find("holds record 401"), std::string::npos) << beyond.error();
    // The sampled form reads the entries at both ends of every tag.
    EXPECT_FALSE(check(Table::IndexCheck::Sampled).ok());

    fresh(400, 1);
    editIndex("NOTISDEL", [](CompactIndex& index, int tag) {
        auto e = index.first(tag);
        ASSERT_TRUE(e);
        ASSERT_TRUE(index.insert(tag, e->key == "T" ? "F" : "T", e->recno).ok());
    });
    EXPECT_FALSE(check(Table::IndexCheck::Full).ok());
}

TEST_F(IndexCheck, BatchCheckReadsEveryKeyAndSaysWhy) {
    editIndex("EMAIL", [](CompactIndex& index, int tag) {
        auto e = index.first(tag);
        for (int i = 0; i < 200 && e; ++i)
            e = index.next(tag, *e);
        ASSERT_TRUE(index.remove(tag, e->key, e->recno).ok());
    });
    TempDir home;
    auto r = runCommand("QUILLPOST_HOME=" + shellQuote(home.path().string()) + " " +
                        shellQuote(QP_BATCH_EXE) + " check " + shellQuote(dbf));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output.substr(0, 8), "invalid\n") << r.output;
    EXPECT_NE(r.output.find("Index tag EMAIL"), std::string::npos) << r.output;
    r = runCommand("QUILLPOST_HOME=" + shellQuote(home.path().string()) + " " +
                   shellQuote(QP_BATCH_EXE) + " reindex " + shellQuote(dbf));
    EXPECT_EQ(r.status, 0) << r.output;
    r = runCommand("QUILLPOST_HOME=" + shellQuote(home.path().string()) + " " +
                   shellQuote(QP_BATCH_EXE) + " check " + shellQuote(dbf));
    EXPECT_EQ(r.output, "valid\n");
}

// Logical tags (DELETED, ISDEL, NOTISDEL) keep "T"/"F" keys when every
// write happens in a session of its own.
TEST_F(IndexCheck, LogicalTagsKeepTheirKeysAcrossReopens) {
    for (int step = 0; step < 60; ++step) {
        auto t = openAddressFile(dbf, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        EXPECT_EQ(t->tagInfo(t->tagArea("ISDEL"))->keyType, KeyType::Logical);
        EXPECT_EQ(t->tagInfo(t->tagArea("NAME"))->keyType, KeyType::Character);
        t->setDeleted(false);
        const auto recno = static_cast<std::uint32_t>(1 + (step * 37) % 400);
        ASSERT_TRUE(t->go(recno));
        const bool del = !t->deleted();
        ASSERT_TRUE(t->replaceLogical("ISDEL", del).ok());
        ASSERT_TRUE(t->post().ok());
        ASSERT_TRUE(del ? t->deleteRecord().ok() : t->recall().ok());
        if (step % 10 == 9) {
            ASSERT_TRUE(SampleAddresses::append(*t, SampleAddresses(step).next()).ok());
            ASSERT_TRUE(t->post().ok());
        }
    }
    EXPECT_TRUE(check(Table::IndexCheck::Full).ok()) << check(Table::IndexCheck::Full).error();
    EXPECT_EQ(tagWalkProblem(dbf), "");
}

// Damaged index pages, fixed seeds: the check either refuses (and no file
// changes), or every tag walk is right by the long-hand account.
TEST_F(IndexCheck, DamagedPagesReplayNeverPassWrongIndexes) {
    fresh(150, 3);
    const std::string good = readBytes(cdx);
    const std::string goodDbf = readBytes(dbf);
    fs::copy_file(dir.file("ADD0001.FPT"), dir.file("good.FPT"));
    std::mt19937 rng(20261209);
    int refused = 0, passed = 0;
    for (int round = 0; round < 240; ++round) {
        std::string bytes = good;
        const std::size_t pages = bytes.size() / 512;
        const int mode = round % 4;
        const std::size_t page = 2 + rng() % (pages - 2);
        if (mode == 0) { // a few flipped bytes in one page
            for (int i = 0; i < 1 + static_cast<int>(rng() % 4); ++i)
                bytes[page * 512 + rng() % 512] ^= static_cast<char>(1 + rng() % 255);
        } else if (mode == 1) { // a page pointer or count word set at random
            const std::size_t at = page * 512 + (rng() % 6) * 4;
            for (int i = 0; i < 4; ++i)
                bytes[at + i] = static_cast<char>(rng());
        } else if (mode == 2) { // one page copied over another
            const std::size_t from = 2 + rng() % (pages - 2);
            bytes.replace(page * 512, 512, good.substr(from * 512, 512));
        } else { // key bytes inside a leaf changed to other printable text
            for (int i = 0; i < 3; ++i)
                bytes[page * 512 + 24 + rng() % 488] = static_cast<char>('A' + rng() % 26);
        }
        writeBytes(cdx, bytes);
        auto verdict = check(Table::IndexCheck::Full);
        if (verdict.ok()) {
            ++passed;
            ASSERT_EQ(tagWalkProblem(dbf), "") << "round " << round << " passed the check";
            // An index that passed takes further writes soundly.
            {
                auto t = openAddressFile(dbf, OpenMode::Exclusive);
                ASSERT_TRUE(t.ok()) << t.error();
                ASSERT_TRUE(SampleAddresses::append(*t, SampleAddresses(round).next()).ok());
                auto posted = t->post();
                ASSERT_TRUE(posted.ok()) << "round " << round << ": " << posted.error();
            }
            ASSERT_EQ(tagWalkProblem(dbf), "") << "round " << round << " after an append";
            writeBytes(dbf, goodDbf);
            fs::remove(dir.file("ADD0001.FPT"));
            fs::copy_file(dir.file("good.FPT"), dir.file("ADD0001.FPT"));
        } else {
            ++refused;
            EXPECT_FALSE(verdict.error().empty());
            EXPECT_EQ(readBytes(cdx), bytes) << "round " << round;
            EXPECT_EQ(readBytes(dbf), goodDbf) << "round " << round;
        }
    }
    EXPECT_GT(refused, 100);
    RecordProperty("passed", passed);
}
