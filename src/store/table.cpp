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
               return std::toupper(x) == std::toupper(y);
           });
}

std::string rtrim(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.pop_back();
    return s;
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

Status Table::create(const std::string& path, const std::vector<FieldSpec>& specs) {
    std::vector<FieldDef> defs;
    for (const auto& s : specs)
        defs.push_back({s.name, s.type, s.length, s.decimals, 0});
    auto header = makeDbfHeader(std::move(defs));
    if (!header)
        return fail(header.error());
    auto file = OsFile::open(path, FileAccess::Truncate, FileLock::Exclusive);
    if (!file)
        return fail(file.error());
    std::string bytes = serializeDbfHeader(*header);
    bytes += kDbfEndOfFile;
    if (auto st = file->writeAt(0, bytes.data(), bytes.size()); !st)
        return st;
    if (header->hasMemoField()) {
        auto memo = MemoFile::create(siblingFile(path, ".FPT"));
        if (!memo)
            return fail(memo.error());
    }
    return {};
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
    if (auto st = t.loadHeader(); !st)
        return fail(st.error());

    if (t.header_.hasMemoField()) {
        std::string memoPath = siblingFile(path, ".FPT");
        auto memo = MemoFile::open(memoPath, mode == OpenMode::ReadOnly);
        if (!memo)
            return fail(memo.error());
        t.memo_ = std::move(*memo);
    }
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
    if (header_.isVisualFoxPro() && header_.headerLength < 32 + 32 * header_.fields.size() + 1)
        return fail("File " + name + " is damaged: the header is too short");

    // Records the file does not hold are not read; such a table is not written.
    std::uint64_t room = (*size - header_.headerLength) / header_.recordLength;
    if (room < header_.recordCount) {
        writeBlock_ = "File " + name + " is damaged: its header counts " +
                      std::to_string(header_.recordCount) + " records but the file holds " +
                      std::to_string(room);
        header_.recordCount = static_cast<std::uint32_t>(room);
    }
    return {};
}

Status Table::writeFixedHeader() {
    header_.lastUpdate = today();
    std::string fixed = serializeDbfFixedPart(header_);
    fixed[14] = writeMarked_ ? 1 : 0; // the write-in-progress mark
    return dbf_.writeAt(0, fixed.data(), fixed.size());
}

Status Table::ensureWritable() const {
    if (mode_ == OpenMode::ReadOnly)
        return fail("File " + path_ + " is open read-only");
    if (!writeBlock_.empty())
        return fail(writeBlock_);
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

void Table::setDeleted(bool hideMarked) {
    hideDeleted_ = hideMarked;
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
    // A walk that continues past the cache reads a large run; a jump reads few.
    bool sequential = cacheCount_ > 0 && recno == cacheFirst_ + cacheCount_;
    std::uint32_t want = sequential ? std::max<std::uint32_t>(1, 262144 / header_.recordLength)
                                    : std::max<std::uint32_t>(1, 4096 / header_.recordLength);
    std::uint32_t start = sequential ? recno : recno - std::min(recno - 1, want / 2);
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
        std::string s(p, f.length);
        auto begin = s.find_first_not_of(' ');
        return begin == std::string::npos ? std::string() : rtrim(s.substr(begin));
    }
    default:
        break;
    }
    return cp1252ToUtf8(rtrim(std::string(p, f.length)));
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
    if (cdx_)
        if (auto st = cdx_->flush(); !st)
            return st;
    if (scratch_)
        if (auto st = scratch_->flush(); !st)
            return st;
    return clearWritingMark();
}

} // namespace qp::store
