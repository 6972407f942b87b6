#pragma once
// "Report Designer": the header, detail and footer bands of one report on
// a ruler, with the memo band, band switches and sizers, the tools, the
// default font, "Change Layout" and the record buttons. It edits the bands
// and the design in place; after Accepted the caller saves them.

#include "reports/band_layout.h"
#include "reports/report_store.h"
#include "store/table.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace qp::design::ui {
class TPanelWidget;
}

namespace qp::reports {

class THRuler;
class TBandSizer;

class TReportDesigner : public QDialog {
    Q_OBJECT
public:
    TReportDesigner(ReportBands& bands, ReportDesign& design, bool isNew,
                    store::Table* addressTable, QWidget* parent = nullptr);
    ~TReportDesigner() override;

    void ArrangeBands();
    void setTool(TRPanelState state);
    void switchBand(TReportBand band, bool on);
    // A sizer drag: the band's height at the press plus dy.
    void dragBand(TReportBand band, int pressHeight, int dy);
    void bandReleased(TReportBand band);
    void changeLayout();
    void applyLayout(const ReportVars& vars, const QString& paperDescription);
    void chooseDefaultFont();
    void setMemoAlignment(int alignment);
    void moveRecord(int which); // 0 first, 1 previous, 2 next, 3 last
    // "Save": false (staying open) when no band is on.
    bool save();
    // True once the user changed the report; "Save" shows from then on.
    bool changed() const { return changed_; }

    TReportPanel& band(TReportBand b);
    design::ui::TPanelWidget* bandWidget(TReportBand b) const;
    QCheckBox* bandSwitch(TReportBand b) const { return switches_[b]; }
    QToolButton* toolButton(TRPanelState s) const;
    QLineEdit* descriptionEdit() const { return description_; }
    QLabel* layoutCaption() const { return layout_; }
    QPushButton* fontButton() const { return font_; }
    QLabel* memoBand() const { return memo_; }
    QPushButton* memoProperties() const { return memoProps_; }
    THRuler* ruler() const { return ruler_; }
    QWidget* page() const { return page_; }
    const ReportDesign& design() const { return design_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildToolBar();
    QWidget* buildTopRow();
    QWidget* buildBottomRow();
    void buildPage();
    void updateFontCaption();
    void showMemo();
    void objectDropped();
    void markChanged();

    ReportBands& bands_;
    ReportDesign& design_;
    store::Table* address_;
    bool arranging_ = false;
    bool changed_ = false;
    QPushButton* save_ = nullptr;

    QButtonGroup* tools_ = nullptr;
    QLineEdit* description_ = nullptr;
    QLabel* layout_ = nullptr;
    QPushButton* font_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QWidget* page_ = nullptr;
    THRuler* ruler_ = nullptr;
    std::array<QWidget*, 4> captions_{};
    std::array<QCheckBox*, 4> switches_{};
    std::array<TBandSizer*, 4> sizers_{};
    std::array<design::ui::TPanelWidget*, 3> views_{}; // header, detail, footer
    QLabel* memo_ = nullptr;
    QPushButton* memoProps_ = nullptr;
};

} // namespace qp::reports
