// Label batch commands: presort, label-stock and stock list.

#include "app/batch/batch_command.h"
#include "app/batch/csv_writer.h"
#include "app/batch/filter_options.h"
#include "app/batch/label_catalogue.h"
#include "app/batch/print_options.h"
#include "app/batch/progress_line.h"
#include "app/batch/selection_options.h"
#include "labels/label_stock.h"
#include "labels/presort.h"
#include "labels/template_filter.h"
#include "store/address_file.h"
#include "store/record_selection.h"
#include "store/shared_routines.h"
#include "store/table_files.h"

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <unistd.h>

namespace qp::batch {

namespace {

int runPresortCommand(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"selection", "recno", "flt", "criteria", "out"},
              {"start-from-current", "tagged", "reverse", "overwrite"});
    args.expectPositionals(1, 1);
    const std::string& path = args.positional(0, "FILE");
    auto selection = selectionFromArgs(args).value_or(store::RecordSelection{});
    std::string target = args.value("out").value_or(labels::presortListPath());

    auto opened = store::openAddressFile(path, store::OpenMode::ReadOnly);
    if (!opened)
        throw Failure(opened.error());
    store::Table& table = *opened;
    checkOutputFile(args, target, labels::isPresortListFile, "a presort list");
    applyFilterOptions(args, table, tagIdentifier(), "No records match the filter");
    applyRecno(args, table);

    labels::PresortHooks hooks;
    hooks.goOnWithUnplaced = [&](std::uint32_t unplaced, std::uint32_t) {
        out << unplaced
            << " selected records have no usable ZIP code or are addressed abroad and are left "
               "out\n";
        return true;
    };
    // Ctrl+C stops the count; the list is written only at the end, so an
    // earlier list stays as it was.
    Interruption interruption;
    ProgressLine progress("records counted");
    std::uint64_t counted = 0;
    hooks.cancelRequested = [&] {
        progress.update(++counted);
        return Interruption::requested();
    };
    auto run = labels::runPresort(table, selection, target, hooks);
    progress.finish();
    if (run.outcome == labels::PresortOutcome::Cancelled && Interruption::requested()) {
        out << "Presort stopped; " << target << " was not written\n";
        return kInterruptedStatus;
    }
    if (run.outcome != labels::PresortOutcome::Done)
        throw Failure(run.message.empty() ? "Presort canceled" : run.message);
    std::uint32_t groups[4] = {};
    for (const auto& g : run.result.groups)
        ++groups[static_cast<int>(g.kind)];
    out << run.result.counted << " records presorted: " << groups[0] << " 5-digit, " << groups[1]
        << " 3-digit, " << groups[2] << " ADC groups" << (groups[3] ? ", and Unknown" : "") << "\n"
        << "Written to " << target << "\n";
    for (const auto& line : run.result.lines())
        out << line << "\n";
    return 0;
}

int listCatalogue(const std::string& expression, std::ostream& out);

int findItem(const auto& items, const std::string& text, const char* option) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (labels::upperAscii(items[i]) == labels::upperAscii(text))
            return static_cast<int>(i);
    std::string known;
    for (auto item : items)
        known += (known.empty() ? "" : ", ") + std::string(item);
    throw UsageError(std::string("--") + option + " takes one of: " + known);
}

int runLabelStock(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"filter", "manufacturer", "product"}, {"european"});
    args.expectPositionals(0, 0);
    std::string expression = args.value("filter").value_or("");
    if (args.value("manufacturer") || args.value("product") || args.flag("european")) {
        if (!expression.empty())
            throw UsageError("--filter does not go with --manufacturer, --product, --european");
        int maker = findItem(labels::kManufacturerItems,
                             args.value("manufacturer").value_or("Avery Laserjet"), "manufacturer");
        int product =
            findItem(labels::kProductItems, args.value("product").value_or("All"), "product");
        expression = labels::templateFilterExpression(labels::kManufacturerItems[maker], product,
                                                      args.flag("european"));
    }
    listCatalogue(expression, out);
    return 0;
}

int listCatalogue(const std::string& expression, std::ostream& out) {
    Catalogue catalogue;
    auto n = labels::applyTemplateFilter(catalogue.table(), expression);
    if (!n)
        throw Failure(n.error());
    writeCsvRow(out, {"DESCRIPT", "LBLHEIGHT", "LBLWIDTH", "NBRACROSS", "NBRDOWN", "TOPMARG",
                      "LEFTMARG", "HORIZPITCH", "VERTPITCH", "SHEETWIDTH", "SHEETDEPTH",
                      "PAPERSIZE", "PRINTER", "MANUFAC", "PRODTYPE", "MIDEXTRAX", "MIDEXTRAY"});
    if (*n == 0)
        return 0;
    for (bool ok = catalogue.table().first(); ok && !catalogue.table().eof();
         ok = catalogue.table().next()) {
        auto s = labels::readLabelTemplate(catalogue.table());
        writeCsvRow(out,
                    {s.description, threeDecimals(s.labelHeight), threeDecimals(s.labelWidth),
                     std::to_string(s.across), std::to_string(s.down), threeDecimals(s.topMargin),
                     threeDecimals(s.leftMargin), threeDecimals(s.horizontalPitch),
                     threeDecimals(s.verticalPitch), threeDecimals(s.sheetWidth),
                     threeDecimals(s.sheetDepth), s.paperSize, s.printer, s.maker, s.productType,
                     threeDecimals(s.midExtraX), threeDecimals(s.midExtraY)});
    }
    return 0;
}

// stock list: the catalogue narrowed by its own columns.
int runStock(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"maker", "printer", "family", "search"}, {"european"});
    args.expectPositionals(1, 1);
    if (args.positional(0, "list") != "list")
        throw UsageError("stock takes: list");
    std::string expression;
    auto join = [&](const std::string& clause) {
        expression += (expression.empty() ? "" : " and ") + clause;
    };
    if (auto maker = args.value("maker"))
        join("UPPER(MANUFAC)=" + xbaseLiteral(labels::upperAscii(*maker)));
    if (auto printer = args.value("printer")) {
        const std::string code = labels::upperAscii(*printer);
        if (code != "LJ" && code != "IJ" && code != "DM" && code != "LP")
            throw UsageError("--printer takes LJ, IJ, DM or LP");
        join("UPPER(PRINTER)=" + xbaseLiteral(code));
    }
    if (auto family = args.value("family"))
        join("UPPER(PRODTYPE)=" + xbaseLiteral(labels::upperAscii(*family)));
    if (args.flag("european"))
        join("(\"A4\"$UPPER(PAPERSIZE) OR \"A5\"$UPPER(PAPERSIZE))");
    if (auto text = args.value("search")) {
        const std::string search = labels::stockSearchExpression(*text);
        if (search.empty())
            throw UsageError("--search takes a product number or words of the description");
        join("(" + search + ")");
    }
    return listCatalogue(expression, out);
}

BatchCommand stockCommand(
    {"stock", "list [--maker M] [--printer LJ|IJ|DM|LP] [--family F] [--european] [--search TEXT]",
     "Lists the label stock catalogue as CSV in DESCRIPT order, narrowed by maker (\"AVERY\", "
     "\"HERMA\", \"USER\", ...), printer kind, product family (\"ADDRESS/SHIPPING LABELS\", "
     "...), with --european to A4 and A5 sheets, and with --search to the sheets whose "
     "description holds every word of TEXT (\"L7163\", \"Herma 5051\"), in any case.",
     runStock});
BatchCommand presortCommand(
    {"presort",
     std::string("FILE [--selection all|filter|current] [--recno N] [--start-from-current] ") +
         kFilterOptions + " [--out PRESORT.PSL] [--overwrite]",
     "Counts the selected records per ZIP code and writes the bulk-mail presort list "
     "(5-digit, 3-digit and ADC groups, then Unknown; CR LF lines). The list goes to "
     "PRESORT.PSL beside the program unless --out names a file; an existing file that is "
     "not a presort list is replaced only with --overwrite.",
     runPresortCommand});
BatchCommand labelStockCommand(
    {"label-stock", "[--filter EXPR | [--manufacturer ITEM] [--product ITEM] [--european]]",
     "Lists the label stock catalogue (sysdata/LBLTPL.DBF, or the shipped one) as CSV in "
     "DESCRIPT order. --filter is a query on the catalogue; --manufacturer (\"Avery "
     "Laserjet\", ...), --product (\"Address/Shipping Labels\", ..., \"All\") and --european "
     "build the template window's query.",
     runLabelStock});

} // namespace
} // namespace qp::batch
