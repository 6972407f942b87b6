#pragma once
// Applying the address filter to an open address file.

#include "filter_criteria.h"
#include "table.h"

#include <cstdint>
#include <string>

namespace qp::store {

struct FilterOutcome {
    std::uint32_t matches = 0;   // 0: no filter in force (none set, or it matched nothing)
    std::string message;         // for the user, when the filter could not be used
    bool matchedNothing = false; // a filter was set, matched no record and was dropped
};

// Builds the filter and hands it to the engine as expression + ".and. !ISDEL";
// no filter, a too complex one or one that matches nothing leaves "!ISDEL".
FilterOutcome ApplyFilter(Table& table, FilterCriteria& filter, std::string_view tagId);

// The engine query when no filter is in force.
Status ClearEngineFilter(Table& table);

} // namespace qp::store
