#include "exchange/ascii_import.h"
#include "exchange/copy_out.h"
#include "exchange/same_file.h"
#include "exchange_test_support.h"
#include "support/file_size_limit.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qp::exchange {
namespace {

using testing::column;
using testing::newAddressFile;
using testing::slurp;
using testing::TempDir;
using testing::writeFile;

using Fields = std::vector<std::string>;

TEST(SplitLine, QuotedCommaStaysInItsFieldWithoutTheQuotes) {
    EXPECT_EQ(splitAsciiLine("Smith,\"Boston, MA\",02134"),
              (Fields{"Smith", "Boston, MA", "02134"}));
}

TEST(SplitLine, TrailingCommaAndEmptyLineGiveEmptyFields) {
    EXPECT_EQ(splitAsciiLine("a,b,"), (Fields{"a", "b", ""}));
    EXPECT_EQ(splitAsciiLine(""), (Fields{""}));
    EXPECT_EQ(splitAsciiLine(",,"), (Fields{"", "", ""}));
}

TEST(SplitLine, DoubledQuotesInsideQuotedFieldsAreOneQuote) {
    bool unbalanced = true;
    EXPECT_EQ(splitAsciiLine("\"\"\"Big\"\" Bob's Diner\",12 Main St,Boston,MA,02134", &unbalanced),
              (Fields{"\"Big\" Bob's Diner", "12 Main St", "Boston", "MA", "02134"}));
    EXPECT_FALSE(unbalanced);
    EXPECT_EQ(splitAsciiLine("\"He said \"\"hi\"\"\",x"), (Fields{"He said \"hi\"", "x"}));
    EXPECT_EQ(splitAsciiLine("\"a\"\",b\",c"), (Fields{"a\",b", "c"}));
    EXPECT_EQ(splitAsciiLine("\"\"\"\",\"\","), (Fields{"\"", "", ""}));
    EXPECT_EQ(splitAsciiLine("\"\""), (Fields{""}));
}

TEST(SplitLine, LinesWithoutDoubledQuotesSplitAsBefore) {
    bool unbalanced = true;
    EXPECT_EQ(splitAsciiLine("\"Smith\",\"Boston, MA\",02134,", &unbalanced),
              (Fields{"Smith", "Boston, MA", "02134", ""}));
    EXPECT_FALSE(unbalanced);
    // A quote inside an unquoted value still protects commas up to the next one.
    EXPECT_EQ(splitAsciiLine("a \"b,c\" d,e", &unbalanced), (Fields{"a \"b,c\" d", "e"}));
    EXPECT_FALSE(unbalanced);
    EXPECT_EQ(splitAsciiLine("\"abc\"def,x"), (Fields{"\"abc\"def", "x"}));
}

TEST(SplitLine, AQuoteNeverClosedIsUnbalanced) {
    bool unbalanced = false;
    EXPECT_EQ(splitAsciiLine("x,\"open, never closed", &unbalanced),
              (Fields{"x", "\"open, never closed"}));
    EXPECT_TRUE(unbalanced);
    EXPECT_EQ(splitAsciiLine("\"", &unbalanced), (Fields{""}));
    EXPECT_TRUE(unbalanced);
    EXPECT_EQ(splitAsciiLine("5'10\" tall,b", &unbalanced), (Fields{"5'10\" tall,b"}));
    EXPECT_TRUE(unbalanced);
    splitAsciiLine("\"\"\"Big\"\" Bob,12 Main St", &unbalanced);
    EXPECT_TRUE(unbalanced);
}

TEST(SplitLine, QuotesInsideAFieldDoNotStrip) {
    EXPECT_EQ(splitAsciiLine("ab\"c,d"), (Fields{"ab\"c,d"}));
}

TEST(Scan, FieldCountFromFirstLineSamplePaddedAndOneLineRefused) {
    TempDir dir;
    writeFile(dir.file("a.csv"), "a,b,c\r\n1\r\n1,2,3,4,5\r\n");
    auto scan = scanAsciiFile(dir.file("a.csv"));
    ASSERT_TRUE(scan.usable);
    ASSERT_EQ(scan.fields.size(), 3u);
    EXPECT_EQ(scan.fields[2].name, "Field 3");
    EXPECT_EQ(scan.sample[1], (Fields{"1", "", ""}));
    EXPECT_EQ(scan.sample[2], (Fields{"1", "2", "3"}));

    writeFile(dir.file("one.csv"), "only,one,line\r\n");
    auto one = scanAsciiFile(dir.file("one.csv"));
    EXPECT_FALSE(one.usable);
    EXPECT_EQ(one.message, "Unable to import from this file");
    EXPECT_FALSE(scanAsciiFile(dir.file("missing.csv")).usable);
}

TEST(Scan, AtMostTenSampleLinesAnd255Fields) {
    TempDir dir;
    std::string wide;
    for (int i = 0; i < 400; ++i)
        wide += std::to_string(i) + ",";
    std::string text = wide + "\n";
    for (int i = 0; i < 30; ++i)
        text += "x\n";
    writeFile(dir.file("w.csv"), text);
    auto scan = scanAsciiFile(dir.file("w.csv"));
    EXPECT_EQ(scan.fields.size(), kMaxImportFields);
    EXPECT_EQ(scan.sample.size(), kSampleLines);
}

TEST(Match, AFieldFeedsOneAddressFieldAtATime) {
    std::vector<ImportField> fields{{"Field 1", 0, ""}, {"Field 2", 0, ""}};
    matchField(fields, 0, "City");
    EXPECT_TRUE(anyMatched(fields));
    matchField(fields, 1, "City");
    EXPECT_EQ(fields[0].match, "");
    EXPECT_EQ(fields[1].match, "City");
    matchField(fields, 1, "");
    EXPECT_FALSE(anyMatched(fields));
}

std::vector<ImportField> matched(std::size_t count,
                                 std::initializer_list<std::pair<std::size_t, const char*>> m) {
    std::vector<ImportField> fields;
    for (std::size_t i = 0; i < count; ++i)
        fields.push_back({"Field " + std::to_string(i + 1), 0, ""});
    for (auto [i, label] : m)
        matchField(fields, i, label);
    return fields;
}

struct Imported {
    ImportOutcome outcome;
    store::Table table;
};

Imported importInto(const TempDir& dir, const std::string& text, std::vector<ImportField> fields) {
    writeFile(dir.file("in.csv"), text);
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    auto outcome = importAsciiRecords(table, dir.file("in.csv"), fields, defaultImportFields());
    EXPECT_TRUE(rebuildAfterImport(table));
    return {std::move(outcome), std::move(table)};
}

TEST(Import, HeaderLineIsARecordShortLinesPaddedExtraFieldsIgnored) {
    TempDir dir;
    auto r = importInto(dir, "Last,First,City\r\nSmith,Ann\r\nDoe,Jo,Rome,extra,more\r\n",
                        matched(3, {{0, "Last Name"}, {1, "first name"}, {2, "City"}}));
    EXPECT_EQ(r.outcome.kind, ImportOutcome::Kind::Complete);
    EXPECT_EQ(r.outcome.message, "Import complete. Imported 3 records.");
    EXPECT_EQ(column(r.table, "LNAME"), (Fields{"Last", "Smith", "Doe"}));
    EXPECT_EQ(column(r.table, "CITY"), (Fields{"City", "", "Rome"}));
    EXPECT_EQ(column(r.table, "STREET"), (Fields{"", "", ""}));
    EXPECT_TRUE(store::addressIndexValid(r.table));
}

TEST(Import, EmptyValueLeavesTheDefaultAndLongValuesAreCutByTheFieldAndCounted) {
    TempDir dir;
    std::string longName(300, 'x');
    // Ten characters in twelve bytes fill a ten-wide field whole, and blanks
    // after a value are padding: neither is cut.
    auto r =
        importInto(dir,
                   ",a\r\n" + longName +
                       ",b\r\n\"y     \",\xC3\x84\x31\x32\x33\x34\x35\x36\x37\xC3\xB6\x39\r\n" +
                       "zz,12345-67890\r\n",
                   matched(2, {{0, "Middle"}, {1, "Zip/Postal Code"}}));
    EXPECT_EQ(column(r.table, "MIDDLE"), (Fields{"", "x", "y", "z"}));
    EXPECT_EQ(column(r.table, "ZIP"),
              (Fields{"a", "b", "\xC3\x84\x31\x32\x33\x34\x35\x36\x37\xC3\xB6\x39", "12345-6789"}));
    EXPECT_EQ(column(r.table, "ISDEL"), (Fields{"F", "F", "F", "F"}));
    EXPECT_EQ(r.outcome.message,
              "Import complete. Imported 4 records.\r\n3 values were longer than their field and "
              "were cut to fit: Middle (2), Zip/Postal Code (1).");
}

TEST(Import, TheAddressFileItselfIsRefusedUnderAnySpelling) {
    TempDir dir;
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    auto fields = matched(1, {{0, "City"}});
    std::filesystem::create_symlink(dir.file("ADDR.DBF"), dir.file("link.csv"));
    for (std::string path : {dir.file("ADDR.DBF"), dir.path().string() + "/./ADDR.DBF",
                             dir.file("addr.dbf"), dir.file("link.csv"), dir.file("ADDR.FPT")}) {
        auto outcome = importAsciiRecords(table, path, fields, defaultImportFields());
        EXPECT_EQ(outcome.kind, ImportOutcome::Kind::Refused) << path;
        EXPECT_EQ(outcome.message, "Cannot copy a file to itself!");
    }
    EXPECT_EQ(table.recCount(), 0u);
    EXPECT_FALSE(table.indexName().empty()); // nothing was dropped
}

TEST(Import, Windows1252FileIsReadAsSuch) {
    TempDir dir;
    auto r = importInto(dir, "M\xFCller,K\xF6ln\r\nCaf\xE9,\x80\r\n",
                        matched(2, {{0, "Last Name"}, {1, "City"}}));
    EXPECT_EQ(column(r.table, "LNAME"), (Fields{"Müller", "Café"}));
    EXPECT_EQ(column(r.table, "CITY"), (Fields{"Köln", "€"}));
    EXPECT_EQ(r.outcome.valuesChanged, 0u);
}

TEST(Import, Utf8TextThatCannotBeHeldIsChangedAndCounted) {
    TempDir dir;
    auto r =
        importInto(dir, "\xEF\xBB\xBFZo\xC3\xAB,\xE6\x9D\xB1\xE4\xBA\xAC\r\nPlain,\xCE\xA9 ok\r\n",
                   matched(2, {{0, "Last Name"}, {1, "City"}}));
    EXPECT_EQ(column(r.table, "LNAME"), (Fields{"Zoë", "Plain"}));
    EXPECT_EQ(column(r.table, "CITY"), (Fields{"??", "? ok"}));
    EXPECT_EQ(r.outcome.valuesChanged, 2u);
    EXPECT_NE(r.outcome.message.find("2 values held characters that cannot be stored"),
              std::string::npos);
}

TEST(Import, DamagedFileImportsWhatIsSoundAndSaysSo) {
    TempDir dir;
    std::string text = "Good,One\r\n";
    text += std::string("\x01\x02\xFF\xFE\x00\x9D", 6) + ",bin\r\n";
    text += std::string(100000, 'L') + ",still a field\r\n";
    text += std::string(kMaxLineBytes + 10, 'D') + ",skipped\r\n";
    text += "Good,Two"; // no line end
    auto r = importInto(dir, text, matched(2, {{0, "Last Name"}, {1, "First Name"}}));
    EXPECT_EQ(r.outcome.kind, ImportOutcome::Kind::Complete);
    EXPECT_EQ(r.outcome.imported, 4u);
    auto last = column(r.table, "LNAME");
    ASSERT_EQ(last.size(), 4u);
    EXPECT_EQ(last[0], "Good");
    EXPECT_EQ(last[2], std::string(30, 'L'));
    EXPECT_EQ(last[3], "Good");
    EXPECT_EQ(column(r.table, "FNAME"), (Fields{"One", "bin", "still a field", "Two"}));
    EXPECT_EQ(r.outcome.valuesCut, 1u);
    EXPECT_EQ(r.outcome.damagedLines, 1u);
    EXPECT_GE(r.outcome.valuesChanged, 1u); // the control characters
    EXPECT_NE(r.outcome.message.find("Imported 4 records."), std::string::npos);
    EXPECT_NE(r.outcome.message.find("1 value was longer than 2048 characters"), std::string::npos);
    EXPECT_NE(r.outcome.message.find("1 line was longer than 1 MB, damaged, and skipped: line 4."),
              std::string::npos)
        << r.outcome.message;
}

TEST(Import, DoubledQuotesFillEveryFieldAndUnbalancedLinesAreNamed) {
    TempDir dir;
    std::string text = "\"\"\"Big\"\" Bob's Diner\",12 Main St,Boston,MA,02134\r\n"
                       "Plain Co,1 Elm St,Salem,OR,97301\r\n"
                       "\"Open Quote Inc,9 Oak St,Troy,NY,12180\r\n";
    auto r = importInto(dir, text,
                        matched(5, {{0, "Organization"},
                                    {1, "Address 1"},
                                    {2, "City"},
                                    {3, "State"},
                                    {4, "Zip/Postal Code"}}));
    EXPECT_EQ(r.outcome.imported, 3u);
    EXPECT_EQ(column(r.table, "ORG")[0], "\"Big\" Bob's Diner");
    EXPECT_EQ(column(r.table, "STREET")[0], "12 Main St");
    EXPECT_EQ(column(r.table, "ZIP")[0], "02134");
    EXPECT_EQ(r.outcome.unbalancedLines, 1u);
    EXPECT_NE(r.outcome.message.find("1 line has a quote that is never closed"), std::string::npos);
    EXPECT_NE(r.outcome.message.find(": line 3."), std::string::npos) << r.outcome.message;
}

TEST(Import, DevicesAreNotRead) {
    TempDir dir;
    EXPECT_FALSE(scanAsciiFile("/dev/zero").usable);
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    auto outcome =
        importAsciiRecords(table, "/dev/zero", matched(1, {{0, "City"}}), defaultImportFields());
    EXPECT_EQ(outcome.kind, ImportOutcome::Kind::ReadError);
    EXPECT_EQ(outcome.imported, 0u);
}

TEST(Import, CancelStopsAfterTheCurrentRecordAndIndexesAreRebuilt) {
    TempDir dir;
    writeFile(dir.file("in.csv"), "a\nb\nc\nd\n");
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    ImportHooks hooks;
    std::vector<std::string> statuses;
    std::vector<int> percents;
    hooks.status = [&](std::string_view s) { statuses.emplace_back(s); };
    hooks.progress = [&](int p) { percents.push_back(p); };
    hooks.cancelled = [&] { return percents.back() >= 50; };
    auto outcome = importAsciiRecords(table, dir.file("in.csv"), matched(1, {{0, "City"}}),
                                      defaultImportFields(), hooks);
    EXPECT_EQ(outcome.message, "Import cancelled after importing 2 records.");
    EXPECT_EQ(statuses, (Fields{"Counting total lines", "Importing records"}));
    EXPECT_EQ(percents, (std::vector<int>{25, 50}));
    EXPECT_TRUE(table.indexName().empty() || !store::addressIndexValid(table));
    ASSERT_TRUE(rebuildAfterImport(table));
    EXPECT_TRUE(store::addressIndexValid(table));
}

TEST(Import, AFullDiskCountsOnlyTheRecordsKept) {
    TempDir dir;
    std::string csv;
    for (int i = 0; i < 40000; ++i)
        csv += "Name" + std::to_string(i) + ",City\r\n";
    writeFile(dir.file("in.csv"), csv);
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    ImportOutcome outcome;
    {
        testing::FileSizeLimit full(std::uint64_t(12) << 20);
        outcome =
            importAsciiRecords(table, dir.file("in.csv"),
                               matched(2, {{0, "Last Name"}, {1, "City"}}), defaultImportFields());
    }
    EXPECT_EQ(outcome.kind, ImportOutcome::Kind::WriteError);
    const std::uint32_t kept = table.recCount();
    EXPECT_GT(kept, 0u);
    EXPECT_LT(kept, 40000u);
    EXPECT_EQ(outcome.imported, kept);
    EXPECT_EQ(outcome.message, "Unknown error writing to data file after importing " +
                                   std::to_string(kept) + " records.");
    ASSERT_TRUE(table.go(kept));
    EXPECT_EQ(table.getString("LNAME"), "Name" + std::to_string(kept - 1));
}

TEST(Import, RoundTripOfTrickyValuesThroughTheTextExport) {
    TempDir dir;
    auto source = newAddressFile(dir.file("SRC.DBF"));
    const std::vector<std::array<std::string, 3>> rows{
        {"O'Brien, Jr.", "Zoë", "Saint-Étienne"},
        {"", "Ann", ""},
        {std::string(30, 'W'), "x", "y"},
        {"Plain", "", "New York, NY"},
        {"O\"Neil", "\"Big\" Bob", "Quote\",\" City"},
        {"\"", "\"\"", ","},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(source.append());
        ASSERT_TRUE(source.replace("LNAME", row[0]));
        ASSERT_TRUE(source.replace("FNAME", row[1]));
        ASSERT_TRUE(source.replace("CITY", row[2]));
        ASSERT_TRUE(source.replace("USER1", std::string(40, 'c')));
        ASSERT_TRUE(source.post());
    }
    (void)source.setQuery("!ISDEL");
    auto out = copyRecordsOut(source, CopyFormat::Text, dir.file("out.txt"));
    ASSERT_TRUE(out.ok);
    ASSERT_EQ(out.copied, rows.size());

    std::vector<ImportField> fields;
    for (std::size_t i = 0; i < kTextOrder.size(); ++i)
        fields.push_back({"Field " + std::to_string(i + 1), 0, ""});
    for (std::size_t i = 0; i < kTextOrder.size(); ++i)
        if (auto label = labelOf(kTextOrder[i]))
            matchField(fields, i, *label);
    auto target = newAddressFile(dir.file("DST.DBF"));
    auto in = importAsciiRecords(target, dir.file("out.txt"), fields, defaultImportFields());
    ASSERT_EQ(in.kind, ImportOutcome::Kind::Complete);
    ASSERT_TRUE(rebuildAfterImport(target));
    EXPECT_EQ(in.unbalancedLines, 0u);
    for (auto field : {"LNAME", "FNAME", "CITY", "USER1", "STREET", "ZIP"})
        EXPECT_EQ(column(target, field), column(source, field)) << field;
}

TEST(Import, EightyCharacterFieldsSurviveARoundTrip) {
    TempDir dir;
    std::string wide(80, 'z');
    wide[10] = ',';
    auto r = importInto(dir, "\"" + wide + "\",a\r\nb,c\r\n", matched(2, {{0, "Comment 1"}}));
    // USER1 is 40 wide in a default file: cut by the field, never overflowing.
    EXPECT_EQ(column(r.table, "USER1")[0], wide.substr(0, 40));
}

} // namespace
} // namespace qp::exchange
