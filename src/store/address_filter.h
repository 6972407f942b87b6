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

// What ApplyFilter learns of the matches: how many (the window shows it), or
// only whether there is one (a run that walks them anyway).
enum class FilterCount { All, AnyOnly };

// Builds the filter and hands it to the engine as expression + ".and. !ISDEL";
// no filter, a too complex one or one that matches nothing leaves "!ISDEL".
// With FilterCount::AnyOnly, `matches` is 1 when any record matches.
FilterOutcome ApplyFilter(Table& table, FilterCriteria& filter, std::string_view tagId,
                          FilterCount count = FilterCount::All);

// The engine query when no filter is in force.
Status ClearEngineFilter(Table& table);

} // namespace qp::store
