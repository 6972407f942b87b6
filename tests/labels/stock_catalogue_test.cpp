// The full stock catalogue: its size, its geometry, the template window's
// filters over it, the search, the upgrade of an older catalogue and the
// sheets users keep in it.
#include "labels/label_stock.h"
#include "labels/template_filter.h"
#include "labels/user_stock.h"
#include "labels_test_support.h"
#include "support/file_bytes.h"
#include "support/peer_tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

using namespace qp::labels;

namespace {

// The first sheets of the shipped catalogue: the catalogue of the release
// before, which folders made by that release still hold.
constexpr std::size_t kOldSheetCount = 341;

std::string olderCatalogueCsv() {
    std::istringstream in{std::string(qp::store::shippedLabelStockCsv())};
    std::string out, line;
    for (std::size_t n = 0; n <= kOldSheetCount && std::getline(in, line); ++n)
        out += line + "\n";
    return out;
}

std::set<std::string> matching(qp::store::Table& t, const std::string& expression) {
    std::set<std::string> names;
    auto n = applyTemplateFilter(t, expression);
    EXPECT_TRUE(n) << expression << ": " << (n ? "" : n.error());
    if (n && *n > 0)
        for (bool ok = t.first(); ok && !t.eof(); ok = t.next())
            names.insert(t.getString("DESCRIPT"));
    return names;
}

using qp::testing::slurp;

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(buildLabelTemplateTable(folder.file("LBLTPL.DBF")));
        auto t = openLabelTemplateTable(folder.path().string());
        ASSERT_TRUE(t) << t.error();
        table.emplace(std::move(*t));
    }
    qp::testing::LabelsTempFolder folder;
    std::optional<qp::store::Table> table;
};

} // namespace

TEST_F(Catalogue, HoldsEverySheetOfEveryMaker) {
    EXPECT_EQ(table->recCount(), 1319u);
    auto makers = catalogueMakers(*table);
    EXPECT_EQ(makers.size(), 25u); // Dymo sheets carry the maker COSTAR
    for (const char* m : {"AVERY", "COSTAR", "HERMA", "ZWECKFORM", "HISAGO", "ONLINE"})
        EXPECT_NE(std::find(makers.begin(), makers.end(), m), makers.end()) << m;
    // The one quoted description keeps its comma.
    EXPECT_EQ(matching(*table, stockSearchExpression("Slimline spine"))
                  .count("Neato Slimline CD Case, spine  CD/DVD case (upside down)"),
              1u);
}

TEST_F(Catalogue, EveryCellLiesOnItsPaper) {
    // Sheets whose labels run edge to edge carry the rounding of their
    // millimetre sizes: up to a hundredth of an inch is allowed.
    constexpr double slack = 0.011;
    std::size_t n = 0;
    for (bool ok = table->first(); ok && !table->eof(); ok = table->next(), ++n) {
        const LabelTemplate s = readLabelTemplate(*table);
        LabelDefinition d;
        applyTemplate(d, s);
        ASSERT_GT(s.across, 0) << s.description;
        ASSERT_GT(s.down, 0) << s.description;
        EXPECT_GT(s.labelWidth, 0) << s.description;
        EXPECT_GT(s.labelHeight, 0) << s.description;
        for (int r = 0; r < s.down; ++r)
            for (int c = 0; c < s.across; ++c) {
                const Point p = cellOrigin(d, c, r);
                EXPECT_GE(p.x, -slack) << s.description;
                EXPECT_GE(p.y, -slack) << s.description;
                // The definition's own geometry: tall rolls come turned.
                EXPECT_LE(p.x + d.labelWidth, d.sheetWidth + slack) << s.description;
                EXPECT_LE(p.y + d.labelHeight, d.sheetDepth + slack) << s.description;
            }
    }
    EXPECT_EQ(n, 1319u);
}

TEST_F(Catalogue, FixedItemsKeepTheirQueriesAndEarlierResults) {
    // The four fixed items build the same query text as before...
    EXPECT_EQ(templateFilterExpression("Avery Laserjet", 0, false),
              " UPPER(manufac)=\"AVERY\"  and  UPPER(printer)=\"LJ\"  and  "
              "UPPER(PRODTYPE)=\"ADDRESS/SHIPPING LABELS\" ");
    EXPECT_EQ(templateFilterExpression(ManufacturerItem{"Costar LabelPrinter", {}},
                                       kAllProductsItem, true),
              templateFilterExpression("Costar LabelPrinter", kAllProductsItem, true));
    // ... and over the full catalogue find every sheet the earlier catalogue
    // gave them; what they add are sheets of the new part only.
    qp::testing::LabelsTempFolder oldFolder;
    ASSERT_TRUE(buildLabelTemplateTable(oldFolder.file("LBLTPL.DBF"), olderCatalogueCsv(), {}));
    auto old = openLabelTemplateTable(oldFolder.path().string());
    ASSERT_TRUE(old);
    ASSERT_EQ(old->recCount(), kOldSheetCount);
    std::set<std::string> oldNames = matching(*old, "");
    for (auto item : kManufacturerItems)
        for (int product = 0; product <= kAllProductsItem; ++product)
            for (bool european : {false, true}) {
                const std::string expr = templateFilterExpression(item, product, european);
                auto before = matching(*old, expr);
                auto now = matching(*table, expr);
                for (const auto& name : before)
                    EXPECT_TRUE(now.count(name)) << expr << " lost " << name;
                for (const auto& name : now) {
                    if (!before.count(name)) {
                        EXPECT_FALSE(oldNames.count(name)) << expr << " gained " << name;
                    }
                }
            }
}

TEST_F(Catalogue, OtherMakersHaveTheirOwnItems) {
    auto items = manufacturerItems(catalogueMakers(*table));
    ASSERT_EQ(items.size(), 4u + 23u); // the fixed four, then the 23 other makers
    for (std::size_t i = 0; i < kManufacturerItems.size(); ++i) {
        EXPECT_EQ(items[i].text, kManufacturerItems[i]);
        EXPECT_TRUE(items[i].maker.empty());
    }
    for (std::size_t i = 5; i < items.size(); ++i)
        EXPECT_LT(upperAscii(items[i - 1].text), upperAscii(items[i].text));
    // Every sheet can be reached through one item of the list.
    std::set<std::string> reached;
    for (const auto& item : items) {
        auto names = matching(*table, templateFilterExpression(item, kAllProductsItem, false));
        // The fixed items may find nothing (no dot-matrix stock ships); a
        // maker's own item always finds that maker's sheets.
        EXPECT_TRUE(item.maker.empty() || !names.empty()) << item.text;
        reached.insert(names.begin(), names.end());
    }
    EXPECT_EQ(reached.size(), 1319u);
    // Another maker's item with the European switch: only A4 and A5 of that maker.
    auto herma =
        std::find_if(items.begin(), items.end(), [](const auto& i) { return i.maker == "HERMA"; });
    ASSERT_NE(herma, items.end());
    EXPECT_EQ(herma->text, "Herma");
    ASSERT_TRUE(applyTemplateFilter(*table, templateFilterExpression(*herma, 5, true)));
    std::size_t n = 0;
    for (bool ok = table->first(); ok && !table->eof(); ok = table->next(), ++n) {
        auto s = readLabelTemplate(*table);
        EXPECT_EQ(s.maker, "HERMA");
        EXPECT_EQ(s.productType, "MISCELLANEOUS");
        EXPECT_TRUE(s.paperSize == "A4" || s.paperSize == "A5") << s.description;
    }
    EXPECT_GT(n, 10u);
}

TEST_F(Catalogue, SearchFindsSheetsOfAnyMaker) {
    EXPECT_EQ(stockSearchExpression("  "), "");
    EXPECT_EQ(stockSearchExpression("l7163"), "\"L7163\"$UPPER(DESCRIPT)");
    // Quotes only part words: a typed text cannot end the literal.
    EXPECT_EQ(stockSearchExpression("a\"b'c"),
              "\"A\"$UPPER(DESCRIPT) and \"B\"$UPPER(DESCRIPT) and \"C\"$UPPER(DESCRIPT)");
    auto l7163 = matching(*table, stockSearchExpression("L7163"));
    EXPECT_TRUE(l7163.count("Avery L7163  Mailing"));
    auto herma = matching(*table, stockSearchExpression("herma 5051"));
    EXPECT_EQ(herma, std::set<std::string>{"Herma 5051  Multipurpose labels"});
    auto n4457 = matching(*table, stockSearchExpression("4457"));
    EXPECT_TRUE(n4457.count("Herma 4457  Rectangular labels"));
    EXPECT_TRUE(matching(*table, stockSearchExpression("nothing-like-this")).empty());
}

TEST(CatalogueUpgrade, RenewsAnOlderCatalogueOnceKeepingUserSheets) {
    qp::testing::LabelsTempFolder home;
    const auto sysdata = home.path() / "sysdata";
    std::filesystem::create_directories(sysdata);
    ASSERT_TRUE(
        buildLabelTemplateTable((sysdata / "LBLTPL.DBF").string(), olderCatalogueCsv(), {}));
    ManualLayout m;
    m.labelWidth = 3.1;
    m.horizontalPitch = 3.2;
    m.across = 2;
    ASSERT_TRUE(saveUserStock(sysdata.string(), userStockSheet(m, "My shop sheet")));
    // A saved label definition is another table: the upgrade leaves it be.
    std::ofstream(sysdata / "LABEL.DBF", std::ios::binary) << "saved labels";

    ASSERT_TRUE(seedLabelCatalogue(home.path().string()));
    std::optional<qp::store::Table> t;
    {
        auto opened = openLabelTemplateTable(sysdata.string());
        ASSERT_TRUE(opened) << opened.error();
        t.emplace(std::move(*opened));
    }
    EXPECT_EQ(t->recCount(), 1320u);
    auto current = catalogueIsCurrent(*t);
    ASSERT_TRUE(current);
    EXPECT_TRUE(*current);
    auto users = userSheetsOf(*t);
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0].description, "My shop sheet");
    EXPECT_DOUBLE_EQ(users[0].labelWidth, 3.1);
    EXPECT_EQ(users[0].across, 2);
    EXPECT_EQ(matching(*t, stockSearchExpression("shop")), std::set<std::string>{"My shop sheet"});
    t.reset();
    EXPECT_EQ(slurp(sysdata / "LABEL.DBF"), "saved labels");
    EXPECT_FALSE(std::filesystem::exists(sysdata / "LBLTPL_N.DBF"));

    // Once only: a second start leaves the renewed catalogue byte for byte.
    const std::string renewed = slurp(sysdata / "LBLTPL.DBF");
    bool upgraded = true;
    ASSERT_TRUE(upgradeLabelCatalogue(sysdata.string(), &upgraded));
    EXPECT_FALSE(upgraded);
    EXPECT_EQ(slurp(sysdata / "LBLTPL.DBF"), renewed);
}

TEST(CatalogueUpgrade, AnUnreadableCatalogueIsLeftAndReported) {
    qp::testing::LabelsTempFolder home;
    const auto sysdata = home.path() / "sysdata";
    std::filesystem::create_directories(sysdata);
    std::ofstream(sysdata / "LBLTPL.DBF", std::ios::binary) << "not a table";
    auto st = seedLabelCatalogue(home.path().string());
    EXPECT_FALSE(st);
    EXPECT_EQ(slurp(sysdata / "LBLTPL.DBF"), "not a table");
}

TEST(UserStock, KeptSheetsAreChosenAgainAndReplacedOnlyByTheirOwnKind) {
    qp::testing::LabelsTempFolder sysdata;
    ASSERT_TRUE(buildLabelTemplateTable(sysdata.file("LBLTPL.DBF")));
    const std::string dir = sysdata.path().string();
    EXPECT_FALSE(userStockNameProblem("  ").empty());
    EXPECT_FALSE(userStockNameProblem(std::string(61, 'x')).empty());
    EXPECT_FALSE(userStockNameProblem("\xe2\x98\x83 snowman").empty());
    EXPECT_TRUE(userStockNameProblem(std::string(60, 'x')).empty());

    ManualLayout m;
    ASSERT_TRUE(saveUserStock(dir, userStockSheet(m, " Shelf tags ")));
    auto use = stockNameUse(dir, "shelf TAGS");
    ASSERT_TRUE(use);
    EXPECT_EQ(*use, StockNameUse::UserSheet);
    m.down = 5;
    ASSERT_TRUE(saveUserStock(dir, userStockSheet(m, "Shelf tags")));
    // A shipped sheet's name is not taken over.
    EXPECT_EQ(*stockNameUse(dir, "Avery 5160  Address"), StockNameUse::CatalogueSheet);
    EXPECT_FALSE(saveUserStock(dir, userStockSheet(m, "avery 5160  address")));

    auto t = openLabelTemplateTable(dir);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->recCount(), 1320u);
    auto users = userSheetsOf(*t);
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0].down, 5);
    EXPECT_EQ(users[0].maker, "USER");
    // The users' item comes last in the list and filters on their sheets.
    auto items = manufacturerItems(catalogueMakers(*t));
    EXPECT_EQ(items.back().maker, "USER");
    EXPECT_EQ(items.back().text, "User Defined");
    EXPECT_EQ(matching(*t, templateFilterExpression(items.back(), 5, false)),
              std::set<std::string>{"Shelf tags"});
    // A definition made from it starts the window on that item.
    EXPECT_EQ(manufacturerItemFor(items, "USER", "Shelf tags", false, 0),
              static_cast<int>(items.size()) - 1);
    EXPECT_EQ(manufacturerItemFor(items, "USER", "", false, 0), 0);
    EXPECT_EQ(manufacturerItemFor(items, "HERMA", "Herma 4457  Rectangular labels", true, 0), 0);
}

TEST(BatchStockSearch, SearchNarrowsTheListWithTheOtherOptions) {
    qp::testing::LabelsTempFolder home;
    const std::string batch = "QUILLPOST_HOME=" + qp::testing::shellQuote(home.path().string()) +
                              " " + qp::testing::shellQuote(QP_BATCH_EXE) + " stock list";
    auto herma = qp::testing::runCommand(batch + " --search 'herma 5051'");
    ASSERT_EQ(herma.status, 0) << herma.output;
    EXPECT_EQ(std::count(herma.output.begin(), herma.output.end(), '\n'), 2) << herma.output;
    EXPECT_NE(herma.output.find("Herma 5051  Multipurpose labels,1.000,1.902,4,11"),
              std::string::npos);
    auto avery = qp::testing::runCommand(batch + " --search L7163");
    EXPECT_NE(avery.output.find("Avery L7163  Mailing"), std::string::npos) << avery.output;
    // The other options still apply: no Herma sheet is called L7163.
    auto none = qp::testing::runCommand(batch + " --search L7163 --maker herma");
    ASSERT_EQ(none.status, 0);
    EXPECT_EQ(std::count(none.output.begin(), none.output.end(), '\n'), 1) << none.output;
    EXPECT_EQ(qp::testing::runCommand(batch + " --search ' '").status, 2);
}
