// Every kind's stored properties, set one by one on a fresh object of the
// same class, give back the same list: what a layout stream relies on.
#include "design/base_panel.h"
#include "design/object_registry.h"
#include "design/shapes.h"
#include "design/text_labels.h"

#include <gtest/gtest.h>

using namespace qp::design;

namespace {

void ExpectRoundTrip(TGGraphicControl& o) {
    const TPropertyList props = o.StoredProperties();
    auto copy = CreateBuiltInObject(o.ClassName());
    ASSERT_NE(copy, nullptr) << o.ClassName().toStdString();
    copy->BeginLoading();
    for (const TProperty& p : props)
        EXPECT_TRUE(copy->SetProperty(p.Name, p.Value)) << p.Name.toStdString();
    copy->Loaded();
    const TPropertyList back = copy->StoredProperties();
    ASSERT_EQ(back.size(), props.size()) << o.ClassName().toStdString();
    for (size_t i = 0; i < props.size(); ++i)
        EXPECT_EQ(back[i], props[i])
            << o.ClassName().toStdString() << " " << props[i].Name.toStdString();
}

TEST(StoredProperties, EveryKindRoundTripsWithItsNonDefaults) {
    TDesignFont font;
    font.Name = "Times New Roman";
    font.Size = 14;
    font.Bold = font.Underline = true;
    font.Color = TColor{255};
    font.Pitch = fpVariable;

    TGPLabel label;
    label.SetBounds(10, 20, 300, 40);
    label.SetCaption("Caption");
    label.SetFont(font);
    label.SetAlignment(taRightJustify);
    label.SetDepthShadow(3);
    label.SetDepthHighlight(2);
    label.SetDirectionShadow(sdLeft);
    label.SetDirectionHighlight(hdUp);
    label.SetcolorShadow(TColor{1234567});
    label.SetcolorHighlight(clBlack);
    label.SetTransparent(false);
    label.SetBackColor(TColor{0x80000005});
    label.SetLocked(true);
    label.Hint = "hint";
    ExpectRoundTrip(label);

    TGPLabel turned;
    turned.SetAngle(270);
    ExpectRoundTrip(turned);

    TGPDLabel field;
    field.DataFieldName = "LNAME";
    field.DataFieldDescript = "Last Name";
    field.LengthOfText = 12;
    ExpectRoundTrip(field);

    TGCounterLabel counter;
    counter.ApplySettings(-5, 3, "No. ", " of", 4);
    ExpectRoundTrip(counter);

    TGSymbolLabel symbol;
    ExpectRoundTrip(symbol);

    TGDateTimeLabel clock;
    clock.DateFormat = dtfDateLong;
    clock.TimeFormat = dtfTimeShort;
    ExpectRoundTrip(clock);

    TGPageNumberLabel page;
    ExpectRoundTrip(page);

    TGMultiLineLabel multi;
    multi.SetItems({"one", "", "three"});
    multi.SetFont(font);
    multi.SetAlignment(taCenter);
    multi.SetWordWrap(true);
    multi.AutoSize = true;
    ExpectRoundTrip(multi);

    TGDMultiLineLabel memo;
    memo.DataFieldName = "Memo";
    memo.DataFieldDescript = "MEMO";
    ExpectRoundTrip(memo);

    for (TGLabelShapes* s : {static_cast<TGLabelShapes*>(new TGLabelShapes),
                             static_cast<TGLabelShapes*>(new Trpshapes)}) {
        std::unique_ptr<TGLabelShapes> own(s);
        s->SetShape(stRoundSquare);
        TDesignPen pen{TColor{255}, 5, qp::print::psDash, qp::print::pmXor};
        s->SetPen(pen);
        s->SetBrush({TColor{65280}, qp::print::bsCross});
        s->SetRoundPerc(60);
        ExpectRoundTrip(*s);
        s->SetTransparent(true);
        ExpectRoundTrip(*s);
    }

    TGLineShape line;
    line.SetLineStyle(stAngleSlopingDown);
    line.SetPen({TColor{8421376}, 7, qp::print::psDot, qp::print::pmCopy});
    ExpectRoundTrip(line);

    TGImage image;
    QImage bmp(3, 2, QImage::Format_RGB32);
    bmp.fill(Qt::yellow);
    image.SetPicture(TDesignPicture::FromImage(bmp));
    image.SetStretch(false);
    ExpectRoundTrip(image);
}

TEST(StoredProperties, WrongTypesAreRefused) {
    TGPLabel l;
    EXPECT_FALSE(l.SetProperty("Left", QString("10")));
    EXPECT_FALSE(l.SetProperty("Alignment", TIdent{"taSideways"}));
    EXPECT_FALSE(l.SetProperty("Font.Style", std::int32_t(1)));
    EXPECT_FALSE(l.SetProperty("Transparent", std::int32_t(1)));
    TGLabelShapes s;
    EXPECT_FALSE(s.SetProperty("Shape", TIdent{"stTriangle"}));
    EXPECT_FALSE(s.SetProperty("Pen.Mode", TIdent{"pmSomething"}));
    EXPECT_EQ(l.Left(), 0);
}

TEST(StoredProperties, LabelPanelRegistersItsClasses) {
    TGLabelPanel p;
    for (const char* c :
         {"TGLineShape", "TGImage", "TGLabelShapes", "TGPLabel", "TGPDLabel", "TGCounterLabel",
          "TGSymbolLabel", "TGMultiLineLabel", "TGDMultiLineLabel"})
        EXPECT_TRUE(IsDesignClassRegistered(c)) << c;
    auto o = CreateDesignObject("TGCounterLabel");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->ClassName(), "TGCounterLabel");
}

} // namespace
