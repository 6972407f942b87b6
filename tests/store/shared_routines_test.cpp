#include "store/shared_routines.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace qp::store;
using namespace std::chrono;

namespace {

class SharedRoutinesFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("qp_shared_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void write(const fs::path& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path dir_;
};

} // namespace

TEST(SharedRoutines, TrimOnlyRemovesSpaces) {
    EXPECT_EQ(TrimLeft("  a b  "), "a b  ");
    EXPECT_EQ(TrimRight("  a b  "), "  a b");
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("    "), "");
    EXPECT_EQ(Trim("\ta\t"), "\ta\t");
}

TEST(SharedRoutines, ParseEightDigitDateTakesExactlyEightDigitsOfARealDate) {
    auto d = ParseEightDigitDate("19970428");
    ASSERT_TRUE(d);
    EXPECT_EQ(*d, year(1997) / April / 28);
    EXPECT_TRUE(ParseEightDigitDate("20000229"));
    EXPECT_FALSE(ParseEightDigitDate("19000229")); // not a leap year
    EXPECT_FALSE(ParseEightDigitDate("19970431"));
    EXPECT_FALSE(ParseEightDigitDate("19971301"));
    EXPECT_FALSE(ParseEightDigitDate("1997042"));
    EXPECT_FALSE(ParseEightDigitDate("199704281"));
    EXPECT_FALSE(ParseEightDigitDate("1997"));
    EXPECT_FALSE(ParseEightDigitDate("1997-4-2"));
    EXPECT_FALSE(ParseEightDigitDate(" 9970428"));
    EXPECT_FALSE(ParseEightDigitDate("00000101"));
    EXPECT_FALSE(ParseEightDigitDate(""));
}

TEST(SharedRoutines, FormatDisplayDateFollowsThePattern) {
    EXPECT_EQ(FormatDisplayDate("19970428", "mm/dd/yyyy"), "04/28/1997");
    EXPECT_EQ(FormatDisplayDate("19970428", "dd.MM.yyyy"), "28.04.1997");
    EXPECT_EQ(FormatDisplayDate("19970408", "d/M/yy"), "8/4/97");
    EXPECT_EQ(FormatDisplayDate("19970408", "yyyy-MM-dd"), "1997-04-08");
    EXPECT_EQ(FormatDisplayDate("19970408", "d MMM yyyy"), "8 Apr 1997");
    EXPECT_EQ(FormatDisplayDate("19970408", "d'd' MMMM"), "8d April");
    EXPECT_EQ(FormatDisplayDate("1997", "mm/dd/yyyy"), "");
    EXPECT_EQ(FormatDisplayDate("", "mm/dd/yyyy"), "");
    EXPECT_EQ(FormatDisplayDate("19970230", "mm/dd/yyyy"), "");
}

TEST(SharedRoutines, NormalizeDateKeepsEightDigitsAndReadsTheShortFormat) {
    const year_month_day today = year(2024) / June / 15;
    EXPECT_EQ(NormalizeDate("", "mm/dd/yyyy", today), "");
    EXPECT_EQ(NormalizeDate("   ", "mm/dd/yyyy", today), "");
    EXPECT_EQ(NormalizeDate("19970428", "dd.MM.yyyy", today), "19970428");
    EXPECT_EQ(NormalizeDate("4/28/1997", "mm/dd/yyyy", today), "19970428");
    EXPECT_EQ(NormalizeDate("28.04.1997", "dd.MM.yyyy", today), "19970428");
    EXPECT_EQ(NormalizeDate("1997-04-28", "yyyy-MM-dd", today), "19970428");
    EXPECT_EQ(NormalizeDate("4/28", "mm/dd/yyyy", today), "20240428");
    EXPECT_EQ(NormalizeDate("4/28/97", "mm/dd/yyyy", today), "19970428");
    EXPECT_EQ(NormalizeDate("4/28/05", "mm/dd/yyyy", today), "20050428");
    EXPECT_EQ(NormalizeDate("28/4/1997", "mm/dd/yyyy", today), "");
    EXPECT_EQ(NormalizeDate("1997042", "mm/dd/yyyy", today), "");
    EXPECT_EQ(NormalizeDate("hello", "mm/dd/yyyy", today), "");
}

TEST(SharedRoutines, ToBase36) {
    EXPECT_EQ(ToBase36(0), "");
    EXPECT_EQ(ToBase36(35), "Z");
    EXPECT_EQ(ToBase36(36), "10");
    EXPECT_EQ(ToBase36(36ull * 36 * 36 * 36 * 36 * 36 - 1), "ZZZZZZ");
}

TEST(SharedRoutines, NewTagStampFromDateAndTime) {
    EXPECT_EQ(NewTagStamp({1997, 4, 28, 13, 45, 10}), "272WEPA");
    // Two base-36 year digits from 2031 on: eight characters.
    EXPECT_EQ(NewTagStamp({2031, 1, 1, 0, 0, 0}), "101O4S3K");
    std::string now = NewTagStamp();
    EXPECT_GE(now.size(), 7u);
    EXPECT_LE(now.size(), 8u);
}

TEST(SharedRoutines, DesignUnitsAre96PerInchTruncated) {
    EXPECT_EQ(ThousandthsFromPixels(96), 1000);
    EXPECT_EQ(ThousandthsFromPixels(1), 10);
    EXPECT_EQ(ThousandthsFromPixels(-1), -10);
    EXPECT_EQ(PixelsFromThousandths(1000), 96);
    EXPECT_EQ(PixelsFromThousandths(250), 24);
    EXPECT_EQ(PixelsFromThousandths(10), 0);
    EXPECT_EQ(PixelsFromThousandths(-250), -24);
    EXPECT_DOUBLE_EQ(InchesFromPixels(48), 0.5);
}

TEST_F(SharedRoutinesFiles, ProgramFolderComesFromTheEnvironment) {
    const char* saved = std::getenv("QUILLPOST_HOME");
    std::string keep = saved ? saved : "";
    ::setenv("QUILLPOST_HOME", dir_.c_str(), 1);
    EXPECT_EQ(ProgramFolder(), dir_.string() + "/");
    fs::create_directories(dir_ / "SYSDATA");
    fs::create_directories(dir_ / "data");
    write(dir_ / "quillp.INI", "");
    EXPECT_EQ(SysdataFolder(), dir_ / "SYSDATA");
    EXPECT_EQ(DataFolder(), dir_ / "data");
    EXPECT_EQ(SettingsPath(), (dir_ / "quillp.INI").string());
    ::setenv("QUILLPOST_HOME", "", 1);
    EXPECT_NE(ProgramFolder().find("/.local/share/Quillpost/"), std::string::npos);
    if (saved)
        ::setenv("QUILLPOST_HOME", keep.c_str(), 1);
    else
        ::unsetenv("QUILLPOST_HOME");
}

TEST_F(SharedRoutinesFiles, ResolveCaseInsensitivePrefersExactAndKeepsMissingNames) {
    fs::create_directories(dir_ / "SysData");
    write(dir_ / "SysData" / "csz.dbf", "x");
    EXPECT_EQ(resolveCaseInsensitive(dir_, "sysdata/CSZ.DBF"), dir_ / "SysData" / "csz.dbf");
    EXPECT_EQ(resolveCaseInsensitive(dir_, "sysdata/LETTER.DBF"), dir_ / "SysData" / "LETTER.DBF");
    EXPECT_EQ(resolveCaseInsensitive(dir_, "DATA/add0001.DBF"), dir_ / "DATA" / "add0001.DBF");
    write(dir_ / "SysData" / "CSZ.DBF", "y");
    EXPECT_EQ(resolveCaseInsensitive(dir_, "SysData/CSZ.DBF"), dir_ / "SysData" / "CSZ.DBF");
}

TEST_F(SharedRoutinesFiles, CopyFileCopiesInBlocks) {
    std::string big(5000, 'a');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = char(i % 251);
    write(dir_ / "from.bin", big);
    write(dir_ / "to.bin", "old content that is longer than nothing");
    ASSERT_TRUE(CopyFile(dir_ / "from.bin", dir_ / "to.bin").ok());
    EXPECT_EQ(read(dir_ / "to.bin"), big);
    write(dir_ / "empty", "");
    ASSERT_TRUE(CopyFile(dir_ / "empty", dir_ / "to.bin").ok());
    EXPECT_EQ(read(dir_ / "to.bin"), "");
}

TEST_F(SharedRoutinesFiles, CopyFileRefusesTheSameFileUnderAnySpelling) {
    fs::create_directories(dir_ / "sub");
    write(dir_ / "a.txt", "keep me");
    fs::create_symlink(dir_ / "a.txt", dir_ / "link.txt");
    fs::create_hard_link(dir_ / "a.txt", dir_ / "hard.txt");
    for (const fs::path& same :
         {dir_ / "a.txt", dir_ / "." / "a.txt", dir_ / "sub" / ".." / "a.txt", dir_ / "link.txt",
          dir_ / "hard.txt"}) {
        EXPECT_FALSE(CopyFile(dir_ / "a.txt", same).ok()) << same;
        EXPECT_FALSE(CopyFile(same, dir_ / "a.txt").ok()) << same;
        EXPECT_EQ(read(dir_ / "a.txt"), "keep me");
    }
}

TEST_F(SharedRoutinesFiles, CopyFileReportsFailures) {
    EXPECT_FALSE(CopyFile(dir_ / "missing", dir_ / "to").ok());
    EXPECT_FALSE(fs::exists(dir_ / "to"));
    write(dir_ / "a", "x");
    EXPECT_FALSE(CopyFile(dir_ / "a", dir_ / "no" / "such" / "folder").ok());
    EXPECT_FALSE(CopyFile(dir_, dir_ / "b").ok());
    if (fs::exists("/dev/full")) {
        EXPECT_FALSE(CopyFile(dir_ / "a", "/dev/full").ok());
    }
}
