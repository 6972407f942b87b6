#include "store/table.h"
#include "store/number_text.h"

#include "store/codepage.h"
#include "store/table_files.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace qp::store {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               // Field names are ASCII: no locale look-up per letter.
               auto up = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
               return up(x) == up(y);
           });
}

std::string_view rtrim(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0'))
        --n;
    return s.substr(0, n);
}

template <class T> T readLE(const char* p) {
    T v{};
    std::memcpy(&v, p, sizeof(T));
    return v;
}

} // namespace

Table::Table() = default;
Table::Table(Table&&) noexcept = default;
Table& Table::operator=(Table&&) noexcept = default;

Table::~Table() {
    if (dbf_.isOpen()) {
        (void)commitPending();
        (void)flush();
    }
}

namespace {

Status writeEmptyTable(OsFile& file, const DbfHeader& header) {
    std::string bytes = serializeDbfHeader(header);
    bytes += kDbfEndOfFile;
    return file.writeAt(0, bytes.data(), bytes.size());
}

Result<DbfHeader> headerFor(const std::vector<FieldSpec>& specs) {
    std::vector<FieldDef> defs;
    for (const auto& s : specs)
        defs.push_back({s.name, s.type, s.length, s.decimals, 0});
    return makeDbfHeader(std::move(defs));
}

} // namespace

Status Table::create(const std::string& path, const std::vector<FieldSpec>& specs) {
    auto header = headerFor(specs);
    if (!header)
        return fail(header.error());
    auto existing = existingFamilyFiles(path);
    if (!existing.empty())
        return fail("File " + existing.front() + " already exists");
    auto file = OsFile::open(path, FileAccess::CreateNew, FileLock::Exclusive);
    if (!file)
        return fail(file.error());
    if (auto st = writeEmptyTable(*file, *header); !st)
        return st;
    if (header->hasMemoField()) {
        auto memo = MemoFile::create(siblingFile(path, ".FPT"));
        if (!memo)
            return fail(memo.error());
    }
    return {};
}

Result<std::string> Table::createOver(const std::string& path,
                                      const std::vector<FieldSpec>& specs) {
    auto header = headerFor(specs);
    if (!header)
        return fail(header.error());
    // The existing table, whatever its letter case, is opened and locked
    // first; only once the lock is held is anything cut.
    std::string target = path;
    for (const auto& member : existingFamilyFiles(path))
        if (member != siblingFile(path, ".CDX") && member != siblingFile(path, ".FPT"))
            target = member;
    auto file = fileExists(target) ? OsFile::open(target, FileAccess::ReadWrite)
                                   : OsFile::open(target, FileAccess::CreateNew);
    if (!file)
        return fail(file.error());
    if (!file->relock(FileLock::Exclusive))
        return fail("File " + target + " is in use by another program");
    if (auto st = file->truncate(0); !st)
        return fail(st.error());
    if (auto st = writeEmptyTable(*file, *header); !st)
        return fail(st.error());
    std::string cdx = siblingFile(target, ".CDX");
    std::error_code ec;
    if (fileExists(cdx))
        std::filesystem::remove(cdx, ec);
    if (ec)
        return fail("Cannot delete " + cdx + ": " + ec.message());
    std::string fpt = siblingFile(target, ".FPT");
    if (header->hasMemoField()) {
        auto memo = MemoFile::create(fpt);
        if (!memo)
            return fail(memo.error());
    } else if (fileExists(fpt)) {
        std::filesystem::remove(fpt, ec);
    }
    return target;
}

Result<Table> Table::open(const std::string& path, OpenMode mode) {
    Table t;
    t.path_ = path;
    t.mode_ = mode;
    auto file = OsFile::open(
        path, mode == OpenMode::ReadOnly ? FileAccess::ReadOnly : FileAccess::ReadWrite,
        mode == OpenMode::Exclusive ? FileLock::Exclusive : FileLock::Shared);
    if (!file)
        return fail(file.error());
    t.dbf_ = std::move(*file);
    if (fileExists(packedTablePath(path))) {
        // A pack or repair was cut short: finish or undo it, then start over.
        if (auto st = t.recoverInterruptedPack(); !st)
            return fail(st.error());
        t.dbf_.close();
        return open(path, mode);
    }
    if (auto st = t.loadHeader(); !st)
        return fail(st.error());

    if (t.header_.hasMemoField()) {
        std::string memoPath = siblingFile(path, ".FPT");
        auto memo = MemoFile::open(memoPath, mode == OpenMode::ReadOnly);
        if (!memo) {
            if (fileExists(memoPath))
                return fail(memo.error());
            if (t.damage_.empty())
                t.damage_ = "Memo file " + baseName(memoPath) + " not found";
        } else {
            t.memo_ = std::move(*memo);
            if (auto st = t.checkMemoPointers(); !st)
                return fail(st.error());
        }
    }
    if (!t.damage_.empty())
        t.writeBlock_ = t.damage_;
    if (auto st = t.openStructuralIndex(); !st)
        t.indexError_ = st.error();
    t.checkAfterInterruptedWrite();
    t.record_.assign(t.header_.recordLength, ' ');
    t.original_ = t.record_;
    t.first();
    return t;
}

Status Table::loadHeader() {
    std::string name = baseName(path_);
    auto size = dbf_.size();
    if (!size)
        return fail(size.error());
    std::string head(32, '\0');
    auto n = dbf_.readAt(0, head.data(), head.size());
    if (!n)
        return fail(n.error());
    head.resize(*n);
    auto length = dbfHeaderLength(head, name);
    if (!length)
        return fail(length.error());
    head.resize(std::min<std::uint64_t>(*length, *size));
    if (auto st = dbf_.readExact(0, head.data(), head.size()); !st)
        return st;
    auto header = parseDbfHeader(head, *size, name);
    if (!header)
        return fail(header.error());
    header_ = std::move(*header);
    storedCount_ = header_.recordCount;
    if (!header_.damage.empty())
        damage_ = header_.damage;

    // The header's count must agree with the records the file holds (a
    // partial record or the end mark may follow them). Either way round, the
    // table is read as far as both agree and is not written.
    std::uint64_t room = (*size - header_.headerLength) / header_.recordLength;
    wholeRecords_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(room, UINT32_MAX));
    if (room != header_.recordCount && damage_.empty())
        damage_ = "File " + name + " is damaged: its header counts " +
                  std::to_string(header_.recordCount) + " records but the file holds " +
                  std::to_string(room);
    header_.recordCount =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(room, header_.recordCount));
    // Every record begins with its deletion mark; anything else there means
    // the records are not where the header says.
    for (std::uint32_t r : {std::uint32_t(1), header_.recordCount}) {
        if (r == 0 || r > header_.recordCount || !damage_.empty())
            continue;
        char mark = 0;
        if (auto st = dbf_.readExact(
                header_.headerLength + std::uint64_t(r - 1) * header_.recordLength, &mark, 1);
            !st)
            return st;
        if (mark != ' ' && mark != '*')
            damage_ = "File " + name + " is damaged: record " + std::to_string(r) +
                      " does not begin with a deletion mark";
    }
    return {};
}

Status Table::checkMemoPointers() {
    if (!memo_)
        return {};
    if (memo_->tailAfterNextFree()) {
        // Blocks past the next free one are harmless when no record points
        // there (a memo write cut short); otherwise the next write would
        // overwrite a memo in use.
        std::uint32_t highest = 0;
        for (std::uint32_t r = 1; r <= header_.recordCount; ++r) {
            const char* bytes = recordBytes(r);
            if (!bytes)
                return fail("Cannot read record " + std::to_string(r) + " of " + baseName(path_));
            for (const auto& f : header_.fields) {
                if (f.type != 'M' && f.type != 'G')
                    continue;
                std::uint32_t block = 0;
                const char* p = bytes + f.offset;
                if (f.length == 4) {
                    std::memcpy(&block, p, 4);
                } else {
                    std::string digits(p, static_cast<std::size_t>(f.length));
                    auto b = digits.find_first_not_of(' ');
                    if (b != std::string::npos)
                        std::from_chars(digits.data() + b, digits.data() + digits.size(), block);
                }
                highest = std::max(highest, block);
            }
        }
        invalidateCache();
        if (highest < memo_->nextFree())
            memo_->acceptUnusedTail();
    }
    if (!memo_->damage().empty() && damage_.empty())
        damage_ = memo_->damage();
    return {};
}

Status Table::writeFixedHeader() {
    header_.lastUpdate = today();
    std::string fixed = serializeDbfFixedPart(header_);
    fixed[14] = writeMarked_ ? 1 : 0; // the write-in-progress mark
    if (auto st = dbf_.writeAt(0, fixed.data(), fixed.size()); !st)
        return st;
    countPending_ = false;
    return {};
}

Status Table::ensureDataWritable() const {
    if (mode_ == OpenMode::ReadOnly)
        return fail("File " + path_ + " is open read-only");
    if (!writeBlock_.empty())
        return fail(writeBlock_);
    return {};
}

Status Table::ensureWritable() const {
    if (auto st = ensureDataWritable(); !st)
        return st;
    // Records written without their index would leave every tag stale.
    if (!indexError_.empty())
        return fail(indexError_ + "\nThe file is read-only until its indexes are rebuilt.");
    return {};
}

std::optional<int> Table::fieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < header_.fields.size(); ++i)
        if (sameName(header_.fields[i].name, name))
            return static_cast<int>(i);
    return std::nullopt;
}

Status Table::copyStructure(const std::string& path) const {
    std::vector<FieldSpec> specs;
    for (const auto& f : header_.fields) {
        if (std::string_view("CNLM").find(f.type) == std::string_view::npos)
            return fail("Field " + f.name + " has a type that cannot be copied");
        specs.push_back({f.name, f.type, f.length, f.decimals});
    }
    return create(path, specs);
}

Result<std::string> Table::copyStructureOver(const std::string& path) const {
    std::vector<FieldSpec> specs;
    for (const auto& f : header_.fields) {
        if (std::string_view("CNLM").find(f.type) == std::string_view::npos)
            return fail("Field " + f.name + " has a type that cannot be copied");
        specs.push_back({f.name, f.type, f.length, f.decimals});
    }
    return createOver(path, specs);
}

void Table::setDeleted(bool hideMarked) {
    hideDeleted_ = hideMarked;
    atFirst_ = false;
}

// ---- reading records -------------------------------------------------------

void Table::invalidateCache() const {
    cacheCount_ = 0;
}

const char* Table::recordBytes(std::uint32_t recno) const {
    if (recno == 0 || recno > header_.recordCount)
        return nullptr;
    if (recno >= cacheFirst_ && recno < cacheFirst_ + cacheCount_)
        return cache_.data() + std::size_t(recno - cacheFirst_) * header_.recordLength;
    // A walk that continues past the cache, either way, reads a large run of
    // whole records; a jump (an index-order walk, a go) reads the one record.
    const std::uint32_t run = std::max<std::uint32_t>(1, 262144 / header_.recordLength);
    const bool forward = cacheCount_ > 0 && recno == cacheFirst_ + cacheCount_;
    const bool backward = cacheCount_ > 0 && recno + 1 == cacheFirst_;
    std::uint32_t want = forward || backward ? run : 1;
    std::uint32_t start = backward ? recno - std::min(recno - 1, want - 1) : recno;
    std::uint32_t count = std::min(want, header_.recordCount - start + 1);
    cache_.resize(std::size_t(count) * header_.recordLength);
    auto n = dbf_.readAt(header_.headerLength + std::uint64_t(start - 1) * header_.recordLength,
                         cache_.data(), cache_.size());
    if (!n || *n < cache_.size()) {
        cacheCount_ = 0;
        return nullptr;
    }
    cacheFirst_ = start;
    cacheCount_ = count;
    return cache_.data() + std::size_t(recno - start) * header_.recordLength;
}

Status Table::readRecord(std::uint32_t recno, std::string& into) const {
    const char* bytes = recordBytes(recno);
    if (!bytes)
        return fail("Cannot read record " + std::to_string(recno) + " of " + baseName(path_));
    into.assign(bytes, header_.recordLength);
    return {};
}

RecordView Table::view() const {
    return {record_.data(), recno_};
}

std::string Table::getRaw(int field) const {
    if (field < 0 || field >= static_cast<int>(header_.fields.size()))
        return {};
    const auto& f = header_.fields[field];
    return record_.substr(f.offset, f.length);
}

std::string Table::getString(int field) const {
    if (field < 0 || field >= static_cast<int>(header_.fields.size()))
        return {};
    const auto& f = header_.fields[field];
    const char* p = record_.data() + f.offset;
    char buffer[64];
    switch (f.type) {
    case 'I':
        if (f.length == 4)
            return std::to_string(readLE<std::int32_t>(p));
        break;
    case 'Y':
        if (f.length == 8) {
            return fixedText(readLE<std::int64_t>(p) / 10000.0, 4);
        }
        break;
    case 'B':
        if (f.length == 8) {
            return fixedText(readLE<double>(p), f.decimals);
        }
        break;
    case 'T':
        if (f.length == 8) {
            auto julian = readLE<std::int32_t>(p);
            auto millis = readLE<std::int32_t>(p + 4);
            if (julian == 0)
                return {};
            // Julian day number to the civil date.
            long a = julian + 32044, b = (4 * a + 3) / 146097, c = a - 146097 * b / 4;
            long d = (4 * c + 3) / 1461, e = c - 1461 * d / 4, m = (5 * e + 2) / 153;
            long day = e - (153 * m + 2) / 5 + 1, month = m + 3 - 12 * (m / 10);
            long year = 100 * b + d - 4800 + m / 10;
            std::snprintf(buffer, sizeof buffer, "%04ld%02ld%02ld%02d%02d%02d", year, month, day,
                          millis / 3600000, millis / 60000 % 60, millis / 1000 % 60);
            return buffer;
        }
        break;
    case 'N':
    case 'F': {
        std::string_view s(p, f.length);
        auto begin = s.find_first_not_of(' ');
        return begin == std::string_view::npos ? std::string()
                                               : std::string(rtrim(s.substr(begin)));
    }
    default:
        break;
    }
    return cp1252ToUtf8(rtrim(std::string_view(p, f.length)));
}

std::string Table::getString(std::string_view field) const {
    auto i = fieldIndex(field);
    return i ? getString(*i) : std::string();
}

std::optional<double> Table::getNumber(std::string_view field) const {
    auto text = getString(field);
    if (text.empty())
        return std::nullopt;
    double value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc())
        return std::nullopt;
    return value;
}

bool Table::getLogical(std::string_view field) const {
    auto i = fieldIndex(field);
    if (!i)
        return false;
    char c = record_[header_.fields[*i].offset];
    return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

Result<std::string> Table::getMemo(std::string_view field) const {
    auto i = fieldIndex(field);
    if (!i)
        return fail("Unknown field " + std::string(field));
    const auto& f = header_.fields[*i];
    if (f.type != 'M' && f.type != 'G')
        return fail("Field " + f.name + " is not a memo");
    for (const auto& [index, text] : pendingMemos_)
        if (index == *i)
            return cp1252ToUtf8(text);
    if (!memo_)
        return std::string();
    std::uint32_t block = 0;
    const char* p = record_.data() + f.offset;
    if (f.length == 4) {
        block = readLE<std::uint32_t>(p);
    } else {
        std::string digits = std::string(p, f.length);
        auto begin = digits.find_first_not_of(' ');
        if (begin != std::string::npos) {
            auto [ptr, ec] =
                std::from_chars(digits.data() + begin, digits.data() + digits.size(), block);
            if (ec != std::errc() && ptr == digits.data() + begin)
                return fail("Memo pointer of record " + std::to_string(recno_) + " is damaged");
        }
    }
    auto text = memo_->read(block);
    if (!text)
        return fail(text.error());
    return cp1252ToUtf8(*text);
}

bool Table::deleted() const {
    return !record_.empty() && record_[0] == '*';
}

// ---- expressions ----------------------------------------------------------

Result<Expression> Table::compile(std::string_view expression) const {
    auto bytes = utf8ToCp1252Exact(expression);
    if (!bytes)
        return fail("The expression has characters that a table cannot hold");
    return Expression::parse(*bytes, header_.fields);
}

Result<Value> Table::evaluate(std::string_view expression) const {
    auto expr = compile(expression);
    if (!expr)
        return fail(expr.error());
    Value v = expr->evaluate(view(), settings_);
    if (v.type == ValueType::Character)
        v.text = cp1252ToUtf8(v.text);
    return v;
}

Result<bool> Table::evalLogical(std::string_view expression) const {
    auto expr = compile(expression);
    if (!expr)
        return fail(expr.error());
    if (expr->type() != ValueType::Logical)
        return fail("The expression is not a logical expression");
    return expr->isTrue(view(), settings_);
}

Status Table::flush() {
    if (!dbf_.isOpen() || mode_ == OpenMode::ReadOnly)
        return {};
    if (auto st = dbf_.writeGathered(); !st)
        return keepWrittenRecords(st);
    if (cdx_)
        if (auto st = cdx_->flush(); !st)
            return st;
    if (scratch_)
        if (auto st = scratch_->flush(); !st)
            return st;
    if (countPending_)
        if (auto st = writeFixedHeader(); !st)
            return st;
    return clearWritingMark();
}

Status Table::deferRecordCount(bool on) {
    deferCount_ = on;
    if (!dbf_.isOpen() || mode_ == OpenMode::ReadOnly)
        return {};
    if (auto st = dbf_.gatherWrites(on && mode_ == OpenMode::Exclusive); !st)
        return keepWrittenRecords(st);
    if (!on && countPending_)
        return writeFixedHeader();
    return {};
}

// Gathered appends failed to reach the file: the header is to count only
// the records the file holds whole, and the file ends after them.
Status Table::keepWrittenRecords(const Status& failure) {
    const std::optional<std::uint64_t> written = dbf_.dropGathered();
    invalidateCache();
    if (!written)
        return failure;
    const std::uint64_t whole = *written <= header_.headerLength
                                    ? 0
                                    : (*written - header_.headerLength) / header_.recordLength;
    if (whole >= header_.recordCount)
        return failure;
    const auto lost = header_.recordCount - static_cast<std::uint32_t>(whole);
    header_.recordCount = static_cast<std::uint32_t>(whole);
    countPending_ = true;
    const std::uint64_t end = header_.headerLength + whole * header_.recordLength;
    const char eofMark = kDbfEndOfFile;
    Status st = dbf_.truncate(end);
    if (st)
        st = dbf_.writeAt(end, &eofMark, 1);
    if (st)
        st = dbf_.writeGathered();
    if (st)
        st = writeFixedHeader();
    // A record being added takes the place after the kept ones, so that a
    // retry leaves no gap; any other position past them is gone.
    if (appending_)
        recno_ = header_.recordCount + 1;
    else if (recno_ > header_.recordCount)
        first();
    std::string message = failure.error() + "\nThe last " + std::to_string(lost) +
                          (lost == 1 ? " record" : " records") + " added did not reach the file.";
    if (!st)
        message += "\n" + st.error();
    return fail(message);
}

} // namespace qp::store
