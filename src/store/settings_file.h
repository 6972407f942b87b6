#pragma once
// QUILLP.ini: a Windows-style initialisation file, read and written at each
// use (nothing cached) and kept with CR LF lines so Windows tools can read it.

#include "result.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qp::store {

// A settings value as an integer: decimal with an optional sign, or "0x"/"0X"
// followed by hex digits (32 bits, wrapping like the Windows reader).
std::optional<int> parseIniInteger(std::string_view text);

class SettingsFile {
public:
    explicit SettingsFile(std::filesystem::path path) : path_(std::move(path)) {}
    // The settings file of the program folder.
    static SettingsFile standard();

    const std::filesystem::path& path() const { return path_; }

    // Section and key names are compared without regard to case. A value
    // enclosed in a matching pair of quotes is read without them.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    int readInteger(std::string_view section, std::string_view key, int defaultValue) const;
    bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;
    bool keyExists(std::string_view section, std::string_view key) const;
    bool sectionExists(std::string_view section) const;
    // Keys and values of a section, in file order.
    std::vector<std::pair<std::string, std::string>> readSection(std::string_view section) const;

    // Writing keeps every other line as it was; a new key goes after the last
    // line of its section, a new section at the end of the file.
    Status writeString(std::string_view section, std::string_view key, std::string_view value);
    Status writeInteger(std::string_view section, std::string_view key, int value);
    Status writeBool(std::string_view section, std::string_view key, bool value);
    Status eraseKey(std::string_view section, std::string_view key);
    Status eraseSection(std::string_view section);

private:
    std::filesystem::path path_;
};

// ---- NewFileFieldLengths ----

struct NewFileFieldLength {
    const char* field;     // address file field name
    int defaultWhenAbsent; // also the replacement for a length outside 5..80
    int buttonDefault;     // set by the Defaults button
};
inline constexpr std::array<NewFileFieldLength, 18> kNewFileFieldLengths = {{
    {"LNAME", 30, 30},
    {"FNAME", 30, 30},
    {"PREFIX", 12, 12},
    {"TITLE", 30, 30},
    {"ORG", 30, 30},
    {"STREET", 40, 40},
    {"STREET2", 40, 40},
    {"CITY", 30, 30},
    {"STATE", 20, 20},
    {"ZIP", 10, 10},
    {"COUNTRY", 30, 30},
    {"PHONE", 30, 30},
    {"PHONE2", 30, 30},
    {"FAX", 40, 30},
    {"EMAIL", 40, 40},
    {"CODES", 30, 30},
    {"USER1", 40, 40},
    {"USER2", 40, 40},
}};
inline constexpr int kMinStoredFieldLength = 5;
inline constexpr int kMaxStoredFieldLength = 80;

struct NewFileFieldLengths {
    std::array<int, 18> lengths{}; // in the order of kNewFileFieldLengths

    static NewFileFieldLengths absentDefaults();
    static NewFileFieldLengths buttonDefaults();
    // 0 for a field whose width is not settable.
    int lengthOf(std::string_view field) const;
    bool set(std::string_view field, int length);
    // Every length outside 5..80 replaced by its default when absent.
    NewFileFieldLengths validated() const;
};

NewFileFieldLengths ReadNewFileFieldLengths(const SettingsFile& settings);
Status WriteNewFileFieldLengths(SettingsFile& settings, const NewFileFieldLengths& lengths);

// ---- MRU ----

inline constexpr int kMruSize = 4;
// Item1..Item4 with blank values skipped.
std::vector<std::string> ReadMruList(const SettingsFile& settings);
Status WriteMruList(SettingsFile& settings, const std::vector<std::string>& items);
// `path` first, then the earlier entries that differ from it, at most four.
std::vector<std::string> MruListWithFirst(const std::vector<std::string>& items,
                                          std::string_view path);

// ---- Misc ----

// True when the Getting Started window is not to be shown at start-up.
bool ReadGettingStartedOff(const SettingsFile& settings);
Status WriteGettingStartedOff(SettingsFile& settings, bool off);
// The stored tag identifier; when absent or blank a fresh stamp is made.
// Either way the value is written back at once.
std::string LoadGlobalTagId(SettingsFile& settings);
Status WriteGlobalTagId(SettingsFile& settings, std::string_view tagId);

// ---- Adding ----

struct AddingPreferences {
    bool plugDate = false, plugCityState = false, autoDupCheck = false;
    bool carryOrg = false, carrySA1 = false, carrySA2 = false, carryCity = false,
         carryState = false, carryZip = false, carryCountry = false;
    bool skipOrganization = false, skipPhone1 = false, skipEmail = false, skipState = false,
         skipZip = false, skipCountry = false, skipAddress2 = false, skipLastName = false,
         skipMiddleInitial = false, skipFirstName = false, skipTitle = false, skipPhone2 = false,
         skipFax = false, skipCodes = false, skipPrefix = false, skipComments1 = false,
         skipDate = false, skipComments2 = false;
    std::string defaultCountry;

    bool operator==(const AddingPreferences&) const = default;
};
AddingPreferences ReadAddingPreferences(const SettingsFile& settings);
Status WriteAddingPreferences(SettingsFile& settings, const AddingPreferences& prefs);

// ---- Dialing ----

struct DialingSettings {
    std::string prefix;
    std::string init;
    int port = 0;   // 0..3 for COM1..COM4
    int method = 0; // 0 tone, 1 pulse
    bool operator==(const DialingSettings&) const = default;
};
DialingSettings ReadDialingSettings(const SettingsFile& settings);
Status WriteDialingSettings(SettingsFile& settings, const DialingSettings& dialing);

// ---- Letter and Label default design font ----

struct DesignFontSettings {
    std::string name = "Arial";
    int size = 10;
    bool bold = false;
    bool italic = false;
    bool operator==(const DesignFontSettings&) const = default;
};
// `section` is "Letter" or "Label".
DesignFontSettings ReadDesignFont(const SettingsFile& settings, std::string_view section);
Status WriteDesignFont(SettingsFile& settings, std::string_view section,
                       const DesignFontSettings& font);

// ---- Envelope Feed ----

struct EnvelopeFeedSettings {
    int orientation = 1; // 0 portrait feed, 1 landscape feed
    int facing = 1;      // 0 up, 1 down
    int position = 2;    // 0 left, 1 right, 2 center
    bool clockWiseRotation = false;
    bool operator==(const EnvelopeFeedSettings&) const = default;
};
EnvelopeFeedSettings ReadEnvelopeFeed(const SettingsFile& settings);
Status WriteEnvelopeFeed(SettingsFile& settings, const EnvelopeFeedSettings& feed);

// ---- Window placement ----

struct WindowPlacement {
    int left = 0, top = 0, right = 0, bottom = 0; // normal rectangle, screen pixels
    bool maximized = false;
    bool operator==(const WindowPlacement&) const = default;
};
// Class name + "_Placement", followed by the pixels per inch when above 96.
std::string PlacementSectionName(std::string_view windowClass, int pixelsPerInch);
WindowPlacement ReadWindowPlacement(const SettingsFile& settings, std::string_view section,
                                    bool designedMaximized);
Status WriteWindowPlacement(SettingsFile& settings, std::string_view section,
                            const WindowPlacement& placement);
// A rectangle reaching past the right or bottom screen edge moved back inside,
// its size kept. (Bottom 0 means "centre the window"; the caller decides.)
WindowPlacement FitPlacementToScreen(WindowPlacement placement, int screenWidth, int screenHeight);

} // namespace qp::store
