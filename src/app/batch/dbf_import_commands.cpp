// Batch commands for importing other DBF tables: import-dbf (with matching
// by field names) and import-older (files of the earlier versions).

#include "app/batch/batch_command.h"
#include "app/batch/progress_line.h"
#include "app/batch/table_options.h"
#include "exchange/dbf_import.h"
#include "exchange/older_import.h"
#include "store/address_file.h"

#include <algorithm>
#include <ostream>

namespace qp::batch {

namespace {

using exchange::equalsIgnoringCase;

std::string trimmedWord(const std::string& s) {
    auto b = s.find_first_not_of(' ');
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

store::Table openForImport(const std::string& path) {
    auto table = store::openAddressFile(path, store::OpenMode::Exclusive);
    if (!table)
        throw Failure(table.error());
    if (!table->writeBlock().empty())
        throw Failure(table->writeBlock());
    return std::move(*table);
}

// "Last Name=LNAME,Memo=NOTES": display labels to source field names.
void applyDbfMatches(std::vector<exchange::DbfMatchField>& fields,
                     const std::vector<exchange::AddressLabel>& offered, const std::string& spec) {
    for (auto& f : fields)
        f.match = exchange::kNoMatch;
    for (const auto& part : splitList(spec)) {
        auto eq = part.rfind('=');
        if (eq == std::string::npos)
            throw UsageError("--match takes LABEL=FIELD pairs, not \"" + part + "\"");
        const std::string label = trimmedWord(part.substr(0, eq));
        const std::string name = trimmedWord(part.substr(eq + 1));
        auto row = std::find_if(offered.begin(), offered.end(),
                                [&](const auto& o) { return equalsIgnoringCase(o.label, label); });
        if (row == offered.end())
            throw UsageError("--match: no address field is labelled \"" + label + "\"");
        auto field = std::find_if(fields.begin(), fields.end(),
                                  [&](const auto& f) { return equalsIgnoringCase(f.name, name); });
        if (field == fields.end())
            throw UsageError("--match: the source has no field \"" + name + "\"");
        if (!exchange::fitsRow(*field, *row))
            throw UsageError("--match: " + field->name + " cannot feed " + row->label);
        exchange::matchDbfField(fields, std::size_t(field - fields.begin()),
                                std::uint32_t(row - offered.begin()));
    }
}

// The loop with a progress line and Ctrl+C, the index rebuild, the messages.
int runImportLoop(
    store::Table& table, exchange::SourceTable& source, std::ostream& out,
    const std::function<exchange::DbfImportOutcome(const exchange::ImportHooks&)>& importRecords) {
    Interruption interruption;
    ProgressLine progress("records", source.recordCount());
    std::uint64_t done = 0;
    exchange::ImportHooks hooks;
    hooks.cancelled = [&] {
        progress.update(++done);
        return Interruption::requested();
    };
    auto outcome = importRecords(hooks);
    progress.finish();
    if (outcome.kind == exchange::ImportOutcome::Kind::Refused)
        throw Failure(outcome.message);
    ProgressLine indexing("% of the indexes built");
    auto rebuilt =
        exchange::rebuildAfterImport(table, [&](int percent) { indexing.updatePercent(percent); });
    indexing.finish();
    if (!outcome.failure.empty())
        out << outcome.failure << "\n";
    out << outcome.message << "\n";
    if (!rebuilt)
        throw Failure(rebuilt.error());
    if (outcome.kind == exchange::ImportOutcome::Kind::Cancelled)
        return kInterruptedStatus;
    return outcome.kind == exchange::ImportOutcome::Kind::Complete ? 0 : 1;
}

int runImportDbf(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"match"}, {"propose"});
    args.expectPositionals(2, 2);
    const std::string& path = args.positional(0, "FILE");
    const std::string& sourcePath = args.positional(1, "SOURCE");
    store::Table table = openForImport(path);
    auto source = exchange::openImportSource(sourcePath, table.path());
    if (!source)
        throw Failure(source.error());
    const auto offered = exchange::dbfImportFields();
    auto fields = exchange::sourceMatchFields(*source);
    exchange::proposeMatches(fields, offered);
    if (args.flag("propose")) {
        for (std::uint32_t row = 0; row < offered.size(); ++row)
            for (const auto& f : fields)
                if (f.match == row)
                    out << offered[row].label << "=" << f.name << "\n";
        return 0;
    }
    if (auto match = args.value("match"))
        applyDbfMatches(fields, offered, *match);
    if (!exchange::anyDbfMatched(fields))
        throw Failure("No field of " + source->fileName() +
                      " matches an address field; name the matches with --match.");
    return runImportLoop(table, *source, out, [&](const exchange::ImportHooks& hooks) {
        return exchange::importDbfRecords(table, *source, fields, offered, hooks);
    });
}

int runImportOlder(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"version"}, {});
    args.expectPositionals(2, 2);
    const std::string& path = args.positional(0, "FILE");
    const std::string& sourcePath = args.positional(1, "SOURCE");
    auto version = args.value("version");
    if (!version || (*version != "1" && *version != "2"))
        throw UsageError("import-older needs --version 1 or --version 2");
    const auto which = *version == "1" ? exchange::OlderVersion::V1 : exchange::OlderVersion::V2;
    store::Table table = openForImport(path);
    auto source = exchange::openOlderSource(sourcePath, table.path(), which);
    if (!source)
        throw Failure(source.error());
    return runImportLoop(table, *source, out, [&](const exchange::ImportHooks& hooks) {
        return exchange::importOlderRecords(table, *source, which, hooks);
    });
}

BatchCommand importDbf(
    {"import-dbf", "FILE SOURCE [--match 'Last Name=LNAME,Memo=NOTES,...'] [--propose]",
     "Appends one record per record of the DBF table SOURCE (dBase, FoxPro, Visual FoxPro) "
     "to the address file, records marked deleted left out. --propose prints the proposed "
     "matches (LABEL=FIELD) and stops; --match names the matches instead of the proposals. "
     "Prints the import's final message.",
     runImportDbf});
BatchCommand importOlder(
    {"import-older", "FILE SOURCE --version 1|2",
     "Appends the records of an address file of Quillpost 1.x or 2.x, copied field by field. "
     "Prints the import's final message.",
     runImportOlder});

} // namespace
} // namespace qp::batch
