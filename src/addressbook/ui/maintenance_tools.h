#pragma once
// Registers the record maintenance tools and the checks of the Utilities
// menu: Search and Replace, Convert Case, Delete Records, Check and Repair
// Duplicates, Check State and Zip Codes.

namespace qp::addressbook {

void RegisterMaintenanceTools();

} // namespace qp::addressbook
