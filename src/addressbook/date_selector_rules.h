#pragma once
// Date arithmetic of the date selector's buttons.

#include <chrono>
#include <string>
#include <string_view>

namespace qp::addressbook {

// The record's eight-digit DATE, or `today` when it holds no date.
std::chrono::year_month_day InitialSelectorDate(std::string_view storedDate,
                                                std::chrono::year_month_day today);

// Months or years forward (negative: back); a day past the end of the
// target month becomes its last day (31 January + 1 month = 28/29 February).
std::chrono::year_month_day AddMonthsClamped(std::chrono::year_month_day date, int months);
std::chrono::year_month_day AddYearsClamped(std::chrono::year_month_day date, int years);

std::chrono::year_month_day TodayLocal();

} // namespace qp::addressbook
