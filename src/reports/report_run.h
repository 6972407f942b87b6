#pragma once
// The walk of one report run over the address table: notes the order,
// query and record, sets the report's order and selection, finds the first
// record, and puts everything back afterwards.

#include "store/record_selection.h"
#include "store/result.h"
#include "store/table.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qp::reports {

// "All records" of a report: every record but those whose prefix reads
// DELETED, and never a record marked deleted.
inline constexpr std::string_view kReportAllQuery = "UPPER(PREFIX)<>\"DELETED\" .and. !ISDEL";

struct ReportSelection {
    store::SelectionChoice choice = store::SelectionChoice::Filter;
    bool startFromCurrent = false;
};

// What a running report asks of its window.
struct ReportHooks {
    std::function<bool()> stopRequested;                // read before every record
    std::function<void()> processEvents;                // after every record
    std::function<std::chrono::year_month_day()> today; // the clock when empty
};

class ReportWalk {
public:
    using InfoHook = std::function<void(std::string_view message)>;

    // `orderTag`: the tag the report prints in, empty to keep the order.
    // `skipBlankField`: when the run starts at the first record, records
    // whose field of that name is blank are passed over.
    static store::Result<ReportWalk> begin(store::Table& table, const ReportSelection& selection,
                                           const std::string& orderTag,
                                           const std::string& skipBlankField,
                                           const InfoHook& info = {});
    ReportWalk(ReportWalk&& other) noexcept;
    ReportWalk& operator=(ReportWalk&&) = delete;
    ~ReportWalk();

    store::Table& table() const { return *table_; }
    void restore();

private:
    explicit ReportWalk(store::Table& table) : table_(&table) {}
    store::Table* table_;
    int order_ = 0;
    std::string query_;
    std::uint32_t recno_ = 0;
    bool restored_ = false;
};

// Today for page heads.
std::chrono::year_month_day reportToday(const ReportHooks& hooks);

} // namespace qp::reports
