// Numbers written to tables, index keys and expressions keep a '.' decimal
// point when the process runs in a locale that writes ',' (the windows take
// the user's locale). Made with a German locale compiled for the test.

#include "store/number_text.h"
#include "store/table.h"
#include "support/peer_tools.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

using qp::store::Table;

class CommaLocale : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string folder = dir.file("locales");
        const auto made = qp::testing::runCommand("mkdir -p " + qp::testing::shellQuote(folder) +
                                                  " && localedef -i de_DE -f UTF-8 " +
                                                  qp::testing::shellQuote(folder + "/de_DE.UTF-8"));
        setenv("LOCPATH", folder.c_str(), 1);
        if (made.status != 0 || !std::setlocale(LC_ALL, "de_DE.UTF-8")) {
            unsetenv("LOCPATH");
            GTEST_SKIP() << "no German locale could be made: " << made.output;
        }
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 2.5);
        ASSERT_STREQ(probe, "2,5"); // the locale really writes ','
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        unsetenv("LOCPATH");
    }
    qp::testing::TempDir dir;
};

TEST_F(CommaLocale, NumericFieldsAndExpressionsKeepTheDecimalPoint) {
    const std::string path = dir.file("numbers.dbf");
    ASSERT_TRUE(Table::create(path, {{"WIDTH", 'N', 8, 3}, {"NAME", 'C', 10, 0}}).ok());
    auto t = Table::open(path, qp::store::OpenMode::Exclusive);
    ASSERT_TRUE(t) << t.error();
    ASSERT_TRUE(t->append().ok());
    ASSERT_TRUE(t->replaceNumber("WIDTH", 2.625).ok());
    ASSERT_TRUE(t->post().ok());
    EXPECT_EQ(t->getRaw(0), "   2.625");
    EXPECT_DOUBLE_EQ(t->getNumber("WIDTH").value_or(0), 2.625);
    auto str = t->evaluate("STR(WIDTH, 8, 2)");
    ASSERT_TRUE(str) << str.error();
    EXPECT_EQ(str->text, "    2.63");
    EXPECT_EQ(qp::store::fixedText(-0.5, 3), "-0.500");
    EXPECT_EQ(qp::store::generalText(1.25, 10), "1.25");
    EXPECT_DOUBLE_EQ(qp::store::parseNumber(" 8.5 ").value_or(0), 8.5);
    EXPECT_FALSE(qp::store::parseNumber("8,5"));
}

} // namespace
