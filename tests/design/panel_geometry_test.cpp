// The panel and its selection overlay driven by events and a test clock:
// placement, rubber band, drag and resize through the zones, snapping,
// keyboard moves, zoom rounding, keeping and removing objects at the edges.
#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/shapes.h"
#include "design/text_labels.h"

#include <gtest/gtest.h>

using namespace qp::design;

namespace {

class Panel : public ::testing::Test {
protected:
    void SetUp() override {
        P.SetSize(400, 300);
        P.Clock = [this] { return Now; };
        P.LabelChangedEvent = [this] { ++Changes; };
    }
    TGLabelShapes* AddShape(int l, int t, int w, int h) {
        auto* o = static_cast<TGLabelShapes*>(P.AddObject(
            std::make_unique<TGLabelShapes>(), QRect(QPoint(l, t), QPoint(l + w, t + h))));
        return o;
    }
    // Press on the object, wait, drag from `from` to `to` (panel points), release.
    void Drag(QPoint from, QPoint to, int ms = 300) {
        P.MouseMove(Qt::NoButton, Qt::NoModifier, from);
        P.MouseDown(Qt::LeftButton, Qt::NoModifier, from);
        Now += ms / 2;
        P.MouseMove(Qt::LeftButton, Qt::NoModifier, (from + to) / 2);
        P.MouseMove(Qt::LeftButton, Qt::NoModifier, to);
        Now += ms / 2;
        P.MouseUp(Qt::LeftButton, Qt::NoModifier, to);
        Now += 1000;
    }
    TGLabelPanel P;
    std::int64_t Now = 1000;
    int Changes = 0;
};

TEST_F(Panel, AddObjectEnforcesMinimumSizeAndNamesSpecialN) {
    auto* a = AddShape(5, 6, 3, 3);
    EXPECT_EQ(a->BoundsRect(), QRect(5, 6, 10, 15));
    EXPECT_EQ(a->Name(), "Special1");
    EXPECT_EQ(AddShape(50, 50, 30, 30)->Name(), "Special2");
    EXPECT_GT(Changes, 0);
}

TEST_F(Panel, ToolClickCreatesFiftyByFifteenAndNarrowDragsGetWidthFifty) {
    P.SetPanelState(psRectangle);
    EXPECT_FALSE(P.Pointing());
    QRect dropped;
    P.DroppedObjectEvent = [&](const QRect& r) { dropped = r; };
    P.MouseDown(Qt::LeftButton, Qt::NoModifier, {40, 30});
    P.MouseUp(Qt::LeftButton, Qt::NoModifier, {40, 30});
    ASSERT_EQ(P.ObjectCount(), 1);
    EXPECT_EQ(P.Object(0)->BoundsRect(), QRect(40, 30, 50, 15));
    EXPECT_EQ(P.Object(0)->ClassName(), "TGLabelShapes");
    EXPECT_EQ(dropped.topLeft(), QPoint(40, 30));

    P.MouseDown(Qt::LeftButton, Qt::NoModifier, {100, 100});
    P.MouseMove(Qt::LeftButton, Qt::NoModifier, {120, 160});
    P.MouseUp(Qt::LeftButton, Qt::NoModifier, {120, 160});
    EXPECT_EQ(P.Object(1)->BoundsRect(), QRect(100, 100, 50, 60));

    P.SetPanelState(psLine);
    P.MouseDown(Qt::LeftButton, Qt::NoModifier, {200, 10});
    P.MouseUp(Qt::LeftButton, Qt::NoModifier, {200, 10});
    EXPECT_EQ(static_cast<TGLineShape*>(P.Object(2))->LineStyle(), stVertical);
}

TEST_F(Panel, OverlayFramesTheSelectionTwoPixelsOut) {
    auto* a = AddShape(20, 30, 40, 50);
    auto* b = AddShape(100, 10, 20, 20);
    P.AddToSelection(a);
    EXPECT_EQ(P.Handle().Bounds(), QRect(18, 28, 45, 55));
    P.AddToSelection(b);
    EXPECT_EQ(P.Handle().Bounds(), QRect(18, 8, 105, 75)); // right 120+3, bottom 80+3
    P.FitToSelection();
    EXPECT_EQ(P.Handle().Bounds(), QRect(18, 8, 106, 76));
    P.RemoveFromSelection(a);
    EXPECT_EQ(P.Handle().Bounds(), QRect(98, 8, 25, 25));
    P.ClearSelection();
    EXPECT_FALSE(P.Handle().Visible());
    EXPECT_EQ(P.Handle().Bounds().size(), QSize(24, 24));
    EXPECT_EQ(P.Selected(-1), nullptr);
}

TEST_F(Panel, ClickOnEmptyPanelDeselectsUnlessShift) {
    auto* a = AddShape(20, 20, 40, 40);
    P.MouseDown(Qt::LeftButton, Qt::NoModifier, {30, 30});
    P.MouseUp(Qt::LeftButton, Qt::NoModifier, {30, 30});
    ASSERT_EQ(P.SelectionCount(), 1);
    P.MouseMove(Qt::NoButton, Qt::NoModifier, {300, 200}); // releases the overlay's capture
    P.MouseDown(Qt::LeftButton, Qt::ShiftModifier, {300, 200});
    P.MouseUp(Qt::LeftButton, Qt::ShiftModifier, {300, 200});
    EXPECT_EQ(P.SelectionCount(), 1);
    P.MouseDown(Qt::LeftButton, Qt::NoModifier, {300, 200});
    P.MouseUp(Qt::LeftButton, Qt::NoModifier, {300, 200});
    EXPECT_EQ(P.SelectionCount(), 0);
    EXPECT_EQ(P.IndexOf(a), -1);
}

TEST_F(Panel, ShiftRubberBandTogglesAlreadySelectedObjects) {
    auto* a = AddShape(20, 20, 30, 30);
    auto* b = AddShape(80, 20, 30, 30);
    auto* locked = AddShape(150, 150, 20, 20);
    locked->SetUnselectable(true);
    P.AddToSelection(a);
    P.MouseDown(Qt::LeftButton, Qt::ShiftModifier, {10, 200});
    P.MouseMove(Qt::LeftButton, Qt::ShiftModifier, {180, 10});
    EXPECT_TRUE(P.RubberBanding());
    EXPECT_EQ(P.RubberBand(), QRect(QPoint(10, 10), QPoint(180, 200)));
    P.MouseUp(Qt::LeftButton, Qt::ShiftModifier, {180, 10});
    ASSERT_EQ(P.SelectionCount(), 1);
    EXPECT_EQ(P.Selected(0), b);
}

TEST_F(Panel, RubberBandSelectsFromLastChildFirst) {
    auto* a = AddShape(20, 20, 30, 30);
    auto* b = AddShape(80, 20, 30, 30);
    P.MouseDown(Qt::LeftButton, Qt::NoModifier, {0, 0});
    P.MouseUp(Qt::LeftButton, Qt::NoModifier, {200, 100});
    ASSERT_EQ(P.SelectionCount(), 2);
    EXPECT_EQ(P.Selected(0), b);
    EXPECT_EQ(P.Selected(1), a);
}

TEST_F(Panel, ShortClickNeverMovesEvenIfTheMouseMoved) {
    auto* a = AddShape(20, 20, 40, 40);
    P.AddToSelection(a);
    Drag({40, 40}, {70, 60}, 100);
    EXPECT_EQ(a->BoundsRect(), QRect(20, 20, 40, 40));
    Drag({40, 40}, {70, 60}, 400);
    EXPECT_EQ(a->BoundsRect(), QRect(50, 40, 40, 40));
    EXPECT_EQ(P.Handle().Bounds(), QRect(48, 38, 46, 46)); // refitted after the move
}

TEST_F(Panel, DraggingTheRightEdgeTenPixelsAddsNine) {
    auto* a = AddShape(20, 20, 100, 30);
    P.AddToSelection(a); // overlay 18,18 105x35
    const QPoint edge(18 + 104, 18 + 17);
    P.MouseMove(Qt::NoButton, Qt::NoModifier, edge);
    EXPECT_EQ(P.Handle().Zone(), 8);
    EXPECT_EQ(P.Cursor(), Qt::SizeHorCursor);
    Drag(edge, edge + QPoint(10, 0));
    EXPECT_EQ(a->BoundsRect(), QRect(20, 20, 109, 30));
}

TEST_F(Panel, HitZonesFollowTheirOrder) {
    auto* a = AddShape(100, 100, 100, 60);
    P.AddToSelection(a); // overlay 98,98 105x65
    const QPoint o(98, 98);
    struct Case {
        QPoint at;
        int zone;
    } cases[] = {{{2, 2}, 1},  {{104, 2}, 2}, {{2, 64}, 3},   {{104, 64}, 4}, {{52, 1}, 5},
                 {{2, 32}, 6}, {{52, 64}, 7}, {{104, 32}, 8}, {{50, 30}, 0},  {{20, 2}, 0}};
    for (const Case& c : cases) {
        P.MouseMove(Qt::NoButton, Qt::NoModifier, o + c.at);
        EXPECT_EQ(P.Handle().Zone(), c.zone) << c.at.x() << "," << c.at.y();
    }
}

TEST_F(Panel, SnappedMovesLandOnTwoModuloTheGrid) {
    P.SetSnapToGrid(true);
    EXPECT_EQ(P.Handle().GridX(), 4);
    auto* a = AddShape(21, 23, 40, 40);
    P.AddToSelection(a);
    Drag({40, 40}, {57, 51});
    EXPECT_EQ(a->Left() % 4, 2);
    EXPECT_EQ(a->Top() % 4, 2);
    P.SetGridSize(gs8x8);
    EXPECT_EQ(P.Handle().GridX(), 8);
    Drag({a->Left() + 5, a->Top() + 5}, {a->Left() + 30, a->Top() + 45});
    EXPECT_EQ(a->Left() % 8, 2);
    EXPECT_EQ(a->Top() % 8, 2);
    P.SetSnapToGrid(false);
    EXPECT_EQ(P.Handle().GridX(), 1);
    EXPECT_FALSE(P.Handle().SnapToGrid());
}

TEST_F(Panel, ResizingNeverGoesBelowFivePixels) {
    auto* a = AddShape(100, 100, 40, 40);
    P.AddToSelection(a); // overlay 98,98 45x45
    const QPoint corner(98 + 44, 98 + 44);
    P.MouseMove(Qt::NoButton, Qt::NoModifier, corner);
    ASSERT_EQ(P.Handle().Zone(), 4);
    Drag(corner, {20, 20});
    EXPECT_EQ(P.Handle().Width(), 5);
    EXPECT_EQ(P.Handle().Height(), 5);
}

TEST_F(Panel, LockedObjectsStayAndTheOverlayStaysAroundThem) {
    auto* locked = AddShape(20, 20, 30, 30);
    auto* free = AddShape(80, 20, 30, 30);
    locked->SetLocked(true);
    P.AddToSelection(locked);
    P.AddToSelection(free);
    Drag({90, 30}, {110, 60});
    EXPECT_EQ(locked->BoundsRect(), QRect(20, 20, 30, 30));
    EXPECT_EQ(free->BoundsRect(), QRect(100, 50, 30, 30));

    P.ClearSelection();
    P.AddToSelection(locked);
    const QRect before = P.Handle().Bounds();
    Drag({30, 30}, {90, 90});
    EXPECT_EQ(locked->BoundsRect(), QRect(20, 20, 30, 30));
    EXPECT_EQ(P.Handle().Bounds(), QRect(18, 18, 36, 36));
    EXPECT_EQ(P.Handle().Bounds().topLeft(), before.topLeft());
}

TEST_F(Panel, ArrowKeysMoveByOnePixelAndShiftResizesDownToTen) {
    auto* a = AddShape(20, 20, 20, 20);
    P.AddToSelection(a);
    for (int i = 0; i < 3; ++i)
        P.KeyDown(Qt::Key_Right, Qt::NoModifier);
    P.KeyDown(Qt::Key_Down, Qt::NoModifier);
    EXPECT_TRUE(P.Handle().KeyMoving());
    ASSERT_TRUE(P.Handle().Frame().has_value());
    EXPECT_EQ(*P.Handle().Frame(), QRect(QPoint(23, 21), QPoint(43, 41)));
    P.KeyUp();
    EXPECT_EQ(a->BoundsRect(), QRect(23, 21, 20, 20));
    for (int i = 0; i < 30; ++i)
        P.KeyDown(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(P.Handle().Frame()->width(), 10); // right - left + 1
    P.KeyUp();
    EXPECT_LT(a->Width(), 10);
    EXPECT_EQ(a->Left(), 23);
    for (int i = 0; i < 40; ++i)
        P.KeyDown(Qt::Key_Left, Qt::NoModifier);
    EXPECT_EQ(P.Handle().Frame()->left(), 0);
    P.KeyUp();
    EXPECT_EQ(a->Left(), 0);
}

TEST_F(Panel, ZoomRoundsHalvesToEven) {
    auto* a = AddShape(0, 0, 20, 20);
    a->SetBounds(3, 5, 7, 9);
    P.SetZoom(0.5f);
    EXPECT_EQ(a->BoundsRect(), QRect(2, 2, 4, 4));
    EXPECT_EQ(P.Width(), 200);
    P.SetZoom(1.0f);
    EXPECT_EQ(a->BoundsRect(), QRect(3, 5, 7, 9)); // zooming back gives every pixel back

    a->SetBounds(3, 5, 7, 9);
    const int before = Changes;
    P.SetZoom(2.0f);
    EXPECT_EQ(a->BoundsRect(), QRect(6, 10, 14, 18));
    EXPECT_FLOAT_EQ(a->Zoom(), 2.0f);
    P.SetZoom(1.0f);
    EXPECT_EQ(a->BoundsRect(), QRect(3, 5, 7, 9));
    EXPECT_EQ(Changes, before); // zooming is not a change of the layout
}

TEST_F(Panel, KeepInsideAndRemoveOutside) {
    P.SetSize(200, 100);
    auto* low = AddShape(10, 95, 20, 20);
    auto* right = AddShape(190, 10, 20, 20);
    P.AddToSelection(low);
    P.KeepObjectsInside();
    EXPECT_EQ(P.SelectionCount(), 0);
    EXPECT_EQ(low->Top(), 90);
    EXPECT_EQ(right->Left(), 180);

    AddShape(10, 10, 20, 20)->SetTop(95);
    AddShape(10, 10, 20, 20)->SetTop(90);
    AddShape(10, 10, 20, 20)->SetWidth(0);
    P.RemoveObjectsOutside();
    // Top 95 > 90 and the empty one go; Top 90 and the others stay.
    EXPECT_EQ(P.ObjectCount(), 3);
    for (int i = 0; i < P.ObjectCount(); ++i)
        EXPECT_LE(P.Object(i)->Top(), 90);
}

TEST_F(Panel, SaveWritesZoomOneAndRestoresZoomAndValuesEvenWhenItFails) {
    TMapDataSource ds;
    ds.Add("LNAME", "Last Name", "Smith");
    P.SetDataSet(&ds);
    auto* d = static_cast<TGPDLabel*>(
        P.AddObject(std::make_unique<TGPDLabel>(), QRect(QPoint(10, 20), QPoint(110, 50))));
    d->DataFieldDescript = "Last Name";
    P.RefreshDataValues();
    P.SetZoom(0.5f);
    int seenLeft = -1;
    QString seenCaption = "x";
    const bool ok = P.SaveWith([&](TGBasePanel& p) {
        seenLeft = p.Object(0)->Left();
        seenCaption = d->Caption();
        return false; // the write failed
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(seenLeft, 10);
    EXPECT_EQ(seenCaption, "");
    EXPECT_FLOAT_EQ(P.Zoom(), 0.5f);
    EXPECT_EQ(d->Caption(), "Smith");
}

TEST_F(Panel, ObjectsLoadedIntoAZoomedPanelAreScaledToIt) {
    P.SetZoom(2.0f);
    P.LoadWith([](TGBasePanel& p) {
        auto o = std::make_unique<TGLabelShapes>();
        o->SetBounds(10, 20, 30, 40);
        p.InsertLoaded(std::move(o));
        return true;
    });
    ASSERT_EQ(P.ObjectCount(), 1);
    EXPECT_EQ(P.Object(0)->BoundsRect(), QRect(20, 40, 60, 80));
    EXPECT_EQ(P.Object(0)->Name(), "Component0");
}

TEST_F(Panel, UniqueNameGivesUpAfterAThousand) {
    P.NameTaken = [](const QString&) { return true; };
    EXPECT_EQ(P.UniqueName("Special"), "");
    P.NameTaken = [](const QString& n) { return n != "Special7"; };
    EXPECT_EQ(P.UniqueName("Special"), "Special7");
}

TEST_F(Panel, RightClickOpensTheObjectMenuOnlyForASingleSelection) {
    auto* a = AddShape(20, 20, 30, 30);
    auto* b = AddShape(80, 20, 30, 30);
    TGGraphicControl* menuFor = nullptr;
    int panelMenus = 0;
    P.OnObjectMenu = [&](TGGraphicControl* o, QPoint) { menuFor = o; };
    P.OnPanelMenu = [&](QPoint) { ++panelMenus; };
    P.MouseDown(Qt::RightButton, Qt::NoModifier, {30, 30});
    EXPECT_EQ(menuFor, a);
    P.MouseUp(Qt::RightButton, Qt::NoModifier, {30, 30});
    P.AddToSelection(b);
    menuFor = nullptr;
    P.MouseDown(Qt::RightButton, Qt::NoModifier, {90, 30});
    EXPECT_EQ(menuFor, nullptr);
    EXPECT_EQ(panelMenus, 1);
}

TEST_F(Panel, UnselectableObjectsActLikeTheEmptyPanel) {
    auto* a = AddShape(20, 20, 30, 30);
    a->SetUnselectable(true);
    P.MouseDown(Qt::LeftButton, Qt::NoModifier, {30, 30});
    EXPECT_TRUE(P.RubberBanding());
    P.MouseUp(Qt::LeftButton, Qt::NoModifier, {30, 30});
    EXPECT_EQ(P.SelectionCount(), 0);
}

} // namespace
