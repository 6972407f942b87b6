// Tagging, the searches, the browse columns and row paging, and the dial
// sequence against a pseudo-terminal.
#include "../support/sample_addresses.h"
#include "addressbook/browse_columns.h"
#include "addressbook/browse_pager.h"
#include "addressbook/dial_sequence.h"
#include "addressbook/search.h"
#include "addressbook/tagging.h"
#include "store/address_file.h"
#include "store/address_filter.h"
#include "store/filter_criteria.h"
#include "store/record_selection.h"
#include "store/settings_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace qp;
using namespace qp::addressbook;

namespace {

struct Person {
    std::string last, first, memo;
};

class AddressFile {
public:
    explicit AddressFile(const std::vector<Person>& people) {
        path_ = (dir_.path() / "ADD0001.DBF").string();
        EXPECT_TRUE(store::createAddressFile(path_, {}).ok());
        auto t = store::openAddressFile(path_);
        EXPECT_TRUE(t.ok());
        for (const auto& p : people) {
            EXPECT_TRUE(t->append().ok());
            EXPECT_TRUE(t->replace("LNAME", p.last).ok());
            EXPECT_TRUE(t->replace("FNAME", p.first).ok());
            if (!p.memo.empty()) {
                EXPECT_TRUE(t->replace("MEMO", p.memo).ok());
            }
            EXPECT_TRUE(t->post().ok());
        }
    }
    store::Table open() {
        auto t = store::openAddressFile(path_);
        EXPECT_TRUE(t.ok());
        (void)t->setQuery(store::kNoFilterQuery);
        (void)t->setOrder(t->tagArea("LNAME"));
        t->first();
        return std::move(*t);
    }
    const std::string& path() const { return path_; }
    std::filesystem::path dir() const { return dir_.path(); }

private:
    qp::testing::TempDir dir_;
    std::string path_;
};

std::vector<Person> people() {
    return {{"Baker", "Ann", "Call about the ORDER"},
            {"Adams", "Bob", ""},
            {"Carter", "Cid", "order shipped"},
            {"Baxter", "Dee", "nothing here"}};
}

int countTagged(store::Table& t, const std::string& id) {
    int n = 0;
    for (bool more = t.first(); more && !t.eof(); more = t.next())
        n += t.getString("TAG") == id;
    return n;
}

store::LocalDateTime at(int y, int mo, int d, int h, int mi, int s) {
    store::LocalDateTime t;
    t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi, t.second = s;
    return t;
}

} // namespace

// ---- Tagging ----

TEST(Tagging, ToggleFlipsAndPosts) {
    AddressFile file(people());
    {
        auto t = file.open();
        ASSERT_TRUE(ToggleTag(t, "ABC1234").ok());
        EXPECT_FALSE(t.changed());
        EXPECT_EQ(t.getString("TAG"), "ABC1234");
    }
    auto t = file.open(); // a restart still shows the tag
    EXPECT_EQ(t.getString("TAG"), "ABC1234");
    ASSERT_TRUE(ToggleTag(t, "ABC1234").ok());
    EXPECT_EQ(t.getString("TAG"), "");
}

TEST(Tagging, ToggleWhileEditingWaitsForSave) {
    AddressFile file(people());
    auto t = file.open();
    ASSERT_TRUE(t.replace("FNAME", "Anne").ok());
    ASSERT_TRUE(ToggleTag(t, "X1").ok());
    EXPECT_TRUE(t.changed());
    t.discard();
    EXPECT_EQ(t.getString("TAG"), "");
}

TEST(Tagging, StampTimeRoundTrips) {
    const auto when = at(2024, 12, 31, 23, 59, 59);
    auto back = TagStampTime(store::NewTagStamp(when));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->year, 2024);
    EXPECT_EQ(back->month, 12);
    EXPECT_EQ(back->second, 59);
    EXPECT_FALSE(TagStampTime("hello"));
    const auto n = NextSecond(when);
    EXPECT_EQ(store::NewTagStamp(n), store::NewTagStamp(at(2025, 1, 1, 0, 0, 0)));
    EXPECT_EQ(store::NewTagStamp(NextSecond(at(2024, 2, 28, 23, 59, 59))),
              store::NewTagStamp(at(2024, 2, 29, 0, 0, 0)));
}

TEST(Tagging, ClearTagsTwiceInOneSecondStillChangesTheIdentifier) {
    const auto now = at(2025, 6, 1, 10, 0, 0);
    const std::string first = ClearTagsIdentifier("OLD", now);
    EXPECT_EQ(first, store::NewTagStamp(now));
    const std::string second = ClearTagsIdentifier(first, now);
    EXPECT_NE(second, first);
    EXPECT_EQ(second, store::NewTagStamp(at(2025, 6, 1, 10, 0, 1)));
    // A third clear in the same second must not fall back to an earlier one.
    const std::string third = ClearTagsIdentifier(second, now);
    EXPECT_NE(third, first);
    EXPECT_NE(third, second);
    // Once the clock has passed the stamp, the fresh stamp is used again.
    EXPECT_EQ(ClearTagsIdentifier(second, at(2025, 6, 1, 10, 0, 5)),
              store::NewTagStamp(at(2025, 6, 1, 10, 0, 5)));
}

TEST(Tagging, ClearTagsWritesNoRecordAndUntagsAll) {
    AddressFile file(people());
    store::SettingsFile settings(file.dir() / "QUILLP.ini");
    const auto now = at(2025, 6, 1, 10, 0, 0);
    const std::string id = ClearTags(settings, "", now);
    EXPECT_EQ(store::LoadGlobalTagId(settings), id);
    auto t = file.open();
    ASSERT_TRUE(ToggleTag(t, id).ok());
    const auto before = std::filesystem::last_write_time(file.path());
    const auto sizeBefore = std::filesystem::file_size(file.path());
    const std::string next = ClearTags(settings, id, now); // the same second
    EXPECT_NE(next, id);
    EXPECT_EQ(std::filesystem::last_write_time(file.path()), before);
    EXPECT_EQ(std::filesystem::file_size(file.path()), sizeBefore);
    EXPECT_EQ(countTagged(t, next), 0);
    t.first();
    ASSERT_TRUE(ToggleTag(t, next).ok()); // re-tagging works with the new id
    EXPECT_EQ(countTagged(t, next), 1);
}

TEST(Tagging, TagAllMatchesAndCancel) {
    AddressFile file(people());
    auto t = file.open();
    auto all = TagAllMatches(t, "T1");
    EXPECT_EQ(all.tagged, 4u);
    EXPECT_FALSE(all.cancelled);
    EXPECT_EQ(countTagged(t, "T1"), 4);
    auto some = TagAllMatches(t, "T2", [](std::uint32_t n) { return n < 2; });
    EXPECT_TRUE(some.cancelled);
    EXPECT_EQ(some.tagged, 2u);
    EXPECT_EQ(t.getString("LNAME"), "Adams"); // left on the first record
    EXPECT_EQ(countTagged(t, "T2"), 2);
}

TEST(Tagging, TagAllUnderTaggedFilterTagsNothingNew) {
    AddressFile file(people());
    auto t = file.open();
    ASSERT_TRUE(ToggleTag(t, "T1").ok());
    store::FilterCriteria f;
    f.tagged = true;
    auto outcome = store::ApplyFilter(t, f, "T1");
    EXPECT_EQ(outcome.matches, 1u);
    auto run = TagAllMatches(t, "T1");
    EXPECT_EQ(run.tagged, 1u);
    (void)t.setQuery(store::kNoFilterQuery);
    EXPECT_EQ(countTagged(t, "T1"), 1);
}

// ---- Searches ----

TEST(Search, SoftSeekFindsKeyBeginningWithText) {
    AddressFile file(people());
    auto t = file.open();
    (void)t.setOrder(0);
    EXPECT_TRUE(SearchInOrder(t, "LNAME", "bax"));
    EXPECT_EQ(t.getString("LNAME"), "Baxter");
    EXPECT_EQ(t.tagName(), "LNAME");
    EXPECT_FALSE(t.softSeek());
    EXPECT_FALSE(t.exact());
}

TEST(Search, NoMatchStaysOnRecordButOrderChanges) {
    AddressFile file(people());
    auto t = file.open();
    (void)t.setOrder(t.tagArea("FNAME"));
    t.first();
    t.next();
    const auto was = t.recNo();
    EXPECT_FALSE(SearchInOrder(t, "LNAME", "Zz"));
    EXPECT_EQ(t.recNo(), was);
    EXPECT_EQ(t.tagName(), "LNAME");
    EXPECT_EQ(SearchForLabel("Last Name"), "Search Last Name starting with...");
}

TEST(Search, MemoContainsRules) {
    EXPECT_TRUE(MemoTextContains("Call about the ORDER", "order"));
    EXPECT_FALSE(MemoTextContains("", ""));
    EXPECT_TRUE(MemoTextContains("x", ""));
    std::string longMemo(kMemoLookLimit, 'a');
    EXPECT_FALSE(MemoTextContains(longMemo + "needle", "needle"));
    EXPECT_TRUE(MemoTextContains(longMemo.substr(6) + "needle", "needle"));
    // Characters, not bytes, are counted.
    std::string accented;
    for (std::size_t i = 0; i < kMemoLookLimit - 2; ++i)
        accented += "\xC3\xA9";
    EXPECT_TRUE(MemoTextContains(accented + "ok", "OK"));
}

TEST(Search, MemoSearchAndFindNext) {
    AddressFile file(people());
    auto t = file.open(); // Adams, Baker, Baxter, Carter
    t.go(4);              // Baxter, no match
    EXPECT_TRUE(RunMemoSearch(t, "order", false));
    EXPECT_EQ(t.getString("LNAME"), "Baker");
    EXPECT_TRUE(RunMemoSearch(t, "order", true));
    EXPECT_EQ(t.getString("LNAME"), "Carter");
    EXPECT_FALSE(RunMemoSearch(t, "order", true)); // past the last match
    EXPECT_EQ(t.getString("LNAME"), "Carter");
    int calls = 0;
    t.first();
    EXPECT_FALSE(RunMemoSearch(t, "order", false, [&] { return ++calls < 1; }));
    EXPECT_EQ(t.getString("LNAME"), "Adams");
}

// ---- Record selection ----

TEST(Selection, StartFromCurrentOutsideSelectionStartsAtFirst) {
    AddressFile file(people());
    auto t = file.open();
    ASSERT_TRUE(ToggleTag(t, "T1").ok()); // Adams
    t.last();                             // Carter, untagged
    const auto carter = t.recNo();
    store::FilterCriteria f;
    f.tagged = true;
    store::ApplyFilter(t, f, "T1");
    (void)t.setQuery(store::kNoFilterQuery);
    t.go(carter);
    (void)t.setQuery(f.expression + ".and. !ISDEL");
    t.go(carter);
    std::string said;
    store::RecordSelection sel;
    sel.choice = store::SelectionChoice::Filter;
    sel.startFromCurrent = true;
    {
        auto walk = store::SelectionWalk::begin(t, sel, [&](std::string_view m) { said = m; });
        ASSERT_TRUE(walk.ok());
        EXPECT_EQ(t.getString("LNAME"), "Adams");
    }
    EXPECT_EQ(said, store::kOutOfRangeMessage);
}

// ---- Browse columns ----

TEST(BrowseColumns, DefaultsAndFieldsList) {
    auto order = DefaultCursorFieldOrder();
    ASSERT_EQ(order.size(), 28u);
    auto visible = VisibleFields(order);
    EXPECT_EQ(visible.front(), "Tagged");
    EXPECT_EQ(visible.size(), 21u);
    EXPECT_EQ(FieldLabel("ZIP"), "Zip/Postal Code");
    EXPECT_EQ(BrowseWidthChars("STATE"), 5);
    ApplyFieldsList(order, {"zip", "NOSUCH", "LNAME"});
    EXPECT_EQ(order[0], "ZIP");
    EXPECT_EQ(order[2], "LNAME");
    EXPECT_EQ(order.size(), 28u);

    qp::testing::TempDir dir;
    auto path = dir.path() / "FIELDS.LST";
    EXPECT_EQ(LoadCursorFieldOrder(path), DefaultCursorFieldOrder()); // missing file
    ASSERT_TRUE(WriteFieldsList(path, order));
    auto again = LoadCursorFieldOrder(path);
    EXPECT_EQ(again, order);
    EXPECT_EQ(VisibleFields(again).front(), "ZIP");
}

TEST(BrowseColumns, MovingVisibleColumnsKeepsHiddenPlaces) {
    auto order = DefaultCursorFieldOrder();
    auto visible = VisibleFields(order);
    std::rotate(visible.begin(), visible.begin() + 1, visible.end());
    auto moved = WithVisibleOrder(order, visible);
    EXPECT_EQ(moved[1], "FullName"); // hidden fields stay
    EXPECT_EQ(moved[0], "LNAME");
    EXPECT_EQ(VisibleFields(moved), visible);
}

// ---- Browse paging ----

TEST(BrowsePager, LargeFileRowsMatchAWalk) {
    qp::testing::TempDir dir;
    const std::string path = (dir.path() / "big.dbf").string();
    ASSERT_TRUE(qp::testing::SampleAddresses::writeTable(path, 200000, true).ok());
    auto t = store::openAddressFile(path);
    ASSERT_TRUE(t.ok());
    (void)t->setQuery(store::kNoFilterQuery);
    (void)t->setOrder(t->tagArea("LNAME"));
    t->first();
    TBrowsePager pager(*t, [](const store::Table& tt) {
        return std::vector<std::string>{tt.getString("LNAME"), std::to_string(tt.recNo())};
    });
    const int rows = pager.rowCount();
    EXPECT_GT(rows, 150000);
    EXPECT_LE(pager.anchorCount(), std::size_t(rows / TBrowsePager::kAnchorStep + 1));
    // The walk the engine gives, to compare with.
    std::vector<std::uint32_t> expected;
    for (bool more = t->first(); more && !t->eof(); more = t->next())
        expected.push_back(t->recNo());
    ASSERT_EQ(int(expected.size()), rows);
    t->first();
    for (int r : {0, 1, 63, 64, 5000, rows / 2, rows - 1, rows - 2, 12345, 12344})
        EXPECT_EQ(pager.recnoOfRow(r), expected[std::size_t(r)]) << r;
    EXPECT_EQ(t->recNo(), expected[0]); // the cursor is back where it was
    EXPECT_EQ(pager.currentRow(), 0);
    ASSERT_TRUE(pager.goToRow(rows - 1));
    EXPECT_EQ(t->recNo(), expected.back());
    // A row near the last one is reached from the end, not from the start.
    const auto before = pager.steps();
    (void)pager.row(rows - 200);
    EXPECT_LT(pager.steps() - before, 500u);
    // A record in the middle is located from scratch.
    t->go(expected[std::size_t(rows / 3)]);
    TBrowsePager fresh(*t, [](const store::Table&) { return std::vector<std::string>{}; });
    EXPECT_EQ(fresh.currentRow(), rows / 3);
    EXPECT_EQ(t->recNo(), expected[std::size_t(rows / 3)]);
    EXPECT_EQ(fresh.rowCount(), rows);
}

// ---- Dial sequence ----

TEST(Dial, CommandTexts) {
    EXPECT_EQ(InitCommand("&F"), "AT&F\r\n");
    EXPECT_EQ(InitCommand("at&f"), "at&f\r\n");
    EXPECT_EQ(InitCommand(""), "");
    EXPECT_EQ(InitCommand("A"), "ATA\r\n");
    EXPECT_EQ(DialCommand("9555-1212", true), "ATDP9555-1212\r\n");
    EXPECT_EQ(DialCommand("555", false), "ATDT555\r\n");
    EXPECT_EQ(HangUpCommand(), "ATH\r\n");
    EXPECT_EQ(ComDevice(0), "/dev/ttyS0");
    EXPECT_EQ(PortMessageName("/dev/ttyS3"), "COM4");
    EXPECT_EQ(PortMessageName("/dev/ttyUSB0"), "/dev/ttyUSB0");
}

namespace {

struct Pty {
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(master, 0);
        EXPECT_EQ(grantpt(master), 0);
        EXPECT_EQ(unlockpt(master), 0);
        slave = ptsname(master);
        // Raw mode on the slave side so CR LF arrive as sent.
        int fd = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        tcgetattr(fd, &tio);
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
        keep = fd;
    }
    ~Pty() {
        ::close(keep);
        ::close(master);
    }
    std::string readAll(int waitMs = 200) {
        std::string out;
        char buf[256];
        pollfd p{master, POLLIN, 0};
        while (poll(&p, 1, waitMs) > 0) {
            ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0)
                break;
            out.append(buf, std::size_t(n));
        }
        return out;
    }
    int master = -1, keep = -1;
    std::string slave;
};

} // namespace

TEST(Dial, SequenceOnPseudoTerminal) {
    Pty pty;
    DialLine line = PosixDialLine();
    std::vector<std::string> events;
    int waited = 0;
    auto realWrite = line.write;
    line.write = [&](const std::string& b) {
        events.push_back("write " + b);
        return realWrite(b);
    };
    line.wait = [&](int ms) {
        waited = ms;
        events.push_back("wait");
    };
    line.inform = [&](const std::string& m) { events.push_back(m); };
    line.error = [&](const std::string& m) { events.push_back("error " + m); };
    DialRequest r;
    r.number = "9555-1212";
    r.init = "&F";
    r.pulse = true;
    r.device = pty.slave;
    EXPECT_EQ(RunDial(r, line), DialResult::Dialled);
    EXPECT_EQ(pty.readAll(), "AT&F\r\nATDP9555-1212\r\nATH\r\n");
    EXPECT_EQ(waited, 1500);
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[1], "wait");
    EXPECT_EQ(events[3], "Pick up phone");
}

TEST(Dial, RealPauseAndEmptyInit) {
    Pty pty;
    DialLine line = PosixDialLine();
    line.inform = [](const std::string&) {};
    line.error = [](const std::string&) {};
    DialRequest r;
    r.number = "555";
    r.device = pty.slave;
    EXPECT_EQ(RunDial(r, line), DialResult::Dialled);
    EXPECT_EQ(pty.readAll(), "ATDT555\r\nATH\r\n");
    r.init = "at&f";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunDial(r, line), DialResult::Dialled);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_EQ(pty.readAll(), "at&f\r\nATDT555\r\nATH\r\n");
}

TEST(Dial, MissingDeviceAndDeclinedConfirmation) {
    DialLine line = PosixDialLine();
    std::string error;
    line.error = [&](const std::string& m) { error = m; };
    DialRequest r;
    r.number = "1";
    r.device = "/dev/no-such-modem";
    EXPECT_EQ(RunDial(r, line), DialResult::OpenFailed);
    EXPECT_EQ(error, "Unable to open /dev/no-such-modem");
    r.confirm = true;
    std::string asked;
    line.ask = [&](const std::string& q) {
        asked = q;
        return false;
    };
    EXPECT_EQ(RunDial(r, line), DialResult::Declined);
    EXPECT_EQ(asked, "About to dial the number 1. Are you sure?");
}
