#pragma once
// One field of a DBF table as stored in its header.

#include <cstdint>
#include <string>

namespace qp::store {

struct FieldDef {
    std::string name; // upper case, at most 10 characters
    char type = 'C';  // C N L M, and read-only D F I Y T B G written by other tools
    int length = 0;
    int decimals = 0;
    int offset = 0; // byte offset inside the record; 0 is the deletion mark
};

} // namespace qp::store
