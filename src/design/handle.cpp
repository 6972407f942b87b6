#include "design/handle.h"

#include "design/base_panel.h"
#include "design/graphic_control.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cmath>

namespace qp::design {

TClock SystemClock() {
    return [] {
        static QElapsedTimer t = [] {
            QElapsedTimer e;
            e.start();
            return e;
        }();
        return std::int64_t(t.elapsed());
    };
}

TGHandle::TGHandle(TGBasePanel& panel) : Panel_(panel) {}

void TGHandle::SetGrid(int x, int y) {
    GridX_ = std::clamp(x, 1, 32);
    GridY_ = std::clamp(y, 1, 32);
    if (GridX_ > 1 || GridY_ > 1) {
        RememberX_ = GridX_;
        RememberY_ = GridY_;
    }
}

void TGHandle::SetSnapToGrid(bool on) {
    if (on) {
        GridX_ = RememberX_;
        GridY_ = RememberY_;
    } else {
        GridX_ = GridY_ = 1;
    }
}

TGGraphicControl* TGHandle::Selected(int i) const {
    if (i < 0 || i >= Count())
        return nullptr;
    return Selection_[i];
}

int TGHandle::IndexOf(const TGGraphicControl* o) const {
    auto it = std::find(Selection_.begin(), Selection_.end(), o);
    return it == Selection_.end() ? -1 : int(it - Selection_.begin());
}

namespace {
// The union rule of the overlay: current bounds less 3 on the right and
// bottom, with the object grown 2 on the left and top, widened again by 3.
QRect Extend(const QRect& overlay, bool first, const TGGraphicControl& o) {
    const int ol = o.Left() - 2, ot = o.Top() - 2, orr = o.Left() + o.Width(),
              ob = o.Top() + o.Height();
    if (first)
        return QRect(ol, ot, o.Width() + 5, o.Height() + 5);
    const int l = std::min(overlay.x(), ol), t = std::min(overlay.y(), ot);
    const int r = std::max(overlay.x() + overlay.width() - 3, orr);
    const int b = std::max(overlay.y() + overlay.height() - 3, ob);
    return QRect(l, t, r + 3 - l, b + 3 - t);
}
} // namespace

void TGHandle::Add(TGGraphicControl* o) {
    if (!o || o->Unselectable() || IndexOf(o) >= 0)
        return;
    PressTime_ = Panel_.Clock();
    PressTimeSet_ = true;
    SetCursor(Qt::ClosedHandCursor);
    const QRect r = Extend(Bounds(), Selection_.empty(), *o);
    Left_ = r.x(), Top_ = r.y(), Width_ = r.width(), Height_ = r.height();
    Visible_ = true;
    Selection_.push_back(o);
    Zone_ = 0;
    Capture_ = true;
    Panel_.RequestRepaint();
}

void TGHandle::Remove(TGGraphicControl* o) {
    const int i = IndexOf(o);
    if (i < 0)
        return;
    Selection_.erase(Selection_.begin() + i);
    if (Selection_.empty()) {
        Clear();
        return;
    }
    QRect r;
    for (size_t k = 0; k < Selection_.size(); ++k)
        r = Extend(r, k == 0, *Selection_[k]);
    Left_ = r.x(), Top_ = r.y(), Width_ = r.width(), Height_ = r.height();
    Panel_.RequestRepaint();
}

void TGHandle::Clear() {
    Selection_.clear();
    Locked = false;
    Visible_ = false;
    Width_ = Height_ = 24;
    Frame_.reset();
    Dragging_ = false;
    Capture_ = false;
    KeyMove_ = false;
    Panel_.RequestRepaint();
}

void TGHandle::FitToSelection() {
    if (Selection_.empty())
        return;
    int l = INT32_MAX, t = INT32_MAX, r = INT32_MIN, b = INT32_MIN;
    for (auto* o : Selection_) {
        l = std::min(l, o->Left());
        t = std::min(t, o->Top());
        r = std::max(r, o->Left() + o->Width());
        b = std::max(b, o->Top() + o->Height());
    }
    Left_ = l - 2, Top_ = t - 2, Width_ = r - l + 6, Height_ = b - t + 6;
    Panel_.RequestRepaint();
}

TGGraphicControl* TGHandle::SelectedObjectAt(QPoint p) const {
    for (auto* o : Selection_)
        if (p.x() >= o->Left() - 2 && p.x() < o->Left() + o->Width() + 2 && p.y() >= o->Top() - 2 &&
            p.y() < o->Top() + o->Height() + 2)
            return o;
    return nullptr;
}

void TGHandle::SetBounds(int left, int top, int width, int height) {
    bool anyLocked = false;
    for (auto* o : Selection_) {
        if (o->Locked()) {
            anyLocked = true;
            continue;
        }
        o->SetBounds(left + o->Left() - Left_, top + o->Top() - Top_, width + o->Width() - Width_,
                     height + o->Height() - Height_);
    }
    Left_ = left, Top_ = top, Width_ = width, Height_ = height;
    // Locked objects stayed where they were: keep the overlay around them.
    if (anyLocked)
        FitToSelection();
    Panel_.RequestRepaint();
}

void TGHandle::SetCursor(Qt::CursorShape c) {
    Panel_.SetCursor(c);
}

QPoint TGHandle::Clamp(QPoint p) const {
    const int x = std::clamp(Left_ + p.x(), 0, std::max(0, Panel_.Width())) - Left_;
    const int y = std::clamp(Top_ + p.y(), 0, std::max(0, Panel_.Height())) - Top_;
    return QPoint(x, y);
}

QRect TGHandle::DragRect(QPoint p) const {
    const int x = p.x(), y = p.y(), sx = Start_.x(), sy = Start_.y();
    const int L = Left_, T = Top_, W = Width_, H = Height_;
    auto snapX = [&](int v) { return GridX_ * (v / GridX_); };
    auto snapY = [&](int v) { return GridY_ * (v / GridY_); };
    int nl = L, nt = T, nw = W, nh = H;
    switch (Zone_) {
    case 0:
        nl = snapX(x + L - sx), nt = snapY(y + T - sy);
        break;
    case 1:
        nl = snapX(x + L - sx), nt = snapY(y + T - sy);
        nw = W + L - nl, nh = H + T - nt;
        break;
    case 2:
        nt = snapY(y + T - sy);
        nw = snapX(x + W - sx) - 1, nh = H + T - nt;
        break;
    case 3:
        nl = snapX(x + L - sx);
        nw = W + L - nl, nh = snapY(y + H - sy) - 1;
        break;
    case 4:
        nw = snapX(x + W - sx) - 1, nh = snapY(y + H - sy) - 1;
        break;
    case 5:
        nt = snapY(y + T - sy), nh = H + T - nt;
        break;
    case 6:
        nl = snapX(x + L - sx), nw = W + L - nl;
        break;
    case 7:
        nh = snapY(y + H - sy) - 1;
        break;
    case 8:
        nw = snapX(x + W - sx) - 1;
        break;
    }
    return QRect(nl, nt, std::max(5, nw), std::max(5, nh));
}

int TGHandle::HitZone(QPoint p, Qt::CursorShape& cursor) const {
    const double x = p.x(), y = p.y(), W = Width_, H = Height_;
    int zone = 0;
    cursor = Qt::ClosedHandCursor;
    auto near = [](double a, double b, double d) { return std::abs(a - b) < d; };
    if (near(x, 0, 8) && near(y, 0, 8))
        zone = 1, cursor = Qt::SizeFDiagCursor;
    if (near(x, W, 8) && near(y, H, 8))
        zone = 4, cursor = Qt::SizeFDiagCursor;
    if (near(x, W, 8) && near(y, 0, 8))
        zone = 2, cursor = Qt::SizeBDiagCursor;
    if (near(x, 0, 8) && near(y, H, 8))
        zone = 3, cursor = Qt::SizeBDiagCursor;
    if (near(x, W / 2, 6) && near(y, 0, 8))
        zone = 5, cursor = Qt::SizeVerCursor;
    if (near(x, W / 2, 6) && near(y, H, 8))
        zone = 7, cursor = Qt::SizeVerCursor;
    if (near(y, H / 2, 6) && near(x, 0, 8))
        zone = 6, cursor = Qt::SizeHorCursor;
    if (near(y, H / 2, 6) && near(x, W, 8))
        zone = 8, cursor = Qt::SizeHorCursor;
    return zone;
}

void TGHandle::MouseDown(Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p) {
    const QPoint panelPoint = p + QPoint(Left_, Top_);
    if (b == Qt::LeftButton && Panel_.Pointing()) {
        PressTime_ = Panel_.Clock();
        PressTimeSet_ = true;
        if (!Locked) {
            Start_ = p;
            Dragging_ = true;
        }
        if (m & Qt::ShiftModifier) {
            std::vector<TGGraphicControl*> hit;
            for (auto* o : Selection_)
                if (o->BoundsRect().contains(panelPoint))
                    hit.push_back(o);
            for (auto* o : hit)
                Remove(o);
            if (Selection_.empty())
                Dragging_ = false;
        }
        return;
    }
    if (b == Qt::RightButton) {
        TGGraphicControl* o = SelectedObjectAt(panelPoint);
        if (o && Count() == 1) {
            if (Panel_.OnObjectMenu)
                Panel_.OnObjectMenu(o, panelPoint);
        } else if (Panel_.OnPanelMenu) {
            Panel_.OnPanelMenu(panelPoint);
        }
        return;
    }
    SetCursor(Qt::ArrowCursor);
    if (TGGraphicControl* o = Panel_.ObjectAt(panelPoint))
        Panel_.ObjectMouseDown(o, b, m, panelPoint - QPoint(o->Left(), o->Top()));
    else
        Panel_.BackgroundMouseDown(b, m, panelPoint);
}

void TGHandle::MouseMove(Qt::MouseButtons held, Qt::KeyboardModifiers, QPoint p) {
    if (!Panel_.Pointing()) {
        SetCursor(kToolCursor);
        return;
    }
    if (DoubleClicked_) {
        DoubleClicked_ = false;
        Dragging_ = false;
        Frame_.reset();
    }
    const bool left = held & Qt::LeftButton;
    const bool anyButton = held & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton);
    if (left && !Dragging_ && !Locked) {
        if (PressTimeSet_ && Panel_.Clock() - PressTime_ > 10) {
            Dragging_ = true;
            Start_ = p;
        }
        return;
    }
    if (!anyButton)
        Capture_ = false;
    if (!Dragging_) {
        Qt::CursorShape c = Qt::ClosedHandCursor;
        int zone = 0;
        if (Count() == 1)
            zone = HitZone(p, c);
        if (Locked)
            c = Qt::ForbiddenCursor;
        SetCursor(c);
        Zone_ = zone;
        return;
    }
    const QRect r = DragRect(Clamp(p));
    Frame_ = QRect(QPoint(r.left() + 2, r.top() + 2),
                   QPoint(r.left() + r.width() - 3, r.top() + r.height() - 3));
    Panel_.RequestRepaint();
}

void TGHandle::MouseUp(Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p) {
    if (Dragging_ && PressTimeSet_ && Panel_.Clock() - PressTime_ < 150)
        Start_ = p; // a short click never moves anything
    PressTimeSet_ = false;
    PressTime_ = 0;
    if (!Dragging_ || b != Qt::LeftButton) {
        Panel_.MouseUp(b, m, p + QPoint(Left_, Top_));
        return;
    }
    const QPoint c = Clamp(p);
    if (c != Start_) {
        const QRect r = DragRect(c);
        SetBounds(r.x(), r.y(), r.width(), r.height());
    }
    Frame_.reset();
    Dragging_ = false;
    SetCursor(Qt::ArrowCursor);
    Capture_ = false;
    Panel_.RequestRepaint();
}

void TGHandle::DoubleClick(QPoint p) {
    DoubleClicked_ = true;
    if (Count() > 1)
        return;
    const QPoint panelPoint = p + QPoint(Left_, Top_);
    if (TGGraphicControl* o = SelectedObjectAt(panelPoint); o && Panel_.OnObjectMenu)
        Panel_.OnObjectMenu(o, panelPoint);
}

void TGHandle::KeyDown(Qt::Key k, Qt::KeyboardModifiers m, int designStep) {
    if (Selection_.empty() || designStep < 1)
        return;
    if (k != Qt::Key_Left && k != Qt::Key_Up && k != Qt::Key_Right && k != Qt::Key_Down)
        return;
    if (!KeyMove_) {
        KeyRect_ =
            QRect(QPoint(Left_ + 2, Top_ + 2), QPoint(Left_ + Width_ - 3, Top_ + Height_ - 3));
        KeyMove_ = true;
        KeyDelta_ = {};
    }
    const bool resize = (m & Qt::ShiftModifier) && Count() == 1;
    // The frame moves in panel pixels, pixel by pixel so that it stops at
    // the edges; the objects later move by the design pixels it covered.
    const double zoom = Panel_.Zoom() > 0 ? double(Panel_.Zoom()) : 1.0;
    const int pixels = std::max(1, int(std::lround(designStep * zoom)));
    int l = KeyRect_.left(), t = KeyRect_.top(), r = KeyRect_.right(), b = KeyRect_.bottom();
    int moved = 0;
    for (int i = 0; i < pixels; ++i) {
        const int before = l + t + r + b;
        switch (k) {
        case Qt::Key_Left:
            if (resize) {
                if (r - l + 1 > 10)
                    --r;
            } else if (l > 0) {
                --l, --r;
            }
            break;
        case Qt::Key_Up:
            if (resize) {
                if (b - t + 1 > 10)
                    --b;
            } else if (t > 0) {
                --t, --b;
            }
            break;
        case Qt::Key_Right:
            if (r + 1 < Panel_.Width()) {
                if (!resize)
                    ++l;
                ++r;
            }
            break;
        default:
            if (b + 1 < Panel_.Height()) {
                if (!resize)
                    ++t;
                ++b;
            }
            break;
        }
        if (l + t + r + b == before)
            break;
        ++moved;
    }
    const int design = moved == pixels ? designStep : int(std::lround(moved / zoom));
    const int sign = (k == Qt::Key_Left || k == Qt::Key_Up) ? -1 : 1;
    const bool horizontal = k == Qt::Key_Left || k == Qt::Key_Right;
    if (resize)
        (horizontal ? KeyDelta_.Width : KeyDelta_.Height) += sign * design;
    else
        (horizontal ? KeyDelta_.Left : KeyDelta_.Top) += sign * design;
    KeyRect_ = QRect(QPoint(l, t), QPoint(r, b));
    Frame_ = KeyRect_;
    Panel_.RequestRepaint();
}

void TGHandle::KeyUp() {
    if (!KeyMove_)
        return;
    Frame_.reset();
    KeyMove_ = false;
    const int l = KeyRect_.left(), t = KeyRect_.top(), r = KeyRect_.right(), b = KeyRect_.bottom();
    if (Panel_.Zoom() == 1.0f) {
        SetBounds(l - 2, t - 2, r - l + 5, b - t + 5);
    } else {
        // Zoomed: the unlocked objects move by whole design pixels, so what
        // is stored is exactly what the keys asked for.
        bool anyLocked = false;
        for (auto* o : Selection_) {
            if (o->Locked()) {
                anyLocked = true;
                continue;
            }
            const QRect d = Panel_.DesignBounds(*o);
            Panel_.SetDesignBounds(*o, QRect(d.left() + KeyDelta_.Left, d.top() + KeyDelta_.Top,
                                             d.width() + KeyDelta_.Width,
                                             d.height() + KeyDelta_.Height));
        }
        Left_ = l - 2, Top_ = t - 2, Width_ = r - l + 5, Height_ = b - t + 5;
        if (anyLocked)
            FitToSelection();
    }
    KeyDelta_ = {};
    Panel_.RequestRepaint();
}

} // namespace qp::design
