#pragma once
// Numbers as text with a '.' decimal point whatever the process locale
// (the windows set the user's locale, which may write ','): what DBF fields,
// index keys and settings hold must read the same on every machine.

#include <optional>
#include <string>
#include <string_view>

namespace qp::store {

// `decimals` digits after the point, correctly rounded ("2.625", "-0.500").
std::string fixedText(double value, int decimals);
// Up to `digits` significant digits, the shortest form ("%g"-like).
std::string generalText(double value, int digits);
// The whole of `text` as a number (leading and trailing blanks allowed).
std::optional<double> parseNumber(std::string_view text);

} // namespace qp::store
