#include "addressbook/maintenance/street_suffixes.h"

#include "store/codepage.h"

#include <algorithm>
#include <array>
#include <utility>

namespace qp::addressbook {

namespace {

using Pair = std::pair<std::string_view, std::string_view>;

// Spellings and their standard abbreviations from the postal service's list
// of street suffixes, directions and secondary unit words. Sorted by spelling.
constexpr auto kWords = [] {
    auto words = std::to_array<Pair>({
        {"ALLEE", "ALY"},      {"ALLEY", "ALY"},     {"ALLY", "ALY"},        {"ANEX", "ANX"},
        {"ANNEX", "ANX"},      {"ANNX", "ANX"},      {"APARTMENT", "APT"},   {"ARCADE", "ARC"},
        {"AV", "AVE"},         {"AVEN", "AVE"},      {"AVENU", "AVE"},       {"AVENUE", "AVE"},
        {"AVN", "AVE"},        {"AVNUE", "AVE"},     {"BAYOO", "BYU"},       {"BAYOU", "BYU"},
        {"BEACH", "BCH"},      {"BEND", "BND"},      {"BLUF", "BLF"},        {"BLUFF", "BLF"},
        {"BOT", "BTM"},        {"BOTTM", "BTM"},     {"BOTTOM", "BTM"},      {"BOUL", "BLVD"},
        {"BOULEVARD", "BLVD"}, {"BOULV", "BLVD"},    {"BRANCH", "BR"},       {"BRDGE", "BRG"},
        {"BRIDGE", "BRG"},     {"BRNCH", "BR"},      {"BROOK", "BRK"},       {"BUILDING", "BLDG"},
        {"BYPA", "BYP"},       {"BYPAS", "BYP"},     {"BYPASS", "BYP"},      {"BYPS", "BYP"},
        {"CANYN", "CYN"},      {"CANYON", "CYN"},    {"CAUSEWAY", "CSWY"},   {"CAUSWA", "CSWY"},
        {"CEN", "CTR"},        {"CENT", "CTR"},      {"CENTER", "CTR"},      {"CENTR", "CTR"},
        {"CENTRE", "CTR"},     {"CIRC", "CIR"},      {"CIRCL", "CIR"},       {"CIRCLE", "CIR"},
        {"CLIFF", "CLF"},      {"CLIFFS", "CLFS"},   {"CLUB", "CLB"},        {"CNTER", "CTR"},
        {"CNTR", "CTR"},       {"COMMON", "CMN"},    {"CORNER", "COR"},      {"CORNERS", "CORS"},
        {"COURSE", "CRSE"},    {"COURT", "CT"},      {"COURTS", "CTS"},      {"COVE", "CV"},
        {"CRCL", "CIR"},       {"CRCLE", "CIR"},     {"CREEK", "CRK"},       {"CRESCENT", "CRES"},
        {"CROSSING", "XING"},  {"CRSENT", "CRES"},   {"CRSNT", "CRES"},      {"CRSSNG", "XING"},
        {"DALE", "DL"},        {"DAM", "DM"},        {"DEPARTMENT", "DEPT"}, {"DIV", "DV"},
        {"DIVIDE", "DV"},      {"DRIV", "DR"},       {"DRIVE", "DR"},        {"DRV", "DR"},
        {"EAST", "E"},         {"ESTATE", "EST"},    {"ESTATES", "ESTS"},    {"EXP", "EXPY"},
        {"EXPR", "EXPY"},      {"EXPRESS", "EXPY"},  {"EXPRESSWAY", "EXPY"}, {"EXPW", "EXPY"},
        {"EXTENSION", "EXT"},  {"EXTN", "EXT"},      {"EXTNSN", "EXT"},      {"FALLS", "FLS"},
        {"FERRY", "FRY"},      {"FIELD", "FLD"},     {"FIELDS", "FLDS"},     {"FLOOR", "FL"},
        {"FOREST", "FRST"},    {"FORGE", "FRG"},     {"FORK", "FRK"},        {"FORT", "FT"},
        {"FREEWAY", "FWY"},    {"FREEWY", "FWY"},    {"FRWAY", "FWY"},       {"FRWY", "FWY"},
        {"GARDEN", "GDN"},     {"GARDENS", "GDNS"},  {"GATEWAY", "GTWY"},    {"GLEN", "GLN"},
        {"GREEN", "GRN"},      {"GROVE", "GRV"},     {"HARBOR", "HBR"},      {"HAVEN", "HVN"},
        {"HEIGHTS", "HTS"},    {"HIGHWAY", "HWY"},   {"HIGHWY", "HWY"},      {"HILL", "HL"},
        {"HILLS", "HLS"},      {"HIWAY", "HWY"},     {"HIWY", "HWY"},        {"HOLLOW", "HOLW"},
        {"HT", "HTS"},         {"HWAY", "HWY"},      {"ISLAND", "IS"},       {"JUNCTION", "JCT"},
        {"JUNCTN", "JCT"},     {"KNOLL", "KNL"},     {"LAKE", "LK"},         {"LAKES", "LKS"},
        {"LANDING", "LNDG"},   {"LANE", "LN"},       {"LIGHT", "LGT"},       {"LODGE", "LDG"},
        {"MANOR", "MNR"},      {"MEADOW", "MDW"},    {"MEADOWS", "MDWS"},    {"MILL", "ML"},
        {"MISSION", "MSN"},    {"MOTORWAY", "MTWY"}, {"MOUNT", "MT"},        {"MOUNTAIN", "MTN"},
        {"NORTH", "N"},        {"NORTHEAST", "NE"},  {"NORTHWEST", "NW"},    {"OFFICE", "OFC"},
        {"ORCHARD", "ORCH"},   {"PARKWAY", "PKWY"},  {"PARKWY", "PKWY"},     {"PKWAY", "PKWY"},
        {"PKY", "PKWY"},       {"PLACE", "PL"},      {"PLAZA", "PLZ"},       {"PLZA", "PLZ"},
        {"POINT", "PT"},       {"PORT", "PRT"},      {"PRAIRIE", "PR"},      {"RANCH", "RNCH"},
        {"RAPIDS", "RPDS"},    {"RIDGE", "RDG"},     {"RIVER", "RIV"},       {"ROAD", "RD"},
        {"ROOM", "RM"},        {"ROUTE", "RTE"},     {"SHORE", "SHR"},       {"SHORES", "SHRS"},
        {"SKYWAY", "SKWY"},    {"SOUTH", "S"},       {"SOUTHEAST", "SE"},    {"SOUTHWEST", "SW"},
        {"SPRING", "SPG"},     {"SPRINGS", "SPGS"},  {"SQR", "SQ"},          {"SQRE", "SQ"},
        {"SQU", "SQ"},         {"SQUARE", "SQ"},     {"STATION", "STA"},     {"STATN", "STA"},
        {"STN", "STA"},        {"STR", "ST"},        {"STREAM", "STRM"},     {"STREET", "ST"},
        {"STRT", "ST"},        {"SUITE", "STE"},     {"SUMMIT", "SMT"},      {"TERR", "TER"},
        {"TERRACE", "TER"},    {"TRACE", "TRCE"},    {"TRACK", "TRAK"},      {"TRAIL", "TRL"},
        {"TRAILS", "TRL"},     {"TRLS", "TRL"},      {"TUNNEL", "TUNL"},     {"TURNPIKE", "TPKE"},
        {"TURNPK", "TPKE"},    {"UNION", "UN"},      {"VALLEY", "VLY"},      {"VIADUCT", "VIA"},
        {"VIEW", "VW"},        {"VILLAGE", "VLG"},   {"VISTA", "VIS"},       {"WELLS", "WLS"},
        {"WEST", "W"},         {"ALLEYS", "ALY"},
    });
    std::sort(words.begin(), words.end());
    return words;
}();

} // namespace

std::string_view StandardStreetWord(std::string_view upperWord) {
    auto it = std::lower_bound(kWords.begin(), kWords.end(), upperWord,
                               [](const Pair& p, std::string_view w) { return p.first < w; });
    if (it != kWords.end() && it->first == upperWord)
        return it->second;
    return upperWord;
}

std::string NormalizeStreet(std::string_view street) {
    const std::string upper = store::upperCp1252(street);
    std::string out;
    std::string word;
    auto flush = [&] {
        if (word.empty())
            return;
        if (!out.empty())
            out += ' ';
        out += StandardStreetWord(word);
        word.clear();
    };
    for (char c : upper) {
        if (c == ' ' || c == ',')
            flush();
        else if (c != '.')
            word += c;
    }
    flush();
    return out;
}

} // namespace qp::addressbook
