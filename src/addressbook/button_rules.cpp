#include "addressbook/button_rules.h"

namespace qp::addressbook {

ControlStates ControlStatesFor(const MainWindowState& s) {
    const bool browsing = s.fileOpen && !s.editing;
    const bool onRecord = browsing && s.hasRecord;
    ControlStates c;
    c.saveCancel = s.editing;
    c.browseButtons = !s.editing;
    c.add = browsing;
    c.editDelete = onRecord;
    c.recordTools = onRecord;
    c.dialAndMemoSearch = onRecord;
    c.findNextAllowed = !s.editing;
    c.filter = s.filterSet || onRecord;
    c.clearFilterShown = s.filterSet;
    c.clearFilterButton = s.filterSet && !s.editing;
    c.filterMenuItems = s.filterSet;
    c.fileCommands = s.fileOpen;
    c.fileMenu = !s.editing;
    c.recordMenu = browsing;
    return c;
}

} // namespace qp::addressbook
