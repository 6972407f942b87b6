// Report settings, layout files and the report table: the file's bytes,
// paper recognition, damaged files, fresh names, save, clone and delete.
#include "design/layout_stream.h"
#include "design/text_labels.h"
#include "reports/band_layout.h"
#include "reports/report_store.h"
#include "reports/starter_report.h"
#include "reports_test_support.h"
#include "store/shared_routines.h"

#include <gtest/gtest.h>

#include <QFile>

#include <filesystem>
#include <fstream>

using namespace qp;
using namespace qp::reports;

namespace {

QByteArray slurp(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void spit(const std::string& path, const QByteArray& bytes) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray newReportBytes() {
    QByteArray b = QByteArray::fromHex("010001000100" // three empty object lists
                                       "01"
                                       "033421"
                                       "03f82a" // 8500 x 11000
                                       "03f401"
                                       "03f401"
                                       "03f401"
                                       "03f401" // margins 500
                                       "035801"
                                       "035801"
                                       "035801" // bands 344
                                       "09090808");
    auto font = [&] {
        b += QByteArray::fromHex("0605") + "Arial" + QByteArray::fromHex("020a0808");
    };
    font();
    b += QByteArray::fromHex("0200");
    font();
    for (int i = 0; i < 4; ++i)
        b += QByteArray::fromHex("08080808"
                                 "0201"
                                 "0200"
                                 "04ffffff00");
    b += QByteArray::fromHex("00");
    return b;
}

class ReportFiles : public ::testing::Test {
protected:
    void SetUp() override {
        sysdata = store::SysdataFolder().string();
        std::filesystem::create_directories(sysdata);
        auto t = openReportTable(sysdata);
        ASSERT_TRUE(t) << t.error();
        table.emplace(std::move(*t));
    }
    std::string path(const std::string& name) const { return sysdata + "/" + name; }
    ReportDesign saveNew(const QString& description) {
        ReportBands bands;
        ReportDesign d;
        d.Description = description;
        auto st = saveReport(true, *table, sysdata, bands, d);
        EXPECT_TRUE(st) << st.error();
        return d;
    }
    qp::testing::ReportsHome home;
    std::string sysdata;
    std::optional<store::Table> table;
};

} // namespace

TEST(ReportVarsTest, NewReportDefaultsAndShadedColor) {
    const ReportVars v = NewReportVars();
    EXPECT_EQ(v.PageWidth, 816);
    EXPECT_EQ(v.PageHeight, 1056);
    EXPECT_EQ(v.LeftMargin, 48);
    EXPECT_EQ(v.BottomMargin, 48);
    EXPECT_EQ(v.HeaderHeight, 33);
    EXPECT_TRUE(v.UseHeader && v.UseDetail);
    EXPECT_FALSE(v.UseMemo || v.UseFooter);
    EXPECT_EQ(v.MemoFontName, "Arial");
    EXPECT_EQ(v.DefaultFontSize, 10);
    for (const BandBorders& b : v.Borders)
        EXPECT_EQ(b, BandBorders{});
    EXPECT_EQ(ShadedColor(0x123456, 100), 0x123456);
    EXPECT_EQ(ShadedColor(0x000000, 0), 0xFFFFFF);
    EXPECT_EQ(ShadedColor(0x000000, 20), 0xCCCCCC);  // 0 + 80 * 255 div 100 = 204
    EXPECT_EQ(ShadedColor(0x0000FF, 40), 0x9999FF);  // 153 for the zero parts
    EXPECT_EQ(ShadedColor(0x000000, 250), 0x000000); // above 100 counts as 100
}

TEST(ReportVarsTest, PaperIsRecognisedBothWaysAndAfterSaving) {
    ReportVars v;
    for (ReportPaper p : {ReportPaper::LetterPortrait, ReportPaper::LetterLandscape,
                          ReportPaper::A4Portrait, ReportPaper::A4Landscape}) {
        SetPaper(v, p);
        EXPECT_EQ(RecognisePaper(v.PageWidth, v.PageHeight), p);
        // Written and read back, the page keeps its pixels.
        EXPECT_EQ(PixelsOfThousandths(ThousandthsOfPixels(v.PageWidth)), v.PageWidth);
        EXPECT_EQ(PixelsOfThousandths(ThousandthsOfPixels(v.PageHeight)), v.PageHeight);
        EXPECT_EQ(PaperFromDescription(PaperDescription(p)), p);
    }
    SetPaper(v, ReportPaper::A4Portrait);
    EXPECT_EQ(v.PageWidth, 793);
    EXPECT_EQ(v.PageHeight, 1121);
    // Files written with the older truncating conversion read to the same pixels.
    EXPECT_EQ(PixelsOfThousandths(8260), 793);
    EXPECT_EQ(PixelsOfThousandths(11677), 1121);
    EXPECT_EQ(ThousandthsOfPixels(816), 8500);
    EXPECT_EQ(ThousandthsOfPixels(1056), 11000);
    EXPECT_EQ(RecognisePaper(700, 1000), ReportPaper::Unknown);
}

TEST_F(ReportFiles, ANewReportFileHasItsByteImage) {
    ReportDesign d = saveNew(QStringLiteral("Phone list"));
    EXPECT_EQ(d.Binary, "BIN00001.R");
    EXPECT_EQ(slurp(path("BIN00001.R")), newReportBytes());
    table->first();
    EXPECT_EQ(store::TrimRight(table->getString("DESCRIPT")), "Phone list");
    EXPECT_EQ(store::TrimRight(table->getString("LAYOUT")), "Letter Size, Portrait");
    EXPECT_EQ(store::TrimRight(table->getString("BINARY")), "BIN00001.R");
}

TEST_F(ReportFiles, SettingsAndObjectsSurviveSaveAndLoad) {
    ReportBands bands;
    ReportDesign d;
    d.Description = QStringLiteral("Styled");
    SetPaper(d.Vars, ReportPaper::A4Landscape);
    d.Layout = PaperDescription(ReportPaper::A4Landscape);
    d.Vars.LeftMargin = 77;
    d.Vars.UseMemo = true;
    d.Vars.MemoAlignment = 2;
    d.Vars.MemoFontName = QStringLiteral("Liberation Serif");
    d.Vars.Borders[rbDetail] = {true, false, true, true, 3, 60, 0x00FFFF};
    makeStarterReport(bands, d.Vars, QStringLiteral("Styled"));
    ASSERT_TRUE(saveReport(true, *table, sysdata, bands, d));
    const ReportVars saved = d.Vars;

    ReportBands again;
    ReportDesign loaded;
    table->first();
    ASSERT_TRUE(loadReport(false, *table, sysdata, again, loaded));
    EXPECT_EQ(loaded.Vars, saved);
    EXPECT_EQ(loaded.Layout, "A4 Size, Landscape");
    EXPECT_EQ(RecognisePaper(loaded.Vars.PageWidth, loaded.Vars.PageHeight),
              ReportPaper::A4Landscape);
    EXPECT_EQ(again.Header.ObjectCount(), 1);
    EXPECT_EQ(again.Detail.ObjectCount(), 3);
    EXPECT_EQ(again.Footer.ObjectCount(), 2);
    // Loaded and saved again and again, the file stays the same byte for
    // byte: nothing shrinks.
    ASSERT_TRUE(saveReport(false, *table, sysdata, again, loaded));
    const QByteArray first = slurp(path(loaded.Binary));
    for (int i = 0; i < 3; ++i) {
        ReportBands b;
        ReportDesign next;
        table->first();
        ASSERT_TRUE(loadReport(false, *table, sysdata, b, next));
        EXPECT_EQ(next.Vars, saved);
        ASSERT_TRUE(saveReport(false, *table, sysdata, b, next));
        EXPECT_EQ(slurp(path(loaded.Binary)), first);
    }
}

TEST_F(ReportFiles, FreshNamesSkipFilesAndNamesInUse) {
    EXPECT_EQ(saveNew("One").Binary, "BIN00001.R");
    spit(path("bin00002.r"), "stray"); // any letter case
    EXPECT_EQ(saveNew("Two").Binary, "BIN00003.R");
    // A record naming a file that is gone still holds its name.
    std::filesystem::remove(path("BIN00003.R"));
    EXPECT_EQ(saveNew("Three").Binary, "BIN00004.R");
    // A deleted report's number is free again.
    ASSERT_TRUE(findReport(*table, "One"));
    ASSERT_TRUE(deleteReport(*table, sysdata));
    EXPECT_FALSE(std::filesystem::exists(path("BIN00001.R")));
    auto fresh = freshReportFileName(sysdata, *table);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(*fresh, "BIN00005.R"); // the deleted record keeps its name until packed
}

TEST_F(ReportFiles, CloneIsAnIndependentCopy) {
    ReportBands bands;
    ReportDesign d;
    d.Description = QStringLiteral("Original");
    makeStarterReport(bands, d.Vars, d.Description);
    ASSERT_TRUE(saveReport(true, *table, sysdata, bands, d));
    const QByteArray original = slurp(path(d.Binary));
    ASSERT_TRUE(findReport(*table, "Original"));
    auto copy = cloneReport(*table, sysdata);
    ASSERT_TRUE(copy) << copy.error();
    EXPECT_EQ(copy->Description, "Clone of Original");
    EXPECT_EQ(copy->Binary, "BIN00002.R");
    EXPECT_EQ(slurp(path(copy->Binary)), original);

    ReportBands cloneBands;
    ReportDesign cloneDesign;
    ASSERT_TRUE(findReport(*table, "Clone of Original"));
    ASSERT_TRUE(loadReport(false, *table, sysdata, cloneBands, cloneDesign));
    cloneBands.Detail.ClearObjects();
    ASSERT_TRUE(saveReport(false, *table, sysdata, cloneBands, cloneDesign));
    EXPECT_EQ(slurp(path(d.Binary)), original);
    EXPECT_NE(slurp(path(copy->Binary)), original);
}

TEST_F(ReportFiles, DamagedFilesStopWithAMessageAndStartFromDefaults) {
    ReportBands bands;
    ReportDesign d;
    d.Description = QStringLiteral("Victim");
    makeStarterReport(bands, d.Vars, d.Description);
    d.Vars.LeftMargin = 96;
    ASSERT_TRUE(saveReport(true, *table, sysdata, bands, d));
    const QByteArray good = slurp(path(d.Binary));

    auto load = [&](const QByteArray& bytes, ReportDesign& out, ReportBands& b) {
        spit(path(d.Binary), bytes);
        table->first();
        return loadReport(false, *table, sysdata, b, out);
    };
    // The settings list cut short, a string where a number belongs, cut in
    // the middle: each says why, and the design is the new-report one.
    const int settings = good.lastIndexOf(QByteArray::fromHex("033421"));
    ASSERT_GT(settings, 0);
    QByteArray shortList = good.left(settings + 3) + QByteArray::fromHex("00");
    QByteArray illTyped = good;
    illTyped[settings] = 0x09; // a Boolean where the page width is
    illTyped.remove(settings + 1, 2);
    for (const QByteArray& bad : {shortList, illTyped, good.left(good.size() / 2), good + "x"}) {
        ReportBands b;
        ReportDesign out;
        out.Vars.LeftMargin = 5; // what an earlier report left
        auto st = load(bad, out, b);
        EXPECT_FALSE(st);
        EXPECT_NE(st.error().find("cannot be used"), std::string::npos) << st.error();
        EXPECT_EQ(out.Vars, NewReportVars());
        EXPECT_EQ(b.Header.ObjectCount() + b.Detail.ObjectCount() + b.Footer.ObjectCount(), 0);
        EXPECT_EQ(slurp(path(d.Binary)), bad); // nothing written back
    }
    EXPECT_NE(std::string(load(shortList, d, bands).error()).find("end after 1 of 50"),
              std::string::npos);

    // Out-of-range widths and percents are brought into range.
    QByteArray wide = good;
    const QByteArray border = QByteArray::fromHex("08080808"
                                                  "0201"
                                                  "0200"
                                                  "04ffffff00");
    const int at = wide.lastIndexOf(border);
    ASSERT_GT(at, 0);
    wide.replace(at, border.size(),
                 QByteArray::fromHex("09090909"
                                     "0209"
                                     "02c8"
                                     "04ffffff00"));
    ReportBands b;
    ReportDesign out;
    ASSERT_TRUE(load(wide, out, b));
    EXPECT_EQ(out.Vars.Borders[rbFooter].LineWidth, 3);
    EXPECT_EQ(out.Vars.Borders[rbFooter].ShadePercent, 0); // -56 read as a signed byte
    EXPECT_EQ(out.Vars.LeftMargin, 96);

    // A missing file: empty bands and the new-report settings.
    std::filesystem::remove(path(d.Binary));
    ReportDesign gone;
    gone.Vars.TopMargin = 200;
    table->first();
    EXPECT_TRUE(loadReport(false, *table, sysdata, b, gone));
    EXPECT_EQ(gone.Vars, NewReportVars());
}

TEST_F(ReportFiles, AReportTableThatWillNotOpenIsNeverRecreated) {
    table.reset();
    const std::string dbf = path("REPORT.DBF");
    spit(dbf, "this is not a table");
    auto t = openReportTable(sysdata);
    ASSERT_FALSE(t);
    EXPECT_NE(t.error().find("Unable to Open or Create REPORT.DBF"), std::string::npos);
    EXPECT_EQ(slurp(dbf), QByteArray("this is not a table"));
}

TEST(ReportBandsTest, ToolsGoOnlyWhereTheirBandTakesThem) {
    ReportBands bands;
    for (TReportPanel* p : {&bands.Header, &bands.Detail, &bands.Footer})
        p->SetSize(696, 33);
    QStringList refusals;
    for (TReportPanel* p : {&bands.Header, &bands.Detail, &bands.Footer})
        p->OnRefused = [&](const QString& why) { refusals << why; };

    bands.Header.SetPanelState(psDataLabel);
    bands.Detail.SetPanelState(psDataLabel);
    bands.Footer.SetPanelState(psDataLabel);
    EXPECT_FALSE(bands.Header.Accepting());
    EXPECT_TRUE(bands.Detail.Accepting());
    EXPECT_FALSE(bands.Footer.Accepting());

    for (TRPanelState s : {psPageNumber, psDateTime}) {
        bands.Header.SetPanelState(s);
        bands.Detail.SetPanelState(s);
        bands.Footer.SetPanelState(s);
        EXPECT_TRUE(bands.Header.Accepting());
        EXPECT_FALSE(bands.Detail.Accepting());
        EXPECT_TRUE(bands.Footer.Accepting());
        bands.Header.CreateObjectInRect(QRect(QPoint(4, 4), QPoint(10, 10)));
        bands.Footer.CreateObjectInRect(QRect(QPoint(4, 4), QPoint(10, 10)));
    }
    EXPECT_EQ(bands.Header.ObjectCount(), 2);
    EXPECT_EQ(bands.Footer.ObjectCount(), 2);
    EXPECT_EQ(bands.Header.Object(0)->ClassName(), "TGPageNumberLabel");

    EXPECT_EQ(BandRefusal(psDataLabel, rpkHeader),
              "This object may only be used in the detail band");
    EXPECT_EQ(BandRefusal(psImage, rpkFooter), "This object may only be used in the header band");
    EXPECT_EQ(BandRefusal(psPageNumber, rpkDetail),
              "This object may only be used in the header or footer bands");
    EXPECT_EQ(BandRefusal(psMultiLineDataLabel, rpkDetail),
              "This object may only be used in the memo band");
    for (TRPanelState s :
         {psLabel, psLine, psSymbolLabel, psRectangle, psEllipse, psRoundRectangle, psPointing})
        for (TRPanelKind k : {rpkHeader, rpkDetail, rpkFooter}) {
            EXPECT_TRUE(BandRefusal(s, k).isEmpty());
            EXPECT_TRUE(BandAccepts(s, k));
        }

    bands.Detail.SetPanelState(psRectangle);
    bands.Detail.CreateObjectInRect(QRect(QPoint(0, 0), QPoint(5, 5)));
    ASSERT_EQ(bands.Detail.ObjectCount(), 1);
    EXPECT_EQ(bands.Detail.Object(0)->ClassName(), "Trpshapes");
    EXPECT_EQ(bands.Detail.Object(0)->Width(), 50); // narrow rectangles are made 50 wide
    EXPECT_EQ(bands.Detail.Object(0)->Height(), 15);
    bands.Detail.SetPanelState(psLine);
    bands.Detail.CreateObjectInRect(QRect(QPoint(0, 0), QPoint(100, 20)));
    EXPECT_EQ(bands.Detail.Object(1)->ClassName(), "TGLineShape");
    EXPECT_TRUE(refusals.isEmpty());
}

TEST(ReportBandsTest, ObjectsBelowTheBandAreKeptOrDropped) {
    TReportPanel band(rpkDetail);
    band.SetSize(600, 40);
    band.SetPanelState(psRectangle);
    for (int top : {10, 50, 51})
        band.CreateObjectInRect(QRect(QPoint(0, top), QPoint(60, top + 20)));
    band.RemoveObjectsOutside();
    ASSERT_EQ(band.ObjectCount(), 2); // 50 is within 10 pixels of the bottom, 51 is not
    EXPECT_EQ(band.Object(1)->Top(), 50);
    band.KeepObjectsInside();
    EXPECT_EQ(band.Object(1)->Top(), 40);
}

TEST(ReportBandsTest, ArrangingAndDraggingBands) {
    ReportVars v = NewReportVars();
    BandArrangement a = ArrangeBands(v);
    EXPECT_EQ(a.width, 816 - 48 - 48 - 24);
    EXPECT_DOUBLE_EQ(a.startInch, 0.5);
    EXPECT_EQ(a.bands[rbHeader].captionTop, 33);
    EXPECT_EQ(a.bands[rbHeader].bandTop, 53);
    EXPECT_EQ(a.bands[rbDetail].captionTop, 53 + 33 + 5);
    EXPECT_EQ(a.bands[rbMemo].bandHeight, 0);
    EXPECT_EQ(a.bands[rbFooter].bandHeight, 0);
    EXPECT_EQ(v.FooterHeight, 0); // off: its height goes to 0

    SwitchBand(v, rbHeader, false);
    EXPECT_EQ(v.HeaderHeight, 0);
    SwitchBand(v, rbHeader, true);
    ArrangeBands(v);
    EXPECT_EQ(v.HeaderHeight, 20);

    const int room = PrintableHeight(v);
    DragBand(v, rbDetail, 33, 5000);
    EXPECT_EQ(v.HeaderHeight + v.DetailHeight + v.FooterHeight, room);
    DragBand(v, rbDetail, 33, -500);
    EXPECT_EQ(v.DetailHeight, 0); // never below the band's top
    SwitchBand(v, rbFooter, false);
    DragBand(v, rbFooter, 0, 40);
    EXPECT_EQ(v.FooterHeight, 0); // a band that is off has no sizer
}
