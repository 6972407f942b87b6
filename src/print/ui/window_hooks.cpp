#include "print/ui/window_hooks.h"

namespace qp::print {

namespace {
TWindowPlacementStore* gPlacement = nullptr;
THelpHandler& Help() {
    static THelpHandler handler;
    return handler;
}
} // namespace

void SetWindowPlacementStore(TWindowPlacementStore* store) {
    gPlacement = store;
}
TWindowPlacementStore* WindowPlacementStore() {
    return gPlacement;
}
void SetHelpHandler(THelpHandler handler) {
    Help() = std::move(handler);
}

void ShowHelpTopic(QWidget* window, int topic) {
    if (Help())
        Help()(window, topic);
}

} // namespace qp::print
