// Exchange batch commands for the lists of spreadsheets and address books:
// delimited text with field names and vCards.

#include "app/batch/named_exchange_commands.h"

#include "app/batch/batch_command.h"
#include "app/batch/filter_options.h"
#include "app/batch/progress_line.h"
#include "app/batch/selection_options.h"
#include "app/batch/table_options.h"
#include "exchange/delimited_import.h"
#include "exchange/field_names.h"
#include "exchange/named_export.h"
#include "exchange/same_file.h"
#include "exchange/vcard_import.h"
#include "store/address_file.h"

#include <algorithm>
#include <charconv>
#include <ostream>

namespace qp::batch {

namespace {

using exchange::equalsIgnoringCase;

store::Table openAddress(const std::string& path, store::OpenMode mode) {
    auto table = store::openAddressFile(path, mode);
    if (!table)
        throw Failure(table.error());
    if (mode == store::OpenMode::Exclusive && !table->writeBlock().empty())
        throw Failure(table->writeBlock());
    return std::move(*table);
}

std::string trimmed(const std::string& s) {
    auto b = s.find_first_not_of(' ');
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

char separatorOf(const std::string& word) {
    if (word == "," || equalsIgnoringCase(word, "comma"))
        return ',';
    if (word == ";" || equalsIgnoringCase(word, "semicolon"))
        return ';';
    if (word == "\t" || equalsIgnoringCase(word, "tab"))
        return '\t';
    throw UsageError("--separator takes , ; or tab, not \"" + word + "\"");
}

// "Last Name=Surname,City=3": display labels to the file's field names
// (compared ignoring case and punctuation) or field numbers.
void applyNamedMatches(std::vector<exchange::ImportField>& fields,
                       const std::vector<exchange::AddressLabel>& offered,
                       const std::string& spec) {
    for (const auto& part : splitList(spec)) {
        auto eq = part.find('=');
        if (eq == std::string::npos)
            throw UsageError("--match takes LABEL=FIELD pairs, not \"" + part + "\"");
        const std::string label = trimmed(part.substr(0, eq));
        const std::string column = trimmed(part.substr(eq + 1));
        auto it = std::find_if(offered.begin(), offered.end(),
                               [&](const auto& o) { return equalsIgnoringCase(o.label, label); });
        if (it == offered.end())
            throw UsageError("--match: no address field is labelled \"" + label + "\"");
        if (column.empty()) {
            // "City=" leaves the field unmatched.
            exchange::matchField(fields, fields.size(), it->label);
            continue;
        }
        std::size_t index = fields.size();
        const std::string folded = exchange::foldName(column);
        for (std::size_t i = 0; i < fields.size() && index == fields.size(); ++i)
            if (exchange::foldName(fields[i].name) == folded)
                index = i;
        std::size_t number = 0;
        auto [ptr, ec] = std::from_chars(column.data(), column.data() + column.size(), number);
        if (index == fields.size() && ec == std::errc() && ptr == column.data() + column.size() &&
            number >= 1 && number <= fields.size())
            index = number - 1;
        if (index == fields.size())
            throw UsageError("--match: the file has no field named \"" + column + "\"");
        exchange::matchField(fields, index, it->label);
    }
}

// The import's end: the indexes rebuilt over whatever was imported, the
// message printed, the status from the outcome.
int finishImport(store::Table& table, const exchange::ImportOutcome& outcome, std::ostream& out) {
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

int runImportVCard(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"address", "date"}, {});
    args.expectPositionals(2, 2);
    const std::string& path = args.positional(0, "FILE");
    const std::string& vcf = args.positional(1, "VCF");
    if (exchange::isTableItself(vcf, path))
        throw Failure(std::string(exchange::kCopyToItselfMessage));
    exchange::VCardOptions options;
    if (auto a = args.value("address")) {
        if (equalsIgnoringCase(*a, "preferred"))
            options.address = exchange::CardAddress::Preferred;
        else if (equalsIgnoringCase(*a, "work"))
            options.address = exchange::CardAddress::Work;
        else if (equalsIgnoringCase(*a, "home"))
            options.address = exchange::CardAddress::Home;
        else
            throw UsageError("--address takes preferred, work or home");
    }
    if (auto d = args.value("date")) {
        if (equalsIgnoringCase(*d, "none"))
            options.date = exchange::CardDate::None;
        else if (equalsIgnoringCase(*d, "birthday"))
            options.date = exchange::CardDate::Birthday;
        else if (equalsIgnoringCase(*d, "anniversary"))
            options.date = exchange::CardDate::Anniversary;
        else
            throw UsageError("--date takes none, birthday or anniversary");
    }
    store::Table table = openAddress(path, store::OpenMode::Exclusive);
    Interruption interruption;
    ProgressLine progress("cards");
    std::uint64_t done = 0;
    exchange::ImportHooks hooks;
    hooks.cancelled = [&] {
        progress.update(++done);
        return Interruption::requested();
    };
    auto outcome = exchange::importVCards(table, vcf, options, hooks);
    progress.finish();
    return finishImport(table, outcome, out);
}

BatchCommand importVCard(
    {"import-vcard", "FILE VCF [--address preferred|work|home] [--date none|birthday|anniversary]",
     "Appends one record per vCard (2.1, 3.0 or 4.0) of VCF to the address file; cards without "
     "a name or an address are counted and skipped. Prints the import's final message.",
     runImportVCard});

} // namespace

bool hasOption(const std::vector<std::string>& words, const std::string& name) {
    return std::find(words.begin(), words.end(), "--" + name) != words.end();
}

int runImportCsvWithNames(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"match", "separator"}, {"header", "propose"});
    args.expectPositionals(2, 2);
    const std::string& path = args.positional(0, "FILE");
    const std::string& csv = args.positional(1, "CSV");
    if (exchange::isTableItself(csv, path))
        throw Failure(std::string(exchange::kCopyToItselfMessage));
    exchange::DelimitedFormat format = exchange::detectDelimitedFormat(csv);
    format.header = true;
    if (auto sep = args.value("separator"))
        format.separator = separatorOf(*sep);
    auto scan = exchange::scanDelimitedFile(csv, format);
    if (!scan.usable)
        throw Failure(scan.message);
    const auto offered = exchange::namedImportFields();
    if (auto match = args.value("match"))
        applyNamedMatches(scan.fields, offered, *match);
    if (args.flag("propose")) {
        out << "Separator: " << exchange::separatorName(format.separator) << "\n";
        for (const auto& f : scan.fields)
            out << f.name << " -> " << (f.match.empty() ? "(none)" : f.match) << "\n";
        return 0;
    }
    if (!exchange::anyMatched(scan.fields))
        throw UsageError("no field of " + csv + " is matched; name them with --match");
    store::Table table = openAddress(path, store::OpenMode::Exclusive);
    Interruption interruption;
    ProgressLine progress("records");
    std::uint64_t done = 0;
    exchange::ImportHooks hooks;
    hooks.cancelled = [&] {
        progress.update(++done);
        return Interruption::requested();
    };
    auto outcome =
        exchange::importDelimitedRecords(table, csv, format, scan.fields, offered, hooks);
    progress.finish();
    return finishImport(table, outcome, out);
}

int runExportWithNames(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"selection", "recno", "order", "flt", "criteria", "separator"},
              {"csv", "vcard", "bom", "start-from-current", "tagged", "reverse", "overwrite"});
    args.expectPositionals(2, 2);
    const std::string& path = args.positional(0, "FILE");
    const std::string& target = args.positional(1, "OUT");
    if (args.flag("csv") == args.flag("vcard"))
        throw UsageError("export takes one of --text, --dbf, --csv and --vcard");
    const auto format =
        args.flag("csv") ? exchange::NamedFormat::CsvWithNames : exchange::NamedFormat::VCard;
    exchange::NamedExportOptions options;
    options.byteOrderMark = args.flag("bom");
    if (auto sep = args.value("separator"))
        options.separator = separatorOf(*sep);

    store::RecordSelection selection = selectionFromArgs(args).value_or(store::RecordSelection{});
    store::Table table = openAddress(path, store::OpenMode::ReadOnly);
    if (auto caption = args.value("order"))
        useSortCaption(table, *caption);
    else if (table.tagArea("LNAME"))
        useTag(table, "LNAME");
    applyFilterOptions(args, table, tagIdentifier(), std::string(exchange::kNothingToCopyMessage));
    applyRecno(args, table);
    if (auto refused = exchange::checkCopyName(exchange::CopyFormat::Text, target, table.path()))
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
    if (auto existing = exchange::existingCopyTarget(exchange::CopyFormat::Text, target);
        existing && !args.flag("overwrite"))
        throw Failure(*existing + " already exists. Add --overwrite to replace it.");
    Interruption interruption;
    ProgressLine progress("records", total);
    std::uint64_t done = 0;
    exchange::CopyHooks hooks;
    hooks.cancelled = [&] {
        progress.update(++done);
        return Interruption::requested();
    };
    auto outcome =
        exchange::copyRecordsNamed(table, format, target, options, selection, hooks,
                                   [&](std::string_view message) { out << message << "\n"; });
    progress.finish();
    if (!outcome.ok)
        throw Failure(outcome.message);
    out << outcome.copied << " records copied to " << target
        << (outcome.cancelled ? " before the copy was stopped" : "") << "\n";
    return outcome.cancelled ? kInterruptedStatus : 0;
}

} // namespace qp::batch
