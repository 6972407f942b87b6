// Index tags of a table: the structural index, its builds and upkeep, and
// the scratch index.

#include "store/codepage.h"
#include "store/table.h"
#include "store/table_files.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace qp::store {

namespace {
constexpr int kMaxKeyLength = 240;

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}
} // namespace

std::string Table::keyOf(const Expression& expr, int keyLength, KeyType type, const char* bytes,
                         std::uint32_t recno) const {
    Value v = expr.evaluate(RecordView{bytes, recno}, settings_);
    if (type == KeyType::Logical)
        return v.logical ? "T" : "F";
    std::string key = std::move(v.text);
    key.resize(static_cast<std::size_t>(keyLength), ' ');
    return key;
}

Status Table::openStructuralIndex() {
    std::string cdxPath = siblingFile(path_, ".CDX");
    if (!fileExists(cdxPath)) {
        if (header_.tableFlags & 0x01)
            return fail("Index file " + baseName(cdxPath) + " not found");
        return {};
    }
    auto index = CompactIndex::open(cdxPath, IndexKind::Compound, mode_ == OpenMode::ReadOnly);
    if (!index)
        return fail(index.error());
    std::vector<Expression> exprs;
    for (int t = 0; t < index->tagCount(); ++t) {
        const TagInfo& info = index->tag(t);
        auto expr = Expression::parse(info.expression, header_.fields);
        // The file stores no key type: it is the type of the key expression.
        bool typed = false;
        if (expr && expr->type() == ValueType::Logical)
            typed = index->setKeyType(t, KeyType::Logical).ok();
        else if (expr && expr->type() == ValueType::Character)
            typed = index->setKeyType(t, KeyType::Character).ok();
        if (!expr || !typed || !info.forExpression.empty() || info.descending) {
            // Keys we cannot compute cannot be kept up to date: read only.
            writeBlock_ = "Index tag " + info.name + " of " + baseName(cdxPath) +
                          " cannot be kept up to date by this program" +
                          (expr ? std::string() : ": " + expr.error());
            if (!expr)
                expr = Expression::parse(".F.", header_.fields);
        }
        exprs.push_back(std::move(*expr));
    }
    cdx_ = std::move(*index);
    tagExprs_ = std::move(exprs);
    return {};
}

Status Table::buildTag(CompactIndex& index, const TagInfo& info, const Expression& expr) {
    const std::uint32_t total = header_.recordCount;
    const auto length = static_cast<std::size_t>(info.keyLength);
    // One pass over the records, mapped a window at a time so that memory
    // stays flat whatever the table's size. The key buffer, laid out by
    // record number, serves every tag of a run of builds.
    RecordWindows records(dbf_, header_.headerLength, header_.recordLength, total);
    buildKeys_.resize(std::size_t(total) * length);
    char* keys = buildKeys_.data();
    std::string key;
    int lastPercent = -1;
    const std::uint32_t step = std::max<std::uint32_t>(1, total / 100);
    for (std::uint32_t r = 1; r <= total; ++r) {
        const char* bytes = records.record(r);
        if (!bytes)
            return fail("Cannot read record " + std::to_string(r) + " of " + baseName(path_));
        char* slot = keys + std::size_t(r - 1) * length;
        if (info.keyType == KeyType::Logical) {
            *slot = expr.isTrue(RecordView{bytes, r}, settings_) ? 'T' : 'F';
        } else {
            expr.evaluateText(RecordView{bytes, r}, key, settings_);
            const std::size_t n = std::min(key.size(), length);
            std::memcpy(slot, key.data(), n);
            std::memset(slot + n, ' ', length - n);
        }
        if (progress_ && (r % step == 0 || r == total)) {
            int percent = static_cast<int>(std::uint64_t(r) * 100 / total);
            if (percent != lastPercent)
                progress_(lastPercent = percent);
        }
    }
    // Sort on the first eight key bytes as a number, the rest only on ties;
    // equal keys keep record order.
    struct Slot {
        std::uint64_t prefix;
        std::uint32_t recno;
    };
    std::vector<Slot> order(total);
    for (std::uint32_t i = 0; i < total; ++i) {
        const auto* k = reinterpret_cast<const unsigned char*>(keys + std::size_t(i) * length);
        std::uint64_t prefix = 0;
        for (std::size_t b = 0; b < 8; ++b)
            prefix = (prefix << 8) | (b < length ? k[b] : 0u);
        order[i] = {prefix, i + 1};
    }
    // Numbers first; then runs that share the prefix are ordered on the rest
    // of the key, unless the whole run holds one key (blank fields mostly).
    std::sort(order.begin(), order.end(), [](const Slot& a, const Slot& b) {
        return a.prefix < b.prefix || (a.prefix == b.prefix && a.recno < b.recno);
    });
    if (length > 8) {
        const std::size_t rest = length - 8;
        auto tail = [&](const Slot& slot) {
            return keys + std::size_t(slot.recno - 1) * length + 8;
        };
        for (std::size_t begin = 0; begin < order.size();) {
            std::size_t end = begin + 1;
            bool same = true;
            while (end < order.size() && order[end].prefix == order[begin].prefix) {
                same = same && std::memcmp(tail(order[end]), tail(order[begin]), rest) == 0;
                ++end;
            }
            if (!same)
                std::sort(order.begin() + std::ptrdiff_t(begin),
                          order.begin() + std::ptrdiff_t(end), [&](const Slot& a, const Slot& b) {
                              int c = std::memcmp(tail(a), tail(b), rest);
                              return c < 0 || (c == 0 && a.recno < b.recno);
                          });
            begin = end;
        }
    }
    std::vector<std::uint32_t> recnos(total);
    for (std::uint32_t i = 0; i < total; ++i)
        recnos[i] = order[i].recno;
    order = std::vector<Slot>();
    // The keys put in sorted order in place, one cycle of the permutation at
    // a time: the tree is then built from keys read in sequence, with no
    // second key buffer.
    std::vector<bool> placed(total);
    std::string held(length, ' ');
    for (std::uint32_t i = 0; i < total; ++i) {
        if (placed[i] || recnos[i] == i + 1)
            continue;
        std::memcpy(held.data(), keys + std::size_t(i) * length, length);
        std::uint32_t j = i;
        for (;;) {
            placed[j] = true;
            const std::uint32_t from = recnos[j] - 1;
            if (from == i) {
                std::memcpy(keys + std::size_t(j) * length, held.data(), length);
                break;
            }
            std::memcpy(keys + std::size_t(j) * length, keys + std::size_t(from) * length, length);
            j = from;
        }
    }
    return index.addTagFlat(info, FlatKeys{keys, recnos.data(), recnos.size()});
}

namespace {
Result<TagInfo> describeTag(const std::string& name, const std::string& expressionBytes,
                            const Expression& expr) {
    TagInfo info;
    info.name = upper(name);
    info.expression = expressionBytes;
    if (info.name.empty() || info.name.size() > 10)
        return fail("Tag name \"" + name + "\" must have 1 to 10 characters");
    switch (expr.type()) {
    case ValueType::Logical:
        info.keyType = KeyType::Logical;
        info.keyLength = 1;
        break;
    case ValueType::Character:
        info.keyType = KeyType::Character;
        info.keyLength = expr.width();
        if (info.keyLength <= 0)
            return fail("Index key " + expressionBytes + " has no fixed length");
        if (info.keyLength > kMaxKeyLength)
            return fail("Index key " + expressionBytes + " is longer than " +
                        std::to_string(kMaxKeyLength) + " characters");
        break;
    default:
        return fail("Index key " + expressionBytes + " must be character or logical");
    }
    return info;
}
} // namespace

Status Table::indexTag(const std::string& tagName, const std::string& expression) {
    atFirst_ = false;
    if (auto st = commitPending(); !st)
        return st;
    // With its index file gone, a table may build a new one; a file that is
    // there but could not be opened is rebuilt whole, never added to.
    if (!indexError_.empty() && !cdx_ && !fileExists(siblingFile(path_, ".CDX")))
        indexError_.clear();
    if (auto st = ensureWritable(); !st)
        return st;
    auto expr = compile(expression);
    if (!expr)
        return fail(expr.error());
    auto info = describeTag(tagName, expr->text(), *expr);
    if (!info)
        return fail(info.error());
    if (auto st = markWriting(); !st)
        return st;
    if (!cdx_) {
        auto created = CompactIndex::createCompound(siblingFile(path_, ".CDX"));
        if (!created)
            return fail(created.error());
        cdx_ = std::move(*created);
        tagExprs_.clear();
        indexError_.clear();
        header_.tableFlags |= 0x01;
        if (auto st = writeFixedHeader(); !st)
            return st;
    }
    if (cdx_->findTag(info->name))
        return fail("Tag " + info->name + " already exists");
    auto built = buildTag(*cdx_, *info, *expr);
    if (!inTagRun_)
        buildKeys_ = std::string();
    if (!built)
        return built;
    tagExprs_.push_back(std::move(*expr));
    // The scratch order number follows the structural tags.
    if (scratch_ && order_ == cdx_->tagCount())
        order_ += 1;
    return {};
}

Status Table::indexTags(const std::vector<std::pair<std::string, std::string>>& tags) {
    if (auto st = commitPending(); !st)
        return st;
    Status result;
    inTagRun_ = true;
    for (const auto& [name, expression] : tags)
        if (result = indexTag(name, expression); !result)
            break;
    inTagRun_ = false;
    buildKeys_ = std::string();
    return result;
}

Status Table::deleteStructuralIndex() {
    atFirst_ = false;
    if (auto st = commitPending(); !st)
        return st;
    if (auto st = ensureDataWritable(); !st)
        return st;
    int structural = cdx_ ? cdx_->tagCount() : 0;
    std::string cdxPath = cdx_ ? cdx_->path() : siblingFile(path_, ".CDX");
    cdx_.reset();
    tagExprs_.clear();
    indexError_.clear();
    if (order_ > structural)
        order_ -= structural;
    else
        order_ = 0;
    std::error_code ec;
    std::filesystem::remove(cdxPath, ec);
    if (ec)
        return fail("Cannot delete " + cdxPath + ": " + ec.message());
    header_.tableFlags &= static_cast<std::uint8_t>(~0x01);
    return writeFixedHeader();
}

Status Table::reindex() {
    if (!cdx_)
        return {};
    std::vector<TagInfo> tags;
    for (int t = 0; t < cdx_->tagCount(); ++t)
        tags.push_back(cdx_->tag(t));
    int order = order_;
    if (auto st = deleteStructuralIndex(); !st)
        return st;
    std::vector<std::pair<std::string, std::string>> definitions;
    for (const auto& info : tags)
        definitions.emplace_back(info.name, cp1252ToUtf8(info.expression));
    if (auto st = indexTags(definitions); !st)
        return st;
    order_ = order;
    return {};
}

Status Table::updateKeys(const std::string& before, const std::string& after, bool isNew) {
    auto update = [&](CompactIndex& index, int tag, const Expression& expr) -> Status {
        // A key reads only its fields and the deletion mark: when none of
        // those bytes changed, neither did the key.
        if (!isNew && before.size() == after.size() && expr.sameInputs(before.data(), after.data()))
            return {};
        const TagInfo& info = index.tag(tag);
        std::string key = keyOf(expr, info.keyLength, info.keyType, after.data(), recno_);
        if (isNew)
            return index.insert(tag, key, recno_);
        std::string old = keyOf(expr, info.keyLength, info.keyType, before.data(), recno_);
        if (old == key)
            return {};
        if (auto st = index.remove(tag, old, recno_); !st)
            return st;
        return index.insert(tag, key, recno_);
    };
    if (cdx_)
        for (int t = 0; t < cdx_->tagCount(); ++t)
            if (auto st = update(*cdx_, t, tagExprs_[static_cast<std::size_t>(t)]); !st)
                return st;
    if (scratch_ && !isNew) {
        // The scratch index holds only the records added to it.
        const TagInfo& info = scratch_->tag(0);
        std::string old = keyOf(*scratchExpr_, info.keyLength, info.keyType, before.data(), recno_);
        auto entry = scratch_->find(0, old, recno_);
        if (entry && entry->key == old && entry->recno == recno_)
            if (auto st = update(*scratch_, 0, *scratchExpr_); !st)
                return st;
    }
    return {};
}

Status Table::createScratchIndex(const std::string& path, const std::string& expression) {
    atFirst_ = false;
    if (auto st = commitPending(); !st)
        return st;
    auto expr = compile(expression);
    if (!expr)
        return fail(expr.error());
    std::string stem = std::filesystem::path(path).stem().string().substr(0, 10);
    auto info = describeTag(stem.empty() ? "SCRATCH" : stem, expr->text(), *expr);
    if (!info)
        return fail(info.error());
    closeScratchIndex();
    auto index = CompactIndex::createSingle(path, *info);
    if (!index)
        return fail(index.error());
    scratch_ = std::move(*index);
    scratchExpr_ = std::move(*expr);
    return {};
}

Status Table::keyAdd() {
    atFirst_ = false;
    if (!scratch_)
        return fail("There is no scratch index");
    if (eof_)
        return fail("There is no current record to add");
    if (auto st = commitPending(); !st)
        return st;
    const TagInfo& info = scratch_->tag(0);
    return scratch_->insert(
        0, keyOf(*scratchExpr_, info.keyLength, info.keyType, record_.data(), recno_), recno_);
}

Status Table::keyAddRecords(const std::vector<std::uint32_t>& recnos) {
    atFirst_ = false;
    if (!scratch_)
        return fail("There is no scratch index");
    if (auto st = commitPending(); !st)
        return st;
    const TagInfo& info = scratch_->tag(0);
    const auto length = static_cast<std::size_t>(info.keyLength);
    std::vector<std::uint32_t> sorted(recnos);
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::string keys(sorted.size() * length, ' ');
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const char* bytes = recordBytes(sorted[i]);
        if (!bytes)
            return fail("Cannot read record " + std::to_string(sorted[i]) + " of " +
                        baseName(path_));
        std::string key = keyOf(*scratchExpr_, info.keyLength, info.keyType, bytes, sorted[i]);
        std::memcpy(keys.data() + i * length, key.data(), length);
    }
    // (key, record number) order; the record numbers are ascending already.
    std::vector<std::uint32_t> order(sorted.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<std::uint32_t>(i);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return std::memcmp(keys.data() + a * length, keys.data() + b * length, length) < 0;
    });
    std::string sortedKeys(keys.size(), ' ');
    std::vector<std::uint32_t> sortedRecnos(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        std::memcpy(sortedKeys.data() + i * length, keys.data() + order[i] * length, length);
        sortedRecnos[i] = sorted[order[i]];
    }
    if (!scratch_->first(0)) {
        if (auto st = scratch_->status(); !st)
            return st;
        return scratch_->fillEmptyTag(
            0, FlatKeys{sortedKeys.data(), sortedRecnos.data(), sortedRecnos.size()});
    }
    for (std::size_t i = 0; i < sortedRecnos.size(); ++i)
        if (auto st = scratch_->insert(0, std::string_view(sortedKeys.data() + i * length, length),
                                       sortedRecnos[i]);
            !st)
            return st;
    return {};
}

void Table::closeScratchIndex() {
    atFirst_ = false;
    int structural = cdx_ ? cdx_->tagCount() : 0;
    if (scratch_ && order_ == structural + 1)
        order_ = 0;
    if (scratch_)
        (void)scratch_->flush();
    scratch_.reset();
    scratchExpr_.reset();
}

} // namespace qp::store
