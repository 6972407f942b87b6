#pragma once
// Values on their way into an address file from an import: what the table
// cannot hold is replaced, and the caller counts the values that changed.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace qp::store {
class Table;
}

namespace qp::exchange {

// Turns `value` (UTF-8) into text the address file can hold: characters
// Windows-1252 lacks become '?', and in a field (not a memo) control
// characters become blanks. True when anything changed.
bool makeStorable(std::string& value, bool memo = false);

// The values an import stored cut to their field's width, by field number
// (so the message names the fields in the file's order): a character field
// keeps as many characters as it is wide, and the user is told what did not
// fit.
struct ShortenedValues {
    struct Field {
        std::string name;
        std::size_t count = 0;
    };
    std::map<int, Field> byField;

    // Counts `value` (storable UTF-8) when field `field` of `table` is a
    // character field too narrow for it. Trailing blanks are padding, not text.
    void count(const store::Table& table, int field, std::string_view value);
    // The line the import's final message adds, empty when nothing was cut.
    std::string note() const;
};

} // namespace qp::exchange
