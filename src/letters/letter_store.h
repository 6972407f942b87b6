#pragma once
// The letter table LETTER.DBF in the sysdata folder: one record a letter,
// its description and its document as RTF text in a memo. Listed in the
// order the letters were added.

#include "store/result.h"
#include "store/table.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class QTextDocument;

namespace qp::letters {

inline constexpr const char* kUntitledLetter = "{untitled}";

struct TLetterEntry {
    std::uint32_t Recno = 0;
    QString Description;
};

// The RTF text as the memo stores it: lines end in CR LF, and one blank is
// appended to the last line when the length is a positive multiple of 4.
QByteArray StoredRtf(const QTextDocument& doc);
// The same rule over RTF text read from elsewhere (a file).
QByteArray StoredRtfText(QByteArray rtf);

// Loads a stored letter into `doc`. Text that is not RTF loads as plain
// text; a page with no size gets the default page. Returns what was wrong
// with damaged RTF (empty when it read cleanly).
QString LoadLetterText(const QByteArray& stored, QTextDocument& doc);

class TLetterTable {
public:
    // Opens sysdata's LETTER.DBF for exclusive use, creating it when it does
    // not exist. A table that exists but cannot be opened is left alone.
    static store::Result<TLetterTable> Open(const std::string& sysdataFolder);
    static store::Result<TLetterTable> Open(); // the program folder's sysdata

    std::vector<TLetterEntry> Entries();
    // The current letter: the cursor is not at the end of the table.
    bool HasCurrent() const { return !Table_.eof(); }
    bool Go(std::uint32_t recno);
    std::uint32_t CurrentRecno() const { return Table_.eof() ? 0 : Table_.recNo(); }
    QString Description() const;
    // The first letter whose description is `description`, trailing blanks
    // and letter case aside.
    std::optional<std::uint32_t> Find(const QString& description);

    store::Result<QByteArray> Rtf() const;
    // Loads the current letter; the result carries a damage warning or why
    // nothing could be read.
    store::Result<QString> Load(QTextDocument& doc) const;

    store::Status Add(const QString& description, const QTextDocument& doc);
    store::Status AddRtf(const QString& description, const QByteArray& rtf);
    store::Status Update(const QString& description, const QTextDocument& doc);
    // "Clone of " + description, the same document; the clone becomes current.
    store::Status Clone();
    store::Status Delete();

    store::Table& Table() { return Table_; }

private:
    explicit TLetterTable(store::Table t) : Table_(std::move(t)) {}
    store::Status Store(const QString& description, const QByteArray& rtf);
    store::Table Table_;
};

} // namespace qp::letters
