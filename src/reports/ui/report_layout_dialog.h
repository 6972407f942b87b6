#pragma once
// "Report Layout": paper, orientation, margins and each band's outline and
// shading, with a small picture of the page.

#include "reports/report_vars.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace qp::reports {

class TReportProperties : public QDialog {
    Q_OBJECT
public:
    explicit TReportProperties(const ReportVars& vars, QWidget* parent = nullptr);

    const ReportVars& vars() const { return vars_; }
    QString paperDescription() const { return PaperDescription(paper_); }
    // Sets every control to the defaults ("Defaults").
    void setDefaults();

    QTabWidget* tabs() const { return tabs_; }
    QRadioButton* letterButton() const { return letter_; }
    QRadioButton* a4Button() const { return a4_; }
    QRadioButton* portraitButton() const { return portrait_; }
    QRadioButton* landscapeButton() const { return landscape_; }
    QDoubleSpinBox* marginBox(int i) const { return margins_[std::size_t(i)]; } // L, T, R, B
    QComboBox* shadeBox(TReportBand b) const { return bands_[b].shade; }
    QSpinBox* lineWidthBox(TReportBand b) const { return bands_[b].width; }
    QCheckBox* sideBox(TReportBand b, int side) const { return bands_[b].sides[std::size_t(side)]; }

private:
    struct BandControls {
        std::array<QCheckBox*, 4> sides{}; // dialog order: Top, Left, Bottom, Right
        QSpinBox* width = nullptr;
        QComboBox* shade = nullptr;
        QComboBox* color = nullptr;
    };
    void showVars();
    void readControls();
    void pagePressed(QPoint p);

    ReportVars vars_;
    ReportPaper paper_ = ReportPaper::LetterPortrait;
    bool showing_ = false;
    QTabWidget* tabs_ = nullptr;
    QRadioButton* letter_ = nullptr;
    QRadioButton* a4_ = nullptr;
    QRadioButton* portrait_ = nullptr;
    QRadioButton* landscape_ = nullptr;
    std::array<QDoubleSpinBox*, 4> margins_{};
    std::array<BandControls, 4> bands_;
    QWidget* picture_ = nullptr;
    friend class TMiniPage;
};

} // namespace qp::reports
