// The label walk and the print request: positions, copies, pages, presort
// headings, the start record, stops, and the table put back afterwards.

#include "label_print_fixture.h"

#include "labels/presort.h"

#include <fstream>

using qp::labels::LabelPrintOutcome;
using qp::testing::LabelPrintFixture;

namespace {

class LabelPrint : public LabelPrintFixture {};

TEST_F(LabelPrint, CopiesSkipTheDeselectedPositions) {
    makeAddresses(3);
    writeLayout();
    auto r = request();
    r.copies = 2;
    r.positions.set(1, false);
    auto result = qp::labels::printLabels(r, hooks());
    ASSERT_EQ(result.outcome, LabelPrintOutcome::Done) << result.message;
    EXPECT_EQ(result.labels, 6);
    auto cells = placed();
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(cells[0].at(0), "Name1");
    EXPECT_EQ(cells[0].count(1), 0u);
    EXPECT_EQ(cells[0].at(2), "Name1");
    EXPECT_EQ(cells[0].at(3), "Name2");
    EXPECT_EQ(cells[0].at(4), "Name2");
    EXPECT_EQ(cells[0].at(5), "Name3");
    EXPECT_EQ(cells[0].at(6), "Name3");
}

TEST_F(LabelPrint, AFullSheetStartsANewPageOnlyWhenAnotherLabelIsNeeded) {
    makeAddresses(30);
    writeLayout();
    auto r = request();
    auto result = qp::labels::printLabels(r, hooks());
    ASSERT_EQ(result.outcome, LabelPrintOutcome::Done) << result.message;
    EXPECT_EQ(result.pages, 1);
    EXPECT_EQ(placed()[0].size(), 30u);

    makeAddresses(31);
    auto again = request();
    result = qp::labels::printLabels(again, hooks());
    EXPECT_EQ(result.pages, 2);
    EXPECT_EQ(placed()[1].at(0), "Name9"); // last in name order
}

TEST_F(LabelPrint, NoSelectedPositionPrintsNothing) {
    makeAddresses(2);
    writeLayout();
    auto r = request();
    r.positions.setAll(false);
    auto result = qp::labels::printLabels(r, hooks());
    EXPECT_EQ(result.outcome, LabelPrintOutcome::Failed);
    EXPECT_EQ(result.message, qp::labels::kNoPositionMessage);
    EXPECT_TRUE(pages.empty());
}

TEST_F(LabelPrint, PositionsFollowTheSheetWhateverItsSize) {
    makeAddresses(5);
    definition.across = 10;
    definition.down = 30;
    definition.labelWidth = 0.8f;
    definition.horizontalPitch = 0.8f;
    definition.labelHeight = 0.35f;
    definition.verticalPitch = 0.35f;
    writeLayout();
    auto r = request();
    r.positions = qp::labels::LabelPositions(3); // left from a smaller sheet
    auto result = qp::labels::printLabels(r, hooks());
    ASSERT_EQ(result.outcome, LabelPrintOutcome::Done) << result.message;
    EXPECT_EQ(r.positions.count(), 300);
    EXPECT_EQ(result.labels, 5);
    EXPECT_EQ(result.pages, 1);
}

TEST_F(LabelPrint, AMissingOrForeignLayoutFileIsRefused) {
    makeAddresses(2);
    auto r = request();
    auto result = qp::labels::printLabels(r, hooks());
    EXPECT_EQ(result.outcome, LabelPrintOutcome::Failed);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], qp::labels::kLayoutFileRemovedMessage);

    definition.layoutFile = "../ADD0001.DBF";
    auto foreign = request();
    result = qp::labels::printLabels(foreign, hooks());
    EXPECT_EQ(result.outcome, LabelPrintOutcome::Failed);
    EXPECT_NE(result.message.find("is not a name of the form BIN00001.L"), std::string::npos);
}

TEST_F(LabelPrint, TheTableIsPutBackAfterTheJob) {
    makeAddresses({"30301", "12345", "98101"});
    writeLayout();
    ASSERT_TRUE(table->setQuery("!ISDEL"));
    table->go(2);
    const int order = table->indexOrd();
    auto r = request();
    r.selection.choice = qp::store::SelectionChoice::Current;
    r.selection.startFromCurrent = true;
    auto result = qp::labels::printLabels(r, hooks());
    ASSERT_EQ(result.outcome, LabelPrintOutcome::Done) << result.message;
    EXPECT_EQ(result.labels, 1);
    EXPECT_EQ(placed()[0].at(0), "Name2");
    EXPECT_EQ(table->recNo(), 2u);
    EXPECT_EQ(table->dbFilter(), "!ISDEL");
    EXPECT_EQ(table->indexOrd(), order);
    EXPECT_FALSE(panel.Printing);
}

TEST_F(LabelPrint, AStartRecordOutsideTheSelectionStartsAtTheFirst) {
    makeAddresses(3);
    writeLayout();
    // The window shows a record that "All records" leaves out.
    table->go(2);
    ASSERT_TRUE(table->replaceLogical("ISDEL", true));
    ASSERT_TRUE(table->post());
    table->go(2);
    ASSERT_EQ(table->recNo(), 2u);
    auto r = request();
    r.selection.choice = qp::store::SelectionChoice::All;
    r.selection.startFromCurrent = true;
    auto result = qp::labels::printLabels(r, hooks());
    ASSERT_EQ(result.outcome, LabelPrintOutcome::Done) << result.message;
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0], qp::store::kOutOfRangeMessage);
    EXPECT_EQ(placed()[0].at(0), "Name1");
    EXPECT_EQ(result.labels, 2);
}

TEST_F(LabelPrint, AStopEndsTheWalkBeforeTheNextLabel) {
    makeAddresses(40);
    writeLayout();
    auto r = request();
    auto h = hooks();
    h.run = [](qp::print::TBaseReport& job, qp::labels::LabelWalk& walk) {
        walk.stopRequested = [&walk] { return walk.labelsPrinted() >= 32; };
        return job.Execute();
    };
    auto result = qp::labels::printLabels(r, h);
    EXPECT_EQ(result.outcome, LabelPrintOutcome::Done);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.labels, 32);
    EXPECT_EQ(result.pages, 2);
}

TEST_F(LabelPrint, PresortPutsEachHeadingOnAPositionOfItsOwn) {
    std::vector<std::string> zips(10, "12345");
    zips.push_back("12399"); // Albany's ADC
    zips.push_back("00012"); // in no ADC
    makeAddresses(zips);
    writeLayout();
    auto r = request();
    r.presort = true;
    r.copies = 3; // presorting prints one label per record
    r.positions.set(0, false);
    auto result = qp::labels::printLabels(r, hooks());
    ASSERT_EQ(result.outcome, LabelPrintOutcome::Done) << result.message;
    EXPECT_TRUE(r.presortDone);
    EXPECT_EQ(result.labels, 12);
    EXPECT_EQ(result.headings, 3);
    auto cells = placed()[0];
    EXPECT_EQ(cells.count(0), 0u);
    EXPECT_EQ(cells.at(1), "** 5-digit 12345");
    for (int p = 2; p < 12; ++p)
        EXPECT_EQ(cells.at(p).substr(0, 4), "Name") << p;
    EXPECT_EQ(cells.at(12), "** ADC ALBANY NY 120");
    EXPECT_EQ(cells.at(13), "Name11");
    EXPECT_EQ(cells.at(14), "** Unknown");
    EXPECT_EQ(cells.at(15), "Name12");
    EXPECT_EQ(cells.size(), 15u);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), qp::labels::kPresortOrderMessage);
}

TEST_F(LabelPrint, ASecondPresortJobReusesTheListAndACancelledOneStartsNothing) {
    makeAddresses(std::vector<std::string>(12, "12345"));
    writeLayout();
    auto r = request();
    r.presort = true;
    int runs = 0;
    auto h = hooks();
    h.presort = [&runs](qp::store::Table& t, const qp::store::RecordSelection& s,
                        const std::string& path) {
        ++runs;
        return qp::labels::runPresort(t, s, path);
    };
    ASSERT_EQ(qp::labels::printLabels(r, h).outcome, LabelPrintOutcome::Done);
    ASSERT_EQ(qp::labels::printLabels(r, h).outcome, LabelPrintOutcome::Done);
    EXPECT_EQ(runs, 1);

    r.presortDone = false;
    pages.clear();
    h.presort = [](qp::store::Table&, const qp::store::RecordSelection&, const std::string&) {
        qp::labels::PresortRun cancelled;
        cancelled.outcome = qp::labels::PresortOutcome::Cancelled;
        return cancelled;
    };
    EXPECT_EQ(qp::labels::printLabels(r, h).outcome, LabelPrintOutcome::Cancelled);
    EXPECT_TRUE(pages.empty());
    EXPECT_EQ(table->dbFilter(), "");
}

TEST_F(LabelPrint, TheAlignmentOffsetMovesEveryLabel) {
    makeAddresses(1);
    writeLayout();
    auto r = request();
    qp::labels::printLabels(r, hooks());
    auto firstText = [this] {
        for (const auto& c : pages.at(0).Commands)
            if (c.Kind == qp::print::dkText || c.Kind == qp::print::dkTextClipped)
                return c.Kind == qp::print::dkText ? c.P1 : c.Rect.topLeft();
        return QPointF();
    };
    const QPointF plain = firstText();
    auto moved = request();
    moved.offset = {0.05, -0.03};
    qp::labels::printLabels(moved, hooks());
    EXPECT_NEAR(firstText().x() - plain.x(), 0.05, 1e-6);
    EXPECT_NEAR(firstText().y() - plain.y(), -0.03, 1e-6);
}

} // namespace

namespace {

TEST_F(LabelPrint, PresortSeeksOnlyRecordsOfTheSelection) {
    makeAddresses({"12345", "12345", "12399", "12345"});
    writeLayout();
    ASSERT_TRUE(table->setQuery("LNAME<>\"Name1\" .and. LNAME<>\"Name3\""));
    table->first();
    auto r = request();
    r.selection.choice = qp::store::SelectionChoice::Filter;
    r.presort = true;
    auto result = qp::labels::printLabels(r, hooks());
    ASSERT_EQ(result.outcome, LabelPrintOutcome::Done) << result.message;
    std::vector<std::string> names;
    const auto cells = placed();
    for (const auto& [p, text] : cells.at(0))
        if (text.rfind("Name", 0) == 0)
            names.push_back(text);
    EXPECT_EQ(names, (std::vector<std::string>{"Name2", "Name4"}));
    EXPECT_EQ(table->dbFilter(), "LNAME<>\"Name1\" .and. LNAME<>\"Name3\"");
}

} // namespace

namespace {

TEST_F(LabelPrint, ThePreviewOutlinesTheStockButNeverDrawsIt) {
    makeAddresses(2);
    writeLayout();
    auto r = request();
    std::vector<qp::print::TPreviewOutline> outlines;
    auto h = hooks();
    h.showPreview = [&](const qp::print::TStoredJob& job) {
        pages = job.Pages;
        outlines = job.Outlines;
    };
    auto result = qp::labels::printLabels(r, h);
    ASSERT_EQ(result.outcome, LabelPrintOutcome::Done) << result.message;
    ASSERT_EQ(outlines.size(), std::size_t(qp::labels::positionsPerSheet(definition)));
    const auto last = qp::labels::positionOrigin(definition, int(outlines.size()) - 1);
    EXPECT_NEAR(outlines.back().Rect.left(), last.x, 1e-6);
    EXPECT_NEAR(outlines.back().Rect.top(), last.y, 1e-6);
    EXPECT_NEAR(outlines.back().Rect.width(), definition.labelWidth, 1e-6);
    // The pages hold the labels' text only: no frame reaches paper.
    for (const auto& page : pages)
        for (const auto& c : page.Commands)
            EXPECT_TRUE(c.Kind == qp::print::dkText || c.Kind == qp::print::dkTextClipped);
}

TEST_F(LabelPrint, ClearedPositionsCanHoldForTheFirstSheetOnly) {
    makeAddresses(40);
    writeLayout();
    auto r = request();
    for (int p = 0; p < 5; ++p)
        r.positions.set(p, false);
    r.firstSheetOnly = true;
    auto result = qp::labels::printLabels(r, hooks());
    ASSERT_EQ(result.outcome, LabelPrintOutcome::Done) << result.message;
    ASSERT_EQ(result.pages, 2);
    auto cells = placed();
    EXPECT_EQ(cells[0].size(), 25u);
    EXPECT_EQ(cells[0].count(4), 0u);
    EXPECT_EQ(cells[1].size(), 15u);
    EXPECT_EQ(cells[1].count(0), 1u); // the second sheet starts at position 1
}

} // namespace
