#pragma once
// The display labels of the stored address fields, and the fields an import
// may fill.

#include "store/address_schema.h"

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

inline constexpr const auto& kAddressLabels = store::kAddressFieldLabels;

// The visible character fields in the cursor's field order: what the match
// window offers.
std::vector<AddressLabel> defaultImportFields();

// The label of a stored field name, if it has one.
std::optional<std::string> labelOf(std::string_view field);

bool equalsIgnoringCase(std::string_view a, std::string_view b);

} // namespace qp::exchange
