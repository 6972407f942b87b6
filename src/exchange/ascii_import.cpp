#include "exchange/ascii_import.h"

#include "exchange/import_values.h"
#include "exchange/same_file.h"
#include "store/address_file.h"
#include "store/codepage.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>

namespace qp::exchange {

namespace {

constexpr char kCommaMark = 127;
constexpr std::size_t kChunk = 1 << 16;
constexpr std::size_t kNamedLines = 10; // line numbers kept for the final message

std::size_t utf8Length(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

// The first `count` characters of UTF-8 text.
std::size_t utf8Prefix(std::string_view text, std::size_t count) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == count)
            return i;
    return text.size();
}

// The older rule: commas between quotes are protected wherever the quotes
// stand, an outer pair of quotes is removed. `open` tells whether a quoted
// run was still open at the end of the line.
std::vector<std::string> splitByQuoteRule(std::string_view input, bool& open) {
    std::string line(input);
    const std::size_t n = line.size();
    bool inside = false;
    std::size_t start = line.find('"');
    if (start != std::string::npos) {
        for (std::size_t i = start; i < n; ++i) {
            char c = line[i];
            if (c == '"') {
                bool afterQuote = i > 0 && line[i - 1] == '"';
                if (!afterQuote)
                    inside = !inside;
                else if (inside && (i + 1 == n || line[i + 1] == ','))
                    inside = !inside;
            } else if (c == ',' && inside) {
                line[i] = kCommaMark;
            }
        }
    }
    open = inside;
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
        std::size_t comma = line.find(',', from);
        std::string field =
            line.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        std::replace(field.begin(), field.end(), kCommaMark, ',');
        if (!field.empty() && field.front() == '"' && field.back() == '"')
            field = field.size() < 2 ? std::string() : field.substr(1, field.size() - 2);
        fields.push_back(std::move(field));
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    return fields;
}

enum class Shape { Standard, Unclosed, Other };

// Fields written the standard way: each either free of quotes or wholly
// quoted, with "" for a quote inside. On a line of that shape the result is
// the older rule's too, except that "" becomes one quote.
Shape splitStandard(std::string_view line, std::vector<std::string>& fields) {
    const std::size_t n = line.size();
    std::size_t i = 0;
    for (;;) {
        if (i < n && line[i] == '"') {
            std::string value;
            std::size_t j = i + 1;
            for (;;) {
                // The stretch up to the next quote in one piece.
                const std::size_t quote = line.find('"', j);
                if (quote == std::string_view::npos)
                    return Shape::Unclosed;
                value.append(line.substr(j, quote - j));
                j = quote;
                if (j + 1 < n && line[j + 1] == '"') {
                    value += '"';
                    j += 2;
                } else {
                    break;
                }
            }
            fields.push_back(std::move(value));
            if (j + 1 == n)
                return Shape::Standard;
            if (line[j + 1] != ',')
                return Shape::Other;
            i = j + 2;
        } else {
            std::size_t comma = line.find(',', i);
            std::string_view value = line.substr(
                i, comma == std::string_view::npos ? std::string_view::npos : comma - i);
            if (value.find('"') != std::string_view::npos)
                return Shape::Other;
            fields.emplace_back(value);
            if (comma == std::string_view::npos)
                return Shape::Standard;
            i = comma + 1;
        }
    }
}

} // namespace

std::vector<std::string> splitAsciiLine(std::string_view input, bool* unbalanced) {
    std::vector<std::string> fields;
    Shape shape = splitStandard(input, fields);
    bool open = false;
    if (shape != Shape::Standard)
        fields = splitByQuoteRule(input, open);
    if (unbalanced)
        *unbalanced = shape == Shape::Unclosed || open;
    return fields;
}

std::size_t cutLongValues(std::vector<std::string>& fields) {
    std::size_t cut = 0;
    for (auto& f : fields) {
        if (f.size() <= kMaxFieldLength)
            continue;
        std::size_t keep = utf8Prefix(f, kMaxFieldLength);
        if (keep < f.size()) {
            f.resize(keep);
            ++cut;
        }
    }
    return cut;
}

bool isImportableFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

TextEncoding detectEncoding(const std::string& path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!f)
        return TextEncoding::Utf8;
    // The text is checked in pieces cut before a byte that starts a
    // character, so a sequence is never split and only its few bytes are
    // carried over: the check needs the same memory whatever the lines' length.
    std::string buffer(kChunk, '\0'), piece;
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), f.get())) > 0) {
        piece.append(buffer.data(), got);
        std::size_t cut = piece.size();
        while (cut > 0 && (static_cast<unsigned char>(piece[cut - 1]) & 0xC0) == 0x80)
            --cut;
        if (cut > 0)
            --cut; // the last character may still be incomplete
        if (piece.size() - cut > 4)
            return TextEncoding::Windows1252; // too many continuation bytes
        if (!store::isValidUtf8(std::string_view(piece).substr(0, cut)))
            return TextEncoding::Windows1252;
        piece.erase(0, cut);
    }
    return store::isValidUtf8(piece) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

LineReader::LineReader(const std::string& path, TextEncoding encoding)
    : file_(isImportableFile(path) ? std::fopen(path.c_str(), "rb") : nullptr, &std::fclose),
      encoding_(encoding) {}

bool LineReader::isOpen() const {
    return file_ != nullptr;
}

bool LineReader::fill() {
    if (eof_ || !file_)
        return false;
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

bool LineReader::next(std::string& line) {
    if (!file_ || failed_)
        return false;
    for (;;) {
        line.clear();
        bool any = false, damaged = false;
        for (;;) {
            if (pos_ >= buffer_.size() && !fill()) {
                if (failed_ || !any)
                    return false;
                break;
            }
            any = true;
            const char* begin = buffer_.data() + pos_;
            std::size_t left = buffer_.size() - pos_;
            const void* nl = std::memchr(begin, '\n', left);
            std::size_t take =
                nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - begin) : left;
            // The rest of a damaged line is passed over, never kept.
            if (!damaged && line.size() + take > kMaxLineBytes) {
                damaged = true;
                line.clear();
                line.shrink_to_fit();
            }
            if (!damaged)
                line.append(begin, take);
            pos_ += take;
            if (nl) {
                ++pos_;
                break;
            }
        }
        ++number_;
        if (damaged) {
            ++damaged_;
            if (damagedLines_.size() < kNamedLines)
                damagedLines_.push_back(number_);
            continue;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (encoding_ == TextEncoding::Windows1252)
            line = store::cp1252ToUtf8(line);
        else if (number_ == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
        return true;
    }
}

AsciiScan scanAsciiFile(const std::string& path) {
    AsciiScan scan;
    if (!isImportableFile(path)) {
        scan.message = std::string(kUnableToImportMessage);
        return scan;
    }
    scan.encoding = detectEncoding(path);
    LineReader reader(path, scan.encoding);
    std::string line;
    std::vector<std::vector<std::string>> lines;
    while (lines.size() < kSampleLines && reader.next(line)) {
        lines.push_back(splitAsciiLine(line));
        cutLongValues(lines.back());
    }
    if (lines.size() < 2) {
        scan.message = std::string(kUnableToImportMessage);
        return scan;
    }
    std::size_t count = std::min(lines.front().size(), kMaxImportFields);
    for (std::size_t i = 0; i < count; ++i)
        scan.fields.push_back({"Field " + std::to_string(i + 1), 0, {}});
    for (auto& row : lines) {
        row.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            scan.fields[i].longest = std::max(scan.fields[i].longest, utf8Length(row[i]));
    }
    scan.sample = std::move(lines);
    scan.usable = true;
    return scan;
}

void matchField(std::vector<ImportField>& fields, std::size_t fieldIndex,
                const std::string& label) {
    for (auto& f : fields)
        if (!label.empty() && equalsIgnoringCase(f.match, label))
            f.match.clear();
    if (fieldIndex < fields.size())
        fields[fieldIndex].match = label;
}

bool anyMatched(const std::vector<ImportField>& fields) {
    return std::any_of(fields.begin(), fields.end(),
                       [](const ImportField& f) { return !f.match.empty(); });
}

namespace {

struct Target {
    std::size_t textField;
    int field; // in the table
};

// "line 4" or "lines 4, 9, 12 and 3 more".
std::string lineList(const std::vector<std::uint64_t>& numbers, std::uint64_t total) {
    std::string text = numbers.size() == 1 ? "line " : "lines ";
    for (std::size_t i = 0; i < numbers.size(); ++i)
        text += (i ? ", " : "") + std::to_string(numbers[i]);
    if (total > numbers.size())
        text += " and " + std::to_string(total - numbers.size()) + " more";
    return text;
}

std::string finalMessage(const ImportOutcome& o) {
    std::string n = std::to_string(o.imported);
    std::string text;
    switch (o.kind) {
    case ImportOutcome::Kind::Complete:
        text = "Import complete. Imported " + n + " records.";
        break;
    case ImportOutcome::Kind::Cancelled:
        text = "Import cancelled after importing " + n + " records.";
        break;
    case ImportOutcome::Kind::ReadError:
        text = "Unknown error reading ASCII file after importing " + n + " records.";
        break;
    case ImportOutcome::Kind::WriteError:
        text = "Unknown error writing to data file after importing " + n + " records.";
        break;
    case ImportOutcome::Kind::Refused:
        return o.message;
    }
    if (o.unbalancedLines)
        text += "\r\n" + std::to_string(o.unbalancedLines) +
                (o.unbalancedLines == 1 ? " line has" : " lines have") +
                " a quote that is never closed, so its fields may be joined: " +
                lineList(o.unbalancedNumbers, o.unbalancedLines) + ".";
    if (o.damagedLines)
        text += "\r\n" + std::to_string(o.damagedLines) +
                (o.damagedLines == 1 ? " line was" : " lines were") +
                " longer than 1 MB, damaged, and skipped: " +
                lineList(o.damagedNumbers, o.damagedLines) + ".";
    if (o.valuesCut)
        text += "\r\n" + std::to_string(o.valuesCut) +
                (o.valuesCut == 1 ? " value was" : " values were") +
                " longer than 2048 characters and cut.";
    if (auto note = o.shortened.note(); !note.empty())
        text += "\r\n" + note;
    if (o.valuesChanged)
        text += "\r\n" + std::to_string(o.valuesChanged) +
                (o.valuesChanged == 1 ? " value" : " values") +
                " held characters that cannot be stored and were changed.";
    return text;
}

} // namespace

ImportOutcome importAsciiRecords(store::Table& table, const std::string& csvPath,
                                 const std::vector<ImportField>& fields,
                                 const std::vector<AddressLabel>& offered,
                                 const ImportHooks& hooks) {
    ImportOutcome outcome;
    if (isTableItself(csvPath, table.path())) {
        outcome.kind = ImportOutcome::Kind::Refused;
        outcome.message = std::string(kCopyToItselfMessage);
        return outcome;
    }
    const LineReader* reading = nullptr;
    auto status = [&](std::string_view s) {
        if (hooks.status)
            hooks.status(s);
    };
    // Records before the run: a write that fails takes back the records that
    // did not reach the file, and the message counts only those kept.
    std::optional<std::uint32_t> countBefore;
    auto finish = [&](ImportOutcome::Kind kind) {
        if (countBefore) {
            if (auto st = table.deferRecordCount(false);
                !st && kind != ImportOutcome::Kind::WriteError)
                kind = ImportOutcome::Kind::WriteError;
            outcome.imported = std::min(outcome.imported, table.recCount() - *countBefore);
        }
        outcome.kind = kind;
        if (reading) {
            outcome.damagedLines = reading->damagedCount();
            outcome.damagedNumbers = reading->damagedLines();
        }
        outcome.message = finalMessage(outcome);
        return outcome;
    };

    std::vector<Target> targets;
    for (std::size_t i = 0; i < fields.size() && i < kMaxImportFields; ++i) {
        if (fields[i].match.empty())
            continue;
        for (const auto& o : offered) {
            if (!equalsIgnoringCase(o.label, fields[i].match))
                continue;
            if (auto field = table.fieldIndex(o.field)) {
                targets.push_back({i, *field});
                break;
            }
        }
    }
    const std::size_t fieldCount = std::min(fields.size(), kMaxImportFields);

    if (!isImportableFile(csvPath))
        return finish(ImportOutcome::Kind::ReadError);
    // Records go in without index upkeep; the tags are built once at the end.
    if (auto st = table.deleteStructuralIndex(); !st)
        return finish(ImportOutcome::Kind::WriteError);
    // The header counts the new records once, at the end of the run.
    struct CountOnce {
        store::Table& table;
        ~CountOnce() { (void)table.deferRecordCount(false); }
    } countOnce{table};
    countBefore = table.recCount();
    (void)table.deferRecordCount(true);

    status(kCountingStatus);
    TextEncoding encoding = detectEncoding(csvPath);
    std::uint64_t total = 0;
    {
        LineReader counter(csvPath, encoding);
        if (!counter.isOpen())
            return finish(ImportOutcome::Kind::ReadError);
        std::string line;
        while (counter.next(line))
            ++total;
        if (counter.failed())
            return finish(ImportOutcome::Kind::ReadError);
    }

    status(kImportingStatus);
    LineReader reader(csvPath, encoding);
    if (!reader.isOpen())
        return finish(ImportOutcome::Kind::ReadError);
    reading = &reader;
    std::string line;
    std::uint64_t read = 0;
    int lastPercent = -1;
    while (read < total && reader.next(line)) {
        ++read;
        bool unbalanced = false;
        auto parts = splitAsciiLine(line, &unbalanced);
        if (unbalanced && outcome.unbalancedNumbers.size() < kNamedLines)
            outcome.unbalancedNumbers.push_back(reader.lineNumber());
        outcome.unbalancedLines += unbalanced;
        if (parts.size() > fieldCount)
            parts.resize(fieldCount);
        outcome.valuesCut += cutLongValues(parts);
        if (auto st = table.append(); !st)
            return finish(ImportOutcome::Kind::WriteError);
        for (const auto& t : targets) {
            if (t.textField >= parts.size() || parts[t.textField].empty())
                continue;
            std::string& value = parts[t.textField];
            if (makeStorable(value))
                ++outcome.valuesChanged;
            outcome.shortened.count(table, t.field, value);
            if (auto st = table.replace(t.field, value); !st) {
                table.discard();
                return finish(ImportOutcome::Kind::WriteError);
            }
        }
        if (auto st = table.post(); !st) {
            table.discard();
            return finish(ImportOutcome::Kind::WriteError);
        }
        ++outcome.imported;
        int percent =
            static_cast<int>(std::min<std::uint64_t>(100, outcome.imported * 100 / total));
        if (hooks.progress && percent != lastPercent) {
            lastPercent = percent;
            hooks.progress(percent);
        }
        if (hooks.cancelled && hooks.cancelled())
            return finish(ImportOutcome::Kind::Cancelled);
    }
    if (reader.failed())
        return finish(ImportOutcome::Kind::ReadError);
    return finish(ImportOutcome::Kind::Complete);
}

store::Status rebuildAfterImport(store::Table& table, const std::function<void(int)>& progress) {
    if (progress)
        table.setProgressHook(progress);
    auto st = store::buildAddressTags(table);
    table.setProgressHook({});
    return st;
}

} // namespace qp::exchange
