#pragma once
// The standard envelope sizes: the platform paper code each is stored as,
// the caption the size chooser shows, and the width (the design's horizontal
// side) and height in inches. Metric sizes convert at 25 mm to the inch.

#include <array>
#include <string_view>

namespace qp::envelopes {

struct EnvelopeSize {
    std::string_view caption; // shown verbatim, blanks included
    int code = 0;
    double width = -1;
    double height = -1;
};

inline constexpr int kDefaultEnvelopeCode = 20; // #10
inline constexpr std::string_view kDefaultEnvelopeDescription = "Envelope #10";

inline constexpr std::array<EnvelopeSize, 16> kEnvelopeSizes{{
    {"Envelope #9 3 7/8 x 8 7/8 inches", 19, 8.875, 3.875},
    {"Envelope #10 4 1/8 x 9 1/2 inches", 20, 9.5, 4.125},
    {"Envelope #11 4 1/2 x 10 3/8 inches", 21, 10.375, 4.5},
    {"Envelope #12 4 3/4 x 11 inches", 22, 11, 4.75},
    {"Envelope #14 5 x 11 1/2 inches", 23, 11.5, 5},
    {"Envelope DL 110 x 220 mm", 27, 8.8, 4.4},
    {"Envelope C5 162 x 229 mm ", 28, 9.16, 6.48},
    {"Envelope C4  229 x 324 mm", 30, 12.96, 9.16},
    {"Envelope C6  114 x 162 mm", 31, 6.48, 4.56},
    {"Envelope C65 114 x 229 mm", 32, 9.16, 4.56},
    {"Envelope B4  250 x 353 mm", 33, 14.12, 10},
    {"Envelope B5  176 x 250 mm", 34, 10, 7.04},
    {"Envelope B6  176 x 125 mm", 35, 5, 7.04},
    {"Envelope 110 x 230 mm", 36, 9.2, 4.4},
    {"Envelope Monarch 3 7/8 x 7 1/2 inches", 37, 7.5, 3.875},
    {"6 3/4 Envelope 3 5/8 x 6 1/2 inches", 38, 6.5, 3.625},
}};

// The size of `code`; an unknown code gives width and height -1.
EnvelopeSize envelopeSize(int code);
bool knownEnvelopeCode(int code);
// The chooser's row of `code`: 0 for a code it does not know.
int envelopeSizeIndex(int code);

} // namespace qp::envelopes
