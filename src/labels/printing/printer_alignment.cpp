#include "labels/printing/printer_alignment.h"

#include "store/settings_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace qp::labels {

namespace {

std::string keyFor(std::string_view printer) {
    // "=" and "[" would end the key or start a section.
    std::string key(printer);
    for (char& c : key)
        if (c == '=' || c == '[' || c == ']')
            c = '_';
    return key.empty() ? std::string("Default") : key;
}

double bounded(double v) {
    if (!std::isfinite(v))
        return 0;
    return std::clamp(v, -kMaxAlignmentOffset, kMaxAlignmentOffset);
}

} // namespace

Point readPrinterAlignment(const store::SettingsFile& settings, std::string_view printer) {
    const std::string text = settings.readString(kAlignmentSection, keyFor(printer), "");
    const auto comma = text.find(',');
    if (text.empty() || comma == std::string::npos)
        return {};
    // Independent of the locale: the file is the same on every machine.
    double px = 0, py = 0;
    const char* begin = text.data();
    const char* mid = begin + comma;
    const char* end = begin + text.size();
    if (std::from_chars(begin, mid, px).ec != std::errc() ||
        std::from_chars(mid + 1, end, py).ec != std::errc())
        return {};
    return {bounded(px), bounded(py)};
}

store::Status writePrinterAlignment(store::SettingsFile& settings, std::string_view printer,
                                    Point offset) {
    offset = {bounded(offset.x), bounded(offset.y)};
    if (offset.x == 0 && offset.y == 0)
        return settings.eraseKey(kAlignmentSection, keyFor(printer));
    char text[64];
    char* p = std::to_chars(text, text + 30, offset.x, std::chars_format::fixed, 3).ptr;
    *p++ = ',';
    p = std::to_chars(p, text + sizeof text, offset.y, std::chars_format::fixed, 3).ptr;
    return settings.writeString(kAlignmentSection, keyFor(printer),
                                std::string_view(text, p - text));
}

} // namespace qp::labels
