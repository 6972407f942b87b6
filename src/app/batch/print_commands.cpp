// Printing batch commands that need no address file: print-test-page.

#include "app/batch/batch_command.h"
#include "app/batch/print_options.h"
#include "print/printer_setup.h"
#include "print/report_printer.h"
#include "print/test_page.h"

#include <ostream>

namespace qp::batch {

namespace {

int runPrintTestPage(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, printValueOptions(), printFlags());
    args.expectPositionals(0, 0);
    print::TPrinterSetup setup;
    applyPrintTarget(args, setup);
    applyPaper(args, setup);
    print::TReportPrinter job(&setup);
    job.Title = QStringLiteral("Quillpost test page");
    job.OnPrint = [](print::TBaseReport& r) { print::PrintTestPage(r); };
    if (!job.Execute())
        throw Failure(job.LastError().toStdString());
    out << job.PagesOutput() << " page(s) printed\n";
    return 0;
}

BatchCommand printTestPage(
    {"print-test-page",
     "--pdf FILE | --printer NAME [--paper letter|a4|a5|WxH] [--copies N] [--overwrite]",
     "Prints the alignment page: inch rulers, tab stops with each "
     "justification and shade, font styles and rotations, shapes.",
     runPrintTestPage});

} // namespace
} // namespace qp::batch
