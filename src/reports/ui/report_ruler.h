#pragma once
// The designer's horizontal ruler: sixteenth-inch ticks from StartInch, the
// whole inches numbered.

#include <QWidget>

namespace qp::reports {

class THRuler : public QWidget {
    Q_OBJECT
public:
    explicit THRuler(QWidget* parent = nullptr);
    double StartInch() const { return StartInch_; }
    void SetStartInch(double inches);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    double StartInch_ = 0;
};

} // namespace qp::reports
