// A layout holding every object kind with every stored property away from its
// default is written byte for byte as the committed reference file, and
// reading that file and writing it again gives the same bytes.
#include "design/address_label.h"
#include "design/barcodes.h"
#include "design/base_panel.h"
#include "design/graphic_control.h"
#include "design/layout_stream.h"
#include "design/object_registry.h"
#include "design/shapes.h"
#include "design/text_labels.h"
#include "every_kind.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace qp::design;
using namespace qp::design::testing;

namespace {

const QString kGolden = QStringLiteral(QP_DESIGN_GOLDEN_DIR "/every_kind.layout");

QByteArray Write(const std::vector<const TGGraphicControl*>& objects) {
    TStreamWriter w;
    w.WriteObjectList(objects);
    return w.Data();
}

QByteArray ReadGolden() {
    QFile f(kGolden);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

TEST(GoldenLayout, EveryKindWritesTheReferenceBytes) {
    const auto objects = EveryKind();
    std::vector<const TGGraphicControl*> list;
    for (const auto& o : objects)
        list.push_back(o.get());
    const QByteArray bytes = Write(list);
    if (qEnvironmentVariableIsSet("QP_WRITE_GOLDEN")) {
        QFile f(kGolden);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    const QByteArray golden = ReadGolden();
    ASSERT_FALSE(golden.isEmpty()) << kGolden.toStdString();
    EXPECT_EQ(bytes.toHex().toStdString(), golden.toHex().toStdString());
}

TEST(GoldenLayout, ReadingAndWritingTheReferenceKeepsItsBytes) {
    const QByteArray golden = ReadGolden();
    ASSERT_FALSE(golden.isEmpty());
    for (const char* c :
         {"TGPLabel", "TGPDLabel", "TGCounterLabel", "TGSymbolLabel", "TGDateTimeLabel",
          "TGPageNumberLabel", "TGMultiLineLabel", "TGDMultiLineLabel", "TGDMultiLineAddressLabel",
          "TGLabelShapes", "Trpshapes", "TGLineShape", "TGImage", "TGPostNetBarCode",
          "TGFIMBarCode"})
        ASSERT_TRUE(RegisterBuiltInClass(c)) << c;
    TGBasePanel panel;
    panel.SetSize(800, 600);
    TStreamReader reader(golden);
    TGLabelObjectFiler filer;
    ASSERT_TRUE(filer.ReadList(reader, panel, false)) << filer.LastError().toStdString();
    ASSERT_EQ(panel.ObjectCount(), 18);
    // Objects read onto a panel take panel names; the stream's names aside,
    // every byte is the same.
    std::vector<const TGGraphicControl*> list;
    for (int i = 0; i < panel.ObjectCount(); ++i) {
        panel.Object(i)->SetName(QStringLiteral("Special%1").arg(i + 1));
        list.push_back(panel.Object(i));
    }
    EXPECT_EQ(Write(list).toHex().toStdString(), golden.toHex().toStdString());
    // The copies every property of a kind was set on differ from a fresh one.
    for (int i = 0; i < panel.ObjectCount(); ++i) {
        auto fresh = CreateBuiltInObject(panel.Object(i)->ClassName());
        ASSERT_NE(fresh, nullptr);
        EXPECT_NE(fresh->StoredProperties(), panel.Object(i)->StoredProperties());
    }
}

} // namespace
