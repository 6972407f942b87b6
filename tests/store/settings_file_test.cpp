#include "store/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace qp::store;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("qp_settings_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path ini() const { return dir_ / "QUILLP.ini"; }
    void write(const std::string& text) { std::ofstream(ini(), std::ios::binary) << text; }
    std::string read() const {
        std::ifstream in(ini(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path dir_;
};

} // namespace

TEST(SettingsIniInteger, DecimalHexAndGarbage) {
    EXPECT_EQ(parseIniInteger("12"), 12);
    EXPECT_EQ(parseIniInteger("-7"), -7);
    EXPECT_EQ(parseIniInteger("0x0C"), 12);
    EXPECT_EQ(parseIniInteger("0XfF"), 255);
    EXPECT_EQ(parseIniInteger("0xFFFFFFFF"), -1);
    EXPECT_FALSE(parseIniInteger("0x"));
    EXPECT_FALSE(parseIniInteger("0x1G"));
    EXPECT_FALSE(parseIniInteger("0x100000000"));
    EXPECT_FALSE(parseIniInteger("12a"));
    EXPECT_FALSE(parseIniInteger(""));
    EXPECT_FALSE(parseIniInteger("-"));
    EXPECT_FALSE(parseIniInteger("99999999999"));
    EXPECT_EQ(parseIniInteger("2147483647"), 2147483647);
    EXPECT_EQ(parseIniInteger("-2147483648"), -2147483647 - 1);
}

TEST_F(SettingsFileTest, MissingFileGivesEveryDefault) {
    SettingsFile s(ini());
    EXPECT_EQ(s.readString("Misc", "X", "dflt"), "dflt");
    EXPECT_EQ(s.readInteger("Misc", "X", 42), 42);
    EXPECT_TRUE(s.readBool("Misc", "X", true));
    EXPECT_FALSE(s.sectionExists("Misc"));
    EXPECT_EQ(ReadNewFileFieldLengths(s).lengths, NewFileFieldLengths::absentDefaults().lengths);
    EXPECT_EQ(ReadAddingPreferences(s), AddingPreferences{});
    EXPECT_TRUE(ReadMruList(s).empty());
    EXPECT_FALSE(fs::exists(ini()));
}

TEST_F(SettingsFileTest, ReadingRules) {
    write("; comment\r\n[misc]\r\n  GettingStarted = 1 \r\nBad=abc\r\nHex=0x10\r\nZero=0\r\n"
          "Quoted=\"  padded \"\r\nSingle='x'\r\nDup=first\r\nDup=second\r\n[Other]\r\nK=v\r\n");
    SettingsFile s(ini());
    EXPECT_TRUE(s.readBool("Misc", "gettingstarted", false));
    EXPECT_EQ(s.readInteger("MISC", "Bad", 5), 5);
    EXPECT_TRUE(s.readBool("Misc", "Bad", true));
    EXPECT_EQ(s.readInteger("Misc", "Hex", 0), 16);
    EXPECT_FALSE(s.readBool("Misc", "Zero", true));
    EXPECT_EQ(s.readString("Misc", "Quoted", ""), "  padded ");
    EXPECT_EQ(s.readString("Misc", "Single", ""), "x");
    EXPECT_EQ(s.readString("Misc", "Dup", ""), "first");
    EXPECT_EQ(s.readString("Misc", "K", "none"), "none");
    EXPECT_EQ(s.readString("Other", "K", ""), "v");
}

TEST_F(SettingsFileTest, WritingKeepsOtherLinesAndUsesCrLf) {
    write("; keep this\n[A]\nx=1\n\n[B]\ny=2\n");
    SettingsFile s(ini());
    ASSERT_TRUE(s.writeInteger("A", "z", 3).ok());
    ASSERT_TRUE(s.writeString("b", "Y", "two").ok());
    ASSERT_TRUE(s.writeBool("New Section", "flag", true).ok());
    EXPECT_EQ(read(), "; keep this\r\n[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\nY=two\r\n"
                      "[New Section]\r\nflag=1\r\n");
    ASSERT_TRUE(s.eraseKey("A", "x").ok());
    ASSERT_TRUE(s.eraseSection("B").ok());
    EXPECT_EQ(read(), "; keep this\r\n[A]\r\nz=3\r\n\r\n[New Section]\r\nflag=1\r\n");
}

TEST_F(SettingsFileTest, StringsRoundTripExactly) {
    SettingsFile s(ini());
    for (std::string value : {"", "plain", "  lead and trail  ", "\"quoted\"", "'single'", "a=b;c",
                              "C:\\path\\file.DBF", "/home/u/DATA/add0001.DBF", "ü€"}) {
        ASSERT_TRUE(s.writeString("MRU", "Item1", value).ok());
        EXPECT_EQ(s.readString("MRU", "Item1", "default"), value);
    }
    EXPECT_FALSE(s.writeString("MRU", "Item1", "two\r\nlines").ok());
    EXPECT_FALSE(s.writeString("MRU", "Bad=Key", "v").ok());
    EXPECT_FALSE(s.writeString("Bad]", "Key", "v").ok());
}

TEST_F(SettingsFileTest, NewFileFieldLengthsDefaultsRangeAndHex) {
    write("[NewFileFieldLengths]\r\nFieldZIP=0x0C\r\nFieldLNAME=4\r\nFieldFNAME=81\r\n"
          "FieldCITY=5\r\nFieldSTATE=80\r\n");
    SettingsFile s(ini());
    NewFileFieldLengths lengths = ReadNewFileFieldLengths(s);
    EXPECT_EQ(lengths.lengthOf("ZIP"), 12);
    EXPECT_EQ(lengths.lengthOf("LNAME"), 30);
    EXPECT_EQ(lengths.lengthOf("FNAME"), 30);
    EXPECT_EQ(lengths.lengthOf("CITY"), 5);
    EXPECT_EQ(lengths.lengthOf("STATE"), 80);
    EXPECT_EQ(lengths.lengthOf("FAX"), 40);
    EXPECT_EQ(NewFileFieldLengths::buttonDefaults().lengthOf("FAX"), 30);
    EXPECT_EQ(lengths.lengthOf("MIDDLE"), 0);

    lengths.set("EMAIL", 3);
    lengths.set("USER2", 77);
    ASSERT_TRUE(WriteNewFileFieldLengths(s, lengths).ok());
    EXPECT_EQ(s.readInteger("NewFileFieldLengths", "FieldEMAIL", 0), 40);
    EXPECT_EQ(s.readInteger("NewFileFieldLengths", "FieldZIP", 0), 12);
    NewFileFieldLengths back = ReadNewFileFieldLengths(s);
    EXPECT_EQ(back.lengthOf("USER2"), 77);
    EXPECT_EQ(back.lengthOf("EMAIL"), 40);
}

TEST_F(SettingsFileTest, TypedSectionsRoundTrip) {
    SettingsFile s(ini());
    AddingPreferences prefs;
    prefs.skipFirstName = true;
    prefs.skipComments2 = true;
    prefs.carrySA1 = true;
    prefs.defaultCountry = "Canada";
    ASSERT_TRUE(WriteAddingPreferences(s, prefs).ok());
    EXPECT_EQ(ReadAddingPreferences(s), prefs);
    // Key names keep their exact letter case.
    EXPECT_NE(read().find("SkipfirstName=1\r\n"), std::string::npos);
    EXPECT_NE(read().find("Skipcomments2=1\r\n"), std::string::npos);
    EXPECT_NE(read().find("Skiptitle=0\r\n"), std::string::npos);

    DialingSettings dialing{"9", "&F", 2, 1};
    ASSERT_TRUE(WriteDialingSettings(s, dialing).ok());
    EXPECT_EQ(ReadDialingSettings(s), dialing);

    EXPECT_EQ(ReadDesignFont(s, "Label"), DesignFontSettings{});
    DesignFontSettings font{"Times New Roman", 12, true, false};
    ASSERT_TRUE(WriteDesignFont(s, "Letter", font).ok());
    EXPECT_EQ(ReadDesignFont(s, "Letter"), font);
    EXPECT_EQ(ReadDesignFont(s, "Label"), DesignFontSettings{});

    EXPECT_EQ(ReadEnvelopeFeed(s), EnvelopeFeedSettings{});
    EnvelopeFeedSettings feed{0, 0, 1, true};
    ASSERT_TRUE(WriteEnvelopeFeed(s, feed).ok());
    EXPECT_EQ(ReadEnvelopeFeed(s), feed);

    EXPECT_FALSE(ReadGettingStartedOff(s));
    ASSERT_TRUE(WriteGettingStartedOff(s, true).ok());
    EXPECT_TRUE(ReadGettingStartedOff(s));
}

TEST_F(SettingsFileTest, MruSkipsBlanksAndMovesToFront) {
    write("[MRU]\r\nItem1=\r\nItem2=/a.DBF\r\nItem3=  \r\nItem4=/b.DBF\r\n");
    SettingsFile s(ini());
    EXPECT_EQ(ReadMruList(s), (std::vector<std::string>{"/a.DBF", "/b.DBF"}));
    std::vector<std::string> list{"/1", "/2", "/3", "/4"};
    EXPECT_EQ(MruListWithFirst(list, "/5"), (std::vector<std::string>{"/5", "/1", "/2", "/3"}));
    EXPECT_EQ(MruListWithFirst(list, "/2"), (std::vector<std::string>{"/2", "/1", "/3", "/4"}));
    ASSERT_TRUE(WriteMruList(s, {"/x"}).ok());
    EXPECT_EQ(ReadMruList(s), (std::vector<std::string>{"/x"}));
    EXPECT_EQ(s.readString("MRU", "Item2", "?"), "");
}

TEST_F(SettingsFileTest, TagIdIsMadeOnceAndKept) {
    SettingsFile s(ini());
    std::string first = LoadGlobalTagId(s);
    EXPECT_GE(first.size(), 7u);
    EXPECT_EQ(s.readString("Misc", "GlobalTagId", ""), first);
    ASSERT_TRUE(WriteGlobalTagId(s, "ABC1234").ok());
    EXPECT_EQ(LoadGlobalTagId(s), "ABC1234");
    ASSERT_TRUE(WriteGlobalTagId(s, "").ok());
    EXPECT_FALSE(LoadGlobalTagId(s).empty());
}

// Reading the tag identifier at every start must not rewrite the file: the
// same value stored again leaves it byte for byte, on the same inode.
TEST_F(SettingsFileTest, TheSameValueAgainLeavesTheFileAsItIs) {
    write("[Misc]\nGlobalTagId=ABC1234\n");
    struct stat before {};
    ASSERT_EQ(::stat(ini().c_str(), &before), 0);
    SettingsFile s(ini());
    EXPECT_EQ(LoadGlobalTagId(s), "ABC1234");
    ASSERT_TRUE(s.writeString("misc", "GlobalTagId", "ABC1234").ok());
    struct stat after {};
    ASSERT_EQ(::stat(ini().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(read(), "[Misc]\nGlobalTagId=ABC1234\n");
    ASSERT_TRUE(s.writeString("Misc", "GlobalTagId", "XYZ9876").ok());
    EXPECT_EQ(read(), "[Misc]\r\nGlobalTagId=XYZ9876\r\n");
}

TEST_F(SettingsFileTest, WindowPlacement) {
    EXPECT_EQ(PlacementSectionName("TAddressMain", 96), "TAddressMain_Placement");
    EXPECT_EQ(PlacementSectionName("TAddressMain", 120), "TAddressMain_Placement120");
    SettingsFile s(ini());
    EXPECT_TRUE(ReadWindowPlacement(s, "TAddressMain_Placement", true).maximized);
    WindowPlacement p{100, 50, 2000, 700, false};
    ASSERT_TRUE(WriteWindowPlacement(s, "TAddressMain_Placement", p).ok());
    EXPECT_EQ(ReadWindowPlacement(s, "TAddressMain_Placement", true), p);
    EXPECT_EQ(ReadWindowPlacement(s, "TAddressMain_Placement120", false), WindowPlacement{});
    WindowPlacement fitted = FitPlacementToScreen(p, 1024, 768);
    EXPECT_EQ(fitted.right, 1024);
    EXPECT_EQ(fitted.right - fitted.left, p.right - p.left);
    EXPECT_EQ(fitted.bottom, 700);
    fitted = FitPlacementToScreen({0, 500, 400, 900, false}, 1024, 768);
    EXPECT_EQ(fitted.top, 368);
    EXPECT_EQ(fitted.bottom, 768);
}
