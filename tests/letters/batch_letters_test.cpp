// quillpost-batch letter and letters: the letter table kept from the command
// line, and a letter printed to PDF and written as RTF for every record.

#include "letters_test_support.h"
#include "pdf_probe.h"
#include "support/peer_tools.h"

#include <QFile>
#include <gtest/gtest.h>

namespace qp::letters {
namespace {

std::string Batch(const std::string& args) {
    return std::string("QT_QPA_PLATFORM=offscreen ") + QP_BATCH_EXE + " " + args;
}

TEST(BatchLetters, KeepsLettersAndPrintsThem) {
    testing::TLettersHome home;
    {
        testing::TRecordValues mary{{"FNAME", "Mary"}, {"LNAME", "Smith"}, {"ZIP", "02101"}};
        store::Table t = home.MakeAddresses({testing::JohnJones(), mary});
    }
    const std::string rtf = home.Path("in.rtf").toStdString();
    {
        QFile f(QString::fromStdString(rtf));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Dear {\\b [First]},\\par "
                "Your ZIP is [Zip].\\par}");
    }
    auto r = testing::runCommand(Batch("letter new Offer --rtf " + testing::shellQuote(rtf)));
    ASSERT_EQ(r.status, 0) << r.output;
    r = testing::runCommand(Batch("letter list"));
    EXPECT_EQ(r.output, "Offer\n");

    const std::string address = testing::shellQuote(home.AddressPath());
    const QString pdf = home.Path("offer.pdf");
    r = testing::runCommand(Batch("letters " + address + " --letter offer --selection all --pdf " +
                                  testing::shellQuote(pdf.toStdString())));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("2 letter(s), 2 page(s) printed"), std::string::npos) << r.output;
    ASSERT_EQ(PdfPageCount(pdf), 2);
    const auto words = PdfWords(pdf);
    EXPECT_NE(FindWord(words, "John,", 1), nullptr);
    EXPECT_NE(FindWord(words, "02101.", 2), nullptr);

    const QString merged = home.Path("merged.rtf");
    r = testing::runCommand(Batch("letters " + address +
                                  " --letter Offer --selection all --copies 2 --rtf " +
                                  testing::shellQuote(merged.toStdString())));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("4 letter(s) written"), std::string::npos) << r.output;
    r = testing::runCommand(Batch("rtf text " + testing::shellQuote(merged.toStdString())));
    EXPECT_NE(r.output.find("Dear Mary,"), std::string::npos) << r.output;

    r = testing::runCommand(Batch("letters " + address + " --letter Nothing --pdf x.pdf"));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("There is no letter called \"Nothing\""), std::string::npos);

    const QString out = home.Path("out.rtf");
    r = testing::runCommand(Batch("letter export Offer " + testing::shellQuote(out.toStdString())));
    ASSERT_EQ(r.status, 0) << r.output;
    QFile exported(out);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_TRUE(exported.readAll().contains("[Zip]"));

    r = testing::runCommand(Batch("letter delete OFFER"));
    ASSERT_EQ(r.status, 0) << r.output;
    r = testing::runCommand(Batch("letter list"));
    EXPECT_EQ(r.output, "");
}

} // namespace
} // namespace qp::letters
