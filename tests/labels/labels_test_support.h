#pragma once
// A fresh temporary folder per test.

#include <filesystem>
#include <string>
#include <unistd.h>

namespace qp::testing {

class LabelsTempFolder {
public:
    LabelsTempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qp_labels_XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~LabelsTempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace qp::testing
