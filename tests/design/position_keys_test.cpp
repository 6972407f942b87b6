// Typed positions and sizes, arrow-key moves at any zoom, and the one tool
// table the label, envelope and report panels place their objects with.
#include "design/base_panel.h"
#include "design/design_units.h"
#include "design/placing_tools.h"
#include "design/position_size.h"
#include "design/shapes.h"
#include "design/text_labels.h"
#include "support/program_home.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>

using namespace qp::design;

namespace {

struct Positions : ::testing::Test {
    qp::test::ScopedProgramHome Home;
    TGLabelPanel P;
    int Changes = 0;
    void SetUp() override {
        P.SetSize(600, 400);
        P.LabelChangedEvent = [this] { ++Changes; };
    }
    TGGraphicControl* Add(int l, int t, int w, int h) {
        auto* o = P.InsertLoaded(std::make_unique<TGLabelShapes>());
        o->SetBounds(l, t, w, h);
        return o;
    }
    // One press and release, closed as the widget closes an event's step.
    void Press(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        P.KeyDown(k, m);
        P.KeyUp();
        P.CommitUndoStep();
    }
};

TEST(DesignLength, MillimetresConvertAtTwentyFivePointFourPerInch) {
    EXPECT_EQ(TDesignLength::FromMillimetres(25.4).RoundedPixels(), PixelsPerInch);
    EXPECT_DOUBLE_EQ(TDesignLength::FromInches(2).Millimetres(), 50.8);
    EXPECT_EQ(TDesignLength::FromMillimetres(10).RoundedPixels(), 38); // 37.795...
    // Two decimals of a millimetre name every design pixel exactly.
    for (int px = 0; px < 2000; ++px) {
        const double mm = std::round(TDesignLength::FromPixels(px).Millimetres() * 100) / 100;
        const double in = std::round(TDesignLength::FromPixels(px).Inches() * 1000) / 1000;
        ASSERT_EQ(TDesignLength::FromMillimetres(mm).RoundedPixels(), px);
        ASSERT_EQ(TDesignLength::FromInches(in).RoundedPixels(), px);
    }
}

TEST_F(Positions, OneObjectTakesTheTypedBoundsAndUndoGivesThemBack) {
    auto* o = Add(10, 20, 30, 40);
    P.ResetUndo();
    const TPositionTarget t = PositionTarget(P, *o);
    EXPECT_EQ(t.Bounds, QRect(10, 20, 30, 40));
    EXPECT_FALSE(t.Group);
    ApplyPosition(P, *o, QRect(96, 48, 192, 24));
    P.CommitUndoStep();
    EXPECT_EQ(o->BoundsRect(), QRect(96, 48, 192, 24));
    EXPECT_GT(Changes, 0);
    ASSERT_TRUE(P.Undo());
    EXPECT_EQ(P.Object(0)->BoundsRect(), QRect(10, 20, 30, 40));
    ASSERT_TRUE(P.Redo());
    EXPECT_EQ(P.Object(0)->BoundsRect(), QRect(96, 48, 192, 24));
}

TEST_F(Positions, TypedBoundsAreStoredExactlyWhateverTheZoom) {
    auto* o = Add(10, 20, 30, 40);
    P.SetZoom(1.5f);
    EXPECT_EQ(P.DesignBounds(*o), QRect(10, 20, 30, 40));
    ApplyPosition(P, *o, QRect(37, 41, 53, 67));
    EXPECT_EQ(o->BoundsRect(), QRect(56, 62, 80, 100)); // halves to even
    EXPECT_EQ(P.DesignBounds(*o), QRect(37, 41, 53, 67));
    P.SetZoom(1.0f);
    EXPECT_EQ(o->BoundsRect(), QRect(37, 41, 53, 67));
}

TEST_F(Positions, ASelectionMovesAsAWholeAndKeepsItsSizes) {
    auto* a = Add(10, 20, 30, 40);
    auto* b = Add(100, 5, 20, 20);
    b->SetLocked(true); // a typed move is a command, as alignment is
    P.AddToSelection(a);
    P.AddToSelection(b);
    const TPositionTarget t = PositionTarget(P, *b);
    EXPECT_TRUE(t.Group);
    EXPECT_EQ(t.Count, 2);
    EXPECT_EQ(t.Bounds, QRect(QPoint(10, 5), QPoint(119, 59)));
    ApplyPosition(P, *b, QRect(50, 50, 1, 1));
    EXPECT_EQ(a->BoundsRect(), QRect(50, 65, 30, 40));
    EXPECT_EQ(b->BoundsRect(), QRect(140, 50, 20, 20));
    EXPECT_EQ(P.SelectionCount(), 2);
    // An object outside the selection is placed on its own.
    auto* c = Add(300, 300, 10, 10);
    EXPECT_FALSE(PositionTarget(P, *c).Group);
}

TEST_F(Positions, ArrowsMoveOneDesignPixelEvenWhenZoomed) {
    auto* o = Add(40, 40, 30, 30);
    P.AddToSelection(o);
    Press(Qt::Key_Right);
    EXPECT_EQ(o->Left(), 41);
    P.SetZoom(2.0f);
    P.AddToSelection(o);
    Press(Qt::Key_Right);
    Press(Qt::Key_Down);
    EXPECT_EQ(o->Left(), 84);
    P.SetZoom(1.5f);
    P.AddToSelection(o);
    for (int i = 0; i < 3; ++i)
        Press(Qt::Key_Left);
    Press(Qt::Key_Right, Qt::ShiftModifier); // one design pixel wider
    P.SetZoom(1.0f);
    EXPECT_EQ(o->BoundsRect(), QRect(39, 41, 31, 30));
}

TEST_F(Positions, CtrlArrowMovesOneGridStepAndEachPressIsOneUndoStep) {
    auto* o = Add(40, 40, 30, 30);
    P.ResetUndo();
    P.AddToSelection(o);
    Press(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(o->Left(), 44);
    P.SetGridSize(gs8x8);
    Press(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(o->Top(), 48);
    // A held key repeats its presses before the one release: one step.
    for (int i = 0; i < 5; ++i)
        P.KeyDown(Qt::Key_Left, Qt::NoModifier);
    P.KeyUp();
    P.CommitUndoStep();
    EXPECT_EQ(o->Left(), 39);
    ASSERT_TRUE(P.Undo());
    EXPECT_EQ(P.Object(0)->BoundsRect(), QRect(44, 48, 30, 30));
    ASSERT_TRUE(P.Undo());
    EXPECT_EQ(P.Object(0)->BoundsRect(), QRect(44, 40, 30, 30));
    ASSERT_TRUE(P.Undo());
    EXPECT_EQ(P.Object(0)->BoundsRect(), QRect(40, 40, 30, 30));
    EXPECT_FALSE(P.Undo());
}

TEST_F(Positions, ArrowsStopAtThePanelEdges) {
    auto* o = Add(2, 2, 30, 30);
    P.AddToSelection(o);
    Press(Qt::Key_Left, Qt::ControlModifier);
    Press(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(o->BoundsRect(), QRect(0, 0, 30, 30));
    P.SetZoom(2.0f);
    P.AddToSelection(o);
    Press(Qt::Key_Left);
    P.SetZoom(1.0f);
    EXPECT_EQ(o->BoundsRect(), QRect(0, 0, 30, 30));
}

TEST(PlacingTools, OneTableServesEveryPanelKind) {
    for (const char* state :
         {"psLabel", "psMultiLineLabel", "psCounterLabel", "psSymbolLabel", "psDateTime",
          "psPageNumber", "psRectangle", "psEllipse", "psRoundRectangle", "psLine", "psImage",
          "psPostNetBarCode", "psIMbBarCode", "psFIMBarCode", "psDataLabel", "psMultiLineDataLabel",
          "psAddressLabel"}) {
        const TPlacingTool* t = FindPlacingTool(state);
        ASSERT_NE(t, nullptr) << state;
        EXPECT_TRUE(bool(t->place)) << state;
        EXPECT_FALSE(t->objectName.isEmpty()) << state;
    }
    ASSERT_NE(FindPlacingTool(kPointingState), nullptr);
    EXPECT_FALSE(bool(FindPlacingTool(kPointingState)->place));
    EXPECT_EQ(FindPlacingTool("psNothing"), nullptr);
    const auto some = PlacingTools({"psLine", "psNothing", "psLabel"});
    ASSERT_EQ(some.size(), 2u);
    EXPECT_EQ(some[0].state, "psLine");
    EXPECT_EQ(PlacingRect(QRect(QPoint(5, 5), QPoint(10, 8))), QRect(QPoint(5, 5), QPoint(55, 20)));
    EXPECT_EQ(PlacingRect(QRect(QPoint(5, 5), QPoint(100, 80))),
              QRect(QPoint(5, 5), QPoint(100, 80)));
}

TEST(PlacingTools, EveryLabelToolPlacesItsKind) {
    qp::test::ScopedProgramHome home;
    const std::pair<TLPanelState, const char*> kinds[] = {
        {psLabel, "TGPLabel"},
        {psCounterLabel, "TGCounterLabel"},
        {psSymbolLabel, "TGSymbolLabel"},
        {psDataLabel, "TGPDLabel"},
        {psMultiLineLabel, "TGMultiLineLabel"},
        {psMultiLineDataLabel, "TGDMultiLineLabel"},
        {psAddressLabel, "TGDMultiLineAddressLabel"},
        {psRectangle, "TGLabelShapes"},
        {psEllipse, "TGLabelShapes"},
        {psRoundRectangle, "TGLabelShapes"},
        {psLine, "TGLineShape"},
        {psImage, "TGImage"},
        {psPostNetBarCode, "TGPostNetBarCode"},
        {psIMbBarCode, "TGIMbBarCode"}};
    TGLabelPanel panel;
    panel.SetSize(800, 800);
    for (auto [state, cls] : kinds) {
        const int before = panel.ObjectCount();
        panel.SetPanelState(state);
        panel.CreateObjectInRect(QRect(QPoint(10, 10), QPoint(200, 100)));
        ASSERT_EQ(panel.ObjectCount(), before + 1) << cls;
        EXPECT_EQ(panel.Object(before)->ClassName(), cls);
    }
    panel.SetPanelState(psPointing);
    panel.CreateObjectInRect(QRect(QPoint(10, 10), QPoint(200, 100)));
    EXPECT_EQ(panel.ObjectCount(), int(std::size(kinds)));
}

} // namespace
