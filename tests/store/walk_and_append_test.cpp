// The cursor after a query, a run of appends counted once, the scratch index
// filled in bulk and tag builds over a table larger than one mapped window.

#include "store/address_file.h"
#include "store/table.h"
#include "support/file_size_limit.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

using namespace qp::store;
using namespace qp::testing;

namespace {

namespace fs = std::filesystem;

std::uint32_t countOnDisk(const std::string& dbf) {
    std::ifstream in(dbf, std::ios::binary);
    char bytes[4] = {};
    in.seekg(4);
    in.read(bytes, 4);
    std::uint32_t n = 0;
    std::memcpy(&n, bytes, 4);
    return n;
}

void copyTable(const std::string& from, const std::string& to) {
    for (const char* ext : {".DBF", ".FPT"})
        fs::copy_file(from.substr(0, from.size() - 4) + ext, to.substr(0, to.size() - 4) + ext,
                      fs::copy_options::overwrite_existing);
}

std::vector<std::uint32_t> walkOrder(Table& t) {
    std::vector<std::uint32_t> out;
    for (bool more = t.first(); more; more = t.next())
        out.push_back(t.recNo());
    return out;
}

} // namespace

TEST(QueryWalk, FirstAfterAQueryIsItsFirstMatchWhateverChangedSince) {
    TempDir dir;
    const std::string dbf = dir.file("ADDR.DBF");
    ASSERT_TRUE(SampleAddresses::writeTable(dbf, 400, true).ok());
    auto t = openAddressFile(dbf, OpenMode::Exclusive);
    ASSERT_TRUE(t.ok()) << t.error();
    ASSERT_TRUE(t->setOrder(t->tagArea("LNAME")).ok());
    ASSERT_TRUE(t->setQuery("UPPER(LNAME)=\"SM\" .and. !ISDEL").ok());
    ASSERT_FALSE(t->eof());
    const std::uint32_t firstMatch = t->recNo();
    EXPECT_EQ(t->getString("LNAME").substr(0, 2), "Sm");
    const auto matches = walkOrder(*t);
    ASSERT_GT(matches.size(), 2u);
    EXPECT_EQ(matches.front(), firstMatch);
    EXPECT_TRUE(t->first());
    EXPECT_EQ(t->recNo(), firstMatch);
    ASSERT_TRUE(t->next());
    EXPECT_NE(t->recNo(), firstMatch);
    EXPECT_TRUE(t->first());
    EXPECT_EQ(t->recNo(), firstMatch);

    // The first match leaves the filter: first() finds the next one.
    ASSERT_TRUE(t->replace("LNAME", "Zimmer").ok());
    ASSERT_TRUE(t->post().ok());
    EXPECT_TRUE(t->first());
    EXPECT_EQ(t->recNo(), matches[1]);
    // A deleted match is skipped, and back once deleted records show.
    ASSERT_TRUE(t->setQuery("UPPER(LNAME)=\"SM\"").ok());
    ASSERT_EQ(t->recNo(), matches[1]);
    ASSERT_TRUE(t->deleteRecord().ok());
    EXPECT_TRUE(t->first());
    EXPECT_EQ(t->recNo(), matches[2]);
    t->setDeleted(false);
    EXPECT_TRUE(t->first());
    EXPECT_EQ(t->recNo(), matches[1]);
    // A query matching nothing: first() stays at the end.
    ASSERT_TRUE(t->setQuery("UPPER(LNAME)=\"QQQ\"").ok());
    EXPECT_TRUE(t->eof());
    EXPECT_FALSE(t->first());
    EXPECT_TRUE(t->eof());
}

TEST(AppendRun, TheHeaderCountsTheRunOnceAndNeverAPartialRecord) {
    TempDir dir;
    const std::string dbf = dir.file("ADDR.DBF");
    ASSERT_TRUE(SampleAddresses::writeTable(dbf, 10, false).ok());
    // Enough records that some reach the file while the run goes on: it
    // writes them megabytes at a time, cut wherever the boundary falls.
    constexpr std::uint32_t kRun = 20000;
    {
        auto t = Table::open(dbf, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        ASSERT_TRUE(t->deferRecordCount(true).ok());
        SampleAddresses gen(9);
        for (std::uint32_t i = 0; i < kRun; ++i) {
            ASSERT_TRUE(SampleAddresses::append(*t, gen.next()).ok());
            ASSERT_TRUE(t->post().ok());
        }
        EXPECT_EQ(t->recCount(), 10 + kRun);
        EXPECT_EQ(countOnDisk(dbf), 10u);

        // Killed here (the files as they stand), with part of a record after
        // the whole ones: the copy opens, says it is damaged, and the repair
        // keeps every whole record.
        const std::string crashed = dir.file("CRASHED.DBF");
        copyTable(dbf, crashed);
        const auto size = fs::file_size(crashed);
        const std::uint64_t first = t->header().headerLength, length = t->header().recordLength;
        ASSERT_GT(size, first + 10 * length + 1);
        const auto whole = static_cast<std::uint32_t>((size - first) / length);
        auto c = Table::open(crashed, OpenMode::Exclusive);
        ASSERT_TRUE(c.ok()) << c.error();
        EXPECT_EQ(c->recCount(), 10u);
        EXPECT_NE(c->damage(), "");
        auto report = c->repair();
        ASSERT_TRUE(report.ok()) << report.error();
        EXPECT_EQ(report->recordsKept, whole);
        EXPECT_EQ(report->bytesDropped, (size - first) % length);
        EXPECT_EQ(countOnDisk(crashed), whole);
        EXPECT_LT(whole, 10 + kRun);

        ASSERT_TRUE(t->deferRecordCount(false).ok());
        EXPECT_EQ(countOnDisk(dbf), 10 + kRun);
        EXPECT_EQ(fs::file_size(dbf), first + (10 + kRun) * length + 1);
        // Without the run, every append is counted as it is written.
        ASSERT_TRUE(SampleAddresses::append(*t, gen.next()).ok());
        ASSERT_TRUE(t->post().ok());
        EXPECT_EQ(countOnDisk(dbf), 11 + kRun);
        ASSERT_TRUE(t->deferRecordCount(true).ok());
        ASSERT_TRUE(SampleAddresses::append(*t, gen.next()).ok());
        ASSERT_TRUE(t->post().ok());
        EXPECT_EQ(countOnDisk(dbf), 11 + kRun);
        // A record read back in the run comes from the file as written.
        ASSERT_TRUE(t->go(12 + kRun));
        EXPECT_EQ(t->recNo(), 12 + kRun);
    }
    // Closing counts the rest.
    EXPECT_EQ(countOnDisk(dbf), 12 + kRun);
    auto t = Table::open(dbf, OpenMode::ReadOnly);
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(t->damage(), "");
    EXPECT_EQ(t->recCount(), 12 + kRun);
}

TEST(AppendRun, AFailedWriteTakesBackOnlyTheRecordsTheFileDoesNotHold) {
    TempDir dir;
    const std::string dbf = dir.file("ADDR.DBF");
    ASSERT_TRUE(SampleAddresses::writeTable(dbf, 10, false).ok());
    std::vector<std::string> names;
    std::uint64_t first = 0, length = 0;
    std::uint32_t kept = 0;
    {
        auto t = Table::open(dbf, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok()) << t.error();
        first = t->header().headerLength;
        length = t->header().recordLength;
        ASSERT_TRUE(t->deferRecordCount(true).ok());
        SampleAddresses gen(5);
        Status failed;
        {
            // The disk fills at 12 MB: the first megabytes of the run reach
            // the file, the next ones do not.
            FileSizeLimit full(std::uint64_t(12) << 20);
            for (int i = 0; i < 40000 && failed; ++i) {
                auto a = gen.next();
                names.push_back(a.lname);
                failed = SampleAddresses::append(*t, a);
                if (failed)
                    failed = t->post();
            }
        }
        ASSERT_FALSE(failed);
        EXPECT_NE(failed.error().find("added did not reach the file"), std::string::npos)
            << failed.error();
        kept = t->recCount();
        EXPECT_GT(kept, 10u);
        EXPECT_LT(kept, 10 + names.size());
        EXPECT_EQ(fs::file_size(dbf), first + kept * length + 1);
        // Posted again with room on the disk, the record follows the kept
        // ones, with no gap.
        ASSERT_TRUE(t->post().ok());
        ++kept;
        EXPECT_EQ(t->recCount(), kept);
        EXPECT_EQ(t->getString("LNAME"), names.back());
        ASSERT_TRUE(t->deferRecordCount(false).ok());
        EXPECT_EQ(countOnDisk(dbf), kept);
        EXPECT_EQ(fs::file_size(dbf), first + kept * length + 1);
        // The run goes on once there is room.
        ASSERT_TRUE(t->deferRecordCount(true).ok());
        ASSERT_TRUE(SampleAddresses::append(*t, gen.next()).ok());
        ASSERT_TRUE(t->post().ok());
    }
    EXPECT_EQ(countOnDisk(dbf), kept + 1);
    EXPECT_EQ(fs::file_size(dbf), first + (kept + 1) * length + 1);
    auto t = Table::open(dbf, OpenMode::ReadOnly);
    ASSERT_TRUE(t.ok()) << t.error();
    EXPECT_EQ(t->damage(), "");
    ASSERT_TRUE(t->go(kept - 1));
    EXPECT_EQ(t->getString("LNAME"), names[kept - 12]);
    ASSERT_TRUE(t->go(kept));
    EXPECT_EQ(t->getString("LNAME"), names.back());
}

TEST(ScratchIndex, RecordsAddedAtOnceComeInTheOrderOfOneByOne) {
    TempDir dir;
    const std::string dbf = dir.file("ADDR.DBF");
    ASSERT_TRUE(SampleAddresses::writeTable(dbf, 300, false).ok());
    auto t = Table::open(dbf, OpenMode::Exclusive);
    ASSERT_TRUE(t.ok());
    std::vector<std::uint32_t> wanted;
    for (std::uint32_t r = 300; r >= 3; r -= 3)
        wanted.push_back(r);

    ASSERT_TRUE(t->createScratchIndex(dir.file("one.idx"), "UPPER(LNAME-FNAME)").ok());
    for (std::uint32_t r : wanted) {
        ASSERT_TRUE(t->go(r));
        ASSERT_TRUE(t->keyAdd().ok());
    }
    wanted.push_back(42); // twice: added once
    t->setDeleted(false);
    ASSERT_TRUE(t->setOrder(t->tagCount()).ok());
    const auto oneByOne = walkOrder(*t);
    t->closeScratchIndex();

    ASSERT_TRUE(t->createScratchIndex(dir.file("bulk.idx"), "UPPER(LNAME-FNAME)").ok());
    ASSERT_TRUE(t->keyAddRecords(wanted).ok());
    ASSERT_TRUE(t->setOrder(t->tagCount()).ok());
    EXPECT_EQ(walkOrder(*t), oneByOne);
    ASSERT_EQ(oneByOne.size(), 100u);

    // More records into the filled index go in one by one, in their places.
    ASSERT_TRUE(t->keyAddRecords({2, 5, 2}).ok());
    auto more = walkOrder(*t);
    EXPECT_EQ(more.size(), 102u);
    std::string previous;
    for (std::uint32_t r : more) {
        ASSERT_TRUE(t->go(r));
        auto key = t->evaluate("UPPER(LNAME-FNAME)");
        ASSERT_TRUE(key.ok());
        EXPECT_LE(previous, key->text);
        previous = key->text;
    }
    t->closeScratchIndex();
}

// 30,000 records of 588 bytes span two of the windows a build maps.
TEST(TagBuild, TablesLargerThanOneWindowBuildSoundTags) {
    TempDir dir;
    const std::string dbf = dir.file("ADDR.DBF");
    ASSERT_TRUE(SampleAddresses::writeTable(dbf, 30000, false).ok());
    {
        auto t = Table::open(dbf, OpenMode::Exclusive);
        ASSERT_TRUE(t.ok());
        ASSERT_TRUE(buildAddressTags(*t).ok());
    }
    auto t = openAddressFile(dbf, OpenMode::ReadOnly);
    ASSERT_TRUE(t.ok()) << t.error();
    EXPECT_TRUE(t->checkIndex(Table::IndexCheck::Full).ok());
    ASSERT_TRUE(t->setOrder(t->tagArea("ZIP")).ok());
    std::string previous;
    std::uint32_t walked = 0;
    t->setDeleted(false);
    for (bool more = t->first(); more; more = t->next(), ++walked) {
        std::string zip = t->getString("ZIP");
        EXPECT_LE(previous, zip);
        previous = zip;
    }
    EXPECT_EQ(walked, 30000u);
}
