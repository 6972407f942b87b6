// Symbol fonts: their codes mapped onto Unicode, drawn in an installed face,
// on screen and in a PDF, while the layout keeps the codes it stores.
#include "design/base_panel.h"
#include "design/layout_stream.h"
#include "design/symbol_font.h"
#include "design/text_labels.h"
#include "pdf_probe.h"
#include "print/paper_codes.h"
#include "print/printer_setup.h"
#include "print/report_printer.h"

#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qp::design;
using namespace qp::print;

namespace {

QString Ucs4(char32_t u) {
    return QString::fromUcs4(&u, 1);
}

const std::vector<std::pair<TSymbolSet, int>> kSetSizes{
    {TSymbolSet::Wingdings, 222}, {TSymbolSet::Wingdings2, 217}, {TSymbolSet::Wingdings3, 208},
    {TSymbolSet::Webdings, 223},  {TSymbolSet::Symbol, 189},     {TSymbolSet::Dingbats, 202},
};

TEST(SymbolFont, FamiliesAreKnownByTheirStoredNames) {
    EXPECT_EQ(SymbolSetOf("WingDings"), TSymbolSet::Wingdings);
    EXPECT_EQ(SymbolSetOf("wingdings 2"), TSymbolSet::Wingdings2);
    EXPECT_EQ(SymbolSetOf("Wingdings 3"), TSymbolSet::Wingdings3);
    EXPECT_EQ(SymbolSetOf("Webdings"), TSymbolSet::Webdings);
    EXPECT_EQ(SymbolSetOf("SYMBOL"), TSymbolSet::Symbol);
    EXPECT_EQ(SymbolSetOf("Monotype Sorts"), TSymbolSet::Dingbats);
    EXPECT_EQ(SymbolSetOf("ZapfDingbats"), TSymbolSet::Dingbats);
    EXPECT_EQ(SymbolSetOf("Arial"), TSymbolSet::None);
    EXPECT_EQ(SymbolSetOf("Symbola"), TSymbolSet::None);
    EXPECT_EQ(SymbolSetOf(""), TSymbolSet::None);
}

TEST(SymbolFont, WellKnownCodesFollowThePublishedTables) {
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Wingdings, 0x4A), U'\u263A');     // smiling face
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Wingdings, 0x4C), U'\u2639');     // frowning face
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Wingdings, 0xFC), U'\u2713');     // check mark
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Wingdings, 0xFB), U'\U0001F5F6'); // ballot bold script x
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Wingdings, 0x21), U'\U0001F589'); // lower left pencil
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Wingdings, 0x2A), U'\U0001F582'); // back of envelope
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Wingdings, 0x5B), U'\u262F');     // yin yang, the default
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Wingdings, 0x80), U'\U0001F10B'); // circled zero
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Wingdings2, 0x52), U'\u2611');    // ballot box with check
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Wingdings3, 0x21), U'\u2B60');    // leftwards arrow
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Webdings, 0x61), U'\u2714');      // heavy check mark
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Symbol, 0x61), U'\u03B1');        // alpha
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Symbol, 0x57), U'\u03A9');        // Omega
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Symbol, 0x22), U'\u2200');        // for all
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Symbol, 0xD6), U'\u221A');        // square root
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Symbol, 0xE6), U'\u239B');        // parenthesis upper hook
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Symbol, 0xA0), U'\u20AC');        // euro
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Dingbats, 0x34), U'\u2714');
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Dingbats, 0x48), U'\u2605'); // black star
    // No equivalent, or no such code.
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Wingdings, 0xFF), 0u); // the Windows logo
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Wingdings, 0x7F), 0u);
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Symbol, 0xF0), 0u);
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Symbol, 0x85), 0u);
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Wingdings, 0x1F), 0u);
    EXPECT_EQ(SymbolUnicode(TSymbolSet::Wingdings, 0x100), 0u);
    EXPECT_EQ(SymbolUnicode(TSymbolSet::None, 0x4A), 0u);
}

// Every set maps its whole repertoire to real characters, never to the
// private-use code points a symbol face keeps its glyphs at.
TEST(SymbolFont, EachSetMapsItsRepertoireOutsidePrivateUse) {
    for (const auto& [set, size] : kSetSizes) {
        int mapped = 0;
        for (int code = 0x20; code <= 0xFF; ++code) {
            const char32_t u = SymbolUnicode(set, code);
            if (!u)
                continue;
            ++mapped;
            EXPECT_FALSE(u >= 0xE000 && u <= 0xF8FF) << int(set) << " " << code;
            EXPECT_TRUE(QChar::isPrint(u)) << int(set) << " " << code;
        }
        EXPECT_EQ(mapped, size) << int(set);
        EXPECT_EQ(SymbolUnicode(set, 0x20), U' ');
    }
}

TEST(SymbolFont, TheDrawingFaceHasEveryMappedCharacter) {
    if (!QFontDatabase::hasFamily(SymbolDrawingFamily()))
        GTEST_SKIP() << "fonts-symbola is not installed";
    const QRawFont raw = QRawFont::fromFont(QFont(SymbolDrawingFamily()));
    ASSERT_TRUE(raw.isValid());
    ASSERT_EQ(raw.familyName(), SymbolDrawingFamily());
    for (const auto& [set, size] : kSetSizes) {
        int drawable = 0;
        for (int code = 0x20; code <= 0xFF; ++code)
            if (const char32_t u = SymbolUnicode(set, code)) {
                EXPECT_TRUE(raw.supportsCharacter(uint(u))) << int(set) << " " << code;
                drawable += raw.supportsCharacter(uint(u));
            }
        EXPECT_EQ(drawable, size) << int(set);
    }
}

TEST(SymbolFont, SymbolTextMapsCodesAndLeavesOtherTextAlone) {
    TDesignFont wd;
    wd.Name = "WingDings";
    wd.Size = 24;
    wd.Bold = true;
    const TSymbolText smile = SymbolText(wd, "J");
    EXPECT_TRUE(smile.Mapped);
    EXPECT_EQ(smile.Text, Ucs4(U'\u263A'));
    EXPECT_EQ(smile.Font.Name, SymbolDrawingFamily());
    EXPECT_EQ(smile.Font.Size, 24);
    EXPECT_TRUE(smile.Font.Bold);
    // Outside the basic plane: a surrogate pair.
    EXPECT_EQ(SymbolText(wd, "!").Text, Ucs4(U'\U0001F589'));
    // A code without an equivalent draws as stored, in the stored face.
    const TSymbolText logo = SymbolText(wd, QString(QChar(0xFF)));
    EXPECT_FALSE(logo.Mapped);
    EXPECT_EQ(logo.Font, wd);
    EXPECT_EQ(logo.Text, QString(QChar(0xFF)));
    TDesignFont arial;
    const TSymbolText text = SymbolText(arial, "J");
    EXPECT_FALSE(text.Mapped);
    EXPECT_EQ(text.Font, arial);
    EXPECT_EQ(text.Text, "J");
    TDesignFont symbol;
    symbol.Name = "Symbol";
    EXPECT_EQ(SymbolText(symbol, "abc").Text, QString::fromUtf8("αβχ"));
}

class SymbolLabels : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Setup.SelectPrinterByName(TPrinterSetup::kPdfPrinterName));
        ASSERT_TRUE(Setup.SetPaperCode(kPaperLetter));
        Setup.SetOrientation(poPortrait);
        P.SetSize(384, 192);
    }
    TGSymbolLabel* AddSymbol(const QString& family, char16_t code, int left) {
        auto* s = static_cast<TGSymbolLabel*>(P.AddObject(
            std::make_unique<TGSymbolLabel>(), QRect(QPoint(left, 10), QPoint(left + 40, 50))));
        TDesignFont f = s->Font();
        f.Name = family;
        s->ChooseSymbol(f, code - 32);
        return s;
    }
    TPrinterSetup Setup;
    TGLabelPanel P;
};

TEST_F(SymbolLabels, APdfCarriesTheMappedCharacters) {
    AddSymbol("WingDings", u'J', 0);
    AddSymbol("Symbol", u'a', 100);
    AddSymbol("Wingdings", u'\u00FC', 200);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath("symbols.pdf");
    Setup.SetOutputFileName(pdf);
    TReportPrinter job(&Setup);
    job.OnPrint = [&](TBaseReport& rep) { P.PrintObjects(rep, 1.0, 1.0); };
    ASSERT_TRUE(job.Execute()) << job.LastError().toStdString();
    const auto words = PdfWords(pdf);
    EXPECT_NE(FindWord(words, Ucs4(U'\u263A')), nullptr);
    EXPECT_NE(FindWord(words, Ucs4(U'\u03B1')), nullptr);
    EXPECT_NE(FindWord(words, Ucs4(U'\u2713')), nullptr);
    EXPECT_EQ(FindWord(words, "J"), nullptr);
    EXPECT_EQ(FindWord(words, "a"), nullptr);
}

// On screen the label draws exactly what a text label in the drawing face
// with the mapped character draws.
TEST_F(SymbolLabels, TheScreenShowsTheMappedGlyph) {
    auto* s = AddSymbol("WingDings", u'J', 10);
    auto* t = static_cast<TGPLabel*>(P.AddObject(std::make_unique<TGPLabel>(), QRect(0, 0, 9, 9)));
    TDesignFont f = s->Font();
    f.Name = SymbolDrawingFamily();
    t->SetFont(f);
    t->SetCaption(Ucs4(U'\u263A'));
    t->SetBounds(s->Left(), s->Top(), s->Width(), s->Height());
    auto paint = [&](TGBaseLabel& l) {
        QImage img(384, 192, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        l.Paint(painter);
        return img;
    };
    const QImage symbol = paint(*s);
    EXPECT_EQ(symbol, paint(*t));
    int ink = 0;
    for (int y = 0; y < symbol.height(); ++y)
        for (int x = 0; x < symbol.width(); ++x)
            ink += symbol.pixelColor(x, y) != QColor(Qt::white);
    EXPECT_GT(ink, 50);
}

// The layout keeps the font name and code it stores; painting and printing
// change nothing in it.
TEST_F(SymbolLabels, TheStoredFontAndCodeStayAsTheyAre) {
    AddSymbol("WingDings", u'J', 0);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto save = [&](TGBasePanel& panel, const QString& name) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(SaveLayoutFile(panel, path));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    };
    const QByteArray written = save(P, "written.lbl");
    EXPECT_TRUE(written.contains(QByteArray("\x07"
                                            "Caption\x06\x01J")));
    EXPECT_TRUE(written.contains(QByteArray("\x09WingDings")));
    EXPECT_FALSE(written.contains(SymbolDrawingFamily().toLatin1()));

    TGLabelPanel q;
    q.SetSize(384, 192);
    ASSERT_TRUE(LoadLayoutFile(q, dir.filePath("written.lbl")));
    const QByteArray loaded = save(q, "loaded.lbl");
    QImage img(384, 192, QImage::Format_RGB32);
    {
        QPainter painter(&img);
        q.Paint(painter);
    }
    Setup.SetOutputFileName(dir.filePath("out.pdf"));
    TReportPrinter job(&Setup);
    job.OnPrint = [&](TBaseReport& rep) { q.PrintObjects(rep, 0.5, 0.5); };
    ASSERT_TRUE(job.Execute()) << job.LastError().toStdString();
    EXPECT_EQ(save(q, "again.lbl"), loaded);
    EXPECT_TRUE(loaded.contains(QByteArray("\x07"
                                           "Caption\x06\x01J")));
}

} // namespace
