// Address files written by another xBase engine (Harbour's DBFCDX driver, FPT
// memos with a 1024-byte header): every tag walks in that engine's order,
// every record and memo reads back as it read them, and after our appends,
// edits and deletes, with the file reopened between writes, every tag still
// holds one right key per record and the free page list keeps its form.

#include "index_walk_helpers.h"
#include "store/address_file.h"
#include "store/table.h"
#include "support/peer_tools.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

using namespace qp::store;
using namespace qp::testing;

namespace {

const std::string kFixtures = std::string(QP_SOURCE_DIR) + "/tests/store/fixtures/harbour/";

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::vector<std::string> split(const std::string& s, char by) {
    std::vector<std::string> out;
    std::string part;
    std::istringstream in(s);
    while (std::getline(in, part, by))
        out.push_back(part);
    return out;
}

struct TagWalk {
    std::string name, expression;
    std::vector<std::uint32_t> recnos;
};

std::vector<TagWalk> readTagWalks(const std::string& set) {
    std::vector<TagWalk> walks;
    for (const auto& line : lines(readText(kFixtures + set + "-tags.txt"))) {
        auto parts = split(line, '\t');
        if (parts.size() != 3)
            continue;
        TagWalk w{parts[0], parts[1], {}};
        for (const auto& n : split(parts[2], ','))
            w.recnos.push_back(static_cast<std::uint32_t>(std::stoul(n)));
        walks.push_back(std::move(w));
    }
    return walks;
}

// One CSV row: RECNO unquoted, the rest in double quotes with "" inside.
std::vector<std::string> csvRow(const std::string& line) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i <= line.size()) {
        std::string value;
        if (i < line.size() && line[i] == '"') {
            for (++i; i < line.size(); ++i) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        value += '"';
                        ++i;
                    } else {
                        ++i;
                        break;
                    }
                } else {
                    value += line[i];
                }
            }
        } else {
            while (i < line.size() && line[i] != ',')
                value += line[i++];
        }
        out.push_back(value);
        ++i; // the comma
    }
    return out;
}

std::string unescapeMemo(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char c = s[++i];
            out += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
        } else {
            out += s[i];
        }
    }
    return out;
}

struct Records {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows; // index recno - 1
};

Records readRecords(const std::string& set) {
    Records r;
    auto all = lines(readText(kFixtures + set + "-records.csv"));
    r.header = csvRow(all.at(0));
    for (std::size_t i = 1; i < all.size(); ++i)
        if (!all[i].empty())
            r.rows.push_back(csvRow(all[i]));
    return r;
}

// The set unpacked into a fresh folder, as a test's own copy.
class HarbourFiles : public ::testing::TestWithParam<std::string> {
protected:
    TempDir dir;
    std::string dbf;

    void SetUp() override {
        auto r = runCommand("tar -xzf " + shellQuote(kFixtures + "tables.tar.gz") + " -C " +
                            shellQuote(dir.path().string()));
        ASSERT_EQ(r.status, 0) << r.output;
        dbf = dir.file(GetParam() + ".dbf");
    }
    std::string cdx() const { return dir.file(GetParam() + ".cdx"); }
};

std::uint32_t le32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(b.at(at + i));
    return v;
}

} // namespace

TEST_P(HarbourFiles, EveryTagWalksInThatEnginesOrder) {
    auto t = openAddressFile(dbf, OpenMode::ReadOnly);
    ASSERT_TRUE(t.ok()) << t.error();
    ASSERT_TRUE(t->indexError().empty()) << t->indexError();
    t->setDeleted(false);
    auto walks = readTagWalks(GetParam());
    ASSERT_EQ(walks.size(), 26u);
    for (const auto& w : walks) {
        int order = t->tagArea(w.name);
        ASSERT_NE(order, 0) << w.name;
        EXPECT_EQ(t->tagInfo(order)->expression, w.expression);
        ASSERT_TRUE(t->setOrder(order));
        std::vector<std::uint32_t> ours;
        for (bool more = t->first(); more; more = t->next())
            ours.push_back(t->recNo());
        EXPECT_EQ(ours, w.recnos) << "tag " << w.name;
    }
    for (const char* logical : {"DELETED", "ISDEL", "NOTISDEL"})
        EXPECT_EQ(t->tagInfo(t->tagArea(logical))->keyType, KeyType::Logical) << logical;
    auto full = checkAddressIndex(*t, Table::IndexCheck::Full);
    EXPECT_TRUE(full.ok()) << full.error();
    EXPECT_TRUE(addressIndexValid(*t));
}

TEST_P(HarbourFiles, EveryRecordAndMemoReadsBack) {
    auto t = openAddressFile(dbf, OpenMode::ReadOnly);
    ASSERT_TRUE(t.ok()) << t.error();
    t->setDeleted(false);
    Records records = readRecords(GetParam());
    ASSERT_EQ(records.rows.size(), t->recCount());
    for (std::size_t i = 0; i < records.rows.size(); ++i) {
        const auto& row = records.rows[i];
        ASSERT_EQ(row.size(), records.header.size()) << "row " << i + 1;
        ASSERT_TRUE(t->go(static_cast<std::uint32_t>(i + 1)));
        EXPECT_EQ(t->deleted(), row[1] == "*") << "record " << i + 1;
        for (std::size_t f = 2; f < row.size(); ++f) {
            const std::string& field = records.header[f];
            if (field == "MEMO") {
                auto memo = t->getMemo("MEMO");
                ASSERT_TRUE(memo.ok()) << memo.error();
                EXPECT_EQ(*memo, unescapeMemo(row[f])) << "memo of record " << i + 1;
            } else if (field == "ISDEL") {
                EXPECT_EQ(t->getLogical("ISDEL"), row[f] == "T") << "record " << i + 1;
            } else {
                EXPECT_EQ(t->getString(field), row[f]) << field << " of record " << i + 1;
            }
        }
    }
}

// Appends, edits of indexed fields and memos, deletions and recalls, each in
// its own session, as a user's day of single changes would do them.
TEST_P(HarbourFiles, WritesReopeningBetweenEachKeepEveryTagSound) {
    Records before = readRecords(GetParam());
    const auto count = static_cast<std::uint32_t>(before.rows.size());
    std::mt19937 rng(15);
    SampleAddresses gen(7);
    std::set<std::uint32_t> touched;
    const char* zips[] = {"10001", "02134-1234", "M5V 2T6", "", "97201"};
    const char* states[] = {"NY", "MA", "Texas", "", "OR"};
    for (int step = 0; step < 160; ++step) {
        auto t = openAddressFile(dbf, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        ASSERT_TRUE(t->writeBlock().empty()) << t->writeBlock();
        t->setDeleted(false);
        const int kind = step % 6;
        if (kind == 0) {
            auto a = gen.next();
            a.memo = step % 12 == 0 ? "Zw\xc3\xb6lf \xe2\x82\xac\r\nline two" : a.memo;
            ASSERT_TRUE(SampleAddresses::append(*t, a).ok());
            ASSERT_TRUE(t->post().ok());
            touched.insert(t->recNo());
            continue;
        }
        auto recno = static_cast<std::uint32_t>(1 + rng() % count);
        touched.insert(recno);
        ASSERT_TRUE(t->go(recno));
        switch (kind) {
        case 1:
            ASSERT_TRUE(t->replace("LNAME", "Zed" + std::to_string(step)).ok());
            ASSERT_TRUE(t->replace("ZIP", zips[step % 5]).ok());
            break;
        case 2:
            ASSERT_TRUE(t->replace("STATE", states[step % 5]).ok());
            ASSERT_TRUE(t->replace("TAG", step % 2 ? "QP000042" : "").ok());
            break;
        case 3: // delete the Quillpost way: mark and ISDEL together
            ASSERT_TRUE(t->replaceLogical("ISDEL", true).ok());
            ASSERT_TRUE(t->post().ok());
            ASSERT_TRUE(t->deleteRecord().ok());
            continue;
        case 4:
            ASSERT_TRUE(t->replaceLogical("ISDEL", false).ok());
            ASSERT_TRUE(t->post().ok());
            ASSERT_TRUE(t->recall().ok());
            continue;
        default:
            ASSERT_TRUE(t->replace("MEMO", std::string(40 + step * 3, 'm')).ok());
            break;
        }
        ASSERT_TRUE(t->post().ok());
    }

    auto t = openAddressFile(dbf, OpenMode::ReadOnly);
    ASSERT_TRUE(t.ok()) << t.error();
    auto full = checkAddressIndex(*t, Table::IndexCheck::Full);
    EXPECT_TRUE(full.ok()) << full.error();
    EXPECT_EQ(tagWalkProblem(dbf), "");
    // Untouched records keep every value, memos included.
    t->setDeleted(false);
    for (std::uint32_t r = 1; r <= count; r += 7) {
        if (touched.count(r))
            continue;
        ASSERT_TRUE(t->go(r));
        EXPECT_EQ(t->getString("LNAME"), before.rows[r - 1][2]) << r;
        auto memo = t->getMemo("MEMO");
        ASSERT_TRUE(memo.ok()) << memo.error();
        EXPECT_EQ(*memo, unescapeMemo(before.rows[r - 1].back())) << r;
    }
    // This engine ends its free page list with 0; so must our writes.
    std::string bytes = readText(cdx());
    std::set<std::uint32_t> seen;
    std::uint32_t page = le32(bytes, 4);
    while (page != 0 && page != 0xFFFFFFFFu && seen.insert(page).second)
        page = le32(bytes, page);
    EXPECT_EQ(page, 0u);

    if (haveIndexDump()) {
        for (const char* tag : {"NAME", "ZIP", "STATEZIP", "DELETED", "ISDEL", "NOTISDEL"}) {
            auto r = runCommand("/usr/bin/index_dump --type=char " + shellQuote(cdx()) + " " + tag);
            ASSERT_EQ(r.status, 0) << r.output.substr(0, 300);
            std::vector<std::string> theirs;
            for (const auto& line : lines(r.output))
                if (!line.empty())
                    theirs.push_back(line.substr(line.rfind(' ') + 1));
            ASSERT_TRUE(t->setOrder(t->tagArea(tag)));
            std::vector<std::string> ours;
            for (bool more = t->first(); more; more = t->next())
                ours.push_back(std::to_string(t->recNo()));
            EXPECT_EQ(theirs, ours) << tag;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sets, HarbourFiles, ::testing::Values("fresh", "edited"));
