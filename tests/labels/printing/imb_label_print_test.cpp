// A label job with an Intelligent Mail barcode: each piece its own serial
// number, and the next start kept in the layout file for the next job.

#include "design/imb_barcode.h"
#include "label_print_fixture.h"

using namespace qp;
using namespace qp::testing;

namespace {

class ImbLabelPrint : public LabelPrintFixture {
protected:
    QString layoutPath() const {
        return QString::fromStdString(sysdata + "/" + definition.layoutFile);
    }
    void writeImbLayout(int start) {
        design::TGLabelPanel layout;
        layout.SetSize(252, 96);
        auto b = std::make_unique<design::TGIMbBarCode>();
        design::NewImbBarCode(*b);
        b->MailerId = "123456";
        b->SerialStart = start;
        layout.AddObject(std::move(b), QRect(QPoint(2, 60), QPoint(250, 80)));
        ASSERT_TRUE(design::SaveLayoutFile(layout, layoutPath()));
    }
    int storedStart() const {
        design::TGLabelPanel layout;
        EXPECT_TRUE(design::LoadLayoutFile(layout, layoutPath()));
        auto* b = dynamic_cast<design::TGIMbBarCode*>(layout.Object(0));
        return b ? b->SerialStart : -1;
    }
    labels::LabelPrintResult run(bool preview) {
        auto r = request(preview);
        table->first();
        auto h = hooks();
        h.confirm = [](std::string_view) { return true; };
        return labels::printLabels(r, h);
    }
};

} // namespace

TEST_F(ImbLabelPrint, SerialCountsUpOverTheJobAndTheNextJobGoesOn) {
    makeAddresses({"12345-6789", "23456", "34567-8901"});
    writeImbLayout(100);
    setup.SetOutputFileName(QString::fromStdString(folder.file("labels.pdf")));

    ASSERT_EQ(run(false).labels, 3);
    EXPECT_EQ(storedStart(), 103);

    // A preview shows numbers but hands none out.
    auto preview = run(true);
    ASSERT_EQ(preview.outcome, labels::LabelPrintOutcome::Done);
    EXPECT_EQ(storedStart(), 103);
    int rects = 0;
    for (const auto& c : pages.at(0).Commands)
        rects += c.Kind == print::dkRect;
    EXPECT_EQ(rects, 3 * 65);

    ASSERT_EQ(run(false).labels, 3);
    EXPECT_EQ(storedStart(), 106);
    EXPECT_TRUE(messages.empty() || messages.back().find("IMb") == std::string::npos);
}
