#pragma once
// Small routines shared by the whole program: where its files live, blank
// trimming, eight-digit dates, tag stamps, file copying and design units.

#include "result.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qp::store {

// ---- Folders and files ----

// $QUILLPOST_HOME when set and not empty, else ~/.local/share/Quillpost; always
// ends with '/'.
std::string ProgramFolder();

// `name` (one or more components separated by '/') under `folder`, each
// component found whatever its letter case. An exact match wins; otherwise the
// first case-insensitive match in name order. Components that do not exist are
// kept as given, so the result is also the path to create.
std::filesystem::path resolveCaseInsensitive(const std::filesystem::path& folder,
                                             std::string_view name);

// The program folder's `DATA` and `sysdata` folders, found whatever their case.
std::filesystem::path DataFolder();
std::filesystem::path SysdataFolder();

// ProgramFolder() + QUILLP.ini (found whatever its case).
std::string SettingsPath();

// ---- Text ----

// Only the space character counts as a blank.
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string Trim(std::string_view s);

// ---- Dates ----

// Exactly eight ASCII digits, year (1-9999), month, day, forming a real date.
std::optional<std::chrono::year_month_day> ParseEightDigitDate(std::string_view s);

// A date as eight digits, year month day.
std::string EightDigitDate(std::chrono::year_month_day date);

// `date` written with a short-date pattern. Understood: d, dd, m/M, mm/MM,
// mmm/MMM, mmmm/MMMM (English month names), yy, yyyy; text in single or
// double quotes and every other character is copied as it stands.
std::string FormatDate(std::chrono::year_month_day date, std::string_view shortDatePattern);

// The eight-digit date `s` in the short-date pattern; blank when `s` is blank
// or not a date.
std::string FormatDisplayDate(std::string_view s, std::string_view shortDatePattern);

// Blank for blank; `s` when it is an eight-digit date; else the date `s` means
// in the short-date pattern (numbers in the pattern's day/month/year order,
// any non-digits between them; a missing year is this year, a two-digit year
// the one within fifty years of `today`) as eight digits; else blank.
std::string NormalizeDate(std::string_view s, std::string_view shortDatePattern,
                          std::chrono::year_month_day today);
std::string NormalizeDate(std::string_view s, std::string_view shortDatePattern);

// The short-date pattern used when the user's locale gives none.
inline constexpr std::string_view kDefaultShortDatePattern = "mm/dd/yyyy";

// ---- Tag stamps ----

// Base-36 digits of n, upper case, without leading zeros; 0 gives "".
std::string ToBase36(std::uint64_t n);

struct LocalDateTime {
    int year = 1995;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
LocalDateTime CurrentLocalDateTime();

// ToBase36(year - 1995) + ToBase36(mmddhhnnss): 7 or 8 characters.
std::string NewTagStamp(const LocalDateTime& when);
std::string NewTagStamp();

// ---- Files ----

// Copies `from` onto `to`. Fails, touching nothing, when both name the same
// file (by identity, not spelling) or the source cannot be read; any read or
// write error is a failure.
Status CopyFile(const std::filesystem::path& from, const std::filesystem::path& to);

// ---- Design units ----

inline constexpr int kDesignPixelsPerInch = 96;

// Both truncated toward zero.
int ThousandthsFromPixels(int pixels);
int PixelsFromThousandths(int thousandths);
double InchesFromPixels(double pixels);

} // namespace qp::store
