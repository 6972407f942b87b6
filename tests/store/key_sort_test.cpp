// Index builds order their keys with a radix sort: its order must be exactly
// that of a plain comparison sort on (key bytes, record number) for every kind
// of key a table can hold, and tags built with it must pass the full index
// check (each key recomputed by the general evaluator, keys in order).

#include "store/key_sort.h"
#include "store/table.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>

using namespace qp::store;
using qp::testing::TempDir;

namespace {

std::vector<std::uint32_t> referenceOrder(const std::string& keys, std::size_t length,
                                          std::uint32_t count) {
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 1u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return std::memcmp(keys.data() + (a - 1) * length, keys.data() + (b - 1) * length, length) <
               0;
    });
    return order;
}

// Keys drawn from few values so that long runs share their first bytes and
// differ only far in, with bytes above 0x7F (accents), blanks and zero bytes.
std::string awkwardKeys(std::size_t length, std::uint32_t count, std::mt19937& rng) {
    static const std::string alphabet = std::string("  AZaz\xC9\xE9\xFF\x80", 10) + '\0';
    std::string keys(std::size_t(count) * length, ' ');
    std::vector<std::string> stems;
    for (int s = 0; s < 5; ++s) {
        std::string stem;
        for (std::size_t i = 0; i < length; ++i)
            stem += alphabet[rng() % alphabet.size()];
        stems.push_back(stem);
    }
    for (std::uint32_t r = 0; r < count; ++r) {
        std::string key = stems[rng() % stems.size()];
        switch (rng() % 4) {
        case 0: // blank, as an empty field
            key.assign(length, ' ');
            break;
        case 1: // the stem itself: duplicates
            break;
        default: // one byte changed somewhere, often past the first eight
            key[rng() % length] = alphabet[rng() % alphabet.size()];
        }
        std::memcpy(keys.data() + std::size_t(r) * length, key.data(), length);
    }
    return keys;
}

TEST(KeySort, SameOrderAsAComparisonSortForAwkwardKeys) {
    std::mt19937 rng(11);
    KeySortScratch reused; // as a run of tag builds reuses it, sizes up and down
    for (std::size_t length : {1u, 7u, 8u, 9u, 16u, 30u, 61u, 240u})
        for (std::uint32_t count : {0u, 1u, 2u, 63u, 64u, 65u, 1000u, 20000u, 3u, 90000u}) {
            const std::string keys = awkwardKeys(length, count, rng);
            const auto expected = referenceOrder(keys, length, count);
            EXPECT_EQ(sortKeysByRecno(keys.data(), length, count), expected)
                << "length " << length << ", count " << count;
            EXPECT_EQ(sortKeysByRecno(keys.data(), length, count, reused), expected)
                << "reused memory, length " << length << ", count " << count;
            // A build copies a key marked as a repeat from the one before it:
            // a wrong mark would put a wrong key in the index.
            ASSERT_EQ(reused.repeats.size(), std::size_t(count));
            for (std::uint32_t i = 0; i < count; ++i) {
                const bool same =
                    i > 0 && std::memcmp(keys.data() + (expected[i] - 1) * length,
                                         keys.data() + (expected[i - 1] - 1) * length, length) == 0;
                ASSERT_EQ(reused.repeats[i] != 0, same)
                    << "length " << length << ", count " << count << ", place " << i;
            }
        }
}

TEST(KeySort, AllKeysEqualKeepRecordOrder) {
    std::string keys(5000 * 40, ' ');
    KeySortScratch scratch;
    auto order = sortKeysByRecno(keys.data(), 40, 5000, scratch);
    ASSERT_EQ(order.size(), 5000u);
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_EQ(std::count(scratch.repeats.begin(), scratch.repeats.end(), 1), 4999);
    // The last key alone differs: it must not pass for a repeat.
    keys[keys.size() - 1] = 'Z';
    sortKeysByRecno(keys.data(), 40, 5000, scratch);
    EXPECT_EQ(scratch.recnos.back(), 5000u);
    EXPECT_EQ(scratch.repeats.back(), 0);
    EXPECT_EQ(std::count(scratch.repeats.begin(), scratch.repeats.end(), 1), 4998);
}

TEST(KeySort, TagsBuiltOverAwkwardRecordsPassTheFullCheck) {
    TempDir dir;
    const std::string path = dir.file("AWK.DBF");
    ASSERT_TRUE(Table::create(path, {{"LNAME", 'C', 20, 0},
                                     {"FNAME", 'C', 20, 0},
                                     {"NOTE", 'C', 200, 0},
                                     {"FLAG", 'L', 1, 0}})
                    .ok());
    auto t = Table::open(path, OpenMode::Exclusive);
    ASSERT_TRUE(t.ok()) << t.error();
    const std::vector<std::string> last = {
        "",    "Smith",    "smith",  "Émile",       "émile",
        "Zoë", "Ångström", "O'Neil", "Smith-Jones", "SMITHSONIANINSTITUT"};
    std::mt19937 rng(3);
    for (int i = 0; i < 3000; ++i) {
        ASSERT_TRUE(t->append().ok());
        ASSERT_TRUE(t->replace("LNAME", last[rng() % last.size()]).ok());
        if (rng() % 3) {
            ASSERT_TRUE(t->replace("FNAME", last[rng() % last.size()]).ok());
        }
        if (rng() % 2) {
            ASSERT_TRUE(
                t->replace("NOTE", std::string(150 + rng() % 50, 'x') + std::to_string(rng() % 7))
                    .ok());
        }
        ASSERT_TRUE(t->replaceLogical("FLAG", rng() % 2).ok());
        ASSERT_TRUE(t->post().ok());
        if (rng() % 10 == 0) {
            ASSERT_TRUE(t->deleteRecord().ok());
        }
    }
    ASSERT_TRUE(t->indexTags({{"NAME", "UPPER(LNAME-FNAME)"},
                              {"LNAME", "UPPER(LNAME)+UPPER(FNAME)"},
                              {"NOTE", "NOTE"},
                              {"DELETED", "DELETED()"},
                              {"FLAG", "!FLAG"}})
                    .ok());
    EXPECT_TRUE(t->checkIndex(Table::IndexCheck::Full).ok());
    // The first keys in NAME order are the blank last names, in record order.
    ASSERT_TRUE(t->setOrder(t->tagArea("NAME")).ok());
    ASSERT_TRUE(t->first());
    std::uint32_t previous = 0;
    while (!t->eof() && t->getString("LNAME").empty() && t->getString("FNAME").empty()) {
        EXPECT_GT(t->recNo(), previous);
        previous = t->recNo();
        t->next();
    }
    EXPECT_GT(previous, 0u);
}

} // namespace
