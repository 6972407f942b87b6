#pragma once
// The whole of a file as bytes, for tests that compare what was written.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace qp::testing {

// Empty when the file cannot be read.
inline std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace qp::testing
