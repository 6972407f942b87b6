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

TEST(NamedBatch, ImportCsvWithHeaderProposesMatchesAndTakesNamedOnes) {
    TempDir dir;
    auto file = shellQuote(dir.file("ADDR.DBF"));
    ASSERT_EQ(batch("create " + file).status, 0);
    writeFile(dir.file("in.csv"), "\xEF\xBB\xBFSurname;Vorname;Town;Kennung\r\n"
                                  "M\xC3\xBCller;J\xC3\xBCrgen;K\xC3\xB6ln;77\r\n"
                                  "Roe;\"Ann;Marie\";Bonn;78\r\n");
    auto csv = shellQuote(dir.file("in.csv"));
    auto propose = batch("import-csv " + file + " " + csv + " --header --propose");
    EXPECT_EQ(propose.status, 0) << propose.output;
    EXPECT_EQ(propose.output, "Separator: semicolon\nSurname -> Last Name\nVorname -> (none)\n"
                              "Town -> City\nKennung -> (none)\n");
    auto in = batch("import-csv " + file + " " + csv +
                    " --header --match 'First Name=vorname,Comment 1=4,City='");
    EXPECT_EQ(in.status, 0) << in.output;
    EXPECT_EQ(in.output, "Import complete. Imported 2 records.\n");
    EXPECT_EQ(batch("check " + file).output, "valid\n");
    auto out = batch("export " + file + " " + shellQuote(dir.file("o.csv")) + " --csv --bom");
    EXPECT_EQ(out.status, 0) << out.output;
    const std::string text = slurp(dir.file("o.csv"));
    EXPECT_EQ(text.compare(0, 3, "\xEF\xBB\xBF"), 0);
    EXPECT_NE(text.find("Prefix,First Name,Middle,Last Name,"), std::string::npos);
    EXPECT_NE(text.find(",Ann;Marie,,Roe,"), std::string::npos) << text;
    EXPECT_EQ(text.find("Bonn"), std::string::npos); // City= left it out

    auto bad = batch("import-csv " + file + " " + csv + " --header --match 'Nowhere=Town'");
    EXPECT_EQ(bad.status, 2);
    auto missing = batch("import-csv " + file + " " + csv + " --header --match 'City=Nowhere'");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.output.find("no field named \"Nowhere\""), std::string::npos);
    auto self = batch("import-csv " + file + " " + file + " --header --separator tab");
    EXPECT_EQ(self.status, 1);
}

TEST(NamedBatch, VCardExportAndImportRoundTrip) {
    TempDir dir;
    auto file = shellQuote(dir.file("ADDR.DBF"));
    ASSERT_EQ(batch("create " + file).status, 0);
    writeFile(dir.file("in.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;Ann;;;\r\n"
                                  "ADR;TYPE=home:;;9 Oak Ave;Salem;OR;97301;\r\n"
                                  "ADR;TYPE=work:;;1 Elm St;Boston;MA;02134;\r\n"
                                  "BDAY:1970-04-01\r\nEND:VCARD\r\n"
                                  "BEGIN:VCARD\r\nVERSION:3.0\r\nEMAIL:x@example.com\r\n"
                                  "END:VCARD\r\n");
    auto in = batch("import-vcard " + file + " " + shellQuote(dir.file("in.vcf")) +
                    " --address work --date birthday");
    EXPECT_EQ(in.status, 0) << in.output;
    EXPECT_EQ(in.output, "Import complete. Imported 1 records.\r\n1 card has neither a name "
                         "nor an address and was skipped.\n");
    auto out = batch("export " + file + " " + shellQuote(dir.file("o.vcf")) + " --vcard");
    EXPECT_EQ(out.status, 0) << out.output;
    const std::string card = slurp(dir.file("o.vcf"));
    EXPECT_NE(card.find("ADR;TYPE=WORK:;;1 Elm St;Boston;MA;02134;\r\n"), std::string::npos);
    EXPECT_NE(card.find("X-QUILLPOST-DATE:19700401\r\n"), std::string::npos);

    auto copy = shellQuote(dir.file("COPY.DBF"));
    ASSERT_EQ(batch("create " + copy).status, 0);
    auto again = batch("import-vcard " + copy + " " + shellQuote(dir.file("o.vcf")));
    EXPECT_EQ(again.output, "Import complete. Imported 1 records.\n");
    auto text = batch("export " + copy + " " + shellQuote(dir.file("c.txt")) + " --text");
    EXPECT_EQ(slurp(dir.file("c.txt")),
              "\"\",\"Ann\",\"\",\"Smith\",\"\",\"\",\"1 Elm St\",\"\",\"Boston\",\"MA\",\"02134\","
              "\"\",\"\",\"\",\"\",\"\",\"19700401\",\"\",\"\",\"\"\r\n");
    auto junk = batch("import-vcard " + copy + " " + shellQuote(dir.file("c.txt")));
    EXPECT_EQ(junk.status, 1);
    EXPECT_NE(junk.output.find("There are no vCards in c.txt"), std::string::npos);
    EXPECT_EQ(batch("export " + copy + " x --csv --vcard").status, 2);
}

} // namespace
} // namespace qp
