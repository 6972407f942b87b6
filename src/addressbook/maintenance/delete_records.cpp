#include "addressbook/maintenance/delete_records.h"

#include "addressbook/maintenance/field_text.h"

#include <algorithm>

namespace qp::addressbook {

std::string DeleteQuery(DeleteChoice choice, std::string_view filterExpression) {
    if (choice == DeleteChoice::All || filterExpression.empty())
        return {};
    if (choice == DeleteChoice::Matching)
        return std::string(filterExpression);
    return ".not.(" + std::string(filterExpression) + ")";
}

store::Result<std::uint32_t> RunDeleteRecords(store::Table& table, DeleteChoice choice,
                                              std::string_view filterExpression, bool countOnly,
                                              const std::function<void(int percent)>& progress) {
    if (choice != DeleteChoice::All && filterExpression.empty())
        return store::fail("No filter is set");
    if (auto st = table.post(); !st)
        return store::fail(st.error());
    if (choice == DeleteChoice::All) {
        const std::uint32_t count = table.recCount();
        if (!countOnly) {
            if (auto st = table.zap(); !st)
                return store::fail(st.error());
            if (progress)
                progress(100);
        }
        return count;
    }
    CursorState keep(table);
    table.setDeleted(false);
    if (auto st = table.setQuery(DeleteQuery(choice, filterExpression)); !st)
        return store::fail(st.error());
    if (auto st = table.setOrder(0); !st)
        return store::fail(st.error());
    const std::uint32_t n = std::max<std::uint32_t>(table.queryRecCount(), 1);
    std::uint32_t seen = 0, count = 0;
    int lastPercent = -1;
    for (bool more = table.first(); more; more = table.next()) {
        ++seen;
        const bool marked = table.deleted();
        if (!marked)
            ++count;
        if (!countOnly && (!marked || !table.getLogical("ISDEL"))) {
            store::Status st = table.replaceLogical("ISDEL", true);
            if (st)
                st = table.post();
            if (st && !marked)
                st = table.deleteRecord();
            if (!st) {
                table.discard();
                return store::fail("Record " + std::to_string(table.recNo()) +
                                   " could not be deleted: " + st.error() + "\nDeleted " +
                                   std::to_string(count - (marked ? 0 : 1)) + " records before it");
            }
        }
        const int percent = int(std::uint64_t(seen) * 100 / n);
        if (progress && percent != lastPercent) {
            lastPercent = std::min(percent, 100);
            progress(lastPercent);
        }
    }
    return count;
}

} // namespace qp::addressbook
