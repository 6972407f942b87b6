#include "richtext/text_finder.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace qp::richtext {

TTextFinder::TTextFinder(QTextDocument& doc) : Doc_(doc) {}

void TTextFinder::MoveTo(int position) {
    Next_ = std::clamp(position, 0, Doc_.characterCount() - 1);
    Match_ = QTextCursor();
}

bool TTextFinder::FindNext(const QString& text, Qt::CaseSensitivity cs) {
    Match_ = QTextCursor();
    if (text.isEmpty())
        return false;
    const QTextDocument::FindFlags flags =
        cs == Qt::CaseSensitive ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
    QTextCursor found = Doc_.find(text, std::clamp(Next_, 0, Doc_.characterCount() - 1), flags);
    if (found.isNull() || !found.hasSelection())
        return false;
    Match_ = found;
    Next_ = found.selectionEnd();
    return true;
}

QTextCharFormat TTextFinder::MatchFormat() const {
    if (!HasMatch())
        return {};
    QTextCursor first(&Doc_);
    first.setPosition(Match_.selectionStart() + 1);
    return first.charFormat();
}

bool TTextFinder::Replace(const QString& value) {
    return Replace(value, MatchFormat());
}

bool TTextFinder::Replace(const QString& value, const QTextCharFormat& format) {
    if (!HasMatch())
        return false;
    QString text = value;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextCursor c = Match_;
    c.beginEditBlock();
    c.removeSelectedText();
    c.insertText(text, format); // each '\n' becomes a new paragraph
    c.endEditBlock();
    Next_ = c.position();
    Match_ = QTextCursor();
    return true;
}

int ReplaceAll(QTextDocument& doc, const QString& find, const QString& value,
               Qt::CaseSensitivity cs) {
    TTextFinder finder(doc);
    QTextCursor block(&doc);
    block.beginEditBlock();
    int count = 0;
    while (finder.FindNext(find, cs)) {
        finder.Replace(value);
        ++count;
    }
    block.endEditBlock();
    return count;
}

QString PlainText(const QTextDocument& doc) {
    QString out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QString line = b.text();
        line.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
        line.remove(QChar(QChar::ObjectReplacementCharacter));
        out += line;
        out += QLatin1Char('\n');
    }
    return out;
}

} // namespace qp::richtext
