#include "exchange/import_values.h"

#include "store/codepage.h"

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

} // namespace qp::exchange
