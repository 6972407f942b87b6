#include "addressbook/ui/dialog_calls.h"

#include "addressbook/filter_window_rules.h"
#include "addressbook/ui/address_main.h"
#include "addressbook/ui/date_selector_dialog.h"
#include "addressbook/ui/filter_window.h"
#include "addressbook/ui/getting_started_window.h"
#include "addressbook/ui/new_database_dialog.h"
#include "addressbook/ui/new_record_dialog.h"
#include "print/ui/window_hooks.h"
#include "store/ui/common_dialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp::addressbook {

void ShowHelp(QWidget* window, int topic) {
    print::ShowHelpTopic(window, topic);
}

namespace {
HelpHandler helpFor(QWidget* window) {
    return [window](int topic) { ShowHelp(window, topic); };
}
} // namespace

std::optional<NewDatabaseChoice> AskNewDatabase(QWidget* parent) {
    TNewDatabaseDialog dialog(parent);
    dialog.setHelpHandler(helpFor(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return NewDatabaseChoice{dialog.databasePath(), dialog.fieldLengths()};
}

std::optional<NewRecordAnswer> AskNewRecord(QWidget* parent, const NewRecordOptions& options) {
    TNewRecordDialog dialog(options, parent);
    dialog.setHelpHandler(helpFor(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return NewRecordAnswer{dialog.lastName().toStdString(), dialog.firstName().toStdString(),
                           dialog.zip().toStdString()};
}

std::optional<std::string> AskDate(QWidget* parent, const std::string& storedDate) {
    return TDateSelectorDialog::SelectDate(storedDate, parent);
}

void RunFilterWindow(TAddressMain& main) {
    std::vector<FilterBoxPlacement> placements;
    const RecordAreaLayout layout = main.recordAreaLayout();
    for (const auto& box : kFilterBoxes) {
        std::string_view field = store::kFilterFieldExpressions[std::size_t(box.field)];
        if (field == "CITY+STATE")
            field = "CITY";
        const RecordAreaControl* control =
            layout.find(QString::fromUtf8(field.data(), qsizetype(field.size())));
        if (!control)
            continue;
        placements.push_back(
            {box.field, control->label, control->geometry, control->labelGeometry});
    }
    TFilterWindow window(*main.table(), main.filter(), main.tagId(), std::move(placements), &main);
    window.setHelpHandler(helpFor(&window));
    window.exec();
}

void OpenGettingStarted(QWidget* parent) {
    auto* window = new TGettingStartedWindow(helpFor(parent), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->open();
}

std::optional<ClipboardParts> AskClipboardParts(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("copyRecordDialog"));
    dialog.setWindowTitle(QStringLiteral("Copy Record To Clipboard"));
    auto* layout = new QVBoxLayout(&dialog);
    const char* captions[] = {"Name, Organization, Title", "Address", "Phone Numbers", "Codes",
                              "Comments 1 && 2"};
    std::vector<QCheckBox*> boxes;
    for (const char* caption : captions) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), &dialog);
        box->setChecked(true);
        layout->addWidget(box);
        boxes.push_back(box);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    ui::CenterDialog(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ClipboardParts{boxes[0]->isChecked(), boxes[1]->isChecked(), boxes[2]->isChecked(),
                          boxes[3]->isChecked(), boxes[4]->isChecked()};
}

} // namespace qp::addressbook
