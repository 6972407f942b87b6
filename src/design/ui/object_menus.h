#pragma once
// The pop-up menus of the design objects and of the panel.
#include <QPoint>
#include <functional>

class QMenu;
class QWidget;

namespace qp::design {
class TGBasePanel;
class TGGraphicControl;
} // namespace qp::design

namespace qp::design::ui {

// Clipboard and clone commands live with the layout stream; until they are
// set their items are disabled.
struct TClipboardCommands {
    std::function<void(TGGraphicControl*)> Cut, Copy, Clone;
    std::function<void()> Paste;
    std::function<bool()> CanPaste;
};
TClipboardCommands& ClipboardCommands();

// Fills `menu` with the common items and those of the object's kind.
void FillObjectMenu(QMenu& menu, TGGraphicControl& o, TGBasePanel& panel, QWidget* parent);

} // namespace qp::design::ui
