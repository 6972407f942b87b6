#pragma once
// The settings of a designed report (page, margins, bands, fonts, band
// outlines and shading), their new-report values, the paper they describe,
// and the settings block of the report layout file.

#include <QString>

#include <array>

namespace qp::design {
class TStreamReader;
class TStreamWriter;
} // namespace qp::design

namespace qp::reports {

struct BandBorders {
    bool Left = false;
    bool Top = false;
    bool Right = false;
    bool Bottom = false;
    int LineWidth = 1;         // 1 to 3
    int ShadePercent = 0;      // 0 to 100; 0 is no shading
    int ShadeColor = 0xFFFFFF; // RGB as the stream stores colours (red in the low byte)
    bool operator==(const BandBorders&) const = default;
};

enum TReportBand { rbHeader, rbDetail, rbMemo, rbFooter };

// Lengths are design pixels while a report is edited or printed.
struct ReportVars {
    int PageWidth = 0;
    int PageHeight = 0;
    int LeftMargin = 0;
    int TopMargin = 0;
    int RightMargin = 0;
    int BottomMargin = 0;
    int HeaderHeight = 33;
    int DetailHeight = 33;
    int FooterHeight = 33;
    bool UseHeader = true;
    bool UseDetail = true;
    bool UseMemo = false;
    bool UseFooter = false;
    QString MemoFontName = QStringLiteral("Arial");
    int MemoFontSize = 10;
    bool MemoFontBold = false;
    bool MemoFontItalic = false;
    int MemoAlignment = 0; // 0 left, 1 right, 2 centred
    QString DefaultFontName = QStringLiteral("Arial");
    int DefaultFontSize = 10;
    bool DefaultFontBold = false;
    bool DefaultFontItalic = false;
    std::array<BandBorders, 4> Borders; // header, detail, memo, footer
    bool operator==(const ReportVars&) const = default;

    BandBorders& HeaderBorders() { return Borders[rbHeader]; }
    BandBorders& DetailBorders() { return Borders[rbDetail]; }
    BandBorders& MemoBorders() { return Borders[rbMemo]; }
    BandBorders& FooterBorders() { return Borders[rbFooter]; }
};

inline constexpr int kReportVarsCount = 50;
inline constexpr int kMemoBandHeight = 33;
inline constexpr const char* kNewReportDescription = "<new report>";

// The values of a new report: Letter portrait, half-inch margins, header and
// detail bands 33 pixels high, Arial 10, no outlines or shading.
ReportVars NewReportVars();

// ShadedColor: 100 percent gives the colour, 0 gives white.
int ShadedColor(int color, int percent);

// The four papers a report may have.
enum class ReportPaper { LetterPortrait, LetterLandscape, A4Portrait, A4Landscape, Unknown };
inline constexpr double kLetterWidth = 8.5, kLetterHeight = 11.0;
inline constexpr double kA4Width = 8.27, kA4Height = 11.68;

// "Letter Size, Portrait", ...; empty for Unknown.
QString PaperDescription(ReportPaper paper);
// From a description as stored in the LAYOUT field (case and blanks ignored).
ReportPaper PaperFromDescription(const QString& text);
// From the page size in pixels; a pixel either way is the same paper.
ReportPaper RecognisePaper(int pageWidth, int pageHeight);
bool IsA4(ReportPaper paper);
bool IsLandscape(ReportPaper paper);
// Sets PageWidth and PageHeight for the paper.
void SetPaper(ReportVars& vars, ReportPaper paper);

// Pixels to thousandths of an inch and back, rounded to nearest both ways so
// that a length read back is the length written (and files written with the
// older truncating conversion read back to their original pixels).
int ThousandthsOfPixels(int pixels);
int PixelsOfThousandths(int thousandths);

// Band height in use (0 when the band is off) and the space between the
// top and bottom margins.
int PrintableHeight(const ReportVars& vars);

// The 50 values, bare, in file order.
void WriteReportVars(design::TStreamWriter& w, const ReportVars& vars);
// Reads the 50 values; a short list, a value of the wrong type or a page of
// no size fails the reader with the reason. Line widths and shade percents
// out of range are brought into range.
bool ReadReportVars(design::TStreamReader& r, ReportVars& vars);

} // namespace qp::reports
