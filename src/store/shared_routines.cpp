#include "shared_routines.h"

#include "atomic_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <vector>

namespace qp::store {

namespace fs = std::filesystem;

// ---- Folders and files ----

namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

fs::path resolveComponent(const fs::path& folder, const std::string& component) {
    std::error_code ec;
    fs::path exact = folder / component;
    if (fs::exists(fs::symlink_status(exact, ec)))
        return exact;
    std::vector<std::string> matches;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (equalNoCase(entry, component))
            matches.push_back(entry);
    }
    if (matches.empty())
        return exact;
    std::sort(matches.begin(), matches.end());
    return folder / matches.front();
}

} // namespace

std::string ProgramFolder() {
    std::string folder;
    if (const char* home = std::getenv("QUILLPOST_HOME"); home && *home) {
        folder = home;
    } else {
        const char* user = std::getenv("HOME");
        folder = std::string(user && *user ? user : ".") + "/.local/share/Quillpost";
    }
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

fs::path resolveCaseInsensitive(const fs::path& folder, std::string_view name) {
    fs::path result = folder;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t slash = name.find('/', start);
        if (slash == std::string_view::npos)
            slash = name.size();
        std::string component(name.substr(start, slash - start));
        if (!component.empty() && component != ".")
            result = component == ".." ? result / component : resolveComponent(result, component);
        start = slash + 1;
    }
    return result;
}

fs::path DataFolder() {
    return resolveCaseInsensitive(ProgramFolder(), "DATA");
}

fs::path SysdataFolder() {
    return resolveCaseInsensitive(ProgramFolder(), "sysdata");
}

std::string SettingsPath() {
    return resolveCaseInsensitive(ProgramFolder(), "QUILLP.ini").string();
}

// ---- Text ----

std::string TrimLeft(std::string_view s) {
    std::size_t first = s.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(s.substr(first));
}

std::string TrimRight(std::string_view s) {
    std::size_t last = s.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(s.substr(0, last + 1));
}

std::string Trim(std::string_view s) {
    return TrimLeft(TrimRight(s));
}

// ---- Dates ----

namespace {

bool allDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int toInt(std::string_view digits) {
    int n = 0;
    for (char c : digits)
        n = n * 10 + (c - '0');
    return n;
}

std::optional<std::chrono::year_month_day> makeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(unsigned(month)),
                                     std::chrono::day(unsigned(day))};
    if (!date.ok())
        return std::nullopt;
    return date;
}

std::string twoDigits(unsigned n) {
    return std::string(1, char('0' + n / 10 % 10)) + char('0' + n % 10);
}

constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// Which of day, month and year the pattern names first, second and third.
std::array<char, 3> fieldOrder(std::string_view pattern) {
    std::array<char, 3> order{};
    int n = 0;
    for (char c : pattern) {
        char f = lowerAscii(c);
        if ((f == 'd' || f == 'm' || f == 'y') && n < 3 &&
            std::find(order.begin(), order.begin() + n, f) == order.begin() + n)
            order[n++] = f;
    }
    if (n < 3)
        return {'m', 'd', 'y'};
    return order;
}

} // namespace

std::optional<std::chrono::year_month_day> ParseEightDigitDate(std::string_view s) {
    if (s.size() != 8 || !allDigits(s))
        return std::nullopt;
    return makeDate(toInt(s.substr(0, 4)), toInt(s.substr(4, 2)), toInt(s.substr(6, 2)));
}

std::string EightDigitDate(std::chrono::year_month_day date) {
    int year = int(date.year());
    std::string text = std::to_string(year);
    text.insert(0, 4 - std::min<std::size_t>(4, text.size()), '0');
    return text + twoDigits(unsigned(date.month())) + twoDigits(unsigned(date.day()));
}

std::string FormatDate(std::chrono::year_month_day date, std::string_view pattern) {
    const unsigned day = unsigned(date.day());
    const unsigned month = unsigned(date.month());
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        char c = pattern[i];
        if (c == '\'' || c == '"') {
            std::size_t close = pattern.find(c, i + 1);
            if (close == std::string_view::npos)
                close = pattern.size();
            out += pattern.substr(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        char f = lowerAscii(c);
        if (f != 'd' && f != 'm' && f != 'y') {
            out += c;
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && lowerAscii(pattern[i + run]) == f)
            ++run;
        i += run;
        if (f == 'd') {
            out += run == 1 ? std::to_string(day) : twoDigits(day);
        } else if (f == 'm') {
            if (run == 1)
                out += std::to_string(month);
            else if (run == 2)
                out += twoDigits(month);
            else if (run == 3)
                out += std::string(kMonthNames[month - 1]).substr(0, 3);
            else
                out += kMonthNames[month - 1];
        } else {
            std::string full = EightDigitDate(date).substr(0, 4);
            out += run <= 2 ? full.substr(2) : full;
        }
    }
    return out;
}

std::string FormatDisplayDate(std::string_view s, std::string_view pattern) {
    auto date = ParseEightDigitDate(s);
    return date ? FormatDate(*date, pattern) : std::string();
}

std::string NormalizeDate(std::string_view s, std::string_view pattern,
                          std::chrono::year_month_day today) {
    std::string text = Trim(s);
    if (text.empty())
        return {};
    if (ParseEightDigitDate(text))
        return text;
    std::vector<std::string> numbers;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        numbers.push_back(text.substr(start, i - start));
    }
    if (numbers.size() < 2 || numbers.size() > 3)
        return {};
    int day = 0, month = 0, year = int(today.year());
    bool yearGiven = false;
    std::size_t next = 0;
    for (char field : fieldOrder(pattern)) {
        if (field == 'y' && numbers.size() == 2)
            continue;
        const std::string& n = numbers[next++];
        if (n.size() > 4)
            return {};
        if (field == 'd')
            day = toInt(n);
        else if (field == 'm')
            month = toInt(n);
        else {
            year = toInt(n);
            yearGiven = n.size() <= 2;
        }
    }
    if (yearGiven) {
        int now = int(today.year());
        year += now / 100 * 100;
        if (year > now + 49)
            year -= 100;
        else if (year < now - 50)
            year += 100;
    }
    auto date = makeDate(year, month, day);
    return date ? EightDigitDate(*date) : std::string();
}

std::string NormalizeDate(std::string_view s, std::string_view pattern) {
    auto now = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    return NormalizeDate(s, pattern, std::chrono::year_month_day(now));
}

// ---- Tag stamps ----

std::string ToBase36(std::uint64_t n) {
    static constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string out;
    while (n > 0) {
        out.insert(out.begin(), kDigits[n % 36]);
        n /= 36;
    }
    return out;
}

LocalDateTime CurrentLocalDateTime() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string NewTagStamp(const LocalDateTime& when) {
    std::uint64_t b = 0;
    for (int part : {when.month, when.day, when.hour, when.minute, when.second})
        b = b * 100 + std::uint64_t(part);
    return ToBase36(std::uint64_t(std::max(0, when.year - 1995))) + ToBase36(b);
}

std::string NewTagStamp() {
    return NewTagStamp(CurrentLocalDateTime());
}

// ---- Files ----

Status CopyFile(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (from == to || fs::equivalent(from, to, ec))
        return fail("Cannot copy " + from.string() + " onto itself");
    if (fs::is_directory(from, ec))
        return fail("Cannot copy " + from.string() + ": it is a folder");
    std::ifstream in(from, std::ios::binary);
    if (!in)
        return fail("Unable to open " + from.string() + ": " + systemReason(errno));
    // The copy replaces `to` only when whole.
    auto out = AtomicFile::create(to);
    if (!out)
        return fail(out.error());
    std::array<char, 65536> block;
    while (in) {
        in.read(block.data(), block.size());
        std::streamsize got = in.gcount();
        if (in.bad())
            return fail("Unable to read " + from.string());
        if (got > 0)
            if (auto st = out->write(std::string_view(block.data(), std::size_t(got))); !st)
                return st;
    }
    return out->commit();
}

// ---- Design units ----

int ThousandthsFromPixels(int pixels) {
    return int(std::int64_t(pixels) * 1000 / kDesignPixelsPerInch);
}

int PixelsFromThousandths(int thousandths) {
    return int(std::int64_t(thousandths) * kDesignPixelsPerInch / 1000);
}

double InchesFromPixels(double pixels) {
    return pixels / kDesignPixelsPerInch;
}

} // namespace qp::store
