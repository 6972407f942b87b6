#pragma once
// "Label Design Screen": edits one label definition, its description, its
// sheet layout and the objects drawn on one label. The design panel belongs
// to the caller, who has emptied or loaded it and given it its data source;
// after Accepted the caller saves the panel and writes definition().

#include "design/base_panel.h"
#include "labels/label_definition.h"
#include "labels/printing/label_design_rules.h"
#include "store/table.h"

#include <QDialog>

#include <array>
#include <string>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace qp::design::ui {
class TPanelWidget;
}

namespace qp::labels {

class TLabelDesignScreen : public QDialog {
    Q_OBJECT
public:
    // `addressTable` (may be null) is moved by the record buttons; it and the
    // panel must outlive the window.
    TLabelDesignScreen(design::TGLabelPanel& panel, const LabelDefinition& definition, bool isNew,
                       std::string sysdataFolder, store::Table* addressTable,
                       QWidget* parent = nullptr);
    ~TLabelDesignScreen() override;

    // The edited copy; its description is the edit's text cut to 50 characters.
    const LabelDefinition& definition() const { return definition_; }
    bool isNew() const { return isNew_; }
    // Whether the user changed the design ("Save" is shown then).
    bool changed() const { return changes_.changed(); }
    float zoom() const { return zoom_; }

    // "Change Layout": asks template list or manual entry, opens that window
    // and applies what was chosen.
    void changeLayout();
    // What Change Layout does once a stock was chosen or the numbers entered.
    void applyTemplate(const LabelTemplate& stock);
    void applyManualLayout(const ManualLayout& layout);

    void zoomIn();
    void zoomOut();
    // "Zoom to fit": the label fills the drawing area, at any zoom.
    void zoomToFit();
    // Ctrl+wheel: a notch zooms by a tenth, past the steps' limits.
    void zoomByWheel(int angleDelta);
    // The record buttons: 0 first, 1 previous, 2 next, 3 last.
    void moveRecord(int which);
    // "Save": drops the objects outside the label and returns Accepted.
    void save();
    // Escape and Cancel: with unsaved changes asks "Save changes?" first.
    void reject() override;
    // The question's answer (QMessageBox::Yes, No or Cancel); replaceable
    // for tests.
    static std::function<int(QWidget*)>& askSaveChanges();

    // Controls, for tests and context help.
    QToolButton* toolButton(design::TLPanelState state) const;
    QToolButton* showGridButton() const { return showGrid_; }
    QToolButton* snapToGridButton() const { return snapToGrid_; }
    QToolButton* showArtButton() const { return showArt_; }
    QToolButton* fieldNamesButton() const { return fieldNames_; }
    QLineEdit* descriptionEdit() const { return description_; }
    QLabel* sheetCaption() const { return sheetCaption_; }
    QPushButton* fontButton() const { return fontButton_; }
    QLabel* leftCaption() const { return left_; }
    QLabel* topCaption() const { return top_; }
    QToolButton* zoomInButton() const { return zoomIn_; }
    QToolButton* zoomOutButton() const { return zoomOut_; }
    QToolButton* zoomToFitButton() const { return zoomFit_; }
    QLabel* zoomCaption() const { return zoomCaption_; }
    QToolButton* recordButton(int which) const { return records_.at(which); }
    QPushButton* changeLayoutButton() const { return changeLayout_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* helpButton() const { return help_; }
    design::ui::TPanelWidget* panelWidget() const { return view_; }
    QScrollArea* drawingArea() const { return scroll_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    QWidget* buildToolBar();
    QWidget* buildDescriptionRow();
    QWidget* buildBottomRow();
    void wirePanel();
    void setUp();

    void toolChosen(int state);
    void objectDropped();
    void setZoom(float zoom);
    void showCoordinates(QPoint panelPoint);
    void redrawArt();
    void chooseFont();
    void layoutApplied(bool artWasDown);
    void noteChange();
    // Page Up / Down, Home, End; false for any other key.
    bool scrollKey(int key);
    // Numeric-keypad minus and plus, acted on when the key is let go.
    bool zoomKey(const QKeyEvent& event);

    design::TGLabelPanel& panel_;
    LabelDefinition definition_;
    bool isNew_;
    std::string sysdataFolder_;
    store::Table* addressTable_;
    float zoom_ = 1.0f;
    DesignChangeTracker changes_;
    bool activated_ = false;
    bool forwardingKey_ = false;

    QButtonGroup* tools_ = nullptr;
    QToolButton* showGrid_ = nullptr;
    QToolButton* snapToGrid_ = nullptr;
    QToolButton* showArt_ = nullptr;
    QToolButton* fieldNames_ = nullptr;
    QLineEdit* description_ = nullptr;
    QLabel* sheetCaption_ = nullptr;
    QPushButton* fontButton_ = nullptr;
    QLabel* left_ = nullptr;
    QLabel* top_ = nullptr;
    QToolButton* zoomIn_ = nullptr;
    QToolButton* zoomOut_ = nullptr;
    QToolButton* zoomFit_ = nullptr;
    QLabel* zoomCaption_ = nullptr;
    std::array<QToolButton*, 4> records_{};
    QPushButton* changeLayout_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* help_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    design::ui::TPanelWidget* view_ = nullptr;
};

} // namespace qp::labels
