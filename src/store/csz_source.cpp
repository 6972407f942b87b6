#include "csz_source.h"

#include <fstream>
#include <sstream>

namespace qp::store {

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

Result<std::vector<CszRow>> ParseCszSource(std::string_view text) {
    std::vector<CszRow> rows;
    std::size_t start = 0;
    for (int lineNumber = 1; start < text.size(); ++lineNumber) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = trimBlanks(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        std::vector<std::string> columns;
        std::size_t from = 0;
        for (;;) {
            std::size_t bar = line.find('|', from);
            columns.emplace_back(trimBlanks(line.substr(from, bar - from)));
            if (bar == std::string_view::npos)
                break;
            from = bar + 1;
        }
        const std::string where = "Line " + std::to_string(lineNumber) + ": ";
        if (columns.size() != 4)
            return fail(where + "expected 4 columns separated by |");
        CszRow row{columns[0], columns[1], columns[2], columns[3]};
        if (row.name.empty() || row.state.empty() || row.lowZip.empty() || row.highZip.empty())
            return fail(where + "every column needs a value");
        if (row.name.size() > kCszNameWidth || row.state.size() > kCszStateWidth ||
            row.lowZip.size() > kCszZipWidth || row.highZip.size() > kCszZipWidth)
            return fail(where + "a value is wider than its field");
        if (row.lowZip > row.highZip)
            return fail(where + "the range ends before it starts");
        rows.push_back(std::move(row));
    }
    return rows;
}

Result<std::vector<CszRow>> ReadCszSource(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return fail("Unable to open " + path.string());
    std::stringstream buffer;
    buffer << in.rdbuf();
    return ParseCszSource(buffer.str());
}

} // namespace qp::store
