#include "addressbook/date_selector_rules.h"

#include "store/shared_routines.h"

namespace qp::addressbook {

using namespace std::chrono;

year_month_day InitialSelectorDate(std::string_view storedDate, year_month_day today) {
    if (auto d = store::ParseEightDigitDate(storedDate))
        return *d;
    return today;
}

namespace {

year_month_day clampDay(year y, month m, day d) {
    auto last = year_month_day_last(y, month_day_last(m)).day();
    return {y, m, d > last ? last : d};
}

} // namespace

year_month_day AddMonthsClamped(year_month_day date, int n) {
    year_month ym = year_month(date.year(), date.month()) + months(n);
    if (ym.year() < year(1) || ym.year() > year(9999))
        return date;
    return clampDay(ym.year(), ym.month(), date.day());
}

year_month_day AddYearsClamped(year_month_day date, int n) {
    year y = date.year() + years(n);
    if (y < year(1) || y > year(9999))
        return date;
    return clampDay(y, date.month(), date.day());
}

year_month_day TodayLocal() {
    store::LocalDateTime now = store::CurrentLocalDateTime();
    return year_month_day(year(now.year), month(unsigned(now.month)), day(unsigned(now.day)));
}

} // namespace qp::addressbook
