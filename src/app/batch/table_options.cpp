#include "app/batch/table_options.h"

#include "addressbook/record_rules.h"

#include "app/batch/batch_command.h"

#include <sstream>

namespace qp::batch {

store::Table openTable(const std::string& path, store::OpenMode mode) {
    auto table = store::Table::open(path, mode);
    if (!table)
        throw Failure(table.error());
    return std::move(*table);
}

void useTag(store::Table& table, const std::string& tag) {
    int order = table.tagArea(tag);
    if (order == 0) {
        std::string why = table.indexError().empty() ? "" : " (" + table.indexError() + ")";
        throw Failure("Tag " + tag + " not found in " + table.path() + why);
    }
    if (auto st = table.setOrder(order); !st)
        throw Failure(st.error());
}

std::vector<std::string> splitList(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        if (!part.empty())
            parts.push_back(part);
    return parts;
}

void useSortCaption(store::Table& table, const std::string& caption) {
    const addressbook::SortOrder* order = addressbook::SortOrderForCaption(caption);
    if (!order)
        throw UsageError("--order: no sort order is called \"" + caption + "\"");
    useTag(table, std::string(order->tag));
}

} // namespace qp::batch
