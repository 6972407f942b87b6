#include "print/ui/window_hooks.h"

#include <QToolButton>
#include <QWhatsThis>

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

QToolButton* NewMouseHelpButton(QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QStringLiteral("MouseHelpButton"));
    b->setText(QStringLiteral("?"));
    b->setToolTip(QStringLiteral("Click here for mouse help"));
    QObject::connect(b, &QToolButton::clicked, b, [] { QWhatsThis::enterWhatsThisMode(); });
    return b;
}

} // namespace qp::print
