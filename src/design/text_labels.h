#pragma once
// Text objects: single-line labels with font, alignment, rotation, background
// and 3D shadow/highlight copies; multi-line text; the data-bound kinds.
#include "design/graphic_control.h"

#include <QDateTime>
#include <QStringList>
#include <functional>

class QFont;
class QPaintDevice;

namespace qp::design {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum THighlightDirection { hdNone, hdright, hdLeft, hdUpRight, hdUpLeft, hdUp };
enum TShadowDirection { sdNone, sdRight, sdLeft, sdDownRight, sdDownLeft, sdDown };
enum TGDateFormat { dtfDateNone, dtfDateShort, dtfDateLong };
enum TGTimeFormat { dtfTimeNone, dtfTimeShort, dtfTimeLong };

QString AlignmentName(TAlignment a);
QString HighlightDirectionName(THighlightDirection d);
QString ShadowDirectionName(TShadowDirection d);

// A font as drawn on `device` so that its size is in design pixels at 96 per
// inch whatever the device's resolution.
QFont DesignQFont(const TDesignFont& f, double points, const QPaintDevice* device);
// Measures at exactly 96 per inch.
const QPaintDevice* DesignMetricsDevice();

// Integer screen metrics of a font at design resolution.
struct TScreenMetrics {
    int Height = 0; // ascent + descent
    int Ascent = 0;
    int InternalLeading = 0;
    int ExternalLeading = 0;
};
int DesignTextWidth(const TDesignFont& f, double points, const QString& text);
int DesignTextHeight(const TDesignFont& f, double points); // ascent + descent
TScreenMetrics DesignMetrics(const TDesignFont& f, double points);

inline constexpr int kMaxDepth = 10;

class TGBaseLabel : public TGGraphicControl {
public:
    TGBaseLabel();

    const QString& Caption() const { return Caption_; }
    virtual void SetCaption(const QString& c);
    const TDesignFont& Font() const { return Font_; }
    void SetFont(const TDesignFont& f);
    TAlignment Alignment() const { return Alignment_; }
    void SetAlignment(TAlignment a);
    int DepthHighlight() const { return DepthHighlight_; }
    void SetDepthHighlight(int d);
    int DepthShadow() const { return DepthShadow_; }
    void SetDepthShadow(int d);
    THighlightDirection DirectionHighlight() const { return DirHighlight_; }
    void SetDirectionHighlight(THighlightDirection d);
    TShadowDirection DirectionShadow() const { return DirShadow_; }
    void SetDirectionShadow(TShadowDirection d);
    TColor colorHighlight() const { return ColorHighlight_; }
    void SetcolorHighlight(TColor c);
    TColor colorShadow() const { return ColorShadow_; }
    void SetcolorShadow(TColor c);
    int Angle() const { return Angle_; }
    void SetAngle(int a);
    bool Transparent() const { return Transparent_; }
    void SetTransparent(bool t);
    TColor BackColor() const { return BackColor_; }
    void SetBackColor(TColor c);

    // Computed geometry (after Layout), design pixels relative to the object.
    struct TRectI { // right and bottom exclusive
        int Left = 0, Top = 0, Right = 0, Bottom = 0;
        void Offset(int dx, int dy) { Left += dx, Right += dx, Top += dy, Bottom += dy; }
        bool operator==(const TRectI&) const = default;
    };
    struct TGeometry {
        int sdx = 0, sdy = 0, hdx = 0, hdy = 0, mx = 0, my = 0, lh = 0, tw = 0, f = 0;
        int BoxW = 0, BoxH = 0; // the box the text is drawn in
        TRectI R, S, H;
        QPoint TextOrigin, ShadowOrigin, HighlightOrigin;
    };
    const TGeometry& Geometry() const { return G_; }
    void MarkForLayout() { NeedsLayout_ = true; }
    void Layout();
    void FitToText();

    void Draw(QPainter& p, const TDrawContext& c) override;
    void BoundsChanged() override;
    void AssignFont(const TDesignFont& f) override;
    const TPropertyTable& PropertyTable() const override;

    // Kinds whose text comes from a counter, the clock or the page number
    // rebuild it before painting (report null) and printing.
    virtual void RefreshCaption(print::TBaseReport*) {}
    double ZoomedPoints() const;

protected:
    void InvalidateLayout() override { NeedsLayout_ = true; }
    // The face and text drawn and measured for the caption.
    struct TDrawnText {
        TDesignFont Font;
        QString Text;
    };
    virtual TDrawnText DrawnText() const { return {Font_, Caption_}; }
    QString Caption_ = QStringLiteral("Text");
    TDesignFont Font_;

private:
    void ApplyAngle(int a);
    TAlignment Alignment_ = taLeftJustify;
    int DepthHighlight_ = 0;
    int DepthShadow_ = 0;
    THighlightDirection DirHighlight_ = hdUpLeft;
    TShadowDirection DirShadow_ = sdDownRight;
    TColor ColorHighlight_ = clAqua;
    TColor ColorShadow_ = clGray;
    int Angle_ = 0;
    bool Transparent_ = true;
    TColor BackColor_ = clWhite;
    bool NeedsLayout_ = true;
    TGeometry G_;
};

class TGPLabel : public TGBaseLabel {
public:
    QString ClassName() const override { return QStringLiteral("TGPLabel"); }
};

class TGPDLabel : public TGBaseLabel {
public:
    TGPDLabel() { Caption_.clear(); }
    QString ClassName() const override { return QStringLiteral("TGPDLabel"); }
    QString DataFieldName;
    QString DataFieldDescript;
    int LengthOfText = 0;
    void ShowDataValue() override;
    void ShowDesignText() override;
    const TPropertyTable& PropertyTable() const override;
};

class TGCounterLabel : public TGBaseLabel {
public:
    TGCounterLabel();
    QString ClassName() const override { return QStringLiteral("TGCounterLabel"); }
    int Startingnumber() const { return Starting_; }
    void SetStartingnumber(int n);
    int RepeatEach() const { return RepeatEach_; }
    void SetRepeatEach(int n); // at least 1
    int LeadingZeros() const { return LeadingZeros_; }
    void SetLeadingZeros(int n); // 0..9
    QString TextBefore, TextAfter;
    int CurrentNumber() const { return Current_; }
    QString CounterText() const;
    void RefreshCaption(print::TBaseReport*) override { Caption_ = CounterText(); }
    void NextLabel() override;
    void ResetCounter() override;
    const TPropertyTable& PropertyTable() const override;
    // The "Counter" dialog's Ok, in its order.
    void ApplySettings(int start, int repeat, const QString& before, const QString& after,
                       int zeros);

private:
    void StoreStartingnumber(int n);
    void StoreRepeatEach(int n);
    void StoreLeadingZeros(int n);
    int Starting_ = 1;
    int RepeatEach_ = 1;
    int LeadingZeros_ = 0;
    int Current_ = 1;
    int RepeatCount_ = 0;
};

class TGSymbolLabel : public TGBaseLabel {
public:
    TGSymbolLabel();
    QString ClassName() const override { return QStringLiteral("TGSymbolLabel"); }
    void AssignFont(const TDesignFont&) override {} // a symbol keeps its font
    void BoundsChanged() override;
    void FitSymbol();
    // Index in the 224-character grid (code - 32); empty caption: the first.
    int SymbolIndex() const;
    void ChooseSymbol(const TDesignFont& font, int index);

protected:
    // Symbol codes drawn as their Unicode equivalents where the face is missing.
    TDrawnText DrawnText() const override;
};

class TGDateTimeLabel : public TGBaseLabel {
public:
    QString ClassName() const override { return QStringLiteral("TGDateTimeLabel"); }
    TGDateFormat DateFormat = dtfDateShort;
    TGTimeFormat TimeFormat = dtfTimeNone;
    QString ClockText() const;
    void RefreshCaption(print::TBaseReport*) override { Caption_ = ClockText(); }
    const TPropertyTable& PropertyTable() const override;
    // The clock, replaceable for tests.
    static std::function<QDateTime()>& Now();
};

class TGPageNumberLabel : public TGBaseLabel {
public:
    QString ClassName() const override { return QStringLiteral("TGPageNumberLabel"); }
    void RefreshCaption(print::TBaseReport* report) override;
};

// ---- Multi-line ----

class TGMultiLineBaseLabel : public TGGraphicControl {
public:
    TGMultiLineBaseLabel();
    const QStringList& Items() const { return Items_; }
    void SetItems(const QStringList& l);
    TAlignment Alignment() const { return Alignment_; }
    void SetAlignment(TAlignment a);
    const TDesignFont& Font() const { return Font_; }
    void SetFont(const TDesignFont& f);
    bool WordWrap() const { return WordWrap_; }
    void SetWordWrap(bool w);
    bool AutoSize = false; // carried, no effect

    QStringList Lines() const; // wrapped when WordWrap, else Items
    virtual void Rewrap();
    void FitToContents();
    int LineHeight() const; // height of "XXX", zoomed
    // Distance between the drawn lines in design pixels, zoomed: the font's
    // line spacing as printed, so that what fits on paper fits on screen.
    double LinePitch() const;

    void Draw(QPainter& p, const TDrawContext& c) override;
    void BoundsChanged() override;
    void AssignFont(const TDesignFont& f) override;
    const TPropertyTable& PropertyTable() const override;
    double ZoomedPoints() const;

    // Breaks text into lines no wider than `width` at word boundaries.
    static QStringList WrapLines(const QStringList& items, const TDesignFont& f, double points,
                                 int width);

protected:
    void InvalidateLayout() override {
        if (WordWrap_)
            Rewrap();
    }
    bool Memo_ = false;
    QStringList Items_;
    QStringList Wrapped_;
    TDesignFont Font_;
    // The size the lines are drawn at when an object shrinks its text to
    // fit; 0 draws them at the font's own size.
    double FitPoints_ = 0;

    TAlignment Alignment_ = taLeftJustify;
    bool WordWrap_ = false;
};

class TGMultiLineLabel : public TGMultiLineBaseLabel {
public:
    QString ClassName() const override { return QStringLiteral("TGMultiLineLabel"); }
};

class TGDMultiLineLabel : public TGMultiLineBaseLabel {
public:
    TGDMultiLineLabel() { Memo_ = true; }
    QString ClassName() const override { return QStringLiteral("TGDMultiLineLabel"); }
    QString DataFieldName;
    QString DataFieldDescript;
    void ShowDataValue() override;
    void ShowDesignText() override;
    void Rewrap() override;
    const TPropertyTable& PropertyTable() const override;

private:
    bool InShow_ = false;
};

} // namespace qp::design
