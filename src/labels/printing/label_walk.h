#pragma once
// Fills label cells with records: walks the address table from where it
// stands, skips the positions not selected, prints each record's copies
// through the label's layout, and in presort order puts each group's
// heading on a position of its own.

#include "labels/label_definition.h"
#include "labels/presort.h"
#include "labels/printing/label_positions.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace qp::store {
class Table;
}
namespace qp::design {
class TGBasePanel;
}
namespace qp::print {
class TBaseReport;
}

namespace qp::labels {

struct LabelWalkSettings {
    LabelDefinition definition;
    LabelPositions positions;
    // The positions cleared apply to the first sheet only, a partly used
    // one; later sheets are used whole. Off: every sheet skips them.
    bool firstSheetOnly = false;
    int copies = 1; // labels per record, 1 to 99
    bool presort = false;
    std::vector<PresortLine> presortList; // with presort
    Point offset;                         // the printer's alignment, inches
};

inline constexpr const char* kLabelHeadingFont = "Arial";
inline constexpr double kLabelHeadingSize = 8;

class LabelWalk {
public:
    // The table stands on the first record to print (without presort) and
    // is in ZIP order with exact matching off (with presort).
    LabelWalk(store::Table& table, design::TGBasePanel& panel, LabelWalkSettings settings);

    // Read before every label; true ends the walk there.
    std::function<bool()> stopRequested;
    // Called after every label so the windows stay alive.
    std::function<void()> processEvents;
    // Called when the last label is placed or the walk stops.
    std::function<void()> finished;

    // The job's OnPrint: every label, pages as the sheet fills.
    void produce(print::TBaseReport& report);

    int labelsPrinted() const { return labels_; }
    int headingsPrinted() const { return headings_; }
    bool stopped() const { return stopped_; }
    // Record numbers, in print order, whose address did not fit its label.
    const std::vector<std::uint32_t>& clippedRecords() const { return clipped_; }

private:
    void seekNextGroup();
    bool moveOn(); // after a record's last copy or a heading

    store::Table& table_;
    design::TGBasePanel& panel_;
    LabelWalkSettings settings_;
    std::deque<PresortLine> remaining_;
    std::string currentLine_;
    bool headingPending_ = false;
    int labels_ = 0;
    int headings_ = 0;
    bool stopped_ = false;
    std::vector<std::uint32_t> clipped_;
};

// "2 addresses did not fit their label and were cut: records 12, 40." with
// at most `named` record numbers; empty when none was cut.
std::string clippedSummary(const std::vector<std::uint32_t>& records, std::size_t named = 10);

} // namespace qp::labels
