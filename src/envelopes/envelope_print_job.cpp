#include "envelopes/envelope_print_job.h"

#include "design/layout_stream.h"
#include "envelopes/envelope_panel.h"

#include "design/imb_barcode.h"
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/report_printer.h"
#include "store/table.h"

#include <QColor>

#include <memory>

namespace qp::envelopes {

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

EnvelopePrintResult failed(std::string message, const EnvelopePrintHooks& hooks, bool show = true) {
    if (show && hooks.info)
        hooks.info(message);
    EnvelopePrintResult r;
    r.message = std::move(message);
    return r;
}

// Takes the panel out of printing whichever way the job ends.
struct PrintingMode {
    explicit PrintingMode(design::TGBasePanel& p) : panel(p) { panel.Printing = true; }
    ~PrintingMode() { panel.Printing = false; }
    PrintingMode(const PrintingMode&) = delete;
    PrintingMode& operator=(const PrintingMode&) = delete;
    design::TGBasePanel& panel;
};

} // namespace

EnvelopeWalk::EnvelopeWalk(store::Table& table, design::TGBasePanel& panel,
                           store::SelectionWalk& selection, double envelopeWidth,
                           double envelopeHeight, FeedMethod feed, bool preview)
    : table_(table), panel_(panel), selection_(selection), width_(envelopeWidth),
      height_(envelopeHeight), feed_(feed), preview_(preview) {}

void EnvelopeWalk::produce(print::TBaseReport& report) {
    offsets_ = envelopeOffsets(report.PageWidth(), report.PageHeight(), width_, height_, feed_);
    const QMarginsF unprintable = report.UnprintableMargins();
    bool first = true;
    while (selection_.valid() && !table_.eof()) {
        if (stopRequested && stopRequested()) {
            stopped_ = true;
            break;
        }
        if (!first)
            report.NewPage();
        first = false;
        if (preview_) {
            // Where the printer can print, on screen only.
            report.SetBrush(Qt::white, print::bsClear);
            report.SetPen(Qt::red, print::psDot, 1);
            report.Rectangle(unprintable.left(), unprintable.top(),
                             report.PageWidth() - unprintable.right(),
                             report.PageHeight() - unprintable.bottom());
            report.SetPen(Qt::black, print::psSolid, 1);
        }
        panel_.RefreshDataValues();
        panel_.PrintObjects(report, offsets_.x, offsets_.y);
        ++envelopes_;
        if (processEvents)
            processEvents();
        if (report.Aborted())
            break;
        if (!selection_.next())
            break;
    }
}

EnvelopePrintResult printEnvelopes(EnvelopePrintRequest& request, const EnvelopePrintHooks& hooks) {
    if (!request.addressTable || !request.panel)
        return failed("There is no address file to print envelopes from", hooks);
    store::Table& table = *request.addressTable;
    TEnvelopePanel& panel = *request.panel;
    const EnvelopeDefinition& def = request.definition;
    if (!knownEnvelopeCode(def.code))
        return failed("The envelope \"" + def.description + "\" has an unknown size (code " +
                          std::to_string(def.code) +
                          "); choose its size on the design screen first",
                      hooks);

    print::TPrinterSetup& setup = request.setup ? *request.setup : print::TPrinterSetup::Shared();
    FeedMethod feed;
    if (request.settings)
        feed = loadEnvelopeSettings(*request.settings, setup);
    if (request.feed)
        feed = sanitizedFeed(*request.feed);

    if (!envelopeLayoutExists(request.sysdataFolder, def))
        return failed(std::string(kLayoutFileRemovedMessage), hooks);
    panel.ClearObjects();
    panel.SizeForEnvelope(def.width(), def.height());
    QString error;
    if (!design::LoadLayoutFile(
            panel, QString::fromStdString(*envelopeLayoutPath(request.sysdataFolder, def)), &error))
        return failed("The envelope layout could not be read:\n" + error.toStdString(), hooks);

    if (request.requestPaper) {
        setup.SetPaperCode(def.code);
        setup.SetOrientation(feed.orientation == foLandscape ? print::poLandScape
                                                             : print::poPortrait);
    }
    if (hooks.printDialog && !hooks.printDialog(feed)) {
        EnvelopePrintResult r;
        r.outcome = EnvelopePrintOutcome::Cancelled;
        return r;
    }
    if (request.settings)
        if (auto st = saveEnvelopeSettings(*request.settings, setup, feed); !st && hooks.info)
            hooks.info("The envelope printer settings could not be saved:\n" + st.error());

    store::RecordSelection selection = request.selection;
    selection.currentByQuery = false;
    auto walk = store::SelectionWalk::begin(table, selection, hooks.info);
    if (!walk)
        return failed(walk.error(), hooks);
    if (!walk->valid())
        return failed("There are no records to print", hooks);

    PrintingMode printing(panel);
    EnvelopeWalk envelopes(table, panel, *walk, def.width(), def.height(), feed, request.preview);
    print::TStoredJob stored;
    std::unique_ptr<print::TBaseReport> job;
    if (request.preview) {
        auto filer = std::make_unique<print::TReportFiler>(&setup);
        filer->SetStream(&stored);
        job = std::move(filer);
    } else {
        job = std::make_unique<print::TReportPrinter>(&setup);
    }
    job->Title = qs(kEnvelopeJobTitle);
    job->StatusFormat = qs(kEnvelopeStatusFormat);
    job->StatusText = QStringList{QString(), QString()};
    job->MarginLeft = job->MarginRight = job->MarginTop = job->MarginBottom = 0;
    job->OnPrint = [&envelopes](print::TBaseReport& r) { envelopes.produce(r); };
    const bool ran = hooks.run ? hooks.run(*job, envelopes) : job->Execute();
    // Printed IMb serial numbers are never handed out again, even when the
    // job was cancelled part way: the layout keeps where the next job starts.
    if (!request.preview && design::KeepImbSerials(panel)) {
        QString keepError;
        if (!design::SaveLayoutFile(
                panel, QString::fromStdString(*envelopeLayoutPath(request.sysdataFolder, def)),
                &keepError) &&
            hooks.info)
            hooks.info("The next IMb serial number could not be kept in the layout:\n" +
                       keepError.toStdString());
    }

    EnvelopePrintResult result;
    result.envelopes = envelopes.envelopes();
    result.stopped = envelopes.stopped();
    result.offsets = envelopes.offsets();
    result.pages = request.preview ? stored.PageCount()
                                   : static_cast<print::TReportPrinter&>(*job).PagesOutput();
    if (job->Aborted()) {
        result.outcome = EnvelopePrintOutcome::Cancelled;
        result.message =
            request.preview ? "Envelope Preview Canceled!" : "Envelope Print Canceled!";
        return result;
    }
    if (!ran && !job->LastError().isEmpty())
        return failed(job->LastError().toStdString(), hooks, !hooks.run);
    result.outcome = EnvelopePrintOutcome::Done;
    if (request.preview && hooks.showPreview)
        hooks.showPreview(stored);
    return result;
}

} // namespace qp::envelopes
