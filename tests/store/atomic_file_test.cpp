// Files written whole or not at all.
#include "store/atomic_file.h"
#include "store/open_files.h"
#include "store/os_file.h"
#include "support/file_bytes.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace qp::store;
namespace fs = std::filesystem;

namespace {

using qp::testing::slurp;

std::size_t entries(const fs::path& folder) {
    return std::size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

} // namespace

TEST(AtomicFile, ReplacesTheTargetOnlyWhenCommitted) {
    qp::testing::TempDir dir;
    const fs::path target = dir.file("list.txt");
    std::ofstream(target) << "old";
    ::chmod(target.c_str(), 0640);
    {
        auto f = AtomicFile::create(target);
        ASSERT_TRUE(f) << f.error();
        ASSERT_TRUE(f->write("half"));
        EXPECT_EQ(slurp(target), "old");
        EXPECT_EQ(entries(dir.path()), 2u);
    } // dropped: the old file stays, the temporary goes
    EXPECT_EQ(slurp(target), "old");
    EXPECT_EQ(entries(dir.path()), 1u);

    ASSERT_TRUE(writeFileAtomically(target, "new content"));
    EXPECT_EQ(slurp(target), "new content");
    EXPECT_EQ(entries(dir.path()), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // the target's permissions are kept
}

TEST(AtomicFile, FailuresNameTheReason) {
    qp::testing::TempDir dir;
    auto missing = writeFileAtomically(dir.file("no/such/folder/x.txt"), "x");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().find("No such file or directory"), std::string::npos)
        << missing.error();
    // A folder in the way of the rename.
    fs::create_directory(dir.file("taken"));
    auto folder = writeFileAtomically(dir.file("taken"), "x");
    ASSERT_FALSE(folder);
    EXPECT_NE(folder.error().find("Is a directory"), std::string::npos) << folder.error();
    EXPECT_EQ(entries(dir.path()), 1u); // no temporary left behind
}

TEST(OpenFiles, KnownByIdentityWhateverTheName) {
    qp::testing::TempDir dir;
    const fs::path table = dir.file("T.DBF");
    std::ofstream(table) << "data";
    fs::create_hard_link(table, dir.file("other-name.pdf"));
    fs::create_symlink(table, dir.file("link.pdf"));
    EXPECT_FALSE(isOpenFile(table));
    {
        auto f = OsFile::open(table.string(), FileAccess::ReadOnly);
        ASSERT_TRUE(f);
        EXPECT_TRUE(isOpenFile(table));
        EXPECT_TRUE(isOpenFile(dir.file("other-name.pdf")));
        EXPECT_TRUE(isOpenFile(dir.file("link.pdf")));
        EXPECT_FALSE(checkNotOpenFile(dir.file("link.pdf")));
        EXPECT_TRUE(checkNotOpenFile(dir.file("fresh.pdf")));
    }
    EXPECT_FALSE(isOpenFile(dir.file("other-name.pdf")));
}
