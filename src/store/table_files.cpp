#include "store/table_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <utility>

namespace qp::store {

namespace fs = std::filesystem;

namespace {
std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}
} // namespace

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::string siblingFile(const std::string& tablePath, const std::string& ext) {
    fs::path table(tablePath);
    std::string stem = table.stem().string();
    std::string wanted = lower(stem + ext);
    fs::path folder = table.parent_path();
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
         !ec && it != end; it.increment(ec)) {
        if (lower(it->path().filename().string()) == wanted)
            return (folder / it->path().filename()).string();
    }
    std::string tableExt = table.extension().string();
    bool upper = !tableExt.empty() && std::none_of(tableExt.begin(), tableExt.end(),
                                                   [](unsigned char c) { return std::islower(c); });
    std::string name = stem + (upper ? ext : lower(ext));
    return (folder / name).string();
}

std::vector<std::string> existingFamilyFiles(const std::string& tablePath) {
    fs::path table(tablePath);
    std::string stem = lower(table.stem().string());
    const std::string names[] = {stem + lower(table.extension().string()), stem + ".cdx",
                                 stem + ".fpt"};
    fs::path folder = table.parent_path();
    std::vector<std::pair<long, std::string>> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
         !ec && it != end; it.increment(ec)) {
        std::string name = lower(it->path().filename().string());
        auto at = std::find(std::begin(names), std::end(names), name);
        if (at != std::end(names))
            found.emplace_back(at - std::begin(names), (folder / it->path().filename()).string());
    }
    // The table first, then its index and memo files.
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& [rank, path] : found)
        paths.push_back(std::move(path));
    return paths;
}

std::string packedTablePath(const std::string& tablePath) {
    return tablePath + ".pack";
}

std::string packedMemoPath(const std::string& tablePath) {
    return tablePath + ".memo.pack";
}

} // namespace qp::store
