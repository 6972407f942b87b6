#include "envelopes/ui/envelope_panel_view.h"

#include "design/imb_barcode.h"
#include "design/text_labels.h"
#include "design/ui/design_dialogs.h"
#include "design/ui/imb_barcode_dialog.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace qp::envelopes {

TEnvelopePanelView::TEnvelopePanelView(TEnvelopePanel& panel, QWidget* parent)
    : TPanelWidget(panel, parent), envelope_(panel) {
    panel.OpenTextDialog = [this](design::TGGraphicControl& o) {
        design::ui::RunTextDialog(static_cast<design::TGPLabel&>(o), this);
    };
    panel.OpenFieldDialog = [this](design::TGGraphicControl& o) {
        design::ui::RunSelectFieldDialog(static_cast<design::TGPDLabel&>(o), envelope_, this);
    };
    panel.OpenMultiLineDialog = [this](design::TGGraphicControl& o) {
        design::ui::RunMultiLineEditor(static_cast<design::TGMultiLineLabel&>(o), this);
    };
    panel.OpenBarcodeDialog = [this](design::TGGraphicControl& o) {
        if (auto* imb = dynamic_cast<design::TGIMbBarCode*>(&o))
            design::ui::RunImbBarcodeDialog(*imb, envelope_, this);
    };
}

TEnvelopePanelView::~TEnvelopePanelView() {
    envelope_.OpenTextDialog = nullptr;
    envelope_.OpenFieldDialog = nullptr;
    envelope_.OpenMultiLineDialog = nullptr;
    envelope_.OpenBarcodeDialog = nullptr;
}

void TEnvelopePanelView::paintEvent(QPaintEvent* e) {
    TPanelWidget::paintEvent(e);
    QPainter painter(this);
    envelope_.PaintOverlays(painter);
}

void TEnvelopePanelView::mousePressEvent(QMouseEvent* e) {
    if (!readOnly_)
        TPanelWidget::mousePressEvent(e);
}

void TEnvelopePanelView::mouseMoveEvent(QMouseEvent* e) {
    if (readOnly_)
        return;
    TPanelWidget::mouseMoveEvent(e);
    if (mouseSeen)
        mouseSeen(e->position().toPoint());
}

void TEnvelopePanelView::mouseReleaseEvent(QMouseEvent* e) {
    if (readOnly_)
        return;
    TPanelWidget::mouseReleaseEvent(e);
    if (mouseSeen)
        mouseSeen(e->position().toPoint());
}

void TEnvelopePanelView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (!readOnly_)
        TPanelWidget::mouseDoubleClickEvent(e);
}

void TEnvelopePanelView::keyPressEvent(QKeyEvent* e) {
    if (readOnly_) {
        QWidget::keyPressEvent(e);
        return;
    }
    if (!keyPressFilter || !keyPressFilter(e))
        TPanelWidget::keyPressEvent(e);
}

void TEnvelopePanelView::keyReleaseEvent(QKeyEvent* e) {
    if (readOnly_) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    if (!keyReleaseFilter || !keyReleaseFilter(e))
        TPanelWidget::keyReleaseEvent(e);
}

} // namespace qp::envelopes
