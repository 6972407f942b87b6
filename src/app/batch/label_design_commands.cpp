// Label design batch commands: label list, show, new and import-layout.

#include "app/batch/batch_command.h"
#include "app/batch/csv_writer.h"
#include "app/batch/label_catalogue.h"
#include "design/base_panel.h"
#include "design/layout_stream.h"
#include "labels/label_definition.h"
#include "labels/new_definition.h"
#include "labels/printing/label_design_rules.h"
#include "labels/printing/label_designs.h"
#include "labels/template_filter.h"
#include "store/shared_routines.h"

#include <QFile>

#include <optional>
#include <ostream>

namespace qp::batch {

namespace {

std::string sysdata() {
    return store::SysdataFolder().string();
}

labels::LabelDefinition findOrFail(store::Table& table, const std::string& description) {
    auto def = labels::findLabelDesign(table, description);
    if (!def)
        throw Failure("There is no label called \"" + description + "\"");
    return *def;
}

int runList(std::ostream& out) {
    store::Table table = openLabels();
    writeCsvRow(out, {"DESCRIPT", "TPLDESCRIP", "NBRACROSS", "NBRDOWN", "LBLWIDTH", "LBLHEIGHT",
                      "PAPERSIZE", "BINARY"});
    for (bool ok = table.first(); ok && !table.eof(); ok = table.next()) {
        auto d = labels::readLabelDefinition(table);
        writeCsvRow(out, {d.description, d.templateName, std::to_string(d.across),
                          std::to_string(d.down), threeDecimals(d.labelWidth),
                          threeDecimals(d.labelHeight), d.paperSize, d.layoutFile});
    }
    return 0;
}

int runShow(const std::string& description, std::ostream& out) {
    store::Table table = openLabels();
    const auto d = findOrFail(table, description);
    out << "Description: " << d.description << "\n"
        << "Sheet: " << labels::sheetName(d) << "\n"
        << "Label: " << threeDecimals(d.labelWidth) << " x " << threeDecimals(d.labelHeight)
        << " in, shape " << d.shape << "\n"
        << "Sheet size: " << threeDecimals(d.sheetWidth) << " x " << threeDecimals(d.sheetDepth)
        << " in, paper " << d.paperSize << "\n"
        << "Across x down: " << d.across << " x " << d.down << "\n"
        << "Margins: top " << threeDecimals(d.topMargin) << ", left " << threeDecimals(d.leftMargin)
        << "; pitch " << threeDecimals(d.horizontalPitch) << " across, "
        << threeDecimals(d.verticalPitch) << " down\n"
        << "Mid extras: " << threeDecimals(d.midExtraX) << ", " << threeDecimals(d.midExtraY)
        << "\n"
        << "Layout file: " << (d.layoutFile.empty() ? "(none)" : d.layoutFile)
        << (labels::layoutFileExists(sysdata(), d) ? "" : " (missing)") << "\n";
    writeCsvRow(out, {"POSITION", "COLUMN", "ROW", "LEFT", "TOP", "WIDTH", "HEIGHT"});
    for (int p = 0; p < labels::positionsPerSheet(d); ++p) {
        const auto o = labels::positionOrigin(d, p);
        writeCsvRow(out, {std::to_string(p + 1), std::to_string(labels::positionColumn(d, p) + 1),
                          std::to_string(labels::positionRow(d, p) + 1), threeDecimals(o.x),
                          threeDecimals(o.y), threeDecimals(d.labelWidth),
                          threeDecimals(d.labelHeight)});
    }
    return 0;
}

// A new definition on the named stock (or the default one), as the label
// screen's New makes it, with its layout in `panel`.
labels::LabelDefinition newDefinition(const std::string& description,
                                      const std::optional<std::string>& templateName) {
    // Without a stock named, the default stock with its catalogue geometry.
    labels::LabelDefinition def = labels::newLabelDefinition(sysdata());
    if (templateName) {
        Catalogue catalogue;
        auto stock = labels::findLabelTemplate(catalogue.table(), *templateName);
        if (!stock)
            throw Failure("There is no label stock called \"" + *templateName +
                          "\" (see: stock list)");
        labels::applyTemplate(def, *stock);
    }
    if (description.size() > labels::kDescriptionLimit)
        throw UsageError("A label description holds at most 50 characters");
    def.description = description;
    return def;
}

void requireNewDescription(store::Table& table, const std::string& description) {
    if (labels::findLabelDesign(table, description))
        throw Failure("There is already a label called \"" + description + "\"");
}

void saveNew(store::Table& table, labels::LabelDefinition& def, design::TGLabelPanel& panel,
             std::ostream& out) {
    auto fresh = labels::freshLayoutFileName(sysdata(), table);
    if (!fresh)
        throw Failure(std::string(labels::kNoFreeLayoutNameMessage));
    def.layoutFile = *fresh;
    if (auto st = labels::saveLabelDesign(table, def, true, panel, sysdata()); !st)
        throw Failure(st.error());
    out << "Label \"" << def.description << "\" saved with layout " << def.layoutFile << " ("
        << panel.ObjectCount() << " object(s))\n";
}

int runNew(const std::string& description, const std::optional<std::string>& templateName,
           std::ostream& out) {
    store::Table table = openLabels();
    requireNewDescription(table, description);
    labels::LabelDefinition def = newDefinition(description, templateName);
    design::TGLabelPanel panel;
    labels::sizePanel(panel, def);
    labels::addNewLabelAddressBlock(panel);
    saveNew(table, def, panel, out);
    return 0;
}

int runImportLayout(const std::string& description, const std::string& file,
                    const std::optional<std::string>& templateName, std::ostream& out) {
    design::TGLabelPanel panel;
    QString error;
    if (!QFile::exists(QString::fromStdString(file)))
        throw Failure("Cannot open " + file);
    if (!design::LoadLayoutFile(panel, QString::fromStdString(file), &error))
        throw Failure(file + ": " + error.toStdString());
    store::Table table = openLabels();
    if (auto existing = labels::findLabelDesign(table, description)) {
        if (templateName)
            throw UsageError("--template is for a new label; \"" + description + "\" exists");
        labels::LabelDefinition def = *existing;
        if (!labels::layoutFilePath(sysdata(), def)) {
            auto fresh = labels::freshLayoutFileName(sysdata(), table);
            if (!fresh)
                throw Failure(std::string(labels::kNoFreeLayoutNameMessage));
            def.layoutFile = *fresh;
        }
        if (auto st = labels::saveLabelDesign(table, def, false, panel, sysdata()); !st)
            throw Failure(st.error());
        out << "Label \"" << def.description << "\" now has the layout of " << file << " ("
            << panel.ObjectCount() << " object(s)) in " << def.layoutFile << "\n";
        return 0;
    }
    labels::LabelDefinition def = newDefinition(description, templateName);
    saveNew(table, def, panel, out);
    return 0;
}

int runLabel(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"template"}, {});
    if (args.positionals().empty())
        throw UsageError("label takes: list, show, new or import-layout");
    const std::string& verb = args.positional(0, "list|show|new|import-layout");
    if (verb == "list") {
        args.expectPositionals(1, 1);
        return runList(out);
    }
    if (verb == "show") {
        args.expectPositionals(2, 2);
        return runShow(args.positional(1, "DESCRIPTION"), out);
    }
    if (verb == "new") {
        args.expectPositionals(2, 2);
        return runNew(args.positional(1, "DESCRIPTION"), args.value("template"), out);
    }
    if (verb == "import-layout") {
        args.expectPositionals(3, 3);
        return runImportLayout(args.positional(1, "DESCRIPTION"), args.positional(2, "FILE.L"),
                               args.value("template"), out);
    }
    throw UsageError("label takes: list, show, new or import-layout");
}

BatchCommand labelCommand(
    {"label",
     "list | show DESCRIPTION | new DESCRIPTION [--template NAME] | import-layout DESCRIPTION "
     "FILE.L [--template NAME]",
     "The saved label designs (sysdata/LABEL.DBF): list them as CSV; show one with every "
     "label position in inches; make a new one on a stock with an address block, as New "
     "does; or give one (made when missing) the objects of a layout file.",
     runLabel});

} // namespace

} // namespace qp::batch
