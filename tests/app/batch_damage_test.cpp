// quillpost-batch on damaged and clashing files: each command either refuses
// with the engine's reason (exit 1) and changes no file, or works on what the
// files really hold; repair keeps every whole record.

#include "store/table.h"
#include "support/peer_tools.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

using namespace qp::testing;

namespace {

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::map<std::string, std::string> snapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
        if (e.is_regular_file() && e.path().extension() != ".ini")
            files[e.path().lexically_relative(folder).string()] = bytesOf(e.path().string());
    return files;
}

class BatchDamage : public ::testing::Test {
protected:
    TempDir home;

    CommandOutput run(const std::string& arguments) {
        return runCommand("QUILLPOST_HOME=" + shellQuote(home.path().string()) + " " +
                          shellQuote(QP_BATCH_EXE) + " " + arguments);
    }
    std::string file(const std::string& name) const { return shellQuote(home.file(name)); }

    // An address file of `count` sample records with its 26 tags.
    void makeAddresses(const std::string& name, std::uint32_t count) {
        ASSERT_TRUE(SampleAddresses::writeTable(home.file(name), count, true).ok());
    }
};

} // namespace

TEST_F(BatchDamage, CreateRefusesANameThatDiffersOnlyInCase) {
    makeAddresses("add0001.DBF", 5);
    auto before = snapshot(home.path());
    auto created = run("create " + file("ADD0001.DBF"));
    EXPECT_EQ(created.status, 1);
    EXPECT_NE(created.output.find("That file already exists"), std::string::npos) << created.output;
    EXPECT_EQ(snapshot(home.path()), before);
}

TEST_F(BatchDamage, ExportDbfNeverTouchesAnotherTableInAnotherCase) {
    makeAddresses("ADDR.DBF", 5);
    makeAddresses("other.DBF", 3);
    auto before = snapshot(home.path());
    auto refused = run("export " + file("ADDR.DBF") + " " + file("OTHER.DBF") + " --dbf");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find("other.DBF already exists"), std::string::npos) << refused.output;
    EXPECT_EQ(snapshot(home.path()), before);

    // Held by another program: "in use", and nothing cut.
    {
        auto holder = qp::store::Table::open(home.file("other.DBF"), qp::store::OpenMode::Shared);
        ASSERT_TRUE(holder.ok());
        auto busy =
            run("export " + file("ADDR.DBF") + " " + file("OTHER.DBF") + " --dbf --overwrite");
        EXPECT_EQ(busy.status, 1);
        EXPECT_NE(busy.output.find("in use"), std::string::npos) << busy.output;
        EXPECT_EQ(snapshot(home.path()), before);
    }
    auto over = run("export " + file("ADDR.DBF") + " " + file("OTHER.DBF") + " --dbf --overwrite");
    EXPECT_EQ(over.status, 0) << over.output;
    auto out = qp::store::Table::open(home.file("other.DBF"), qp::store::OpenMode::ReadOnly);
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(out->damage(), "");
}

TEST_F(BatchDamage, AHeaderCountingFewerRecordsIsNeverWrittenAndRepairKeepsThemAll) {
    makeAddresses("A.DBF", 12);
    std::string path = home.file("A.DBF");
    std::string b = bytesOf(path);
    b[4] = 7; // the header counts 7 of 12
    writeBytes(path, b);
    auto before = snapshot(home.path());
    for (const std::string& command : {"add " + file("A.DBF") + " LNAME=New",
                                       "reindex " + file("A.DBF"), "check " + file("A.DBF")}) {
        auto r = run(command);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_NE(r.output.find("counts 7 records but the file holds 12"), std::string::npos)
            << command << ": " << r.output;
    }
    EXPECT_EQ(snapshot(home.path()), before);

    auto repaired = run("repair " + file("A.DBF"));
    EXPECT_EQ(repaired.status, 0) << repaired.output;
    EXPECT_NE(repaired.output.find("Kept 12 records"), std::string::npos) << repaired.output;
    EXPECT_NE(repaired.output.find("the header counted 7"), std::string::npos);
    EXPECT_NE(repaired.output.find("Rebuilt 26 index tags"), std::string::npos);
    EXPECT_EQ(run("check " + file("A.DBF")).output, "valid\n");
    auto listed = run("list " + file("A.DBF") + " --deleted --fields LNAME");
    EXPECT_EQ(lines(listed.output).size(), 13u) << listed.output;
    EXPECT_EQ(run("add " + file("A.DBF") + " LNAME=New").output, "13\n");
}

TEST_F(BatchDamage, ATruncatedMemoFileIsReportedAndRepairSaysWhatWasDropped) {
    std::string path = home.file("M.DBF");
    {
        ASSERT_TRUE(qp::store::Table::create(path, SampleAddresses::fieldSpecs()).ok());
        auto t = qp::store::Table::open(path, qp::store::OpenMode::Exclusive);
        for (int i = 1; i <= 4; ++i) {
            ASSERT_TRUE(t->append().ok());
            ASSERT_TRUE(t->replace("LNAME", "L" + std::to_string(i)).ok());
            ASSERT_TRUE(t->replace("MEMO", "memo " + std::to_string(i)).ok());
            ASSERT_TRUE(t->post().ok());
        }
    }
    ASSERT_EQ(run("reindex " + file("M.DBF")).status, 0);
    std::string fpt = bytesOf(home.file("M.FPT"));
    fpt.resize(512 + 64);
    writeBytes(home.file("M.FPT"), fpt);
    auto before = snapshot(home.path());
    auto listed = run("list " + file("M.DBF") + " --fields LNAME,MEMO");
    EXPECT_EQ(listed.status, 1);
    EXPECT_NE(listed.output.find("Record 2: Memo file M.FPT is damaged"), std::string::npos)
        << listed.output;
    auto added = run("add " + file("M.DBF") + " LNAME=L5 MEMO=fives");
    EXPECT_EQ(added.status, 1);
    EXPECT_NE(added.output.find("truncated"), std::string::npos) << added.output;
    EXPECT_EQ(snapshot(home.path()), before);

    auto repaired = run("repair " + file("M.DBF"));
    EXPECT_EQ(repaired.status, 0) << repaired.output;
    EXPECT_NE(repaired.output.find("Dropped 3 memos that could not be read (records 2, 3, 4)"),
              std::string::npos)
        << repaired.output;
    EXPECT_NE(repaired.output.find("M.bak.FPT"), std::string::npos) << repaired.output;
    EXPECT_EQ(bytesOf(home.file("M.bak.FPT")), fpt);
    EXPECT_EQ(run("add " + file("M.DBF") + " LNAME=L5 MEMO=fives").output, "5\n");
    auto after = run("list " + file("M.DBF") + " --fields LNAME,MEMO");
    EXPECT_EQ(lines(after.output), (std::vector<std::string>{"LNAME,MEMO", "L1,memo 1", "L2,",
                                                             "L3,", "L4,", "L5,fives"}));
}

TEST_F(BatchDamage, AnIndexThatCannotBeOpenedRefusesAddsUntilReindexed) {
    makeAddresses("I.DBF", 6);
    writeBytes(home.file("I.CDX"), std::string(2048, '\x55'));
    auto before = snapshot(home.path());
    auto added = run("add " + file("I.DBF") + " LNAME=New");
    EXPECT_EQ(added.status, 1);
    EXPECT_NE(added.output.find("read-only until its indexes are rebuilt"), std::string::npos)
        << added.output;
    EXPECT_EQ(snapshot(home.path()), before);
    EXPECT_EQ(run("reindex " + file("I.DBF")).status, 0);
    EXPECT_EQ(run("add " + file("I.DBF") + " LNAME=New").status, 0);
}

TEST_F(BatchDamage, LabelNewOnADamagedLabelTableWritesNoLayout) {
    ASSERT_EQ(run("label new First").status, 0);
    ASSERT_EQ(run("label new Second").status, 0);
    std::string labels;
    for (const auto& e : std::filesystem::recursive_directory_iterator(home.path()))
        if (e.path().filename() == "LABEL.DBF")
            labels = e.path().string();
    ASSERT_FALSE(labels.empty());
    std::string b = bytesOf(labels);
    b[4] = 1; // the header counts only the first design
    writeBytes(labels, b);
    auto before = snapshot(home.path());
    auto made = run("label new Third");
    EXPECT_EQ(made.status, 1);
    EXPECT_NE(made.output.find("counts 1 records but the file holds 2"), std::string::npos)
        << made.output;
    EXPECT_EQ(snapshot(home.path()), before);
}
