// Key changes kept on decoded pages between writes: a long run of inserts,
// removes and key updates must leave exactly the file that encoding every
// page after each change leaves, be seen by every later reader, and still
// report damage clearly.

#include "store/compact_index.h"
#include "store/compact_index_impl.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <unistd.h>

namespace qp::store {
namespace {

namespace fs = std::filesystem;
using Model = std::set<std::pair<std::string, std::uint32_t>>;

class CompactIndexCacheTest : public ::testing::Test {
protected:
    void TearDown() override { cdx::setDecodedPageLimit(savedLimit_); }
    std::string file(const std::string& name) const { return dir_.file(name); }

    qp::testing::TempDir dir_;
    std::size_t savedLimit_ = cdx::decodedPageLimit();
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

// Address-like keys: long shared prefixes, trailing blanks, duplicates.
std::string randomKey(std::mt19937& rng, int keyLength) {
    static const char* names[] = {"SMITH", "SMITHSON", "JONES",   "JOHNSON", "MILLER", "MILLS",
                                  "BROWN", "BROWNING", "ZIEGLER", "ABBOTT",  "O'NEIL", ""};
    std::string key = names[rng() % 12];
    if (rng() % 3 != 0)
        key += " " + std::to_string(rng() % 500);
    key.resize(static_cast<std::size_t>(keyLength), ' ');
    return key;
}

std::vector<KeyEntry> walk(const CompactIndex& index, int tag) {
    std::vector<KeyEntry> out;
    for (auto e = index.first(tag); e; e = index.next(tag, *e))
        out.push_back(*e);
    return out;
}

std::vector<KeyEntry> toEntries(const Model& model) {
    std::vector<KeyEntry> out;
    for (auto& [k, r] : model)
        out.push_back({k, r});
    return out;
}

void expectWalk(const CompactIndex& index, int tag, const Model& model) {
    ASSERT_TRUE(ok(index.verify(tag)));
    const auto entries = walk(index, tag);
    const auto want = toEntries(model);
    ASSERT_EQ(entries.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        ASSERT_EQ(entries[i].key, want[i].key) << "at " << i;
        ASSERT_EQ(entries[i].recno, want[i].recno) << "at " << i;
    }
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The file header's change counter (bytes 8-11) counts flushes, the one
// thing allowed to differ between runs that flush at different times.
std::string withoutCounter(std::string bytes) {
    if (bytes.size() >= 12)
        bytes.replace(8, 4, 4, '\0');
    return bytes;
}

// One change of a scripted run: record `recno` leaves `before` (empty: a new
// record) and takes `after` (empty: removed), in tag `tag`.
struct Change {
    int tag;
    std::uint32_t recno;
    std::string before, after;
};

struct Script {
    std::vector<Model> start;
    std::vector<Change> changes;
    std::vector<Model> end;
};

// Record updates as a table makes them: per record, a key change in one tag
// or both, new records in both, and some records removed.
Script makeScript(const std::vector<int>& keyLengths, std::uint32_t records, int changes) {
    std::mt19937 rng(26);
    Script s;
    const int tags = static_cast<int>(keyLengths.size());
    std::vector<std::map<std::uint32_t, std::string>> keyOf(tags);
    s.start.resize(tags);
    for (int t = 0; t < tags; ++t)
        for (std::uint32_t r = 1; r <= records; ++r) {
            keyOf[t][r] = randomKey(rng, keyLengths[t]);
            s.start[t].insert({keyOf[t][r], r});
        }
    std::uint32_t next = records + 1;
    for (int i = 0; i < changes; ++i) {
        const int kind = static_cast<int>(rng() % 10);
        if (kind == 0) { // a new record
            for (int t = 0; t < tags; ++t) {
                keyOf[t][next] = randomKey(rng, keyLengths[t]);
                s.changes.push_back({t, next, "", keyOf[t][next]});
            }
            ++next;
            continue;
        }
        auto it = keyOf[0].lower_bound(1 + static_cast<std::uint32_t>(rng() % (next - 1)));
        if (it == keyOf[0].end())
            continue;
        const std::uint32_t recno = it->first;
        if (kind == 1) { // removed
            for (int t = 0; t < tags; ++t) {
                s.changes.push_back({t, recno, keyOf[t][recno], ""});
                keyOf[t].erase(recno);
            }
            continue;
        }
        for (int t = 0; t < tags; ++t) {
            if (t > 0 && rng() % 2 == 0)
                continue; // this tag's key did not change
            std::string key = randomKey(rng, keyLengths[t]);
            if (key == keyOf[t][recno])
                continue;
            s.changes.push_back({t, recno, keyOf[t][recno], key});
            keyOf[t][recno] = key;
        }
    }
    s.end.resize(tags);
    for (int t = 0; t < tags; ++t)
        for (auto& [r, k] : keyOf[t])
            s.end[t].insert({k, r});
    return s;
}

Status apply(CompactIndex& index, const Change& c) {
    if (!c.before.empty())
        if (auto s = index.remove(c.tag, c.before, c.recno); !s)
            return s;
    if (!c.after.empty())
        return index.insert(c.tag, c.after, c.recno);
    return {};
}

void buildStart(const std::string& path, const std::vector<int>& keyLengths, const Script& s) {
    auto index = CompactIndex::createCompound(path);
    ASSERT_TRUE(index) << index.error();
    for (std::size_t t = 0; t < keyLengths.size(); ++t)
        ASSERT_TRUE(ok(index->addTag(charTag("TAG" + std::to_string(t), keyLengths[t]),
                                     toEntries(s.start[t]))));
}

TEST_F(CompactIndexCacheTest, RunOfChangesWritesTheSameBytesAsPageByPageWrites) {
    const std::vector<int> keyLengths{30, 8, 120};
    const Script script = makeScript(keyLengths, 3000, 6000);
    const std::string kept = file("kept.cdx"), evicted = file("evicted.cdx"),
                      reread = file("reread.cdx");
    for (const auto& path : {kept, evicted, reread})
        buildStart(path, keyLengths, script);

    // All changes on decoded pages, written once at close.
    {
        auto index = CompactIndex::open(kept, IndexKind::Compound, false);
        ASSERT_TRUE(index) << index.error();
        for (const auto& c : script.changes)
            ASSERT_TRUE(ok(apply(*index, c)));
        for (int t = 0; t < 3; ++t)
            expectWalk(*index, t, script.end[t]);
    }
    // A limit of a few pages: the oldest are written back all the time.
    cdx::setDecodedPageLimit(8 * 1024);
    {
        auto index = CompactIndex::open(evicted, IndexKind::Compound, false);
        ASSERT_TRUE(index) << index.error();
        for (const auto& c : script.changes)
            ASSERT_TRUE(ok(apply(*index, c)));
    }
    cdx::setDecodedPageLimit(savedLimit_);
    // Closed and opened again every few changes: every page read back from
    // its bytes.
    for (std::size_t i = 0; i < script.changes.size();) {
        auto index = CompactIndex::open(reread, IndexKind::Compound, false);
        ASSERT_TRUE(index) << index.error();
        for (std::size_t end = std::min(script.changes.size(), i + 5); i < end; ++i)
            ASSERT_TRUE(ok(apply(*index, script.changes[i])));
    }

    const std::string bytes = readBytes(kept);
    EXPECT_EQ(bytes, readBytes(evicted));
    EXPECT_TRUE(withoutCounter(bytes) == withoutCounter(readBytes(reread)))
        << "the file differs from one written page by page";

    // The same entries as a copy built afresh from the final keys.
    const std::string fresh = file("fresh.cdx");
    {
        auto index = CompactIndex::createCompound(fresh);
        ASSERT_TRUE(index) << index.error();
        for (int t = 0; t < 3; ++t)
            ASSERT_TRUE(ok(index->addTag(charTag("TAG" + std::to_string(t), keyLengths[t]),
                                         toEntries(script.end[t]))));
    }
    auto a = CompactIndex::open(kept, IndexKind::Compound, true);
    auto b = CompactIndex::open(fresh, IndexKind::Compound, true);
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(ok(a->verifyAll()));
    for (int t = 0; t < 3; ++t) {
        const auto got = walk(*a, t), want = walk(*b, t);
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i)
            ASSERT_TRUE(got[i].key == want[i].key && got[i].recno == want[i].recno) << "at " << i;
    }
}

TEST_F(CompactIndexCacheTest, OtherHandlesAndReopensSeeEveryChange) {
    const std::vector<int> keyLengths{24, 10};
    const Script script = makeScript(keyLengths, 2000, 3000);
    const std::string path = file("shared.cdx");
    buildStart(path, keyLengths, script);

    {
        auto writer = CompactIndex::open(path, IndexKind::Compound, false);
        ASSERT_TRUE(writer) << writer.error();
        const std::size_t half = script.changes.size() / 2;
        for (std::size_t i = 0; i < half; ++i)
            ASSERT_TRUE(ok(apply(*writer, script.changes[i])));
        // Navigation in the writing handle sees decoded pages not yet written.
        for (auto e = writer->first(0); e; e = writer->next(0, *e))
            ASSERT_TRUE(writer->find(0, e->key, e->recno));
        ASSERT_TRUE(ok(writer->flush()));
        {
            // A second handle after flush sees the first half, whole and sound.
            auto reader = CompactIndex::open(path, IndexKind::Compound, true);
            ASSERT_TRUE(reader) << reader.error();
            ASSERT_TRUE(ok(reader->verifyAll()));
            for (int t = 0; t < 2; ++t) {
                const auto seen = walk(*reader, t), written = walk(*writer, t);
                ASSERT_EQ(seen.size(), written.size());
                for (std::size_t i = 0; i < seen.size(); ++i)
                    ASSERT_TRUE(seen[i].key == written[i].key && seen[i].recno == written[i].recno);
            }
        }
        for (std::size_t i = half; i < script.changes.size(); ++i)
            ASSERT_TRUE(ok(apply(*writer, script.changes[i])));
    } // closing writes the rest

    auto reopened = CompactIndex::open(path, IndexKind::Compound, true);
    ASSERT_TRUE(reopened) << reopened.error();
    ASSERT_TRUE(ok(reopened->verifyAll()));
    for (int t = 0; t < 2; ++t)
        expectWalk(*reopened, t, script.end[t]);
}

TEST_F(CompactIndexCacheTest, DamagedLeafIsReportedAndNothingIsWritten) {
    const std::string path = file("damaged.cdx");
    std::mt19937 rng(3);
    Model model;
    for (std::uint32_t r = 1; r <= 3000; ++r)
        model.insert({randomKey(rng, 20), r});
    {
        auto index = CompactIndex::createCompound(path);
        ASSERT_TRUE(index) << index.error();
        ASSERT_TRUE(ok(index->addTag(charTag("NAME", 20), toEntries(model))));
        for (std::uint32_t r = 3001; r <= 3200; ++r)
            ASSERT_TRUE(ok(index->insert(0, randomKey(rng, 20), r)));
    }
    // Every non-root leaf gets an attribute no page has.
    std::string bytes = readBytes(path);
    int damagedLeaves = 0;
    for (std::size_t at = 1024; at + 512 <= bytes.size(); at += 512)
        if (bytes[at] == 2 && bytes[at + 1] == 0 && bytes[at + 2] != 0) {
            bytes[at] = 0x77;
            ++damagedLeaves;
        }
    ASSERT_GT(damagedLeaves, 1);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;

    {
        auto index = CompactIndex::open(path, IndexKind::Compound, false);
        ASSERT_TRUE(index) << index.error();
        const Status s = index->insert(0, randomKey(rng, 20), 5000);
        ASSERT_FALSE(s);
        EXPECT_NE(s.error().find("is damaged"), std::string::npos) << s.error();
        EXPECT_NE(s.error().find("unknown node attribute"), std::string::npos) << s.error();
        EXPECT_FALSE(index->status());
        EXPECT_FALSE(index->flush());
        EXPECT_FALSE(index->first(0));
    }
    EXPECT_EQ(readBytes(path), bytes);
}

} // namespace
} // namespace qp::store
