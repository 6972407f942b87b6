// Record maintenance from the command line: search and replace, case
// conversion, deleting many records and rebuilding the system indexes.

#include "addressbook/maintenance/case_conversion.h"
#include "addressbook/maintenance/delete_records.h"
#include "addressbook/maintenance/field_text.h"
#include "addressbook/maintenance/search_replace.h"
#include "addressbook/rebuild.h"
#include "app/batch/batch_command.h"
#include "app/batch/filter_options.h"
#include "app/batch/table_options.h"
#include "store/address_file.h"
#include "store/address_filter.h"
#include "store/codepage.h"
#include "store/filter_criteria.h"
#include "store/shared_routines.h"

#include <ostream>

namespace qp::batch {

namespace {

using namespace qp::addressbook;

const std::set<std::string> kFilterValueOptions{"flt", "criteria"};

std::set<std::string> withFilter(std::set<std::string> names, bool values) {
    if (values)
        names.insert(kFilterValueOptions.begin(), kFilterValueOptions.end());
    else
        names.insert({"tagged", "reverse"});
    return names;
}

store::Table openWritable(const std::string& path) {
    auto table = store::openAddressFile(path, store::OpenMode::Exclusive);
    if (!table)
        throw Failure(table.error());
    if (!table->writeBlock().empty())
        throw Failure(table->writeBlock());
    return std::move(*table);
}

// The expression of the filter the options describe, put on the table as
// the window's query ("... .and. !ISDEL"); empty when none is given.
std::string filterExpression(const Args& args, store::Table& table) {
    auto filter = filterFromArgs(args);
    if (!filter)
        return {};
    auto outcome = store::ApplyFilter(table, *filter, tagIdentifier(), store::FilterCount::AnyOnly);
    if (!outcome.message.empty())
        throw Failure(outcome.message);
    if (outcome.matches == 0)
        throw Failure("The filter matches no record");
    return filter->expression;
}

int runReplace(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, withFilter({"field", "find", "with", "selection"}, true),
              withFilter({"contains", "partial", "ignore-case", "dry-run"}, false));
    args.expectPositionals(1, 1);
    auto field = args.value("field");
    if (!field)
        throw UsageError("replace needs --field CAPTION");
    const ReplaceTarget* target = FindReplaceTarget(*field);
    if (!target)
        throw UsageError("--field: no replace target is called \"" + *field + "\"");
    ReplaceRequest request;
    request.target = *target;
    request.find = args.value("find").value_or("");
    request.replacement = args.value("with").value_or("");
    request.condition =
        args.flag("contains") ? FindCondition::Contains : FindCondition::ExactlyEqual;
    request.action = args.flag("partial") ? ReplaceAction::MatchingText : ReplaceAction::WholeField;
    request.caseSensitive = !args.flag("ignore-case");
    const std::string selection = args.value("selection").value_or("all");
    if (selection != "all" && selection != "filter")
        throw UsageError("--selection takes all or filter");
    store::Table table = openWritable(args.positional(0, "FILE"));
    // As in the window, the texts are no wider than the field.
    if (auto index = table.fieldIndex(target->field)) {
        const auto width = static_cast<std::size_t>(table.fields()[std::size_t(*index)].length);
        for (const auto& [option, text] :
             {std::pair{"--find", &request.find}, std::pair{"--with", &request.replacement}})
            if (const std::size_t n = store::utf8CharacterCount(*text); n > width)
                throw Failure(std::string(option) + " has " + std::to_string(n) + " characters; " +
                              std::string(target->caption) + " holds " + std::to_string(width));
    }
    const std::string expression = filterExpression(args, table);
    if (selection == "filter") {
        if (expression.empty())
            throw UsageError("--selection filter needs a filter (--flt or --criteria)");
        request.restriction = expression;
    }
    const bool dryRun = args.flag("dry-run");
    auto count = RunReplace(table, request, dryRun);
    if (!count)
        throw Failure(count.error());
    if (dryRun)
        out << WillChangeLine(*count) << "\n";
    else
        out << "Replaced " << *count << " records\n";
    return 0;
}

int runConvertCase(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, withFilter({"fields", "selection", "recno"}, true),
              withFilter({"upper", "lower", "capitalize", "dry-run"}, false));
    args.expectPositionals(1, 1);
    const int kinds =
        int(args.flag("upper")) + int(args.flag("lower")) + int(args.flag("capitalize"));
    if (kinds != 1)
        throw UsageError("convert-case needs one of --upper, --lower, --capitalize");
    CaseRun run;
    run.conversion = args.flag("upper")   ? CaseConversion::Upper
                     : args.flag("lower") ? CaseConversion::Lower
                                          : CaseConversion::Capitalize;
    const std::string list = args.value("fields").value_or("all");
    if (list == "all") {
        for (const auto& f : kCaseFields)
            run.fields.emplace_back(f.field);
    } else {
        for (const auto& name : splitList(list)) {
            const CaseField* f = FindCaseField(name);
            if (!f)
                throw UsageError("--fields: case conversion offers no field \"" + name + "\"");
            run.fields.emplace_back(f->field);
        }
    }
    if (run.fields.empty())
        throw Failure("No fields checked for conversion");
    const std::string selection = args.value("selection").value_or("current");
    if (selection == "current")
        run.records = CaseRecords::Current;
    else if (selection == "all")
        run.records = CaseRecords::All;
    else if (selection == "filter")
        run.records = CaseRecords::Filter;
    else
        throw UsageError("--selection takes current, all or filter");
    store::Table table = openWritable(args.positional(0, "FILE"));
    const std::string expression = filterExpression(args, table);
    if (expression.empty())
        (void)store::ClearEngineFilter(table);
    if (run.records == CaseRecords::Filter && expression.empty())
        throw UsageError("--selection filter needs a filter (--flt or --criteria)");
    table.first();
    if (auto recno = args.number("recno")) {
        if (*recno < 1 || !table.go(std::uint32_t(*recno)))
            throw Failure("There is no record " + std::to_string(*recno));
    } else if (run.records == CaseRecords::Current) {
        throw UsageError("--selection current needs --recno N");
    }
    const bool dryRun = args.flag("dry-run");
    auto outcome = RunCaseConversion(table, run, dryRun);
    if (!outcome.error.empty())
        throw Failure(outcome.error);
    if (dryRun)
        out << WillChangeLine(outcome.changed) << "\n";
    else
        out << "Converted " << outcome.visited << " records, " << outcome.changed << " changed\n";
    return 0;
}

int runDeleteRecords(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, withFilter({}, true),
              withFilter({"all", "matching", "not-matching", "dry-run"}, false));
    args.expectPositionals(1, 1);
    const int kinds =
        int(args.flag("all")) + int(args.flag("matching")) + int(args.flag("not-matching"));
    if (kinds != 1)
        throw UsageError("delete-records needs one of --all, --matching, --not-matching");
    const DeleteChoice choice = args.flag("all")        ? DeleteChoice::All
                                : args.flag("matching") ? DeleteChoice::Matching
                                                        : DeleteChoice::NotMatching;
    store::Table table = openWritable(args.positional(0, "FILE"));
    const std::string expression = filterExpression(args, table);
    if (choice != DeleteChoice::All && expression.empty())
        throw UsageError("--matching and --not-matching need a filter (--flt or --criteria)");
    const bool dryRun = args.flag("dry-run");
    auto count = RunDeleteRecords(table, choice, expression, dryRun);
    if (!count)
        throw Failure(count.error());
    if (dryRun)
        out << WillChangeLine(*count) << "\n";
    else
        out << "Deleted " << *count << " records\n";
    return 0;
}

int runRebuildSystemIndexes(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {}, {});
    args.expectPositionals(0, 0);
    auto skipped = RebuildSystemIndexes(
        store::SysdataFolder(), {[&](std::string_view status) { out << status << "\n"; },
                                 {},
                                 [&](const std::string& account) { out << account << "\n"; }});
    for (const auto& why : skipped)
        out << "Skipped " << why << "\n";
    return 0;
}

BatchCommand
    replace({"replace",
             std::string("FILE --field CAPTION [--find V] [--with W] [--contains] [--partial] "
                         "[--ignore-case] [--selection all|filter] [--dry-run] ") +
                 kFilterOptions,
             "Search and Replace Field Values: prints \"Replaced n records\" (--dry-run: how many "
             "records would change, nothing written).",
             runReplace});
BatchCommand
    convertCase({"convert-case",
                 std::string("FILE --upper|--lower|--capitalize [--fields LIST|all] "
                             "[--selection current|all|filter] [--recno N] [--dry-run] ") +
                     kFilterOptions,
                 "Converts the letter case of the fields (captions or names, comma separated).",
                 runConvertCase});
BatchCommand deleteRecords(
    {"delete-records",
     std::string("FILE --all|--matching|--not-matching [--dry-run] ") + kFilterOptions,
     "Deletes every record (the file is emptied) or marks the records matching or not "
     "matching the filter; prints the count.",
     runDeleteRecords});
BatchCommand rebuildSystemIndexes(
    {"rebuild-system-indexes", "",
     "Packs each system table of the sysdata folder and builds its index again; a missing or "
     "failing table is skipped.",
     runRebuildSystemIndexes});

} // namespace
} // namespace qp::batch
