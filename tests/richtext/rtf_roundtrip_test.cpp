// Our writer and reader together: a document survives write and read with
// every format intact, and the writer gives the same bytes every time.

#include "richtext/page_settings.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"
#include "richtext_test_support.h"
#include "support/peer_tools.h"

#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <gtest/gtest.h>

using namespace qp::richtext;

namespace {

// Everything the writer promises to keep, as text, for comparison.
QString Describe(const QTextDocument& doc) {
    QString out;
    const TPageSettings p = PageSettings(doc);
    out += QStringLiteral("page %1x%2 margins %3 %4 %5 %6\n")
               .arg(p.PageWidth)
               .arg(p.PageHeight)
               .arg(p.LeftMargin)
               .arg(p.RightMargin)
               .arg(p.TopMargin)
               .arg(p.BottomMargin);
    const auto twips = [](double v) { return QString::number(qRound(LayoutToTwips(v))); };
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat f = b.blockFormat();
        out += QStringLiteral("para align=%1 li=%2 ri=%3 fi=%4 sb=%5 sa=%6 lh=%7/%8 break=%9 tabs=")
                   .arg(int(f.alignment() & Qt::AlignHorizontal_Mask))
                   .arg(twips(f.leftMargin()), twips(f.rightMargin()), twips(f.textIndent()),
                        twips(f.topMargin()), twips(f.bottomMargin()))
                   .arg(f.lineHeightType())
                   .arg(f.lineHeightType() == QTextBlockFormat::ProportionalHeight
                            ? QString::number(f.lineHeight())
                            : twips(f.lineHeight()))
                   .arg(bool(f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore));
        for (const auto& t : f.tabPositions())
            out +=
                twips(t.position) + QLatin1Char(':') + QString::number(t.type) + QLatin1Char(' ');
        out += QLatin1Char('\n');
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fr = it.fragment();
            const QTextCharFormat c = fr.charFormat();
            out += QStringLiteral("  run [%1] font=%2 size=%3 b=%4 i=%5 u=%6 s=%7 fg=%8 bg=%9")
                       .arg(fr.text(), c.fontFamilies().toStringList().value(0))
                       .arg(c.fontPointSize())
                       .arg(c.fontWeight() >= QFont::DemiBold)
                       .arg(c.fontItalic())
                       .arg(c.fontUnderline())
                       .arg(c.fontStrikeOut())
                       .arg(c.foreground().style() == Qt::NoBrush ? QString("-")
                                                                  : c.foreground().color().name(),
                            c.background().style() == Qt::NoBrush ? QString("-")
                                                                  : c.background().color().name());
            if (c.isImageFormat())
                out +=
                    QStringLiteral(" image %1x%2")
                        .arg(twips(c.toImageFormat().width()), twips(c.toImageFormat().height()));
            out += QLatin1Char('\n');
        }
    }
    return out;
}

QByteArray EveryControlWord() {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"
           "{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}{\\f2\\fmodern Courier "
           "New;}}"
           "{\\colortbl;\\red200\\green10\\blue20;\\red255\\green255\\blue0;}"
           "{\\stylesheet{\\s0 Normal;}}"
           "\\paperw12240\\paperh15840\\margl1080\\margr1260\\margt1440\\margb720 "
           "\\pard\\qc\\sb240\\sa120{\\b\\fs32 Title}\\par "
           "\\pard\\qj\\li720\\ri720\\fi-360 Justified {\\i italic} {\\ul under} {\\strike gone} "
           "{\\f1 roman} {\\f2\\fs18 mono} {\\cf1 red} {\\highlight2 yellow} caf\\'e9 "
           "\\u1046? \\'80\\par "
           "\\pard\\sl360\\slmult1\\tx1440\\tqr\\tx5760 a\\tab b\\tab c\\line d\\par "
           "\\pard\\sl-300\\slmult0 exactly\\par "
           "\\pard\\sl400\\slmult0 at least\\par "
           "\\pard\\qr right\\page after break\\par "
           "\\pard\\pagebb\\plain\\b\\i both {\\plain plain}\\par "
           "\\pard\\par "
           "\\pard last {\\\\ \\{ \\}}\\par}";
}

TEST(RtfRoundTrip, EveryFormatSurvivesWriteAndRead) {
    QTextDocument first;
    ASSERT_TRUE(ReadRtf(EveryControlWord(), first).Complete);
    const QByteArray written = WriteRtf(first);
    QTextDocument second;
    const TRtfReadResult r = ReadRtf(written, second);
    EXPECT_TRUE(r.Complete) << r.Problem.toStdString();
    EXPECT_EQ(Describe(first).toStdString(), Describe(second).toStdString());
    EXPECT_EQ(second.blockCount(), 10);
    // The writer is deterministic and a fixed point of read and write.
    EXPECT_EQ(WriteRtf(first), written);
    EXPECT_EQ(WriteRtf(second), written);
}

TEST(RtfRoundTrip, NonAsciiGoesOutAsCodePageOrUnicode) {
    QTextDocument doc;
    QTextCursor(&doc).insertText(QString::fromUtf8("é€Ж😀\u00A0{x}\\"));
    const QByteArray rtf = WriteRtf(doc);
    EXPECT_TRUE(rtf.contains("\\'e9\\'80\\u1046?\\u-10179?\\u-8704?\\~\\{x\\}\\\\"))
        << rtf.toStdString();
    for (char c : rtf)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80);
    QTextDocument back;
    ReadRtf(rtf, back);
    EXPECT_EQ(back.toRawText(), doc.toRawText());
}

TEST(RtfRoundTrip, BuiltDocumentWithPictureAndEmptyParagraphs) {
    QTextDocument doc;
    SetPageSettings(doc, {15840, 12240, 720, 720, 1000, 1000});
    QTextCursor c(&doc);
    QTextCharFormat big;
    big.setFontFamilies({"Liberation Serif"});
    big.setFontPointSize(18);
    c.insertText("Heading", big);
    c.insertBlock();
    c.insertBlock(); // an empty paragraph in the middle
    QImage image(8, 4, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    doc.addResource(QTextDocument::ImageResource, QUrl("logo"), image);
    QTextImageFormat pic;
    pic.setName("logo");
    pic.setWidth(TwipsToLayout(2880));
    pic.setHeight(TwipsToLayout(1440));
    c.insertImage(pic);
    c.insertText(" after picture");
    c.insertBlock(); // and an empty one at the end

    QTextDocument back;
    ReadRtf(WriteRtf(doc), back);
    EXPECT_EQ(back.blockCount(), 4);
    EXPECT_EQ(PageSettings(back), PageSettings(doc));
    QTextCursor at(&back);
    at.setPosition(back.findBlockByNumber(2).position() + 1);
    ASSERT_TRUE(at.charFormat().isImageFormat());
    const QImage got =
        back.resource(QTextDocument::ImageResource, QUrl(at.charFormat().toImageFormat().name()))
            .value<QImage>();
    EXPECT_EQ(got.size(), QSize(8, 4));
    EXPECT_EQ(got.pixelColor(3, 2), QColor(Qt::blue));
    EXPECT_NEAR(LayoutToTwips(at.charFormat().toImageFormat().width()), 2880, 0.5);
    EXPECT_EQ(WriteRtf(back), WriteRtf(doc));
}

TEST(RtfRoundTrip, CopyDocumentKeepsEverything) {
    QTextDocument from;
    ReadRtf(EveryControlWord(), from);
    QTextDocument to;
    QTextCursor(&to).insertText("old content");
    CopyDocument(from, to);
    EXPECT_EQ(Describe(to).toStdString(), Describe(from).toStdString());
}

TEST(RtfRoundTrip, BatchRoundTripAndText) {
    qp::testing::TRichTextHome home;
    ASSERT_TRUE(home.Write("in.rtf", EveryControlWord()));
    const std::string exe = QP_BATCH_EXE;
    const auto run = [&](const QString& args) {
        return qp::testing::runCommand(exe + " " + args.toStdString());
    };
    auto r = run("rtf roundtrip " + home.File("in.rtf") + " " + home.File("out.rtf"));
    ASSERT_EQ(r.status, 0) << r.output;
    QTextDocument a, b;
    ReadRtf(home.Read("in.rtf"), a);
    ReadRtf(home.Read("out.rtf"), b);
    EXPECT_EQ(Describe(a).toStdString(), Describe(b).toStdString());

    r = run("rtf text " + home.File("out.rtf"));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output.substr(0, 6), "Title\n");
    EXPECT_NE(r.output.find("a\tb\tc\nd\nexactly\n"), std::string::npos) << r.output;

    r = run("rtf text " + home.File("missing.rtf"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("missing.rtf"), std::string::npos);
    r = run("rtf roundtrip " + home.File("in.rtf") + " /nonexistent-folder/out.rtf");
    EXPECT_EQ(r.status, 1);

    ASSERT_TRUE(home.Write("cut.rtf", EveryControlWord().left(300)));
    r = run("rtf text " + home.File("cut.rtf"));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find("warning"), std::string::npos) << r.output;
}

} // namespace
