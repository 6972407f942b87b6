#pragma once
// The merge fields of a form letter: a name in square brackets ("[First]")
// stands for a value of the current address record. Tokens are found in any
// letter case, across changes of character formatting, and replaced in the
// format of the token, so a bold "[Last]" prints a bold name.

#include <QDate>
#include <QString>

#include <array>

class QTextDocument;

namespace qp::store {
class Table;
}

namespace qp::letters {

// The record fields a letter can show, as the record holds them.
struct TMergeRecord {
    QString Prefix, First, Middle, Last, Title, Org, Street, Street2, City, State, Zip, Country,
        Phone, Phone2, Fax, Email, User1, User2;
};

TMergeRecord ReadMergeRecord(const store::Table& table);

inline constexpr int kMergeTokenCount = 25;

// The names in the order values are worked out.
inline constexpr std::array<const char*, kMergeTokenCount> kMergeTokenNames{"Full Name",
                                                                            "First",
                                                                            "Last",
                                                                            "Middle",
                                                                            "Prefix",
                                                                            "Title",
                                                                            "Organization",
                                                                            "Street",
                                                                            "Street 2",
                                                                            "City+State+Zip",
                                                                            "City",
                                                                            "State",
                                                                            "Province",
                                                                            "Zip",
                                                                            "Postal Code",
                                                                            "Country",
                                                                            "Phone",
                                                                            "Phone 2",
                                                                            "Fax",
                                                                            "E-Mail",
                                                                            "Today's Date",
                                                                            "Long Date",
                                                                            "Name and Address",
                                                                            "Comment 1",
                                                                            "Comment 2"};

// The names as the designer's "Insert field" list offers them.
inline constexpr std::array<const char*, kMergeTokenCount> kInsertFieldNames{"Full Name",
                                                                             "Name and Address",
                                                                             "First",
                                                                             "Last",
                                                                             "Middle",
                                                                             "Prefix",
                                                                             "Title",
                                                                             "Organization",
                                                                             "Street",
                                                                             "Street 2",
                                                                             "City+State+Zip",
                                                                             "City",
                                                                             "State",
                                                                             "Province",
                                                                             "Zip",
                                                                             "Postal Code",
                                                                             "Country",
                                                                             "Phone",
                                                                             "Phone 2",
                                                                             "Fax",
                                                                             "E-Mail",
                                                                             "Today's Date",
                                                                             "Long Date",
                                                                             "Comment 1",
                                                                             "Comment 2"};

// "Mr. John A. Jones ": each part with one blank appended and its leading
// blanks removed; the middle initial gets a period.
QString FullName(const TMergeRecord& r);
// The address block, one line each followed by CR LF; empty lines left out.
QString NameAndAddress(const TMergeRecord& r);
// "Jan 5, 2024".
QString LongDate(const QDate& date);
// The date in the user's short date format.
QString ShortDate(const QDate& date);

// The value of the token `name` (any letter case); a null string for a
// name that is no merge field.
QString TokenValue(const QString& name, const TMergeRecord& r, const QDate& today);

// Replaces every merge token of `doc` with its value in one pass from the
// top: a value is never searched again, so an organisation called "[Phone]"
// prints as it is written. Returns the number of tokens replaced.
int ReplaceTokens(QTextDocument& doc, const TMergeRecord& r, const QDate& today);

} // namespace qp::letters
