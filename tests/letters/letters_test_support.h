#pragma once
// A program folder per test with a small address file of known records, and
// letters built from text with merge fields.

#include "store/table.h"
#include "support/program_home.h"
#include "support/sample_addresses.h"

#include <QDir>
#include <QTextCursor>
#include <QTextDocument>

#include <map>
#include <string>
#include <vector>

namespace qp::testing {

using TRecordValues = std::map<std::string, std::string>;

inline TRecordValues JohnJones() {
    return {{"PREFIX", "Mr."},       {"FNAME", "John"},
            {"MIDDLE", "A"},         {"LNAME", "Jones"},
            {"TITLE", "Director"},   {"ORG", "Acme Corp"},
            {"STREET", "12 Elm St"}, {"STREET2", "Suite 4"},
            {"CITY", "Springfield"}, {"STATE", "IL"},
            {"ZIP", "62701"},        {"COUNTRY", "USA"},
            {"PHONE", "555-0100"},   {"PHONE2", "555-0101"},
            {"FAX", "555-0102"},     {"EMAIL", "john@example.com"},
            {"USER1", "Gold"},       {"USER2", "Since 1998"}};
}

class TLettersHome {
public:
    TLettersHome() {
        QDir(Home_.path()).mkpath(QStringLiteral("sysdata"));
        QDir(Home_.path()).mkpath(QStringLiteral("DATA"));
    }
    QString Path(const QString& name) const { return QDir(Home_.path()).filePath(name); }
    std::string AddressPath() const {
        return Path(QStringLiteral("DATA/ADD0001.DBF")).toStdString();
    }
    std::string Sysdata() const { return Path(QStringLiteral("sysdata")).toStdString(); }

    // An address file holding `records`, opened exclusively.
    store::Table MakeAddresses(const std::vector<TRecordValues>& records) {
        auto st = store::Table::create(AddressPath(), SampleAddresses::fieldSpecs());
        if (!st)
            throw std::runtime_error(st.error());
        auto t = store::Table::open(AddressPath(), store::OpenMode::Exclusive);
        if (!t)
            throw std::runtime_error(t.error());
        for (const auto& r : records) {
            (void)t->append();
            for (const auto& [name, value] : r)
                (void)t->replace(name, value);
            (void)t->replaceLogical("ISDEL", false);
            if (auto p = t->post(); !p)
                throw std::runtime_error(p.error());
        }
        (void)t->setQuery("!ISDEL");
        t->first();
        return std::move(*t);
    }

private:
    test::ScopedProgramHome Home_;
};

// A letter of plain paragraphs ("\n" between them); "\f" before a paragraph
// starts a new page there.
inline void MakeLetter(QTextDocument& doc, const QString& text) {
    doc.clear();
    QTextCursor c(&doc);
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (int i = 0; i < paragraphs.size(); ++i) {
        QString p = paragraphs[i];
        if (i > 0)
            c.insertBlock();
        if (p.startsWith(QLatin1Char('\f'))) {
            QTextBlockFormat f = c.blockFormat();
            f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            c.setBlockFormat(f);
            p = p.mid(1);
        }
        c.insertText(p);
    }
}

} // namespace qp::testing
