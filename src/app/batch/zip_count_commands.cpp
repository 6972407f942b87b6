// zip-count: the ZIP code count of the selected records, as the "Count Zip
// Codes" window shows it, with its CSV export and its printed report.

#include "app/batch/batch_command.h"
#include "app/batch/filter_options.h"
#include "app/batch/print_options.h"
#include "app/batch/selection_options.h"
#include "print/printer_setup.h"
#include "print/report_printer.h"
#include "reports/zip_count.h"
#include "reports/zip_count_report.h"
#include "store/address_file.h"

#include <QSaveFile>

#include <ostream>

namespace qp::batch {

namespace {

void writeCsv(const std::string& path, const std::string& csv) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(csv.data(), static_cast<qint64>(csv.size())) !=
            static_cast<qint64>(csv.size()) ||
        !file.commit())
        throw Failure("The counts could not be written to " + path + ": " +
                      file.errorString().toStdString());
}

int runZipCount(const std::vector<std::string>& words, std::ostream& out) {
    std::set<std::string> values = printValueOptions();
    values.insert(selectionValueOptions().begin(), selectionValueOptions().end());
    values.insert({"flt", "criteria", "csv"});
    std::set<std::string> flags = selectionFlags();
    flags.insert({"tagged", "reverse"});
    Args args(words, values, flags);
    args.expectPositionals(1, 1);
    const std::string& path = args.positional(0, "FILE");
    const bool printing = args.value("pdf") || args.value("printer");
    if (!printing && (args.value("copies") || args.value("paper")))
        throw UsageError("--copies and --paper go with --pdf or --printer");

    auto opened = store::openAddressFile(path, store::OpenMode::ReadOnly);
    if (!opened)
        throw Failure(opened.error());
    store::Table& table = *opened;
    applyFilterOptions(args, table, tagIdentifier(), "No records match the filter");
    applyRecno(args, table);
    const auto selection = selectionFromArgs(args).value_or(store::RecordSelection{});

    // Checked before the count, so that a bad printer name costs no time.
    print::TPrinterSetup setup;
    if (printing) {
        applyPrintTarget(args, setup);
        applyPaper(args, setup);
    }

    auto run = reports::countZipCodes(table, selection);
    if (run.outcome != reports::ZipCountOutcome::Done)
        throw Failure(run.message);
    const auto lines = reports::zipResultLines(run.tallies, reports::regionalThousandsSeparator());
    for (const auto& line : lines)
        out << line << "\n";
    if (auto csv = args.value("csv"))
        writeCsv(*csv, reports::zipCountCsv(run.tallies));
    if (printing) {
        print::TReportPrinter job(&setup);
        reports::prepareZipReport(job, lines);
        if (!job.Execute())
            throw Failure(job.LastError().isEmpty() ? std::string("The report was not printed")
                                                    : job.LastError().toStdString());
    }
    return 0;
}

BatchCommand zipCountCommand(
    {"zip-count",
     std::string("FILE ") + kSelectionOptions + " " + kFilterOptions +
         " [--csv OUT] [--pdf OUT | --printer NAME] [--paper letter|a4|a5|WxH] [--copies N]",
     "Counts the selected records per ZIP code and prints the result list as the Count Zip "
     "Codes window shows it (five-digit codes, two empty lines, other codes, BLANK), counts "
     "with the thousands separator of the locale. --csv also writes ZIP,Count rows; --pdf or "
     "--printer also prints the Zip Code Count Report.",
     runZipCount});

} // namespace

} // namespace qp::batch
