#include "exchange/field_names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <tuple>

namespace qp::exchange {

namespace {

struct KnownName {
    std::string_view name; // as exports write it; folded before comparing
    std::string_view field;
    int rank; // 0 names the field exactly; higher ranks are looser
};

// Names from spreadsheets, Outlook, Google Contacts, Thunderbird, macOS and
// Android exports, and mail-merge lists.
constexpr std::array kKnownNames = std::to_array<KnownName>({
    {"Last Name", "LNAME", 0},
    {"Surname", "LNAME", 0},
    {"Family Name", "LNAME", 0},
    {"LastName", "LNAME", 0},
    {"Last", "LNAME", 1},
    {"Name", "LNAME", 3},
    {"First Name", "FNAME", 0},
    {"Given Name", "FNAME", 0},
    {"Forename", "FNAME", 0},
    {"First", "FNAME", 1},
    {"Middle Name", "MIDDLE", 0},
    {"Additional Name", "MIDDLE", 0},
    {"Middle Initial", "MIDDLE", 0},
    {"Initial", "MIDDLE", 1},
    {"Name Prefix", "PREFIX", 0},
    {"Salutation", "PREFIX", 1},
    {"Honorific", "PREFIX", 1},
    {"Courtesy Title", "PREFIX", 1},
    {"Title", "PREFIX", 2}, // Outlook's "Title" is Mr. or Ms. beside its "Job Title"
    {"Job Title", "TITLE", 0},
    {"Organization 1 - Title", "TITLE", 0},
    {"Position", "TITLE", 1},
    {"Title", "TITLE", 1},
    {"Company", "ORG", 0},
    {"Organization", "ORG", 0},
    {"Organisation", "ORG", 0},
    {"Organization 1 - Name", "ORG", 0},
    {"Organization Name", "ORG", 0},
    {"Company Name", "ORG", 0},
    {"Business", "ORG", 1},
    {"Address 1", "STREET", 0},
    {"Address Line 1", "STREET", 0},
    {"Address1", "STREET", 0},
    {"Street", "STREET", 0},
    {"Street Address", "STREET", 0},
    {"Business Street", "STREET", 1},
    {"Work Address", "STREET", 1},
    {"Address 1 - Street", "STREET", 1},
    {"Home Street", "STREET", 2},
    {"Home Address", "STREET", 2},
    {"Mailing Street", "STREET", 2},
    {"Other Street", "STREET", 3},
    {"Address", "STREET", 3},
    {"Address 2", "STREET2", 0},
    {"Address Line 2", "STREET2", 0},
    {"Address2", "STREET2", 0},
    {"Street 2", "STREET2", 0},
    {"Business Street 2", "STREET2", 1},
    {"Work Address 2", "STREET2", 1},
    {"Address 1 - Extended Address", "STREET2", 1},
    {"Home Street 2", "STREET2", 2},
    {"Home Address 2", "STREET2", 2},
    {"City", "CITY", 0},
    {"Town", "CITY", 0},
    {"Locality", "CITY", 1},
    {"Business City", "CITY", 1},
    {"Work City", "CITY", 1},
    {"Address 1 - City", "CITY", 1},
    {"Home City", "CITY", 2},
    {"Other City", "CITY", 3},
    {"State", "STATE", 0},
    {"Region", "STATE", 0},
    {"Province", "STATE", 0},
    {"County", "STATE", 1},
    {"State/Province", "STATE", 0},
    {"Business State", "STATE", 1},
    {"Work State", "STATE", 1},
    {"Address 1 - Region", "STATE", 1},
    {"Home State", "STATE", 2},
    {"Other State", "STATE", 3},
    {"ZIP", "ZIP", 0},
    {"ZIP Code", "ZIP", 0},
    {"Zipcode", "ZIP", 0},
    {"Postal Code", "ZIP", 0},
    {"Postcode", "ZIP", 0},
    {"Zip/Postal Code", "ZIP", 0},
    {"Business Postal Code", "ZIP", 1},
    {"Work ZipCode", "ZIP", 1},
    {"Work Postal Code", "ZIP", 1},
    {"Address 1 - Postal Code", "ZIP", 1},
    {"Home Postal Code", "ZIP", 2},
    {"Home ZipCode", "ZIP", 2},
    {"Other Postal Code", "ZIP", 3},
    {"Country", "COUNTRY", 0},
    {"Country/Region", "COUNTRY", 0},
    {"Business Country/Region", "COUNTRY", 1},
    {"Business Country", "COUNTRY", 1},
    {"Work Country", "COUNTRY", 1},
    {"Address 1 - Country", "COUNTRY", 1},
    {"Home Country/Region", "COUNTRY", 2},
    {"Home Country", "COUNTRY", 2},
    {"Other Country/Region", "COUNTRY", 3},
    {"Phone", "PHONE", 0},
    {"Telephone", "PHONE", 0},
    {"Phone Number", "PHONE", 0},
    {"Business Phone", "PHONE", 1},
    {"Work Phone", "PHONE", 1},
    {"Primary Phone", "PHONE", 1},
    {"Phone 1 - Value", "PHONE", 1},
    {"Home Phone", "PHONE", 2},
    {"Mobile Phone", "PHONE", 3},
    {"Phone 2", "PHONE2", 0},
    {"Phone 2 - Value", "PHONE2", 1},
    {"Mobile Phone", "PHONE2", 1},
    {"Mobile", "PHONE2", 1},
    {"Cell Phone", "PHONE2", 1},
    {"Mobile Number", "PHONE2", 1},
    {"Business Phone 2", "PHONE2", 2},
    {"Home Phone", "PHONE2", 2},
    {"Other Phone", "PHONE2", 3},
    {"Fax", "FAX", 0},
    {"Fax Number", "FAX", 0},
    {"Business Fax", "FAX", 1},
    {"Work Fax", "FAX", 1},
    {"Home Fax", "FAX", 2},
    {"E-mail Address", "EMAIL", 0},
    {"Email", "EMAIL", 0},
    {"Email Address", "EMAIL", 0},
    {"Primary Email", "EMAIL", 0},
    {"E-mail 1 - Value", "EMAIL", 1},
    {"E-mail", "EMAIL", 0},
    {"Mail", "EMAIL", 2},
    {"E-mail 2 Address", "EMAIL", 3},
    {"Secondary Email", "EMAIL", 3},
    {"Codes", "CODES", 0},
    {"Categories", "CODES", 1},
    {"Group Membership", "CODES", 2},
    {"Comment 1", "USER1", 0},
    {"User 1", "USER1", 0},
    {"Custom 1", "USER1", 1},
    {"User Field 1", "USER1", 1},
    {"Comment 2", "USER2", 0},
    {"User 2", "USER2", 0},
    {"Custom 2", "USER2", 1},
    {"User Field 2", "USER2", 1},
    {"Notes", "MEMO", 0},
    {"Note", "MEMO", 0},
    {"Memo", "MEMO", 0},
    {"Comments", "MEMO", 1},
    {"Actual Date", "DATE", 0},
    {"Date", "DATE", 0},
    {"Birthday", "DATE", 1},
    {"Birth Date", "DATE", 1},
    {"Date of Birth", "DATE", 1},
    {"Anniversary", "DATE", 2},
});

std::string labelFor(std::string_view field) {
    if (field == "MEMO")
        return "Memo";
    return labelOf(field).value_or(std::string(field));
}

} // namespace

std::string foldName(std::string_view name) {
    std::string folded;
    folded.reserve(name.size());
    for (unsigned char c : name)
        if (std::isalnum(c))
            folded += char(std::tolower(c));
        else if (c >= 0x80)
            folded += char(c); // letters beyond ASCII are kept as they are
    return folded;
}

std::vector<AddressLabel> namedImportFields() {
    auto fields = defaultImportFields();
    fields.push_back({"DATE", labelFor("DATE")});
    fields.push_back({"MEMO", labelFor("MEMO")});
    return fields;
}

std::vector<std::string> proposeMatches(const std::vector<std::string>& columnNames) {
    const auto offered = namedImportFields();
    // (rank, column, field) for every name that fits; the address fields'
    // own labels and stored names fit as the usual names do, so that Outlook's
    // "Job Title" still wins Title over its "Title" (a prefix there).
    std::vector<std::tuple<int, std::size_t, std::string>> candidates;
    for (std::size_t c = 0; c < columnNames.size(); ++c) {
        const std::string folded = foldName(columnNames[c]);
        if (folded.empty())
            continue;
        for (const auto& o : offered)
            if (folded == foldName(o.label) || folded == foldName(o.field))
                candidates.emplace_back(1, c, o.field);
        for (const auto& k : kKnownNames)
            if (folded == foldName(k.name))
                candidates.emplace_back(k.rank, c, std::string(k.field));
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) {
        return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
    });
    std::vector<std::string> proposals(columnNames.size());
    std::vector<std::string> taken;
    for (const auto& [rank, column, field] : candidates) {
        if (!proposals[column].empty() ||
            std::find(taken.begin(), taken.end(), field) != taken.end())
            continue;
        proposals[column] = labelFor(field);
        taken.push_back(field);
    }
    return proposals;
}

std::size_t knownNameCount(const std::vector<std::string>& names) {
    const auto offered = namedImportFields();
    std::size_t count = 0;
    for (const auto& n : names) {
        const std::string folded = foldName(n);
        if (folded.empty())
            continue;
        bool known = std::any_of(kKnownNames.begin(), kKnownNames.end(),
                                 [&](const KnownName& k) { return foldName(k.name) == folded; }) ||
                     std::any_of(offered.begin(), offered.end(), [&](const AddressLabel& o) {
                         return foldName(o.label) == folded || foldName(o.field) == folded;
                     });
        count += known;
    }
    return count;
}

} // namespace qp::exchange
