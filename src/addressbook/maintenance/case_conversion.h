#pragma once
// Case conversion of chosen fields in the current record, every record or
// the records matching the filter.

#include "store/result.h"
#include "store/table.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qp::addressbook {

struct CaseField {
    std::string_view caption;
    std::string_view field;
};

// The phone, fax, e-mail and date fields are never converted.
inline constexpr std::array<CaseField, 15> kCaseFields{{
    {"Last", "LNAME"},
    {"First", "FNAME"},
    {"Middle", "MIDDLE"},
    {"Title", "TITLE"},
    {"Organization", "ORG"},
    {"Address 1", "STREET"},
    {"Address 2", "STREET2"},
    {"City", "CITY"},
    {"State/Province", "STATE"},
    {"Zip/Postal Code", "ZIP"},
    {"Country", "COUNTRY"},
    {"Prefix", "PREFIX"},
    {"Comment 1", "USER1"},
    {"Comment 2", "USER2"},
    {"Codes", "CODES"},
}};

// The field by its caption or its name, letter case aside.
const CaseField* FindCaseField(std::string_view captionOrField);

enum class CaseConversion { Upper, Capitalize, Lower };
enum class CaseRecords { Current, All, Filter };

// On Windows-1252 bytes. Capitalize: all in small letters, then each letter
// that begins the value or follows a blank in capitals (O'neil Mc Donald).
std::string ConvertCaseText(std::string_view bytes, CaseConversion conversion);

struct CaseRun {
    std::vector<std::string> fields; // field names
    CaseConversion conversion = CaseConversion::Upper;
    CaseRecords records = CaseRecords::Current;
};

struct CaseOutcome {
    std::uint32_t visited = 0; // records converted (written or already so)
    std::uint32_t changed = 0; // records whose text changed
    bool cancelled = false;
    std::string error;
};

// Current: the current record. All: every record not deleted ("!ISDEL").
// Filter: the records of the query in force. `afterRecord` gets the records
// done and the records to do after each record; false stops the run there,
// leaving every later record as it was. With `countOnly` nothing is written
// and `changed` says how many records the run would change. The query and
// the record are put back.
CaseOutcome RunCaseConversion(
    store::Table& table, const CaseRun& run, bool countOnly,
    const std::function<bool(std::uint32_t done, std::uint32_t total)>& afterRecord = {});

} // namespace qp::addressbook
