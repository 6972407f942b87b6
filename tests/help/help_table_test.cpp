// Entry tables: the text form and the redirects.
#include "help/help_table.h"

#include <gtest/gtest.h>

using namespace qp::help;

namespace {

QString textOf(const TODSHelpText& t, const char* name) {
    const TODSHelpEntry* e = t.find(QString::fromLatin1(name));
    return e ? *e->data.text : QStringLiteral("<none>");
}

} // namespace

TEST(HelpTable, ParsesNamesTextsContextsAndContinuations) {
    const auto r = ParseHelpTable(QStringLiteral("# a comment\n"
                                                 "@MaxWidth: 200\n"
                                                 "qCity: The city\n"
                                                 "   of the record.\n"
                                                 "\n"
                                                 "qZip [1033]: Two\\nlines\r\n"
                                                 "Empty:\n"
                                                 "\"Comments 1 & 2\": By caption\n"));
    ASSERT_TRUE(r.errors.isEmpty()) << r.errors.join(';').toStdString();
    EXPECT_EQ(r.table.maxWidth, 200);
    ASSERT_EQ(r.table.entries.size(), 4u);
    EXPECT_EQ(r.table.entries[0].name, "qCity");
    EXPECT_EQ(*r.table.entries[0].data.text, "The city of the record.");
    EXPECT_EQ(r.table.entries[0].data.helpContext, 0);
    EXPECT_EQ(*r.table.entries[1].data.text, "Two\nlines");
    EXPECT_EQ(r.table.entries[1].data.helpContext, 1033);
    EXPECT_FALSE(r.table.entries[2].data.text.has_value());
    EXPECT_EQ(r.table.entries[3].name, "Comments 1 & 2");
}

TEST(HelpTable, ReportsBadLinesAndKeepsTheRest) {
    const auto r = ParseHelpTable(QString("  orphan continuation\n"
                                          "no colon here\n"
                                          "@Colour: 5\n"
                                          "Good: text\n"
                                          "Long: ->") +
                                  QString(81, QLatin1Char('x')) + "\n");
    EXPECT_EQ(r.errors.size(), 4);
    EXPECT_TRUE(r.errors[0].startsWith("line 1:"));
    EXPECT_TRUE(r.errors[3].startsWith("line 5:"));
    EXPECT_EQ(textOf(r.table, "Good"), "text");
}

TEST(HelpTable, RedirectsFollowToTheNamedEntry) {
    TODSHelpText t;
    t.add("qCityLabel", QStringLiteral("->qCity"));
    t.add("qCity", QStringLiteral("City text"));
    t.add("SkipZip", QStringLiteral("->SkipLabel"));
    t.add("SkipState", QStringLiteral("->SkipZip"));
    t.add("SkipLabel", QStringLiteral("Skip text"));
    EXPECT_EQ(textOf(t, "qCityLabel"), "City text");
    EXPECT_EQ(textOf(t, "SkipState"), "Skip text"); // two hops
    EXPECT_EQ(textOf(t, "qcity"), "<none>");        // letter case counts
}

TEST(HelpTable, EntriesWithoutTextArePassedOverAndTheScanRestarts) {
    TODSHelpText t;
    t.add("A", std::nullopt);
    t.add("B", QStringLiteral("B text"));
    t.add("A", QStringLiteral("second A"));
    t.add("C", QString());
    EXPECT_EQ(textOf(t, "A"), "second A");
    EXPECT_EQ(textOf(t, "C"), "<none>");
}

TEST(HelpTable, RedirectToAControlWithoutEntryOrACycleGivesNothing) {
    TODSHelpText t;
    t.add("Dead", QStringLiteral("->Nowhere"));
    t.add("Empty", QStringLiteral("->Blank"));
    t.add("Blank", std::nullopt);
    t.add("Ping", QStringLiteral("->Pong"));
    t.add("Pong", QStringLiteral("->Ping"));
    t.add("Self", QStringLiteral("->Self"));
    EXPECT_FALSE(t.resolve("Dead"));
    EXPECT_FALSE(t.resolve("Empty"));
    EXPECT_FALSE(t.resolve("Ping"));
    EXPECT_FALSE(t.resolve("Self"));
}
