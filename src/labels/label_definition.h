#pragma once
// A label definition: the sheet geometry of one label design (inches), the
// stock it came from and its layout file, with where each label lies on the
// sheet and how it is read from and written to the label tables.

#include "store/result.h"
#include "store/table.h"

#include <string>
#include <string_view>

namespace qp::labels {

inline constexpr std::string_view kDefaultTemplateName = "Avery 5160  Address";
inline constexpr std::string_view kNewLabelDescription = "<New Label>";
inline constexpr std::string_view kUserDefinedSheetName = "[User Defined]";
inline constexpr std::string_view kUserDefinedTitle = "User Defined Label Layout";
inline constexpr std::string_view kUserMaker = "USER";
inline constexpr std::size_t kDescriptionLimit = 50;

struct LabelDefinition {
    std::string description{kNewLabelDescription};
    std::string printer = "LJ";
    float labelHeight = 1.0f;
    float labelWidth = 2.625f;
    int across = 3;
    int down = 10;
    float topMargin = 0.5f;
    float leftMargin = 0.188f;
    float horizontalPitch = 2.765f;
    float verticalPitch = 1.01f;
    float sheetWidth = 8.5f;
    float sheetDepth = 11.0f;
    std::string paperSize = "LTR";
    std::string templateName{kDefaultTemplateName};
    std::string maker = "AVERY";
    std::string productType = "ADDRESS/SHIPPING LABELS";
    std::string shape = "RR";
    double midExtraX = 0.0;
    double midExtraY = 0.0;
    std::string art;
    std::string layoutFile; // BIN#####.L, no folder; empty until designed
};

// The ten numbers and two codes the manual entry edits.
struct ManualLayout {
    double labelHeight = 1.0, labelWidth = 2.625;
    int across = 3, down = 10;
    double topMargin = 0.5, leftMargin = 0.188, horizontalPitch = 2.765, verticalPitch = 1.01;
    double sheetWidth = 8.5, sheetDepth = 11.0;
    std::string paperSize = "LTR";
    std::string shape = "RR";
};

struct Point {
    double x = 0, y = 0;
};
struct Size {
    double width = 0, height = 0;
};

// Top-left corner of the label in column `column`, row `row`, in inches from
// the sheet's top-left corner, mid extras included.
Point cellOrigin(const LabelDefinition& def, int column, int row);
// Numbered row by row from 0.
int positionIndex(const LabelDefinition& def, int column, int row);
int positionColumn(const LabelDefinition& def, int position);
int positionRow(const LabelDefinition& def, int position);
int positionsPerSheet(const LabelDefinition& def);
Point positionOrigin(const LabelDefinition& def, int position);

bool isLandscapePaper(std::string_view paperCode);
// (width, depth) of the sheet turned to portrait.
Size portraitPaperSize(const LabelDefinition& def);
enum class PaperRequest { Letter, A4, A5, UserDefined };
PaperRequest paperRequest(std::string_view paperCode);

// What a sheet is called wherever it is shown.
std::string sheetName(const LabelDefinition& def);
bool isUserDefined(const LabelDefinition& def);

// Rounded as the tables store it: formatted with three decimals, read back.
double roundToThousandths(double inches);

// The catalogue record's fields (LBLTPL.DBF).
struct LabelTemplate {
    std::string description;
    double labelHeight = 0, labelWidth = 0;
    int across = 0, down = 0;
    double topMargin = 0, leftMargin = 0, horizontalPitch = 0, verticalPitch = 0;
    double sheetWidth = 0, sheetDepth = 0;
    std::string printer, paperSize, shape, maker, productType;
    double midExtraX = 0, midExtraY = 0;
    std::string art;
};

// Takes the stock's geometry and names. A label-printer roll whose labels
// are taller than wide is turned: designed and printed landscape.
void applyTemplate(LabelDefinition& def, const LabelTemplate& stock);
// A roll of the label printer ("LP", one label across and down) whose
// labels stand taller than wide.
bool isTallRoll(const LabelDefinition& def);
// The same sheet turned a quarter: the label's wide side across the design
// panel, the page printed landscape.
void turnToLandscape(LabelDefinition& def);
void applyManualLayout(LabelDefinition& def, const ManualLayout& layout);
ManualLayout manualLayoutOf(const LabelDefinition& def);

// The record the cursor stands on.
LabelDefinition readLabelDefinition(const store::Table& labelTable);
LabelTemplate readLabelTemplate(const store::Table& templateTable);
// Replaces the fields of the current (or just appended) record; the caller posts.
store::Status writeLabelDefinition(store::Table& labelTable, const LabelDefinition& def);
store::Status writeLabelTemplate(store::Table& templateTable, const LabelTemplate& stock);

// sysdata/LABEL.DBF (created when missing) and sysdata/LBLTPL.DBF (never created).
store::Result<store::Table> openLabelTable(const std::string& sysdataFolder);
store::Result<store::Table> openLabelTemplateTable(const std::string& sysdataFolder);
// The saved-label list: the DESCRIPT order, records without the deletion mark.
store::Status showSavedLabels(store::Table& labelTable);

} // namespace qp::labels
