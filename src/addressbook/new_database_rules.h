#pragma once
// Rules of the new-database and field-length dialogs, kept free of widgets.

#include "store/address_file.h"
#include "store/settings_file.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qp::addressbook {

inline constexpr int kMaxDatabaseNameLength = 8;
inline constexpr std::string_view kInvalidDatabaseNameMessage =
    "Invalid name. Must start with A..Z, followed by A..Z,0..9 or \"_\" (underscore)";
inline constexpr std::string_view kDatabaseExistsMessage =
    "That file already exists.Please select another name";

// Non-empty, a letter or underscore first, then letters, digits or underscores.
bool IsValidDatabaseName(std::string_view name);

// `name` + ".DBF" exists in `folder`, letter case ignored as on the platform
// the files come from.
bool DatabaseFileExists(const std::filesystem::path& folder, std::string_view name);

// "ADD" + the first four-digit number from 0001 whose file is not in
// `dataFolder`; "ADD0001" when all 9999 exist.
std::string FirstFreeDatabaseName(const std::filesystem::path& dataFolder);

// `dataFolder` / name + ".DBF".
std::filesystem::path DatabasePath(const std::filesystem::path& dataFolder, std::string_view name);

// ---- Field lengths ----

inline constexpr int kMinFieldLengthBox = 10;
inline constexpr int kMaxFieldLengthBox = 80;
inline constexpr std::string_view kFieldLengthNote =
    "NOTE: Minimum size = 10 characters                  Maximum size = 80 characters";

struct FieldLengthBox {
    const char* field; // address file field name
    const char* label;
};
// The boxes in dialog order.
inline constexpr std::array<FieldLengthBox, 18> kFieldLengthBoxes = {{
    {"FNAME", "First Name"},
    {"LNAME", "Last Name"},
    {"PREFIX", "Prefix"},
    {"TITLE", "Title"},
    {"ORG", "Organization"},
    {"STREET", "Address #1"},
    {"STREET2", "Address #2"},
    {"CITY", "City"},
    {"STATE", "State"},
    {"ZIP", "Zip/Postal"},
    {"COUNTRY", "Country"},
    {"PHONE", "Phone #1"},
    {"PHONE2", "Phone #2"},
    {"FAX", "Fax"},
    {"EMAIL", "E-Mail"},
    {"CODES", "Codes"},
    {"USER1", "Comments #1"},
    {"USER2", "Comments #2"},
}};

// The length a box's text stands for: an integer from 10 to 80 (blanks
// around it allowed), else nothing and the box gets its loaded value back.
std::optional<int> ParseFieldLengthBox(std::string_view text);

// The lengths as creation takes them.
store::FieldLengths ToFieldLengths(const store::NewFileFieldLengths& lengths);

} // namespace qp::addressbook
