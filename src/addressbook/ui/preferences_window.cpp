#include "addressbook/ui/preferences_window.h"

#include "addressbook/ui/dialog_buttons.h"

#include "addressbook/preferences_rules.h"
#include "store/ui/common_dialogs.h"

#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp::addressbook {

namespace {

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

TPreferencesWindow::TPreferencesWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PreferencesWindow"));
    setWindowTitle(QStringLiteral("Preferences"));

    auto* heading = new QLabel(QStringLiteral(" When adding new records"), this);
    heading->setObjectName(QStringLiteral("HeadingLabel"));
    QFont hf = heading->font();
    hf.setBold(true);
    heading->setFont(hf);

    auto* automatic = new QVBoxLayout;
    auto* carryBox = new QGroupBox(QStringLiteral("Carry forward the following fields:"), this);
    carryBox->setObjectName(QStringLiteral("CarryLabel"));
    auto* carryGrid = new QGridLayout(carryBox);
    auto* skipBox = new QGroupBox(QStringLiteral("Skip through the following fields:"), this);
    skipBox->setObjectName(QStringLiteral("SkipLabel"));
    auto* skipGrid = new QGridLayout(skipBox);

    int carried = 0;
    int skipped = 0;
    for (std::size_t i = 0; i < kPreferenceSwitches.size(); ++i) {
        const PreferenceSwitch& s = kPreferenceSwitches[i];
        auto* check = new QCheckBox(fromView(s.caption), this);
        check->setObjectName(fromView(s.key));
        switches_[i] = check;
        switch (s.group) {
        case PreferenceGroup::Automatic:
            automatic->addWidget(check);
            break;
        case PreferenceGroup::Carry:
            // Two columns read down, like the skip list.
            carryGrid->addWidget(check, carried % 4, carried / 4);
            ++carried;
            break;
        case PreferenceGroup::Skip:
            skipGrid->addWidget(check, skipped % 6, skipped / 6);
            ++skipped;
            break;
        }
    }

    auto* countryLabel = new QLabel(QStringLiteral("Default Country Name"), this);
    countryLabel->setObjectName(QStringLiteral("DefaultCountryLabel"));
    defaultCountry_ = new QLineEdit(this);
    defaultCountry_->setObjectName(QStringLiteral("DefaultCountry"));
    defaultCountry_->setMaxLength(kMaxDefaultCountryLength);
    RestrictToWindows1252(*defaultCountry_);
    countryLabel->setBuddy(defaultCountry_);
    auto* country = new QHBoxLayout;
    country->addWidget(countryLabel);
    country->addWidget(defaultCountry_, 1);
    automatic->addLayout(country);

    auto [ok, cancel, help] = MakeDialogButtons(*this, QStringLiteral("Ok"), [this] {
        if (help_)
            help_(kHelpTopic);
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(automatic);
    layout->addWidget(carryBox);
    layout->addWidget(skipBox);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Tab order follows the window from top to bottom.
    QWidget* previous = nullptr;
    auto chain = [&](QWidget* w) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    };
    for (std::size_t i = 0; i < 3; ++i)
        chain(switches_[i]);
    chain(defaultCountry_);
    for (std::size_t i = 3; i < switches_.size(); ++i)
        chain(switches_[i]);
    chain(ok);
    chain(cancel);
    chain(help);

    LoadPreferences();
}

store::AddingPreferences TPreferencesWindow::preferences() const {
    store::AddingPreferences prefs;
    for (std::size_t i = 0; i < kPreferenceSwitches.size(); ++i)
        prefs.*(kPreferenceSwitches[i].member) = switches_[i]->isChecked();
    prefs.defaultCountry = defaultCountry_->text().toStdString();
    return prefs;
}

void TPreferencesWindow::setPreferences(const store::AddingPreferences& prefs) {
    for (std::size_t i = 0; i < kPreferenceSwitches.size(); ++i)
        switches_[i]->setChecked(prefs.*(kPreferenceSwitches[i].member));
    defaultCountry_->setText(QString::fromStdString(prefs.defaultCountry));
}

void TPreferencesWindow::LoadPreferences() {
    setPreferences(store::ReadAddingPreferences(store::SettingsFile::standard()));
}

bool TPreferencesWindow::SavePreferences() {
    auto settings = store::SettingsFile::standard();
    if (auto st = store::WriteAddingPreferences(settings, preferences()); !st) {
        qp::ui::ShowInfo(QString::fromStdString(st.error()), this);
        return false;
    }
    return true;
}

void TPreferencesWindow::accept() {
    if (SavePreferences())
        QDialog::accept();
}

void TPreferencesWindow::showEvent(QShowEvent* event) {
    qp::ui::CenterDialog(*this);
    QDialog::showEvent(event);
}

} // namespace qp::addressbook
