#pragma once
// The label stock catalogue that ships with the program (data/label-stock.csv,
// carried inside the program) and the sysdata/LBLTPL.DBF table built from it.

#include "labels/label_definition.h"
#include "store/result.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qp::store {
std::string_view shippedLabelStockCsv(); // data/label-stock.csv, generated
}

namespace qp::labels {

// One record per line after the header; fields by the header's names.
store::Result<std::vector<LabelTemplate>> parseLabelStock(std::string_view csv);

// The last-update date every build of the catalogue carries.
inline constexpr int kCatalogueYear = 2024, kCatalogueMonth = 1, kCatalogueDay = 1;

// Writes LBLTPL.DBF fresh at `path` (replacing it) with its DESCRIPT tag.
// The records go in the CSV's order, so two builds give the same bytes.
store::Status buildLabelTemplateTable(const std::string& path);

// Builds sysdata/LBLTPL.DBF under the program folder when it is not there;
// an existing catalogue is never replaced.
store::Status seedLabelCatalogue(const std::string& programFolder);

} // namespace qp::labels
