#pragma once
// One envelope print or preview request from start to end: the layout
// loaded, the printer settings and feed method read, the paper requested by
// the envelope's code, the print dialog, the record selection, one envelope
// a page through the print engine, and the address table put back.

#include "envelopes/envelope_definition.h"
#include "envelopes/envelope_feed.h"
#include "store/record_selection.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qp::print {
class TBaseReport;
class TPrinterSetup;
struct TStoredJob;
} // namespace qp::print

namespace qp::envelopes {

class TEnvelopePanel;

inline constexpr std::string_view kEnvelopeJobTitle = "Quillpost";
inline constexpr std::string_view kEnvelopeStatusFormat = "Printing Page %p\r%0\r%1";
inline constexpr std::string_view kPrintCompleted = "\rEnvelope Print Completed!";
inline constexpr std::string_view kPrintCanceled = "\rEnvelope Print Canceled!";
inline constexpr std::string_view kPreviewCanceled = "\rEnvelope Preview Canceled!";
inline constexpr std::string_view kPreviewStopped = "\rPreview Stopped!";

// Walks the records from where the table stands, one envelope a page.
class EnvelopeWalk {
public:
    EnvelopeWalk(store::Table& table, design::TGBasePanel& panel, store::SelectionWalk& selection,
                 double envelopeWidth, double envelopeHeight, FeedMethod feed, bool preview);

    std::function<bool()> stopRequested; // read before every envelope
    std::function<void()> processEvents; // after every envelope

    // The job's OnPrint.
    void produce(print::TBaseReport& report);
    int envelopes() const { return envelopes_; }
    bool stopped() const { return stopped_; }
    EnvelopeOffsets offsets() const { return offsets_; }

private:
    store::Table& table_;
    design::TGBasePanel& panel_;
    store::SelectionWalk& selection_;
    double width_, height_;
    FeedMethod feed_;
    bool preview_;
    EnvelopeOffsets offsets_;
    int envelopes_ = 0;
    bool stopped_ = false;
};

struct EnvelopePrintRequest {
    store::Table* addressTable = nullptr;
    TEnvelopePanel* panel = nullptr; // hidden printing panel, data source set
    EnvelopeDefinition definition;
    std::string sysdataFolder;
    store::RecordSelection selection; // currentByQuery is ignored: the table stays on the record
    bool preview = false;
    print::TPrinterSetup* setup = nullptr;   // nullptr: the shared one
    store::SettingsFile* settings = nullptr; // read and written; nullptr: none
    // The feed to use instead of the stored one.
    std::optional<FeedMethod> feed;
    // Request the paper by the envelope's code and turn it as the feed
    // says; off when the caller has set the paper itself.
    bool requestPaper = true;
};

struct EnvelopePrintHooks {
    std::function<void(std::string_view)> info;
    // The print dialog: may change the feed; false cancels. Unset goes on.
    std::function<bool(FeedMethod&)> printDialog;
    // Runs the job (a status window); unset calls Execute().
    std::function<bool(print::TBaseReport&, EnvelopeWalk&)> run;
    std::function<void(const print::TStoredJob&)> showPreview;
};

enum class EnvelopePrintOutcome { Done, Cancelled, Failed };
struct EnvelopePrintResult {
    EnvelopePrintOutcome outcome = EnvelopePrintOutcome::Failed;
    std::string message;
    int envelopes = 0;
    int pages = 0;
    bool stopped = false;
    EnvelopeOffsets offsets;
};

EnvelopePrintResult printEnvelopes(EnvelopePrintRequest& request, const EnvelopePrintHooks& hooks);

} // namespace qp::envelopes
