#pragma once
// The envelope panel on screen: the design panel's widget with the
// template and margin overlays painted over it, the new-object dialogs
// wired, and the window told about the mouse and keys.

#include "design/ui/panel_widget.h"
#include "envelopes/envelope_panel.h"

#include <functional>

namespace qp::envelopes {

class TEnvelopePanelView : public design::ui::TPanelWidget {
    Q_OBJECT
public:
    explicit TEnvelopePanelView(TEnvelopePanel& panel, QWidget* parent = nullptr);
    ~TEnvelopePanelView() override;

    // Read-only: the small preview takes no mouse or keys.
    void setReadOnly(bool on) { readOnly_ = on; }

    std::function<void(QPoint)> mouseSeen;
    std::function<bool(QKeyEvent*)> keyPressFilter;
    std::function<bool(QKeyEvent*)> keyReleaseFilter;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    TEnvelopePanel& envelope_;
    bool readOnly_ = false;
};

} // namespace qp::envelopes
