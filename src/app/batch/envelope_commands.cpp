// Envelope batch commands: envelope list, new, show and import-layout, the
// feed offsets table, and printing envelopes as the envelope screen does.

#include "app/batch/batch_command.h"
#include "app/batch/csv_writer.h"
#include "app/batch/filter_options.h"
#include "app/batch/print_options.h"
#include "app/batch/progress_line.h"
#include "app/batch/selection_options.h"
#include "app/batch/table_options.h"
#include "design/data_source.h"
#include "design/graphic_control.h"
#include "design/layout_stream.h"
#include "envelopes/envelope_definition.h"
#include "envelopes/envelope_feed.h"
#include "envelopes/envelope_panel.h"
#include "envelopes/envelope_print_job.h"
#include "print/base_report.h"
#include "print/printer_setup.h"
#include "store/address_file.h"
#include "store/number_text.h"
#include "store/settings_file.h"
#include "store/shared_routines.h"

#include <QFile>

#include <cstdio>
#include <optional>
#include <ostream>

namespace qp::batch {

namespace {

namespace env = envelopes;

std::string sysdata() {
    return store::SysdataFolder().string();
}

std::string fixed(double v, int decimals) {
    return store::fixedText(v, decimals);
}

store::Table openEnvelopes() {
    auto t = env::openEnvelopeTable(sysdata());
    if (!t)
        throw Failure(t.error());
    return std::move(*t);
}

env::EnvelopeDefinition findOrFail(store::Table& table, const std::string& description) {
    auto def = env::findEnvelopeDesign(table, description);
    if (!def)
        throw Failure("There is no envelope called \"" + description + "\" (see: envelope list)");
    return *def;
}

int sizeCode(const Args& args) {
    const long code = args.number("size").value_or(env::kDefaultEnvelopeCode);
    if (!env::knownEnvelopeCode(static_cast<int>(code))) {
        std::string known;
        for (const auto& s : env::kEnvelopeSizes)
            known += (known.empty() ? "" : ", ") + std::to_string(s.code);
        throw UsageError("--size takes an envelope size code: " + known);
    }
    return static_cast<int>(code);
}

std::string sizeText(int code) {
    const env::EnvelopeSize s = env::envelopeSize(code);
    if (s.width < 0)
        return "unknown size (code " + std::to_string(code) + ")";
    return std::string(s.caption) + " (" + fixed(s.width, 3) + " x " + fixed(s.height, 3) + " in)";
}

int runList(std::ostream& out) {
    store::Table table = openEnvelopes();
    writeCsvRow(out, {"DESCRIPT", "NUMBER", "WIDTH", "HEIGHT", "BINARY"});
    for (bool ok = table.first(); ok && !table.eof(); ok = table.next()) {
        const auto d = env::readEnvelopeDefinition(table);
        writeCsvRow(out, {d.description, std::to_string(d.code), fixed(d.width(), 3),
                          fixed(d.height(), 3), d.layoutFile});
    }
    return 0;
}

int runShow(const std::string& description, std::ostream& out) {
    store::Table table = openEnvelopes();
    const auto d = findOrFail(table, description);
    out << "Description: " << d.description << "\n"
        << "Size: " << sizeText(d.code) << "\n"
        << "Code: " << d.code << "\n"
        << "Layout file: " << (d.layoutFile.empty() ? "(none)" : d.layoutFile)
        << (env::envelopeLayoutExists(sysdata(), d) ? "" : " (missing)") << "\n";
    if (!env::envelopeLayoutExists(sysdata(), d))
        return 0;
    env::TEnvelopePanel panel;
    QString error;
    if (!design::LoadLayoutFile(
            panel, QString::fromStdString(*env::envelopeLayoutPath(sysdata(), d)), &error))
        throw Failure("The envelope layout " + d.layoutFile +
                      " cannot be read: " + error.toStdString());
    writeCsvRow(out, {"CLASS", "NAME", "LEFT", "TOP", "WIDTH", "HEIGHT"});
    const double ppi = store::kDesignPixelsPerInch;
    for (int i = 0; i < panel.ObjectCount(); ++i) {
        const design::TGGraphicControl* o = panel.Object(i);
        writeCsvRow(out, {o->ClassName().toStdString(), o->Name().toStdString(),
                          fixed(o->Left() / ppi, 3), fixed(o->Top() / ppi, 3),
                          fixed(o->Width() / ppi, 3), fixed(o->Height() / ppi, 3)});
    }
    return 0;
}

void requireNewDescription(store::Table& table, const std::string& description) {
    if (description.size() > env::kDescriptionLimit)
        throw UsageError("An envelope description holds at most 50 characters");
    if (env::findEnvelopeDesign(table, description))
        throw Failure("There is already an envelope called \"" + description + "\"");
}

void saveNew(store::Table& table, env::EnvelopeDefinition& def, env::TEnvelopePanel& panel,
             std::ostream& out) {
    auto fresh = env::freshEnvelopeLayoutName(sysdata(), table);
    if (!fresh)
        throw Failure(std::string(env::kNoFreeLayoutNameMessage));
    def.layoutFile = *fresh;
    if (auto st = env::saveEnvelopeDesign(table, def, true, panel, sysdata()); !st)
        throw Failure(st.error());
    out << "Envelope \"" << def.description << "\" saved with layout " << def.layoutFile << " ("
        << panel.ObjectCount() << " object(s))\n";
}

int runNew(const std::string& description, int code, std::ostream& out) {
    store::Table table = openEnvelopes();
    requireNewDescription(table, description);
    env::EnvelopeDefinition def;
    def.description = description;
    def.code = code;
    env::TEnvelopePanel panel;
    panel.SizeForEnvelope(def.width(), def.height());
    env::AddStarterObjects(panel);
    saveNew(table, def, panel, out);
    return 0;
}

int runImportLayout(const std::string& description, const std::string& file,
                    const std::optional<int>& code, std::ostream& out) {
    if (!QFile::exists(QString::fromStdString(file)))
        throw Failure("Cannot open " + file);
    if (auto st = env::checkEnvelopeLayoutFile(file); !st)
        throw Failure(st.error());
    env::TEnvelopePanel panel;
    QString error;
    if (!design::LoadLayoutFile(panel, QString::fromStdString(file), &error))
        throw Failure(file + ": " + error.toStdString());
    store::Table table = openEnvelopes();
    if (auto existing = env::findEnvelopeDesign(table, description)) {
        env::EnvelopeDefinition def = *existing;
        if (code)
            def.code = *code;
        if (!env::envelopeLayoutPath(sysdata(), def)) {
            auto fresh = env::freshEnvelopeLayoutName(sysdata(), table);
            if (!fresh)
                throw Failure(std::string(env::kNoFreeLayoutNameMessage));
            def.layoutFile = *fresh;
        }
        if (auto st = env::saveEnvelopeDesign(table, def, false, panel, sysdata()); !st)
            throw Failure(st.error());
        out << "Envelope \"" << def.description << "\" now has the layout of " << file << " ("
            << panel.ObjectCount() << " object(s)) in " << def.layoutFile << "\n";
        return 0;
    }
    requireNewDescription(table, description);
    env::EnvelopeDefinition def;
    def.description = description;
    def.code = code.value_or(env::kDefaultEnvelopeCode);
    saveNew(table, def, panel, out);
    return 0;
}

int runEnvelope(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"size"}, {});
    if (args.positionals().empty())
        throw UsageError("envelope takes: list, show, new or import-layout");
    const std::string& verb = args.positional(0, "list|show|new|import-layout");
    if (verb == "list") {
        args.expectPositionals(1, 1);
        return runList(out);
    }
    if (verb == "show") {
        args.expectPositionals(2, 2);
        return runShow(args.positional(1, "DESCRIPTION"), out);
    }
    if (verb == "new") {
        args.expectPositionals(2, 2);
        return runNew(args.positional(1, "DESCRIPTION"), sizeCode(args), out);
    }
    if (verb == "import-layout") {
        args.expectPositionals(3, 3);
        std::optional<int> code;
        if (args.value("size"))
            code = sizeCode(args);
        return runImportLayout(args.positional(1, "DESCRIPTION"), args.positional(2, "FILE.E"),
                               code, out);
    }
    throw UsageError("envelope takes: list, show, new or import-layout");
}

BatchCommand envelopeCommand(
    {"envelope",
     "list | show DESCRIPTION | new DESCRIPTION [--size CODE] | import-layout DESCRIPTION "
     "FILE.E [--size CODE]",
     "The saved envelope designs (sysdata/ENVELOPE.DBF): list them as CSV; show one with its "
     "size and objects in inches; make a new one (default #10, code 20) with an address block "
     "and a POSTNET barcode inside the postal automation areas; or give one (made when "
     "missing) the objects of a layout file.",
     runEnvelope});

// ---- feed ----

const std::set<std::string>& feedValueOptions() {
    static const std::set<std::string> names{"feed", "facing", "position"};
    return names;
}

// The feed the options give, over `base`; nothing when none is given.
std::optional<env::FeedMethod> feedFromArgs(const Args& args, env::FeedMethod base) {
    bool any = false;
    if (auto v = args.value("feed")) {
        any = true;
        if (*v == "portrait")
            base.orientation = env::foPortrait;
        else if (*v == "landscape")
            base.orientation = env::foLandscape;
        else
            throw UsageError("--feed takes portrait or landscape");
    }
    if (auto v = args.value("facing")) {
        any = true;
        if (*v == "up")
            base.facing = env::ffUp;
        else if (*v == "down")
            base.facing = env::ffDown;
        else
            throw UsageError("--facing takes up or down");
    }
    if (auto v = args.value("position")) {
        any = true;
        if (*v == "left")
            base.position = env::fpLeft;
        else if (*v == "right")
            base.position = env::fpRight;
        else if (*v == "center")
            base.position = env::fpCenter;
        else
            throw UsageError("--position takes left, right or center");
    }
    if (args.flag("clockwise")) {
        any = true;
        base.clockWiseRotation = true;
    }
    if (!any)
        return std::nullopt;
    return base;
}

// "8.5x11" in inches.
std::pair<double, double> paperSize(const std::string& text) {
    double w = 0, h = 0;
    char x = 0, extra = 0;
    if (std::sscanf(text.c_str(), "%lf%c%lf%c", &w, &x, &h, &extra) != 3 ||
        (x != 'x' && x != 'X') || !(w > 0 && w < 100) || !(h > 0 && h < 100))
        throw UsageError("--paper takes the page size in inches as WxH, e.g. 11x8.5");
    return {w, h};
}

int runOffsets(const std::vector<std::string>& words, std::ostream& out) {
    std::set<std::string> values = feedValueOptions();
    values.insert({"envelope", "paper"});
    Args args(words, values, {"clockwise"});
    args.expectPositionals(0, 0);
    const auto code = args.number("envelope");
    if (!code)
        throw UsageError("say which envelope size: --envelope CODE");
    const env::EnvelopeSize size = env::envelopeSize(static_cast<int>(*code));
    if (size.width < 0)
        throw UsageError("--envelope: " + std::to_string(*code) + " is no envelope size code");
    const auto paper = args.value("paper");
    if (!paper)
        throw UsageError("say the page size: --paper WxH (inches)");
    const auto [w, h] = paperSize(*paper);
    env::FeedMethod feed;
    feed.clockWiseRotation = false;
    feed = feedFromArgs(args, feed).value_or(feed);
    const env::EnvelopeOffsets o = env::envelopeOffsets(w, h, size.width, size.height, feed);
    out << fixed(o.x, 4) << " " << fixed(o.y, 4) << "\n";
    return 0;
}

BatchCommand offsetsCommand(
    {"envelope-offsets",
     "--envelope CODE --paper WxH [--feed portrait|landscape] [--facing up|down] "
     "[--position left|right|center] [--clockwise]",
     "Prints where an envelope lies on the printer's page for a feed method: the horizontal "
     "and vertical offsets in inches (4 decimals). Unset feed values take the defaults "
     "(landscape, facing down, center).",
     runOffsets});

// ---- printing ----

int runEnvelopes(const std::vector<std::string>& words, std::ostream& out) {
    std::set<std::string> values = printValueOptions();
    values.insert(selectionValueOptions().begin(), selectionValueOptions().end());
    values.insert(feedValueOptions().begin(), feedValueOptions().end());
    values.insert({"envelope", "flt", "criteria", "order"});
    std::set<std::string> flags = selectionFlags();
    flags.insert(printFlags().begin(), printFlags().end());
    flags.insert({"tagged", "reverse", "clockwise"});
    Args args(words, values, flags);
    args.expectPositionals(1, 1);
    const std::string& path = args.positional(0, "FILE");
    auto description = args.value("envelope");
    if (!description)
        throw UsageError("say which envelope design: --envelope DESCRIPTION (see: envelope list)");

    store::Table envelopesTable = openEnvelopes();
    const env::EnvelopeDefinition def = findOrFail(envelopesTable, *description);
    if (!env::knownEnvelopeCode(def.code))
        throw Failure("The envelope \"" + def.description + "\" has an unknown size (code " +
                      std::to_string(def.code) + ")");

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
    store::SettingsFile settings = store::SettingsFile::standard();
    const env::FeedMethod stored = env::readFeedMethod(settings);

    env::EnvelopePrintRequest request;
    request.addressTable = &table;
    design::TTableDataSource source(&table);
    source.TagId = tagId;
    design::UseAddressFieldLabels(source, true);
    env::TEnvelopePanel panel;
    panel.SetDataSet(&source);
    request.panel = &panel;
    request.definition = def;
    request.sysdataFolder = sysdata();
    request.selection = selectionFromArgs(args).value_or(store::RecordSelection{});
    request.setup = &setup;
    request.feed = feedFromArgs(args, stored).value_or(stored);
    if (args.value("paper")) {
        const auto [w, h] = paperSize(*args.value("paper"));
        setup.SetUserPaper(w, h);
        setup.SetOrientation(print::poPortrait);
        request.requestPaper = false;
    } else if (setup.IsPdf()) {
        // A PDF page is the envelope itself.
        setup.SetUserPaper(def.width(), def.height());
        setup.SetOrientation(print::poPortrait);
        request.requestPaper = false;
    }

    std::vector<std::string> infos;
    env::EnvelopePrintHooks hooks;
    hooks.info = [&](std::string_view text) {
        std::string line(text);
        for (auto& c : line)
            if (c == '\r')
                c = ' ';
        infos.push_back(std::move(line));
    };
    Interruption interruption;
    ProgressLine progress("envelopes");
    std::uint64_t drawn = 0;
    hooks.run = [&](print::TBaseReport& job, env::EnvelopeWalk& walk) {
        walk.stopRequested = [] { return Interruption::requested(); };
        walk.processEvents = [&] { progress.update(++drawn); };
        return job.Execute();
    };
    auto result = env::printEnvelopes(request, hooks);
    progress.finish();
    if (result.outcome == env::EnvelopePrintOutcome::Failed) {
        if (!infos.empty() && infos.back() == result.message)
            infos.pop_back();
        for (const auto& line : infos)
            out << line << "\n";
        throw Failure(result.message);
    }
    for (const auto& line : infos)
        out << line << "\n";
    if (result.outcome != env::EnvelopePrintOutcome::Done)
        throw Failure(result.message.empty() ? std::string("Envelope printing was canceled")
                                             : result.message);
    out << result.envelopes << " envelope(s) on " << result.pages << " page(s), offsets "
        << fixed(result.offsets.x, 4) << " " << fixed(result.offsets.y, 4) << " in\n";
    if (result.stopped && Interruption::requested()) {
        out << "Stopped by Ctrl+C\n";
        return kInterruptedStatus;
    }
    return 0;
}

BatchCommand envelopesCommand(
    {"envelopes",
     std::string("FILE --envelope DESCRIPTION (--pdf OUT | --printer NAME) ") + kSelectionOptions +
         " " + kFilterOptions +
         " [--feed portrait|landscape] [--facing up|down] [--position left|right|center]"
         " [--clockwise] [--paper WxH] [--order CAPTION] [--overwrite]",
     "Prints one envelope a page for the selected records on a saved envelope design, as the "
     "envelope screen does. The feed method is the stored one unless given; the envelope is "
     "placed on the page by it when the page (--paper, inches) is not the envelope's size. "
     "With --pdf and no --paper each page is the envelope itself.",
     runEnvelopes});

} // namespace

} // namespace qp::batch
