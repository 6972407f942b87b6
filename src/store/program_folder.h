#pragma once
// The program folder on first and every start: its DATA and sysdata
// folders and the system tables that ship with the program.

#include "result.h"
#include "table.h"

#include <filesystem>
#include <string>

namespace qp::store {

// Creates DATA/ and sysdata/ when missing and seeds sysdata/ with the shipped
// tables that are not there yet. Existing files are never replaced.
Status prepareProgramFolder(const std::filesystem::path& programFolder);

// Writes the state and ZIP range table from its shipped source.
Status buildStateZipTable(const std::string& path);

// DATA/add0001.DBF under the program folder.
std::string defaultAddressFilePath();

} // namespace qp::store
