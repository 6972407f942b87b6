#include "labels/printing/label_positions.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

namespace qp::labels {

bool LabelPositions::selected(int position) const {
    return position >= 0 && position < count() && flags_[static_cast<std::size_t>(position)];
}

void LabelPositions::set(int position, bool on) {
    if (position >= 0 && position < count())
        flags_[static_cast<std::size_t>(position)] = on;
}

void LabelPositions::toggle(int position) {
    set(position, !selected(position));
}

void LabelPositions::setAll(bool on) {
    std::fill(flags_.begin(), flags_.end(), on);
}

int LabelPositions::selectedCount() const {
    return static_cast<int>(std::count(flags_.begin(), flags_.end(), true));
}

void LabelPositions::fitSheet(const LabelDefinition& def) {
    if (positionsPerSheet(def) != count())
        *this = LabelPositions(def);
}

namespace {

std::optional<int> number(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    int v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return v;
}

} // namespace

store::Result<LabelPositions> LabelPositions::parse(std::string_view text, int count) {
    LabelPositions out(count);
    if (text.find_first_not_of(' ') == std::string_view::npos)
        return out;
    out.setAll(false);
    while (!text.empty()) {
        auto comma = text.find(',');
        std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        auto dash = item.find('-');
        auto low = number(item.substr(0, dash));
        auto high = dash == std::string_view::npos ? low : number(item.substr(dash + 1));
        if (!low || !high || *low > *high)
            return store::fail("\"" + std::string(item) +
                               "\" is not a position or a range of positions");
        if (*low < 1 || *high > count)
            return store::fail("Positions run from 1 to " + std::to_string(count) +
                               " on this sheet");
        for (int p = *low; p <= *high; ++p)
            out.set(p - 1, true);
    }
    return out;
}

} // namespace qp::labels
