// What the printing commands may write over, and what a full disk does to
// every file the batch writes: the old file stays whole and the message says
// why.

#include "support/peer_tools.h"
#include "support/sample_addresses.h"

#include "store/address_file.h"
#include "support/file_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace qp::testing;
namespace fs = std::filesystem;

namespace {

using qp::testing::slurp;

void spit(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class BatchOutputs : public ::testing::Test {
protected:
    void SetUp() override {
        address = home.file("ADD0001.DBF");
        ASSERT_TRUE(qp::store::createAddressFile(address, {}));
        auto t = qp::store::openAddressFile(address);
        ASSERT_TRUE(t) << t.error();
        for (const char* name : {"Baker", "Jones"}) {
            ASSERT_TRUE(t->append());
            ASSERT_TRUE(t->replace("LNAME", name));
            ASSERT_TRUE(t->replace("ZIP", "12345"));
            ASSERT_TRUE(t->post());
        }
    }
    // stdout and stderr apart: the exit status and stdout in `output`, stderr
    // in `errors`.
    CommandOutput batch(const std::string& args, std::string* errors = nullptr) {
        const std::string errFile = home.file("stderr.txt");
        auto r =
            runCommand("{ QUILLPOST_HOME=" + shellQuote(home.path().string()) + " " +
                       shellQuote(QP_BATCH_EXE) + " " + args + " 2>" + shellQuote(errFile) + "; }");
        const std::string err = slurp(errFile);
        fs::remove(errFile);
        if (errors)
            *errors = err;
        else
            r.output += err;
        return r;
    }
    TempDir home;
    std::string address;
};

} // namespace

TEST_F(BatchOutputs, APdfReplacesOnlyAPdfUnlessToldToOverwrite) {
    const std::string notes = home.file("notes.txt");
    spit(notes, "my notes\n");
    auto refused = batch("print-test-page --pdf " + shellQuote(notes));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find("is not a PDF file; add --overwrite"), std::string::npos)
        << refused.output;
    EXPECT_EQ(slurp(notes), "my notes\n");

    auto forced = batch("print-test-page --overwrite --pdf " + shellQuote(notes));
    ASSERT_EQ(forced.status, 0) << forced.output;
    EXPECT_EQ(slurp(notes).rfind("%PDF-", 0), 0u);
    // A PDF is replaced without asking; so is a file that does not exist yet.
    auto again = batch("print-test-page --pdf " + shellQuote(notes));
    EXPECT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(batch("print-test-page --pdf " + shellQuote(home.file("new.pdf"))).status, 0);
    EXPECT_EQ(batch("print-test-page --pdf " + shellQuote(home.path().string())).status, 1);
    // No temporary file is left beside the outputs.
    for (const auto& entry : fs::directory_iterator(home.path()))
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
}

TEST_F(BatchOutputs, NoOutputIsWrittenOverAFileOfTheOpenTable) {
    ASSERT_EQ(batch("label new Sheet --template 'Avery 5160  Address'").status, 0);
    const std::string dbf = slurp(address);
    // Other names for the table's own files: a hard link and a symbolic link.
    const std::string linked = home.file("looks-like.pdf");
    fs::create_hard_link(address, linked);
    const std::string memo = home.file("memo-link.psl");
    fs::create_symlink(home.file("ADD0001.FPT"), memo);
    const std::string fpt = slurp(memo);

    std::string errors;
    auto labels = batch("labels " + shellQuote(address) + " --label Sheet --selection all --pdf " +
                            shellQuote(linked) + " --overwrite",
                        &errors);
    EXPECT_EQ(labels.status, 1) << labels.output;
    EXPECT_NE(errors.find("is a file of an open table"), std::string::npos) << errors;
    auto presort =
        batch("presort " + shellQuote(address) + " --out " + shellQuote(memo) + " --overwrite");
    EXPECT_EQ(presort.status, 1);
    EXPECT_NE(presort.output.find("is a file of an open table"), std::string::npos)
        << presort.output;
    EXPECT_EQ(slurp(address), dbf);
    EXPECT_EQ(slurp(memo), fpt);
    EXPECT_EQ(batch("check " + shellQuote(address)).output, "valid\n");
}

TEST_F(BatchOutputs, PresortReplacesOnlyAPresortListUnlessToldToOverwrite) {
    const std::string list = home.file("LIST.PSL");
    spit(list, "not a list\n");
    auto refused = batch("presort " + shellQuote(address) + " --out " + shellQuote(list));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find("is not a presort list; add --overwrite"), std::string::npos)
        << refused.output;
    EXPECT_EQ(slurp(list), "not a list\n");
    ASSERT_EQ(
        batch("presort " + shellQuote(address) + " --out " + shellQuote(list) + " --overwrite")
            .status,
        0);
    const std::string written = slurp(list);
    EXPECT_NE(written.find("12345\r\n"), std::string::npos) << written;
    // A presort list is replaced without asking.
    EXPECT_EQ(batch("presort " + shellQuote(address) + " --out " + shellQuote(list)).status, 0);
}

TEST_F(BatchOutputs, LabelsReportsItsFailuresOnStderr) {
    ASSERT_EQ(batch("label new Sheet --template 'Avery 5160  Address'").status, 0);
    for (const auto& entry : fs::directory_iterator(home.file("sysdata")))
        if (entry.path().extension() == ".L")
            spit(entry.path().string(), "damaged");
    std::string errors;
    auto r = batch("labels " + shellQuote(address) + " --label Sheet --selection all --pdf " +
                       shellQuote(home.file("out.pdf")),
                   &errors);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(errors.empty());
    EXPECT_EQ(r.output.find(errors.substr(0, errors.find('\n'))), std::string::npos)
        << "stdout: " << r.output << "\nstderr: " << errors;
    EXPECT_FALSE(fs::exists(home.file("out.pdf")));
}

TEST_F(BatchOutputs, ClearTagsSaysWhenTheNewIdentifierCannotBeStored) {
    // /proc takes no new files, whoever runs the test.
    auto r = runCommand("QUILLPOST_HOME=/proc " + shellQuote(QP_BATCH_EXE) + " clear-tags");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("Could not store the new tag identifier"), std::string::npos)
        << r.output;
}

namespace {

// Runs `script` (bash) as root in a mount namespace of its own, with $DISK a
// 4 MB tmpfs; false when the system does not allow that.
bool canMountPrivateTmpfs() {
    return runCommand("unshare -m sh -c 'd=$(mktemp -d) && mount -t tmpfs -o size=64k tmpfs \"$d\" "
                      "&& umount \"$d\"; rmdir \"$d\"' 2>/dev/null")
               .status == 0;
}

CommandOutput onFullDisk(const std::string& script) {
    TempDir mountPoint;
    const std::string whole = "set -u\necho\nmount -t tmpfs -o size=4m tmpfs \"$DISK\" || exit 99\n"
                              "export QUILLPOST_HOME=\"$DISK/home\"\nmkdir -p \"$QUILLPOST_HOME\"\n"
                              "B=" +
                              shellQuote(QP_BATCH_EXE) + "\n" + script;
    const std::string file = mountPoint.file("script.sh");
    spit(file, whole);
    fs::create_directory(mountPoint.file("disk"));
    return runCommand("DISK=" + shellQuote(mountPoint.file("disk")) + " unshare -m bash " +
                      shellQuote(file));
}

} // namespace

TEST(BatchFullDisk, WritersKeepTheOldFileAndSayTheDiskIsFull) {
    if (::geteuid() != 0 || !canMountPrivateTmpfs())
        GTEST_SKIP() << "no private tmpfs here (needs root and mount namespaces)";
    // Everything is set up, then the disk is filled; each writer must fail
    // with the system's reason and leave its old file as it was.
    auto r = onFullDisk(R"sh(
cd "$QUILLPOST_HOME"
"$B" label new Old --template 'Avery 5160  Address' >/dev/null || exit 98
"$B" print-test-page --pdf old.pdf >/dev/null || exit 97
printf '12345\r\n' > list.psl
echo "old export" > out.txt
"$B" create ADD.DBF >/dev/null && "$B" add ADD.DBF LNAME=A ZIP=12345 >/dev/null || exit 96
layout=$(ls sysdata/*.L)
sums() { md5sum old.pdf list.psl out.txt ADD.DBF sysdata/LABEL.DBF $layout | md5sum; }
before=$(sums)
dd if=/dev/zero of="$DISK/filler" bs=4k >/dev/null 2>&1
echo "new: $("$B" label new Fresh 2>&1; echo " exit=$?")"
echo "pdf: $("$B" print-test-page --pdf old.pdf 2>&1; echo " exit=$?")"
echo "import: $("$B" label import-layout Again "$layout" 2>&1; echo " exit=$?")"
echo "presort: $("$B" presort ADD.DBF --out list.psl 2>&1; echo " exit=$?")"
echo "export: $("$B" export ADD.DBF out.txt --text --overwrite 2>&1; echo " exit=$?")"
echo "create: $("$B" create NEW.DBF 2>&1; echo " exit=$?")"
echo "new tables: $(ls | grep -ci '^new\.')"
after=$(sums)
[ "$before" = "$after" ] && echo "old files unchanged"
echo "empty layouts: $(find sysdata -name '*.L' -size 0 | wc -l)"
echo "temporaries: $(find . -name '.*' ! -name . | wc -l)"
)sh");
    ASSERT_NE(r.status, 99) << r.output;
    ASSERT_NE(r.status, 98) << r.output;
    ASSERT_NE(r.status, 97) << r.output;
    ASSERT_NE(r.status, 96) << r.output;
    auto line = [&](const std::string& key) {
        // From "key: " to its exit status; messages span lines.
        const auto at = r.output.find("\n" + key + ": ");
        const auto end = r.output.find(" exit=", at);
        return at == std::string::npos || end == std::string::npos
                   ? std::string()
                   : r.output.substr(at, end + 7 - at);
    };
    for (const char* key : {"new", "pdf", "import", "presort", "export", "create"}) {
        const std::string l = line(key);
        EXPECT_NE(l.find("No space left on device"), std::string::npos) << r.output;
        EXPECT_NE(l.find("exit=1"), std::string::npos) << r.output;
    }
    EXPECT_NE(r.output.find("old files unchanged"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("empty layouts: 0"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("new tables: 0"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("temporaries: 0"), std::string::npos) << r.output;
}
