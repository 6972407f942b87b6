#include "labels/new_definition.h"

#include "labels/label_stock.h"
#include "labels/template_filter.h"

namespace qp::labels {

std::optional<LabelTemplate> findLabelTemplate(store::Table& catalogue, std::string_view name) {
    const std::string wanted = upperAscii(name);
    for (bool ok = catalogue.first(); ok && !catalogue.eof(); ok = catalogue.next())
        if (upperAscii(catalogue.getString("DESCRIPT")) == wanted)
            return readLabelTemplate(catalogue);
    return std::nullopt;
}

namespace {

// The stock in the catalogue the program carries, for a program folder
// whose sysdata has none yet.
std::optional<LabelTemplate> shippedTemplate(std::string_view name) {
    auto stocks = parseLabelStock(store::shippedLabelStockCsv());
    if (!stocks)
        return std::nullopt;
    const std::string wanted = upperAscii(name);
    for (const auto& s : *stocks)
        if (upperAscii(s.description) == wanted)
            return s;
    return std::nullopt;
}

} // namespace

LabelDefinition newLabelDefinition(const std::string& sysdataFolder) {
    LabelDefinition def;
    std::optional<LabelTemplate> stock;
    if (auto catalogue = openLabelTemplateTable(sysdataFolder))
        stock = findLabelTemplate(*catalogue, def.templateName);
    if (!stock)
        stock = shippedTemplate(def.templateName);
    if (stock) {
        const std::string description = def.description;
        applyTemplate(def, *stock);
        def.description = description;
    }
    return def;
}

} // namespace qp::labels
