#pragma once
// The user's short date format, from the locale of the environment
// (LC_ALL, LC_TIME, LANG), read once.

#include <string>

namespace qp::store {

// A pattern in the form FormatDisplayDate understands ("dd.mm.yyyy");
// "mm/dd/yyyy" when the environment names no locale or an unknown one.
const std::string& UserShortDatePattern();

// The strftime date format `format` ("%d.%m.%Y") as such a pattern.
std::string patternFromStrftime(const std::string& format);

} // namespace qp::store
