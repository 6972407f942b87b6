// The settings file and filter files fed arbitrary bytes. Each must give a
// value (a default where the text is damaged) or a message, never a crash or
// a hang; a value written into any settings file must read back.

#include "store_text_targets.h"

#include "store/address_file.h"
#include "store/address_filter.h"
#include "store/filter_file.h"
#include "store/settings_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// One scratch folder per process, removed at exit.
const fs::path& scratch() {
    static const fs::path folder = [] {
        // Memory-backed when the system has it: every settings write is
        // flushed to the disk, and thousands of them need not wear one.
        std::error_code ec;
        const fs::path base =
            fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "qp-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        return fs::path(pattern);
    }();
    static const struct Cleanup {
        ~Cleanup() {
            std::error_code ec;
            fs::remove_all(folder, ec);
        }
    } cleanup;
    return folder;
}

void writeBytes(const fs::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

} // namespace

int ReadSettingsBytes(const std::uint8_t* data, std::size_t size) {
    using namespace qp::store;
    const fs::path path = scratch() / "QUILLP.ini";
    writeBytes(path, data, size);
    SettingsFile settings(path);
    (void)ReadNewFileFieldLengths(settings);
    (void)ReadMruList(settings);
    (void)ReadGettingStartedOff(settings);
    (void)ReadAddingPreferences(settings);
    (void)ReadDialingSettings(settings);
    (void)ReadDesignFont(settings, "Label");
    (void)ReadEnvelopeFeed(settings);
    (void)ReadWindowPlacement(settings, PlacementSectionName("TMainForm", 96), false);
    (void)settings.readSection("Misc");
    (void)settings.readInteger("Misc", "Zoom", 1);
    if (auto st = settings.writeString("Fuzz Check", "Value", "written"); st) {
        if (settings.readString("Fuzz Check", "Value", "") != "written")
            __builtin_trap();
    }
    if (std::string id = LoadGlobalTagId(settings); id.empty())
        __builtin_trap();
    return 0;
}

int ReadFilterBytes(const std::uint8_t* data, std::size_t size) {
    using namespace qp::store;
    static const fs::path table = [] {
        const fs::path file = scratch() / "ADDR.DBF";
        if (!createAddressFile(file.string(), {}))
            std::abort();
        auto t = openAddressFile(file.string());
        if (!t)
            std::abort();
        const char* names[][3] = {
            {"Smith", "Ann", "12345"}, {"Jones", "Bo", "90210"}, {"Ng", "Cy", "A1B 2C3"}};
        for (auto& n : names) {
            (void)t->append();
            (void)t->replace("LNAME", n[0]);
            (void)t->replace("FNAME", n[1]);
            (void)t->replace("ZIP", n[2]);
            (void)t->post();
        }
        return file;
    }();
    const fs::path path = scratch() / "FUZZ.FLT";
    writeBytes(path, data, size);
    auto read = ReadFilterFrom(path);
    if (!read)
        return 0; // a message
    auto t = openAddressFile(table.string(), OpenMode::ReadOnly);
    if (!t)
        std::abort();
    FilterCriteria filter = *read;
    (void)ApplyFilter(*t, filter, "TAGID");
    // What was read saves and reads back the same, when it can be saved.
    if (SaveFilterTo(path, *read)) {
        auto again = ReadFilterFrom(path);
        if (!again || again->criteria != read->criteria || again->tagged != read->tagged ||
            again->reverse != read->reverse)
            __builtin_trap();
    }
    return 0;
}
