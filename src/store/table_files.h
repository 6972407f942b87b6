#pragma once
// Locating the files that belong to a table.

#include <string>
#include <vector>

namespace qp::store {

// The file beside `tablePath` with the same stem and extension `ext` (".CDX",
// ".FPT"), found whatever its letter case; when there is none, the name to
// create, in the letter case of the table's own extension.
std::string siblingFile(const std::string& tablePath, const std::string& ext);
bool fileExists(const std::string& path);

// The files of the table family of `tablePath` that exist: the table itself,
// its .CDX and its .FPT, each found whatever its letter case.
std::vector<std::string> existingFamilyFiles(const std::string& tablePath);

// The names a pack or repair writes beside the table before they replace it.
std::string packedTablePath(const std::string& tablePath);
std::string packedMemoPath(const std::string& tablePath);

} // namespace qp::store
