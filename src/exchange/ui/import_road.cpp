#include "exchange/ui/import_road.h"

#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

namespace qp::exchange {

using ui::qs;

DbfImportOutcome
runImportRoad(const ImportRoad& road, store::Table& table,
              const std::function<DbfImportOutcome(const ImportHooks&)>& importRecords) {
    ImportHooks hooks;
    hooks.status = [&](std::string_view s) {
        road.status->setText(qs(std::string(s)));
        QApplication::processEvents();
    };
    hooks.progress = [&](int percent) { road.gauge->setValue(percent); };
    hooks.cancelled = [&] {
        QApplication::processEvents();
        return road.cancelRequested && *road.cancelRequested;
    };
    road.gauge->setValue(0);
    DbfImportOutcome outcome = importRecords(hooks);
    if (!outcome.failure.empty())
        ui::ShowInfo(qs(outcome.failure), road.window);
    ui::ShowInfo(qs(outcome.message), road.window);
    if (outcome.kind == ImportOutcome::Kind::Refused)
        return outcome;
    if (road.rebuilding)
        road.rebuilding();
    road.status->setText(qs(std::string(kRebuildingStatus)));
    road.gauge->setValue(0);
    QApplication::processEvents();
    auto rebuilt = rebuildAfterImport(table, [&](int percent) {
        road.gauge->setValue(percent);
        QApplication::processEvents();
    });
    if (!rebuilt)
        ui::ShowInfo(qs(rebuilt.error()), road.window);
    return outcome;
}

ImportOutcome
runPlainImportRoad(const ImportRoad& road, store::Table& table,
                   const std::function<ImportOutcome(const ImportHooks&)>& importRecords) {
    return runImportRoad(road, table, [&](const ImportHooks& hooks) {
        DbfImportOutcome outcome;
        static_cast<ImportOutcome&>(outcome) = importRecords(hooks);
        return outcome;
    });
}

} // namespace qp::exchange
