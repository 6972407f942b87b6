// Address block line composition, and the panel commands with the
// clipboard file.
#include "design/address_label.h"
#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/layout_stream.h"
#include "design/object_registry.h"
#include "design/panel_commands.h"
#include "design/shapes.h"
#include "design/text_labels.h"
#include "store/shared_routines.h"
#include "support/program_home.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace qp::design;

namespace {
TMapDataSource Record() {
    TMapDataSource s;
    s.Add("PREFIX", "Prefix", "");
    s.Add("FNAME", "First", "Ann");
    s.Add("MIDDLE", "Middle", "B");
    s.Add("LNAME", "Last", "Lee");
    s.Add("TITLE", "Title", "");
    s.Add("ORG", "Org", "Acme");
    s.Add("STREET", "Street", "1 Main St");
    s.Add("STREET2", "Street2", "");
    s.Add("CITY", "City", "Springfield");
    s.Add("STATE", "State", "IL");
    s.Add("ZIP", "Zip", "62701");
    s.Add("COUNTRY", "Country", "USA");
    s.Add("PHONE", "Phone", "555-1234");
    return s;
}
} // namespace

TEST(AddressBlock, LineComposition) {
    TMapDataSource r = Record();
    TAddressLayout L;
    EXPECT_EQ(ComposeAddressLines(L, r),
              QStringList({"Ann B. Lee ", "Acme", "1 Main St", "Springfield  IL 62701", "USA"}));
    L.ZipOptions = zoBeforeCity;
    L.UsePhone = true;
    EXPECT_EQ(ComposeAddressLines(L, r).mid(3),
              QStringList({"62701 Springfield IL ", "USA", "555-1234"}));
    L = TAddressLayout{};
    L.UseCityState = false;
    EXPECT_EQ(ComposeAddressLines(L, r).mid(3), QStringList({"62701", "USA"}));
    L = TAddressLayout{};
    L.UseCountry = false;
    L.ZipOptions = zoAfterCountry;
    EXPECT_EQ(ComposeAddressLines(L, r).mid(3), QStringList({"Springfield IL", "62701"}));
    L.UseCountry = true;
    EXPECT_EQ(ComposeAddressLines(L, r).mid(3), QStringList({"Springfield IL", "USA 62701"}));
    r.Values["COUNTRY"] = "";
    L.ZipOptions = zoBeforeCountry;
    EXPECT_EQ(ComposeAddressLines(L, r).mid(3), QStringList({"Springfield IL", "62701 "}));
    r = Record();
    r.Values["MIDDLE"] = "B.";
    L = TAddressLayout{};
    L.UpperCase = true;
    EXPECT_EQ(ComposeAddressLines(L, r).first(), "ANN B.. LEE ");
    // A missing field is empty and does not stop the lines after it.
    TMapDataSource partial = Record();
    partial.Values.erase("ORG");
    partial.FieldList.erase(partial.FieldList.begin() + 5);
    EXPECT_EQ(ComposeAddressLines(TAddressLayout{}, partial).size(), 4);
    // A city/state/ZIP line of spaces only is dropped.
    TMapDataSource blank;
    blank.Add("CITY", "City", " ");
    EXPECT_TRUE(ComposeAddressLines(TAddressLayout{}, blank).isEmpty());
}

TEST(AddressBlock, PanelShowsPlaceholderOrRecordAndStoresNoLines) {
    TMapDataSource r = Record();
    TGLabelPanel p;
    p.SetSize(400, 200);
    p.SetDataSet(&r);
    auto* a = static_cast<TGDMultiLineAddressLabel*>(
        p.InsertLoaded(std::make_unique<TGDMultiLineAddressLabel>()));
    EXPECT_EQ(a->Width(), 190);
    p.RefreshDataValues();
    EXPECT_EQ(a->Items().size(), 5);
    p.SetDisplayDataValues(false);
    p.RefreshDataValues();
    EXPECT_EQ(a->Items(), QStringList{"[Address Label]"});
    p.SetDisplayDataValues(true);
    p.ShowDesignTextAll();
    bool hasItems = false;
    for (const auto& prop : a->StoredProperties())
        hasItems |= prop.Name == "Items.Strings";
    EXPECT_FALSE(hasItems);
}

namespace {
class Commands : public ::testing::Test {
protected:
    // The clipboard file lives in the program folder: each test its own.
    qp::test::ScopedProgramHome Home;
    void SetUp() override {
        QFile::remove(TGBasePanel::ClipboardPath());
        P.SetSize(400, 300);
        P.Clock = [this] { return Now; };
    }
    TGGraphicControl* Add(int l, int t, int w, int h) {
        auto* o = P.InsertLoaded(CreateBuiltInObject("TGLabelShapes"));
        o->SetBounds(l, t, w, h);
        return o;
    }
    std::int64_t Now = 100000;
    TGLabelPanel P;
    TPanelCommands C{P};
};
} // namespace

TEST_F(Commands, Alignment) {
    auto* a = Add(30, 10, 70, 20);
    auto* b = Add(50, 40, 70, 25);
    auto* c = Add(70, 80, 20, 10);
    for (auto* o : {a, b, c})
        P.AddToSelection(o);
    C.AlignLeft();
    EXPECT_EQ(a->Left() + b->Left() + c->Left(), 90);
    a->SetLeft(30), b->SetLeft(50), c->SetLeft(70); // right edges 100, 120, 90
    C.AlignRight();
    for (auto* o : {a, b, c})
        EXPECT_EQ(o->Left() + o->Width(), 120);
    C.AlignTops();
    for (auto* o : {a, b, c})
        EXPECT_EQ(o->Top(), 10);
    C.AlignBottoms();
    for (auto* o : {a, b, c})
        EXPECT_EQ(o->Top() + o->Height(), 35);
    C.CenterHorizontally();
    EXPECT_EQ(c->Left(), 200 - 10);
}

TEST_F(Commands, CopyPasteThroughTheClipboardFile) {
    auto* a = Add(10, 20, 50, 30);
    EXPECT_FALSE(C.CanPaste());
    C.Copy(); // empty selection writes nothing
    EXPECT_FALSE(C.CanPaste());
    P.AddToSelection(a);
    ASSERT_TRUE(C.Copy());
    ASSERT_TRUE(C.CanPaste());
    ASSERT_TRUE(C.Paste());
    Now += 500;
    C.Paste(); // too soon
    ASSERT_EQ(P.ObjectCount(), 2);
    Now += 1500;
    C.Paste();
    ASSERT_EQ(P.ObjectCount(), 3);
    EXPECT_EQ(P.Object(1)->BoundsRect(), QRect(25, 35, 50, 30));
    // Each further paste of the same copy lands 15 pixels further.
    EXPECT_EQ(P.Object(2)->BoundsRect(), QRect(40, 50, 50, 30));
    // The clipboard holds zoom-1.0 coordinates; paste scales to the zoom.
    P.SetZoom(2.0f);
    Now += 1500;
    C.Paste();
    EXPECT_EQ(P.Object(3)->BoundsRect(), QRect(110, 130, 100, 60));
}

TEST_F(Commands, CutOfAnUnselectedObjectAndDestroyingAPanel) {
    auto* a = Add(10, 20, 50, 30);
    auto* b = Add(100, 20, 50, 30);
    P.AddToSelection(a);
    ASSERT_TRUE(C.CutObject(b));
    EXPECT_EQ(P.ObjectCount(), 1);
    EXPECT_EQ(P.SelectionCount(), 1);
    std::vector<std::vector<TStreamObject>> lists;
    QFile f(TGBasePanel::ClipboardPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ASSERT_TRUE(ParseObjectLists(f.readAll(), lists, nullptr, 1));
    ASSERT_EQ(lists.at(0).size(), 1u);
    EXPECT_EQ(std::get<std::int32_t>(lists[0][0].Properties[0].Value), 100);
    { TGLabelPanel other; }
    EXPECT_FALSE(C.CanPaste());
}

TEST_F(Commands, CloneLayeringLockingAndSelectAll) {
    auto* a = Add(10, 20, 50, 30);
    auto* b = Add(100, 20, 50, 30);
    P.AddToSelection(a);
    P.AddToSelection(b);
    TGGraphicControl* c = C.Clone(a);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->BoundsRect(), QRect(10, 45, 50, 30));
    EXPECT_EQ(P.Object(P.ObjectCount() - 1), c);
    EXPECT_LT(P.IndexOf(a), 0);
    EXPECT_GE(P.IndexOf(b), 0);
    EXPECT_GE(P.IndexOf(c), 0);
    C.SendSelectionToBack(); // b then c: c ends up first
    EXPECT_EQ(P.Object(0), c);
    EXPECT_EQ(P.Object(1), b);
    EXPECT_EQ(P.SelectionCount(), 0);
    C.LockAll();
    for (int i = 0; i < P.ObjectCount(); ++i)
        EXPECT_TRUE(P.Object(i)->Locked());
    C.UnlockAll();
    EXPECT_FALSE(a->Locked());
    C.SelectAll();
    EXPECT_EQ(P.SelectionCount(), 3);
    C.MarkAllUnselectable();
    EXPECT_EQ(P.SelectionCount(), 0);
    C.SelectAll();
    EXPECT_EQ(P.SelectionCount(), 0);
    C.MarkAllSelectable();
    C.SelectAll();
    C.Delete();
    EXPECT_EQ(P.ObjectCount(), 0);
}
