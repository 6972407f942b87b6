#pragma once
// Search and replace of one field's values over the whole address file, in
// record order, optionally only in the records a filter expression matches.

#include "store/result.h"
#include "store/table.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qp::addressbook {

struct ReplaceTarget {
    std::string_view caption;
    std::string_view field;
};

inline constexpr std::array<ReplaceTarget, 18> kReplaceTargets{{
    {"Last Name", "LNAME"},
    {"First Name", "FNAME"},
    {"Middle Initial", "MIDDLE"},
    {"Title", "TITLE"},
    {"Organization", "ORG"},
    {"Address 1", "STREET"},
    {"Address 2", "STREET2"},
    {"City", "CITY"},
    {"State", "STATE"},
    {"Zip", "ZIP"},
    {"Country", "COUNTRY"},
    {"Phone 1", "PHONE"},
    {"Phone 2", "PHONE2"},
    {"Email", "EMAIL"},
    {"Fax", "FAX"},
    {"Codes", "CODES"},
    {"Comment 1", "USER1"},
    {"Comment 2", "USER2"},
}};

// The target by its caption or its field name, letter case aside.
const ReplaceTarget* FindReplaceTarget(std::string_view captionOrField);

enum class FindCondition { ExactlyEqual, Contains };
enum class ReplaceAction { WholeField, MatchingText };

// Values are UTF-8 as typed; they are matched as text, never read as an
// expression, so quotes, '$' and the like mean themselves.
struct ReplaceRequest {
    ReplaceTarget target = kReplaceTargets[0];
    std::string find;
    std::string replacement;
    FindCondition condition = FindCondition::ExactlyEqual;
    bool caseSensitive = true;
    ReplaceAction action = ReplaceAction::WholeField;
    std::string restriction; // a filter expression; empty: every record
};

// The question asked before the run: "Find records where field ...",
// the condition and the action, one per line.
std::string ReplaceConfirmation(const ReplaceRequest& request);

// On Windows-1252 bytes. `stored` is the field as stored (full width).
// Empty `find`: the field is blank. Exactly equal: the field begins with
// `find`. Contains: `find` occurs in it. Without case sensitivity both sides
// are compared in capitals.
bool FieldMatches(std::string_view stored, std::string_view find, FindCondition condition,
                  bool caseSensitive);

// Each occurrence of `find` in `value`, scanning from the left and going on
// after it, replaced by `with`; the rest stays. An empty `find` matches only
// an empty value, which becomes `with`.
std::string ReplaceMatchingText(std::string_view value, std::string_view find,
                                std::string_view with, bool caseSensitive);

// The new value of a matching field (Windows-1252, trailing blanks trimmed,
// cut to `width`).
std::string ReplacedValue(std::string_view stored, const ReplaceRequest& request,
                          std::string_view findBytes, std::string_view withBytes, int width);

// Walks every record without the deletion mark in record order; each one
// that matches (and meets the restriction) is counted and, unless
// `countOnly`, given its new value. The cursor's order, query, deleted
// setting and record are put back. `progress` gets records seen x 100 /
// records in the file.
store::Result<std::uint32_t> RunReplace(store::Table& table, const ReplaceRequest& request,
                                        bool countOnly,
                                        const std::function<void(int percent)>& progress = {});

} // namespace qp::addressbook
