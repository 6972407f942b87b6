#include "filter_file.h"

#include "atomic_file.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace qp::store {

std::string FilterFileText(const FilterCriteria& filter) {
    std::string text;
    for (const std::string& criterion : filter.criteria)
        text += criterion + "\r\n";
    text += filter.tagged ? "T\r\n" : "F\r\n";
    text += filter.reverse ? "T\r\n" : "F\r\n";
    return text;
}

FilterCriteria ParseFilterFileText(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() < kFilterFileLines) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    lines.resize(kFilterFileLines);
    FilterCriteria filter;
    for (std::size_t i = 0; i < kFilterFieldCount; ++i)
        filter.criteria[i] = lines[i];
    filter.tagged = lines[18] == "T";
    filter.reverse = lines[19] == "T";
    return filter;
}

Status SaveFilterTo(const std::filesystem::path& path, const FilterCriteria& filter) {
    for (const std::string& criterion : filter.criteria)
        if (criterion.find_first_of("\r\n") != std::string::npos)
            return fail("A filter criterion cannot hold a line break");
    return writeFileAtomically(path, FilterFileText(filter));
}

Result<FilterCriteria> ReadFilterFrom(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return fail("Unable to open " + path.string());
    // Twenty short lines: a file far larger is not a filter file, and reading
    // it whole (a device without end) would never finish.
    constexpr std::size_t kLargestFilterFile = 1 << 20;
    std::string text(kLargestFilterFile + 1, '\0');
    in.read(text.data(), std::streamsize(text.size()));
    if (in.bad())
        return fail("Unable to read " + path.string());
    text.resize(std::size_t(in.gcount()));
    if (text.size() > kLargestFilterFile)
        return fail(path.string() + " is not a filter file: it is too large");
    return ParseFilterFileText(text);
}

} // namespace qp::store
