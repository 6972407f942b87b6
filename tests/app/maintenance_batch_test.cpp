// The record maintenance and check commands of quillpost-batch, run as a
// script would: counts, dry runs that touch nothing, CSV lists, and no
// scratch file left behind.

#include "support/peer_tools.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace qp::testing;

namespace {

class MaintenanceBatch : public ::testing::Test {
protected:
    TempDir home;
    std::string db;

    void SetUp() override {
        std::filesystem::create_directories(home.path() / "DATA");
        std::filesystem::create_directories(home.path() / "sysdata");
        db = shellQuote(home.file("DATA/ADD0001.DBF"));
        ASSERT_EQ(run("create " + db).status, 0);
    }
    CommandOutput run(const std::string& arguments) {
        return runCommand("QUILLPOST_HOME=" + shellQuote(home.path().string()) + " " +
                          shellQuote(QP_BATCH_EXE) + " " + arguments);
    }
    void add(const std::string& fields) { ASSERT_EQ(run("add " + db + " " + fields).status, 0); }
    std::string names() { return run("list " + db + " --fields LNAME --query '!ISDEL'").output; }
};

} // namespace

TEST_F(MaintenanceBatch, ReplaceCountsFirstAndTakesValuesAsTyped) {
    add("LNAME=JONES STATE=IL");
    add("LNAME=JOHNSON STATE=NY");
    add("LNAME=MAJOR STATE=IL");
    add("'LNAME=O\"Brien $5' STATE=IL");
    auto dry = run("replace " + db + " --field 'Last Name' --find JO --with SMITH --dry-run");
    EXPECT_EQ(dry.status, 0) << dry.output;
    EXPECT_EQ(dry.output, "2 records will change.\n");
    EXPECT_EQ(names(), "LNAME\r\nJONES\r\nJOHNSON\r\nMAJOR\r\n\"O\"\"Brien $5\"\r\n");
    auto done = run("replace " + db +
                    " --field LNAME --find JO --with SMITH --selection filter --criteria STATE=IL");
    EXPECT_EQ(done.output, "Replaced 1 records\n");
    auto quoted = run("replace " + db +
                      " --field 'Last Name' --find '\"Brien $' --with \"'Neil #\" --contains "
                      "--partial");
    EXPECT_EQ(quoted.output, "Replaced 1 records\n");
    EXPECT_EQ(names(), "LNAME\r\nSMITH\r\nJOHNSON\r\nMAJOR\r\nO'Neil #5\r\n");
    EXPECT_EQ(run("replace " + db + " --field Nowhere --find A").status, 2);
    EXPECT_EQ(run("replace " + db + " --field City --selection filter").status, 2);
    // As in the window, no text wider than the field; accented letters count once.
    auto wide = run("replace " + db + " --field 'Middle Initial' --find A --with AB");
    EXPECT_EQ(wide.status, 1);
    EXPECT_EQ(wide.output, "--with has 2 characters; Middle Initial holds 1\n");
    EXPECT_EQ(run("replace " + db + " --field 'Middle Initial' --find A --with \xC3\x89 --dry-run")
                  .status,
              0);
}

TEST_F(MaintenanceBatch, ConvertCaseAndDeleteRecords) {
    add("\"LNAME=o'neil mc donald\" STATE=il");
    add("LNAME=baker STATE=ny");
    EXPECT_EQ(run("convert-case " + db +
                  " --capitalize --fields Last --selection current "
                  "--recno 1")
                  .output,
              "Converted 1 records, 1 changed\n");
    EXPECT_EQ(run("convert-case " + db + " --upper --selection all --dry-run").output,
              "2 records will change.\n");
    EXPECT_EQ(run("convert-case " + db + " --upper --fields State,LNAME --selection all").output,
              "Converted 2 records, 2 changed\n");
    EXPECT_EQ(names(), "LNAME\r\nO'NEIL MC DONALD\r\nBAKER\r\n");

    EXPECT_EQ(run("delete-records " + db + " --matching --criteria STATE=IL").output,
              "Deleted 1 records\n");
    EXPECT_EQ(names(), "LNAME\r\nBAKER\r\n");
    // The record deleted above is not counted again.
    EXPECT_EQ(run("delete-records " + db + " --not-matching --criteria STATE=NY --dry-run").output,
              "0 records will change.\n");
    EXPECT_EQ(run("delete-records " + db + " --all").output, "Deleted 2 records\n");
    EXPECT_EQ(names(), "LNAME\r\n");
    EXPECT_EQ(run("delete-records " + db + " --matching").status, 2);
}

TEST_F(MaintenanceBatch, DuplicateAndStateZipChecksListAndTag) {
    add("LNAME=JONES FNAME=MARY 'STREET=12 MAIN STREET'");
    add("LNAME=jones FNAME=mary 'STREET=12 Main St'");
    add("LNAME=JONES FNAME=MARK 'STREET=40 Oak Ave'");
    add("LNAME=SMITH FNAME=JOHN STREET=X");
    add("LNAME=SMITHJ FNAME=OHN STREET=Y");
    auto initial = run("check-duplicates " + db + " --by initial");
    EXPECT_EQ(initial.status, 0) << initial.output;
    EXPECT_EQ(initial.output, "RECNO,LNAME,FNAME,STREET\r\n"
                              "3,JONES,MARK,40 Oak Ave\r\n"
                              "2,jones,mary,12 Main St\r\n");
    EXPECT_EQ(run("check-duplicates " + db + " --by name").output,
              "RECNO,LNAME,FNAME,STREET\r\n2,jones,mary,12 Main St\r\n");
    EXPECT_EQ(run("check-duplicates " + db + " --by street").output,
              "RECNO,STREET,LNAME,FNAME\r\n");
    EXPECT_EQ(run("check-duplicates " + db + " --by street --chars 10").output,
              "RECNO,STREET,LNAME,FNAME\r\n2,12 Main St,jones,mary\r\n");
    EXPECT_EQ(run("check-duplicates " + db + " --by street --suffixes-alike --tag").output,
              "RECNO,STREET,LNAME,FNAME\r\n2,12 Main St,jones,mary\r\n");
    EXPECT_EQ(run("list " + db + " --tagged --fields LNAME").output, "LNAME\r\njones\r\n");
    EXPECT_EQ(run("check-duplicates " + db + " --by street --chars 31").status, 2);
    EXPECT_FALSE(std::filesystem::exists(home.path() / "_chkdup.idx"));

    auto missing = run("check-state-zip " + db);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("CSZ.DBF has been removed"), std::string::npos);
}

TEST_F(MaintenanceBatch, RebuildSystemIndexesSkipsWhatIsMissing) {
    auto out = run("rebuild-system-indexes");
    EXPECT_EQ(out.status, 0) << out.output;
    EXPECT_NE(out.output.find("Rebuilding Letters File indexes\n"), std::string::npos);
    EXPECT_NE(out.output.find("Rebuilding Report File indexes\n"), std::string::npos);
    EXPECT_NE(out.output.find("Skipped CSZ.DBF"), std::string::npos);
}

TEST_F(MaintenanceBatch, UndeleteBringsBackADeletedRecord) {
    add("LNAME=ADAMS STATE=IL");
    add("LNAME=BAKER STATE=NY");
    EXPECT_EQ(run("delete-records " + db + " --matching --criteria STATE=NY").output,
              "Deleted 1 records\n");
    EXPECT_EQ(names(), "LNAME\r\nADAMS\r\n");
    auto back = run("undelete " + db + " --recno 2");
    EXPECT_EQ(back.status, 0) << back.output;
    EXPECT_EQ(back.output, "Undeleted record 2\n");
    EXPECT_EQ(names(), "LNAME\r\nADAMS\r\nBAKER\r\n");
    // A record that is not deleted, one that is not there, and no --recno.
    EXPECT_EQ(run("undelete " + db + " --recno 1").status, 1);
    EXPECT_EQ(run("undelete " + db + " --recno 9").status, 1);
    EXPECT_EQ(run("undelete " + db).status, 2);
    // Kept by the rebuild.
    EXPECT_EQ(run("reindex " + db).status, 0);
    EXPECT_EQ(names(), "LNAME\r\nADAMS\r\nBAKER\r\n");
}
