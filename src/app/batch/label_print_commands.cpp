// labels: prints the selected address records on a saved label design, as
// the label screen's Print does.

#include "app/batch/batch_command.h"
#include "app/batch/filter_options.h"
#include "app/batch/label_catalogue.h"
#include "app/batch/print_options.h"
#include "app/batch/progress_line.h"
#include "app/batch/selection_options.h"
#include "app/batch/table_options.h"
#include "design/base_panel.h"
#include "design/data_source.h"
#include "labels/printing/label_designs.h"
#include "labels/printing/label_print_job.h"
#include "labels/printing/label_walk.h"
#include "labels/printing/printer_alignment.h"
#include "print/base_report.h"
#include "print/printer_setup.h"
#include "store/address_file.h"
#include "store/settings_file.h"
#include "store/shared_routines.h"

#include <ostream>
#include <vector>

namespace qp::batch {

namespace {

int runLabels(const std::vector<std::string>& words, std::ostream& out) {
    std::set<std::string> values = printValueOptions();
    values.insert(selectionValueOptions().begin(), selectionValueOptions().end());
    values.insert({"label", "flt", "criteria", "positions", "order", "start-at"});
    std::set<std::string> flags = selectionFlags();
    flags.insert(printFlags().begin(), printFlags().end());
    flags.insert({"tagged", "reverse", "presort", "yes", "first-sheet-only", "report-clipped"});
    Args args(words, values, flags);
    args.expectPositionals(1, 1);
    const std::string& path = args.positional(0, "FILE");
    auto description = args.value("label");
    if (!description)
        throw UsageError("say which label design: --label DESCRIPTION (see: label list)");
    const long copies = args.number("copies").value_or(1);
    if (copies < 1 || copies > 99)
        throw UsageError("--copies takes a number of labels per record from 1 to 99");
    if (args.value("paper"))
        throw UsageError("the label design names its paper; --paper does not apply");

    store::Table labelsTable = openLabels();
    auto def = labels::findLabelDesign(labelsTable, *description);
    if (!def)
        throw Failure("There is no label called \"" + *description + "\" (see: label list)");

    auto opened = store::openAddressFile(path, store::OpenMode::ReadOnly);
    if (!opened)
        throw Failure(opened.error());
    store::Table& table = *opened;
    if (auto caption = args.value("order"))
        useSortCaption(table, *caption);
    else if (table.tagArea("LNAME"))
        useTag(table, "LNAME");
    const std::string tagId = tagIdentifier();
    applyFilterOptions(args, table, tagId, "No records match the filter");
    applyRecno(args, table);
    if (table.eof())
        throw Failure("There are no records to print");

    print::TPrinterSetup setup;
    applyPrintTarget(args, setup);
    setup.SetCopies(1); // --copies counts labels per record here

    design::TTableDataSource source(&table);
    source.TagId = tagId;
    design::UseAddressFieldLabels(source, true);
    design::TGLabelPanel panel;
    panel.SetDataSet(&source);

    labels::LabelPrintRequest request;
    request.addressTable = &table;
    request.panel = &panel;
    request.definition = *def;
    request.sysdataFolder = store::SysdataFolder().string();
    request.presortPath = labels::presortListPath();
    request.selection = selectionFromArgs(args).value_or(store::RecordSelection{});
    request.selection.currentByQuery = true;
    request.presort = args.flag("presort");
    auto positions = labels::LabelPositions::parse(args.value("positions").value_or(""),
                                                   labels::positionsPerSheet(*def));
    if (!positions)
        throw UsageError("--positions: " + positions.error());
    request.positions = std::move(*positions);
    request.firstSheetOnly = args.flag("first-sheet-only");
    if (auto start = args.number("start-at")) {
        const int perSheet = labels::positionsPerSheet(*def);
        if (*start < 1 || *start > perSheet)
            throw UsageError("--start-at takes a position from 1 to " + std::to_string(perSheet));
        // The labels before it are gone from a partly used first sheet.
        for (long p = 1; p < *start; ++p)
            request.positions.set(static_cast<int>(p - 1), false);
        request.firstSheetOnly = true;
    }
    request.copies = static_cast<int>(copies);
    request.offset = labels::readPrinterAlignment(store::SettingsFile::standard(),
                                                  setup.DeviceName().toStdString());
    request.setup = &setup;

    // Messages are held until the run ends: a failure goes to stderr like
    // every other command's, the rest to stdout.
    std::string refusal;
    std::vector<std::string> infos;
    labels::LabelPrintHooks hooks;
    hooks.info = [&](std::string_view text) {
        std::string line(text);
        for (auto& c : line)
            if (c == '\r')
                c = ' ';
        infos.push_back(std::move(line));
    };
    auto flushInfos = [&](std::size_t count) {
        for (std::size_t i = 0; i < count && i < infos.size(); ++i)
            out << infos[i] << "\n";
    };
    hooks.confirm = [&](std::string_view question) {
        if (args.flag("yes"))
            return true;
        refusal = std::string(question);
        return false;
    };
    hooks.presort = [&](store::Table& t, const store::RecordSelection& s, const std::string& p) {
        labels::PresortHooks presortHooks;
        presortHooks.goOnWithUnplaced = [&](std::uint32_t unplaced, std::uint32_t) {
            out << unplaced
                << " selected records have no usable ZIP code or are addressed abroad and are left "
                   "out\n";
            return true;
        };
        return labels::runPresort(t, s, p, presortHooks);
    };
    // Ctrl+C ends the walk after the label in hand; the job then closes its
    // output as usual, with the labels drawn so far.
    Interruption interruption;
    ProgressLine progress("labels");
    std::uint64_t drawn = 0;
    hooks.run = [&](print::TBaseReport& job, labels::LabelWalk& walk) {
        walk.stopRequested = [] { return Interruption::requested(); };
        walk.processEvents = [&] { progress.update(++drawn); };
        return job.Execute();
    };
    auto result = labels::printLabels(request, hooks);
    progress.finish();
    std::string said = infos.empty() ? std::string() : infos.back();
    std::string message = result.message;
    for (auto& c : message)
        if (c == '\r')
            c = ' ';
    const bool failedAsSaid =
        result.outcome == labels::LabelPrintOutcome::Failed && !infos.empty() && said == message;
    flushInfos(failedAsSaid ? infos.size() - 1 : infos.size());
    if (!refusal.empty())
        throw Failure(refusal + "\n(add --yes to print anyway)");
    if (failedAsSaid)
        throw Failure(said);
    if (result.outcome != labels::LabelPrintOutcome::Done)
        throw Failure(result.message.empty() ? std::string("Label printing was canceled")
                                             : result.message);
    out << result.labels << " label(s)";
    if (result.headings)
        out << " and " << result.headings << " presort heading(s)";
    out << " on " << result.pages << " page(s)\n";
    if (!result.clippedRecords.empty()) {
        out << labels::clippedSummary(result.clippedRecords) << "\n";
        if (args.flag("report-clipped")) {
            out << "Clipped records:";
            for (std::uint32_t r : result.clippedRecords)
                out << " " << r;
            out << "\n";
        }
    }
    if (result.stopped && Interruption::requested()) {
        out << "Stopped by Ctrl+C\n";
        return kInterruptedStatus;
    }
    return 0;
}

BatchCommand labelsCommand(
    {"labels",
     std::string("FILE --label DESCRIPTION (--pdf OUT | --printer NAME) ") + kSelectionOptions +
         " " + kFilterOptions +
         " [--positions 1,3,5-30] [--first-sheet-only] [--start-at N] [--copies N] [--presort]"
         " [--order CAPTION] [--report-clipped] [--yes] [--overwrite]",
     "Prints labels of the selected records on a saved label design, as the label screen "
     "does: positions are numbered from 1 row by row and are left out on every sheet, or "
     "with --first-sheet-only on the first sheet only; --start-at N begins a partly used "
     "first sheet at position N. --copies is labels per record, "
     "--presort prints in bulk-mail order with heading labels, --order is a sort caption "
     "(default Last Name). Addresses that do not fit their label are counted; "
     "--report-clipped lists their record numbers. --yes prints even when the paper "
     "cannot be confirmed.",
     runLabels});

} // namespace

} // namespace qp::batch
