#include "store/program_folder.h"

#include "store/csz_source.h"
#include "store/shared_routines.h"
#include "store/shipped_data.h"
#include "store/system_tables.h"
#include "store/table_files.h"

namespace qp::store {

namespace fs = std::filesystem;

Status buildStateZipTable(const std::string& path) {
    auto rows = ParseCszSource(shippedCszSource());
    if (!rows)
        return fail(rows.error());
    const SystemTableSpec& spec = systemTableSpec(SystemTable::StateZip);
    if (auto st = Table::create(path, spec.fields); !st)
        return st;
    auto table = Table::open(path, OpenMode::Exclusive);
    if (!table)
        return fail(table.error());
    for (const auto& row : *rows) {
        if (auto st = table->append(); !st)
            return st;
        for (const auto& [field, value] : {std::pair{"NAME", &row.name},
                                           {"STATE", &row.state},
                                           {"LOW_ZIP", &row.lowZip},
                                           {"HIGH_ZIP", &row.highZip}})
            if (auto st = table->replace(field, *value); !st)
                return st;
        if (auto st = table->post(); !st)
            return st;
    }
    return table->indexTag(std::string(spec.tagName), std::string(spec.tagExpression));
}

Status prepareProgramFolder(const fs::path& programFolder) {
    std::error_code ec;
    fs::create_directories(programFolder, ec);
    fs::path data = resolveCaseInsensitive(programFolder, "DATA");
    fs::path sysdata = resolveCaseInsensitive(programFolder, "sysdata");
    for (const auto& folder : {data, sysdata}) {
        fs::create_directories(folder, ec);
        if (ec || !fs::is_directory(folder))
            return fail("Cannot create the folder " + folder.string() +
                        (ec ? ": " + ec.message() : std::string()));
    }
    fs::path csz = resolveCaseInsensitive(sysdata, "CSZ.DBF");
    if (!fs::exists(csz, ec)) {
        if (auto st = buildStateZipTable(csz.string()); !st)
            return fail("Unable to Open or Create CSZ.DBF\n" + st.error());
    }
    return {};
}

std::string defaultAddressFilePath() {
    return resolveCaseInsensitive(DataFolder(), "add0001.DBF").string();
}

} // namespace qp::store
