#pragma once
// How envelopes go through the printer (the feed method) and the printer
// chosen for them, both kept in the settings file, and what follows from
// them: where on the printer's page the envelope lies, whether the page
// matches the envelope, and the description the print dialogs show.

#include "store/result.h"
#include "store/settings_file.h"

#include <string>
#include <string_view>

namespace qp::print {
class TPrinterSetup;
}

namespace qp::envelopes {

using FeedMethod = store::EnvelopeFeedSettings;
enum FeedOrientation { foPortrait = 0, foLandscape = 1 };
enum FeedFacing { ffUp = 0, ffDown = 1 };
enum FeedPosition { fpLeft = 0, fpRight = 1, fpCenter = 2 };

inline constexpr std::string_view kPrinterSection = "Envelope Printer";
inline constexpr std::string_view kPaperWarning =
    "WARNING: Printer PAPER SIZE and ORIENTATION do not match selected Envelope.\r\nUse Printer "
    "Setup to correct this.";

struct EnvelopeOffsets {
    float x = 0;
    float y = 0;
    bool operator==(const EnvelopeOffsets&) const = default;
};

// Where the envelope's top-left corner lies on a page of pageWidth x
// pageHeight inches: (0, 0) when page and envelope match to a tenth of an
// inch, else placed by the feed method; never negative.
EnvelopeOffsets envelopeOffsets(double pageWidth, double pageHeight, double envelopeWidth,
                                double envelopeHeight, const FeedMethod& feed);

// The print dialog's warning: the page differs from the envelope by more
// than an inch in width or in height (compared in whole hundredths).
bool paperMismatch(double envelopeWidth, double envelopeHeight, double pageWidth,
                   double pageHeight);

// "Position: Center\r\nOrientation : Landscape\r\nFacing Down"; the
// clockwise line only for landscape feed.
std::string feedDescription(const FeedMethod& feed);
// A feed read from anywhere, brought into range (unknown values take the defaults).
FeedMethod sanitizedFeed(FeedMethod feed);

struct EnvelopePrinterSettings {
    std::string printer;
    std::string bin;
    std::string paper;
    int orientation = 0; // 0 portrait, 1 landscape
    bool operator==(const EnvelopePrinterSettings&) const = default;
};

FeedMethod readFeedMethod(const store::SettingsFile& settings);
// The stored printer settings, the setup's current values where a key is missing.
EnvelopePrinterSettings readEnvelopePrinter(const store::SettingsFile& settings,
                                            const print::TPrinterSetup& setup);
// Selects the printer, bin and paper by name (each only when not empty) and
// the orientation.
void applyEnvelopePrinter(print::TPrinterSetup& setup, const EnvelopePrinterSettings& printer);
// Reads both and applies the printer: what every job starts with.
FeedMethod loadEnvelopeSettings(const store::SettingsFile& settings, print::TPrinterSetup& setup);
// Writes the setup's printer, bin, paper and orientation and the feed.
store::Status saveEnvelopeSettings(store::SettingsFile& settings, const print::TPrinterSetup& setup,
                                   const FeedMethod& feed);

} // namespace qp::envelopes
