#include "letters/merge_fields.h"

#include "store/locale_dates.h"
#include "store/shared_routines.h"
#include "store/table.h"

#include <QHash>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>

namespace qp::letters {

namespace {

QString field(const store::Table& table, std::string_view name) {
    return QString::fromStdString(table.getString(name));
}

// Each part with one blank appended, then its leading blanks removed.
QString namePart(const QString& s) {
    QString part = s + QLatin1Char(' ');
    qsizetype i = 0;
    while (i < part.size() && part[i] == QLatin1Char(' '))
        ++i;
    return part.mid(i);
}

QString trimBlanks(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

QString cityStateZipSingle(const TMergeRecord& r) {
    return trimBlanks(r.City + QLatin1Char(' ') + r.State + QLatin1Char(' ') + r.Zip);
}

} // namespace

TMergeRecord ReadMergeRecord(const store::Table& t) {
    TMergeRecord r;
    r.Prefix = field(t, "PREFIX");
    r.First = field(t, "FNAME");
    r.Middle = field(t, "MIDDLE");
    r.Last = field(t, "LNAME");
    r.Title = field(t, "TITLE");
    r.Org = field(t, "ORG");
    r.Street = field(t, "STREET");
    r.Street2 = field(t, "STREET2");
    r.City = field(t, "CITY");
    r.State = field(t, "STATE");
    r.Zip = field(t, "ZIP");
    r.Country = field(t, "COUNTRY");
    r.Phone = field(t, "PHONE");
    r.Phone2 = field(t, "PHONE2");
    r.Fax = field(t, "FAX");
    r.Email = field(t, "EMAIL");
    r.User1 = field(t, "USER1");
    r.User2 = field(t, "USER2");
    return r;
}

QString FullName(const TMergeRecord& r) {
    const QString middle = r.Middle.isEmpty() ? QString() : r.Middle + QLatin1Char('.');
    return namePart(r.Prefix) + namePart(r.First) + namePart(middle) + namePart(r.Last);
}

QString NameAndAddress(const TMergeRecord& r) {
    static const QString crlf = QStringLiteral("\r\n");
    QString out;
    const QString name = FullName(r);
    if (!name.isEmpty())
        out += name + crlf;
    if (!r.Title.isEmpty() && !r.Org.isEmpty())
        out += r.Title + QStringLiteral(",  ") + r.Org + crlf;
    else if (!r.Title.isEmpty() || !r.Org.isEmpty())
        out += r.Title + r.Org + crlf;
    if (!r.Street.isEmpty())
        out += r.Street + crlf;
    if (!r.Street2.isEmpty())
        out += r.Street2 + crlf;
    if (!r.City.isEmpty() || !r.State.isEmpty() || !r.Zip.isEmpty()) {
        QString line = r.City + QLatin1Char(' ') + r.State;
        if (!r.State.isEmpty())
            line += QLatin1Char(' ');
        line += QLatin1Char(' ') + r.Zip;
        out += trimBlanks(line) + crlf;
    }
    if (!r.Country.isEmpty())
        out += r.Country + crlf;
    return out;
}

QString LongDate(const QDate& date) {
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (!date.isValid())
        return {};
    return QStringLiteral("%1 %2, %3")
        .arg(QLatin1String(months[date.month() - 1]))
        .arg(date.day())
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString ShortDate(const QDate& date) {
    if (!date.isValid())
        return {};
    const std::chrono::year_month_day ymd{std::chrono::year(date.year()),
                                          std::chrono::month(unsigned(date.month())),
                                          std::chrono::day(unsigned(date.day()))};
    return QString::fromStdString(store::FormatDate(ymd, store::UserShortDatePattern()));
}

QString TokenValue(const QString& name, const TMergeRecord& r, const QDate& today) {
    const QString n = name.toLower();
    auto is = [&](const char* s) { return n == QLatin1String(s).toString().toLower(); };
    if (is("Full Name"))
        return FullName(r);
    if (is("First"))
        return r.First;
    if (is("Last"))
        return r.Last;
    if (is("Middle"))
        return r.Middle;
    if (is("Prefix"))
        return r.Prefix;
    if (is("Title"))
        return r.Title;
    if (is("Organization"))
        return r.Org;
    if (is("Street"))
        return r.Street;
    if (is("Street 2"))
        return r.Street2;
    if (is("City+State+Zip"))
        return cityStateZipSingle(r);
    if (is("City"))
        return r.City;
    if (is("State") || is("Province"))
        return r.State;
    if (is("Zip") || is("Postal Code"))
        return r.Zip;
    if (is("Country"))
        return r.Country;
    if (is("Phone"))
        return r.Phone;
    if (is("Phone 2"))
        return r.Phone2;
    if (is("Fax"))
        return r.Fax;
    if (is("E-Mail"))
        return r.Email;
    if (is("Today's Date"))
        return ShortDate(today);
    if (is("Long Date"))
        return LongDate(today);
    if (is("Name and Address"))
        return NameAndAddress(r);
    if (is("Comment 1"))
        return r.User1;
    if (is("Comment 2"))
        return r.User2;
    return QString(); // null: not a merge field
}

int ReplaceTokens(QTextDocument& doc, const TMergeRecord& r, const QDate& today) {
    // The longest name is 16 characters; anything longer is plain text.
    static const QRegularExpression token(QStringLiteral("\\[([^\\[\\]]{1,20})\\]"));
    QHash<QString, QString> values;
    for (const char* name : kMergeTokenNames) {
        QString v = TokenValue(QLatin1String(name), r, today);
        v.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        v.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        values.insert(QString::fromLatin1(name).toLower(), v.isNull() ? QString("") : v);
    }
    int count = 0;
    int from = 0;
    QTextCursor edit(&doc);
    edit.beginEditBlock();
    for (;;) {
        QTextCursor found = doc.find(token, from);
        if (found.isNull() || !found.hasSelection())
            break;
        const int start = found.selectionStart();
        QString name = found.selectedText();
        name = name.mid(1, name.size() - 2).toLower();
        const auto it = values.constFind(name);
        if (it == values.constEnd()) {
            // Not a field: go on after its opening bracket, so "[[First]" still merges.
            from = start + 1;
            continue;
        }
        QTextCursor first(&doc);
        first.setPosition(start + 1);
        const QTextCharFormat format = first.charFormat();
        found.removeSelectedText();
        found.insertText(*it, format); // each line break starts a paragraph
        from = found.position();
        ++count;
    }
    edit.endEditBlock();
    return count;
}

} // namespace qp::letters
