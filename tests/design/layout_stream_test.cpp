// The layout stream byte for byte, round trips of every kind, damaged data,
// the filer's file operations and the class lists of the panel kinds.
#include "design/address_label.h"
#include "design/barcodes.h"
#include "design/base_panel.h"
#include "design/layout_stream.h"
#include "design/object_registry.h"
#include "design/shapes.h"
#include "design/text_labels.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qp::design;

namespace {

QByteArray Short(const char* s) {
    QByteArray b(s);
    return char(b.size()) + b;
}

QByteArray WriteList(const std::vector<const TGGraphicControl*>& objs) {
    TStreamWriter w;
    w.WriteObjectList(objs);
    return w.Data();
}

QByteArray WritePanelBytes(const TGBasePanel& p) {
    std::vector<const TGGraphicControl*> objs;
    for (int i = 0; i < p.ObjectCount(); ++i)
        objs.push_back(p.Object(i));
    return WriteList(objs);
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& b) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(b);
}

// One object of each kind with non-default values everywhere.
void FillEveryKind(TGBasePanel& p) {
    auto add = [&](std::unique_ptr<TGGraphicControl> o, int l, int t, int w, int h) {
        auto* x = p.AddObject(std::move(o), QRect(QPoint(l, t), QPoint(l + w, t + h)));
        return x;
    };
    auto l = std::make_unique<TGPLabel>();
    l->SetCaption("Hello");
    l->SetAlignment(taCenter);
    l->SetDepthShadow(3);
    l->SetDirectionShadow(sdLeft);
    l->SetcolorShadow(TColor{0x123456});
    l->SetAngle(90);
    TDesignFont f;
    f.Bold = true;
    f.Italic = true;
    f.Size = 14;
    f.Pitch = fpFixed;
    f.Color = TColor{255};
    l->SetFont(f);
    l->SetTransparent(false);
    add(std::move(l), 10, 20, 142, 33)->SetLocked(true);
    auto d = std::make_unique<TGPDLabel>();
    d->DataFieldName = "Last Name";
    d->DataFieldDescript = "LNAME";
    d->LengthOfText = 12;
    add(std::move(d), 5, 300, 60, 20);
    auto c = std::make_unique<TGCounterLabel>();
    c->ApplySettings(1000, 2, "No. ", "-x", 4);
    add(std::move(c), -5, 40, 60, 20);
    add(std::make_unique<TGSymbolLabel>(), 1, 2, 30, 30);
    auto m = std::make_unique<TGMultiLineLabel>();
    m->SetItems({"one", QString(300, 'x'), ""});
    m->SetWordWrap(true);
    add(std::move(m), 1, 2, 100, 50);
    auto dm = std::make_unique<TGDMultiLineLabel>();
    dm->DataFieldName = "Memo";
    dm->DataFieldDescript = "MEMO";
    add(std::move(dm), 1, 2, 100, 50);
    auto a = std::make_unique<TGDMultiLineAddressLabel>();
    a->Layout.UsePhone = true;
    a->Layout.UseTitle = false;
    a->Layout.ZipOptions = zoBeforeCountry;
    a->Layout.UpperCase = true;
    add(std::move(a), 1, 2, 190, 33);
    auto dt = std::make_unique<TGDateTimeLabel>();
    dt->DateFormat = dtfDateLong;
    dt->TimeFormat = dtfTimeShort;
    add(std::move(dt), 1, 2, 50, 20);
    add(std::make_unique<TGPageNumberLabel>(), 1, 2, 50, 20);
    auto s = std::make_unique<TGLabelShapes>();
    s->SetShape(stEllipse);
    s->SetPen(TDesignPen{TColor{0x80000005}, 3, qp::print::psDash, qp::print::pmXor});
    s->SetBrush(TDesignBrush{TColor{65280}, qp::print::bsCross});
    s->SetRoundPerc(40);
    add(std::move(s), 1, 2, 50, 20);
    add(std::make_unique<Trpshapes>(), 1, 2, 50, 20)->SetUnselectable(true);
    auto ln = std::make_unique<TGLineShape>();
    ln->SetLineStyle(stAngleSlopingDown);
    add(std::move(ln), 1, 2, 50, 20);
    auto img = std::make_unique<TGImage>();
    QImage pic(3, 2, QImage::Format_RGB32);
    pic.fill(Qt::red);
    img->SetPicture(TDesignPicture::FromImage(pic));
    add(std::move(img), 1, 2, 50, 20);
    auto pn = std::make_unique<TGPostNetBarCode>();
    pn->ZipCodeField = "ZIP";
    pn->AddressField = "STREET";
    pn->BarCodeType = pnbc9Digit;
    add(std::move(pn), 1, 2, 270, 16);
    auto fim = std::make_unique<TGFIMBarCode>();
    fim->SetFIMType(fimTypeC);
    add(std::move(fim), 1, 2, 60, 60);
}

class AllKindsPanel : public TGDataPanel {
public:
    QStringList StreamClasses() const override {
        QStringList all = PanelKindClasses(pkLabel);
        for (auto k : {pkEnvelope, pkReport})
            for (const QString& c : PanelKindClasses(k))
                if (!all.contains(c))
                    all << c;
        return all;
    }
};

} // namespace

TEST(LayoutStream, EmptyPanelAndTheTextLabelExampleByteForByte) {
    TGLabelPanel p;
    EXPECT_EQ(WritePanelBytes(p), QByteArray("\x01\x00", 2));

    TGPLabel l;
    l.SetName("L1");
    l.SetBounds(10, 20, 142, 33);
    QByteArray want("TPF0");
    want += Short("TGPLabel") + Short("L1");
    want += Short("Left") + QByteArray("\x02\x0A", 2);
    want += Short("Top") + QByteArray("\x02\x14", 2);
    want += Short("Width") + QByteArray("\x03\x8E\x00", 3);
    want += Short("Height") + QByteArray("\x02\x21", 2);
    want += Short("Locked") + QByteArray("\x08", 1);
    want += Short("Unselectable") + QByteArray("\x08", 1);
    want += Short("Caption") + QByteArray("\x06", 1) + Short("Text");
    want += Short("Font.Color") + QByteArray("\x07", 1) + Short("clBlack");
    want += Short("Font.Height") + QByteArray("\x02\xF3", 2);
    want += Short("Font.Name") + QByteArray("\x06", 1) + Short("Arial");
    want += Short("Font.Style") + QByteArray("\x0B\x00", 2);
    want += Short("Transparent") + QByteArray("\x09", 1);
    want += Short("BackColor") + QByteArray("\x07", 1) + Short("clWhite");
    want += QByteArray("\x00\x00", 2);
    EXPECT_EQ(WriteList({&l}), QByteArray("\x01", 1) + want + QByteArray("\x00", 1));
}

TEST(LayoutStream, ValueEncodings) {
    TStreamWriter w;
    w.WriteInteger(127);
    w.WriteInteger(-128);
    w.WriteInteger(128);
    w.WriteInteger(-32769);
    w.WriteValue(TColor{0x123456});
    w.WriteValue(TColor{0x80000018});
    w.WriteString(QString(256, 'a'));
    EXPECT_EQ(w.Data().left(14), QByteArray("\x02\x7F\x02\x80\x03\x80\x00\x04\xFF\x7F\xFF\xFF"
                                            "\x04\x56",
                                            14));
    TStreamReader r(w.Data());
    std::vector<TPropertyValue> got;
    TPropertyValue v;
    bool skip = false;
    while (!r.AtEnd() && r.ReadValue(v, skip))
        got.push_back(v);
    ASSERT_FALSE(r.Failed()) << r.ErrorText().toStdString();
    ASSERT_EQ(got.size(), 7u);
    EXPECT_EQ(std::get<std::int32_t>(got[3]), -32769);
    EXPECT_EQ(std::get<std::int32_t>(got[4]), 0x123456);
    EXPECT_EQ(std::get<TColor>(got[5]).Value, 0x80000018u); // clInfoBk by name
    EXPECT_EQ(std::get<QString>(got[6]).size(), 256);
    EXPECT_EQ(w.Data().at(w.Data().size() - 256 - 5), '\x0C');
}

TEST(LayoutStream, EveryKindRoundTripsByteForByte) {
    AllKindsPanel p;
    FillEveryKind(p);
    const QByteArray first = WritePanelBytes(p);
    TGLabelObjectFiler filer;
    TStreamReader r(first);
    AllKindsPanel q;
    ASSERT_TRUE(filer.ReadList(r, q, false)) << filer.LastError().toStdString();
    ASSERT_EQ(q.ObjectCount(), p.ObjectCount());
    for (int i = 0; i < p.ObjectCount(); ++i) {
        EXPECT_EQ(q.Object(i)->ClassName(), p.Object(i)->ClassName());
        EXPECT_EQ(q.Object(i)->StoredProperties(), p.Object(i)->StoredProperties())
            << p.Object(i)->ClassName().toStdString();
        EXPECT_EQ(q.Object(i)->Name(), QString("Component%1").arg(i));
    }
    // Names differ; rename back and the bytes are equal.
    for (int i = 0; i < p.ObjectCount(); ++i)
        q.Object(i)->SetName(p.Object(i)->Name());
    EXPECT_EQ(WritePanelBytes(q), first);
}

TEST(LayoutStream, EveryEnumerationValueRoundTrips) {
    for (int z = 0; z < 4; ++z)
        for (int t = 0; t < 3; ++t) {
            AllKindsPanel p;
            auto a = std::make_unique<TGDMultiLineAddressLabel>();
            a->Layout.ZipOptions = TZipFormatOptions(z);
            p.InsertLoaded(std::move(a));
            auto b = std::make_unique<TGPostNetBarCode>();
            b->BarCodeType = TPostNetBarCodeType(t);
            p.InsertLoaded(std::move(b));
            auto f = std::make_unique<TGFIMBarCode>();
            f->SetFIMType(TFIMBarCodeType(t));
            p.InsertLoaded(std::move(f));
            const QByteArray bytes = WritePanelBytes(p);
            AllKindsPanel q;
            TStreamReader r(bytes);
            ASSERT_TRUE(TGLabelObjectFiler().ReadList(r, q, false));
            EXPECT_EQ(WritePanelBytes(q), bytes);
            EXPECT_EQ(static_cast<TGDMultiLineAddressLabel*>(q.Object(0))->Layout.ZipOptions, z);
            EXPECT_EQ(static_cast<TGPostNetBarCode*>(q.Object(1))->BarCodeType, t);
            EXPECT_EQ(static_cast<TGFIMBarCode*>(q.Object(2))->FIMType(), t);
        }
}

TEST(LayoutStream, HandBuiltStreamWithOtherIntegerFormsAndEvents) {
    QByteArray obj("TPF0");
    obj += Short("TGPostNetBarCode") + Short("Old");
    obj += Short("Left") + QByteArray("\x04\x05\x00\x00\x00", 5); // 32-bit form of 5
    obj += Short("Top") + QByteArray("\x03\x07\x00", 3);
    obj += Short("OnClick") + QByteArray("\x07", 1) + Short("Clicked");
    obj += Short("ZipCodeField") + QByteArray("\x0C\x03\x00\x00\x00ZIP", 8);
    obj += Short("BarCodeType") + QByteArray("\x07", 1) + Short("pnbc5Digit");
    obj += QByteArray("\x00\x00", 2);
    const QByteArray data = QByteArray("\x01", 1) + obj + QByteArray("\x00", 1);
    TGLabelPanel p;
    TStreamReader r(data);
    ASSERT_TRUE(TGLabelObjectFiler().ReadList(r, p, false));
    ASSERT_EQ(p.ObjectCount(), 1);
    auto* b = static_cast<TGPostNetBarCode*>(p.Object(0));
    EXPECT_EQ(b->Left(), 5);
    EXPECT_EQ(b->Top(), 7);
    EXPECT_EQ(b->ZipCodeField, "ZIP");
    EXPECT_EQ(b->BarCodeType, pnbc5Digit);
    EXPECT_EQ(b->Name(), "Component0");
}

TEST(LayoutStream, DamagedStreamsStopWithTheOffsetAndKeepWholeObjects) {
    TGLabelPanel src;
    FillEveryKind(src); // includes kinds a label may not hold; trim to label kinds
    TGLabelPanel p;
    for (int i = 0; i < 3; ++i)
        p.InsertLoaded(std::move(CreateBuiltInObject("TGPLabel")));
    const QByteArray good = WritePanelBytes(p);
    // Every truncation fails cleanly and leaves only whole objects.
    for (int n = 0; n < good.size(); ++n) {
        TGLabelPanel q;
        TStreamReader r(good.left(n));
        TGLabelObjectFiler f;
        EXPECT_FALSE(f.ReadList(r, q, false)) << n;
        EXPECT_LE(q.ObjectCount(), 3);
        EXPECT_TRUE(f.LastError().contains("at byte")) << f.LastError().toStdString();
        for (int i = 0; i < q.ObjectCount(); ++i)
            EXPECT_EQ(q.Object(i)->StoredProperties(), p.Object(i)->StoredProperties());
    }
    // Every corrupted byte either still reads or fails; never crashes.
    for (int n = 0; n < good.size(); ++n)
        for (quint8 b : {quint8(0x00), quint8(0x0C), quint8(0xFF), quint8(0x0A)}) {
            QByteArray bad = good;
            bad[n] = char(b);
            TGLabelPanel q;
            TStreamReader r(bad);
            TGLabelObjectFiler().ReadList(r, q, false);
        }
    // An unknown tag, a class a label may not hold, an unknown property.
    auto failsWith = [](const QByteArray& d, const char* text, qint64 offset) {
        TGLabelPanel q;
        TStreamReader r(d);
        TGLabelObjectFiler f;
        EXPECT_FALSE(f.ReadList(r, q, false));
        EXPECT_TRUE(f.LastError().contains(text)) << f.LastError().toStdString();
        EXPECT_TRUE(f.LastError().contains(QString("at byte %1").arg(offset)))
            << f.LastError().toStdString();
    };
    QByteArray head = QByteArray("\x01TPF0", 5) + Short("TGPLabel") + Short("");
    failsWith(head + Short("Left") + "\x0E", "Unknown value tag", head.size() + 5);
    failsWith(QByteArray("\x01TPF0", 5) + Short("TGFIMBarCode") + Short("") + QByteArray(2, '\0'),
              "TGFIMBarCode not found", 1);
    failsWith(head + Short("Bogus") + "\x08" + QByteArray("\x00\x00\x00", 3), "Bogus", 1);
    failsWith(QByteArray("\x01XPF0", 5), "TPF0", 1);
    failsWith(head + Short("Caption") + QByteArray("\x0C\xFF\xFF\x00\x00xx", 7), "String longer",
              head.size() + 8);
}

TEST(LayoutStream, FilesAreReplacedOnlyWhenWholeAndDamagedFilesStayUntouched) {
    QTemporaryDir dir;
    const QString path = dir.filePath("BIN00001.L");
    TGLabelPanel p;
    p.InsertLoaded(CreateBuiltInObject("TGPLabel"));
    p.InsertLoaded(CreateBuiltInObject("TGPostNetBarCode"));
    QString err;
    ASSERT_TRUE(SaveLayoutFile(p, path, &err)) << err.toStdString();
    EXPECT_EQ(FileBytes(path), WritePanelBytes(p));

    // A missing file loads nothing and succeeds.
    TGLabelPanel empty;
    EXPECT_TRUE(LoadLayoutFile(empty, dir.filePath("none.L"), &err));
    EXPECT_EQ(empty.ObjectCount(), 0);

    // Damaged: clear message, file unchanged, whole objects before the damage stay.
    QByteArray bad = FileBytes(path);
    bad.chop(30);
    WriteBytes(path, bad);
    const QByteArray hash = QCryptographicHash::hash(bad, QCryptographicHash::Sha1);
    TGLabelPanel q;
    EXPECT_FALSE(LoadLayoutFile(q, path, &err));
    EXPECT_TRUE(err.contains("damaged")) << err.toStdString();
    EXPECT_TRUE(err.contains(path));
    EXPECT_EQ(q.ObjectCount(), 1);
    EXPECT_EQ(QCryptographicHash::hash(FileBytes(path), QCryptographicHash::Sha1), hash);

    // A save into a folder that does not exist fails and reports it.
    EXPECT_FALSE(SaveLayoutFile(p, dir.filePath("no/such/BIN00002.L"), &err));
    EXPECT_FALSE(err.isEmpty());
}

TEST(LayoutStream, LoadingAppendsAtZoomOneAndScalesToThePanel) {
    QTemporaryDir dir;
    const QString path = dir.filePath("BIN00003.E");
    TGLabelPanel p;
    p.SetSize(400, 200);
    auto* l = p.InsertLoaded(CreateBuiltInObject("TGLabelShapes"));
    l->SetBounds(10, 20, 100, 40);
    ASSERT_TRUE(SaveLayoutFile(p, path));
    TGLabelPanel q;
    q.SetSize(400, 200);
    q.InsertLoaded(CreateBuiltInObject("TGLineShape"));
    q.SetZoom(2.0f);
    ASSERT_TRUE(LoadLayoutFile(q, path));
    ASSERT_EQ(q.ObjectCount(), 2);
    EXPECT_EQ(q.Object(1)->BoundsRect(), QRect(20, 40, 200, 80));
}

TEST(LayoutStream, NamesAfterAThousandAndOneAreKeptOnlyWhenUnique) {
    TGLabelPanel p;
    for (int i = 0; i <= 1000; ++i)
        p.InsertLoaded(CreateBuiltInObject("TGLineShape"));
    EXPECT_EQ(p.Object(1000)->Name(), "Component1000");
    TGLineShape a, b;
    a.SetName("Kept");
    b.SetName("Component7");
    const QByteArray data = WriteList({&a, &b});
    TStreamReader r(data);
    ASSERT_TRUE(TGLabelObjectFiler().ReadList(r, p, false));
    EXPECT_EQ(p.Object(1001)->Name(), "Kept");
    EXPECT_EQ(p.Object(1002)->Name(), ""); // Component7 is taken
}

TEST(LayoutStream, ReportFileHoldsFourLists) {
    QTemporaryDir dir;
    const QString path = dir.filePath("BIN00004.R");
    AllKindsPanel h, d, f;
    h.InsertLoaded(CreateBuiltInObject("TGPageNumberLabel"));
    d.InsertLoaded(CreateBuiltInObject("TGPDLabel"));
    TGLabelObjectFiler filer;
    ASSERT_TRUE(filer.WriteBands(
        h, d, f, [](TStreamWriter& w) { w.WriteInteger(1500), w.WriteBoolean(true); }, path));
    std::vector<std::vector<TStreamObject>> lists;
    ASSERT_TRUE(ParseObjectLists(FileBytes(path), lists, nullptr));
    ASSERT_EQ(lists.size(), 4u);
    EXPECT_EQ(lists[2].size(), 0u);
    EXPECT_EQ(lists[3].size(), 2u);
    AllKindsPanel h2, d2, f2;
    int len = 0;
    bool flag = false;
    ASSERT_TRUE(filer.ReadBands(
        h2, d2, f2, [&](TStreamReader& r) { return r.ReadInteger(len) && r.ReadBoolean(flag); },
        path));
    EXPECT_EQ(h2.ObjectCount(), 1);
    EXPECT_EQ(d2.ObjectCount(), 1);
    EXPECT_EQ(len, 1500);
    EXPECT_TRUE(flag);
}

TEST(LayoutStream, ClassListsDependOnThePanelKindOnly) {
    EXPECT_FALSE(PanelKindClasses(pkLabel).contains("TGFIMBarCode"));
    EXPECT_TRUE(PanelKindClasses(pkEnvelope).contains("TGFIMBarCode"));
    EXPECT_FALSE(PanelKindClasses(pkReport).contains("TGPostNetBarCode"));
    // Registering everything process-wide does not widen a label panel.
    RegisterBuiltInClass("TGFIMBarCode");
    TGFIMBarCode fim;
    const QByteArray data = WriteList({&fim});
    TGLabelPanel p;
    TStreamReader r(data);
    EXPECT_FALSE(TGLabelObjectFiler().ReadList(r, p, false));
}

TEST(LayoutStream, LayoutFileNamesFromTables) {
    EXPECT_TRUE(IsLayoutFileName("BIN00012.L"));
    EXPECT_TRUE(IsLayoutFileName("bin99999.r"));
    EXPECT_FALSE(IsLayoutFileName("BIN0001.L"));
    EXPECT_FALSE(IsLayoutFileName("../BIN00012.L"));
    EXPECT_FALSE(IsLayoutFileName("/etc/BIN00012.E"));
    EXPECT_FALSE(IsLayoutFileName("BIN00012.X"));
}
