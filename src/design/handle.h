#pragma once
// The selection overlay: the ordered selection, its frame 2 pixels outside
// the objects, and the mouse and keyboard state machine that moves and
// resizes them. It is fed events and reads time from the clock it is given.
#include <QPoint>
#include <QRect>
#include <Qt>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace qp::design {

class TGGraphicControl;
class TGBasePanel;

// Mouse buttons, modifiers, keys and cursors are Qt's own (Qt::MouseButton,
// Qt::KeyboardModifiers, Qt::Key, Qt::CursorShape): QtCore types, so the
// model needs no widgets. A drag cursor is what shows while a tool is active.
inline constexpr Qt::CursorShape kToolCursor = Qt::DragCopyCursor;

using TClock = std::function<std::int64_t()>; // milliseconds, monotonic
TClock SystemClock();

class TGHandle {
public:
    explicit TGHandle(TGBasePanel& panel);

    // Colours as 0x00BBGGRR.
    std::uint32_t Color = 0;
    std::uint32_t SecondaryColor = 8421504;
    bool Locked = false;

    int GridX() const { return GridX_; }
    int GridY() const { return GridY_; }
    void SetGrid(int x, int y); // 1..32; also remembered for SnapToGrid
    bool SnapToGrid() const { return GridX_ > 1 || GridY_ > 1; }
    void SetSnapToGrid(bool on);

    // Overlay bounds in panel coordinates.
    int Left() const { return Left_; }
    int Top() const { return Top_; }
    int Width() const { return Width_; }
    int Height() const { return Height_; }
    QRect Bounds() const { return QRect(Left_, Top_, Width_, Height_); }
    bool Visible() const { return Visible_; }
    // Moves and resizes the unlocked selected objects by the same amounts.
    void SetBounds(int left, int top, int width, int height);

    // Selection.
    int Count() const { return int(Selection_.size()); }
    TGGraphicControl* Selected(int i) const;
    int IndexOf(const TGGraphicControl* o) const;
    void Add(TGGraphicControl* o);
    void Remove(TGGraphicControl* o);
    void Clear();
    void FitToSelection();
    TGGraphicControl* SelectedObjectAt(QPoint panelPoint) const;
    const std::vector<TGGraphicControl*>& Selection() const { return Selection_; }

    // Events in overlay coordinates (panel point minus Left/Top).
    // `held` is the buttons down during a move; a double-click is its own call.
    void MouseDown(Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p);
    void MouseMove(Qt::MouseButtons held, Qt::KeyboardModifiers m, QPoint p);
    void MouseUp(Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p);
    void DoubleClick(QPoint p);
    // An arrow key moves (with Shift on one object resizes) the keyboard
    // frame by `designStep` design pixels (zoom-1.0 pixels); other keys are
    // ignored. The release applies the whole sequence as one change.
    void KeyDown(Qt::Key k, Qt::KeyboardModifiers m, int designStep = 1);
    void KeyUp();

    bool HasCapture() const { return Capture_; }
    bool Dragging() const { return Dragging_; }
    int Zone() const { return Zone_; }
    bool KeyMoving() const { return KeyMove_; }
    // The reversible frame being shown, in panel coordinates.
    std::optional<QRect> Frame() const { return Frame_; }

    // The rectangle a drag from the start to `p` gives (zone table, snapped).
    QRect DragRect(QPoint p) const;

private:
    QPoint Clamp(QPoint p) const;
    void SetCursor(Qt::CursorShape c);
    int HitZone(QPoint p, Qt::CursorShape& cursor) const;

    TGBasePanel& Panel_;
    std::vector<TGGraphicControl*> Selection_;
    int Left_ = 0, Top_ = 0, Width_ = 24, Height_ = 24;
    bool Visible_ = false;
    int GridX_ = 1, GridY_ = 1;
    int RememberX_ = 8, RememberY_ = 8;
    bool Dragging_ = false;
    QPoint Start_;
    std::int64_t PressTime_ = 0;
    bool PressTimeSet_ = false;
    int Zone_ = 0;
    bool DoubleClicked_ = false;
    bool Capture_ = false;
    bool KeyMove_ = false;
    QRect KeyRect_; // inclusive corners, as the frame is defined
    struct TKeyDelta {
        int Left = 0, Top = 0, Width = 0, Height = 0;
    } KeyDelta_; // design pixels the key sequence asked for
    std::optional<QRect> Frame_;
};

} // namespace qp::design
