#pragma once
// The stored fields of an address file and the tags of its structural index,
// in their physical and creation order.

#include <array>
#include <string_view>
#include <utility>

namespace qp::store {

struct AddressFieldSpec {
    std::string_view name;
    char type;
    int defaultWidth;
    bool settable; // width taken from the new-file field lengths
};

inline constexpr std::array<AddressFieldSpec, 23> kAddressFields{{
    {"LNAME", 'C', 30, true},  {"FNAME", 'C', 30, true},   {"MIDDLE", 'C', 1, false},
    {"PREFIX", 'C', 12, true}, {"TITLE", 'C', 30, true},   {"ORG", 'C', 30, true},
    {"STREET", 'C', 40, true}, {"STREET2", 'C', 40, true}, {"CITY", 'C', 30, true},
    {"STATE", 'C', 20, true},  {"ZIP", 'C', 10, true},     {"COUNTRY", 'C', 30, true},
    {"DATE", 'C', 15, false},  {"PHONE", 'C', 30, true},   {"PHONE2", 'C', 30, true},
    {"FAX", 'C', 40, true},    {"EMAIL", 'C', 40, true},   {"CODES", 'C', 30, true},
    {"USER1", 'C', 40, true},  {"USER2", 'C', 40, true},   {"ISDEL", 'L', 1, false},
    {"TAG", 'C', 8, false},    {"MEMO", 'M', 10, false},
}};

struct AddressTagSpec {
    std::string_view name;
    std::string_view expression;
};

inline constexpr std::array<AddressTagSpec, 26> kAddressTags{{
    {"NAME", "UPPER(LNAME-FNAME)"},
    {"LNAME", "UPPER(LNAME)+UPPER(FNAME)"},
    {"FNAME", "UPPER(FNAME)"},
    {"TITLE", "UPPER(TITLE)"},
    {"ORG", "UPPER(ORG)"},
    {"STREET", "UPPER(STREET)"},
    {"STREET2", "UPPER(STREET2)"},
    {"CITY", "UPPER(CITY+STATE)"},
    {"STATE", "UPPER(STATE)"},
    {"ZIP", "UPPER(ZIP)"},
    {"COUNTRY", "UPPER(COUNTRY)"},
    {"PHONE", "UPPER(PHONE)"},
    {"PHONE2", "UPPER(PHONE2)"},
    {"EMAIL", "UPPER(EMAIL)"},
    {"FAX", "UPPER(FAX)"},
    {"USER1", "UPPER(USER1)"},
    {"USER2", "UPPER(USER2)"},
    {"DATE", "UPPER(DATE)"},
    {"TAG", "UPPER(TAG)"},
    {"CODES", "UPPER(CODES)"},
    {"PREFIX", "UPPER(PREFIX)"},
    {"MIDDLE", "UPPER(MIDDLE)"},
    {"DELETED", "DELETED()"},
    {"STATEZIP", "UPPER(STATE-ZIP)"},
    {"ISDEL", "ISDEL"},
    {"NOTISDEL", "!ISDEL"},
}};

// What the user calls each stored address field.
inline constexpr std::array<std::pair<std::string_view, std::string_view>, 21> kAddressFieldLabels{{
    {"LNAME", "Last Name"},  {"FNAME", "First Name"},    {"MIDDLE", "Middle"},
    {"PREFIX", "Prefix"},    {"TITLE", "Title"},         {"ORG", "Organization"},
    {"STREET", "Address 1"}, {"STREET2", "Address 2"},   {"CITY", "City"},
    {"STATE", "State"},      {"ZIP", "Zip/Postal Code"}, {"COUNTRY", "Country"},
    {"DATE", "Actual Date"}, {"PHONE", "Phone 1"},       {"PHONE2", "Phone 2"},
    {"FAX", "Fax"},          {"EMAIL", "Email"},         {"CODES", "Codes"},
    {"USER1", "Comment 1"},  {"USER2", "Comment 2"},     {"ISDEL", "Deleted"},
}};

// The calculated name and address fields the printing tools offer.
inline constexpr std::array<std::pair<std::string_view, std::string_view>, 3>
    kNameAndAddressFieldLabels{{
        {"FullName", "Full Name"},
        {"FullNameWithPrefix", "Full Name & Prefix"},
        {"CityStateZip", "City, State & Zip"},
    }};

} // namespace qp::store
