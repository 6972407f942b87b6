// The merged letters as RTF, converted to text by LibreOffice, an
// independent word processor: the same values, one letter a section. Skips
// when LibreOffice (soffice) is not installed.

#include "letters/letter_job.h"
#include "letters_test_support.h"
#include "support/peer_tools.h"

#include <QFile>
#include <QProcess>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace qp::letters {
namespace {

TEST(LibreOfficeMergedRtf, ReadsTheSameValues) {
    if (testing::runCommand("command -v soffice").status != 0)
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    testing::TLettersHome home;
    testing::TRecordValues mary{{"FNAME", "Mary"}, {"LNAME", "Smith"}, {"ZIP", "02101"}};
    store::Table table = home.MakeAddresses({testing::JohnJones(), mary});
    QTextDocument letter;
    testing::MakeLetter(letter, "[Name and Address]\nDear [First] [Last],\nRegards");
    store::RecordSelection all;
    all.choice = store::SelectionChoice::All;
    const QString rtf = home.Path("merged.rtf");
    ASSERT_TRUE(WriteMergedRtf(letter, table, all, 1, rtf).Ok);
    QProcess p;
    p.start("soffice",
            {"-env:UserInstallation=file://" + home.Path("profile"), "--headless", "--convert-to",
             "txt:Text (encoded):UTF8", "--outdir", home.Path("out"), rtf});
    p.waitForFinished(240000);
    QFile out(home.Path("out/merged.txt"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly)) << p.readAllStandardError().toStdString();
    const QString text = QString::fromUtf8(out.readAll());
    EXPECT_TRUE(text.contains("Dear John Jones,"));
    EXPECT_TRUE(text.contains("Springfield IL  62701"));
    EXPECT_TRUE(text.contains("Dear Mary Smith,"));
    EXPECT_EQ(text.count("Regards"), 2);
}

} // namespace
} // namespace qp::letters
