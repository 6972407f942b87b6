// report: the built-in reports and the saved report designs (sysdata/
// REPORT.DBF): list, new, show, import-layout and print, as the "Print
// Report" window and the report designer do.

#include "app/batch/batch_command.h"
#include "app/batch/csv_writer.h"
#include "app/batch/filter_options.h"
#include "app/batch/print_options.h"
#include "app/batch/progress_line.h"
#include "app/batch/selection_options.h"
#include "app/batch/table_options.h"
#include "design/data_source.h"
#include "design/layout_stream.h"
#include "print/printer_setup.h"
#include "print/report_printer.h"
#include "reports/builtin_report.h"
#include "reports/designed_report.h"
#include "reports/report_store.h"
#include "reports/starter_report.h"
#include "store/address_file.h"
#include "store/shared_routines.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>
#include <ostream>

namespace qp::batch {

namespace {

using namespace qp::reports;

std::string sysdata() {
    return store::SysdataFolder().string();
}

store::Table openReports() {
    auto t = openReportTable(sysdata());
    if (!t)
        throw Failure(t.error());
    return std::move(*t);
}

ReportDesign findOrFail(store::Table& table, const std::string& description) {
    auto d = findReport(table, description);
    if (!d)
        throw Failure("There is no report called \"" + description + "\" (see: report list)");
    return *d;
}

const std::set<std::string>& runValueOptions() {
    static const std::set<std::string> values = [] {
        std::set<std::string> v = printValueOptions();
        v.insert(selectionValueOptions().begin(), selectionValueOptions().end());
        v.insert({"flt", "criteria", "title", "order"});
        return v;
    }();
    return values;
}

const std::set<std::string>& runFlags() {
    static const std::set<std::string> flags = [] {
        std::set<std::string> f = selectionFlags();
        f.insert(printFlags().begin(), printFlags().end());
        f.insert({"tagged", "reverse", "memo", "codes", "one-per-page"});
        return f;
    }();
    return flags;
}

// The address file with the filter the options give; the selection is
// "Records matching filter" when a filter is given, else "All records".
struct AddressRun {
    store::Table table;
    ReportSelection selection;
    std::string tagId;
};

AddressRun openAddresses(const Args& args, const std::string& path) {
    auto opened = store::openAddressFile(path, store::OpenMode::ReadOnly);
    if (!opened)
        throw Failure(opened.error());
    AddressRun run{std::move(*opened), {}, tagIdentifier()};
    const bool filtered = filterFromArgs(args).has_value();
    applyFilterOptions(args, run.table, run.tagId, "No records match the filter");
    applyRecno(args, run.table);
    run.selection.choice = filtered ? store::SelectionChoice::Filter : store::SelectionChoice::All;
    if (auto s = selectionFromArgs(args)) {
        run.selection.choice = s->choice;
        run.selection.startFromCurrent = s->startFromCurrent;
    }
    if (run.table.eof())
        throw Failure("There are no records to print");
    return run;
}

void execute(print::TReportPrinter& job, const std::function<int()>& records, std::ostream& out) {
    job.Copies = job.Setup().Copies(); // --copies
    if (!job.Execute())
        throw Failure(job.LastError().isEmpty() ? std::string("The report was not printed")
                                                : job.LastError().toStdString());
    out << records() << " record(s) on " << job.PagesOutput() << " page(s)\n";
}

int runBuiltIn(const Args& args, std::ostream& out) {
    args.expectPositionals(3, 3);
    const std::string& which = args.positional(1, "1|2|3|4");
    if (which.size() != 1 || which[0] < '1' || which[0] > '4')
        throw UsageError("report builtin takes a report number from 1 to 4");
    BuiltInOptions options;
    options.report = which[0] - '0';
    options.title = QString::fromStdString(
        args.value("title").value_or("Report " + std::to_string(options.report)));
    options.printMemo = args.flag("memo");
    options.printCodes = args.flag("codes");
    if (args.flag("one-per-page") || args.value("order"))
        throw UsageError("--one-per-page and --order are for designed reports");

    AddressRun run = openAddresses(args, args.positional(2, "FILE"));
    print::TPrinterSetup setup;
    applyPrintTarget(args, setup);
    applyPaper(args, setup);
    const std::string order = BuiltInReportOrder(options.report);
    auto walk = ReportWalk::begin(run.table, run.selection, order,
                                  options.report == 4 ? std::string() : order,
                                  [&](std::string_view m) { out << m << "\n"; });
    if (!walk)
        throw Failure(walk.error());
    Interruption interruption;
    ProgressLine progress("records");
    std::uint64_t done = 0;
    ReportHooks hooks;
    hooks.stopRequested = [] { return Interruption::requested(); };
    hooks.processEvents = [&] { progress.update(++done); };
    print::TReportPrinter job(&setup);
    int printed = 0;
    prepareBuiltInReport(job, run.table, options, hooks, &printed);
    execute(
        job, [&] { return printed; }, out);
    progress.finish();
    return Interruption::requested() ? kInterruptedStatus : 0;
}

int runPrint(const Args& args, std::ostream& out) {
    args.expectPositionals(3, 3);
    if (args.value("title") || args.flag("memo") || args.flag("codes"))
        throw UsageError("--title, --memo and --codes are for the built-in reports");
    store::Table reportsTable = openReports();
    ReportDesign design = findOrFail(reportsTable, args.positional(1, "DESCRIPTION"));
    AddressRun run = openAddresses(args, args.positional(2, "FILE"));
    if (auto caption = args.value("order"))
        useSortCaption(run.table, *caption);
    else if (run.table.tagArea("LNAME"))
        useTag(run.table, "LNAME"); // the main window's usual order

    design::TTableDataSource source(&run.table);
    source.TagId = run.tagId;
    design::UseAddressFieldLabels(source, true);
    ReportBands bands;
    bands.SetDataSet(&source);
    if (auto st = loadReport(false, reportsTable, sysdata(), bands, design); !st)
        throw Failure(st.error());

    print::TPrinterSetup setup;
    applyPrintTarget(args, setup);
    auto walk = ReportWalk::begin(run.table, run.selection, {}, {},
                                  [&](std::string_view m) { out << m << "\n"; });
    if (!walk)
        throw Failure(walk.error());
    Interruption interruption;
    ProgressLine progress("records");
    std::uint64_t done = 0;
    ReportHooks hooks;
    hooks.stopRequested = [] { return Interruption::requested(); };
    hooks.processEvents = [&] { progress.update(++done); };
    DesignedReportPrinter printer(bands, design.Vars, run.table,
                                  DesignedOptions{args.flag("one-per-page")}, hooks);
    print::TReportPrinter job(&setup);
    prepareDesignedReport(job, printer, design.Vars);
    if (RecognisePaper(design.Vars.PageWidth, design.Vars.PageHeight) == ReportPaper::Unknown)
        applyPaper(args, setup);
    execute(
        job, [&] { return printer.recordsPrinted(); }, out);
    progress.finish();
    return Interruption::requested() ? kInterruptedStatus : 0;
}

int runList(std::ostream& out) {
    store::Table table = openReports();
    writeCsvRow(out, {"DESCRIPT", "LAYOUT", "BINARY"});
    for (bool ok = table.first(); ok && !table.eof(); ok = table.next()) {
        const ReportDesign d = readReportRecord(table);
        writeCsvRow(out, {d.Description.toStdString(), d.Layout.toStdString(), d.Binary});
    }
    return 0;
}

ReportPaper paperFromArgs(const Args& args) {
    const std::string text = args.value("layout").value_or("Letter Size, Portrait");
    const ReportPaper paper = PaperFromDescription(QString::fromStdString(text));
    if (paper == ReportPaper::Unknown)
        throw UsageError("--layout takes \"Letter Size, Portrait\", \"Letter Size, Landscape\", "
                         "\"A4 Size, Portrait\" or \"A4 Size, Landscape\"");
    return paper;
}

void checkDescription(const std::string& description) {
    if (store::Trim(description).empty())
        throw UsageError("A report needs a description");
    if (QString::fromStdString(description).size() > int(kReportDescriptionLimit))
        throw UsageError("A report description holds at most 60 characters");
}

int runNew(const Args& args, std::ostream& out) {
    args.expectPositionals(2, 2);
    const std::string& description = args.positional(1, "DESCRIPTION");
    checkDescription(description);
    const ReportPaper paper = paperFromArgs(args);
    store::Table table = openReports();
    if (findReport(table, description))
        throw Failure("There is already a report called \"" + description + "\"");
    ReportDesign design;
    design.Description = QString::fromStdString(description);
    design.Layout = PaperDescription(paper);
    SetPaper(design.Vars, paper);
    ReportBands bands;
    makeStarterReport(bands, design.Vars, design.Description);
    if (auto st = saveReport(true, table, sysdata(), bands, design); !st)
        throw Failure(st.error());
    out << "Report \"" << description << "\" saved with layout " << design.Binary << "\n";
    return 0;
}

QJsonObject bordersJson(const BandBorders& b) {
    return QJsonObject{{"Left", b.Left},
                       {"Top", b.Top},
                       {"Right", b.Right},
                       {"Bottom", b.Bottom},
                       {"LineWidth", b.LineWidth},
                       {"ShadePercent", b.ShadePercent},
                       {"ShadeColor", b.ShadeColor}};
}

QJsonObject varsJson(const ReportVars& v) {
    return QJsonObject{{"PageWidth", v.PageWidth},
                       {"PageHeight", v.PageHeight},
                       {"LeftMargin", v.LeftMargin},
                       {"TopMargin", v.TopMargin},
                       {"RightMargin", v.RightMargin},
                       {"BottomMargin", v.BottomMargin},
                       {"HeaderHeight", v.HeaderHeight},
                       {"DetailHeight", v.DetailHeight},
                       {"FooterHeight", v.FooterHeight},
                       {"UseHeader", v.UseHeader},
                       {"UseDetail", v.UseDetail},
                       {"UseMemo", v.UseMemo},
                       {"UseFooter", v.UseFooter},
                       {"MemoFontName", v.MemoFontName},
                       {"MemoFontSize", v.MemoFontSize},
                       {"MemoFontBold", v.MemoFontBold},
                       {"MemoFontItalic", v.MemoFontItalic},
                       {"MemoAlignment", v.MemoAlignment},
                       {"DefaultFontName", v.DefaultFontName},
                       {"DefaultFontSize", v.DefaultFontSize},
                       {"DefaultFontBold", v.DefaultFontBold},
                       {"DefaultFontItalic", v.DefaultFontItalic},
                       {"HeaderBorders", bordersJson(v.Borders[rbHeader])},
                       {"DetailBorders", bordersJson(v.Borders[rbDetail])},
                       {"MemoBorders", bordersJson(v.Borders[rbMemo])},
                       {"FooterBorders", bordersJson(v.Borders[rbFooter])}};
}

int runShow(const Args& args, std::ostream& out) {
    args.expectPositionals(2, 2);
    store::Table table = openReports();
    ReportDesign design = findOrFail(table, args.positional(1, "DESCRIPTION"));
    auto path = reportFilePath(sysdata(), design.Binary);
    if (!path)
        throw Failure(path.error());
    ReportBands bands;
    if (auto st = readReportFile(*path, bands, design.Vars); !st)
        throw Failure(st.error());
    QJsonObject head{{"Description", design.Description},
                     {"Layout", design.Layout},
                     {"Binary", QString::fromStdString(design.Binary)},
                     {"FileExists", QFile::exists(QString::fromStdString(*path))},
                     {"ReportVars", varsJson(design.Vars)}};
    out << QJsonDocument(head).toJson(QJsonDocument::Compact).toStdString() << "\n";
    QFile f(QString::fromStdString(*path));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    std::vector<std::vector<design::TStreamObject>> lists;
    QString error;
    if (!design::ParseObjectLists(f.readAll(), lists, &error, 4))
        throw Failure(*path + ": " + error.toStdString());
    static const char* names[] = {"header", "detail", "footer"};
    for (std::size_t band = 0; band < 3 && band < lists.size(); ++band)
        for (const design::TStreamObject& o : lists[band]) {
            QJsonObject line =
                QJsonDocument::fromJson(design::DumpObjectJson(o, int(band)).toUtf8()).object();
            line.insert("band", names[band]);
            out << QJsonDocument(line).toJson(QJsonDocument::Compact).toStdString() << "\n";
        }
    return 0;
}

int runImportLayout(const Args& args, std::ostream& out) {
    args.expectPositionals(3, 3);
    const std::string& description = args.positional(1, "DESCRIPTION");
    const std::string& file = args.positional(2, "FILE.R");
    checkDescription(description);
    if (!QFile::exists(QString::fromStdString(file)))
        throw Failure("Cannot open " + file);
    ReportBands bands;
    ReportVars vars;
    if (auto st = readReportFile(file, bands, vars); !st)
        throw Failure(st.error());
    store::Table table = openReports();
    ReportDesign design;
    bool isNew = true;
    if (auto existing = findReport(table, description)) {
        design = *existing;
        isNew = false;
        if (!reportFilePath(sysdata(), design.Binary)) {
            // A record whose file name is unusable gets a fresh file.
            auto fresh = freshReportFileName(sysdata(), table);
            if (!fresh)
                throw Failure(std::string(kNoFreeReportNameMessage));
            design.Binary = *fresh;
        }
    } else {
        design.Description = QString::fromStdString(description);
    }
    design.Vars = vars;
    const ReportPaper paper = RecognisePaper(vars.PageWidth, vars.PageHeight);
    if (paper != ReportPaper::Unknown)
        design.Layout = PaperDescription(paper);
    if (auto st = saveReport(isNew, table, sysdata(), bands, design); !st)
        throw Failure(st.error());
    out << "Report \"" << description << "\" now has the layout of " << file << " in "
        << design.Binary << "\n";
    return 0;
}

int runReport(const std::vector<std::string>& words, std::ostream& out) {
    std::set<std::string> values = runValueOptions();
    values.insert("layout");
    Args args(words, values, runFlags());
    static const char* verbs = "builtin, list, new, show, import-layout or print";
    if (args.positionals().empty())
        throw UsageError(std::string("report takes: ") + verbs);
    const std::string& verb = args.positional(0, "builtin|list|new|show|import-layout|print");
    if (verb != "new" && args.value("layout"))
        throw UsageError("--layout is for report new");
    if (verb == "builtin")
        return runBuiltIn(args, out);
    if (verb == "print")
        return runPrint(args, out);
    if (verb == "list") {
        args.expectPositionals(1, 1);
        return runList(out);
    }
    if (verb == "new")
        return runNew(args, out);
    if (verb == "show")
        return runShow(args, out);
    if (verb == "import-layout")
        return runImportLayout(args, out);
    throw UsageError(std::string("report takes: ") + verbs);
}

BatchCommand reportCommand(
    {"report",
     std::string("builtin 1|2|3|4 FILE (--pdf OUT | --printer NAME) [--title T] [--memo] "
                 "[--codes] | list | new DESCRIPTION [--layout PAPER] | show DESCRIPTION | "
                 "import-layout DESCRIPTION FILE.R | print DESCRIPTION FILE (--pdf OUT | "
                 "--printer NAME) [--one-per-page] [--order CAPTION]; printing takes ") +
         kSelectionOptions + " " + kFilterOptions + " [--copies N] [--overwrite]",
     "Reports: print a built-in report (1 name/address/city/phone, 2 name/organization, 3 "
     "organization/name, 4 all major fields) or a saved report design; list the designs "
     "(sysdata/REPORT.DBF) as CSV, start a new one (title, name, city and phone, page "
     "number), show one's settings and objects as JSON lines, or give one the layout of a "
     ".R file. Without filter options every record but those whose prefix reads DELETED "
     "is printed.",
     runReport});

} // namespace

} // namespace qp::batch
