// Damaged index files: truncation, bad page pointers, garbage nodes and
// sibling cycles give "is damaged" errors, never crashes or writes. Also reads
// a leaf laid out with other bit widths than ours, as other writers choose.

#include "store/compact_index.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace qp::store {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kFirstLeaf = 2560; // after file header, directory and tag header
constexpr int kKeyLength = 30;
constexpr std::uint32_t kEntries = 4000;

std::uint32_t le32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}
void putLe32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>(v >> (8 * i));
}

class CompactIndexDamageTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto index = CompactIndex::createCompound(file("good.cdx"));
        ASSERT_TRUE(index);
        std::vector<KeyEntry> entries;
        for (std::uint32_t r = 1; r <= kEntries; ++r) {
            std::string k = "PERSON " + std::to_string(100000 + r);
            k.resize(kKeyLength, ' ');
            entries.push_back({k, r});
        }
        TagInfo tag;
        tag.name = "NAME";
        tag.expression = "NAME";
        tag.keyLength = kKeyLength;
        ASSERT_TRUE(index->addTag(tag, entries));
        ASSERT_TRUE(index->flush());
        good_ = read(file("good.cdx"));
        tagRoot_ = le32(good_, 1536);
    }
    std::string file(const std::string& name) const { return dir_.file(name); }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }
    std::string write(const std::string& bytes) {
        const std::string path = file("bad" + std::to_string(counter_++) + ".cdx");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Opens, walks, seeks, verifies and tries a write; returns the first error.
    std::string exercise(const std::string& path) {
        auto index = CompactIndex::open(path, IndexKind::Compound, false);
        if (!index)
            return index.error();
        std::uint32_t steps = 0;
        for (auto e = index->first(0); e && steps < 2 * kEntries; e = index->next(0, *e))
            ++steps;
        for (auto e = index->last(0); e && steps < 4 * kEntries; e = index->prior(0, *e))
            ++steps;
        (void)index->lowerBound(0, "PERSON 1020");
        (void)index->find(0, "PERSON 102000", 2000);
        Status v = index->verify(0);
        if (!index->status())
            return index->status().error();
        if (!v)
            return v.error();
        return {};
    }

    qp::testing::TempDir dir_;
    std::string good_;
    std::uint32_t tagRoot_ = 0;
    int counter_ = 0;
};

void expectDamaged(const std::string& error) {
    EXPECT_NE(error.find("is damaged"), std::string::npos) << error;
}

TEST_F(CompactIndexDamageTest, TruncatedFilesAreRefused) {
    ASSERT_EQ(exercise(file("good.cdx")), "");
    ASSERT_EQ(good_[tagRoot_], 1) << "the tag root should be an interior page";
    expectDamaged(exercise(write(good_.substr(0, good_.size() - 100))));
    expectDamaged(exercise(write(good_.substr(0, 700))));
    // Cut at a page boundary: the root and upper pages are gone.
    expectDamaged(exercise(write(good_.substr(0, good_.size() - 1024))));
    const std::string mid = good_.substr(0, kFirstLeaf + 20 * 512);
    const std::string path = write(mid);
    auto index = CompactIndex::open(path, IndexKind::Compound, false);
    if (index) {
        EXPECT_FALSE(index->first(0) && index->last(0));
        expectDamaged(index->status().error());
        // Found damaged: no writes, and nothing flushed on close.
        EXPECT_FALSE(index->insert(0, std::string(kKeyLength, 'A'), 1));
        EXPECT_FALSE(index->flush());
    } else {
        expectDamaged(index.error());
    }
    EXPECT_EQ(read(path), mid);
}

TEST_F(CompactIndexDamageTest, BadPageOffsetsAreRefused) {
    std::string bytes = good_;
    putLe32(bytes, 0, 0x1234); // directory root not page aligned
    expectDamaged(exercise(write(bytes)));

    bytes = good_;
    putLe32(bytes, 1536, static_cast<std::uint32_t>(good_.size()) + 4096); // tag root past end
    expectDamaged(exercise(write(bytes)));

    bytes = good_;
    // First child pointer of the tag root (big-endian, after key and recno).
    const std::size_t child = tagRoot_ + 12 + kKeyLength + 4;
    bytes[child] = '\x7f';
    expectDamaged(exercise(write(bytes)));

    bytes = good_;
    putLe32(bytes, 4, 0x10000000); // free list past the end
    expectDamaged(exercise(write(bytes)));
}

TEST_F(CompactIndexDamageTest, GarbageNodesAndSiblingCyclesAreRefused) {
    // Leaf header fields that do not add up.
    for (int field : {2, 12, 14, 20, 23}) {
        std::string bytes = good_;
        bytes[kFirstLeaf + 512 * 3 + field] ^= '\x5a';
        expectDamaged(exercise(write(bytes)));
    }
    std::string bytes = good_;
    bytes[kFirstLeaf] = '\x09'; // unknown node attribute
    expectDamaged(exercise(write(bytes)));

    // A leaf pointing right back to an earlier leaf.
    bytes = good_;
    putLe32(bytes, kFirstLeaf + 512 * 5 + 8, kFirstLeaf + 512 * 2);
    const std::string path = write(bytes);
    expectDamaged(exercise(path));
    EXPECT_EQ(read(path), bytes);

    // A leaf pointing to itself.
    bytes = good_;
    putLe32(bytes, kFirstLeaf + 8, kFirstLeaf);
    expectDamaged(exercise(write(bytes)));
}

TEST_F(CompactIndexDamageTest, RandomCorruptionNeverCrashes) {
    // QP_CDX_FUZZ_ROUNDS / QP_CDX_FUZZ_SEED allow longer runs under sanitizers.
    const char* roundsEnv = std::getenv("QP_CDX_FUZZ_ROUNDS");
    const char* seedEnv = std::getenv("QP_CDX_FUZZ_SEED");
    const int rounds = roundsEnv ? std::atoi(roundsEnv) : 300;
    std::mt19937 rng(seedEnv ? static_cast<unsigned>(std::atoi(seedEnv)) : 99u);
    int damaged = 0;
    for (int round = 0; round < rounds; ++round) {
        std::string bytes = good_;
        const int hits = 1 + static_cast<int>(rng() % 6);
        for (int i = 0; i < hits; ++i) {
            // Mostly tree pages, sometimes the headers.
            const std::size_t at =
                rng() % 8 ? kFirstLeaf + rng() % (bytes.size() - kFirstLeaf) : rng() % kFirstLeaf;
            bytes[at] = static_cast<char>(rng());
        }
        const std::string path = write(bytes);
        const std::string error = exercise(path);
        if (!error.empty()) {
            ++damaged;
            EXPECT_TRUE(error.find("is damaged") != std::string::npos ||
                        error.find("Tag ") != std::string::npos)
                << error;
        }
        fs::remove(path);
    }
    EXPECT_GT(damaged, rounds / 6);
}

TEST_F(CompactIndexDamageTest, ReadsLeavesWithOtherBitWidths) {
    // One root leaf of 3 keys in 4-byte entries: 16 recno bits, 8 + 8 count
    // bits, as a writer with a different width choice would store them.
    std::string bytes = good_.substr(0, kFirstLeaf);
    bytes.resize(kFirstLeaf + 512, '\0');
    putLe32(bytes, 1536, kFirstLeaf);
    std::string page(512, '\0');
    page[0] = 3;
    page[2] = 3;
    putLe32(page, 4, 0xFFFFFFFF);
    putLe32(page, 8, 0xFFFFFFFF);
    putLe32(page, 14, 0xFFFF);
    page[18] = '\xff';
    page[19] = '\xff';
    page[20] = 16;
    page[21] = 8;
    page[22] = 8;
    page[23] = 4;
    const std::string keys[3] = {"ALPHA", "ALPHABET", "BETA"};
    const std::uint32_t recnos[3] = {7, 300, 65535};
    const int dups[3] = {0, 5, 0};
    int end = 512;
    for (int i = 0; i < 3; ++i) {
        const int trail = kKeyLength - static_cast<int>(keys[i].size());
        const std::string stored = keys[i].substr(dups[i]);
        end -= static_cast<int>(stored.size());
        std::memcpy(page.data() + end, stored.data(), stored.size());
        putLe32(page, 24 + 4 * i,
                recnos[i] | std::uint32_t(dups[i]) << 16 | std::uint32_t(trail) << 24);
    }
    page[12] = static_cast<char>((end - 36) & 0xff);
    page[13] = static_cast<char>((end - 36) >> 8);
    bytes.replace(kFirstLeaf, 512, page);

    const std::string path = write(bytes);
    {
        auto index = CompactIndex::open(path, IndexKind::Compound, false);
        ASSERT_TRUE(index) << index.error();
        ASSERT_TRUE(index->verify(0)) << index->verify(0).error();
        auto e = index->first(0);
        for (int i = 0; i < 3; ++i, e = index->next(0, *e)) {
            ASSERT_TRUE(e);
            std::string want = keys[i];
            want.resize(kKeyLength, ' ');
            EXPECT_EQ(e->key, want);
            EXPECT_EQ(e->recno, recnos[i]);
        }
        EXPECT_FALSE(e);
        // Changing it re-encodes with our widths and stays readable.
        ASSERT_TRUE(index->insert(0, std::string(kKeyLength, 'B'), 70000));
    }
    auto index = CompactIndex::open(path, IndexKind::Compound, true);
    ASSERT_TRUE(index);
    EXPECT_TRUE(index->verify(0));
    EXPECT_EQ(index->last(0)->recno, 65535u);
    EXPECT_TRUE(index->find(0, std::string(kKeyLength, 'B'), 70000));
}

} // namespace
} // namespace qp::store
