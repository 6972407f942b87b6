#pragma once
// The record workflow of the main window, free of widgets: the clipboard
// text of a record, the duplicate-name probe, what Add puts into a new
// record, the fields it skips, and the sort orders.

#include "store/settings_file.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qp::addressbook {

// A record's field value by name (trailing blanks removed), as read.
using FieldReader = std::function<std::string(std::string_view field)>;

// ---- Copy to clipboard ----

struct ClipboardParts {
    bool nameOrgTitle = true;
    bool address = true;
    bool phones = true;
    bool codes = true;
    bool comments = true;
};
inline constexpr std::size_t kClipboardLineLimit = 200;  // a line with its CR LF
inline constexpr std::size_t kClipboardTextLimit = 1000; // the whole text

// The lines of the record, each ended by CR LF, empty lines left out. A line
// longer than its limit is cut (never inside a character); a line that would
// take the text past its limit is left out with all that follow. Limits
// count characters.
std::string GetRecordAsString(const FieldReader& field, const ClipboardParts& parts);

// ---- Add ----

// The probe key of the LNAME tag: the last name, then the first name, each
// padded with blanks or cut to its field's width in the open file, upper case.
std::string DuplicateProbeKey(std::string_view last, std::string_view first, int lastWidth,
                              int firstWidth);

// The question shown when the probe finds `found`.
std::string DuplicateQuestion(const FieldReader& found);
inline constexpr std::string_view kDuplicateTitle = "Possible Duplicate";

struct CarryOver {
    std::string org, city, state, zip, country, street, street2;
};
// The values noted from the record shown when Add was pressed (the country
// only when it is carried).
CarryOver NoteCarryOver(const FieldReader& shown, const store::AddingPreferences& prefs);

// What the New Record dialog and the ZIP look-up gave.
struct TypedForNewRecord {
    std::string last, first, zip, city, state;
};

// Field values of the new record, in the order they are put in; fields left
// blank are not listed. `today` is today as eight digits.
std::vector<std::pair<std::string, std::string>>
NewRecordValues(const store::AddingPreferences& prefs, const CarryOver& carried,
                const TypedForNewRecord& typed, std::string_view today);

// The field that takes the focus after Add has filled the new record.
std::string AddFocusField(const store::AddingPreferences& prefs,
                          const std::vector<std::pair<std::string, std::string>>& values);

// The fields taken out of the tab order while adding (address 1 and city are
// never skipped).
std::vector<std::string> SkippedFields(const store::AddingPreferences& prefs);

// The fields Clone copies into the new record (TAG and ISDEL stay blank).
inline constexpr std::array<std::string_view, 20> kCloneFields{
    "LNAME", "FNAME",   "MIDDLE", "PREFIX", "TITLE", "ORG", "STREET", "STREET2", "CITY",  "STATE",
    "ZIP",   "COUNTRY", "PHONE",  "PHONE2", "EMAIL", "FAX", "CODES",  "DATE",    "USER1", "USER2"};

// ---- Sort orders ----

struct SortOrder {
    std::string_view caption; // Sort menu caption with its '&'
    std::string_view tag;
};
inline constexpr std::array<SortOrder, 14> kSortOrders{{
    {"&Last Name", "LNAME"},
    {"&First Name", "FNAME"},
    {"&Title", "TITLE"},
    {"&Organization", "ORG"},
    {"&Street", "STREET"},
    {"&City", "CITY"},
    {"St&ate", "STATE"},
    {"&Zip", "ZIP"},
    {"Co&untry", "COUNTRY"},
    {"&Phone", "PHONE"},
    {"E-&mail", "EMAIL"},
    {"Fa&x", "FAX"},
    {"&Date", "DATE"},
    {"Cod&es", "CODES"},
}};

// A caption without its '&'.
std::string CaptionText(std::string_view caption);
// The sort order whose caption, compared in upper case without '&', is `caption`.
const SortOrder* SortOrderForCaption(std::string_view caption);

// ---- Status lines ----

// n + " filter matches", n + " records (no filter)" or "No records".
std::string FilterStatusText(bool filterSet, std::uint32_t visible);

// ---- Messages ----

std::string OpenFailedMessage(std::string_view path, std::string_view reason = {});
// The main window's line for a file that may be read but not changed.
std::string ReadOnlyNotice(std::string_view reason);
std::string InvalidIndexQuestion(std::string_view path);
// Asked when an address file opens damaged (read-only): repair it now?
std::string DamagedFileQuestion(std::string_view reason);

} // namespace qp::addressbook
