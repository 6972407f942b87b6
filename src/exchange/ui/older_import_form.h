#pragma once
// The window importing an address file of an earlier version.

#include "exchange/older_import.h"
#include "exchange/ui/import_dialog.h"
#include "store/table.h"

#include <QString>

#include <optional>

class QPushButton;

namespace qp::exchange {

class TImportOlder : public ImportDialog {
    Q_OBJECT
public:
    enum class State { NoFile, FileChosen, Importing, Rebuilding };

    TImportOlder(store::Table& table, OlderVersion version, QWidget* parent = nullptr);
    ~TImportOlder() override;

    void chooseFile(const QString& path);
    void runImport();
    State state() const { return state_; }
    QPushButton* importButton() const { return importButton_; }

private:
    void selectFile();
    void setState(State state);

    OlderVersion version_;
    std::optional<SourceTable> source_;
    State state_ = State::NoFile;
    QPushButton* selectButton_ = nullptr;
    QPushButton* importButton_ = nullptr;
};

} // namespace qp::exchange
