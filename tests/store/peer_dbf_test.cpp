// Tables written by python3-dbf open here, and ours open there.

#include "support/peer_tools.h"
#include "store/table.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

using namespace qp::store;
using namespace qp::testing;

namespace {
std::string peer(const std::string& verb, const std::string& path) {
    auto r = runCommand("/usr/bin/python3 " + shellQuote(peerScript("dbf_peer.py")) + " " + verb +
                        " " + shellQuote(path));
    EXPECT_EQ(r.status, 0) << r.output;
    return r.output;
}
} // namespace

TEST(PeerDbf, TablesWrittenByPythonDbfOpenWithEveryValue) {
    if (!havePythonDbf())
        GTEST_SKIP() << "python3-dbf is not installed";
    TempDir dir;
    std::string path = dir.file("peer.dbf");
    peer("write", path);
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        EXPECT_EQ(t->recCount(), 4u);
        t->setDeleted(false);
        ASSERT_TRUE(t->go(1));
        EXPECT_EQ(t->getString("LNAME"), "Müller");
        EXPECT_EQ(t->getString("FNAME"), "Jürgen");
        EXPECT_EQ(t->getNumber("AMOUNT"), 12.5);
        EXPECT_EQ(*t->getMemo("MEMO"), "Grüße\r\nzweite Zeile");
        ASSERT_TRUE(t->go(2));
        EXPECT_TRUE(t->deleted());
        EXPECT_TRUE(t->getLogical("ISDEL"));
        EXPECT_EQ(*t->getMemo("MEMO"), std::string(300, 'x'));
        ASSERT_TRUE(t->go(4));
        EXPECT_EQ(t->getString("FNAME"), "Zoë");

        // We build the structural index on it and it orders as it should.
        ASSERT_TRUE(t->indexTag("LNAME", "UPPER(LNAME)+UPPER(FNAME)").ok());
        t->setDeleted(true);
        ASSERT_TRUE(t->setOrder(1).ok());
        std::vector<std::string> names;
        for (bool more = t->first(); more; more = t->next())
            names.push_back(t->getString("LNAME"));
        EXPECT_EQ(names, (std::vector<std::string>{"adams", "Brown", "Müller"}));

        // Our changes read back in the peer.
        ASSERT_TRUE(t->go(3));
        ASSERT_TRUE(t->replace("MEMO", std::string(200, 'm')).ok());
        ASSERT_TRUE(t->replace("ZIP", "60614").ok());
        ASSERT_TRUE(t->post().ok());
        ASSERT_TRUE(t->go(1));
        ASSERT_TRUE(t->replace("MEMO", "kurz").ok());
        ASSERT_TRUE(t->post().ok());
    }
    auto rows = lines(peer("read", path));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_NE(rows[0].find("\"MEMO\": \"kurz\""), std::string::npos) << rows[0];
    EXPECT_NE(rows[2].find("\"MEMO\": \"" + std::string(200, 'm') + "\""), std::string::npos);
    EXPECT_NE(rows[2].find("\"ZIP\": \"60614\""), std::string::npos);
    EXPECT_NE(rows[1].find("\"_deleted\": true"), std::string::npos);
}

TEST(PeerDbf, OurTablesOpenInPythonDbfAfterPackAndMemoReuse) {
    if (!havePythonDbf())
        GTEST_SKIP() << "python3-dbf is not installed";
    TempDir dir;
    std::string path = dir.file("ours.dbf");
    {
        ASSERT_TRUE(SampleAddresses::writeTable(path, 200, true).ok());
        auto t = Table::open(path, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        ASSERT_TRUE(t->go(5));
        ASSERT_TRUE(t->replace("LNAME", "Ærøskøbing").ok());
        ASSERT_TRUE(t->replace("MEMO", "line one\r\nline two").ok());
        ASSERT_TRUE(t->post().ok());
        ASSERT_TRUE(t->replace("MEMO", "line 1").ok()); // reused in place
        ASSERT_TRUE(t->post().ok());
        ASSERT_TRUE(t->go(7));
        ASSERT_TRUE(t->deleteRecord().ok());
        ASSERT_TRUE(t->pack().ok());
    }
    auto t = Table::open(path, OpenMode::ReadOnly);
    ASSERT_TRUE(t.ok());
    t->setDeleted(false);
    auto rows = lines(peer("read", path));
    ASSERT_EQ(rows.size(), t->recCount());
    std::uint32_t r = 0;
    for (bool more = t->first(); more; more = t->next(), ++r) {
        const std::string& row = rows[r];
        for (const char* f : {"LNAME", "FNAME", "STREET", "CITY", "ZIP", "EMAIL", "TAG"})
            EXPECT_NE(row.find("\"" + std::string(f) + "\": \"" + t->getString(f) + "\""),
                      std::string::npos)
                << f << " of record " << t->recNo() << ": " << row;
        EXPECT_NE(row.find("\"MEMO\": \"" + *t->getMemo("MEMO") + "\""), std::string::npos) << row;
        EXPECT_NE(row.find("\"_deleted\": false"), std::string::npos);
    }
    ASSERT_TRUE(t->go(5));
    EXPECT_NE(rows[4].find("Ærøskøbing"), std::string::npos);
    EXPECT_NE(rows[4].find("\"MEMO\": \"line 1\""), std::string::npos);
}
