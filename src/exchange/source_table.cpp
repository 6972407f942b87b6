#include "exchange/source_table.h"

#include "exchange/address_labels.h"
#include "store/table_files.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>

namespace qp::exchange {

namespace {

constexpr std::size_t kFixedHeader = 32;
constexpr std::size_t kDescriptor = 32;
constexpr std::size_t kChunkBytes = 1 << 20;
constexpr std::size_t kLongestMemo = 16u << 20; // a dBase III memo runs to its end mark
constexpr std::size_t kMemoPiece = 4096;

std::uint32_t le16(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8;
}
std::uint32_t le32(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
           std::uint32_t(b[3]) << 24;
}
std::uint32_t be32(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 |
           std::uint32_t(b[3]);
}

bool isVisualFoxPro(std::uint8_t v) {
    return v == 0x30 || v == 0x31 || v == 0x32;
}
bool isFoxPro(std::uint8_t v) {
    return isVisualFoxPro(v) || v == 0xF5 || v == 0xFB;
}
bool isDbase4(std::uint8_t v) {
    return v == 0x8B || v == 0xCB;
}
bool knownVersion(std::uint8_t v) {
    switch (v) {
    case 0x02: // FoxBase
    case 0x03: // dBase III, FoxPro, Clipper without memo
    case 0x83: // dBase III with memo
    case 0x8B: // dBase IV with memo
    case 0xCB: // dBase IV with memo and SQL table
    case 0x43:
    case 0x63: // dBase IV SQL
    case 0x30:
    case 0x31:
    case 0x32: // Visual FoxPro
    case 0xF5: // FoxPro 2 with memo
    case 0xFB: // FoxBase with memo
        return true;
    default:
        return false;
    }
}

// Types whose value lives in the memo file.
bool inMemoFile(const SourceField& f, std::uint8_t version) {
    switch (f.type) {
    case 'M':
    case 'G':
    case 'P':
    case 'W':
        return true;
    case 'B':
        return !isVisualFoxPro(version); // a double in Visual FoxPro
    default:
        return false;
    }
}

// Whether `length` is a width the type can have in this flavour.
bool widthFits(const SourceField& f, std::uint8_t version) {
    const int n = f.length;
    switch (f.type) {
    case 'D':
        return n == 8;
    case 'L':
        return n == 1;
    case 'I':
        return n == 4;
    case 'Y':
    case 'T':
        return n == 8;
    case 'N':
    case 'F':
        return n <= 32;
    case 'B':
        return isVisualFoxPro(version) ? n == 8 : n == 10;
    case 'M':
    case 'G':
    case 'P':
    case 'W':
        return n == 10 || (n == 4 && isVisualFoxPro(version));
    default:
        return true;
    }
}

std::string trimRight(std::string_view s) {
    std::size_t e = s.size();
    while (e > 0 && (s[e - 1] == ' ' || s[e - 1] == '\0'))
        --e;
    return std::string(s.substr(0, e));
}

std::string trimBoth(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && (s[b] == ' ' || s[b] == '\0'))
        ++b;
    return trimRight(s.substr(b));
}

std::string twoDigits(unsigned v) {
    return std::string{char('0' + v / 10 % 10), char('0' + v % 10)};
}

// Julian day number to year, month, day (Fliegel and Van Flandern).
std::string dateOfJulianDay(std::int64_t jd) {
    std::int64_t l = jd + 68569;
    std::int64_t n = 4 * l / 146097;
    l -= (146097 * n + 3) / 4;
    std::int64_t i = 4000 * (l + 1) / 1461001;
    l = l - 1461 * i / 4 + 31;
    std::int64_t j = 80 * l / 2447;
    std::int64_t day = l - 2447 * j / 80;
    l = j / 11;
    std::int64_t month = j + 2 - 12 * l;
    std::int64_t year = 100 * (n - 49) + i + l;
    if (year < 1 || year > 9999)
        return {};
    std::string y = std::to_string(year);
    y.insert(0, 4 - y.size(), '0');
    return y + twoDigits(unsigned(month)) + twoDigits(unsigned(day));
}

std::string currencyText(std::int64_t v) {
    const bool negative = v < 0;
    std::uint64_t magnitude =
        negative ? std::uint64_t(0) - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    std::string frac = std::to_string(magnitude % 10000);
    frac.insert(0, 4 - frac.size(), '0');
    return (negative ? "-" : "") + std::to_string(magnitude / 10000) + "." + frac;
}

} // namespace

bool SourceField::hasText() const {
    switch (type) {
    case 'G':
    case 'P':
    case 'W':
    case 'Q':
    case '0':
        return false;
    case 'B':
        return length == 8;
    default:
        return true;
    }
}

store::Result<SourceTable> SourceTable::open(const std::string& path) {
    SourceTable t;
    t.path_ = path;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return store::fail("It is not a file that can be read.");
    auto file = store::OsFile::open(path, store::FileAccess::ReadOnly);
    if (!file)
        return store::fail(file.error());
    t.dbf_ = std::move(*file);
    auto size = t.dbf_.size();
    if (!size)
        return store::fail(size.error());
    if (*size < kFixedHeader)
        return store::fail("The file is too short to be a DBF table.");
    // The header is at most 64 KB by its own length field; read what the
    // descriptors may need, bounded by the file.
    std::string header(std::min<std::uint64_t>(*size, 65536 + kFixedHeader), '\0');
    auto got = t.dbf_.readAt(0, header.data(), header.size());
    if (!got)
        return store::fail(got.error());
    header.resize(*got);
    if (auto st = t.readHeader(header, *size); !st)
        return store::fail(st.error());
    if (auto st = t.openMemo(); !st)
        return store::fail(st.error());
    return t;
}

store::Status SourceTable::readHeader(const std::string& bytes, std::uint64_t fileSize) {
    version_ = static_cast<std::uint8_t>(bytes[0]);
    if (!knownVersion(version_)) {
        constexpr char kHex[] = "0123456789ABCDEF";
        return store::fail(std::string("It is not a DBF table of a kind Quillpost reads (its "
                                       "first byte is 0x") +
                           kHex[version_ >> 4] + kHex[version_ & 15] + ").");
    }
    headerCount_ = le32(bytes.data() + 4);
    headerLength_ = le16(bytes.data() + 8);
    recordLength_ = le16(bytes.data() + 10);
    codePage_ = codePageOfMark(static_cast<std::uint8_t>(bytes[29]));
    if (headerLength_ > fileSize)
        return store::fail("Its header is longer than the file.");

    // Descriptors up to the 0x0D terminator, all inside the header.
    std::size_t pos = kFixedHeader;
    std::vector<SourceField> all;
    std::vector<std::uint8_t> flags;
    for (;;) {
        if (pos >= headerLength_ || pos >= bytes.size())
            return store::fail("Its field list has no end mark.");
        if (bytes[pos] == '\r')
            break;
        if (pos + kDescriptor > headerLength_ || pos + kDescriptor > bytes.size())
            return store::fail("Its field list runs past its header.");
        const char* d = bytes.data() + pos;
        SourceField f;
        std::size_t nameEnd = 0;
        while (nameEnd < 11 && d[nameEnd] != '\0')
            ++nameEnd;
        f.name = trimBoth(std::string_view(d, nameEnd));
        for (char& c : f.name)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(d[11])));
        f.length = static_cast<unsigned char>(d[16]);
        f.decimals = static_cast<unsigned char>(d[17]);
        all.push_back(f);
        flags.push_back(static_cast<std::uint8_t>(d[18]));
        pos += kDescriptor;
    }
    if (all.empty())
        return store::fail("It has no fields.");

    // Character fields wider than 255 keep the high byte of their width in
    // the decimals (Clipper, FoxPro); take it when only that makes the
    // record length agree.
    auto sum = [&](bool wide) {
        std::uint64_t total = 1;
        for (const auto& f : all)
            total += std::uint64_t(f.length) + (wide && f.type == 'C' ? 256u * f.decimals : 0u);
        return total;
    };
    const bool wide = sum(false) != recordLength_ && sum(true) == recordLength_;
    if (sum(wide) != recordLength_)
        return store::fail("Its record length disagrees with its fields.");
    int offset = 1;
    int bit = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        SourceField f = all[i];
        if (wide && f.type == 'C') {
            f.length += 256 * f.decimals;
            f.decimals = 0;
        }
        f.offset = offset;
        offset += f.length;
        if (f.length == 0)
            return store::fail("Its field " + f.name + " has no width.");
        if (!widthFits(f, version_))
            return store::fail("Its field " + f.name + " has a width its type cannot have.");
        if (isVisualFoxPro(version_)) {
            if (f.type == '0') {
                nullFlagsOffset_ = f.offset;
                nullFlagsLength_ = f.length;
            }
            if (flags[i] & 0x02)
                f.nullBit = bit++;
            if (f.type == 'V' || f.type == 'Q')
                f.sizeBit = bit++;
            if (flags[i] & 0x01)
                continue; // a system field
        }
        if (f.name.empty())
            return store::fail("A field has no name.");
        fields_.push_back(std::move(f));
    }
    if (nullFlagsOffset_ < 0)
        for (auto& f : fields_)
            f.nullBit = f.sizeBit = -1;

    const std::uint64_t data = fileSize - headerLength_;
    records_ =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(headerCount_, data / recordLength_));
    return {};
}

store::Status SourceTable::openMemo() {
    const bool needsMemo = std::any_of(fields_.begin(), fields_.end(),
                                       [](const SourceField& f) { return f.isMemo(); });
    const bool anyMemo = std::any_of(fields_.begin(), fields_.end(),
                                     [&](const SourceField& f) { return inMemoFile(f, version_); });
    if (!anyMemo)
        return {};
    const std::string fpt = store::siblingFile(path_, ".FPT");
    const std::string dbt = store::siblingFile(path_, ".DBT");
    const bool haveFpt = store::fileExists(fpt), haveDbt = store::fileExists(dbt);
    if (isFoxPro(version_) ? haveFpt : !haveDbt && haveFpt) {
        memoPath_ = fpt;
        memoKind_ = MemoKind::Fpt;
    } else if (haveDbt) {
        memoPath_ = dbt;
        memoKind_ = isDbase4(version_) ? MemoKind::Dbt4 : MemoKind::Dbt3;
    } else {
        if (needsMemo)
            return store::fail("Its memo file " + store::baseName(isFoxPro(version_) ? fpt : dbt) +
                               " is missing.");
        return {}; // only pictures and objects, which are not imported
    }
    auto file = store::OsFile::open(memoPath_, store::FileAccess::ReadOnly);
    if (!file)
        return store::fail(file.error());
    memo_ = std::move(*file);
    auto size = memo_.size();
    if (!size)
        return store::fail(size.error());
    memoSize_ = *size;
    char head[512];
    if (memoSize_ < sizeof head)
        return store::fail("Its memo file " + store::baseName(memoPath_) + " is too short.");
    if (auto st = memo_.readExact(0, head, sizeof head); !st)
        return st;
    if (memoKind_ == MemoKind::Fpt) {
        blockSize_ = (std::uint32_t(static_cast<unsigned char>(head[6])) << 8) |
                     static_cast<unsigned char>(head[7]);
        if (blockSize_ == 0)
            blockSize_ = 1; // FoxPro's block size 0 means one byte
    } else if (memoKind_ == MemoKind::Dbt4) {
        blockSize_ = le16(head + 20);
        if (blockSize_ == 0)
            blockSize_ = 512;
    }
    return {};
}

std::optional<int> SourceTable::fieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (equalsIgnoringCase(fields_[i].name, name))
            return static_cast<int>(i);
    return std::nullopt;
}

bool SourceTable::go(std::uint32_t recno) {
    recno_ = 0;
    if (recno == 0 || recno > records_)
        return false;
    if (recno < chunkFirst_ || recno >= chunkFirst_ + chunkCount_) {
        const std::uint32_t per =
            std::max<std::uint32_t>(1, static_cast<std::uint32_t>(kChunkBytes / recordLength_));
        const std::uint32_t count = std::min(per, records_ - recno + 1);
        chunk_.resize(std::size_t(count) * recordLength_);
        const std::uint64_t at = headerLength_ + std::uint64_t(recno - 1) * recordLength_;
        auto got = dbf_.readAt(at, chunk_.data(), chunk_.size());
        if (!got) {
            readError_ = got.error();
            chunkCount_ = 0;
            return false;
        }
        chunkFirst_ = recno;
        chunkCount_ = static_cast<std::uint32_t>(*got / recordLength_);
        if (chunkCount_ == 0) {
            readError_ =
                "The file " + fileName() + " ended before record " + std::to_string(recno) + ".";
            return false;
        }
    }
    recordOffset_ = std::size_t(recno - chunkFirst_) * recordLength_;
    recno_ = recno;
    return true;
}

bool SourceTable::deleted() const {
    return recno_ && record()[0] == '*';
}

bool SourceTable::bitSet(int bit) const {
    if (bit < 0 || nullFlagsOffset_ < 0 || bit / 8 >= nullFlagsLength_)
        return false;
    return (static_cast<unsigned char>(record()[nullFlagsOffset_ + bit / 8]) >> (bit % 8)) & 1;
}

std::string SourceTable::text(int index, std::size_t* unreadable) const {
    if (!recno_ || index < 0 || index >= int(fields_.size()))
        return {};
    const SourceField& f = fields_[std::size_t(index)];
    if (bitSet(f.nullBit))
        return {};
    const char* p = field(f);
    const std::string_view raw(p, std::size_t(f.length));
    switch (f.type) {
    case 'C':
        return sourceTextToUtf8(trimRight(raw), codePage_, unreadable);
    case 'V': {
        std::string_view value = raw;
        if (bitSet(f.sizeBit))
            value = raw.substr(
                0, std::min<std::size_t>(static_cast<unsigned char>(raw.back()), raw.size() - 1));
        return sourceTextToUtf8(trimRight(value), codePage_, unreadable);
    }
    case 'N':
    case 'F':
    case 'D':
        return sourceTextToUtf8(trimBoth(raw), codePage_, unreadable);
    case 'L':
        switch (raw[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
            return "T";
        case 'F':
        case 'f':
        case 'N':
        case 'n':
            return "F";
        default:
            return {};
        }
    case 'I':
        return std::to_string(static_cast<std::int32_t>(le32(p)));
    case 'Y': {
        const std::uint64_t v = std::uint64_t(le32(p)) | std::uint64_t(le32(p + 4)) << 32;
        return currencyText(static_cast<std::int64_t>(v));
    }
    case 'T': {
        const std::uint32_t day = le32(p), ms = le32(p + 4);
        if (day == 0)
            return {};
        std::string date = dateOfJulianDay(day);
        if (date.empty())
            return {};
        const std::uint32_t secs = (ms + 500) / 1000 % 86400;
        return date + " " + twoDigits(secs / 3600) + ":" + twoDigits(secs / 60 % 60) + ":" +
               twoDigits(secs % 60);
    }
    case 'B': {
        if (f.length != 8)
            return {};
        const std::uint64_t bits = std::uint64_t(le32(p)) | std::uint64_t(le32(p + 4)) << 32;
        double d;
        std::memcpy(&d, &bits, sizeof d);
        char buffer[64];
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
        return ec == std::errc() ? std::string(buffer, end) : std::string();
    }
    default:
        return {};
    }
}

std::optional<std::uint32_t> SourceTable::memoBlock(const SourceField& f, bool* damaged) const {
    const char* p = field(f);
    if (f.length == 4)
        return le32(p);
    std::string digits = trimBoth(std::string_view(p, std::size_t(f.length)));
    if (digits.empty())
        return 0;
    std::uint32_t block = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), block);
    if (ec != std::errc() || end != digits.data() + digits.size()) {
        if (damaged)
            *damaged = true;
        return std::nullopt;
    }
    return block;
}

std::string SourceTable::memoBytes(std::uint32_t block, bool* damaged) const {
    auto bad = [&] {
        if (damaged)
            *damaged = true;
        return std::string();
    };
    const std::uint64_t at = std::uint64_t(block) * blockSize_;
    // The first 512 bytes hold the file's header in every kind.
    if (at < 512 || at >= memoSize_)
        return bad();
    const std::uint64_t left = memoSize_ - at;
    std::string out;
    char head[8];
    if (memoKind_ != MemoKind::Dbt3 && left >= 8 && memo_.readExact(at, head, sizeof head)) {
        std::optional<std::uint64_t> length;
        if (memoKind_ == MemoKind::Fpt) {
            length = be32(head + 4);
        } else if (static_cast<unsigned char>(head[0]) == 0xFF &&
                   static_cast<unsigned char>(head[1]) == 0xFF && head[2] == 0x08 &&
                   head[3] == 0x00) {
            const std::uint32_t stored = le32(head + 4); // the 8 bytes of the head included
            length = stored >= 8 ? stored - 8 : 0;
        }
        // Else a dBase IV file holding memos in the dBase III way.
        if (length) {
            if (*length > left - 8) {
                if (damaged)
                    *damaged = true;
                length = left - 8;
            }
            out.resize(static_cast<std::size_t>(*length));
            if (!out.empty() && !memo_.readExact(at + 8, out.data(), out.size()))
                return bad();
            return out;
        }
    } else if (memoKind_ == MemoKind::Fpt) {
        return bad();
    }
    // Up to the first end-of-file mark, in pieces, never past the file.
    for (std::uint64_t from = at; from < memoSize_;) {
        const std::size_t piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(kMemoPiece, memoSize_ - from));
        const std::size_t kept = out.size();
        out.resize(kept + piece);
        if (!memo_.readExact(from, out.data() + kept, piece))
            return bad();
        auto mark = out.find('\x1A', kept);
        if (mark != std::string::npos) {
            out.resize(mark);
            return out;
        }
        from += piece;
        if (out.size() >= kLongestMemo)
            break;
    }
    if (damaged)
        *damaged = true; // no end mark before the end of the file
    return out;
}

std::string SourceTable::memo(int index, bool* damaged, std::size_t* unreadable) const {
    if (!recno_ || index < 0 || index >= int(fields_.size()) || memoKind_ == MemoKind::None)
        return {};
    const SourceField& f = fields_[std::size_t(index)];
    if (!f.isMemo() || bitSet(f.nullBit))
        return {};
    auto block = memoBlock(f, damaged);
    if (!block || *block == 0)
        return {};
    std::string bytes = memoBytes(*block, damaged);
    if (memoKind_ != MemoKind::Fpt) {
        // dBase marks the line breaks it wrapped itself with 0x8D.
        for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
            if (static_cast<unsigned char>(bytes[i]) == 0x8D && bytes[i + 1] == '\n')
                bytes[i] = '\r';
    }
    return sourceTextToUtf8(bytes, codePage_, unreadable);
}

} // namespace qp::exchange
