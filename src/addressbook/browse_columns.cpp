#include "addressbook/browse_columns.h"

#include "store/atomic_file.h"
#include "store/shared_routines.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>

namespace qp::addressbook {

namespace {

struct FieldInfo {
    std::string_view name, label;
    int width; // characters in the grid
    bool visible;
};

constexpr std::array<FieldInfo, 28> kFields{{
    {"Tagged", "Tagged", 3, true},
    {"FullName", "Full Name", 35, false},
    {"FullNameWithPrefix", "Full Name & Prefix", 35, false},
    {"CityStateZip", "City, State & Zip", 35, false},
    {"LNAME", "Last Name", 20, true},
    {"FNAME", "First Name", 15, true},
    {"MIDDLE", "Middle", 1, true},
    {"PREFIX", "Prefix", 4, true},
    {"TITLE", "Title", 20, true},
    {"ORG", "Organization", 20, true},
    {"STREET", "Address 1", 40, true},
    {"STREET2", "Address 2", 20, true},
    {"CITY", "City", 15, true},
    {"STATE", "State", 5, true},
    {"ZIP", "Zip/Postal Code", 10, true},
    {"COUNTRY", "Country", 15, true},
    {"PHONE", "Phone 1", 15, true},
    {"PHONE2", "Phone 2", 15, true},
    {"FAX", "Fax", 40, true},
    {"EMAIL", "Email", 40, true},
    {"CODES", "Codes", 30, true},
    {"USER1", "Comment 1", 15, true},
    {"USER2", "Comment 2", 15, true},
    {"MEMO", "Memo", 10, false},
    {"ISDEL", "Deleted", 1, false},
    {"DATE", "Actual Date", 15, false},
    {"DisplayDate", "Date", 12, true},
    {"TAG", "TAG", 8, false},
}};

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

const FieldInfo* infoOf(std::string_view field) {
    for (const auto& f : kFields)
        if (sameName(f.name, field))
            return &f;
    return nullptr;
}

} // namespace

const std::vector<std::string>& DefaultCursorFieldOrder() {
    static const std::vector<std::string> order = [] {
        std::vector<std::string> v;
        for (const auto& f : kFields)
            v.emplace_back(f.name);
        return v;
    }();
    return order;
}

bool BrowseVisible(std::string_view field) {
    const FieldInfo* f = infoOf(field);
    return f && f->visible;
}

std::string FieldLabel(std::string_view field) {
    const FieldInfo* f = infoOf(field);
    return f ? std::string(f->label) : std::string(field);
}

int BrowseWidthChars(std::string_view field) {
    const FieldInfo* f = infoOf(field);
    return f ? f->width : 10;
}

void ApplyFieldsList(std::vector<std::string>& order, const std::vector<std::string>& lines) {
    for (std::size_t line = 0; line < lines.size(); ++line) {
        const std::string name = store::Trim(lines[line]);
        auto it = std::find_if(order.begin(), order.end(),
                               [&](const std::string& f) { return sameName(f, name); });
        if (name.empty() || it == order.end())
            continue;
        std::string field = *it;
        order.erase(it);
        order.insert(order.begin() + std::ptrdiff_t(std::min(line, order.size())), field);
    }
}

std::vector<std::string> VisibleFields(const std::vector<std::string>& order) {
    std::vector<std::string> out;
    for (const auto& f : order)
        if (BrowseVisible(f))
            out.push_back(f);
    return out;
}

std::vector<std::string> WithVisibleOrder(const std::vector<std::string>& order,
                                          const std::vector<std::string>& visible) {
    std::vector<std::string> out = order;
    std::size_t next = 0;
    for (auto& f : out)
        if (BrowseVisible(f) && next < visible.size())
            f = visible[next++];
    return out;
}

std::filesystem::path FieldsListPath() {
    return store::resolveCaseInsensitive(store::SysdataFolder(), "FIELDS.LST");
}

std::vector<std::string> ReadFieldsList(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool WriteFieldsList(const std::filesystem::path& path, const std::vector<std::string>& order) {
    std::string text;
    for (const auto& f : order)
        text += f + "\r\n";
    return store::writeFileAtomically(path, text).ok();
}

std::vector<std::string> LoadCursorFieldOrder(const std::filesystem::path& path) {
    std::vector<std::string> order = DefaultCursorFieldOrder();
    ApplyFieldsList(order, ReadFieldsList(path));
    return order;
}

} // namespace qp::addressbook
