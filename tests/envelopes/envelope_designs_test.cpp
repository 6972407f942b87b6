// ENVELOPE.DBF and its layout files: opening, fresh names, save, clone and
// delete with their files, and damaged tables and layouts.

#include "design/graphic_control.h"
#include "design/layout_stream.h"
#include "envelopes/envelope_definition.h"
#include "envelopes/envelope_panel.h"
#include "labels_test_support.h"
#include "support/file_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace qp::envelopes;
namespace fs = std::filesystem;

namespace {

using qp::testing::slurp;

class EnvelopeDesigns : public ::testing::Test {
protected:
    void SetUp() override {
        sysdata = folder.file("sysdata");
        fs::create_directory(sysdata);
        auto t = openEnvelopeTable(sysdata);
        ASSERT_TRUE(t) << t.error();
        table.emplace(std::move(*t));
    }
    // A saved definition with a starter layout.
    EnvelopeDefinition add(const std::string& description, int code = 20) {
        EnvelopeDefinition def;
        def.description = description;
        def.code = code;
        def.layoutFile = *freshEnvelopeLayoutName(sysdata, *table);
        TEnvelopePanel panel;
        panel.SizeForEnvelope(def.width(), def.height());
        AddStarterObjects(panel);
        auto st = saveEnvelopeDesign(*table, def, true, panel, sysdata);
        EXPECT_TRUE(st) << st.error();
        return def;
    }
    std::string layout(const EnvelopeDefinition& d) { return sysdata + "/" + d.layoutFile; }

    qp::testing::LabelsTempFolder folder;
    std::string sysdata;
    std::optional<qp::store::Table> table;
};

} // namespace

TEST_F(EnvelopeDesigns, TableIsCreatedWithItsSchemaAndTag) {
    EXPECT_TRUE(table->eof());
    EXPECT_GT(table->tagArea("DESCRIPT"), 0);
    add("Office");
    add("Home", 27);
    table.reset();
    auto again = openEnvelopeTable(sysdata);
    ASSERT_TRUE(again) << again.error();
    // In DESCRIPT order on the first record.
    EXPECT_EQ(readEnvelopeDefinition(*again).description, "Home");
    EXPECT_EQ(readEnvelopeDefinition(*again).code, 27);
    EXPECT_EQ(readEnvelopeDefinition(*again).layoutFile, "BIN00002.E");
}

TEST_F(EnvelopeDesigns, ADamagedTableIsReportedAndNeverRecreated) {
    add("Office");
    table.reset();
    const std::string dbf = sysdata + "/ENVELOPE.DBF";
    {
        std::ofstream f(dbf, std::ios::binary | std::ios::trunc);
        f << "not a table at all";
    }
    auto t = openEnvelopeTable(sysdata);
    ASSERT_FALSE(t);
    EXPECT_EQ(t.error().rfind("Unable to Open or Create ENVELOPE.DBF", 0), 0u) << t.error();
    EXPECT_EQ(slurp(dbf), "not a table at all");
}

TEST_F(EnvelopeDesigns, FreshNamesSkipFilesAndEveryRecordDeletedOnesToo) {
    const EnvelopeDefinition a = add("A");
    EXPECT_EQ(a.layoutFile, "BIN00001.E");
    { std::ofstream(sysdata + "/bin00002.e") << "x"; } // any letter case is taken
    const EnvelopeDefinition b = add("B");
    EXPECT_EQ(b.layoutFile, "BIN00003.E");
    // Deleting B removes its file, but its name stays in the deleted record.
    ASSERT_TRUE(findEnvelopeDesign(*table, "B"));
    ASSERT_TRUE(deleteEnvelopeDesign(*table, sysdata));
    EXPECT_FALSE(fs::exists(layout(b)));
    EXPECT_EQ(*freshEnvelopeLayoutName(sysdata, *table), "BIN00004.E");
}

TEST_F(EnvelopeDesigns, CloneCopiesTheLayoutByteForByte) {
    const EnvelopeDefinition office = add("Office", 27);
    ASSERT_TRUE(findEnvelopeDesign(*table, "office"));
    auto copy = cloneEnvelopeDesign(*table, sysdata);
    ASSERT_TRUE(copy) << copy.error();
    EXPECT_EQ(copy->description, "Clone of Office");
    EXPECT_EQ(copy->code, 27);
    EXPECT_NE(copy->layoutFile, office.layoutFile);
    EXPECT_EQ(slurp(layout(*copy)), slurp(layout(office)));
    // The new record is current and stored.
    EXPECT_EQ(readEnvelopeDefinition(*table).description, "Clone of Office");
    ASSERT_TRUE(findEnvelopeDesign(*table, "Clone of Office"));
}

TEST_F(EnvelopeDesigns, CloneOfAMissingLayoutAddsNothing) {
    const EnvelopeDefinition office = add("Office");
    fs::remove(layout(office));
    ASSERT_TRUE(findEnvelopeDesign(*table, "Office"));
    auto copy = cloneEnvelopeDesign(*table, sysdata);
    ASSERT_FALSE(copy);
    EXPECT_EQ(copy.error(), kLayoutFileRemovedMessage);
    int records = 0;
    for (bool ok = table->first(); ok && !table->eof(); ok = table->next())
        ++records;
    EXPECT_EQ(records, 1);
}

TEST_F(EnvelopeDesigns, AFailedCopyIsRolledBack) {
    const EnvelopeDefinition office = add("Office");
    ASSERT_TRUE(findEnvelopeDesign(*table, "Office"));
    const std::string next = *freshEnvelopeLayoutName(sysdata, *table);
    // Make the sysdata folder read-only: nothing can be created in it.
    fs::permissions(sysdata, fs::perms::owner_write, fs::perm_options::remove);
    auto copy = cloneEnvelopeDesign(*table, sysdata);
    fs::permissions(sysdata, fs::perms::owner_write, fs::perm_options::add);
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    ASSERT_FALSE(copy);
    EXPECT_NE(copy.error().find("could not be copied"), std::string::npos) << copy.error();
    int records = 0;
    for (bool ok = table->first(); ok && !table->eof(); ok = table->next())
        ++records;
    EXPECT_EQ(records, 1);
    EXPECT_FALSE(fs::exists(sysdata + "/" + next));
}

TEST_F(EnvelopeDesigns, SaveKeepsDescriptionToFiftyCharacters) {
    EnvelopeDefinition def;
    def.description = std::string(70, 'D');
    def.layoutFile = "BIN00001.E";
    TEnvelopePanel panel;
    panel.SizeForEnvelope(9.5, 4.125);
    ASSERT_TRUE(saveEnvelopeDesign(*table, def, true, panel, sysdata));
    EXPECT_EQ(readEnvelopeDefinition(*table).description, std::string(50, 'D'));
    EXPECT_TRUE(fs::exists(sysdata + "/BIN00001.E"));
}

TEST_F(EnvelopeDesigns, LayoutNamesOutsideTheFormAreRefused) {
    EnvelopeDefinition def;
    def.layoutFile = "../evil.E";
    EXPECT_FALSE(envelopeLayoutPath(sysdata, def));
    def.layoutFile = "BIN00001.L";
    EXPECT_FALSE(envelopeLayoutPath(sysdata, def));
    def.layoutFile = "BIN00001.E";
    EXPECT_TRUE(envelopeLayoutPath(sysdata, def));
}

TEST_F(EnvelopeDesigns, ADamagedLayoutIsReportedAndLeftAlone) {
    const EnvelopeDefinition office = add("Office");
    const std::string path = layout(office);
    std::string bytes = slurp(path);
    bytes.resize(bytes.size() / 2);
    {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f << bytes;
    }
    EXPECT_FALSE(checkEnvelopeLayoutFile(path));
    TEnvelopePanel panel;
    QString error;
    EXPECT_FALSE(qp::design::LoadLayoutFile(panel, QString::fromStdString(path), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(slurp(path), bytes);
}

TEST_F(EnvelopeDesigns, StarterObjectsLieInsideTheTemplateAreas) {
    TEnvelopePanel panel;
    panel.SizeForEnvelope(9.5, 4.125);
    AddStarterObjects(panel);
    ASSERT_EQ(panel.ObjectCount(), 2);
    const auto areas = AutomationTemplateAreas(panel.Width(), panel.Height(), 1.0f);
    auto inside = [](const QRect& area, const QRect& o) {
        return o.left() >= area.left() && o.top() >= area.top() &&
               o.left() + o.width() <= area.right() && o.top() + o.height() <= area.bottom();
    };
    EXPECT_EQ(panel.Object(0)->ClassName(), "TGDMultiLineAddressLabel");
    EXPECT_TRUE(inside(areas[2].rect, panel.Object(0)->BoundsRect()))
        << panel.Object(0)->BoundsRect().x() << "," << panel.Object(0)->BoundsRect().y();
    EXPECT_EQ(panel.Object(1)->ClassName(), "TGPostNetBarCode");
    EXPECT_TRUE(inside(areas[1].rect, panel.Object(1)->BoundsRect()));
}
