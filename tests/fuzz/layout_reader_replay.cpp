// Runs the fuzz target over a fixed corpus without libFuzzer: well-formed
// streams of every object kind, then the same streams truncated, with bytes
// changed, inserted and removed, and spliced, from a fixed seed. Files given
// on the command line (e.g. crashes a fuzzer found) are run too.

#include "layout_reader_target.h"

#include "design/base_panel.h"
#include "design/graphic_control.h"
#include "design/layout_stream.h"
#include "design/object_registry.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>
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

struct Random {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    int below(int n) { return n > 0 ? static_cast<int>(next() % std::uint64_t(n)) : 0; }
};

QByteArray mutate(const QByteArray& a, const QByteArray& b, Random& r) {
    QByteArray out = a;
    const int edits = 1 + r.below(4);
    for (int e = 0; e < edits && !out.isEmpty(); ++e) {
        const int at = r.below(int(out.size()));
        switch (r.below(6)) {
        case 0:
            out.truncate(at);
            break;
        case 1:
            out[at] = char(r.below(256));
            break;
        case 2:
            out.insert(at, char(r.below(256)));
            break;
        case 3:
            out.remove(at, 1 + r.below(8));
            break;
        case 4:
            out = out.left(at) + b.mid(r.below(int(b.size())));
            break;
        default: // a value tag or length byte made extreme
            out[at] = char(r.below(2) ? 0xFF : 0x7F);
        }
    }
    return out;
}

int run(const QByteArray& bytes) {
    return ReadLayoutBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                           static_cast<std::size_t>(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        QFile f(QString::fromLocal8Bit(argv[i]));
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        run(f.readAll());
    }
    std::vector<QByteArray> seeds;
    for (auto kind : {qp::design::pkLabel, qp::design::pkEnvelope, qp::design::pkReport})
        seeds.push_back(seedStream(qp::design::PanelKindClasses(kind), 1));
    seeds.push_back(seedStream(qp::design::PanelKindClasses(qp::design::pkReport), 3));
    seeds.push_back(QByteArray("\x01\x00", 2));
    seeds.push_back(QByteArray());
    for (const auto& s : seeds) {
        run(s);
        for (int n = 0; n < s.size(); n += 7)
            run(s.left(n));
    }
    Random random;
    int runs = 0;
    for (int i = 0; i < 30000; ++i) {
        const QByteArray& a = seeds[std::size_t(random.below(int(seeds.size())))];
        const QByteArray& b = seeds[std::size_t(random.below(int(seeds.size())))];
        run(mutate(a, b, random));
        ++runs;
    }
    std::printf("%d mutated streams read without a fault\n", runs);
    return 0;
}
