#pragma once
// The base of every design object: bounds in design pixels at the panel's
// zoom, locking, selectability, change detection and the virtual operations
// the panel calls for painting, data values, counters and printing.
#include "design/design_types.h"
#include "design/draw_context.h"
#include "design/property_table.h"

#include <QRect>
#include <QString>

class QPainter;

namespace qp::print {
class TBaseReport;
}

namespace qp::design {

class TGBasePanel;

class TGGraphicControl {
public:
    TGGraphicControl() = default;
    virtual ~TGGraphicControl();
    TGGraphicControl(const TGGraphicControl&) = delete;
    TGGraphicControl& operator=(const TGGraphicControl&) = delete;

    // The class name written in the layout stream.
    virtual QString ClassName() const = 0;

    const QString& Name() const { return Name_; }
    void SetName(const QString& n) { Name_ = n; }

    int Left() const { return Left_; }
    int Top() const { return Top_; }
    int Width() const { return Width_; }
    int Height() const { return Height_; }
    QRect BoundsRect() const { return QRect(Left_, Top_, Width_, Height_); }
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, Top_, Width_, Height_); }
    void SetTop(int v) { SetBounds(Left_, v, Width_, Height_); }
    void SetWidth(int v) { SetBounds(Left_, Top_, v, Height_); }
    void SetHeight(int v) { SetBounds(Left_, Top_, Width_, v); }

    bool Locked() const { return Locked_; }
    void SetLocked(bool v);
    bool Unselectable() const { return Unselectable_; }
    void SetUnselectable(bool v);
    int Cursor = 0;
    QString Hint;

    // Not stored: the panel copies its own zoom in.
    float Zoom() const { return Zoom_; }
    void SetZoomValue(float z) { Zoom_ = z; }

    TGBasePanel* Panel() const { return Panel_; }
    void SetPanel(TGBasePanel* p) { Panel_ = p; }

    // While loading from a stream setters only store their values.
    bool Loading() const { return Loading_; }
    void BeginLoading() { Loading_ = true; }
    virtual void Loaded(); // loading finished

    // The kind's one drawing routine, onto any painter in panel coordinates
    // (the object sits at Left/Top). Drawing never changes stored state
    // beyond the values shown (counter, clock and page number texts).
    virtual void Draw(QPainter& painter, const TDrawContext& context);
    // The design surface: Draw with the screen's context.
    void Paint(QPainter& painter);
    // Paper: Draw onto the job's painter, panel coordinate (0, 0) at (x, y)
    // inches from the job's origin.
    void PrintObject(print::TBaseReport& report, double x, double y);
    // As PrintObject, onto a painter of the job whose unit is a design pixel
    // at the job's origin (see print::TReportCanvas).
    void PrintOn(QPainter& painter, print::TBaseReport& report, double x, double y);

    // Virtual operations, in the order the panel knows them.
    virtual void BoundsChanged();
    virtual void MenuPopup() {}
    virtual void AssignFont(const TDesignFont&) {}
    virtual void ShowDataValue() {}
    virtual void ShowDesignText() {}
    virtual void NextLabel() {}
    virtual void ResetCounter() {}
    // After the object printed one piece (counters of its own: base nothing).
    virtual void Printed(print::TBaseReport&) {}
    // Whether a press at `p` (panel coordinates) lands on the object;
    // `tolerance` is in screen pixels (base: anywhere in its bounds).
    virtual bool HitTest(QPoint p, int tolerance) const;

    // The kind's stored properties, declared once (see property_table.h).
    virtual const TPropertyTable& PropertyTable() const { return BaseTable(); }
    static const TPropertyTable& BaseTable();
    // Stored properties in stream order, with the defaults left out as stored.
    virtual TPropertyList StoredProperties() const;
    // The one way a property changes: through its table row, then what the
    // row says a change does (relayout, repaint, change notice). False when
    // the name is unknown or the value of the wrong type.
    virtual bool SetProperty(const QString& name, const TPropertyValue& value);
    // The current value of a property of the table; nullopt when unknown.
    std::optional<TPropertyValue> Property(const QString& name) const;

    // After a change of stored state: relayout, repaint and, unless loading,
    // the change notice, as `effects` says.
    void PropertyChanged(unsigned effects);
    // Change notification to the panel (suppressed while it prints or zooms).
    void Changed();
    void Repaint();

protected:
    // Text geometry or wrapped lines are out of date (base: nothing).
    virtual void InvalidateLayout() {}
    // Stores `v` and reports the change; false when it was already `v`.
    template <class T> bool Assign(T& field, const T& v, unsigned effects = peAll) {
        if (field == v)
            return false;
        field = v;
        PropertyChanged(effects);
        return true;
    }
    // Sets bounds without the change detection (for the object's own fitting
    // inside layout, which the detection would otherwise see as a user move).
    void StoreBounds(int left, int top, int width, int height);
    bool Printing() const;

private:
    QString Name_;
    int Left_ = 0;
    int Top_ = 0;
    int Width_ = 0;
    int Height_ = 0;
    bool Locked_ = false;
    bool Unselectable_ = false;
    float Zoom_ = 1.0f;
    bool Loading_ = false;
    QRect LastBounds_; // empty until first seen
    TGBasePanel* Panel_ = nullptr;
    // The zoom-1.0 bounds and the bounds zooming made of them: while the
    // object stays as zoomed, zooming again starts from the former, so
    // zooming in and out never moves or resizes anything.
    friend class TGBasePanel;
    QRect ZoomBase_;
    QRect ZoomedAs_;
    bool ZoomKnown_ = false;
};

} // namespace qp::design
