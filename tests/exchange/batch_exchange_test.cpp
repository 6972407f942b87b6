#include "exchange_test_support.h"
#include "support/peer_tools.h"

#include <gtest/gtest.h>

namespace qp {
namespace {

using testing::runCommand;
using testing::shellQuote;
using testing::slurp;
using testing::TempDir;
using testing::writeFile;

testing::CommandOutput batch(const std::string& args) {
    return runCommand(shellQuote(QP_BATCH_EXE) + " " + args);
}

TEST(BatchExchange, ImportThenExportTextAndDbf) {
    TempDir dir;
    auto file = shellQuote(dir.file("ADDR.DBF"));
    ASSERT_EQ(batch("create " + file).status, 0);
    writeFile(dir.file("in.csv"), "Smith,John,\"Boston, MA\"\r\nAdams,Ann,Rome\r\nLee,Bo,Oslo\r\n");
    auto in = batch("import-csv " + file + " " + shellQuote(dir.file("in.csv")) +
                    " --match 'Last Name=1,First Name=2,City=3'");
    EXPECT_EQ(in.status, 0) << in.output;
    EXPECT_EQ(in.output, "Import complete. Imported 3 records.\n");
    EXPECT_EQ(batch("check " + file).output, "valid\n");

    auto out = batch("export " + file + " " + shellQuote(dir.file("o.txt")) +
                     " --text --criteria LNAME=A --order '&City'");
    EXPECT_EQ(out.status, 0) << out.output;
    EXPECT_EQ(
        slurp(dir.file("o.txt")),
        "\"\",\"Ann\",\"\",\"Adams\",\"\",\"\",\"\",\"\",\"Rome\",\"\",\"\",\"\",\"\",\"\",\"\","
        "\"\",\"\",\"\",\"\",\"\"\r\n");
    auto all = batch("export " + file + " " + shellQuote(dir.file("all.txt")) + " --text");
    auto text = slurp(dir.file("all.txt"));
    EXPECT_LT(text.find("Adams"), text.find("Lee"));
    EXPECT_LT(text.find("Lee"), text.find("Smith"));

    auto again = batch("export " + file + " " + shellQuote(dir.file("all.txt")) + " --text");
    EXPECT_EQ(again.status, 1);
    auto dbf = batch("export " + file + " " + shellQuote(dir.file("o.txt")) + " --dbf");
    EXPECT_EQ(dbf.status, 1);
    EXPECT_NE(dbf.output.find("Must have a .DBF extension"), std::string::npos);
    auto self = batch("export " + file + " " + shellQuote(dir.file("addr.dbf")) + " --dbf");
    EXPECT_NE(self.output.find("Cannot copy a file to itself!"), std::string::npos);
    auto none = batch("export " + file + " " + shellQuote(dir.file("n.dbf")) +
                      " --dbf --criteria LNAME=Nobody");
    EXPECT_NE(none.output.find("No active records for current filter. Nothing to copy"),
              std::string::npos);
    auto range = batch("export " + file + " " + shellQuote(dir.file("r.dbf")) +
                       " --dbf --criteria LNAME=A --recno 1 --start-from-current");
    EXPECT_EQ(range.status, 0) << range.output;
    EXPECT_NE(range.output.find("Current record is out of range. Starting with first record"),
              std::string::npos);
    auto current = batch("export " + file + " " + shellQuote(dir.file("c.txt")) +
                         " --text --selection current --recno 3");
    EXPECT_EQ(current.status, 0) << current.output;
    EXPECT_NE(slurp(dir.file("c.txt")).find("\"Lee\""), std::string::npos);
}

TEST(BatchExchange, ImportUsageAndUnusableFiles) {
    TempDir dir;
    auto file = shellQuote(dir.file("ADDR.DBF"));
    ASSERT_EQ(batch("create " + file).status, 0);
    writeFile(dir.file("one.csv"), "just one line\r\n");
    auto one =
        batch("import-csv " + file + " " + shellQuote(dir.file("one.csv")) + " --match City=1");
    EXPECT_EQ(one.status, 1);
    EXPECT_NE(one.output.find("Unable to import from this file"), std::string::npos);
    writeFile(dir.file("two.csv"), "a\r\nb\r\n");
    EXPECT_EQ(
        batch("import-csv " + file + " " + shellQuote(dir.file("two.csv")) + " --match Nowhere=1")
            .status,
        2);
    EXPECT_EQ(
        batch("import-csv " + file + " " + shellQuote(dir.file("two.csv")) + " --match City=2")
            .status,
        2);
    auto self = batch("import-csv " + file + " " + file + " --match City=1");
    EXPECT_EQ(self.status, 1);
}

} // namespace
} // namespace qp
