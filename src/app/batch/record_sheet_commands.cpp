// print-record: one address record on a sheet of its own, as the "Print
// Current Record" window prints it.

#include "app/batch/batch_command.h"
#include "app/batch/print_options.h"
#include "app/batch/table_options.h"
#include "print/printer_setup.h"
#include "print/report_printer.h"
#include "reports/record_sheet.h"
#include "store/address_file.h"

#include <algorithm>
#include <ostream>

namespace qp::batch {

namespace {

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// "all", "none", or field names (LNAME, DATE, MEMO, ...) or the window's box
// captions, separated by commas, in any case.
reports::SheetChoices choicesFromList(const std::string& list) {
    const std::string u = upper(list);
    if (u == "ALL")
        return reports::allSheetChoices();
    reports::SheetChoices chosen{};
    if (u == "NONE" || u.empty())
        return chosen;
    for (const std::string& item : splitList(list)) {
        const std::string name = upper(item);
        bool found = false;
        for (std::size_t i = 0; i < reports::kSheetFields.size(); ++i) {
            const auto& f = reports::kSheetFields[i];
            const std::string field = upper(std::string(f.field));
            if (name == field || name == upper(std::string(f.checkBox)) ||
                (field == "DISPLAYDATE" && name == "DATE")) {
                chosen[i] = true;
                found = true;
            }
        }
        if (!found)
            throw UsageError("--fields: no field called \"" + item +
                             "\" (field names such as LNAME, ZIP, DATE, MEMO, or all)");
    }
    return chosen;
}

int runPrintRecord(const std::vector<std::string>& words, std::ostream& out) {
    std::set<std::string> values = printValueOptions();
    values.insert({"recno", "fields"});
    Args args(words, values, {});
    args.expectPositionals(1, 1);
    const std::string& path = args.positional(0, "FILE");
    const auto recno = args.number("recno");
    if (!recno)
        throw UsageError("say which record: --recno N");
    const auto choices = choicesFromList(args.value("fields").value_or("all"));

    auto opened = store::openAddressFile(path, store::OpenMode::ReadOnly);
    if (!opened)
        throw Failure(opened.error());
    store::Table& table = *opened;
    if (*recno < 1 || !table.go(static_cast<std::uint32_t>(*recno)) ||
        table.recNo() != static_cast<std::uint32_t>(*recno))
        throw Failure("There is no record " + std::to_string(*recno));
    if (table.deleted() || table.getLogical("ISDEL"))
        throw Failure("Record " + std::to_string(*recno) + " is deleted");
    auto sheet = reports::readRecordSheet(table);
    if (!sheet)
        throw Failure(sheet.error());

    print::TPrinterSetup setup;
    applyPrintTarget(args, setup);
    applyPaper(args, setup);
    print::TReportPrinter job(&setup);
    reports::prepareRecordSheet(job, std::move(*sheet), choices);
    if (!job.Execute())
        throw Failure(job.LastError().isEmpty() ? std::string("The record was not printed")
                                                : job.LastError().toStdString());
    out << job.PagesOutput() << " page(s) printed\n";
    return 0;
}

BatchCommand printRecordCommand(
    {"print-record",
     "FILE --recno N [--fields LIST|all|none] (--pdf OUT | --printer NAME) "
     "[--paper letter|a4|a5|WxH] [--copies N]",
     "Prints one record as the Print Current Record window does: the chosen fields (names "
     "such as PREFIX,LNAME,ZIP,DATE,MEMO; default all), caption and value per line, and the "
     "memo below a rule.",
     runPrintRecord});

} // namespace

} // namespace qp::batch
