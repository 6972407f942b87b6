#pragma once
// The display labels of the stored address fields, and the fields an import
// may fill.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qp::exchange {

struct AddressLabel {
    std::string field; // stored field name
    std::string label; // display label
};

inline constexpr std::array<std::pair<std::string_view, std::string_view>, 21> kAddressLabels{{
    {"LNAME", "Last Name"},  {"FNAME", "First Name"},    {"MIDDLE", "Middle"},
    {"PREFIX", "Prefix"},    {"TITLE", "Title"},         {"ORG", "Organization"},
    {"STREET", "Address 1"}, {"STREET2", "Address 2"},   {"CITY", "City"},
    {"STATE", "State"},      {"ZIP", "Zip/Postal Code"}, {"COUNTRY", "Country"},
    {"DATE", "Actual Date"}, {"PHONE", "Phone 1"},       {"PHONE2", "Phone 2"},
    {"FAX", "Fax"},          {"EMAIL", "Email"},         {"CODES", "Codes"},
    {"USER1", "Comment 1"},  {"USER2", "Comment 2"},     {"ISDEL", "Deleted"},
}};

// The visible character fields in the cursor's field order: what the match
// window offers.
std::vector<AddressLabel> defaultImportFields();

// The label of a stored field name, if it has one.
std::optional<std::string> labelOf(std::string_view field);

bool equalsIgnoringCase(std::string_view a, std::string_view b);

} // namespace qp::exchange
