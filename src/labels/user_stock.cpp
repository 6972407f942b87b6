#include "labels/user_stock.h"

#include "labels/template_filter.h"
#include "store/codepage.h"
#include "store/shared_routines.h"

namespace qp::labels {

namespace {

std::string nameKey(std::string_view name) {
    return upperAscii(store::Trim(name));
}

// Moves the cursor to the sheet called `name`; false when there is none.
bool findSheet(store::Table& catalogue, std::string_view name) {
    (void)catalogue.setQuery("");
    const std::string key = nameKey(name);
    for (bool ok = catalogue.first(); ok && !catalogue.eof(); ok = catalogue.next())
        if (nameKey(catalogue.getString("DESCRIPT")) == key)
            return true;
    return false;
}

bool onUserSheet(const store::Table& catalogue) {
    return upperAscii(store::Trim(catalogue.getString("MANUFAC"))) == kUserMaker;
}

} // namespace

LabelTemplate userStockSheet(const ManualLayout& m, std::string_view name) {
    LabelTemplate s;
    s.description = store::Trim(name);
    s.labelHeight = m.labelHeight;
    s.labelWidth = m.labelWidth;
    s.across = m.across;
    s.down = m.down;
    s.topMargin = m.topMargin;
    s.leftMargin = m.leftMargin;
    s.horizontalPitch = m.horizontalPitch;
    s.verticalPitch = m.verticalPitch;
    s.sheetWidth = m.sheetWidth;
    s.sheetDepth = m.sheetDepth;
    s.paperSize = m.paperSize;
    s.shape = m.shape;
    s.maker = std::string(kUserMaker);
    // A family of the "Product Type" list, so the sheet shows under it too.
    s.productType = "MISCELLANEOUS";
    return s;
}

std::string userStockNameProblem(std::string_view name) {
    const std::string trimmed = store::Trim(name);
    if (trimmed.empty())
        return "Please type a name for the sheet.";
    auto stored = store::utf8ToCp1252Exact(trimmed);
    if (!stored)
        return "The name has characters that cannot be stored in the catalogue (Windows-1252).";
    if (stored->size() > kStockNameLimit)
        return "The name may hold at most " + std::to_string(kStockNameLimit) + " characters.";
    return {};
}

store::Result<StockNameUse> stockNameUse(const std::string& sysdataFolder, std::string_view name) {
    auto catalogue = openLabelTemplateTable(sysdataFolder);
    if (!catalogue)
        return store::fail(catalogue.error());
    if (!findSheet(*catalogue, name))
        return StockNameUse::Free;
    return onUserSheet(*catalogue) ? StockNameUse::UserSheet : StockNameUse::CatalogueSheet;
}

store::Status saveUserStock(const std::string& sysdataFolder, const LabelTemplate& sheet) {
    if (auto problem = userStockNameProblem(sheet.description); !problem.empty())
        return store::fail(problem);
    auto catalogue = openLabelTemplateTable(sysdataFolder);
    if (!catalogue)
        return store::fail(catalogue.error());
    store::Table& t = *catalogue;
    if (findSheet(t, sheet.description)) {
        if (!onUserSheet(t))
            return store::fail("The catalogue already holds a sheet called \"" +
                               store::Trim(sheet.description) + "\". Please choose another name.");
    } else if (auto st = t.append(); !st) {
        return st;
    }
    if (auto st = writeLabelTemplate(t, sheet); !st) {
        t.discard();
        return st;
    }
    if (auto st = t.post(); !st) {
        t.discard();
        return st;
    }
    return t.flush();
}

} // namespace qp::labels
