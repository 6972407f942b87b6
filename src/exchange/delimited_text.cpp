#include "exchange/delimited_text.h"

#include "exchange/field_names.h"
#include "store/codepage.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace qp::exchange {

namespace {

constexpr std::size_t kChunk = 1 << 16;
constexpr std::size_t kNamedLines = 10;
constexpr std::size_t kMaxFieldsKept = 4 * kMaxImportFields; // the rest of a record is dropped
constexpr std::size_t kDetectRecords = 20;
constexpr std::size_t kMaxNameLength = 40;

std::size_t utf8Length(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

// The bytes of the first `count` characters of UTF-8 text.
std::size_t utf8Prefix(std::string_view text, std::size_t count) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == count)
            return i;
    return text.size();
}

bool hasDigitRunOrAt(const std::string& value) {
    int run = 0;
    for (unsigned char c : value) {
        if (c == '@')
            return true;
        run = std::isdigit(c) ? run + 1 : 0;
        if (run >= 3)
            return true;
    }
    return false;
}

std::string trimmed(const std::string& s) {
    auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

} // namespace

DelimitedReader::DelimitedReader(const std::string& path, TextEncoding encoding, char separator)
    : file_(isImportableFile(path) ? std::fopen(path.c_str(), "rb") : nullptr, &std::fclose),
      encoding_(encoding), separator_(separator) {}

bool DelimitedReader::fill() {
    if (eof_ || !file_)
        return false;
    bufferOffset_ += buffer_.size();
    buffer_.resize(kChunk);
    std::size_t got = std::fread(buffer_.data(), 1, kChunk, file_.get());
    buffer_.resize(got);
    pos_ = 0;
    if (got < kChunk) {
        eof_ = true;
        if (std::ferror(file_.get()))
            failed_ = true;
    }
    return got > 0;
}

int DelimitedReader::get() {
    if (pos_ >= buffer_.size() && !fill())
        return -1;
    unsigned char c = static_cast<unsigned char>(buffer_[pos_++]);
    if (c == '\n')
        ++line_;
    return c;
}

int DelimitedReader::peek() {
    if (pos_ >= buffer_.size() && !fill())
        return -1;
    return static_cast<unsigned char>(buffer_[pos_]);
}

bool DelimitedReader::rewindTo(std::uint64_t offset, std::uint64_t line) {
    if (std::fseek(file_.get(), long(offset), SEEK_SET) != 0) {
        failed_ = true;
        return false;
    }
    buffer_.clear();
    pos_ = 0;
    bufferOffset_ = offset;
    eof_ = false;
    line_ = line;
    return true;
}

void DelimitedReader::skipLine() {
    for (int c = get(); c >= 0 && c != '\n'; c = get()) {
    }
}

DelimitedReader::Parse DelimitedReader::parse(std::vector<std::string>& fields, bool multiline) {
    enum class State { FieldStart, Unquoted, Quoted, AfterQuote };
    fields.clear();
    std::string field;
    State state = State::FieldStart;
    std::size_t bytes = 0;
    auto push = [&] {
        if (fields.size() < kMaxFieldsKept)
            fields.push_back(std::move(field));
        field.clear();
    };
    int c = get();
    if (c < 0)
        return Parse::End;
    for (;; c = get()) {
        if (c < 0) {
            if (state == State::Quoted && multiline)
                return Parse::Unclosed;
            push();
            return state == State::Quoted ? Parse::Unclosed : Parse::Record;
        }
        if (++bytes > kMaxLineBytes)
            return Parse::TooLong;
        if (state == State::Quoted) {
            if (c == '"') {
                if (peek() == '"') {
                    get();
                    field += '"';
                } else {
                    state = State::AfterQuote;
                }
            } else if (c == '\n' && !multiline) {
                if (!field.empty() && field.back() == '\r')
                    field.pop_back();
                push();
                return Parse::Unclosed;
            } else {
                field += char(c);
            }
            continue;
        }
        if (state == State::FieldStart) {
            if (c == '"') {
                state = State::Quoted;
                continue;
            }
            state = State::Unquoted;
        }
        if (c == separator_) {
            push();
            state = State::FieldStart;
        } else if (c == '\n') {
            if (state == State::Unquoted && !field.empty() && field.back() == '\r')
                field.pop_back();
            push();
            return Parse::Record;
        } else if (c == '\r' && peek() == '\n' && state == State::AfterQuote) {
            // the CR of a CR LF after a closing quote
        } else {
            field += char(c); // text after a closing quote, or a quote inside a bare value
        }
    }
}

bool DelimitedReader::next(std::vector<std::string>& fields) {
    if (!file_ || failed_)
        return false;
    if (!started_) {
        started_ = true;
        // A byte-order mark before the first field, quoted or not.
        if (peek() == 0xEF && buffer_.compare(0, 3, "\xEF\xBB\xBF") == 0)
            pos_ = 3;
    }
    for (;;) {
        const std::uint64_t start = bufferOffset_ + pos_;
        const std::uint64_t startLine = line_;
        unbalanced_ = false;
        Parse p = parse(fields, true);
        if (p == Parse::Unclosed || (p == Parse::TooLong && line_ > startLine)) {
            // Read the record's first line alone: the quote opened on it
            // closes at its end.
            if (!rewindTo(start, startLine))
                return false;
            p = parse(fields, false);
            unbalanced_ = true;
        }
        if (failed_)
            return false;
        if (p == Parse::End)
            return false;
        recordLine_ = startLine;
        if (p == Parse::TooLong) {
            skipLine();
            ++damaged_;
            if (damagedLines_.size() < kNamedLines)
                damagedLines_.push_back(startLine);
            fields.clear();
            fields.shrink_to_fit();
            continue;
        }
        if (encoding_ == TextEncoding::Windows1252)
            for (auto& f : fields)
                f = store::cp1252ToUtf8(f);
        return true;
    }
}

const char* separatorName(char separator) {
    switch (separator) {
    case ';':
        return "semicolon";
    case '\t':
        return "tab";
    default:
        return "comma";
    }
}

DelimitedFormat detectDelimitedFormat(const std::string& path) {
    DelimitedFormat format;
    const TextEncoding encoding = detectEncoding(path);
    std::vector<std::vector<std::string>> best;
    std::size_t bestScore = 0, bestWidth = 0;
    for (char sep : {',', ';', '\t'}) {
        DelimitedReader reader(path, encoding, sep);
        std::vector<std::vector<std::string>> records;
        std::vector<std::string> fields;
        while (records.size() < kDetectRecords && reader.next(fields))
            records.push_back(fields);
        if (records.empty() || records.front().size() < 2)
            continue;
        const std::size_t width = records.front().size();
        const std::size_t score = std::size_t(std::count_if(
            records.begin(), records.end(), [&](const auto& r) { return r.size() == width; }));
        if (score > bestScore || (score == bestScore && width > bestWidth)) {
            bestScore = score;
            bestWidth = width;
            format.separator = sep;
            best = std::move(records);
        }
    }
    if (best.empty())
        return format;
    const auto& names = best.front();
    const std::size_t known = knownNameCount(names);
    if (known >= 2 || (known == 1 && names.size() <= 3)) {
        format.header = true;
        return format;
    }
    // Names above values: every name filled in, distinct, none looking like
    // a number or an address, above a column whose every value does (ZIP
    // codes, phones, e-mail addresses).
    std::vector<std::string> seen;
    for (const auto& n : names) {
        std::string t = trimmed(n);
        if (t.empty() || hasDigitRunOrAt(t) || std::find(seen.begin(), seen.end(), t) != seen.end())
            return format;
        seen.push_back(t);
    }
    for (std::size_t c = 0; c < names.size() && !format.header; ++c) {
        std::size_t filled = 0, numbers = 0;
        for (std::size_t r = 1; r < best.size(); ++r)
            if (c < best[r].size() && !trimmed(best[r][c]).empty()) {
                ++filled;
                numbers += hasDigitRunOrAt(best[r][c]);
            }
        format.header = filled > 0 && numbers == filled;
    }
    return format;
}

AsciiScan scanDelimitedFile(const std::string& path, const DelimitedFormat& format) {
    AsciiScan scan;
    if (!isImportableFile(path)) {
        scan.message = std::string(kUnableToImportMessage);
        return scan;
    }
    scan.encoding = detectEncoding(path);
    DelimitedReader reader(path, scan.encoding, format.separator);
    std::vector<std::string> fields, names;
    std::vector<std::vector<std::string>> lines;
    if (format.header && reader.next(fields))
        names = fields;
    while (lines.size() < kSampleLines && reader.next(fields)) {
        cutLongValues(fields);
        lines.push_back(fields);
    }
    const std::size_t needed = format.header ? 1 : 2;
    if (lines.size() < needed || (format.header && names.empty())) {
        scan.message = std::string(kUnableToImportMessage);
        return scan;
    }
    const std::size_t count =
        std::min(format.header ? names.size() : lines.front().size(), kMaxImportFields);
    names.resize(count);
    const auto proposals = proposeMatches(names);
    for (std::size_t i = 0; i < count; ++i) {
        std::string name = trimmed(names[i]);
        if (name.empty())
            name = "Field " + std::to_string(i + 1);
        else if (utf8Length(name) > kMaxNameLength)
            name.resize(utf8Prefix(name, kMaxNameLength));
        scan.fields.push_back({name, utf8Length(name), format.header ? proposals[i] : ""});
    }
    for (auto& row : lines) {
        row.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            scan.fields[i].longest = std::max(scan.fields[i].longest, utf8Length(row[i]));
    }
    scan.sample = std::move(lines);
    scan.usable = true;
    return scan;
}

} // namespace qp::exchange
