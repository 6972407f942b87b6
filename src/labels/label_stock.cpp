#include "labels/label_stock.h"

#include "store/number_text.h"
#include "store/shared_routines.h"
#include "store/system_tables.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>

namespace qp::labels {

namespace {

// Splits one CSV line; a quoted field may hold commas, and "" in it is one ".
std::vector<std::string> splitFields(std::string_view line) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"')
                out.back() += c;
            else if (i + 1 < line.size() && line[i + 1] == '"')
                out.back() += line[++i];
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

bool toNumber(std::string_view text, double& value) {
    if (text.empty()) {
        value = 0;
        return true;
    }
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && p == text.data() + text.size();
}

constexpr std::array<std::string_view, 19> kColumns{
    "DESCRIPT",   "LBLHEIGHT", "LBLWIDTH",   "NBRACROSS",  "NBRDOWN", "TOPMARG",   "LEFTMARG",
    "HORIZPITCH", "VERTPITCH", "SHEETWIDTH", "SHEETDEPTH", "PRINTER", "PAPERSIZE", "LBLSHAPE",
    "MANUFAC",    "PRODTYPE",  "MIDEXTRAX",  "MIDEXTRAY",  "ART"};

// The header's last-update date would make every build differ by the day
// it ran; the catalogue carries one fixed date instead.
store::Status stampFixedDate(const std::string& path) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!f)
        return store::fail("Cannot reopen " + path);
    const char date[3] = {static_cast<char>(kCatalogueYear - 1900), kCatalogueMonth, kCatalogueDay};
    f.seekp(1);
    f.write(date, 3);
    f.flush();
    if (!f)
        return store::fail("Cannot write " + path);
    return {};
}

} // namespace

store::Result<std::vector<LabelTemplate>> parseLabelStock(std::string_view csv) {
    std::vector<LabelTemplate> rows;
    std::array<int, kColumns.size()> where{};
    where.fill(-1);
    bool header = true;
    int lineNumber = 0;
    while (!csv.empty()) {
        auto nl = csv.find('\n');
        std::string_view line = csv.substr(0, nl);
        csv = nl == std::string_view::npos ? std::string_view() : csv.substr(nl + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        auto fields = splitFields(line);
        if (header) {
            for (std::size_t i = 0; i < fields.size(); ++i)
                for (std::size_t c = 0; c < kColumns.size(); ++c)
                    if (fields[i] == kColumns[c])
                        where[c] = static_cast<int>(i);
            for (std::size_t c = 0; c < kColumns.size(); ++c)
                if (where[c] < 0)
                    return store::fail("The label stock has no column " + std::string(kColumns[c]));
            header = false;
            continue;
        }
        auto text = [&](std::size_t c) {
            auto i = static_cast<std::size_t>(where[c]);
            return i < fields.size() ? std::string_view(fields[i]) : std::string_view();
        };
        LabelTemplate s;
        s.description = std::string(text(0));
        std::array<double*, 10> lengths{
            &s.labelHeight, &s.labelWidth,      nullptr,          nullptr,       &s.topMargin,
            &s.leftMargin,  &s.horizontalPitch, &s.verticalPitch, &s.sheetWidth, &s.sheetDepth};
        for (std::size_t c = 1; c <= 10; ++c) {
            double v = 0;
            if (!toNumber(text(c), v))
                return store::fail("Label stock line " + std::to_string(lineNumber) +
                                   ": bad number in " + std::string(kColumns[c]));
            if (c == 3)
                s.across = static_cast<int>(v);
            else if (c == 4)
                s.down = static_cast<int>(v);
            else
                *lengths[c - 1] = v;
        }
        s.printer = std::string(text(11));
        s.paperSize = std::string(text(12));
        s.shape = std::string(text(13));
        s.maker = std::string(text(14));
        s.productType = std::string(text(15));
        if (!toNumber(text(16), s.midExtraX) || !toNumber(text(17), s.midExtraY))
            return store::fail("Label stock line " + std::to_string(lineNumber) +
                               ": bad mid extra");
        s.art = std::string(text(18));
        rows.push_back(std::move(s));
    }
    return rows;
}

store::Status buildLabelTemplateTable(const std::string& path,
                                      const std::vector<LabelTemplate>& userSheets) {
    return buildLabelTemplateTable(path, store::shippedLabelStockCsv(), userSheets);
}

store::Status buildLabelTemplateTable(const std::string& path, std::string_view csv,
                                      const std::vector<LabelTemplate>& userSheets) {
    auto rows = parseLabelStock(csv);
    if (!rows)
        return store::fail(rows.error());
    rows->insert(rows->end(), userSheets.begin(), userSheets.end());
    const auto& spec = store::systemTableSpec(store::SystemTable::LabelTemplate);
    // The catalogue is the program's own: a build replaces any earlier one
    // (and its index), unless another program holds it.
    auto written = store::Table::createOver(path, spec.fields);
    if (!written)
        return store::fail(written.error());
    {
        auto table = store::Table::open(*written, store::OpenMode::Exclusive);
        if (!table)
            return store::fail(table.error());
        for (const auto& row : *rows) {
            if (auto st = table->append(); !st)
                return st;
            if (auto st = writeLabelTemplate(*table, row); !st)
                return st;
            if (auto st = table->post(); !st)
                return st;
        }
        if (auto st = table->indexTag(std::string(spec.tagName), std::string(spec.tagExpression));
            !st)
            return st;
    }
    return stampFixedDate(*written);
}

namespace {

bool isUserSheet(const LabelTemplate& s) {
    return store::Trim(s.maker) == kUserMaker;
}

// Every stored value of a sheet as the table keeps it, to compare sheets.
std::string sheetKey(const LabelTemplate& s) {
    std::string key;
    for (const std::string* text :
         {&s.description, &s.printer, &s.paperSize, &s.shape, &s.maker, &s.productType, &s.art})
        key += store::TrimRight(*text) + '\x1f';
    for (double v : {s.labelHeight, s.labelWidth, s.topMargin, s.leftMargin, s.horizontalPitch,
                     s.verticalPitch, s.sheetWidth, s.sheetDepth, s.midExtraX, s.midExtraY})
        key += store::fixedText(roundToThousandths(v), 3) + '\x1f';
    key += std::to_string(s.across) + 'x' + std::to_string(s.down);
    return key;
}

// The visible records in record order.
std::vector<LabelTemplate> allSheets(store::Table& catalogue) {
    (void)catalogue.setQuery("");
    (void)catalogue.setOrder(0);
    std::vector<LabelTemplate> out;
    for (bool ok = catalogue.first(); ok && !catalogue.eof(); ok = catalogue.next())
        out.push_back(readLabelTemplate(catalogue));
    return out;
}

} // namespace

store::Result<bool> catalogueIsCurrent(store::Table& catalogue) {
    auto shipped = parseLabelStock(store::shippedLabelStockCsv());
    if (!shipped)
        return store::fail(shipped.error());
    std::vector<std::string> want, have;
    for (const auto& s : *shipped)
        want.push_back(sheetKey(s));
    for (const auto& s : allSheets(catalogue))
        if (!isUserSheet(s))
            have.push_back(sheetKey(s));
    std::sort(want.begin(), want.end());
    std::sort(have.begin(), have.end());
    return want == have;
}

std::vector<LabelTemplate> userSheetsOf(store::Table& catalogue) {
    std::vector<LabelTemplate> out;
    for (auto& s : allSheets(catalogue))
        if (isUserSheet(s))
            out.push_back(std::move(s));
    return out;
}

store::Status upgradeLabelCatalogue(const std::string& sysdataFolder, bool* upgraded) {
    namespace fs = std::filesystem;
    if (upgraded)
        *upgraded = false;
    const fs::path sysdata(sysdataFolder);
    const fs::path dbf = store::resolveCaseInsensitive(sysdata, "LBLTPL.DBF");
    std::vector<LabelTemplate> users;
    {
        auto table = openLabelTemplateTable(sysdataFolder);
        if (!table)
            return store::fail(table.error());
        auto current = catalogueIsCurrent(*table);
        if (!current)
            return store::fail(current.error());
        if (*current)
            return {};
        users = userSheetsOf(*table);
    }
    // The new catalogue is built beside the old one and only then put in its
    // place: the old index goes first, so that at every moment the table in
    // place either has its own index or none (and gets one when next opened).
    const fs::path fresh = sysdata / "LBLTPL_N.DBF";
    const fs::path freshIndex = sysdata / "LBLTPL_N.CDX";
    std::error_code ec;
    if (auto st = buildLabelTemplateTable(fresh.string(), users); !st) {
        fs::remove(fresh, ec);
        fs::remove(freshIndex, ec);
        return store::fail("The label stock catalogue could not be renewed: " + st.error());
    }
    const fs::path oldIndex = store::resolveCaseInsensitive(sysdata, "LBLTPL.CDX");
    fs::remove(oldIndex, ec);
    if (ec)
        return store::fail("Cannot replace " + oldIndex.string() + ": " + ec.message());
    fs::rename(fresh, dbf, ec);
    if (ec)
        return store::fail("Cannot replace " + dbf.string() + ": " + ec.message());
    fs::rename(freshIndex, fs::path(dbf).replace_extension(".CDX"), ec);
    if (upgraded)
        *upgraded = true;
    return {};
}

store::Status seedLabelCatalogue(const std::string& programFolder) {
    namespace fs = std::filesystem;
    fs::path sysdata = store::resolveCaseInsensitive(programFolder, "sysdata");
    fs::path catalogue = store::resolveCaseInsensitive(sysdata, "LBLTPL.DBF");
    std::error_code ec;
    if (fs::exists(catalogue, ec)) {
        if (auto st = upgradeLabelCatalogue(sysdata.string()); !st)
            return store::fail("The label stock catalogue LBLTPL.DBF was left as it is.\n" +
                               st.error());
        return {};
    }
    fs::create_directories(sysdata, ec);
    if (auto st = buildLabelTemplateTable(catalogue.string()); !st)
        return store::fail("Unable to Open LBLTPL.DBF\n" + st.error());
    return {};
}

} // namespace qp::labels
