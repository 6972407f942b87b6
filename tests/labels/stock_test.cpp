#include "labels/label_stock.h"
#include "labels/template_filter.h"
#include "labels_test_support.h"
#include "store/system_tables.h"
#include "support/file_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace qp::labels;

namespace {

using qp::testing::slurp;

std::size_t csvRows() {
    std::ifstream f(std::string(QP_SOURCE_DIR) + "/data/label-stock.csv");
    std::string line;
    std::size_t n = 0;
    while (std::getline(f, line))
        if (!line.empty() && line != "\r")
            ++n;
    return n - 1; // header
}

} // namespace

TEST(LabelStock, EmbeddedCatalogueIsTheDataFile) {
    EXPECT_EQ(qp::store::shippedLabelStockCsv(),
              slurp(std::string(QP_SOURCE_DIR) + "/data/label-stock.csv"));
}

TEST(LabelStock, BuildsEveryRowWithTheDefaultTemplate) {
    qp::testing::LabelsTempFolder folder;
    ASSERT_TRUE(buildLabelTemplateTable(folder.file("LBLTPL.DBF")));
    auto table = openLabelTemplateTable(folder.path().string());
    ASSERT_TRUE(table) << table.error();
    EXPECT_EQ(table->recCount(), csvRows());
    EXPECT_GT(table->recCount(), 300u);
    ASSERT_GT(table->tagArea("DESCRIPT"), 0);
    seekTemplateName(*table, kDefaultTemplateName);
    auto s = readLabelTemplate(*table);
    ASSERT_EQ(s.description, "Avery 5160  Address");
    EXPECT_DOUBLE_EQ(s.labelHeight, 1.0);
    EXPECT_DOUBLE_EQ(s.labelWidth, 2.625);
    EXPECT_EQ(s.across, 3);
    EXPECT_EQ(s.down, 10);
    EXPECT_DOUBLE_EQ(s.topMargin, 0.5);
    EXPECT_DOUBLE_EQ(s.leftMargin, 0.188);
    EXPECT_DOUBLE_EQ(s.horizontalPitch, 2.75);
    EXPECT_DOUBLE_EQ(s.verticalPitch, 1.0);
    EXPECT_DOUBLE_EQ(s.sheetWidth, 8.5);
    EXPECT_DOUBLE_EQ(s.sheetDepth, 11.0);
    EXPECT_EQ(s.printer, "LJ");
    EXPECT_EQ(s.paperSize, "LTR");
    EXPECT_EQ(s.maker, "AVERY");
    EXPECT_EQ(s.productType, "ADDRESS/SHIPPING LABELS");
}

TEST(LabelStock, TwoBuildsAreByteForByteEqual) {
    qp::testing::LabelsTempFolder a, b;
    ASSERT_TRUE(buildLabelTemplateTable(a.file("LBLTPL.DBF")));
    ASSERT_TRUE(buildLabelTemplateTable(b.file("LBLTPL.DBF")));
    auto dbf = slurp(a.file("LBLTPL.DBF"));
    EXPECT_EQ(dbf, slurp(b.file("LBLTPL.DBF")));
    EXPECT_EQ(slurp(a.file("LBLTPL.CDX")), slurp(b.file("LBLTPL.CDX")));
    ASSERT_GT(dbf.size(), 4u);
    EXPECT_EQ(dbf[1], kCatalogueYear - 1900);
    EXPECT_EQ(dbf[2], kCatalogueMonth);
    EXPECT_EQ(dbf[3], kCatalogueDay);
    // A rebuild over an existing catalogue gives the same bytes again.
    ASSERT_TRUE(buildLabelTemplateTable(a.file("LBLTPL.DBF")));
    EXPECT_EQ(slurp(a.file("LBLTPL.DBF")), dbf);
}

TEST(LabelStock, FiltersSelectFromTheCatalogue) {
    qp::testing::LabelsTempFolder folder;
    ASSERT_TRUE(buildLabelTemplateTable(folder.file("LBLTPL.DBF")));
    auto table = openLabelTemplateTable(folder.path().string());
    ASSERT_TRUE(table);
    auto n = applyTemplateFilter(*table, templateFilterExpression("Avery Laserjet", 0, false));
    ASSERT_TRUE(n) << n.error();
    EXPECT_GT(*n, 10u);
    for (bool ok = table->first(); ok && !table->eof(); ok = table->next()) {
        auto s = readLabelTemplate(*table);
        EXPECT_EQ(s.maker, "AVERY");
        EXPECT_EQ(s.printer, "LJ");
        EXPECT_EQ(s.productType, "ADDRESS/SHIPPING LABELS");
    }
    auto eu = applyTemplateFilter(
        *table, templateFilterExpression("Avery Laserjet", kAllProductsItem, true));
    ASSERT_TRUE(eu) << eu.error();
    EXPECT_GT(*eu, 0u);
    for (bool ok = table->first(); ok && !table->eof(); ok = table->next())
        EXPECT_EQ(readLabelTemplate(*table).paperSize.substr(0, 1), "A");
    // No NEBS stock ships: the query matches nothing.
    auto none = applyTemplateFilter(*table, " UPPER(manufac)=\"NEBS\" ");
    ASSERT_TRUE(none);
    EXPECT_EQ(*none, 0u);
}

TEST(LabelStock, SeekEndsOnTheLastRecordWhenTheNameIsMissing) {
    qp::testing::LabelsTempFolder folder;
    ASSERT_TRUE(buildLabelTemplateTable(folder.file("LBLTPL.DBF")));
    auto table = openLabelTemplateTable(folder.path().string());
    ASSERT_TRUE(table);
    ASSERT_TRUE(applyTemplateFilter(*table, templateFilterExpression("Avery Laserjet", 0, false)));
    table->last();
    auto lastName = table->getString("DESCRIPT");
    seekTemplateName(*table, "No such stock");
    EXPECT_FALSE(table->eof());
    EXPECT_EQ(table->getString("DESCRIPT"), lastName);
}

TEST(LabelStock, FirstStartSeedsTheCatalogueOnceAndKeepsAnExistingOne) {
    qp::testing::LabelsTempFolder folder;
    ASSERT_TRUE(seedLabelCatalogue(folder.path().string()));
    std::string built = folder.path().string() + "/sysdata/LBLTPL.DBF";
    ASSERT_TRUE(std::filesystem::exists(built));
    const std::string first = slurp(built);
    ASSERT_TRUE(seedLabelCatalogue(folder.path().string()));
    EXPECT_EQ(slurp(built), first);
    // One that cannot be read is reported and left as it is.
    std::ofstream(built, std::ios::binary | std::ios::trunc) << "the user's own";
    EXPECT_FALSE(seedLabelCatalogue(folder.path().string()));
    EXPECT_EQ(slurp(built), "the user's own");
}
