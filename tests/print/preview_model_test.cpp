// Page turning, zoom rules and the title of the preview.
#include "print/preview_model.h"

#include <gtest/gtest.h>

using namespace qp::print;

namespace {

TStoredJob Pages(int n) {
    TStoredJob job;
    job.Pages.resize(n);
    return job;
}

} // namespace

TEST(PreviewModel, PagesClampToTheJob) {
    TStoredJob job = Pages(3);
    TPreviewModel m;
    int changes = 0;
    m.OnPageChange = [&] { ++changes; };
    m.SetJob(&job);
    EXPECT_EQ(m.Page(), 1);
    m.Prev();
    EXPECT_EQ(m.Page(), 1);
    m.Next();
    m.Next();
    m.Next();
    EXPECT_EQ(m.Page(), 3);
    m.First();
    EXPECT_EQ(m.Page(), 1);
    m.Last();
    EXPECT_EQ(m.Page(), 3);
    m.ShowPage(2);
    EXPECT_EQ(changes, 6); // the clamped moves change nothing
    TStoredJob empty;
    m.SetJob(&empty);
    EXPECT_EQ(m.Page(), 0);
    EXPECT_EQ(m.Title(), "Preview Page 0 of 0 ( 75% )");
}

TEST(PreviewModel, ZoomStepsAndLimits) {
    TPreviewModel m;
    EXPECT_DOUBLE_EQ(m.ZoomFactor(), 75.0);
    int changes = 0;
    m.OnZoomChange = [&] { ++changes; };
    m.ZoomIn();
    EXPECT_DOUBLE_EQ(m.ZoomFactor(), 85.0);
    m.ZoomOut();
    m.ZoomOut();
    EXPECT_DOUBLE_EQ(m.ZoomFactor(), 65.0);
    EXPECT_EQ(changes, 3);
    m.SetZoom(12);
    m.ZoomOut();
    EXPECT_DOUBLE_EQ(m.ZoomFactor(), TPreviewModel::kMinZoom);
    m.SetZoom(10000);
    EXPECT_DOUBLE_EQ(m.ZoomFactor(), TPreviewModel::kMaxZoom);
}

TEST(PreviewModel, FitZoomsLeaveTheBorderVisible) {
    TStoredJob job = Pages(1); // Letter
    TPreviewModel m;
    m.SetJob(&job);
    const QSizeF viewport(1000, 600);
    // 8.5 in at 100 dpi plus 2.5 % border each side fills 1000 px.
    m.ZoomPageWidth(viewport, 100);
    EXPECT_NEAR(m.ZoomFactor(), 1000 / (850 * 1.05) * 100, 1e-9);
    EXPECT_NEAR(m.CanvasPixels(100).width(), 1000, 1e-6);
    m.ZoomWholePage(viewport, 100);
    EXPECT_NEAR(m.CanvasPixels(100).height(), 600, 1e-6);
    EXPECT_LE(m.CanvasPixels(100).width(), 1000);
    m.ApplyZoomMode(2, viewport, 100);
    EXPECT_NEAR(m.CanvasPixels(100).width(), 1000, 1e-6);
    m.ApplyZoomMode(1, viewport, 100);
    EXPECT_NEAR(m.CanvasPixels(100).height(), 600, 1e-6);
    m.ApplyZoomMode(100, viewport, 100);
    EXPECT_DOUBLE_EQ(m.ZoomFactor(), 100);
    EXPECT_NEAR(m.PagePixels(96).width(), 816, 1e-9);
}

TEST(PreviewModel, TitleRoundsTheZoomHalvesToEven) {
    TStoredJob job = Pages(12);
    TPreviewModel m;
    m.SetJob(&job);
    m.ShowPage(4);
    EXPECT_EQ(m.Title(), "Preview Page 4 of 12 ( 75% )");
    m.SetZoom(62.5);
    EXPECT_EQ(m.Title(), "Preview Page 4 of 12 ( 62% )");
    m.SetZoom(63.5);
    EXPECT_EQ(m.Title(), "Preview Page 4 of 12 ( 64% )");
    m.SetZoom(99.7);
    EXPECT_EQ(m.Title(), "Preview Page 4 of 12 ( 100% )");
}
