#include "labels/ui/label_positions_window.h"

#include "design/design_units.h"
#include "labels/printing/label_print_job.h"
#include "labels/printing/printer_alignment.h"
#include "labels/ui/label_dialog_buttons.h"
#include "print/printer_setup.h"
#include "store/settings_file.h"
#include "store/ui/common_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace qp::labels {

namespace {

int trunc(double v) {
    return static_cast<int>(v);
}

// The drawing is sized for a letter sheet unless the sheet is larger.
constexpr double kPlainWidth = 8.5, kPlainHeight = 11.0;

} // namespace

TSheetPositionsView::TSheetPositionsView(const LabelDefinition& def, LabelPositions& positions,
                                         QWidget* parent)
    : QWidget(parent), def_(def), positions_(positions) {
    setObjectName(QStringLiteral("SheetImage"));
    setFixedSize(sizeHint());
}

double TSheetPositionsView::scale() const {
    // Large enough that a 1 x 2 5/8 in address label is a comfortable
    // target with its number inside.
    return 0.4 * design::PixelsPerInch;
}

QSize TSheetPositionsView::sizeHint() const {
    const double s = scale();
    const double w = std::max<double>(def_.sheetWidth, kPlainWidth);
    const double h = std::max<double>(def_.sheetDepth, kPlainHeight);
    return QSize(trunc(w * s) + 20, trunc(h * s) + 20);
}

QRect TSheetPositionsView::sheetRect() const {
    const double s = scale();
    return QRect(QPoint(10, 10),
                 QPoint(10 + trunc(def_.sheetWidth * s), 10 + trunc(def_.sheetDepth * s)));
}

QRect TSheetPositionsView::positionRect(int position) const {
    const double s = scale();
    const int column = positionColumn(def_, position), row = positionRow(def_, position);
    int left = trunc(def_.leftMargin * s) + column * trunc(def_.horizontalPitch * s) + 10;
    if (def_.midExtraX > 0 && column >= def_.across / 2)
        left += trunc(def_.midExtraX * s);
    int top = trunc(def_.topMargin * s) + row * trunc(def_.verticalPitch * s) + 10;
    if (def_.midExtraY > 0 && row >= def_.down / 2)
        top += trunc(def_.midExtraY * s);
    return QRect(left, top, trunc(def_.labelWidth * s), trunc(def_.labelHeight * s));
}

int TSheetPositionsView::positionAt(QPoint p) const {
    for (int i = 0; i < positions_.count(); ++i)
        if (positionRect(i).contains(p))
            return i;
    return -1;
}

void TSheetPositionsView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(sheetRect());
    QFont numbers = font();
    for (int i = 0; i < positions_.count(); ++i) {
        const QRect r = positionRect(i);
        const bool on = positions_.selected(i);
        painter.setPen(Qt::black);
        painter.setBrush(on ? QColor(Qt::red) : QColor(Qt::white));
        painter.drawRect(r);
        // The number, as the batch and the help count positions.
        numbers.setPixelSize(std::clamp(r.height() * 2 / 3, 6, 14));
        painter.setFont(numbers);
        painter.setPen(on ? QColor(Qt::white) : QColor(Qt::darkGray));
        painter.drawText(r, Qt::AlignCenter, QString::number(i + 1));
    }
}

void TSheetPositionsView::mousePressEvent(QMouseEvent* event) {
    const int p = positionAt(event->position().toPoint());
    if (p < 0)
        return;
    positions_.toggle(p);
    update();
    emit positionsChanged();
}

TSelectSpecificLabels::TSelectSpecificLabels(const LabelDefinition& def,
                                             const LabelPositions& positions, int copies,
                                             bool presort, QWidget* parent, bool firstSheetOnly)
    : QDialog(parent), def_(def), positions_(positions) {
    setWindowTitle(QStringLiteral("Labels Print"));
    positions_.fitSheet(def_);
    auto* layout = new QVBoxLayout(this);

    auto* heading = new QLabel(QStringLiteral(" Select Labels To Print"), this);
    heading->setObjectName(QStringLiteral("HeadingLabel"));
    layout->addWidget(heading);
    sheet_ = new TSheetPositionsView(def_, positions_, this);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(sheet_);
    scroll->setMinimumSize(std::min(sheet_->width() + 4, 480), std::min(sheet_->height() + 4, 560));
    layout->addWidget(scroll, 1);

    auto* allNone = new QHBoxLayout;
    auto* all = new QPushButton(QStringLiteral("&All"), this);
    all->setObjectName(QStringLiteral("AllButton"));
    auto* none = new QPushButton(QStringLiteral("&None"), this);
    none->setObjectName(QStringLiteral("NoneButton"));
    for (auto* b : {all, none})
        b->setAutoDefault(false);
    connect(all, &QPushButton::clicked, this, [this] {
        positions_.setAll(true);
        sheet_->update();
    });
    connect(none, &QPushButton::clicked, this, [this] {
        positions_.setAll(false);
        sheet_->update();
    });
    allNone->addWidget(all);
    allNone->addWidget(none);
    allNone->addStretch();
    firstSheetOnly_ = new QCheckBox(QStringLiteral("&First sheet only"), this);
    firstSheetOnly_->setObjectName(QStringLiteral("FirstSheetOnlyBox"));
    firstSheetOnly_->setChecked(firstSheetOnly);
    firstSheetOnly_->setToolTip(QStringLiteral("Positions you clear are left empty on the first "
                                               "sheet only; later sheets are used whole"));
    allNone->addWidget(firstSheetOnly_);
    layout->addLayout(allNone);

    auto* form = new QFormLayout;
    printers_ = new QComboBox(this);
    printers_->setObjectName(QStringLiteral("PrinterList"));
    auto& setup = print::TPrinterSetup::Shared();
    printers_->addItems(setup.PrinterNames());
    printers_->setCurrentIndex(setup.PrinterIndex());
    connect(printers_, &QComboBox::activated, this, &TSelectSpecificLabels::printerChosen);
    form->addRow(QStringLiteral("Printer"), printers_);

    copies_ = new QSpinBox(this);
    copies_->setObjectName(QStringLiteral("CopiesEdit"));
    copies_->setRange(1, 99);
    copies_->setValue(std::clamp(copies, 1, 99));
    auto* copiesCaption = new QLabel(QStringLiteral("Number of each label to print"), this);
    copiesCaption->setObjectName(QStringLiteral("CopiesLabel"));
    form->addRow(copiesCaption, copies_);
    // One label per record when presorting: the piece count must match the list.
    copies_->setVisible(!presort);
    copiesCaption->setVisible(!presort);

    auto offsetBox = [this](const char* name) {
        auto* box = new QDoubleSpinBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(-kMaxAlignmentOffset, kMaxAlignmentOffset);
        box->setDecimals(3);
        box->setSingleStep(0.01);
        box->setSuffix(QStringLiteral(" in"));
        return box;
    };
    offsetX_ = offsetBox("AlignXEdit");
    offsetY_ = offsetBox("AlignYEdit");
    auto* offsets = new QHBoxLayout;
    offsets->addWidget(new QLabel(QStringLiteral("Right"), this));
    offsets->addWidget(offsetX_);
    offsets->addWidget(new QLabel(QStringLiteral("Down"), this));
    offsets->addWidget(offsetY_);
    form->addRow(QStringLiteral("Printer alignment"), offsets);
    offsetX_->setToolTip(QStringLiteral("Moves every label right (or left, below 0) on this "
                                        "printer, for sheets that feed a little off"));
    offsetY_->setToolTip(QStringLiteral("Moves every label down (or up, below 0) on this printer"));
    layout->addLayout(form);
    loadAlignment();

    layout->addWidget(okCancelHelp(*this, kHelpTopic).box);
}

bool TSelectSpecificLabels::firstSheetOnly() const {
    return firstSheetOnly_->isChecked();
}

int TSelectSpecificLabels::copies() const {
    return std::max(1, copies_->value());
}

Point TSelectSpecificLabels::alignment() const {
    return {offsetX_->value(), offsetY_->value()};
}

void TSelectSpecificLabels::printerChosen(int index) {
    print::TPrinterSetup::Shared().SelectPrinter(index);
    loadAlignment();
}

void TSelectSpecificLabels::loadAlignment() {
    const Point p = readPrinterAlignment(store::SettingsFile::standard(),
                                         printers_->currentText().toStdString());
    offsetX_->setValue(p.x);
    offsetY_->setValue(p.y);
}

void TSelectSpecificLabels::accept() {
    if (positions_.selectedCount() == 0) {
        ui::ShowInfo(QString::fromLatin1(kNoPositionMessage.data(),
                                         static_cast<int>(kNoPositionMessage.size())),
                     this);
        return;
    }
    auto settings = store::SettingsFile::standard();
    const std::string printer = printers_->currentText().toStdString();
    const Point before = readPrinterAlignment(settings, printer), now = alignment();
    if (before.x != now.x || before.y != now.y)
        if (auto st = writePrinterAlignment(settings, printer, now); !st)
            ui::ShowInfo(QStringLiteral("The printer alignment could not be kept:\n") +
                             QString::fromStdString(st.error()),
                         this);
    QDialog::accept();
}

} // namespace qp::labels
