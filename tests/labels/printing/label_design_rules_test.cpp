#include "labels/printing/label_design_rules.h"

#include "design/address_label.h"
#include "design/barcodes.h"
#include "design/graphic_control.h"
#include "design/shapes.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qp::labels;
namespace design = qp::design;

namespace {

LabelDefinition labelOf(float width, float height, const char* shape = "RR") {
    LabelDefinition def;
    def.labelWidth = width;
    def.labelHeight = height;
    def.shape = shape;
    return def;
}

design::TGGraphicControl* addPostNet(design::TGBasePanel& panel, int left) {
    return panel.AddObject(std::make_unique<design::TGPostNetBarCode>(),
                           QRect(QPoint(left, 5), QPoint(left + 100, 25)));
}

} // namespace

TEST(LabelDesignZoom, FiveStepsDownReachFiftyAndStay) {
    float zoom = 1.0f;
    const int expected[] = {90, 80, 70, 60, 50, 50, 50};
    for (int percent : expected) {
        zoom = zoomStepDown(zoom);
        EXPECT_EQ(zoomPercent(zoom), percent);
    }
    EXPECT_LT(zoom, 0.5f); // just below: the next step is refused
}

TEST(LabelDesignZoom, FiveStepsUpReachOneFiftyAndStay) {
    float zoom = 1.0f;
    const int expected[] = {110, 120, 130, 140, 150, 150, 150};
    for (int percent : expected) {
        zoom = zoomStepUp(zoom);
        EXPECT_EQ(zoomPercent(zoom), percent);
    }
    EXPECT_GT(zoom, 1.5f);
}

TEST(LabelDesignZoom, BackFromTheBottomAndCaption) {
    float zoom = 1.0f;
    for (int i = 0; i < 8; ++i)
        zoom = zoomStepDown(zoom);
    for (int i = 0; i < 5; ++i)
        zoom = zoomStepUp(zoom);
    EXPECT_EQ(zoomPercent(zoom), 100);
    EXPECT_EQ(zoomCaption(1.0f), "100%");
    EXPECT_EQ(zoomCaption(zoomStepDown(1.0f)), "90%");
}

TEST(LabelDesignFont, CaptionKeepsTheBlankAfterPt) {
    EXPECT_EQ(defaultFontCaption({"Arial", 12, true, true}),
              "Default Font: Arial, 12 pt , bold, italic");
    EXPECT_EQ(defaultFontCaption({"Arial", 10, false, false}), "Default Font: Arial, 10 pt ");
    EXPECT_EQ(defaultFontCaption({"Times New Roman", 9, false, true}),
              "Default Font: Times New Roman, 9 pt , italic");
}

TEST(LabelDesignFont, SettingsAndPanelFontRoundTrip) {
    const qp::store::DesignFontSettings settings{"Courier New", 14, true, false};
    const design::TDesignFont font = designFontOf(settings);
    EXPECT_EQ(font.Name, QString("Courier New"));
    EXPECT_EQ(font.Size, 14);
    EXPECT_TRUE(font.Bold);
    EXPECT_FALSE(font.Italic);
    EXPECT_EQ(fontSettingsOf(font), settings);
}

TEST(LabelDesignGeometry, NinetySixPixelsPerInchRounded) {
    EXPECT_EQ(panelGeometry(labelOf(2.625f, 1.0f)), (PanelGeometry{252, 96, design::lsRoundRect}));
    // 96 x 2.63 = 252.48, 96 x 1.005 = 96.48: both down; 96 x 1.51 = 144.96 up.
    EXPECT_EQ(panelGeometry(labelOf(2.63f, 1.005f, "SR")),
              (PanelGeometry{252, 96, design::lsRectangle}));
    EXPECT_EQ(panelGeometry(labelOf(1.51f, 1.51f, "EL")).width, 145);
    EXPECT_EQ(panelGeometry(labelOf(1.51f, 1.51f, "EL")).shape, design::lsEllipse);
}

TEST(LabelDesignGeometry, ShapeCodes) {
    EXPECT_EQ(panelShape("RR"), design::lsRoundRect);
    EXPECT_EQ(panelShape("SR"), design::lsRectangle);
    EXPECT_EQ(panelShape("EL"), design::lsEllipse);
    EXPECT_EQ(panelShape("el "), design::lsEllipse);
    EXPECT_EQ(panelShape(""), design::lsRoundRect);
}

TEST(LabelDesignGeometry, SizedAtFullSizeAndZoomedBack) {
    design::TGLabelPanel panel;
    sizePanel(panel, labelOf(4.0f, 2.0f, "SR"));
    EXPECT_EQ(panel.Width(), 384);
    EXPECT_EQ(panel.Height(), 192);
    EXPECT_EQ(panel.Shape, design::lsRectangle);

    panel.SetZoom(0.5f);
    sizePanel(panel, labelOf(2.0f, 1.0f, "EL"));
    EXPECT_EQ(panel.Zoom(), 0.5f);
    EXPECT_EQ(panel.Width(), 96);
    EXPECT_EQ(panel.Height(), 48);
    EXPECT_EQ(panel.Shape, design::lsEllipse);
    panel.SetZoom(1.0f);
    EXPECT_EQ(panel.Width(), 192);
    EXPECT_EQ(panel.Height(), 96);
}

TEST(LabelDesignGeometry, AFittingPanelIsLeftAlone) {
    design::TGLabelPanel panel;
    sizePanel(panel, labelOf(2.625f, 1.0f));
    int repaints = 0;
    panel.OnRepaint = [&] { ++repaints; };
    sizePanel(panel, labelOf(2.625f, 1.0f));
    EXPECT_EQ(repaints, 0);
}

TEST(LabelDesignPostNet, WidthRule) {
    EXPECT_TRUE(tooNarrowForPostNet(labelOf(2.5f, 1.0f)));
    EXPECT_TRUE(tooNarrowForPostNet(labelOf(2.849f, 1.0f)));
    EXPECT_FALSE(tooNarrowForPostNet(labelOf(2.85f, 1.0f)));
    EXPECT_FALSE(tooNarrowForPostNet(labelOf(4.0f, 1.0f)));
}

TEST(LabelDesignPostNet, OnlyTheFirstBarcodeIsRemoved) {
    design::TGLabelPanel panel;
    panel.SetSize(400, 100);
    panel.AddObject(std::make_unique<design::TGLabelShapes>(), QRect(QPoint(0, 0), QPoint(20, 20)));
    design::TGGraphicControl* first = addPostNet(panel, 10);
    design::TGGraphicControl* second = addPostNet(panel, 150);
    ASSERT_EQ(panel.ObjectCount(), 3);
    EXPECT_TRUE(holdsPostNet(panel));

    EXPECT_TRUE(removeFirstPostNet(panel));
    ASSERT_EQ(panel.ObjectCount(), 2);
    EXPECT_EQ(panel.ChildIndex(first), -1);
    EXPECT_EQ(panel.Object(1), second);
    EXPECT_EQ(panel.Object(1)->ClassName(), QString("TGPostNetBarCode"));

    EXPECT_TRUE(removeFirstPostNet(panel));
    EXPECT_FALSE(holdsPostNet(panel));
    EXPECT_FALSE(removeFirstPostNet(panel));
    EXPECT_EQ(panel.ObjectCount(), 1);
}

TEST(LabelDesignNewLabel, AddressBlockFillsTheLabelAndIsSelected) {
    design::TGLabelPanel panel;
    sizePanel(panel, labelOf(2.625f, 1.0f));
    addNewLabelAddressBlock(panel);
    ASSERT_EQ(panel.ObjectCount(), 1);
    design::TGGraphicControl* block = panel.Object(0);
    EXPECT_EQ(block->ClassName(), QString("TGDMultiLineAddressLabel"));
    EXPECT_EQ(block->Left(), 5);
    EXPECT_EQ(block->Top(), 5);
    // (5, 5) to (242, 86): 237 wide; the block may widen to its text.
    EXPECT_GE(block->Width(), 252 - 10 - 5);
    EXPECT_EQ(panel.PanelState(), design::psPointing);
    EXPECT_TRUE(panel.Pointing());
    EXPECT_EQ(panel.SelectionCount(), 1);
    EXPECT_EQ(panel.Selected(0), block);
}

TEST(LabelDesignArt, ACatalogueStockIsDrawnAndAHandMadeSheetHasNone) {
    LabelDefinition def = labelOf(2.625f, 1.0f);
    def.art = "  ";
    EXPECT_TRUE(hasStockArt(def)); // the default stock, from the catalogue
    EXPECT_FALSE(stockArt(def, QSize(252, 96)).isNull());
    def.maker = "USER";
    EXPECT_FALSE(hasStockArt(def));
    EXPECT_TRUE(stockArt(def, QSize(252, 96)).isNull());
}

TEST(LabelDesignArt, NameUpToTheFirstDotUpperCased) {
    LabelDefinition def;
    def.art = "av5160.bmp";
    EXPECT_EQ(artName(def), "AV5160");
    def.art = "AV5160";
    EXPECT_EQ(artName(def), "AV5160");
}

TEST(LabelDesignArt, SilverOutlineOnWhiteInTheLabelsShape) {
    LabelDefinition def = labelOf(2.625f, 1.0f, "SR");
    def.art = "AV5160.BMP";
    const QImage rect = stockArt(def, QSize(252, 96));
    ASSERT_FALSE(rect.isNull());
    EXPECT_EQ(rect.size(), QSize(252, 96));
    EXPECT_EQ(rect.depth(), 1);
    const QRgb silver = qRgb(192, 192, 192), white = qRgb(255, 255, 255);
    for (int y = 0; y < rect.height(); ++y)
        for (int x = 0; x < rect.width(); ++x) {
            const QRgb c = rect.pixel(x, y) | 0xff000000u;
            ASSERT_TRUE(c == silver || c == white) << x << "," << y;
        }
    EXPECT_EQ(rect.pixel(1, 1) | 0xff000000u, silver);   // the edge
    EXPECT_EQ(rect.pixel(126, 48) | 0xff000000u, white); // the middle
    EXPECT_EQ(rect.pixel(126, 1) | 0xff000000u, silver); // the top edge
    int dots = 0; // the dotted line, a sixteenth of an inch inside
    for (int x = 20; x < 232; ++x)
        dots += (rect.pixel(x, kArtSafeMargin) | 0xff000000u) == silver;
    EXPECT_GT(dots, 20);
    EXPECT_LT(dots, 212);
    def.shape = "EL";
    const QImage ellipse = stockArt(def, QSize(252, 96));
    EXPECT_EQ(ellipse.pixel(1, 1) | 0xff000000u, white); // corners lie outside
    EXPECT_EQ(ellipse.pixel(126, 1) | 0xff000000u, silver);
}

TEST(LabelDesignChanges, QuietChangesDoNotCount) {
    DesignChangeTracker tracker;
    int calls = 0;
    tracker.onChanged = [&] { ++calls; };
    {
        DesignChangeTracker::QuietScope setUp(tracker);
        DesignChangeTracker::QuietScope zooming(tracker);
        tracker.note();
        EXPECT_TRUE(tracker.quiet());
    }
    EXPECT_FALSE(tracker.quiet());
    EXPECT_FALSE(tracker.changed());
    EXPECT_EQ(calls, 0);
    tracker.note();
    EXPECT_TRUE(tracker.changed());
    EXPECT_EQ(calls, 1);
}

TEST(LabelDesignSheet, CaptionNamesTheStockOrTheManualLayout) {
    LabelDefinition def;
    EXPECT_EQ(sheetCaption(def), "Avery 5160  Address");
    applyManualLayout(def, manualLayoutOf(def));
    EXPECT_EQ(sheetCaption(def), "User Defined Label Layout");
}
