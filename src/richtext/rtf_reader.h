#pragma once
// Reads RTF as word processors write it into a QTextDocument: text,
// character and paragraph formats, page size and margins, page breaks and
// PNG/JPEG pictures. Text that is not RTF loads as plain text. Damaged input
// loads as far as it can be read and says what was wrong.

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace qp::richtext {

struct TRtfReadResult {
    bool IsRtf = true;    // false: the bytes were loaded as plain text
    bool Complete = true; // false: damaged or truncated; `Problem` says how
    QString Problem;
};

// Replaces the content and page settings of `doc` with those of `data`.
TRtfReadResult ReadRtf(const QByteArray& data, QTextDocument& doc);

// Inserts the content of `data` at `position` (page settings untouched).
TRtfReadResult InsertRtf(const QByteArray& data, QTextDocument& doc, int position);

} // namespace qp::richtext
