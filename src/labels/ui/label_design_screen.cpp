#include "labels/ui/label_design_screen.h"

#include "design/design_units.h"
#include "design/ui/design_dialogs.h"
#include "design/ui/design_screen_keys.h"
#include "design/ui/design_screen_rows.h"
#include "design/ui/panel_widget.h"
#include "labels/ui/label_layout_windows.h"
#include "store/settings_file.h"
#include "store/ui/common_dialogs.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>
#include <functional>
#include <string_view>

namespace qp::labels {

namespace {

using design::TLPanelState;
using design::ui::DesignSeparator;
using design::ui::DesignToggleButton;

constexpr int kDescriptionTyped = 60;

QString qstr(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

struct ToolButtonInfo {
    TLPanelState state;
    const char* name;
    const char* caption;
    const char* hint;
    int group; // tools of one group sit together
};

constexpr ToolButtonInfo kTools[] = {
    {design::psPointing, "SelectionTool", "Select", "Selection tool", 0},
    {design::psLabel, "TextTool", "Text", "Text tool", 1},
    {design::psMultiLineLabel, "MultiLineTextTool", "Lines", "Multi-line text tool", 1},
    {design::psCounterLabel, "CounterTool", "123", "Counter tool", 1},
    {design::psSymbolLabel, "SymbolTool", "Symbol", "Symbol tool", 1},
    {design::psRectangle, "RectangleTool", "Rect", "Rectangle tool", 2},
    {design::psEllipse, "EllipseTool", "Ellipse", "Ellipse tool", 2},
    {design::psRoundRectangle, "RoundRectangleTool", "Round", "Round Rectangle tool", 2},
    {design::psLine, "LineTool", "Line", "Line Tool", 2},
    {design::psImage, "ClipArtTool", "Art", "Clip Art Tool", 3},
    {design::psPostNetBarCode, "PostNetTool", "POSTNET", "Postnet Barcode tool", 3},
    {design::psIMbBarCode, "IMbTool", "IMb", "IMb Barcode tool", 3},
    {design::psDataLabel, "DataFieldTool", "Field", "Database Field tool", 4},
    {design::psMultiLineDataLabel, "DataMemoTool", "Memo", "Database Memo Field tool", 4},
    {design::psAddressLabel, "AddressTool", "Address", "Database Mailing Address tool", 4},
};

// The panel on screen, telling the window about the mouse after the panel
// had it, and letting the window take the keys it handles itself.
class TLabelPanelView : public design::ui::TPanelWidget {
public:
    using TPanelWidget::TPanelWidget;

    std::function<void(QPoint)> mouseSeen;
    std::function<bool(QKeyEvent*)> keyPressFilter;
    std::function<bool(QKeyEvent*)> keyReleaseFilter;

    // A key pressed elsewhere in the window, handled as if pressed here.
    void forwardKeyPress(QKeyEvent* e) { TPanelWidget::keyPressEvent(e); }

protected:
    void mouseMoveEvent(QMouseEvent* e) override {
        TPanelWidget::mouseMoveEvent(e);
        if (mouseSeen)
            mouseSeen(e->position().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        TPanelWidget::mouseReleaseEvent(e);
        if (mouseSeen)
            mouseSeen(e->position().toPoint());
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (!keyPressFilter || !keyPressFilter(e))
            TPanelWidget::keyPressEvent(e);
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        if (!keyReleaseFilter || !keyReleaseFilter(e))
            TPanelWidget::keyReleaseEvent(e);
    }
    void wheelEvent(QWheelEvent* e) override {
        if ((e->modifiers() & Qt::ControlModifier) && ctrlWheel) {
            ctrlWheel(e->angleDelta().y());
            e->accept();
            return;
        }
        TPanelWidget::wheelEvent(e);
    }

public:
    std::function<void(int)> ctrlWheel;
};

} // namespace

TLabelDesignScreen::TLabelDesignScreen(design::TGLabelPanel& panel,
                                       const LabelDefinition& definition, bool isNew,
                                       std::string sysdataFolder, store::Table* addressTable,
                                       QWidget* parent)
    : QDialog(parent), panel_(panel), definition_(definition), isNew_(isNew),
      sysdataFolder_(std::move(sysdataFolder)), addressTable_(addressTable) {
    setObjectName(QStringLiteral("TLabelDesignScreen"));
    setWindowTitle(QStringLiteral("Label Design Screen"));
    setSizeGripEnabled(true);

    auto* view = new TLabelPanelView(panel_);
    view->setObjectName(QStringLiteral("DesignPanel"));
    view_ = view;
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("DrawingArea"));
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setWidget(view_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(buildToolBar());
    layout->addWidget(buildDescriptionRow());
    layout->addWidget(scroll_, 1);
    layout->addWidget(buildBottomRow());
    resize(720, 480);

    wirePanel();
    setUp();
    panel_.ResetUndo(); // the history starts with the layout as opened
    view_->setFocus();
}

TLabelDesignScreen::~TLabelDesignScreen() {
    panel_.LabelChangedEvent = nullptr;
    panel_.DroppedObjectEvent = nullptr;
    panel_.SetPanelState(design::psPointing);
}

// ---- building ----------------------------------------------------------------

QWidget* TLabelDesignScreen::buildToolBar() {
    const design::ui::DesignToolBar toolBar = design::ui::BuildDesignToolBar(this);
    QWidget* bar = toolBar.bar;
    QHBoxLayout* row = toolBar.row;
    tools_ = toolBar.tools;
    int group = 0;
    for (const ToolButtonInfo& info : kTools) {
        if (info.group != group) {
            row->addWidget(DesignSeparator(bar));
            group = info.group;
        }
        QToolButton* b = DesignToggleButton(QLatin1String(info.name), QLatin1String(info.caption),
                                            QLatin1String(info.hint), bar);
        tools_->addButton(b, info.state);
        row->addWidget(b);
    }
    toolButton(design::psPointing)->setChecked(true);
    connect(tools_, &QButtonGroup::idClicked, this, &TLabelDesignScreen::toolChosen);

    row->addWidget(DesignSeparator(bar));
    const design::ui::GridButtons grid = design::ui::MakeGridButtons(bar);
    showGrid_ = grid.showGrid;
    snapToGrid_ = grid.snapToGrid;
    fieldNames_ = grid.fieldNames;
    showArt_ = DesignToggleButton(QStringLiteral("ShowArtButton"), QStringLiteral("Stock"),
                                  QStringLiteral("Show art"), bar);
    for (QToolButton* b : {showGrid_, snapToGrid_, showArt_, fieldNames_})
        row->addWidget(b);
    connect(showGrid_, &QToolButton::toggled, this, [this](bool on) { panel_.SetShowGrid(on); });
    connect(snapToGrid_, &QToolButton::toggled, this,
            [this](bool on) { panel_.SetSnapToGrid(on); });
    connect(showArt_, &QToolButton::toggled, this, [this] { redrawArt(); });
    connect(fieldNames_, &QToolButton::toggled, this, [this](bool down) {
        // Showing names or values changes no object.
        DesignChangeTracker::QuietScope quiet(changes_);
        panel_.SetDisplayDataValues(!down);
        view_->update();
    });

    row->addWidget(DesignSeparator(bar));
    auto* spinner = new QWidget(bar);
    spinner->setObjectName(QStringLiteral("ZoomSpinner"));
    spinner->setToolTip(QStringLiteral("Zoom"));
    auto* arrows = new QVBoxLayout(spinner);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    auto arrow = [spinner](const char* name, Qt::ArrowType type, const char* hint) {
        auto* b = new QToolButton(spinner);
        b->setObjectName(QLatin1String(name));
        b->setArrowType(type);
        b->setToolTip(QLatin1String(hint));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setFixedSize(18, 11);
        return b;
    };
    zoomIn_ = arrow("ZoomInButton", Qt::UpArrow, "Zoom in");
    zoomOut_ = arrow("ZoomOutButton", Qt::DownArrow, "Zoom out");
    arrows->addWidget(zoomIn_);
    arrows->addWidget(zoomOut_);
    row->addWidget(spinner);
    zoomCaption_ = new QLabel(qstr(labels::zoomCaption(zoom_)), bar);
    zoomCaption_->setObjectName(QStringLiteral("ZoomLabel"));
    zoomCaption_->setMinimumWidth(zoomCaption_->fontMetrics().horizontalAdvance("1000%"));
    row->addWidget(zoomCaption_);
    zoomFit_ = new QToolButton(bar);
    zoomFit_->setObjectName(QStringLiteral("ZoomToFitButton"));
    zoomFit_->setText(QStringLiteral("Fit"));
    zoomFit_->setToolTip(QStringLiteral("Zoom to fit"));
    zoomFit_->setFocusPolicy(Qt::NoFocus);
    row->addWidget(zoomFit_);
    connect(zoomFit_, &QToolButton::clicked, this, &TLabelDesignScreen::zoomToFit);
    connect(zoomIn_, &QToolButton::clicked, this, &TLabelDesignScreen::zoomIn);
    connect(zoomOut_, &QToolButton::clicked, this, &TLabelDesignScreen::zoomOut);
    row->addStretch();
    return bar;
}

QWidget* TLabelDesignScreen::buildDescriptionRow() {
    const design::ui::DescriptionRow row = design::ui::BuildDescriptionRow(this, kDescriptionTyped);
    row.caption->setObjectName(QStringLiteral("DescriptionLabel"));
    description_ = row.description;
    sheetCaption_ = row.sizeCaption;
    fontButton_ = row.fontButton;
    connect(description_, &QLineEdit::textChanged, this, [this](const QString& text) {
        definition_.description = text.left(int(kDescriptionLimit)).toStdString();
    });
    connect(description_, &QLineEdit::textEdited, this, [this] { noteChange(); });
    connect(fontButton_, &QPushButton::clicked, this, &TLabelDesignScreen::chooseFont);
    return row.box;
}

QWidget* TLabelDesignScreen::buildBottomRow() {
    const design::ui::DesignBottomRow row = design::ui::BuildDesignBottomRow(
        this, QStringLiteral("ChangeLayoutButton"), QStringLiteral("Change &Layout"),
        kDesignScreenHelpTopic, [this](int which) { moveRecord(which); });
    left_ = row.left;
    top_ = row.top;
    records_ = row.records;
    changeLayout_ = row.first;
    save_ = row.save;
    cancel_ = row.cancel;
    help_ = row.help;
    showCoordinates(QPoint(0, 0));
    connect(changeLayout_, &QPushButton::clicked, this, &TLabelDesignScreen::changeLayout);
    connect(save_, &QPushButton::clicked, this, &TLabelDesignScreen::save);
    return row.box;
}

void TLabelDesignScreen::wirePanel() {
    auto* view = static_cast<TLabelPanelView*>(view_);
    view->mouseSeen = [this](QPoint p) { showCoordinates(p); };
    view->ctrlWheel = [this](int delta) { zoomByWheel(delta); };
    view->keyPressFilter = [this](QKeyEvent* e) { return scrollKey(e->key()); };
    view->keyReleaseFilter = [this](QKeyEvent* e) {
        zoomKey(*e);
        return false; // the panel still sees every key let go
    };
    panel_.LabelChangedEvent = [this] { noteChange(); };
    panel_.DroppedObjectEvent = [this](const QRect&) { objectDropped(); };
}

// The window's own changes while it opens do not count.
void TLabelDesignScreen::setUp() {
    DesignChangeTracker::QuietScope quiet(changes_);
    changes_.onChanged = [this] { save_->setVisible(true); };
    if (panel_.Zoom() != 1.0f)
        view_->SetZoom(1.0f);
    panel_.SetPanelState(design::psPointing);
    panel_.SetGridSize(design::gs4x4);
    showGrid_->setChecked(panel_.ShowGrid());
    snapToGrid_->setChecked(panel_.SnapToGrid());
    panel_.SetDisplayDataValues(true);

    const store::DesignFontSettings font =
        store::ReadDesignFont(store::SettingsFile::standard(), kDesignFontSection);
    panel_.Font = designFontOf(font);
    fontButton_->setText(qstr(defaultFontCaption(font)));

    description_->setText(qstr(definition_.description));
    sizePanel(panel_, definition_);
    view_->SyncSize();
    sheetCaption_->setText(qstr(labels::sheetCaption(definition_)));
    showArt_->setEnabled(hasStockArt(definition_));
    {
        const QSignalBlocker block(showArt_);
        showArt_->setChecked(showArt_->isEnabled());
    }
    redrawArt();
    save_->setVisible(false);
    if (isNew_)
        addNewLabelAddressBlock(panel_);
    view_->update();
}

void TLabelDesignScreen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_)
        return;
    activated_ = true;
    ui::RestoreWindowPlacement(*this);
    if (isNew_) {
        // Told once the window is on the screen.
        QMetaObject::invokeMethod(
            this, [this] { ui::ShowInfo(qstr(kNewLabelInformation), this); }, Qt::QueuedConnection);
    }
}

void TLabelDesignScreen::done(int result) {
    ui::SaveWindowPlacement(*this);
    // The caller saves and prints the panel at its true size.
    setZoom(1.0f);
    QDialog::done(result);
}

// ---- tools -----------------------------------------------------------------------

QToolButton* TLabelDesignScreen::toolButton(TLPanelState state) const {
    return static_cast<QToolButton*>(tools_->button(state));
}

void TLabelDesignScreen::toolChosen(int state) {
    if (state == design::psPostNetBarCode && tooNarrowForPostNet(definition_)) {
        ui::ShowInfo(qstr(kPostNetTooNarrowMessage), this);
        toolButton(design::psPointing)->setChecked(true);
        panel_.SetPanelState(design::psPointing);
        return;
    }
    panel_.SetPanelState(static_cast<TLPanelState>(state));
}

void TLabelDesignScreen::objectDropped() {
    toolButton(design::psPointing)->setChecked(true);
    panel_.SetPanelState(design::psPointing);
}

void TLabelDesignScreen::noteChange() {
    changes_.note();
}

// ---- zoom and coordinates -----------------------------------------------------------

void TLabelDesignScreen::zoomIn() {
    setZoom(zoomStepUp(zoom_));
}

void TLabelDesignScreen::zoomOut() {
    setZoom(zoomStepDown(zoom_));
}

void TLabelDesignScreen::zoomToFit() {
    const QSize area = scroll_->viewport()->size() - QSize(8, 8);
    const double w = panel_.Width() / double(zoom_), h = panel_.Height() / double(zoom_);
    if (w < 1 || h < 1 || area.width() < 1 || area.height() < 1)
        return;
    const double fit = std::min(area.width() / w, area.height() / h);
    setZoom(float(std::clamp(std::floor(fit * 100) / 100, 0.1, 8.0)));
}

void TLabelDesignScreen::zoomByWheel(int angleDelta) {
    if (angleDelta == 0)
        return;
    const double k = angleDelta > 0 ? 1.1 : 1 / 1.1;
    setZoom(float(std::clamp(std::round(zoom_ * k * 100) / 100, 0.1, 8.0)));
}

void TLabelDesignScreen::setZoom(float zoom) {
    if (zoom == zoom_)
        return;
    DesignChangeTracker::QuietScope quiet(changes_);
    panel_.ClearSelection();
    zoom_ = zoom;
    view_->SetZoom(zoom);
    zoomCaption_->setText(qstr(labels::zoomCaption(zoom_)));
}

void TLabelDesignScreen::showCoordinates(QPoint panelPoint) {
    design::ui::ShowDesignCoordinates(*left_, *top_, panel_, zoom_, panelPoint);
}

// ---- keys ---------------------------------------------------------------------------

bool TLabelDesignScreen::scrollKey(int key) {
    return design::ui::ScrollDesignArea(*scroll_, key);
}

bool TLabelDesignScreen::zoomKey(const QKeyEvent& e) {
    const int step = design::ui::KeypadZoomStep(e);
    if (step < 0)
        zoomOut();
    else if (step > 0)
        zoomIn();
    return step != 0;
}

// Keys not taken by the focused control: the scrolling keys move the drawing
// area, Escape and Enter act on the window and the rest go to the panel. The
// description edit keeps its own keys.
void TLabelDesignScreen::keyPressEvent(QKeyEvent* e) {
    QWidget* focus = focusWidget();
    if (focus == description_ || forwardingKey_) {
        QDialog::keyPressEvent(e);
        return;
    }
    if (scrollKey(e->key()))
        return;
    switch (e->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Enter:
    case Qt::Key_Return:
        QDialog::keyPressEvent(e);
        return;
    default:
        break;
    }
    if (focus == view_) {
        QDialog::keyPressEvent(e); // the panel has had it already
        return;
    }
    forwardingKey_ = true;
    static_cast<TLabelPanelView*>(view_)->forwardKeyPress(e);
    forwardingKey_ = false;
}

void TLabelDesignScreen::keyReleaseEvent(QKeyEvent* e) {
    if (focusWidget() != description_ && focusWidget() != view_ && zoomKey(*e))
        return;
    QDialog::keyReleaseEvent(e);
}

// ---- records and font -----------------------------------------------------------------

void TLabelDesignScreen::moveRecord(int which) {
    // Another record changes the values shown, not the design.
    DesignChangeTracker::QuietScope quiet(changes_);
    if (addressTable_) {
        switch (which) {
        case 0:
            addressTable_->first();
            break;
        case 1:
            addressTable_->prior();
            break;
        case 2:
            if (!addressTable_->next())
                addressTable_->last(); // stays on the last record
            break;
        default:
            addressTable_->last();
            break;
        }
    }
    if (which == 0)
        panel_.ResetCounterAll();
    else
        panel_.NextLabelAll();
    panel_.RefreshDataValues();
    view_->update();
}

void TLabelDesignScreen::chooseFont() {
    design::TDesignFont font = panel_.Font;
    if (!design::ui::ChooseDesignFont(font, this))
        return;
    panel_.Font = font;
    const store::DesignFontSettings settings = fontSettingsOf(font);
    store::SettingsFile file = store::SettingsFile::standard();
    (void)store::WriteDesignFont(file, kDesignFontSection, settings);
    fontButton_->setText(qstr(defaultFontCaption(settings)));
}

// ---- art and layout ----------------------------------------------------------------------

void TLabelDesignScreen::redrawArt() {
    if (showArt_->isChecked() && hasStockArt(definition_)) {
        const PanelGeometry g = panelGeometry(definition_);
        panel_.Picture = stockArt(definition_, QSize(g.width, g.height));
    } else {
        panel_.Picture = QImage();
    }
    panel_.RequestRepaint();
}

void TLabelDesignScreen::changeLayout() {
    const LayoutChoice choice = chooseLabelLayout(this);
    if (choice == LayoutChoice::TemplateList) {
        TSelectLabelTemplateForm form(sysdataFolder_, definition_, isNew_, this);
        if (!form.opened() || form.exec() != QDialog::Accepted)
            return;
        if (const std::optional<LabelTemplate> stock = form.selected())
            applyTemplate(*stock);
    } else if (choice == LayoutChoice::ManualEntry) {
        TUserLabelLayoutForm form(manualLayoutOf(definition_), this, sysdataFolder_);
        if (form.exec() == QDialog::Accepted)
            applyManualLayout(form.layout());
    }
}

void TLabelDesignScreen::applyTemplate(const LabelTemplate& stock) {
    const bool artWasDown = showArt_->isChecked();
    labels::applyTemplate(definition_, stock);
    {
        DesignChangeTracker::QuietScope quiet(changes_);
        sizePanel(panel_, definition_);
        const QSignalBlocker block(showArt_);
        showArt_->setEnabled(hasStockArt(definition_));
        showArt_->setChecked(showArt_->isEnabled());
    }
    redrawArt();
    noteChange();
    layoutApplied(artWasDown);
}

void TLabelDesignScreen::applyManualLayout(const ManualLayout& layout) {
    const bool artWasDown = showArt_->isChecked();
    labels::applyManualLayout(definition_, layout);
    {
        DesignChangeTracker::QuietScope quiet(changes_);
        sizePanel(panel_, definition_);
        const QSignalBlocker block(showArt_);
        showArt_->setChecked(false);
        showArt_->setEnabled(false);
    }
    redrawArt();
    noteChange();
    layoutApplied(artWasDown);
}

// What follows either kind of new layout: objects come back inside the
// label, the art and the sheet caption follow it, and a POSTNET barcode the
// label is now too narrow for goes.
void TLabelDesignScreen::layoutApplied(bool artWasDown) {
    panel_.KeepObjectsInside();
    if (artWasDown && showArt_->isEnabled() && !showArt_->isChecked())
        showArt_->setChecked(true);
    sheetCaption_->setText(qstr(labels::sheetCaption(definition_)));
    if (tooNarrowForPostNet(definition_) && holdsPostNet(panel_)) {
        ui::ShowInfo(qstr(kPostNetTooNarrowWarning), this);
        removeFirstPostNet(panel_);
    }
    view_->SyncSize();
    view_->update();
}

// ---- closing -----------------------------------------------------------------------------------

void TLabelDesignScreen::save() {
    panel_.RemoveObjectsOutside();
    definition_.description = description_->text().left(int(kDescriptionLimit)).toStdString();
    accept();
}

std::function<int(QWidget*)>& TLabelDesignScreen::askSaveChanges() {
    static std::function<int(QWidget*)> ask = [](QWidget* parent) {
        return int(QMessageBox::question(
            parent, QStringLiteral("Label Design Screen"), QStringLiteral("Save changes?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes));
    };
    return ask;
}

void TLabelDesignScreen::reject() {
    if (!save_->isHidden()) {
        const int answer = askSaveChanges()(this);
        if (answer == QMessageBox::Yes) {
            save();
            return;
        }
        if (answer != QMessageBox::No)
            return; // Cancel: back to the design
    }
    QDialog::reject();
}

} // namespace qp::labels
