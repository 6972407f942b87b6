// Text, shape, line and image objects: layout geometry, setter rules, data
// values from a data source, counters, stored properties and their clamps.
#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/shapes.h"
#include "design/text_labels.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace qp::design;

namespace {

const TProperty* Find(const TPropertyList& l, const QString& name) {
    for (const TProperty& p : l)
        if (p.Name == name)
            return &p;
    return nullptr;
}

QStringList Names(const TPropertyList& l) {
    QStringList out;
    for (const TProperty& p : l)
        out << p.Name;
    return out;
}

TEST(TextLabel, ShadowAndHighlightGiveMarginsAndBlockHeight) {
    TGPLabel l;
    l.SetCaption("AB");
    l.SetDirectionShadow(sdDownRight);
    l.SetDepthShadow(3);
    l.SetDirectionHighlight(hdUpLeft);
    l.SetDepthHighlight(2);
    l.Layout();
    const auto& g = l.Geometry();
    EXPECT_EQ(g.mx, 2);
    EXPECT_EQ(g.my, 2);
    EXPECT_EQ(g.f, g.lh + 5);
    EXPECT_EQ(g.ShadowOrigin - g.TextOrigin, QPoint(3, 3));
    EXPECT_EQ(g.HighlightOrigin - g.TextOrigin, QPoint(-2, -2));
}

TEST(TextLabel, TextBoxEndsBetweenBlockAndOnePointTwoTimesItWithoutResizing) {
    TGPLabel l;
    l.SetHeight(200);
    l.Layout();
    const int f = l.Geometry().f;
    EXPECT_EQ(l.Geometry().BoxH, int(f * 1.2));
    EXPECT_EQ(l.Height(), 200); // the stored size stays
    l.SetHeight(5);
    l.Layout();
    EXPECT_EQ(l.Geometry().BoxH, f);
    EXPECT_EQ(l.Height(), 5);
}

TEST(TextLabel, AngleRulesSwapSidesAndForceLeftAlignment) {
    TGPLabel l;
    ASSERT_EQ(l.Width(), 142);
    ASSERT_EQ(l.Height(), 33);
    l.SetAlignment(taCenter);
    l.SetAngle(45);
    EXPECT_EQ(l.Angle(), 0);
    l.SetAngle(90);
    EXPECT_EQ(l.Width(), 33);
    EXPECT_EQ(l.Height(), 142);
    EXPECT_EQ(l.Alignment(), taLeftJustify);
    l.SetAngle(270);
    EXPECT_EQ(l.Width(), 33); // already upright
    l.SetAngle(180);
    EXPECT_EQ(l.Width(), 142);
}

TEST(TextLabel, NewObjectDefaultsAndStoredPropertiesInOrder) {
    TGPLabel l;
    l.SetBounds(10, 20, 142, 33);
    const TPropertyList props = l.StoredProperties();
    EXPECT_EQ(Names(props), QStringList({"Left", "Top", "Width", "Height", "Locked", "Unselectable",
                                         "Caption", "Font.Color", "Font.Height", "Font.Name",
                                         "Font.Style", "Transparent", "BackColor"}));
    EXPECT_EQ(std::get<std::int32_t>(Find(props, "Font.Height")->Value), -13);
    EXPECT_EQ(std::get<QString>(Find(props, "Caption")->Value), "Text");
    EXPECT_EQ(std::get<TColor>(Find(props, "BackColor")->Value), clWhite);
    EXPECT_TRUE(std::get<TSet>(Find(props, "Font.Style")->Value).Names.isEmpty());

    l.SetAlignment(taCenter);
    l.SetDepthShadow(4);
    const QStringList names = Names(l.StoredProperties());
    EXPECT_EQ(names.indexOf("Alignment"), 6);
    EXPECT_EQ(names.indexOf("DepthShadow"), 7);
}

TEST(TextLabel, ValuesFromAStreamAreClampedAndCheckedForType) {
    TGCounterLabel c;
    c.BeginLoading();
    EXPECT_TRUE(c.SetProperty("RepeatEach", std::int32_t(0)));
    EXPECT_TRUE(c.SetProperty("LeadingZeros", std::int32_t(12)));
    EXPECT_TRUE(c.SetProperty("DepthShadow", std::int32_t(15)));
    EXPECT_TRUE(c.SetProperty("DepthHighlight", std::int32_t(-3)));
    EXPECT_FALSE(c.SetProperty("RepeatEach", QString("x")));
    EXPECT_FALSE(c.SetProperty("NoSuchProperty", true));
    EXPECT_TRUE(c.SetProperty("Font.Height", std::int32_t(-32)));
    EXPECT_TRUE(c.SetProperty("colorShadow", TIdent{"clRed"}) ==
                false); // names are the reader's job
    EXPECT_TRUE(c.SetProperty("colorShadow", std::int32_t(255)));
    c.Loaded();
    EXPECT_EQ(c.RepeatEach(), 1);
    EXPECT_EQ(c.LeadingZeros(), 9);
    EXPECT_EQ(c.DepthShadow(), 10);
    EXPECT_EQ(c.DepthHighlight(), 0);
    EXPECT_EQ(c.Font().Size, 24);
    EXPECT_EQ(c.colorShadow(), TColor{255});

    TGLineShape line;
    EXPECT_TRUE(line.SetProperty("Pen.Width", std::int32_t(100000)));
    EXPECT_LE(line.Pen().Width, 100);
    EXPECT_TRUE(line.SetProperty("Pen.Style", TIdent{"psDot"}));
    EXPECT_EQ(line.Pen().Style, qp::print::psDot);
}

TEST(Counter, PaddingRepeatAndReset) {
    TGCounterLabel c;
    EXPECT_EQ(c.CurrentNumber(), 1);
    c.TextBefore = "No. ";
    c.TextAfter = "!";
    c.SetLeadingZeros(5);
    c.SetStartingnumber(42);
    EXPECT_EQ(c.CounterText(), "No. 00042!");
    c.SetStartingnumber(-42);
    EXPECT_EQ(c.CounterText(), "No. -00042!");

    c.SetLeadingZeros(0);
    c.TextBefore.clear();
    c.TextAfter.clear();
    c.SetStartingnumber(1000);
    c.SetRepeatEach(3);
    QStringList seen;
    for (int i = 0; i < 7; ++i) {
        seen << c.CounterText();
        c.NextLabel();
    }
    EXPECT_EQ(seen, QStringList({"1000", "1000", "1000", "1001", "1001", "1001", "1002"}));
    c.SetStartingnumber(1000); // same value: no reset
    EXPECT_EQ(c.CurrentNumber(), 1002);
    c.ResetCounter();
    EXPECT_EQ(c.CounterText(), "1000");
    c.SetRepeatEach(1);
    c.NextLabel();
    EXPECT_EQ(c.CounterText(), "1001");
}

TEST(Symbol, IndexZeroIsTheSpaceAndAnEmptyCaptionStartsOnTheFirst) {
    TGSymbolLabel s;
    EXPECT_EQ(s.Caption(), "[");
    EXPECT_EQ(s.Font().Name, "WingDings");
    EXPECT_EQ(s.Font().Size, 24);
    EXPECT_EQ(s.SymbolIndex(), '[' - 32);
    s.SetCaption("");
    EXPECT_EQ(s.SymbolIndex(), 0);
    s.ChooseSymbol(s.Font(), 0);
    EXPECT_EQ(s.Caption(), " ");
}

TEST(DateTime, NoDateWithATimeStartsWithASpace) {
    TGDateTimeLabel d;
    d.DateFormat = dtfDateNone;
    d.TimeFormat = dtfTimeShort;
    EXPECT_TRUE(d.ClockText().startsWith(' '));
    d.TimeFormat = dtfTimeNone;
    EXPECT_EQ(d.ClockText(), "");
}

class DataObjects : public ::testing::Test {
protected:
    void SetUp() override {
        Ds.Add("LNAME", "Last Name", "  Smith  ");
        Ds.Add("CITY", "City", "   ");
        Ds.Add("FNAME", "Name", "first");
        Ds.Add("ORG", "Name", "last wins");
        Ds.Add("MEMO", "MEMO", "line one\nline two", 'M');
        P.SetDataSet(&Ds);
        P.SetSize(400, 300);
    }
    TGPDLabel* Field(const QString& descript) {
        auto* d = static_cast<TGPDLabel*>(
            P.AddObject(std::make_unique<TGPDLabel>(), QRect(0, 0, 100, 20)));
        d->DataFieldDescript = descript;
        return d;
    }
    TMapDataSource Ds;
    TGLabelPanel P;
};

TEST_F(DataObjects, FieldValuesKeepLeadingBlanksAndMarkBlanksAtDesignTime) {
    auto* name = Field("Last Name");
    auto* city = Field("City");
    auto* dup = Field("Name");
    auto* missing = Field("Nowhere");
    P.RefreshDataValues();
    EXPECT_EQ(name->Caption(), "  Smith");
    EXPECT_EQ(city->Caption(), "<blank field>");
    EXPECT_EQ(dup->Caption(), "last wins");
    EXPECT_EQ(missing->Caption(), "<undefined field>");

    P.SetDisplayDataValues(false);
    EXPECT_EQ(name->Caption(), "[Last Name]");

    P.Printing = true;
    P.RefreshDataValues();
    EXPECT_EQ(name->Caption(), "  Smith");
    EXPECT_EQ(city->Caption(), "");
    EXPECT_EQ(missing->Caption(), ""); // prints nothing, not its design text
    P.Printing = false;

    P.ShowDesignTextAll();
    EXPECT_EQ(name->Caption(), "");
    EXPECT_EQ(Find(name->StoredProperties(), "Caption"), nullptr);
}

TEST_F(DataObjects, MemoFieldFillsLinesOrShowsItsPlaceholders) {
    auto* memo = static_cast<TGDMultiLineLabel*>(
        P.AddObject(std::make_unique<TGDMultiLineLabel>(), QRect(0, 0, 200, 60)));
    memo->DataFieldDescript = "MEMO";
    P.RefreshDataValues();
    EXPECT_EQ(memo->Items(), QStringList({"line one", "line two"}));
    P.SetDisplayDataValues(false);
    EXPECT_EQ(memo->Items(), QStringList({"[MEMO]"}));
    memo->DataFieldDescript = "Other";
    P.RefreshDataValues();
    EXPECT_EQ(memo->Items(), QStringList({"<undefined memo>"}));
    memo->ShowDesignText();
    EXPECT_TRUE(memo->Items().isEmpty());
}

TEST(MultiLine, WordWrapBreaksAtWordsWithinTheWidth) {
    TGMultiLineLabel m;
    m.SetBounds(0, 0, 80, 40);
    m.SetItems({"the quick brown fox jumps over the lazy dog"});
    m.SetWordWrap(true);
    const QStringList lines = m.Lines();
    EXPECT_GT(lines.size(), 2);
    for (const QString& l : lines)
        EXPECT_LE(DesignTextWidth(m.Font(), m.Font().Size, l), 80) << l.toStdString();
    EXPECT_EQ(lines.join(' '), "the quick brown fox jumps over the lazy dog");
    m.FitToContents();
    EXPECT_EQ(m.Height(), m.LineHeight() * lines.size());
}

TEST(Shapes, GeometryOnScreen) {
    TGLabelShapes s;
    EXPECT_EQ(s.BoundsRect().size(), QSize(25, 25));
    s.SetBounds(0, 0, 100, 40);
    s.SetShape(stRoundRect);
    EXPECT_EQ(s.CornerSize(), 25);
    TDesignPen pen;
    pen.Width = 4;
    s.SetPen(pen);
    EXPECT_EQ(s.ScreenBox(), QRect(QPoint(2, 2), QPoint(99, 39))); // (W-1, H-1)
    EXPECT_EQ(ZoomedPenWidth(1, 0.3f), 1);
    EXPECT_EQ(ZoomedPenWidth(4, 0.5f), 2);
    EXPECT_EQ(ZoomedPenWidth(0, 0.3f), 0);
    s.SetTransparent(true);
    EXPECT_EQ(s.Brush().Style, qp::print::bsClear);
    EXPECT_EQ(Names(s.StoredProperties()).mid(6),
              QStringList({"Transparent", "Brush.Style", "Pen.Width", "Shape"}));
}

TEST(Lines, EndPointsAndStretchToEdges) {
    TGLabelPanel p;
    p.SetSize(300, 200);
    auto* l = static_cast<TGLineShape*>(
        p.AddObject(std::make_unique<TGLineShape>(), QRect(QPoint(10, 10), QPoint(60, 30))));
    l->SetLineStyle(stAngleSlopingUp);
    EXPECT_EQ(l->ScreenLine(), std::make_pair(QPoint(50, 0), QPoint(0, 20)));
    l->StretchToEdges();
    EXPECT_EQ(l->BoundsRect(), QRect(10, 10, 50, 20));
    l->SetLineStyle(stHorizontal);
    l->StretchToEdges();
    EXPECT_EQ(l->BoundsRect(), QRect(0, 10, 300, 20));
    l->SetLineStyle(stVertical);
    l->StretchToEdges();
    EXPECT_EQ(l->BoundsRect(), QRect(0, 0, 300, 200));
}

TEST(Images, StretchAndAutoSizeExcludeEachOtherAndPaintingKeepsTheSize) {
    TGLabelPanel p;
    p.SetSize(400, 400);
    auto* img = static_cast<TGImage*>(
        p.AddObject(std::make_unique<TGImage>(), QRect(QPoint(5, 5), QPoint(110, 110))));
    QImage bmp(200, 100, QImage::Format_RGB32);
    bmp.fill(Qt::red);
    img->SetPicture(TDesignPicture::FromImage(bmp));
    EXPECT_TRUE(img->Stretch());
    p.SetZoom(0.5f);
    img->SetAutoSize(true); // applied at once, at any zoom
    EXPECT_FALSE(img->Stretch());
    EXPECT_EQ(img->BoundsRect().size(), QSize(200, 100));
    img->SetBounds(3, 3, 50, 50);
    QImage canvas(400, 400, QImage::Format_RGB32);
    QPainter painter(&canvas);
    img->Paint(painter); // zoomed: painting keeps the size
    EXPECT_EQ(img->BoundsRect().size(), QSize(50, 50));
    p.SetZoom(1.0f);
    const QSize unzoomed = img->BoundsRect().size();
    img->Paint(painter); // nor at 100 %: painting never changes stored geometry
    EXPECT_EQ(img->BoundsRect().size(), unzoomed);
    img->SetStretch(true);
    EXPECT_FALSE(img->AutoSize());
}

} // namespace
