// Find and replace across formatting runs, as the letter merge uses them.

#include "richtext/text_finder.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace qp::richtext;

namespace {

QTextCharFormat Bold() {
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    f.setFontPointSize(14);
    return f;
}
QTextCharFormat Italic() {
    QTextCharFormat f;
    f.setFontItalic(true);
    return f;
}

QTextCharFormat FormatAt(QTextDocument& doc, int position) {
    QTextCursor c(&doc);
    c.setPosition(position + 1);
    return c.charFormat();
}

// "Dear [Fi" in bold, "rst] x" in italic: the token spans two runs.
void SplitToken(QTextDocument& doc) {
    QTextCursor c(&doc);
    c.insertText("Dear ");
    c.insertText("[Fi", Bold());
    c.insertText("rst]", Italic());
    c.insertText(", hello.");
}

TEST(TextFinder, FindsAcrossRunsIgnoringCaseAndKeepsTheFirstCharactersFormat) {
    QTextDocument doc;
    SplitToken(doc);
    TTextFinder finder(doc);
    ASSERT_TRUE(finder.FindNext("[FIRST]"));
    EXPECT_EQ(finder.MatchStart(), 5);
    EXPECT_EQ(finder.MatchLength(), 7);
    EXPECT_EQ(finder.MatchFormat().fontWeight(), QFont::Bold);
    ASSERT_TRUE(finder.Replace("John"));
    EXPECT_EQ(PlainText(doc), "Dear John, hello.\n");
    for (int i = 5; i < 9; ++i) {
        EXPECT_EQ(FormatAt(doc, i).fontWeight(), QFont::Bold);
        EXPECT_DOUBLE_EQ(FormatAt(doc, i).fontPointSize(), 14);
        EXPECT_FALSE(FormatAt(doc, i).fontItalic());
    }
    EXPECT_FALSE(finder.FindNext("[first]"));
    finder.MoveToStart();
    EXPECT_FALSE(finder.FindNext("[first]", Qt::CaseSensitive));
    EXPECT_TRUE(finder.FindNext("JOHN"));
    EXPECT_FALSE(finder.FindNext("john", Qt::CaseSensitive));
}

TEST(TextFinder, ReplacementsWithLineBreaksEmptyValuesAndTheirOwnToken) {
    QTextDocument doc;
    QTextCursor(&doc).insertText("To: [Addr] end [x] [X]");
    TTextFinder finder(doc);
    ASSERT_TRUE(finder.FindNext("[addr]"));
    finder.Replace("Jane Doe\r\n1 Main St\r\n");
    EXPECT_EQ(PlainText(doc), "To: Jane Doe\n1 Main St\n end [x] [X]\n");
    EXPECT_EQ(doc.blockCount(), 3);

    // An empty value removes the token and keeps the spaces around it.
    finder.MoveToStart();
    while (finder.FindNext("[x]"))
        finder.Replace("");
    EXPECT_EQ(doc.lastBlock().text(), " end  ");

    // A value holding its own token does not loop: the search goes on after it.
    QTextDocument again;
    QTextCursor(&again).insertText("[A] [A]");
    EXPECT_EQ(ReplaceAll(again, "[a]", "x[A]y"), 2);
    EXPECT_EQ(PlainText(again), "x[A]y x[A]y\n");
}

TEST(TextFinder, ReplaceAllIsOneUndoStep) {
    QTextDocument doc;
    SplitToken(doc);
    QTextCursor(&doc).insertText("[first] ");
    const QString before = doc.toPlainText();
    EXPECT_EQ(ReplaceAll(doc, "[first]", "Ann"), 2);
    EXPECT_EQ(PlainText(doc), "Ann Dear Ann, hello.\n");
    doc.undo();
    EXPECT_EQ(doc.toPlainText(), before);
}

TEST(TextFinder, PlainTextIsOneParagraphALine) {
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText("one");
    c.insertText(QString(QChar(QChar::LineSeparator)) + "two");
    c.insertBlock();
    c.insertText("three\tfour");
    EXPECT_EQ(PlainText(doc), "one\ntwo\nthree\tfour\n");
}

} // namespace
