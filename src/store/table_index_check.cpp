// Does the structural index agree with the records? The full and sampled
// checks, and the write-in-progress mark that makes an open after a crash run
// the full one.
//
// The mark is byte 14 of the DBF header, which dBASE IV used for its
// "incomplete transaction" flag and other xBase engines ignore, so files stay
// readable by them. It is set before the first record, memo or index write
// and cleared once the index pages are flushed. A process killed in between
// leaves it set; the next open then reads every key of every tag.

#include "store/codepage.h"
#include "store/table.h"
#include "store/table_files.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qp::store {

namespace {

constexpr std::uint64_t kMarkOffset = 14;

// Records sampled per tag by the sampled check: the newest ones (appends and
// the last edits), spread ones, and the entries at both ends of each tag.
constexpr std::uint32_t kNewestSampled = 16;
constexpr std::uint32_t kSpreadSampled = 48;
constexpr int kEndEntriesSampled = 32;

std::string shown(std::string_view key) {
    std::string s(key);
    s.erase(s.find_last_not_of(' ') + 1);
    return "\"" + cp1252ToUtf8(s) + "\"";
}

} // namespace

Status Table::checkIndex(IndexCheck depth) const {
    if (!cdx_)
        return indexError_.empty() ? Status{} : fail(indexError_);
    if (auto st = cdx_->status(); !st)
        return st;
    const std::uint32_t total = header_.recordCount;
    const std::string cdxName = baseName(cdx_->path());

    // Records straight from the file for the full check; one at a time else.
    MappedRegion mapping;
    if (depth == IndexCheck::Full && total > 0)
        mapping = MappedRegion::map(dbf_, header_.headerLength,
                                    std::size_t(total) * header_.recordLength, true);
    std::string copy;
    auto record = [&](std::uint32_t recno) -> const char* {
        if (mapping.data())
            return mapping.data() + std::size_t(recno - 1) * header_.recordLength;
        const char* bytes = recordBytes(recno);
        if (!bytes)
            return nullptr;
        copy.assign(bytes, header_.recordLength); // the cache moves on the next read
        return copy.data();
    };

    // Every tree's pages, and that no page serves two trees.
    if (depth == IndexCheck::Full)
        if (auto st = cdx_->verifyAll(); !st)
            return st;
    std::string key;
    for (int t = 0; t < cdx_->tagCount(); ++t) {
        const TagInfo& info = cdx_->tag(t);
        const std::string what = "Index tag " + info.name + " of " + cdxName;
        auto broken = [&](const std::string& why) {
            return fail(what + " does not agree with the table: " + why);
        };
        auto expr = Expression::parse(info.expression, header_.fields);
        if (!expr)
            return broken("its key expression cannot be read: " + expr.error());
        // A key length that does not fit the expression is a damaged header.
        const bool logical = expr->type() == ValueType::Logical;
        if (logical != (info.keyType == KeyType::Logical) || (logical && info.keyLength != 1) ||
            (expr->type() == ValueType::Character && expr->width() > 0 &&
             expr->width() != info.keyLength))
            return broken("its key length " + std::to_string(info.keyLength) +
                          " does not fit its key expression");
        // Keys this program cannot compute (numbers, FOR conditions,
        // descending order, as other engines may write them) are checked for
        // structure only.
        const bool computable =
            info.forExpression.empty() && !info.descending && expr->type() != ValueType::Numeric;
        auto keyFor = [&](std::uint32_t recno) -> const std::string* {
            const char* bytes = record(recno);
            if (!bytes)
                return nullptr;
            key = keyOf(*expr, info.keyLength, info.keyType, bytes, recno);
            return &key;
        };
        auto entryMatches = [&](const KeyEntry& e) -> Status {
            if (e.recno == 0 || e.recno > total)
                return broken("it holds record " + std::to_string(e.recno) + " but the table has " +
                              std::to_string(total) + " records");
            if (!computable)
                return {};
            const std::string* want = keyFor(e.recno);
            if (!want)
                return fail("Cannot read record " + std::to_string(e.recno) + " of " +
                            baseName(path_));
            if (*want != e.key)
                return broken("record " + std::to_string(e.recno) + " has the key " + shown(e.key) +
                              " where its fields give " + shown(*want));
            return {};
        };

        if (depth == IndexCheck::Full) {
            std::vector<bool> seen(std::size_t(total) + 1, false);
            std::uint32_t count = 0;
            for (auto e = cdx_->first(t); e; e = cdx_->next(t, *e)) {
                if (auto st = entryMatches(*e); !st)
                    return st;
                if (seen[e->recno])
                    return broken("record " + std::to_string(e->recno) + " has two keys");
                seen[e->recno] = true;
                ++count;
            }
            if (auto st = cdx_->status(); !st)
                return st;
            // A FOR condition or a unique tag holds fewer keys by design.
            if (count != total && info.forExpression.empty() && !info.unique)
                return broken("it holds " + std::to_string(count) + " keys for " +
                              std::to_string(total) + " records");
            continue;
        }

        // Sampled: the entries at both ends of the tag must name records of
        // the table with their right keys...
        int n = 0;
        for (auto e = cdx_->first(t); e && n < kEndEntriesSampled; e = cdx_->next(t, *e), ++n)
            if (auto st = entryMatches(*e); !st)
                return st;
        n = 0;
        for (auto e = cdx_->last(t); e && n < kEndEntriesSampled; e = cdx_->prior(t, *e), ++n)
            if (auto st = entryMatches(*e); !st)
                return st;
        if (auto st = cdx_->status(); !st)
            return st;
        // ...and the newest records and a spread of the others must be found
        // under the key computed from them.
        if (!computable || info.unique || !info.forExpression.empty() || total == 0)
            continue;
        std::vector<std::uint32_t> sample;
        for (std::uint32_t i = 0; i < std::min(kNewestSampled, total); ++i)
            sample.push_back(total - i);
        for (std::uint32_t i = 0; i < kSpreadSampled && i < total; ++i)
            sample.push_back(1 + static_cast<std::uint32_t>(std::uint64_t(i) * total /
                                                            std::min(kSpreadSampled, total)));
        for (std::uint32_t recno : sample) {
            const std::string* want = keyFor(recno);
            if (!want)
                return fail("Cannot read record " + std::to_string(recno) + " of " +
                            baseName(path_));
            auto found = cdx_->find(t, *want, recno);
            if (!found || found->recno != recno) {
                if (auto st = cdx_->status(); !st)
                    return st;
                return broken("record " + std::to_string(recno) + " is missing under its key " +
                              shown(*want));
            }
        }
        if (auto st = cdx_->status(); !st)
            return st;
    }
    return {};
}

Status Table::markWriting() {
    if (writeMarked_)
        return {};
    const char mark = 1;
    if (auto st = dbf_.writeAt(kMarkOffset, &mark, 1); !st)
        return st;
    writeMarked_ = true;
    return {};
}

Status Table::clearWritingMark() {
    // With its index refused the table cannot vouch for the index file.
    if (!writeMarked_ || (!cdx_ && (header_.tableFlags & 0x01)))
        return {};
    const char clear = 0;
    if (auto st = dbf_.writeAt(kMarkOffset, &clear, 1); !st)
        return st;
    writeMarked_ = false;
    return {};
}

void Table::checkAfterInterruptedWrite() {
    char mark = 0;
    auto n = dbf_.readAt(kMarkOffset, &mark, 1);
    if (!n || *n != 1 || mark == 0)
        return;
    if (!cdx_)
        return; // no index to distrust, or one already refused
    if (auto st = checkIndex(IndexCheck::Full); !st) {
        // Served as an index that could not be opened: the caller offers the
        // rebuild, which clears the mark when it is flushed.
        indexError_ = "A write to " + baseName(path_) +
                      " was interrupted and its index no longer agrees with it (" + st.error() +
                      ")";
        cdx_.reset();
        tagExprs_.clear();
        writeMarked_ = true; // stays set on disk until the index is rebuilt
        return;
    }
    // The index agrees with every record: the interrupted write did no harm.
    // Only a sole writer may say so; in a shared open another writer may be
    // the one that set the mark.
    if (mode_ == OpenMode::Exclusive) {
        writeMarked_ = true;
        (void)clearWritingMark();
    }
}

} // namespace qp::store
