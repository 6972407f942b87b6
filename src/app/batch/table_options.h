#pragma once
// Opening tables and choosing orders for batch commands.

#include "store/table.h"

#include <string>
#include <vector>

namespace qp::batch {

store::Table openTable(const std::string& path, store::OpenMode mode = store::OpenMode::ReadOnly);
void useTag(store::Table& table, const std::string& tag);
// The main window's sort order by its caption ("Last Name", "Zip", ...).
void useSortCaption(store::Table& table, const std::string& caption);
std::vector<std::string> splitList(const std::string& text, char separator = ',');

} // namespace qp::batch
