// The spell checker on the system's US English dictionary, the user
// dictionary in a temporary program folder, and the word iterator.

#include "richtext/richtext_test_support.h"
#include "spell/dictionary_location.h"
#include "spell/spell_checker.h"
#include "spell/word_iterator.h"
#include "support/peer_tools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace qp::spell;
using qp::testing::TRichTextHome;

namespace {

class SpellTest : public ::testing::Test {
protected:
    void SetUp() override {
        qunsetenv("QUILLPOST_DICTIONARY");
        if (!FindMainDictionary().Found())
            GTEST_SKIP() << "hunspell-en-us is not installed";
    }
    TRichTextHome Home;
};

TEST_F(SpellTest, KnownWordsCapitalsAndSuggestions) {
    TSpellChecker checker;
    ASSERT_TRUE(checker.IsAvailable());
    EXPECT_TRUE(checker.IsKnown("letter"));
    EXPECT_TRUE(checker.IsKnown("Letter")); // at a sentence start
    EXPECT_TRUE(checker.IsKnown("LETTER"));
    EXPECT_TRUE(checker.IsKnown("don't"));
    EXPECT_FALSE(checker.IsKnown("lettre"));
    EXPECT_FALSE(checker.IsKnown("tHE"));
    const QStringList s = checker.Suggestions("recieve");
    ASSERT_FALSE(s.isEmpty());
    EXPECT_LE(s.size(), kMaxSuggestions);
    EXPECT_TRUE(s.contains("receive"));
    EXPECT_LE(checker.Suggestions("abcdefghijklmnop").size(), kMaxSuggestions);
}

TEST_F(SpellTest, UserDictionaryIsCreatedAndKeptAcrossRuns) {
    const QString path = Home.File("quillpu.dct");
    {
        TSpellChecker checker;
        EXPECT_TRUE(QFileInfo::exists(path));
        EXPECT_EQ(QFileInfo(path).size(), 0);
        EXPECT_TRUE(checker.CanAddWords());
        EXPECT_FALSE(checker.IsKnown("Quillpost"));
        EXPECT_EQ(checker.AddWord("Quillpost"), "");
        EXPECT_EQ(checker.AddWord("zyxwvut"), "");
        EXPECT_EQ(checker.AddWord("zyxwvut"), ""); // already there: not written twice
        EXPECT_TRUE(checker.IsKnown("Quillpost"));
        EXPECT_FALSE(checker.AddWord("two words").isEmpty());
    }
    EXPECT_EQ(Home.Read("quillpu.dct"), "Quillpost\nzyxwvut\n");
    TSpellChecker again;
    EXPECT_TRUE(again.IsKnown("Quillpost"));
    EXPECT_TRUE(again.IsKnown("Zyxwvut")); // a user word at a sentence start

    // A file whose last line has no line break keeps its last word whole.
    ASSERT_TRUE(Home.Write("quillpu.dct", QByteArray("alpha\nbetaword")));
    TSpellChecker third;
    EXPECT_EQ(third.AddWord("gammaword"), "");
    EXPECT_EQ(Home.Read("quillpu.dct"), "alpha\nbetaword\ngammaword\n");
}

TEST_F(SpellTest, UserDictionaryFoundWhateverItsCase) {
    ASSERT_TRUE(Home.Write("QUILLPU.DCT", QByteArray("Grbzl\n")));
    TSpellChecker checker;
    EXPECT_TRUE(checker.IsKnown("Grbzl"));
    EXPECT_FALSE(QFileInfo::exists(Home.File("quillpu.dct")));
}

TEST_F(SpellTest, AnUnwritableUserDictionaryOnlyStopsAddingWords) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root can write anywhere";
    ASSERT_TRUE(Home.Write("quillpu.dct", QByteArray("Grbzl\n")));
    QFile::setPermissions(Home.File("quillpu.dct"), QFile::ReadOwner);
    TSpellChecker checker;
    EXPECT_TRUE(checker.IsAvailable());
    EXPECT_FALSE(checker.CanAddWords());
    EXPECT_FALSE(checker.UserDictionaryProblem().isEmpty());
    EXPECT_TRUE(checker.IsKnown("Grbzl"));
    EXPECT_FALSE(checker.AddWord("Other").isEmpty());
    EXPECT_EQ(Home.Read("quillpu.dct"), "Grbzl\n");
    QFile::setPermissions(Home.File("quillpu.dct"), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(SpellTest, AFolderInPlaceOfTheUserDictionaryOnlyStopsAddingWords) {
    ASSERT_TRUE(QDir(Home.File("")).mkdir("quillpu.dct"));
    TSpellChecker checker;
    EXPECT_TRUE(checker.IsAvailable());
    EXPECT_TRUE(checker.IsKnown("letter"));
    EXPECT_FALSE(checker.CanAddWords());
    EXPECT_TRUE(checker.UserDictionaryProblem().contains("quillpu.dct"));
    EXPECT_FALSE(checker.AddWord("Other").isEmpty());
    EXPECT_TRUE(QFileInfo(Home.File("quillpu.dct")).isDir());
}

TEST(SpellDisabled, WithoutAMainDictionaryCheckingIsOffAndSaysWhy) {
    TRichTextHome home;
    qputenv("QUILLPOST_DICTIONARY", home.File("nothing/xx_XX").toUtf8());
    TSpellChecker checker;
    EXPECT_FALSE(checker.IsAvailable());
    EXPECT_FALSE(checker.CanAddWords());
    EXPECT_TRUE(checker.DisabledReason().contains("xx_XX"));
    EXPECT_FALSE(checker.AddWord("word").isEmpty());

    const std::string exe = QP_BATCH_EXE;
    const auto r = qp::testing::runCommand(exe + " spell helo");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("xx_XX"), std::string::npos) << r.output;
    qunsetenv("QUILLPOST_DICTIONARY");
}

TEST_F(SpellTest, DictionaryNamedByTheEnvironment) {
    const TMainDictionary system = FindMainDictionary();
    QFile::copy(system.Aff, Home.File("mine.aff"));
    QFile::copy(system.Dic, Home.File("mine.dic"));
    qputenv("QUILLPOST_DICTIONARY", Home.File("mine.dic").toUtf8());
    const TMainDictionary named = FindMainDictionary();
    EXPECT_TRUE(named.Found());
    EXPECT_EQ(named.Aff, Home.File("mine.aff"));
    qunsetenv("QUILLPOST_DICTIONARY");
}

TEST_F(SpellTest, BatchSpellAndAdd) {
    const std::string exe = QP_BATCH_EXE;
    auto r = qp::testing::runCommand(exe + " spell the recieve Wrdzq letter");
    ASSERT_EQ(r.status, 0) << r.output;
    const auto lines = qp::testing::lines(r.output);
    ASSERT_EQ(lines.size(), 2u) << r.output;
    EXPECT_EQ(lines[0].rfind("recieve: ", 0), 0u);
    EXPECT_NE(lines[0].find("receive"), std::string::npos);
    EXPECT_EQ(lines[1].rfind("Wrdzq:", 0), 0u);
    r = qp::testing::runCommand(exe + " spell --add Wrdzq");
    ASSERT_EQ(r.status, 0) << r.output;
    r = qp::testing::runCommand(exe + " spell Wrdzq");
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(Home.Read("quillpu.dct"), "Wrdzq\n");
}

TEST_F(SpellTest, UnknownWordsOneAfterAnother) {
    QTextDocument doc;
    QTextCursor(&doc).insertText("Dear Jhon, thank you for the lettre.");
    TWordIterator words(doc);
    TSpellChecker checker;
    TWord w = NextUnknownWord(words, checker);
    EXPECT_EQ(w.Text, "Jhon");
    EXPECT_EQ(w.Position, 5);
    // Replace it as the spell check does and go on after the replacement.
    QTextCursor c(&doc);
    c.setPosition(w.Position);
    c.setPosition(w.Position + w.Length(), QTextCursor::KeepAnchor);
    c.insertText("John");
    words.MoveTo(c.position());
    EXPECT_EQ(NextUnknownWord(words, checker).Text, "lettre");
    EXPECT_TRUE(NextUnknownWord(words, checker).Text.isEmpty());

    // A letter whose words are all known has nothing to show.
    QTextDocument clean;
    QTextCursor(&clean).insertText("All of these words are known.");
    TWordIterator cleanWords(clean);
    EXPECT_TRUE(NextUnknownWord(cleanWords, checker).Text.isEmpty());
}

TEST(WordIterator, WordsWithTheirPositions) {
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText("Dear [First], ");
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText("don't", bold);
    c.insertText(" pay 2nd bill's 10 café.");
    c.insertBlock();
    c.insertText("  Next-line");
    TWordIterator words(doc);
    QStringList got;
    QList<int> positions;
    for (TWord w = words.Next(); !w.Text.isEmpty(); w = words.Next()) {
        got << w.Text;
        positions << w.Position;
        EXPECT_EQ(doc.toPlainText().mid(w.Position, w.Length()), w.Text);
    }
    EXPECT_EQ(got,
              QStringList({"Dear", "First", "don't", "pay", "bill's", "café", "Next", "line"}));
    EXPECT_EQ(positions.value(2), 14);

    // Replacing the word just delivered and going on from the end of the replacement.
    words.MoveToStart();
    TWord w = words.Next();
    QTextCursor sel(&doc);
    sel.setPosition(w.Position);
    sel.setPosition(w.Position + w.Length(), QTextCursor::KeepAnchor);
    sel.insertText("Dearest");
    words.MoveTo(sel.position());
    EXPECT_EQ(words.Next().Text, "First");
}

} // namespace
