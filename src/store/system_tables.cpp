#include "store/system_tables.h"

#include "store/table_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace qp::store {

namespace {

std::vector<FieldSpec> labelFields(bool catalogue) {
    std::vector<FieldSpec> f{
        {"DESCRIPT", 'C', 60, 0}, {"PRINTER", 'C', 2, 0},    {"LBLHEIGHT", 'N', 6, 3},
        {"LBLWIDTH", 'N', 6, 3},  {"NBRACROSS", 'N', 2, 0},  {"NBRDOWN", 'N', 2, 0},
        {"TOPMARG", 'N', 6, 3},   {"LEFTMARG", 'N', 6, 3},   {"HORIZPITCH", 'N', 6, 3},
        {"VERTPITCH", 'N', 6, 3}, {"SHEETWIDTH", 'N', 6, 3}, {"SHEETDEPTH", 'N', 6, 3},
        {"PAPERSIZE", 'C', 5, 0}, {"LBLSHAPE", 'C', 2, 0}};
    if (!catalogue)
        f.push_back({"TPLDESCRIP", 'C', 60, 0});
    f.insert(f.end(), {{"MANUFAC", 'C', 10, 0},
                       {"PRODTYPE", 'C', 25, 0},
                       {"MIDEXTRAX", 'N', 6, 3},
                       {"MIDEXTRAY", 'N', 6, 3},
                       {"ART", 'C', 12, 0}});
    if (!catalogue)
        f.insert(f.end(), {{"DELETED", 'L', 1, 0}, {"BINARY", 'C', 12, 0}});
    return f;
}

std::string findInFolder(const std::string& folder, std::string_view name) {
    namespace fs = std::filesystem;
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    };
    std::string wanted = lower(std::string(name));
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (lower(it->path().filename().string()) == wanted)
            return it->path().string();
    return (fs::path(folder) / std::string(name)).string();
}

} // namespace

const std::vector<SystemTableSpec>& systemTableSpecs() {
    static const std::vector<SystemTableSpec> specs{
        {SystemTable::Letter,
         "LETTER.DBF",
         true,
         {{"DESCRIPT", 'C', 50, 0}, {"RTF", 'M', 10, 0}},
         "DESCRIPT",
         "UPPER(descript)",
         "Unable to Open or Create LETTER.DBF"},
        {SystemTable::Report,
         "REPORT.DBF",
         true,
         {{"DESCRIPT", 'C', 60, 0}, {"LAYOUT", 'C', 60, 0}, {"BINARY", 'C', 12, 0}},
         "DESCRIPT",
         "UPPER(descript)",
         "Unable to Open or Create REPORT.DBF"},
        {SystemTable::Envelope,
         "ENVELOPE.DBF",
         true,
         {{"DESCRIPT", 'C', 60, 0}, {"NUMBER", 'N', 5, 0}, {"BINARY", 'C', 12, 0}},
         "DESCRIPT",
         "UPPER(descript)",
         "Unable to Open or Create ENVELOPE.DBF"},
        {SystemTable::Label, "LABEL.DBF", true, labelFields(false), "DESCRIPT", "UPPER(descript)",
         "Unable to Open or Create LABEL.DBF"},
        {SystemTable::LabelTemplate, "LBLTPL.DBF", false, labelFields(true), "DESCRIPT",
         "UPPER(descript)", "Unable to Open LBLTPL.DBF"},
        {SystemTable::StateZip,
         "CSZ.DBF",
         false,
         {{"NAME", 'C', 20, 0},
          {"STATE", 'C', 4, 0},
          {"LOW_ZIP", 'C', 10, 0},
          {"HIGH_ZIP", 'C', 10, 0}},
         "STATE",
         "UPPER(state)",
         "Unable to Open or Create CSZ.DBF"},
    };
    return specs;
}

const SystemTableSpec& systemTableSpec(SystemTable table) {
    const auto& specs = systemTableSpecs();
    return *std::find_if(specs.begin(), specs.end(),
                         [&](const SystemTableSpec& s) { return s.id == table; });
}

Status createSystemTable(const std::string& path, SystemTable id) {
    const SystemTableSpec& spec = systemTableSpec(id);
    if (auto st = Table::create(path, spec.fields); !st)
        return st;
    auto table = Table::open(path, OpenMode::Exclusive);
    if (!table)
        return fail(table.error());
    return table->indexTag(std::string(spec.tagName), std::string(spec.tagExpression));
}

Result<Table> openSystemTable(const std::string& sysdataFolder, SystemTable id) {
    const SystemTableSpec& spec = systemTableSpec(id);
    std::string path = findInFolder(sysdataFolder, spec.fileName);
    auto table = Table::open(path, OpenMode::Exclusive);
    if (!table) {
        // Only a missing file is created: one that exists but will not open
        // (in use, damaged) is the user's data and stays as it is.
        if (!spec.creatable || fileExists(path))
            return fail(std::string(spec.failMessage) + "\n" + table.error());
        std::error_code ec;
        std::filesystem::create_directories(sysdataFolder, ec);
        if (auto st = Table::create(path, spec.fields); !st)
            return fail(std::string(spec.failMessage) + "\n" + st.error());
        table = Table::open(path, OpenMode::Exclusive);
        if (!table)
            return fail(std::string(spec.failMessage) + "\n" + table.error());
    }
    if (table->indexName().empty() && !fileExists(siblingFile(path, ".CDX")))
        (void)table->indexTag(std::string(spec.tagName), std::string(spec.tagExpression));
    return table;
}

} // namespace qp::store
