// The RTF reader fed arbitrary bytes. Whatever it loads, the writer must
// write and the reader read back; nothing may crash, hang or read past the
// data.

#include "rtf_reader_target.h"

#include "gui_application.h"

#include "richtext/paged_layout.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

#include <QByteArray>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>

int ReadRtfBytes(const std::uint8_t* data, std::size_t size) {
    qp::fuzz::ensureGuiApplication();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument doc;
    qp::richtext::ReadRtf(bytes, doc);
    const QByteArray written = qp::richtext::WriteRtf(doc);
    QTextDocument back;
    const auto r = qp::richtext::ReadRtf(written, back);
    // What we write we read back whole, as the same text.
    const auto fail = [&](const char* what) {
        std::fprintf(stderr, "%s\ninput:\n%s\nwritten:\n%s\nagain:\n%s\n", what,
                     bytes.left(3000).toStdString().c_str(),
                     written.left(3000).toStdString().c_str(),
                     qp::richtext::WriteRtf(back).left(3000).toStdString().c_str());
        std::abort();
    };
    if (!r.Complete)
        fail("our own RTF did not read back whole");
    if (back.toRawText() != doc.toRawText())
        fail("the text changed in a round trip");
    if (qp::richtext::WriteRtf(back) != written)
        fail("writing what was read back gave other bytes");
    return 0;
}

#ifdef QP_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return ReadRtfBytes(data, size);
}
#endif
