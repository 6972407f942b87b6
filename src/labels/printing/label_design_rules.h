#pragma once
// The rules of the label design screen that need no window: the panel's size
// and shape for a label, the zoom steps, the default-font caption, the
// POSTNET width rule, the address block a new label starts with, the stock's
// art picture and which changes count as the user's.

#include "design/base_panel.h"
#include "labels/label_definition.h"
#include "store/settings_file.h"

#include <QImage>
#include <QSize>

#include <functional>
#include <string>
#include <string_view>

namespace qp::labels {

// A POSTNET barcode needs this much label width (inches).
inline constexpr double kPostNetMinimumLabelWidth = 2.85;
inline constexpr std::string_view kPostNetTooNarrowMessage =
    "This label is not wide enough for a \rpostnet barcode. At least 2.85 inches are needed";
inline constexpr std::string_view kPostNetTooNarrowWarning =
    "Warning: This label is not wide enough for a \rpostnet barcode. At least 2.85 inches "
    "are needed";
inline constexpr std::string_view kNewLabelInformation =
    "A new label has been created using the Avery 5160\rformat. To change to another label "
    "format, click on\rthe Change Layout button.\r\rA Database Mailing Address object has "
    "already been \radded to the label.\r\rFor additional assistance, click the Help button";
inline constexpr std::string_view kUserDefinedCaption = kUserDefinedTitle;
inline constexpr std::string_view kDesignFontSection = "Label";
inline constexpr int kDesignScreenHelpTopic = 1073;

// The sheet as the design screen names it: the stock's name, or
// "User Defined Label Layout" for a layout entered by hand.
std::string sheetCaption(const LabelDefinition& def);

// ---- Panel size ----

// One label at zoom 100 %: 96 design pixels per inch, rounded half to even.
struct PanelGeometry {
    int width = 0;
    int height = 0;
    design::TLabelShapeType shape = design::lsRoundRect;
    bool operator==(const PanelGeometry&) const = default;
};
// "RR" round-cornered (also for an unknown code), "SR" rectangle, "EL" ellipse.
design::TLabelShapeType panelShape(std::string_view shapeCode);
PanelGeometry panelGeometry(const LabelDefinition& def);
// Gives the panel the label's size and shape, compared and set at zoom 100 %
// and then zoomed back; a panel that already fits is left alone.
void sizePanel(design::TGBasePanel& panel, const LabelDefinition& def);

// ---- Zoom ----

// Steps of 0.1 in single precision: down unless already below 0.5, up unless
// already above 1.5. From 1.0 five steps end just beyond either bound, so the
// reachable range is 50 % to 150 %.
float zoomStepDown(float zoom);
float zoomStepUp(float zoom);
// The percentage shown: zoom x 100 rounded.
int zoomPercent(float zoom);
std::string zoomCaption(float zoom); // "100%"

// ---- Default font ----

// "Default Font: Arial, 12 pt , bold, italic"
std::string defaultFontCaption(const store::DesignFontSettings& font);
design::TDesignFont designFontOf(const store::DesignFontSettings& font);
// Name, size, bold and italic of the panel's font.
store::DesignFontSettings fontSettingsOf(const design::TDesignFont& font);

// ---- POSTNET ----

// Narrower than 2.85 inches; compared in the precision the width is kept in,
// so that a label of exactly 2.85 inches is wide enough.
bool tooNarrowForPostNet(const LabelDefinition& def);
bool holdsPostNet(const design::TGBasePanel& panel);
// Deletes the first POSTNET barcode object in child order; false when there is none.
bool removeFirstPostNet(design::TGBasePanel& panel);

// ---- New label ----

// Places an address block from (5, 5) to (width - 10, height - 10), goes back
// to the selection tool and selects every object. The block shrinks a long
// address to fit.
void addNewLabelAddressBlock(design::TGLabelPanel& panel);

// ---- Stock art ----

// The picture name of the stock: the art name up to its first ".", upper-cased.
std::string artName(const LabelDefinition& def);
// The stock's picture for the panel background at zoom 100 %: silver
// (192, 192, 192) on white, one bit per pixel, `panelSize100` big. A picture
// of the art name among the program's resources is used when there is one,
// copied unscaled from its top-left corner; otherwise the stock is drawn from
// its own geometry: the die-cut edge in the label's shape and, inside it, a
// dotted line the printing should keep within. A null image when the
// definition names no art.
QImage stockArt(const LabelDefinition& def, QSize panelSize100);
// Whether "Show art" has anything to show: an art name, or a stock from the
// catalogue (whose art is then drawn from its geometry). A sheet entered by
// hand has none.
bool hasStockArt(const LabelDefinition& def);
// How far inside the edge the dotted line runs, in design pixels (1/16 inch).
inline constexpr int kArtSafeMargin = 6;

// ---- Changes ----

// Whether the user changed the design since the window opened. The window's
// own changes (setting up, zooming) are made inside a quiet scope and do not
// count; the first change that counts calls onChanged, as does every later one.
class DesignChangeTracker {
public:
    class QuietScope {
    public:
        explicit QuietScope(DesignChangeTracker& tracker) : tracker_(tracker) { ++tracker_.quiet_; }
        ~QuietScope() { --tracker_.quiet_; }
        QuietScope(const QuietScope&) = delete;
        QuietScope& operator=(const QuietScope&) = delete;

    private:
        DesignChangeTracker& tracker_;
    };

    std::function<void()> onChanged;

    void note();
    bool changed() const { return changed_; }
    bool quiet() const { return quiet_ > 0; }

private:
    int quiet_ = 0;
    bool changed_ = false;
};

} // namespace qp::labels
