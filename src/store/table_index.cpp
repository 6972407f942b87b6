// Index tags of a table: the structural index, its builds and upkeep, and
// the scratch index.

#include "store/build_buffer.h"
#include "store/codepage.h"
#include "store/key_sort.h"
#include "store/table.h"
#include "store/table_files.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <optional>
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

namespace {

// One key expression evaluated in a pass over the records; its keys go to
// `keys`, laid out by record number.
struct KeyJob {
    const Expression* expr = nullptr;
    KeyType type = KeyType::Character;
    std::size_t length = 0;
    char* keys = nullptr;
};

// The first byte of each 64-byte stretch a key reads. The expression tells
// which bytes it reads through sameInputs: a record that differs from a
// blank one at a byte it reads is not the same input.
void addTouchedBytes(const Expression& expr, std::size_t recordLength,
                     std::vector<std::size_t>& touched) {
    std::string blank(recordLength, ' '), probe = blank;
    std::size_t last = 0;
    bool any = false;
    for (std::size_t b = 0; b < probe.size(); ++b) {
        probe[b] = 'x';
        if (!expr.sameInputs(blank.data(), probe.data()) && (!any || b >= last + 64)) {
            touched.push_back(b);
            last = b;
            any = true;
        }
        probe[b] = ' ';
    }
}

// One pass over the records, mapped a window at a time so that memory stays
// flat whatever the table's size, computing the keys of every job.
Status computeKeys(const OsFile& dbf, const DbfHeader& header, const EvalSettings& settings,
                   const ProgressHook& progress, const std::string& path,
                   const std::vector<KeyJob>& jobs) {
    const std::uint32_t total = header.recordCount;
    // The bytes the keys read, fetched a few records ahead: a pass over a
    // large table otherwise waits on memory at every record.
    std::vector<std::size_t> touched;
    for (const KeyJob& job : jobs)
        addTouchedBytes(*job.expr, header.recordLength, touched);
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    RecordWindows records(dbf, header.headerLength, header.recordLength, total);
    std::string key;
    int lastPercent = -1;
    const std::uint32_t step = std::max<std::uint32_t>(1, total / 100);
    for (std::uint32_t r = 1; r <= total; ++r) {
        const char* bytes = records.record(r);
        if (!bytes)
            return fail("Cannot read record " + std::to_string(r) + " of " + baseName(path));
        records.prefetch(r + RecordWindows::kAhead, touched);
        for (const KeyJob& job : jobs) {
            char* slot = job.keys + std::size_t(r - 1) * job.length;
            if (job.type == KeyType::Logical) {
                *slot = job.expr->isTrue(RecordView{bytes, r}, settings) ? 'T' : 'F';
            } else {
                job.expr->evaluateText(RecordView{bytes, r}, key, settings);
                const std::size_t n = std::min(key.size(), job.length);
                std::memcpy(slot, key.data(), n);
                std::memset(slot + n, ' ', job.length - n);
            }
        }
        if (progress && (r % step == 0 || r == total)) {
            int percent = static_cast<int>(std::uint64_t(r) * 100 / total);
            if (percent != lastPercent)
                progress(lastPercent = percent);
        }
    }
    return {};
}

// Keys computed ahead for the next tags of a run of builds, several tags in
// one pass over the records; they lie in the table's key buffer.
struct ComputedKey {
    std::string name;
    std::string expression;
    std::size_t length = 0;
    std::size_t offset = 0;
};
struct ComputedKeys {
    const void* table = nullptr;
    std::vector<ComputedKey> tags;
};
thread_local ComputedKeys computed;

} // namespace

Status Table::buildTag(CompactIndex& index, const TagInfo& info, const Expression& expr) {
    const std::uint32_t total = header_.recordCount;
    const auto length = static_cast<std::size_t>(info.keyLength);
    char* keys = nullptr;
    if (computed.table == this)
        for (const ComputedKey& c : computed.tags)
            if (c.name == info.name && c.expression == info.expression && c.length == length)
                keys = buildKeys_.data() + c.offset;
    if (!keys) {
        // The key buffer, laid out by record number, serves every tag of a
        // run of builds.
        computed = {};
        sizeBuildBuffer(buildKeys_, std::size_t(total) * length);
        keys = buildKeys_.data();
        if (auto st = computeKeys(dbf_, header_, settings_, progress_, path_,
                                  {KeyJob{&expr, info.keyType, length, keys}});
            !st)
            return st;
    }
    const std::vector<std::uint32_t>& recnos = sortKeysByRecno(keys, length, total, sortScratch_);
    // The tree gathers the keys into sorted order as it goes, a chunk at a
    // time: moving them all first would take another buffer their size.
    return index.addTagFlat(
        info, FlatKeys{keys, recnos.data(), recnos.size(), true, sortScratch_.repeats.data()});
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
        releaseBuildMemory();
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
    // Consecutive tags whose keys together take no more bytes per record
    // than the longest key of the run have their keys computed in one pass
    // over the records: fewer passes, and memory still that of one tag.
    std::vector<std::optional<Expression>> exprs;
    std::vector<TagInfo> infos;
    std::size_t widest = 0;
    for (const auto& [name, expression] : tags) {
        auto expr = compile(expression);
        if (!expr)
            break; // indexTag reports it when the run gets there
        auto info = describeTag(name, expr->text(), *expr);
        if (!info)
            break;
        widest = std::max(widest, static_cast<std::size_t>(info->keyLength));
        exprs.emplace_back(std::move(*expr));
        infos.push_back(std::move(*info));
    }
    Status result;
    inTagRun_ = true;
    const std::uint32_t total = header_.recordCount;
    std::size_t groupEnd = 0;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (i >= groupEnd && i < infos.size()) {
            std::size_t end = i, bytes = 0;
            while (end < infos.size() &&
                   bytes + static_cast<std::size_t>(infos[end].keyLength) <= widest)
                bytes += static_cast<std::size_t>(infos[end++].keyLength);
            groupEnd = std::max(end, i + 1);
            computed = {};
            if (end - i > 1) {
                sizeBuildBuffer(buildKeys_, std::size_t(total) * bytes);
                std::vector<KeyJob> jobs;
                std::size_t offset = 0;
                for (std::size_t t = i; t < end; ++t) {
                    const auto length = static_cast<std::size_t>(infos[t].keyLength);
                    jobs.push_back(
                        {&*exprs[t], infos[t].keyType, length, buildKeys_.data() + offset});
                    computed.tags.push_back({infos[t].name, infos[t].expression, length, offset});
                    offset += std::size_t(total) * length;
                }
                if (result = computeKeys(dbf_, header_, settings_, progress_, path_, jobs); !result)
                    break;
                computed.table = this;
            }
        }
        if (result = indexTag(tags[i].first, tags[i].second); !result)
            break;
    }
    computed = {};
    inTagRun_ = false;
    releaseBuildMemory();
    return result;
}

void Table::releaseBuildMemory() {
    buildKeys_ = std::string();
    sortScratch_ = KeySortScratch();
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
