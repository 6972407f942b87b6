#include "reports/report_run.h"

#include "store/locale_dates.h"
#include "store/shared_routines.h"

namespace qp::reports {

store::Result<ReportWalk> ReportWalk::begin(store::Table& table, const ReportSelection& selection,
                                            const std::string& orderTag,
                                            const std::string& skipBlankField,
                                            const InfoHook& info) {
    ReportWalk walk(table);
    walk.order_ = table.indexOrd();
    walk.query_ = table.dbFilter();
    walk.recno_ = table.eof() || table.bof() ? 0 : table.recNo();
    if (!orderTag.empty()) {
        const int area = table.tagArea(orderTag);
        if (area == 0) {
            walk.restored_ = true;
            return store::fail("The address file has no " + orderTag + " index tag");
        }
        if (auto st = table.setOrder(area); !st) {
            walk.restored_ = true;
            return store::fail(st.error());
        }
    }
    std::string query = walk.query_;
    if (selection.choice == store::SelectionChoice::All)
        query = std::string(kReportAllQuery);
    else if (selection.choice == store::SelectionChoice::Current)
        query = "Recno()=" + std::to_string(walk.recno_);
    if (query != walk.query_)
        if (auto st = table.setQuery(query); !st) {
            (void)table.setOrder(walk.order_);
            walk.restored_ = true;
            return store::fail(st.error());
        }
    bool atFirst = true;
    if (selection.startFromCurrent) {
        const bool there = walk.recno_ != 0 && table.go(walk.recno_) &&
                           table.recNo() == walk.recno_ && !table.eof() &&
                           !(table.deletedHidden() && table.deleted()) && (query.empty() || [&] {
                               auto m = table.evalLogical(query);
                               return m && *m;
                           }());
        if (there)
            atFirst = false;
        else if (info)
            info(store::kOutOfRangeMessage);
    }
    if (atFirst) {
        table.first();
        // Only a blank sort field is passed over: names that begin with a
        // digit or punctuation sort before "0" and still print.
        if (!skipBlankField.empty())
            while (!table.eof() && store::Trim(table.getString(skipBlankField)).empty())
                if (!table.next())
                    break;
    }
    return walk;
}

ReportWalk::ReportWalk(ReportWalk&& o) noexcept
    : table_(o.table_), order_(o.order_), query_(std::move(o.query_)), recno_(o.recno_),
      restored_(o.restored_) {
    o.restored_ = true;
}

ReportWalk::~ReportWalk() {
    restore();
}

void ReportWalk::restore() {
    if (restored_)
        return;
    restored_ = true;
    (void)table_->setOrder(order_);
    if (table_->dbFilter() != query_)
        (void)table_->setQuery(query_);
    (void)table_->setScope("", "");
    if (recno_ > 0)
        table_->go(recno_);
}

std::chrono::year_month_day reportToday(const ReportHooks& hooks) {
    if (hooks.today)
        return hooks.today();
    const auto now = store::CurrentLocalDateTime();
    return std::chrono::year_month_day{std::chrono::year(now.year),
                                       std::chrono::month(static_cast<unsigned>(now.month)),
                                       std::chrono::day(static_cast<unsigned>(now.day))};
}

} // namespace qp::reports
