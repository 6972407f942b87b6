#include "richtext/rtf_file.h"

#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

#include <QFile>
#include <QSaveFile>
#include <QTextDocument>

namespace qp::richtext {

namespace {

constexpr qint64 kMaxFile = 256LL * 1024 * 1024;

bool ReadFile(const QString& path, QByteArray& data, TFileResult& r) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        r.Error = QStringLiteral("Cannot open %1: %2").arg(path, f.errorString());
        return false;
    }
    if (f.size() > kMaxFile) {
        r.Error = QStringLiteral("%1 is too large for a letter").arg(path);
        return false;
    }
    data = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        r.Error = QStringLiteral("Cannot read %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

TFileResult Finish(const TRtfReadResult& read, const QString& path) {
    TFileResult r;
    r.Ok = true;
    if (!read.Complete)
        r.Warning = QStringLiteral("%1 is damaged: %2").arg(path, read.Problem);
    return r;
}

} // namespace

TFileResult LoadRtfFile(const QString& path, QTextDocument& doc) {
    TFileResult r;
    QByteArray data;
    if (!ReadFile(path, data, r))
        return r;
    return Finish(ReadRtf(data, doc), path);
}

TFileResult InsertRtfFile(const QString& path, QTextDocument& doc, int position) {
    TFileResult r;
    QByteArray data;
    if (!ReadFile(path, data, r))
        return r;
    return Finish(InsertRtf(data, doc, position), path);
}

TFileResult SaveRtfFile(const QTextDocument& doc, const QString& path) {
    TFileResult r;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        r.Error = QStringLiteral("Cannot write %1: %2").arg(path, f.errorString());
        return r;
    }
    const QByteArray data = WriteRtf(doc);
    if (f.write(data) != data.size() || !f.commit()) {
        r.Error = QStringLiteral("Cannot write %1: %2").arg(path, f.errorString());
        return r;
    }
    r.Ok = true;
    return r;
}

} // namespace qp::richtext
