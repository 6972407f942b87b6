#include "labels/template_filter.h"

#include "labels/label_definition.h"

#include <algorithm>
#include <cctype>
#include <map>

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

namespace {

bool isFixedMaker(std::string_view maker) {
    return maker == "AVERY" || maker == "COSTAR" || maker == "NEBS";
}

} // namespace

std::string makerDisplayName(std::string_view maker) {
    // Codes whose title case is not the maker's own spelling.
    static const std::map<std::string, std::string, std::less<>> known{
        {"CABLELABEL", "Cable Label Co"}, {"DECADRY", "DECAdry"},        {"OFFICEMAX", "OfficeMax"},
        {"ONLINE", "Online Labels"},      {"SHEETLABEL", "SheetLabels"}, {"USER", "User Defined"}};
    const std::string code = upperAscii(maker);
    if (auto it = known.find(code); it != known.end())
        return it->second;
    // Otherwise the code in title case: HERMA is "Herma".
    std::string out;
    bool start = true;
    for (char c : code) {
        const auto u = static_cast<unsigned char>(c);
        out += start ? c : static_cast<char>(std::tolower(u));
        start = !std::isalnum(u);
    }
    return out;
}

std::vector<ManufacturerItem> manufacturerItems(const std::vector<std::string>& makers) {
    std::vector<ManufacturerItem> items;
    for (auto text : kManufacturerItems)
        items.push_back({std::string(text), {}});
    std::vector<ManufacturerItem> others;
    bool users = false;
    for (const auto& m : makers) {
        const std::string code = upperAscii(m);
        if (code.empty() || isFixedMaker(code))
            continue;
        if (code == kUserMaker) {
            users = true;
            continue;
        }
        if (std::none_of(others.begin(), others.end(),
                         [&](const ManufacturerItem& i) { return i.maker == code; }))
            others.push_back({makerDisplayName(code), code});
    }
    std::sort(others.begin(), others.end(),
              [](const auto& a, const auto& b) { return upperAscii(a.text) < upperAscii(b.text); });
    items.insert(items.end(), others.begin(), others.end());
    if (users)
        items.push_back({makerDisplayName(kUserMaker), std::string(kUserMaker)});
    return items;
}

std::string templateFilterExpression(const ManufacturerItem& item, int product, bool european) {
    if (item.maker.empty())
        return templateFilterExpression(item.text, product, european);
    // Maker first, then the same product and paper clauses as the fixed items.
    std::string expr = " UPPER(manufac)=\"" + item.maker + "\" ";
    std::string rest = templateFilterExpression("", product, european);
    if (!rest.empty())
        expr += " and " + rest;
    return expr;
}

std::vector<std::string> catalogueMakers(store::Table& catalogue) {
    std::vector<std::string> out;
    (void)catalogue.setQuery("");
    for (bool ok = catalogue.first(); ok && !catalogue.eof(); ok = catalogue.next()) {
        std::string code = upperAscii(catalogue.getString("MANUFAC"));
        if (std::find(out.begin(), out.end(), code) == out.end())
            out.push_back(std::move(code));
    }
    return out;
}

std::string stockSearchExpression(std::string_view text) {
    std::string expr;
    std::string word;
    auto flush = [&] {
        if (word.empty())
            return;
        if (!expr.empty())
            expr += " and ";
        expr += "\"" + upperAscii(word) + "\"$UPPER(DESCRIPT)";
        word.clear();
    };
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '"' || c == '\'' || c == '\n' || c == '\r')
            flush();
        else
            word += c;
    }
    flush();
    return expr;
}

int manufacturerItemFor(const std::vector<ManufacturerItem>& items, std::string_view maker,
                        std::string_view templateName, bool isNew, int fixedItem) {
    const std::string code = upperAscii(maker);
    if (isNew || code.empty() || isFixedMaker(code))
        return fixedItem;
    // A hand-entered layout (no sheet name) starts on the fixed default.
    if (code == kUserMaker && templateName.empty())
        return fixedItem;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].maker == code)
            return static_cast<int>(i);
    return fixedItem;
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
    p.product = productItemFor(fam);
    return p;
}

int productItemFor(std::string_view family) {
    const std::string fam = upperAscii(family);
    for (std::size_t i = 0; i < kProductItems.size(); ++i)
        if (upperAscii(kProductItems[i]) == fam)
            return static_cast<int>(i);
    return kAllProductsItem;
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
