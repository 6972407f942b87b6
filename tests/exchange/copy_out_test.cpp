#include "exchange/copy_out.h"
#include "exchange_test_support.h"
#include "store/record_selection.h"
#include "support/peer_tools.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace qp::exchange {
namespace {

using testing::newAddressFile;
using testing::slurp;
using testing::TempDir;
using testing::writeFile;

void add(store::Table& t, std::initializer_list<std::pair<const char*, std::string>> values) {
    ASSERT_TRUE(t.append());
    for (const auto& [field, value] : values)
        ASSERT_TRUE(t.replace(field, value));
    ASSERT_TRUE(t.post());
}

TEST(CopyName, ExtensionThenTheFileItself) {
    TempDir dir;
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    EXPECT_EQ(checkCopyName(CopyFormat::Dbf, dir.file("out.txt"), table.path()),
              "Must have a .DBF extension");
    EXPECT_EQ(checkCopyName(CopyFormat::Dbf, dir.file("out.dbf"), table.path()), std::nullopt);
    EXPECT_EQ(checkCopyName(CopyFormat::Text, dir.file("out.txt"), table.path()), std::nullopt);
    std::filesystem::create_symlink(dir.file("ADDR.DBF"), dir.file("alias.dbf"));
    for (auto name : {dir.file("ADDR.DBF"), dir.file("addr.dbf"), dir.file("alias.dbf"),
                      dir.path().string() + "/../" + dir.path().filename().string() + "/ADDR.DBF"})
        EXPECT_EQ(checkCopyName(CopyFormat::Dbf, name, table.path()),
                  "Cannot copy a file to itself!")
            << name;
    EXPECT_EQ(overwriteQuestion("X.DBF"), "X.DBF already exists.\r\nDo you want to overwrite it?");
}

TEST(CopyText, TwentyQuotedValuesCrLfNoHeaderQuotesDoubled) {
    TempDir dir;
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    add(table, {{"PREFIX", "Dr."},
                {"FNAME", "Ann"},
                {"LNAME", "Lee \"Al\""},
                {"DATE", "19970428"},
                {"CODES", "AB"},
                {"MEMO", "not exported"}});
    add(table, {{"LNAME", "Zed"}});
    (void)table.setQuery("!ISDEL");
    auto out = copyRecordsOut(table, CopyFormat::Text, dir.file("o.txt"));
    ASSERT_TRUE(out.ok);
    EXPECT_EQ(
        slurp(dir.file("o.txt")),
        "\"Dr.\",\"Ann\",\"\",\"Lee \"\"Al\"\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
        "\"\",\"\",\"19970428\",\"\",\"\",\"AB\"\r\n"
        "\"\",\"\",\"\",\"Zed\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
        "\"\",\"\",\"\"\r\n");
}

TEST(CopyText, AWriteErrorIsReported) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP();
    TempDir dir;
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    for (int i = 0; i < 3; ++i)
        add(table, {{"LNAME", "x"}});
    auto out = copyRecordsOut(table, CopyFormat::Text, "/dev/full");
    EXPECT_FALSE(out.ok);
    // The message says why; a device is written in place, never replaced.
    EXPECT_EQ(out.message.rfind("There was an error copying:\n", 0), 0u) << out.message;
    EXPECT_NE(out.message.find("No space left on device"), std::string::npos) << out.message;
    struct stat st {};
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    auto unwritable = copyRecordsOut(table, CopyFormat::Text, dir.file("no/such/dir.txt"));
    EXPECT_EQ(unwritable.message.rfind("There was an error copying:\n", 0), 0u);
    EXPECT_NE(unwritable.message.find("No such file or directory"), std::string::npos)
        << unwritable.message;
}

TEST(CopyText, SelectionOrderProgressCancelAndRestore) {
    TempDir dir;
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    for (auto name : {"Cole", "Adams", "Baker", "Dunn"})
        add(table, {{"LNAME", name}, {"CITY", std::string(name) == "Baker" ? "Rome" : "Oslo"}});
    ASSERT_TRUE(table.setOrder(table.tagArea("LNAME")));
    ASSERT_TRUE(table.setQuery("CITY = \"Oslo\" .and. !ISDEL"));
    ASSERT_TRUE(table.go(4));
    std::vector<int> percents;
    CopyHooks hooks{[&](int p) { percents.push_back(p); }, [&] { return percents.size() == 2; }};
    auto out = copyRecordsOut(table, CopyFormat::Text, dir.file("o.txt"), {}, hooks);
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(out.copied, 2u);
    EXPECT_EQ(percents, (std::vector<int>{33, 66}));
    auto text = slurp(dir.file("o.txt"));
    EXPECT_LT(text.find("Adams"), text.find("Cole"));
    EXPECT_EQ(text.find("Baker"), std::string::npos);
    EXPECT_EQ(table.recNo(), 4u);
    EXPECT_EQ(table.dbFilter(), "CITY = \"Oslo\" .and. !ISDEL");
}

TEST(RecordSelection, ChoicesQueriesAndStartFromCurrent) {
    TempDir dir;
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    for (auto name : {"A", "B", "C"})
        add(table, {{"LNAME", name}});
    ASSERT_TRUE(table.setQuery("LNAME <> \"B\" .and. !ISDEL"));
    ASSERT_TRUE(table.go(2)); // outside the filter

    std::vector<std::string> infos;
    auto info = [&](std::string_view m) { infos.emplace_back(m); };
    auto walked = [&](store::RecordSelection s) {
        std::vector<std::string> names;
        auto walk = store::SelectionWalk::begin(table, s, info);
        EXPECT_TRUE(walk);
        for (bool more = walk->valid(); more; more = walk->next())
            names.push_back(table.getString("LNAME"));
        return names;
    };
    using S = store::SelectionChoice;
    EXPECT_EQ(walked({S::All, false}), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(walked({S::Filter, false}), (std::vector<std::string>{"A", "C"}));
    EXPECT_TRUE(infos.empty());
    EXPECT_EQ(walked({S::Filter, true}), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(infos, (std::vector<std::string>{
                         "Current record is out of range. Starting with first record"}));
    EXPECT_EQ(walked({S::Current, false}), (std::vector<std::string>{"B"}));
    EXPECT_EQ(walked({S::Current, false, false}), (std::vector<std::string>{"B"}));
    EXPECT_EQ(walked({S::All, true}), (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(table.recNo(), 2u);
    EXPECT_EQ(table.dbFilter(), "LNAME <> \"B\" .and. !ISDEL");
    EXPECT_EQ(store::selectionQuery({S::Current}, "!ISDEL", 7), "Recno()=7");
    EXPECT_EQ(store::selectionQuery({S::All}, "X", 7), "NOT ISDEL");
}

TEST(CopyDbf, FullStructureNoIndexMemoPaddingAndLowerCaseExtension) {
    TempDir dir;
    auto table = newAddressFile(dir.file("ADDR.DBF"));
    add(table, {{"LNAME", "Müller"},
                {"FNAME", "Jürgen"},
                {"MEMO", "12345678"},
                {"TAG", "T1"},
                {"DATE", "19970428"},
                {"USER2", "u2"}});
    add(table, {{"LNAME", "Smith"}, {"MEMO", "1234567"}});
    add(table, {{"LNAME", "Two"}, {"MEMO", "line\r\nab"}});
    writeFile(dir.file("out.CDX"), "stale index");
    (void)table.setQuery("!ISDEL");
    auto out = copyRecordsOut(table, CopyFormat::Dbf, dir.file("out.dbf"));
    ASSERT_TRUE(out.ok) << out.message;
    EXPECT_EQ(out.copied, 3u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.CDX")));

    auto copy = store::Table::open(dir.file("out.dbf"), store::OpenMode::ReadOnly);
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->fields().size(), table.fields().size());
    for (std::size_t i = 0; i < table.fields().size(); ++i) {
        EXPECT_EQ(copy->fields()[i].name, table.fields()[i].name);
        EXPECT_EQ(copy->fields()[i].length, table.fields()[i].length);
    }
    EXPECT_TRUE(copy->indexName().empty());
    ASSERT_TRUE(copy->first());
    EXPECT_EQ(copy->getMemo("MEMO").value(), "12345678 ");
    EXPECT_EQ(copy->getString("TAG"), ""); // not among the copied fields
    EXPECT_EQ(copy->getString("USER2"), "u2");
    ASSERT_TRUE(copy->next());
    EXPECT_EQ(copy->getMemo("MEMO").value(), "1234567");
    ASSERT_TRUE(copy->next());
    EXPECT_EQ(copy->getMemo("MEMO").value(), "line\r\nab ");

    if (!testing::havePythonDbf())
        GTEST_SKIP() << "python3-dbf is not installed";
    auto peer = testing::runCommand("/usr/bin/python3 " +
                                    testing::shellQuote(testing::peerScript("dbf_peer.py")) +
                                    " read " + testing::shellQuote(dir.file("out.dbf")));
    ASSERT_EQ(peer.status, 0) << peer.output;
    auto rows = testing::lines(peer.output);
    ASSERT_EQ(rows.size(), 3u) << peer.output;
    EXPECT_NE(rows[0].find("\"LNAME\": \"Müller\""), std::string::npos) << rows[0];
    EXPECT_NE(rows[0].find("\"FNAME\": \"Jürgen\""), std::string::npos) << rows[0];
    EXPECT_NE(rows[0].find("\"DATE\": \"19970428\""), std::string::npos) << rows[0];
    EXPECT_NE(rows[0].find("\"MEMO\": \"12345678\""), std::string::npos) << rows[0]; // rstripped
    EXPECT_NE(rows[1].find("\"LNAME\": \"Smith\""), std::string::npos) << rows[1];
}

} // namespace
} // namespace qp::exchange
