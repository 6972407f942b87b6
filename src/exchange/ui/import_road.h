#pragma once
// The road every import window takes once the user presses Import: the
// record loop driving the status line and gauge with Cancel, the messages,
// then the index rebuild with Cancel hidden.

#include "exchange/dbf_import.h"

#include <functional>

class QLabel;
class QProgressBar;
class QWidget;

namespace qp::exchange {

struct ImportRoad {
    QWidget* window = nullptr;
    QLabel* status = nullptr;
    QProgressBar* gauge = nullptr;
    const bool* cancelRequested = nullptr; // set by the window's Cancel
    std::function<void()> rebuilding;      // the window enters its rebuilding state
};

// Runs `importRecords`, shows its failure (if any) and its count message,
// and unless it was refused rebuilds the indexes of `table`.
DbfImportOutcome
runImportRoad(const ImportRoad& road, store::Table& table,
              const std::function<DbfImportOutcome(const ImportHooks&)>& importRecords);

// The same road for imports whose outcome carries no separate failure text.
ImportOutcome
runPlainImportRoad(const ImportRoad& road, store::Table& table,
                   const std::function<ImportOutcome(const ImportHooks&)>& importRecords);

} // namespace qp::exchange
