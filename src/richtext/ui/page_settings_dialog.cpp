#include "richtext/ui/page_settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace qp::richtext {

TPageSettingsDialog::TPageSettingsDialog(const TPageSettings& page, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Page Settings"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QFormLayout;
    UnitBox_ = new QComboBox;
    UnitBox_->addItems({tr("Inch"), tr("Cm"), tr("Twips")});
    top->addRow(tr("&Unit"), UnitBox_);
    layout->addLayout(top);

    const auto field = [this](const QString& name) {
        auto* f = new QDoubleSpinBox;
        f->setObjectName(name);
        f->setRange(0, 200 * 1440);
        return f;
    };
    auto* paper = new QGroupBox(tr("Paper"));
    auto* paperForm = new QFormLayout(paper);
    paperForm->addRow(tr("&Width"), Width_ = field(QStringLiteral("Width")));
    paperForm->addRow(tr("&Height"), Height_ = field(QStringLiteral("Height")));
    auto* margins = new QGroupBox(tr("Margins"));
    auto* marginForm = new QFormLayout(margins);
    marginForm->addRow(tr("&Top"), Top_ = field(QStringLiteral("Top")));
    marginForm->addRow(tr("&Bottom"), Bottom_ = field(QStringLiteral("Bottom")));
    marginForm->addRow(tr("&Left"), Left_ = field(QStringLiteral("Left")));
    marginForm->addRow(tr("&Right"), Right_ = field(QStringLiteral("Right")));
    layout->addWidget(paper);
    layout->addWidget(margins);
    Problem_ = new QLabel;
    Problem_->setWordWrap(true);
    Problem_->setStyleSheet(QStringLiteral("color: #a00000"));
    layout->addWidget(Problem_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(UnitBox_, &QComboBox::currentIndexChanged, this,
            [this](int i) { SetUnit(TLengthUnit(i)); });
    ShowValues(page);
}

QDoubleSpinBox* TPageSettingsDialog::Field(const QString& name) const {
    return findChild<QDoubleSpinBox*>(name);
}

void TPageSettingsDialog::ShowValues(const TPageSettings& p) {
    for (auto [box, twips] : {std::pair{Width_, p.PageWidth}, std::pair{Height_, p.PageHeight},
                              std::pair{Top_, p.TopMargin}, std::pair{Bottom_, p.BottomMargin},
                              std::pair{Left_, p.LeftMargin}, std::pair{Right_, p.RightMargin}}) {
        box->setDecimals(UnitDecimals(Unit_));
        box->setMaximum(FromTwips(200 * 1440, Unit_));
        box->setSingleStep(Unit_ == luTwips ? 20 : (Unit_ == luCm ? 0.1 : 0.125));
        box->setValue(FromTwips(twips, Unit_));
    }
}

void TPageSettingsDialog::SetUnit(TLengthUnit unit) {
    if (unit == Unit_)
        return;
    const TPageSettings p = Page();
    Unit_ = unit;
    UnitBox_->setCurrentIndex(int(unit));
    ShowValues(p);
}

TPageSettings TPageSettingsDialog::Page() const {
    return {ToTwips(Width_->value(), Unit_), ToTwips(Height_->value(), Unit_),
            ToTwips(Left_->value(), Unit_),  ToTwips(Right_->value(), Unit_),
            ToTwips(Top_->value(), Unit_),   ToTwips(Bottom_->value(), Unit_)};
}

void TPageSettingsDialog::accept() {
    const TPageSettings p = Page();
    if (!(p.Normalized() == p)) {
        Problem_->setText(tr("The margins must leave at least half an inch of text across and "
                             "down the page, on paper from half an inch to 200 inches."));
        return;
    }
    QDialog::accept();
}

} // namespace qp::richtext
