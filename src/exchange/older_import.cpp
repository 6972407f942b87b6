#include "exchange/older_import.h"

#include "store/locale_dates.h"
#include "store/os_file.h"
#include "store/shared_routines.h"

namespace qp::exchange {

namespace {

// Copied under the same name from either version.
constexpr std::array<std::string_view, 14> kCommonFields{
    "LNAME", "FNAME", "PREFIX", "MIDDLE",  "TITLE", "ORG", "STREET",
    "CITY",  "STATE", "ZIP",    "COUNTRY", "PHONE", "FAX", "EMAIL"};
// Only in 2.x files.
constexpr std::array<std::string_view, 5> kSecondVersionFields{"STREET2", "PHONE2", "USER1",
                                                               "USER2", "CODES"};

} // namespace

std::string_view versionName(OlderVersion version) {
    return version == OlderVersion::V1 ? "1.x" : "2.x";
}

const std::vector<std::string_view>& requiredFields(OlderVersion version) {
    static const std::vector<std::string_view> first{
        "LNAME",   "FNAME", "MIDDLE", "TITLE", "ORG",   "STREET", "CITY",    "STATE", "ZIP",
        "COUNTRY", "PHONE", "EMAIL",  "FAX",   "NOTES", "PREFIX", "CARRIER", "DATE",  "MEMO"};
    static const std::vector<std::string_view> second{
        "LNAME",  "FNAME", "MIDDLE",  "TITLE", "ORG",    "STREET", "STREET2", "CITY",
        "STATE",  "ZIP",   "COUNTRY", "PHONE", "PHONE2", "EMAIL",  "FAX",     "CODES",
        "PREFIX", "DATE",  "USER1",   "USER2", "ISDEL",  "MEMO",   "TAG"};
    return version == OlderVersion::V1 ? first : second;
}

store::Result<SourceTable> openOlderSource(const std::string& path, const std::string& tablePath,
                                           OlderVersion version) {
    auto source = openImportSource(path, tablePath);
    if (!source)
        return source;
    for (auto name : requiredFields(version))
        if (!source->fieldIndex(name))
            return store::fail(store::baseName(path) + " does not appear to be a Quillpost " +
                               std::string(versionName(version)) + " DBF");
    return source;
}

std::string olderDate(std::string_view value, std::string_view shortDatePattern) {
    return store::NormalizeDate(store::Trim(value), shortDatePattern);
}

DbfImportOutcome importOlderRecords(store::Table& table, SourceTable& source, OlderVersion version,
                                    const ImportHooks& hooks, std::string_view shortDatePattern) {
    const std::string pattern(shortDatePattern.empty() ? store::UserShortDatePattern()
                                                       : shortDatePattern);
    // The fields as source index, address field; a file lacking one was
    // refused when it was opened.
    std::vector<std::pair<int, std::string_view>> copies;
    auto copy = [&](std::string_view from, std::string_view to) {
        if (auto i = source.fieldIndex(from); i && table.fieldIndex(to))
            copies.emplace_back(*i, to);
    };
    for (auto name : kCommonFields)
        copy(name, name);
    if (version == OlderVersion::V1) {
        copy("NOTES", "CODES");
    } else {
        for (auto name : kSecondVersionFields)
            copy(name, name);
    }
    const auto date = source.fieldIndex("DATE");
    const auto memo = source.fieldIndex("MEMO");
    const auto isdel = version == OlderVersion::V2 ? source.fieldIndex("ISDEL") : std::nullopt;

    return importSourceRecords(
        table, source,
        [&](const SourceTable& from, store::Table& to, DbfImportOutcome& outcome,
            RecordFill& fill) -> store::Status {
            for (const auto& [index, field] : copies) {
                std::size_t unreadable = 0;
                std::string value = from.text(index, &unreadable);
                if (auto st = putImportedValue(to, field, std::move(value), outcome, unreadable);
                    !st)
                    return st;
            }
            if (date) {
                std::string value = from.text(*date);
                if (version == OlderVersion::V1)
                    value = olderDate(value, pattern);
                if (auto st = putImportedValue(to, "DATE", std::move(value), outcome); !st)
                    return st;
            }
            if (memo && from.fields()[std::size_t(*memo)].isMemo()) {
                std::size_t unreadable = 0;
                bool damaged = false;
                std::string value = from.memo(*memo, &damaged, &unreadable);
                outcome.memosDamaged += damaged;
                if (auto st = putImportedValue(to, "MEMO", std::move(value), outcome, unreadable);
                    !st)
                    return st;
            }
            // Deleted in the earlier file: deleted here too, both ways.
            if (isdel && (fill.markDeleted || from.text(*isdel) == "T")) {
                if (auto st = to.replaceLogical("ISDEL", true); !st)
                    return st;
                fill.markDeleted = true;
            }
            return store::Status{};
        },
        hooks, version == OlderVersion::V2);
}

} // namespace qp::exchange
