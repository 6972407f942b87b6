// Rules behind the new-database, field-length, filter, Getting Started,
// preferences, New Record and date selector windows.

#include "addressbook/date_selector_rules.h"
#include "addressbook/filter_window_rules.h"
#include "addressbook/getting_started_rules.h"
#include "addressbook/new_database_rules.h"
#include "addressbook/new_record_rules.h"
#include "addressbook/preferences_rules.h"
#include "store/settings_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using namespace qp::addressbook;
using namespace std::chrono;

namespace {

class TempFolder {
public:
    TempFolder() {
        path_ = fs::temp_directory_path() /
                ("qp_rules_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }
    void touch(const std::string& name) const { std::ofstream(path_ / name) << "x"; }

private:
    fs::path path_;
};

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

// ---- New database name ----

TEST(DatabaseName, LetterOrUnderscoreFirstThenLettersDigitsUnderscores) {
    EXPECT_TRUE(IsValidDatabaseName("ADD0001"));
    EXPECT_TRUE(IsValidDatabaseName("_"));
    EXPECT_TRUE(IsValidDatabaseName("my_list"));
    EXPECT_TRUE(IsValidDatabaseName("A_B_c"));
    EXPECT_FALSE(IsValidDatabaseName(""));
    EXPECT_FALSE(IsValidDatabaseName("1ABC"));
    EXPECT_FALSE(IsValidDatabaseName("A-B"));
    EXPECT_FALSE(IsValidDatabaseName("A.B"));
    EXPECT_FALSE(IsValidDatabaseName("A B"));
    EXPECT_FALSE(IsValidDatabaseName(" A"));
    EXPECT_FALSE(IsValidDatabaseName("\xc3\x84pfel")); // a letter outside A..Z
}

TEST(DatabaseName, FirstFreeSkipsExistingFilesWhateverTheirCase) {
    TempFolder data;
    EXPECT_EQ(FirstFreeDatabaseName(data.path()), "ADD0001");
    data.touch("add0001.DBF"); // the default file's own spelling
    data.touch("ADD0002.dbf");
    EXPECT_EQ(FirstFreeDatabaseName(data.path()), "ADD0003");
    data.touch("ADD0004.DBF"); // a gap is used before later numbers
    EXPECT_EQ(FirstFreeDatabaseName(data.path()), "ADD0003");
}

TEST(DatabaseName, ExistsIgnoresCaseAndPathIsInTheDataFolder) {
    TempFolder data;
    data.touch("Clients.DBF");
    EXPECT_TRUE(DatabaseFileExists(data.path(), "CLIENTS"));
    EXPECT_TRUE(DatabaseFileExists(data.path(), "clients"));
    EXPECT_FALSE(DatabaseFileExists(data.path(), "CLIENT"));
    EXPECT_EQ(DatabasePath(data.path(), "NEWLIST"), data.path() / "NEWLIST.DBF");
}

// ---- Field lengths ----

TEST(FieldLengthBox, AcceptsTenToEightyOnly) {
    EXPECT_FALSE(ParseFieldLengthBox("9"));
    EXPECT_EQ(ParseFieldLengthBox("10"), 10);
    EXPECT_EQ(ParseFieldLengthBox("80"), 80);
    EXPECT_FALSE(ParseFieldLengthBox("81"));
    EXPECT_FALSE(ParseFieldLengthBox("5")); // valid in the settings file, not in the box
    EXPECT_EQ(ParseFieldLengthBox(" 25 "), 25);
    EXPECT_FALSE(ParseFieldLengthBox(""));
    EXPECT_FALSE(ParseFieldLengthBox("2x"));
    EXPECT_FALSE(ParseFieldLengthBox("-20"));
    EXPECT_FALSE(ParseFieldLengthBox("20.5"));
    EXPECT_FALSE(ParseFieldLengthBox("0x14"));
}

TEST(FieldLengthBox, EveryVariableFieldHasOneBoxAndReachesCreation) {
    std::set<std::string> boxes;
    for (const auto& b : kFieldLengthBoxes)
        boxes.insert(b.field);
    ASSERT_EQ(boxes.size(), qp::store::kNewFileFieldLengths.size());
    for (const auto& f : qp::store::kNewFileFieldLengths)
        EXPECT_TRUE(boxes.count(f.field)) << f.field;

    auto lengths = qp::store::NewFileFieldLengths::absentDefaults();
    ASSERT_TRUE(lengths.set("ZIP", 12));
    qp::store::FieldLengths created = ToFieldLengths(lengths);
    EXPECT_EQ(created.size(), 18u);
    EXPECT_EQ(created.at("ZIP"), 12);
    EXPECT_EQ(created.at("FAX"), 40);
    EXPECT_EQ(ToFieldLengths(qp::store::NewFileFieldLengths::buttonDefaults()).at("FAX"), 30);
}

// ---- Filter window and filter files ----

TEST(FilterWindowRules, MatchLine) {
    EXPECT_EQ(FilterMatchText(0), "No filter set");
    EXPECT_EQ(FilterMatchText(1), "1 matches");
    EXPECT_EQ(FilterMatchText(1234), "1234 matches");
}

TEST(FilterWindowRules, OneBoxPerCriterionWithDistinctNames) {
    std::set<std::size_t> fields;
    std::set<std::string> names;
    for (const auto& b : kFilterBoxes) {
        fields.insert(std::size_t(b.field));
        names.insert(b.objectName);
    }
    EXPECT_EQ(fields.size(), qp::store::kFilterFieldCount);
    EXPECT_EQ(names.size(), qp::store::kFilterFieldCount);
    EXPECT_STREQ(FilterBoxFor(qp::store::FilterField::City).objectName, "qCity");
    EXPECT_STREQ(FilterBoxFor(qp::store::FilterField::Phone2).label, "Phone 2");
}

TEST(SaveFilterName, FltExtensionKeptInAnyCase) {
    EXPECT_EQ(*CheckSaveFilterName("/home/u/names.FLT").path, fs::path("/home/u/names.FLT"));
    EXPECT_EQ(*CheckSaveFilterName("/home/u/names.flt").path, fs::path("/home/u/names.flt"));
    EXPECT_EQ(*CheckSaveFilterName("/home/u/names.Flt").path, fs::path("/home/u/names.Flt"));
}

TEST(SaveFilterName, NoExtensionGetsFltAppended) {
    SaveFilterName n = CheckSaveFilterName("/home/u/names");
    ASSERT_TRUE(n.path);
    EXPECT_EQ(*n.path, fs::path("/home/u/names.FLT"));
}

TEST(SaveFilterName, OtherExtensionIsRefused) {
    for (const char* name : {"/home/u/names.txt", "/home/u/names.", "/home/u/a.FLT.bak"}) {
        SaveFilterName n = CheckSaveFilterName(name);
        EXPECT_FALSE(n.path) << name;
        EXPECT_EQ(n.message, "Must have a .FLT extension") << name;
    }
}

TEST(SaveFilterName, DotInFolderNameDoesNotBlockSaving) {
    SaveFilterName n = CheckSaveFilterName("/home/u/my.lists/names");
    ASSERT_TRUE(n.path) << n.message;
    EXPECT_EQ(*n.path, fs::path("/home/u/my.lists/names.FLT"));
    EXPECT_TRUE(CheckSaveFilterName("/home/u/my.FLT/names").path);
}

TEST(SaveFilterName, OverwriteQuestion) {
    EXPECT_EQ(OverwriteFilterQuestion("/a/b.FLT"),
              "/a/b.FLT already exists.\r\nDo you want to overwrite it?");
    EXPECT_EQ(kOverwriteFilterTitle, "Warning!");
}

TEST(RestoreFilterName, OnlyFltFilesInAnyCase) {
    EXPECT_EQ(CheckRestoreFilterName("/a/b.FLT"), "");
    EXPECT_EQ(CheckRestoreFilterName("/a/b.flt"), "");
    EXPECT_EQ(CheckRestoreFilterName("/a/b.txt"), "Must be a Filter (.FLT) file");
    EXPECT_EQ(CheckRestoreFilterName("/a/b"), "Must be a Filter (.FLT) file");
    EXPECT_EQ(CheckRestoreFilterName("/a/c.flt/b"), "Must be a Filter (.FLT) file");
}

// ---- Getting Started links ----

TEST(GettingStartedLinks, TopicsByTextIgnoringCase) {
    EXPECT_EQ(HelpContextForLink("new"), 1037);
    EXPECT_EQ(HelpContextForLink("dBase"), 1021);
    EXPECT_EQ(HelpContextForLink("ASCII"), 1023);
    EXPECT_EQ(HelpContextForLink("add"), 1030);
    EXPECT_EQ(HelpContextForLink("Change"), 1030);
    EXPECT_EQ(HelpContextForLink("delete"), 2099);
    EXPECT_EQ(HelpContextForLink("Frequently Asked Questions"), 2098);
    EXPECT_EQ(HelpContextForLink("find"), 1026);
    EXPECT_EQ(HelpContextForLink("technical support"), 1015);
    EXPECT_FALSE(HelpContextForLink("news"));
    EXPECT_FALSE(HelpContextForLink(""));
    EXPECT_FALSE(HelpContextForLink("Frequently  Asked Questions"));
}

// ---- Preferences ----

TEST(PreferenceSwitches, TwentyEightDistinctKeysAndSettings) {
    std::set<std::string_view> keys;
    int perGroup[3] = {};
    for (const auto& s : kPreferenceSwitches) {
        keys.insert(s.key);
        ++perGroup[int(s.group)];
    }
    EXPECT_EQ(keys.size(), 28u);
    EXPECT_EQ(perGroup[int(PreferenceGroup::Automatic)], 3);
    EXPECT_EQ(perGroup[int(PreferenceGroup::Carry)], 7);
    EXPECT_EQ(perGroup[int(PreferenceGroup::Skip)], 18);
}

TEST(PreferenceSwitches, EachSwitchAloneRoundTripsUnderItsOwnKey) {
    TempFolder folder;
    for (const auto& s : kPreferenceSwitches) {
        fs::path ini = folder.path() / "QUILLP.ini";
        fs::remove(ini);
        qp::store::SettingsFile settings(ini);
        qp::store::AddingPreferences prefs;
        prefs.*(s.member) = true;
        ASSERT_TRUE(qp::store::WriteAddingPreferences(settings, prefs));
        // The key the window labels is the one set in the file.
        EXPECT_NE(readAll(ini).find(std::string(s.key) + "=1"), std::string::npos) << s.key;
        EXPECT_EQ(qp::store::ReadAddingPreferences(settings), prefs) << s.key;
    }
}

TEST(PreferenceSwitches, MissingSectionMeansAllOff) {
    TempFolder folder;
    qp::store::SettingsFile settings(folder.path() / "QUILLP.ini");
    EXPECT_EQ(qp::store::ReadAddingPreferences(settings), qp::store::AddingPreferences{});
}

// ---- New Record ----

TEST(NewRecordRules, AskedBoxesFollowThePreferences) {
    qp::store::AddingPreferences prefs;
    EXPECT_FALSE(NewRecordDialogNeeded(prefs));
    prefs.autoDupCheck = true;
    EXPECT_TRUE(NewRecordDialogNeeded(prefs));
    NewRecordOptions names = NewRecordOptionsFor(prefs, 20, 15, 9);
    EXPECT_TRUE(names.askNames);
    EXPECT_FALSE(names.askZip);
    EXPECT_EQ(names.lastNameWidth, 20);
    EXPECT_EQ(names.firstNameWidth, 15);
    EXPECT_EQ(names.zipWidth, 9);
    EXPECT_TRUE(TabOutOfFirstNameIsOk(names));

    prefs.plugCityState = true;
    NewRecordOptions both = NewRecordOptionsFor(prefs, 30, 30, 10);
    EXPECT_TRUE(both.askZip);
    EXPECT_FALSE(TabOutOfFirstNameIsOk(both));

    prefs.autoDupCheck = false;
    NewRecordOptions zipOnly = NewRecordOptionsFor(prefs, 30, 30, 10);
    EXPECT_FALSE(zipOnly.askNames);
    EXPECT_FALSE(TabOutOfFirstNameIsOk(zipOnly));
}

// ---- Date selector ----

TEST(DateSelectorRules, StartsAtTheStoredDateElseToday) {
    year_month_day today = 2026y / December / 9d;
    EXPECT_EQ(InitialSelectorDate("19970428", today), 1997y / April / 28d);
    EXPECT_EQ(InitialSelectorDate("", today), today);
    EXPECT_EQ(InitialSelectorDate("1997", today), today);
    EXPECT_EQ(InitialSelectorDate("19970231", today), today);
    EXPECT_EQ(InitialSelectorDate("1997042", today), today);
}

TEST(DateSelectorRules, MonthStepsClampToTheMonthsEnd) {
    EXPECT_EQ(AddMonthsClamped(2024y / January / 31d, 1), 2024y / February / 29d);
    EXPECT_EQ(AddMonthsClamped(2023y / January / 31d, 1), 2023y / February / 28d);
    EXPECT_EQ(AddMonthsClamped(1997y / December / 15d, 1), 1998y / January / 15d);
    EXPECT_EQ(AddMonthsClamped(1997y / January / 15d, -1), 1996y / December / 15d);
    EXPECT_EQ(AddMonthsClamped(1997y / March / 31d, -1), 1997y / February / 28d);
}

TEST(DateSelectorRules, YearStepsLeaveLeapDayOnFebruaryTheTwentyEighth) {
    EXPECT_EQ(AddYearsClamped(2024y / February / 29d, 1), 2025y / February / 28d);
    EXPECT_EQ(AddYearsClamped(2024y / February / 29d, 4), 2028y / February / 29d);
    EXPECT_EQ(AddYearsClamped(1997y / April / 28d, -1), 1996y / April / 28d);
    // The calendar's range ends at 9999.
    EXPECT_EQ(AddYearsClamped(9999y / June / 1d, 1), 9999y / June / 1d);
}
