#pragma once
// The searches of the main window: the soft seek in a chosen sort order and
// the memo search with its Find Next.

#include "store/table.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qp::addressbook {

inline constexpr std::size_t kMemoSearchTextLimit = 255;
inline constexpr std::size_t kMemoLookLimit = 32767; // characters of a memo looked at

// True when `memo` (its first 32767 characters), in upper case, contains
// `text` in upper case; an empty memo never matches.
bool MemoTextContains(std::string_view memo, std::string_view text);
// MemoTextContains on the current record's MEMO.
bool MemoContains(const store::Table& table, std::string_view text);

// The label of the search box for an order caption (without '&').
std::string SearchForLabel(std::string_view caption);

// Seeks `text` in upper case in the order `tagName`, which the table is
// left in: Exact off, soft seek on for the seek and off afterwards. Not
// found: back to the record the cursor was on. True when found.
bool SearchInOrder(store::Table& table, std::string_view tagName, std::string_view text);

// The memo search state of the main window.
struct MemoSearchState {
    std::string text;
    bool found = false;
};

// One memo search run from the first record (or, with `fromNext`, from the
// record after the current one) until a memo contains the text, the end,
// or `keepGoing` returns false. Found: that record is current. Otherwise
// the cursor is back on the record it was on. True when found.
bool RunMemoSearch(store::Table& table, std::string_view text, bool fromNext,
                   const std::function<bool()>& keepGoing = {});

} // namespace qp::addressbook
