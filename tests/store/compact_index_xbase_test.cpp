// Cross-tool check: Perl's XBase::Index (libdbd-xbase-perl) must list the
// same tags, keys, order and record numbers as we wrote, after bulk builds and
// after in-place changes that split pages. (Its idx reader handles the older
// non-compact layout, so standalone files are checked through our own reader.)

#include "store/compact_index.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <unistd.h>

namespace qp::store {
namespace {

namespace fs = std::filesystem;
using Model = std::set<std::pair<std::string, std::uint32_t>>;

// Prints "key<TAB>recno" per entry, or the tag names when no tag is given.
constexpr const char* kDumpScript = R"PERL(
use strict;
use XBase::Index;
my ($file, $tag) = @ARGV;
my %opts = (type => 'C');
$opts{tag} = $tag if defined $tag;
my $index = XBase::Index->new($file, %opts) or die XBase::Index->errstr;
if (!defined $tag) {
    print "$_\n" for $index->tags;
    exit 0;
}
$index->prepare_select or die $index->errstr;
while (my @row = $index->fetch) {
    print "$row[0]\t$row[1]\n";
}
die $index->errstr if $index->errstr;
)PERL";

class CompactIndexXBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("perl -MXBase::Index -e 1 >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "perl with XBase::Index is not installed";
        dir_ = fs::temp_directory_path() / ("qp_cdx_xbase_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        script_ = (dir_ / "dump.pl").string();
        std::ofstream(script_) << kDumpScript;
    }
    void TearDown() override {
        if (!dir_.empty())
            fs::remove_all(dir_);
    }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    // Output lines of the Perl dump; a failing run fails the test.
    std::vector<std::string> perlDump(const std::string& index, const std::string& tag = {}) {
        const std::string out = file("dump.txt");
        const std::string cmd = "perl '" + script_ + "' '" + index + "' " +
                                (tag.empty() ? "" : "'" + tag + "' ") + "> '" + out + "' 2> '" +
                                out + ".err'";
        const int rc = std::system(cmd.c_str());
        std::ifstream err(out + ".err");
        std::string errText((std::istreambuf_iterator<char>(err)), {});
        EXPECT_EQ(rc, 0) << "perl failed: " << errText;
        std::vector<std::string> lines;
        std::ifstream in(out, std::ios::binary);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    static std::string trimmed(std::string s) {
        s.erase(s.find_last_not_of(' ') + 1);
        return s;
    }

    void expectPerlSees(const std::string& index, const std::string& tag, const Model& model) {
        const auto lines = perlDump(index, tag);
        ASSERT_EQ(lines.size(), model.size()) << "tag " << tag;
        std::size_t i = 0;
        for (auto& [key, recno] : model) {
            ASSERT_EQ(lines[i], trimmed(key) + "\t" + std::to_string(recno))
                << "tag " << tag << " line " << i;
            ++i;
        }
    }

    fs::path dir_;
    std::string script_;
};

std::string nameKey(std::mt19937& rng, int keyLength) {
    static const char* last[] = {"Smith",   "Smithers", "Jones",    "Johnson", "Müller",
                                 "Mueller", "Brown",    "Ó Briain", "Zeta",    "Abbott"};
    static const char* first[] = {"Anna", "Andrew", "Bea", "Carl", "Élodie", "Jo", "John"};
    std::string key = last[rng() % 10] + std::string(", ") + first[rng() % 7];
    if (rng() % 2)
        key += " " + std::string(1, static_cast<char>('A' + rng() % 26)) + ".";
    key += " " + std::to_string(rng() % 500);
    key.resize(keyLength, ' ');
    return key;
}

std::vector<KeyEntry> entries(const Model& model) {
    std::vector<KeyEntry> out;
    for (auto& [k, r] : model)
        out.push_back({k, r});
    return out;
}

TagInfo tagInfo(const std::string& name, int keyLength, KeyType type = KeyType::Character) {
    TagInfo t;
    t.name = name;
    t.expression = name;
    t.keyLength = keyLength;
    t.keyType = type;
    return t;
}

TEST_F(CompactIndexXBaseTest, PerlReadsTagsBuiltAndChangedInPlace) {
    std::mt19937 rng(2024);
    Model names, cities, active, grown;
    for (std::uint32_t r = 1; r <= 20000; ++r) {
        names.insert({nameKey(rng, 60), r});
        std::string city = "CITY " + std::to_string(rng() % 300);
        city.resize(30, ' ');
        cities.insert({city, r});
        active.insert({rng() % 4 ? "T" : "F", r});
    }
    const std::string path = file("people.cdx");
    {
        auto index = CompactIndex::createCompound(path);
        ASSERT_TRUE(index);
        ASSERT_TRUE(index->addTag(tagInfo("NAME", 60), entries(names)));
        ASSERT_TRUE(index->addTag(tagInfo("CITY", 30), entries(cities)));
        ASSERT_TRUE(index->addTag(tagInfo("ACTIVE", 1, KeyType::Logical), entries(active)));
        ASSERT_TRUE(index->addTag(tagInfo("GROWN", 60), std::vector<KeyEntry>{}));
    }
    EXPECT_EQ(perlDump(path), (std::vector<std::string>{"ACTIVE", "CITY", "GROWN", "NAME"}));
    expectPerlSees(path, "NAME", names);
    expectPerlSees(path, "CITY", cities);
    expectPerlSees(path, "ACTIVE", active);
    expectPerlSees(path, "GROWN", {});

    {
        auto index = CompactIndex::open(path, IndexKind::Compound, false);
        ASSERT_TRUE(index) << index.error();
        const int name = *index->findTag("NAME"), flag = *index->findTag("ACTIVE"),
                  grow = *index->findTag("GROWN");
        for (int i = 0; i < 8000; ++i) {
            const auto recno = static_cast<std::uint32_t>(20001 + i);
            std::string key = i % 50 == 0 ? std::string(60, 'z') : nameKey(rng, 60);
            if (i % 50 == 1)
                key = "  " + key.substr(0, 58); // a new minimum
            ASSERT_TRUE(names.insert({key, recno}).second);
            ASSERT_TRUE(index->insert(name, key, recno));
            ASSERT_TRUE(active.insert({"T", recno}).second);
            ASSERT_TRUE(index->insert(flag, "T", recno));
            if (grown.insert({key, recno}).second) {
                ASSERT_TRUE(index->insert(grow, key, recno));
            }
        }
        for (int i = 0; i < 6000; ++i) {
            auto it = names.lower_bound({nameKey(rng, 60), 0});
            if (it == names.end())
                it = names.begin();
            ASSERT_TRUE(index->remove(name, it->first, it->second));
            names.erase(it);
            auto f = active.lower_bound({"F", 0});
            if (f != active.end() && f->first == "F") {
                ASSERT_TRUE(index->remove(flag, f->first, f->second));
                active.erase(f);
            }
        }
        ASSERT_TRUE(index->verify(name));
        ASSERT_TRUE(index->verify(grow));
    }
    expectPerlSees(path, "NAME", names);
    expectPerlSees(path, "ACTIVE", active);
    expectPerlSees(path, "GROWN", grown);
    expectPerlSees(path, "CITY", cities);
}

} // namespace
} // namespace qp::store
