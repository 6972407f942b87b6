#pragma once
// The readable source of the state and ZIP range table CSZ.DBF.

#include "result.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qp::store {

// One record of CSZ.DBF.
struct CszRow {
    std::string name;    // NAME, character 20
    std::string state;   // STATE, character 4
    std::string lowZip;  // LOW_ZIP, character 10
    std::string highZip; // HIGH_ZIP, character 10
    bool operator==(const CszRow&) const = default;
};

inline constexpr int kCszNameWidth = 20;
inline constexpr int kCszStateWidth = 4;
inline constexpr int kCszZipWidth = 10;

// Lines "NAME | STATE | LOW_ZIP | HIGH_ZIP"; blank lines and lines beginning
// with '#' are skipped. Rows keep their file order, which the table must keep
// too: a state's first row is the one its check compares. A malformed line
// fails with its line number.
Result<std::vector<CszRow>> ParseCszSource(std::string_view text);
Result<std::vector<CszRow>> ReadCszSource(const std::filesystem::path& path);

// The source shipped in the repository's data folder.
inline constexpr std::string_view kCszSourceName = "data/csz.txt";

} // namespace qp::store
