#include "print/tab_stops.h"

namespace qp::print {

const TTabStop& TTabSet::Add(double position, TPrintJustify justify, double width, int margin,
                             int boxLines, int shade, double leftMargin) {
    if (position < 0)
        position = Stops_.empty() ? leftMargin : Stops_.back().Position + Stops_.back().Width;
    TTabStop stop;
    stop.Position = position;
    stop.Justify = justify;
    stop.Width = width > 0 ? width : 0;
    stop.Margin = stop.Width > 0 ? margin : 0;
    stop.BoxLines = stop.Width > 0 ? boxLines : blNone;
    stop.Shade = stop.Width > 0 ? shade : 0;
    Stops_.push_back(stop);
    return Stops_.back();
}

double TabTextX(const TTabStop& stop, double cellLeft, double textWidth) {
    const double m = stop.Margin / 100.0;
    switch (stop.Justify) {
    case pjCenter:
        return cellLeft + stop.Width / 2 - textWidth / 2;
    case pjRight:
        return cellLeft + stop.Width - m - textWidth;
    case pjLeft:
    case pjBlock:
    default:
        return cellLeft + m;
    }
}

} // namespace qp::print
