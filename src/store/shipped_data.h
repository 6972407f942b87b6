#pragma once
// Data files that ship inside the program, built from the repository's data
// folder.

#include <string_view>

namespace qp::store {

std::string_view shippedCszSource(); // data/csz.txt

} // namespace qp::store
