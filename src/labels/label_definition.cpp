#include "labels/label_definition.h"
#include "store/number_text.h"

#include "store/system_tables.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace qp::labels {

namespace {

double extra(double value) {
    return value > 0 ? value : 0.0;
}

std::string clipped(std::string text, std::size_t limit) {
    if (text.size() > limit)
        text.resize(limit);
    return text;
}

double number(const store::Table& t, std::string_view field) {
    return t.getNumber(field).value_or(0.0);
}

} // namespace

Point cellOrigin(const LabelDefinition& def, int column, int row) {
    Point p{def.leftMargin + column * static_cast<double>(def.horizontalPitch),
            def.topMargin + row * static_cast<double>(def.verticalPitch)};
    if (column >= def.across / 2)
        p.x += extra(def.midExtraX);
    if (row >= def.down / 2)
        p.y += extra(def.midExtraY);
    return p;
}

int positionIndex(const LabelDefinition& def, int column, int row) {
    return row * def.across + column;
}

int positionColumn(const LabelDefinition& def, int position) {
    return def.across > 0 ? position % def.across : 0;
}

int positionRow(const LabelDefinition& def, int position) {
    return def.across > 0 ? position / def.across : 0;
}

int positionsPerSheet(const LabelDefinition& def) {
    return def.across > 0 && def.down > 0 ? def.across * def.down : 0;
}

Point positionOrigin(const LabelDefinition& def, int position) {
    return cellOrigin(def, positionColumn(def, position), positionRow(def, position));
}

bool isLandscapePaper(std::string_view code) {
    return code == "LTRL" || code == "A4L" || code == "USERL";
}

Size portraitPaperSize(const LabelDefinition& def) {
    if (isLandscapePaper(def.paperSize))
        return {def.sheetDepth, def.sheetWidth};
    return {def.sheetWidth, def.sheetDepth};
}

PaperRequest paperRequest(std::string_view code) {
    if (code == "LTR" || code == "LTRL")
        return PaperRequest::Letter;
    if (code == "A4" || code == "A4L")
        return PaperRequest::A4;
    if (code == "A5")
        return PaperRequest::A5;
    return PaperRequest::UserDefined;
}

std::string sheetName(const LabelDefinition& def) {
    return def.templateName.empty() ? std::string(kUserDefinedSheetName) : def.templateName;
}

bool isUserDefined(const LabelDefinition& def) {
    return def.maker == kUserMaker;
}

double roundToThousandths(double inches) {
    return store::parseNumber(store::fixedText(inches, 3)).value_or(0);
}

void applyTemplate(LabelDefinition& def, const LabelTemplate& s) {
    def.labelHeight = static_cast<float>(s.labelHeight);
    def.labelWidth = static_cast<float>(s.labelWidth);
    def.across = s.across;
    def.down = s.down;
    def.topMargin = static_cast<float>(s.topMargin);
    def.leftMargin = static_cast<float>(s.leftMargin);
    def.horizontalPitch = static_cast<float>(s.horizontalPitch);
    def.verticalPitch = static_cast<float>(s.verticalPitch);
    def.sheetWidth = static_cast<float>(s.sheetWidth);
    def.sheetDepth = static_cast<float>(s.sheetDepth);
    def.paperSize = s.paperSize;
    def.printer = s.printer;
    def.shape = s.shape;
    def.maker = s.maker;
    def.productType = s.productType;
    def.midExtraX = s.midExtraX;
    def.midExtraY = s.midExtraY;
    def.art = s.art;
    def.templateName = s.description;
    // The address of a roll label runs along its long side, as the
    // printers of such rolls expect.
    if (isTallRoll(def))
        turnToLandscape(def);
}

bool isTallRoll(const LabelDefinition& def) {
    return def.printer == "LP" && def.across == 1 && def.down == 1 &&
           def.labelHeight > def.labelWidth && !isLandscapePaper(def.paperSize);
}

void turnToLandscape(LabelDefinition& def) {
    std::swap(def.labelWidth, def.labelHeight);
    std::swap(def.leftMargin, def.topMargin);
    std::swap(def.horizontalPitch, def.verticalPitch);
    std::swap(def.midExtraX, def.midExtraY);
    // Landscape codes describe the sheet by its long side first.
    std::swap(def.sheetWidth, def.sheetDepth);
    if (def.paperSize == "LTR")
        def.paperSize = "LTRL";
    else if (def.paperSize == "A4")
        def.paperSize = "A4L";
    else
        def.paperSize = "USERL";
}

void applyManualLayout(LabelDefinition& def, const ManualLayout& m) {
    def.labelHeight = static_cast<float>(m.labelHeight);
    def.labelWidth = static_cast<float>(m.labelWidth);
    def.across = m.across;
    def.down = m.down;
    def.topMargin = static_cast<float>(m.topMargin);
    def.leftMargin = static_cast<float>(m.leftMargin);
    def.horizontalPitch = static_cast<float>(m.horizontalPitch);
    def.verticalPitch = static_cast<float>(m.verticalPitch);
    def.sheetWidth = static_cast<float>(m.sheetWidth);
    def.sheetDepth = static_cast<float>(m.sheetDepth);
    def.paperSize = m.paperSize;
    def.shape = m.shape;
    def.templateName.clear();
    def.printer.clear();
    def.productType.clear();
    def.maker = kUserMaker;
    def.midExtraX = 0;
    def.midExtraY = 0;
    def.art.clear();
}

ManualLayout manualLayoutOf(const LabelDefinition& def) {
    ManualLayout m;
    m.labelHeight = def.labelHeight;
    m.labelWidth = def.labelWidth;
    m.across = def.across;
    m.down = def.down;
    m.topMargin = def.topMargin;
    m.leftMargin = def.leftMargin;
    m.horizontalPitch = def.horizontalPitch;
    m.verticalPitch = def.verticalPitch;
    m.sheetWidth = def.sheetWidth;
    m.sheetDepth = def.sheetDepth;
    m.paperSize = def.paperSize;
    m.shape = def.shape;
    // Single precision read back as the nearest three-decimal value.
    for (double* v : {&m.labelHeight, &m.labelWidth, &m.topMargin, &m.leftMargin,
                      &m.horizontalPitch, &m.verticalPitch, &m.sheetWidth, &m.sheetDepth})
        *v = roundToThousandths(*v);
    return m;
}

LabelDefinition readLabelDefinition(const store::Table& t) {
    LabelDefinition d;
    d.description = clipped(t.getString("DESCRIPT"), kDescriptionLimit);
    d.printer = t.getString("PRINTER");
    d.labelHeight = static_cast<float>(number(t, "LBLHEIGHT"));
    d.labelWidth = static_cast<float>(number(t, "LBLWIDTH"));
    d.across = static_cast<int>(number(t, "NBRACROSS"));
    d.down = static_cast<int>(number(t, "NBRDOWN"));
    d.topMargin = static_cast<float>(number(t, "TOPMARG"));
    d.leftMargin = static_cast<float>(number(t, "LEFTMARG"));
    d.horizontalPitch = static_cast<float>(number(t, "HORIZPITCH"));
    d.verticalPitch = static_cast<float>(number(t, "VERTPITCH"));
    d.sheetWidth = static_cast<float>(number(t, "SHEETWIDTH"));
    d.sheetDepth = static_cast<float>(number(t, "SHEETDEPTH"));
    d.paperSize = t.getString("PAPERSIZE");
    d.templateName = t.getString("TPLDESCRIP");
    d.maker = t.getString("MANUFAC");
    d.productType = t.getString("PRODTYPE");
    d.shape = t.getString("LBLSHAPE");
    d.midExtraX = number(t, "MIDEXTRAX");
    d.midExtraY = number(t, "MIDEXTRAY");
    d.art = t.getString("ART");
    d.layoutFile = t.getString("BINARY");
    return d;
}

LabelTemplate readLabelTemplate(const store::Table& t) {
    LabelTemplate s;
    s.description = t.getString("DESCRIPT");
    s.labelHeight = number(t, "LBLHEIGHT");
    s.labelWidth = number(t, "LBLWIDTH");
    s.across = static_cast<int>(number(t, "NBRACROSS"));
    s.down = static_cast<int>(number(t, "NBRDOWN"));
    s.topMargin = number(t, "TOPMARG");
    s.leftMargin = number(t, "LEFTMARG");
    s.horizontalPitch = number(t, "HORIZPITCH");
    s.verticalPitch = number(t, "VERTPITCH");
    s.sheetWidth = number(t, "SHEETWIDTH");
    s.sheetDepth = number(t, "SHEETDEPTH");
    s.printer = t.getString("PRINTER");
    s.paperSize = t.getString("PAPERSIZE");
    s.shape = t.getString("LBLSHAPE");
    s.maker = t.getString("MANUFAC");
    s.productType = t.getString("PRODTYPE");
    s.midExtraX = number(t, "MIDEXTRAX");
    s.midExtraY = number(t, "MIDEXTRAY");
    s.art = t.getString("ART");
    return s;
}

namespace {

store::Status putText(store::Table& t, std::string_view field, std::string_view value) {
    return t.replace(field, value);
}

store::Status putLength(store::Table& t, std::string_view field, double value) {
    return t.replaceNumber(field, roundToThousandths(value));
}

template <class Record>
store::Status writeCommon(store::Table& t, const Record& r, const std::string& description) {
    for (auto [field, value] :
         {std::pair<std::string_view, const std::string*>{"DESCRIPT", &description},
          {"PRINTER", &r.printer},
          {"PAPERSIZE", &r.paperSize},
          {"LBLSHAPE", &r.shape},
          {"MANUFAC", &r.maker},
          {"PRODTYPE", &r.productType},
          {"ART", &r.art}})
        if (auto st = putText(t, field, *value); !st)
            return st;
    for (auto [field, value] : {std::pair<std::string_view, double>{"LBLHEIGHT", r.labelHeight},
                                {"LBLWIDTH", r.labelWidth},
                                {"TOPMARG", r.topMargin},
                                {"LEFTMARG", r.leftMargin},
                                {"HORIZPITCH", r.horizontalPitch},
                                {"VERTPITCH", r.verticalPitch},
                                {"SHEETWIDTH", r.sheetWidth},
                                {"SHEETDEPTH", r.sheetDepth},
                                {"MIDEXTRAX", r.midExtraX},
                                {"MIDEXTRAY", r.midExtraY}})
        if (auto st = putLength(t, field, value); !st)
            return st;
    if (auto st = t.replaceNumber("NBRACROSS", r.across); !st)
        return st;
    return t.replaceNumber("NBRDOWN", r.down);
}

} // namespace

store::Status writeLabelDefinition(store::Table& t, const LabelDefinition& d) {
    if (auto st = writeCommon(t, d, clipped(d.description, kDescriptionLimit)); !st)
        return st;
    if (auto st = putText(t, "TPLDESCRIP", d.templateName); !st)
        return st;
    return putText(t, "BINARY", d.layoutFile);
}

store::Status writeLabelTemplate(store::Table& t, const LabelTemplate& s) {
    return writeCommon(t, s, s.description);
}

store::Result<store::Table> openLabelTable(const std::string& sysdataFolder) {
    return store::openSystemTable(sysdataFolder, store::SystemTable::Label);
}

store::Result<store::Table> openLabelTemplateTable(const std::string& sysdataFolder) {
    return store::openSystemTable(sysdataFolder, store::SystemTable::LabelTemplate);
}

store::Status showSavedLabels(store::Table& t) {
    if (int order = t.tagArea("DESCRIPT"))
        if (auto st = t.setOrder(order); !st)
            return st;
    if (auto st = t.setQuery("not DELETED()"); !st)
        return st;
    t.first();
    return {};
}

} // namespace qp::labels
