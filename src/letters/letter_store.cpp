#include "letters/letter_store.h"

#include "richtext/page_settings.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"
#include "store/shared_routines.h"
#include "store/system_tables.h"

#include <QTextDocument>

namespace qp::letters {

namespace {

std::string utf8(const QString& s) {
    return s.toStdString();
}

} // namespace

QByteArray StoredRtfText(QByteArray rtf) {
    // The memo keeps CR LF line ends, as the text would be written as lines.
    rtf.replace("\r\n", "\n");
    rtf.replace('\r', '\n');
    rtf.replace("\n", "\r\n");
    if (!rtf.isEmpty() && rtf.size() % 4 == 0) {
        // The blank goes at the end of the last line, before its line end.
        if (rtf.endsWith("\r\n"))
            rtf.insert(rtf.size() - 2, ' ');
        else
            rtf.append(' ');
    }
    return rtf;
}

QByteArray StoredRtf(const QTextDocument& doc) {
    return StoredRtfText(richtext::WriteRtf(doc));
}

QString LoadLetterText(const QByteArray& stored, QTextDocument& doc) {
    doc.clear();
    QString problem;
    if (!stored.trimmed().startsWith("{\\rtf")) {
        // Not RTF at all: whatever is there is shown as plain text.
        doc.setPlainText(QString::fromUtf8(stored));
    } else {
        const richtext::TRtfReadResult r = richtext::ReadRtf(stored, doc);
        if (!r.Complete)
            problem = r.Problem;
    }
    richtext::TPageSettings page = richtext::PageSettings(doc);
    if (page.PageWidth <= 0 || page.PageHeight <= 0)
        page = richtext::TPageSettings{};
    richtext::SetPageSettings(doc, page.Normalized());
    return problem;
}

store::Result<TLetterTable> TLetterTable::Open(const std::string& sysdataFolder) {
    auto t = store::openSystemTable(sysdataFolder, store::SystemTable::Letter);
    if (!t)
        return store::fail(t.error());
    TLetterTable letters(std::move(*t));
    letters.Table_.first();
    return letters;
}

store::Result<TLetterTable> TLetterTable::Open() {
    return Open(store::SysdataFolder().string());
}

std::vector<TLetterEntry> TLetterTable::Entries() {
    const std::uint32_t keep = CurrentRecno();
    std::vector<TLetterEntry> out;
    for (bool ok = Table_.first(); ok && !Table_.eof(); ok = Table_.next())
        out.push_back({Table_.recNo(), Description()});
    if (keep)
        Table_.go(keep);
    else
        Table_.first();
    return out;
}

bool TLetterTable::Go(std::uint32_t recno) {
    return Table_.go(recno) && !Table_.eof();
}

QString TLetterTable::Description() const {
    return HasCurrent() ? QString::fromStdString(Table_.getString("DESCRIPT")) : QString();
}

std::optional<std::uint32_t> TLetterTable::Find(const QString& description) {
    const QString wanted = description.trimmed();
    for (const TLetterEntry& e : Entries())
        if (e.Description.trimmed().compare(wanted, Qt::CaseInsensitive) == 0) {
            Go(e.Recno);
            return e.Recno;
        }
    return std::nullopt;
}

store::Result<QByteArray> TLetterTable::Rtf() const {
    if (!HasCurrent())
        return store::fail("There is no letter to load");
    auto memo = Table_.getMemo("RTF");
    if (!memo)
        return store::fail("The letter \"" + utf8(Description()) +
                           "\" cannot be read: " + memo.error());
    return QByteArray::fromStdString(*memo);
}

store::Result<QString> TLetterTable::Load(QTextDocument& doc) const {
    auto rtf = Rtf();
    if (!rtf)
        return store::fail(rtf.error());
    return LoadLetterText(*rtf, doc);
}

store::Status TLetterTable::Store(const QString& description, const QByteArray& rtf) {
    if (auto st = Table_.replace("DESCRIPT", utf8(description)); !st) {
        Table_.discard();
        return st;
    }
    if (auto st = Table_.replace("RTF", rtf.toStdString()); !st) {
        Table_.discard();
        return st;
    }
    if (auto st = Table_.post(); !st) {
        Table_.discard();
        return st;
    }
    return {};
}

store::Status TLetterTable::Add(const QString& description, const QTextDocument& doc) {
    return AddRtf(description, StoredRtf(doc));
}

store::Status TLetterTable::AddRtf(const QString& description, const QByteArray& rtf) {
    if (auto st = Table_.append(); !st)
        return st;
    return Store(description, rtf);
}

store::Status TLetterTable::Update(const QString& description, const QTextDocument& doc) {
    if (!HasCurrent())
        return store::fail("There is no letter to change");
    return Store(description, StoredRtf(doc));
}

store::Status TLetterTable::Clone() {
    if (!HasCurrent())
        return store::fail("There is no letter to clone");
    const QString description = Description();
    // Through a document, as the designer would store it.
    QTextDocument doc;
    auto loaded = Load(doc);
    if (!loaded)
        return store::fail(loaded.error());
    return Add(QStringLiteral("Clone of ") + description, doc);
}

store::Status TLetterTable::Delete() {
    if (!HasCurrent())
        return store::fail("There is no letter to delete");
    if (auto st = Table_.deleteRecord(); !st)
        return st;
    // The deleted letter is hidden: stand on the next one, else the last.
    if (!Table_.next() || Table_.eof())
        Table_.last();
    return {};
}

} // namespace qp::letters
