#include "design/base_panel.h"

#include "design/address_label.h"
#include "design/barcodes.h"
#include "design/data_source.h"
#include "design/design_units.h"
#include "design/graphic_control.h"
#include "design/imb_barcode.h"
#include "design/object_registry.h"
#include "design/placing_tools.h"
#include "design/shapes.h"
#include "design/text_labels.h"
#include "print/report_canvas.h"
#include "store/shared_routines.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <exception>

namespace qp::design {

TGBasePanel::TGBasePanel() : Handle_(*this) {}

QString TGBasePanel::ClipboardPath() {
    return QString::fromStdString(qp::store::ProgramFolder()) + QStringLiteral("Clipbrd.tmp");
}

QString TGBasePanel::TempFilePath() {
    return QString::fromStdString(qp::store::ProgramFolder()) + QStringLiteral("TempFile.tmp");
}

TGBasePanel::~TGBasePanel() {
    // A failure to delete is of no consequence.
    QFile::remove(ClipboardPath());
    QFile::remove(TempFilePath());
    Handle_.Clear();
    OnRepaint = nullptr;
    // Objects may call back during destruction; detach them first.
    for (auto& o : Objects_)
        o->SetPanel(nullptr);
}

void TGBasePanel::SetPointing(bool v) {
    Pointing_ = v;
    SetCursor(v ? Qt::ArrowCursor : kToolCursor);
}

void TGBasePanel::SetGridSize(TGridSize g) {
    GridSize_ = g;
    if (SnapToGrid_) {
        const int step = g == gs8x8 ? 8 : 4;
        Handle_.SetGrid(step, step);
    }
    if (ShowGrid_)
        RequestRepaint();
}

void TGBasePanel::SetShowGrid(bool v) {
    ShowGrid_ = v;
    RequestRepaint();
}

void TGBasePanel::SetSnapToGrid(bool v) {
    SnapToGrid_ = v;
    if (v) {
        const int step = GridSize_ == gs8x8 ? 8 : 4;
        Handle_.SetGrid(step, step);
    } else {
        Handle_.SetSnapToGrid(false);
    }
}

void TGBasePanel::SetSize(int w, int h) {
    Width_ = w;
    Height_ = h;
    RequestRepaint();
}

namespace {
QRect scaled(const QRect& r, double k) {
    return QRect(RoundHalfEven(r.left() * k), RoundHalfEven(r.top() * k),
                 RoundHalfEven(r.width() * k), RoundHalfEven(r.height() * k));
}
} // namespace

void TGBasePanel::SetZoom(float factor) {
    if (factor == Zoom_ || factor <= 0)
        return;
    Zooming_ = true;
    // Zooming starts from the zoom-1.0 sizes as long as nothing was changed
    // at the zoom in force, so a round trip gives back every pixel.
    const QSize now(Width_, Height_);
    if (!(PanelZoomedAs_ == now && PanelZoomKnown_))
        PanelBase_ =
            QSize(RoundHalfEven(Width_ / double(Zoom_)), RoundHalfEven(Height_ / double(Zoom_)));
    Width_ =
        factor == 1.0f ? PanelBase_.width() : RoundHalfEven(PanelBase_.width() * double(factor));
    Height_ =
        factor == 1.0f ? PanelBase_.height() : RoundHalfEven(PanelBase_.height() * double(factor));
    PanelZoomedAs_ = QSize(Width_, Height_);
    PanelZoomKnown_ = true;
    Zoom_ = factor;
    for (auto& o : Objects_) {
        if (o->Zoom() != factor) {
            const QRect at = o->BoundsRect();
            if (!(o->ZoomKnown_ && o->ZoomedAs_ == at))
                o->ZoomBase_ = o->Zoom() == 1.0f ? at : scaled(at, 1.0 / double(o->Zoom()));
            const QRect next = factor == 1.0f ? o->ZoomBase_ : scaled(o->ZoomBase_, factor);
            o->SetZoomValue(factor);
            o->SetBounds(next.left(), next.top(), next.width(), next.height());
            o->ZoomedAs_ = o->BoundsRect();
            o->ZoomKnown_ = true;
        }
    }
    ProcessEvents();
    RunDeferred();
    Zooming_ = false;
    // Zooming is no edit: the history goes on from the zoomed layout.
    if (!UndoOpen_)
        UndoBase_ = Snapshot();
    RequestRepaint();
}

// ---- objects ----------------------------------------------------------------

QRect TGBasePanel::DesignBounds(const TGGraphicControl& o) const {
    const QRect at = o.BoundsRect();
    if (o.Zoom() == 1.0f)
        return at;
    if (o.ZoomKnown_ && o.ZoomedAs_ == at)
        return o.ZoomBase_;
    return scaled(at, 1.0 / double(o.Zoom()));
}

void TGBasePanel::SetDesignBounds(TGGraphicControl& o, const QRect& design) {
    const QRect at = o.Zoom() == 1.0f ? design : scaled(design, double(o.Zoom()));
    o.SetBounds(at.left(), at.top(), at.width(), at.height());
    // Zooming back to 1.0 (as saving does) gives these very bounds.
    o.ZoomBase_ = design;
    o.ZoomedAs_ = o.BoundsRect();
    o.ZoomKnown_ = true;
}

int TGBasePanel::ChildIndex(const TGGraphicControl* o) const {
    for (size_t i = 0; i < Objects_.size(); ++i)
        if (Objects_[i].get() == o)
            return int(i);
    return -1;
}

TGGraphicControl* TGBasePanel::FindObject(const QString& name) const {
    for (auto& o : Objects_)
        if (o->Name().compare(name, Qt::CaseInsensitive) == 0)
            return o.get();
    return nullptr;
}

QString TGBasePanel::UniqueName(const QString& prefix) const {
    for (int i = 1; i <= 1000; ++i) {
        const QString n = prefix + QString::number(i);
        if (NameTaken ? !NameTaken(n) : !FindObject(n))
            return n;
    }
    return {};
}

QString TGBasePanel::StreamName() const {
    for (int i = 0; i <= 1000; ++i) {
        const QString n = QStringLiteral("Component") + QString::number(i);
        if (NameTaken ? !NameTaken(n) : !FindObject(n))
            return n;
    }
    return {};
}

TGGraphicControl* TGBasePanel::AddObject(std::unique_ptr<TGGraphicControl> obj, const QRect& r) {
    TGGraphicControl* o = obj.get();
    o->SetPanel(this);
    o->SetName(UniqueName(QStringLiteral("Special")));
    Objects_.push_back(std::move(obj));
    // r holds corners as the rubber band gives them: Right - Left wide.
    const int w = std::max(10, r.right() - r.left());
    const int h = std::max(15, r.bottom() - r.top());
    o->SetZoomValue(Zoom_);
    o->SetBounds(r.left(), r.top(), w, h);
    NotifyChanged();
    ProcessEvents();
    RequestRepaint();
    return o;
}

TGGraphicControl* TGBasePanel::InsertLoaded(std::unique_ptr<TGGraphicControl> obj) {
    TGGraphicControl* o = obj.get();
    const QString stored = o->Name();
    const QString name = StreamName();
    o->SetName(name.isEmpty() ? stored : name);
    o->SetPanel(this);
    o->SetZoomValue(Zoom_);
    Objects_.push_back(std::move(obj));
    RequestRepaint();
    return o;
}

TGGraphicControl* TGBasePanel::InsertStored(std::unique_ptr<TGGraphicControl> obj) {
    // Stored at zoom 1.0: scale to the panel so the layout looks the same.
    obj->SetZoomValue(1.0f);
    TGGraphicControl* o = obj.get();
    const QString stored = o->Name();
    const QString name = StreamName();
    o->SetName(name.isEmpty() ? stored : name);
    o->SetPanel(this);
    Objects_.push_back(std::move(obj));
    if (Zoom_ != 1.0f) {
        const double r = Zoom_;
        o->SetZoomValue(Zoom_);
        o->SetBounds(RoundHalfEven(o->Left() * r), RoundHalfEven(o->Top() * r),
                     RoundHalfEven(o->Width() * r), RoundHalfEven(o->Height() * r));
    }
    RequestRepaint();
    return o;
}

std::unique_ptr<TGGraphicControl> TGBasePanel::TakeObject(TGGraphicControl* o) {
    Handle_.Remove(o);
    const int i = ChildIndex(o);
    if (i < 0)
        return nullptr;
    std::unique_ptr<TGGraphicControl> out = std::move(Objects_[i]);
    Objects_.erase(Objects_.begin() + i);
    out->SetPanel(nullptr);
    RequestRepaint();
    return out;
}

void TGBasePanel::DeleteObject(TGGraphicControl* o) {
    TakeObject(o).reset();
}

void TGBasePanel::ClearObjects() {
    Handle_.Clear();
    while (!Objects_.empty()) {
        Objects_.back()->SetPanel(nullptr);
        Objects_.pop_back();
    }
    RequestRepaint();
}

void TGBasePanel::WireAll() {
    for (auto& o : Objects_)
        o->SetZoomValue(Zoom_);
}

void TGBasePanel::BringToFront(TGGraphicControl* o) {
    const int i = ChildIndex(o);
    if (i < 0)
        return;
    auto p = std::move(Objects_[i]);
    Objects_.erase(Objects_.begin() + i);
    Objects_.push_back(std::move(p));
    RequestRepaint();
}

void TGBasePanel::SendToBack(TGGraphicControl* o) {
    const int i = ChildIndex(o);
    if (i < 0)
        return;
    auto p = std::move(Objects_[i]);
    Objects_.erase(Objects_.begin() + i);
    Objects_.insert(Objects_.begin(), std::move(p));
    ClearSelection();
    RequestRepaint();
}

void TGBasePanel::CenterVertically(TGGraphicControl* o) {
    o->SetTop(Height_ / 2 - o->Height() / 2);
    o->Changed();
    ProcessEvents();
    RunDeferred();
    RequestRepaint();
}

void TGBasePanel::CenterHorizontally(TGGraphicControl* o) {
    o->SetLeft(Width_ / 2 - o->Width() / 2);
    o->Changed();
    ProcessEvents();
    RunDeferred();
    RequestRepaint();
}

TGGraphicControl* TGBasePanel::ObjectAt(QPoint p) const {
    for (auto it = Objects_.rbegin(); it != Objects_.rend(); ++it)
        if ((*it)->HitTest(p, kHitTolerance))
            return it->get();
    return nullptr;
}

std::vector<TGGraphicControl*> TGBasePanel::ObjectsAt(QPoint p) const {
    std::vector<TGGraphicControl*> out;
    for (auto it = Objects_.rbegin(); it != Objects_.rend(); ++it)
        if ((*it)->HitTest(p, kHitTolerance))
            out.push_back(it->get());
    return out;
}

bool TGBasePanel::CycleSelectionAt(QPoint p) {
    std::vector<TGGraphicControl*> under;
    for (TGGraphicControl* o : ObjectsAt(p))
        if (!o->Unselectable())
            under.push_back(o);
    if (under.empty())
        return false;
    size_t next = 0;
    if (SelectionCount() == 1)
        if (auto it = std::find(under.begin(), under.end(), Selected(0)); it != under.end())
            next = size_t(it - under.begin() + 1) % under.size();
    ClearSelection();
    AddToSelection(under[next]);
    RequestRepaint();
    return true;
}

// ---- virtual operations --------------------------------------------------------

void TGBasePanel::CreateObjectInRect(QRect) {}

void TGBasePanel::PrintObjects(print::TBaseReport& report, double x, double y) {
    // One painter for the whole panel: its drawing becomes the job's.
    print::TReportCanvas canvas(report, PixelsPerInch);
    for (auto& o : Objects_)
        o->PrintOn(canvas.Painter(), report, x, y);
}

void TGBasePanel::KeepObjectsInside() {
    ClearSelection();
    for (auto& o : Objects_) {
        if (o->Top() > Height_ - 10)
            o->SetTop(Height_ - 10);
        if (o->Left() > Width_ - 20)
            o->SetLeft(Width_ - 20);
    }
    RunDeferred();
}

void TGBasePanel::RemoveObjectsOutside() {
    ClearSelection();
    std::vector<TGGraphicControl*> doomed;
    for (auto& o : Objects_)
        if (o->Top() > Height_ - 10 || o->Left() > Width_ - 10 || o->Width() < 1 || o->Height() < 1)
            doomed.push_back(o.get());
    for (auto* o : doomed)
        DeleteObject(o);
}

void TGBasePanel::ShowDesignTextAll() {
    for (auto& o : Objects_)
        o->ShowDesignText();
}

void TGBasePanel::NextLabelAll() {
    for (auto& o : Objects_)
        o->NextLabel();
}

void TGBasePanel::ResetCounterAll() {
    for (auto& o : Objects_)
        o->ResetCounter();
}

bool TGBasePanel::SaveWith(const std::function<bool(TGBasePanel&)>& write) {
    const float zoom = Zoom_;
    if (zoom != 1.0f)
        SetZoom(1.0f);
    ShowDesignTextAll();
    bool ok = false;
    LastError_.clear();
    try {
        ok = write(*this);
    } catch (const std::exception& e) {
        LastError_ = QString::fromLocal8Bit(e.what());
    } catch (...) {
        LastError_ = QStringLiteral("An unexpected error stopped the layout");
    }
    // Whatever happened, the panel goes back to what the user saw.
    RefreshDataValues();
    if (zoom != 1.0f)
        SetZoom(zoom);
    return ok;
}

bool TGBasePanel::LoadWith(const std::function<bool(TGBasePanel&)>& read) {
    const float zoom = Zoom_;
    if (zoom != 1.0f)
        SetZoom(1.0f);
    bool ok = false;
    LastError_.clear();
    try {
        ok = read(*this);
    } catch (const std::exception& e) {
        LastError_ = QString::fromLocal8Bit(e.what());
    } catch (...) {
        LastError_ = QStringLiteral("An unexpected error stopped the layout");
    }
    WireAll();
    RefreshDataValues();
    // Objects came in at zoom 1.0; the zoom scales them with the rest.
    if (zoom != 1.0f)
        SetZoom(zoom);
    RunDeferred();
    ResetUndo();
    return ok;
}

// ---- selection and events ------------------------------------------------------

void TGBasePanel::AddToSelection(TGGraphicControl* o) {
    if (ChildIndex(o) < 0)
        return;
    Handle_.Add(o);
}

void TGBasePanel::MouseDown(Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p) {
    if (b == Qt::LeftButton && (m & Qt::AltModifier) && Pointing_ && CycleSelectionAt(p))
        return;
    if (Handle_.Visible() && Handle_.Bounds().contains(p)) {
        OverlayRoute_ = true;
        Handle_.MouseDown(b, m, p - Handle_.Bounds().topLeft());
    } else {
        OverlayRoute_ = false;
        if (TGGraphicControl* o = ObjectAt(p))
            ObjectMouseDown(o, b, m, p - QPoint(o->Left(), o->Top()));
        else
            BackgroundMouseDown(b, m, p);
    }
    RunDeferred();
}

void TGBasePanel::MouseMove(Qt::MouseButtons held, Qt::KeyboardModifiers m, QPoint p) {
    if (Rubber_) {
        RubberB_ = p;
        RequestRepaint();
        return;
    }
    if (Handle_.Visible() &&
        (Handle_.HasCapture() || Handle_.Dragging() || Handle_.Bounds().contains(p))) {
        Handle_.MouseMove(held, m, p - Handle_.Bounds().topLeft());
        return;
    }
    if (Pointing_)
        SetCursor(ObjectAt(p) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    else
        SetCursor(kToolCursor);
}

void TGBasePanel::MouseUp(Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p) {
    if (Rubber_) {
        MouseUpBackground(m, p);
    } else if (Handle_.Dragging() || (OverlayRoute_ && Handle_.Visible())) {
        OverlayRoute_ = false;
        Handle_.MouseUp(b, m, p - Handle_.Bounds().topLeft());
    }
    RunDeferred();
}

void TGBasePanel::DoubleClick(QPoint p) {
    if (Handle_.Visible() && Handle_.Bounds().contains(p)) {
        Handle_.DoubleClick(p - Handle_.Bounds().topLeft());
        return;
    }
    if (TGGraphicControl* o = ObjectAt(p); o && OnObjectMenu)
        OnObjectMenu(o, p);
}

void TGBasePanel::KeyDown(Qt::Key k, Qt::KeyboardModifiers m) {
    if (Handle_.Count() == 0)
        return;
    Handle_.KeyDown(k, m, (m & Qt::ControlModifier) ? GridStep() : 1);
}

void TGBasePanel::KeyUp() {
    Handle_.KeyUp();
    RunDeferred();
}

void TGBasePanel::ObjectMouseDown(TGGraphicControl* o, Qt::MouseButton b, Qt::KeyboardModifiers m,
                                  QPoint objectPoint) {
    if (!Pointing_ || o->Unselectable()) {
        BackgroundMouseDown(b, m, objectPoint + QPoint(o->Left(), o->Top()));
        return;
    }
    if (!(m & Qt::ShiftModifier))
        ClearSelection();
    AddToSelection(o);
    RequestRepaint();
    if (Handle_.Count() == 1 && b == Qt::RightButton && OnObjectMenu)
        OnObjectMenu(o, objectPoint + QPoint(o->Left(), o->Top()));
}

void TGBasePanel::BackgroundMouseDown(Qt::MouseButton b, Qt::KeyboardModifiers, QPoint p) {
    if (b == Qt::RightButton) {
        if (OnPanelMenu)
            OnPanelMenu(p);
        return;
    }
    RubberA_ = RubberB_ = p;
    Rubber_ = true;
    SetCursor(Qt::PointingHandCursor);
}

void TGBasePanel::MouseUpBackground(Qt::KeyboardModifiers m, QPoint p) {
    RubberB_ = p;
    const QRect r =
        QRect(QPoint(std::min(RubberA_.x(), RubberB_.x()), std::min(RubberA_.y(), RubberB_.y())),
              QPoint(std::max(RubberA_.x(), RubberB_.x()), std::max(RubberA_.y(), RubberB_.y())));
    Rubber_ = false;
    RequestRepaint();
    if (Pointing_) {
        const bool shift = m & Qt::ShiftModifier;
        if (!shift)
            ClearSelection();
        // Windows rectangles: Right and Bottom are not inside.
        const int L = r.left(), T = r.top(), R = r.right(), B = r.bottom();
        std::vector<TGGraphicControl*> found;
        for (auto it = Objects_.rbegin(); it != Objects_.rend(); ++it) {
            TGGraphicControl* o = it->get();
            if (o->Unselectable())
                continue;
            const bool meets = std::max(L, o->Left()) < std::min(R, o->Left() + o->Width()) &&
                               std::max(T, o->Top()) < std::min(B, o->Top() + o->Height());
            if (meets)
                found.push_back(o);
        }
        for (auto* o : found) {
            if (shift && IndexOf(o) >= 0)
                RemoveFromSelection(o);
            else
                AddToSelection(o);
        }
        SetCursor(Qt::ArrowCursor);
    } else {
        CreateObjectInRect(r);
        if (DroppedObjectEvent)
            DroppedObjectEvent(r);
    }
}

// ---- notifications -----------------------------------------------------------

void TGBasePanel::NotifyChanged() {
    if (Printing || Zooming_)
        return;
    if (!Restoring_ && !UndoOpen_) {
        UndoOpen_ = true;
        if (OnUndoStepOpened)
            OnUndoStepOpened();
        if (OnUndoChanged)
            OnUndoChanged();
    }
    if (LabelChangedEvent)
        LabelChangedEvent();
    if (OnLayoutChanged)
        OnLayoutChanged();
}

void TGBasePanel::RunDeferred() {
    if (!FitPending_)
        return;
    FitPending_ = false;
    Handle_.FitToSelection();
}

void TGBasePanel::RequestRepaint() {
    if (OnRepaint && !Printing)
        OnRepaint();
}

void TGBasePanel::ProcessEvents() {
    if (OnProcessEvents)
        OnProcessEvents();
}

void TGBasePanel::SetCursor(Qt::CursorShape c) {
    if (c == Cursor_)
        return;
    Cursor_ = c;
    if (OnCursor)
        OnCursor(c);
}

// ---- painting ----------------------------------------------------------------

void TGBasePanel::Paint(QPainter& p, bool designMarks) {
    const QRect whole(0, 0, Width_, Height_);
    p.fillRect(whole, Qt::white);
    QPainterPath shape;
    const QRectF outline(0, 0, Width_ + 1, Height_ + 1);
    if (Shape == lsEllipse)
        shape.addEllipse(outline);
    else if (Shape == lsRoundRect)
        shape.addRoundedRect(outline, 12, 12);
    else
        shape.addRect(outline);
    for (const QImage* pic : {&Picture, &ColorPicture}) {
        if (!designMarks || pic->isNull())
            continue;
        p.save();
        p.setClipPath(shape, Qt::IntersectClip);
        p.drawImage(whole, *pic);
        p.restore();
    }
    if (designMarks && DrawOutline) {
        p.save();
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        const QRectF o(0.5, 0.5, Width_ - 1, Height_ - 1);
        if (Shape == lsEllipse)
            p.drawEllipse(o);
        else if (Shape == lsRoundRect)
            p.drawRoundedRect(o, 12, 12);
        else
            p.drawRect(o);
        p.restore();
    }
    if (designMarks && ShowGrid_) {
        const int step = GridSize_ == gs8x8 ? 8 : 4;
        p.save();
        p.setClipPath(shape, Qt::IntersectClip);
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.setPen(QColor(0, 128, 0));
        for (int y = 2; y < Height_; y += step)
            for (int x = 2; x < Width_; x += step)
                p.drawPoint(x, y);
        p.restore();
    }
    TDrawContext screen = TDrawContext::Screen();
    screen.DesignDecorations = designMarks;
    for (auto& o : Objects_) {
        o->Draw(p, screen);
        if (designMarks && IndexOf(o.get()) >= 0)
            PaintSelectionSquares(p, *o);
    }
    auto frame = [&](const QRect& r) {
        p.save();
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 1, r.height() - 1));
        p.restore();
    };
    if (!designMarks)
        return;
    if (Rubber_)
        frame(RubberBand());
    if (auto f = Handle_.Frame())
        frame(*f);
}

void TGBasePanel::PaintSelectionSquares(QPainter& p, const TGGraphicControl& o) const {
    const int n = Handle_.Count();
    const QColor c = ToQColor(TColor{n == 1 ? Handle_.Color : Handle_.SecondaryColor});
    const int L = o.Left() - 2, T = o.Top() - 2, R = o.Left() + o.Width() + 2,
              B = o.Top() + o.Height() + 2;
    auto sq = [&](int x1, int y1) { p.fillRect(QRect(x1, y1, 5, 5), c); };
    sq(L, T);
    sq(R - 5, T);
    sq(R - 5, B - 5);
    sq(L, B - 5);
    if (n == 1) {
        const int mx = L + Trunc((R - L) * 0.5), my = T + Trunc((B - T) * 0.5);
        sq(mx - 2, T);
        sq(mx - 2, B - 5);
        sq(L, my - 2);
        sq(R - 5, my - 2);
    }
}

// ============================ TGDataPanel ================================

void TGDataPanel::SetDisplayDataValues(bool v) {
    DisplayDataValues_ = v;
    RefreshDataValues();
}

void TGDataPanel::RefreshDataValues() {
    if (!DataSet_ || !DataSet_->Active())
        return;
    for (int i = 0; i < ObjectCount(); ++i)
        Object(i)->ShowDataValue();
    ProcessEvents();
}

// ============================ TGLabelPanel ===============================

QStringList LabelPanelClasses() {
    return {"TGLineShape",
            "TGPostNetBarCode",
            "TGImage",
            "TGLabelShapes",
            "TGPLabel",
            "TGPDLabel",
            "TGCounterLabel",
            "TGSymbolLabel",
            "TGMultiLineLabel",
            "TGDMultiLineLabel",
            "TGDMultiLineAddressLabel",
            "TGIMbBarCode"};
}

TGLabelPanel::TGLabelPanel() {
    // Kinds defined elsewhere (address block, barcodes) register themselves.
    for (const QString& c : LabelPanelClasses())
        RegisterBuiltInClass(c);
}

QStringList TGLabelPanel::StreamClasses() const {
    return LabelPanelClasses();
}

void TGLabelPanel::SetPanelState(TLPanelState s) {
    State_ = s;
    SetPointing(s == psPointing);
}

namespace {
// The label tools, indexed by TLPanelState.
const std::vector<TPlacingTool>& labelTools() {
    static const std::vector<TPlacingTool> tools = PlacingTools(
        {"psPointing", "psLabel", "psCounterLabel", "psSymbolLabel", "psDataLabel",
         "psMultiLineLabel", "psMultiLineDataLabel", "psAddressLabel", "psRectangle", "psEllipse",
         "psRoundRectangle", "psLine", "psImage", "psPostNetBarCode", "psIMbBarCode"});
    return tools;
}
} // namespace

void TGLabelPanel::CreateObjectInRect(QRect r) {
    const auto& tools = labelTools();
    PlaceWithTool(*this, size_t(State_) < tools.size() ? &tools[State_] : nullptr, r);
}

} // namespace qp::design
