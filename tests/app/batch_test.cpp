// quillpost-batch end to end: exit codes, messages and the table and
// address-file commands, run as a user scripts them.

#include "support/peer_tools.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace qp::testing;

namespace {

class Batch : public ::testing::Test {
protected:
    TempDir home;

    CommandOutput run(const std::string& arguments) {
        return runCommand("QUILLPOST_HOME=" + shellQuote(home.path().string()) + " " +
                          shellQuote(QP_BATCH_EXE) + " " + arguments);
    }
    std::string file(const std::string& name) const { return shellQuote(home.file(name)); }
};

} // namespace

TEST_F(Batch, HelpUsageAndFailureExitCodes) {
    auto help = run("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"info", "list", "eval", "seek", "dump-tag", "create", "check",
                                "reindex", "add", "query-string", "print-test-page"})
        EXPECT_NE(help.output.find(std::string("  ") + command + " "), std::string::npos)
            << command;
    EXPECT_EQ(run("").status, 2);
    EXPECT_EQ(run("frobnicate").status, 2);
    EXPECT_EQ(run("info").status, 2);
    EXPECT_EQ(run("list x.dbf --bogus").status, 2);
    auto missing = run("info " + file("nothere.dbf"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("not found"), std::string::npos) << missing.output;
}

TEST_F(Batch, CreateAddListSeekAndCheckAnAddressFile) {
    std::string db = file("ADD0001.DBF");
    ASSERT_EQ(run("create " + db).status, 0);
    EXPECT_EQ(run("create " + db).output, "That file already exists.Please select another name\n");
    auto check = run("check " + db);
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.output, "valid\n");

    EXPECT_EQ(
        run("add " + db + " LNAME=Baker FNAME=Ann MIDDLE=Q CITY=Boston STATE=MA ZIP=02134").output,
        "1\n");
    EXPECT_EQ(run("add " + db +
                  " LNAME=Jones FNAME=Bob 'CITY=New York' STATE=NY ZIP=10001 "
                  "DATE=19970428 MEMO=abcd CODES=AC")
                  .output,
              "2\n");
    EXPECT_EQ(run("add " + db + " LNAME=Bakersfield FNAME=Cy 'STREET=1 Main St, Apt \"2\"'").output,
              "3\n");
    auto bad = run("add " + db + " NOSUCH=1");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.output.find("NOSUCH"), std::string::npos);

    auto list = run("list " + db + " --order LNAME --fields LNAME,FullName,CityStateZip,STREET");
    EXPECT_EQ(list.status, 0) << list.output;
    EXPECT_EQ(list.output, "LNAME,FullName,CityStateZip,STREET\r\n"
                           "Baker,Ann Q Baker,Boston MA 02134,\r\n"
                           "Bakersfield,Cy Bakersfield,,\"1 Main St, Apt \"\"2\"\"\"\r\n"
                           "Jones,Bob Jones,New York NY 10001,\r\n");

    // The memo padding rule: four characters get a blank.
    EXPECT_EQ(run("eval " + db + " 'LEN(TRIM(LNAME))' --recno 2").output, "5\n");
    EXPECT_EQ(run("list " + db + " --query 'RECNO()=2' --fields MEMO").output, "MEMO\r\nabcd \r\n");

    // Filter criteria go through the filter builder.
    EXPECT_EQ(run("list " + db + " --criteria 'LNAME=bak' --fields LNAME").output,
              "LNAME\r\nBaker\r\nBakersfield\r\n");
    EXPECT_EQ(run("list " + db + " --criteria 'LNAME=bak' --reverse --fields LNAME").output,
              "LNAME\r\nJones\r\n");
    EXPECT_EQ(run("list " + db + " --criteria 'CODES=$C' --fields LNAME").output,
              "LNAME\r\nJones\r\n");
    EXPECT_EQ(run("list " + db + " --criteria 'DATE=>=19970101' --fields LNAME").output,
              "LNAME\r\nJones\r\n");
    EXPECT_EQ(run("query-string --criteria 'LNAME=JONES;BAKER'").output,
              "((UPPER(LNAME)=\"JONES\").or.(UPPER(LNAME)=\"BAKER\"))\n");
    // A value with a double quote stays a value.
    auto injected = run("query-string --criteria 'LNAME=X\").or.(.T.'");
    EXPECT_EQ(injected.output, "UPPER(LNAME)='X\").OR.(.T.'\n");
    EXPECT_EQ(run("list " + db + " --criteria 'LNAME=X\").or.(.T.' --fields LNAME").output,
              "LNAME\r\n");

    // Seeks in an order, with and without exact and soft seek.
    EXPECT_EQ(run("seek " + db + " LNAME BAK").output, "1\n");
    auto exact = run("seek " + db + " LNAME BAK --exact");
    EXPECT_EQ(exact.status, 1);
    EXPECT_EQ(exact.output, "not found\n");
    EXPECT_EQ(run("seek " + db + " LNAME C --soft").output, "not found (positioned at 2)\n");
    EXPECT_EQ(run("dump-tag " + db + " ZIP").output, "3\t\n1\t02134\n2\t10001\n");

    auto malformed = run("list " + db + " --query 'UPPER(LNAME=\"B\"'");
    EXPECT_EQ(malformed.status, 1);
    EXPECT_NE(malformed.output.find("position"), std::string::npos) << malformed.output;

    // Records deleted by the program go for good on reindex.
    ASSERT_EQ(run("add " + db + " LNAME=Gone ISDEL=T").status, 0);
    EXPECT_EQ(run("list " + db + " --query '!ISDEL' --fields LNAME").output,
              "LNAME\r\nBaker\r\nJones\r\nBakersfield\r\n");
    auto info = run("info " + db);
    EXPECT_NE(info.output.find("Records: 4"), std::string::npos);
    EXPECT_NE(info.output.find("  NOTISDEL !ISDEL"), std::string::npos);
    EXPECT_NE(info.output.find("  LNAME C 30 0"), std::string::npos);

    // A value wider than its field is cut to fit, and the script is told.
    auto wide = run("add " + db + " LNAME=" + std::string(31, 'W') + " MIDDLE=Q");
    EXPECT_EQ(wide.status, 0);
    EXPECT_EQ(wide.output, "1 value was longer than its field and was cut to fit: Last Name "
                           "(1).\n5\n");
    EXPECT_EQ(run("eval " + db + " 'TRIM(LNAME)' --recno 5").output, std::string(30, 'W') + "\n");
}

TEST_F(Batch, RecordSelectionsWalkAsThePrintingToolsDo) {
    std::string db = file("sel.dbf");
    ASSERT_EQ(run("create " + db).status, 0);
    for (const char* name : {"Adams", "Baker", "Clark", "Davis"})
        ASSERT_EQ(run("add " + db + " LNAME=" + name).status, 0);
    std::string list = "list " + db + " --fields LNAME --order LNAME ";
    EXPECT_EQ(run(list + "--selection current --recno 3").output, "LNAME\r\nClark\r\n");
    EXPECT_EQ(run(list + "--selection all --start-from-current --recno 2").output,
              "LNAME\r\nBaker\r\nClark\r\nDavis\r\n");
    // The current record is outside the filter: the walk starts at the first match.
    auto outside = run(list + "--criteria LNAME=B --start-from-current --recno 4");
    EXPECT_NE(outside.output.find("Current record is out of range. Starting with first record"),
              std::string::npos);
    EXPECT_NE(outside.output.find("Baker\r\n"), std::string::npos) << outside.output;
    EXPECT_EQ(outside.output.find("Davis"), std::string::npos) << outside.output;
    EXPECT_EQ(run(list + "--selection sometimes").status, 2);
    EXPECT_EQ(run(list + "--selection current --recno 99").status, 1);
}

TEST_F(Batch, CheckReportsAMissingTagAndReindexMendsIt) {
    std::string path = home.file("t.dbf");
    ASSERT_TRUE(qp::store::Table::create(path, SampleAddresses::fieldSpecs()).ok());
    {
        auto t = qp::store::Table::open(path, qp::store::OpenMode::Exclusive);
        for (const auto& tag : qp::store::kAddressTags)
            if (tag.name != "STATEZIP") {
                ASSERT_TRUE(t->indexTag(std::string(tag.name), std::string(tag.expression)).ok());
            }
        SampleAddresses gen;
        for (int i = 0; i < 50; ++i) {
            ASSERT_TRUE(SampleAddresses::append(*t, gen.next()).ok());
            ASSERT_TRUE(t->post().ok());
        }
        ASSERT_TRUE(t->go(3));
        ASSERT_TRUE(t->deleteRecord().ok());
    }
    auto check = run("check " + shellQuote(path));
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.output, "invalid\nIndex tag STATEZIP is missing\n");
    EXPECT_EQ(run("reindex " + shellQuote(path)).output, "49 records\n");
    EXPECT_EQ(run("check " + shellQuote(path)).output, "valid\n");
}

TEST_F(Batch, RefusesFilesThatAreNotAddressFilesOrAreInUse) {
    std::string path = home.file("other.dbf");
    ASSERT_TRUE(qp::store::Table::create(path, {{"NAME", 'C', 10, 0}}).ok());
    auto check = run("check " + shellQuote(path));
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.output.find("LNAME"), std::string::npos) << check.output;

    std::string db = home.file("busy.dbf");
    ASSERT_EQ(run("create " + shellQuote(db)).status, 0);
    auto held = qp::store::Table::open(db, qp::store::OpenMode::Exclusive);
    ASSERT_TRUE(held.ok());
    auto busy = run("add " + shellQuote(db) + " LNAME=X");
    EXPECT_EQ(busy.status, 1);
    EXPECT_NE(busy.output.find("in use"), std::string::npos) << busy.output;
}

TEST_F(Batch, PrintsTheTestPageToPdf) {
    if (runCommand("command -v pdfinfo").status != 0)
        GTEST_SKIP() << "poppler-utils is not installed";
    std::string pdf = home.file("test page.pdf");
    auto printed = run("print-test-page --pdf " + shellQuote(pdf) + " --paper a4");
    ASSERT_EQ(printed.status, 0) << printed.output;
    auto info = runCommand("pdfinfo " + shellQuote(pdf));
    EXPECT_NE(info.output.find("595 x 842 pts"), std::string::npos) << info.output;
    auto text = runCommand("pdftotext " + shellQuote(pdf) + " -");
    EXPECT_NE(text.output.find("Bold Italic"), std::string::npos);
    EXPECT_EQ(run("print-test-page --pdf " + shellQuote(pdf) + " --paper 3x").status, 2);
    EXPECT_EQ(run("print-test-page --printer 'No Such Printer'").status, 1);
}
