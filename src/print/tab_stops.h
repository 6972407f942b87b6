#pragma once
#include "print/print_types.h"

#include <vector>

namespace qp::print {

struct TTabStop {
    double Position = 0; // inches, before the x origin is added
    TPrintJustify Justify = pjLeft;
    double Width = 0; // inches; 0 keeps only position and justification
    int Margin = 0;   // inner margin, hundredths of an inch
    int BoxLines = blNone;
    int Shade = 0; // percent
};

class TTabSet {
public:
    // A negative position puts the stop right after the previous one
    // (or at leftMargin when there is none).
    const TTabStop& Add(double position, TPrintJustify justify, double width, int margin,
                        int boxLines, int shade, double leftMargin);
    void Clear() { Stops_.clear(); }
    int Count() const { return static_cast<int>(Stops_.size()); }
    const TTabStop& operator[](int i) const { return Stops_[i]; }

private:
    std::vector<TTabStop> Stops_;
};

// Where text of the given width starts inside a stop whose left edge is at
// cellLeft; for pjBlock the start of the spread text.
double TabTextX(const TTabStop& stop, double cellLeft, double textWidth);

} // namespace qp::print
