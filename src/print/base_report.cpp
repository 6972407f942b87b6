#include "print/base_report.h"

#include "print/printer_setup.h"
#include "print/shading.h"
#include "print/status_format.h"

#include <algorithm>
#include <cmath>

namespace qp::print {

namespace {
constexpr double kEps = 1e-6;
}

TBaseReport::TBaseReport(TPrinterSetup* setup) : Setup_(setup ? setup : &TPrinterSetup::Shared()) {
    Metrics_.SetFont(Font_);
}

TBaseReport::~TBaseReport() = default;

// ---- job control -------------------------------------------------------

bool TBaseReport::Execute() {
    if (Running_)
        return false;
    Error_.clear();
    Aborted_ = false;
    Setup_->SetOrientation(Orientation);
    Setup_->SetCopies(Copies);
    JobWidth_ = Setup_->PageWidth();
    JobHeight_ = Setup_->PageHeight();
    JobXDpi_ = Setup_->XDpi();
    JobYDpi_ = Setup_->YDpi();
    Running_ = true;
    Page_ = 1;
    OriginX = OriginY = 0;
    SavedTabs_.clear();
    if (OnBeforePrint)
        OnBeforePrint(*this);
    if (!BeginJob()) {
        Running_ = false;
        Page_ = 0;
        return false;
    }
    ResetSection();
    BeginPage();
    if (OnPrint)
        OnPrint(*this);
    if (!Aborted_)
        FinishPage();
    EndJob(Aborted_);
    Running_ = false;
    if (OnAfterPrint)
        OnAfterPrint(*this);
    // A job whose output could not be finished (a full disk) did not print.
    return !Aborted_ && Error_.isEmpty();
}

void TBaseReport::Abort() {
    if (Running_)
        Aborted_ = true;
}

void TBaseReport::BeginPage() {
    PageRecord_ = TPageRecord();
    OriginX = OriginY = 0;
    Home();
    if (OnStatus)
        OnStatus(FormatStatus(StatusFormat, Page_, StatusText));
}

void TBaseReport::FinishPage() {
    if (Page_ >= FirstPage && Page_ <= LastPage)
        EndPage(std::move(PageRecord_));
    PageRecord_ = TPageRecord();
}

void TBaseReport::NewPage() {
    if (!Running_ || Aborted_)
        return;
    FinishPage();
    if (Aborted_)
        return;
    ++Page_;
    BeginPage();
    if (OnNewPage)
        OnNewPage(*this);
}

// ---- geometry ------------------------------------------------------------

double TBaseReport::PageWidth() const {
    return Running_ ? JobWidth_ : Setup_->PageWidth();
}
double TBaseReport::PageHeight() const {
    return Running_ ? JobHeight_ : Setup_->PageHeight();
}
QMarginsF TBaseReport::UnprintableMargins() const {
    return Setup_->UnprintableMargins();
}
double TBaseReport::XDpi() const {
    return Running_ ? JobXDpi_ : Setup_->XDpi();
}
double TBaseReport::YDpi() const {
    return Running_ ? JobYDpi_ : Setup_->YDpi();
}

int TBaseReport::XI2D(double x) const {
    return static_cast<int>(std::lround((x + OriginX - UnprintableMargins().left()) * XDpi()));
}

int TBaseReport::YI2D(double y) const {
    return static_cast<int>(std::lround((y + OriginY - UnprintableMargins().top()) * YDpi()));
}

QRect TBaseReport::RectToDevice(const QRectF& r) const {
    return QRect(QPoint(XI2D(r.left()), YI2D(r.top())), QPoint(XI2D(r.right()), YI2D(r.bottom())));
}

// ---- section and position ----------------------------------------------

void TBaseReport::SetSection(double left, double right, double top, double bottom) {
    SectionLeft = left;
    SectionRight = right;
    SectionTop = top;
    SectionBottom = bottom;
}

void TBaseReport::ResetSection() {
    SetSection(MarginLeft, PageWidth() - MarginRight, MarginTop, PageHeight() - MarginBottom);
}

void TBaseReport::GotoXY(double x, double y) {
    X_ = x + OriginX;
    Y_ = y + OriginY;
    const double lh = LineHeight();
    LineNum_ = lh > 0 ? std::max(0, static_cast<int>(std::floor((y - SectionTop) / lh + kEps))) : 0;
    TabIndex_ = -1;
    CellActive_ = false;
}

void TBaseReport::Home() {
    X_ = SectionLeft + OriginX;
    Y_ = SectionTop + OriginY + LineHeight();
    LineNum_ = 1;
    TabIndex_ = -1;
    CellActive_ = false;
}

void TBaseReport::NewLine() {
    X_ = SectionLeft + OriginX;
    Y_ += LineHeight();
    ++LineNum_;
    TabIndex_ = -1;
    CellActive_ = false;
}

int TBaseReport::LinesLeft() const {
    const double lh = LineHeight();
    const double room = SectionBottom + OriginY - Y_;
    if (lh <= 0 || room < -kEps)
        return 0;
    // The current line (ending at Y) still counts.
    return static_cast<int>(std::floor(room / lh + kEps)) + 1;
}

// ---- fonts -----------------------------------------------------------------

void TBaseReport::SetFont(const TFontSpec& font) {
    Font_ = font;
    Metrics_.SetFont(Font_);
}

void TBaseReport::SetFont(const QString& name, double size) {
    Font_.Name = name;
    Font_.Size = size;
    Metrics_.SetFont(Font_);
}

void TBaseReport::SetBold(bool on) {
    Font_.Bold = on;
    Metrics_.SetFont(Font_);
}

void TBaseReport::SetItalic(bool on) {
    Font_.Italic = on;
    Metrics_.SetFont(Font_);
}

void TBaseReport::SetUnderline(bool on) {
    Font_.Underline = on;
}
void TBaseReport::SetStrikeOut(bool on) {
    Font_.StrikeOut = on;
}
void TBaseReport::SetFontColor(const QColor& c) {
    Font_.Color = c;
}
void TBaseReport::SetFontRotation(double degrees) {
    Font_.Rotation = degrees;
}

double TBaseReport::LineHeight() const {
    if (LineHeightMethod == lhmLinesPerInch)
        return LinesPerInch > 0 ? 1.0 / LinesPerInch : 0;
    return Metrics_.LineHeight();
}

double TBaseReport::FontAscent() const {
    return Metrics_.Ascent();
}
double TBaseReport::FontDescent() const {
    return Metrics_.Descent();
}
double TBaseReport::TextWidth(const QString& text) const {
    return Metrics_.Width(text);
}

// ---- tabs --------------------------------------------------------------------

void TBaseReport::ClearTabs() {
    Tabs_.Clear();
    TabIndex_ = -1;
    CellActive_ = false;
}

void TBaseReport::SetTab(double position, TPrintJustify justify, double width, int margin,
                         int boxLines, int shade) {
    Tabs_.Add(position, justify, width, margin, boxLines, shade, MarginLeft);
}

void TBaseReport::SaveTabs() {
    SavedTabs_.push_back(Tabs_);
}

void TBaseReport::RestoreTabs() {
    if (SavedTabs_.empty())
        return;
    Tabs_ = SavedTabs_.back();
    SavedTabs_.pop_back();
    TabIndex_ = -1;
    CellActive_ = false;
}

bool TBaseReport::Tab(int shade, int boxLines) {
    if (TabIndex_ + 1 >= Tabs_.Count())
        return false;
    ++TabIndex_;
    Cell_ = Tabs_[TabIndex_];
    if (Cell_.Width > 0) {
        if (shade >= 0)
            Cell_.Shade = shade;
        if (boxLines >= 0)
            Cell_.BoxLines = boxLines;
    }
    CellLeft_ = Cell_.Position + OriginX;
    CellActive_ = true;
    X_ = CellLeft_;
    PaintCell(CellLeft_, Cell_.Width, Cell_.Shade, Cell_.BoxLines);
    return true;
}

void TBaseReport::PaintCell(double left, double width, int shade, int boxLines) {
    if (width <= 0)
        return;
    const double bottom = Y_;
    const double top = Y_ - LineHeight();
    if (shade > 0) {
        TDrawCommand c;
        c.Kind = dkRect;
        c.Rect = QRectF(QPointF(left, top), QPointF(left + width, bottom));
        c.Pen.Style = psClear;
        c.Brush = {ShadedColor(Brush_.Color, shade), bsSolid};
        AddCommand(std::move(c));
    }
    auto line = [&](double x1, double y1, double x2, double y2) {
        TDrawCommand c;
        c.Kind = dkLine;
        c.P1 = {x1, y1};
        c.P2 = {x2, y2};
        c.Pen = Pen_;
        AddCommand(std::move(c));
    };
    if (boxLines & blLeft)
        line(left, top, left, bottom);
    if (boxLines & blRight)
        line(left + width, top, left + width, bottom);
    if (boxLines & blTop)
        line(left, top, left + width, top);
    if (boxLines & blBottom)
        line(left, bottom, left + width, bottom);
}

// ---- text --------------------------------------------------------------------

void TBaseReport::DrawTextAt(double x, double baseline, const QString& text) {
    if (text.isEmpty())
        return;
    TDrawCommand c;
    c.Kind = dkText;
    c.P1 = {x, baseline};
    c.Text = text;
    c.Font = Font_;
    AddCommand(std::move(c));
}

void TBaseReport::PrintPiece(const QString& text) {
    const double baseline = Y_ - FontDescent();
    if (!CellActive_) {
        DrawTextAt(X_, baseline, text);
        X_ += TextWidth(text);
        return;
    }
    CellActive_ = false;
    if (Cell_.Justify == pjBlock && Cell_.Width > 0) {
        const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
        const double m = Cell_.Margin / 100.0;
        double x = CellLeft_ + m;
        if (words.size() > 1) {
            double sum = 0;
            for (const QString& w : words)
                sum += TextWidth(w);
            const double gap = (Cell_.Width - 2 * m - sum) / (words.size() - 1);
            for (const QString& w : words) {
                DrawTextAt(x, baseline, w);
                x += TextWidth(w) + gap;
            }
        } else {
            DrawTextAt(x, baseline, text);
        }
    } else {
        DrawTextAt(TabTextX(Cell_, CellLeft_, TextWidth(text)), baseline, text);
    }
    X_ = CellLeft_ + Cell_.Width;
}

void TBaseReport::Print(const QString& text) {
    const QStringList parts = text.split(u'\t');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            Tab();
        if (!parts[i].isEmpty())
            PrintPiece(parts[i]);
    }
}

void TBaseReport::PrintLn(const QString& text) {
    Print(text);
    NewLine();
}

void TBaseReport::PrintRight(const QString& text, double x) {
    const double w = TextWidth(text);
    DrawTextAt(x + OriginX - w, Y_ - FontDescent(), text);
    X_ = x + OriginX;
}

void TBaseReport::PrintCenter(const QString& text, double x) {
    const double w = TextWidth(text);
    DrawTextAt(x + OriginX - w / 2, Y_ - FontDescent(), text);
    X_ = x + OriginX + w / 2;
}

void TBaseReport::TextRect(const QRectF& clip, double x, double y, const QString& text) {
    if (text.isEmpty())
        return;
    TDrawCommand c;
    c.Kind = dkTextClipped;
    c.P1 = At(x, y);
    c.Rect = clip.translated(OriginX, OriginY);
    c.Text = text;
    c.Font = Font_;
    AddCommand(std::move(c));
}

// ---- pens, brushes, shapes ---------------------------------------------------

void TBaseReport::SetPen(const QColor& color, TPenStyle style, int width, TPenMode mode) {
    Pen_.Color = color;
    Pen_.Style = style;
    Pen_.Mode = mode;
    SetPenWidth(width);
}

void TBaseReport::SetPenWidth(int width) {
    const double dpi = (XDpi() + YDpi()) / 2;
    // Device pixels, or hundredths of an inch rounded to pixels, at least one.
    const double px = width < 0 ? std::round(-width / 100.0 * dpi) : width;
    Pen_.WidthInches = std::max(1.0, px) / dpi;
}

void TBaseReport::SetBrush(const QColor& color, TBrushStyle style) {
    Brush_ = {color, style};
}

QRectF TBaseReport::RectAt(double x1, double y1, double x2, double y2) const {
    return QRectF(At(x1, y1), At(x2, y2)).normalized();
}

void TBaseReport::MoveTo(double x, double y) {
    PenX_ = x + OriginX;
    PenY_ = y + OriginY;
}

void TBaseReport::LineTo(double x, double y) {
    TDrawCommand c;
    c.Kind = dkLine;
    c.P1 = {PenX_, PenY_};
    c.P2 = At(x, y);
    c.Pen = Pen_;
    PenX_ = c.P2.x();
    PenY_ = c.P2.y();
    AddCommand(std::move(c));
}

TDrawCommand TBaseReport::ShapeAt(TDrawKind kind, double x1, double y1, double x2,
                                  double y2) const {
    TDrawCommand c;
    c.Kind = kind;
    c.Rect = RectAt(x1, y1, x2, y2);
    c.Pen = Pen_;
    c.Brush = Brush_;
    return c;
}

void TBaseReport::Rectangle(double x1, double y1, double x2, double y2) {
    AddCommand(ShapeAt(dkRect, x1, y1, x2, y2));
}

void TBaseReport::FillRect(double x1, double y1, double x2, double y2) {
    TDrawCommand c = ShapeAt(dkRect, x1, y1, x2, y2);
    c.Pen = TPenSpec{};
    c.Pen.Style = psClear;
    AddCommand(std::move(c));
}

void TBaseReport::RoundRect(double x1, double y1, double x2, double y2, double cornerW,
                            double cornerH) {
    TDrawCommand c = ShapeAt(dkRoundRect, x1, y1, x2, y2);
    c.P2 = {cornerW, cornerH};
    AddCommand(std::move(c));
}

void TBaseReport::Ellipse(double x1, double y1, double x2, double y2) {
    AddCommand(ShapeAt(dkEllipse, x1, y1, x2, y2));
}

void TBaseReport::StretchDraw(const QRectF& rect, const QImage& image) {
    TDrawCommand c;
    c.Kind = dkImage;
    c.Rect = rect.translated(OriginX, OriginY);
    c.Image = image;
    AddCommand(std::move(c));
}

void TBaseReport::StretchPicture(const QRectF& rect, const QPicture& picture) {
    TDrawCommand c;
    c.Kind = dkPicture;
    c.Rect = rect.translated(OriginX, OriginY);
    c.Picture = std::make_shared<const QPicture>(picture);
    AddCommand(std::move(c));
}

void TBaseReport::PaintRect(const QRectF& rect, TPaintRoutine paint) {
    TDrawCommand c;
    c.Kind = dkPaint;
    c.Rect = rect.translated(OriginX, OriginY);
    c.Paint = std::make_shared<const TPaintRoutine>(std::move(paint));
    AddCommand(std::move(c));
}

void TBaseReport::AddDrawing(TDrawCommand&& cmd) {
    const QPointF origin(OriginX, OriginY);
    cmd.P1 += origin;
    if (cmd.Kind == dkLine)
        cmd.P2 += origin; // otherwise a size (round rectangle corners)
    cmd.Rect.translate(origin);
    AddCommand(std::move(cmd));
}

void TBaseReport::AddCommand(TDrawCommand&& cmd) {
    if (!Running_ || Aborted_)
        return;
    PageRecord_.Commands.push_back(std::move(cmd));
}

} // namespace qp::print
