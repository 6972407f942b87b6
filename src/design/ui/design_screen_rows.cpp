#include "design/ui/design_screen_rows.h"

#include "design/base_panel.h"
#include "design/design_units.h"
#include "print/ui/window_hooks.h"

#include <QButtonGroup>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace qp::design::ui {

namespace {

struct RecordButtonInfo {
    const char* name;
    const char* caption;
    const char* hint;
};

constexpr RecordButtonInfo kRecords[] = {
    {"FirstRecordButton", "|<", "Move to the First database records"},
    {"PriorRecordButton", "<", "Move to the Previous database records"},
    {"NextRecordButton", ">", "Move to the Next database records"},
    {"LastRecordButton", ">|", "Move to the Last database records"},
};

} // namespace

QToolButton* DesignToggleButton(const QString& name, const QString& caption, const QString& hint,
                                QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(hint);
    b->setCheckable(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    return b;
}

QPushButton* DesignPushButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QFrame* DesignSeparator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

DesignToolBar BuildDesignToolBar(QDialog* screen) {
    DesignToolBar t;
    t.bar = new QWidget(screen);
    t.bar->setObjectName(QStringLiteral("ToolBar"));
    t.row = new QHBoxLayout(t.bar);
    t.row->setContentsMargins(0, 0, 0, 0);
    t.row->setSpacing(2);
    t.tools = new QButtonGroup(screen);
    t.tools->setExclusive(true);
    return t;
}

GridButtons MakeGridButtons(QWidget* bar) {
    GridButtons g;
    g.showGrid = DesignToggleButton(QStringLiteral("ShowGridButton"), QStringLiteral("Grid"),
                                    QStringLiteral("Show grid"), bar);
    g.snapToGrid = DesignToggleButton(QStringLiteral("SnapToGridButton"), QStringLiteral("Snap"),
                                      QStringLiteral("Snap to Grid"), bar);
    g.fieldNames =
        DesignToggleButton(QStringLiteral("FieldNamesButton"), QStringLiteral("Names"),
                           QStringLiteral("Toggle display of field names or field values"), bar);
    return g;
}

DescriptionRow BuildDescriptionRow(QWidget* parent, int maxLength) {
    DescriptionRow d;
    d.box = new QWidget(parent);
    auto* row = new QHBoxLayout(d.box);
    row->setContentsMargins(0, 0, 0, 0);
    d.caption = new QLabel(QStringLiteral("&Description:"), d.box);
    d.description = new QLineEdit(d.box);
    d.description->setObjectName(QStringLiteral("DescriptionEdit"));
    d.description->setMaxLength(maxLength);
    d.caption->setBuddy(d.description);
    d.sizeCaption = new QLabel(d.box);
    d.sizeCaption->setObjectName(QStringLiteral("SheetLabel"));
    d.fontButton = DesignPushButton(QStringLiteral("DefaultFontButton"), QString(), d.box);
    row->addWidget(d.caption);
    row->addWidget(d.description, 2);
    row->addWidget(d.sizeCaption, 1);
    row->addWidget(d.fontButton);
    return d;
}

std::array<QToolButton*, 4> AddRecordButtons(QBoxLayout* row, QWidget* parent, bool takeFocus,
                                             const std::function<void(int)>& move) {
    std::array<QToolButton*, 4> buttons{};
    for (int i = 0; i < 4; ++i) {
        const RecordButtonInfo& info = kRecords[i];
        auto* b = new QToolButton(parent);
        b->setObjectName(QLatin1String(info.name));
        b->setText(QLatin1String(info.caption));
        b->setToolTip(QLatin1String(info.hint));
        if (!takeFocus)
            b->setFocusPolicy(Qt::NoFocus);
        QObject::connect(b, &QToolButton::clicked, parent, [move, i] { move(i); });
        buttons[std::size_t(i)] = b;
        row->addWidget(b);
    }
    return buttons;
}

DesignBottomRow BuildDesignBottomRow(QDialog* screen, const QString& firstName,
                                     const QString& firstCaption, int helpTopic,
                                     const std::function<void(int)>& moveRecord) {
    DesignBottomRow r;
    r.box = new QWidget(screen);
    auto* row = new QHBoxLayout(r.box);
    row->setContentsMargins(0, 0, 0, 0);
    r.left = new QLabel(r.box);
    r.left->setObjectName(QStringLiteral("LeftLabel"));
    r.top = new QLabel(r.box);
    r.top->setObjectName(QStringLiteral("TopLabel"));
    for (QLabel* l : {r.left, r.top}) {
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("Left: 00.00")));
        row->addWidget(l);
    }
    row->addWidget(DesignSeparator(r.box));
    r.records = AddRecordButtons(row, r.box, false, moveRecord);
    row->addStretch();
    r.first = DesignPushButton(firstName, firstCaption, r.box);
    r.save = DesignPushButton(QStringLiteral("SaveButton"), QStringLiteral("&Save"), r.box);
    r.cancel = DesignPushButton(QStringLiteral("CancelButton"), QStringLiteral("Cancel"), r.box);
    r.help = DesignPushButton(QStringLiteral("HelpButton"), QStringLiteral("&Help"), r.box);
    QToolButton* whatsThis = print::NewMouseHelpButton(r.box);
    whatsThis->setFocusPolicy(Qt::NoFocus);
    for (QWidget* w : std::initializer_list<QWidget*>{r.first, r.save, r.cancel, r.help, whatsThis})
        row->addWidget(w);
    QObject::connect(r.cancel, &QPushButton::clicked, screen, &QDialog::reject);
    QObject::connect(r.help, &QPushButton::clicked, screen,
                     [screen, helpTopic] { print::ShowHelpTopic(screen, helpTopic); });
    return r;
}

void ShowDesignCoordinates(QLabel& left, QLabel& top, const TGBasePanel& panel, float zoom,
                           QPoint panelPoint) {
    QPoint at = panelPoint;
    if (panel.SelectionCount() > 0)
        at = QPoint(panel.Handle().Left(), panel.Handle().Top());
    auto inches = [zoom](int pixels) {
        return QString::number(pixels / double(zoom) / PixelsPerInch, 'f', 2);
    };
    left.setText(QStringLiteral("Left: ") + inches(at.x()));
    top.setText(QStringLiteral("Top: ") + inches(at.y()));
}

} // namespace qp::design::ui
