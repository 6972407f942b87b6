#pragma once
// What the New Record dialog asks, from the adding preferences and the
// widths of the open address file.

#include "store/settings_file.h"

namespace qp::addressbook {

struct NewRecordOptions {
    bool askNames = true; // last and first name, for the duplicate probe
    bool askZip = true;   // for the city and state look-up
    int lastNameWidth = 30;
    int firstNameWidth = 30;
    int zipWidth = 10;
};

// Whether Add opens the dialog at all.
bool NewRecordDialogNeeded(const store::AddingPreferences& prefs);

NewRecordOptions NewRecordOptionsFor(const store::AddingPreferences& prefs, int lastNameWidth,
                                     int firstNameWidth, int zipWidth);

// Leaving the first-name box forward is Ok only while no ZIP is asked.
inline bool TabOutOfFirstNameIsOk(const NewRecordOptions& options) {
    return options.askNames && !options.askZip;
}

} // namespace qp::addressbook
