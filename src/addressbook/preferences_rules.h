#pragma once
// The switches of the preferences window and the settings they stand for.

#include "store/settings_file.h"

#include <array>
#include <string_view>

namespace qp::addressbook {

enum class PreferenceGroup { Automatic, Carry, Skip };

struct PreferenceSwitch {
    std::string_view key; // the settings key, letter case as written
    PreferenceGroup group;
    std::string_view caption;
    bool store::AddingPreferences::*member;
};

// In window order; the skip boxes follow the record area.
inline constexpr std::array<PreferenceSwitch, 28> kPreferenceSwitches = {{
    {"PlugDate", PreferenceGroup::Automatic, "Enter today's date in the date field",
     &store::AddingPreferences::plugDate},
    {"PlugCityState", PreferenceGroup::Automatic, "Automatically insert city and state/province",
     &store::AddingPreferences::plugCityState},
    {"AutoDupCheck", PreferenceGroup::Automatic, "Automatically check for duplicate names",
     &store::AddingPreferences::autoDupCheck},
    {"CarryOrg", PreferenceGroup::Carry, "Organization", &store::AddingPreferences::carryOrg},
    {"CarrySA1", PreferenceGroup::Carry, "Address 1", &store::AddingPreferences::carrySA1},
    {"CarrySA2", PreferenceGroup::Carry, "Address 2", &store::AddingPreferences::carrySA2},
    {"CarryCity", PreferenceGroup::Carry, "City", &store::AddingPreferences::carryCity},
    {"CarryState", PreferenceGroup::Carry, "State/Province", &store::AddingPreferences::carryState},
    {"CarryZip", PreferenceGroup::Carry, "Zip/Postal Code", &store::AddingPreferences::carryZip},
    {"CarryCountry", PreferenceGroup::Carry, "Country", &store::AddingPreferences::carryCountry},
    {"SkipLastName", PreferenceGroup::Skip, "Last Name", &store::AddingPreferences::skipLastName},
    {"SkipfirstName", PreferenceGroup::Skip, "First Name",
     &store::AddingPreferences::skipFirstName},
    {"SkipMiddleInitial", PreferenceGroup::Skip, "Middle Initial",
     &store::AddingPreferences::skipMiddleInitial},
    {"SkipPrefix", PreferenceGroup::Skip, "Prefix", &store::AddingPreferences::skipPrefix},
    {"Skiptitle", PreferenceGroup::Skip, "Title", &store::AddingPreferences::skipTitle},
    {"SkipOrganization", PreferenceGroup::Skip, "Organization",
     &store::AddingPreferences::skipOrganization},
    {"SkipAddress2", PreferenceGroup::Skip, "Address 2", &store::AddingPreferences::skipAddress2},
    {"SkipState", PreferenceGroup::Skip, "State/Province", &store::AddingPreferences::skipState},
    {"SkipZip", PreferenceGroup::Skip, "Zip/Postal Code", &store::AddingPreferences::skipZip},
    {"SkipCountry", PreferenceGroup::Skip, "Country", &store::AddingPreferences::skipCountry},
    {"SkipDate", PreferenceGroup::Skip, "Date", &store::AddingPreferences::skipDate},
    {"SkipPhone1", PreferenceGroup::Skip, "Phone #1", &store::AddingPreferences::skipPhone1},
    {"SkipPhone2", PreferenceGroup::Skip, "Phone #2", &store::AddingPreferences::skipPhone2},
    {"SkipFax", PreferenceGroup::Skip, "Fax", &store::AddingPreferences::skipFax},
    {"SkipEmail", PreferenceGroup::Skip, "E-Mail", &store::AddingPreferences::skipEmail},
    {"SkipCodes", PreferenceGroup::Skip, "Codes", &store::AddingPreferences::skipCodes},
    {"SkipComments1", PreferenceGroup::Skip, "Comments #1",
     &store::AddingPreferences::skipComments1},
    {"Skipcomments2", PreferenceGroup::Skip, "Comments #2",
     &store::AddingPreferences::skipComments2},
}};

inline constexpr int kMaxDefaultCountryLength = 30;

} // namespace qp::addressbook
