#pragma once
// One label print or preview request from start to end: the layout loaded,
// the record selection and start record set, the presort run or reused,
// the paper requested and checked, the job run through the print engine,
// and the address table put back as it was.

#include "labels/printing/label_walk.h"
#include "store/record_selection.h"

#include <functional>
#include <string>
#include <string_view>

namespace qp::design {
class TGBasePanel;
}
namespace qp::print {
class TBaseReport;
class TPrinterSetup;
struct TStoredJob;
} // namespace qp::print

namespace qp::labels {

inline constexpr std::string_view kLabelJobTitle = "Quillpost";
inline constexpr std::string_view kPresortOrderMessage =
    "Labels will print/preview in the following order:\r\n  1. 5-Digit presort\r\n  2. "
    "3-Digit presort\r\n  3. ADC presort";
inline constexpr std::string_view kPrintStatusFormat = "Printing Page %p\r%0\r%1";
inline constexpr std::string_view kPreviewStatusFormat = "Preparing Preview Page %p\r%0\r%1";
inline constexpr std::string_view kNoPositionMessage = "You must select at least one card to print";

struct LabelPrintRequest {
    store::Table* addressTable = nullptr;
    design::TGBasePanel* panel = nullptr; // the hidden printing panel, data source set
    LabelDefinition definition;
    std::string sysdataFolder;
    std::string presortPath; // PRESORT.PSL in the program folder
    store::RecordSelection selection;
    bool presort = false;
    bool presortDone = false; // in and out: a list already written for this selection
    LabelPositions positions;
    bool firstSheetOnly = false; // cleared positions on the first sheet only
    int copies = 1;
    bool preview = false;
    Point offset;                          // the printer's alignment
    print::TPrinterSetup* setup = nullptr; // nullptr: the shared one
};

struct LabelPrintHooks {
    // Messages: a missing layout, the start record out of range, the presort order.
    std::function<void(std::string_view)> info;
    // The paper question; unset answers No.
    std::function<bool(std::string_view)> confirm;
    // Runs the presort (a window with its own cancel); unset runs it directly.
    std::function<PresortRun(store::Table&, const store::RecordSelection&, const std::string&)>
        presort;
    // Runs the job (a status window); unset calls Execute(). The walk's stop
    // and event hooks may be set here. Returns false when the job was aborted.
    std::function<bool(print::TBaseReport&, LabelWalk&)> run;
    // A preview that was not aborted; unset shows nothing.
    std::function<void(const print::TStoredJob&)> showPreview;
};

enum class LabelPrintOutcome { Done, Cancelled, Failed };
struct LabelPrintResult {
    LabelPrintOutcome outcome = LabelPrintOutcome::Failed;
    std::string message; // why it failed or was cancelled
    int pages = 0;
    int labels = 0;
    int headings = 0;
    bool stopped = false;
    std::vector<std::uint32_t> clippedRecords; // addresses cut on their label
};

LabelPrintResult printLabels(LabelPrintRequest& request, const LabelPrintHooks& hooks);

// Prepares a report for the label job: title and status format.
void prepareLabelReport(print::TBaseReport& report, bool preview);

} // namespace qp::labels
