// The RTF reader on hand-made files: every control word it takes, plain
// text, and damaged input.

#include "richtext/page_settings.h"
#include "richtext/rtf_reader.h"
#include "richtext/text_finder.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace qp::richtext;

namespace {

// The format of the character at `position`.
QTextCharFormat FormatAt(const QTextDocument& doc, int position) {
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(position + 1);
    return c.charFormat();
}

int Find(const QTextDocument& doc, const QString& text) {
    return int(doc.find(text, 0, QTextDocument::FindCaseSensitively).selectionStart());
}

QString Family(const QTextCharFormat& f) {
    return f.fontFamilies().toStringList().value(0);
}

QByteArray PngHex(const QSize& size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer b(&png);
    b.open(QIODevice::WriteOnly);
    image.save(&b, "PNG");
    return png.toHex();
}

TEST(RtfReader, CharacterFormatsFontsAndColours) {
    QTextDocument doc;
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
        "{\\f1\\froman{\\*\\panose 02020603050405020304}Times New Roman;}}"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
        "{\\stylesheet{\\s0 Normal;}{\\s1\\b heading 1;}}"
        "{\\*\\generator Some Writer;}"
        "\\pard\\plain Plain {\\b Bold} {\\i Italic} {\\ul Under}{\\ulnone  none} {\\strike "
        "Struck} "
        "{\\f1 Roman} {\\fs40 Twenty} {\\cf1 Red} {\\highlight2 Marked} "
        "\\b\\i both\\plain  reset\\par}";
    const TRtfReadResult r = ReadRtf(rtf, doc);
    EXPECT_TRUE(r.IsRtf);
    EXPECT_TRUE(r.Complete) << r.Problem.toStdString();
    EXPECT_EQ(PlainText(doc), "Plain Bold Italic Under none Struck Roman Twenty Red Marked both "
                              "reset\n");
    EXPECT_EQ(Family(FormatAt(doc, Find(doc, "Plain"))), "Arial");
    EXPECT_DOUBLE_EQ(FormatAt(doc, Find(doc, "Plain")).fontPointSize(), 12);
    EXPECT_EQ(FormatAt(doc, Find(doc, "Bold")).fontWeight(), QFont::Bold);
    EXPECT_NE(FormatAt(doc, Find(doc, "Plain")).fontWeight(), QFont::Bold);
    EXPECT_TRUE(FormatAt(doc, Find(doc, "Italic")).fontItalic());
    EXPECT_TRUE(FormatAt(doc, Find(doc, "Under")).fontUnderline());
    EXPECT_FALSE(FormatAt(doc, Find(doc, "none")).fontUnderline());
    EXPECT_TRUE(FormatAt(doc, Find(doc, "Struck")).fontStrikeOut());
    EXPECT_EQ(Family(FormatAt(doc, Find(doc, "Roman"))), "Times New Roman");
    EXPECT_DOUBLE_EQ(FormatAt(doc, Find(doc, "Twenty")).fontPointSize(), 20);
    EXPECT_EQ(FormatAt(doc, Find(doc, "Red")).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(FormatAt(doc, Find(doc, "Marked")).background().color(), QColor(0, 0, 255));
    EXPECT_TRUE(FormatAt(doc, Find(doc, "both")).fontItalic());
    EXPECT_FALSE(FormatAt(doc, Find(doc, "reset")).fontItalic());
    EXPECT_NE(FormatAt(doc, Find(doc, "reset")).fontWeight(), QFont::Bold);
}

TEST(RtfReader, CodePageAndUnicodeWithFallbacks) {
    QTextDocument doc;
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80 \\u1046\\'3f "
                           "{\\uc2\\u8364 XY}Z \\uc0\\u937 end\\~nb\\emdash\\lquote q\\rquote "
                           "\\{\\}\\\\\\par}";
    ReadRtf(rtf, doc);
    EXPECT_EQ(PlainText(doc), QString::fromUtf8("café € Ж €Z Ωend\u00A0nb—‘q’{}\\\n"));
}

TEST(RtfReader, ParagraphFormatsTabsAndLines) {
    QTextDocument doc;
    const QByteArray rtf = "{\\rtf1\\ansi "
                           "\\pard\\qc Centre\\par "
                           "\\pard\\qr Right\\par "
                           "\\pard\\qj Justified\\par "
                           "\\pard\\li720\\ri360\\fi-360\\sb120\\sa240 Indented\\par "
                           "\\pard\\sl360\\slmult1 OneAndHalf\\par "
                           "\\pard\\sl-480\\slmult0 Exactly\\par "
                           "\\pard\\sl300\\slmult0 AtLeast\\par "
                           "\\pard\\tx1440\\tqr\\tx4320 a\\tab b\\line c\\par "
                           "\\pard Left\\par}";
    ReadRtf(rtf, doc);
    ASSERT_EQ(doc.blockCount(), 9);
    const auto block = [&](int i) { return doc.findBlockByNumber(i).blockFormat(); };
    EXPECT_EQ(block(0).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(block(1).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(block(2).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    EXPECT_NEAR(LayoutToTwips(block(3).leftMargin()), 720, 0.01);
    EXPECT_NEAR(LayoutToTwips(block(3).rightMargin()), 360, 0.01);
    EXPECT_NEAR(LayoutToTwips(block(3).textIndent()), -360, 0.01);
    EXPECT_NEAR(LayoutToTwips(block(3).topMargin()), 120, 0.01);
    EXPECT_NEAR(LayoutToTwips(block(3).bottomMargin()), 240, 0.01);
    EXPECT_EQ(block(4).lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_DOUBLE_EQ(block(4).lineHeight(), 150);
    EXPECT_EQ(block(5).lineHeightType(), QTextBlockFormat::FixedHeight);
    EXPECT_NEAR(LayoutToTwips(block(5).lineHeight()), 480, 0.01);
    EXPECT_EQ(block(6).lineHeightType(), QTextBlockFormat::MinimumHeight);
    const auto tabs = block(7).tabPositions();
    ASSERT_EQ(tabs.size(), 2);
    EXPECT_NEAR(LayoutToTwips(tabs[0].position), 1440, 0.01);
    EXPECT_EQ(tabs[1].type, QTextOption::RightTab);
    EXPECT_EQ(doc.findBlockByNumber(7).text(), QString("a\tb") + QChar(QChar::LineSeparator) + "c");
    EXPECT_EQ(block(8).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_DOUBLE_EQ(block(8).leftMargin(), 0);
}

TEST(RtfReader, PageSetupAndPageBreaks) {
    QTextDocument doc;
    ReadRtf("{\\rtf1\\paperw11906\\paperh16838\\margl1000\\margr1100\\margt1200\\margb1300 "
            "One\\page Two\\par\\pard\\pagebb Three\\par}",
            doc);
    const TPageSettings page = PageSettings(doc);
    EXPECT_EQ(page, (TPageSettings{11906, 16838, 1000, 1100, 1200, 1300}));
    ASSERT_EQ(doc.blockCount(), 3);
    EXPECT_FALSE(doc.findBlockByNumber(0).blockFormat().pageBreakPolicy() &
                 QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_TRUE(doc.findBlockByNumber(1).blockFormat().pageBreakPolicy() &
                QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_TRUE(doc.findBlockByNumber(2).blockFormat().pageBreakPolicy() &
                QTextFormat::PageBreak_AlwaysBefore);

    // Without page settings a file has the RTF defaults.
    ReadRtf("{\\rtf1 x}", doc);
    EXPECT_EQ(PageSettings(doc), (TPageSettings{12240, 15840, 1800, 1800, 1440, 1440}));
}

TEST(RtfReader, PicturesTablesAndSkippedDestinations) {
    QTextDocument doc;
    const QByteArray rtf =
        "{\\rtf1 A{\\*\\shppict{\\pict\\pngblip\\picw4\\pich2\\picwgoal1440\\pichgoal720 " +
        PngHex(QSize(4, 2)) +
        "}}{\\nonshppict{\\pict\\wmetafile8 0102}}B{\\pict\\wmetafile8 abcdef}C"
        "{\\*\\unknowndest hidden}{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt Link}}"
        "{\\header Header text}{\\info{\\title T}}\\par"
        "\\trowd\\cellx1000\\cellx2000 \\intbl one\\cell two\\cell\\row \\pard after\\par}";
    const TRtfReadResult r = ReadRtf(rtf, doc);
    EXPECT_TRUE(r.Complete) << r.Problem.toStdString();
    EXPECT_EQ(PlainText(doc), "ABCLink\none\ntwo\nafter\n");
    QTextCursor c(&doc);
    c.setPosition(2);
    const QTextCharFormat f = c.charFormat();
    ASSERT_TRUE(f.isImageFormat());
    EXPECT_NEAR(LayoutToTwips(f.toImageFormat().width()), 1440, 0.01);
    EXPECT_NEAR(LayoutToTwips(f.toImageFormat().height()), 720, 0.01);
    const QImage image =
        doc.resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name())).value<QImage>();
    EXPECT_EQ(image.size(), QSize(4, 2));
}

TEST(RtfReader, TextThatIsNotRtfLoadsAsPlainText) {
    QTextDocument doc;
    const TRtfReadResult r = ReadRtf("Dear friend,\r\nthank you.\r\nCaf\xe9", doc);
    EXPECT_FALSE(r.IsRtf);
    EXPECT_EQ(PlainText(doc), QString::fromUtf8("Dear friend,\nthank you.\nCafé\n"));
    ReadRtf("{\\rtx not rtf}", doc);
    EXPECT_EQ(PlainText(doc), "{\\rtx not rtf}\n");
    ReadRtf("", doc);
    EXPECT_EQ(PlainText(doc), "\n");
}

TEST(RtfReader, DamagedInputLoadsWhatItCanAndSaysSo) {
    QTextDocument doc;
    TRtfReadResult r = ReadRtf("{\\rtf1 {\\b First}\\par Second part", doc);
    EXPECT_FALSE(r.Complete);
    EXPECT_FALSE(r.Problem.isEmpty());
    EXPECT_EQ(PlainText(doc), "First\nSecond part\n");

    // Text after the closing brace of the document is not part of it.
    r = ReadRtf("{\\rtf1 Body}}} trailing", doc);
    EXPECT_EQ(PlainText(doc), "Body\n");

    // Huge numbers are brought into range.
    r = ReadRtf("{\\rtf1\\paperw99999999999999999\\margl-99999999999\\fs99999999999 "
                "\\li999999999999 Big\\u-99999999999 \\uc99999999 x\\par}",
                doc);
    EXPECT_EQ(PageSettings(doc), PageSettings(doc).Normalized());
    EXPECT_TRUE(PlainText(doc).startsWith("Big"));

    // Deep nesting neither overflows nor takes for ever.
    QByteArray deep = "{\\rtf1 ";
    deep += QByteArray(200000, '{') + "deep" + QByteArray(200000, '}') + "}";
    r = ReadRtf(deep, doc);
    EXPECT_EQ(PlainText(doc), "deep\n");
    ReadRtf(QByteArray("{\\rtf1 ") + QByteArray(100000, '{'), doc);

    // A picture that is not one is left out, the text around it kept.
    r = ReadRtf("{\\rtf1 a{\\pict\\pngblip 0011223344}b\\bin5 {\\pict\\jpegblip\\bin3 }}", doc);
    EXPECT_FALSE(r.Complete);
    EXPECT_EQ(PlainText(doc).left(2), "ab");
}

TEST(RtfReader, InsertAtAPositionKeepsThePage) {
    QTextDocument doc;
    ReadRtf("{\\rtf1\\paperw10000 Hello world}", doc);
    InsertRtf("{\\rtf1\\paperw5000 {\\b big }}", doc, 6);
    EXPECT_EQ(PlainText(doc), "Hello big world\n");
    EXPECT_EQ(PageSettings(doc).PageWidth, 10000);
    EXPECT_EQ(FormatAt(doc, 6).fontWeight(), QFont::Bold);
}

} // namespace
