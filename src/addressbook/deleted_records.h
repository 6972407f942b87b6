#pragma once
// Deleted records: marked and ISDEL true, kept in the file until the indexes
// are rebuilt. Showing them again, bringing one back, and counting what a
// rebuild would remove for good.

#include "store/table.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qp::addressbook {

// The engine query with its "!ISDEL" test taken off, so that deleted records
// pass it too ("!ISDEL" alone gives no query).
std::string QueryWithDeleted(std::string_view query);

// Clears the current record's deletion mark and ISDEL; refuses a record that
// is not deleted.
store::Status Undelete(store::Table& table);

// How many records carry the deletion mark; the cursor, its query and the
// deleted switch are left as they were.
std::uint32_t CountDeleted(store::Table& table);

// The question asked before a rebuild removes `count` deleted records.
std::string RemoveDeletedQuestion(std::uint32_t count);

} // namespace qp::addressbook
