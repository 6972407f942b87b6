// Runs the fuzz target over a fixed corpus without libFuzzer: well-formed
// streams of every object kind, then the same streams truncated, with bytes
// changed, inserted and removed, and spliced, from a fixed seed. Files given
// on the command line (e.g. crashes a fuzzer found) are run too.

#include "layout_reader_target.h"
#include "replay_support.h"

#include "design/base_panel.h"
#include "design/graphic_control.h"
#include "design/layout_stream.h"
#include "design/object_registry.h"

#include <QGuiApplication>

#include <vector>

namespace {

QByteArray seedStream(const QStringList& classes, int copies) {
    qp::design::TGLabelPanel panel;
    panel.SetSize(600, 400);
    int n = 0;
    for (const QString& cls : classes)
        for (int i = 0; i < copies; ++i)
            if (auto o = qp::design::CreateBuiltInObject(cls)) {
                const int x = 5 + (n % 10) * 40, y = 5 + (n / 10) * 30;
                panel.InsertLoaded(std::move(o))->SetBounds(x, y, 30 + n, 20);
                ++n;
            }
    std::vector<const qp::design::TGGraphicControl*> objects;
    for (int i = 0; i < panel.ObjectCount(); ++i)
        objects.push_back(panel.Object(i));
    qp::design::TStreamWriter writer;
    writer.WriteObjectList(objects);
    return writer.Data();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    qp::fuzz::ReplayPlan plan;
    for (auto kind : {qp::design::pkLabel, qp::design::pkEnvelope, qp::design::pkReport})
        plan.seeds.push_back(seedStream(qp::design::PanelKindClasses(kind), 1));
    plan.seeds.push_back(seedStream(qp::design::PanelKindClasses(qp::design::pkReport), 3));
    plan.seeds.push_back(QByteArray("\x01\x00", 2));
    plan.seeds.push_back(QByteArray());
    plan.cutStep = 7;
    plan.mutations = 30000;
    plan.what = "streams";
    plan.edits.kinds = 6;
    plan.edits.more = [](QByteArray& out, int at, int, qp::fuzz::Random& r) {
        qp::fuzz::makeByteExtreme(out, at, r);
    };
    return qp::fuzz::replay(argc, argv, std::move(plan),
                            [](const QByteArray& b) { qp::fuzz::feed(ReadLayoutBytes, b); });
}
