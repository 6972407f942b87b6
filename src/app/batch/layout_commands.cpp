// Layout file and barcode batch commands: postnet, fim, layout dump/check,
// layout-dump and print-layout.

#include "app/batch/batch_command.h"
#include "app/batch/print_options.h"
#include "app/batch/table_options.h"
#include "design/barcodes.h"
#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/layout_stream.h"
#include "print/printer_setup.h"
#include "print/report_printer.h"

#include <QFile>
#include <ostream>

namespace qp::batch {

namespace {

using namespace qp::design;

QByteArray ReadWholeFile(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        throw Failure("Cannot open " + path);
    return f.readAll();
}

int runPostnet(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"street", "type"}, {});
    args.expectPositionals(1, 1);
    TPostNetBarCodeType type = pnbc11Digit;
    if (auto t = args.value("type")) {
        if (*t == "5")
            type = pnbc5Digit;
        else if (*t == "9")
            type = pnbc9Digit;
        else if (*t != "11")
            throw UsageError("--type takes 5, 9 or 11");
    }
    const QString code =
        PostNetCode(QString::fromStdString(args.positional(0, "ZIP")),
                    QString::fromStdString(args.value("street").value_or("")), type);
    if (code.isEmpty())
        throw Failure("No barcode for this ZIP code");
    out << code.toStdString() << "\n" << PostNetBars(code).toStdString() << "\n";
    return 0;
}

int runFim(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {}, {});
    args.expectPositionals(1, 1);
    const std::string t = args.positional(0, "type");
    if (t != "A" && t != "B" && t != "C")
        throw UsageError("fim takes A, B or C");
    out << FimSlots(TFIMBarCodeType(t[0] - 'A')).toStdString() << "\n";
    return 0;
}

// Prints every object; when `kind` is given, also builds the objects of
// that panel kind so that a file the designer would refuse fails here.
int DumpOrCheck(const std::string& path, const std::optional<TPanelKind>& kind, bool dump,
                std::ostream& out) {
    const QByteArray data = ReadWholeFile(path);
    std::vector<std::vector<TStreamObject>> lists;
    QString error;
    const bool ok = ParseObjectLists(data, lists, &error);
    if (dump)
        for (size_t l = 0; l < lists.size(); ++l)
            for (const auto& o : lists[l])
                out << DumpObjectJson(o, int(l)).toStdString() << "\n";
    if (!ok)
        throw Failure(path + ": the layout data is damaged: " + error.toStdString());
    if (kind) {
        const QStringList allowed = PanelKindClasses(*kind);
        const size_t objectLists = *kind == pkReport ? 3 : 1;
        if (lists.size() != (*kind == pkReport ? 4u : 1u))
            throw Failure(path + ": wrong number of lists for this kind of layout");
        for (size_t l = 0; l < objectLists; ++l)
            for (const auto& rec : lists[l])
                if (!CreateFromRecord(rec, allowed, &error))
                    throw Failure(path + ": " + error.toStdString() + " at byte " +
                                  std::to_string(rec.Offset));
        if (!dump)
            out << "ok\n";
    }
    return 0;
}

std::optional<TPanelKind> KindOption(const Args& args) {
    auto k = args.value("kind");
    if (!k)
        return std::nullopt;
    TPanelKind kind;
    if (!PanelKindFromName(QString::fromStdString(*k), kind))
        throw UsageError("--kind takes label, envelope or report");
    return kind;
}

int runLayout(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"kind"}, {});
    args.expectPositionals(2, 2);
    const std::string sub = args.positional(0, "dump|check");
    const std::string file = args.positional(1, "FILE");
    if (sub == "dump")
        return DumpOrCheck(file, KindOption(args), true, out);
    if (sub == "check")
        return DumpOrCheck(file, KindOption(args).value_or(pkLabel), false, out);
    throw UsageError("layout takes dump or check");
}

int runLayoutDump(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"kind"}, {});
    args.expectPositionals(1, 1);
    return DumpOrCheck(args.positional(0, "FILE"), KindOption(args), true, out);
}

// A label or envelope panel that accepts the classes of both.
class TPrintPanel : public TGDataPanel {
public:
    QStringList StreamClasses() const override {
        QStringList c = PanelKindClasses(pkLabel);
        for (const QString& e : PanelKindClasses(pkEnvelope))
            if (!c.contains(e))
                c << e;
        return c;
    }
};

int runPrintLayout(const std::vector<std::string>& words, std::ostream& out) {
    std::set<std::string> opts = printValueOptions();
    opts.insert({"address-file", "recno"});
    Args args(words, opts, printFlags());
    args.expectPositionals(1, 1);
    const std::string path = args.positional(0, "FILE");
    if (!QFile::exists(QString::fromStdString(path)))
        throw Failure("Cannot open " + path);
    TPrintPanel panel;
    panel.SetSize(2000, 2000);
    QString error;
    if (!LoadLayoutFile(panel, QString::fromStdString(path), &error))
        throw Failure(error.toStdString());
    std::optional<store::Table> table;
    TTableDataSource source;
    if (auto add = args.value("address-file")) {
        table.emplace(openTable(*add));
        const long recno = args.number("recno").value_or(1);
        if (recno < 1 || !table->go(std::uint32_t(recno)))
            throw Failure("No record " + std::to_string(recno));
        source.SetTable(&*table);
        panel.SetDataSet(&source);
    }
    print::TPrinterSetup setup;
    applyPrintTarget(args, setup);
    applyPaper(args, setup);
    print::TReportPrinter job(&setup);
    job.Title = QStringLiteral("Quillpost layout");
    job.OnPrint = [&](print::TBaseReport& r) {
        panel.Printing = true;
        panel.RefreshDataValues();
        panel.PrintObjects(r, 0, 0);
        panel.Printing = false;
    };
    if (!job.Execute())
        throw Failure(job.LastError().toStdString());
    out << panel.ObjectCount() << " object(s) printed\n";
    return 0;
}

BatchCommand postnet({"postnet", "ZIP [--street TEXT] [--type 5|9|11]",
                      "POSTNET digits and bars (F full, H half)", runPostnet});
BatchCommand fim({"fim", "A|B|C", "FIM slots (1 bar, 0 gap)", runFim});
BatchCommand layout({"layout", "dump|check FILE [--kind label|envelope|report]",
                     "Dump a layout file as JSON lines, or check it", runLayout});
BatchCommand layoutDump({"layout-dump", "FILE [--kind label|envelope|report]",
                         "Dump a layout file's objects, one JSON line each", runLayoutDump});
BatchCommand printLayout({"print-layout",
                          "FILE (--pdf OUT | --printer NAME) [--address-file ADD.DBF --recno N] "
                          "[--paper ...] [--copies N] [--overwrite]",
                          "Print a label or envelope layout at the top left of a page",
                          runPrintLayout});

} // namespace

} // namespace qp::batch
