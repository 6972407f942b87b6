#include "exchange/delimited_import.h"

#include "exchange/same_file.h"

#include <filesystem>

namespace qp::exchange {

namespace {

constexpr std::size_t kNamedLines = 10;
constexpr std::string_view kSource = "ASCII file";

} // namespace

ImportOutcome importDelimitedRecords(store::Table& table, const std::string& path,
                                     const DelimitedFormat& format,
                                     const std::vector<ImportField>& fields,
                                     const std::vector<AddressLabel>& offered,
                                     const ImportHooks& hooks) {
    RecordImport road(table, hooks);
    if (isTableItself(path, table.path())) {
        ImportOutcome refused;
        refused.kind = ImportOutcome::Kind::Refused;
        refused.message = std::string(kCopyToItselfMessage);
        return refused;
    }
    struct Target {
        std::size_t column;
        std::string field;
    };
    std::vector<Target> targets;
    for (std::size_t i = 0; i < fields.size() && i < kMaxImportFields; ++i) {
        if (fields[i].match.empty())
            continue;
        for (const auto& o : offered)
            if (equalsIgnoringCase(o.label, fields[i].match) && table.fieldIndex(o.field)) {
                targets.push_back({i, o.field});
                break;
            }
    }
    if (!isImportableFile(path))
        return road.finish(ImportOutcome::Kind::ReadError, kSource);
    if (!road.begin())
        return road.finish(ImportOutcome::Kind::WriteError, kSource);

    // The gauge follows the bytes read: a second pass to count records would
    // cost as much as the import itself.
    const TextEncoding encoding = detectEncoding(path);
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    road.setTotal(ec ? 0 : size);
    std::vector<std::string> values;

    road.status(kImportingStatus);
    DelimitedReader reader(path, encoding, format.separator);
    auto& outcome = road.outcome();
    auto finish = [&](ImportOutcome::Kind kind) {
        outcome.damagedLines = reader.damagedCount();
        outcome.damagedNumbers = reader.damagedLines();
        return road.finish(kind, kSource);
    };
    if (!reader.isOpen())
        return finish(ImportOutcome::Kind::ReadError);
    if (format.header && !reader.next(values))
        return finish(reader.failed() ? ImportOutcome::Kind::ReadError
                                      : ImportOutcome::Kind::Complete);
    ImportRecord record;
    while (reader.next(values)) {
        if (reader.unbalanced()) {
            if (outcome.unbalancedNumbers.size() < kNamedLines)
                outcome.unbalancedNumbers.push_back(reader.lineNumber());
            ++outcome.unbalancedLines;
        }
        record.clear();
        for (const auto& t : targets)
            if (t.column < values.size() && !values[t.column].empty())
                record.emplace_back(t.field, std::move(values[t.column]));
        if (!road.add(record))
            return finish(ImportOutcome::Kind::WriteError);
        road.setDone(reader.offset());
        if (road.cancelled())
            return finish(ImportOutcome::Kind::Cancelled);
    }
    if (reader.failed())
        return finish(ImportOutcome::Kind::ReadError);
    return finish(ImportOutcome::Kind::Complete);
}

} // namespace qp::exchange
