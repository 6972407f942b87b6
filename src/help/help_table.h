#pragma once
// The entry table of one window's help component: control names with their
// short texts, kept as a small text file beside the window and compiled in.
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace qp::help {

struct TODSHelpData {
    std::optional<QString> text; // absent: the entry serves nothing
    qint32 helpContext = 0;      // 0: no more line, no topic
    quint16 reserved = 0;        // kept for the stored form, never read
    quint8 reserved2 = 1;
};

struct TODSHelpEntry {
    QString name; // the control's objectName, matched exactly
    TODSHelpData data;
};

// Ordered like the file; the first usable entry of a name wins.
class TODSHelpText {
public:
    std::vector<TODSHelpEntry> entries;
    int maxWidth = 0; // "@MaxWidth: n" in the file; 0 keeps the default
    int topic = 0;    // "@Topic: n": for a Help button that names no topic itself

    bool empty() const { return entries.empty(); }
    void add(QString name, std::optional<QString> text, qint32 context = 0);
    // Follows "->name" redirects; a cycle or a dead end gives nothing.
    std::optional<std::size_t> resolve(const QString& controlName) const;
    const TODSHelpEntry* find(const QString& controlName) const;
    QStringList names() const;
};

inline constexpr int kMaxRedirectLength = 80;

// Text form, one entry a line:
//   name: text             (a text of "->other" redirects to other's entry)
//   name [1033]: text      (with a help context: the pop-up offers the topic)
//   name:                  (an entry without text)
//   "Caption": text        (a control without a name, by its caption)
// Lines that start with a blank continue the text before them; "\n" in a text
// breaks the line; lines starting with '#' are comments; "@MaxWidth: 200"
// sets the window's wrapping width.
struct ParseResult {
    TODSHelpText table;
    QStringList errors; // "line N: why"
};
ParseResult ParseHelpTable(const QString& source);

} // namespace qp::help
