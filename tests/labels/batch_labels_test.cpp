#include "labels_test_support.h"
#include "store/address_file.h"
#include "support/peer_tools.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using qp::testing::runCommand;
using qp::testing::shellQuote;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

} // namespace

TEST(BatchLabels, PresortWritesTheList) {
    qp::testing::LabelsTempFolder folder;
    std::string file = folder.file("add0001.DBF");
    ASSERT_TRUE(qp::store::createAddressFile(file, {}));
    {
        auto t = qp::store::openAddressFile(file);
        ASSERT_TRUE(t) << t.error();
        for (int i = 0; i < 12; ++i) {
            ASSERT_TRUE(t->append());
            ASSERT_TRUE(t->replace("LNAME", "Name" + std::to_string(i)));
            ASSERT_TRUE(t->replace("ZIP", i < 10 ? "98101" : i == 10 ? "00012" : "ABCDE"));
            ASSERT_TRUE(t->post());
        }
    }
    std::string out = folder.file("PRESORT.PSL");
    auto r = runCommand(std::string(QP_BATCH_EXE) + " presort " + shellQuote(file) +
                        " --selection all --out " + shellQuote(out));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("1 selected records have no usable ZIP"), std::string::npos)
        << r.output;
    EXPECT_EQ(slurp(out), "** 5-digit 98101\r\n98101\r\n** Unknown\r\n00012\r\n");
}

TEST(BatchLabels, StockListsTheCatalogueWithItsFilter) {
    auto all = runCommand(std::string(QP_BATCH_EXE) + " label-stock");
    ASSERT_EQ(all.status, 0) << all.output;
    EXPECT_NE(all.output.find("Avery 5160  Address,1.000,2.625,3,10,0.500,0.188,2.750,1.000,"
                              "8.500,11.000,LTR"),
              std::string::npos);
    auto costar = runCommand(std::string(QP_BATCH_EXE) +
                             " label-stock --manufacturer 'Costar LabelPrinter' --product All");
    ASSERT_EQ(costar.status, 0) << costar.output;
    EXPECT_EQ(costar.output.find("Avery"), std::string::npos);
    EXPECT_NE(costar.output.find("COSTAR"), std::string::npos);
    auto bad = runCommand(std::string(QP_BATCH_EXE) + " label-stock --product Nothing");
    EXPECT_EQ(bad.status, 2);
}
