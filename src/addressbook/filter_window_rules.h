#pragma once
// Rules of the filter window and the filter-file commands, free of widgets.

#include "store/filter_criteria.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qp::addressbook {

struct FilterBoxInfo {
    store::FilterField field;
    const char* label;      // used when the caller gives no label
    const char* objectName; // the box; its label is objectName + "Label"
};
// One box per criterion, in the order of the record area.
inline constexpr std::array<FilterBoxInfo, store::kFilterFieldCount> kFilterBoxes = {{
    {store::FilterField::LastName, "Last", "qLast"},
    {store::FilterField::FirstName, "First", "qFirst"},
    {store::FilterField::Title, "Title", "qTitle"},
    {store::FilterField::Organization, "Org", "qOrg"},
    {store::FilterField::Address1, "Address 1", "qAddress1"},
    {store::FilterField::Address2, "Address 2", "qAddress2"},
    {store::FilterField::City, "City", "qCity"},
    {store::FilterField::State, "State or Province", "qState"},
    {store::FilterField::Zip, "Zip or Postal Code", "qZip"},
    {store::FilterField::Country, "Country", "qCountry"},
    {store::FilterField::Date, "Date", "qDate"},
    {store::FilterField::Phone1, "Phone 1", "qPhone1"},
    {store::FilterField::Phone2, "Phone 2", "qPhone2"},
    {store::FilterField::Fax, "Fax", "qFax"},
    {store::FilterField::Email, "E-mail", "qEmail"},
    {store::FilterField::Codes, "Codes", "qCodes"},
    {store::FilterField::Comment1, "Comment 1", "qComment1"},
    {store::FilterField::Comment2, "Comment 2", "qComment2"},
}};

const FilterBoxInfo& FilterBoxFor(store::FilterField field);

inline constexpr std::string_view kFilterHintText =
    "Hint: to look for only part of a value, first type in a $ and then the value to look "
    "for. As an example, to find all records containing the code letter C in the Codes "
    "field, type in $C. Right click on any field or press HELP for more helpful tips";
inline constexpr std::string_view kFilterDateHint =
    "Note: enter dates in the form: YYYYMMDD\n(i.e. 19970428 for April 28, 1997)";
inline constexpr std::string_view kFilterDateNote = "(YYYYMMDD)";
inline constexpr std::string_view kFilterSearching = "Searching...";

// The match line after Test: n + " matches", or "No filter set" for 0.
std::string FilterMatchText(std::uint32_t matches);

// ---- Filter files ----

inline constexpr std::string_view kMustHaveFltExtension = "Must have a .FLT extension";
inline constexpr std::string_view kMustBeFilterFile = "Must be a Filter (.FLT) file";

// The extension of the file name alone ("" when it has no '.'), as the
// platform the files come from splits it: from the last '.' of the name.
std::string FileNameExtension(const std::filesystem::path& path);

struct SaveFilterName {
    std::optional<std::filesystem::path> path; // where to save; none: refused
    std::string message;                       // why it was refused
};
// A name whose extension is not .FLT (any case) gets ".FLT" appended, unless
// the file name itself holds a '.'; a '.' in a folder name does not count.
SaveFilterName CheckSaveFilterName(const std::filesystem::path& chosen);

// The question before overwriting `path`.
std::string OverwriteFilterQuestion(const std::filesystem::path& path);
inline constexpr std::string_view kOverwriteFilterTitle = "Warning!";

// Empty when `chosen` may be restored, else the message.
std::string CheckRestoreFilterName(const std::filesystem::path& chosen);

} // namespace qp::addressbook
