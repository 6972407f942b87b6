#include "labels/printing/printer_alignment.h"

#include "store/number_text.h"
#include "store/settings_file.h"

#include <algorithm>
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
    const auto px = store::parseNumber(std::string_view(text).substr(0, comma));
    const auto py = store::parseNumber(std::string_view(text).substr(comma + 1));
    if (!px || !py)
        return {};
    return {bounded(*px), bounded(*py)};
}

store::Status writePrinterAlignment(store::SettingsFile& settings, std::string_view printer,
                                    Point offset) {
    offset = {bounded(offset.x), bounded(offset.y)};
    if (offset.x == 0 && offset.y == 0)
        return settings.eraseKey(kAlignmentSection, keyFor(printer));
    return settings.writeString(kAlignmentSection, keyFor(printer),
                                store::fixedText(offset.x, 3) + "," +
                                    store::fixedText(offset.y, 3));
}

} // namespace qp::labels
