// Picking objects under frames, pasting, zooming and painting as a designer's
// user meets them.
#include "design/base_panel.h"
#include "design/object_registry.h"
#include "design/panel_commands.h"
#include "design/shapes.h"
#include "design/text_labels.h"
#include "support/program_home.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace qp::design;

namespace {

struct Mends : ::testing::Test {
    qp::test::ScopedProgramHome Home;
    TGLabelPanel P;
    TPanelCommands C{P};
    std::int64_t Now = 100000;
    int Changes = 0;
    void SetUp() override {
        QFile::remove(TGBasePanel::ClipboardPath());
        P.SetSize(400, 300);
        P.Clock = [this] { return Now; };
        P.LabelChangedEvent = [this] { ++Changes; };
    }
    template <class K> K* Add(int l, int t, int w, int h) {
        auto* o = static_cast<K*>(P.InsertLoaded(std::make_unique<K>()));
        o->SetBounds(l, t, w, h);
        return o;
    }
};

TEST_F(Mends, TransparentFramesAreHitNearTheirOutlineOnly) {
    auto* text = Add<TGPLabel>(60, 60, 50, 20);
    auto* frame = Add<TGLabelShapes>(20, 20, 200, 150);
    frame->SetTransparent(true);
    EXPECT_EQ(P.ObjectAt(QPoint(70, 65)), text); // inside the frame
    EXPECT_EQ(P.ObjectAt(QPoint(21, 100)), frame);
    EXPECT_EQ(P.ObjectAt(QPoint(17, 100)), frame); // 3 pixels outside
    EXPECT_EQ(P.ObjectAt(QPoint(150, 120)), nullptr);
    frame->SetTransparent(false);
    EXPECT_EQ(P.ObjectAt(QPoint(70, 65)), frame);
    auto* ring = Add<TGLabelShapes>(250, 20, 100, 100);
    ring->SetShape(stEllipse);
    ring->SetTransparent(true);
    EXPECT_EQ(P.ObjectAt(QPoint(300, 70)), nullptr); // the centre
    EXPECT_EQ(P.ObjectAt(QPoint(300, 21)), ring);    // the top of the outline
    EXPECT_EQ(P.ObjectAt(QPoint(252, 22)), nullptr); // the bounding corner
}

TEST_F(Mends, AltClickCyclesThroughTheObjectsUnderThePointer) {
    auto* a = Add<TGLabelShapes>(10, 10, 100, 100);
    auto* b = Add<TGLabelShapes>(20, 20, 100, 100);
    auto* c = Add<TGLabelShapes>(30, 30, 100, 100);
    const QPoint p(50, 50);
    P.MouseDown(Qt::LeftButton, Qt::AltModifier, p);
    P.MouseUp(Qt::LeftButton, Qt::AltModifier, p);
    ASSERT_EQ(P.SelectionCount(), 1);
    EXPECT_EQ(P.Selected(0), c);
    for (TGGraphicControl* want :
         {static_cast<TGGraphicControl*>(b), static_cast<TGGraphicControl*>(a),
          static_cast<TGGraphicControl*>(c)}) {
        P.MouseDown(Qt::LeftButton, Qt::AltModifier, p);
        P.MouseUp(Qt::LeftButton, Qt::AltModifier, p);
        ASSERT_EQ(P.SelectionCount(), 1);
        EXPECT_EQ(P.Selected(0), want);
    }
    EXPECT_EQ(a->Left() + b->Left() + c->Left(), 60); // nothing moved
}

TEST_F(Mends, EachPasteLandsFurtherAndIsSelected) {
    auto* o = Add<TGLabelShapes>(10, 20, 40, 30);
    P.AddToSelection(o);
    ASSERT_TRUE(C.Copy());
    ASSERT_TRUE(C.Paste());
    ASSERT_EQ(P.ObjectCount(), 2);
    EXPECT_EQ(P.Object(1)->Left(), 25);
    EXPECT_EQ(P.Object(1)->Top(), 35);
    ASSERT_EQ(P.SelectionCount(), 1);
    EXPECT_EQ(P.Selected(0), P.Object(1));
    Now += 2000;
    ASSERT_TRUE(C.Paste());
    ASSERT_EQ(P.ObjectCount(), 3);
    EXPECT_EQ(P.Object(2)->Left(), 40);
    EXPECT_EQ(P.Object(2)->Top(), 50);
    EXPECT_EQ(P.Selected(0), P.Object(2));
}

TEST_F(Mends, ZoomingNeverChangesGeometryNorMarksTheLayoutChanged) {
    auto* text = Add<TGPLabel>(13, 17, 91, 21);
    text->SetCaption("Some text");
    auto* box = Add<TGLabelShapes>(33, 51, 27, 19);
    Changes = 0;
    QImage screen(800, 600, QImage::Format_RGB32);
    for (float z : {1.5f, 1.0f, 0.5f, 1.4f, 0.3f, 1.0f}) {
        P.SetZoom(z);
        QPainter p(&screen);
        P.Paint(p); // painting does not refit the text either
    }
    EXPECT_EQ(text->BoundsRect(), QRect(13, 17, 91, 21));
    EXPECT_EQ(box->BoundsRect(), QRect(33, 51, 27, 19));
    EXPECT_EQ(P.Width(), 400);
    EXPECT_EQ(Changes, 0);
}

TEST_F(Mends, ZeroDepthShadowAndHighlightAreNotDrawnOnScreen) {
    auto* text = Add<TGPLabel>(10, 10, 200, 40);
    TDesignFont f;
    f.Name = "Liberation Sans";
    f.Size = 20;
    text->SetFont(f);
    text->SetCaption("WWW");
    text->SetcolorShadow(TColor{0x0000FF});    // red
    text->SetcolorHighlight(TColor{0x00FF00}); // green
    QImage img(300, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        text->Paint(p);
    }
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            ASSERT_FALSE(c.red() > 200 && c.green() < 100) << x << "," << y;
            ASSERT_FALSE(c.green() > 200 && c.red() < 100) << x << "," << y;
        }
}

TEST_F(Mends, SaveWithAndLoadWithKeepTheReasonOfAFailure) {
    EXPECT_FALSE(P.SaveWith([](TGBasePanel&) -> bool { throw std::runtime_error("disk full"); }));
    EXPECT_EQ(P.LastError(), "disk full");
    EXPECT_FALSE(P.LoadWith([](TGBasePanel&) -> bool { throw 42; }));
    EXPECT_FALSE(P.LastError().isEmpty());
    EXPECT_TRUE(P.SaveWith([](TGBasePanel&) { return true; }));
    EXPECT_TRUE(P.LastError().isEmpty());
}

TEST_F(Mends, CtrlArrowMovesByAGridStep) {
    auto* o = Add<TGLabelShapes>(40, 40, 30, 30);
    P.AddToSelection(o);
    P.KeyDown(Qt::Key_Right, Qt::ControlModifier);
    P.KeyUp();
    EXPECT_EQ(o->Left(), 44);
    P.SetGridSize(gs8x8);
    P.KeyDown(Qt::Key_Down, Qt::ControlModifier);
    P.KeyDown(Qt::Key_Down, Qt::NoModifier);
    P.KeyUp();
    EXPECT_EQ(o->Top(), 49);
}

} // namespace
