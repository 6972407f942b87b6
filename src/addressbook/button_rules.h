#pragma once
// Which controls of the main window are shown and enabled, as a pure
// function of the window's state (the rules SetButtons applies after every
// change).

namespace qp::addressbook {

struct MainWindowState {
    bool fileOpen = false;  // A: an address file is open
    bool editing = false;   // E: the record is being changed or a new one filled
    bool hasRecord = false; // R: the cursor stands on a visible record
    bool filterSet = false; // F: a filter is in force
};

struct ControlStates {
    bool saveCancel = false;        // Save and Cancel shown and enabled
    bool browseButtons = false;     // Add, Edit, Delete and Exit buttons shown
    bool add = false;               // Add button and menu item enabled
    bool editDelete = false;        // Edit and Delete buttons and menu items enabled
    bool recordTools = false;       // navigation, Search, Browse, the print tools, Export,
                                    // Clone, and the Sort, Print and Utilities menus
    bool dialAndMemoSearch = false; // Dial Phone 1/2 and Search Memo shown
    bool findNextAllowed = false;   // Find Next may show (hidden while editing)
    bool filter = false;            // Filter button and Set Filter enabled
    bool clearFilterShown = false;
    bool clearFilterButton = false; // Clear Filter button enabled
    bool filterMenuItems = false;   // Clear Filter, Save Filter, Tag All Filter Matches
    bool fileCommands = false;      // Edit menu, Rebuild Indexes, the two import commands
    bool fileMenu = false;          // File menu and Exit menu item
    bool recordMenu = false;        // Record menu
    bool operator==(const ControlStates&) const = default;
};

ControlStates ControlStatesFor(const MainWindowState& s);

} // namespace qp::addressbook
