#include "richtext/ui/paragraph_dialog.h"

#include "richtext/page_settings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qp::richtext {

namespace {
constexpr double kTwipsPerPoint = 20.0;

QDoubleSpinBox* Spin(double min, double max, double step, int decimals) {
    auto* s = new QDoubleSpinBox;
    s->setRange(min, max);
    s->setSingleStep(step);
    s->setDecimals(decimals);
    return s;
}
} // namespace

TParagraphDialog::TParagraphDialog(const QTextBlockFormat& format, QWidget* parent)
    : QDialog(parent), Original_(format) {
    setWindowTitle(tr("Paragraph Settings"));
    auto* layout = new QVBoxLayout(this);

    auto* indents = new QGroupBox(tr("Indents"));
    auto* form = new QFormLayout(indents);
    auto* first = new QHBoxLayout;
    SameAsLeft = new QRadioButton(tr("&Same as Left Indent"));
    IndentedBy = new QRadioButton(tr("Indented &by"));
    FirstIndent = Spin(-22, 22, 0.125, 3);
    first->addWidget(SameAsLeft);
    first->addWidget(IndentedBy);
    first->addWidget(FirstIndent);
    form->addRow(tr("First Indent"), first);
    form->addRow(tr("&Left Indent"), LeftIndent = Spin(-22, 22, 0.125, 3));
    form->addRow(tr("&Right Indent"), RightIndent = Spin(-22, 22, 0.125, 3));
    UnitBox = new QComboBox;
    UnitBox->addItems({tr("Inch"), tr("Cm")});
    form->addRow(tr("&Units"), UnitBox);
    layout->addWidget(indents);

    auto* spacing = new QGroupBox(tr("Spacing"));
    auto* sform = new QFormLayout(spacing);
    sform->addRow(tr("Space &before (pts)"), SpaceBefore = Spin(0, 1584, 1, 1));
    sform->addRow(tr("Line &Height (pts)"), LineHeight = Spin(0, 1584, 1, 1));
    sform->addRow(tr("Space &after (pts)"), SpaceAfter = Spin(0, 1584, 1, 1));
    LineHeight->setSpecialValueText(tr("Single"));
    LineHeight->setToolTip(tr("The least height of each line; Single lets the font decide."));
    layout->addWidget(spacing);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(SameAsLeft, &QRadioButton::toggled, FirstIndent,
            [this](bool same) { FirstIndent->setEnabled(!same); });
    connect(UnitBox, &QComboBox::currentIndexChanged, this,
            [this](int i) { SetUnit(TLengthUnit(i)); });

    const double fi = LayoutToTwips(format.textIndent());
    (qRound(fi) == 0 ? SameAsLeft : IndentedBy)->setChecked(true);
    FirstIndent->setEnabled(qRound(fi) != 0);
    FirstIndent->setValue(FromTwips(fi, luInch));
    LeftIndent->setValue(FromTwips(LayoutToTwips(format.leftMargin()), luInch));
    RightIndent->setValue(FromTwips(LayoutToTwips(format.rightMargin()), luInch));
    SpaceBefore->setValue(LayoutToTwips(format.topMargin()) / kTwipsPerPoint);
    SpaceAfter->setValue(LayoutToTwips(format.bottomMargin()) / kTwipsPerPoint);
    const auto type = format.lineHeightType();
    if (type == QTextBlockFormat::MinimumHeight || type == QTextBlockFormat::FixedHeight)
        LineHeight->setValue(LayoutToTwips(format.lineHeight()) / kTwipsPerPoint);
}

void TParagraphDialog::SetUnit(TLengthUnit unit) {
    if (unit == Unit_)
        return;
    for (QDoubleSpinBox* s : {FirstIndent, LeftIndent, RightIndent}) {
        const double twips = s->value() * TwipsPerUnit(Unit_);
        s->setRange(-FromTwips(22 * 1440, unit), FromTwips(22 * 1440, unit));
        s->setSingleStep(unit == luCm ? 0.1 : 0.125);
        s->setDecimals(UnitDecimals(unit));
        s->setValue(FromTwips(twips, unit));
    }
    Unit_ = unit;
    UnitBox->setCurrentIndex(int(unit));
}

QTextBlockFormat TParagraphDialog::Format() const {
    QTextBlockFormat f = Original_;
    const auto layout = [this](QDoubleSpinBox* s) {
        return TwipsToLayout(ToTwips(s->value(), Unit_));
    };
    f.setTextIndent(SameAsLeft->isChecked() ? 0.0 : layout(FirstIndent));
    f.setLeftMargin(layout(LeftIndent));
    f.setRightMargin(layout(RightIndent));
    f.setTopMargin(TwipsToLayout(qRound(SpaceBefore->value() * kTwipsPerPoint)));
    f.setBottomMargin(TwipsToLayout(qRound(SpaceAfter->value() * kTwipsPerPoint)));
    const double oldHeight = (Original_.lineHeightType() == QTextBlockFormat::MinimumHeight ||
                              Original_.lineHeightType() == QTextBlockFormat::FixedHeight)
                                 ? LayoutToTwips(Original_.lineHeight()) / kTwipsPerPoint
                                 : 0.0;
    if (qAbs(LineHeight->value() - oldHeight) > 0.05) { // changed by the user
        if (LineHeight->value() <= 0)
            f.setLineHeight(0, QTextBlockFormat::SingleHeight);
        else
            f.setLineHeight(TwipsToLayout(qRound(LineHeight->value() * kTwipsPerPoint)),
                            QTextBlockFormat::MinimumHeight);
    }
    return f;
}

} // namespace qp::richtext
