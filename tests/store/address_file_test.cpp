#include "store/address_file.h"
#include "store/program_folder.h"
#include "store/shared_routines.h"
#include "store/system_tables.h"
#include "support/file_bytes.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace qp::store;
using qp::testing::SampleAddresses;
using qp::testing::TempDir;

namespace {

using qp::testing::slurp;

std::vector<FieldSpec> withWidth(const char* field, int width) {
    auto specs = SampleAddresses::fieldSpecs();
    for (auto& s : specs)
        if (s.name == field)
            s.length = width;
    return specs;
}

} // namespace

TEST(AddressFile, CreatesTwentyThreeFieldsAndTwentySixTagsInOrder) {
    TempDir dir;
    std::string path = dir.file("ADD0002.DBF");
    ASSERT_TRUE(createAddressFile(path, {{"LNAME", 20}, {"FAX", 30}}).ok());
    auto t = openAddressFile(path, OpenMode::ReadOnly);
    ASSERT_TRUE(t.ok()) << t.error();
    ASSERT_EQ(t->fields().size(), 23u);
    EXPECT_EQ(t->fields()[0].length, 20);
    EXPECT_EQ(t->fields()[15].name, "FAX");
    EXPECT_EQ(t->fields()[15].length, 30);
    EXPECT_EQ(t->fields()[12].length, 15); // DATE is fixed
    EXPECT_EQ(t->fields()[22].type, 'M');
    ASSERT_EQ(t->tagCount(), 26);
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(t->tagInfo(i + 1)->name, kAddressTags[static_cast<std::size_t>(i)].name);
    EXPECT_TRUE(addressIndexValid(*t));
    EXPECT_EQ(t->tagInfo(t->tagArea("LNAME"))->keyLength, 20 + 30);
}

TEST(AddressFile, OpensAnyWidthsButNeedsEveryFieldWithItsType) {
    TempDir dir;
    std::string narrow = dir.file("narrow.dbf");
    ASSERT_TRUE(Table::create(narrow, withWidth("LNAME", 20)).ok());
    {
        auto t = openAddressFile(narrow);
        ASSERT_TRUE(t.ok()) << t.error();
        ASSERT_TRUE(t->append().ok());
        ASSERT_TRUE(t->replace("LNAME", std::string(20, 'x')).ok());
        ASSERT_TRUE(t->post().ok());
        EXPECT_EQ(t->getString("LNAME"), std::string(20, 'x'));
        EXPECT_FALSE(addressIndexValid(*t)); // no tags yet
        ASSERT_TRUE(buildAddressTags(*t).ok());
        EXPECT_TRUE(addressIndexValid(*t));
    }

    auto specs = SampleAddresses::fieldSpecs();
    specs.erase(specs.begin() + 21); // TAG
    ASSERT_TRUE(Table::create(dir.file("notag.dbf"), specs).ok());
    auto missing = openAddressFile(dir.file("notag.dbf"));
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("TAG"), std::string::npos);

    auto wrongType = SampleAddresses::fieldSpecs();
    wrongType[20] = {"ISDEL", 'C', 1, 0};
    ASSERT_TRUE(Table::create(dir.file("wrong.dbf"), wrongType).ok());
    EXPECT_FALSE(openAddressFile(dir.file("wrong.dbf")).ok());

    auto none = openAddressFile(dir.file("none.dbf"));
    ASSERT_FALSE(none.ok());
    EXPECT_EQ(none.error(), "File " + dir.file("none.dbf") + " not found");
}

TEST(AddressFile, IndexCheckFailsWhenAnyOneTagIsMissing) {
    TempDir dir;
    std::string path = dir.file("a.dbf");
    ASSERT_TRUE(Table::create(path, SampleAddresses::fieldSpecs()).ok());
    auto t = openAddressFile(path);
    ASSERT_TRUE(t.ok());
    for (const auto& tag : kAddressTags)
        if (tag.name != "MIDDLE") {
            ASSERT_TRUE(t->indexTag(std::string(tag.name), std::string(tag.expression)).ok());
        }
    EXPECT_FALSE(addressIndexValid(*t));
}

TEST(AddressFile, CalculatedFields) {
    TempDir dir;
    std::string path = dir.file("c.dbf");
    ASSERT_TRUE(createAddressFile(path, {}).ok());
    auto t = openAddressFile(path);
    ASSERT_TRUE(t.ok());
    auto set = [&](std::initializer_list<std::pair<const char*, const char*>> values) {
        ASSERT_TRUE(t->append().ok());
        for (const auto& [f, v] : values)
            ASSERT_TRUE(t->replace(f, v).ok());
        ASSERT_TRUE(t->post().ok());
    };
    auto format = [](const std::string& d) { return FormatDisplayDate(d, "dd.mm.yyyy"); };

    set({{"FNAME", "Ann"},
         {"LNAME", "Baker"},
         {"PREFIX", "Dr."},
         {"CITY", "Boston"},
         {"STATE", "MA"},
         {"ZIP", "02134"},
         {"DATE", "19970428"},
         {"TAG", "K3Z"}});
    auto c = calculatedFields(*t, "K3Z", true, format);
    EXPECT_EQ(c.fullName, "Ann Baker");
    EXPECT_EQ(c.fullNameWithPrefix, "Dr. Ann Baker");
    EXPECT_EQ(c.cityStateZip, "Boston MA 02134");
    EXPECT_EQ(c.displayDate, "28.04.1997");
    EXPECT_TRUE(c.tagged);
    EXPECT_FALSE(calculatedFields(*t, "OTHER", true, format).tagged);
    EXPECT_EQ(calculatedFields(*t, "K3Z", false, format).fullName, "");

    set({{"LNAME", "Smith"}, {"STATE", "NY"}, {"ZIP", "10001"}, {"DATE", "1997"}});
    c = calculatedFields(*t, "K3Z", true, format);
    EXPECT_EQ(c.fullName, " Smith");
    EXPECT_EQ(c.fullNameWithPrefix, " Smith");
    EXPECT_EQ(c.cityStateZip, "NY 10001");
    EXPECT_EQ(c.displayDate, "");

    // Long names are never cut at the 35-character column width.
    std::string longFirst(30, 'F'), longLast(30, 'L');
    set({{"FNAME", longFirst.c_str()}, {"MIDDLE", "M"}, {"LNAME", longLast.c_str()}});
    EXPECT_EQ(calculatedFields(*t, "", true, format).fullName, longFirst + " M " + longLast);
}

TEST(AddressFile, MemoPaddingRule) {
    EXPECT_EQ(memoForStorage(""), "");
    EXPECT_EQ(memoForStorage("abc"), "abc");
    EXPECT_EQ(memoForStorage("abcd"), "abcd ");
    EXPECT_EQ(memoForStorage("ab\r\n"), "ab\r\n ");
    EXPECT_EQ(memoForStorage("äöüß"), "äöüß "); // four characters, eight bytes
}

TEST(ProgramFolder, FirstStartSeedsSysdataAndKeepsWhatExists) {
    TempDir dir;
    ASSERT_TRUE(prepareProgramFolder(dir.path()).ok());
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "DATA"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "sysdata"));
    auto csz = openSystemTable((dir.path() / "sysdata").string(), SystemTable::StateZip);
    ASSERT_TRUE(csz.ok()) << csz.error();
    EXPECT_GE(csz->recCount(), 60u);
    ASSERT_TRUE(csz->setOrder(csz->tagArea("STATE")).ok());
    ASSERT_TRUE(*csz->seek("NY"));
    EXPECT_EQ(csz->getString("NAME"), "New York");
    ASSERT_TRUE(*csz->seek("ON"));
    EXPECT_EQ(csz->getString("NAME"), "Ontario");
    csz = Result<Table>(Error{"closed"});

    // A folder spelled in another case is the same folder; files stay.
    TempDir other;
    std::filesystem::create_directory(other.path() / "SYSDATA");
    std::ofstream(other.path() / "SYSDATA" / "csz.dbf") << "mine";
    ASSERT_TRUE(prepareProgramFolder(other.path()).ok());
    EXPECT_FALSE(std::filesystem::exists(other.path() / "sysdata"));
    EXPECT_EQ(slurp(other.path() / "SYSDATA" / "csz.dbf"), "mine");
}

TEST(SystemTables, CreatesMissingTablesAndNeverOverwritesDamagedOnes) {
    TempDir dir;
    std::string sysdata = dir.path().string();
    for (SystemTable id :
         {SystemTable::Letter, SystemTable::Report, SystemTable::Envelope, SystemTable::Label}) {
        auto t = openSystemTable(sysdata, id);
        ASSERT_TRUE(t.ok()) << t.error();
        EXPECT_EQ(t->fields().size(), systemTableSpec(id).fields.size());
        EXPECT_EQ(t->tagArea("DESCRIPT"), 1);
    }
    EXPECT_EQ(systemTableSpec(SystemTable::Label).fields.size(), 22u);

    // The catalogue is never created.
    auto catalogue = openSystemTable(sysdata, SystemTable::LabelTemplate);
    ASSERT_FALSE(catalogue.ok());
    EXPECT_EQ(catalogue.error().substr(0, 25), "Unable to Open LBLTPL.DBF");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "LBLTPL.DBF"));

    // A damaged table is reported and left as it is.
    std::filesystem::remove(dir.path() / "REPORT.DBF");
    std::ofstream(dir.path() / "REPORT.DBF", std::ios::binary) << "not a table at all";
    auto damaged = openSystemTable(sysdata, SystemTable::Report);
    ASSERT_FALSE(damaged.ok());
    EXPECT_EQ(damaged.error().substr(0, 35), "Unable to Open or Create REPORT.DBF");
    EXPECT_EQ(slurp(dir.path() / "REPORT.DBF"), "not a table at all");

    // A table held by another program is not recreated either.
    auto held = Table::open((dir.path() / "LETTER.DBF").string(), OpenMode::Exclusive);
    ASSERT_TRUE(held.ok());
    auto busy = openSystemTable(sysdata, SystemTable::Letter);
    EXPECT_FALSE(busy.ok());
    EXPECT_NE(busy.error().find("in use"), std::string::npos);

    // A missing index file is rebuilt.
    held = Result<Table>(Error{"closed"});
    std::filesystem::remove(dir.path() / "ENVELOPE.CDX");
    auto envelope = openSystemTable(sysdata, SystemTable::Envelope);
    ASSERT_TRUE(envelope.ok());
    EXPECT_EQ(envelope->tagArea("DESCRIPT"), 1);
}
