// Exchange batch commands: import-csv and export.

#include "app/batch/batch_command.h"
#include "app/batch/filter_options.h"
#include "app/batch/named_exchange_commands.h"
#include "app/batch/progress_line.h"
#include "app/batch/selection_options.h"
#include "app/batch/table_options.h"
#include "exchange/ascii_import.h"
#include "exchange/copy_out.h"
#include "store/address_file.h"
#include "store/record_selection.h"
#include "store/table_files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <iostream>
#include <ostream>

namespace qp::batch {

namespace {

using exchange::equalsIgnoringCase;

store::Table openAddress(const std::string& path, store::OpenMode mode) {
    auto table = store::openAddressFile(path, mode);
    if (!table)
        throw Failure(table.error());
    return std::move(*table);
}

std::string trimmed(const std::string& s) {
    auto b = s.find_first_not_of(' ');
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// "Last Name=1,City=3": display labels to text field numbers.
void applyMatches(std::vector<exchange::ImportField>& fields,
                  const std::vector<exchange::AddressLabel>& offered, const std::string& spec) {
    for (const auto& part : splitList(spec)) {
        auto eq = part.rfind('=');
        if (eq == std::string::npos)
            throw UsageError("--match takes LABEL=NUMBER pairs, not \"" + part + "\"");
        std::string label = trimmed(part.substr(0, eq));
        std::string digits = trimmed(part.substr(eq + 1));
        auto it = std::find_if(offered.begin(), offered.end(),
                               [&](const auto& o) { return equalsIgnoringCase(o.label, label); });
        if (it == offered.end())
            throw UsageError("--match: no address field is labelled \"" + label + "\"");
        std::size_t number = 0;
        auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (ec != std::errc() || ptr != digits.data() + digits.size() || number < 1 ||
            number > fields.size())
            throw UsageError("--match: \"" + digits + "\" is not a field number from 1 to " +
                             std::to_string(fields.size()));
        exchange::matchField(fields, number - 1, it->label);
    }
}

int runImportCsv(const std::vector<std::string>& words, std::ostream& out) {
    if (hasOption(words, "header"))
        return runImportCsvWithNames(words, out);
    Args args(words, {"match"}, {});
    args.expectPositionals(2, 2);
    const std::string& path = args.positional(0, "FILE");
    const std::string& csv = args.positional(1, "CSV");
    auto match = args.value("match");
    if (!match)
        throw UsageError("import-csv needs --match");
    store::Table table = openAddress(path, store::OpenMode::Exclusive);
    if (!table.writeBlock().empty())
        throw Failure(table.writeBlock());
    auto scan = exchange::scanAsciiFile(csv);
    if (!scan.usable)
        throw Failure(scan.message);
    auto offered = exchange::defaultImportFields();
    applyMatches(scan.fields, offered, *match);
    if (!exchange::anyMatched(scan.fields))
        throw UsageError("--match names no field");
    // Ctrl+C stops the import after the record in hand; the indexes are
    // then rebuilt over the records imported, so the file stays whole.
    Interruption interruption;
    ProgressLine progress("records");
    if (progress.shown()) {
        exchange::LineReader lines(csv, scan.encoding);
        std::uint64_t total = 0;
        for (std::string line; lines.next(line);)
            ++total;
        progress.setTotal(total);
    }
    std::uint64_t done = 0;
    exchange::ImportHooks hooks;
    hooks.cancelled = [&] {
        progress.update(++done);
        return Interruption::requested();
    };
    auto outcome = exchange::importAsciiRecords(table, csv, scan.fields, offered, hooks);
    progress.finish();
    if (outcome.kind == exchange::ImportOutcome::Kind::Refused)
        throw Failure(outcome.message);
    ProgressLine indexing("% of the indexes built");
    auto rebuilt =
        exchange::rebuildAfterImport(table, [&](int percent) { indexing.updatePercent(percent); });
    indexing.finish();
    out << outcome.message << "\n";
    if (!rebuilt)
        throw Failure(rebuilt.error());
    if (outcome.kind == exchange::ImportOutcome::Kind::Cancelled)
        return kInterruptedStatus;
    return outcome.kind == exchange::ImportOutcome::Kind::Complete ? 0 : 1;
}

int runExport(const std::vector<std::string>& words, std::ostream& out) {
    if (hasOption(words, "csv") || hasOption(words, "vcard"))
        return runExportWithNames(words, out);
    Args args(words, {"selection", "recno", "order", "flt", "criteria"},
              {"text", "dbf", "start-from-current", "tagged", "reverse", "overwrite"});
    // Export takes the filter in force unless told otherwise.
    args.expectPositionals(2, 2);
    const std::string& path = args.positional(0, "FILE");
    const std::string& target = args.positional(1, "OUT");
    if (args.flag("text") == args.flag("dbf"))
        throw UsageError("export needs one of --text and --dbf");
    auto format = args.flag("dbf") ? exchange::CopyFormat::Dbf : exchange::CopyFormat::Text;

    store::RecordSelection selection = selectionFromArgs(args).value_or(store::RecordSelection{});

    store::Table table = openAddress(path, store::OpenMode::ReadOnly);
    if (auto caption = args.value("order"))
        useSortCaption(table, *caption);
    else if (table.tagArea("LNAME"))
        useTag(table, "LNAME");
    applyFilterOptions(args, table, tagIdentifier(), std::string(exchange::kNothingToCopyMessage));
    applyRecno(args, table);

    if (auto refused = exchange::checkCopyName(format, target, table.path()))
        throw Failure(*refused);
    std::uint32_t total = 0;
    {
        auto walk = store::SelectionWalk::begin(table, selection);
        if (!walk)
            throw Failure(walk.error());
        if (walk->count() == 0)
            throw Failure(std::string(exchange::kNothingToCopyMessage));
        total = walk->count();
    }
    if (auto existing = exchange::existingCopyTarget(format, target);
        existing && !args.flag("overwrite"))
        throw Failure(*existing + " already exists. Add --overwrite to replace it.");

    // Ctrl+C stops the copy after the record in hand and leaves a whole file
    // with the records copied so far.
    Interruption interruption;
    ProgressLine progress("records", total);
    std::uint64_t done = 0;
    exchange::CopyHooks hooks;
    hooks.cancelled = [&] {
        progress.update(++done);
        return Interruption::requested();
    };
    auto outcome =
        exchange::copyRecordsOut(table, format, target, selection, hooks,
                                 [&](std::string_view message) { out << message << "\n"; });
    progress.finish();
    if (!outcome.ok)
        throw Failure(outcome.message);
    out << outcome.copied << " records copied to " << target
        << (outcome.cancelled ? " before the copy was stopped" : "") << "\n";
    return outcome.cancelled ? kInterruptedStatus : 0;
}

BatchCommand importCsv(
    {"import-csv",
     "FILE CSV --match 'Last Name=1,First Name=2,...' | FILE CSV --header [--separator ,|;|tab] "
     "[--match 'Last Name=Surname,...'] [--propose]",
     "Appends one record per line of CSV to the address file; --match pairs display labels "
     "with text field numbers. With --header the first line names the fields, matches are "
     "proposed from the names where --match is silent, and --propose prints them and exits. "
     "Prints the import's final message.",
     runImportCsv});
BatchCommand exportCommand(
    {"export",
     std::string("FILE OUT --text|--dbf|--csv|--vcard [--bom] [--separator ,|;|tab] "
                 "[--selection all|filter|current] [--recno N] [--start-from-current] ") +
         kFilterOptions + " [--order CAPTION] [--overwrite]",
     "Copies the selected records to a DBF table with the address file's structure, to "
     "comma-delimited text (twenty quoted values a line, CR LF), to UTF-8 CSV with a line of "
     "field names and the memo (--bom for spreadsheets), or to vCard 3.0. --recno sets the "
     "current record; the order defaults to Last Name.",
     runExport});

} // namespace
} // namespace qp::batch
