// The size table, the automation template, the offsets table, the paper
// warning, the feed description, zoom steps and the settings keys.

#include "envelopes/envelope_design_rules.h"
#include "envelopes/envelope_feed.h"
#include "envelopes/envelope_panel.h"
#include "envelopes/envelope_sizes.h"
#include "labels_test_support.h"
#include "store/settings_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace qp::envelopes;

TEST(EnvelopeSizes, TableKeepsItsCaptionsAndMetricConversion) {
    ASSERT_EQ(kEnvelopeSizes.size(), 16u);
    EXPECT_EQ(envelopeSize(28).caption, "Envelope C5 162 x 229 mm "); // trailing blank kept
    EXPECT_EQ(envelopeSize(30).caption, "Envelope C4  229 x 324 mm"); // double blank kept
    const EnvelopeSize c4 = envelopeSize(30);
    EXPECT_DOUBLE_EQ(c4.width, 12.96);
    EXPECT_DOUBLE_EQ(c4.height, 9.16);
    const EnvelopeSize b6 = envelopeSize(35);
    EXPECT_DOUBLE_EQ(b6.width, 5);
    EXPECT_DOUBLE_EQ(b6.height, 7.04);
    int taller = 0;
    for (const EnvelopeSize& s : kEnvelopeSizes)
        taller += s.height > s.width;
    EXPECT_EQ(taller, 1);                          // B6 only
    EXPECT_DOUBLE_EQ(envelopeSize(27).width, 8.8); // DL 220 mm at 25 mm a inch
    EXPECT_DOUBLE_EQ(envelopeSize(27).height, 4.4);
}

TEST(EnvelopeSizes, UnknownCodesHaveNoSizeAndPickTheFirstRow) {
    EXPECT_EQ(envelopeSize(99).width, -1);
    EXPECT_EQ(envelopeSize(99).height, -1);
    EXPECT_FALSE(knownEnvelopeCode(0));
    EXPECT_EQ(envelopeSizeIndex(99), 0);
    EXPECT_EQ(envelopeSizeIndex(20), 1);
    EXPECT_EQ(envelopeSizeIndex(38), 15);
}

TEST(EnvelopePanelSize, RoundsInchesToDesignPixels) {
    TEnvelopePanel panel;
    panel.SizeForEnvelope(12.96, 9.16);
    EXPECT_EQ(panel.Width(), 1244); // 1244.16
    EXPECT_EQ(panel.Height(), 879); // 879.36
    panel.SetZoom(0.5f);
    panel.SizeForEnvelope(9.5, 4.125);
    EXPECT_FLOAT_EQ(panel.Zoom(), 0.5f);
    panel.SetZoom(1.0f);
    EXPECT_EQ(panel.Width(), 912);
    EXPECT_EQ(panel.Height(), 396);
}

TEST(AutomationTemplate, NumberTenAtFullSize) {
    // #10: 912 x 396 pixels; narrower than 10.25 inches.
    const auto a = AutomationTemplateAreas(912, 396, 1.0f);
    EXPECT_EQ(a[0].caption, "[Return Address Area]");
    EXPECT_EQ(a[0].rect, QRect(QPoint(1, 1), QPoint(456, 132))); // min(396-264, 396/3)
    EXPECT_EQ(a[1].caption, "[Barcode Clear Zone]");
    EXPECT_EQ(a[1].rect, QRect(QPoint(912 - 384, 396 - 60), QPoint(912 - 48, 395)));
    EXPECT_EQ(a[2].caption, "[Address Area]");
    EXPECT_EQ(a[2].rect, QRect(QPoint(48, 396 - 264), QPoint(912 - 48, 396 - 60)));
    EXPECT_EQ(a[3].caption, "[FIM Area]");
    EXPECT_EQ(a[3].rect, QRect(QPoint(912 - 288, 1), QPoint(912 - 192, 60)));
    EXPECT_EQ(a[1].captionAt, QPoint(912 - 384 + 2, 396 - 60 + 2));
}

TEST(AutomationTemplate, WideEnvelopesMeasureTheAddressAreaFromTheRight) {
    // #14 (11.5 in) is at least 10.25 inches wide.
    const auto wide = AutomationTemplateAreas(1104, 480, 1.0f);
    EXPECT_EQ(wide[2].rect.left(), 1104 - 936);
    // #12 (11 in) too; #11 (10.375 in) too; #10 is not.
    EXPECT_EQ(AutomationTemplateAreas(996, 432, 1.0f)[2].rect.left(), 996 - 936);
    EXPECT_EQ(AutomationTemplateAreas(912, 396, 1.0f)[2].rect.left(), 48);
    // Zoom scales the inches, the test on the width is made unzoomed.
    const auto zoomed = AutomationTemplateAreas(456, 198, 0.5f);
    EXPECT_EQ(zoomed[2].rect.left(), 24);
    EXPECT_EQ(zoomed[1].rect, QRect(QPoint(456 - 192, 198 - 30), QPoint(456 - 24, 197)));
}

TEST(PrinterMargins, TruncatedPixelsAndZoom) {
    const TPrinterMarginPixels m = MarginPixels(0.25, 0.2, 0.25, 0.5, 11, 8.5);
    EXPECT_EQ(m.left, 24);
    EXPECT_EQ(m.top, 19); // 19.2
    EXPECT_EQ(m.pageWidth, 1056);
    EXPECT_EQ(PrinterMarginRect(m, 1.0f), QRect(QPoint(24, 19), QPoint(1032, 768)));
    EXPECT_EQ(PrinterMarginRect(m, 0.5f), QRect(QPoint(12, 9), QPoint(516, 384)));
}

TEST(EnvelopeOffsets, TheTableOfFeedMethods) {
    FeedMethod f;
    // Portrait, up, center, #10 on Letter: dx negative, so 0.
    f.orientation = foPortrait;
    f.facing = ffUp;
    f.position = fpCenter;
    EXPECT_EQ(envelopeOffsets(8.5, 11, 9.5, 4.125, f), (EnvelopeOffsets{0, 0}));
    // Landscape, down, left, counter-clockwise, 11 x 8.5.
    f.orientation = foLandscape;
    f.facing = ffDown;
    f.position = fpLeft;
    f.clockWiseRotation = false;
    auto o = envelopeOffsets(11, 8.5, 9.5, 4.125, f);
    EXPECT_FLOAT_EQ(o.x, 1.5f);
    EXPECT_FLOAT_EQ(o.y, 4.375f);
    f.clockWiseRotation = true;
    EXPECT_FLOAT_EQ(envelopeOffsets(11, 8.5, 9.5, 4.125, f).x, 0.0f);
    f.position = fpRight;
    EXPECT_FLOAT_EQ(envelopeOffsets(11, 8.5, 9.5, 4.125, f).y, 0.0f);
    f.facing = ffUp;
    EXPECT_FLOAT_EQ(envelopeOffsets(11, 8.5, 9.5, 4.125, f).y, 4.375f);
    f.position = fpCenter;
    EXPECT_FLOAT_EQ(envelopeOffsets(11, 8.5, 9.5, 4.125, f).y, 2.1875f);
    // Portrait on a wide page: by position, up and down mirrored.
    f.orientation = foPortrait;
    f.facing = ffUp;
    f.position = fpRight;
    EXPECT_FLOAT_EQ(envelopeOffsets(11, 8.5, 9.5, 4.125, f).x, 1.5f);
    f.facing = ffDown;
    EXPECT_FLOAT_EQ(envelopeOffsets(11, 8.5, 9.5, 4.125, f).x, 0.0f);
    f.position = fpLeft;
    EXPECT_FLOAT_EQ(envelopeOffsets(11, 8.5, 9.5, 4.125, f).x, 1.5f);
}

TEST(EnvelopeOffsets, AMatchingPageNeedsNone) {
    for (int orientation : {0, 1})
        for (int facing : {0, 1})
            for (int position : {0, 1, 2})
                for (bool cw : {false, true}) {
                    FeedMethod f{orientation, facing, position, cw};
                    EXPECT_EQ(envelopeOffsets(9.5, 4.125, 9.5, 4.125, f), (EnvelopeOffsets{}));
                    // Within a tenth of an inch counts as the same.
                    EXPECT_EQ(envelopeOffsets(9.52, 4.13, 9.5, 4.125, f), (EnvelopeOffsets{}));
                }
}

TEST(PaperWarning, MoreThanAnInchInEitherSide) {
    EXPECT_FALSE(paperMismatch(9.5, 4.125, 9.5, 4.125));
    EXPECT_FALSE(paperMismatch(9.5, 4.125, 10.5, 5.1));
    EXPECT_TRUE(paperMismatch(9.5, 4.125, 10.6, 4.125));
    EXPECT_TRUE(paperMismatch(9.5, 4.125, 4.125, 9.5)); // turned
    EXPECT_TRUE(paperMismatch(9.5, 4.125, 8.5, 11));
}

TEST(FeedDescription, ClockwiseOnlyForLandscapeFeed) {
    EXPECT_EQ(feedDescription(FeedMethod{}),
              "Position: Center\r\nOrientation : Landscape\r\nFacing Down");
    EXPECT_EQ(feedDescription(FeedMethod{1, 0, 0, true}),
              "Position: Left\r\nOrientation : Landscape\r\nClockwise Rotation\r\nFacing Up");
    EXPECT_EQ(feedDescription(FeedMethod{0, 0, 1, true}),
              "Position: Right\r\nOrientation : Portrait\r\nFacing Up");
}

TEST(EnvelopeZoom, FourStepsEachWayAndNoFurther) {
    float z = 1.0f;
    for (int i = 0; i < 4; ++i)
        z = envelopeZoomDown(z);
    EXPECT_NEAR(z, 0.6f, 1e-5);
    EXPECT_EQ(envelopeZoomDown(z), z);
    z = 1.0f;
    for (int i = 0; i < 4; ++i)
        z = envelopeZoomUp(z);
    EXPECT_NEAR(z, 1.4f, 1e-5);
    EXPECT_EQ(envelopeZoomUp(z), z);
}

TEST(EnvelopeSettings, KeysAndDefaults) {
    qp::testing::LabelsTempFolder folder;
    qp::store::SettingsFile settings(folder.file("QUILLP.ini"));
    const FeedMethod defaults = readFeedMethod(settings);
    EXPECT_EQ(defaults, (FeedMethod{1, 1, 2, false}));
    ASSERT_TRUE(qp::store::WriteEnvelopeFeed(settings, FeedMethod{0, 0, 1, true}));
    ASSERT_TRUE(settings.writeString(kPrinterSection, "Printer", "Laser ON LPT1"));
    EXPECT_EQ(readFeedMethod(settings), (FeedMethod{0, 0, 1, true}));
    std::ifstream in(folder.file("QUILLP.ini"));
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("[Envelope Feed]"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("ClockWiseRotation="), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("[Envelope Printer]"), std::string::npos) << text.str();
    // Values out of range read as the defaults.
    ASSERT_TRUE(settings.writeInteger("Envelope Feed", "Position", 7));
    EXPECT_EQ(readFeedMethod(settings).position, fpCenter);
}
