#include "labels/printing/paper_check.h"
#include "store/number_text.h"

#include "print/paper_codes.h"
#include "print/printer_setup.h"

#include <QPrinterInfo>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace qp::labels {

namespace {

bool driverRefusesUserPaper(const print::TPrinterSetup& setup) {
    if (setup.IsPdf())
        return false;
    const QPrinterInfo info = QPrinterInfo::printerInfo(setup.DeviceName());
    const QString driver = (info.makeAndModel() + QLatin1Char(' ') + setup.DeviceName()).toUpper();
    return driver.contains(
        QLatin1String(kNoUserPaperDriver.data(), static_cast<int>(kNoUserPaperDriver.size())));
}

double hundredths(double v) {
    return std::round(v * 100.0) / 100.0;
}

} // namespace

bool requestLabelPaper(print::TPrinterSetup& setup, const LabelDefinition& def) {
    bool requested = true;
    switch (paperRequest(def.paperSize)) {
    case PaperRequest::Letter:
        requested = setup.SetPaperCode(print::kPaperLetter);
        break;
    case PaperRequest::A4:
        requested = setup.SetPaperCode(print::kPaperA4);
        break;
    case PaperRequest::A5:
        requested = setup.SetPaperCode(print::kPaperA5);
        break;
    case PaperRequest::UserDefined: {
        if (driverRefusesUserPaper(setup)) {
            requested = false;
            break;
        }
        const Size s = portraitPaperSize(def);
        requested = setup.SetUserPaper(s.width, s.height);
        break;
    }
    }
    setup.SetOrientation(isLandscapePaper(def.paperSize) ? print::poLandScape : print::poPortrait);
    return requested;
}

bool paperMatches(Size sheet, double pageWidth, double pageHeight) {
    const double pw = hundredths(pageWidth), ph = hundredths(pageHeight);
    if (!(pw > 0 && ph > 0))
        return false;
    const double tolerance = 0.05 + 1e-9;
    return std::abs(std::min(pw, ph) - std::min(sheet.width, sheet.height)) <= tolerance &&
           std::abs(std::max(pw, ph) - std::max(sheet.width, sheet.height)) <= tolerance;
}

bool labelPaperConfirmed(print::TPrinterSetup& setup, const LabelDefinition& def) {
    if (!requestLabelPaper(setup, def))
        return false;
    return paperMatches(portraitPaperSize(def), setup.PageWidth(), setup.PageHeight());
}

std::string paperQuestion(Size sheet) {
    const std::string w = store::fixedText(sheet.width, 2), h = store::fixedText(sheet.height, 2);
    return std::string("Unable to confirm that the paper size was set to\r\n\r\n") + w + "\" by " +
           h + "\"" + "\r\n\r\n" + "(you may have the wrong printer selected)" + "\r\n\r\n" +
           "Would you like to try printing anyways?";
}

} // namespace qp::labels
