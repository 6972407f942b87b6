#pragma once
// Where the report designer puts its ruler, band captions, bands and sizers
// for a set of report settings, and how a band's height follows a drag.

#include "reports/report_vars.h"

#include <array>

namespace qp::reports {

inline constexpr int kRulerHeight = 33;
inline constexpr int kCaptionHeight = 20;
inline constexpr int kSizerHeight = 5;
inline constexpr int kBandSwitchedOnHeight = 20;

struct BandPlace {
    int captionTop = 0;
    int bandTop = 0;
    int bandHeight = 0;
    int sizerTop = 0;
};

struct BandArrangement {
    int width = 0;                  // of every caption, band and sizer
    double startInch = 0;           // where the ruler starts
    std::array<BandPlace, 4> bands; // header, detail, memo, footer
    int pageHeight = 0;             // the page area
};

// Gives a band that is on but 0 high its 20 pixels (less any excess over
// the space between the margins) and sets the heights of bands that are
// off to 0, then places everything.
BandArrangement ArrangeBands(ReportVars& vars);

// The height of `band` after a drag of `dy` pixels from `pressHeight`: never
// below 0, and the three bands together never above the space between the
// top and bottom margins. The memo band keeps its fixed height.
void DragBand(ReportVars& vars, TReportBand band, int pressHeight, int dy);

// Turns a band on or off; off sets its height to 0.
void SwitchBand(ReportVars& vars, TReportBand band, bool on);

int& BandHeight(ReportVars& vars, TReportBand band);
bool& BandUsed(ReportVars& vars, TReportBand band);

} // namespace qp::reports
