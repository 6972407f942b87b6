#include "envelopes/envelope_design_rules.h"

namespace qp::envelopes {

float envelopeZoomDown(float zoom) {
    return zoom < 0.6f ? zoom : zoom - 0.1f;
}

float envelopeZoomUp(float zoom) {
    return zoom > 1.4f ? zoom : zoom + 0.1f;
}

std::string unknownSizeMessage(int code) {
    return "This envelope has an unknown size (code " + std::to_string(code) +
           "). Choose its size; it is stored when you save the design.";
}

} // namespace qp::envelopes
