#pragma once
// Deleting many records: the whole file at once, or the records that match
// (or do not match) the filter, given the deletion mark and ISDEL.

#include "store/result.h"
#include "store/table.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qp::addressbook {

enum class DeleteChoice { All, Matching, NotMatching };

inline constexpr std::string_view kDeleteSpaceNote =
    "For optimum space usage, please select\r\n[Rebuild Indexes] from the File menu";

// The query of the run: none for All (and for the others when no filter is
// set: the query as set, which is then none), the filter expression, or
// ".not.(" + expression + ")".
std::string DeleteQuery(DeleteChoice choice, std::string_view filterExpression);

// Counts (`countOnly`) or deletes. All empties the file and counts every
// record it held, deleted ones included. The others mark each record of the
// query that is not marked yet and count those; records marked before are
// left as they are. Deleted records are hidden again afterwards, the query
// and order put back.
store::Result<std::uint32_t>
RunDeleteRecords(store::Table& table, DeleteChoice choice, std::string_view filterExpression,
                 bool countOnly, const std::function<void(int percent)>& progress = {});

} // namespace qp::addressbook
