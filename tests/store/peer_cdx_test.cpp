// Perl's XBase::Index (index_dump) reads every one of the 26 address tags we
// write with the same keys, order and record numbers as our own walk.

#include "store/address_schema.h"
#include "support/peer_tools.h"
#include "store/table.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

using namespace qp::store;
using namespace qp::testing;

namespace {

std::string trimRight(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

// "recno key" lines of our own walk of a tag, deleted records included.
std::vector<std::string> ourWalk(Table& t, const std::string& tag) {
    std::vector<std::string> out;
    t.setDeleted(false);
    EXPECT_TRUE(t.setOrder(t.tagArea(tag)).ok());
    for (bool more = t.first(); more; more = t.next())
        out.push_back(std::to_string(t.recNo()) + " " + trimRight(t.currentKey()));
    return out;
}

// index_dump prints "key recno"; turned round to match ours.
std::vector<std::string> peerWalk(const std::string& cdx, const std::string& tag) {
    auto r = runCommand("/usr/bin/index_dump --type=char " + shellQuote(cdx) + " " + tag);
    EXPECT_EQ(r.status, 0) << r.output.substr(0, 500);
    std::vector<std::string> out;
    for (const auto& line : lines(r.output)) {
        auto space = line.rfind(' ');
        if (space == std::string::npos) {
            out.push_back("? " + line);
            continue;
        }
        out.push_back(line.substr(space + 1) + " " + trimRight(line.substr(0, space)));
    }
    return out;
}

void expectPeerAgrees(const std::string& dbf, const std::string& cdx) {
    auto t = Table::open(dbf, OpenMode::ReadOnly);
    ASSERT_TRUE(t.ok()) << t.error();
    for (const auto& tag : kAddressTags) {
        std::string name(tag.name);
        auto ours = ourWalk(*t, name);
        auto theirs = peerWalk(cdx, name);
        ASSERT_EQ(ours.size(), t->recCount()) << name;
        ASSERT_EQ(theirs.size(), ours.size()) << name;
        for (std::size_t i = 0; i < ours.size(); ++i)
            ASSERT_EQ(theirs[i], ours[i]) << "tag " << name << ", entry " << i;
    }
}

} // namespace

TEST(PeerCdx, IndexDumpReadsAllTagsAfterBuildAndUpkeep) {
    if (!haveIndexDump())
        GTEST_SKIP() << "libdbd-xbase-perl is not installed";
    TempDir dir;
    std::string dbf = dir.file("ADD0001.DBF");
    ASSERT_TRUE(SampleAddresses::writeTable(dbf, 3000, true).ok());
    std::string cdx = dir.file("ADD0001.CDX");
    expectPeerAgrees(dbf, cdx);

    // In-place upkeep: appends, key changes and deletions that split and
    // shrink nodes, then a pack that rebuilds.
    {
        auto t = Table::open(dbf, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        SampleAddresses gen(99);
        for (int i = 0; i < 1500; ++i) {
            ASSERT_TRUE(SampleAddresses::append(*t, gen.next()).ok());
            ASSERT_TRUE(t->post().ok());
        }
        for (std::uint32_t r = 1; r <= 4500; r += 7) {
            ASSERT_TRUE(t->go(r));
            ASSERT_TRUE(t->replace("LNAME", "Aaron" + std::to_string(r)).ok());
            ASSERT_TRUE(t->replace("ZIP", "99" + std::to_string(r % 1000)).ok());
            ASSERT_TRUE(t->post().ok());
        }
        for (std::uint32_t r = 2; r <= 4500; r += 11) {
            ASSERT_TRUE(t->go(r));
            ASSERT_TRUE(t->replaceLogical("ISDEL", true).ok());
            ASSERT_TRUE(t->deleteRecord().ok());
        }
    }
    expectPeerAgrees(dbf, cdx);
    {
        auto t = Table::open(dbf, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok());
        ASSERT_TRUE(t->pack().ok());
    }
    expectPeerAgrees(dbf, cdx);
}
