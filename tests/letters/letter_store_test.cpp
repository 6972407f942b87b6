// The letter table: stored form of the RTF text, order, clone and delete,
// and damaged files that must stay as they are.

#include "letters/letter_store.h"
#include "letters_test_support.h"
#include "richtext/page_settings.h"
#include "richtext/text_finder.h"

#include <QFile>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace qp::letters {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(StoredRtf, BlankAddedWhenTheLengthIsAMultipleOfFour) {
    QByteArray text(4094, 'x');
    text += "\r\n"; // 4096 with the line break
    const QByteArray stored = StoredRtfText(text);
    ASSERT_EQ(stored.size(), 4097);
    EXPECT_TRUE(stored.endsWith(" \r\n"));
    EXPECT_EQ(StoredRtfText("abc"), "abc");
    EXPECT_EQ(StoredRtfText("abcd"), "abcd ");
    EXPECT_EQ(StoredRtfText(""), "");
    // LF line ends count as CR LF: "ab\n" is stored as "ab\r\n " (4 + 1).
    EXPECT_EQ(StoredRtfText("ab\n"), "ab \r\n");
}

TEST(LetterTable, StoresListsClonesAndDeletes) {
    testing::TLettersHome home;
    auto table = TLetterTable::Open();
    ASSERT_TRUE(table) << table.error();
    EXPECT_TRUE(table->Entries().empty());
    EXPECT_FALSE(table->HasCurrent());
    EXPECT_TRUE(QFile::exists(home.Path("sysdata/LETTER.CDX")));

    QTextDocument doc;
    testing::MakeLetter(doc, "Dear [First],\nThanks.");
    ASSERT_TRUE(table->Add("Zebra thanks", doc).ok());
    ASSERT_TRUE(table->Add("apple promo", doc).ok());
    ASSERT_TRUE(table->Add("Middle", doc).ok());

    // Every memo is stored under the blank rule.
    for (const auto& e : table->Entries()) {
        table->Go(e.Recno);
        auto rtf = table->Rtf();
        ASSERT_TRUE(rtf);
        EXPECT_NE(rtf->size() % 4, 0) << e.Description.toStdString();
    }

    ASSERT_TRUE(table->Find("zebra THANKS"));
    ASSERT_TRUE(table->Clone().ok());
    EXPECT_EQ(table->Description(), "Clone of Zebra thanks");
    QTextDocument cloned;
    ASSERT_TRUE(table->Load(cloned));
    EXPECT_EQ(cloned.toPlainText(), doc.toPlainText());

    ASSERT_TRUE(table->Find("Middle"));
    ASSERT_TRUE(table->Delete().ok());
    EXPECT_FALSE(table->Find("Middle"));
}

TEST(LetterTable, ListedInTheOrderAddedAfterReopening) {
    testing::TLettersHome home;
    {
        auto table = TLetterTable::Open();
        ASSERT_TRUE(table);
        QTextDocument doc;
        testing::MakeLetter(doc, "x");
        for (const char* d : {"Zebra", "apple", "Mango"})
            ASSERT_TRUE(table->Add(d, doc).ok());
    }
    auto table = TLetterTable::Open();
    ASSERT_TRUE(table);
    QStringList names;
    for (const auto& e : table->Entries())
        names << e.Description;
    EXPECT_EQ(names, (QStringList{"Zebra", "apple", "Mango"}));
    EXPECT_EQ(table->Description(), "Zebra");
}

TEST(LetterTable, PageSettingsSurviveTheMemo) {
    testing::TLettersHome home;
    auto table = TLetterTable::Open();
    ASSERT_TRUE(table);
    QTextDocument doc;
    testing::MakeLetter(doc, "Legal letter");
    richtext::TPageSettings page;
    page.PageWidth = 12240;
    page.PageHeight = 20160;
    page.LeftMargin = 720;
    richtext::SetPageSettings(doc, page);
    ASSERT_TRUE(table->Add("Legal", doc).ok());
    QTextDocument back;
    ASSERT_TRUE(table->Load(back));
    EXPECT_EQ(richtext::PageSettings(back), page);
}

TEST(LetterText, MalformedStoredTextLoadsWithoutCrashing) {
    QTextDocument doc;
    EXPECT_TRUE(LoadLetterText("Just some words", doc).isEmpty());
    EXPECT_EQ(doc.toPlainText(), "Just some words");
    EXPECT_FALSE(LoadLetterText("{\\rtf1\\ansi {\\b unfinished", doc).isEmpty());
    EXPECT_TRUE(doc.toPlainText().contains("unfinished"));
    LoadLetterText("{\\rtf1\\paperw0\\paperh-5 Text}", doc);
    const richtext::TPageSettings page = richtext::PageSettings(doc);
    EXPECT_GT(page.PageWidth, 0);
    EXPECT_GT(page.TextWidth(), 0);
    LoadLetterText(QByteArray(), doc);
    EXPECT_TRUE(doc.isEmpty());
}

TEST(LetterTable, DamagedTableIsReportedAndLeftAsItWas) {
    testing::TLettersHome home;
    {
        auto table = TLetterTable::Open();
        ASSERT_TRUE(table);
        QTextDocument doc;
        testing::MakeLetter(doc, "Kept letter");
        ASSERT_TRUE(table->Add("Kept", doc).ok());
    }
    const QString dbf = home.Path("sysdata/LETTER.DBF");
    QByteArray bytes = ReadAll(dbf);
    ASSERT_FALSE(bytes.isEmpty());
    // A header that claims a record length the fields do not add up to.
    QByteArray broken = bytes;
    broken[10] = char(0x7F);
    broken[11] = char(0x7F);
    {
        QFile f(dbf);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(broken);
    }
    const QByteArray cdx = ReadAll(home.Path("sysdata/LETTER.CDX"));
    const QByteArray fpt = ReadAll(home.Path("sysdata/LETTER.FPT"));
    auto table = TLetterTable::Open();
    if (table) {
        // Opened read-only as damaged: nothing can be written.
        QTextDocument doc;
        testing::MakeLetter(doc, "new");
        EXPECT_FALSE(table->Add("New", doc).ok());
    } else {
        EXPECT_NE(table.error().find("Unable to Open or Create LETTER.DBF"), std::string::npos);
    }
    EXPECT_EQ(ReadAll(dbf), broken);
    EXPECT_EQ(ReadAll(home.Path("sysdata/LETTER.CDX")), cdx);
    EXPECT_EQ(ReadAll(home.Path("sysdata/LETTER.FPT")), fpt);
}

TEST(LetterTable, DamagedMemoFileGivesAMessage) {
    testing::TLettersHome home;
    {
        auto table = TLetterTable::Open();
        ASSERT_TRUE(table);
        QTextDocument doc;
        testing::MakeLetter(doc, QString(600, QLatin1Char('w')));
        ASSERT_TRUE(table->Add("Long", doc).ok());
    }
    const QString fpt = home.Path("sysdata/LETTER.FPT");
    QByteArray bytes = ReadAll(fpt);
    ASSERT_GT(bytes.size(), 600);
    bytes.truncate(520); // the memo's block is cut off
    {
        QFile f(fpt);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    auto table = TLetterTable::Open();
    if (!table) {
        EXPECT_FALSE(table.error().empty());
    } else {
        QTextDocument doc;
        auto loaded = table->Load(doc);
        ASSERT_FALSE(loaded.ok());
        EXPECT_NE(loaded.error().find("Long"), std::string::npos) << loaded.error();
    }
    EXPECT_EQ(ReadAll(fpt), bytes);
}

} // namespace
} // namespace qp::letters
