#pragma once
// The rows the label and envelope design screens build alike: tool bar
// buttons, the description row, the record buttons and the bottom row with
// the cursor position and the screen's own buttons.

#include <QPoint>
#include <QString>

#include <array>
#include <functional>

class QBoxLayout;
class QButtonGroup;
class QDialog;
class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;

namespace qp::design {
class TGBasePanel;
}

namespace qp::design::ui {

// A checkable tool bar button; it never takes the focus from the panel.
QToolButton* DesignToggleButton(const QString& name, const QString& caption, const QString& hint,
                                QWidget* parent);
// A push button that Enter in the panel never presses.
QPushButton* DesignPushButton(const QString& name, const QString& caption, QWidget* parent);
// A sunken vertical line between groups of buttons.
QFrame* DesignSeparator(QWidget* parent);

// The "ToolBar" strip with its tight row and the exclusive group of tools.
struct DesignToolBar {
    QWidget* bar = nullptr;
    QHBoxLayout* row = nullptr;
    QButtonGroup* tools = nullptr;
};
DesignToolBar BuildDesignToolBar(QDialog* screen);

// Grid, Snap and Names, made for the tool bar; the screen places them.
struct GridButtons {
    QToolButton* showGrid = nullptr;
    QToolButton* snapToGrid = nullptr;
    QToolButton* fieldNames = nullptr;
};
GridButtons MakeGridButtons(QWidget* bar);

// "Description:" with its edit, the size or sheet caption and the default
// font button, in one row.
struct DescriptionRow {
    QWidget* box = nullptr;
    QLabel* caption = nullptr;
    QLineEdit* description = nullptr;
    QLabel* sizeCaption = nullptr;
    QPushButton* fontButton = nullptr;
};
DescriptionRow BuildDescriptionRow(QWidget* parent, int maxLength);

// First, Previous, Next and Last record, added to `row`; `move` gets 0 to 3.
// Buttons that take no focus leave the keys to the panel.
std::array<QToolButton*, 4> AddRecordButtons(QBoxLayout* row, QWidget* parent, bool takeFocus,
                                             const std::function<void(int)>& move);

// The cursor's Left and Top, the record buttons, then the screen's own
// button (`firstName`, `firstCaption`), Save, Cancel, Help and mouse help.
struct DesignBottomRow {
    QWidget* box = nullptr;
    QLabel* left = nullptr;
    QLabel* top = nullptr;
    std::array<QToolButton*, 4> records{};
    QPushButton* first = nullptr;
    QPushButton* save = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* help = nullptr;
};
DesignBottomRow BuildDesignBottomRow(QDialog* screen, const QString& firstName,
                                     const QString& firstCaption, int helpTopic,
                                     const std::function<void(int)>& moveRecord);

// Shows where `panelPoint` (or the selection, when there is one) lies, in
// inches at `zoom`.
void ShowDesignCoordinates(QLabel& left, QLabel& top, const TGBasePanel& panel, float zoom,
                           QPoint panelPoint);

} // namespace qp::design::ui
