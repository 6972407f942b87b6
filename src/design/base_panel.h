#pragma once
// The design surface model: the objects in child (painting) order, the
// selection overlay, tools and rubber band, grid and snapping, zoom, naming,
// change notification and printing. Widgets only paint it and forward events.
#include "design/design_types.h"
#include "design/handle.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace qp::print {
class TBaseReport;
}

namespace qp::design {

class TGGraphicControl;
class TDataSource;

enum TLabelShapeType { lsRectangle, lsRoundRect, lsEllipse };
enum TGridSize { gs4x4, gs8x8 };

class TGBasePanel {
public:
    TGBasePanel();
    virtual ~TGBasePanel();
    TGBasePanel(const TGBasePanel&) = delete;
    TGBasePanel& operator=(const TGBasePanel&) = delete;

    // ---- Window-level properties (kept by the designer, not the layout) ----
    bool Pointing() const { return Pointing_; }
    void SetPointing(bool v);
    bool DrawOutline = false;
    QImage Picture; // stretched under the objects (the stock)
    QImage ColorPicture;
    bool Printing = false;
    TLabelShapeType Shape = lsRoundRect;
    TGridSize GridSize() const { return GridSize_; }
    void SetGridSize(TGridSize g);
    bool ShowGrid() const { return ShowGrid_; }
    void SetShowGrid(bool v);
    bool SnapToGrid() const { return SnapToGrid_; }
    void SetSnapToGrid(bool v);
    TDesignFont Font; // for new text objects

    int Width() const { return Width_; }
    int Height() const { return Height_; }
    void SetSize(int w, int h);
    float Zoom() const { return Zoom_; }
    void SetZoom(float factor);

    // ---- Events ----
    std::function<void(const QRect&)> DroppedObjectEvent;
    std::function<void()> LabelChangedEvent;
    // Hooks for the widget; all optional.
    std::function<void()> OnRepaint;
    std::function<void()> OnLayoutChanged; // beside LabelChangedEvent
    std::function<void()> OnProcessEvents;
    std::function<void(Qt::CursorShape)> OnCursor;
    std::function<void(TGGraphicControl*, QPoint)> OnObjectMenu; // panel point
    std::function<void(QPoint)> OnPanelMenu;
    // Is `name` taken by a component of the designer window? Default: objects.
    std::function<bool(const QString&)> NameTaken;
    TClock Clock = SystemClock();

    // ---- Objects ----
    // An object's bounds at zoom 1.0 (what a layout stores), and setting
    // them: the object shows them at the panel's zoom and is stored with
    // exactly these. Changes go through the object's notifying SetBounds.
    QRect DesignBounds(const TGGraphicControl& o) const;
    void SetDesignBounds(TGGraphicControl& o, const QRect& design);
    int ObjectCount() const { return int(Objects_.size()); }
    TGGraphicControl* Object(int i) const { return Objects_.at(i).get(); }
    int ChildIndex(const TGGraphicControl* o) const;
    TGGraphicControl* FindObject(const QString& name) const;
    // r as corners: the object is r.right() - r.left() wide (at least 10 by 15).
    TGGraphicControl* AddObject(std::unique_ptr<TGGraphicControl> o, const QRect& r);
    // Appends an object read from a stream (named, wired, zoom copied, not rescaled).
    TGGraphicControl* InsertLoaded(std::unique_ptr<TGGraphicControl> o);
    // Appends and scales an object stored at zoom 1.0 to the panel's zoom.
    TGGraphicControl* InsertStored(std::unique_ptr<TGGraphicControl> o);
    std::unique_ptr<TGGraphicControl> TakeObject(TGGraphicControl* o);
    void DeleteObject(TGGraphicControl* o);
    void ClearObjects();
    QString UniqueName(const QString& prefix) const;
    QString StreamName() const; // "Component" + n for objects read from a stream
    void WireAll();             // copies the panel's zoom into every object
    void BringToFront(TGGraphicControl* o);
    void SendToBack(TGGraphicControl* o);
    void CenterVertically(TGGraphicControl* o);
    void CenterHorizontally(TGGraphicControl* o);
    TGGraphicControl* ObjectAt(QPoint p) const; // topmost
    // Every object under `p`, topmost first.
    std::vector<TGGraphicControl*> ObjectsAt(QPoint p) const;
    // Alt+click: selects the object under `p` below the one selected there,
    // from the top again after the lowest; false when nothing is there.
    bool CycleSelectionAt(QPoint p);
    static constexpr int kHitTolerance = 3; // screen pixels around an outline

    // ---- Virtual operations ----
    virtual void CreateObjectInRect(QRect r);
    virtual void RefreshDataValues() {}
    virtual void PrintObjects(print::TBaseReport& report, double x, double y);
    virtual void KeepObjectsInside();
    virtual void RemoveObjectsOutside();
    virtual const TDataSource* DataSet() const { return nullptr; }
    virtual bool DisplayDataValues() const { return true; }
    // Classes a layout stream may contain for this kind of panel (empty: the
    // process-wide registry).
    virtual QStringList StreamClasses() const { return {}; }

    void ShowDesignTextAll();
    void NextLabelAll();
    void ResetCounterAll();

    // Runs `write` at zoom 1.0 with design texts shown, then restores the
    // record values and the zoom whatever `write` returned.
    bool SaveWith(const std::function<bool(TGBasePanel&)>& write);
    // Runs `read` at zoom 1.0 (objects it inserts are then scaled to the
    // panel's zoom), wires all objects and refreshes data values.
    bool LoadWith(const std::function<bool(TGBasePanel&)>& read);
    // Why the last SaveWith or LoadWith was stopped by an exception (empty
    // when it was not); the reader's or writer's own reason comes from it.
    const QString& LastError() const { return LastError_; }

    // ---- Selection ----
    TGHandle& Handle() { return Handle_; }
    const TGHandle& Handle() const { return Handle_; }
    int SelectionCount() const { return Handle_.Count(); }
    TGGraphicControl* Selected(int i) const { return Handle_.Selected(i); }
    int IndexOf(const TGGraphicControl* o) const { return Handle_.IndexOf(o); }
    void AddToSelection(TGGraphicControl* o);
    void RemoveFromSelection(TGGraphicControl* o) { Handle_.Remove(o); }
    void ClearSelection() { Handle_.Clear(); }
    void FitToSelection() { Handle_.FitToSelection(); }
    TGGraphicControl* SelectedObjectAt(QPoint p) const { return Handle_.SelectedObjectAt(p); }

    // ---- Mouse and keys, in panel coordinates; routed to overlay, objects or background ----
    // `held` is the buttons down during a move.
    void MouseDown(Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p);
    void MouseMove(Qt::MouseButtons held, Qt::KeyboardModifiers m, QPoint p);
    void MouseUp(Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p);
    void DoubleClick(QPoint p);
    // Arrow keys: one design pixel a press; Ctrl+arrow one grid step; with
    // Shift a single object is resized instead. The release ends the move.
    void KeyDown(Qt::Key k, Qt::KeyboardModifiers m);
    void KeyUp();
    int GridStep() const { return GridSize_ == gs8x8 ? 8 : 4; }
    void ObjectMouseDown(TGGraphicControl* o, Qt::MouseButton b, Qt::KeyboardModifiers m,
                         QPoint objectPoint);
    void BackgroundMouseDown(Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p);
    bool RubberBanding() const { return Rubber_; }
    // Corners as points: right() and bottom() are the Windows Right and Bottom.
    QRect RubberBand() const {
        return QRect(
            QPoint(std::min(RubberA_.x(), RubberB_.x()), std::min(RubberA_.y(), RubberB_.y())),
            QPoint(std::max(RubberA_.x(), RubberB_.x()), std::max(RubberA_.y(), RubberB_.y())));
    }
    Qt::CursorShape Cursor() const { return Cursor_; }

    // ---- Undo and redo ----
    // Every change notice opens a step; CommitUndoStep closes it (the widget
    // does so once the event that made the changes has run), so one user
    // action is one step. A step keeps the layout before and after it.
    static constexpr int kUndoDepth = 200;
    bool CanUndo() const { return !UndoStack_.empty() || UndoOpen_; }
    bool CanRedo() const { return !RedoStack_.empty() && !UndoOpen_; }
    bool Undo();
    bool Redo();
    void CommitUndoStep();
    // The layout as it is now becomes the start of the history (after loading).
    void ResetUndo();
    std::function<void()> OnUndoStepOpened; // the widget closes it after the event
    std::function<void()> OnUndoChanged;    // the availability of Undo/Redo changed

    // ---- Called by objects and the overlay ----
    void NotifyChanged(); // fires LabelChangedEvent unless printing or zooming
    void PostFitToSelection() { FitPending_ = true; }
    void RunDeferred(); // the deferred FitToSelection, once an operation ends
    void RequestRepaint();
    void ProcessEvents();
    void SetCursor(Qt::CursorShape c);

    // Paints in panel coordinates onto any painter: white, then with
    // designMarks the stock pictures, outline and grid, the objects, and with
    // designMarks the selection squares and the reversible frames.
    void Paint(QPainter& painter, bool designMarks = true);

    // The clipboard and scratch files in the program's folder; the panel
    // deletes both when it is destroyed.
    static QString ClipboardPath();
    static QString TempFilePath();
    void PaintSelectionSquares(QPainter& painter, const TGGraphicControl& o) const;

private:
    void MouseUpBackground(Qt::KeyboardModifiers m, QPoint p);
    struct TSnapshot {
        QByteArray Objects; // the object list as the layout stream writes it
        float Zoom = 1.0f;
        bool operator==(const TSnapshot&) const = default;
    };
    TSnapshot Snapshot() const;
    void Restore(const TSnapshot& s);
    std::vector<TSnapshot> UndoStack_, RedoStack_;
    TSnapshot UndoBase_{QByteArray("\x01\x00", 2), 1.0f}; // no objects
    bool UndoOpen_ = false;
    bool Restoring_ = false;
    QString LastError_;

    std::vector<std::unique_ptr<TGGraphicControl>> Objects_;
    TGHandle Handle_;
    bool Pointing_ = true;
    TGridSize GridSize_ = gs4x4;
    bool ShowGrid_ = false;
    bool SnapToGrid_ = false;
    int Width_ = 0;
    int Height_ = 0;
    float Zoom_ = 1.0f;
    bool Zooming_ = false;
    QSize PanelBase_, PanelZoomedAs_; // as for the objects' zoom-1.0 bounds
    bool PanelZoomKnown_ = false;
    bool FitPending_ = false;
    bool Rubber_ = false;
    QPoint RubberA_, RubberB_;
    Qt::CursorShape Cursor_ = Qt::ArrowCursor;
    bool OverlayRoute_ = false; // the current press went to the overlay
    bool InsertScaled_ = false; // loading: scale inserted objects to the zoom
};

class TGDataPanel : public TGBasePanel {
public:
    bool DisplayDataValues() const override { return DisplayDataValues_; }
    void SetDisplayDataValues(bool v);
    void SetDataSet(const TDataSource* ds) { DataSet_ = ds; }
    const TDataSource* DataSet() const override { return DataSet_; }
    void RefreshDataValues() override;

    // The dialogs a newly placed object opens; the window library fills
    // these in. Each leaves the object as created on Cancel.
    std::function<void(TGGraphicControl&)> OpenTextDialog;
    std::function<void(TGGraphicControl&)> OpenSymbolDialog;
    std::function<void(TGGraphicControl&)> OpenFieldDialog;
    std::function<void(TGGraphicControl&)> OpenMultiLineDialog;
    std::function<void(TGGraphicControl&)> OpenBarcodeDialog;

private:
    bool DisplayDataValues_ = true;
    const TDataSource* DataSet_ = nullptr;
};

enum TLPanelState {
    psPointing,
    psLabel,
    psCounterLabel,
    psSymbolLabel,
    psDataLabel,
    psMultiLineLabel,
    psMultiLineDataLabel,
    psAddressLabel,
    psRectangle,
    psEllipse,
    psRoundRectangle,
    psLine,
    psImage,
    psPostNetBarCode,
    psIMbBarCode
};

class TGLabelPanel : public TGDataPanel {
public:
    TGLabelPanel();
    TLPanelState PanelState() const { return State_; }
    void SetPanelState(TLPanelState s);
    void CreateObjectInRect(QRect r) override;
    QStringList StreamClasses() const override;

private:
    TLPanelState State_ = psPointing;
};

// The classes a label layout may contain, in registration order.
QStringList LabelPanelClasses();

} // namespace qp::design
