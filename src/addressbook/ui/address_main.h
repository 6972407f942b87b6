#pragma once
// TAddressMain: the program's main window. It holds the one open address
// file, shows one record at a time, and is where records are added, edited,
// deleted, cloned, copied and navigated; every other tool starts from its
// menus and buttons through the tool registry.

#include "addressbook/button_rules.h"
#include "addressbook/record_rules.h"
#include "addressbook/tool_registry.h"
#include "addressbook/ui/filter_commands.h"
#include "addressbook/ui/record_area_layout.h"
#include "store/filter_criteria.h"
#include "store/settings_file.h"
#include "store/table.h"

#include <QMainWindow>

#include <map>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QToolBar;
class QToolButton;

namespace qp::addressbook {

class TRecordLineEdit;
class TMemoEdit;
class TToolSession;

class TAddressMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1029;

    explicit TAddressMain(QWidget* parent = nullptr);
    ~TAddressMain() override;

    // The first-activation start-up: placement, preferences, the file to
    // open, the printer check and the Getting Started window. Runs once.
    void StartUp();
    bool startedUp() const { return startedUp_; }

    // ---- Files ----
    // Opens an address file as the current file; true when one is open after.
    bool OpenQPWDBF(const QString& path);
    bool CheckValidIndex();
    QString GetDatabasePath() const;
    const QString& currentFile() const { return currentFile_; }
    void UpdateMRUList(const QString& path);
    void UpdateMenuMRUList();
    QString GetMRUFile() const;
    void openRecentFile(const QString& path);

    // ---- Orders and filter ----
    void SetCurrentOrder(const QString& tag);
    void SetOrderTo(const QString& caption);
    const QString& currentOrder() const { return currentOrder_; }
    // Applies the filter values to the open file; the number of matches.
    std::uint32_t ApplyFilter();
    store::FilterCriteria& filter() { return filter_; }
    const std::string& tagId() const { return tagId_; }
    const std::string& memoSearchText() const { return memoSearchText_; }
    bool memoSearchFound() const { return memoSearchFound_; }
    void setMemoSearch(std::string text, bool found) {
        memoSearchText_ = std::move(text);
        memoSearchFound_ = found;
    }

    // ---- State ----
    store::Table* table() { return table_ ? &*table_ : nullptr; }
    bool fileOpen() const { return table_.has_value(); }
    bool editing() const { return editing_; }
    bool adding() const { return adding_; }
    bool hasRecord() const;
    bool filterSet() const { return !filter_.expression.empty(); }
    MainWindowState state() const;
    const store::AddingPreferences& addingPreferences() const { return prefs_; }
    void LoadPreferences();

    // ---- Record commands ----
    void First();
    void Prior();
    void Next();
    void Last();
    // Starts editing the shown record; false when Edit is not allowed.
    bool BeginEdit();
    void Add();
    // Stores the record; false (still editing) when it could not be stored.
    bool Save();
    void CancelEdit();
    void DeleteRecord();
    void CloneRecord();
    void UndeleteRecord(); // the current record, when it is a deleted one
    void CopyToClipboard();
    void SelectDate();
    // Duplicate probe before adding; true to go on adding.
    bool CheckDupName(const std::string& first, const std::string& last);
    // ZIP look-up before adding: city and state of the first record whose ZIP
    // begins with `zip` (blank when none).
    std::pair<std::string, std::string> FillCityState(const std::string& zip);
    void SetSkipFields(bool on);
    void SetExtraFields(bool on) { extraFields_ = on; }
    bool extraFields() const { return extraFields_; }

    // ---- Other commands ----
    void NewDatabase();
    void OpenDatabase();
    void SetFilter();
    void ClearFilter();
    void SaveFilter();
    void RestoreFilter();
    void ShowGettingStarted();
    void ShowAbout();
    // Runs a tool inside the save-and-restore its traits describe.
    void RunTool(Tool tool);

    // ---- Display ----
    void SetButtons();
    void UpdateFilterStatus();
    // Shows the current record (unless display updates are suspended).
    void ShowRecord();
    RecordAreaLayout recordAreaLayout() const;

    // Controls, for the windows laid out like the record area and for tests.
    TRecordLineEdit* fieldEdit(const QString& field) const;
    TMemoEdit* memoEdit() const { return memo_; }
    QAction* toolAction(Tool tool) const;
    QString filterStatusText() const;
    QString sortStatusText() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TToolSession;

    void buildActions();
    void buildMenus();
    void buildToolBar();
    QWidget* buildRecordArea();
    QWidget* buildBottomRow();
    QAction* makeAction(const QString& objectName, const QString& text,
                        const QKeySequence& shortcut, void (TAddressMain::*slot)());
    QAction* makeToolAction(Tool tool, const QString& objectName, const QString& text,
                            const QKeySequence& shortcut = {});
    void addField(const QString& field, TRecordLineEdit* edit);

    bool OpenQPWFile(const QString& path);
    void OnOpenQPWFile(bool opened);
    bool rebuildIndexesNow();
    void reopenCurrentFile();
    void setEditing(bool on);
    void refuseCharacter(const QString& character);
    // Why the open file may not be changed; empty when it may.
    QString readOnlyReason() const;
    bool refuseReadOnly(); // says why and returns true when read-only
    void showTypingMode();
    // The Date box as typed, in the short date format, into the pending date;
    // false (and said) when it is not a date.
    bool takeTypedDate(); // "Insert" or "Overtype" while editing
    void pageDown(bool control);
    void pageUp(bool control);
    void escapePressed();
    void saveAndAddAnother();
    void fillFields(const FieldReader& read);
    std::string shownValue(std::string_view field) const;
    FieldReader tableReader() const;
    void noteFocusForEdit();

    // State
    std::optional<store::Table> table_;
    QString currentFile_;
    QString currentOrder_;
    store::FilterCriteria filter_;
    std::string tagId_;
    store::AddingPreferences prefs_;
    bool indexValid_ = false;
    bool editing_ = false;
    bool adding_ = false;
    std::string pendingDate_; // DATE while editing
    bool extraFields_ = false;
    bool reactToTableEvents_ = true;
    int displaySuspended_ = 0;
    bool startedUp_ = false;
    bool startUpQueued_ = false;
    TFilterFileCommands filterFiles_;
    std::string memoSearchText_;
    bool memoSearchFound_ = false;

    // Controls
    QStackedWidget* stack_ = nullptr;
    QLabel* notice_ = nullptr;
    QWidget* recordArea_ = nullptr;
    QWidget* namePanel_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::map<QString, TRecordLineEdit*> fields_;
    std::map<QString, QLabel*> labels_;
    std::vector<TRecordLineEdit*> fieldOrder_;
    TMemoEdit* memo_ = nullptr;
    QCheckBox* tagged_ = nullptr;
    QPushButton* dateButton_ = nullptr;
    QPushButton* dial1_ = nullptr;
    QPushButton* dial2_ = nullptr;
    QPushButton* searchMemo_ = nullptr;
    QPushButton* findNext_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* exit_ = nullptr;
    QPushButton* clearFilter_ = nullptr;
    std::vector<QToolButton*> navButtons_;
    QLabel* filterStatus_ = nullptr;
    QLabel* sortStatus_ = nullptr;
    QLabel* typingMode_ = nullptr;
    QLabel* readOnlyStatus_ = nullptr;
    QToolBar* toolBar_ = nullptr;

    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* recordMenu_ = nullptr;
    QMenu* sortMenu_ = nullptr;
    QMenu* utilitiesMenu_ = nullptr;
    QMenu* printMenu_ = nullptr;
    QMenu* importMenu_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* mruSeparator_ = nullptr;
    std::vector<QAction*> mruActions_;
    std::map<QString, QAction*> actions_;
    std::map<Tool, QAction*> toolActions_;
    std::map<Tool, QString> toolHints_;
    std::vector<QAction*> sortActions_;
};

} // namespace qp::addressbook
