#pragma once
// RFC 4180 rows: fields quoted when they hold a comma, quote or line break,
// quotes doubled, CR LF line ends.

#include <ostream>
#include <string>
#include <vector>

namespace qp::batch {

inline std::string csvField(const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos)
        return value;
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

inline void writeCsvRow(std::ostream& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i)
            out << ',';
        out << csvField(fields[i]);
    }
    out << "\r\n";
}

} // namespace qp::batch
