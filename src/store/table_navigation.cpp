// Moving the cursor: natural and index order, visibility (deletion mark,
// query, scope), seek.

#include "store/codepage.h"
#include "store/table.h"

#include <algorithm>

namespace qp::store {

namespace {

// The last entry within `bounds`' upper end, or none.
std::optional<KeyEntry> lastBefore(const CompactIndex& index, int tag, const KeyBounds& bounds) {
    if (!bounds.below)
        return index.last(tag);
    auto end = index.lowerBound(tag, *bounds.below);
    return end ? index.prior(tag, *end) : index.last(tag);
}

} // namespace

CompactIndex* Table::orderIndex(int order, int& tagInFile) const {
    int structural = cdx_ ? cdx_->tagCount() : 0;
    if (order >= 1 && order <= structural) {
        tagInFile = order - 1;
        return const_cast<CompactIndex*>(&*cdx_);
    }
    if (scratch_ && order == structural + 1) {
        tagInFile = 0;
        return const_cast<CompactIndex*>(&*scratch_);
    }
    return nullptr;
}

int Table::tagCount() const {
    return (cdx_ ? cdx_->tagCount() : 0) + (scratch_ ? 1 : 0);
}

std::optional<TagInfo> Table::tagInfo(int order) const {
    int tag = 0;
    CompactIndex* index = orderIndex(order, tag);
    if (!index)
        return std::nullopt;
    return index->tag(tag);
}

int Table::tagArea(std::string_view tagName) const {
    if (cdx_)
        if (auto i = cdx_->findTag(tagName))
            return *i + 1;
    return 0;
}

std::string Table::tagName() const {
    auto info = tagInfo(order_);
    return info ? info->name : std::string();
}

std::string Table::indexName() const {
    return cdx_ ? cdx_->path() : std::string();
}

Status Table::setOrder(int order) {
    if (order != 0 && !tagInfo(order))
        return fail("Index order " + std::to_string(order) + " does not exist");
    if (auto st = commitPending(); !st)
        return st;
    order_ = order;
    scoped_ = false;
    walkBounds_.known = false;
    atFirst_ = false;
    // Keep the current record, now placed in the new order.
    if (recno_ >= 1 && recno_ <= header_.recordCount)
        go(recno_);
    else
        first();
    return {};
}

bool Table::visible(std::uint32_t recno, const char* bytes) const {
    if (!bytes)
        return false;
    if (hideDeleted_ && bytes[0] == '*')
        return false;
    if (query_ && !query_->isTrue(RecordView{bytes, recno}, settings_))
        return false;
    return true;
}

bool Table::inScope(const std::string& key) const {
    return walkBounds().contains(key);
}

const KeyBounds& Table::walkBounds() const {
    static const KeyBounds everything;
    int tag = 0;
    const CompactIndex* index = orderIndex(order_, tag);
    if (!index)
        return everything;
    const TagInfo& info = index->tag(tag);
    WalkBounds& w = walkBounds_;
    if (w.known && w.order == order_ && w.keyExpression == info.expression &&
        w.forExpression == info.forExpression && w.keyLength == info.keyLength &&
        w.descending == info.descending)
        return w.bounds;
    w.bounds = scoped_ ? scope_ : KeyBounds{};
    const bool structural = cdx_ && index == &*cdx_;
    const Expression* key = structural && static_cast<std::size_t>(tag) < tagExprs_.size()
                                ? &tagExprs_[static_cast<std::size_t>(tag)]
                            : !structural && scratchExpr_ ? &*scratchExpr_
                                                          : nullptr;
    if (query_ && key)
        if (auto prefix = queryKeyPrefix(*query_, *key, info))
            w.bounds = w.bounds.intersect(KeyBounds::prefix(*prefix));
    w.known = true;
    w.order = order_;
    w.keyExpression = info.expression;
    w.forExpression = info.forExpression;
    w.keyLength = info.keyLength;
    w.descending = info.descending;
    return w.bounds;
}

void Table::setEof() {
    atFirst_ = false;
    eof_ = true;
    recno_ = header_.recordCount + 1;
    position_.reset();
    record_.assign(header_.recordLength, ' ');
    original_ = record_;
}

// Moves to `entry` or the nearest visible entry in the walking direction.
bool Table::positionAt(std::optional<KeyEntry> entry, bool forward) {
    atFirst_ = false;
    int tag = 0;
    CompactIndex* index = orderIndex(order_, tag);
    const KeyBounds& bounds = walkBounds();
    bool jumped = false;
    while (entry) {
        if (!bounds.contains(entry->key)) {
            // Keys are ordered: once past the bounds in the walking direction,
            // nothing further can be in them; short of them, the walk goes
            // straight to their near end.
            bool beyond = forward ? bounds.atOrPastEnd(entry->key) : bounds.beforeLow(entry->key);
            if (beyond)
                break;
            if (!jumped) {
                jumped = true;
                entry =
                    forward ? index->lowerBound(tag, bounds.low) : lastBefore(*index, tag, bounds);
                continue;
            }
        } else if (visible(entry->recno, recordBytes(entry->recno))) {
            recno_ = entry->recno;
            position_ = entry;
            (void)readRecord(recno_, record_);
            original_ = record_;
            eof_ = bof_ = false;
            return true;
        }
        entry = forward ? index->next(tag, *entry) : index->prior(tag, *entry);
    }
    return false;
}

// Natural order: moves to `start` or the nearest visible record.
bool Table::settle(bool forward) {
    atFirst_ = false;
    std::uint32_t r = recno_;
    while (r >= 1 && r <= header_.recordCount) {
        if (visible(r, recordBytes(r))) {
            recno_ = r;
            (void)readRecord(r, record_);
            original_ = record_;
            eof_ = bof_ = false;
            return true;
        }
        r = forward ? r + 1 : r - 1;
    }
    return false;
}

bool Table::first() {
    (void)commitPending();
    // Nothing moved or changed since the last first(): the walk to the first
    // visible record (a whole order, for a query matching late) is not redone.
    // Another writer may change a shared table at any time.
    if (atFirst_ && !dirty_ && mode_ != OpenMode::Shared)
        return !eof_;
    int tag = 0;
    bool found = false;
    if (CompactIndex* index = orderIndex(order_, tag)) {
        const KeyBounds& bounds = walkBounds();
        auto start = bounds.low.empty() ? index->first(tag) : index->lowerBound(tag, bounds.low);
        found = positionAt(start, true);
    } else {
        recno_ = 1;
        found = settle(true);
    }
    if (!found) {
        setEof();
        bof_ = true;
    }
    atFirst_ = true;
    return found;
}

bool Table::last() {
    (void)commitPending();
    int tag = 0;
    bool found = false;
    if (CompactIndex* index = orderIndex(order_, tag)) {
        found = positionAt(lastBefore(*index, tag, walkBounds()), false);
    } else {
        recno_ = header_.recordCount;
        found = settle(false);
    }
    if (!found) {
        setEof();
        bof_ = true;
    }
    return found;
}

bool Table::next() {
    (void)commitPending();
    if (eof_)
        return false;
    int tag = 0;
    bool found = false;
    if (CompactIndex* index = orderIndex(order_, tag)) {
        found = position_ && positionAt(index->next(tag, *position_), true);
    } else {
        recno_ += 1;
        found = settle(true);
    }
    if (!found)
        setEof();
    return found;
}

bool Table::prior() {
    (void)commitPending();
    int tag = 0;
    bool found = false;
    if (eof_)
        return last();
    if (CompactIndex* index = orderIndex(order_, tag)) {
        found = position_ && positionAt(index->prior(tag, *position_), false);
    } else {
        recno_ -= 1;
        found = settle(false);
    }
    if (!found) {
        // Before the first record: stay on the first one, flagged.
        first();
        bof_ = true;
    }
    return found;
}

bool Table::go(std::uint32_t recno) {
    (void)commitPending();
    atFirst_ = false;
    if (recno < 1 || recno > header_.recordCount) {
        setEof();
        return false;
    }
    if (auto st = readRecord(recno, record_); !st) {
        setEof();
        return false;
    }
    recno_ = recno;
    original_ = record_;
    eof_ = bof_ = false;
    position_.reset();
    int tag = 0;
    if (CompactIndex* index = orderIndex(order_, tag)) {
        const TagInfo& info = index->tag(tag);
        const Expression& expr =
            index == &*cdx_ ? tagExprs_[static_cast<std::size_t>(tag)] : *scratchExpr_;
        std::string key = keyOf(expr, info.keyLength, info.keyType, record_.data(), recno);
        auto entry = index->find(tag, key, recno);
        if (entry && entry->recno == recno && entry->key == key)
            position_ = entry;
        else
            position_ = KeyEntry{key, recno};
    }
    return true;
}

Result<bool> Table::seek(std::string_view key) {
    if (auto st = commitPending(); !st)
        return fail(st.error());
    int tag = 0;
    CompactIndex* index = orderIndex(order_, tag);
    if (!index)
        return fail("Seek needs an index order");
    const TagInfo& info = index->tag(tag);
    auto bytes = utf8ToCp1252Exact(key);
    if (!bytes) {
        setEof();
        return false;
    }
    std::string prefix = bytes->substr(0, static_cast<std::size_t>(info.keyLength));
    if (settings_.exact) {
        while (!prefix.empty() && prefix.back() == ' ')
            prefix.pop_back();
        prefix.resize(static_cast<std::size_t>(info.keyLength), ' ');
    }
    atFirst_ = false;
    const KeyBounds wanted = KeyBounds::prefix(prefix);
    auto entry = index->lowerBound(tag, wanted.low);
    while (entry && wanted.contains(entry->key)) {
        if (inScope(entry->key) && visible(entry->recno, recordBytes(entry->recno))) {
            positionAt(entry, true);
            return true;
        }
        entry = index->next(tag, *entry);
    }
    if (softSeek_ && positionAt(entry, true))
        return false;
    setEof();
    return false;
}

std::string Table::currentKey() const {
    return position_ && !eof_ ? cp1252ToUtf8(position_->key) : std::string();
}

Status Table::setQuery(std::string_view expression) {
    if (auto st = commitPending(); !st)
        return st;
    atFirst_ = false;
    if (expression.find_first_not_of(' ') == std::string_view::npos) {
        query_.reset();
        queryText_.clear();
        walkBounds_.known = false;
        first();
        return {};
    }
    auto expr = compile(expression);
    if (!expr)
        return fail(expr.error());
    if (expr->type() != ValueType::Logical)
        return fail("The query \"" + std::string(expression) + "\" is not a logical expression");
    query_ = std::move(*expr);
    queryText_ = std::string(expression);
    walkBounds_.known = false;
    first();
    return {};
}

std::uint32_t Table::queryRecCount() {
    (void)commitPending();
    if (auto counted = countInQueryRange())
        return *counted;
    std::uint32_t count = 0;
    for (std::uint32_t r = 1; r <= header_.recordCount; ++r)
        if (visible(r, recordBytes(r)))
            ++count;
    return count;
}

// In an order whose tag holds a key for every record, every record the query
// accepts lies in the key range it allows: counting there reads those records
// only, not the whole table. None when that does not hold or the index fails.
std::optional<std::uint32_t> Table::countInQueryRange() const {
    int tag = 0;
    const CompactIndex* index = orderIndex(order_, tag);
    if (!query_ || !index || !cdx_ || index != &*cdx_ || !writeBlock_.empty() ||
        static_cast<std::size_t>(tag) >= tagExprs_.size())
        return std::nullopt;
    const TagInfo& info = index->tag(tag);
    if (info.unique || !info.forExpression.empty())
        return std::nullopt;
    auto prefix = queryKeyPrefix(*query_, tagExprs_[static_cast<std::size_t>(tag)], info);
    if (!prefix)
        return std::nullopt;
    const KeyBounds range = KeyBounds::prefix(*prefix);
    std::vector<std::uint32_t> recnos;
    for (auto entry = index->lowerBound(tag, range.low); entry && range.contains(entry->key);
         entry = index->next(tag, *entry))
        if (entry->recno >= 1 && entry->recno <= header_.recordCount)
            recnos.push_back(entry->recno);
    if (!index->status())
        return std::nullopt;
    // Read in file order, each read only the bytes the deletion mark and the
    // query look at: cheaper than the same reads scattered in key order.
    std::sort(recnos.begin(), recnos.end());
    const std::size_t span =
        std::min<std::size_t>(header_.recordLength, std::max(1, query_->recordSpan()));
    std::string bytes(span, ' ');
    std::uint32_t count = 0;
    for (const std::uint32_t r : recnos) {
        auto read = dbf_.readAt(header_.headerLength + std::uint64_t(r - 1) * header_.recordLength,
                                bytes.data(), span);
        if (!read || *read < span)
            return std::nullopt;
        if (visible(r, bytes.data()))
            ++count;
    }
    return count;
}

Status Table::setScope(std::string_view low, std::string_view high) {
    atFirst_ = false;
    if (low.empty() && high.empty()) {
        scoped_ = false;
        scope_ = {};
        walkBounds_.known = false;
        first();
        return {};
    }
    if (order_ == 0)
        return fail("A scope needs an index order");
    auto lo = utf8ToCp1252Exact(low);
    auto hi = utf8ToCp1252Exact(high);
    if (!lo || !hi)
        return fail("The scope has characters that a table cannot hold");
    scope_ = KeyBounds::scope(*lo, *hi);
    scoped_ = true;
    walkBounds_.known = false;
    first();
    return {};
}

} // namespace qp::store
