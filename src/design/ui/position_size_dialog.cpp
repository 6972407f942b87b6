#include "design/ui/position_size_dialog.h"

#include "design/base_panel.h"
#include "design/design_units.h"
#include "design/graphic_control.h"
#include "design/position_size.h"
#include "design/ui/design_dialogs.h"
#include "store/settings_file.h"
#include "store/ui/common_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace qp::design::ui {

namespace {
constexpr std::string_view kSection = "Design";
constexpr std::string_view kUnitKey = "PositionUnits";
constexpr int kHelpTopic = 40010;
constexpr int kLargest = 100 * PixelsPerInch; // 100 inches
} // namespace

TLengthUnit RememberedLengthUnit() {
    const std::string v = store::SettingsFile::standard().readString(kSection, kUnitKey, "in");
    return v == "mm" ? TLengthUnit::Millimetres : TLengthUnit::Inches;
}

void RememberLengthUnit(TLengthUnit unit) {
    store::SettingsFile file = store::SettingsFile::standard();
    // A settings file that cannot be written only loses the choice.
    (void)file.writeString(kSection, kUnitKey, unit == TLengthUnit::Millimetres ? "mm" : "in");
}

TPositionSizeDialog::TPositionSizeDialog(const QRect& bounds, bool group, int count, QSize area,
                                         QWidget* parent)
    : QDialog(parent), Area_(area) {
    setWindowTitle("Position and Size");
    setObjectName("PositionSizeDialog");
    auto* lay = new QVBoxLayout(this);
    if (group) {
        auto* note = new QLabel(
            QString("Moves the %1 selected objects together; their sizes stay.").arg(count), this);
        note->setObjectName("GroupNote");
        note->setWordWrap(true);
        lay->addWidget(note);
    }
    auto* form = new QFormLayout;
    Left = Field("LeftEdit");
    Top = Field("TopEdit");
    Width = Field("WidthEdit");
    Height = Field("HeightEdit");
    Units = new QComboBox(this);
    Units->setObjectName("UnitsBox");
    Units->addItems({"Inches", "Millimetres"});
    form->addRow("&Left", Left);
    form->addRow("&Top", Top);
    form->addRow("&Width", Width);
    form->addRow("&Height", Height);
    form->addRow("&Units", Units);
    lay->addLayout(form);
    lay->addWidget(DesignDialogButtons(this, kHelpTopic));
    Width->setEnabled(!group);
    Height->setEnabled(!group);
    // The design pixels are what is kept: a change of unit shows them anew.
    Show(bounds);
    connect(Units, &QComboBox::currentIndexChanged, this,
            [this](int i) { SetUnit(i == 1 ? TLengthUnit::Millimetres : TLengthUnit::Inches); });
    Left->setFocus();
    Left->selectAll();
}

QDoubleSpinBox* TPositionSizeDialog::Field(const char* name) {
    auto* box = new QDoubleSpinBox(this);
    box->setObjectName(name);
    box->setKeyboardTracking(false);
    return box;
}

int TPositionSizeDialog::Pixels(const QDoubleSpinBox* box) const {
    const double v = box->value();
    return (Unit_ == TLengthUnit::Millimetres ? TDesignLength::FromMillimetres(v)
                                              : TDesignLength::FromInches(v))
        .RoundedPixels();
}

QRect TPositionSizeDialog::Bounds() const {
    return QRect(Pixels(Left), Pixels(Top), std::max(1, Pixels(Width)),
                 std::max(1, Pixels(Height)));
}

void TPositionSizeDialog::SetUnit(TLengthUnit unit) {
    if (unit == Unit_)
        return;
    const QRect kept = Bounds();
    Unit_ = unit;
    Show(kept);
}

void TPositionSizeDialog::Show(const QRect& px) {
    const bool mm = Unit_ == TLengthUnit::Millimetres;
    {
        const QSignalBlocker block(Units);
        Units->setCurrentIndex(mm ? 1 : 0);
    }
    auto value = [mm](int pixels) {
        const TDesignLength l = TDesignLength::FromPixels(pixels);
        return mm ? l.Millimetres() : l.Inches();
    };
    // Three decimals of an inch and two of a millimetre both name every
    // design pixel exactly.
    const int decimals = mm ? 2 : 3;
    const double step = mm ? 0.5 : 0.01;
    const QString suffix = mm ? " mm" : " in";
    auto set = [&](QDoubleSpinBox* box, int lo, int hi, int pixels) {
        box->setDecimals(decimals);
        box->setSingleStep(step);
        box->setSuffix(suffix);
        box->setRange(value(lo), value(hi));
        box->setValue(value(pixels));
    };
    set(Left, 0, std::max(0, Area_.width() - 1), px.left());
    set(Top, 0, std::max(0, Area_.height() - 1), px.top());
    set(Width, 1, kLargest, px.width());
    set(Height, 1, kLargest, px.height());
}

bool RunPositionSizeDialog(TGGraphicControl& o, TGBasePanel& panel, QWidget* parent) {
    const TPositionTarget target = PositionTarget(panel, o);
    const QSize area(RoundHalfEven(panel.Width() / double(panel.Zoom())),
                     RoundHalfEven(panel.Height() / double(panel.Zoom())));
    TPositionSizeDialog d(target.Bounds, target.Group, target.Count, area, parent);
    d.SetUnit(RememberedLengthUnit());
    qp::ui::CenterDialog(d);
    if (d.exec() != QDialog::Accepted)
        return false;
    RememberLengthUnit(d.Unit());
    QRect wanted = d.Bounds();
    if (target.Group)
        wanted.setSize(target.Bounds.size());
    if (wanted != target.Bounds)
        ApplyPosition(panel, o, wanted);
    return true;
}

} // namespace qp::design::ui
