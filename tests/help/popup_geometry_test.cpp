// Pop-up sizes, word wrap and placement against the screen's edges.
#include "help/popup_geometry.h"

#include <gtest/gtest.h>

using namespace qp::help;

namespace {
// Every character 10 pixels wide.
int tenEach(const QString& s) {
    return int(s.size()) * 10;
}
} // namespace

TEST(PopupGeometry, WrapsAtWordsWithinTheWidth) {
    const auto w = WrapWords(QStringLiteral("aaa bbb ccc dddd"), 80, tenEach);
    EXPECT_EQ(w.lines, (QStringList{"aaa bbb", "ccc dddd"}));
    EXPECT_EQ(w.width, 80);
    const auto narrow = WrapWords(QStringLiteral("aaa bbb"), 30, tenEach);
    EXPECT_EQ(narrow.lines, (QStringList{"aaa", "bbb"}));
}

TEST(PopupGeometry, ALongWordStandsAloneAndLineBreaksAreKept) {
    const auto w = WrapWords(QStringLiteral("a verylongword b\nc"), 50, tenEach);
    EXPECT_EQ(w.lines, (QStringList{"a", "verylongword", "b", "c"}));
    EXPECT_EQ(w.width, 120);
}

TEST(PopupGeometry, BoxPaintAreaAndWindowSizes) {
    const auto plain = LayoutPopup(QSize(200, 26), 13, false, {});
    EXPECT_EQ(plain.box, QSize(216, 36));
    EXPECT_EQ(plain.paintArea, QSize(216, 36));
    EXPECT_EQ(plain.window, QSize(222, 42));
    EXPECT_EQ(plain.outline, QRect(0, 0, 216, 36));
    EXPECT_EQ(plain.textRect.topLeft(), QPoint(8, 4));
    EXPECT_TRUE(plain.moreRect.isEmpty());

    const auto more = LayoutPopup(QSize(200, 26), 13, true, QSize(150, 13));
    EXPECT_EQ(more.paintArea, QSize(216, 36 + 3 + 13));
    EXPECT_EQ(more.window, QSize(222, 58));
    EXPECT_EQ(more.outline, QRect(0, 0, 216, 49));
    // Right edge 8 in from the box's right, bottom 2 above the outline's.
    EXPECT_EQ(more.moreRect, QRect(216 - 8 - 150, 49 - 2 - 13, 150, 13));
    // A short text widens to the more line.
    const auto shortText = LayoutPopup(QSize(40, 13), 13, true, QSize(150, 13));
    EXPECT_EQ(shortText.box.width(), 166);
    EXPECT_EQ(shortText.moreRect.left(), 8);
}

TEST(PopupGeometry, PlacementBelowAndCentredOnTheControl) {
    const auto l = LayoutPopup(QSize(100, 13), 13, false, {});
    const QRect screen(0, 0, 1024, 768);
    EXPECT_EQ(PlacePopup(QRect(500, 300, 80, 20), l, screen), QPoint(500 - 58, 308));
}

TEST(PopupGeometry, PlacementAtTheScreensEdges) {
    const auto l = LayoutPopup(QSize(284, 26), 13, false, {}); // window 306 x 42
    const QRect screen(0, 0, 1024, 768);
    // Right edge: moved left until 10 pixels remain.
    const QPoint right = PlacePopup(QRect(1000, 100, 20, 20), l, screen);
    EXPECT_EQ(right.x(), 1024 - 306 - 10);
    // Left edge: starts at 0.
    EXPECT_EQ(PlacePopup(QRect(30, 100, 20, 20), l, screen).x(), 0);
    // Bottom edge: moved up until 10 pixels remain.
    EXPECT_EQ(PlacePopup(QRect(500, 760, 20, 8), l, screen).y(), 768 - 42 - 10);
    // A second screen to the right keeps its own edges.
    EXPECT_EQ(PlacePopup(QRect(1050, 100, 20, 20), l, QRect(1024, 0, 800, 600)).x(), 1024);
}

TEST(PopupGeometry, ShadowPatternRows) {
    // AA: every other pixel from the left; 00: none; 55: shifted by one.
    EXPECT_TRUE(ShadowKeeps(0, 0));
    EXPECT_FALSE(ShadowKeeps(1, 0));
    EXPECT_FALSE(ShadowKeeps(0, 1));
    EXPECT_FALSE(ShadowKeeps(0, 2));
    EXPECT_TRUE(ShadowKeeps(1, 2));
    EXPECT_TRUE(ShadowKeeps(8, 8));
}
