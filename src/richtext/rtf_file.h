#pragma once
// RTF files on disk: loading in place of a document or at a position, and
// saving without ever leaving a half-written file behind.

#include <QString>

class QTextDocument;

namespace qp::richtext {

struct TFileResult {
    bool Ok = false;
    QString Error;   // why nothing was loaded or saved
    QString Warning; // loaded, but the file was damaged: what was wrong
};

TFileResult LoadRtfFile(const QString& path, QTextDocument& doc);
TFileResult InsertRtfFile(const QString& path, QTextDocument& doc, int position);
TFileResult SaveRtfFile(const QTextDocument& doc, const QString& path);

} // namespace qp::richtext
