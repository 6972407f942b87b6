// Printing envelopes: the job on a stored preview and the batch command's
// PDF, checked with pdftotext where the design puts the address.

#include "design/data_source.h"
#include "design/imb_barcode.h"
#include "design/layout_stream.h"
#include "envelopes/envelope_definition.h"
#include "envelopes/envelope_panel.h"
#include "envelopes/envelope_print_job.h"
#include "labels_test_support.h"
#include "print/draw_command.h"
#include "print/printer_setup.h"
#include "store/address_file.h"
#include "support/peer_tools.h"
#include "support/program_home.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

using namespace qp::envelopes;
using qp::testing::runCommand;
using qp::testing::shellQuote;
namespace fs = std::filesystem;

namespace {

class EnvelopePrinting : public ::testing::Test {
protected:
    void SetUp() override {
        home = folder.path().string();
        sysdata = folder.file("sysdata");
        fs::create_directory(sysdata);
        file = folder.file("ADD0001.DBF");
        ASSERT_TRUE(qp::store::createAddressFile(file, {}));
        auto t = qp::store::openAddressFile(file);
        ASSERT_TRUE(t) << t.error();
        for (int i = 1; i <= 3; ++i) {
            ASSERT_TRUE(t->append());
            ASSERT_TRUE(t->replace("FNAME", "Ann" + std::to_string(i)));
            ASSERT_TRUE(t->replace("LNAME", "Lee" + std::to_string(i)));
            ASSERT_TRUE(t->replace("STREET", std::to_string(i) + " Main St"));
            ASSERT_TRUE(t->replace("CITY", "Springfield"));
            ASSERT_TRUE(t->replace("STATE", "IL"));
            ASSERT_TRUE(t->replace("ZIP", "62701-1234"));
            ASSERT_TRUE(t->post());
        }
    }
    qp::testing::CommandOutput batch(const std::string& args) {
        return runCommand("QUILLPOST_HOME=" + shellQuote(home) + " " + QP_BATCH_EXE + " " + args);
    }
    // Every word's top-left in inches, page by page.
    std::vector<std::map<std::string, std::pair<double, double>>> words(const std::string& pdf) {
        auto r = runCommand("pdftotext -bbox " + shellQuote(pdf) + " -");
        std::vector<std::map<std::string, std::pair<double, double>>> pages;
        std::regex token(
            R"re(<page |<word xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>([^<]+)</word>)re");
        for (std::sregex_iterator i(r.output.begin(), r.output.end(), token), end; i != end; ++i) {
            if ((*i)[0].str().rfind("<page", 0) == 0)
                pages.emplace_back();
            else if (!pages.empty())
                pages.back()[(*i)[3]] = {std::stod((*i)[1]) / 72, std::stod((*i)[2]) / 72};
        }
        return pages;
    }

    qp::testing::LabelsTempFolder folder;
    std::string home, sysdata, file;
};

} // namespace

TEST_F(EnvelopePrinting, ThreeEnvelopesPutTheAddressWhereTheDesignShows) {
    auto made = batch("envelope new Office");
    ASSERT_EQ(made.status, 0) << made.output;
    auto show = batch("envelope show Office");
    ASSERT_EQ(show.status, 0) << show.output;
    EXPECT_NE(show.output.find("Code: 20"), std::string::npos) << show.output;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        show.output, m, std::regex(R"(TGDMultiLineAddressLabel,[^,]*,([0-9.]+),([0-9.]+),)")))
        << show.output;
    const double left = std::stod(m[1]), top = std::stod(m[2]);
    ASSERT_NE(show.output.find("TGPostNetBarCode"), std::string::npos);

    const std::string pdf = folder.file("three.pdf");
    auto r = batch("envelopes " + shellQuote(file) + " --envelope Office --pdf " + shellQuote(pdf) +
                   " --selection all");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("3 envelope(s) on 3 page(s), offsets 0.0000 0.0000"), std::string::npos)
        << r.output;
    auto info = runCommand("pdfinfo " + shellQuote(pdf));
    EXPECT_NE(info.output.find("684 x 297 pts"), std::string::npos) << info.output;
    const auto pages = words(pdf);
    ASSERT_EQ(pages.size(), 3u);
    for (int p = 0; p < 3; ++p) {
        const std::string first = "Ann" + std::to_string(p + 1);
        ASSERT_TRUE(pages[size_t(p)].count(first)) << first;
        EXPECT_NEAR(pages[size_t(p)].at(first).first, left, 0.02) << first;
        EXPECT_NEAR(pages[size_t(p)].at(first).second, top, 0.02) << first;
    }
}

TEST_F(EnvelopePrinting, FeedMethodMovesTheEnvelopeOnALargerPage) {
    ASSERT_EQ(batch("envelope new Office").status, 0);
    auto show = batch("envelope show Office");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        show.output, m, std::regex(R"(TGDMultiLineAddressLabel,[^,]*,([0-9.]+),([0-9.]+),)")));
    const double left = std::stod(m[1]), top = std::stod(m[2]);
    const std::string pdf = folder.file("letter.pdf");
    auto r = batch("envelopes " + shellQuote(file) + " --envelope Office --pdf " + shellQuote(pdf) +
                   " --selection all --paper 11x8.5 --feed landscape "
                   "--facing down --position left");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("offsets 1.5000 4.3750"), std::string::npos) << r.output;
    const auto pages = words(pdf);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_NEAR(pages[0].at("Ann1").first, left + 1.5, 0.02);
    EXPECT_NEAR(pages[0].at("Ann1").second, top + 4.375, 0.02);

    auto offsets = batch("envelope-offsets --envelope 20 --paper 11x8.5 --feed landscape "
                         "--facing down --position left");
    EXPECT_EQ(offsets.output, "1.5000 4.3750\n");
    offsets = batch("envelope-offsets --envelope 20 --paper 8.5x11 --feed portrait --facing up "
                    "--position center");
    EXPECT_EQ(offsets.output, "0.0000 0.0000\n");
    EXPECT_EQ(batch("envelope-offsets --envelope 99 --paper 8.5x11").status, 2);
}

TEST_F(EnvelopePrinting, MissingLayoutAndUnknownEnvelopeAreRefused) {
    ASSERT_EQ(batch("envelope new Office --size 27").status, 0);
    EXPECT_NE(batch("envelope list").output.find("Office,27,8.800,4.400,BIN00001.E"),
              std::string::npos);
    fs::remove(sysdata + "/BIN00001.E");
    auto r = batch("envelopes " + shellQuote(file) + " --envelope Office --pdf " +
                   shellQuote(folder.file("x.pdf")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find(kLayoutFileRemovedMessage), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(folder.file("x.pdf")));
    EXPECT_EQ(batch("envelope new Other --size 5").status, 2);
}

TEST_F(EnvelopePrinting, PreviewOutlinesThePrintableAreaAndCurrentPrintsOne) {
    qp::test::ScopedProgramHome unused(QString::fromStdString(home));
    auto t = qp::store::openAddressFile(file);
    ASSERT_TRUE(t) << t.error();
    t->first();
    t->next(); // the second record is current
    qp::design::TTableDataSource source(&*t);
    qp::design::UseAddressFieldLabels(source, true);
    TEnvelopePanel panel;
    panel.SetDataSet(&source);
    EnvelopeDefinition def;
    def.description = "Office";
    def.layoutFile = "BIN00001.E";
    {
        TEnvelopePanel layout;
        layout.SizeForEnvelope(9.5, 4.125);
        AddStarterObjects(layout);
        ASSERT_TRUE(
            qp::design::SaveLayoutFile(layout, QString::fromStdString(sysdata + "/BIN00001.E")));
    }
    qp::print::TPrinterSetup setup;
    ASSERT_TRUE(setup.SelectPrinterByName(qp::print::TPrinterSetup::kPdfPrinterName));
    EnvelopePrintRequest request;
    request.addressTable = &*t;
    request.panel = &panel;
    request.definition = def;
    request.sysdataFolder = sysdata;
    request.selection.choice = qp::store::SelectionChoice::Current;
    request.selection.startFromCurrent = true;
    request.preview = true;
    request.setup = &setup;
    int dialogs = 0;
    EnvelopePrintHooks hooks;
    hooks.printDialog = [&](FeedMethod&) { return ++dialogs > 0; };
    std::vector<qp::print::TDrawCommand> commands;
    hooks.showPreview = [&](const qp::print::TStoredJob& job) {
        ASSERT_EQ(job.PageCount(), 1);
        commands = job.Pages[0].Commands;
    };
    const std::uint32_t before = t->recNo();
    auto result = printEnvelopes(request, hooks);
    EXPECT_EQ(result.outcome, EnvelopePrintOutcome::Done) << result.message;
    EXPECT_EQ(result.envelopes, 1);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(t->recNo(), before);
    bool redDotted = false;
    for (const auto& c : commands)
        redDotted |= c.Kind == qp::print::dkRect && c.Pen.Color == QColor(Qt::red) &&
                     c.Pen.Style == qp::print::psDot;
    EXPECT_TRUE(redDotted);
    bool secondRecord = false;
    for (const auto& c : commands)
        secondRecord |= c.Text.contains(QStringLiteral("Ann2"));
    EXPECT_TRUE(secondRecord);

    // Printed to a file instead: no outline on paper.
    const std::string pdf = folder.file("one.pdf");
    setup.SetOutputFileName(QString::fromStdString(pdf));
    request.preview = false;
    result = printEnvelopes(request, hooks);
    ASSERT_EQ(result.outcome, EnvelopePrintOutcome::Done) << result.message;
    EXPECT_EQ(result.pages, 1);
    EXPECT_EQ(t->recNo(), before);

    // A cancelled print dialog prints nothing.
    hooks.printDialog = [](FeedMethod&) { return false; };
    EXPECT_EQ(printEnvelopes(request, hooks).outcome, EnvelopePrintOutcome::Cancelled);
}

TEST_F(EnvelopePrinting, ImportLayoutTakesAnEnvelopeLayoutAndRefusesADamagedOne) {
    ASSERT_EQ(batch("envelope new Office").status, 0);
    const std::string source = folder.file("office.E");
    fs::copy_file(sysdata + "/BIN00001.E", source);
    auto r = batch("envelope import-layout Copy " + shellQuote(source) + " --size 37");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("2 object(s)"), std::string::npos) << r.output;
    auto show = batch("envelope show Copy");
    EXPECT_NE(show.output.find("Code: 37"), std::string::npos) << show.output;
    EXPECT_NE(show.output.find("TGPostNetBarCode"), std::string::npos) << show.output;

    // Half a layout: refused, and the stored design is left as it was.
    const std::string broken = folder.file("broken.E");
    {
        std::ifstream in(source, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(broken, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    }
    const std::string before = batch("envelope show Copy").output;
    auto bad = batch("envelope import-layout Copy " + shellQuote(broken));
    EXPECT_EQ(bad.status, 1) << bad.output;
    EXPECT_EQ(batch("envelope show Copy").output, before);
}

TEST_F(EnvelopePrinting, AnImbPlacedWithItsToolCountsItsSerialAcrossPrintedJobs) {
    ASSERT_EQ(batch("envelope new Office").status, 0);
    const QString layout = QString::fromStdString(sysdata + "/BIN00001.E");
    ASSERT_TRUE(fs::exists(layout.toStdString()));
    {
        TEnvelopePanel panel;
        QString error;
        ASSERT_TRUE(qp::design::LoadLayoutFile(panel, layout, &error)) << error.toStdString();
        const TEnvelopeTool* tool = FindEnvelopeTool("psIMbBarCode");
        ASSERT_NE(tool, nullptr);
        ASSERT_TRUE(tool->place);
        const int before = panel.ObjectCount();
        tool->place(panel, QRect(40, 200, 290, 20));
        ASSERT_EQ(panel.ObjectCount(), before + 1);
        auto* imb = dynamic_cast<qp::design::TGIMbBarCode*>(panel.Object(panel.ObjectCount() - 1));
        ASSERT_NE(imb, nullptr);
        EXPECT_EQ(imb->ZipCodeField, "ZIP");
        imb->MailerId = "123456";
        ASSERT_TRUE(imb->SetProperty("SerialStart", qint32(100)));
        ASSERT_TRUE(qp::design::SaveLayoutFile(panel, layout, &error)) << error.toStdString();
    }
    auto serialStart = [&] {
        TEnvelopePanel panel;
        QString error;
        EXPECT_TRUE(qp::design::LoadLayoutFile(panel, layout, &error)) << error.toStdString();
        for (int i = 0; i < panel.ObjectCount(); ++i)
            if (auto* imb = dynamic_cast<qp::design::TGIMbBarCode*>(panel.Object(i)))
                return int(imb->SerialStart);
        return -1;
    };
    const std::string pdf = folder.file("imb.pdf");
    for (int expected : {103, 106}) {
        auto r = batch("envelopes " + shellQuote(file) + " --envelope Office --pdf " +
                       shellQuote(pdf) + " --selection all --overwrite");
        ASSERT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(serialStart(), expected);
    }
}
