#pragma once
// The filter of the template window: its two lists and check box turned
// into a query on the catalogue, and the items it starts on.

#include "store/table.h"

#include <array>
#include <string>
#include <string_view>

namespace qp::labels {

inline constexpr std::array<std::string_view, 4> kManufacturerItems{
    "Avery Laserjet", "Avery Inkjet", "Avery Dot Matrix", "Costar LabelPrinter"};
inline constexpr std::array<std::string_view, 7> kProductItems{"Address/Shipping Labels",
                                                               "Card Products",
                                                               "Diskette Labels",
                                                               "File Folder Labels",
                                                               "Index Products",
                                                               "Miscellaneous",
                                                               "All"};
inline constexpr int kAllProductsItem = 6;
inline constexpr std::array<std::string_view, 6> kProductFamilies{
    "ADDRESS/SHIPPING LABELS", "CARD PRODUCTS",  "DISKETTE LABELS",
    "FILE FOLDER LABELS",      "INDEX PRODUCTS", "MISCELLANEOUS"};

// `manufacturer` is the list's text; `product` the index of the product item.
std::string templateFilterExpression(std::string_view manufacturer, int product, bool european);

struct TemplatePreselection {
    int manufacturer = 0; // index into kManufacturerItems
    int product = 0;      // index into kProductItems
    bool seekTemplate = false;
};

// Where the window starts for the definition's maker, printer and family.
// A maker and printer the list does not hold (the NEBS stocks) start on
// "Avery Laserjet".
TemplatePreselection preselectTemplate(std::string_view maker, std::string_view printer,
                                       std::string_view family, bool isNew);

// Applies the filter as the catalogue's query in DESCRIPT order. Returns the
// number of matching records; on a bad expression, an error.
store::Result<std::uint32_t> applyTemplateFilter(store::Table& catalogue,
                                                 const std::string& expression);

// From the first record forward to the one whose DESCRIPT is `name`; ends on
// the last record when none is.
void seekTemplateName(store::Table& catalogue, std::string_view name);

std::string upperAscii(std::string_view text);

} // namespace qp::labels
