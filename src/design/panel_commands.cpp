#include "design/panel_commands.h"

#include "design/design_units.h"

#include "design/base_panel.h"
#include "design/graphic_control.h"
#include "design/layout_stream.h"

#include <QFile>
#include <algorithm>
#include <functional>
#include <vector>

namespace qp::design {

namespace {
std::vector<TGGraphicControl*> SelectionOf(const TGBasePanel& p) {
    std::vector<TGGraphicControl*> out;
    for (int i = 0; i < p.SelectionCount(); ++i)
        out.push_back(p.Selected(i));
    return out;
}

// Moves the selected objects to their common edge: the least (or, with
// `furthest`, the greatest) of `edge` over them, starting from `start`.
void AlignSelection(TGBasePanel& panel, int start, bool furthest,
                    const std::function<int(const TGGraphicControl&)>& edge,
                    const std::function<void(TGGraphicControl&, int)>& place) {
    const auto sel = SelectionOf(panel);
    if (sel.empty())
        return;
    panel.NotifyChanged();
    int m = start;
    for (auto* o : sel)
        m = furthest ? std::max(m, edge(*o)) : std::min(m, edge(*o));
    for (auto* o : sel)
        place(*o, m);
    panel.RunDeferred();
    panel.RequestRepaint();
}
} // namespace

bool TPanelCommands::WriteClipboard(TGGraphicControl* single) {
    PastesSinceCopy_ = 0;
    TGLabelObjectFiler filer;
    // Coordinates at zoom 1.0, whatever the panel shows.
    const bool ok = P_.SaveWith([&](TGBasePanel& p) {
        return single ? filer.WriteObject(*single, TGBasePanel::ClipboardPath())
                      : filer.WriteSelection(p, TGBasePanel::ClipboardPath());
    });
    Error_ = ok ? QString() : filer.LastError();
    return ok;
}

bool TPanelCommands::Copy() {
    if (P_.SelectionCount() == 0)
        return true;
    return WriteClipboard(nullptr);
}

bool TPanelCommands::Cut() {
    if (P_.SelectionCount() == 0)
        return true;
    if (!Copy())
        return false;
    Delete();
    return true;
}

void TPanelCommands::Delete() {
    const auto sel = SelectionOf(P_);
    for (auto it = sel.rbegin(); it != sel.rend(); ++it) {
        P_.RemoveFromSelection(*it);
        P_.DeleteObject(*it);
        P_.NotifyChanged();
    }
}

bool TPanelCommands::CanPaste() const {
    return QFile::exists(TGBasePanel::ClipboardPath());
}

bool TPanelCommands::Paste() {
    const std::int64_t now = P_.Clock ? P_.Clock() : 0;
    if (now - LastPaste_ < 1000)
        return true;
    if (!CanPaste())
        return true;
    TGLabelObjectFiler filer(true);
    const int before = P_.ObjectCount();
    const bool ok = filer.PasteFile(P_, TGBasePanel::ClipboardPath());
    Error_ = ok ? QString() : filer.LastError();
    // The filer puts a paste 15 pixels off the copied objects; a further
    // paste of the same copy goes 15 pixels further, and what was pasted is
    // the new selection.
    const int extra = RoundHalfEven(15 * PastesSinceCopy_ * double(P_.Zoom()));
    if (P_.ObjectCount() > before)
        P_.ClearSelection();
    for (int i = before; i < P_.ObjectCount(); ++i) {
        TGGraphicControl* o = P_.Object(i);
        if (extra != 0)
            o->SetBounds(o->Left() + extra, o->Top() + extra, o->Width(), o->Height());
        if (!o->Unselectable())
            P_.AddToSelection(o);
    }
    ++PastesSinceCopy_;
    P_.WireAll();
    P_.RefreshDataValues();
    P_.NotifyChanged();
    P_.ProcessEvents();
    LastPaste_ = now;
    return ok;
}

bool TPanelCommands::CopyObject(TGGraphicControl* o) {
    if (P_.IndexOf(o) >= 0)
        return Copy();
    return WriteClipboard(o);
}

bool TPanelCommands::CutObject(TGGraphicControl* o) {
    if (P_.IndexOf(o) >= 0)
        return Cut();
    if (!WriteClipboard(o))
        return false;
    P_.RemoveFromSelection(o);
    P_.DeleteObject(o);
    P_.NotifyChanged();
    return true;
}

void TPanelCommands::DeleteObject(TGGraphicControl* o) {
    if (P_.IndexOf(o) >= 0)
        return Delete();
    P_.RemoveFromSelection(o);
    P_.DeleteObject(o);
    P_.NotifyChanged();
}

TGGraphicControl* TPanelCommands::Clone(TGGraphicControl* o) {
    P_.ShowDesignTextAll();
    TGLabelObjectFiler filer;
    TGGraphicControl* c = filer.CloneObject(*o, P_);
    P_.RefreshDataValues();
    if (!c) {
        Error_ = filer.LastError();
        return nullptr;
    }
    P_.ProcessEvents();
    c->SetTop(o->Top() + 25);
    P_.BringToFront(c);
    P_.RefreshDataValues();
    if (P_.IndexOf(o) >= 0) {
        P_.RemoveFromSelection(o);
        P_.AddToSelection(c);
    }
    P_.WireAll();
    P_.NotifyChanged();
    return c;
}

void TPanelCommands::BringSelectionToFront() {
    if (!P_.Handle().Locked)
        for (TGGraphicControl* o : SelectionOf(P_))
            P_.BringToFront(o);
    P_.NotifyChanged();
}

void TPanelCommands::SendSelectionToBack() {
    const auto sel = SelectionOf(P_);
    if (!P_.Handle().Locked)
        for (TGGraphicControl* o : sel) {
            // The panel's SendToBack clears the selection; keep the list.
            P_.SendToBack(o);
        }
    P_.ClearSelection();
    P_.NotifyChanged();
}

void TPanelCommands::AlignLeft() {
    AlignSelection(
        P_, P_.Width(), false, [](const TGGraphicControl& o) { return o.Left(); },
        [](TGGraphicControl& o, int m) { o.SetLeft(m); });
}

void TPanelCommands::AlignRight() {
    AlignSelection(
        P_, 0, true, [](const TGGraphicControl& o) { return o.Left() + o.Width(); },
        [](TGGraphicControl& o, int m) { o.SetLeft(m - o.Width()); });
}

void TPanelCommands::AlignTops() {
    AlignSelection(
        P_, P_.Height(), false, [](const TGGraphicControl& o) { return o.Top(); },
        [](TGGraphicControl& o, int m) { o.SetTop(m); });
}

void TPanelCommands::AlignBottoms() {
    AlignSelection(
        P_, 0, true, [](const TGGraphicControl& o) { return o.Top() + o.Height(); },
        [](TGGraphicControl& o, int m) { o.SetTop(m - o.Height()); });
}

void TPanelCommands::CenterVertically() {
    for (auto* o : SelectionOf(P_))
        P_.CenterVertically(o);
}

void TPanelCommands::CenterHorizontally() {
    for (auto* o : SelectionOf(P_))
        P_.CenterHorizontally(o);
}

void TPanelCommands::LockAll() {
    for (int i = 0; i < P_.ObjectCount(); ++i)
        if (!P_.Object(i)->Locked())
            P_.Object(i)->SetLocked(true);
}

void TPanelCommands::UnlockAll() {
    for (int i = 0; i < P_.ObjectCount(); ++i)
        if (P_.Object(i)->Locked())
            P_.Object(i)->SetLocked(false);
}

void TPanelCommands::MarkAllSelectable() {
    for (int i = 0; i < P_.ObjectCount(); ++i)
        P_.Object(i)->SetUnselectable(false);
}

void TPanelCommands::MarkAllUnselectable() {
    for (int i = 0; i < P_.ObjectCount(); ++i)
        P_.Object(i)->SetUnselectable(true);
}

void TPanelCommands::SelectAll() {
    if (P_.ObjectCount() > 0)
        P_.ClearSelection();
    for (int i = 0; i < P_.ObjectCount(); ++i)
        P_.AddToSelection(P_.Object(i));
}

void TPanelCommands::ApplyFont(const TDesignFont& f) {
    for (auto* o : SelectionOf(P_))
        o->AssignFont(f);
    P_.RequestRepaint();
}

} // namespace qp::design
