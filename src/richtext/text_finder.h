#pragma once
// Find and replace over a document's plain-text positions. A match may span
// several formatting runs; a replacement takes the format of the match's
// first character, so a merged value looks like the token it replaces.

#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

class QTextDocument;

namespace qp::richtext {

class TTextFinder {
public:
    explicit TTextFinder(QTextDocument& doc);

    // The next search starts at `position` (0: the document start).
    void MoveTo(int position);
    void MoveToStart() { MoveTo(0); }

    // Finds `text` after the previous match or replacement. Line breaks in
    // `text` cannot match: a match lies within one paragraph.
    bool FindNext(const QString& text, Qt::CaseSensitivity cs = Qt::CaseInsensitive);
    bool HasMatch() const { return Match_.hasSelection(); }
    int MatchStart() const { return Match_.selectionStart(); }
    int MatchLength() const { return Match_.selectionEnd() - Match_.selectionStart(); }
    // The character format of the match's first character.
    QTextCharFormat MatchFormat() const;

    // Replaces the match with `value` in the match's format; CR LF, CR and
    // LF in `value` start new paragraphs. The search goes on after it.
    bool Replace(const QString& value);
    // The same, in `format`.
    bool Replace(const QString& value, const QTextCharFormat& format);

private:
    QTextDocument& Doc_;
    int Next_ = 0;
    QTextCursor Match_;
};

// Replaces every occurrence as one undoable step; returns how many.
int ReplaceAll(QTextDocument& doc, const QString& find, const QString& value,
               Qt::CaseSensitivity cs = Qt::CaseInsensitive);

// The document's text, one paragraph a line (soft line breaks too).
QString PlainText(const QTextDocument& doc);

} // namespace qp::richtext
