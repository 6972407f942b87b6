#include "addressbook/deleted_records.h"

namespace qp::addressbook {

std::string QueryWithDeleted(std::string_view query) {
    constexpr std::string_view kTest = "!ISDEL";
    constexpr std::string_view kJoined = ".and. !ISDEL";
    if (query == kTest)
        return {};
    if (query.size() > kJoined.size() && query.substr(query.size() - kJoined.size()) == kJoined) {
        std::string_view rest = query.substr(0, query.size() - kJoined.size());
        while (!rest.empty() && rest.back() == ' ')
            rest.remove_suffix(1);
        return std::string(rest);
    }
    return std::string(query);
}

store::Status Undelete(store::Table& table) {
    if (table.eof() || table.bof() || table.recNo() == 0)
        return store::fail("No record to undelete");
    if (!table.deleted() && !table.getLogical("ISDEL"))
        return store::fail("Record " + std::to_string(table.recNo()) + " is not deleted");
    if (auto st = table.recall(); !st)
        return st;
    if (auto st = table.replaceLogical("ISDEL", false); !st) {
        table.discard();
        return st;
    }
    if (auto st = table.post(); !st) {
        table.discard();
        return st;
    }
    return {};
}

std::uint32_t CountDeleted(store::Table& table) {
    const std::uint32_t was = table.recNo();
    const bool hidden = table.deletedHidden();
    table.setDeleted(false);
    std::uint32_t count = 0;
    const std::uint32_t total = table.recCount();
    for (std::uint32_t n = 1; n <= total; ++n)
        if (table.go(n) && table.deleted())
            ++count;
    table.setDeleted(hidden);
    if (was >= 1 && was <= total)
        (void)table.go(was);
    return count;
}

std::string RemoveDeletedQuestion(std::uint32_t count) {
    const std::string records =
        count == 1 ? "1 deleted record" : std::to_string(count) + " deleted records";
    return "Rebuilding the indexes removes " + records +
           " from the file for good; they cannot be undeleted afterwards. Continue?";
}

} // namespace qp::addressbook
