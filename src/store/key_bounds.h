#pragma once
// The stretch of an index order a walk may visit: keys from a lower bound up
// to an upper bound, drawn from a scope and from what a query requires.

#include "compact_index.h"
#include "expression.h"

#include <optional>
#include <string>
#include <string_view>

namespace qp::store {

// Keys k with low <= k and, when there is an upper bound, k < below. Keys
// compare byte by byte as unsigned, as the index orders them.
struct KeyBounds {
    std::string low;
    std::optional<std::string> below;

    bool beforeLow(std::string_view key) const { return key < std::string_view(low); }
    bool atOrPastEnd(std::string_view key) const {
        return below && key >= std::string_view(*below);
    }
    bool contains(std::string_view key) const { return !beforeLow(key) && !atOrPastEnd(key); }
    bool unbounded() const { return low.empty() && !below; }

    // Keys from the one that begins with `low` (or is greater) to the last
    // whose start, cut to the length of `high`, is `high` or less: a scope.
    static KeyBounds scope(std::string low, std::string_view high);
    // The keys that begin with `prefix`.
    static KeyBounds prefix(std::string_view prefix);
    // The keys within both.
    KeyBounds intersect(const KeyBounds& other) const;
};

// The first key past every key that begins with `prefix`; none when every
// byte of it is 0xFF (or it is empty): no key is past them.
std::optional<std::string> prefixEnd(std::string_view prefix);

// The key prefix every record `query` accepts has in an order keyed on
// `key` (whose tag is `tag`); none unless it is certain.
std::optional<std::string> queryKeyPrefix(const Expression& query, const Expression& key,
                                          const TagInfo& tag);

} // namespace qp::store
