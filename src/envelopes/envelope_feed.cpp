#include "envelopes/envelope_feed.h"

#include "print/printer_setup.h"

#include <algorithm>

namespace qp::envelopes {

namespace {

int hundredths(double v) {
    return static_cast<int>(100 * v);
}
int tenths(double v) {
    return static_cast<int>(10 * v);
}

float byPosition(int position, double gap, bool flipped) {
    switch (position) {
    case fpLeft:
        return static_cast<float>(flipped ? gap : 0);
    case fpRight:
        return static_cast<float>(flipped ? 0 : gap);
    default:
        return static_cast<float>(gap / 2);
    }
}

} // namespace

EnvelopeOffsets envelopeOffsets(double pageWidth, double pageHeight, double envelopeWidth,
                                double envelopeHeight, const FeedMethod& feed) {
    if (tenths(pageWidth) == tenths(envelopeWidth) && tenths(pageHeight) == tenths(envelopeHeight))
        return {};
    const double dx = pageWidth - envelopeWidth;
    const double dy = pageHeight - envelopeHeight;
    const bool down = feed.facing == ffDown;
    EnvelopeOffsets o;
    if (feed.orientation == foPortrait) {
        o.x = byPosition(feed.position, dx, down);
        o.y = 0;
    } else {
        o.x = feed.clockWiseRotation ? 0.0f : static_cast<float>(dx);
        o.y = byPosition(feed.position, dy, down);
    }
    o.x = std::max(0.0f, o.x);
    o.y = std::max(0.0f, o.y);
    return o;
}

bool paperMismatch(double envelopeWidth, double envelopeHeight, double pageWidth,
                   double pageHeight) {
    return std::abs(hundredths(envelopeWidth) - hundredths(pageWidth)) > 100 ||
           std::abs(hundredths(envelopeHeight) - hundredths(pageHeight)) > 100;
}

std::string feedDescription(const FeedMethod& feed) {
    std::string text = feed.position == fpLeft    ? "Position: Left\r\n"
                       : feed.position == fpRight ? "Position: Right\r\n"
                                                  : "Position: Center\r\n";
    const bool landscape = feed.orientation == foLandscape;
    text += landscape ? "Orientation : Landscape\r\n" : "Orientation : Portrait\r\n";
    if (landscape && feed.clockWiseRotation)
        text += "Clockwise Rotation\r\n";
    text += feed.facing == ffUp ? "Facing Up" : "Facing Down";
    return text;
}

FeedMethod sanitizedFeed(FeedMethod feed) {
    const FeedMethod d;
    if (feed.orientation != foPortrait && feed.orientation != foLandscape)
        feed.orientation = d.orientation;
    if (feed.facing != ffUp && feed.facing != ffDown)
        feed.facing = d.facing;
    if (feed.position < fpLeft || feed.position > fpCenter)
        feed.position = d.position;
    return feed;
}

FeedMethod readFeedMethod(const store::SettingsFile& settings) {
    return sanitizedFeed(store::ReadEnvelopeFeed(settings));
}

EnvelopePrinterSettings readEnvelopePrinter(const store::SettingsFile& settings,
                                            const print::TPrinterSetup& setup) {
    EnvelopePrinterSettings p;
    p.printer = settings.readString(kPrinterSection, "Printer", setup.DeviceName().toStdString());
    p.bin = settings.readString(kPrinterSection, "Bin", setup.BinName().toStdString());
    p.paper = settings.readString(kPrinterSection, "Paper", setup.PaperName().toStdString());
    p.orientation = settings.readInteger(kPrinterSection, "Orientation",
                                         setup.Orientation() == print::poLandScape ? 1 : 0);
    return p;
}

void applyEnvelopePrinter(print::TPrinterSetup& setup, const EnvelopePrinterSettings& p) {
    if (!p.printer.empty())
        setup.SelectPrinterByName(QString::fromStdString(p.printer));
    if (!p.bin.empty())
        setup.SelectBin(QString::fromStdString(p.bin));
    if (!p.paper.empty())
        setup.SelectPaper(QString::fromStdString(p.paper));
    setup.SetOrientation(p.orientation == 1 ? print::poLandScape : print::poPortrait);
}

FeedMethod loadEnvelopeSettings(const store::SettingsFile& settings, print::TPrinterSetup& setup) {
    const FeedMethod feed = readFeedMethod(settings);
    applyEnvelopePrinter(setup, readEnvelopePrinter(settings, setup));
    return feed;
}

store::Status saveEnvelopeSettings(store::SettingsFile& settings, const print::TPrinterSetup& setup,
                                   const FeedMethod& feed) {
    if (auto st = store::WriteEnvelopeFeed(settings, feed); !st)
        return st;
    for (auto [key, value] : {std::pair<std::string_view, QString>{"Printer", setup.DeviceName()},
                              {"Bin", setup.BinName()},
                              {"Paper", setup.PaperName()}})
        if (auto st = settings.writeString(kPrinterSection, key, value.toStdString()); !st)
            return st;
    return settings.writeInteger(kPrinterSection, "Orientation",
                                 setup.Orientation() == print::poLandScape ? 1 : 0);
}

} // namespace qp::envelopes
