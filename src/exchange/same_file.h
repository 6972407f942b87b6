#pragma once
// Whether a file chosen for an import or export is the open address file
// itself (or its memo or index file), under any spelling of its path.

#include <string>
#include <string_view>

namespace qp::exchange {

inline constexpr std::string_view kCopyToItselfMessage = "Cannot copy a file to itself!";

bool isTableItself(const std::string& candidate, const std::string& tablePath);

} // namespace qp::exchange
