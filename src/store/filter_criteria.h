#pragma once
// The address filter: one criterion text per field plus the Tagged and
// Reverse switches, turned into one xBase expression for the engine's query.

#include "result.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace qp::store {

// Criteria in filter-file order.
enum class FilterField : std::size_t {
    LastName,
    FirstName,
    Title,
    Organization,
    Address1,
    Address2,
    Zip,
    City,
    State,
    Country,
    Phone1,
    Phone2,
    Fax,
    Email,
    Date,
    Codes,
    Comment1,
    Comment2,
};
inline constexpr std::size_t kFilterFieldCount = 18;

// The field expression each criterion tests, in filter-file order.
inline constexpr std::array<std::string_view, kFilterFieldCount> kFilterFieldExpressions = {
    "LNAME",   "FNAME", "TITLE",  "ORG", "STREET", "STREET2", "ZIP",   "CITY+STATE", "STATE",
    "COUNTRY", "PHONE", "PHONE2", "FAX", "EMAIL",  "DATE",    "CODES", "USER1",      "USER2"};

struct FilterCriteria {
    std::array<std::string, kFilterFieldCount> criteria; // as typed, blanks kept
    bool tagged = false;
    bool reverse = false;
    std::string expression; // the built filter; blank = no filter

    std::string& operator[](FilterField f) { return criteria[std::size_t(f)]; }
    const std::string& operator[](FilterField f) const { return criteria[std::size_t(f)]; }
    bool operator==(const FilterCriteria&) const = default;
};

// All criteria blank, both switches off, no expression.
void ClearQueryVars(FilterCriteria& filter);

// `value` as an xBase string literal: in double quotes, else single quotes,
// else square brackets, whichever it does not contain (for brackets: no ']'),
// so that the value can never end the literal early. Fails when it contains
// '"', '\'' and ']'.
Result<std::string> QuoteFilterValue(std::string_view value);

// Upper case of UTF-8 text: ASCII and the Latin letters of Windows-1252.
std::string upperFilterText(std::string_view text);

// One criterion `text` (untrimmed) for the field expression `field`.
Result<std::string> TranslateCriterion(std::string_view field, std::string_view text);

// The filter expression of the criteria and switches; blank when no
// criterion is set and Tagged is off.
Result<std::string> BuildQueryString(const FilterCriteria& filter, std::string_view tagId);

inline constexpr std::size_t kMaxFilterExpressionLength = 243;
inline constexpr std::string_view kNoFilterQuery = "!ISDEL";
inline constexpr std::string_view kFilterTooComplexMessage =
    "Sorry - filter is too complex.Please simplify it.";

// What applying the filter must do before the engine counts records.
struct FilterQuery {
    enum class Kind {
        NoFilter,   // query "!ISDEL", no records counted: result 0
        Filter,     // set `query`, count; a count of 0 clears the filter
        TooComplex, // show `message`; the filter has been cleared; query "!ISDEL"
        Invalid,    // a value cannot be quoted: as TooComplex with its own message
    };
    Kind kind = Kind::NoFilter;
    std::string query{kNoFilterQuery}; // the engine query to set
    std::string message;
};

// Builds the expression into `filter.expression` and decides the engine query.
// A too long or unquotable filter is cleared here (ClearQueryVars).
FilterQuery PrepareFilterQuery(FilterCriteria& filter, std::string_view tagId);

} // namespace qp::store
