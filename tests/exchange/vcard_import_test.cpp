#include "exchange/field_names.h"
#include "exchange/named_export.h"
#include "exchange/vcard_import.h"
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

// A phone's export: version 2.1, quoted-printable over a soft line break,
// Latin-1 text, bare type parameters, a picture in base64.
const std::string kPhone21 =
    "BEGIN:VCARD\r\n"
    "VERSION:2.1\r\n"
    "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=C3=BCrgen;;Herr;\r\n"
    "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:J=C3=BCrgen M=C3=BCller\r\n"
    "TEL;CELL;PREF:+49 170 1234567\r\n"
    "TEL;WORK;FAX:+49 221 999\r\n"
    "TEL;HOME:+49 221 123\r\n"
    "ADR;HOME;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:;;Am Stadtgarten 5=0D=0A=\r\n"
    "Hinterhaus;K=F6ln;;50667;Germany\r\n"
    "NOTE;ENCODING=QUOTED-PRINTABLE:First line=0D=0ASecond=3B line\r\n"
    "PHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n"
    " /9j/4AAQSkZJRgABAQAAAQABAAD\r\n"
    "\r\n"
    "END:VCARD\r\n";

// Version 4.0 as address books write it: several addresses with types and
// preference, tel: URIs, escaped commas, folded lines, an anniversary.
const std::string kBook40 =
    "BEGIN:VCARD\n"
    "VERSION:4.0\n"
    "FN:Ann Smith\n"
    "N:Smith;Ann;B.;Dr.;\n"
    "ORG:Acme\\, Inc.;Sales\n"
    "TITLE:Manager\n"
    "item1.ADR;TYPE=home:;;9 Oak Ave;Salem;OR;97301;USA\n"
    "ADR;TYPE=work;PREF=1;LABEL=\"12 Main St\\nBoston\":;Suite 4;12 Main St;Bost\n"
    " on;MA;02134;USA\n"
    "TEL;VALUE=uri;TYPE=\"voice,work\":tel:+1-555-0100\n"
    "TEL;TYPE=fax:tel:+1-555-0199\n"
    "EMAIL;TYPE=work:ann@example.com\n"
    "BDAY:19700401\n"
    "ANNIVERSARY:1995-06-10\n"
    "END:VCARD\n"
    "BEGIN:VCARD\n"
    "VERSION:4.0\n"
    "FN:Acme Head Office\n"
    "ORG:Acme Head Office\n"
    "END:VCARD\n"
    "BEGIN:VCARD\n"
    "VERSION:4.0\n"
    "EMAIL:nobody@example.com\n"
    "END:VCARD\n";

std::string field(const ImportRecord& r, const std::string& name) {
    for (const auto& [f, v] : r)
        if (f == name)
            return v;
    return {};
}

std::vector<VCard> cards(const std::string& path) {
    VCardReader reader(path);
    std::vector<VCard> out;
    VCard card;
    while (reader.next(card))
        out.push_back(card);
    return out;
}

TEST(VCardReader, PropertyLinesParseGroupsParametersAndEscapes) {
    VCardProperty p;
    ASSERT_TRUE(parseVCardLine("item1.ADR;TYPE=\"work,pref\":;;1 Elm\\, Rear;Salem", p));
    EXPECT_EQ(p.name, "ADR");
    EXPECT_TRUE(p.hasType("WORK"));
    EXPECT_TRUE(p.preferred());
    EXPECT_EQ(p.components(), (Fields{"", "", "1 Elm, Rear", "Salem"}));
    ASSERT_TRUE(parseVCardLine("NOTE:a\\nb\\;c\\\\d", p));
    EXPECT_EQ(p.text(), "a\nb;c\\d");
    ASSERT_TRUE(parseVCardLine("TEL;WORK;FAX:1", p));
    EXPECT_TRUE(p.hasType("fax"));
    EXPECT_FALSE(p.preferred());
    EXPECT_FALSE(parseVCardLine("no colon here", p));
    EXPECT_FALSE(parseVCardLine(":value only", p));
}

TEST(VCardImport, Version21QuotedPrintableAndCharsets) {
    TempDir dir;
    writeFile(dir.file("p.vcf"), kPhone21);
    auto all = cards(dir.file("p.vcf"));
    ASSERT_EQ(all.size(), 1u);
    auto r = cardRecord(all[0]);
    EXPECT_EQ(field(r, "LNAME"), "Müller");
    EXPECT_EQ(field(r, "FNAME"), "Jürgen");
    EXPECT_EQ(field(r, "PREFIX"), "Herr");
    EXPECT_EQ(field(r, "STREET"), "Am Stadtgarten 5");
    EXPECT_EQ(field(r, "STREET2"), "Hinterhaus");
    EXPECT_EQ(field(r, "CITY"), "Köln");
    EXPECT_EQ(field(r, "ZIP"), "50667");
    EXPECT_EQ(field(r, "PHONE"), "+49 170 1234567");
    EXPECT_EQ(field(r, "PHONE2"), "+49 221 123");
    EXPECT_EQ(field(r, "FAX"), "+49 221 999");
    EXPECT_EQ(field(r, "MEMO"), "First line\r\nSecond; line");
}

TEST(VCardImport, Version40AddressChoiceDatesAndNamelessCards) {
    TempDir dir;
    writeFile(dir.file("b.vcf"), kBook40);
    auto all = cards(dir.file("b.vcf"));
    ASSERT_EQ(all.size(), 3u);
    auto preferred = cardRecord(all[0]);
    EXPECT_EQ(field(preferred, "ORG"), "Acme, Inc.");
    EXPECT_EQ(field(preferred, "MIDDLE"), "B.");
    EXPECT_EQ(field(preferred, "STREET"), "12 Main St");
    EXPECT_EQ(field(preferred, "STREET2"), "Suite 4");
    EXPECT_EQ(field(preferred, "CITY"), "Boston");
    EXPECT_EQ(field(preferred, "PHONE"), "+1-555-0100");
    EXPECT_EQ(field(preferred, "FAX"), "+1-555-0199");
    EXPECT_EQ(field(preferred, "DATE"), "");
    auto home = cardRecord(all[0], {CardAddress::Home, CardDate::Birthday});
    EXPECT_EQ(field(home, "STREET"), "9 Oak Ave");
    EXPECT_EQ(field(home, "DATE"), "19700401");
    EXPECT_EQ(field(cardRecord(all[0], {CardAddress::Work, CardDate::Anniversary}), "DATE"),
              "1995-06-10");
    // A company card keeps its name as the organization only.
    auto company = cardRecord(all[1]);
    EXPECT_EQ(field(company, "ORG"), "Acme Head Office");
    EXPECT_EQ(field(company, "LNAME"), "");
    EXPECT_TRUE(cardRecord(all[2]).empty());

    auto table = newAddressFile(dir.file("ADDR.DBF"));
    auto o = importVCards(table, dir.file("b.vcf"));
    ASSERT_EQ(o.kind, ImportOutcome::Kind::Complete);
    // The middle name "B." keeps its initial: the field is one character wide.
    EXPECT_EQ(o.message, "Import complete. Imported 2 records.\r\n1 card has neither a name nor "
                         "an address and was skipped.\r\n1 value was longer than its field and "
                         "was cut to fit: Middle (1).");
    ASSERT_TRUE(rebuildAfterImport(table));
    EXPECT_EQ(column(table, "LNAME"), (Fields{"Smith", ""}));
}

TEST(VCardImport, ValuesWiderThanTheirFieldAreCutAndCounted) {
    TempDir dir;
    writeFile(dir.file("w.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nN:" + std::string(31, 'L') +
                                     ";Ann\r\nADR:;;1 Main St;Springfield;IL;62704;\r\n"
                                     "END:VCARD\r\n");
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    auto o = importVCards(table, dir.file("w.vcf"));
    EXPECT_EQ(o.message, "Import complete. Imported 1 records.\r\n1 value was longer than its "
                         "field and was cut to fit: Last Name (1).");
    ASSERT_TRUE(rebuildAfterImport(table));
    EXPECT_EQ(column(table, "LNAME"), (Fields{std::string(30, 'L')}));
}

TEST(VCardImport, DamagedFilesAreCountedOrRefusedAndKeepTheRecords) {
    TempDir dir;
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    ASSERT_TRUE(table.append());
    ASSERT_TRUE(table.replace("LNAME", "Keep"));
    ASSERT_TRUE(table.post());
    ASSERT_TRUE(rebuildAfterImport(table));
    // A card without END before the next one, and one cut off at the end.
    writeFile(dir.file("u.vcf"), "BEGIN:VCARD\nN:Lost;One\nBEGIN:VCARD\nN:Kept;Two\nEND:VCARD\n"
                                 "BEGIN:VCARD\nN:Cut;Three\n");
    auto o = importVCards(table, dir.file("u.vcf"));
    ASSERT_EQ(o.kind, ImportOutcome::Kind::Complete);
    EXPECT_NE(o.message.find("2 cards have no END:VCARD line and were skipped: lines 1, 6."),
              std::string::npos)
        << o.message;
    ASSERT_TRUE(rebuildAfterImport(table));
    EXPECT_EQ(column(table, "LNAME"), (Fields{"Keep", "Kept"}));
    // Binary junk: no cards, refused before anything changes.
    writeFile(dir.file("j.vcf"), std::string("\x00\xFF\x01:\x7F\nBEGIN:VCAR\n", 16));
    auto junk = importVCards(table, dir.file("j.vcf"));
    EXPECT_EQ(junk.kind, ImportOutcome::Kind::Refused);
    EXPECT_EQ(junk.message, "There are no vCards in j.vcf");
    EXPECT_TRUE(table.tagArea("LNAME") > 0);
    EXPECT_EQ(importVCards(table, dir.file("ADDR.FPT")).kind, ImportOutcome::Kind::Refused);
    EXPECT_EQ(column(table, "LNAME").size(), 2u);
}

TEST(VCardImport, AThousandCardsAndTheVCardRoundTrip) {
    TempDir dir;
    auto source = newAddressFile(dir.file("SRC.DBF"));
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(source.append());
        ASSERT_TRUE(source.replace("LNAME", "Name" + std::to_string(i)));
        ASSERT_TRUE(source.replace("FNAME", i % 2 ? "Zoë" : "Ann"));
        ASSERT_TRUE(source.replace("PREFIX", "Dr."));
        ASSERT_TRUE(source.replace("ORG", "Smith, Jones; Partners"));
        ASSERT_TRUE(source.replace("STREET", std::to_string(i) + " Main St"));
        ASSERT_TRUE(source.replace("STREET2", "Suite \\ 4"));
        ASSERT_TRUE(source.replace("CITY", "Saint-Étienne"));
        ASSERT_TRUE(source.replace("ZIP", "02134"));
        ASSERT_TRUE(source.replace("PHONE", "555-0100"));
        ASSERT_TRUE(source.replace("PHONE2", "555-0101"));
        ASSERT_TRUE(source.replace("FAX", "555-0199"));
        ASSERT_TRUE(source.replace("EMAIL", "n@example.com"));
        ASSERT_TRUE(source.replace("DATE", "19961231"));
        ASSERT_TRUE(source.replace("CODES", "A,B"));
        ASSERT_TRUE(source.replace("USER1", "one"));
        if (i % 7 == 0) {
            ASSERT_TRUE(source.replace("MEMO", "A memo long enough to be folded over more than "
                                               "one line of the card\r\nand a second line"));
        }
        ASSERT_TRUE(source.post());
    }
    auto copied = copyRecordsNamed(source, NamedFormat::VCard, dir.file("out.vcf"));
    ASSERT_TRUE(copied.ok) << copied.message;
    const std::string text = slurp(dir.file("out.vcf"));
    for (std::size_t from = 0, nl; (nl = text.find("\r\n", from)) != std::string::npos;
         from = nl + 2)
        ASSERT_LE(nl - from, 75u);
    auto target = newAddressFile(dir.file("NEW.DBF"));
    ImportHooks hooks;
    std::vector<int> seen;
    hooks.progress = [&](int p) { seen.push_back(p); };
    auto o = importVCards(target, dir.file("out.vcf"), {}, hooks);
    ASSERT_EQ(o.kind, ImportOutcome::Kind::Complete) << o.message;
    EXPECT_EQ(o.imported, 1000u);
    EXPECT_EQ(seen.back(), 100);
    ASSERT_TRUE(rebuildAfterImport(target));
    for (auto f : {"LNAME", "FNAME", "PREFIX", "ORG", "STREET", "STREET2", "CITY", "ZIP", "PHONE",
                   "PHONE2", "FAX", "EMAIL", "DATE", "CODES", "USER1"})
        EXPECT_EQ(column(target, f), column(source, f)) << f;
    target.go(1);
    source.go(1);
    EXPECT_EQ(*target.getMemo("MEMO"), *source.getMemo("MEMO"));
}

} // namespace
} // namespace qp::exchange
