// Changing records: append, replace, post, deletion marks, pack and zap.

#include "store/codepage.h"
#include "store/number_text.h"
#include "store/table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace qp::store {

namespace {

std::string memoPointer(std::uint32_t block, int width) {
    if (width == 4) {
        std::string p(4, '\0');
        std::memcpy(p.data(), &block, 4);
        return p;
    }
    if (block == 0)
        return std::string(static_cast<std::size_t>(width), ' ');
    std::string digits = std::to_string(block);
    return std::string(static_cast<std::size_t>(width) - digits.size(), ' ') + digits;
}

std::uint32_t memoBlock(const char* p, int width) {
    if (width == 4) {
        std::uint32_t v = 0;
        std::memcpy(&v, p, 4);
        return v;
    }
    std::uint32_t block = 0;
    const char* end = p + width;
    while (p < end && *p == ' ')
        ++p;
    std::from_chars(p, end, block);
    return block;
}

} // namespace

Status Table::append() {
    if (auto st = commitPending(); !st)
        return st;
    if (auto st = ensureWritable(); !st)
        return st;
    recnoBeforeAppend_ = eof_ ? 0 : recno_;
    record_.assign(header_.recordLength, ' ');
    for (const auto& f : header_.fields)
        if (f.type == 'L')
            record_[static_cast<std::size_t>(f.offset)] = 'F';
    original_ = record_;
    recno_ = header_.recordCount + 1;
    position_.reset();
    appending_ = dirty_ = true;
    eof_ = bof_ = false;
    return {};
}

Status Table::ensureChangeable() const {
    if (auto st = ensureWritable(); !st)
        return st;
    if (eof_ && !appending_)
        return fail("There is no current record to change");
    return {};
}

Status Table::replace(std::string_view field, std::string_view utf8) {
    if (auto st = ensureChangeable(); !st)
        return st;
    auto i = fieldIndex(field);
    if (!i)
        return fail("Unknown field " + std::string(field));
    return replaceAt(*i, utf8);
}

Status Table::replace(int field, std::string_view utf8) {
    if (auto st = ensureChangeable(); !st)
        return st;
    if (field < 0 || static_cast<std::size_t>(field) >= header_.fields.size())
        return fail("Unknown field number " + std::to_string(field));
    return replaceAt(field, utf8);
}

Status Table::replaceAt(int field, std::string_view utf8) {
    const FieldDef& f = header_.fields[static_cast<std::size_t>(field)];
    auto bytes = utf8ToCp1252Exact(utf8);
    if (!bytes)
        return fail("The value for " + f.name +
                    " has characters that cannot be stored in this table (Windows-1252)");
    std::string value;
    switch (f.type) {
    case 'C': {
        // Straight into the record buffer, cut or blank padded to the width.
        const auto width = static_cast<std::size_t>(f.length);
        const std::size_t n = std::min(bytes->size(), width);
        char* at = record_.data() + f.offset;
        std::memcpy(at, bytes->data(), n);
        std::memset(at + n, ' ', width - n);
        dirty_ = true;
        return {};
    }
    case 'N': {
        std::string text = *bytes;
        auto b = text.find_first_not_of(' ');
        auto e = text.find_last_not_of(' ');
        if (b == std::string::npos) {
            value.assign(static_cast<std::size_t>(f.length), ' ');
            break;
        }
        text = text.substr(b, e - b + 1);
        double number = 0;
        auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (ec != std::errc() || ptr != text.data() + text.size())
            return fail("\"" + std::string(utf8) + "\" is not a number for field " + f.name);
        return replaceNumber(f.name, number);
    }
    case 'L': {
        char c = bytes->empty() ? ' ' : (*bytes)[0];
        if (std::string_view("TtYy").find(c) != std::string_view::npos)
            value = "T";
        else if (std::string_view("FfNn ").find(c) != std::string_view::npos)
            value = "F";
        else
            return fail("\"" + std::string(utf8) + "\" is not a logical value for field " + f.name);
        break;
    }
    case 'M':
    case 'G': {
        if (!memo_)
            return fail("The table has no memo file");
        for (auto& pending : pendingMemos_)
            if (pending.first == field) {
                pending.second = *bytes;
                dirty_ = true;
                return {};
            }
        pendingMemos_.emplace_back(field, *bytes);
        dirty_ = true;
        return {};
    }
    default:
        return fail("Field " + f.name + " of type " + std::string(1, f.type) +
                    " cannot be changed by this program");
    }
    record_.replace(static_cast<std::size_t>(f.offset), value.size(), value);
    dirty_ = true;
    return {};
}

Status Table::replaceLogical(std::string_view field, bool value) {
    return replace(field, value ? "T" : "F");
}

Status Table::replaceNumber(std::string_view field, double number) {
    if (auto st = ensureChangeable(); !st)
        return st;
    auto i = fieldIndex(field);
    if (!i)
        return fail("Unknown field " + std::string(field));
    const FieldDef& f = header_.fields[static_cast<std::size_t>(*i)];
    if (f.type != 'N')
        return fail("Field " + f.name + " is not numeric");
    std::string text = fixedText(number, f.decimals);
    if (text.size() > static_cast<std::size_t>(f.length))
        return fail("The number does not fit field " + f.name);
    text.insert(0, static_cast<std::size_t>(f.length) - text.size(), ' ');
    record_.replace(static_cast<std::size_t>(f.offset), text.size(), text);
    dirty_ = true;
    return {};
}

Status Table::post() {
    return writeCurrent();
}

Status Table::commitPending() {
    return dirty_ ? writeCurrent() : Status{};
}

void Table::discard() {
    pendingMemos_.clear();
    dirty_ = false;
    if (appending_) {
        appending_ = false;
        if (recnoBeforeAppend_ == 0 || !go(recnoBeforeAppend_))
            first();
        return;
    }
    record_ = original_;
}

Status Table::writeCurrent() {
    if (!dirty_)
        return {};
    if (auto st = ensureWritable(); !st)
        return st;
    // An index already found damaged takes no more keys: refuse before the
    // record is written rather than leave it out of the index.
    if (cdx_)
        if (auto st = cdx_->status(); !st)
            return fail(st.error() + "\nNothing was written: rebuild the indexes first.");
    if (auto st = markWriting(); !st)
        return st;
    for (const auto& [index, text] : pendingMemos_) {
        const FieldDef& f = header_.fields[static_cast<std::size_t>(index)];
        std::uint32_t old = memoBlock(original_.data() + f.offset, f.length);
        auto block = memo_->write(text, old);
        if (!block)
            return fail(block.error());
        std::string pointer = memoPointer(*block, f.length);
        record_.replace(static_cast<std::size_t>(f.offset), pointer.size(), pointer);
    }
    pendingMemos_.clear();

    std::uint64_t at = header_.headerLength + std::uint64_t(recno_ - 1) * header_.recordLength;
    if (appending_) {
        // Record and end mark first, the count after: a crash in between
        // leaves a header that does not count the half-written record. A
        // sole writer in a run of appends counts them once, at flush.
        std::string bytes = record_ + kDbfEndOfFile;
        if (auto st = dbf_.writeAt(at, bytes.data(), bytes.size()); !st)
            return keepWrittenRecords(st);
        header_.recordCount = recno_;
        countPending_ = true;
        if (!deferCount_ || mode_ != OpenMode::Exclusive)
            if (auto st = writeFixedHeader(); !st)
                return st;
    } else {
        if (auto st = dbf_.writeAt(at, record_.data(), record_.size()); !st)
            return st;
    }
    // The read cache keeps serving a walk that writes as it goes.
    if (recno_ >= cacheFirst_ && recno_ < cacheFirst_ + cacheCount_)
        std::memcpy(cache_.data() + std::size_t(recno_ - cacheFirst_) * header_.recordLength,
                    record_.data(), record_.size());
    bool isNew = appending_;
    appending_ = dirty_ = false;
    if (auto st = updateKeys(original_, record_, isNew); !st) {
        // The index could not take the keys (damage found on the way): the
        // record goes back to what it was, so that a retry once the index is
        // rebuilt neither duplicates nor loses it, and the table takes no
        // more writes until then.
        indexError_ = st.error();
        if (auto undone = undoWrite(isNew); !undone)
            return fail(st.error() + "\n" + undone.error());
        return fail(st.error() + "\nNothing was written: rebuild the indexes first.");
    }
    placeAfterWrite();
    return {};
}

// The record just written is the current one: its bytes are in record_, so
// it is placed in the current order without reading it back.
void Table::placeAfterWrite() {
    atFirst_ = false;
    original_ = record_;
    eof_ = bof_ = false;
    position_.reset();
    int tag = 0;
    if (CompactIndex* index = orderIndex(order_, tag)) {
        const TagInfo& info = index->tag(tag);
        const Expression& expr =
            index == &*cdx_ ? tagExprs_[static_cast<std::size_t>(tag)] : *scratchExpr_;
        position_ =
            KeyEntry{keyOf(expr, info.keyLength, info.keyType, record_.data(), recno_), recno_};
    }
}

Status Table::undoWrite(bool wasNew) {
    invalidateCache();
    if (wasNew) {
        std::uint64_t end = header_.headerLength + std::uint64_t(recno_ - 1) * header_.recordLength;
        char eofMark = kDbfEndOfFile;
        header_.recordCount = recno_ - 1;
        if (auto st = writeFixedHeader(); !st)
            return st;
        if (auto st = dbf_.writeAt(end, &eofMark, 1); !st)
            return st;
        if (auto st = dbf_.truncate(end + 1); !st)
            return st;
        recno_ = recnoBeforeAppend_;
        if (recno_ == 0 || !go(recno_))
            first();
        return {};
    }
    std::uint64_t at = header_.headerLength + std::uint64_t(recno_ - 1) * header_.recordLength;
    if (auto st = dbf_.writeAt(at, original_.data(), original_.size()); !st)
        return st;
    record_ = original_;
    return {};
}

Status Table::setDeletionMark(char mark) {
    if (eof_ && !appending_)
        return fail("There is no current record to change");
    if (auto st = ensureWritable(); !st)
        return st;
    record_[0] = mark;
    dirty_ = true;
    return writeCurrent();
}

Status Table::deleteRecord() {
    return setDeletionMark('*');
}

Status Table::recall() {
    return setDeletionMark(' ');
}

Status Table::zap() {
    if (auto st = ensureWritable(); !st)
        return st;
    if (auto st = markWriting(); !st)
        return st;
    pendingMemos_.clear();
    dirty_ = appending_ = false;
    char eofMark = kDbfEndOfFile;
    if (auto st = dbf_.truncate(header_.headerLength); !st)
        return st;
    if (auto st = dbf_.writeAt(header_.headerLength, &eofMark, 1); !st)
        return st;
    header_.recordCount = 0;
    if (auto st = writeFixedHeader(); !st)
        return st;
    invalidateCache();
    if (memo_)
        if (auto st = memo_->reset(); !st)
            return st;
    if (cdx_)
        for (int t = 0; t < cdx_->tagCount(); ++t)
            if (auto st = cdx_->clearTag(t); !st)
                return st;
    if (scratch_)
        if (auto st = scratch_->clearTag(0); !st)
            return st;
    setEof();
    bof_ = true;
    return {};
}

} // namespace qp::store
