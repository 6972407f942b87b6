// Address-file batch commands: create, check, reindex, add, list and
// query-string.

#include "app/batch/batch_command.h"
#include "app/batch/csv_writer.h"
#include "app/batch/filter_options.h"
#include "app/batch/progress_line.h"
#include "app/batch/selection_options.h"
#include "app/batch/table_options.h"
#include "exchange/import_values.h"
#include "store/address_file.h"
#include "store/address_filter.h"
#include "store/filter_file.h"
#include "store/locale_dates.h"
#include "store/settings_file.h"
#include "store/shared_routines.h"
#include "store/table_files.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <ostream>

namespace qp::batch {

namespace {

using store::FilterCriteria;
using store::OpenMode;
using store::Table;

constexpr const char* kRepairHint = "Repair it with: quillpost-batch repair FILE";

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

Table openAddress(const std::string& path, OpenMode mode) {
    auto table = store::openAddressFile(path, mode);
    if (!table)
        throw Failure(table.error());
    return std::move(*table);
}

int runCreate(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {}, {});
    args.expectPositionals(1, 1);
    const std::string& path = args.positional(0, "FILE");
    // Any file of the table's family, in any letter case, is in the way.
    auto existing = store::existingFamilyFiles(path);
    if (store::fileExists(path))
        throw Failure("That file already exists.Please select another name");
    if (!existing.empty())
        throw Failure("That file already exists.Please select another name\n(" + existing.front() +
                      ")");
    auto lengths = store::ReadNewFileFieldLengths(store::SettingsFile::standard());
    store::FieldLengths widths;
    for (const auto& f : store::kNewFileFieldLengths)
        widths[f.field] = lengths.lengthOf(f.field);
    if (auto st = store::createAddressFile(path, widths); !st)
        throw Failure(st.error());
    out << path << "\n";
    return 0;
}

int runCheck(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {}, {});
    args.expectPositionals(1, 1);
    Table table = openAddress(args.positional(0, "FILE"), OpenMode::ReadOnly);
    if (!table.damage().empty()) {
        out << "damaged\n";
        throw Failure(table.damage() + "\n" + kRepairHint);
    }
    // Every key of every tag, against the record it stands for.
    auto st = store::checkAddressIndex(table, Table::IndexCheck::Full);
    out << (st ? "valid" : "invalid") << "\n";
    if (!st)
        std::cerr << st.error() << "\n";
    return st ? 0 : 1;
}

int runReindex(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {}, {"no-pack"});
    args.expectPositionals(1, 1);
    Table table = openAddress(args.positional(0, "FILE"), OpenMode::Exclusive);
    if (!table.damage().empty())
        throw Failure(table.damage() + "\n" + kRepairHint);
    if (!table.writeBlock().empty())
        throw Failure(table.writeBlock());
    // Packing rebuilds whatever tags exist; the 26 are then built fresh.
    if (auto st = table.deleteStructuralIndex(); !st)
        throw Failure(st.error());
    // Ctrl+C waits for the indexes: a half-built index would be worse than none.
    Interruption interruption;
    if (!args.flag("no-pack"))
        if (auto st = table.pack(); !st)
            throw Failure(st.error());
    ProgressLine progress("% of the indexes built");
    table.setProgressHook([&](int percent) { progress.updatePercent(percent); });
    auto built = store::buildAddressTags(table);
    table.setProgressHook({});
    progress.finish();
    if (!built)
        throw Failure(built.error());
    out << table.recCount() << " records\n";
    return 0;
}

int runAdd(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {}, {});
    args.expectPositionals(1, 1000);
    Table table = openAddress(args.positional(0, "FILE"), OpenMode::Exclusive);
    if (auto st = table.append(); !st)
        throw Failure(st.error());
    exchange::ShortenedValues shortened;
    for (std::size_t i = 1; i < args.positionals().size(); ++i) {
        const std::string& assignment = args.positionals()[i];
        auto eq = assignment.find('=');
        if (eq == std::string::npos)
            throw UsageError("values are given as FIELD=VALUE, not \"" + assignment + "\"");
        std::string field = upper(assignment.substr(0, eq));
        std::string value = assignment.substr(eq + 1);
        if (field == "MEMO")
            value = store::memoForStorage(value);
        auto st = field == "ISDEL"
                      ? table.replaceLogical(field, !value.empty() &&
                                                        std::string("TtYy1").find(value[0]) !=
                                                            std::string::npos)
                      : table.replace(field, value);
        if (!st) {
            table.discard();
            throw Failure(st.error());
        }
        if (auto index = table.fieldIndex(field))
            shortened.count(table, *index, value);
    }
    if (auto st = table.post(); !st)
        throw Failure(st.error());
    // A script learns what a field could not hold; the record is added.
    if (auto note = shortened.note(); !note.empty())
        std::cerr << note << std::endl;
    out << table.recNo() << "\n";
    return 0;
}

int runList(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"order", "query", "fields", "flt", "criteria", "selection", "recno"},
              {"deleted", "tagged", "reverse", "start-from-current"});
    args.expectPositionals(1, 1);
    Table table = openTable(args.positional(0, "FILE"));
    if (args.flag("deleted"))
        table.setDeleted(false);
    if (auto tag = args.value("order"))
        useTag(table, *tag);
    auto filter = filterFromArgs(args);
    if (filter && args.value("query"))
        throw UsageError("--query does not go with the filter options");
    std::string tagId;
    bool nothingMatches = false;
    if (filter) {
        tagId = tagIdentifier();
        auto outcome = store::ApplyFilter(table, *filter, tagId, store::FilterCount::AnyOnly);
        if (!outcome.message.empty())
            throw Failure(outcome.message);
        // The window drops a filter that matches nothing and shows every
        // record; a listing of what the filter selects is empty instead.
        nothingMatches = outcome.matchedNothing;
    } else if (auto query = args.value("query")) {
        if (auto st = table.setQuery(*query); !st)
            throw Failure(st.error());
    }
    std::vector<std::string> fields;
    if (auto list = args.value("fields"))
        fields = splitList(*list);
    else
        for (const auto& f : table.fields())
            fields.push_back(f.name);
    // Each column found by name once, not in every record.
    std::vector<store::AddressField> columns;
    bool calculated = false;
    for (const auto& f : fields) {
        auto column = store::findAddressField(table, f);
        if (!column)
            throw Failure("Unknown field " + f);
        calculated |= column->calculated();
        columns.push_back(std::move(*column));
    }
    if (calculated && tagId.empty())
        tagId = tagIdentifier();
    auto formatDate = [](const std::string& date) {
        return store::FormatDisplayDate(date, store::UserShortDatePattern());
    };
    writeCsvRow(out, fields);
    std::vector<std::string> row;
    auto writeRecord = [&] {
        store::CalculatedFields values;
        if (calculated)
            values = store::calculatedFields(table, tagId, true, formatDate);
        row.clear();
        for (const auto& column : columns) {
            if (column.kind == store::AddressField::Kind::Memo) {
                // A memo that cannot be read is an error, never an empty value.
                auto memo = table.getMemo(column.name);
                if (!memo)
                    throw Failure("Record " + std::to_string(table.recNo()) + ": " + memo.error());
                row.push_back(std::move(*memo));
            } else {
                row.push_back(store::addressFieldText(table, column, values));
            }
        }
        writeCsvRow(out, row);
    };
    if (auto selection = selectionFromArgs(args)) {
        table.first();
        applyRecno(args, table);
        auto walk =
            store::SelectionWalk::begin(table, *selection, [&out](std::string_view message) {
                out.flush();
                std::cerr << message << std::endl;
            });
        if (!walk)
            throw Failure(walk.error());
        for (bool more = !nothingMatches && walk->valid(); more; more = walk->next())
            writeRecord();
        return 0;
    }
    for (bool more = !nothingMatches && table.first(); more; more = table.next())
        writeRecord();
    return 0;
}

int runQueryString(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"flt", "criteria"}, {"tagged", "reverse"});
    args.expectPositionals(0, 0);
    FilterCriteria filter = filterFromArgs(args).value_or(FilterCriteria{});
    std::string tagId = filter.tagged ? tagIdentifier() : std::string();
    auto expression = store::BuildQueryString(filter, tagId);
    if (!expression)
        throw Failure(expression.error());
    out << *expression << "\n";
    return 0;
}

BatchCommand create({"create", "FILE",
                     "Creates an address file with the new-file field lengths of the settings.",
                     runCreate});
BatchCommand check({"check", "FILE",
                    "Prints \"valid\" when all 26 index tags exist, else \"invalid\" (exit 1).",
                    runCheck});
BatchCommand reindex({"reindex", "FILE [--no-pack]",
                      "Packs the address file (deleted records go for good) and rebuilds its tags; "
                      "with --no-pack the tags only, every record kept.",
                      runReindex});
BatchCommand add({"add", "FILE FIELD=VALUE...", "Appends one record and prints its record number.",
                  runAdd});
BatchCommand list({"list",
                   std::string("FILE [--order TAG] [--query EXPR | ") + kFilterOptions + "] " +
                       kSelectionOptions + " [--fields F1,F2,...] [--deleted]",
                   "Visible records as CSV (UTF-8, header line). The filter options work as the "
                   "filter window does; --fields takes calculated fields too (FullName, "
                   "FullNameWithPrefix, CityStateZip, DisplayDate, Tagged).",
                   runList});
BatchCommand queryString({"query-string", kFilterOptions,
                          "Prints the query expression the filter criteria build.",
                          runQueryString});

} // namespace
} // namespace qp::batch
