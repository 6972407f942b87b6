// The write-in-progress mark in the DBF header: set while a change is on its
// way to disk, cleared once the index has it. A process that dies in between
// leaves it set, and the next open reads every key before trusting the index.

#include "index_walk_helpers.h"
#include "store/address_file.h"
#include "store/table.h"
#include "support/peer_tools.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace qp::store;
using namespace qp::testing;

namespace {

int markByte(const std::string& dbf) {
    std::ifstream in(dbf, std::ios::binary);
    in.seekg(14);
    return in.get();
}

// A child process appends a record and dies before anything is flushed, as a
// kill -9 would leave it.
void appendAndDie(const std::string& dbf, bool flushIndexFirst) {
    pid_t pid = ::fork();
    if (pid == 0) {
        auto t = openAddressFile(dbf, OpenMode::Exclusive);
        if (!t)
            ::_exit(2);
        SampleAddress a = SampleAddresses(42).next();
        a.lname = "Unindexed";
        if (!SampleAddresses::append(*t, a) || !t->post())
            ::_exit(3);
        if (flushIndexFirst && !t->flush())
            ::_exit(4);
        ::_exit(0); // no destructor: the index pages stay in memory
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace

TEST(InterruptedWrite, AnIndexThatMissedTheWriteIsRefusedUntilRebuilt) {
    TempDir dir;
    const std::string dbf = dir.file("ADD0001.DBF");
    ASSERT_TRUE(SampleAddresses::writeTable(dbf, 200, true).ok());
    EXPECT_EQ(markByte(dbf), 0);

    appendAndDie(dbf, false);
    EXPECT_EQ(markByte(dbf), 1);
    // Other programs read the table with the mark set.
    if (havePythonDbf()) {
        auto r = runCommand("/usr/bin/python3 -c " +
                            shellQuote("import dbf,sys\nt=dbf.Table(sys.argv[1]);t.open()\n"
                                       "print(len(t), t[200].lname.strip())") +
                            " " + shellQuote(dbf));
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_NE(r.output.find("201 Unindexed"), std::string::npos) << r.output;
    }
    {
        auto t = openAddressFile(dbf, OpenMode::ReadOnly);
        ASSERT_TRUE(t.ok()) << t.error();
        EXPECT_EQ(t->recCount(), 201u);
        EXPECT_NE(t->indexError().find("was interrupted"), std::string::npos) << t->indexError();
        EXPECT_FALSE(addressIndexValid(*t));
    }
    {
        // Opening for writing changes nothing until the rebuild is done.
        auto t = openAddressFile(dbf, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        EXPECT_FALSE(addressIndexValid(*t));
        ASSERT_TRUE(t->flush().ok());
    }
    EXPECT_EQ(markByte(dbf), 1);
    {
        auto t = openAddressFile(dbf, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok());
        ASSERT_TRUE(buildAddressTags(*t).ok());
        EXPECT_TRUE(addressIndexValid(*t));
    }
    EXPECT_EQ(markByte(dbf), 0);
    EXPECT_EQ(tagWalkProblem(dbf), "");
    auto t = openAddressFile(dbf, OpenMode::ReadOnly);
    ASSERT_TRUE(t.ok());
    EXPECT_TRUE(checkAddressIndex(*t, Table::IndexCheck::Full).ok());
    ASSERT_TRUE(t->setOrder(t->tagArea("LNAME")).ok());
    auto found = t->seek("UNINDEXED");
    ASSERT_TRUE(found.ok());
    EXPECT_TRUE(*found);
    EXPECT_EQ(t->recNo(), 201u);
}

TEST(InterruptedWrite, AMarkLeftAfterTheIndexWasWrittenIsHarmless) {
    TempDir dir;
    const std::string dbf = dir.file("ADD0001.DBF");
    ASSERT_TRUE(SampleAddresses::writeTable(dbf, 200, true).ok());
    // Flushed index, then killed before the mark was cleared: the full
    // check finds nothing wrong, and a writable open clears the mark.
    appendAndDie(dbf, true);
    {
        auto t = openAddressFile(dbf, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        EXPECT_TRUE(t->indexError().empty()) << t->indexError();
        EXPECT_TRUE(addressIndexValid(*t));
    }
    EXPECT_EQ(markByte(dbf), 0);
}

TEST(InterruptedWrite, EverySessionEndsWithTheMarkClearAndPeersReadTheFile) {
    TempDir dir;
    const std::string dbf = dir.file("ADD0001.DBF");
    ASSERT_TRUE(SampleAddresses::writeTable(dbf, 50, true).ok());
    {
        auto t = openAddressFile(dbf, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok());
        ASSERT_TRUE(SampleAddresses::append(*t, SampleAddresses(3).next()).ok());
        ASSERT_TRUE(t->post().ok());
        EXPECT_EQ(markByte(dbf), 1); // the index pages are not on disk yet
        ASSERT_TRUE(t->go(3));
        ASSERT_TRUE(t->deleteRecord().ok());
    }
    EXPECT_EQ(markByte(dbf), 0);
    if (havePythonDbf()) {
        auto r = runCommand("/usr/bin/python3 -c " +
                            shellQuote("import dbf,sys\nt=dbf.Table(sys.argv[1]);t.open()\n"
                                       "print(len(t))") +
                            " " + shellQuote(dbf));
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_NE(r.output.find("51"), std::string::npos) << r.output;
    }
}
