#include "labels/manual_layout.h"

namespace qp::labels {

int paperChoiceIndex(std::string_view code) {
    for (std::size_t i = 0; i < kPaperChoices.size(); ++i)
        if (kPaperChoices[i].code == code)
            return static_cast<int>(i);
    return -1;
}

int shapeChoiceIndex(std::string_view code) {
    for (std::size_t i = 0; i < kShapeChoices.size(); ++i)
        if (kShapeChoices[i].code == code)
            return static_cast<int>(i);
    return -1;
}

std::optional<std::string_view> validateManualLayout(const ManualLayout& m) {
    if (m.labelHeight < 0.3)
        return "Label Height must be at least .3 inches (or 7mm)";
    if (m.labelWidth < 0.5)
        return "Label Width must be at least .5 inch (or 13mm)";
    if (m.across > 1 && m.labelWidth > m.horizontalPitch)
        return "Horizontal Pitch must be at least = Label Width";
    if (m.down > 1 && m.labelHeight > m.verticalPitch)
        return "Vertical Pitch must be at least = Label Height";
    if (m.sheetWidth < 0.3)
        return "Page Width must be at least .3 inch";
    if (m.sheetDepth < 0.3)
        return "Page Height must be at least .3 inches";
    return std::nullopt;
}

ManualLayout roundedLayout(ManualLayout m) {
    for (double* v : {&m.labelHeight, &m.labelWidth, &m.topMargin, &m.leftMargin,
                      &m.horizontalPitch, &m.verticalPitch, &m.sheetWidth, &m.sheetDepth})
        *v = roundToThousandths(*v);
    return m;
}

} // namespace qp::labels
