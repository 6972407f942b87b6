#pragma once
// The ruler above the editor: inch marks without numbers across the page's
// text width, the current paragraph's first-line, left and right indent
// markers and its tab stops. Markers can be dragged; a click on the ruler
// sets a tab stop and dragging a tab stop off the ruler removes it.

#include <QWidget>

class QTextEdit;

namespace qp::richtext {

class TInchRuler : public QWidget {
    Q_OBJECT
public:
    explicit TInchRuler(QTextEdit* editor, QWidget* parent = nullptr);

    void SetTextWidth(double layoutUnits); // the page's text width
    QSize sizeHint() const override;
    // Where x = 0 of the text lies on the ruler, in ruler pixels.
    double Origin() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    enum TMarker { mkNone, mkFirst, mkLeft, mkRight, mkTab };
    double Snap(double x) const;

    QTextEdit* Editor_;
    double TextWidth_ = 624;
    TMarker Drag_ = mkNone;
    int DragTab_ = -1;
};

} // namespace qp::richtext
