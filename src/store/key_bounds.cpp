// Key bounds of walks in index order, and the prefix a query forces on keys.

#include "store/key_bounds.h"

#include <algorithm>

namespace qp::store {

std::optional<std::string> prefixEnd(std::string_view prefix) {
    std::string end(prefix);
    while (!end.empty() && static_cast<unsigned char>(end.back()) == 0xFF)
        end.pop_back();
    if (end.empty())
        return std::nullopt;
    end.back() = static_cast<char>(static_cast<unsigned char>(end.back()) + 1);
    return end;
}

KeyBounds KeyBounds::scope(std::string low, std::string_view high) {
    // A key's start cut to high's length is at most high exactly when the
    // key comes before the end of the keys that begin with high.
    return {std::move(low), prefixEnd(high)};
}

KeyBounds KeyBounds::prefix(std::string_view prefix) {
    return {std::string(prefix), prefixEnd(prefix)};
}

KeyBounds KeyBounds::intersect(const KeyBounds& other) const {
    KeyBounds both{std::max(low, other.low), below};
    if (!both.below || (other.below && *other.below < *both.below))
        both.below = other.below;
    return both;
}

std::optional<std::string> queryKeyPrefix(const Expression& query, const Expression& key,
                                          const TagInfo& tag) {
    if (tag.descending || tag.keyType != KeyType::Character || key.leadingOperand().empty() ||
        key.leadingWidth() <= 0)
        return std::nullopt;
    // A key begins with the bytes of its leading operand, computed by the same
    // expression engine from the same record as the query's left side when
    // both read the same: a record the query accepts has a key that begins
    // with what that left side must begin with.
    const auto room = static_cast<std::size_t>(std::min(key.leadingWidth(), tag.keyLength));
    std::optional<std::string> best;
    for (const RequiredEquality& test : query.requiredEqualities()) {
        if (test.operand != key.leadingOperand())
            continue;
        std::string prefix = test.literal;
        // '=' with SET EXACT off: the left side begins with the literal. With
        // it on: they are equal but for trailing blanks, so the left side
        // begins with the literal less its trailing blanks, which serves both.
        // '==': the left side is the literal, blanks and all.
        if (!test.exactEqual)
            prefix.erase(prefix.find_last_not_of(' ') + 1);
        if (prefix.empty() || prefix.size() > room)
            continue;
        if (!best || prefix.size() > best->size())
            best = std::move(prefix);
    }
    return best;
}

} // namespace qp::store
