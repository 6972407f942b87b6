// Compact index round trips: bulk build, in-place changes against a model,
// navigation, zap, standalone IDX files and read-only use.

#include "store/compact_index.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <unistd.h>

namespace qp::store {
namespace {

namespace fs = std::filesystem;
using Model = std::set<std::pair<std::string, std::uint32_t>>;

class CompactIndexTest : public ::testing::Test {
protected:
    std::string file(const std::string& name) const { return dir_.file(name); }

    qp::testing::TempDir dir_;
};

::testing::AssertionResult ok(const Status& s) {
    if (s)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << s.error();
}

TagInfo charTag(const std::string& name, int keyLength) {
    TagInfo t;
    t.name = name;
    t.expression = "UPPER(" + name + ")";
    t.keyLength = keyLength;
    return t;
}

// Name-like keys: shared prefixes, trailing blanks, some duplicates.
std::string randomKey(std::mt19937& rng, int keyLength, int vocabulary = 0) {
    static const char* first[] = {"SMITH", "SMITHSON", "JONES",   "JOHNSON", "MILLER", "MILLS",
                                  "BROWN", "BROWNING", "ZIEGLER", "ABBOTT",  "O'NEIL", "MUELLER"};
    std::string key;
    if (vocabulary > 0) {
        key = first[rng() % 12] + std::string(" ") + std::to_string(rng() % vocabulary);
    } else {
        key = first[rng() % 12];
        key += ", ";
        const int len = 1 + static_cast<int>(rng() % 20);
        for (int i = 0; i < len; ++i)
            key += static_cast<char>('A' + rng() % 26);
    }
    key.resize(keyLength, ' ');
    return key;
}

std::vector<KeyEntry> walkForward(const CompactIndex& index, int tag) {
    std::vector<KeyEntry> out;
    for (auto e = index.first(tag); e; e = index.next(tag, *e))
        out.push_back(*e);
    return out;
}

std::vector<KeyEntry> walkBackward(const CompactIndex& index, int tag) {
    std::vector<KeyEntry> out;
    for (auto e = index.last(tag); e; e = index.prior(tag, *e))
        out.push_back(*e);
    std::reverse(out.begin(), out.end());
    return out;
}

void expectMatches(const CompactIndex& index, int tag, const Model& model) {
    ASSERT_TRUE(index.verify(tag)) << index.verify(tag).error();
    const auto forward = walkForward(index, tag);
    ASSERT_EQ(forward.size(), model.size());
    std::size_t i = 0;
    for (auto& [key, recno] : model) {
        ASSERT_EQ(forward[i].key, key) << "at " << i;
        ASSERT_EQ(forward[i].recno, recno) << "at " << i;
        ++i;
    }
    const auto backward = walkBackward(index, tag);
    ASSERT_EQ(backward.size(), forward.size());
    for (std::size_t j = 0; j < forward.size(); ++j) {
        ASSERT_EQ(backward[j].key, forward[j].key);
        ASSERT_EQ(backward[j].recno, forward[j].recno);
    }
    ASSERT_TRUE(index.status());
}

// Removes and returns a random element in O(log n): the model plus a vector
// of its elements for picking.
class Pool {
public:
    bool insert(const std::string& key, std::uint32_t recno) {
        if (!model.insert({key, recno}).second)
            return false;
        items_.push_back({key, recno});
        return true;
    }
    std::pair<std::string, std::uint32_t> take(std::mt19937& rng) {
        const std::size_t i = rng() % items_.size();
        std::swap(items_[i], items_.back());
        auto e = items_.back();
        items_.pop_back();
        model.erase(e);
        return e;
    }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }

    Model model;

private:
    std::vector<std::pair<std::string, std::uint32_t>> items_;
};

std::vector<KeyEntry> toEntries(const Model& model) {
    std::vector<KeyEntry> out;
    for (auto& [k, r] : model)
        out.push_back({k, r});
    return out;
}

TEST_F(CompactIndexTest, BulkBuildOfManyKeysReopensToTheSameWalk) {
    std::mt19937 rng(7);
    Model names;
    while (names.size() < 100000)
        names.insert({randomKey(rng, 60), static_cast<std::uint32_t>(1 + rng() % 200000)});
    Model flags;
    for (std::uint32_t r = 1; r <= 5000; ++r)
        flags.insert({rng() % 3 ? "T" : "F", r});
    const auto nameEntries = toEntries(names);
    {
        auto index = CompactIndex::createCompound(file("people.cdx"));
        ASSERT_TRUE(index) << index.error();
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(ok(index->addTag(charTag("NAME", 60), nameEntries)));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("bulk build of %zu keys (length 60): %.4f s\n", nameEntries.size(), seconds);
        TagInfo active;
        active.name = "active";
        active.expression = "ACTIVE";
        active.keyLength = 1;
        active.keyType = KeyType::Logical;
        ASSERT_TRUE(ok(index->addTag(active, toEntries(flags))));
        ASSERT_TRUE(ok(index->flush()));
    }
    auto index = CompactIndex::open(file("people.cdx"), IndexKind::Compound, true);
    ASSERT_TRUE(index) << index.error();
    ASSERT_EQ(index->tagCount(), 2);
    EXPECT_EQ(index->tag(0).name, "NAME");
    EXPECT_EQ(index->tag(0).expression, "UPPER(NAME)");
    EXPECT_EQ(index->tag(0).keyLength, 60);
    EXPECT_EQ(index->tag(1).name, "ACTIVE");
    EXPECT_EQ(index->findTag("Active"), 1);
    EXPECT_FALSE(index->findTag("NOSUCH"));

    const auto start = std::chrono::steady_clock::now();
    const auto walked = walkForward(*index, 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("sequential walk of %zu keys: %.4f s\n", walked.size(), seconds);
    expectMatches(*index, 0, names);
    expectMatches(*index, 1, flags);

    // lowerBound and find against the model.
    for (int i = 0; i < 2000; ++i) {
        std::string prefix = randomKey(rng, 60).substr(0, 1 + rng() % 12);
        auto it = names.lower_bound({prefix, 0}); // keys are longer than any prefix
        auto got = index->lowerBound(0, prefix);
        if (it == names.end()) {
            EXPECT_FALSE(got) << prefix;
        } else {
            ASSERT_TRUE(got) << prefix;
            EXPECT_EQ(got->key, it->first);
            EXPECT_EQ(got->recno, it->second);
        }
        const auto& probe = nameEntries[rng() % nameEntries.size()];
        auto hit = index->find(0, probe.key, probe.recno);
        ASSERT_TRUE(hit);
        EXPECT_EQ(hit->recno, probe.recno);
        EXPECT_FALSE(index->find(0, probe.key, probe.recno + 1) &&
                     !names.count({probe.key, index->find(0, probe.key, probe.recno + 1)->recno}));
    }
    EXPECT_FALSE(index->lowerBound(0, std::string(61, '\xff')));
    EXPECT_EQ(index->lowerBound(1, "T")->key, "T");
    // A prefix longer than the key that equals a key when cut lies after it.
    auto beyond = index->lowerBound(1, "FF");
    ASSERT_TRUE(beyond);
    EXPECT_EQ(beyond->key, "T");
    // Read-only files refuse changes.
    EXPECT_FALSE(index->insert(1, "T", 99999));
}

TEST_F(CompactIndexTest, RandomInsertsAndRemovesMatchAModel) {
    std::mt19937 rng(11);
    Pool pool;
    const Model& model = pool.model;
    auto index = CompactIndex::createCompound(file("random.cdx"));
    ASSERT_TRUE(index);
    ASSERT_TRUE(ok(index->addTag(charTag("CITY", 24), {})));
    ASSERT_TRUE(ok(index->addTag(charTag("NAME", 60), {})));
    const int tag = *index->findTag("NAME");
    for (int round = 0; round < 50000; ++round) {
        const bool add = model.size() < 20 || rng() % 10 < 7;
        if (add) {
            std::string key;
            switch (rng() % 10) {
            case 0: // new minimum
                key = std::string(1, static_cast<char>(' ' + rng() % 8)) + randomKey(rng, 59);
                break;
            case 1: // new maximum
                key = std::string(1 + rng() % 3, '\xfe') + randomKey(rng, 56);
                key.resize(60, ' ');
                break;
            default:
                key = randomKey(rng, 60, 400);
            }
            const auto recno = static_cast<std::uint32_t>(1 + rng() % 100000);
            const bool fresh = pool.insert(key, recno);
            ASSERT_EQ(static_cast<bool>(index->insert(tag, key, recno)), fresh);
        } else {
            const auto [key, recno] = pool.take(rng);
            ASSERT_TRUE(ok(index->remove(tag, key, recno)));
        }
        if (round % 10000 == 9999)
            expectMatches(*index, tag, model);
    }
    expectMatches(*index, tag, model);
    EXPECT_FALSE(index->remove(tag, std::string(60, 'Q'), 1));

    // lowerBound agrees with the model for assorted prefixes.
    for (int i = 0; i < 500; ++i) {
        const std::string prefix = randomKey(rng, 60, 400).substr(0, 1 + rng() % 10);
        auto it = model.lower_bound({prefix, 0});
        auto got = index->lowerBound(tag, prefix);
        ASSERT_EQ(static_cast<bool>(got), it != model.end());
        if (got) {
            EXPECT_EQ(std::make_pair(got->key, got->recno), *it);
        }
    }
    ASSERT_TRUE(ok(index->flush()));
    auto reopened = CompactIndex::open(file("random.cdx"), IndexKind::Compound, false);
    ASSERT_TRUE(reopened) << reopened.error();
    expectMatches(*reopened, *reopened->findTag("NAME"), model);
    expectMatches(*reopened, *reopened->findTag("CITY"), {});

    // Empty the tree by removals: pages unlink down to an empty root leaf.
    for (auto& [k, r] : model)
        ASSERT_TRUE(ok(reopened->remove(tag, k, r)));
    expectMatches(*reopened, tag, {});
    ASSERT_TRUE(ok(reopened->insert(tag, randomKey(rng, 60), 5)));
    EXPECT_EQ(walkForward(*reopened, tag).size(), 1u);
}

TEST_F(CompactIndexTest, ExtremeKeyLengthsSplitAtEveryLevel) {
    // Key length 240 leaves room for two entries per interior page: deep trees.
    for (int keyLength : {240, 1, 10}) {
        std::mt19937 rng(keyLength);
        Pool pool;
        const Model& model = pool.model;
        auto index = CompactIndex::createCompound(file("k" + std::to_string(keyLength) + ".cdx"));
        ASSERT_TRUE(index);
        std::vector<KeyEntry> seed;
        for (std::uint32_t r = 1; r <= 300; ++r) {
            std::string key =
                keyLength == 1 ? std::string(1, "TF"[r % 2]) : randomKey(rng, keyLength, 50);
            pool.insert(key, r);
        }
        ASSERT_TRUE(ok(index->addTag(charTag("K", keyLength), toEntries(model))));
        expectMatches(*index, 0, model);
        for (int round = 0; round < 3000; ++round) {
            if (rng() % 3) {
                std::string key = keyLength == 1 ? std::string(1, "TF"[rng() % 2])
                                                 : randomKey(rng, keyLength, 50);
                const auto recno = static_cast<std::uint32_t>(rng());
                if (pool.insert(key, recno)) {
                    ASSERT_TRUE(ok(index->insert(0, key, recno)));
                }
            } else if (!pool.empty()) {
                const auto [key, recno] = pool.take(rng);
                ASSERT_TRUE(ok(index->remove(0, key, recno)));
            }
        }
        expectMatches(*index, 0, model);
    }
}

TEST_F(CompactIndexTest, PositionsSurviveChangesAndZapEmptiesATag) {
    auto index = CompactIndex::createCompound(file("pos.cdx"));
    ASSERT_TRUE(index);
    std::vector<KeyEntry> entries;
    for (std::uint32_t r = 1; r <= 3000; ++r) {
        std::string k = "KEY" + std::to_string(100000 + r);
        k.resize(20, ' ');
        entries.push_back({k, r});
    }
    ASSERT_TRUE(ok(index->addTag(charTag("K", 20), entries)));
    auto at = index->find(0, entries[1500].key, 1501);
    ASSERT_TRUE(at);
    // The entry we stand on goes away; next/prior still answer from its place.
    ASSERT_TRUE(ok(index->remove(0, at->key, at->recno)));
    EXPECT_EQ(index->next(0, *at)->recno, 1502u);
    EXPECT_EQ(index->prior(0, *at)->recno, 1500u);
    ASSERT_TRUE(ok(index->insert(0, at->key, 7)));
    EXPECT_EQ(index->next(0, {at->key, 0})->recno, 7u);
    EXPECT_EQ(index->find(0, at->key, 0)->recno, 7u);
    EXPECT_FALSE(index->find(0, at->key, 8));
    EXPECT_FALSE(index->next(0, entries.back()));
    EXPECT_FALSE(index->prior(0, entries.front()));
    EXPECT_EQ(index->prior(0, {std::string(20, '\xff'), 0})->recno, 3000u);

    ASSERT_TRUE(ok(index->clearTag(0)));
    expectMatches(*index, 0, {});
    EXPECT_FALSE(index->first(0));
    ASSERT_TRUE(ok(index->insert(0, entries[5].key, 6)));
    ASSERT_TRUE(ok(index->flush()));
    auto reopened = CompactIndex::open(file("pos.cdx"), IndexKind::Compound, true);
    ASSERT_TRUE(reopened);
    expectMatches(*reopened, 0, {{entries[5].key, 6}});
    // The zapped pages were reused or listed free, not leaked past the build.
    EXPECT_LT(fs::file_size(file("pos.cdx")), 3000u * 30);
}

TEST_F(CompactIndexTest, StandaloneIndexHoldsOneTag) {
    std::mt19937 rng(3);
    TagInfo info = charTag("ZIP", 10);
    info.expression = "ZIP";
    info.forExpression = "!DELETED()";
    info.unique = true;
    Model model;
    {
        auto index = CompactIndex::createSingle(file("zip.idx"), info);
        ASSERT_TRUE(index) << index.error();
        EXPECT_EQ(index->kind(), IndexKind::Single);
        ASSERT_EQ(index->tagCount(), 1);
        EXPECT_FALSE(index->addTag(charTag("OTHER", 10), {}));
        for (std::uint32_t r = 1; r <= 5000; ++r) {
            std::string k = std::to_string(rng() % 99999);
            k.resize(10, ' ');
            model.insert({k, r});
            ASSERT_TRUE(ok(index->insert(0, k, r)));
        }
        EXPECT_FALSE(index->insert(0, "short", 1));
    }
    auto index = CompactIndex::open(file("zip.idx"), IndexKind::Single, false);
    ASSERT_TRUE(index) << index.error();
    EXPECT_EQ(index->tag(0).name, "ZIP");
    EXPECT_EQ(index->tag(0).expression, "ZIP");
    EXPECT_EQ(index->tag(0).forExpression, "!DELETED()");
    EXPECT_TRUE(index->tag(0).unique);
    EXPECT_EQ(index->tag(0).keyLength, 10);
    expectMatches(*index, 0, model);
    // Each kind refuses the other.
    EXPECT_FALSE(CompactIndex::open(file("zip.idx"), IndexKind::Compound, true));
}

TEST_F(CompactIndexTest, ReadOnlyOpenNeverWrites) {
    {
        auto index = CompactIndex::createCompound(file("ro.cdx"));
        ASSERT_TRUE(index);
        ASSERT_TRUE(ok(index->addTag(charTag("A", 8), {{"AAAAAAAA", 1}})));
    }
    std::ifstream in(file("ro.cdx"), std::ios::binary);
    const std::string before((std::istreambuf_iterator<char>(in)), {});
    {
        auto index = CompactIndex::open(file("ro.cdx"), IndexKind::Compound, true);
        ASSERT_TRUE(index);
        EXPECT_FALSE(index->insert(0, "BBBBBBBB", 2));
        EXPECT_FALSE(index->remove(0, "AAAAAAAA", 1));
        EXPECT_FALSE(index->clearTag(0));
        EXPECT_FALSE(index->addTag(charTag("B", 8), {}));
        EXPECT_TRUE(index->flush());
    }
    std::ifstream again(file("ro.cdx"), std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), before);
}

TEST_F(CompactIndexTest, AddTagRejectsBadInput) {
    auto index = CompactIndex::createCompound(file("bad.cdx"));
    ASSERT_TRUE(index);
    EXPECT_FALSE(index->addTag(charTag("TOOLONGNAME1", 10), {}));
    EXPECT_FALSE(index->addTag(charTag("1ST", 10), {}));
    EXPECT_FALSE(index->addTag(charTag("HUGE", 241), {}));
    EXPECT_FALSE(index->addTag(charTag("UNSORTED", 2), {{"BB", 1}, {"AA", 2}}));
    EXPECT_FALSE(index->addTag(charTag("TWICE", 2), {{"AA", 1}, {"AA", 1}}));
    EXPECT_FALSE(index->addTag(charTag("LENGTH", 2), {{"A", 1}}));
    ASSERT_TRUE(ok(index->addTag(charTag("OK", 2), {{"AA", 1}, {"AA", 2}})));
    EXPECT_FALSE(index->addTag(charTag("ok", 2), {}));
    EXPECT_FALSE(index->insert(0, "AA", 2)); // already there
    EXPECT_FALSE(index->insert(1, "AA", 3)); // no such tag
    EXPECT_EQ(index->tagCount(), 1);
}

} // namespace
} // namespace qp::store
