// Undo and redo of the design panel: each step keeps the layout before it as
// the layout stream writes it, so undoing gives back the very same bytes.
#include "design/base_panel.h"
#include "design/design_units.h"
#include "design/graphic_control.h"
#include "design/layout_stream.h"

namespace qp::design {

TGBasePanel::TSnapshot TGBasePanel::Snapshot() const {
    std::vector<const TGGraphicControl*> list;
    list.reserve(Objects_.size());
    for (const auto& o : Objects_)
        list.push_back(o.get());
    TStreamWriter w;
    w.WriteObjectList(list);
    return {w.Data(), Zoom_};
}

void TGBasePanel::Restore(const TSnapshot& s) {
    Restoring_ = true;
    Handle_.Clear();
    while (!Objects_.empty()) {
        Objects_.back()->SetPanel(nullptr);
        Objects_.pop_back();
    }
    TStreamReader r(s.Objects);
    std::vector<TGGraphicControl*> read;
    if (r.ExpectListBegin()) {
        while (!r.AtListEnd() && !r.Failed()) {
            TStreamObject rec;
            if (!r.ReadObject(rec))
                break;
            // The object was on this panel: its class is allowed here.
            auto o = CreateFromRecord(rec, QStringList{rec.ClassName}, nullptr);
            if (!o)
                break;
            o->SetName(rec.Name);
            o->SetPanel(this);
            o->SetZoomValue(s.Zoom);
            read.push_back(o.get());
            Objects_.push_back(std::move(o));
        }
    }
    for (TGGraphicControl* o : read)
        o->Loaded();
    if (s.Zoom != Zoom_) {
        const double k = double(Zoom_) / s.Zoom;
        for (TGGraphicControl* o : read) {
            o->SetZoomValue(Zoom_);
            o->SetBounds(RoundHalfEven(o->Left() * k), RoundHalfEven(o->Top() * k),
                         RoundHalfEven(o->Width() * k), RoundHalfEven(o->Height() * k));
        }
    }
    RefreshDataValues();
    Restoring_ = false;
    RequestRepaint();
}

void TGBasePanel::CommitUndoStep() {
    if (!UndoOpen_)
        return;
    UndoOpen_ = false;
    TSnapshot now = Snapshot();
    if (!(now.Objects == UndoBase_.Objects)) {
        UndoStack_.push_back(std::move(UndoBase_));
        if (int(UndoStack_.size()) > kUndoDepth)
            UndoStack_.erase(UndoStack_.begin());
        RedoStack_.clear();
        UndoBase_ = std::move(now);
    }
    if (OnUndoChanged)
        OnUndoChanged();
}

bool TGBasePanel::Undo() {
    CommitUndoStep();
    if (UndoStack_.empty())
        return false;
    RedoStack_.push_back(Snapshot());
    UndoBase_ = std::move(UndoStack_.back());
    UndoStack_.pop_back();
    Restore(UndoBase_);
    UndoBase_ = Snapshot();
    Restoring_ = true;
    NotifyChanged(); // the layout differs from what was saved
    Restoring_ = false;
    if (OnUndoChanged)
        OnUndoChanged();
    return true;
}

bool TGBasePanel::Redo() {
    CommitUndoStep();
    if (RedoStack_.empty())
        return false;
    UndoStack_.push_back(Snapshot());
    TSnapshot next = std::move(RedoStack_.back());
    RedoStack_.pop_back();
    Restore(next);
    UndoBase_ = Snapshot();
    Restoring_ = true;
    NotifyChanged();
    Restoring_ = false;
    if (OnUndoChanged)
        OnUndoChanged();
    return true;
}

void TGBasePanel::ResetUndo() {
    UndoStack_.clear();
    RedoStack_.clear();
    UndoOpen_ = false;
    UndoBase_ = Snapshot();
    if (OnUndoChanged)
        OnUndoChanged();
}

} // namespace qp::design
