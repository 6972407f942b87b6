#include "labels/template_filter.h"

#include <cctype>

namespace qp::labels {

std::string upperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string templateFilterExpression(std::string_view manufacturer, int product, bool european) {
    std::string expr;
    auto join = [&](const std::string& clause) {
        if (!expr.empty())
            expr += " and ";
        expr += clause;
    };
    std::string item = upperAscii(manufacturer);
    auto has = [&](std::string_view word) { return item.find(word) != std::string::npos; };
    for (std::string_view maker : {"AVERY", "NEBS", "COSTAR"})
        if (has(maker)) {
            join(" UPPER(manufac)=\"" + std::string(maker) + "\" ");
            break;
        }
    static constexpr std::pair<std::string_view, std::string_view> printers[]{
        {"LASERJET", "LJ"}, {"INKJET", "IJ"}, {"DOT MATRIX", "DM"}, {"LABELPRINTER", "LP"}};
    for (auto [word, code] : printers)
        if (has(word)) {
            join(" UPPER(printer)=\"" + std::string(code) + "\" ");
            break;
        }
    if (product >= 0 && product < static_cast<int>(kProductFamilies.size()))
        join(" UPPER(PRODTYPE)=\"" + std::string(kProductFamilies[product]) + "\" ");
    if (european)
        join(" (\"A4\"$UPPER(PAPERSIZE) OR \"A5\"$UPPER(PAPERSIZE))");
    return expr;
}

TemplatePreselection preselectTemplate(std::string_view maker, std::string_view printer,
                                       std::string_view family, bool isNew) {
    TemplatePreselection p;
    std::string m = upperAscii(maker), pr = upperAscii(printer), fam = upperAscii(family);
    if (m == "USER" || isNew) {
        m = "AVERY";
        pr = "LJ";
        fam = "ADDRESS/SHIPPING LABELS";
    } else {
        p.seekTemplate = true;
    }
    std::string wanted = "AVERY LASERJET";
    if (m == "AVERY") {
        if (pr == "IJ")
            wanted = "AVERY INKJET";
        else if (pr == "DM")
            wanted = "AVERY DOT MATRIX";
    } else if (m == "NEBS") {
        wanted = pr == "DM" ? "NEBS DOT MATRIX" : pr == "LJ" ? "NEBS LASERJET" : wanted;
    } else if (m == "COSTAR") {
        wanted = "COSTAR LABELPRINTER";
    }
    p.manufacturer = 0;
    for (std::size_t i = 0; i < kManufacturerItems.size(); ++i)
        if (upperAscii(kManufacturerItems[i]) == wanted)
            p.manufacturer = static_cast<int>(i);
    p.product = kAllProductsItem;
    for (std::size_t i = 0; i < kProductItems.size(); ++i)
        if (upperAscii(kProductItems[i]) == fam)
            p.product = static_cast<int>(i);
    return p;
}

store::Result<std::uint32_t> applyTemplateFilter(store::Table& catalogue,
                                                 const std::string& expression) {
    if (int order = catalogue.tagArea("DESCRIPT"); order && catalogue.indexOrd() != order)
        if (auto st = catalogue.setOrder(order); !st)
            return store::fail(st.error());
    if (auto st = catalogue.setQuery(expression); !st)
        return store::fail(st.error());
    std::uint32_t n = catalogue.queryRecCount();
    catalogue.first();
    return n;
}

void seekTemplateName(store::Table& catalogue, std::string_view name) {
    if (!catalogue.first())
        return;
    for (;;) {
        if (catalogue.getString("DESCRIPT") == name)
            return;
        std::uint32_t here = catalogue.recNo();
        if (!catalogue.next() || catalogue.eof()) {
            catalogue.go(here);
            return;
        }
    }
}

} // namespace qp::labels
