// The record maintenance tools and the two checks on real address files:
// replace, case conversion, deleting many records, duplicates, states and
// ZIP codes, and the scratch files they leave (none).

#include "addressbook/maintenance/case_conversion.h"
#include "addressbook/maintenance/delete_records.h"
#include "addressbook/maintenance/field_text.h"
#include "addressbook/maintenance/record_checks.h"
#include "addressbook/maintenance/search_replace.h"
#include "addressbook/maintenance/street_suffixes.h"
#include "addressbook/rebuild.h"
#include "store/address_file.h"
#include "store/system_tables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

using namespace qp;
using namespace qp::addressbook;

namespace {

struct Folder {
    std::filesystem::path path;
    Folder() {
        char name[] = "/tmp/qp-maint-XXXXXX";
        path = mkdtemp(name);
        setenv("QUILLPOST_HOME", path.c_str(), 1);
        std::filesystem::create_directories(path / "DATA");
        std::filesystem::create_directories(path / "sysdata");
    }
    ~Folder() {
        unsetenv("QUILLPOST_HOME");
        std::filesystem::remove_all(path);
    }
};

using Row = std::map<std::string, std::string>;

// An address file of `rows` (field name -> value); "*" in a row marks the
// record deleted.
store::Table addressFile(const Folder& folder, const std::vector<Row>& rows) {
    const std::string path = (folder.path / "DATA" / "ADDR.DBF").string();
    EXPECT_TRUE(store::createAddressFile(path, {}).ok());
    auto table = store::openAddressFile(path, store::OpenMode::Exclusive);
    EXPECT_TRUE(table.ok()) << table.error();
    for (const auto& row : rows) {
        EXPECT_TRUE(table->append().ok());
        for (const auto& [field, value] : row) {
            if (field != "*") {
                EXPECT_TRUE(table->replace(field, value).ok());
            }
        }
        EXPECT_TRUE(table->post().ok());
        if (row.count("*")) {
            EXPECT_TRUE(table->replaceLogical("ISDEL", true).ok());
            EXPECT_TRUE(table->post().ok());
            EXPECT_TRUE(table->deleteRecord().ok());
        }
    }
    EXPECT_TRUE(table->setQuery("!ISDEL").ok());
    table->first();
    return std::move(*table);
}

std::string valueOf(store::Table& t, std::uint32_t recno, const char* field) {
    t.setDeleted(false);
    EXPECT_TRUE(t.go(recno));
    std::string v = t.getString(field);
    t.setDeleted(true);
    return v;
}

ReplaceRequest replaceIn(const char* field, std::string find, std::string with) {
    ReplaceRequest r;
    r.target = *FindReplaceTarget(field);
    r.find = std::move(find);
    r.replacement = std::move(with);
    return r;
}

// Runs the count first, then the replace; both numbers must agree.
std::uint32_t replaceCounted(store::Table& t, const ReplaceRequest& r) {
    auto counted = RunReplace(t, r, true);
    EXPECT_TRUE(counted.ok()) << counted.error();
    auto done = RunReplace(t, r, false);
    EXPECT_TRUE(done.ok()) << done.error();
    EXPECT_EQ(*counted, *done);
    return *done;
}

} // namespace

TEST(SearchReplace, ConfirmationSpellsOutConditionAndAction) {
    ReplaceRequest r = replaceIn("Last Name", "JO", "SMITH");
    EXPECT_EQ(ReplaceConfirmation(r), "Find records where field Last Name\n"
                                      "exactly matches: \"JO\"  (case sensitive)\n"
                                      "and replace the entire field with \"SMITH\"");
    r.condition = FindCondition::Contains;
    r.caseSensitive = false;
    r.action = ReplaceAction::MatchingText;
    r.replacement.clear();
    EXPECT_EQ(ReplaceConfirmation(r), "Find records where field Last Name\n"
                                      "contains: \"JO\" (not case sensitive)\n"
                                      "and delete the matching text ");
    r.find.clear();
    r.action = ReplaceAction::WholeField;
    EXPECT_EQ(ReplaceConfirmation(r), "Find records where field Last Name\nis empty \n"
                                      "and delete the entire field ");
    EXPECT_EQ(WillChangeLine(57), "57 records will change.");
    EXPECT_EQ(WillChangeLine(1), "1 record will change.");
    EXPECT_EQ(FindReplaceTarget("zip")->field, "ZIP");
    EXPECT_EQ(FindReplaceTarget("Comment 2")->field, "USER2");
    EXPECT_EQ(FindReplaceTarget("Prefix"), nullptr); // not a replace target
}

TEST(SearchReplace, ConditionsAndTextReplacement) {
    EXPECT_TRUE(FieldMatches("JONES     ", "JO", FindCondition::ExactlyEqual, true));
    EXPECT_FALSE(FieldMatches("MAJOR     ", "JO", FindCondition::ExactlyEqual, true));
    EXPECT_TRUE(FieldMatches("MAJOR     ", "JO", FindCondition::Contains, true));
    EXPECT_FALSE(FieldMatches("major     ", "JO", FindCondition::Contains, true));
    EXPECT_TRUE(FieldMatches("major     ", "JO", FindCondition::Contains, false));
    EXPECT_TRUE(FieldMatches("          ", "", FindCondition::Contains, true));
    EXPECT_FALSE(FieldMatches("X         ", "", FindCondition::ExactlyEqual, true));
    EXPECT_EQ(ReplaceMatchingText("BANANA", "A", "AA", true), "BAANAANAA");
    EXPECT_EQ(ReplaceMatchingText("Banana", "AN", "x", false), "Bxxa");
    EXPECT_EQ(ReplaceMatchingText("Banana", "AN", "x", true), "Banana");
    EXPECT_EQ(ReplaceMatchingText(std::string(60, 'a'), "a", "b", true), std::string(60, 'b'));
    EXPECT_EQ(ReplaceMatchingText("", "", "NEW", true), "NEW");
}

TEST(SearchReplace, ExactlyEqualMeansBeginsWithAndTheCountSaysSo) {
    Folder f;
    auto t = addressFile(f, {{{"LNAME", "JONES"}},
                             {{"LNAME", "JOHNSON"}},
                             {{"LNAME", "JORDAN"}},
                             {{"LNAME", "MAJOR"}},
                             {{"LNAME", "JO"}}});
    EXPECT_EQ(replaceCounted(t, replaceIn("LNAME", "JO", "SMITH")), 4u);
    EXPECT_EQ(valueOf(t, 2, "LNAME"), "SMITH");
    EXPECT_EQ(valueOf(t, 4, "LNAME"), "MAJOR");
    auto r = replaceIn("LNAME", "JO", "XX");
    r.condition = FindCondition::Contains;
    EXPECT_EQ(replaceCounted(t, r), 1u);
    EXPECT_EQ(valueOf(t, 4, "LNAME"), "XX");
}

TEST(SearchReplace, PartialCaseInsensitiveAndCutToWidth) {
    Folder f;
    auto t = addressFile(f, {{{"LNAME", "banana"}, {"MIDDLE", "a"}}, {{"LNAME", "Cherry"}}});
    auto r = replaceIn("LNAME", "AN", "an-an-an-an-an-an-an");
    r.condition = FindCondition::Contains;
    r.caseSensitive = false;
    r.action = ReplaceAction::MatchingText;
    EXPECT_EQ(replaceCounted(t, r), 1u);
    // b + 2 x 20 characters + a = 42, cut to the field's 30.
    EXPECT_EQ(valueOf(t, 1, "LNAME"),
              ("b" + std::string("an-an-an-an-an-an-an") + "an-an-an-").substr(0, 30));
    auto m = replaceIn("MIDDLE", "a", "XYZ");
    m.action = ReplaceAction::MatchingText;
    EXPECT_EQ(replaceCounted(t, m), 1u);
    EXPECT_EQ(valueOf(t, 1, "MIDDLE"), "X");
}

TEST(SearchReplace, EmptyFindFillsBlankFieldsOnlyAndCountsThem) {
    Folder f;
    auto t =
        addressFile(f, {{{"LNAME", "A"}}, {{"LNAME", "B"}, {"CITY", "Rome"}}, {{"LNAME", "C"}}});
    auto whole = replaceIn("CITY", "", "");
    EXPECT_EQ(replaceCounted(t, whole), 2u); // blank stays blank, yet counted
    EXPECT_EQ(valueOf(t, 2, "CITY"), "Rome");
    auto partial = replaceIn("CITY", "", "Paris");
    partial.action = ReplaceAction::MatchingText;
    EXPECT_EQ(replaceCounted(t, partial), 2u);
    EXPECT_EQ(valueOf(t, 1, "CITY"), "Paris");
    EXPECT_EQ(valueOf(t, 2, "CITY"), "Rome");
    EXPECT_EQ(valueOf(t, 3, "CITY"), "Paris");
}

TEST(SearchReplace, QuotesAndDollarSignsMeanThemselves) {
    Folder f;
    auto t = addressFile(
        f, {{{"ORG", "O'Brien \"Bob\" & Sons"}}, {{"ORG", "Price $5"}}, {{"ORG", "Plain"}}});
    auto q = replaceIn("ORG", "O'Brien \"Bob\"", "O'Brien [Robert]");
    q.action = ReplaceAction::MatchingText;
    EXPECT_EQ(replaceCounted(t, q), 1u);
    EXPECT_EQ(valueOf(t, 1, "ORG"), "O'Brien [Robert] & Sons");
    auto d = replaceIn("ORG", "$5", "$6\"'");
    d.condition = FindCondition::Contains;
    d.action = ReplaceAction::MatchingText;
    EXPECT_EQ(replaceCounted(t, d), 1u);
    EXPECT_EQ(valueOf(t, 2, "ORG"), "Price $6\"'");
    EXPECT_EQ(valueOf(t, 3, "ORG"), "Plain");
}

TEST(SearchReplace, FilterRestrictsAndMarkedRecordsStayUntouched) {
    Folder f;
    auto t = addressFile(f, {{{"LNAME", "Ames"}, {"STATE", "IL"}},
                             {{"LNAME", "Ames"}, {"STATE", "NY"}},
                             {{"LNAME", "Ames"}, {"STATE", "IL"}, {"*", ""}},
                             {{"LNAME", "Ames"}, {"STATE", "IL"}}});
    ASSERT_TRUE(t.setOrder(t.tagArea("LNAME")).ok());
    auto r = replaceIn("LNAME", "Ames", "Bell");
    r.restriction = "UPPER(STATE)='IL'";
    EXPECT_EQ(replaceCounted(t, r), 2u);
    EXPECT_EQ(valueOf(t, 1, "LNAME"), "Bell");
    EXPECT_EQ(valueOf(t, 2, "LNAME"), "Ames");
    EXPECT_EQ(valueOf(t, 3, "LNAME"), "Ames");
    EXPECT_EQ(valueOf(t, 4, "LNAME"), "Bell");
    // The cursor comes back as it was: order, query, hidden deleted records.
    EXPECT_EQ(t.tagName(), "LNAME");
    EXPECT_EQ(t.dbFilter(), "!ISDEL");
    EXPECT_TRUE(t.deletedHidden());
}

TEST(CaseConversion, Texts) {
    EXPECT_EQ(ConvertCaseText("o'neil mc donald", CaseConversion::Capitalize), "O'neil Mc Donald");
    EXPECT_EQ(ConvertCaseText("MARY-ANN  SMITH", CaseConversion::Capitalize), "Mary-ann  Smith");
    EXPECT_EQ(ConvertCaseText("\xE9mile", CaseConversion::Upper), "\xC9MILE");
    EXPECT_EQ(ConvertCaseText("\xC9MILE", CaseConversion::Lower), "\xE9mile");
    EXPECT_EQ(ConvertCaseText("\xC9MILE ZOLA", CaseConversion::Capitalize), "\xC9mile Zola");
    EXPECT_EQ(FindCaseField("State/Province")->field, "STATE");
    EXPECT_EQ(FindCaseField("PHONE"), nullptr);
}

TEST(CaseConversion, CountAgreesAndCancelLeavesLaterRecords) {
    Folder f;
    auto t = addressFile(
        f,
        {{{"LNAME", "adams"}}, {{"LNAME", "BAKER"}}, {{"LNAME", "carter"}}, {{"LNAME", "dunn"}}});
    CaseRun run;
    run.fields = {"LNAME"};
    run.records = CaseRecords::All;
    EXPECT_EQ(RunCaseConversion(t, run, true).changed, 3u);
    auto out = RunCaseConversion(t, run, false, [](std::uint32_t done, std::uint32_t total) {
        EXPECT_EQ(total, 4u);
        return done < 2;
    });
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(out.visited, 2u);
    EXPECT_EQ(valueOf(t, 1, "LNAME"), "ADAMS");
    EXPECT_EQ(valueOf(t, 3, "LNAME"), "carter");
    EXPECT_EQ(valueOf(t, 4, "LNAME"), "dunn");

    ASSERT_TRUE(t.go(3));
    run.records = CaseRecords::Current;
    run.conversion = CaseConversion::Capitalize;
    EXPECT_EQ(RunCaseConversion(t, run, true).changed, 1u);
    EXPECT_EQ(RunCaseConversion(t, run, false).changed, 1u);
    EXPECT_EQ(t.recNo(), 3u);
    EXPECT_EQ(valueOf(t, 3, "LNAME"), "Carter");
    EXPECT_EQ(valueOf(t, 4, "LNAME"), "dunn");
}

TEST(DeleteRecords, AllEmptiesTheFileAndCountsEveryRecord) {
    Folder f;
    auto t = addressFile(f, {{{"LNAME", "A"}}, {{"LNAME", "B"}, {"*", ""}}, {{"LNAME", "C"}}});
    auto counted = RunDeleteRecords(t, DeleteChoice::All, "", true);
    ASSERT_TRUE(counted.ok());
    EXPECT_EQ(*counted, 3u);
    EXPECT_EQ(t.recCount(), 3u);
    auto done = RunDeleteRecords(t, DeleteChoice::All, "", false);
    ASSERT_TRUE(done.ok());
    EXPECT_EQ(*done, 3u);
    EXPECT_EQ(t.recCount(), 0u);
}

TEST(DeleteRecords, MatchingMarksAndCountsOnlyRecordsNotMarkedBefore) {
    Folder f;
    auto t = addressFile(f, {{{"LNAME", "A"}, {"STATE", "IL"}},
                             {{"LNAME", "B"}, {"STATE", "IL"}, {"*", ""}},
                             {{"LNAME", "C"}, {"STATE", "NY"}},
                             {{"LNAME", "D"}, {"STATE", "IL"}}});
    EXPECT_EQ(DeleteQuery(DeleteChoice::NotMatching, "STATE='IL'"), ".not.(STATE='IL')");
    auto counted = RunDeleteRecords(t, DeleteChoice::Matching, "STATE='IL'", true);
    ASSERT_TRUE(counted.ok());
    EXPECT_EQ(*counted, 2u);
    auto done = RunDeleteRecords(t, DeleteChoice::Matching, "STATE='IL'", false);
    ASSERT_TRUE(done.ok()) << done.error();
    EXPECT_EQ(*done, 2u);
    EXPECT_EQ(t.recCount(), 4u); // still in the file until Rebuild Indexes
    EXPECT_EQ(t.queryRecCount(), 1u);
    t.first();
    EXPECT_EQ(t.getString("LNAME"), "C");
    auto rest = RunDeleteRecords(t, DeleteChoice::NotMatching, "STATE='IL'", false);
    ASSERT_TRUE(rest.ok());
    EXPECT_EQ(*rest, 1u);
    EXPECT_EQ(t.queryRecCount(), 0u);
    t.setDeleted(false);
    ASSERT_TRUE(t.go(3));
    EXPECT_TRUE(t.deleted());
    EXPECT_TRUE(t.getLogical("ISDEL"));
}

TEST(DuplicateCheck, FirstInitialAndFullNameGroups) {
    Folder f;
    auto t = addressFile(f, {{{"LNAME", "JONES"}, {"FNAME", "MARY"}},
                             {{"LNAME", "ADAMS"}, {"FNAME", "JOHN"}},
                             {{"LNAME", "jones"}, {"FNAME", "mary"}},
                             {{"LNAME", "JONES"}, {"FNAME", "MARK"}},
                             {{"LNAME", "SMITH"}, {"FNAME", "JOHN"}},
                             {{"LNAME", "SMITHJ"}, {"FNAME", "OHN"}},
                             {{"LNAME", ""}, {"FNAME", "NOBODY"}},
                             {{"LNAME", ""}, {"FNAME", "NOBODY"}}});
    for (auto [check, expected] :
         {std::pair{DuplicateCheck::Initial, 2u}, std::pair{DuplicateCheck::Name, 1u}}) {
        ScratchIndexFile scratch;
        std::vector<CheckProgress> seen;
        auto out = RunDuplicateCheck(t, {check}, scratch, DuplicateScratchPath(),
                                     [&](const CheckProgress& p) {
                                         seen.push_back(p);
                                         return true;
                                     });
        ASSERT_TRUE(out.error.empty()) << out.error;
        EXPECT_EQ(out.found, expected);
        EXPECT_TRUE(std::filesystem::exists(f.path / "_chkdup.idx"));
        EXPECT_EQ(seen.back().found, expected);
        std::vector<std::uint32_t> listed;
        for (bool more = t.first(); more; more = t.next())
            listed.push_back(t.recNo());
        // The first of each group (record 1) is never listed.
        if (check == DuplicateCheck::Initial)
            EXPECT_EQ(listed, (std::vector<std::uint32_t>{4, 3})); // JONESMARK before JONESMARY
        else
            EXPECT_EQ(listed, (std::vector<std::uint32_t>{3}));
        scratch.close();
        EXPECT_FALSE(std::filesystem::exists(f.path / "_chkdup.idx"));
        EXPECT_EQ(t.indexOrd(), 0);
    }
}

TEST(DuplicateCheck, StreetPrefixAndSuffixesAlike) {
    Folder f;
    auto t = addressFile(f, {{{"LNAME", "A"}, {"STREET", "12 MAIN STREET"}},
                             {{"LNAME", "B"}, {"STREET", "12 Main St"}},
                             {{"LNAME", "C"}, {"STREET", "12 MAIN ST APT 4"}},
                             {{"LNAME", "D"}, {"STREET", "40 North Oak Avenue"}},
                             {{"LNAME", "E"}, {"STREET", "40 N. OAK AVE"}}});
    auto found = [&](DuplicateOptions o) {
        ScratchIndexFile scratch;
        auto out = RunDuplicateCheck(t, o, scratch, DuplicateScratchPath());
        EXPECT_TRUE(out.error.empty()) << out.error;
        return out.found;
    };
    EXPECT_EQ(found({DuplicateCheck::Street, 10}), 2u); // "12 MAIN ST" three times
    EXPECT_EQ(found({DuplicateCheck::Street, 30}), 0u);
    EXPECT_EQ(found({DuplicateCheck::Street, 30, true}), 2u); // 12 MAIN ST, 40 N OAK AVE
    EXPECT_FALSE(std::filesystem::exists(f.path / "_chkdup.idx"));
    EXPECT_EQ(NormalizeStreet("12 Main Street, North"), "12 MAIN ST N");
    EXPECT_EQ(StandardStreetWord("BOULEVARD"), "BLVD");
    EXPECT_EQ(StandardStreetWord("ELM"), "ELM");
}

TEST(DuplicateCheck, CancelStopsTheWalkAndTheFileStillGoes) {
    Folder f;
    auto t = addressFile(f, {{{"LNAME", "X"}}, {{"LNAME", "X"}}, {{"LNAME", "X"}}});
    {
        ScratchIndexFile scratch;
        auto out = RunDuplicateCheck(t, {}, scratch, DuplicateScratchPath(),
                                     [](const CheckProgress& p) { return p.seen < 2; });
        EXPECT_TRUE(out.cancelled);
        EXPECT_EQ(out.found, 1u);
    }
    EXPECT_FALSE(std::filesystem::exists(f.path / "_chkdup.idx"));
}

namespace {

store::Table stateTable(const Folder& f, const std::vector<std::array<const char*, 4>>& rows) {
    const std::string path = (f.path / "sysdata" / "CSZ.DBF").string();
    EXPECT_TRUE(store::createSystemTable(path, store::SystemTable::StateZip).ok());
    auto t = store::Table::open(path, store::OpenMode::Exclusive);
    EXPECT_TRUE(t.ok());
    for (const auto& r : rows) {
        EXPECT_TRUE(t->append().ok());
        EXPECT_TRUE(t->replace("NAME", r[0]).ok());
        EXPECT_TRUE(t->replace("STATE", r[1]).ok());
        EXPECT_TRUE(t->replace("LOW_ZIP", r[2]).ok());
        EXPECT_TRUE(t->replace("HIGH_ZIP", r[3]).ok());
        EXPECT_TRUE(t->post().ok());
    }
    return std::move(*t);
}

} // namespace

TEST(StateZipCheck, RangesCaseAndBlanks) {
    Folder f;
    auto csz = stateTable(f, {{"Illinois", "IL", "60001", "62999"},
                              {"Indiana", "IN", "46001", "47999"},
                              {"Illinois", "IL", "00000", "99999"}});
    auto t = addressFile(f, {{{"LNAME", "Ok"}, {"STATE", "IL"}, {"ZIP", "60601"}},
                             {{"LNAME", "Plus4"}, {"STATE", "IL"}, {"ZIP", "60601-1234"}},
                             {{"LNAME", "High"}, {"STATE", "IL"}, {"ZIP", "63000"}},
                             {{"LNAME", "Lower"}, {"STATE", "il"}, {"ZIP", "60601"}},
                             {{"LNAME", "Blank"}, {"STATE", ""}, {"ZIP", "60601"}},
                             {{"LNAME", "Prefix"}, {"STATE", "I"}, {"ZIP", "47000"}},
                             {{"LNAME", "Nowhere"}, {"STATE", "ZZ"}, {"ZIP", "12345"}},
                             {{"LNAME", "Gone"}, {"STATE", "ZZ"}, {"ZIP", "1"}, {"*", ""}}});
    auto listed = [&](bool includeBlank) {
        ScratchIndexFile scratch;
        auto out = RunStateZipCheck(t, csz, includeBlank, scratch, StateZipScratchPath(t.path()));
        EXPECT_TRUE(out.error.empty()) << out.error;
        EXPECT_TRUE(std::filesystem::exists(f.path / "DATA" / "_chksz.idx"));
        std::vector<std::string> names;
        for (bool more = t.first(); more; more = t.next())
            names.push_back(t.getString("LNAME"));
        EXPECT_EQ(out.found, names.size());
        return names;
    };
    // In last-name order; "I" finds IL first (a prefix), and 47000 is above its range.
    EXPECT_EQ(listed(false), (std::vector<std::string>{"High", "Lower", "Nowhere", "Prefix"}));
    EXPECT_EQ(listed(true),
              (std::vector<std::string>{"Blank", "High", "Lower", "Nowhere", "Prefix"}));
    EXPECT_FALSE(std::filesystem::exists(f.path / "DATA" / "_chksz.idx"));
    EXPECT_EQ(StateZipFoundText(4), "Found 4 records with questionable state or zipcodes");
}

TEST(Rebuild, SystemTablesSkippedAreNamed) {
    Folder f;
    const auto sys = f.path / "sysdata";
    for (auto id :
         {store::SystemTable::Letter, store::SystemTable::Label, store::SystemTable::LabelTemplate,
          store::SystemTable::Envelope, store::SystemTable::Report})
        ASSERT_TRUE(store::createSystemTable(
                        (sys / std::string(store::systemTableSpec(id).fileName)).string(), id)
                        .ok());
    auto skipped = RebuildSystemIndexes(sys, {});
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].rfind("CSZ.DBF", 0), 0u);
    for (const char* cdx : {"LETTER.CDX", "LABEL.CDX", "LBLTPL.CDX", "ENVELOPE.CDX", "REPORT.CDX"})
        EXPECT_TRUE(std::filesystem::exists(sys / cdx)) << cdx;
}
