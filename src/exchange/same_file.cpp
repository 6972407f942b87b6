#include "exchange/same_file.h"

#include "exchange/address_labels.h"
#include "store/table_files.h"

#include <filesystem>
#include <system_error>

namespace qp::exchange {

namespace {

namespace fs = std::filesystem;

std::string normalName(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return (ec ? fs::path(path) : p).lexically_normal().string();
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec) && !ec)
        return true;
    // The names too, ignoring case: a target differing only in case would
    // still replace the table's index when its CDX is deleted.
    return equalsIgnoringCase(normalName(a), normalName(b));
}

} // namespace

bool isTableItself(const std::string& candidate, const std::string& tablePath) {
    if (candidate.empty() || tablePath.empty())
        return false;
    const std::string files[] = {tablePath, store::siblingFile(tablePath, ".FPT"),
                                 store::siblingFile(tablePath, ".CDX")};
    for (const auto& f : files)
        if (sameFile(candidate, f))
            return true;
    return false;
}

} // namespace qp::exchange
