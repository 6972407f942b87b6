// Importing DBF tables of other programs and of the earlier versions:
// sources written by python3-dbf or byte by byte, damaged ones, and the
// batch commands.

#include "exchange/dbf_import.h"
#include "exchange/older_import.h"
#include "exchange_test_support.h"
#include "support/peer_tools.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qp {
namespace {

using namespace exchange;
using testing::runCommand;
using testing::shellQuote;
using testing::slurp;
using testing::TempDir;
using testing::writeFile;

namespace fs = std::filesystem;

// Writes a source of `kind` with python3-dbf.
void writeSource(const std::string& kind, const std::string& path) {
    const std::string script = testing::peerScript("../../exchange/peers/dbf_sources.py");
    auto r =
        runCommand("/usr/bin/python3 " + shellQuote(script) + " " + kind + " " + shellQuote(path));
    ASSERT_EQ(r.status, 0) << r.output;
}

#define NEEDS_PYTHON_DBF()                                                                         \
    if (!testing::havePythonDbf())                                                                 \
    GTEST_SKIP() << "python3-dbf is not installed"

// Every field of the address file's records, in record order, as one line
// each: "LNAME|FNAME|...|MEMO|*" with the deletion mark.
std::vector<std::string> records(store::Table& t, const std::vector<std::string>& fields) {
    std::vector<std::string> out;
    t.setDeleted(false);
    (void)t.setOrder(0);
    for (bool more = t.first(); more; more = t.next()) {
        std::string line;
        for (const auto& f : fields) {
            if (f == "MEMO") {
                auto memo = t.getMemo("MEMO");
                line += memo ? *memo : std::string("?");
            } else {
                line += t.getString(f);
            }
            line += "|";
        }
        out.push_back(line + (t.deleted() ? "*" : ""));
    }
    t.setDeleted(true);
    return out;
}

std::uint32_t rowOf(const std::vector<AddressLabel>& offered, std::string_view field) {
    for (std::uint32_t i = 0; i < offered.size(); ++i)
        if (offered[i].field == field)
            return i;
    return kNoMatch;
}

// Imports `source` with the proposals plus `extra` (source field, address
// field) and rebuilds the indexes.
DbfImportOutcome importWith(store::Table& table, const std::string& source,
                            const std::vector<std::pair<std::string, std::string>>& extra = {}) {
    auto src = openImportSource(source, table.path());
    EXPECT_TRUE(src.ok()) << src.error();
    if (!src)
        return {};
    auto offered = dbfImportFields();
    auto fields = sourceMatchFields(*src);
    proposeMatches(fields, offered);
    for (const auto& [from, to] : extra)
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].name == from)
                matchDbfField(fields, i, rowOf(offered, to));
    auto outcome = importDbfRecords(table, *src, fields, offered);
    EXPECT_TRUE(rebuildAfterImport(table).ok());
    EXPECT_TRUE(store::checkAddressIndex(table, store::Table::IndexCheck::Full).ok());
    return outcome;
}

TEST(DbfImport, DbaseThreeWithDbtMemosInCodePage437) {
    NEEDS_PYTHON_DBF();
    TempDir dir;
    writeSource("db3", dir.file("people.dbf"));
    auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
    auto outcome = importWith(table, dir.file("people.dbf"),
                              {{"BORN", "DATE"}, {"ACTIVE", "USER1"}, {"AMOUNT", "USER2"}});
    EXPECT_EQ(outcome.kind, ImportOutcome::Kind::Complete);
    EXPECT_EQ(outcome.imported, 3u);
    EXPECT_EQ(outcome.skippedDeleted, 1u);
    EXPECT_EQ(outcome.message, "Import complete. Imported 3 records.\r\n1 record marked deleted in "
                               "people.dbf was left out.");
    // Memos keep their line breaks; one of four characters gets its blank.
    EXPECT_EQ(records(table, {"LNAME", "FNAME", "ZIP", "DATE", "USER1", "USER2", "MEMO"}),
              (std::vector<std::string>{
                  "Müller|Jürgen|10115|19961231|T|12.50|Grüße\r\nzweite Zeile|",
                  "Smith|Ann|||F|-3.00|" + std::string(600, 'x') + " |",
                  "Ñúñez|Ana|||||abcd |",
              }));
}

TEST(DbfImport, FoxProWithFptInCodePage850AndVisualFoxProTypes) {
    NEEDS_PYTHON_DBF();
    TempDir dir;
    writeSource("fp", dir.file("fox.dbf"));
    writeSource("vfp", dir.file("VISUAL.DBF"));
    auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
    auto fox = importWith(table, dir.file("fox.dbf"), {{"CITY", "CITY"}});
    EXPECT_EQ(fox.imported, 2u);
    auto visual = importWith(table, dir.file("VISUAL.DBF"),
                             {{"COUNT", "PHONE"},
                              {"PRICE", "PHONE2"},
                              {"STAMP", "USER1"},
                              {"RATIO", "FAX"},
                              {"WEIGHT", "USER2"}});
    EXPECT_EQ(visual.imported, 2u) << visual.message;
    EXPECT_EQ(visual.valuesChanged, 0u);
    EXPECT_EQ(records(table, {"LNAME", "FNAME", "CITY", "PHONE", "PHONE2", "USER1", "FAX", "USER2",
                              "MEMO"}),
              (std::vector<std::string>{
                  "Øster|Zoë|Århus||||||Première ligne|",
                  "Brown|Bob|Oslo|||||||",
                  "Élan|||-42|12.5000|20210304 05:06:07|0.25|3.250|Visual|",
                  // Binary numbers have no blank: zero arrives as zero.
                  "Blank|||0|0.0000||0|||",
              }));

    // A date-time into the date keeps the date alone.
    auto dated = importWith(table, dir.file("VISUAL.DBF"), {{"STAMP", "DATE"}});
    EXPECT_EQ(dated.imported, 2u);
    auto dates = testing::column(table, "DATE");
    ASSERT_EQ(dates.size(), 6u);
    EXPECT_EQ(dates[4], "20210304");
    EXPECT_EQ(dates[5], "");
}

TEST(DbfImport, CharactersWindows1252LacksAreReplacedAndCounted) {
    NEEDS_PYTHON_DBF();
    TempDir dir;
    writeSource("cp1250", dir.file("czech.dbf"));
    auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
    auto outcome = importWith(table, dir.file("czech.dbf"));
    EXPECT_EQ(outcome.valuesChanged, 1u);
    EXPECT_NE(outcome.message.find("1 value held characters that cannot be stored and were "
                                   "changed."),
              std::string::npos);
    EXPECT_EQ(records(table, {"LNAME", "EMAIL"}), std::vector<std::string>{"Dvo?ák|a@b.c|"});
}

// A table byte by byte: version, fields (name, type, width), records
// (deletion mark included), code page mark.
struct RawField {
    std::string name;
    char type;
    int length;
};
std::string rawTable(std::uint8_t version, const std::vector<RawField>& fields,
                     const std::vector<std::string>& rows, std::uint8_t codePage = 0x03) {
    std::string h(32, '\0');
    int recordLength = 1;
    for (const auto& f : fields)
        recordLength += f.length;
    const int headerLength = 32 + 32 * int(fields.size()) + 1;
    h[0] = char(version);
    h[1] = 99, h[2] = 1, h[3] = 1;
    for (int i = 0; i < 4; ++i)
        h[4 + i] = char((rows.size() >> (8 * i)) & 0xFF);
    h[8] = char(headerLength & 0xFF), h[9] = char(headerLength >> 8);
    h[10] = char(recordLength & 0xFF), h[11] = char(recordLength >> 8);
    h[29] = char(codePage);
    for (const auto& f : fields) {
        std::string d(32, '\0');
        d.replace(0, f.name.size(), f.name);
        d[11] = f.type;
        d[16] = char(f.length);
        h += d;
    }
    h += '\r';
    for (const auto& r : rows)
        h += r;
    return h + '\x1A';
}

std::string le32(std::uint32_t v) {
    return {char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24 & 0xFF)};
}

TEST(DbfImport, DbaseFourMemosWithTheirLengthHeader) {
    TempDir dir;
    writeFile(dir.file("four.dbf"), rawTable(0x8B, {{"LNAME", 'C', 10}, {"NOTES", 'M', 10}},
                                             {" Lee       " + std::string("         1"),
                                              " Ray       " + std::string("          ")},
                                             0x01));
    // Block size 512 at offset 20; the memo "Caf\x82 ok" (437) in block 1.
    std::string dbt(512, '\0');
    dbt[20] = 0x00, dbt[21] = 0x02;
    std::string text = "Caf\x82 ok";
    dbt += std::string("\xFF\xFF\x08\x00", 4) + le32(std::uint32_t(text.size() + 8)) + text;
    writeFile(dir.file("four.dbt"), dbt);
    auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
    auto outcome = importWith(table, dir.file("four.dbf"));
    EXPECT_EQ(outcome.imported, 2u);
    EXPECT_EQ(records(table, {"LNAME", "MEMO"}),
              (std::vector<std::string>{"Lee|Café ok|", "Ray||"}));
}

TEST(DbfImport, ValuesWiderThanTheAddressFieldAreCutAndCounted) {
    TempDir dir;
    writeFile(dir.file("wide.dbf"), rawTable(0x03, {{"LNAME", 'C', 40}, {"ZIP", 'C', 12}},
                                             {" " + std::string(35, 'W') + "     12345-6789  ",
                                              " Lee" + std::string(37, ' ') + "12345-67890 "}));
    auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
    auto outcome = importWith(table, dir.file("wide.dbf"));
    EXPECT_EQ(outcome.imported, 2u);
    EXPECT_NE(outcome.message.find("\r\n2 values were longer than their field and were cut to "
                                   "fit: Last Name (1), Zip/Postal Code (1)."),
              std::string::npos)
        << outcome.message;
    EXPECT_EQ(records(table, {"LNAME", "ZIP"}),
              (std::vector<std::string>{std::string(30, 'W') + "|12345-6789|", "Lee|12345-6789|"}));
}

TEST(DbfImport, ProposalsAndTheFieldsEachRowTakes) {
    auto offered = dbfImportFields();
    std::vector<DbfMatchField> fields{{"LNAME", 'C'},         {"FNAME", 'C'},   {"ZIP", 'N'},
                                      {"LAST NAME", 'C'},     {"EMAIL", 'C'},   {"NOTES", 'M'},
                                      {"OTHER", 'M'},         {"COUNTRY", 'I'}, {"BORN", 'D'},
                                      {"PICTURE", 'G', false}};
    proposeMatches(fields, offered);
    auto matchedTo = [&](std::size_t i) {
        return fields[i].match == kNoMatch ? std::string("-") : offered[fields[i].match].field;
    };
    EXPECT_EQ(matchedTo(0), "LNAME");
    EXPECT_EQ(matchedTo(1), "FNAME");
    EXPECT_EQ(matchedTo(2), "ZIP");
    EXPECT_EQ(matchedTo(3), "-"); // Last Name is fed by LNAME already
    EXPECT_EQ(matchedTo(4), "EMAIL");
    EXPECT_EQ(matchedTo(5), "MEMO");
    EXPECT_EQ(matchedTo(6), "-"); // only the first memo
    EXPECT_EQ(matchedTo(7), "-"); // integers are never proposed
    EXPECT_EQ(matchedTo(8), "-");

    // By display label too, when the name is not taken.
    std::vector<DbfMatchField> byLabel{{"COMMENT 1", 'C'}, {"ACTUAL DATE", 'D'}};
    proposeMatches(byLabel, offered);
    EXPECT_EQ(offered[byLabel[0].match].field, "USER1");
    EXPECT_EQ(offered[byLabel[1].match].field, "DATE");

    const auto& memoRow = offered[rowOf(offered, "MEMO")];
    const auto& cityRow = offered[rowOf(offered, "CITY")];
    EXPECT_TRUE(fitsRow(fields[5], memoRow));
    EXPECT_FALSE(fitsRow(fields[5], cityRow));
    EXPECT_FALSE(fitsRow(fields[0], memoRow));
    EXPECT_TRUE(fitsRow(fields[8], cityRow));  // a date into any general row
    EXPECT_TRUE(fitsRow(fields[7], cityRow));  // chosen by hand
    EXPECT_FALSE(fitsRow(fields[9], cityRow)); // a picture has no text

    // A field put on a second row leaves the first.
    matchDbfField(fields, 0, rowOf(offered, "CITY"));
    EXPECT_EQ(matchedTo(0), "CITY");
    matchDbfField(fields, 1, rowOf(offered, "CITY"));
    EXPECT_EQ(matchedTo(0), "-");
    EXPECT_EQ(matchedTo(1), "CITY");
}

TEST(DbfImport, EmptySourceAndSelfImportAreRefused) {
    NEEDS_PYTHON_DBF();
    TempDir dir;
    writeSource("empty", dir.file("empty.dbf"));
    auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
    auto empty = openImportSource(dir.file("empty.dbf"), table.path());
    EXPECT_EQ(empty.error(), "There are no records in empty.dbf");

    fs::create_directory(dir.path() / "sub");
    fs::create_symlink(dir.path() / "ADDR.DBF", dir.path() / "link.dbf");
    fs::create_hard_link(dir.path() / "ADDR.DBF", dir.path() / "hard.dbf");
    for (const auto& name : {dir.file("addr.dbf"), dir.file("sub/../ADDR.DBF"),
                             dir.file("link.dbf"), dir.file("hard.dbf")}) {
        auto self = openImportSource(name, table.path());
        EXPECT_EQ(self.error(), "Cannot import a file to itself") << name;
        auto older = openOlderSource(name, table.path(), OlderVersion::V2);
        EXPECT_EQ(older.error(), "Cannot import a file to itself") << name;
    }
}

// Each damage of a source: the message, and the address file untouched.
TEST(DbfImport, DamagedSourcesAreRefusedAndTheAddressFileStaysAsItWas) {
    TempDir dir;
    const std::vector<RawField> fields{{"LNAME", 'C', 10}, {"NOTES", 'M', 10}};
    const std::string good = rawTable(0x83, fields, {" Lee       " + std::string("         1")});
    std::string dbt(512, '\0');
    dbt += "memo\x1A\x1A";

    struct Case {
        std::string what;
        std::string dbf;
        bool withMemoFile = true;
        std::string memoFile = {};
    };
    std::vector<Case> cases;
    auto changed = [&](std::size_t at, std::string bytes) {
        std::string d = good;
        d.replace(at, bytes.size(), bytes);
        return d;
    };
    cases.push_back({"header longer than the file", changed(8, "\xFF\x7F")});
    cases.push_back({"header shorter than the fields", changed(8, std::string("\x30\x00", 2))});
    cases.push_back({"record length too long", changed(10, std::string("\x40\x00", 2))});
    cases.push_back({"record length too short", changed(10, std::string("\x05\x00", 2))});
    cases.push_back({"zero width", rawTable(0x03, {{"LNAME", 'C', 0}}, {" "})});
    cases.push_back(
        {"a date 200 wide", rawTable(0x03, {{"BORN", 'D', 200}}, {" " + std::string(200, ' ')})});
    std::string noEnd = good;
    noEnd[32 + 64] = ' ';
    cases.push_back({"no end mark", noEnd});
    cases.push_back({"missing memo file", good, false});
    cases.push_back({"short memo file", good, true, std::string(100, '\0')});
    cases.push_back({"unknown kind", changed(0, "\x07")});
    cases.push_back({"too short", good.substr(0, 20)});

    auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
    (void)table.append();
    (void)table.replace("LNAME", "Keep");
    ASSERT_TRUE(table.post().ok());
    const auto before = std::make_tuple(slurp(dir.file("ADDR.DBF")), slurp(dir.file("ADDR.FPT")),
                                        slurp(dir.file("ADDR.CDX")));
    for (const auto& c : cases) {
        std::error_code ec;
        fs::remove(dir.file("bad.dbt"), ec);
        writeFile(dir.file("bad.dbf"), c.dbf);
        if (c.withMemoFile)
            writeFile(dir.file("bad.dbt"), c.memoFile.empty() ? dbt : c.memoFile);
        auto source = openImportSource(dir.file("bad.dbf"), table.path());
        ASSERT_FALSE(source.ok()) << c.what;
        EXPECT_EQ(source.error().rfind("Unable to open the file bad.dbf\r\n\r\n", 0), 0u)
            << c.what << ": " << source.error();
    }
    EXPECT_EQ(std::make_tuple(slurp(dir.file("ADDR.DBF")), slurp(dir.file("ADDR.FPT")),
                              slurp(dir.file("ADDR.CDX"))),
              before);
}

TEST(DbfImport, ShortDataAndMemosAreReadAsFarAsTheyGo) {
    TempDir dir;
    const std::vector<RawField> fields{{"LNAME", 'C', 10}, {"NOTES", 'M', 10}};
    std::string dbf = rawTable(0x83, fields,
                               {" Lee       " + std::string("         1"),
                                " Ray       " + std::string("        90"),
                                " Fox       " + std::string("         2")});
    dbf[4] = 9;                 // nine records counted, three in the file
    dbf.pop_back();             // no end-of-file mark
    dbf += std::string(7, 'x'); // and part of a fourth record
    writeFile(dir.file("short.dbf"), dbf);
    // Block 1 ends properly; block 2 has no end mark before the file ends.
    std::string dbt(512, '\0');
    dbt += "first\x1A\x1A" + std::string(505, ' ') + "cut off";
    writeFile(dir.file("short.dbt"), dbt);

    auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
    auto outcome = importWith(table, dir.file("short.dbf"));
    EXPECT_EQ(outcome.kind, ImportOutcome::Kind::Complete);
    EXPECT_EQ(outcome.imported, 3u);
    EXPECT_EQ(outcome.missingRecords, 6u);
    EXPECT_EQ(outcome.memosDamaged, 2u); // past the end, and without its end mark
    EXPECT_EQ(records(table, {"LNAME", "MEMO"}),
              (std::vector<std::string>{"Lee|first|", "Ray||", "Fox|cut off|"}));
    EXPECT_NE(outcome.message.find("The header of short.dbf counts 6 records more than the file "
                                   "holds"),
              std::string::npos);
    EXPECT_NE(outcome.message.find("2 memos could not be read whole from short.dbt"),
              std::string::npos);
}

TEST(DbfImport, CancelStopsAfterTheRecordInHandAndTheIndexesAreRebuilt) {
    NEEDS_PYTHON_DBF();
    TempDir dir;
    writeSource("db3", dir.file("people.dbf"));
    auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
    auto src = openImportSource(dir.file("people.dbf"), table.path());
    ASSERT_TRUE(src.ok());
    auto offered = dbfImportFields();
    auto fields = sourceMatchFields(*src);
    proposeMatches(fields, offered);
    std::vector<int> gauge;
    ImportHooks hooks;
    hooks.progress = [&](int p) { gauge.push_back(p); };
    int calls = 0;
    hooks.cancelled = [&] { return ++calls == 2; };
    auto outcome = importDbfRecords(table, *src, fields, offered, hooks);
    EXPECT_EQ(outcome.kind, ImportOutcome::Kind::Cancelled);
    EXPECT_EQ(outcome.message, "Import cancelled after importing 1 records.\r\n1 record marked "
                               "deleted in people.dbf was left out.");
    EXPECT_EQ(gauge, (std::vector<int>{25, 50}));
    ASSERT_TRUE(rebuildAfterImport(table).ok());
    EXPECT_TRUE(store::checkAddressIndex(table, store::Table::IndexCheck::Full).ok());
}

TEST(OlderImport, FirstVersionMappingAndDates) {
    NEEDS_PYTHON_DBF();
    TempDir dir;
    writeSource("older1", dir.file("old1.dbf"));
    writeSource("older2", dir.file("old2.dbf"));
    auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
    EXPECT_EQ(openOlderSource(dir.file("old2.dbf"), table.path(), OlderVersion::V1).error(),
              "old2.dbf does not appear to be a Quillpost 1.x DBF");
    EXPECT_EQ(openOlderSource(dir.file("old1.dbf"), table.path(), OlderVersion::V2).error(),
              "old1.dbf does not appear to be a Quillpost 2.x DBF");

    auto src = openOlderSource(dir.file("old1.dbf"), table.path(), OlderVersion::V1);
    ASSERT_TRUE(src.ok()) << src.error();
    auto outcome = importOlderRecords(table, *src, OlderVersion::V1, {}, "mm/dd/yyyy");
    EXPECT_EQ(outcome.message, "Import complete. Imported 3 records.");
    ASSERT_TRUE(rebuildAfterImport(table).ok());
    // NOTES into CODES, CARRIER dropped, the short date read, an unreadable one left empty.
    EXPECT_EQ(
        records(table, {"LNAME", "FNAME", "PREFIX", "ZIP", "CITY", "CODES", "DATE", "TAG", "MEMO"}),
        (std::vector<std::string>{"Adams|Ann|Ms.|02134||VIP|19961231||abcd |",
                                  "Baker||||||19961231|||", "Clark||||Boston|||||"}));
}

TEST(OlderImport, SecondVersionKeepsDeletedRecordsDeleted) {
    NEEDS_PYTHON_DBF();
    TempDir dir;
    writeSource("older2", dir.file("old2.dbf"));
    auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
    auto src = openOlderSource(dir.file("old2.dbf"), table.path(), OlderVersion::V2);
    ASSERT_TRUE(src.ok()) << src.error();
    auto outcome = importOlderRecords(table, *src, OlderVersion::V2);
    EXPECT_EQ(outcome.imported, 3u);
    ASSERT_TRUE(rebuildAfterImport(table).ok());
    EXPECT_TRUE(store::checkAddressIndex(table, store::Table::IndexCheck::Full).ok());
    EXPECT_EQ(records(table, {"LNAME", "STREET2", "PHONE2", "CODES", "USER1", "USER2", "DATE",
                              "ISDEL", "TAG", "MEMO"}),
              (std::vector<std::string>{"Adams|Suite 5|555-1212|A|one|two|19961231|F||kept |",
                                        "Baker|||||||T|||*", "Clark|||||||T|||*"}));
    EXPECT_EQ(olderDate("", "mm/dd/yyyy"), "");
    EXPECT_EQ(olderDate("1/2/2003", "mm/dd/yyyy"), "20030102");
    EXPECT_EQ(olderDate("31.12.1996", "dd.mm.yyyy"), "19961231");
    EXPECT_EQ(olderDate("19961231", "dd.mm.yyyy"), "19961231");
}

testing::CommandOutput batch(const std::string& args) {
    return runCommand(shellQuote(QP_BATCH_EXE) + " " + args);
}

TEST(BatchDbfImport, ProposeMatchAndImportOlder) {
    NEEDS_PYTHON_DBF();
    TempDir dir;
    writeSource("db3", dir.file("people.dbf"));
    writeSource("older2", dir.file("old2.dbf"));
    auto file = shellQuote(dir.file("ADDR.DBF"));
    ASSERT_EQ(batch("create " + file).status, 0);
    const auto source = shellQuote(dir.file("people.dbf"));

    auto propose = batch("import-dbf " + file + " " + source + " --propose");
    EXPECT_EQ(propose.status, 0) << propose.output;
    EXPECT_EQ(propose.output, "Last Name=LNAME\nFirst Name=FNAME\nZip/Postal Code=ZIP\n"
                              "Memo=NOTES\n");
    auto wrong = batch("import-dbf " + file + " " + source + " --match 'Memo=LNAME'");
    EXPECT_NE(wrong.status, 0);
    EXPECT_NE(wrong.output.find("LNAME cannot feed Memo"), std::string::npos) << wrong.output;

    auto in = batch("import-dbf " + file + " " + source + " --match 'City=LNAME,Actual Date=BORN'");
    EXPECT_EQ(in.status, 0) << in.output;
    EXPECT_EQ(in.output, "Import complete. Imported 3 records.\r\n1 record marked deleted in "
                         "people.dbf was left out.\n");
    auto self = batch("import-dbf " + file + " " + shellQuote(dir.file("addr.dbf")));
    EXPECT_NE(self.status, 0);
    EXPECT_NE(self.output.find("Cannot import a file to itself"), std::string::npos);

    auto older =
        batch("import-older " + file + " " + shellQuote(dir.file("old2.dbf")) + " --version 2");
    EXPECT_EQ(older.status, 0) << older.output;
    EXPECT_EQ(older.output, "Import complete. Imported 3 records.\n");
    auto refused =
        batch("import-older " + file + " " + shellQuote(dir.file("old2.dbf")) + " --version 1");
    EXPECT_NE(refused.output.find("old2.dbf does not appear to be a Quillpost 1.x DBF"),
              std::string::npos);
    EXPECT_EQ(batch("check " + file).output, "valid\n");

    auto table = store::openAddressFile(dir.file("ADDR.DBF"), store::OpenMode::ReadOnly);
    ASSERT_TRUE(table.ok());
    EXPECT_EQ(records(*table, {"LNAME", "CITY", "DATE"}),
              (std::vector<std::string>{"|Müller|19961231|", "|Smith||", "|Ñúñez||",
                                        "Adams||19961231|", "Baker|||*", "Clark|||*"}));
}

} // namespace
} // namespace qp
