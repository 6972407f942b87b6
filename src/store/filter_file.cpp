#include "filter_file.h"

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
    std::string text = FilterFileText(filter);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return fail("Unable to create " + path.string());
    out.write(text.data(), std::streamsize(text.size()));
    out.close();
    if (!out)
        return fail("Unable to write " + path.string());
    return Status::success();
}

Result<FilterCriteria> ReadFilterFrom(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return fail("Unable to open " + path.string());
    std::stringstream buffer;
    buffer << in.rdbuf();
    if (in.bad())
        return fail("Unable to read " + path.string());
    return ParseFilterFileText(buffer.str());
}

} // namespace qp::store
