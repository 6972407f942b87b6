#pragma once
// The address cursor's field order, which of its fields the browse grid
// shows, their titles and widths, and the FIELDS.LST file that keeps the
// order between runs.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qp::addressbook {

// The 28 fields of the cursor in their default order.
const std::vector<std::string>& DefaultCursorFieldOrder();
// True for the fields that get a browse column.
bool BrowseVisible(std::string_view field);
// The column title (the field's label).
std::string FieldLabel(std::string_view field);
// Grid column width in characters.
int BrowseWidthChars(std::string_view field);

// Moves each listed field (case-insensitive) to the position of its line,
// first line first; names that are no fields are skipped.
void ApplyFieldsList(std::vector<std::string>& order, const std::vector<std::string>& lines);
// `order` with its browse-visible fields put in the sequence `visible`; the
// hidden fields keep their places.
std::vector<std::string> WithVisibleOrder(const std::vector<std::string>& order,
                                          const std::vector<std::string>& visible);
std::vector<std::string> VisibleFields(const std::vector<std::string>& order);

// sysdata/FIELDS.LST.
std::filesystem::path FieldsListPath();
// The lines of the file; empty when it is missing or cannot be read.
std::vector<std::string> ReadFieldsList(const std::filesystem::path& path);
bool WriteFieldsList(const std::filesystem::path& path, const std::vector<std::string>& order);

// The default order with FIELDS.LST applied.
std::vector<std::string> LoadCursorFieldOrder(const std::filesystem::path& path);

} // namespace qp::addressbook
