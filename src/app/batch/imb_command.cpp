// imb: the 65 bars of an Intelligent Mail barcode as letters.

#include "app/batch/batch_command.h"
#include "design/imb_encoder.h"

#include <ostream>

namespace qp::batch {

namespace {

int runImb(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {}, {});
    args.expectPositionals(1, 2);
    const QString tracking = QString::fromStdString(args.positional(0, "TRACKING"));
    const QString routing = args.positionals().size() > 1
                                ? QString::fromStdString(args.positional(1, "ROUTING"))
                                : QString();
    const design::TImbText bars = design::ImbBars(tracking, routing);
    if (!bars.Ok())
        throw Failure(bars.Refusal.toStdString());
    out << bars.Value.toStdString() << "\n";
    return 0;
}

BatchCommand imb({"imb", "TRACKING [ROUTING]",
                  "Intelligent Mail barcode bars (F full, A ascender, D descender, T tracker)",
                  runImb});

} // namespace

} // namespace qp::batch
