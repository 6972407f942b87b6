#include "exchange/import_values.h"

#include "exchange/address_labels.h"
#include "store/codepage.h"
#include "store/table.h"

namespace qp::exchange {

bool makeStorable(std::string& value, bool memo) {
    bool changed = false;
    for (char& c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 || (memo && (c == '\r' || c == '\n' || c == '\t')))
            continue;
        c = ' ';
        changed = true;
    }
    if (store::utf8ToCp1252Exact(value))
        return changed;
    auto bytes = store::utf8ToCp1252(value);
    value = store::cp1252ToUtf8(bytes.bytes);
    return true;
}

void ShortenedValues::count(const store::Table& table, int field, std::string_view value) {
    const store::FieldDef& def = table.fields()[static_cast<std::size_t>(field)];
    const auto width = static_cast<std::size_t>(def.length);
    // A storable value has one Windows-1252 character per UTF-8 character,
    // never more than it has bytes: most values need no counting.
    if (def.type != 'C' || value.size() <= width)
        return;
    const std::size_t end = value.find_last_not_of(' ');
    if (end != std::string_view::npos &&
        store::utf8CharacterCount(value.substr(0, end + 1)) > width) {
        Field& cut = byField[field];
        cut.name = def.name;
        ++cut.count;
    }
}

std::string ShortenedValues::note() const {
    std::size_t total = 0;
    std::string fields;
    for (const auto& [number, cut] : byField) {
        total += cut.count;
        fields += (fields.empty() ? "" : ", ") + labelOf(cut.name).value_or(cut.name) + " (" +
                  std::to_string(cut.count) + ")";
    }
    if (!total)
        return {};
    return std::to_string(total) +
           (total == 1 ? " value was longer than its field and was cut to fit: "
                       : " values were longer than their field and were cut to fit: ") +
           fields + ".";
}

} // namespace qp::exchange
