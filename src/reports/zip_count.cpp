#include "reports/zip_count.h"

#include "store/codepage.h"

#include <QLocale>

#include <algorithm>

namespace qp::reports {

namespace {

// Characters (code points) of UTF-8 text.
std::size_t charCount(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The byte length of the first `n` characters of UTF-8 text.
std::size_t prefixBytes(std::string_view utf8, std::size_t n) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            if (chars == n)
                return i;
            ++chars;
        }
    }
    return utf8.size();
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

std::string upperKey(const std::string& key) {
    return store::upperCp1252(key);
}

} // namespace

std::string_view zipCountKey(std::string_view zip) {
    zip = trimBlanks(zip);
    return zip.substr(0, std::min<std::size_t>(zip.size(), 5));
}

int zipGroupOf(std::string_view key) {
    if (key.size() == 5 && key[0] >= '0' && key[0] <= '9' && key >= std::string_view("00000") &&
        key <= std::string_view("99999-999"))
        return key[0] - '0';
    return kOtherGroup;
}

std::string formatCount(std::uint64_t count, std::string_view separator) {
    const std::string digits = std::to_string(count);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += separator;
        out += digits[i];
    }
    return out;
}

std::string regionalThousandsSeparator() {
    return QLocale().groupSeparator().toStdString();
}

void ZipCounter::add(std::string_view zip) {
    ++records_;
    const std::string_view key = zipCountKey(zip);
    if (key.empty()) {
        ++blank_;
        return;
    }
    auto& group = groups_[static_cast<std::size_t>(zipGroupOf(key))];
    // Look up without building a string for keys already there.
    thread_local std::string probe;
    probe.assign(key);
    auto it = group.find(probe);
    if (it != group.end())
        ++it->second;
    else
        group.emplace(probe, 1);
}

std::size_t ZipCounter::distinctKeys() const {
    std::size_t n = blank_ > 0 ? 1 : 0;
    for (const auto& g : groups_)
        n += g.size();
    return n;
}

bool zipKeyLess(const std::string& a, const std::string& b) {
    const std::string ua = upperKey(a), ub = upperKey(b);
    if (ua != ub)
        return ua < ub;
    return a < b;
}

std::vector<ZipTally> ZipCounter::tallies() const {
    std::vector<ZipTally> out;
    out.reserve(distinctKeys());
    for (const auto& group : groups_) {
        std::vector<std::pair<std::string, std::uint64_t>> sorted(group.begin(), group.end());
        std::sort(sorted.begin(), sorted.end(),
                  [](const auto& a, const auto& b) { return zipKeyLess(a.first, b.first); });
        for (auto& [key, count] : sorted)
            out.push_back({store::cp1252ToUtf8(key), count});
    }
    if (blank_ > 0)
        out.push_back({std::string(kBlankKey), blank_});
    return out;
}

std::string zipResultLine(const ZipTally& tally, std::string_view separator) {
    // "%-10.10s": left-justified, padded or cut to ten characters.
    std::string line = tally.key.substr(0, prefixBytes(tally.key, 10));
    line.append(10 - std::min<std::size_t>(10, charCount(line)), ' ');
    return line + formatCount(tally.count, separator);
}

std::vector<std::string> zipResultLines(const std::vector<ZipTally>& tallies,
                                        std::string_view separator) {
    std::vector<std::string> lines;
    lines.reserve(tallies.size() + 2);
    bool separated = false;
    for (const auto& t : tallies) {
        if (!separated && (t.key == kBlankKey || zipGroupOf(t.key) == kOtherGroup)) {
            lines.emplace_back();
            lines.emplace_back();
            separated = true;
        }
        lines.push_back(zipResultLine(t, separator));
    }
    if (!separated) {
        lines.emplace_back();
        lines.emplace_back();
    }
    return lines;
}

ZipLineParts splitZipResultLine(std::string_view line) {
    const std::size_t keyEnd = prefixBytes(line, 5);
    const std::size_t countStart = prefixBytes(line, 10);
    return {std::string(trimBlanks(line.substr(0, keyEnd))),
            std::string(trimBlanks(line.substr(countStart)))};
}

std::string zipCountCsv(const std::vector<ZipTally>& tallies) {
    std::string out = "ZIP,Count\r\n";
    for (const auto& t : tallies) {
        std::string key = t.key;
        if (key.find_first_of(",\"\r\n") != std::string::npos) {
            std::string quoted = "\"";
            for (char c : key) {
                if (c == '"')
                    quoted += '"';
                quoted += c;
            }
            key = quoted + '"';
        }
        out += key + ',' + std::to_string(t.count) + "\r\n";
    }
    return out;
}

ZipCountRun countZipCodes(store::Table& table, const store::RecordSelection& selection,
                          const ZipCountHooks& hooks) {
    ZipCountRun run;
    auto say = [&](std::string_view s) {
        if (hooks.status)
            hooks.status(s);
    };
    const auto zipField = table.fieldIndex("ZIP");
    if (!zipField) {
        run.message = "The address file has no ZIP field";
        return run;
    }
    const int order = table.indexOrd();
    const std::uint32_t here = table.eof() || table.bof() ? 0 : table.recNo();
    if (auto st = table.setOrder(0); !st) {
        run.message = st.error();
        return run;
    }
    if (here > 0)
        table.go(here);
    say(kReadingRecordsStatus);
    bool canceled = false;
    {
        auto walk = store::SelectionWalk::begin(table, selection);
        if (!walk) {
            run.message = walk.error();
        } else {
            for (bool more = walk->valid(); more;) {
                run.counter.add(table.getRaw(*zipField));
                more = walk->next();
                if (!more)
                    break;
                const std::uint32_t recno = table.recNo();
                if (recno % 100 == 0)
                    say(std::string(kReadingRecordStatus) + std::to_string(recno));
                if (hooks.cancelRequested && hooks.cancelRequested()) {
                    canceled = true;
                    break;
                }
            }
        }
    }
    (void)table.setOrder(order);
    if (here > 0)
        table.go(here);
    if (!run.message.empty())
        return run;
    if (canceled) {
        run.outcome = ZipCountOutcome::Canceled;
        return run;
    }
    say(kSortingStatus);
    run.tallies = run.counter.tallies();
    run.outcome = ZipCountOutcome::Done;
    return run;
}

} // namespace qp::reports
