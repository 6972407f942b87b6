#include "help/help_table.h"

#include <QRegularExpression>

#include <set>

namespace qp::help {

void TODSHelpText::add(QString name, std::optional<QString> text, qint32 context) {
    TODSHelpData data;
    data.text = std::move(text);
    data.helpContext = context;
    entries.push_back({std::move(name), std::move(data)});
}

std::optional<std::size_t> TODSHelpText::resolve(const QString& controlName) const {
    QString name = controlName;
    // Every name may be visited once; a repeated one is a cycle.
    std::set<QString> seen;
    while (seen.insert(name).second) {
        bool redirected = false;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const TODSHelpEntry& e = entries[i];
            if (e.name != name || !e.data.text || e.data.text->isEmpty())
                continue;
            if (e.data.text->startsWith(QLatin1String("->"))) {
                name = e.data.text->mid(2).trimmed();
                redirected = true;
                break;
            }
            return i;
        }
        if (!redirected)
            return std::nullopt;
    }
    return std::nullopt;
}

const TODSHelpEntry* TODSHelpText::find(const QString& controlName) const {
    const auto i = resolve(controlName);
    return i ? &entries[*i] : nullptr;
}

QStringList TODSHelpText::names() const {
    QStringList out;
    for (const auto& e : entries)
        out << e.name;
    return out;
}

ParseResult ParseHelpTable(const QString& source) {
    ParseResult result;
    static const QRegularExpression head(QStringLiteral(
        R"re(^(?:([A-Za-z_][A-Za-z0-9_]*)|"([^"]+)")\s*(?:\[\s*(-?\d+)\s*\])?\s*:(.*)$)re"));
    const QStringList lines = source.split(QLatin1Char('\n'));
    TODSHelpEntry* last = nullptr;
    auto finish = [&](int lineNo) {
        if (!last || !last->data.text)
            return;
        QString t = last->data.text->trimmed();
        t.replace(QLatin1String("\\n"), QLatin1String("\n"));
        if (t.isEmpty())
            last->data.text.reset();
        else
            last->data.text = t;
        if (t.startsWith(QLatin1String("->")) && t.size() - 2 > kMaxRedirectLength)
            result.errors << QStringLiteral("line %1: redirect longer than %2 characters")
                                 .arg(lineNo)
                                 .arg(kMaxRedirectLength);
    };
    int entryLine = 0;
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        if (line[0].isSpace()) {
            if (!last) {
                result.errors
                    << QStringLiteral("line %1: continuation without an entry").arg(n + 1);
                continue;
            }
            last->data.text =
                last->data.text.value_or(QString()) + QLatin1Char(' ') + line.trimmed();
            continue;
        }
        if (line.startsWith(QLatin1Char('@'))) {
            const qsizetype colon = line.indexOf(QLatin1Char(':'));
            const QString key = line.mid(1, colon - 1).trimmed();
            bool ok = false;
            const int value = colon < 0 ? 0 : line.mid(colon + 1).trimmed().toInt(&ok);
            if (key == QLatin1String("MaxWidth") && ok && value > 0 && value <= 65535)
                result.table.maxWidth = value;
            else if (key == QLatin1String("Topic") && ok && value > 0)
                result.table.topic = value;
            else
                result.errors << QStringLiteral("line %1: unknown setting").arg(n + 1);
            continue;
        }
        const auto m = head.match(line);
        if (!m.hasMatch()) {
            result.errors << QStringLiteral("line %1: expected \"name: text\"").arg(n + 1);
            continue;
        }
        finish(entryLine);
        entryLine = n + 1;
        result.table.add(m.captured(1).isEmpty() ? m.captured(2) : m.captured(1), m.captured(4),
                         m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
        last = &result.table.entries.back();
    }
    finish(entryLine);
    return result;
}

} // namespace qp::help
