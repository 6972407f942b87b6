#pragma once
// The one save-and-restore every tool runs inside: before the tool the main
// window stops refreshing on table events, suspends display updates and
// notes the record, the query, the order and the printer; the table is
// prepared as the tool's traits say; afterwards everything is put back.

#include "addressbook/tool_registry.h"

#include <QString>

#include <cstdint>
#include <string>

namespace qp::addressbook {

class TAddressMain;

class TToolSession {
public:
    TToolSession(TAddressMain& window, Tool tool);
    ~TToolSession();
    TToolSession(const TToolSession&) = delete;
    TToolSession& operator=(const TToolSession&) = delete;

    // False when the tool may not run (no file, no record, no printer);
    // the reason has been shown. Nothing was changed then.
    bool ready() const { return ready_; }
    ToolContext& context() { return context_; }

private:
    void restore();

    TAddressMain& window_;
    const ToolTraits& traits_;
    ToolContext context_;
    bool ready_ = false;
    std::uint32_t recno_ = 0;
    bool hadRecord_ = false;
    std::string query_;
    QString order_;
    QString printer_;
};

// Registers the tools this folder provides itself: Rebuild Indexes (both),
// Preferences, search, browse and tagging, the maintenance tools and the
// checks. Called by the main window; repeated calls do nothing more.
void RegisterBuiltInTools();

} // namespace qp::addressbook
