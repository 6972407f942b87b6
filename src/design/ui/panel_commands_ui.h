#pragma once
// The full panel pop-up menu, the clipboard hooks of the object menus, and
// the "Address Label Layout" window.
#include <QDialog>

class QMenu;
class QCheckBox;
class QRadioButton;

namespace qp::design {
class TGBasePanel;
class TGDMultiLineAddressLabel;
class TPanelCommands;
} // namespace qp::design

namespace qp::design::ui {

// The commands object of a panel (kept while the panel lives).
TPanelCommands& CommandsFor(TGBasePanel& panel);
// Sets ClipboardCommands() so that the object menus cut, copy, paste and clone.
void InstallClipboardCommands();
// Every item of the panel pop-up menu, enabled as the selection allows.
void FillCompletePanelMenu(QMenu& menu, TGBasePanel& panel, QWidget* parent);

class TAddressLayoutDialog : public QDialog {
public:
    static constexpr int kAddressLayoutHelpTopic = 40009;
    TAddressLayoutDialog(TGDMultiLineAddressLabel& block, QWidget* parent = nullptr);
    void Apply(); // writes the choices back to the block

private:
    void UpdateZipOptions();
    TGDMultiLineAddressLabel& Block_;
    QCheckBox* Checks_[10] = {};
    QCheckBox* Shrink_ = nullptr;
    QRadioButton* Zip_[4] = {};
};

// "Address Layout": opens the window; on Ok refreshes the panel and notifies.
void OpenAddressLayout(TGDMultiLineAddressLabel& block, QWidget* parent);

} // namespace qp::design::ui
