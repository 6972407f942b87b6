#pragma once
// Sheets the user measured by hand and keeps in the stock catalogue under a
// name of their own (maker "USER"), to choose again like any other stock.

#include "labels/label_definition.h"
#include "store/result.h"

#include <string>
#include <string_view>

namespace qp::labels {

inline constexpr std::size_t kStockNameLimit = 60; // LBLTPL.DBF DESCRIPT

// The catalogue record of a hand-entered layout under `name`.
LabelTemplate userStockSheet(const ManualLayout& layout, std::string_view name);

// Why `name` cannot name a kept sheet, as the message shown; empty when it can.
std::string userStockNameProblem(std::string_view name);

enum class StockNameUse { Free, UserSheet, CatalogueSheet };
// Whether a sheet of the catalogue in `sysdataFolder` is already called
// `name` (blanks around it and case ignored).
store::Result<StockNameUse> stockNameUse(const std::string& sysdataFolder, std::string_view name);

// Adds the sheet to the catalogue, or replaces the user's sheet of the same
// name. Fails, changing nothing, when a shipped sheet has that name or the
// name cannot be stored.
store::Status saveUserStock(const std::string& sysdataFolder, const LabelTemplate& sheet);

} // namespace qp::labels
