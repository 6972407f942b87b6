#pragma once
// Filter files (.FLT): 18 criterion lines, then "T" or "F" for Tagged and for
// Reverse, each line ended by CR LF.

#include "filter_criteria.h"
#include "result.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace qp::store {

inline constexpr std::size_t kFilterFileLines = 20;

std::string FilterFileText(const FilterCriteria& filter);
// A shorter text reads as if padded with empty lines; a flag line other than
// exactly "T" is false. The expression is left blank.
FilterCriteria ParseFilterFileText(std::string_view text);

Status SaveFilterTo(const std::filesystem::path& path, const FilterCriteria& filter);
Result<FilterCriteria> ReadFilterFrom(const std::filesystem::path& path);

} // namespace qp::store
