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

// One record per line after the header; fields by the header's names. A
// field may be quoted ("...") to hold commas; "" inside stands for ".
store::Result<std::vector<LabelTemplate>> parseLabelStock(std::string_view csv);

// The last-update date every build of the catalogue carries.
inline constexpr int kCatalogueYear = 2026, kCatalogueMonth = 12, kCatalogueDay = 1;

// Writes LBLTPL.DBF fresh at `path` (replacing it) with its DESCRIPT tag:
// the shipped sheets in the CSV's order, then `userSheets`, so two builds
// give the same bytes.
store::Status buildLabelTemplateTable(const std::string& path,
                                      const std::vector<LabelTemplate>& userSheets = {});
// The same from another catalogue text (an older catalogue, in tests).
store::Status buildLabelTemplateTable(const std::string& path, std::string_view csv,
                                      const std::vector<LabelTemplate>& userSheets);

// True when the catalogue holds exactly the shipped sheets, besides the
// sheets users kept in it (maker "USER").
store::Result<bool> catalogueIsCurrent(store::Table& catalogue);

// The sheets users kept in the catalogue, in record order.
std::vector<LabelTemplate> userSheetsOf(store::Table& catalogue);

// Builds sysdata/LBLTPL.DBF under the program folder when it is not there,
// and replaces a catalogue of another release by the shipped one, keeping
// the users' own sheets. A catalogue that cannot be read is left as it is
// and reported.
store::Status seedLabelCatalogue(const std::string& programFolder);

// The upgrade alone, on the catalogue in `sysdataFolder` (which must exist).
// Sets `upgraded` when the catalogue was rebuilt.
store::Status upgradeLabelCatalogue(const std::string& sysdataFolder, bool* upgraded = nullptr);

} // namespace qp::labels
