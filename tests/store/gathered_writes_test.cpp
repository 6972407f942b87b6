// Writes gathered in memory: what reads see, what reaches the file, and when.
#include "store/os_file.h"
#include "support/file_bytes.h"
#include "support/sample_addresses.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace qp::store;
using qp::testing::slurp;
namespace fs = std::filesystem;

namespace {

std::string read(const OsFile& file, std::uint64_t at, std::size_t n) {
    std::string bytes(n, '\0');
    auto got = file.readAt(at, bytes.data(), n);
    EXPECT_TRUE(got.ok());
    bytes.resize(got.ok() ? *got : 0);
    return bytes;
}

// A new file with gathering on.
class GatheredWrites : public ::testing::Test {
protected:
    void SetUp() override {
        auto opened = OsFile::open(path, FileAccess::Truncate);
        ASSERT_TRUE(opened.ok()) << opened.error();
        file = std::move(*opened);
        ASSERT_TRUE(file.gatherWrites(true).ok());
    }
    qp::testing::TempDir dir;
    const std::string path = dir.file("F.DAT");
    OsFile file;
};

} // namespace

TEST_F(GatheredWrites, ReadsSeeThemAndOtherWritesLandAfterThem) {

    // Each write over the last byte of the one before, as appends over the
    // end mark: all in memory until something looks.
    ASSERT_TRUE(file.writeAt(0, "header\x1A", 7).ok());
    ASSERT_TRUE(file.writeAt(6, "rec1\x1A", 5).ok());
    ASSERT_TRUE(file.writeAt(10, "rec2\x1A", 5).ok());
    EXPECT_EQ(slurp(path), "");
    EXPECT_EQ(read(file, 6, 8), "rec1rec2");
    EXPECT_EQ(slurp(path), "headerrec1rec2\x1A");

    ASSERT_TRUE(file.writeAt(14, "rec3\x1A", 5).ok());
    auto size = file.size();
    ASSERT_TRUE(size.ok());
    EXPECT_EQ(*size, 19u);
    ASSERT_TRUE(file.writeAt(18, "rec4\x1A", 5).ok());
    auto mapped = MappedRegion::map(file, 18, 4);
    ASSERT_NE(mapped.data(), nullptr);
    EXPECT_EQ(std::string(mapped.data(), 4), "rec4");

    // A write elsewhere (the header's count) reaches the file after them.
    ASSERT_TRUE(file.writeAt(22, "rec5\x1A", 5).ok());
    ASSERT_TRUE(file.writeAt(0, "HEADER", 6).ok());
    EXPECT_EQ(slurp(path), "HEADERrec1rec2rec3rec4rec5\x1A");
}

TEST_F(GatheredWrites, ALongRunGoesOutInWholePiecesAndTheRestWhenTurnedOff) {
    std::string record(588, 'r');
    record += '\x1A';
    std::uint64_t end = 100;
    ASSERT_TRUE(file.writeAt(0, std::string(100, 'h').data(), 100).ok());
    for (int i = 0; i < 6000; ++i, end += 588) {
        record[0] = static_cast<char>('a' + i % 26);
        ASSERT_TRUE(file.writeAt(end, record.data(), record.size()).ok());
    }
    const auto written = fs::file_size(path);
    EXPECT_GT(written, 2u << 20);
    EXPECT_EQ(written % (256 << 10), 0u);
    ASSERT_TRUE(file.gatherWrites(false).ok());
    EXPECT_EQ(fs::file_size(path), end + 1);
    const std::string bytes = slurp(path);
    for (int i = 0; i < 6000; ++i)
        ASSERT_EQ(bytes[100 + std::size_t(i) * 588], static_cast<char>('a' + i % 26)) << i;
    EXPECT_EQ(bytes.back(), '\x1A');
    // Off, writes go straight to the file.
    ASSERT_TRUE(file.writeAt(0, "H", 1).ok());
    EXPECT_EQ(slurp(path)[0], 'H');
}
