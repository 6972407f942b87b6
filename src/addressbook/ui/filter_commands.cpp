#include "addressbook/ui/filter_commands.h"

#include "addressbook/filter_window_rules.h"
#include "store/filter_file.h"
#include "store/shared_routines.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <filesystem>

namespace qp::addressbook {

namespace {

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::filesystem::path toPath(const QString& name) {
    return std::filesystem::path(name.toStdString());
}

} // namespace

QString ChooseFilterFileWithDialog(QWidget* parent, const FilterFileRequest& request) {
    QFileDialog dialog(parent, request.caption, request.folder, request.nameFilter);
    dialog.setObjectName(request.save ? QStringLiteral("SaveFilterDialog")
                                      : QStringLiteral("RestoreFilterDialog"));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    // The overwrite question is ours, with its own wording and default.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    qp::ui::CenterDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

TFilterFileCommands::TFilterFileCommands(QWidget* parent) : parent_(parent) {}

QString TFilterFileCommands::choose(const FilterFileRequest& request) const {
    if (chooser_)
        return chooser_(parent_, request);
    return ChooseFilterFileWithDialog(parent_, request);
}

bool TFilterFileCommands::saveFilter(const store::FilterCriteria& criteria) {
    FilterFileRequest request;
    request.save = true;
    request.caption = QStringLiteral("Save Filter");
    request.folder = lastSaveFolder_.isEmpty() ? QString::fromStdString(store::ProgramFolder())
                                               : lastSaveFolder_;
    request.proposedName = QStringLiteral("*.FLT");
    request.nameFilter = QStringLiteral("Filter files (*.FLT *.flt)");
    request.defaultSuffix = QStringLiteral("FLT");
    QString chosen = choose(request);
    if (chosen.isEmpty())
        return false;
    lastSaveFolder_ = QFileInfo(chosen).absolutePath();

    SaveFilterName name = CheckSaveFilterName(toPath(chosen));
    if (!name.path) {
        qp::ui::ShowInfo(QString::fromStdString(name.message), parent_);
        return false;
    }
    std::error_code ec;
    if (std::filesystem::exists(*name.path, ec) &&
        !qp::ui::AskYesNoDefaultNo(QString::fromStdString(OverwriteFilterQuestion(*name.path)),
                                   fromView(kOverwriteFilterTitle), parent_))
        return false;
    if (auto st = store::SaveFilterTo(*name.path, criteria); !st) {
        qp::ui::ShowInfo(QString::fromStdString(st.error()), parent_);
        return false;
    }
    return true;
}

std::optional<store::FilterCriteria> TFilterFileCommands::chooseFilterToRestore() {
    FilterFileRequest request;
    request.save = false;
    request.caption = QStringLiteral("Restore Filter");
    request.folder = QString::fromStdString(store::ProgramFolder());
    request.nameFilter = QStringLiteral("Filter Files (*.flt *.FLT)");
    request.defaultSuffix = QStringLiteral("FLT");
    QString chosen = choose(request);
    if (chosen.isEmpty())
        return std::nullopt;
    if (std::string refused = CheckRestoreFilterName(toPath(chosen)); !refused.empty()) {
        qp::ui::ShowInfo(QString::fromStdString(refused), parent_);
        return std::nullopt;
    }
    auto read = store::ReadFilterFrom(toPath(chosen));
    if (!read) {
        qp::ui::ShowInfo(QString::fromStdString(read.error()), parent_);
        return std::nullopt;
    }
    return std::move(read).value();
}

std::optional<store::FilterOutcome>
TFilterFileCommands::restoreFilter(store::Table& table, store::FilterCriteria& criteria,
                                   std::string_view tagId) {
    auto chosen = chooseFilterToRestore();
    if (!chosen)
        return std::nullopt;
    criteria = std::move(*chosen);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    store::FilterOutcome outcome = store::ApplyFilter(table, criteria, tagId);
    QApplication::restoreOverrideCursor();
    if (!outcome.message.empty())
        qp::ui::ShowInfo(QString::fromStdString(outcome.message), parent_);
    table.first();
    return outcome;
}

} // namespace qp::addressbook
