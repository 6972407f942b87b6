// `quillpost-batch reindex` killed with SIGKILL at random moments: whatever
// the moment, the next open shows every live record exactly once with its
// memo, and the next reindex finishes the job.

#include "store/table.h"
#include "store/table_files.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace qp::store;
using qp::testing::SampleAddresses;
using qp::testing::TempDir;
namespace fs = std::filesystem;

namespace {

// Each live record as the text of its stored fields and its memo.
std::vector<std::string> liveRecords(Table& t) {
    t.setDeleted(true);
    (void)t.setOrder(0);
    std::vector<std::string> out;
    for (bool more = t.first(); more; more = t.next()) {
        std::string row;
        for (int i = 0; i < static_cast<int>(t.fields().size()); ++i)
            if (t.fields()[std::size_t(i)].type != 'M')
                row += t.getString(i) + '|';
        auto memo = t.getMemo("MEMO");
        row += memo ? *memo : "MEMO ERROR " + memo.error();
        out.push_back(std::move(row));
    }
    std::sort(out.begin(), out.end());
    return out;
}

pid_t startReindex(const std::string& home, const std::string& table) {
    std::string env = "QUILLPOST_HOME=" + home;
    std::vector<char*> envp{env.data(), nullptr};
    std::string exe = QP_BATCH_EXE, command = "reindex", file = table;
    char* argv[] = {exe.data(), command.data(), file.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int waitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

void copyFolder(const fs::path& from, const fs::path& to) {
    fs::remove_all(to);
    fs::create_directories(to);
    for (const auto& e : fs::directory_iterator(from))
        fs::copy_file(e.path(), to / e.path().filename());
}

} // namespace

TEST(ReindexKilled, NeverDuplicatesOrLosesRecords) {
    TempDir dir;
    const fs::path pristine = dir.path() / "pristine";
    const fs::path work = dir.path() / "work";
    fs::create_directories(pristine);
    ASSERT_TRUE(SampleAddresses::writeTable((pristine / "ADDR.DBF").string(), 4000, true, 7).ok());
    std::vector<std::string> expected;
    {
        auto t = Table::open((pristine / "ADDR.DBF").string(), OpenMode::ReadOnly);
        ASSERT_TRUE(t.ok());
        expected = liveRecords(*t);
        ASSERT_LT(expected.size(), t->recCount()); // some records are deleted
    }
    const std::string table = (work / "ADDR.DBF").string();

    // How long an uninterrupted run takes sets the range of kill moments:
    // the shorter of two, since the first may load the program from disk
    // and would put most kill moments after the end of a warm run.
    auto fullMicros = std::numeric_limits<long>::max();
    pid_t pid = -1;
    for (int warm = 0; warm < 2; ++warm) {
        copyFolder(pristine, work);
        auto start = std::chrono::steady_clock::now();
        pid = startReindex(dir.path().string(), table);
        ASSERT_GT(pid, 0);
        ASSERT_EQ(waitFor(pid), 0);
        auto full = std::chrono::steady_clock::now() - start;
        fullMicros = std::min<long>(
            fullMicros, std::chrono::duration_cast<std::chrono::microseconds>(full).count());
    }

    std::mt19937 random(20261209);
    int killedMidway = 0;
    for (int run = 0; run < 32; ++run) {
        copyFolder(pristine, work);
        std::uniform_int_distribution<long> moment(0, fullMicros);
        pid = startReindex(dir.path().string(), table);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(pid, SIGKILL);
        int status = waitFor(pid);
        if (WIFSIGNALED(status))
            ++killedMidway;

        {
            auto t = Table::open(table, OpenMode::Exclusive);
            ASSERT_TRUE(t.ok()) << "run " << run << ": " << t.error();
            EXPECT_EQ(t->damage(), "") << "run " << run;
            EXPECT_EQ(liveRecords(*t), expected) << "run " << run;
        }
        EXPECT_FALSE(fileExists(packedTablePath(table))) << "run " << run;
        pid = startReindex(dir.path().string(), table);
        ASSERT_EQ(waitFor(pid), 0) << "run " << run;
        auto t = Table::open(table, OpenMode::ReadOnly);
        ASSERT_TRUE(t.ok()) << "run " << run << ": " << t.error();
        EXPECT_EQ(t->indexError(), "");
        EXPECT_EQ(t->recCount(), expected.size());
        EXPECT_EQ(liveRecords(*t), expected) << "run " << run;
        ASSERT_TRUE(t->setOrder(t->tagArea("LNAME")).ok());
        std::uint32_t walked = 0;
        for (bool more = t->first(); more; more = t->next())
            ++walked;
        EXPECT_EQ(walked, expected.size()) << "run " << run;
    }
    EXPECT_GE(killedMidway, 16);
}
