#pragma once
// An address file of known records, a label layout with one address block,
// a saved label design, and the text each printed label starts with.

#include "design/address_label.h"
#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/layout_stream.h"
#include "labels/printing/label_designs.h"
#include "labels/printing/label_print_job.h"
#include "labels_test_support.h"
#include "print/base_report.h"
#include "print/draw_command.h"
#include "print/printer_setup.h"
#include "store/address_file.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace qp::testing {

class LabelPrintFixture : public ::testing::Test {
protected:
    void SetUp() override {
        sysdata = folder.file("sysdata");
        std::filesystem::create_directory(sysdata);
        ASSERT_TRUE(setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName));
        source.TagId = "T";
        design::UseAddressFieldLabels(source, true);
        panel.SetDataSet(&source);
        definition.description = "Avery 5160";
        definition.layoutFile = "BIN00001.L";
    }

    // Records named Name1, Name2, ... with the given ZIP codes.
    void makeAddresses(const std::vector<std::string>& zips) {
        table.reset();
        const std::string file = folder.file("ADD000" + std::to_string(++files) + ".DBF");
        ASSERT_TRUE(store::createAddressFile(file, {}));
        auto t = store::openAddressFile(file);
        ASSERT_TRUE(t) << t.error();
        for (std::size_t i = 0; i < zips.size(); ++i) {
            ASSERT_TRUE(t->append());
            ASSERT_TRUE(t->replace("LNAME", "Name" + std::to_string(i + 1)));
            ASSERT_TRUE(t->replace("STREET", std::to_string(i + 1) + " Main St"));
            ASSERT_TRUE(t->replace("ZIP", zips[i]));
            ASSERT_TRUE(t->post());
        }
        table.emplace(std::move(*t));
        if (int order = table->tagArea("LNAME")) {
            ASSERT_TRUE(table->setOrder(order));
        }
        table->first();
        source.SetTable(&*table);
    }
    void makeAddresses(int count) { makeAddresses(std::vector<std::string>(count, "12345")); }

    // The layout file: one address block filling the label.
    void writeLayout() {
        design::TGLabelPanel layout;
        layout.SetSize(252, 96);
        layout.AddObject(std::make_unique<design::TGDMultiLineAddressLabel>(),
                         QRect(QPoint(5, 5), QPoint(240, 90)));
        QString error;
        ASSERT_TRUE(design::SaveLayoutFile(
            layout, QString::fromStdString(sysdata + "/" + definition.layoutFile), &error))
            << error.toStdString();
    }

    labels::LabelPrintRequest request(bool preview = true) {
        labels::LabelPrintRequest r;
        r.addressTable = &*table;
        r.panel = &panel;
        r.definition = definition;
        r.sysdataFolder = sysdata;
        r.presortPath = folder.file("PRESORT.PSL");
        r.selection.choice = store::SelectionChoice::All;
        r.positions = labels::LabelPositions(definition);
        r.preview = preview;
        r.setup = &setup;
        return r;
    }

    // Keeps the stored pages and the messages.
    labels::LabelPrintHooks hooks() {
        labels::LabelPrintHooks h;
        h.info = [this](std::string_view m) { messages.emplace_back(m); };
        h.showPreview = [this](const print::TStoredJob& job) { pages = job.Pages; };
        return h;
    }

    // Per page: label position -> the label's first line.
    std::vector<std::map<int, std::string>> placed() const {
        std::vector<std::map<int, std::string>> out;
        for (const auto& page : pages) {
            std::map<int, std::string> cells;
            for (const auto& c : page.Commands) {
                if (c.Kind != print::dkText && c.Kind != print::dkTextClipped)
                    continue;
                const double x = c.Kind == print::dkTextClipped ? c.Rect.left() : c.P1.x();
                const double y = c.Kind == print::dkTextClipped ? c.Rect.top() : c.P1.y() - 0.05;
                for (int p = 0; p < labels::positionsPerSheet(definition); ++p) {
                    const auto o = labels::positionOrigin(definition, p);
                    if (x >= o.x - 0.001 && x < o.x + definition.horizontalPitch &&
                        y >= o.y - 0.001 && y < o.y + definition.verticalPitch && !cells.count(p)) {
                        std::string text = c.Text.toStdString();
                        while (!text.empty() && text.back() == ' ')
                            text.pop_back();
                        cells[p] = text;
                    }
                }
            }
            out.push_back(cells);
        }
        return out;
    }

    LabelsTempFolder folder;
    int files = 0;
    std::string sysdata;
    print::TPrinterSetup setup;
    std::optional<store::Table> table;
    design::TTableDataSource source;
    design::TGLabelPanel panel;
    labels::LabelDefinition definition;
    std::vector<std::string> messages;
    std::vector<print::TPageRecord> pages;
};

} // namespace qp::testing
