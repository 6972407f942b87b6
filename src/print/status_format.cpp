#include "print/status_format.h"

namespace qp::print {

QString FormatStatus(const QString& format, int page, const QStringList& lines) {
    QString out;
    out.reserve(format.size() + 16);
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != u'%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        const QChar code = format[i + 1];
        if (code == u'p' || code == u'P') {
            out += QString::number(page);
        } else if (code.isDigit()) {
            const int n = code.digitValue();
            if (n < lines.size())
                out += lines[n];
        } else if (code == u'%') {
            out += u'%';
        } else {
            out += c; // unknown code: keep both characters
            continue;
        }
        ++i;
    }
    return out;
}

} // namespace qp::print
