// Our RTF against LibreOffice, an independent word processor: files it
// writes read with their text, bold and italic runs, page size and margins;
// files we write it reads to the same text and the same number of pages.
// Skips when LibreOffice (soffice) is not installed.

#include "pdf_probe.h"
#include "richtext/paged_layout.h"
#include "richtext/rtf_file.h"
#include "richtext/rtf_reader.h"
#include "richtext/text_finder.h"
#include "support/peer_tools.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace qp::richtext;

namespace {

class LibreOffice : public ::testing::Test {
protected:
    void SetUp() override {
        if (qp::testing::runCommand("command -v soffice").status != 0)
            GTEST_SKIP() << "LibreOffice (soffice) is not installed";
        ASSERT_TRUE(Dir.isValid());
        qputenv("QUILLPOST_HOME", Dir.path().toUtf8());
    }

    // Converts `file` in the temporary folder; returns the converted file's path.
    QString Convert(const QString& file, const QString& filter, const QString& extension) {
        QProcess p;
        p.setWorkingDirectory(Dir.path());
        p.start("soffice",
                {"-env:UserInstallation=file://" + Dir.filePath("profile"), "--headless",
                 "--convert-to", filter, "--outdir", Dir.filePath("out"), Dir.filePath(file)});
        p.waitForFinished(240000);
        const QString out =
            Dir.filePath("out/" + QFileInfo(file).completeBaseName() + "." + extension);
        EXPECT_TRUE(QFile::exists(out)) << p.readAllStandardError().toStdString();
        return out;
    }

    void Write(const QString& name, const QByteArray& data) {
        QFile f(Dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    QTemporaryDir Dir;
};

QTextCharFormat FormatAt(QTextDocument& doc, const QString& text) {
    const QTextCursor found = doc.find(text);
    QTextCursor c(&doc);
    c.setPosition(found.selectionStart() + 1);
    return c.charFormat();
}

TEST_F(LibreOffice, ItsRtfReadsWithTextRunsAndPage) {
    Write("letter.fodt", R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:automatic-styles>
  <style:style style:name="T1" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style>
  <style:style style:name="T2" style:family="text"><style:text-properties fo:font-style="italic"/></style:style>
  <style:page-layout style:name="pm1"><style:page-layout-properties fo:page-width="8.5in"
   fo:page-height="11in" fo:margin-top="0.75in" fo:margin-bottom="0.75in" fo:margin-left="1in"
   fo:margin-right="1.25in"/></style:page-layout>
 </office:automatic-styles>
 <office:master-styles><style:master-page style:name="Standard" style:page-layout-name="pm1"/></office:master-styles>
 <office:body><office:text>
  <text:p>Plain start <text:span text:style-name="T1">bold words</text:span> middle <text:span text:style-name="T2">italic words</text:span> caf&#233; end.</text:p>
  <text:p>Second paragraph.</text:p>
 </office:text></office:body>
</office:document>
)");
    const QString rtf = Convert("letter.fodt", "rtf", "rtf");
    QTextDocument doc;
    const TFileResult r = LoadRtfFile(rtf, doc);
    ASSERT_TRUE(r.Ok) << r.Error.toStdString();
    EXPECT_TRUE(r.Warning.isEmpty()) << r.Warning.toStdString();
    const QString text = PlainText(doc);
    EXPECT_TRUE(text.contains(QString::fromUtf8(
        "Plain start bold words middle italic words café end.\nSecond paragraph.")))
        << text.toStdString();
    EXPECT_EQ(FormatAt(doc, "bold words").fontWeight(), QFont::Bold);
    EXPECT_NE(FormatAt(doc, "Plain").fontWeight(), QFont::Bold);
    EXPECT_TRUE(FormatAt(doc, "italic words").fontItalic());
    EXPECT_FALSE(FormatAt(doc, "middle").fontItalic());
    const TPageSettings page = PageSettings(doc);
    EXPECT_NEAR(page.PageWidth, 12240, 3);
    EXPECT_NEAR(page.PageHeight, 15840, 3);
    EXPECT_NEAR(page.LeftMargin, 1440, 3);
    EXPECT_NEAR(page.RightMargin, 1800, 3);
    EXPECT_NEAR(page.TopMargin, 1080, 3);
    EXPECT_NEAR(page.BottomMargin, 1080, 3);
}

TEST_F(LibreOffice, OurRtfGivesTheSameTextAndPageCount) {
    QTextDocument doc;
    ReadRtf("{\\rtf1\\ansi\\paperw12240\\paperh15840\\margl1440\\margr1440\\margt1440\\margb1440 "
            "\\pard{\\b Dear} friend,\\par \\pard\\qj The first page caf\\'e9.\\par"
            "\\pard\\pagebb{\\i Second} page\\tab with a tab.\\par"
            "\\pard\\pagebb Third page, last.\\par}",
            doc);
    ASSERT_TRUE(SaveRtfFile(doc, Dir.filePath("ours.rtf")).Ok);

    QFile txt(Convert("ours.rtf", "txt:Text (encoded):UTF8,LF,,,", "txt"));
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    QString theirs = QString::fromUtf8(txt.readAll());
    theirs.remove(QChar(0xFEFF));
    EXPECT_EQ(theirs.trimmed().toStdString(), PlainText(doc).trimmed().toStdString());

    const QString pdf = Convert("ours.rtf", "pdf", "pdf");
    EXPECT_EQ(PdfPageCount(pdf), TPagedLayout(doc).PageCount());
    EXPECT_EQ(TPagedLayout(doc).PageCount(), 3);
}

} // namespace
