// The merge: token values of one record, tokens found in any letter case and
// across formatting, replaced in their own format, in one pass.

#include "letters/merge_fields.h"
#include "letters_test_support.h"
#include "richtext/text_finder.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace qp::letters {
namespace {

TMergeRecord Record(const testing::TRecordValues& v) {
    auto get = [&](const char* k) {
        auto it = v.find(k);
        return it == v.end() ? QString() : QString::fromStdString(it->second);
    };
    TMergeRecord r;
    r.Prefix = get("PREFIX");
    r.First = get("FNAME");
    r.Middle = get("MIDDLE");
    r.Last = get("LNAME");
    r.Title = get("TITLE");
    r.Org = get("ORG");
    r.Street = get("STREET");
    r.Street2 = get("STREET2");
    r.City = get("CITY");
    r.State = get("STATE");
    r.Zip = get("ZIP");
    r.Country = get("COUNTRY");
    r.Phone = get("PHONE");
    r.Phone2 = get("PHONE2");
    r.Fax = get("FAX");
    r.Email = get("EMAIL");
    r.User1 = get("USER1");
    r.User2 = get("USER2");
    return r;
}

QString Merge(const QString& text, const TMergeRecord& r, const QDate& d = QDate(2024, 1, 5)) {
    QTextDocument doc;
    testing::MakeLetter(doc, text);
    ReplaceTokens(doc, r, d);
    QString plain = richtext::PlainText(doc);
    plain.chop(1);
    return plain;
}

TEST(MergeValues, EveryTokenOfOneRecord) {
    const TMergeRecord r = Record(testing::JohnJones());
    const QDate d(2024, 1, 5);
    EXPECT_EQ(TokenValue("Full Name", r, d), "Mr. John A. Jones ");
    EXPECT_EQ(TokenValue("First", r, d), "John");
    EXPECT_EQ(TokenValue("Last", r, d), "Jones");
    EXPECT_EQ(TokenValue("Middle", r, d), "A");
    EXPECT_EQ(TokenValue("Prefix", r, d), "Mr.");
    EXPECT_EQ(TokenValue("Title", r, d), "Director");
    EXPECT_EQ(TokenValue("Organization", r, d), "Acme Corp");
    EXPECT_EQ(TokenValue("Street", r, d), "12 Elm St");
    EXPECT_EQ(TokenValue("Street 2", r, d), "Suite 4");
    EXPECT_EQ(TokenValue("City+State+Zip", r, d), "Springfield IL 62701");
    EXPECT_EQ(TokenValue("City", r, d), "Springfield");
    EXPECT_EQ(TokenValue("State", r, d), "IL");
    EXPECT_EQ(TokenValue("Province", r, d), "IL");
    EXPECT_EQ(TokenValue("Zip", r, d), "62701");
    EXPECT_EQ(TokenValue("Postal Code", r, d), "62701");
    EXPECT_EQ(TokenValue("Country", r, d), "USA");
    EXPECT_EQ(TokenValue("Phone", r, d), "555-0100");
    EXPECT_EQ(TokenValue("Phone 2", r, d), "555-0101");
    EXPECT_EQ(TokenValue("Fax", r, d), "555-0102");
    EXPECT_EQ(TokenValue("E-Mail", r, d), "john@example.com");
    EXPECT_EQ(TokenValue("Long Date", r, d), "Jan 5, 2024");
    EXPECT_FALSE(TokenValue("Today's Date", r, d).isEmpty());
    EXPECT_EQ(TokenValue("Comment 1", r, d), "Gold");
    EXPECT_EQ(TokenValue("Comment 2", r, d), "Since 1998");
    EXPECT_EQ(TokenValue("Name and Address", r, d),
              "Mr. John A. Jones \r\nDirector,  Acme Corp\r\n12 Elm St\r\nSuite 4\r\n"
              "Springfield IL  62701\r\nUSA\r\n");
    EXPECT_TRUE(TokenValue("Codes", r, d).isNull());
    // Every name of both lists has a value.
    for (const char* n : kMergeTokenNames)
        EXPECT_FALSE(TokenValue(QLatin1String(n), r, d).isNull()) << n;
    for (const char* n : kInsertFieldNames)
        EXPECT_FALSE(TokenValue(QLatin1String(n), r, d).isNull()) << n;
}

TEST(MergeValues, NamesAndAddressLinesLeaveOutWhatIsEmpty) {
    testing::TRecordValues v = testing::JohnJones();
    v.erase("MIDDLE");
    EXPECT_EQ(FullName(Record(v)), "Mr. John Jones ");
    const TMergeRecord zipOnly = Record({{"ZIP", "62701"}});
    EXPECT_EQ(NameAndAddress(zipOnly), "62701\r\n");
    EXPECT_EQ(FullName(zipOnly), "");
    const TMergeRecord noState = Record({{"CITY", "Paris"}, {"ZIP", "75001"}, {"TITLE", "Chef"}});
    EXPECT_EQ(NameAndAddress(noState), "Chef\r\nParis  75001\r\n");
    EXPECT_EQ(TokenValue("City+State+Zip", noState, {}), "Paris  75001");
    // Leading blanks of a part go; a part that is only blanks adds nothing.
    EXPECT_EQ(FullName(Record({{"FNAME", "  Ann"}, {"LNAME", "Lee"}})), "Ann Lee ");
    EXPECT_EQ(LongDate(QDate(2023, 12, 25)), "Dec 25, 2023");
}

TEST(MergeReplace, CaseEmptyFieldsAndUnknownNames) {
    testing::TRecordValues v = testing::JohnJones();
    v["USER2"] = "";
    const TMergeRecord r = Record(v);
    EXPECT_EQ(Merge("Dear [first] [LAST],", r), "Dear John Jones,");
    EXPECT_EQ(Merge("a [Comment 2] b", r), "a  b");
    EXPECT_EQ(Merge("[Codes] [[First]] [] [First", r), "[Codes] [John] [] [First");
    EXPECT_EQ(Merge("No tokens here.", r), "No tokens here.");
}

TEST(MergeReplace, ValuesAreNeverSearchedAgain) {
    testing::TRecordValues v = testing::JohnJones();
    v["ORG"] = "[Phone]";
    v["FNAME"] = "[Last]";
    const TMergeRecord r = Record(v);
    EXPECT_EQ(Merge("[Organization] / [First] / [Phone]", r), "[Phone] / [Last] / 555-0100");
    // A value holding its own token does not loop.
    v["LNAME"] = "[Last]";
    EXPECT_EQ(Merge("[Last][Last]", Record(v)), "[Last][Last]");
}

TEST(MergeReplace, KeepsTheTokensFormatAcrossRuns) {
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText("Dear ");
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText("[Fir", bold);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    c.insertText("st]", italic);
    c.insertText(" and ", QTextCharFormat());
    c.insertText("[Last]", bold);
    EXPECT_EQ(ReplaceTokens(doc, Record(testing::JohnJones()), QDate(2024, 1, 5)), 2);
    EXPECT_EQ(doc.toPlainText(), "Dear John and Jones");
    QTextCursor at(&doc);
    at.setPosition(6); // inside "John"
    EXPECT_EQ(at.charFormat().fontWeight(), QFont::Bold);
    at.setPosition(doc.toPlainText().indexOf("Jones") + 2);
    EXPECT_EQ(at.charFormat().fontWeight(), QFont::Bold);
    at.setPosition(doc.toPlainText().indexOf(" and ") + 2);
    EXPECT_NE(at.charFormat().fontWeight(), QFont::Bold);
}

TEST(MergeReplace, AddressBlockBecomesParagraphsInTheTokensParagraphFormat) {
    QTextDocument doc;
    testing::MakeLetter(doc, "Top\n[Name and Address]\nBottom");
    QTextCursor c(doc.findBlockByNumber(1));
    QTextBlockFormat f;
    f.setLeftMargin(40);
    f.setAlignment(Qt::AlignRight);
    c.setBlockFormat(f);
    ReplaceTokens(doc, Record(testing::JohnJones()), QDate(2024, 1, 5));
    // Six address lines, the block's own line break gives an empty paragraph.
    EXPECT_EQ(doc.blockCount(), 3 + 6);
    EXPECT_EQ(doc.findBlockByNumber(1).text(), "Mr. John A. Jones ");
    EXPECT_EQ(doc.findBlockByNumber(5).text(), "Springfield IL  62701");
    for (int i = 1; i <= 7; ++i) {
        EXPECT_EQ(doc.findBlockByNumber(i).blockFormat().leftMargin(), 40) << i;
        EXPECT_EQ(doc.findBlockByNumber(i).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                  Qt::AlignRight)
            << i;
    }
    EXPECT_EQ(doc.lastBlock().text(), "Bottom");
}

} // namespace
} // namespace qp::letters
