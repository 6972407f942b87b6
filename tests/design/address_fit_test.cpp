// The address block's shrink to fit: stored only when set, and on paper a
// long address steps down in size, then loses its Title line, and never its
// city/state/ZIP line.
#include "design/address_label.h"
#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/layout_stream.h"

#include <gtest/gtest.h>

using namespace qp::design;

namespace {

TMapDataSource LongRecord() {
    TMapDataSource s;
    s.Add("PREFIX", "Prefix", "Dr.");
    s.Add("FNAME", "First", "Theodora");
    s.Add("MIDDLE", "Middle", "");
    s.Add("LNAME", "Last", "Quincy-Harper");
    s.Add("TITLE", "Title", "Director of Procurement");
    s.Add("ORG", "Org", "Big Bob's Diner");
    s.Add("STREET", "Street", "1200 Commonwealth Ave");
    s.Add("STREET2", "Street2", "Suite 400");
    s.Add("CITY", "City", "Boston");
    s.Add("STATE", "State", "MA");
    s.Add("ZIP", "Zip", "02134");
    s.Add("COUNTRY", "Country", "USA");
    s.Add("PHONE", "Phone", "");
    return s;
}

QByteArray Bytes(const TGGraphicControl& o) {
    TStreamWriter w;
    w.WriteObjectList({&o});
    return w.Data();
}

// A block the size a new 1 x 2 5/8 in label gives it, at 10 points.
struct Label {
    TMapDataSource record = LongRecord();
    TGLabelPanel panel;
    TGDMultiLineAddressLabel* block = nullptr;
    explicit Label(int height = 81) {
        panel.SetSize(252, 96);
        panel.SetDataSet(&record);
        block = static_cast<TGDMultiLineAddressLabel*>(
            panel.InsertLoaded(std::make_unique<TGDMultiLineAddressLabel>()));
        block->SetBounds(5, 5, 237, height);
        TDesignFont f = block->Font();
        f.Size = 10;
        block->SetFont(f);
    }
};

} // namespace

TEST(AddressFit, StoredOnlyWhenSetAndOffWhenAbsent) {
    TGDMultiLineAddressLabel plain;
    EXPECT_FALSE(plain.ShrinkToFit);
    EXPECT_FALSE(Bytes(plain).contains("ShrinkToFit"));

    TGDMultiLineAddressLabel shrinking;
    shrinking.ShrinkToFit = true;
    const QByteArray bytes = Bytes(shrinking);
    ASSERT_TRUE(bytes.contains("ShrinkToFit"));
    TGLabelPanel p;
    p.SetSize(400, 200);
    TStreamReader r(bytes);
    ASSERT_TRUE(TGLabelObjectFiler().ReadList(r, p, false));
    ASSERT_EQ(p.ObjectCount(), 1);
    EXPECT_TRUE(static_cast<TGDMultiLineAddressLabel*>(p.Object(0))->ShrinkToFit);
}

TEST(AddressFit, ALongAddressShrinksAndKeepsEveryLine) {
    Label off;
    off.panel.Printing = true;
    off.panel.RefreshDataValues();
    EXPECT_TRUE(off.block->Clipped()); // seven lines at 10 points: the city line is cut

    Label on;
    on.block->ShrinkToFit = true;
    on.panel.Printing = true;
    on.panel.RefreshDataValues();
    EXPECT_FALSE(on.block->Clipped());
    ASSERT_EQ(on.block->Items().size(), 7);
    EXPECT_EQ(on.block->Items()[1], "Director of Procurement");
    EXPECT_LT(on.block->ZoomedPoints(), 10.0);
    EXPECT_GE(on.block->ZoomedPoints(), kShrinkMinimumPoints);
}

TEST(AddressFit, TheTitleGoesFirstAndTheCityLineStays) {
    // Five lines at 6 points fit, seven do not: the title goes, then one more.
    Label small(48);
    small.block->ShrinkToFit = true;
    small.panel.Printing = true;
    small.panel.RefreshDataValues();
    const QStringList lines = small.block->Items();
    EXPECT_FALSE(lines.contains("Director of Procurement"));
    EXPECT_TRUE(lines.contains("Boston  MA 02134")) << lines.join('|').toStdString();
    EXPECT_TRUE(lines.contains("Suite 400")) << lines.join('|').toStdString();
    EXPECT_EQ(small.block->ZoomedPoints(), kShrinkMinimumPoints);
    EXPECT_TRUE(small.block->Clipped());

    // Back at the designer's font size for a short record.
    Label shortOne;
    shortOne.block->ShrinkToFit = true;
    shortOne.record.Values["TITLE"] = "";
    shortOne.record.Values["ORG"] = "";
    shortOne.record.Values["STREET2"] = "";
    shortOne.panel.Printing = true;
    shortOne.panel.RefreshDataValues();
    EXPECT_EQ(shortOne.block->ZoomedPoints(), 10.0);
    EXPECT_FALSE(shortOne.block->Clipped());
}
