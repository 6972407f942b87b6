#pragma once
// "Preferences": how Add starts a new record (automatic values, fields
// carried forward, fields skipped), kept in the settings file.

#include "addressbook/ui/dialog_support.h"
#include "store/settings_file.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;

namespace qp::addressbook {

class TPreferencesWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1038;

    // Filled from the settings file (LoadPreferences). Ok writes every key
    // and closes (Accepted); Cancel writes nothing. Either way the caller
    // reloads its adding preferences afterwards.
    explicit TPreferencesWindow(QWidget* parent = nullptr);

    // The switches as the controls show them.
    store::AddingPreferences preferences() const;
    void setPreferences(const store::AddingPreferences& prefs);

    void LoadPreferences();
    // False (after a message) when the settings file could not be written.
    bool SavePreferences();

    void setHelpHandler(HelpHandler handler) { help_ = std::move(handler); }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::array<QCheckBox*, 28> switches_{};
    QLineEdit* defaultCountry_ = nullptr;
    HelpHandler help_;
};

} // namespace qp::addressbook
