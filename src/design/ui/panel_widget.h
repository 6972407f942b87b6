#pragma once
// The design panel on screen: paints the model and forwards mouse and key
// events to it; menus and dialogs come from the object kinds.
#include "design/base_panel.h"

#include <QWidget>

namespace qp::design::ui {

class TPanelWidget : public QWidget {
    Q_OBJECT
public:
    // The panel stays owned by the caller and must outlive the widget.
    explicit TPanelWidget(TGBasePanel& panel, QWidget* parent = nullptr);
    ~TPanelWidget() override;

    TGBasePanel& Panel() { return Panel_; }
    // Zooms the model and resizes the widget to it.
    void SetZoom(float factor);
    // Follows the model's size (after SetSize or zoom).
    void SyncSize();
    QSize sizeHint() const override;

signals:
    void LayoutChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    bool focusNextPrevChild(bool) override { return false; } // arrows and tab stay here

private:
    void ShowObjectMenu(TGGraphicControl* o, QPoint panelPoint);
    void ShowPanelMenu(QPoint panelPoint);
    TGBasePanel& Panel_;
};

} // namespace qp::design::ui
