// Design lengths: every unit converted through design pixels at 96 per inch.
#include "design/design_units.h"

#include <gtest/gtest.h>

using namespace qp::design;

TEST(DesignLength, ConvertsThroughNinetySixPerInch) {
    EXPECT_EQ(PixelsPerInch, 96);
    EXPECT_DOUBLE_EQ(TDesignLength::FromInches(2.5).Pixels(), 240);
    EXPECT_DOUBLE_EQ(TDesignLength::FromPixels(48).Inches(), 0.5);
    EXPECT_DOUBLE_EQ(TDesignLength::FromTwips(1440).Pixels(), 96);
    EXPECT_DOUBLE_EQ(TDesignLength::FromPixels(96).Twips(), 1440);
    EXPECT_DOUBLE_EQ(TDesignLength::FromThousandths(1000).Pixels(), 96);
    EXPECT_EQ(TDesignLength::FromPixels(95).Thousandths(), 989); // truncated
    EXPECT_EQ(TDesignLength::FromThousandths(999).Pixels(), 95);
    EXPECT_DOUBLE_EQ(InchesAt(0.25, 96), 1.25);
}

TEST(DesignLength, StockSizesRoundHalvesToEven) {
    EXPECT_EQ(PanelPixelsForInches(2.625), 252);
    EXPECT_EQ(PanelPixelsForInches(1.5 / 96), 2); // 1.5 -> 2
    EXPECT_EQ(PanelPixelsForInches(2.5 / 96), 2); // 2.5 -> 2
    EXPECT_EQ(PanelPixelsForInches(3.5 / 96), 4); // 3.5 -> 4
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(Trunc(-2.7), -2);
}
