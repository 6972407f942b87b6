#include "exchange/delimited_import.h"
#include "exchange/field_names.h"
#include "exchange/named_export.h"
#include "exchange_test_support.h"

#include <gtest/gtest.h>

namespace qp::exchange {
namespace {

using testing::column;
using testing::newAddressFile;
using testing::slurp;
using testing::TempDir;
using testing::writeFile;

using Fields = std::vector<std::string>;

Fields readAll(const std::string& path, char separator, bool* unbalanced = nullptr) {
    DelimitedReader reader(path, detectEncoding(path), separator);
    Fields joined;
    std::vector<std::string> fields;
    while (reader.next(fields)) {
        std::string line;
        for (std::size_t i = 0; i < fields.size(); ++i)
            line += (i ? "|" : "") + fields[i];
        joined.push_back(line);
        if (unbalanced && reader.unbalanced())
            *unbalanced = true;
    }
    return joined;
}

// The scanned fields' names and the labels proposed for them.
std::vector<std::pair<std::string, std::string>> proposals(const AsciiScan& scan) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& f : scan.fields)
        if (!f.match.empty())
            out.emplace_back(f.name, f.match);
    return out;
}

const std::string kGoogle =
    "Name,Given Name,Additional Name,Family Name,Name Prefix,Birthday,Notes,Group Membership,"
    "E-mail 1 - Type,E-mail 1 - Value,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,"
    "Phone 2 - Value,Address 1 - Type,Address 1 - Formatted,Address 1 - Street,Address 1 - City,"
    "Address 1 - Region,Address 1 - Postal Code,Address 1 - Country,Organization 1 - Name,"
    "Organization 1 - Title\r\n"
    "Ann Smith,Ann,B,Smith,Dr.,1970-04-01,\"Met at the fair\nlikes tea\",* myContacts,* Home,"
    "ann@example.com,Mobile,+1 555 0100,Work,+1 555 0101,Home,\"12 Main St\nBoston, MA 02134\","
    "12 Main St,Boston,MA,02134,USA,\"Acme, Inc.\",Manager\r\n"
    "Zoë Müller,Zoë,,Müller,,,,* myContacts,,,,,,,,,Hauptstr. 5,Köln,,50667,Germany,,\r\n";

const std::string kOutlook =
    "\"Title\",\"First Name\",\"Middle Name\",\"Last Name\",\"Suffix\",\"Company\",\"Department\","
    "\"Job Title\",\"Business Street\",\"Business Street 2\",\"Business City\",\"Business "
    "State\",\"Business Postal Code\",\"Business Country/Region\",\"Home Street\",\"Business "
    "Fax\",\"Business Phone\",\"Home Phone\",\"Mobile Phone\",\"E-mail Address\",\"Notes\"\r\n"
    "\"Mr.\",\"John\",\"Q\",\"Public\",\"\",\"Big \"\"Bob's\"\" Diner\",\"\",\"Owner\",\"1 Elm "
    "St\",\"Suite 4\",\"Salem\",\"OR\",\"97301\",\"United States of America\",\"9 Oak "
    "Ave\",\"555-0199\",\"555-0150\",\"555-0151\",\"555-0152\",\"jq@example.com\",\"\"\r\n";

TEST(FieldNames, FoldedNamesProposeFromTheTableOfExportNames) {
    EXPECT_EQ(foldName("E-mail Address"), foldName("email address"));
    EXPECT_EQ(foldName("Zip/Postal Code"), "zippostalcode");
    auto p = proposeMatches({"SURNAME", "given name", "Street", "Town", "post code", "Postcode",
                             "E-Mail", "notes", "Unknown"});
    // "post code" is "Postcode" without the blank: the first of the two wins.
    EXPECT_EQ(p, (Fields{"Last Name", "First Name", "Address 1", "City", "Zip/Postal Code", "",
                         "Email", "Memo", ""}));
}

TEST(FieldNames, TellingNamesWinAndEachFieldIsProposedOnce) {
    // Outlook: "Job Title" is the title, its "Title" the prefix; the business
    // address before the home one; the mobile goes to the second phone.
    auto p = proposeMatches({"Title", "First Name", "Last Name", "Job Title", "Home Street",
                             "Business Street", "Mobile Phone", "Business Phone", "Home Phone"});
    EXPECT_EQ(p, (Fields{"Prefix", "First Name", "Last Name", "Title", "", "Address 1", "Phone 2",
                         "Phone 1", ""}));
    // Two columns of one name: the first is proposed.
    EXPECT_EQ(proposeMatches({"City", "City"}), (Fields{"City", ""}));
    // The address file's own labels and field names match too.
    EXPECT_EQ(proposeMatches({"LNAME", "Comment 1", "Actual Date"}),
              (Fields{"Last Name", "Comment 1", "Actual Date"}));
}

TEST(DelimitedReader, QuotedFieldsHoldSeparatorsQuotesAndLineBreaks) {
    TempDir dir;
    writeFile(dir.file("a.csv"), "a,\"b,1\",\"say \"\"hi\"\"\"\r\n\"two\r\nlines\",x,\r\n\"\",,z");
    EXPECT_EQ(readAll(dir.file("a.csv"), ','),
              (Fields{"a|b,1|say \"hi\"", "two\r\nlines|x|", "||z"}));
    writeFile(dir.file("s.csv"), "\xEF\xBB\xBF\"Name\";City\nA;\"B;C\"\n");
    EXPECT_EQ(readAll(dir.file("s.csv"), ';'), (Fields{"Name|City", "A|B;C"}));
}

TEST(DelimitedReader, AQuoteNeverClosedSwallowsOnlyItsOwnLine) {
    TempDir dir;
    writeFile(dir.file("a.csv"), "a,b\n1,\"open\n2,x\n3,y\n");
    bool unbalanced = false;
    EXPECT_EQ(readAll(dir.file("a.csv"), ',', &unbalanced),
              (Fields{"a|b", "1|open", "2|x", "3|y"}));
    EXPECT_TRUE(unbalanced);
}

TEST(DelimitedReader, OverlongRecordsAreSkippedInBoundedMemory) {
    TempDir dir;
    writeFile(dir.file("a.csv"), "a,b\n" + std::string(kMaxLineBytes + 10, 'x') + "\n\"" +
                                     std::string(kMaxLineBytes + 10, 'y') + "\nc,d\n");
    DelimitedReader reader(dir.file("a.csv"), TextEncoding::Utf8, ',');
    std::vector<std::string> f;
    Fields got;
    while (reader.next(f))
        got.push_back(f.front());
    EXPECT_EQ(got, (Fields{"a", "c"}));
    EXPECT_EQ(reader.damagedCount(), 2u);
}

TEST(DelimitedFormat, SeparatorAndHeaderAreDetected) {
    TempDir dir;
    writeFile(dir.file("g.csv"), kGoogle);
    auto g = detectDelimitedFormat(dir.file("g.csv"));
    EXPECT_EQ(g.separator, ',');
    EXPECT_TRUE(g.header);
    writeFile(dir.file("s.csv"),
              "\xEF\xBB\xBFNom;Prénom;Adresse;Ville;Code postal\r\nDupont;Jean;1, rue "
              "Haute;Paris;75001\r\nMartin;Lise;2 rue Basse;Lyon;69001\r\n");
    auto s = detectDelimitedFormat(dir.file("s.csv"));
    EXPECT_EQ(s.separator, ';');
    EXPECT_TRUE(s.header); // names above values with digits
    writeFile(dir.file("t.txt"), "Last\tFirst\tZIP\nDoe\tJo\t12345\n");
    auto t = detectDelimitedFormat(dir.file("t.txt"));
    EXPECT_EQ(t.separator, '\t');
    EXPECT_TRUE(t.header);
    writeFile(dir.file("n.csv"), "Smith,Ann,12 Main St,02134\nDoe,Jo,3 Elm St,97301\n");
    auto n = detectDelimitedFormat(dir.file("n.csv"));
    EXPECT_EQ(n.separator, ',');
    EXPECT_FALSE(n.header);
    // Data without digits on the first line, with some further down: still data.
    writeFile(dir.file("m.csv"), "Smith,John,Boston\nAdams,Ann,12 Rome St\nLee,Bo,Oslo\n");
    EXPECT_FALSE(detectDelimitedFormat(dir.file("m.csv")).header);
}

TEST(DelimitedScan, HeaderNamesShowAndProposalsAreMade) {
    TempDir dir;
    writeFile(dir.file("o.csv"), kOutlook);
    auto scan = scanDelimitedFile(dir.file("o.csv"), {',', true});
    ASSERT_TRUE(scan.usable) << scan.message;
    ASSERT_EQ(scan.fields.size(), 21u);
    EXPECT_EQ(scan.fields[0].name, "Title");
    ASSERT_EQ(scan.sample.size(), 1u);
    EXPECT_EQ(scan.sample[0][5], "Big \"Bob's\" Diner");
    auto p = proposals(scan);
    EXPECT_NE(
        std::find(p.begin(), p.end(), std::pair<std::string, std::string>{"Job Title", "Title"}),
        p.end());
    EXPECT_NE(
        std::find(p.begin(), p.end(), std::pair<std::string, std::string>{"Business Fax", "Fax"}),
        p.end());
    // Names only, no record: nothing to import.
    writeFile(dir.file("h.csv"), "Last Name,First Name\r\n");
    EXPECT_FALSE(scanDelimitedFile(dir.file("h.csv"), {',', true}).usable);
}

struct Imported {
    ImportOutcome outcome;
    store::Status rebuilt;
};

Imported importWithProposals(store::Table& table, const std::string& path) {
    auto format = detectDelimitedFormat(path);
    auto scan = scanDelimitedFile(path, format);
    if (!scan.usable)
        throw std::runtime_error(scan.message);
    auto outcome = importDelimitedRecords(table, path, format, scan.fields, namedImportFields());
    return {outcome, rebuildAfterImport(table)};
}

TEST(DelimitedImport, GoogleContactsExportArrivesWithMemoDateAndAccents) {
    TempDir dir;
    writeFile(dir.file("g.csv"), kGoogle);
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    auto r = importWithProposals(table, dir.file("g.csv"));
    ASSERT_EQ(r.outcome.kind, ImportOutcome::Kind::Complete) << r.outcome.message;
    EXPECT_EQ(r.outcome.message, "Import complete. Imported 2 records.");
    ASSERT_TRUE(r.rebuilt);
    EXPECT_EQ(column(table, "LNAME"), (Fields{"Smith", "Müller"}));
    EXPECT_EQ(column(table, "FNAME"), (Fields{"Ann", "Zoë"}));
    EXPECT_EQ(column(table, "CITY"), (Fields{"Boston", "Köln"}));
    EXPECT_EQ(column(table, "ORG"), (Fields{"Acme, Inc.", ""}));
    EXPECT_EQ(column(table, "TITLE"), (Fields{"Manager", ""}));
    EXPECT_EQ(column(table, "PHONE"), (Fields{"+1 555 0100", ""}));
    EXPECT_EQ(column(table, "PHONE2"), (Fields{"+1 555 0101", ""}));
    EXPECT_EQ(column(table, "DATE"), (Fields{"19700401", ""}));
    table.first();
    EXPECT_EQ(*table.getMemo("MEMO"), "Met at the fair\r\nlikes tea");
    EXPECT_TRUE(table.tagArea("LNAME") > 0);
}

TEST(DelimitedImport, LineBreaksInOneLineFieldsBecomeBlanksAndBadDatesAreCounted) {
    TempDir dir;
    writeFile(dir.file("a.csv"), "Last Name;Street;Birthday\r\n\"Doe\";\"1 Elm St\r\nRear\";"
                                 "31/31/1999\r\nRoe;\"x\"\"y\";12/31/1996\r\n");
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    auto r = importWithProposals(table, dir.file("a.csv"));
    ASSERT_EQ(r.outcome.kind, ImportOutcome::Kind::Complete);
    EXPECT_EQ(column(table, "STREET"), (Fields{"1 Elm St Rear", "x\"y"}));
    EXPECT_EQ(column(table, "DATE"), (Fields{"", "19961231"}));
    EXPECT_NE(r.outcome.message.find("1 date could not be read"), std::string::npos);
}

TEST(DelimitedImport, DamagedFileGivesCountedMessageAndKeepsExistingRecords) {
    TempDir dir;
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    ASSERT_TRUE(table.append());
    ASSERT_TRUE(table.replace("LNAME", "Keep"));
    ASSERT_TRUE(table.post());
    writeFile(dir.file("d.csv"), "Last Name,City\nA,\"never closed\nB,Salem\n\x01\xFF\xFE,\x7F\n");
    auto r = importWithProposals(table, dir.file("d.csv"));
    ASSERT_EQ(r.outcome.kind, ImportOutcome::Kind::Complete);
    EXPECT_NE(r.outcome.message.find("1 line has a quote that is never closed"), std::string::npos)
        << r.outcome.message;
    EXPECT_NE(r.outcome.message.find("line 2."), std::string::npos);
    auto names = column(table, "LNAME");
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], "Keep");
    EXPECT_EQ(names[2], "B");
    // Not into itself.
    auto refused =
        importDelimitedRecords(table, dir.file("ADDR.DBF"), {',', true}, {}, namedImportFields());
    EXPECT_EQ(refused.kind, ImportOutcome::Kind::Refused);
    EXPECT_EQ(column(table, "LNAME").size(), 4u);
}

TEST(DelimitedImport, CancelStopsAfterTheRecordInHand) {
    TempDir dir;
    std::string text = "Last Name\n";
    for (int i = 0; i < 50; ++i)
        text += "N" + std::to_string(i) + "\n";
    writeFile(dir.file("c.csv"), text);
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    auto scan = scanDelimitedFile(dir.file("c.csv"), {',', true});
    int calls = 0;
    ImportHooks hooks;
    hooks.cancelled = [&] { return ++calls == 5; };
    auto o = importDelimitedRecords(table, dir.file("c.csv"), {',', true}, scan.fields,
                                    namedImportFields(), hooks);
    EXPECT_EQ(o.kind, ImportOutcome::Kind::Cancelled);
    EXPECT_EQ(o.message, "Import cancelled after importing 5 records.");
}

TEST(NamedExport, CsvRoundTripKeepsEveryFieldAndTheMemo) {
    TempDir dir;
    auto source = newAddressFile(dir.file("SRC.DBF"));
    const std::vector<std::vector<std::pair<std::string, std::string>>> records{
        {{"LNAME", "O'Neil"},
         {"FNAME", "Ann"},
         {"ORG", "Big \"Bob's\", Diner"},
         {"STREET", "12 Main St"},
         {"CITY", "Saint-Étienne"},
         {"ZIP", "02134"},
         {"PHONE", "555-0100"},
         {"PHONE2", "555-0101"},
         {"DATE", "19961231"},
         {"USER1", "one"},
         {"USER2", "two"},
         {"CODES", "VIP"},
         {"MEMO", "line 1\r\nline; 2"}},
        {{"LNAME", "Doe"}, {"PREFIX", "Mr."}, {"MIDDLE", "Q"}, {"EMAIL", "doe@example.com"}}};
    for (const auto& rec : records) {
        ASSERT_TRUE(source.append());
        for (const auto& [f, v] : rec)
            ASSERT_TRUE(source.replace(f, v));
        ASSERT_TRUE(source.post());
    }
    for (bool bom : {false, true}) {
        const std::string out = dir.file(bom ? "bom.csv" : "out.csv");
        auto copied = copyRecordsNamed(source, NamedFormat::CsvWithNames, out, {bom, ','});
        ASSERT_TRUE(copied.ok) << copied.message;
        EXPECT_EQ(copied.copied, 2u);
        EXPECT_EQ(slurp(out).compare(0, 3, "\xEF\xBB\xBF") == 0, bom);
        std::filesystem::remove(dir.file("NEW.DBF"));
        std::filesystem::remove(dir.file("NEW.CDX"));
        std::filesystem::remove(dir.file("NEW.FPT"));
        auto target = newAddressFile(dir.file("NEW.DBF"));
        auto r = importWithProposals(target, out);
        ASSERT_EQ(r.outcome.kind, ImportOutcome::Kind::Complete) << r.outcome.message;
        for (auto field : {"LNAME", "FNAME", "MIDDLE", "PREFIX", "ORG", "STREET", "CITY", "ZIP",
                           "PHONE", "PHONE2", "EMAIL", "DATE", "USER1", "USER2", "CODES"})
            EXPECT_EQ(column(target, field), column(source, field)) << field;
        target.first();
        source.first();
        EXPECT_EQ(*target.getMemo("MEMO"), *source.getMemo("MEMO"));
    }
    EXPECT_FALSE(copyRecordsNamed(source, NamedFormat::CsvWithNames, dir.file("SRC.FPT")).ok);
}

} // namespace
} // namespace qp::exchange
