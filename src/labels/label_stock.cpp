#include "labels/label_stock.h"

#include "store/shared_routines.h"

#include "store/system_tables.h"

#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>

namespace qp::labels {

namespace {

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        auto comma = line.find(',', start);
        out.push_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos)
            return out;
        start = comma + 1;
    }
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
            return i < fields.size() ? fields[i] : std::string_view();
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

store::Status buildLabelTemplateTable(const std::string& path) {
    auto rows = parseLabelStock(store::shippedLabelStockCsv());
    if (!rows)
        return store::fail(rows.error());
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

store::Status seedLabelCatalogue(const std::string& programFolder) {
    namespace fs = std::filesystem;
    fs::path sysdata = store::resolveCaseInsensitive(programFolder, "sysdata");
    fs::path catalogue = store::resolveCaseInsensitive(sysdata, "LBLTPL.DBF");
    std::error_code ec;
    if (fs::exists(catalogue, ec))
        return {};
    fs::create_directories(sysdata, ec);
    if (auto st = buildLabelTemplateTable(catalogue.string()); !st)
        return store::fail("Unable to Open LBLTPL.DBF\n" + st.error());
    return {};
}

} // namespace qp::labels
