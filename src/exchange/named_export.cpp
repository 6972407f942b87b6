#include "exchange/named_export.h"

#include "exchange/address_labels.h"
#include "exchange/same_file.h"
#include "exchange/vcard_fields.h"
#include "store/atomic_file.h"
#include "store/open_files.h"

#include <algorithm>

namespace qp::exchange {

namespace {

constexpr std::size_t kFoldAt = 75;

CopyOutcome failed(CopyOutcome o, const std::string& reason) {
    o.ok = false;
    o.message = std::string(kCopyErrorMessage);
    if (!reason.empty())
        o.message += ":\n" + reason;
    return o;
}

std::string escapeText(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\\' || c == ',' || c == ';') {
            out += '\\';
            out += c;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n')
                ++i;
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

// Appends a content line folded at 75 bytes, never inside a character.
void addLine(std::string& card, std::string_view line) {
    std::size_t limit = kFoldAt;
    while (line.size() > limit) {
        std::size_t cut = limit;
        while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        card.append(line.substr(0, cut));
        card += "\r\n ";
        line.remove_prefix(cut);
        limit = kFoldAt - 1; // the leading blank counts
    }
    card.append(line);
    card += "\r\n";
}

void addProperty(std::string& card, std::string_view name, const std::string& value) {
    if (value.empty())
        return;
    addLine(card, std::string(name) + ":" + value);
}

int percentOf(std::uint32_t count, std::uint32_t total) {
    if (total == 0)
        return 100;
    return static_cast<int>(std::min<std::uint64_t>(100, std::uint64_t(count) * 100 / total));
}

std::string memoOf(const store::Table& table) {
    auto memo = table.getMemo("MEMO");
    return memo ? *memo : std::string();
}

} // namespace

std::vector<std::string> namedColumns() {
    std::vector<std::string> columns;
    for (auto field : kTextOrder)
        columns.push_back(labelOf(field).value_or(std::string(field)));
    columns.emplace_back("Memo");
    return columns;
}

std::string csvField(std::string_view value, char separator) {
    const bool quote =
        value.find_first_of(std::string("\"\r\n") + separator) != std::string_view::npos ||
        (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!quote)
        return std::string(value);
    std::string out = "\"";
    for (char c : value) {
        out += c;
        if (c == '"')
            out += '"';
    }
    out += '"';
    return out;
}

std::string vcardOf(const store::Table& table) {
    auto get = [&](std::string_view field) { return escapeText(table.getString(field)); };
    std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    addLine(card, "N:" + get("LNAME") + ";" + get("FNAME") + ";" + get("MIDDLE") + ";" +
                      get("PREFIX") + ";");
    std::string full;
    for (auto field : {"PREFIX", "FNAME", "MIDDLE", "LNAME"}) {
        std::string part = table.getString(field);
        if (!part.empty())
            full += (full.empty() ? "" : " ") + part;
    }
    if (full.empty())
        full = table.getString("ORG");
    addLine(card, "FN:" + escapeText(full));
    addProperty(card, "ORG", get("ORG"));
    addProperty(card, "TITLE", get("TITLE"));
    const std::string adr = ";" + get("STREET2") + ";" + get("STREET") + ";" + get("CITY") + ";" +
                            get("STATE") + ";" + get("ZIP") + ";" + get("COUNTRY");
    if (adr.find_first_not_of(';') != std::string::npos)
        addLine(card, "ADR;TYPE=WORK:" + adr);
    addProperty(card, "TEL;TYPE=VOICE", get("PHONE"));
    addProperty(card, "TEL;TYPE=VOICE", get("PHONE2"));
    addProperty(card, "TEL;TYPE=FAX", get("FAX"));
    addProperty(card, "EMAIL;TYPE=INTERNET", get("EMAIL"));
    addProperty(card, "NOTE", escapeText(memoOf(table)));
    addProperty(card, kDateProperty, get("DATE"));
    for (const auto& [property, field] : kOwnProperties)
        addProperty(card, property, get(field));
    card += "END:VCARD\r\n";
    return card;
}

CopyOutcome copyRecordsNamed(store::Table& table, NamedFormat format, const std::string& target,
                             const NamedExportOptions& options,
                             const store::RecordSelection& selection, const CopyHooks& hooks,
                             const store::SelectionWalk::InfoHook& info) {
    CopyOutcome outcome;
    if (isTableItself(target, table.path())) {
        outcome.ok = false;
        outcome.message = std::string(kCopyToItselfMessage);
        return outcome;
    }
    if (auto st = store::checkNotOpenFile(target); !st)
        return failed(outcome, st.error());
    auto walk = store::SelectionWalk::begin(table, selection, info);
    if (!walk)
        return failed(outcome, walk.error());
    const std::uint32_t total = walk->count();
    // Written beside the target and renamed over it only when whole.
    auto out = store::AtomicFile::create(target);
    if (!out)
        return failed(outcome, out.error());
    std::string block;
    if (format == NamedFormat::CsvWithNames) {
        if (options.byteOrderMark)
            block += "\xEF\xBB\xBF";
        auto columns = namedColumns();
        for (std::size_t i = 0; i < columns.size(); ++i)
            block += (i ? std::string(1, options.separator) : std::string()) +
                     csvField(columns[i], options.separator);
        block += "\r\n";
    }
    for (bool more = walk->valid(); more && outcome.copied < total; more = walk->next()) {
        if (format == NamedFormat::VCard) {
            block += vcardOf(table);
        } else {
            for (std::size_t i = 0; i < kTextOrder.size(); ++i) {
                if (i)
                    block += options.separator;
                block += csvField(table.getString(kTextOrder[i]), options.separator);
            }
            block += options.separator;
            block += csvField(memoOf(table), options.separator);
            block += "\r\n";
        }
        if (block.size() >= 65536) {
            if (auto st = out->write(block); !st)
                return failed(outcome, st.error());
            block.clear();
        }
        ++outcome.copied;
        if (hooks.progress)
            hooks.progress(percentOf(outcome.copied, total));
        if (hooks.cancelled && hooks.cancelled()) {
            outcome.cancelled = true;
            break;
        }
    }
    if (auto st = out->write(block); !st)
        return failed(outcome, st.error());
    if (auto st = out->commit(); !st)
        return failed(outcome, st.error());
    return outcome;
}

} // namespace qp::exchange
