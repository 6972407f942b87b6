#include "exchange/record_import.h"

#include "store/address_file.h"
#include "store/codepage.h"

#include <algorithm>
#include <cctype>

namespace qp::exchange {

namespace {

bool digitsOnly(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

int number(std::string_view s) {
    int n = 0;
    for (char c : s)
        n = n * 10 + (c - '0');
    return n;
}

std::optional<std::string> validDate(int year, int month, int day) {
    static constexpr int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > days[month - 1])
        return std::nullopt;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap)
        return std::nullopt;
    auto digits = [](int value, std::size_t width) {
        std::string text = std::to_string(value);
        return std::string(width - std::min(width, text.size()), '0') + text;
    };
    return digits(year, 4) + digits(month, 2) + digits(day, 2);
}

// Line breaks in any spelling become CR LF; other control characters a blank.
std::string memoText(std::string_view value, bool& changed) {
    std::string out;
    out.reserve(value.size() + 8);
    for (std::size_t i = 0; i < value.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(value[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n')
                ++i;
            out += "\r\n";
        } else if (c < 0x20 && c != '\t') {
            out += ' ';
            changed = true;
        } else {
            out += char(c);
        }
    }
    return out;
}

// A one-line value: a line break (CR LF counted once) becomes one blank.
std::string lineText(std::string_view value, bool& changed) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(value[i]);
        if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
            ++i;
            out += ' ';
        } else if (c == '\r' || c == '\n') {
            out += ' ';
        } else if (c < 0x20) {
            out += ' ';
            changed = true;
        } else {
            out += char(c);
        }
    }
    return out;
}

std::size_t cutTo(std::string& value, std::size_t characters) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < value.size(); ++i)
        if ((static_cast<unsigned char>(value[i]) & 0xC0) != 0x80 && chars++ == characters) {
            value.resize(i);
            return 1;
        }
    return 0;
}

} // namespace

std::optional<std::string> eightDigitDate(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (auto t = text.find('T'); t != std::string_view::npos && t >= 8)
        text = text.substr(0, t);
    if (text.size() == 8 && digitsOnly(text))
        return validDate(number(text.substr(0, 4)), number(text.substr(4, 2)),
                         number(text.substr(6, 2)));
    for (char sep : {'-', '/', '.'}) {
        auto a = text.find(sep);
        if (a == std::string_view::npos)
            continue;
        auto b = text.find(sep, a + 1);
        if (b == std::string_view::npos || text.find(sep, b + 1) != std::string_view::npos)
            continue;
        std::string_view p1 = text.substr(0, a), p2 = text.substr(a + 1, b - a - 1),
                         p3 = text.substr(b + 1);
        if (!digitsOnly(p1) || !digitsOnly(p2) || !digitsOnly(p3) || p2.size() > 2)
            return std::nullopt;
        if (p1.size() == 4 && p3.size() <= 2)
            return validDate(number(p1), number(p2), number(p3));
        if (p3.size() == 4 && p1.size() <= 2)
            return sep == '.' ? validDate(number(p3), number(p2), number(p1))
                              : validDate(number(p3), number(p1), number(p2));
        return std::nullopt;
    }
    return std::nullopt;
}

std::string lineList(const std::vector<std::uint64_t>& numbers, std::uint64_t total) {
    std::string text = numbers.size() == 1 ? "line " : "lines ";
    for (std::size_t i = 0; i < numbers.size(); ++i)
        text += (i ? ", " : "") + std::to_string(numbers[i]);
    if (total > numbers.size())
        text += " and " + std::to_string(total - numbers.size()) + " more";
    return text;
}

RecordImport::RecordImport(store::Table& table, const ImportHooks& hooks)
    : table_(table), hooks_(hooks) {}

void RecordImport::status(std::string_view text) const {
    if (hooks_.status)
        hooks_.status(text);
}

bool RecordImport::begin() {
    return bool(table_.deleteStructuralIndex());
}

bool RecordImport::add(ImportRecord& values) {
    if (auto st = table_.append(); !st)
        return false;
    for (auto& [field, raw] : values) {
        if (raw.empty())
            continue;
        bool changed = false;
        std::string value;
        if (field == "MEMO") {
            value = memoText(raw, changed);
        } else if (field == "DATE") {
            auto date = eightDigitDate(raw);
            if (!date) {
                ++datesUnread_;
                continue;
            }
            value = *date;
        } else {
            value = lineText(raw, changed);
            outcome_.valuesCut += cutTo(value, kMaxFieldLength);
        }
        if (value.find_first_not_of(' ') == std::string::npos)
            continue;
        if (!store::utf8ToCp1252Exact(value)) {
            value = store::cp1252ToUtf8(store::utf8ToCp1252(value).bytes);
            changed = true;
        }
        outcome_.valuesChanged += changed;
        if (field == "MEMO")
            value = store::memoForStorage(std::move(value));
        // The field found once, for the count and the write.
        const auto index = table_.fieldIndex(field);
        if (index)
            outcome_.shortened.count(table_, *index, value);
        if (!index || !table_.replace(*index, value)) {
            table_.discard();
            return false;
        }
    }
    if (auto st = table_.post(); !st) {
        table_.discard();
        return false;
    }
    ++outcome_.imported;
    return true;
}

bool RecordImport::cancelled() {
    if (!measured_)
        ++done_;
    if (hooks_.progress && total_ > 0) {
        int percent = static_cast<int>(std::min<std::uint64_t>(100, done_ * 100 / total_));
        if (percent != lastPercent_) {
            lastPercent_ = percent;
            hooks_.progress(percent);
        }
    }
    return hooks_.cancelled && hooks_.cancelled();
}

ImportOutcome RecordImport::finish(ImportOutcome::Kind kind, std::string_view source) {
    ImportOutcome& o = outcome_;
    o.kind = kind;
    const std::string n = std::to_string(o.imported);
    std::string text;
    switch (kind) {
    case ImportOutcome::Kind::Complete:
        text = "Import complete. Imported " + n + " records.";
        break;
    case ImportOutcome::Kind::Cancelled:
        text = "Import cancelled after importing " + n + " records.";
        break;
    case ImportOutcome::Kind::ReadError:
        text =
            "Unknown error reading " + std::string(source) + " after importing " + n + " records.";
        break;
    case ImportOutcome::Kind::WriteError:
        text = "Unknown error writing to data file after importing " + n + " records.";
        break;
    case ImportOutcome::Kind::Refused:
        return o;
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
    for (const auto& note : notes_)
        text += "\r\n" + note;
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
    if (datesUnread_)
        text += "\r\n" + std::to_string(datesUnread_) +
                (datesUnread_ == 1 ? " date could not be read and was"
                                   : " dates could not be read and were") +
                " left empty.";
    o.message = text;
    return o;
}

} // namespace qp::exchange
