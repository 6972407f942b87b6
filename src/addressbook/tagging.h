#pragma once
// Tagging: a record is tagged when its TAG equals the identifier in force.
// Clearing all tags only changes the identifier; tagging all filter matches
// writes every visible record.

#include "store/result.h"
#include "store/settings_file.h"
#include "store/shared_routines.h"
#include "store/table.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qp::addressbook {

// The TAG value after a toggle: blank when it equals the identifier, else it.
std::string TagAfterToggle(std::string_view tag, std::string_view tagId);

// Toggles the current record's tag. A record that is browsing is edited and
// posted; one that is already being edited keeps the change for its Save.
store::Status ToggleTag(store::Table& table, std::string_view tagId);

// The time a stamp was made from; nullopt when `stamp` is no stamp.
std::optional<store::LocalDateTime> TagStampTime(std::string_view stamp);
// One second later, across minutes, days, months and years.
store::LocalDateTime NextSecond(const store::LocalDateTime& when);

// The identifier Clear Tags puts in force at `now`: a fresh stamp, or, when
// that would not be later than the stamp in force (a second clear within
// the same second), the second after the one in force, so that it always
// differs from every identifier used before.
std::string ClearTagsIdentifier(std::string_view inForce, const store::LocalDateTime& now);

// Clear Tags: the new identifier is written to the settings and returned. No
// record is written.
std::string ClearTags(store::SettingsFile& settings, std::string_view inForce,
                      const store::LocalDateTime& now = store::CurrentLocalDateTime());

// SaveTagPref: writes the identifier to the settings file.
store::Status SaveTagPref(store::SettingsFile& settings, std::string_view tagId);

struct TagAllOutcome {
    std::uint32_t tagged = 0; // records written
    bool cancelled = false;
    std::string error; // a record that could not be written
};

// Tags every visible record from the first on. `afterRecord` is called with
// the count so far after each record; returning false stops the run there.
// The cursor is left on the first record.
TagAllOutcome TagAllMatches(store::Table& table, std::string_view tagId,
                            const std::function<bool(std::uint32_t tagged)>& afterRecord = {});

} // namespace qp::addressbook
