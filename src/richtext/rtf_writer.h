#pragma once
// Writes a QTextDocument as RTF that our reader reads back unchanged: text,
// character and paragraph formats, page size and margins, page breaks and
// pictures (as PNG). The same document always gives the same bytes.

#include <QByteArray>

class QTextDocument;

namespace qp::richtext {

QByteArray WriteRtf(const QTextDocument& doc);

} // namespace qp::richtext
