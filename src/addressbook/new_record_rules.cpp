#include "addressbook/new_record_rules.h"

#include <algorithm>

namespace qp::addressbook {

bool NewRecordDialogNeeded(const store::AddingPreferences& prefs) {
    return prefs.plugCityState || prefs.autoDupCheck;
}

NewRecordOptions NewRecordOptionsFor(const store::AddingPreferences& prefs, int lastNameWidth,
                                     int firstNameWidth, int zipWidth) {
    NewRecordOptions o;
    o.askNames = prefs.autoDupCheck;
    o.askZip = prefs.plugCityState;
    // A width of 0 (field missing) would forbid typing at all.
    o.lastNameWidth = std::max(1, lastNameWidth);
    o.firstNameWidth = std::max(1, firstNameWidth);
    o.zipWidth = std::max(1, zipWidth);
    return o;
}

} // namespace qp::addressbook
