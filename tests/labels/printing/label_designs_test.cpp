// Saved label designs and their layout files, the position flags, the paper
// check and the printer alignment.

#include "label_print_fixture.h"

#include "labels/printing/paper_check.h"
#include "labels/printing/printer_alignment.h"
#include "store/settings_file.h"

#include <fstream>

using qp::testing::LabelPrintFixture;
namespace fs = std::filesystem;

namespace {

class LabelDesigns : public LabelPrintFixture {
protected:
    void SetUp() override {
        LabelPrintFixture::SetUp();
        auto t = qp::labels::openLabelTable(sysdata);
        ASSERT_TRUE(t) << t.error();
        labelTable.emplace(std::move(*t));
        ASSERT_TRUE(qp::labels::showSavedLabels(*labelTable));
        layout.SetSize(252, 96);
        layout.AddObject(std::make_unique<qp::design::TGDMultiLineAddressLabel>(),
                         QRect(QPoint(5, 5), QPoint(240, 90)));
    }
    qp::labels::LabelDefinition saved(const std::string& description) {
        qp::labels::LabelDefinition def;
        def.description = description;
        auto fresh = qp::labels::freshLayoutFileName(sysdata, *labelTable);
        EXPECT_TRUE(fresh);
        def.layoutFile = fresh.value_or("");
        auto st = qp::labels::saveLabelDesign(*labelTable, def, true, layout, sysdata);
        EXPECT_TRUE(st) << st.error();
        return def;
    }
    std::optional<qp::store::Table> labelTable;
    qp::design::TGLabelPanel layout;
};

TEST_F(LabelDesigns, AFreshNameIsFreeOnDiskAndInEveryRecord) {
    EXPECT_EQ(qp::labels::freshLayoutFileName(sysdata, *labelTable), "BIN00001.L");
    std::ofstream(sysdata + "/bin00001.l") << "x"; // another spelling is the same file
    EXPECT_EQ(qp::labels::freshLayoutFileName(sysdata, *labelTable), "BIN00002.L");
    auto def = saved("First");
    EXPECT_EQ(def.layoutFile, "BIN00002.L");
    // A deleted record still owns its name, even once the file is gone.
    ASSERT_TRUE(qp::labels::deleteLabelDesign(*labelTable, sysdata));
    EXPECT_FALSE(fs::exists(sysdata + "/BIN00002.L"));
    EXPECT_EQ(qp::labels::freshLayoutFileName(sysdata, *labelTable), "BIN00003.L");
}

TEST_F(LabelDesigns, SavingWritesTheLayoutAndTheRecord) {
    auto def = saved("Avery 5160");
    auto found = qp::labels::findLabelDesign(*labelTable, "avery 5160");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->layoutFile, def.layoutFile);
    qp::design::TGLabelPanel back;
    ASSERT_TRUE(
        qp::design::LoadLayoutFile(back, QString::fromStdString(sysdata + "/" + def.layoutFile)));
    EXPECT_EQ(back.ObjectCount(), 1);
}

TEST_F(LabelDesigns, ALayoutThatCannotBeWrittenAddsNoRecord) {
    saved("Kept");
    const auto count = labelTable->recCount();
    // A folder where the file should go stops the write whoever runs it.
    fs::create_directory(sysdata + "/BIN00009.L");
    qp::labels::LabelDefinition def;
    def.description = "Lost";
    def.layoutFile = "BIN00009.L";
    auto st = qp::labels::saveLabelDesign(*labelTable, def, true, layout, sysdata);
    EXPECT_FALSE(st);
    EXPECT_EQ(labelTable->recCount(), count);
    EXPECT_FALSE(qp::labels::findLabelDesign(*labelTable, "Lost"));
}

TEST_F(LabelDesigns, CloneCopiesTheRecordAndTheLayoutUnderANewName) {
    auto def = saved("Avery 5160");
    ASSERT_TRUE(qp::labels::findLabelDesign(*labelTable, "Avery 5160"));
    qp::design::TGLabelPanel scratch;
    auto copy = qp::labels::cloneLabelDesign(*labelTable, sysdata, scratch);
    ASSERT_TRUE(copy) << copy.error();
    EXPECT_EQ(copy->description, "Clone of :Avery 5160");
    EXPECT_NE(copy->layoutFile, def.layoutFile);
    EXPECT_TRUE(fs::exists(sysdata + "/" + copy->layoutFile));
    EXPECT_EQ(qp::labels::readLabelDefinition(*labelTable).description, "Clone of :Avery 5160");
    EXPECT_EQ(qp::labels::cloneDescription(std::string(60, 'x')).size(), 50u);
}

TEST_F(LabelDesigns, CloningWithoutItsLayoutFileCopiesNothing) {
    auto def = saved("Gone");
    fs::remove(sysdata + "/" + def.layoutFile);
    const auto count = labelTable->recCount();
    qp::design::TGLabelPanel scratch;
    ASSERT_TRUE(qp::labels::findLabelDesign(*labelTable, "Gone"));
    auto copy = qp::labels::cloneLabelDesign(*labelTable, sysdata, scratch);
    ASSERT_FALSE(copy);
    EXPECT_EQ(copy.error(), qp::labels::kLayoutFileRemovedMessage);
    EXPECT_EQ(labelTable->recCount(), count);
}

TEST_F(LabelDesigns, QuestionsNameTheDescription) {
    EXPECT_EQ(qp::labels::deleteQuestion("Avery 5160  "), "Delete \"Avery 5160\"?");
    EXPECT_EQ(qp::labels::cloneQuestion("Avery 5160"), "Clone \"Avery 5160\"?");
}

TEST(LabelPositions, ParseNumbersFromOneRowByRow) {
    auto p = qp::labels::LabelPositions::parse("1,3, 5-6", 30);
    ASSERT_TRUE(p) << p.error();
    EXPECT_EQ(p->selectedCount(), 4);
    EXPECT_TRUE(p->selected(0));
    EXPECT_FALSE(p->selected(1));
    EXPECT_TRUE(p->selected(5));
    EXPECT_EQ(qp::labels::LabelPositions::parse("", 30)->selectedCount(), 30);
    EXPECT_FALSE(qp::labels::LabelPositions::parse("0", 30));
    EXPECT_FALSE(qp::labels::LabelPositions::parse("31", 30));
    EXPECT_FALSE(qp::labels::LabelPositions::parse("5-3", 30));
    EXPECT_FALSE(qp::labels::LabelPositions::parse("a", 30));
}

TEST(LabelPositions, AnotherSheetSizeStartsWithEveryPositionSet) {
    qp::labels::LabelDefinition def;
    qp::labels::LabelPositions p(def);
    p.set(4, false);
    p.fitSheet(def);
    EXPECT_FALSE(p.selected(4));
    def.down = 7;
    p.fitSheet(def);
    EXPECT_EQ(p.count(), 21);
    EXPECT_EQ(p.selectedCount(), 21);
    EXPECT_FALSE(p.selected(21));
}

TEST(PaperCheck, ShortAndLongSidesAreComparedWhateverTheOrientation) {
    const qp::labels::Size letter{8.5, 11};
    EXPECT_TRUE(qp::labels::paperMatches(letter, 8.5, 11));
    EXPECT_TRUE(qp::labels::paperMatches(letter, 11, 8.5));
    EXPECT_TRUE(qp::labels::paperMatches(letter, 8.54, 10.96));
    EXPECT_FALSE(qp::labels::paperMatches(letter, 8.27, 11.69));
    EXPECT_FALSE(qp::labels::paperMatches(letter, 0, 0));
    EXPECT_EQ(qp::labels::paperQuestion({4, 6.5}),
              "Unable to confirm that the paper size was set to\r\n\r\n4.00\" by 6.50\"\r\n\r\n"
              "(you may have the wrong printer selected)\r\n\r\nWould you like to try printing "
              "anyways?");
}

TEST_F(LabelDesigns, ThePdfPrinterTakesEveryPaperTheSheetsName) {
    qp::labels::LabelDefinition def;
    for (const char* code : {"LTR", "LTRL", "A4", "A4L", "A5"}) {
        def.paperSize = code;
        auto s = qp::labels::portraitPaperSize(def);
        if (std::string(code).find("A4") == 0)
            s = {8.27, 11.69};
        if (std::string(code) == "A5")
            s = {5.82, 8.27};
        def.sheetWidth =
            static_cast<float>(qp::labels::isLandscapePaper(code) ? s.height : s.width);
        def.sheetDepth =
            static_cast<float>(qp::labels::isLandscapePaper(code) ? s.width : s.height);
        EXPECT_TRUE(qp::labels::labelPaperConfirmed(setup, def)) << code;
    }
    def.paperSize = "USERP";
    def.sheetWidth = 4;
    def.sheetDepth = 6;
    EXPECT_TRUE(qp::labels::labelPaperConfirmed(setup, def));
    EXPECT_NEAR(setup.PageWidth(), 4, 0.01);
}

TEST_F(LabelDesigns, TheAlignmentIsKeptPerPrinter) {
    qp::store::SettingsFile settings(folder.path() / "QUILLP.ini");
    EXPECT_EQ(qp::labels::readPrinterAlignment(settings, "Office").x, 0);
    ASSERT_TRUE(qp::labels::writePrinterAlignment(settings, "Office", {0.03, -0.02}));
    ASSERT_TRUE(qp::labels::writePrinterAlignment(settings, "Home=1", {5, 0}));
    auto office = qp::labels::readPrinterAlignment(settings, "Office");
    EXPECT_DOUBLE_EQ(office.x, 0.03);
    EXPECT_DOUBLE_EQ(office.y, -0.02);
    EXPECT_DOUBLE_EQ(qp::labels::readPrinterAlignment(settings, "Home=1").x,
                     qp::labels::kMaxAlignmentOffset);
    ASSERT_TRUE(qp::labels::writePrinterAlignment(settings, "Office", {0, 0}));
    EXPECT_FALSE(settings.keyExists(qp::labels::kAlignmentSection, "Office"));
}

} // namespace
