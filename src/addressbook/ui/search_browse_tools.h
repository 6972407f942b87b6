#pragma once
// Registers tagging, search, memo search, browse and the dialer with the
// main window's tool registry.

namespace qp::addressbook {
void RegisterSearchBrowseTools();
} // namespace qp::addressbook
