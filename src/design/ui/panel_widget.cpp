#include "design/ui/panel_widget.h"

#include "design/panel_commands.h"
#include "design/ui/panel_commands_ui.h"

#include "design/graphic_control.h"
#include "design/imb_barcode.h"
#include "design/text_labels.h"
#include "design/ui/design_dialogs.h"
#include "design/ui/imb_barcode_dialog.h"
#include "design/ui/object_menus.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace qp::design::ui {

TPanelWidget::TPanelWidget(TGBasePanel& panel, QWidget* parent) : QWidget(parent), Panel_(panel) {
    InstallClipboardCommands();
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    Panel_.OnRepaint = [this] {
        SyncSize();
        update();
    };
    Panel_.OnCursor = [this](Qt::CursorShape c) { setCursor(c); };
    Panel_.OnObjectMenu = [this](TGGraphicControl* o, QPoint p) { ShowObjectMenu(o, p); };
    Panel_.OnPanelMenu = [this](QPoint p) { ShowPanelMenu(p); };
    Panel_.OnLayoutChanged = [this] { emit LayoutChanged(); };
    // One user action is one undo step: the step closes once the event
    // that made the changes has been handled.
    Panel_.OnUndoStepOpened = [this] {
        QTimer::singleShot(0, this, [this] { Panel_.CommitUndoStep(); });
    };
    if (auto* lp = dynamic_cast<TGLabelPanel*>(&Panel_)) {
        lp->OpenTextDialog = [this](TGGraphicControl& o) {
            RunTextDialog(static_cast<TGPLabel&>(o), this);
        };
        lp->OpenSymbolDialog = [this](TGGraphicControl& o) {
            RunSymbolSelector(static_cast<TGSymbolLabel&>(o), this);
        };
        lp->OpenFieldDialog = [this](TGGraphicControl& o) {
            RunSelectFieldDialog(static_cast<TGPDLabel&>(o), Panel_, this);
        };
        lp->OpenMultiLineDialog = [this](TGGraphicControl& o) {
            RunMultiLineEditor(static_cast<TGMultiLineLabel&>(o), this);
        };
        lp->OpenBarcodeDialog = [this](TGGraphicControl& o) {
            if (auto* imb = dynamic_cast<TGIMbBarCode*>(&o))
                RunImbBarcodeDialog(*imb, Panel_, this);
        };
    }
    SyncSize();
}

TPanelWidget::~TPanelWidget() {
    Panel_.OnRepaint = nullptr;
    Panel_.OnCursor = nullptr;
    Panel_.OnObjectMenu = nullptr;
    Panel_.OnPanelMenu = nullptr;
    Panel_.OnLayoutChanged = nullptr;
    Panel_.OnUndoStepOpened = nullptr;
    if (auto* lp = dynamic_cast<TGLabelPanel*>(&Panel_)) {
        lp->OpenTextDialog = nullptr;
        lp->OpenSymbolDialog = nullptr;
        lp->OpenFieldDialog = nullptr;
        lp->OpenMultiLineDialog = nullptr;
        lp->OpenBarcodeDialog = nullptr;
    }
}

void TPanelWidget::SetZoom(float factor) {
    Panel_.SetZoom(factor);
    SyncSize();
    update();
}

void TPanelWidget::SyncSize() {
    const QSize s(std::max(1, Panel_.Width()), std::max(1, Panel_.Height()));
    if (size() != s)
        setFixedSize(s);
}

QSize TPanelWidget::sizeHint() const {
    return QSize(Panel_.Width(), Panel_.Height());
}

void TPanelWidget::paintEvent(QPaintEvent*) {
    // Painted off screen first so that the reversible frames combine with a
    // finished image, then copied in one go.
    QImage buffer(size(), QImage::Format_RGB32);
    buffer.setDevicePixelRatio(1);
    {
        QPainter p(&buffer);
        Panel_.Paint(p);
    }
    QPainter out(this);
    out.drawImage(0, 0, buffer);
}

void TPanelWidget::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    Panel_.MouseDown(e->button(), e->modifiers(), e->position().toPoint());
}

void TPanelWidget::mouseMoveEvent(QMouseEvent* e) {
    Panel_.MouseMove(e->buttons(), e->modifiers(), e->position().toPoint());
}

void TPanelWidget::mouseReleaseEvent(QMouseEvent* e) {
    Panel_.MouseUp(e->button(), e->modifiers(), e->position().toPoint());
}

void TPanelWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        Panel_.DoubleClick(e->position().toPoint());
    else
        mousePressEvent(e);
}

void TPanelWidget::keyPressEvent(QKeyEvent* e) {
    // The editing keys go through the same commands as the pop-up menus.
    TPanelCommands& commands = CommandsFor(Panel_);
    if (e->matches(QKeySequence::Undo)) {
        Panel_.Undo();
        update();
        return;
    }
    if (e->matches(QKeySequence::Redo) ||
        e->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
        e->keyCombination() ==
            QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)) {
        Panel_.Redo();
        update();
        return;
    }
    if (e->matches(QKeySequence::SelectAll)) {
        commands.SelectAll();
        update();
        return;
    }
    if (e->matches(QKeySequence::Copy)) {
        commands.Copy();
        return;
    }
    if (e->matches(QKeySequence::Cut)) {
        commands.Cut();
        update();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        commands.Paste();
        update();
        return;
    }
    if (e->matches(QKeySequence::Delete) || e->key() == Qt::Key_Delete) {
        commands.Delete();
        update();
        return;
    }
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        Panel_.KeyDown(Qt::Key(e->key()), e->modifiers());
        return;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
}

void TPanelWidget::keyReleaseEvent(QKeyEvent* e) {
    if (e->isAutoRepeat())
        return; // the sequence ends when the key is let go
    Panel_.KeyUp();
}

void TPanelWidget::ShowObjectMenu(TGGraphicControl* o, QPoint panelPoint) {
    QMenu menu(this);
    o->MenuPopup();
    FillObjectMenu(menu, *o, Panel_, this);
    menu.exec(mapToGlobal(panelPoint));
}

void TPanelWidget::ShowPanelMenu(QPoint panelPoint) {
    QMenu menu(this);
    FillCompletePanelMenu(menu, Panel_, this);
    menu.exec(mapToGlobal(panelPoint));
}

} // namespace qp::design::ui
