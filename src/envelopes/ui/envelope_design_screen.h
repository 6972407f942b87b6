#pragma once
// "Envelope Design Screen": edits one envelope definition, its description,
// its size and the objects drawn on the envelope, with the postal
// automation template and the printer's margins as optional overlays. The
// panel belongs to the caller, who has emptied or loaded it; after Accepted
// the caller saves the panel and writes definition().

#include "envelopes/envelope_definition.h"
#include "envelopes/envelope_panel.h"
#include "labels/printing/label_design_rules.h"
#include "store/table.h"

#include <QDialog>

#include <array>
#include <functional>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace qp::envelopes {

class TEnvelopePanelView;

class TEnvelopeDesignScreen : public QDialog {
    Q_OBJECT
public:
    // `margins`: the printer's unprintable margins and page size in design
    // pixels. `addressTable` (may be null) is moved by the record buttons.
    TEnvelopeDesignScreen(TEnvelopePanel& panel, const EnvelopeDefinition& definition, bool isNew,
                          store::Table* addressTable, const TPrinterMarginPixels& margins,
                          QWidget* parent = nullptr);
    ~TEnvelopeDesignScreen() override;

    const EnvelopeDefinition& definition() const { return definition_; }
    bool changed() const { return changes_.changed(); }
    float zoom() const { return zoom_; }

    // Tests answer the windows this one opens.
    std::function<int(QDialog&)> runModal = [](QDialog& d) { return d.exec(); };

    void changeSize();
    // What Change Size does once a size was chosen.
    void applySize(int code);
    void zoomIn();
    void zoomOut();
    void moveRecord(int which); // 0 first, 1 previous, 2 next, 3 last
    void save();

    QToolButton* toolButton(const QString& state) const;
    QToolButton* showGridButton() const { return showGrid_; }
    QToolButton* snapToGridButton() const { return snapToGrid_; }
    QToolButton* fieldNamesButton() const { return fieldNames_; }
    QToolButton* marginsButton() const { return margins_; }
    QToolButton* templateButton() const { return template_; }
    QLineEdit* descriptionEdit() const { return description_; }
    QLabel* sizeCaption() const { return sizeCaption_; }
    QPushButton* fontButton() const { return fontButton_; }
    QLabel* leftCaption() const { return left_; }
    QLabel* topCaption() const { return top_; }
    QLabel* zoomCaption() const { return zoomCaption_; }
    QPushButton* changeSizeButton() const { return changeSize_; }
    QPushButton* saveButton() const { return save_; }
    QWidget* panelWidget() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    QWidget* buildToolBar();
    QWidget* buildDescriptionRow();
    QWidget* buildBottomRow();
    void setZoom(float zoom);
    void showCoordinates(QPoint panelPoint);
    void chooseFont();
    void toolChosen(int index);
    bool scrollKey(int key);
    bool zoomKey(const QKeyEvent& e);

    TEnvelopePanel& panel_;
    EnvelopeDefinition definition_;
    bool isNew_;
    store::Table* addressTable_;
    float zoom_ = 1.0f;
    labels::DesignChangeTracker changes_;
    bool activated_ = false;

    QButtonGroup* tools_ = nullptr;
    QToolButton* showGrid_ = nullptr;
    QToolButton* snapToGrid_ = nullptr;
    QToolButton* fieldNames_ = nullptr;
    QToolButton* margins_ = nullptr;
    QToolButton* template_ = nullptr;
    QLineEdit* description_ = nullptr;
    QLabel* sizeCaption_ = nullptr;
    QPushButton* fontButton_ = nullptr;
    QLabel* left_ = nullptr;
    QLabel* top_ = nullptr;
    QLabel* zoomCaption_ = nullptr;
    std::array<QToolButton*, 4> records_{};
    QPushButton* changeSize_ = nullptr;
    QPushButton* save_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    TEnvelopePanelView* view_ = nullptr;
};

} // namespace qp::envelopes
