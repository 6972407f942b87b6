#pragma once
// The filter of the template window: its two lists and check box turned
// into a query on the catalogue, and the items it starts on.

#include "store/table.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

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

// One entry of the "Manufacturer" list. The four fixed items filter by the
// words of their text (maker and printer kind); an item added for another
// maker of the catalogue filters on that maker's code.
struct ManufacturerItem {
    std::string text;
    std::string maker; // empty for the four fixed items
};

// The four fixed items, then one per other maker in `makers` (catalogue
// codes, any order) sorted by the name shown; the users' own sheets last.
std::vector<ManufacturerItem> manufacturerItems(const std::vector<std::string>& makers);
std::string templateFilterExpression(const ManufacturerItem& item, int product, bool european);

// The name the list shows for a maker's code ("ONLINE" is "Online Labels").
std::string makerDisplayName(std::string_view maker);

// The distinct makers of the catalogue, upper-cased, in first-seen order.
std::vector<std::string> catalogueMakers(store::Table& catalogue);

// Every word of `text` must occur in the description, in any case; empty
// when the text holds no word. Quotes separate words like blanks do, so a
// typed text can never change the query's logic.
std::string stockSearchExpression(std::string_view text);

// The item to start on: for a maker the four fixed items do not name, that
// maker's own item when the list has one (and its sheet is sought);
// otherwise the index the fixed rules give.
int manufacturerItemFor(const std::vector<ManufacturerItem>& items, std::string_view maker,
                        std::string_view templateName, bool isNew, int fixedItem);

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

// The product item equal to `family` in any case, else "All".
int productItemFor(std::string_view family);

// Applies the filter as the catalogue's query in DESCRIPT order. Returns the
// number of matching records; on a bad expression, an error.
store::Result<std::uint32_t> applyTemplateFilter(store::Table& catalogue,
                                                 const std::string& expression);

// From the first record forward to the one whose DESCRIPT is `name`; ends on
// the last record when none is.
void seekTemplateName(store::Table& catalogue, std::string_view name);

std::string upperAscii(std::string_view text);

} // namespace qp::labels
