#include "settings_file.h"

#include "atomic_file.h"
#include "shared_routines.h"

#include <cstdint>
#include <fstream>
#include <sstream>
#include <system_error>

namespace qp::store {

namespace fs = std::filesystem;

std::optional<int> parseIniInteger(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint64_t value = 0;
        for (char c : text.substr(2)) {
            int digit = (c >= '0' && c <= '9')   ? c - '0'
                        : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                        : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                 : -1;
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + std::uint64_t(digit);
            if (value > 0xFFFFFFFFu)
                return std::nullopt;
        }
        return int(std::int32_t(std::uint32_t(value)));
    }
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > std::int64_t(INT32_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return std::nullopt;
    return int(value);
}

// ---- The file as lines ----

namespace {

bool isIniSpace(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimIni(std::string_view s) {
    while (!s.empty() && isIniSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isIniSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = char(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

struct IniLines {
    bool bom = false;
    std::vector<std::string> lines;
};

IniLines loadLines(const fs::path& path) {
    IniLines ini;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return ini;
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string text = buffer.str();
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        ini.bom = true;
        text.erase(0, 3);
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ini.lines.push_back(std::move(line));
        start = end + 1;
    }
    return ini;
}

Status storeLines(const fs::path& path, const IniLines& ini) {
    std::string text = ini.bom ? "\xEF\xBB\xBF" : "";
    for (const std::string& line : ini.lines)
        text += line + "\r\n";
    std::error_code ec;
    if (path.has_parent_path())
        fs::create_directories(path.parent_path(), ec);
    // Written beside and renamed, so a failed write never leaves half a file.
    return writeFileAtomically(path, text);
}

// The section name of a "[name]" line.
std::optional<std::string_view> sectionOf(std::string_view line) {
    line = trimIni(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trimIni(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> keyOf(std::string_view line) {
    std::string_view trimmed = trimIni(line);
    if (trimmed.empty() || trimmed.front() == ';')
        return std::nullopt;
    std::size_t eq = trimmed.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return KeyLine{trimIni(trimmed.substr(0, eq)), trimIni(trimmed.substr(eq + 1))};
}

std::string unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

// Quoted when reading would otherwise change it: outer blanks or outer quotes.
std::string quoteForWriting(std::string_view value) {
    if (value.empty())
        return {};
    bool outerBlank = isIniSpace(value.front()) || isIniSpace(value.back());
    bool outerQuotes = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                       value.back() == value.front();
    if (outerBlank || outerQuotes)
        return "\"" + std::string(value) + "\"";
    return std::string(value);
}

// Line range [begin, end) of the first section named `section`; begin is the
// header line. Nothing when absent.
std::optional<std::pair<std::size_t, std::size_t>> findSection(const IniLines& ini,
                                                               std::string_view section) {
    for (std::size_t i = 0; i < ini.lines.size(); ++i) {
        auto name = sectionOf(ini.lines[i]);
        if (!name || !sameName(*name, section))
            continue;
        std::size_t end = i + 1;
        while (end < ini.lines.size() && !sectionOf(ini.lines[end]))
            ++end;
        return std::make_pair(i, end);
    }
    return std::nullopt;
}

std::optional<std::size_t> findKey(const IniLines& ini, std::pair<std::size_t, std::size_t> range,
                                   std::string_view key) {
    for (std::size_t i = range.first + 1; i < range.second; ++i) {
        auto line = keyOf(ini.lines[i]);
        if (line && sameName(line->key, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> lookUp(const fs::path& path, std::string_view section,
                                  std::string_view key) {
    IniLines ini = loadLines(path);
    auto range = findSection(ini, section);
    if (!range)
        return std::nullopt;
    auto at = findKey(ini, *range, key);
    if (!at)
        return std::nullopt;
    return unquote(keyOf(ini.lines[*at])->value);
}

bool badName(std::string_view name) {
    return trimIni(name).empty() || name.find_first_of("\r\n=[]") != std::string_view::npos ||
           trimIni(name).front() == ';';
}

} // namespace

// ---- SettingsFile ----

SettingsFile SettingsFile::standard() {
    return SettingsFile(SettingsPath());
}

std::string SettingsFile::readString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
    auto value = lookUp(path_, section, key);
    return value ? *value : std::string(defaultValue);
}

int SettingsFile::readInteger(std::string_view section, std::string_view key,
                              int defaultValue) const {
    auto value = lookUp(path_, section, key);
    if (!value)
        return defaultValue;
    return parseIniInteger(*value).value_or(defaultValue);
}

bool SettingsFile::readBool(std::string_view section, std::string_view key,
                            bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool SettingsFile::keyExists(std::string_view section, std::string_view key) const {
    return lookUp(path_, section, key).has_value();
}

bool SettingsFile::sectionExists(std::string_view section) const {
    return findSection(loadLines(path_), section).has_value();
}

std::vector<std::pair<std::string, std::string>>
SettingsFile::readSection(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> entries;
    IniLines ini = loadLines(path_);
    auto range = findSection(ini, section);
    if (!range)
        return entries;
    for (std::size_t i = range->first + 1; i < range->second; ++i) {
        auto line = keyOf(ini.lines[i]);
        if (!line)
            continue;
        bool seen = false;
        for (const auto& entry : entries)
            seen = seen || sameName(entry.first, line->key);
        if (!seen)
            entries.emplace_back(std::string(line->key), unquote(line->value));
    }
    return entries;
}

Status SettingsFile::writeString(std::string_view section, std::string_view key,
                                 std::string_view value) {
    if (badName(section) || badName(key))
        return fail("Invalid settings name [" + std::string(section) + "] " + std::string(key));
    if (value.find_first_of("\r\n") != std::string_view::npos)
        return fail("A settings value cannot hold a line break");
    IniLines ini = loadLines(path_);
    std::string line = std::string(key) + "=" + quoteForWriting(value);
    auto range = findSection(ini, section);
    if (!range) {
        ini.lines.push_back("[" + std::string(section) + "]");
        ini.lines.push_back(line);
    } else if (auto at = findKey(ini, *range, key)) {
        // The same value again leaves the file as it is: no rewrite (and no
        // sync) for a program that stores what it has just read.
        if (ini.lines[*at] == line)
            return Status::success();
        ini.lines[*at] = line;
    } else {
        std::size_t insertAt = range->second;
        while (insertAt > range->first + 1 && trimIni(ini.lines[insertAt - 1]).empty())
            --insertAt;
        ini.lines.insert(ini.lines.begin() + std::ptrdiff_t(insertAt), line);
    }
    return storeLines(path_, ini);
}

Status SettingsFile::writeInteger(std::string_view section, std::string_view key, int value) {
    return writeString(section, key, std::to_string(value));
}

Status SettingsFile::writeBool(std::string_view section, std::string_view key, bool value) {
    return writeString(section, key, value ? "1" : "0");
}

Status SettingsFile::eraseKey(std::string_view section, std::string_view key) {
    IniLines ini = loadLines(path_);
    auto range = findSection(ini, section);
    if (!range)
        return Status::success();
    auto at = findKey(ini, *range, key);
    if (!at)
        return Status::success();
    ini.lines.erase(ini.lines.begin() + std::ptrdiff_t(*at));
    return storeLines(path_, ini);
}

Status SettingsFile::eraseSection(std::string_view section) {
    IniLines ini = loadLines(path_);
    auto range = findSection(ini, section);
    if (!range)
        return Status::success();
    ini.lines.erase(ini.lines.begin() + std::ptrdiff_t(range->first),
                    ini.lines.begin() + std::ptrdiff_t(range->second));
    return storeLines(path_, ini);
}

// ---- Typed sections ----

namespace {

// Stops at the first failed write and reports it.
struct Writes {
    Status status;
    void operator()(Status s) {
        if (status.ok() && !s.ok())
            status = s;
    }
};

constexpr std::string_view kLengths = "NewFileFieldLengths";

} // namespace

NewFileFieldLengths NewFileFieldLengths::absentDefaults() {
    NewFileFieldLengths result;
    for (std::size_t i = 0; i < kNewFileFieldLengths.size(); ++i)
        result.lengths[i] = kNewFileFieldLengths[i].defaultWhenAbsent;
    return result;
}

NewFileFieldLengths NewFileFieldLengths::buttonDefaults() {
    NewFileFieldLengths result;
    for (std::size_t i = 0; i < kNewFileFieldLengths.size(); ++i)
        result.lengths[i] = kNewFileFieldLengths[i].buttonDefault;
    return result;
}

int NewFileFieldLengths::lengthOf(std::string_view field) const {
    for (std::size_t i = 0; i < kNewFileFieldLengths.size(); ++i)
        if (sameName(field, kNewFileFieldLengths[i].field))
            return lengths[i];
    return 0;
}

bool NewFileFieldLengths::set(std::string_view field, int length) {
    for (std::size_t i = 0; i < kNewFileFieldLengths.size(); ++i)
        if (sameName(field, kNewFileFieldLengths[i].field)) {
            lengths[i] = length;
            return true;
        }
    return false;
}

NewFileFieldLengths NewFileFieldLengths::validated() const {
    NewFileFieldLengths result = *this;
    for (std::size_t i = 0; i < kNewFileFieldLengths.size(); ++i)
        if (result.lengths[i] < kMinStoredFieldLength || result.lengths[i] > kMaxStoredFieldLength)
            result.lengths[i] = kNewFileFieldLengths[i].defaultWhenAbsent;
    return result;
}

NewFileFieldLengths ReadNewFileFieldLengths(const SettingsFile& settings) {
    NewFileFieldLengths result;
    for (std::size_t i = 0; i < kNewFileFieldLengths.size(); ++i)
        result.lengths[i] =
            settings.readInteger(kLengths, std::string("Field") + kNewFileFieldLengths[i].field,
                                 kNewFileFieldLengths[i].defaultWhenAbsent);
    return result.validated();
}

Status WriteNewFileFieldLengths(SettingsFile& settings, const NewFileFieldLengths& lengths) {
    NewFileFieldLengths valid = lengths.validated();
    Writes writes;
    for (std::size_t i = 0; i < kNewFileFieldLengths.size(); ++i)
        writes(settings.writeInteger(kLengths, std::string("Field") + kNewFileFieldLengths[i].field,
                                     valid.lengths[i]));
    return writes.status;
}

std::vector<std::string> ReadMruList(const SettingsFile& settings) {
    std::vector<std::string> items;
    for (int i = 1; i <= kMruSize; ++i) {
        std::string item = settings.readString("MRU", "Item" + std::to_string(i), "");
        if (!Trim(item).empty())
            items.push_back(item);
    }
    return items;
}

Status WriteMruList(SettingsFile& settings, const std::vector<std::string>& items) {
    Writes writes;
    for (int i = 1; i <= kMruSize; ++i)
        writes(settings.writeString("MRU", "Item" + std::to_string(i),
                                    std::size_t(i) <= items.size() ? items[std::size_t(i - 1)]
                                                                   : std::string()));
    return writes.status;
}

std::vector<std::string> MruListWithFirst(const std::vector<std::string>& items,
                                          std::string_view path) {
    std::vector<std::string> result{std::string(path)};
    for (const std::string& item : items)
        if (item != path && result.size() < std::size_t(kMruSize))
            result.push_back(item);
    return result;
}

bool ReadGettingStartedOff(const SettingsFile& settings) {
    return settings.readBool("Misc", "GettingStarted", false);
}

Status WriteGettingStartedOff(SettingsFile& settings, bool off) {
    return settings.writeBool("Misc", "GettingStarted", off);
}

std::string LoadGlobalTagId(SettingsFile& settings) {
    std::string id = settings.readString("Misc", "GlobalTagId", "");
    // A blank identifier would tag every untagged record: a new one is made
    // and kept; one already there is left as it is.
    if (Trim(id).empty()) {
        id = NewTagStamp();
        (void)settings.writeString("Misc", "GlobalTagId", id);
    }
    return id;
}

Status WriteGlobalTagId(SettingsFile& settings, std::string_view tagId) {
    return settings.writeString("Misc", "GlobalTagId", tagId);
}

namespace {

struct AddingKey {
    const char* key;
    bool AddingPreferences::*member;
};

// Key names exactly as stored, letter case included.
constexpr std::array<AddingKey, 28> kAddingKeys = {{
    {"PlugDate", &AddingPreferences::plugDate},
    {"PlugCityState", &AddingPreferences::plugCityState},
    {"AutoDupCheck", &AddingPreferences::autoDupCheck},
    {"CarryOrg", &AddingPreferences::carryOrg},
    {"CarrySA1", &AddingPreferences::carrySA1},
    {"CarrySA2", &AddingPreferences::carrySA2},
    {"CarryCity", &AddingPreferences::carryCity},
    {"CarryState", &AddingPreferences::carryState},
    {"CarryZip", &AddingPreferences::carryZip},
    {"CarryCountry", &AddingPreferences::carryCountry},
    {"SkipOrganization", &AddingPreferences::skipOrganization},
    {"SkipPhone1", &AddingPreferences::skipPhone1},
    {"SkipEmail", &AddingPreferences::skipEmail},
    {"SkipState", &AddingPreferences::skipState},
    {"SkipZip", &AddingPreferences::skipZip},
    {"SkipCountry", &AddingPreferences::skipCountry},
    {"SkipAddress2", &AddingPreferences::skipAddress2},
    {"SkipLastName", &AddingPreferences::skipLastName},
    {"SkipMiddleInitial", &AddingPreferences::skipMiddleInitial},
    {"SkipfirstName", &AddingPreferences::skipFirstName},
    {"Skiptitle", &AddingPreferences::skipTitle},
    {"SkipPhone2", &AddingPreferences::skipPhone2},
    {"SkipFax", &AddingPreferences::skipFax},
    {"SkipCodes", &AddingPreferences::skipCodes},
    {"SkipPrefix", &AddingPreferences::skipPrefix},
    {"SkipComments1", &AddingPreferences::skipComments1},
    {"SkipDate", &AddingPreferences::skipDate},
    {"Skipcomments2", &AddingPreferences::skipComments2},
}};

} // namespace

AddingPreferences ReadAddingPreferences(const SettingsFile& settings) {
    AddingPreferences prefs;
    for (const AddingKey& k : kAddingKeys)
        prefs.*k.member = settings.readBool("Adding", k.key, false);
    prefs.defaultCountry = settings.readString("Adding", "DefaultCountry", "");
    return prefs;
}

Status WriteAddingPreferences(SettingsFile& settings, const AddingPreferences& prefs) {
    Writes writes;
    for (const AddingKey& k : kAddingKeys)
        writes(settings.writeBool("Adding", k.key, prefs.*k.member));
    writes(settings.writeString("Adding", "DefaultCountry", prefs.defaultCountry));
    return writes.status;
}

DialingSettings ReadDialingSettings(const SettingsFile& settings) {
    return {settings.readString("Dialing", "Prefix", ""),
            settings.readString("Dialing", "Init", ""), settings.readInteger("Dialing", "Port", 0),
            settings.readInteger("Dialing", "Method", 0)};
}

Status WriteDialingSettings(SettingsFile& settings, const DialingSettings& dialing) {
    Writes writes;
    writes(settings.writeString("Dialing", "Prefix", dialing.prefix));
    writes(settings.writeString("Dialing", "Init", dialing.init));
    writes(settings.writeInteger("Dialing", "Port", dialing.port));
    writes(settings.writeInteger("Dialing", "Method", dialing.method));
    return writes.status;
}

DesignFontSettings ReadDesignFont(const SettingsFile& settings, std::string_view section) {
    DesignFontSettings defaults;
    return {settings.readString(section, "DefaultFontName", defaults.name),
            settings.readInteger(section, "DefaultFontSize", defaults.size),
            settings.readBool(section, "DefaultFontBold", defaults.bold),
            settings.readBool(section, "DefaultFontItalic", defaults.italic)};
}

Status WriteDesignFont(SettingsFile& settings, std::string_view section,
                       const DesignFontSettings& font) {
    Writes writes;
    writes(settings.writeString(section, "DefaultFontName", font.name));
    writes(settings.writeInteger(section, "DefaultFontSize", font.size));
    writes(settings.writeBool(section, "DefaultFontBold", font.bold));
    writes(settings.writeBool(section, "DefaultFontItalic", font.italic));
    return writes.status;
}

EnvelopeFeedSettings ReadEnvelopeFeed(const SettingsFile& settings) {
    EnvelopeFeedSettings d;
    return {settings.readInteger("Envelope Feed", "Orientation", d.orientation),
            settings.readInteger("Envelope Feed", "Facing", d.facing),
            settings.readInteger("Envelope Feed", "Position", d.position),
            settings.readBool("Envelope Feed", "ClockWiseRotation", d.clockWiseRotation)};
}

Status WriteEnvelopeFeed(SettingsFile& settings, const EnvelopeFeedSettings& feed) {
    Writes writes;
    writes(settings.writeInteger("Envelope Feed", "Orientation", feed.orientation));
    writes(settings.writeInteger("Envelope Feed", "Facing", feed.facing));
    writes(settings.writeInteger("Envelope Feed", "Position", feed.position));
    writes(settings.writeBool("Envelope Feed", "ClockWiseRotation", feed.clockWiseRotation));
    return writes.status;
}

std::string PlacementSectionName(std::string_view windowClass, int pixelsPerInch) {
    std::string name = std::string(windowClass) + "_Placement";
    if (pixelsPerInch > 96)
        name += std::to_string(pixelsPerInch);
    return name;
}

WindowPlacement ReadWindowPlacement(const SettingsFile& settings, std::string_view section,
                                    bool designedMaximized) {
    return {settings.readInteger(section, "Left", 0), settings.readInteger(section, "Top", 0),
            settings.readInteger(section, "Right", 0), settings.readInteger(section, "Bottom", 0),
            settings.readBool(section, "Maximized", designedMaximized)};
}

Status WriteWindowPlacement(SettingsFile& settings, std::string_view section,
                            const WindowPlacement& placement) {
    Writes writes;
    writes(settings.writeInteger(section, "Left", placement.left));
    writes(settings.writeInteger(section, "Top", placement.top));
    writes(settings.writeInteger(section, "Right", placement.right));
    writes(settings.writeInteger(section, "Bottom", placement.bottom));
    writes(settings.writeBool(section, "Maximized", placement.maximized));
    return writes.status;
}

WindowPlacement FitPlacementToScreen(WindowPlacement p, int screenWidth, int screenHeight) {
    if (p.right > screenWidth) {
        p.left -= p.right - screenWidth;
        p.right = screenWidth;
    }
    if (p.bottom > screenHeight) {
        p.top -= p.bottom - screenHeight;
        p.bottom = screenHeight;
    }
    return p;
}

} // namespace qp::store
