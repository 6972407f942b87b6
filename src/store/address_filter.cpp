#include "store/address_filter.h"

namespace qp::store {

Status ClearEngineFilter(Table& table) {
    return table.setQuery(kNoFilterQuery);
}

FilterOutcome ApplyFilter(Table& table, FilterCriteria& filter, std::string_view tagId,
                          FilterCount count) {
    FilterOutcome outcome;
    FilterQuery prepared = PrepareFilterQuery(filter, tagId);
    if (prepared.kind != FilterQuery::Kind::Filter) {
        outcome.message = prepared.message;
        (void)ClearEngineFilter(table);
        return outcome;
    }
    if (auto st = table.setQuery(prepared.query); !st) {
        outcome.message = st.error();
        ClearQueryVars(filter);
        (void)ClearEngineFilter(table);
        return outcome;
    }
    // The engine stands on the first match, if any, once the query is set.
    if (count == FilterCount::All)
        outcome.matches = table.queryRecCount();
    else
        outcome.matches = table.eof() ? 0 : 1;
    if (outcome.matches == 0) {
        outcome.matchedNothing = true;
        // A filter that matches nothing is dropped without a word.
        ClearQueryVars(filter);
        (void)ClearEngineFilter(table);
    }
    return outcome;
}

} // namespace qp::store
