#include "labels/label_definition.h"
#include "labels/template_filter.h"
#include "labels_test_support.h"
#include "store/system_tables.h"

#include <gtest/gtest.h>

using namespace qp::labels;

namespace {

LabelDefinition sheet(int across, int down) {
    LabelDefinition d;
    d.across = across;
    d.down = down;
    d.leftMargin = 0.25f;
    d.topMargin = 0.5f;
    d.horizontalPitch = 2.75f;
    d.verticalPitch = 1.0f;
    return d;
}

} // namespace

TEST(LabelGeometry, DefaultsOfANewDefinition) {
    LabelDefinition d;
    EXPECT_EQ(d.description, "<New Label>");
    EXPECT_EQ(d.templateName, "Avery 5160  Address");
    EXPECT_EQ(d.across, 3);
    EXPECT_EQ(d.down, 10);
    EXPECT_FLOAT_EQ(d.horizontalPitch, 2.765f);
    EXPECT_FLOAT_EQ(d.verticalPitch, 1.01f);
    EXPECT_EQ(d.paperSize, "LTR");
    EXPECT_EQ(d.shape, "RR");
    EXPECT_TRUE(d.layoutFile.empty());
}

TEST(LabelGeometry, MidExtraXMovesTheRightHalfOfThreeColumns) {
    auto d = sheet(3, 10);
    d.midExtraX = 0.25;
    EXPECT_NEAR(cellOrigin(d, 0, 0).x, 0.25, 1e-6);
    EXPECT_NEAR(cellOrigin(d, 1, 0).x, 0.25 + 2.75 + 0.25, 1e-6);
    EXPECT_NEAR(cellOrigin(d, 2, 0).x, 0.25 + 5.5 + 0.25, 1e-6);
    EXPECT_NEAR(cellOrigin(d, 2, 0).y, 0.5, 1e-6);
}

TEST(LabelGeometry, MidExtraXOnTwoColumnsMovesColumnOneOnly) {
    auto d = sheet(2, 5);
    d.midExtraX = 0.125;
    EXPECT_NEAR(cellOrigin(d, 0, 3).x, 0.25, 1e-6);
    EXPECT_NEAR(cellOrigin(d, 1, 3).x, 0.25 + 2.75 + 0.125, 1e-6);
}

TEST(LabelGeometry, MidExtraYMovesTheLowerHalfOfTheRows) {
    auto d = sheet(3, 7); // 7 div 2 = 3: rows 3..6 move
    d.midExtraY = 0.5;
    EXPECT_NEAR(cellOrigin(d, 0, 2).y, 0.5 + 2.0, 1e-6);
    EXPECT_NEAR(cellOrigin(d, 0, 3).y, 0.5 + 3.0 + 0.5, 1e-6);
    EXPECT_NEAR(cellOrigin(d, 0, 6).y, 0.5 + 6.0 + 0.5, 1e-6);
}

TEST(LabelGeometry, ZeroOrNegativeMidExtrasAddNothing) {
    auto d = sheet(3, 10);
    for (double extra : {0.0, -0.3}) {
        d.midExtraX = extra;
        d.midExtraY = extra;
        EXPECT_NEAR(cellOrigin(d, 2, 9).x, 0.25 + 5.5, 1e-6);
        EXPECT_NEAR(cellOrigin(d, 2, 9).y, 0.5 + 9.0, 1e-6);
    }
}

TEST(LabelGeometry, PositionsAreNumberedRowByRow) {
    auto d = sheet(3, 10);
    EXPECT_EQ(positionIndex(d, 0, 0), 0);
    EXPECT_EQ(positionIndex(d, 2, 0), 2);
    EXPECT_EQ(positionIndex(d, 0, 1), 3);
    EXPECT_EQ(positionIndex(d, 2, 9), 29);
    EXPECT_EQ(positionsPerSheet(d), 30);
    for (int p = 0; p < 30; ++p) {
        EXPECT_EQ(positionIndex(d, positionColumn(d, p), positionRow(d, p)), p);
        auto o = positionOrigin(d, p);
        auto c = cellOrigin(d, p % 3, p / 3);
        EXPECT_DOUBLE_EQ(o.x, c.x);
        EXPECT_DOUBLE_EQ(o.y, c.y);
    }
    EXPECT_EQ(positionsPerSheet(sheet(10, 30)), 300);
}

TEST(LabelGeometry, LandscapeCodesTurnThePaper) {
    LabelDefinition d;
    d.sheetWidth = 11.0f;
    d.sheetDepth = 8.5f;
    for (const char* code : {"LTRL", "A4L", "USERL"}) {
        d.paperSize = code;
        EXPECT_TRUE(isLandscapePaper(code));
        auto s = portraitPaperSize(d);
        EXPECT_DOUBLE_EQ(s.width, 8.5);
        EXPECT_DOUBLE_EQ(s.height, 11.0);
    }
    for (const char* code : {"LTR", "A4", "A5", "USERP"}) {
        d.paperSize = code;
        EXPECT_FALSE(isLandscapePaper(code));
        EXPECT_DOUBLE_EQ(portraitPaperSize(d).width, 11.0);
    }
    EXPECT_EQ(paperRequest("LTRL"), PaperRequest::Letter);
    EXPECT_EQ(paperRequest("A4L"), PaperRequest::A4);
    EXPECT_EQ(paperRequest("A5"), PaperRequest::A5);
    EXPECT_EQ(paperRequest("USERP"), PaperRequest::UserDefined);
    EXPECT_EQ(paperRequest("USERL"), PaperRequest::UserDefined);
}

TEST(LabelGeometry, ManualLayoutMakesAUserDefinition) {
    LabelDefinition d;
    d.midExtraX = 0.3;
    d.art = "5160";
    ManualLayout m;
    m.labelWidth = 4;
    m.across = 1;
    m.horizontalPitch = 3; // one column: a smaller pitch is allowed
    applyManualLayout(d, m);
    EXPECT_EQ(d.maker, "USER");
    EXPECT_TRUE(d.templateName.empty());
    EXPECT_TRUE(d.printer.empty());
    EXPECT_TRUE(d.productType.empty());
    EXPECT_EQ(d.midExtraX, 0);
    EXPECT_TRUE(d.art.empty());
    EXPECT_EQ(sheetName(d), "[User Defined]");
    EXPECT_TRUE(isUserDefined(d));
}

TEST(LabelGeometry, RoundsToThousandthsAsStored) {
    EXPECT_DOUBLE_EQ(roundToThousandths(2.62549), 2.625);
    EXPECT_DOUBLE_EQ(roundToThousandths(static_cast<float>(2.765)), 2.765);
    EXPECT_DOUBLE_EQ(roundToThousandths(0.0394), 0.039);
}

TEST(LabelTable, WritesAndReadsADefinition) {
    qp::testing::LabelsTempFolder folder;
    auto table = openLabelTable(folder.path().string());
    ASSERT_TRUE(table) << table.error();
    LabelDefinition d;
    d.description = std::string(60, 'x');
    d.layoutFile = "BIN00001.L";
    d.midExtraY = 0.1234;
    ASSERT_TRUE(table->append());
    ASSERT_TRUE(writeLabelDefinition(*table, d));
    ASSERT_TRUE(table->post());
    ASSERT_TRUE(showSavedLabels(*table));
    auto back = readLabelDefinition(*table);
    EXPECT_EQ(back.description, std::string(50, 'x'));
    EXPECT_EQ(back.layoutFile, "BIN00001.L");
    EXPECT_FLOAT_EQ(back.horizontalPitch, 2.765f);
    EXPECT_DOUBLE_EQ(back.midExtraY, 0.123);
    EXPECT_EQ(back.templateName, "Avery 5160  Address");
    EXPECT_EQ(back.across, 3);
}

TEST(LabelTable, MissingCatalogueIsNeverCreated) {
    qp::testing::LabelsTempFolder folder;
    auto table = openLabelTemplateTable(folder.path().string());
    ASSERT_FALSE(table);
    EXPECT_EQ(table.error().substr(0, 25), "Unable to Open LBLTPL.DBF");
    EXPECT_FALSE(std::filesystem::exists(folder.file("LBLTPL.DBF")));
}

TEST(TemplateFilter, ExpressionsAsTheListsSetThem) {
    EXPECT_EQ(templateFilterExpression("Avery Laserjet", 0, false),
              " UPPER(manufac)=\"AVERY\"  and  UPPER(printer)=\"LJ\"  and "
              " UPPER(PRODTYPE)=\"ADDRESS/SHIPPING LABELS\" ");
    EXPECT_EQ(templateFilterExpression("Costar LabelPrinter", 2, false),
              " UPPER(manufac)=\"COSTAR\"  and  UPPER(printer)=\"LP\"  and "
              " UPPER(PRODTYPE)=\"DISKETTE LABELS\" ");
    // "All" with European sizes: maker, printer and paper only.
    EXPECT_EQ(templateFilterExpression("Avery Inkjet", kAllProductsItem, true),
              " UPPER(manufac)=\"AVERY\"  and  UPPER(printer)=\"IJ\"  and "
              " (\"A4\"$UPPER(PAPERSIZE) OR \"A5\"$UPPER(PAPERSIZE))");
    EXPECT_EQ(templateFilterExpression("Avery Dot Matrix", 5, false),
              " UPPER(manufac)=\"AVERY\"  and  UPPER(printer)=\"DM\"  and "
              " UPPER(PRODTYPE)=\"MISCELLANEOUS\" ");
}

TEST(TemplateFilter, PreselectionForUserNewAndStockDefinitions) {
    auto user = preselectTemplate("USER", "", "", false);
    EXPECT_EQ(user.manufacturer, 0);
    EXPECT_EQ(user.product, 0);
    EXPECT_FALSE(user.seekTemplate);
    auto fresh = preselectTemplate("COSTAR", "LP", "CARD PRODUCTS", true);
    EXPECT_EQ(fresh.manufacturer, 0);
    EXPECT_FALSE(fresh.seekTemplate);
    auto inkjet = preselectTemplate("avery", "IJ", "card products", false);
    EXPECT_EQ(inkjet.manufacturer, 1);
    EXPECT_EQ(inkjet.product, 1);
    EXPECT_TRUE(inkjet.seekTemplate);
    EXPECT_EQ(preselectTemplate("AVERY", "DM", "X", false).product, kAllProductsItem);
    EXPECT_EQ(preselectTemplate("AVERY", "DM", "X", false).manufacturer, 2);
    EXPECT_EQ(preselectTemplate("COSTAR", "LJ", "", false).manufacturer, 3);
    EXPECT_EQ(preselectTemplate("NEBS", "DM", "", false).manufacturer, 0);
}
