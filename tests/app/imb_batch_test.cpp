// quillpost-batch imb: the bars as letters, and refusals with their reason.

#include "support/peer_tools.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

using namespace qp::testing;

namespace {

CommandOutput runImb(const std::string& arguments) {
    TempDir home;
    return runCommand("QUILLPOST_HOME=" + shellQuote(home.path().string()) + " " +
                      shellQuote(QP_BATCH_EXE) + " imb " + arguments);
}

} // namespace

TEST(ImbBatch, PrintsTheBarsAndRefusesBadCodes) {
    auto full = runImb("01234567094987654321 01234567891");
    EXPECT_EQ(full.status, 0);
    EXPECT_EQ(full.output, "AADTFFDFTDADTAADAATFDTDDAAADDTDTTDAFADADDDTFFFDDTTTADFAAADFTDAADA\n");
    auto bare = runImb("01234567094987654321");
    EXPECT_EQ(bare.status, 0);
    EXPECT_EQ(bare.output, "ATTFATTDTTADTAATTDTDTATTDAFDDFADFDFTFFFFFTATFAAAATDFFTDAADFTFDTDT\n");

    auto badId = runImb("05234567094987654321 12345");
    EXPECT_EQ(badId.status, 1);
    EXPECT_NE(badId.output.find("must be 0 to 4"), std::string::npos) << badId.output;
    auto badZip = runImb("01234567094987654321 1234A");
    EXPECT_EQ(badZip.status, 1);
    EXPECT_NE(badZip.output.find("only digits"), std::string::npos) << badZip.output;
    EXPECT_EQ(runImb("").status, 2);
    EXPECT_EQ(runImb("1 2 3").status, 2);
}
