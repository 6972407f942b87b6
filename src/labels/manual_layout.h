#pragma once
// The rules of the manual layout entry: units, paper sizes and validation.

#include "labels/label_definition.h"

#include <array>
#include <optional>
#include <string_view>

namespace qp::labels {

inline constexpr double kMillimetresPerInch = 25.4;
inline constexpr double kInchesPerMillimetre = 0.039370078740157;

struct PaperChoice {
    std::string_view caption;
    std::string_view code;
    double width, height; // inches; 0 leaves the numbers alone
};
inline constexpr std::array<PaperChoice, 7> kPaperChoices{{
    {"Letter", "LTR", 8.5, 11},
    {"Letter Landscape", "LTRL", 11, 8.5},
    {"A4", "A4", 8.27, 11.69},
    {"A4 Landscape", "A4L", 11.69, 8.27},
    {"A5", "A5", 5.82, 8.27},
    {"Other (Portrait)", "USERP", 0, 0},
    {"Other (Landscape)", "USERL", 0, 0},
}};

struct ShapeChoice {
    std::string_view caption;
    std::string_view code;
};
inline constexpr std::array<ShapeChoice, 3> kShapeChoices{
    {{"Rectangular with Rounded Edges", "RR"}, {"Rectangular", "SR"}, {"Round", "EL"}}};

int paperChoiceIndex(std::string_view code); // -1 when unknown
int shapeChoiceIndex(std::string_view code); // -1 when unknown

// The first rule the layout breaks, as the message shown; none when it passes.
std::optional<std::string_view> validateManualLayout(const ManualLayout& layout);

// Lengths in inches rounded to three decimals.
ManualLayout roundedLayout(ManualLayout layout);

} // namespace qp::labels
