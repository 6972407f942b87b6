#include "store/number_text.h"

#include "store/shared_routines.h"

#include <charconv>
#include <cmath>

namespace qp::store {

std::string fixedText(double value, int decimals) {
    if (!std::isfinite(value))
        value = 0;
    // Enough for the largest double written out in full.
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                decimals < 0 ? 0 : decimals);
    if (result.ec != std::errc())
        return "0";
    return std::string(buffer, result.ptr);
}

std::string generalText(double value, int digits) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general,
                                digits < 1 ? 1 : digits);
    if (result.ec != std::errc())
        return "0";
    return std::string(buffer, result.ptr);
}

std::optional<double> parseNumber(std::string_view raw) {
    const std::string blanksOff = Trim(raw);
    std::string_view text = blanksOff;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return v;
}

} // namespace qp::store
