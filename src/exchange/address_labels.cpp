#include "exchange/address_labels.h"

#include <cctype>

namespace qp::exchange {

std::vector<AddressLabel> defaultImportFields() {
    // Cursor order; DATE, TAG, MEMO and ISDEL are hidden in the cursor.
    static constexpr std::array<std::string_view, 19> order{
        "LNAME",   "FNAME", "MIDDLE", "PREFIX", "TITLE",   "ORG",   "STREET",
        "STREET2", "CITY",  "STATE",  "ZIP",    "COUNTRY", "PHONE", "PHONE2",
        "FAX",     "EMAIL", "CODES",  "USER1",  "USER2"};
    std::vector<AddressLabel> fields;
    for (auto name : order)
        fields.push_back({std::string(name), *labelOf(name)});
    return fields;
}

std::optional<std::string> labelOf(std::string_view field) {
    for (const auto& [name, label] : kAddressLabels)
        if (equalsIgnoringCase(name, field))
            return std::string(label);
    return std::nullopt;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace qp::exchange
