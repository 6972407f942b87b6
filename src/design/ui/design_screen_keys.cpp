#include "design/ui/design_screen_keys.h"

#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>

namespace qp::design::ui {

bool ScrollDesignArea(QScrollArea& area, int key) {
    QScrollBar* bar = area.verticalScrollBar();
    switch (key) {
    case Qt::Key_PageUp:
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return true;
    case Qt::Key_PageDown:
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return true;
    case Qt::Key_Home:
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        return true;
    case Qt::Key_End:
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        return true;
    default:
        return false;
    }
}

int KeypadZoomStep(const QKeyEvent& e) {
    if (!(e.modifiers() & Qt::KeypadModifier) || e.isAutoRepeat())
        return 0;
    if (e.key() == Qt::Key_Minus)
        return -1;
    if (e.key() == Qt::Key_Plus)
        return 1;
    return 0;
}

} // namespace qp::design::ui
