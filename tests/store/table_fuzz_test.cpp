// Fixed-seed fuzz replays of DBF headers, field descriptors and memo blocks.
// After any mutation either the engine refuses (to open, or to write) with a
// message and changes no file, or what it reports agrees with the bytes of
// the damaged file itself: each record once, as the DBF holds it, and each
// memo as the memo file holds it.

#include "store/codepage.h"
#include "store/table.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

using namespace qp::store;
using qp::testing::TempDir;

namespace {

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::uint32_t le(const std::string& b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + std::size_t(i)]);
    return v;
}

std::uint32_t be32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(b[at + std::size_t(i)]);
    return v;
}

struct Files {
    std::string dbf, fpt;
};

Files pristine(const TempDir& dir) {
    std::string path = dir.file("P.DBF");
    EXPECT_TRUE(
        Table::create(
            path,
            {{"NAME", 'C', 9, 0}, {"N", 'N', 5, 1}, {"ISDEL", 'L', 1, 0}, {"MEMO", 'M', 10, 0}})
            .ok());
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        for (int i = 1; i <= 8; ++i) {
            EXPECT_TRUE(t->append().ok());
            EXPECT_TRUE(t->replace("NAME", "name" + std::to_string(i)).ok());
            EXPECT_TRUE(t->replaceNumber("N", i * 1.5).ok());
            if (i % 3 != 0) {
                EXPECT_TRUE(
                    t->replace("MEMO", std::string(std::size_t(i * 9), char('a' + i))).ok());
            }
            EXPECT_TRUE(t->post().ok());
            if (i == 4) {
                EXPECT_TRUE(t->deleteRecord().ok());
            }
        }
    }
    return {bytesOf(path), bytesOf(dir.file("P.FPT"))};
}

// What the engine shows of an open table agrees with the files' bytes.
void agreesWithBytes(Table& t, const Files& f, const std::string& context) {
    const DbfHeader& h = t.header();
    const std::uint32_t storedCount = le(f.dbf, 4, 4);
    const std::uint32_t storedLength = le(f.dbf, 8, 2);
    if (t.damage().empty()) {
        EXPECT_EQ(h.headerLength, storedLength) << context;
        EXPECT_EQ(t.recCount(), storedCount) << context;
    }
    ASSERT_LE(h.headerLength + std::uint64_t(t.recCount()) * h.recordLength, f.dbf.size())
        << context;
    t.setDeleted(false);
    std::uint32_t expect = 1;
    for (bool more = t.first(); more; more = t.next(), ++expect) {
        ASSERT_EQ(t.recNo(), expect) << context;
        std::size_t at = h.headerLength + std::size_t(expect - 1) * h.recordLength;
        std::string raw;
        for (int i = 0; i < static_cast<int>(h.fields.size()); ++i)
            raw += t.getRaw(i);
        ASSERT_EQ(raw, f.dbf.substr(at + 1, h.recordLength - 1)) << context << " record " << expect;
        EXPECT_EQ(t.deleted(), f.dbf[at] == '*') << context;
        for (const auto& field : h.fields) {
            if (field.type != 'M')
                continue;
            auto memo = t.getMemo(field.name);
            if (!memo)
                continue; // reported, not hidden
            std::string digits = f.dbf.substr(at + std::size_t(field.offset), 10);
            std::uint32_t block = 0;
            for (char c : digits)
                if (c >= '0' && c <= '9')
                    block = block * 10 + std::uint32_t(c - '0');
            if (block == 0) {
                EXPECT_EQ(*memo, "") << context;
                continue;
            }
            ASSERT_GE(f.fpt.size(), 8u) << context;
            std::uint32_t size = (std::uint32_t(static_cast<unsigned char>(f.fpt[6])) << 8) |
                                 static_cast<unsigned char>(f.fpt[7]);
            if (size == 0)
                size = 512;
            std::size_t pos = std::size_t(block) * size;
            ASSERT_LE(pos + 8, f.fpt.size()) << context;
            std::uint32_t length = be32(f.fpt, pos + 4);
            EXPECT_EQ(*memo, cp1252ToUtf8(f.fpt.substr(pos + 8, length))) << context;
        }
    }
    EXPECT_EQ(expect - 1, t.recCount()) << context;
}

} // namespace

TEST(TableFuzz, DamagedHeadersDescriptorsAndMemoBlocksAreRefusedOrReadAsStored) {
    TempDir dir;
    const Files original = pristine(dir);
    const std::string path = dir.file("F.DBF");
    const std::string memoPath = dir.file("F.FPT");
    const std::size_t headerLength = le(original.dbf, 8, 2);
    std::mt19937 random(1512);
    int opened = 0, refusedOpen = 0, written = 0, refusedWrite = 0;
    for (int round = 0; round < 400; ++round) {
        Files f = original;
        auto pick = [&](std::size_t n) {
            return std::size_t(random() % std::max<std::size_t>(n, 1));
        };
        std::string what;
        switch (random() % 6) {
        case 0: // bytes of the header and descriptors
            for (int n = 1 + int(pick(3)); n > 0; --n)
                f.dbf[pick(headerLength + 1)] = static_cast<char>(random());
            what = "header bytes";
            break;
        case 1: // the record count
            f.dbf[4 + pick(2)] = static_cast<char>(random() % 16);
            what = "record count";
            break;
        case 2: // the header length, off by a little
            f.dbf[8] = static_cast<char>(static_cast<unsigned char>(f.dbf[8]) + int(pick(5)) - 2);
            what = "header length";
            break;
        case 3: // the file cut short or grown
            if (random() % 2)
                f.dbf.resize(headerLength + pick(f.dbf.size() - headerLength));
            else
                f.dbf += std::string(1 + pick(60), ' ');
            what = "table size";
            break;
        case 4: // the memo header
            for (int n = 1 + int(pick(2)); n > 0; --n)
                f.fpt[pick(8)] = static_cast<char>(random());
            what = "memo header";
            break;
        default: // memo blocks, or the memo file cut short
            if (random() % 2)
                f.fpt.resize(pick(f.fpt.size()));
            else
                for (int n = 1 + int(pick(4)); n > 0; --n)
                    f.fpt[512 + pick(f.fpt.size() - 512)] = static_cast<char>(random());
            what = "memo blocks";
            break;
        }
        const std::string context = "round " + std::to_string(round) + " (" + what + ")";
        writeBytes(path, f.dbf);
        writeBytes(memoPath, f.fpt);
        {
            auto t = Table::open(path, OpenMode::ReadOnly);
            if (!t) {
                ++refusedOpen;
                EXPECT_FALSE(t.error().empty()) << context;
                continue;
            }
            ++opened;
            agreesWithBytes(*t, f, context);
        }
        auto t = Table::open(path, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << context << ": " << t.error();
        bool damaged = !t->damage().empty();
        Status st = t->append();
        if (st)
            st = t->replace("NAME", "added");
        if (st)
            st = t->replace("MEMO", "added memo");
        if (st)
            st = t->post();
        else
            t->discard();
        t = fail("closed");
        if (!st) {
            ++refusedWrite;
            EXPECT_FALSE(st.error().empty()) << context;
            EXPECT_EQ(bytesOf(path), f.dbf) << context;
            EXPECT_EQ(bytesOf(memoPath), f.fpt) << context;
            continue;
        }
        ++written;
        EXPECT_FALSE(damaged) << context << ": a damaged table took a write";
        // The old records are as they were, the new one follows them.
        Files after{bytesOf(path), bytesOf(memoPath)};
        auto reopened = Table::open(path, OpenMode::ReadOnly);
        ASSERT_TRUE(reopened.ok()) << context << ": " << reopened.error();
        EXPECT_EQ(reopened->damage(), "") << context;
        EXPECT_EQ(reopened->recCount(), le(f.dbf, 4, 4) + 1) << context;
        std::size_t records =
            std::size_t(reopened->recCount() - 1) * reopened->header().recordLength;
        std::size_t hl = reopened->header().headerLength;
        EXPECT_EQ(after.dbf.substr(hl, records), f.dbf.substr(hl, records)) << context;
        agreesWithBytes(*reopened, after, context);
        ASSERT_TRUE(reopened->go(reopened->recCount()));
        auto memo = reopened->getMemo("MEMO");
        ASSERT_TRUE(memo.ok()) << context << ": " << memo.error() << " header "
                               << ::testing::PrintToString(f.fpt.substr(0, 8)) << " size "
                               << f.fpt.size() << " after " << after.fpt.size();
        EXPECT_EQ(*memo, "added memo") << context;
    }
    // The replay exercises both sides.
    EXPECT_GT(opened, 100);
    EXPECT_GT(refusedOpen + refusedWrite, 100);
    EXPECT_GT(written, 20);
}
