#include "envelopes/ui/envelope_design_screen.h"

#include "design/design_units.h"
#include "design/ui/design_dialogs.h"
#include "design/ui/design_screen_keys.h"
#include "design/ui/design_screen_rows.h"
#include "envelopes/envelope_design_rules.h"
#include "envelopes/ui/envelope_panel_view.h"
#include "envelopes/ui/envelope_size_dialog.h"
#include "store/ui/common_dialogs.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace qp::envelopes {

namespace {

using design::ui::DesignSeparator;
using design::ui::DesignToggleButton;

QString qstr(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString sizeCaptionOf(int code) {
    const EnvelopeSize s = envelopeSize(code);
    if (s.width < 0)
        return QStringLiteral("Unknown envelope size");
    return qstr(s.caption);
}

QString zoomText(float zoom) {
    return QString::number(design::RoundHalfEven(zoom * 100.0)) + QLatin1Char('%');
}

} // namespace

TEnvelopeDesignScreen::TEnvelopeDesignScreen(TEnvelopePanel& panel,
                                             const EnvelopeDefinition& definition, bool isNew,
                                             store::Table* addressTable,
                                             const TPrinterMarginPixels& margins, QWidget* parent)
    : QDialog(parent), panel_(panel), definition_(definition), isNew_(isNew),
      addressTable_(addressTable) {
    setObjectName(QStringLiteral("TEnvelopeDesignScreen"));
    setWindowTitle(QStringLiteral("Envelope Design Screen"));
    setSizeGripEnabled(true);
    panel_.Margins = margins;

    view_ = new TEnvelopePanelView(panel_);
    view_->setObjectName(QStringLiteral("DesignPanel"));
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
    resize(1040, 620);

    view_->mouseSeen = [this](QPoint p) { showCoordinates(p); };
    view_->keyPressFilter = [this](QKeyEvent* e) { return scrollKey(e->key()); };
    view_->keyReleaseFilter = [this](QKeyEvent* e) {
        zoomKey(*e);
        return false;
    };
    panel_.LabelChangedEvent = [this] { changes_.note(); };
    panel_.DroppedObjectEvent = [this](const QRect&) {
        // After a drop the selection tool is on again.
        toolButton(kPointingState)->setChecked(true);
        panel_.SetPanelState(kPointingState);
    };

    // The window's own changes while it opens do not count.
    labels::DesignChangeTracker::QuietScope quiet(changes_);
    changes_.onChanged = [this] { save_->setVisible(true); };
    if (panel_.Zoom() != 1.0f)
        view_->SetZoom(1.0f);
    panel_.SetPanelState(kPointingState);
    panel_.SetGridSize(design::gs4x4);
    panel_.SetDisplayDataValues(true);
    // The default font is the panel's own; nothing of it is kept in the settings.
    fontButton_->setText(qstr(labels::defaultFontCaption(labels::fontSettingsOf(panel_.Font))));
    description_->setText(qstr(definition_.description));
    sizeCaption_->setText(sizeCaptionOf(definition_.code));
    if (knownEnvelopeCode(definition_.code))
        panel_.SizeForEnvelope(definition_.width(), definition_.height());
    view_->SyncSize();
    save_->setVisible(false);
    view_->setFocus();
}

TEnvelopeDesignScreen::~TEnvelopeDesignScreen() {
    panel_.LabelChangedEvent = nullptr;
    panel_.DroppedObjectEvent = nullptr;
    panel_.SetPanelState(kPointingState);
    panel_.ShowTemplate = false;
    panel_.ShowMargins = false;
}

QWidget* TEnvelopeDesignScreen::panelWidget() const {
    return view_;
}

QWidget* TEnvelopeDesignScreen::buildToolBar() {
    const design::ui::DesignToolBar toolBar = design::ui::BuildDesignToolBar(this);
    QWidget* bar = toolBar.bar;
    QHBoxLayout* row = toolBar.row;
    tools_ = toolBar.tools;
    int group = 0;
    int index = 0;
    for (const TEnvelopeTool& tool : EnvelopeTools()) {
        if (tool.group != group) {
            row->addWidget(DesignSeparator(bar));
            group = tool.group;
        }
        QToolButton* b = DesignToggleButton(tool.objectName, tool.caption, tool.hint, bar);
        b->setProperty("panelState", tool.state);
        tools_->addButton(b, index++);
        row->addWidget(b);
    }
    toolButton(kPointingState)->setChecked(true);
    connect(tools_, &QButtonGroup::idClicked, this, &TEnvelopeDesignScreen::toolChosen);

    row->addWidget(DesignSeparator(bar));
    const design::ui::GridButtons grid = design::ui::MakeGridButtons(bar);
    showGrid_ = grid.showGrid;
    snapToGrid_ = grid.snapToGrid;
    fieldNames_ = grid.fieldNames;
    margins_ = DesignToggleButton(QStringLiteral("MarginsButton"), QStringLiteral("Margins"),
                                  QStringLiteral("Show the printer's unprintable areas"), bar);
    template_ = DesignToggleButton(QStringLiteral("TemplateButton"), QStringLiteral("USPS"),
                                   QStringLiteral("Show USPS Automation Template"), bar);
    for (QToolButton* b : {showGrid_, snapToGrid_, fieldNames_, margins_, template_})
        row->addWidget(b);
    connect(showGrid_, &QToolButton::toggled, this, [this](bool on) { panel_.SetShowGrid(on); });
    connect(snapToGrid_, &QToolButton::toggled, this,
            [this](bool on) { panel_.SetSnapToGrid(on); });
    connect(fieldNames_, &QToolButton::toggled, this, [this](bool down) {
        labels::DesignChangeTracker::QuietScope quiet(changes_);
        panel_.SetDisplayDataValues(!down);
        view_->update();
    });
    connect(margins_, &QToolButton::toggled, this, [this](bool on) {
        panel_.ShowMargins = on;
        view_->update();
    });
    connect(template_, &QToolButton::toggled, this, [this](bool on) {
        panel_.ShowTemplate = on;
        view_->update();
    });

    row->addWidget(DesignSeparator(bar));
    auto arrow = [bar](const char* name, Qt::ArrowType type, const char* hint) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setArrowType(type);
        b->setToolTip(QLatin1String(hint));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        return b;
    };
    auto* zoomOut = arrow("ZoomOutButton", Qt::LeftArrow, "Zoom out");
    auto* zoomIn = arrow("ZoomInButton", Qt::RightArrow, "Zoom in");
    zoomCaption_ = new QLabel(zoomText(zoom_), bar);
    zoomCaption_->setObjectName(QStringLiteral("ZoomLabel"));
    zoomCaption_->setMinimumWidth(zoomCaption_->fontMetrics().horizontalAdvance("1000%"));
    row->addWidget(zoomOut);
    row->addWidget(zoomCaption_);
    row->addWidget(zoomIn);
    connect(zoomIn, &QToolButton::clicked, this, &TEnvelopeDesignScreen::zoomIn);
    connect(zoomOut, &QToolButton::clicked, this, &TEnvelopeDesignScreen::zoomOut);
    row->addStretch();
    return bar;
}

QWidget* TEnvelopeDesignScreen::buildDescriptionRow() {
    const design::ui::DescriptionRow row =
        design::ui::BuildDescriptionRow(this, int(kDescriptionLimit));
    description_ = row.description;
    sizeCaption_ = row.sizeCaption;
    fontButton_ = row.fontButton;
    connect(description_, &QLineEdit::textEdited, this, [this] { changes_.note(); });
    connect(fontButton_, &QPushButton::clicked, this, &TEnvelopeDesignScreen::chooseFont);
    return row.box;
}

QWidget* TEnvelopeDesignScreen::buildBottomRow() {
    const design::ui::DesignBottomRow row = design::ui::BuildDesignBottomRow(
        this, QStringLiteral("ChangeSizeButton"), QStringLiteral("Change Si&ze"),
        kDesignScreenHelpTopic, [this](int which) { moveRecord(which); });
    left_ = row.left;
    top_ = row.top;
    records_ = row.records;
    changeSize_ = row.first;
    save_ = row.save;
    showCoordinates(QPoint(0, 0));
    connect(changeSize_, &QPushButton::clicked, this, &TEnvelopeDesignScreen::changeSize);
    connect(save_, &QPushButton::clicked, this, &TEnvelopeDesignScreen::save);
    return row.box;
}

void TEnvelopeDesignScreen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_)
        return;
    activated_ = true;
    ui::RestoreWindowPlacement(*this);
    if (!knownEnvelopeCode(definition_.code)) {
        // A size the table does not know gives no usable panel: ask for one.
        QMetaObject::invokeMethod(
            this,
            [this] {
                ui::ShowInfo(qstr(unknownSizeMessage(definition_.code)), this);
                changeSize();
                if (!knownEnvelopeCode(definition_.code))
                    applySize(kDefaultEnvelopeCode);
            },
            Qt::QueuedConnection);
    }
}

void TEnvelopeDesignScreen::done(int result) {
    ui::SaveWindowPlacement(*this);
    setZoom(1.0f);
    QDialog::done(result);
}

QToolButton* TEnvelopeDesignScreen::toolButton(const QString& state) const {
    for (QAbstractButton* b : tools_->buttons())
        if (b->property("panelState").toString() == state)
            return static_cast<QToolButton*>(b);
    return nullptr;
}

void TEnvelopeDesignScreen::toolChosen(int index) {
    const auto& tools = EnvelopeTools();
    if (index >= 0 && index < int(tools.size()))
        panel_.SetPanelState(tools[size_t(index)].state);
}

void TEnvelopeDesignScreen::changeSize() {
    if (auto code = chooseEnvelopeSize(definition_.code, this, runModal))
        applySize(*code);
}

void TEnvelopeDesignScreen::applySize(int code) {
    if (!knownEnvelopeCode(code))
        return;
    const bool differs = code != definition_.code;
    definition_.code = code;
    {
        labels::DesignChangeTracker::QuietScope quiet(changes_);
        panel_.SizeForEnvelope(definition_.width(), definition_.height());
        panel_.KeepObjectsInside();
        sizeCaption_->setText(sizeCaptionOf(code));
        view_->SyncSize();
        view_->update();
    }
    if (differs)
        changes_.note();
}

void TEnvelopeDesignScreen::zoomIn() {
    setZoom(envelopeZoomUp(zoom_));
}

void TEnvelopeDesignScreen::zoomOut() {
    setZoom(envelopeZoomDown(zoom_));
}

void TEnvelopeDesignScreen::setZoom(float zoom) {
    if (zoom == zoom_)
        return;
    labels::DesignChangeTracker::QuietScope quiet(changes_);
    panel_.ClearSelection();
    zoom_ = zoom;
    view_->SetZoom(zoom);
    zoomCaption_->setText(zoomText(zoom_));
}

void TEnvelopeDesignScreen::showCoordinates(QPoint panelPoint) {
    design::ui::ShowDesignCoordinates(*left_, *top_, panel_, zoom_, panelPoint);
}

bool TEnvelopeDesignScreen::scrollKey(int key) {
    return design::ui::ScrollDesignArea(*scroll_, key);
}

bool TEnvelopeDesignScreen::zoomKey(const QKeyEvent& e) {
    const int step = design::ui::KeypadZoomStep(e);
    if (step < 0)
        zoomOut();
    else if (step > 0)
        zoomIn();
    return step != 0;
}

void TEnvelopeDesignScreen::keyReleaseEvent(QKeyEvent* e) {
    if (focusWidget() != description_ && focusWidget() != view_ && zoomKey(*e))
        return;
    QDialog::keyReleaseEvent(e);
}

void TEnvelopeDesignScreen::moveRecord(int which) {
    labels::DesignChangeTracker::QuietScope quiet(changes_);
    if (addressTable_) {
        switch (which) {
        case 0:
            addressTable_->first();
            break;
        case 1:
            addressTable_->prior();
            break;
        case 2:
            if (!addressTable_->next() || addressTable_->eof())
                addressTable_->last();
            break;
        default:
            addressTable_->last();
            break;
        }
    }
    panel_.RefreshDataValues();
    view_->update();
}

void TEnvelopeDesignScreen::chooseFont() {
    design::TDesignFont font = panel_.Font;
    if (!design::ui::ChooseDesignFont(font, this))
        return;
    panel_.Font = font;
    fontButton_->setText(qstr(labels::defaultFontCaption(labels::fontSettingsOf(font))));
}

void TEnvelopeDesignScreen::save() {
    panel_.RemoveObjectsOutside();
    definition_.description = description_->text().left(int(kDescriptionLimit)).toStdString();
    accept();
}

} // namespace qp::envelopes
