#include "addressbook/filter_window_rules.h"

#include <algorithm>
#include <cctype>

namespace qp::addressbook {

namespace {

std::string upperAscii(std::string s) {
    for (char& c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

const FilterBoxInfo& FilterBoxFor(store::FilterField field) {
    auto it = std::find_if(kFilterBoxes.begin(), kFilterBoxes.end(),
                           [field](const FilterBoxInfo& b) { return b.field == field; });
    return *it; // every criterion has a box
}

std::string FilterMatchText(std::uint32_t matches) {
    if (matches == 0)
        return "No filter set";
    return std::to_string(matches) + " matches";
}

std::string FileNameExtension(const std::filesystem::path& path) {
    std::string name = path.filename().string();
    auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

SaveFilterName CheckSaveFilterName(const std::filesystem::path& chosen) {
    SaveFilterName out;
    if (upperAscii(FileNameExtension(chosen)) == ".FLT") {
        out.path = chosen;
        return out;
    }
    if (chosen.filename().string().find('.') != std::string::npos) {
        out.message = std::string(kMustHaveFltExtension);
        return out;
    }
    std::filesystem::path withExtension = chosen;
    withExtension += ".FLT";
    out.path = withExtension;
    return out;
}

std::string OverwriteFilterQuestion(const std::filesystem::path& path) {
    return path.string() + " already exists.\r\nDo you want to overwrite it?";
}

std::string CheckRestoreFilterName(const std::filesystem::path& chosen) {
    if (upperAscii(FileNameExtension(chosen)) != ".FLT")
        return std::string(kMustBeFilterFile);
    return {};
}

} // namespace qp::addressbook
