#pragma once
// The words of a document one after another, each with its text position,
// for the spell check: it selects the word it was given and replaces it.

#include <QString>

class QTextDocument;

namespace qp::spell {

struct TWord {
    int Position = 0; // document (plain-text) position of the first character
    QString Text;     // empty: the text is finished
    int Length() const { return int(Text.size()); }
};

class TWordIterator {
public:
    explicit TWordIterator(const QTextDocument& doc);

    void MoveToStart() { MoveTo(0); }
    void MoveTo(int position);
    // The next word at or after the current position; words are runs of
    // letters with inner apostrophes; those with digits are passed over.
    TWord Next();

private:
    const QTextDocument& Doc_;
    int Position_ = 0;
};

} // namespace qp::spell
