#include "addressbook/search.h"

#include "store/filter_criteria.h"

namespace qp::addressbook {

namespace {

// The first `limit` characters of UTF-8 text.
std::string_view firstCharacters(std::string_view s, std::size_t limit) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (count == limit)
                return s.substr(0, i);
            ++count;
        }
    }
    return s;
}

} // namespace

bool MemoTextContains(std::string_view memo, std::string_view text) {
    if (memo.empty())
        return false;
    const std::string haystack = store::upperFilterText(firstCharacters(memo, kMemoLookLimit));
    return haystack.find(store::upperFilterText(text)) != std::string::npos;
}

bool MemoContains(const store::Table& table, std::string_view text) {
    auto memo = table.getMemo("MEMO");
    return memo.ok() && MemoTextContains(*memo, text);
}

std::string SearchForLabel(std::string_view caption) {
    return "Search " + std::string(caption) + " starting with...";
}

bool SearchInOrder(store::Table& table, std::string_view tagName, std::string_view text) {
    const std::uint32_t was = table.recNo();
    (void)table.setOrder(table.tagArea(tagName));
    table.setExact(false);
    table.setSoftSeek(true);
    auto found = table.seek(store::upperFilterText(text));
    const bool ok = found.ok() && *found;
    if (!ok)
        table.go(was);
    table.setSoftSeek(false);
    return ok;
}

bool RunMemoSearch(store::Table& table, std::string_view text, bool fromNext,
                   const std::function<bool()>& keepGoing) {
    const std::uint32_t was = table.recNo();
    bool more = fromNext ? table.next() : table.first();
    while (more && !table.eof()) {
        if (keepGoing && !keepGoing())
            break;
        if (MemoContains(table, text))
            return true;
        more = table.next();
    }
    table.go(was);
    return false;
}

} // namespace qp::addressbook
