#include "addressbook/new_database_rules.h"

#include "store/shared_routines.h"

#include <cstdio>
#include <system_error>

namespace qp::addressbook {

namespace {

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool IsValidDatabaseName(std::string_view name) {
    if (name.empty() || !(isAsciiLetter(name[0]) || name[0] == '_'))
        return false;
    for (char c : name.substr(1))
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_')
            return false;
    return true;
}

bool DatabaseFileExists(const std::filesystem::path& folder, std::string_view name) {
    std::string file = std::string(name) + ".DBF";
    std::error_code ec;
    return std::filesystem::exists(store::resolveCaseInsensitive(folder, file), ec);
}

std::string FirstFreeDatabaseName(const std::filesystem::path& dataFolder) {
    char name[16];
    for (int n = 1; n <= 9999; ++n) {
        std::snprintf(name, sizeof name, "ADD%04d", n);
        if (!DatabaseFileExists(dataFolder, name))
            return name;
    }
    return "ADD0001";
}

std::filesystem::path DatabasePath(const std::filesystem::path& dataFolder, std::string_view name) {
    return dataFolder / (std::string(name) + ".DBF");
}

std::optional<int> ParseFieldLengthBox(std::string_view text) {
    std::string t = store::Trim(text);
    if (t.empty() || t.size() > 4)
        return std::nullopt;
    int value = 0;
    for (char c : t) {
        if (!isAsciiDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < kMinFieldLengthBox || value > kMaxFieldLengthBox)
        return std::nullopt;
    return value;
}

store::FieldLengths ToFieldLengths(const store::NewFileFieldLengths& lengths) {
    store::FieldLengths out;
    for (std::size_t i = 0; i < store::kNewFileFieldLengths.size(); ++i)
        out[store::kNewFileFieldLengths[i].field] = lengths.lengths[i];
    return out;
}

} // namespace qp::addressbook
