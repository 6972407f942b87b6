#include "exchange/dbf_import.h"

#include "exchange/import_values.h"
#include "exchange/same_file.h"
#include "store/address_file.h"
#include "store/address_schema.h"
#include "store/os_file.h"

#include <algorithm>

namespace qp::exchange {

namespace {

char storedType(std::string_view field) {
    for (const auto& f : store::kAddressFields)
        if (equalsIgnoringCase(f.name, field))
            return f.type;
    return 'C';
}

std::string plural(std::uint64_t n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string countMessage(const DbfImportOutcome& o, const SourceTable& source) {
    const std::string n = std::to_string(o.imported);
    std::string text = o.kind == ImportOutcome::Kind::Cancelled
                           ? "Import cancelled after importing " + n + " records."
                           : "Import complete. Imported " + n + " records.";
    const std::string name = source.fileName();
    if (o.skippedDeleted)
        text += "\r\n" + plural(o.skippedDeleted, "record", "records") + " marked deleted in " +
                name + (o.skippedDeleted == 1 ? " was" : " were") + " left out.";
    if (o.missingRecords)
        text += "\r\nThe header of " + name + " counts " +
                plural(o.missingRecords, "record", "records") +
                " more than the file holds; only the records in the file were read.";
    if (o.memosDamaged)
        text += "\r\n" + plural(o.memosDamaged, "memo", "memos") +
                " could not be read whole from " + store::baseName(source.memoPath()) +
                "; what could be read was imported.";
    if (auto note = o.shortened.note(); !note.empty())
        text += "\r\n" + note;
    if (o.valuesChanged)
        text += "\r\n" + plural(o.valuesChanged, "value", "values") +
                " held characters that cannot be stored and were changed.";
    return text;
}

} // namespace

std::vector<AddressLabel> dbfImportFields() {
    auto fields = defaultImportFields();
    fields.push_back({"DATE", *labelOf("DATE")});
    fields.push_back({"MEMO", "Memo"});
    return fields;
}

store::Result<SourceTable> openImportSource(const std::string& path, const std::string& tablePath) {
    const std::string name = store::baseName(path);
    if (isTableItself(path, tablePath))
        return store::fail(std::string(kImportToItselfMessage));
    auto source = SourceTable::open(path);
    if (!source)
        return store::fail(std::string(kUnableToOpenPrefix) + name + "\r\n\r\n" + source.error());
    if (source->recordCount() == 0)
        return store::fail(std::string(kNoRecordsPrefix) + name);
    return source;
}

std::vector<DbfMatchField> sourceMatchFields(const SourceTable& source) {
    std::vector<DbfMatchField> fields;
    for (const auto& f : source.fields())
        fields.push_back({f.name, f.type, f.hasText(), kNoMatch});
    return fields;
}

bool fitsRow(const DbfMatchField& field, const AddressLabel& row) {
    switch (storedType(row.field)) {
    case 'M':
        return field.type == 'M';
    case 'D':
        return field.type == 'D';
    default:
        return field.type != 'M' && field.hasText;
    }
}

void proposeMatches(std::vector<DbfMatchField>& fields, const std::vector<AddressLabel>& offered) {
    for (auto& f : fields)
        f.match = kNoMatch;
    auto taken = [&](std::uint32_t row) {
        return std::any_of(fields.begin(), fields.end(),
                           [&](const DbfMatchField& f) { return f.match == row; });
    };
    for (auto& f : fields) {
        const bool byName = f.type == 'C' || f.type == 'L' || f.type == 'N' || f.type == 'D';
        for (std::uint32_t row = 0; row < offered.size(); ++row) {
            const AddressLabel& o = offered[row];
            if (!fitsRow(f, o) || taken(row))
                continue;
            const bool fits = f.type == 'M' ? equalsIgnoringCase(o.field, "MEMO")
                              : byName      ? equalsIgnoringCase(o.label, f.name) ||
                                             equalsIgnoringCase(o.field, f.name)
                                       : false;
            if (fits) {
                f.match = row;
                break;
            }
        }
    }
}

void matchDbfField(std::vector<DbfMatchField>& fields, std::size_t fieldIndex, std::uint32_t row) {
    if (fieldIndex >= fields.size())
        return;
    for (auto& f : fields)
        if (f.match == row)
            f.match = kNoMatch;
    fields[fieldIndex].match = row;
}

bool anyDbfMatched(const std::vector<DbfMatchField>& fields) {
    return std::any_of(fields.begin(), fields.end(),
                       [](const DbfMatchField& f) { return f.match != kNoMatch; });
}

store::Status putImportedValue(store::Table& table, std::string_view field, std::string value,
                               DbfImportOutcome& outcome, bool changed) {
    if (value.empty())
        return {};
    auto index = table.fieldIndex(field);
    if (!index)
        return store::fail("The address file has no field " + std::string(field));
    const bool memo = table.fields()[std::size_t(*index)].type == 'M';
    if (makeStorable(value, memo) || changed)
        ++outcome.valuesChanged;
    outcome.shortened.count(table, *index, value);
    if (memo)
        value = store::memoForStorage(std::move(value));
    return table.replace(*index, value);
}

DbfImportOutcome importSourceRecords(store::Table& table, SourceTable& source,
                                     const FillRecord& fillRecord, const ImportHooks& hooks,
                                     bool keepMarked) {
    DbfImportOutcome outcome;
    auto finish = [&](ImportOutcome::Kind kind) {
        outcome.kind = kind;
        outcome.message = countMessage(outcome, source);
        return outcome;
    };
    auto fail = [&](const std::string& why) {
        outcome.failure = std::string(kUnknownImportError) + (why.empty() ? "" : "\r\n\r\n" + why);
        return finish(ImportOutcome::Kind::WriteError);
    };
    if (isTableItself(source.path(), table.path())) {
        outcome.kind = ImportOutcome::Kind::Refused;
        outcome.message = std::string(kImportToItselfMessage);
        return outcome;
    }
    // Records go in without index upkeep; the tags are built once at the end.
    if (auto st = table.deleteStructuralIndex(); !st)
        return fail(st.error());
    if (hooks.status)
        hooks.status(kImportingStatus);

    // The count as the loop starts bounds it, whatever happens to the file.
    const std::uint32_t count = source.recordCount();
    outcome.missingRecords = source.headerCount() - count;
    int lastPercent = -1;
    for (std::uint32_t recno = 1; recno <= count; ++recno) {
        if (!source.go(recno))
            return fail(source.readError());
        if (source.deleted() && !keepMarked) {
            ++outcome.skippedDeleted;
        } else {
            if (auto st = table.append(); !st)
                return fail(st.error());
            RecordFill fill;
            fill.markDeleted = source.deleted();
            store::Status st = fillRecord(source, table, outcome, fill);
            if (st)
                st = fill.markDeleted ? table.deleteRecord() : table.post();
            if (!st) {
                table.discard();
                return fail(st.error());
            }
            ++outcome.imported;
        }
        const int percent = static_cast<int>(std::uint64_t(recno) * 100 / count);
        if (hooks.progress && percent != lastPercent) {
            lastPercent = percent;
            hooks.progress(percent);
        }
        if (hooks.cancelled && hooks.cancelled())
            return finish(ImportOutcome::Kind::Cancelled);
    }
    return finish(ImportOutcome::Kind::Complete);
}

DbfImportOutcome importDbfRecords(store::Table& table, SourceTable& source,
                                  const std::vector<DbfMatchField>& fields,
                                  const std::vector<AddressLabel>& offered,
                                  const ImportHooks& hooks) {
    struct Target {
        int source;
        std::string field;
        bool memo;
    };
    std::vector<Target> targets;
    for (std::size_t i = 0; i < fields.size() && i < source.fields().size(); ++i)
        if (fields[i].match < offered.size() && table.fieldIndex(offered[fields[i].match].field))
            targets.push_back(
                {int(i), offered[fields[i].match].field, source.fields()[i].isMemo()});
    return importSourceRecords(
        table, source,
        [&](const SourceTable& from, store::Table& to, DbfImportOutcome& outcome, RecordFill&) {
            for (const auto& t : targets) {
                std::size_t unreadable = 0;
                bool damaged = false;
                std::string value = t.memo ? from.memo(t.source, &damaged, &unreadable)
                                           : from.text(t.source, &unreadable);
                // The date of a date-time, where the address file keeps dates.
                if (t.field == "DATE" && from.fields()[std::size_t(t.source)].type == 'T')
                    value = value.substr(0, 8);
                outcome.memosDamaged += damaged;
                if (auto st =
                        putImportedValue(to, t.field, std::move(value), outcome, unreadable > 0);
                    !st)
                    return st;
            }
            return store::Status{};
        },
        hooks);
}

} // namespace qp::exchange
