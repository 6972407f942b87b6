// The main window's "Print Labels" command.

#include "addressbook/tool_registry.h"
#include "labels/ui/label_setup_screen.h"

namespace qp::labels {

namespace {

QP_REGISTER_TOOL(addressbook::Tool::PrintLabels, [](addressbook::ToolContext& c) {
    if (c.table)
        runLabelScreen(c.window, *c.table, c.filterSet(), c.tagId);
});

} // namespace

} // namespace qp::labels
