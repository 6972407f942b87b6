#pragma once
// Values on their way into an address file from an import: what the table
// cannot hold is replaced, and the caller counts the values that changed.

#include <string>

namespace qp::exchange {

// Turns `value` (UTF-8) into text the address file can hold: characters
// Windows-1252 lacks become '?', and in a field (not a memo) control
// characters become blanks. True when anything changed.
bool makeStorable(std::string& value, bool memo = false);

} // namespace qp::exchange
