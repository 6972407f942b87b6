#pragma once
// The envelope design screen's rules that need no window: zoom steps and
// the size a stored code stands for.

#include <string>

namespace qp::envelopes {

inline constexpr int kDesignScreenHelpTopic = 1080;
inline constexpr int kSizeChooserHelpTopic = 1081;
inline constexpr int kEnvelopeScreenHelpTopic = 1082;
inline constexpr int kPrintDialogHelpTopic = 1018;
inline constexpr int kFeedDialogHelpTopic = 1017;

// Steps of 0.1 in single precision: down unless already below 0.6, up unless
// already above 1.4, so from 1.0 the reachable range is 60 % to 140 %.
float envelopeZoomDown(float zoom);
float envelopeZoomUp(float zoom);

// The message shown when a stored size code is not one of the sixteen.
std::string unknownSizeMessage(int code);

} // namespace qp::envelopes
