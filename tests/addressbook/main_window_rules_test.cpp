// The main window's rules without a window: enabling, clipboard text,
// duplicate probe key, what Add fills in, sort captions, rebuilding.
#include "addressbook/button_rules.h"
#include "addressbook/rebuild.h"
#include "addressbook/record_rules.h"
#include "addressbook/tool_registry.h"
#include "store/address_file.h"
#include "store/system_tables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace qp::addressbook;
namespace store = qp::store;

namespace {

FieldReader reader(std::map<std::string, std::string, std::less<>> values) {
    return [values = std::move(values)](std::string_view f) {
        auto it = values.find(f);
        return it == values.end() ? std::string() : it->second;
    };
}

struct TempFolder {
    std::filesystem::path path;
    TempFolder() {
        char name[] = "/tmp/qp-mainrules-XXXXXX";
        path = mkdtemp(name);
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
};

} // namespace

TEST(ControlStates, FollowTheStateTable) {
    // No file: only the File and Help menus work.
    ControlStates none = ControlStatesFor({});
    EXPECT_TRUE(none.browseButtons);
    EXPECT_FALSE(none.add || none.editDelete || none.recordTools || none.filter);
    EXPECT_FALSE(none.fileCommands || none.recordMenu || none.clearFilterShown);
    EXPECT_TRUE(none.fileMenu);

    // An open file without records: Add, no Edit or navigation.
    ControlStates empty = ControlStatesFor({true, false, false, false});
    EXPECT_TRUE(empty.add && empty.fileCommands && empty.recordMenu);
    EXPECT_FALSE(empty.editDelete || empty.recordTools || empty.filter);

    ControlStates browsing = ControlStatesFor({true, false, true, false});
    EXPECT_TRUE(browsing.editDelete && browsing.recordTools && browsing.dialAndMemoSearch &&
                browsing.filter && browsing.findNextAllowed);
    EXPECT_FALSE(browsing.saveCancel || browsing.clearFilterShown || browsing.filterMenuItems);

    ControlStates editing = ControlStatesFor({true, true, true, true});
    EXPECT_TRUE(editing.saveCancel && editing.clearFilterShown && editing.filterMenuItems &&
                editing.filter && editing.fileCommands);
    EXPECT_FALSE(editing.browseButtons || editing.add || editing.editDelete ||
                 editing.recordTools || editing.clearFilterButton || editing.fileMenu ||
                 editing.recordMenu || editing.findNextAllowed || editing.dialAndMemoSearch);

    // A filter keeps the Filter button even when nothing is shown.
    EXPECT_TRUE(ControlStatesFor({true, false, false, true}).filter);
    EXPECT_TRUE(ControlStatesFor({true, false, false, true}).clearFilterButton);
}

TEST(ClipboardText, LinesInOrderWithEmptyOnesLeftOut) {
    auto r = reader({{"FNAME", "John"},
                     {"MIDDLE", "Q"},
                     {"LNAME", "Smith"},
                     {"ORG", "Acme"},
                     {"STREET", "1 Main St"},
                     {"STATE", "TX"},
                     {"ZIP", "78701"},
                     {"COUNTRY", "USA"},
                     {"PHONE2", "555"},
                     {"CODES", "AB"},
                     {"USER2", "late"}});
    EXPECT_EQ(GetRecordAsString(r, {}), "John Q. Smith \r\nAcme\r\n1 Main St\r\n TX 78701\r\n"
                                        "USA \r\nPhone 2:555\r\nCodes :AB\r\nComment 2 :late\r\n");
    ClipboardParts onlyName{true, false, false, false, false};
    EXPECT_EQ(GetRecordAsString(r, onlyName), "John Q. Smith \r\nAcme\r\n");
    // The city line always holds its middle blank.
    ClipboardParts onlyAddress{false, true, false, false, false};
    EXPECT_EQ(GetRecordAsString(reader({}), onlyAddress), " \r\n");
}

TEST(ClipboardText, KeepsItsLimitsWithWideFields) {
    const std::string wide(80, 'x');
    std::map<std::string, std::string, std::less<>> values;
    for (const char* f : {"PREFIX", "FNAME", "LNAME", "TITLE", "ORG", "STREET", "STREET2", "CITY",
                          "STATE", "ZIP", "COUNTRY", "PHONE", "PHONE2", "CODES", "USER1", "USER2"})
        values[f] = wide;
    values["MIDDLE"] = "Q";
    std::string text = GetRecordAsString(reader(values), {});
    EXPECT_LE(text.size(), kClipboardTextLimit);
    std::size_t start = 0;
    int lines = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
        EXPECT_LE(end + 2 - start, kClipboardLineLimit);
        start = end + 2;
        ++lines;
    }
    EXPECT_GT(lines, 5);
    // The first line (name, 4 x 81 characters) is cut to fit 200 with its CR LF.
    EXPECT_EQ(text.find("\r\n"), kClipboardLineLimit - 2);

    // Characters, not bytes: an accented name is never split inside a character.
    std::string accented;
    for (int i = 0; i < 80; ++i)
        accented += "\xC3\xA9"; // é
    auto one = reader({{"FNAME", accented}, {"LNAME", accented}, {"PREFIX", accented}});
    std::string first = GetRecordAsString(one, {true, false, false, false, false});
    std::string line = first.substr(0, first.find("\r\n"));
    EXPECT_EQ(std::count_if(line.begin(), line.end(),
                            [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }),
              198);
}

TEST(DuplicateProbe, KeyUsesTheFilesOwnWidths) {
    EXPECT_EQ(DuplicateProbeKey("Baker", "ann", 8, 5), "BAKER   ANN  ");
    EXPECT_EQ(DuplicateProbeKey("Bakersfield", "Annabel", 6, 4), "BAKERSANNA");
    EXPECT_EQ(DuplicateProbeKey("Müller", "Jörg", 7, 5), "MÜLLER JÖRG ");
    EXPECT_EQ(DuplicateQuestion(reader({{"FNAME", "Ann"},
                                        {"LNAME", "Baker"},
                                        {"STREET", "1 Elm"},
                                        {"CITY", "Denver"},
                                        {"STATE", "CO"},
                                        {"ZIP", "80202"}})),
              "Possible duplicate: \r\n\r\nAnn Baker\r\n1 Elm\r\nDenver,CO 80202\r\n\r\n"
              "Continue adding?");
}

TEST(AddingRecords, CarryOverDefaultsAndFocus) {
    store::AddingPreferences prefs;
    auto shown = reader({{"ORG", "Acme"},
                         {"CITY", "Austin"},
                         {"STATE", "TX"},
                         {"ZIP", "78701"},
                         {"COUNTRY", "Canada"},
                         {"STREET", "1 Main"}});
    // Nothing carried by default; the default country fills in.
    prefs.defaultCountry = "USA";
    auto values = NewRecordValues(prefs, NoteCarryOver(shown, prefs), {}, "19970428");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].first, "COUNTRY");
    EXPECT_EQ(values[0].second, "USA");

    prefs.carryCity = prefs.carryState = prefs.carryZip = prefs.carryCountry = true;
    prefs.carryOrg = prefs.carrySA1 = prefs.plugDate = true;
    TypedForNewRecord typed{"Lee", "Kim", "606", "Chicago", ""};
    values = NewRecordValues(prefs, NoteCarryOver(shown, prefs), typed, "19970428");
    std::map<std::string, std::string> byField(values.begin(), values.end());
    EXPECT_EQ(byField["ZIP"], "606");        // typed wins
    EXPECT_EQ(byField["CITY"], "Chicago");   // from the look-up
    EXPECT_EQ(byField["STATE"], "TX");       // look-up found none: carried
    EXPECT_EQ(byField["COUNTRY"], "Canada"); // carried, so no default
    EXPECT_EQ(byField["ORG"], "Acme");
    EXPECT_EQ(byField["STREET"], "1 Main");
    EXPECT_EQ(byField["DATE"], "19970428");
    EXPECT_EQ(byField.count("STREET2"), 0u);

    EXPECT_EQ(AddFocusField(prefs, values), "MIDDLE"); // both names typed
    store::AddingPreferences skip;
    EXPECT_EQ(AddFocusField(skip, {}), "LNAME");
    EXPECT_EQ(AddFocusField(skip, {{"LNAME", "Lee"}}), "FNAME");
    skip.skipLastName = skip.skipFirstName = true;
    EXPECT_EQ(AddFocusField(skip, {}), "MIDDLE");
    skip.skipMiddleInitial = skip.skipPrefix = skip.skipTitle = skip.skipOrganization = true;
    EXPECT_EQ(AddFocusField(skip, {}), "STREET");
    auto skipped = SkippedFields(skip);
    EXPECT_EQ(skipped,
              (std::vector<std::string>{"LNAME", "FNAME", "MIDDLE", "PREFIX", "TITLE", "ORG"}));
}

TEST(SortOrders, CaptionsMapToTags) {
    EXPECT_EQ(SortOrderForCaption("&Last Name")->tag, "LNAME");
    EXPECT_EQ(SortOrderForCaption("e-MAIL")->tag, "EMAIL");
    EXPECT_EQ(SortOrderForCaption("Nothing"), nullptr);
    EXPECT_EQ(CaptionText("&Zip"), "Zip");
    EXPECT_EQ(FilterStatusText(true, 3), "3 filter matches");
    EXPECT_EQ(FilterStatusText(false, 3), "3 records (no filter)");
    EXPECT_EQ(FilterStatusText(false, 0), "No records");
}

TEST(ToolTraits, SayWhatTheWindowRestores) {
    EXPECT_TRUE(TraitsOf(Tool::PrintLabels).needsPrinter);
    EXPECT_TRUE(TraitsOf(Tool::PrintLabels).restorePrinter);
    EXPECT_TRUE(TraitsOf(Tool::PrintLabels).nameAndAddressFields);
    EXPECT_FALSE(TraitsOf(Tool::PrintLetters).nameAndAddressFields);
    EXPECT_EQ(TraitsOf(Tool::DeleteRecords).query, ToolQuery::BareFilter);
    EXPECT_TRUE(TraitsOf(Tool::DeleteRecords).firstRecord);
    EXPECT_EQ(TraitsOf(Tool::CheckStateZip).query, ToolQuery::NotDeleted);
    EXPECT_FALSE(TraitsOf(Tool::CheckStateZip).reapplyFilter);
    EXPECT_TRUE(TraitsOf(Tool::ImportAscii).reopenFile);
    EXPECT_EQ(TraitsOf(Tool::ImportVersion1).query, ToolQuery::Remove);
    EXPECT_FALSE(TraitsOf(Tool::RebuildSystemIndexes).needsFile);
    EXPECT_TRUE(TraitsOf(Tool::Browse).movesRecord);
    for (int t = 0; t < kToolCount; ++t)
        EXPECT_FALSE(TraitsOf(Tool(t)).name.empty());
    EXPECT_EQ(FindTool(Tool::CountZipCodes), nullptr);
    RegisterTool(Tool::CountZipCodes, [](ToolContext&) {});
    EXPECT_NE(FindTool(Tool::CountZipCodes), nullptr);
    UnregisterTool(Tool::CountZipCodes);
    EXPECT_EQ(FindTool(Tool::CountZipCodes), nullptr);
}

TEST(Rebuild, RiseCounterIgnoresFalls) {
    RiseCounter r;
    EXPECT_EQ(r.add(0), 0);
    EXPECT_EQ(r.add(50), 50);
    EXPECT_EQ(r.add(100), 100);
    EXPECT_EQ(r.add(10), 100); // a new build starts: no rise
    EXPECT_EQ(r.add(60), 150);
}

TEST(Rebuild, AddressFileIsPackedAndGetsItsTagsBack) {
    TempFolder dir;
    std::string path = (dir.path / "add0001.DBF").string();
    ASSERT_TRUE(store::createAddressFile(path, {}).ok());
    auto table = store::openAddressFile(path);
    ASSERT_TRUE(table.ok());
    for (const char* name : {"Adams", "Baker", "Carter"}) {
        ASSERT_TRUE(table->append().ok());
        ASSERT_TRUE(table->replace("LNAME", name).ok());
        ASSERT_TRUE(table->post().ok());
    }
    ASSERT_TRUE(table->go(2));
    ASSERT_TRUE(table->deleteRecord().ok());
    ASSERT_TRUE(table->deleteStructuralIndex().ok());
    ASSERT_TRUE(table->indexTag("NAME", "UPPER(LNAME-FNAME)").ok()); // 25 tags missing
    EXPECT_FALSE(store::addressIndexValid(*table));

    std::vector<std::string> statuses;
    std::vector<int> bar;
    auto st = RebuildAddressIndexes(*table, {[&](std::string_view s) { statuses.emplace_back(s); },
                                             [&](int p) { bar.push_back(p); },
                                             {}});
    ASSERT_TRUE(st.ok()) << st.error();
    EXPECT_EQ(statuses, (std::vector<std::string>{std::string(kCleaningStatus),
                                                  std::string(kRebuildingStatus)}));
    EXPECT_EQ(table->recCount(), 2u);
    EXPECT_TRUE(store::addressIndexValid(*table));
    for (int p : bar) {
        EXPECT_GE(p, 0);
        EXPECT_LE(p, 100);
    }
    ASSERT_TRUE(table->setOrder(table->tagArea("LNAME")).ok());
    ASSERT_TRUE(table->last());
    EXPECT_EQ(table->getString("LNAME"), "Carter");
}

TEST(Rebuild, SystemTablesGoOnPastAMissingOne) {
    TempFolder dir;
    for (auto id : {store::SystemTable::Letter, store::SystemTable::Label,
                    store::SystemTable::Envelope, store::SystemTable::Report})
        ASSERT_TRUE(store::createSystemTable(
                        (dir.path / std::string(store::systemTableSpec(id).fileName)).string(), id)
                        .ok());
    std::filesystem::remove(dir.path / "REPORT.CDX");
    std::vector<std::string> statuses;
    RebuildSystemIndexes(dir.path, {[&](std::string_view s) { statuses.emplace_back(s); }, {}, {}});
    ASSERT_EQ(statuses.size(), 6u);
    EXPECT_EQ(statuses[2], "Rebuilding State/Province File indexes");
    EXPECT_TRUE(std::filesystem::exists(dir.path / "REPORT.CDX"));
    EXPECT_FALSE(std::filesystem::exists(dir.path / "CSZ.DBF"));
    auto report = store::Table::open((dir.path / "REPORT.DBF").string(), store::OpenMode::ReadOnly);
    ASSERT_TRUE(report.ok());
    EXPECT_NE(report->tagArea("DESCRIPT"), 0);
}
