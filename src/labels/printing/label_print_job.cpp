#include "labels/printing/label_print_job.h"

#include "design/base_panel.h"
#include "design/imb_barcode.h"
#include "design/layout_stream.h"
#include "labels/printing/label_designs.h"
#include "labels/printing/paper_check.h"
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/report_printer.h"
#include "store/table.h"

#include <memory>
#include <optional>

namespace qp::labels {

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// Puts back the order and the exact setting the job changed, and takes the
// panel out of printing, whichever way the job ends.
class TableKeeper {
public:
    TableKeeper(store::Table& table, design::TGBasePanel& panel)
        : table_(table), panel_(panel), order_(table.indexOrd()), exact_(table.exact()) {}
    ~TableKeeper() {
        (void)table_.setOrder(order_);
        table_.setExact(exact_);
        panel_.Printing = false;
    }
    TableKeeper(const TableKeeper&) = delete;
    TableKeeper& operator=(const TableKeeper&) = delete;

private:
    store::Table& table_;
    design::TGBasePanel& panel_;
    int order_;
    bool exact_;
};

LabelPrintResult failed(std::string message, const LabelPrintHooks& hooks, bool show = true) {
    if (show && hooks.info)
        hooks.info(message);
    LabelPrintResult r;
    r.outcome = LabelPrintOutcome::Failed;
    r.message = std::move(message);
    return r;
}

LabelPrintResult cancelled(std::string message = {}) {
    LabelPrintResult r;
    r.outcome = LabelPrintOutcome::Cancelled;
    r.message = std::move(message);
    return r;
}

} // namespace

void prepareLabelReport(print::TBaseReport& report, bool preview) {
    report.Title = qs(kLabelJobTitle);
    report.StatusFormat = qs(preview ? kPreviewStatusFormat : kPrintStatusFormat);
    report.StatusText = QStringList{QString(), QString()};
    // Cells are placed from the sheet's corner, not from page margins.
    report.MarginLeft = report.MarginRight = report.MarginTop = report.MarginBottom = 0;
}

LabelPrintResult printLabels(LabelPrintRequest& request, const LabelPrintHooks& hooks) {
    if (!request.addressTable || !request.panel)
        return failed("There is no address file to print labels from", hooks);
    store::Table& table = *request.addressTable;
    design::TGBasePanel& panel = *request.panel;
    const LabelDefinition& def = request.definition;

    request.positions.fitSheet(def);
    if (request.positions.selectedCount() == 0)
        return failed(std::string(kNoPositionMessage), hooks);

    auto path = layoutFilePath(request.sysdataFolder, def);
    if (!path)
        return failed(path.error(), hooks);
    if (!layoutFileExists(request.sysdataFolder, def))
        return failed(std::string(kLayoutFileRemovedMessage), hooks);
    panel.ClearObjects();
    QString error;
    if (!design::LoadLayoutFile(panel, QString::fromStdString(*path), &error))
        return failed("The label layout could not be read:\n" + error.toStdString(), hooks);

    TableKeeper keeper(table, panel);
    auto walk = store::SelectionWalk::begin(table, request.selection, hooks.info);
    if (!walk)
        return failed(walk.error(), hooks);

    if (request.presort && !request.presortDone) {
        PresortRun run = hooks.presort
                             ? hooks.presort(table, request.selection, request.presortPath)
                             : runPresort(table, request.selection, request.presortPath);
        if (run.outcome == PresortOutcome::Failed)
            return failed(run.message, hooks);
        request.presortDone = run.outcome == PresortOutcome::Done;
        if (!request.presortDone)
            return cancelled("Presort canceled");
    }

    LabelWalkSettings settings;
    settings.definition = def;
    settings.positions = request.positions;
    settings.firstSheetOnly = request.firstSheetOnly;
    settings.copies = request.presort ? 1 : request.copies;
    settings.presort = request.presort;
    settings.offset = request.offset;
    if (request.presort) {
        auto list = readPresortList(request.presortPath);
        if (!list) {
            request.presortDone = false;
            return failed(list.error(), hooks);
        }
        settings.presortList = std::move(*list);
        table.setExact(false);
        const int zipOrder = table.tagArea("ZIP");
        if (zipOrder == 0)
            return failed("The address file has no ZIP index, so it cannot print in presort order",
                          hooks);
        if (auto st = table.setOrder(zipOrder); !st)
            return failed(st.error(), hooks);
        if (hooks.info)
            hooks.info(kPresortOrderMessage);
    }

    print::TPrinterSetup& setup = request.setup ? *request.setup : print::TPrinterSetup::Shared();
    if (!labelPaperConfirmed(setup, def)) {
        if (!hooks.confirm || !hooks.confirm(paperQuestion(portraitPaperSize(def))))
            return cancelled();
    }

    panel.Printing = true;
    LabelWalk labels(table, panel, std::move(settings));
    print::TStoredJob stored;
    std::unique_ptr<print::TBaseReport> job;
    if (request.preview) {
        // The stock's labels in light grey, so the preview shows where each
        // address lands on the sheet; they are never printed.
        for (int p = 0; p < positionsPerSheet(def); ++p) {
            const Point o = positionOrigin(def, p);
            print::TPreviewOutline outline;
            outline.Rect = QRectF(o.x, o.y, def.labelWidth, def.labelHeight);
            outline.Shape = def.shape == "EL"   ? print::TPreviewOutline::osEllipse
                            : def.shape == "RR" ? print::TPreviewOutline::osRoundRect
                                                : print::TPreviewOutline::osRectangle;
            stored.Outlines.push_back(outline);
        }
        auto filer = std::make_unique<print::TReportFiler>(&setup);
        filer->SetStream(&stored);
        job = std::move(filer);
    } else {
        job = std::make_unique<print::TReportPrinter>(&setup);
    }
    prepareLabelReport(*job, request.preview);
    job->OnPrint = [&labels](print::TBaseReport& r) { labels.produce(r); };
    bool ran = hooks.run ? hooks.run(*job, labels) : job->Execute();
    // Printed serial numbers are never handed out again, even when the job
    // was cancelled part way: the layout keeps where the next job starts.
    if (!request.preview && design::KeepImbSerials(panel)) {
        QString error;
        if (!design::SaveLayoutFile(panel, QString::fromStdString(*path), &error) && hooks.info)
            hooks.info("The next IMb serial number could not be kept in the layout:\n" +
                       error.toStdString());
    }

    LabelPrintResult result;
    result.labels = labels.labelsPrinted();
    result.headings = labels.headingsPrinted();
    result.stopped = labels.stopped();
    result.clippedRecords = labels.clippedRecords();
    result.pages = request.preview ? stored.PageCount()
                                   : static_cast<print::TReportPrinter&>(*job).PagesOutput();
    if (job->Aborted()) {
        result.outcome = LabelPrintOutcome::Cancelled;
        result.message = request.preview ? "Label Preview Canceled!" : "Label Print Canceled!";
        return result;
    }
    if (!ran && !job->LastError().isEmpty())
        return failed(job->LastError().toStdString(), hooks, !hooks.run);
    result.outcome = LabelPrintOutcome::Done;
    if (request.preview && hooks.showPreview)
        hooks.showPreview(stored);
    return result;
}

} // namespace qp::labels
