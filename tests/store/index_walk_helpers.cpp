#include "index_walk_helpers.h"

#include "store/codepage.h"
#include "store/table.h"

#include <set>
#include <utility>
#include <vector>

namespace qp::testing {

using namespace qp::store;

namespace {

std::string trimRight(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

std::string bytesOf(const std::string& utf8) {
    auto b = utf8ToCp1252Exact(utf8);
    return b ? *b : utf8;
}

} // namespace

std::string tagWalkProblem(const std::string& dbfPath) {
    auto t = Table::open(dbfPath, OpenMode::ReadOnly);
    if (!t)
        return "cannot open: " + t.error();
    if (!t->indexError().empty())
        return "index refused: " + t->indexError();
    t->setDeleted(false);
    const std::uint32_t total = t->recCount();
    for (int order = 1; order <= t->tagCount(); ++order) {
        auto info = t->tagInfo(order);
        if (!info)
            return "no tag info for order " + std::to_string(order);
        const std::string name = info->name;
        if (!t->setOrder(order))
            return name + ": cannot select";
        std::vector<std::pair<std::string, std::uint32_t>> walk;
        for (bool more = t->first(); more && walk.size() <= total + 1; more = t->next())
            walk.emplace_back(bytesOf(t->currentKey()), t->recNo());
        if (walk.size() != total)
            return name + ": " + std::to_string(walk.size()) + " keys for " +
                   std::to_string(total) + " records";
        std::set<std::uint32_t> seen;
        for (std::size_t i = 0; i < walk.size(); ++i) {
            if (!seen.insert(walk[i].second).second)
                return name + ": record " + std::to_string(walk[i].second) + " twice";
            if (i > 0 && walk[i] <= walk[i - 1])
                return name + ": out of order at entry " + std::to_string(i);
        }
        if (!t->setOrder(0))
            return "cannot leave the order";
        // Character keys come back without the trailing blanks; compare so.
        const std::string utf8Expression = cp1252ToUtf8(info->expression);
        for (const auto& [key, recno] : walk) {
            if (!t->go(recno))
                return name + ": cannot go to record " + std::to_string(recno);
            auto value = t->evaluate(utf8Expression);
            if (!value)
                return name + ": " + value.error();
            std::string want = value->type == ValueType::Logical ? (value->logical ? "T" : "F")
                                                                 : bytesOf(value->text);
            if (trimRight(key) != trimRight(want.substr(0, key.size())))
                return name + ": record " + std::to_string(recno) + " has key \"" + key +
                       "\", computed \"" + want + "\"";
        }
        if (!t->setOrder(order))
            return name + ": cannot select again";
    }
    return {};
}

} // namespace qp::testing
