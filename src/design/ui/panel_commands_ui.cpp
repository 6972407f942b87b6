#include "design/ui/panel_commands_ui.h"

#include "design/address_label.h"
#include "design/base_panel.h"
#include "design/panel_commands.h"
#include "design/ui/design_dialogs.h"
#include "design/ui/object_menus.h"
#include "design/ui/position_size_dialog.h"
#include "print/ui/window_hooks.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeySequence>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <map>
#include <memory>

namespace qp::design::ui {

TPanelCommands& CommandsFor(TGBasePanel& panel) {
    // Keyed by panel; a panel's paste time must outlive one menu.
    static std::map<TGBasePanel*, std::unique_ptr<TPanelCommands>> all;
    auto& c = all[&panel];
    if (!c)
        c = std::make_unique<TPanelCommands>(panel);
    return *c;
}

void InstallClipboardCommands() {
    auto& clip = ClipboardCommands();
    clip.Cut = [](TGGraphicControl* o) {
        if (o->Panel())
            CommandsFor(*o->Panel()).CutObject(o);
    };
    clip.Copy = [](TGGraphicControl* o) {
        if (o->Panel())
            CommandsFor(*o->Panel()).CopyObject(o);
    };
    clip.Clone = [](TGGraphicControl* o) {
        if (o->Panel())
            CommandsFor(*o->Panel()).Clone(o);
    };
    clip.CanPaste = [] { return QFile::exists(TGBasePanel::ClipboardPath()); };
}

namespace {
QAction* Add(QMenu& m, const QString& caption, bool enabled, std::function<void()> f) {
    QAction* a = m.addAction(caption);
    a->setEnabled(enabled);
    QObject::connect(a, &QAction::triggered, a, [f = std::move(f)] { f(); });
    return a;
}
} // namespace

void FillCompletePanelMenu(QMenu& m, TGBasePanel& panel, QWidget* parent) {
    TPanelCommands& c = CommandsFor(panel);
    const bool sel = panel.SelectionCount() > 0;
    const bool any = panel.ObjectCount() > 0;
    Add(m, "Undo", panel.CanUndo(), [&panel] { panel.Undo(); })->setShortcut(QKeySequence::Undo);
    Add(m, "Redo", panel.CanRedo(), [&panel] {
        panel.Redo();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    m.addSeparator();
    Add(m, "Bring To Front", sel, [&c] { c.BringSelectionToFront(); });
    Add(m, "Send To Back", sel, [&c] { c.SendSelectionToBack(); });
    m.addSeparator();
    Add(m, "Cut", sel, [&c] { c.Cut(); });
    Add(m, "Copy", sel, [&c] { c.Copy(); });
    Add(m, "Paste", c.CanPaste(), [&c] { c.Paste(); });
    m.addSeparator();
    Add(m, "Delete", sel, [&c] { c.Delete(); });
    m.addSeparator();
    Add(m, "Align Left", sel, [&c] { c.AlignLeft(); });
    Add(m, "Align Right", sel, [&c] { c.AlignRight(); });
    Add(m, "Align Tops", sel, [&c] { c.AlignTops(); });
    Add(m, "Align Bottoms", sel, [&c] { c.AlignBottoms(); });
    m.addSeparator();
    Add(m, "Center Vertically", sel, [&c] { c.CenterVertically(); });
    Add(m, "Center Horizontally", sel, [&c] { c.CenterHorizontally(); });
    // Several selected objects move together; one is placed and sized.
    Add(m, "Position and Size", sel, [&panel, parent] {
        if (TGGraphicControl* first = panel.Selected(0))
            RunPositionSizeDialog(*first, panel, parent);
    });
    m.addSeparator();
    Add(m, "Lock All", any, [&c] { c.LockAll(); });
    Add(m, "Unlock All", any, [&c] { c.UnlockAll(); });
    m.addSeparator();
    Add(m, "Mark All Selectable", true, [&c] { c.MarkAllSelectable(); });
    Add(m, "Mark All Unselectable", true, [&c] { c.MarkAllUnselectable(); });
    Add(m, "Select All", true, [&c] { c.SelectAll(); });
    m.addSeparator();
    Add(m, "Font", sel, [&c, &panel, parent] {
        bool ok = false;
        QFont initial(panel.Font.Name, panel.Font.Size);
        initial.setBold(panel.Font.Bold);
        initial.setItalic(panel.Font.Italic);
        const QFont f = QFontDialog::getFont(&ok, initial, parent);
        if (!ok)
            return;
        TDesignFont d = panel.Font;
        d.Name = f.family();
        d.Size = f.pointSize() > 0 ? f.pointSize() : d.Size;
        d.Bold = f.bold();
        d.Italic = f.italic();
        d.Underline = f.underline();
        d.StrikeOut = f.strikeOut();
        c.ApplyFont(d);
    });
}

TAddressLayoutDialog::TAddressLayoutDialog(TGDMultiLineAddressLabel& block, QWidget* parent)
    : QDialog(parent), Block_(block) {
    setWindowTitle("Address Label Layout");
    const char* captions[] = {"&Name",      "&Title",        "&Organization",    "Address &1",
                              "Address &2", "City + &State", "&Zip/Postal code", "&Phone #1",
                              "&Country",   "&Uppercase"};
    const TAddressLayout& L = block.Layout;
    const bool values[] = {L.UseName,      L.UseTitle, L.UseCompany, L.UseStreet,  L.UseStreet2,
                           L.UseCityState, L.UseZip,   L.UsePhone,   L.UseCountry, L.UpperCase};
    const char* names[] = {"NameBox",     "TitleBox",     "OrganizationBox", "Address1Box",
                           "Address2Box", "CityStateBox", "ZipBox",          "PhoneBox",
                           "CountryBox",  "UppercaseBox"};
    auto* grid = new QGridLayout;
    for (int i = 0; i < 10; ++i) {
        Checks_[i] = new QCheckBox(QString::fromUtf8(captions[i]), this);
        Checks_[i]->setObjectName(QLatin1String(names[i]));
        Checks_[i]->setChecked(values[i]);
        grid->addWidget(Checks_[i], i % 5, i / 5);
    }
    Shrink_ = new QCheckBox("Shrin&k to fit", this);
    Shrink_->setObjectName("ShrinkToFitBox");
    Shrink_->setChecked(block.ShrinkToFit);
    grid->addWidget(Shrink_, 5, 0, 1, 2);
    auto* zipBox = new QGroupBox(this);
    zipBox->setObjectName("ZipPlacePanel");
    auto* zipLayout = new QVBoxLayout(zipBox);
    const char* zipCaptions[] = {"&After state", "&Before city", "A&fter country",
                                 "B&efore country"};
    const char* zipNames[] = {"AfterStateButton", "BeforeCityButton", "AfterCountryButton",
                              "BeforeCountryButton"};
    for (int i = 0; i < 4; ++i) {
        Zip_[i] = new QRadioButton(QString::fromUtf8(zipCaptions[i]), zipBox);
        Zip_[i]->setObjectName(QLatin1String(zipNames[i]));
        zipLayout->addWidget(Zip_[i]);
    }
    Zip_[L.ZipOptions]->setChecked(true);
    connect(Checks_[6], &QCheckBox::clicked, this, [this] { UpdateZipOptions(); });
    UpdateZipOptions();
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("Ok", QDialogButtonBox::AcceptRole)->setObjectName("OkButton");
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("CancelButton");
    QPushButton* help = buttons->addButton("Help", QDialogButtonBox::HelpRole);
    help->setObjectName("HelpButton");
    connect(help, &QPushButton::clicked, this, [this] {
        if (HelpHandler())
            HelpHandler()(kAddressLayoutHelpTopic);
        else
            print::ShowHelpTopic(this, kAddressLayoutHelpTopic);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(zipBox);
    top->addWidget(buttons);
}

void TAddressLayoutDialog::UpdateZipOptions() {
    for (auto* r : Zip_)
        r->setEnabled(Checks_[6]->isChecked());
}

void TAddressLayoutDialog::Apply() {
    TAddressLayout L = Block_.Layout;
    bool* members[] = {&L.UseName,      &L.UseTitle, &L.UseCompany, &L.UseStreet,  &L.UseStreet2,
                       &L.UseCityState, &L.UseZip,   &L.UsePhone,   &L.UseCountry, &L.UpperCase};
    for (int i = 0; i < 10; ++i)
        *members[i] = Checks_[i]->isChecked();
    for (int i = 0; i < 4; ++i)
        if (Zip_[i]->isChecked())
            L.ZipOptions = TZipFormatOptions(i);
    Block_.SetAddressLayout(L, Shrink_->isChecked());
}

void OpenAddressLayout(TGDMultiLineAddressLabel& block, QWidget* parent) {
    TAddressLayoutDialog d(block, parent);
    if (d.exec() != QDialog::Accepted)
        return;
    if (TGBasePanel* p = block.Panel()) {
        p->RefreshDataValues();
        p->NotifyChanged();
    }
}

} // namespace qp::design::ui
