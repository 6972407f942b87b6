#pragma once
// The base of every design object: bounds in design pixels at the panel's
// zoom, locking, selectability, change detection and the virtual operations
// the panel calls for painting, data values, counters and printing.
#include "design/design_types.h"

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

    // Virtual operations, in the order the panel knows them.
    // Paint draws in panel coordinates (the object sits at Left/Top).
    virtual void Paint(QPainter& painter);
    virtual void BoundsChanged();
    virtual void MenuPopup() {}
    virtual void AssignFont(const TDesignFont&) {}
    virtual void ShowDataValue() {}
    virtual void ShowDesignText() {}
    virtual void NextLabel() {}
    virtual void ResetCounter() {}
    virtual void PrintObject(print::TBaseReport& report, double x, double y);

    // Stored properties in stream order, with the defaults left out as stored.
    virtual TPropertyList StoredProperties() const;
    // One property through its setter (values clamped); false when unknown
    // or of the wrong type.
    virtual bool SetProperty(const QString& name, const TPropertyValue& value);

    // Change notification to the panel (suppressed while it prints or zooms).
    void Changed();
    void Repaint();

protected:
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
};

} // namespace qp::design
