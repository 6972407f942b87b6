#pragma once
// A print job in inches from the paper's top-left corner: position, line,
// tab stops, fonts, pens and shapes. Subclasses decide where pages go.
#include "print/draw_command.h"
#include "print/print_types.h"
#include "print/tab_stops.h"
#include "print/text_metrics.h"

#include <QMarginsF>
#include <QStringList>
#include <functional>
#include <vector>

namespace qp::print {

class TPrinterSetup;

class TBaseReport {
public:
    using TEvent = std::function<void(TBaseReport&)>;

    explicit TBaseReport(TPrinterSetup* setup = nullptr); // nullptr: the shared setup
    virtual ~TBaseReport();
    TBaseReport(const TBaseReport&) = delete;
    TBaseReport& operator=(const TBaseReport&) = delete;

    // Job properties.
    TUnits Units = unInch;
    double UnitsFactor = 1.0;
    double MarginLeft = 0.5;
    double MarginRight = 0.5;
    double MarginTop = 0.5;
    double MarginBottom = 0.5;
    TLineHeightMethod LineHeightMethod = lhmFont;
    double LinesPerInch = 6;
    TOrientation Orientation = poDefault;
    int Copies = 1;
    QString Title;
    int FirstPage = 1;
    int LastPage = 9999;
    QString StatusFormat;
    QStringList StatusText; // lines for %0..%9
    double ScaleX = 100.0;
    double ScaleY = 100.0;
    TTextBKMode TextBKMode = bkTransparent;

    // Events, in the order they run.
    TEvent OnBeforePrint;
    TEvent OnPrint;
    TEvent OnNewPage;
    TEvent OnAfterPrint;
    // The status line text at every page start (the status window shows it).
    std::function<void(const QString&)> OnStatus;

    // Job control.
    bool Execute();
    void Abort();
    bool Aborted() const { return Aborted_; }
    bool Printing() const { return Running_; }
    QString LastError() const { return Error_; }
    TPrinterSetup& Setup() { return *Setup_; }

    // Geometry of the sheet (inches) and of the device.
    double PageWidth() const;
    double PageHeight() const;
    QMarginsF UnprintableMargins() const;
    double XDpi() const;
    double YDpi() const;
    int XI2D(double x) const; // inches to device pixels
    int YI2D(double y) const;
    QRect RectToDevice(const QRectF& inches) const;

    // Section.
    double SectionLeft = 0.5;
    double SectionRight = 8.0;
    double SectionTop = 0.5;
    double SectionBottom = 10.5;
    void SetSection(double left, double right, double top, double bottom);
    void ResetSection();

    // Position; Y is the bottom of the current line.
    double XPos() const { return X_ - OriginX; }
    double YPos() const { return Y_ - OriginY; }
    void SetXPos(double x) { X_ = x + OriginX; }
    void SetYPos(double y) { Y_ = y + OriginY; }
    void GotoXY(double x, double y);
    void Home();
    void NewLine();
    int LinesLeft() const;
    int LineNum() const { return LineNum_; }
    double OriginX = 0; // added to horizontal positions
    double OriginY = 0; // added to vertical positions
    void NewPage();
    int CurrentPage() const { return Page_; }

    // Fonts.
    const TFontSpec& Font() const { return Font_; }
    void SetFont(const QString& name, double size);
    void SetFont(const TFontSpec& font);
    void SetBold(bool on);
    void SetItalic(bool on);
    void SetUnderline(bool on);
    void SetStrikeOut(bool on);
    void SetFontColor(const QColor& c);
    void SetFontRotation(double degrees);
    double LineHeight() const; // of the current font or LinesPerInch
    double FontAscent() const;
    double FontDescent() const;
    double TextWidth(const QString& text) const;

    // Tab stops.
    void ClearTabs();
    void SetTab(double position, TPrintJustify justify, double width, int margin = 0,
                int boxLines = blNone, int shade = 0);
    void SaveTabs();
    void RestoreTabs();
    int TabCount() const { return Tabs_.Count(); }
    const TTabStop& TabStop(int i) const { return Tabs_[i]; }
    // Move to the next stop; shade and boxLines >= 0 override the stop's for this cell.
    bool Tab(int shade = -1, int boxLines = -1);

    // Text.
    void Print(const QString& text);
    void PrintLn(const QString& text);
    void PrintRight(const QString& text, double x);
    void PrintCenter(const QString& text, double x);
    // Text with its top-left (for angle 0) at (x, y), clipped to clip.
    void TextRect(const QRectF& clip, double x, double y, const QString& text);

    // Pens and brushes. A negative width is in hundredths of an inch.
    const TPenSpec& Pen() const { return Pen_; }
    const TBrushSpec& Brush() const { return Brush_; }
    void SetPen(const QColor& color, TPenStyle style, int width, TPenMode mode = pmCopy);
    void SetPenWidth(int width);
    void SetBrush(const QColor& color, TBrushStyle style);

    // Shapes.
    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void Rectangle(double x1, double y1, double x2, double y2);
    void FillRect(double x1, double y1, double x2, double y2); // brush only
    void RoundRect(double x1, double y1, double x2, double y2, double cornerW, double cornerH);
    void Ellipse(double x1, double y1, double x2, double y2);
    void StretchDraw(const QRectF& rect, const QImage& image);
    void StretchPicture(const QRectF& rect, const QPicture& picture);
    // Drawing of its own inside `rect` (inches), kept with the page.
    void PaintRect(const QRectF& rect, TPaintRoutine paint);
    // A drawing call made elsewhere (see report_canvas.h), in inches from
    // the origin.
    void AddDrawing(TDrawCommand&& cmd);

    // Every drawing call of the current page so far.
    const TPageRecord& CurrentPageRecord() const { return PageRecord_; }

protected:
    // Opens the target; false stops the job (LastError says why).
    virtual bool BeginJob() = 0;
    virtual void EndPage(TPageRecord&& page) = 0;
    virtual void EndJob(bool aborted) = 0;
    void SetError(const QString& e) { Error_ = e; }

private:
    void BeginPage();
    void FinishPage();
    void AddCommand(TDrawCommand&& cmd);
    void DrawTextAt(double x, double baseline, const QString& text);
    void PrintPiece(const QString& text);
    void PaintCell(double left, double width, int shade, int boxLines);
    QPointF At(double x, double y) const { return {x + OriginX, y + OriginY}; }
    QRectF RectAt(double x1, double y1, double x2, double y2) const;
    // A shape over the rectangle in the current pen and brush.
    TDrawCommand ShapeAt(TDrawKind kind, double x1, double y1, double x2, double y2) const;

    TPrinterSetup* Setup_;
    bool Running_ = false;
    bool Aborted_ = false;
    QString Error_;
    int Page_ = 0;
    double X_ = 0;
    double Y_ = 0;
    int LineNum_ = 0;
    double PenX_ = 0;
    double PenY_ = 0;
    TFontSpec Font_;
    TTextMetrics Metrics_;
    TPenSpec Pen_;
    TBrushSpec Brush_;
    TTabSet Tabs_;
    std::vector<TTabSet> SavedTabs_;
    int TabIndex_ = -1;
    bool CellActive_ = false;
    TTabStop Cell_;
    double CellLeft_ = 0;
    TPageRecord PageRecord_;
    // Geometry fixed for the time a job runs.
    double JobWidth_ = 0;
    double JobHeight_ = 0;
    double JobXDpi_ = 0;
    double JobYDpi_ = 0;
};

} // namespace qp::print
