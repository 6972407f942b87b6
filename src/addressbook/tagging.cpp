#include "addressbook/tagging.h"

#include <cctype>

namespace qp::addressbook {

std::string TagAfterToggle(std::string_view tag, std::string_view tagId) {
    return tag == tagId ? std::string() : std::string(tagId);
}

store::Status ToggleTag(store::Table& table, std::string_view tagId) {
    const bool wasEditing = table.changed();
    const std::string next = TagAfterToggle(table.getString("TAG"), tagId);
    if (auto s = table.replace("TAG", next); !s.ok())
        return s;
    if (!wasEditing)
        return table.post();
    return {};
}

namespace {

std::optional<std::uint64_t> fromBase36(std::string_view digits) {
    std::uint64_t n = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'Z')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        n = n * 36 + std::uint64_t(d);
    }
    return n;
}

bool leapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysIn(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : days[month - 1];
}

auto ordered(const store::LocalDateTime& t) {
    return std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

} // namespace

std::optional<store::LocalDateTime> TagStampTime(std::string_view stamp) {
    // The date and time part, mmddhhnnss, always takes six base-36 digits.
    if (stamp.size() < 6 || stamp.size() > 8)
        return std::nullopt;
    auto year = fromBase36(stamp.substr(0, stamp.size() - 6));
    auto rest = fromBase36(stamp.substr(stamp.size() - 6));
    if (!year || !rest)
        return std::nullopt;
    store::LocalDateTime t;
    t.year = int(*year) + 1995;
    std::uint64_t v = *rest;
    t.second = int(v % 100);
    v /= 100;
    t.minute = int(v % 100);
    v /= 100;
    t.hour = int(v % 100);
    v /= 100;
    t.day = int(v % 100);
    t.month = int(v / 100);
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > daysIn(t.year, t.month) ||
        t.hour > 23 || t.minute > 59 || t.second > 59)
        return std::nullopt;
    return t;
}

store::LocalDateTime NextSecond(const store::LocalDateTime& when) {
    store::LocalDateTime t = when;
    if (++t.second < 60)
        return t;
    t.second = 0;
    if (++t.minute < 60)
        return t;
    t.minute = 0;
    if (++t.hour < 24)
        return t;
    t.hour = 0;
    if (++t.day <= daysIn(t.year, t.month))
        return t;
    t.day = 1;
    if (++t.month <= 12)
        return t;
    t.month = 1;
    ++t.year;
    return t;
}

std::string ClearTagsIdentifier(std::string_view inForce, const store::LocalDateTime& now) {
    store::LocalDateTime when = now;
    if (auto previous = TagStampTime(inForce); previous && ordered(*previous) >= ordered(now))
        when = NextSecond(*previous);
    std::string stamp = store::NewTagStamp(when);
    if (stamp == inForce) // an identifier that is no stamp of ours, yet equal
        stamp = store::NewTagStamp(NextSecond(when));
    return stamp;
}

std::string ClearTags(store::SettingsFile& settings, std::string_view inForce,
                      const store::LocalDateTime& now) {
    std::string id = ClearTagsIdentifier(inForce, now);
    (void)SaveTagPref(settings, id);
    return id;
}

store::Status SaveTagPref(store::SettingsFile& settings, std::string_view tagId) {
    return store::WriteGlobalTagId(settings, tagId);
}

TagAllOutcome TagAllMatches(store::Table& table, std::string_view tagId,
                            const std::function<bool(std::uint32_t)>& afterRecord) {
    TagAllOutcome out;
    bool more = table.first();
    while (more && !table.eof()) {
        if (table.getString("TAG") != tagId) {
            auto s = table.replace("TAG", tagId);
            if (s.ok())
                s = table.post();
            if (!s.ok()) {
                out.error = s.error();
                break;
            }
        }
        ++out.tagged;
        if (afterRecord && !afterRecord(out.tagged)) {
            out.cancelled = true;
            break;
        }
        more = table.next();
    }
    table.first();
    return out;
}

} // namespace qp::addressbook
