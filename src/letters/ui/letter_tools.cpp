// The main window's "Print Letters" command and Letters button.

#include "addressbook/tool_registry.h"
#include "letters/ui/letters_window.h"

namespace qp::letters {

namespace {

QP_REGISTER_TOOL(addressbook::Tool::PrintLetters, [](addressbook::ToolContext& c) {
    if (c.table)
        runLettersWindow(c.window, *c.table, c.filterSet());
});

} // namespace

} // namespace qp::letters
