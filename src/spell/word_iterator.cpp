#include "spell/word_iterator.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace qp::spell {

TWordIterator::TWordIterator(const QTextDocument& doc) : Doc_(doc) {}

void TWordIterator::MoveTo(int position) {
    Position_ = std::max(0, position);
}

namespace {

bool IsApostrophe(QChar c) {
    return c == QLatin1Char('\'') || c == QChar(0x2019);
}

} // namespace

TWord TWordIterator::Next() {
    for (QTextBlock b = Doc_.findBlock(Position_); b.isValid(); b = b.next()) {
        const QString text = b.text();
        const int base = b.position();
        int i = std::max(0, Position_ - base);
        while (i < text.size()) {
            if (!text.at(i).isLetterOrNumber()) {
                ++i;
                continue;
            }
            int end = i;
            bool digits = false;
            while (end < text.size()) {
                const QChar c = text.at(end);
                if (c.isLetterOrNumber() || c.category() == QChar::Mark_NonSpacing) {
                    digits = digits || c.isDigit();
                    ++end;
                } else if (IsApostrophe(c) && end + 1 < text.size() &&
                           text.at(end + 1).isLetter()) {
                    ++end;
                } else {
                    break;
                }
            }
            Position_ = base + end;
            if (!digits)
                return {base + i, text.mid(i, end - i)};
            i = end;
        }
        Position_ = base + int(text.size()) + 1;
    }
    return {Position_, {}};
}

} // namespace qp::spell
