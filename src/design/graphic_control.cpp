#include "design/graphic_control.h"

#include "design/base_panel.h"

#include <QPainter>

namespace qp::design {

TGGraphicControl::~TGGraphicControl() = default;

void TGGraphicControl::SetBounds(int left, int top, int width, int height) {
    if (left == Left_ && top == Top_ && width == Width_ && height == Height_)
        return;
    StoreBounds(left, top, width, height);
    BoundsChanged();
}

void TGGraphicControl::StoreBounds(int left, int top, int width, int height) {
    Left_ = left;
    Top_ = top;
    Width_ = width;
    Height_ = height;
}

void TGGraphicControl::BoundsChanged() {
    const QRect now = BoundsRect();
    if (LastBounds_.isNull())
        LastBounds_ = now;
    if (now != LastBounds_) {
        Changed();
        LastBounds_ = now;
        if (Panel_)
            Panel_->PostFitToSelection();
    }
    Repaint();
}

void TGGraphicControl::SetLocked(bool v) {
    Locked_ = v;
    if (Loading_)
        return;
    Changed();
}

void TGGraphicControl::SetUnselectable(bool v) {
    Unselectable_ = v;
    if (Loading_)
        return;
    Changed();
    if (v && Panel_)
        Panel_->RemoveFromSelection(this);
}

void TGGraphicControl::Loaded() {
    Loading_ = false;
}

void TGGraphicControl::Paint(QPainter&) {}

void TGGraphicControl::PrintObject(print::TBaseReport&, double, double) {}

bool TGGraphicControl::Printing() const {
    return Panel_ && Panel_->Printing;
}

void TGGraphicControl::Changed() {
    if (Panel_ && !Panel_->Printing)
        Panel_->NotifyChanged();
}

void TGGraphicControl::Repaint() {
    if (Panel_ && !Panel_->Printing)
        Panel_->RequestRepaint();
}

TPropertyList TGGraphicControl::StoredProperties() const {
    TPropertyList out{{"Left", std::int32_t(Left_)},
                      {"Top", std::int32_t(Top_)},
                      {"Width", std::int32_t(Width_)},
                      {"Height", std::int32_t(Height_)}};
    if (Cursor != 0)
        out.push_back({"Cursor", std::int32_t(Cursor)});
    if (!Hint.isEmpty())
        out.push_back({"Hint", Hint});
    out.push_back({"Locked", Locked_});
    out.push_back({"Unselectable", Unselectable_});
    return out;
}

bool TGGraphicControl::SetProperty(const QString& name, const TPropertyValue& v) {
    int i = 0;
    bool b = false;
    if (name == "Left" || name == "Top" || name == "Width" || name == "Height") {
        if (!AsInt(v, i))
            return false;
        if (name == "Left")
            SetLeft(i);
        else if (name == "Top")
            SetTop(i);
        else if (name == "Width")
            SetWidth(i);
        else
            SetHeight(i);
        return true;
    }
    if (name == "Cursor")
        return AsInt(v, Cursor);
    if (name == "Hint")
        return AsString(v, Hint);
    if (name == "Locked" || name == "Unselectable") {
        if (!AsBool(v, b))
            return false;
        name == "Locked" ? SetLocked(b) : SetUnselectable(b);
        return true;
    }
    return false;
}

} // namespace qp::design
