#pragma once
// Hooks the print windows use for services that live elsewhere: window
// placement in the settings file and help topics. Until the application
// installs them, placement is left to the platform and help does nothing.
#include <functional>

class QToolButton;
class QWidget;

namespace qp::print {

class TWindowPlacementStore {
public:
    virtual ~TWindowPlacementStore() = default;
    virtual void Restore(QWidget& window) = 0;
    virtual void Save(QWidget& window) = 0;
};

void SetWindowPlacementStore(TWindowPlacementStore* store); // not owned
TWindowPlacementStore* WindowPlacementStore();

using THelpHandler = std::function<void(QWidget* window, int topic)>;
void SetHelpHandler(THelpHandler handler);
void ShowHelpTopic(QWidget* window, int topic);

// The "?" button of a window, starting mouse help (What's This).
QToolButton* NewMouseHelpButton(QWidget* parent);

} // namespace qp::print
