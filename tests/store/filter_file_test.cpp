#include "store/filter_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace qp::store;
using F = FilterField;

TEST(FilterFile, TextHasTwentyCrLfLines) {
    FilterCriteria f;
    f[F::LastName] = "jo ";
    f[F::Codes] = "$C";
    f.tagged = true;
    EXPECT_EQ(FilterFileText(f), "jo \r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
                                 "$C\r\n\r\n\r\nT\r\nF\r\n");
}

TEST(FilterFile, ShortFilesArePaddedAndFlagsMustBeExactlyT) {
    FilterCriteria f = ParseFilterFileText("smith\r\n  \r\nboss\r\n");
    EXPECT_EQ(f[F::LastName], "smith");
    EXPECT_EQ(f[F::FirstName], "  ");
    EXPECT_EQ(f[F::Title], "boss");
    for (std::size_t i = 3; i < kFilterFieldCount; ++i)
        EXPECT_EQ(f.criteria[i], "");
    EXPECT_FALSE(f.tagged);
    EXPECT_FALSE(f.reverse);

    std::string lines(18 * 2, '\n');
    EXPECT_TRUE(ParseFilterFileText(std::string(18, '\n') + "T\nT").tagged);
    EXPECT_TRUE(ParseFilterFileText(std::string(18, '\n') + "T\nT").reverse);
    EXPECT_FALSE(ParseFilterFileText(std::string(18, '\n') + "t\r\nTRUE\r\n").tagged);
    EXPECT_FALSE(ParseFilterFileText(std::string(18, '\n') + "t\r\nTRUE\r\n").reverse);
    EXPECT_FALSE(ParseFilterFileText(std::string(18, '\n') + "T \r\n").tagged);
    EXPECT_EQ(ParseFilterFileText(""), FilterCriteria{});
}

TEST(FilterFile, SaveAndRestoreRoundTrip) {
    fs::path path =
        fs::temp_directory_path() / ("qp_filter_" + std::to_string(::getpid()) + ".FLT");
    FilterCriteria f;
    for (std::size_t i = 0; i < kFilterFieldCount; ++i)
        f.criteria[i] = i % 3 ? "" : " v" + std::to_string(i) + "; x\"'[ ";
    f.reverse = true;
    ASSERT_TRUE(SaveFilterTo(path, f).ok());
    auto back = ReadFilterFrom(path);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(*back, f);
    fs::remove(path);

    EXPECT_FALSE(ReadFilterFrom(path).ok());
    f[F::City] = "two\nlines";
    EXPECT_FALSE(SaveFilterTo(path, f).ok());
    EXPECT_FALSE(SaveFilterTo(fs::path("/nonexistent_dir/x.FLT"), FilterCriteria{}).ok());
}
