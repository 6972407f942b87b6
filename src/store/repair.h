#pragma once
// Repairing a damaged table: every whole record kept, the header set to
// match, the memo file rewritten, the index tags rebuilt (the 26 of an
// address file, the one of a system table, else those the old index held),
// and a plain account of what was kept and dropped.

#include "table.h"

#include <string>
#include <vector>

namespace qp::store {

struct RepairOutcome {
    RepairReport report;
    int tagsBuilt = 0;
    std::vector<std::string> lines; // what was found, kept and dropped, for the user
};

// `table` must be open for writing.
Result<RepairOutcome> repairTableFiles(Table& table);

} // namespace qp::store
