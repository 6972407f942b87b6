// The duplicate and state/ZIP checks from the command line: the collected
// records as CSV in the order the result page lists them, optionally tagged.

#include "addressbook/maintenance/record_checks.h"
#include "addressbook/tagging.h"
#include "app/batch/batch_command.h"
#include "app/batch/csv_writer.h"
#include "app/batch/filter_options.h"
#include "store/address_file.h"
#include "store/address_filter.h"
#include "store/shared_routines.h"
#include "store/system_tables.h"
#include "store/table_files.h"

#include <ostream>

namespace qp::batch {

namespace {

using namespace qp::addressbook;

store::Table openAddress(const std::string& path, bool writable) {
    auto table = store::openAddressFile(path, writable ? store::OpenMode::Exclusive
                                                       : store::OpenMode::ReadOnly);
    if (!table)
        throw Failure(table.error());
    if (writable && !table->writeBlock().empty())
        throw Failure(table->writeBlock());
    if (auto st = store::ClearEngineFilter(*table); !st)
        throw Failure(st.error());
    return std::move(*table);
}

// Lists the records of the cursor's order (the scratch index) and tags them
// when asked.
void listCollected(store::Table& table, const std::vector<std::string>& fields, bool tag,
                   std::ostream& out) {
    std::vector<std::string> header{"RECNO"};
    header.insert(header.end(), fields.begin(), fields.end());
    writeCsvRow(out, header);
    for (bool more = table.first(); more; more = table.next()) {
        std::vector<std::string> row{std::to_string(table.recNo())};
        for (const auto& f : fields)
            row.push_back(table.getString(f));
        writeCsvRow(out, row);
    }
    if (tag) {
        auto run = TagAllMatches(table, tagIdentifier());
        if (!run.error.empty())
            throw Failure(run.error);
    }
}

int runCheckDuplicates(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"by", "chars"}, {"suffixes-alike", "tag"});
    args.expectPositionals(1, 1);
    DuplicateOptions options;
    const std::string by = args.value("by").value_or("name");
    if (by == "name")
        options.check = DuplicateCheck::Name;
    else if (by == "initial")
        options.check = DuplicateCheck::Initial;
    else if (by == "street")
        options.check = DuplicateCheck::Street;
    else
        throw UsageError("--by takes name, initial or street");
    if (auto chars = args.number("chars")) {
        if (*chars < 1 || *chars > kMaxStreetChars)
            throw UsageError("--chars takes a number from 1 to 30");
        options.streetChars = int(*chars);
    }
    options.suffixesAlike = args.flag("suffixes-alike");
    const bool tag = args.flag("tag");
    store::Table table = openAddress(args.positional(0, "FILE"), tag);
    ScratchIndexFile scratch;
    auto outcome = RunDuplicateCheck(table, options, scratch, DuplicateScratchPath());
    if (!outcome.error.empty())
        throw Failure(outcome.error);
    const std::vector<std::string> fields =
        options.check == DuplicateCheck::Street
            ? std::vector<std::string>{"STREET", "LNAME", "FNAME"}
            : std::vector<std::string>{"LNAME", "FNAME", "STREET"};
    if (outcome.found > 0)
        listCollected(table, fields, tag, out);
    else
        writeCsvRow(out, {"RECNO", fields[0], fields[1], fields[2]});
    return 0;
}

int runCheckStateZip(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {}, {"include-blank", "tag"});
    args.expectPositionals(1, 1);
    const bool tag = args.flag("tag");
    const std::string path = args.positional(0, "FILE");
    store::Table table = openAddress(path, tag);
    const auto csz = store::resolveCaseInsensitive(store::SysdataFolder(), "CSZ.DBF");
    if (!store::fileExists(csz.string()))
        throw Failure(
            "The file CSZ.DBF has been removed from the SYSDATA directory. Unable to continue.");
    auto states =
        store::openSystemTable(store::SysdataFolder().string(), store::SystemTable::StateZip);
    if (!states)
        throw Failure(states.error());
    ScratchIndexFile scratch;
    auto outcome = RunStateZipCheck(table, *states, args.flag("include-blank"), scratch,
                                    StateZipScratchPath(table.path()));
    if (!outcome.error.empty())
        throw Failure(outcome.error);
    listCollected(table, {"LNAME", "FNAME", "STATE", "ZIP"}, tag, out);
    return 0;
}

BatchCommand checkDuplicates(
    {"check-duplicates", "FILE [--by name|initial|street] [--chars N] [--suffixes-alike] [--tag]",
     "Check and Repair Duplicates: lists the possible duplicates (the second and later records "
     "of each group) as CSV; --tag tags them.",
     runCheckDuplicates});
BatchCommand checkStateZip(
    {"check-state-zip", "FILE [--include-blank] [--tag]",
     "Check State and Zip Codes against sysdata/CSZ.DBF: lists the questionable records as "
     "CSV; --tag tags them.",
     runCheckStateZip});

} // namespace
} // namespace qp::batch
