#include "addressbook/ui/window_hooks_adapter.h"

#include "print/ui/window_hooks.h"
#include "store/ui/common_dialogs.h"

namespace qp::addressbook {

namespace {

class TSettingsPlacementStore : public print::TWindowPlacementStore {
public:
    void Restore(QWidget& window) override { ui::RestoreWindowPlacement(window); }
    void Save(QWidget& window) override { ui::SaveWindowPlacement(window); }
};

} // namespace

void InstallWindowHooks() {
    static TSettingsPlacementStore store;
    print::SetWindowPlacementStore(&store);
    print::SetHelpHandler([](QWidget*, int) {});
}

} // namespace qp::addressbook
