#pragma once
// Locating the files that belong to a table.

#include <string>

namespace qp::store {

// The file beside `tablePath` with the same stem and extension `ext` (".CDX",
// ".FPT"), found whatever its letter case; when there is none, the name to
// create, in the letter case of the table's own extension.
std::string siblingFile(const std::string& tablePath, const std::string& ext);
bool fileExists(const std::string& path);

} // namespace qp::store
