// The layout stream reader fed arbitrary bytes: every panel kind's object
// list and the report file's four lists. A damaged stream must end in an
// error, never in a crash, a hang or a read past the data.

#include "layout_reader_target.h"

#include "gui_application.h"

#include "design/base_panel.h"
#include "design/layout_stream.h"

#include <QByteArray>

#include <memory>
#include <vector>

namespace {

// A panel that admits the classes of one panel kind.
class TKindPanel : public qp::design::TGDataPanel {
public:
    explicit TKindPanel(qp::design::TPanelKind kind) : Kind_(kind) { SetSize(2000, 2000); }
    QStringList StreamClasses() const override { return qp::design::PanelKindClasses(Kind_); }

private:
    qp::design::TPanelKind Kind_;
};

} // namespace

int ReadLayoutBytes(const std::uint8_t* data, std::size_t size) {
    qp::fuzz::ensureGuiApplication();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (auto kind : {qp::design::pkLabel, qp::design::pkEnvelope, qp::design::pkReport}) {
        TKindPanel panel(kind);
        qp::design::TStreamReader reader(bytes);
        qp::design::TGLabelObjectFiler filer;
        if (filer.ReadList(reader, panel, true)) {
            // Whatever was read must write and read back.
            std::vector<const qp::design::TGGraphicControl*> objects;
            for (int i = 0; i < panel.ObjectCount(); ++i)
                objects.push_back(panel.Object(i));
            qp::design::TStreamWriter writer;
            writer.WriteObjectList(objects);
            TKindPanel again(kind);
            qp::design::TStreamReader back(writer.Data());
            if (!qp::design::TGLabelObjectFiler().ReadList(back, again, true) ||
                again.ObjectCount() != panel.ObjectCount())
                __builtin_trap();
        }
    }
    std::vector<std::vector<qp::design::TStreamObject>> lists;
    QString error;
    qp::design::ParseObjectLists(bytes, lists, &error, 4);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return ReadLayoutBytes(data, size);
}
