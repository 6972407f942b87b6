#include "addressbook/ui/address_main.h"

#include "addressbook/deleted_records.h"
#include "addressbook/ui/test_page_commands.h"

#include "addressbook/new_database_rules.h"
#include "addressbook/new_record_rules.h"
#include "addressbook/ui/dialog_calls.h"
#include "addressbook/ui/rebuild_windows.h"
#include "addressbook/ui/record_editors.h"
#include "addressbook/ui/tool_session.h"
#include "print/ui/window_hooks.h"
#include "store/address_file.h"
#include "store/address_filter.h"
#include "store/locale_dates.h"
#include "store/program_folder.h"
#include "store/shared_routines.h"
#include "store/table_files.h"
#include "store/ui/common_dialogs.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDate>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>

#include <chrono>

namespace qp::addressbook {

using ui::qs;

namespace {

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

std::string str(const QString& s) {
    return s.toStdString();
}

std::string todayEightDigits() {
    auto now = store::CurrentLocalDateTime();
    return store::EightDigitDate(std::chrono::year_month_day{
        std::chrono::year{now.year}, std::chrono::month{unsigned(now.month)},
        std::chrono::day{unsigned(now.day)}});
}

// Memo text as the address file keeps it (CR LF line breaks), and back.
std::string memoToStored(const QString& boxText) {
    QString t = boxText;
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return str(t);
}

QString memoFromStored(const std::string& stored) {
    QString t = qs(stored);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

// Keys the window handles itself, which the edit boxes must not take.
bool windowKey(const QKeyEvent& e) {
    const auto mods = e.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    switch (e.key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return mods == Qt::NoModifier || mods == Qt::ControlModifier;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        return mods == Qt::ControlModifier;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return mods == Qt::ControlModifier || mods == Qt::AltModifier;
    case Qt::Key_Escape:
        return mods == Qt::NoModifier;
    default:
        return false;
    }
}

struct FieldPlace {
    const char* field;
    const char* label;
};

} // namespace

// ---------------------------------------------------------------------------
// Construction

TAddressMain::TAddressMain(QWidget* parent) : QMainWindow(parent), filterFiles_(this) {
    setObjectName(QStringLiteral("TAddressMain"));
    setWindowTitle(QStringLiteral("Quillpost"));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(QApplication::font().pointSizeF());
    setFont(font);
    RegisterBuiltInTools();
    buildActions();
    buildMenus();
    buildToolBar();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    stack_ = new QStackedWidget(central);
    notice_ = new QLabel(QStringLiteral("Please Open or Create a Quillpost Address file"), stack_);
    notice_->setObjectName(QStringLiteral("noFileNotice"));
    notice_->setAlignment(Qt::AlignCenter);
    QFont big = notice_->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    notice_->setFont(big);
    notice_->setWordWrap(true);
    stack_->addWidget(notice_);
    stack_->addWidget(buildRecordArea());
    layout->addWidget(stack_, 1);
    layout->addWidget(buildBottomRow());
    setCentralWidget(central);
    tabs_->setCurrentIndex(0);
    OnOpenQPWFile(false);
    SetButtons();
}

TAddressMain::~TAddressMain() {
    if (ui::MainWindow() == this)
        ui::SetMainWindow(nullptr);
}

QAction* TAddressMain::makeAction(const QString& objectName, const QString& caption,
                                  const QKeySequence& shortcut, void (TAddressMain::*slot)()) {
    auto* a = new QAction(caption, this);
    a->setObjectName(objectName);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    if (slot)
        connect(a, &QAction::triggered, this, slot);
    actions_[objectName] = a;
    return a;
}

QAction* TAddressMain::makeToolAction(Tool tool, const QString& objectName, const QString& caption,
                                      const QKeySequence& shortcut) {
    auto* a = new QAction(caption, this);
    a->setObjectName(objectName);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    connect(a, &QAction::triggered, this, [this, tool] { RunTool(tool); });
    actions_[objectName] = a;
    toolActions_[tool] = a;
    return a;
}

void TAddressMain::buildActions() {
    using K = QKeySequence;
    makeAction("actNew", "&New Address Database", {}, &TAddressMain::NewDatabase);
    makeAction("actOpen", "&Open Address DataBase", {}, &TAddressMain::OpenDatabase);
    makeToolAction(Tool::Browse, "actBrowse", "&Browse", K(Qt::CTRL | Qt::Key_B));
    makeToolAction(Tool::Search, "actSearch", "&Search", K(Qt::CTRL | Qt::Key_S));
    makeToolAction(Tool::ImportDbf, "actImportDbf", "Import from &DBF File");
    makeToolAction(Tool::ImportAscii, "actImportAscii", "Import from &ASCII File");
    makeToolAction(Tool::ImportVCard, "actImportVCard", "Import from &vCard");
    makeToolAction(Tool::ImportVersion1, "actImportV1", "Import from Quillpost 1.x DBF");
    makeToolAction(Tool::ImportVersion2, "actImportV2", "Import from Quillpost 2.x DBF");
    makeToolAction(Tool::Export, "actExport", "&Export ");
    makeAction("actSetFilter", "Set &Filter", K(Qt::CTRL | Qt::Key_F), &TAddressMain::SetFilter);
    makeAction("actClearFilter", "&Clear Filter", {}, &TAddressMain::ClearFilter);
    makeAction("actSaveFilter", "Sa&ve Filter", {}, &TAddressMain::SaveFilter);
    makeAction("actRestoreFilter", "Restore Fi&lter", {}, &TAddressMain::RestoreFilter);
    makeToolAction(Tool::ClearTags, "actClearTags", "Clear &Tags");
    makeToolAction(Tool::TagAllFilterMatches, "actTagAll", "Tag &All Filter Matches");
    makeToolAction(Tool::RebuildIndexes, "actRebuild", "&Rebuild Indexes for this file");
    makeToolAction(Tool::RebuildSystemIndexes, "actRebuildSystem", "Rebuild S&ystem File indexes");
    makeToolAction(Tool::Preferences, "actPreferences", "&Preferences");
    exitAction_ = makeAction("actExit", "E&xit ", {}, nullptr);
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);

    makeAction("actUndo", "&Undo typing", {}, nullptr);
    makeAction("actCut", "Cu&t", {}, nullptr);
    makeAction("actCopy", "&Copy", {}, nullptr);
    makeAction("actPaste", "&Paste", {}, nullptr);
    auto onFocused = [this](const char* name, auto lineFn, auto memoFn) {
        connect(actions_[name], &QAction::triggered, this, [lineFn, memoFn] {
            QWidget* w = QApplication::focusWidget();
            if (auto* e = qobject_cast<QLineEdit*>(w))
                (e->*lineFn)();
            else if (auto* m = qobject_cast<QPlainTextEdit*>(w))
                (m->*memoFn)();
        });
    };
    onFocused("actUndo", &QLineEdit::undo, &QPlainTextEdit::undo);
    onFocused("actCut", &QLineEdit::cut, &QPlainTextEdit::cut);
    onFocused("actCopy", &QLineEdit::copy, &QPlainTextEdit::copy);
    onFocused("actPaste", &QLineEdit::paste, &QPlainTextEdit::paste);

    makeAction("actFirst", "&First", K(Qt::CTRL | Qt::Key_Up), &TAddressMain::First);
    makeAction("actPrior", "&Previous", K(Qt::CTRL | Qt::Key_Left), &TAddressMain::Prior);
    makeAction("actNext", "&Next", K(Qt::CTRL | Qt::Key_Right), &TAddressMain::Next);
    makeAction("actLast", "&Last", K(Qt::CTRL | Qt::Key_Down), &TAddressMain::Last);
    makeAction("actAdd", "&Add\tAlt+A", {}, &TAddressMain::Add);
    connect(makeAction("actEdit", "&Edit\tAlt+E", {}, nullptr), &QAction::triggered, this,
            [this] { BeginEdit(); });
    makeAction("actDelete", "&Delete\tAlt+D", {}, &TAddressMain::DeleteRecord);
    makeAction("actUndelete", "&Undelete", {}, &TAddressMain::UndeleteRecord);
    makeAction("actCopyRecord", "Copy To &Clipboard", {}, &TAddressMain::CopyToClipboard);
    makeAction("actClone", "Create a Duplicate &Record (Clone)", {}, &TAddressMain::CloneRecord);

    makeToolAction(Tool::CountZipCodes, "actCountZip", "Count &Zip Codes");
    makeToolAction(Tool::CheckStateZip, "actCheckStateZip", "Check && Repair &State and Zip Codes");
    makeToolAction(Tool::CheckDuplicates, "actCheckDuplicates", "Check && Repair &Duplicates");
    makeToolAction(Tool::ConvertCase, "actConvertCase", "Con&vert Case");
    makeToolAction(Tool::DeleteRecords, "actDeleteRecords", "Delete &Records");
    makeToolAction(Tool::SearchReplace, "actSearchReplace", "Search && Re&place Field Values");

    makeToolAction(Tool::PrintLabels, "actLabels", "Print &Labels", K(Qt::CTRL | Qt::Key_L));
    makeToolAction(Tool::PrintLetters, "actLetters", "Print Le&tters", K(Qt::CTRL | Qt::Key_T));
    makeToolAction(Tool::PrintEnvelopes, "actEnvelopes", "Print &Envelopes",
                   K(Qt::CTRL | Qt::Key_E));
    makeToolAction(Tool::PrintReports, "actReports", "Print &Reports", K(Qt::CTRL | Qt::Key_R));
    makeToolAction(Tool::PrintCurrentRecord, "actPrintCurrent", "Print C&urrent Record",
                   K(Qt::CTRL | Qt::Key_P));
    makeToolAction(Tool::SearchMemo, "actSearchMemo", "Search &Memo");
    makeToolAction(Tool::FindNext, "actFindNext", "Find &Next");
    makeToolAction(Tool::DialPhone1, "actDial1", "Dial Phone &1");
    makeToolAction(Tool::DialPhone2, "actDial2", "Dial Phone &2");
    makeToolAction(Tool::ToggleTag, "actToggleTag", "Tagged");

    connect(makeAction("actHelpContents", "&Contents", {}, nullptr), &QAction::triggered, this,
            [this] { print::ShowHelpTopic(this, kHelpTopic); });
    connect(makeAction("actHelpContext", QString(), QKeySequence::HelpContents, nullptr),
            &QAction::triggered, this, [this] { print::ShowHelpTopic(this, kHelpTopic); });
    makeAction("actGettingStarted", "&Getting Started", {}, &TAddressMain::ShowGettingStarted);
    makeAction("actAbout", "&About...", {}, &TAddressMain::ShowAbout);
    connect(makeAction("actHelpSearch", "Search for Help On", {}, nullptr), &QAction::triggered,
            this, [this] { print::ShowHelpTopic(this, kHelpTopic); });
    connect(makeAction("actHelpHowTo", "How to Use Help", {}, nullptr), &QAction::triggered, this,
            [this] { print::ShowHelpTopic(this, kHelpTopic); });

    // Keys of the window that are not menu items.
    auto key = [this](const QKeySequence& k, auto fn) {
        auto* a = new QAction(this);
        a->setShortcut(k);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        connect(a, &QAction::triggered, this, fn);
    };
    key(K(Qt::Key_PageDown), [this] { pageDown(false); });
    key(K(Qt::CTRL | Qt::Key_PageDown), [this] { pageDown(true); });
    key(K(Qt::Key_PageUp), [this] { pageUp(false); });
    key(K(Qt::CTRL | Qt::Key_PageUp), [this] { pageUp(true); });
    key(K(Qt::Key_Escape), [this] { escapePressed(); });
    for (auto k : {Qt::Key_Return, Qt::Key_Enter}) {
        key(K(Qt::CTRL | k), [this] {
            if (editing_)
                Save();
        });
        key(K(Qt::ALT | k), [this] { saveAndAddAnother(); });
    }

    toolHints_ = {
        {Tool::PrintLabels, "Click here or press CTRL+L to print/design labels"},
        {Tool::PrintLetters, "Click here or press CTRL+T to print/design letters"},
        {Tool::PrintEnvelopes, "Click here or press CTRL+E to print/design envelopes"},
        {Tool::PrintReports, "Click here or press CTRL+R to print/design reports"},
        {Tool::Browse, "Click here or press CTRL+B for a table view of the database"},
        {Tool::Search, "Click here or press CTRL+S to search for a specific value"},
    };
}

void TAddressMain::buildMenus() {
    auto* bar = menuBar();
    fileMenu_ = bar->addMenu(QStringLiteral("&File"));
    fileMenu_->setObjectName(QStringLiteral("menuFile"));
    fileMenu_->setToolTipsVisible(true);
    for (const char* name : {"actNew", "actOpen", "actBrowse", "actSearch"})
        fileMenu_->addAction(actions_[name]);
    importMenu_ = fileMenu_->addMenu(QStringLiteral("&Import"));
    importMenu_->setToolTipsVisible(true);
    for (const char* name :
         {"actImportDbf", "actImportAscii", "actImportVCard", "actImportV1", "actImportV2"})
        importMenu_->addAction(actions_[name]);
    fileMenu_->addAction(actions_["actExport"]);
    fileMenu_->addSeparator();
    for (const char* name : {"actSetFilter", "actClearFilter", "actSaveFilter", "actRestoreFilter"})
        fileMenu_->addAction(actions_[name]);
    fileMenu_->addSeparator();
    for (const char* name : {"actClearTags", "actTagAll"})
        fileMenu_->addAction(actions_[name]);
    fileMenu_->addSeparator();
    for (const char* name : {"actRebuild", "actRebuildSystem", "actPreferences"})
        fileMenu_->addAction(actions_[name]);
    fileMenu_->addSeparator();
    fileMenu_->addAction(exitAction_);
    mruSeparator_ = fileMenu_->addSeparator();

    // Hidden, so without a mnemonic: a hidden menu still claims its Alt key
    // and would take Alt+E from the Edit button.
    editMenu_ = bar->addMenu(QStringLiteral("Edit"));
    for (const char* name : {"actUndo", "actCut", "actCopy", "actPaste"})
        editMenu_->addAction(actions_[name]);
    editMenu_->menuAction()->setVisible(false);

    recordMenu_ = bar->addMenu(QStringLiteral("&Record"));
    recordMenu_->setObjectName(QStringLiteral("menuRecord"));
    for (const char* name : {"actFirst", "actPrior", "actNext", "actLast"})
        recordMenu_->addAction(actions_[name]);
    recordMenu_->addSeparator();
    for (const char* name : {"actAdd", "actEdit", "actDelete", "actUndelete"})
        recordMenu_->addAction(actions_[name]);
    recordMenu_->addSeparator();
    for (const char* name : {"actCopyRecord", "actClone"})
        recordMenu_->addAction(actions_[name]);

    sortMenu_ = bar->addMenu(QStringLiteral("Sor&t"));
    sortMenu_->setObjectName(QStringLiteral("menuSort"));
    auto* group = new QActionGroup(this);
    for (const auto& order : kSortOrders) {
        auto* a = sortMenu_->addAction(text(order.caption));
        a->setCheckable(true);
        a->setObjectName(QStringLiteral("sort") + text(order.tag));
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, a] { SetOrderTo(a->text()); });
        sortActions_.push_back(a);
    }

    utilitiesMenu_ = bar->addMenu(QStringLiteral("&Utilities"));
    utilitiesMenu_->setObjectName(QStringLiteral("menuUtilities"));
    utilitiesMenu_->setToolTipsVisible(true);
    for (const char* name : {"actCountZip", "actCheckStateZip", "actCheckDuplicates",
                             "actConvertCase", "actDeleteRecords", "actSearchReplace"})
        utilitiesMenu_->addAction(actions_[name]);

    printMenu_ = bar->addMenu(QStringLiteral("&Print"));
    printMenu_->setObjectName(QStringLiteral("menuPrint"));
    printMenu_->setToolTipsVisible(true);
    for (const char* name :
         {"actLabels", "actLetters", "actEnvelopes", "actReports", "actPrintCurrent"})
        printMenu_->addAction(actions_[name]);
    printMenu_->addSeparator();
    auto* testPage = printMenu_->addAction(QStringLiteral("Printer Test &Page..."), this,
                                           [this] { PrintTestPage(this, false); });
    testPage->setObjectName(QStringLiteral("actPrintTestPage"));
    auto* previewTestPage = printMenu_->addAction(QStringLiteral("Pre&view Test Page"), this,
                                                  [this] { PrintTestPage(this, true); });
    previewTestPage->setObjectName(QStringLiteral("actPreviewTestPage"));

    auto* help = bar->addMenu(QStringLiteral("&Help"));
    for (const char* name :
         {"actHelpContents", "actGettingStarted", "actAbout", "actHelpSearch", "actHelpHowTo"})
        help->addAction(actions_[name]);
}

void TAddressMain::buildToolBar() {
    toolBar_ = addToolBar(QStringLiteral("Tools"));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setMovable(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (auto [tool, caption] :
         {std::pair{Tool::PrintLabels, "Labels"}, std::pair{Tool::PrintLetters, "Letters"},
          std::pair{Tool::PrintEnvelopes, "Envelopes"}, std::pair{Tool::PrintReports, "Reports"},
          std::pair{Tool::Browse, "Browse"}, std::pair{Tool::Search, "Search"}}) {
        auto* button = new QToolButton(toolBar_);
        button->setObjectName(QStringLiteral("tb") + caption);
        button->setText(caption);
        connect(button, &QToolButton::clicked, toolActions_[tool], &QAction::trigger);
        toolBar_->addWidget(button);
    }
    auto* filter = new QToolButton(toolBar_);
    filter->setObjectName(QStringLiteral("tbFilter"));
    filter->setText(QStringLiteral("Filter"));
    filter->setToolTip(QStringLiteral("Click here or press CTRL+F to set or change a filter"));
    connect(filter, &QToolButton::clicked, this, &TAddressMain::SetFilter);
    toolBar_->addWidget(filter);
    toolBar_->addSeparator();
    QAction* whatsThis = QWhatsThis::createAction(this);
    whatsThis->setText(QStringLiteral("?"));
    toolBar_->addAction(whatsThis);
}

void TAddressMain::addField(const QString& field, TRecordLineEdit* edit) {
    fields_[field] = edit;
    fieldOrder_.push_back(edit);
    edit->installEventFilter(this);
    connect(edit, &TRecordLineEdit::editRequested, this, [this] { BeginEdit(); });
    connect(edit, &TRecordLineEdit::refused, this, &TAddressMain::refuseCharacter);
}

QWidget* TAddressMain::buildRecordArea() {
    recordArea_ = new QWidget;
    recordArea_->setObjectName(QStringLiteral("recordArea"));
    auto* outer = new QVBoxLayout(recordArea_);
    outer->setContentsMargins(0, 0, 0, 0);

    auto makeEdit = [this](const QString& field, QWidget* parent, bool upper = false) {
        auto* e = new TRecordLineEdit(field, upper, parent);
        e->setReadOnly(true);
        addField(field, e);
        return e;
    };
    auto makeLabel = [this](const QString& field, const QString& caption, QWidget* buddy,
                            QWidget* parent) {
        auto* l = new QLabel(caption, parent);
        l->setObjectName(QStringLiteral("lbl") + field);
        l->setBuddy(buddy);
        labels_[field] = l;
        return l;
    };

    // Name panel
    namePanel_ = new QWidget(recordArea_);
    namePanel_->setObjectName(QStringLiteral("namePanel"));
    auto* names = new QGridLayout(namePanel_);
    const FieldPlace nameFields[] = {{"LNAME", "Last"},    {"FNAME", "First"}, {"MIDDLE", "MI"},
                                     {"PREFIX", "Prefix"}, {"TITLE", "Title"}, {"ORG", "Org"}};
    struct Cell {
        int row, column, span;
    };
    const Cell cells[] = {{0, 0, 1}, {0, 2, 1}, {0, 4, 1}, {1, 0, 1}, {1, 2, 3}, {2, 0, 5}};
    for (std::size_t i = 0; i < std::size(nameFields); ++i) {
        QString field = nameFields[i].field;
        auto* e = makeEdit(field, namePanel_, field == "MIDDLE");
        names->addWidget(makeLabel(field, nameFields[i].label, e, namePanel_), cells[i].row,
                         cells[i].column);
        names->addWidget(e, cells[i].row, cells[i].column + 1, 1, cells[i].span);
    }
    names->setColumnStretch(1, 3);
    names->setColumnStretch(3, 3);
    names->setColumnStretch(5, 0);
    fields_["MIDDLE"]->setMaximumWidth(fields_["MIDDLE"]->fontMetrics().averageCharWidth() * 5);
    outer->addWidget(namePanel_);

    // Tabs
    tabs_ = new QTabWidget(recordArea_);
    tabs_->setObjectName(QStringLiteral("recordTabs"));
    auto* address = new QWidget;
    address->setObjectName(QStringLiteral("addressPage"));
    auto* grid = new QGridLayout(address);
    const FieldPlace left[] = {{"STREET", "Address 1"},  {"STREET2", "Address 2"},
                               {"CITY", "City"},         {"STATE", "State or Prov"},
                               {"ZIP", "Zip or Postal"}, {"COUNTRY", "Country"},
                               {"DATE", "Date"}};
    const FieldPlace right[] = {
        {"PHONE", "Phone 1"}, {"PHONE2", "Phone 2"},  {"FAX", "Fax"},        {"EMAIL", "E-mail"},
        {"CODES", "Codes"},   {"USER1", "Comment 1"}, {"USER2", "Comment 2"}};
    int row = 0;
    for (const auto& f : left) {
        auto* e = makeEdit(f.field, address);
        grid->addWidget(makeLabel(f.field, f.label, e, address), row, 0);
        grid->addWidget(e, row, 1);
        ++row;
    }
    dateButton_ = new QPushButton(QStringLiteral("Date"), address);
    dateButton_->setObjectName(QStringLiteral("btnDate"));
    connect(dateButton_, &QPushButton::clicked, this, &TAddressMain::SelectDate);
    grid->addWidget(dateButton_, row - 1, 2);
    row = 0;
    for (const auto& f : right) {
        auto* e = makeEdit(f.field, address);
        grid->addWidget(makeLabel(f.field, f.label, e, address), row, 3);
        grid->addWidget(e, row, 4);
        ++row;
    }
    dial1_ = new QPushButton(QStringLiteral("Dial Phone &1"), address);
    dial1_->setObjectName(QStringLiteral("btnDial1"));
    connect(dial1_, &QPushButton::clicked, this, [this] { RunTool(Tool::DialPhone1); });
    dial2_ = new QPushButton(QStringLiteral("Dial Phone &2"), address);
    dial2_->setObjectName(QStringLiteral("btnDial2"));
    connect(dial2_, &QPushButton::clicked, this, [this] { RunTool(Tool::DialPhone2); });
    grid->addWidget(dial1_, 0, 5);
    grid->addWidget(dial2_, 1, 5);
    tagged_ = new QCheckBox(QStringLiteral("Tagged"), address);
    tagged_->setObjectName(QStringLiteral("chkTagged"));
    connect(tagged_, &QCheckBox::clicked, this, [this] {
        if (editing_)
            return; // stored with the record at Save
        RunTool(Tool::ToggleTag);
        ShowRecord();
    });
    grid->addWidget(tagged_, row, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(row + 1, 1);
    auto* date = fields_["DATE"];
    date->setReadOnly(true);
    date->setValidator(nullptr);
    tabs_->addTab(address, QStringLiteral("Address &Information"));

    auto* memoPage = new QWidget;
    memoPage->setObjectName(QStringLiteral("memoPage"));
    auto* memoLayout = new QVBoxLayout(memoPage);
    memo_ = new TMemoEdit(memoPage);
    memo_->setReadOnly(true);
    memo_->installEventFilter(this);
    connect(memo_, &TMemoEdit::editRequested, this, [this] { BeginEdit(); });
    connect(memo_, &TMemoEdit::refused, this, &TAddressMain::refuseCharacter);
    memoLayout->addWidget(memo_, 1);
    auto* memoButtons = new QHBoxLayout;
    searchMemo_ = new QPushButton(QStringLiteral("Search Mem&o"), memoPage);
    searchMemo_->setObjectName(QStringLiteral("btnSearchMemo"));
    connect(searchMemo_, &QPushButton::clicked, this, [this] { RunTool(Tool::SearchMemo); });
    findNext_ = new QPushButton(QStringLiteral("Find &Next"), memoPage);
    findNext_->setObjectName(QStringLiteral("btnFindNext"));
    connect(findNext_, &QPushButton::clicked, this, [this] { RunTool(Tool::FindNext); });
    memoButtons->addWidget(searchMemo_);
    memoButtons->addWidget(findNext_);
    memoButtons->addStretch(1);
    memoLayout->addLayout(memoButtons);
    tabs_->addTab(memoPage, QStringLiteral("&Memo"));
    outer->addWidget(tabs_, 1);

    // Tab order: the name panel, then the address page as listed.
    QWidget* previous = nullptr;
    for (const char* f : {"LNAME",   "FNAME", "MIDDLE", "PREFIX", "TITLE",   "ORG",  "STREET",
                          "STREET2", "CITY",  "STATE",  "ZIP",    "COUNTRY", "DATE", "PHONE",
                          "PHONE2",  "FAX",   "EMAIL",  "CODES",  "USER1",   "USER2"}) {
        QWidget* w = fields_[f];
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
    setTabOrder(previous, tagged_);
    return recordArea_;
}

QWidget* TAddressMain::buildBottomRow() {
    auto* panel = new QWidget;
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    const std::pair<const char*, QStyle::StandardPixmap> nav[] = {
        {"actFirst", QStyle::SP_MediaSkipBackward},
        {"actPrior", QStyle::SP_MediaSeekBackward},
        {"actNext", QStyle::SP_MediaSeekForward},
        {"actLast", QStyle::SP_MediaSkipForward}};
    const char* navTips[] = {"First record (Ctrl+Up)", "Previous record (Ctrl+Left)",
                             "Next record (Ctrl+Right)", "Last record (Ctrl+Down)"};
    for (std::size_t i = 0; i < std::size(nav); ++i) {
        auto* b = new QToolButton(panel);
        b->setObjectName(QStringLiteral("nav") + QString(nav[i].first).mid(3));
        b->setIcon(style()->standardIcon(nav[i].second));
        b->setToolTip(navTips[i]);
        b->setAutoRaise(false);
        connect(b, &QToolButton::clicked, actions_[nav[i].first], &QAction::trigger);
        row->addWidget(b);
        navButtons_.push_back(b);
    }
    row->addSpacing(12);
    auto button = [&](const char* name, const char* caption, auto fn) {
        auto* b = new QPushButton(QString::fromUtf8(caption), panel);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, fn);
        row->addWidget(b);
        return b;
    };
    save_ = button("btnSave", "&Save", [this] { Save(); });
    cancel_ = button("btnCancel", "&Cancel", [this] { CancelEdit(); });
    add_ = button("btnAdd", "&Add", [this] { Add(); });
    edit_ = button("btnEdit", "&Edit", [this] { BeginEdit(); });
    delete_ = button("btnDelete", "&Delete", [this] { DeleteRecord(); });
    exit_ = button("btnExit", "E&xit", [this] { close(); });
    clearFilter_ = button("btnClearFilter", "Clear Filter", [this] { ClearFilter(); });
    row->addStretch(1);
    v->addLayout(row);

    readOnlyStatus_ = new QLabel(panel);
    readOnlyStatus_->setObjectName(QStringLiteral("readOnlyStatus"));
    readOnlyStatus_->setWordWrap(true);
    readOnlyStatus_->setVisible(false);
    v->addWidget(readOnlyStatus_);
    auto* statusRow = new QHBoxLayout;
    filterStatus_ = new QLabel(panel);
    filterStatus_->setObjectName(QStringLiteral("filterStatus"));
    sortStatus_ = new QLabel(panel);
    sortStatus_->setObjectName(QStringLiteral("sortStatus"));
    typingMode_ = new QLabel(panel);
    typingMode_->setObjectName(QStringLiteral("typingMode"));
    for (auto* l : {filterStatus_, sortStatus_, typingMode_}) {
        l->setFrameShape(QFrame::StyledPanel);
        l->setFrameShadow(QFrame::Sunken);
        statusRow->addWidget(l, l == typingMode_ ? 0 : 1);
    }
    v->addLayout(statusRow);
    return panel;
}

// ---------------------------------------------------------------------------
// Start-up and shut-down

void TAddressMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!startedUp_ && !startUpQueued_) {
        startUpQueued_ = true;
        QTimer::singleShot(0, this, &TAddressMain::StartUp);
    }
}

void TAddressMain::StartUp() {
    if (startedUp_)
        return;
    startedUp_ = true;
    ui::SetMainWindow(this);
    ui::RestoreWindowPlacement(*this);
    centralWidget()->setVisible(false);
    setWindowTitle(QStringLiteral("Quillpost"));

    store::ClearQueryVars(filter_);
    LoadPreferences();

    auto settings = store::SettingsFile::standard();
    std::vector<std::string> mru = store::ReadMruList(settings);
    if (!mru.empty()) {
        OpenQPWDBF(qs(mru.front()));
    } else {
        std::string path = store::defaultAddressFilePath();
        bool ready = store::fileExists(path);
        if (!ready) {
            auto lengths = store::ReadNewFileFieldLengths(settings);
            auto created = store::createAddressFile(path, ToFieldLengths(lengths));
            if (!created)
                ui::ShowInfo(qs(created.error()), this);
            ready = created.ok();
        }
        if (ready)
            OpenQPWDBF(qs(path));
    }
    UpdateMenuMRUList();
    SetButtons();
    ui::CheckPrinterReady(this);
    if (!store::ReadGettingStartedOff(store::SettingsFile::standard()))
        QTimer::singleShot(0, this, &TAddressMain::ShowGettingStarted);
    centralWidget()->setVisible(true);
}

void TAddressMain::closeEvent(QCloseEvent* event) {
    if (editing_) {
        if (ui::AskYesNo(QStringLiteral("Save changes?"), QStringLiteral("Save"), this)) {
            if (!Save()) {
                event->ignore();
                return;
            }
        } else {
            CancelEdit();
        }
    }
    table_.reset();
    if (startedUp_)
        ui::SaveWindowPlacement(*this);
    event->accept();
}

void TAddressMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (isMaximized() || isMinimized() || !isVisible() || !screen())
        return;
    const QRect screenRect = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    QPoint to = frame.topLeft();
    if (frame.right() > screenRect.right() && frame.left() > screenRect.left())
        to.setX(screenRect.left());
    if (frame.bottom() > screenRect.bottom() && frame.top() > screenRect.top())
        to.setY(screenRect.top());
    if (to != frame.topLeft())
        move(to);
}

void TAddressMain::LoadPreferences() {
    auto settings = store::SettingsFile::standard();
    prefs_ = store::ReadAddingPreferences(settings);
    tagId_ = store::LoadGlobalTagId(settings);
}

// ---------------------------------------------------------------------------
// Files

bool TAddressMain::OpenQPWFile(const QString& path) {
    table_.reset();
    indexValid_ = false;
    const std::string p = str(path);
    if (!store::fileExists(p))
        ui::ShowInfo(QStringLiteral("File ") + path + QStringLiteral(" not found"), this);
    auto opened = store::openAddressFile(p, store::OpenMode::Exclusive);
    if (!opened) {
        ui::ShowInfo(qs(OpenFailedMessage(p, opened.error())), this);
        return false;
    }
    table_.emplace(std::move(*opened));
    table_->setDeleted(true);
    CheckValidIndex();
    return true;
}

bool TAddressMain::CheckValidIndex() {
    indexValid_ = table_ && store::addressIndexValid(*table_);
    return indexValid_;
}

bool TAddressMain::rebuildIndexesNow() {
    TRebuildIndexesForm form(*table_, this);
    form.exec();
    return CheckValidIndex();
}

bool TAddressMain::OpenQPWDBF(const QString& path) {
    if (path.trimmed().isEmpty())
        return false;
    ++displaySuspended_;
    if (table_)
        (void)table_->setQuery({});
    const bool opened = OpenQPWFile(path);
    if (opened && !table_->damage().empty()) {
        // A damaged file stays read-only unless it is repaired now.
        if (ui::AskYesNo(qs(DamagedFileQuestion(table_->damage())), QStringLiteral("Warning"),
                         this))
            rebuildIndexesNow();
    }
    if (opened && !indexValid_) {
        bool rebuilt =
            ui::AskYesNo(qs(InvalidIndexQuestion(str(path))), QStringLiteral("Warning"), this) &&
            rebuildIndexesNow();
        if (!rebuilt)
            table_.reset();
    }
    OnOpenQPWFile(table_.has_value());
    --displaySuspended_;
    if (opened) {
        UpdateMRUList(path);
        currentFile_ = path;
    } else {
        currentFile_.clear();
    }
    setWindowTitle(QStringLiteral("Quillpost - ") + path);
    memoSearchText_.clear();
    memoSearchFound_ = false;
    ShowRecord();
    SetButtons();
    return table_.has_value();
}

void TAddressMain::OnOpenQPWFile(bool opened) {
    if (!opened) {
        table_.reset();
        stack_->setCurrentWidget(notice_);
        currentOrder_.clear();
        sortStatus_->clear();
        for (auto* a : sortActions_)
            a->setChecked(false);
        return;
    }
    stack_->setCurrentWidget(recordArea_);
    SetOrderTo(QStringLiteral("&Last Name"));
    ApplyFilter();
    table_->first();
}

QString TAddressMain::GetDatabasePath() const {
    if (currentFile_.isEmpty())
        return {};
    return QFileInfo(currentFile_).absolutePath() + QLatin1Char('/');
}

void TAddressMain::UpdateMRUList(const QString& path) {
    auto settings = store::SettingsFile::standard();
    auto list = store::MruListWithFirst(store::ReadMruList(settings), str(path));
    (void)store::WriteMruList(settings, list);
    UpdateMenuMRUList();
}

QString TAddressMain::GetMRUFile() const {
    auto list = store::ReadMruList(store::SettingsFile::standard());
    return list.empty() ? QString() : qs(list.front());
}

void TAddressMain::UpdateMenuMRUList() {
    for (auto* a : mruActions_) {
        fileMenu_->removeAction(a);
        a->setObjectName({});
        a->deleteLater(); // it may be the one being triggered
    }
    mruActions_.clear();
    for (const auto& item : store::ReadMruList(store::SettingsFile::standard())) {
        QString path = qs(item);
        auto* a = new QAction(path, fileMenu_);
        a->setObjectName(QStringLiteral("mru%1").arg(mruActions_.size() + 1));
        connect(a, &QAction::triggered, this, [this, path] { openRecentFile(path); });
        fileMenu_->addAction(a);
        mruActions_.push_back(a);
    }
}

void TAddressMain::openRecentFile(const QString& path) {
    QString before = currentFile_;
    bool wasOpen = fileOpen();
    if (!OpenQPWDBF(path) && wasOpen && !before.isEmpty())
        OpenQPWDBF(before);
}

void TAddressMain::reopenCurrentFile() {
    QString path = currentFile_;
    table_.reset();
    if (!path.isEmpty() && OpenQPWFile(path) && indexValid_)
        return;
    OnOpenQPWFile(false);
    currentFile_.clear();
}

void TAddressMain::OpenDatabase() {
    QString start = qs(store::DataFolder().string());
    QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Open Address DataBase"),
                                                  start, QStringLiteral("DBF Files (*.dbf *.DBF)"));
    if (chosen.isEmpty())
        return;
    if (!QFileInfo::exists(chosen))
        return;
    if (QFileInfo(chosen).suffix().toUpper() != QStringLiteral("DBF")) {
        ui::ShowInfo(QStringLiteral("Must be a DBF file"), this);
        return;
    }
    OpenQPWDBF(chosen);
}

void TAddressMain::NewDatabase() {
    auto choice = AskNewDatabase(this);
    if (!choice)
        return;
    const std::string path = choice->path.string();
    if (store::fileExists(path))
        return;
    auto created = store::createAddressFile(path, choice->lengths);
    if (!created) {
        ui::ShowInfo(qs(created.error()), this);
        return; // the file open stays open
    }
    table_.reset();
    OpenQPWDBF(qs(path));
}

// ---------------------------------------------------------------------------
// Orders and filter

void TAddressMain::SetCurrentOrder(const QString& tag) {
    currentOrder_ = tag;
    if (!table_)
        return;
    const bool onRecord = hasRecord();
    const auto recno = table_->recNo();
    (void)table_->setOrder(tag.isEmpty() ? 0 : table_->tagArea(str(tag)));
    if (onRecord)
        table_->go(recno);
}

void TAddressMain::SetOrderTo(const QString& caption) {
    const SortOrder* order = SortOrderForCaption(str(caption));
    if (!order)
        return;
    SetCurrentOrder(text(order->tag));
    sortStatus_->setText(QStringLiteral("Sorted by ") + qs(CaptionText(order->caption)));
    for (auto* a : sortActions_)
        a->setChecked(a->text() == text(order->caption));
    ShowRecord();
}

std::uint32_t TAddressMain::ApplyFilter() {
    if (!table_)
        return 0;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    store::FilterOutcome outcome = store::ApplyFilter(*table_, filter_, tagId_);
    QGuiApplication::restoreOverrideCursor();
    if (!outcome.message.empty())
        ui::ShowInfo(qs(outcome.message), this);
    UpdateFilterStatus();
    return outcome.matches;
}

void TAddressMain::SetFilter() {
    if (editing_) {
        QApplication::beep();
        return;
    }
    if (!table_)
        return;
    RunFilterWindow(*this);
    ShowRecord();
    SetButtons();
}

void TAddressMain::ClearFilter() {
    if (!table_)
        return;
    store::ClearQueryVars(filter_);
    ApplyFilter();
    table_->first();
    ShowRecord();
    SetButtons();
}

void TAddressMain::SaveFilter() {
    filterFiles_.saveFilter(filter_);
}

void TAddressMain::RestoreFilter() {
    if (!table_)
        return;
    auto outcome = filterFiles_.restoreFilter(*table_, filter_, tagId_);
    if (!outcome)
        return;
    ShowRecord();
    SetButtons();
}

// ---------------------------------------------------------------------------
// State and display

bool TAddressMain::hasRecord() const {
    return table_ && !table_->eof() && table_->recNo() != table_->recCount() + 1;
}

MainWindowState TAddressMain::state() const {
    return {fileOpen(), editing_, hasRecord(), filterSet()};
}

FieldReader TAddressMain::tableReader() const {
    return [this](std::string_view field) {
        return hasRecord() ? table_->getString(field) : std::string();
    };
}

std::string TAddressMain::shownValue(std::string_view field) const {
    auto it = fields_.find(text(field));
    if (field == "DATE")
        return editing_ ? pendingDate_ : (hasRecord() ? table_->getString("DATE") : std::string());
    return it == fields_.end() ? std::string() : str(it->second->text());
}

void TAddressMain::fillFields(const FieldReader& read) {
    for (auto& [field, edit] : fields_) {
        if (field == QStringLiteral("DATE"))
            continue;
        edit->setText(qs(read(str(field))));
        edit->setCursorPosition(0);
    }
    fields_["DATE"]->setText(
        qs(store::FormatDisplayDate(pendingDate_, store::UserShortDatePattern())));
}

void TAddressMain::ShowRecord() {
    if (displaySuspended_ > 0 || editing_)
        return;
    const bool onRecord = hasRecord();
    pendingDate_ = onRecord ? table_->getString("DATE") : std::string();
    fillFields(tableReader());
    for (auto& [field, edit] : fields_) {
        if (table_) {
            if (auto i = table_->fieldIndex(str(field)))
                edit->setMaxLength(table_->fields()[std::size_t(*i)].length);
        }
        edit->setToolTip({});
    }
    fields_["DATE"]->setMaxLength(32767);
    std::string memo;
    QString memoError;
    if (onRecord) {
        // A memo that cannot be read shows why, never an empty memo.
        auto m = table_->getMemo("MEMO");
        if (m)
            memo = *m;
        else
            memoError = qs(m.error());
    }
    memo_->setPlaceholderText(memoError);
    memo_->setPlainText(memoFromStored(memo));
    tagged_->setChecked(onRecord && !tagId_.empty() && table_->getString("TAG") == tagId_);
    UpdateFilterStatus();
}

void TAddressMain::UpdateFilterStatus() {
    if (!table_) {
        filterStatus_->setVisible(false);
        return;
    }
    filterStatus_->setVisible(true);
    QString status = qs(FilterStatusText(filterSet(), table_->queryRecCount()));
    // A record saved so that it leaves the filter stays shown; say so.
    if (filterSet() && hasRecord() && !table_->dbFilter().empty()) {
        auto inFilter = table_->evalLogical(table_->dbFilter());
        if (inFilter && !*inFilter)
            status += QStringLiteral(" (this record no longer matches the filter)");
    }
    filterStatus_->setText(status);
}

QString TAddressMain::filterStatusText() const {
    return table_ ? filterStatus_->text() : QString();
}

QString TAddressMain::sortStatusText() const {
    return sortStatus_->text();
}

QAction* TAddressMain::toolAction(Tool tool) const {
    auto it = toolActions_.find(tool);
    return it == toolActions_.end() ? nullptr : it->second;
}

TRecordLineEdit* TAddressMain::fieldEdit(const QString& field) const {
    auto it = fields_.find(field);
    return it == fields_.end() ? nullptr : it->second;
}

void TAddressMain::SetButtons() {
    if (!reactToTableEvents_)
        return;
    const ControlStates c = ControlStatesFor(state());
    save_->setVisible(c.saveCancel);
    cancel_->setVisible(c.saveCancel);
    save_->setEnabled(c.saveCancel);
    cancel_->setEnabled(c.saveCancel);
    for (auto* b : {add_, edit_, delete_, exit_})
        b->setVisible(c.browseButtons);
    add_->setEnabled(c.add);
    edit_->setEnabled(c.editDelete);
    delete_->setEnabled(c.editDelete);
    actions_["actAdd"]->setEnabled(c.add);
    actions_["actEdit"]->setEnabled(c.editDelete);
    actions_["actDelete"]->setEnabled(c.editDelete);

    for (const char* name :
         {"actFirst", "actPrior", "actNext", "actLast", "actClone", "actCopyRecord"})
        actions_[name]->setEnabled(c.recordTools);
    for (auto* b : navButtons_)
        b->setEnabled(c.recordTools);
    sortMenu_->menuAction()->setEnabled(c.recordTools);
    printMenu_->menuAction()->setEnabled(c.recordTools);
    utilitiesMenu_->menuAction()->setEnabled(c.recordTools);

    dial1_->setVisible(c.dialAndMemoSearch);
    dial2_->setVisible(c.dialAndMemoSearch);
    searchMemo_->setVisible(c.dialAndMemoSearch);
    findNext_->setVisible(c.findNextAllowed && memoSearchFound_);

    actions_["actSetFilter"]->setEnabled(c.filter);
    if (auto* b = toolBar_->findChild<QToolButton*>(QStringLiteral("tbFilter")))
        b->setEnabled(c.filter);
    clearFilter_->setVisible(c.clearFilterShown);
    clearFilter_->setEnabled(c.clearFilterButton);
    for (const char* name : {"actClearFilter", "actSaveFilter"})
        actions_[name]->setEnabled(c.filterMenuItems);
    actions_["actRestoreFilter"]->setEnabled(c.fileCommands);
    editMenu_->menuAction()->setEnabled(c.fileCommands);
    fileMenu_->menuAction()->setEnabled(c.fileMenu);
    exitAction_->setEnabled(c.fileMenu);
    recordMenu_->menuAction()->setEnabled(c.recordMenu);
    dateButton_->setEnabled(c.saveCancel || c.editDelete);
    // A file that may only be read keeps its browsing but offers no change;
    // the line says why and how to repair it.
    const QString blocked = readOnlyReason();
    if (!blocked.isEmpty()) {
        for (auto* b : {add_, edit_, delete_})
            b->setEnabled(false);
        for (const char* name : {"actAdd", "actEdit", "actDelete", "actClone"})
            actions_[name]->setEnabled(false);
        dateButton_->setEnabled(false);
    }
    // Shown only while the cursor stands on a deleted record (after Browse
    // showed deleted records).
    const bool onDeleted = hasRecord() && !editing_ && table_->deleted();
    actions_["actUndelete"]->setVisible(onDeleted);
    actions_["actUndelete"]->setEnabled(onDeleted && blocked.isEmpty());
    readOnlyStatus_->setVisible(!blocked.isEmpty());
    readOnlyStatus_->setText(blocked.isEmpty() ? QString() : qs(ReadOnlyNotice(str(blocked))));
    showTypingMode();

    // Tools: their rule, and only when something is registered for them.
    auto ruleFor = [&](Tool tool) {
        switch (tool) {
        case Tool::TagAllFilterMatches:
            return c.filterMenuItems;
        case Tool::RebuildIndexes:
        case Tool::ImportDbf:
        case Tool::ImportAscii:
        case Tool::ImportVCard:
            return c.fileCommands;
        case Tool::ImportVersion1:
        case Tool::ImportVersion2:
        case Tool::ClearTags:
            return c.fileCommands && c.fileMenu;
        case Tool::RebuildSystemIndexes:
        case Tool::Preferences:
            return c.fileMenu;
        case Tool::DialPhone1:
        case Tool::DialPhone2:
        case Tool::SearchMemo:
            return c.dialAndMemoSearch;
        case Tool::FindNext:
            return c.findNextAllowed && c.fileCommands;
        case Tool::ToggleTag:
            return c.editDelete;
        default:
            return c.recordTools;
        }
    };
    for (auto& [tool, action] : toolActions_) {
        const bool available = FindTool(tool) != nullptr;
        action->setEnabled(available && ruleFor(tool));
        auto hint = toolHints_.find(tool);
        action->setToolTip(!available                 ? text(kToolNotAvailable)
                           : hint != toolHints_.end() ? hint->second
                                                      : action->text().remove('&'));
    }
    const std::pair<const char*, Tool> toolButtons[] = {{"tbLabels", Tool::PrintLabels},
                                                        {"tbLetters", Tool::PrintLetters},
                                                        {"tbEnvelopes", Tool::PrintEnvelopes},
                                                        {"tbReports", Tool::PrintReports},
                                                        {"tbBrowse", Tool::Browse},
                                                        {"tbSearch", Tool::Search}};
    for (auto [name, tool] : toolButtons) {
        if (auto* b = toolBar_->findChild<QToolButton*>(QString::fromLatin1(name))) {
            b->setEnabled(toolActions_[tool]->isEnabled());
            b->setToolTip(toolActions_[tool]->toolTip());
        }
    }
    for (auto [button, tool] :
         {std::pair{dial1_, Tool::DialPhone1}, std::pair{dial2_, Tool::DialPhone2},
          std::pair{searchMemo_, Tool::SearchMemo}, std::pair{findNext_, Tool::FindNext}}) {
        button->setEnabled(toolActions_[tool]->isEnabled());
        button->setToolTip(toolActions_[tool]->toolTip());
    }
    tagged_->setEnabled(editing_ ? !tagId_.empty() : toolActions_[Tool::ToggleTag]->isEnabled());
    tagged_->setToolTip(FindTool(Tool::ToggleTag) ? QString() : text(kToolNotAvailable));

    if (editing_) {
        QWidget* focus = QApplication::focusWidget();
        const bool inRecord = focus == memo_ || std::find(fieldOrder_.begin(), fieldOrder_.end(),
                                                          focus) != fieldOrder_.end();
        if (!inRecord)
            fields_["LNAME"]->setFocus();
    }
}

RecordAreaLayout TAddressMain::recordAreaLayout() const {
    RecordAreaLayout layout;
    layout.size = recordArea_->size();
    for (auto* edit : fieldOrder_) {
        RecordAreaControl c;
        c.field = edit->field();
        auto label = labels_.find(c.field);
        if (label != labels_.end()) {
            c.label = label->second->text();
            c.labelGeometry =
                QRect(label->second->mapTo(recordArea_, QPoint(0, 0)), label->second->size());
        }
        c.geometry = QRect(edit->mapTo(recordArea_, QPoint(0, 0)), edit->size());
        c.page = namePanel_->isAncestorOf(edit) ? 0 : 1;
        layout.controls.push_back(c);
    }
    RecordAreaControl memo;
    memo.field = QStringLiteral("MEMO");
    memo.geometry = QRect(memo_->mapTo(recordArea_, QPoint(0, 0)), memo_->size());
    memo.page = 2;
    layout.controls.push_back(memo);
    return layout;
}

bool TAddressMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Insert)
        QTimer::singleShot(0, this, &TAddressMain::showTypingMode);
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (windowKey(*key)) {
            // Leave the key to the window's own shortcuts.
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TAddressMain::showTypingMode() {
    typingMode_->setVisible(editing_);
    typingMode_->setText(InsertToggleOn() ? QStringLiteral("Insert") : QStringLiteral("Overtype"));
}

void TAddressMain::refuseCharacter(const QString& character) {
    // Said after the key has been handled, outside the validator.
    QTimer::singleShot(
        0, this, [this, character] { ui::ShowInfo(Windows1252RefusalMessage(character), this); });
}

// ---------------------------------------------------------------------------
// Navigation

void TAddressMain::First() {
    if (!table_ || editing_)
        return;
    table_->first();
    ShowRecord();
    SetButtons();
}

void TAddressMain::Last() {
    if (!table_ || editing_)
        return;
    table_->last();
    ShowRecord();
    SetButtons();
}

void TAddressMain::Next() {
    if (!table_ || editing_ || !hasRecord())
        return;
    if (!table_->next()) {
        QApplication::beep();
        table_->last();
    }
    ShowRecord();
    SetButtons();
}

void TAddressMain::Prior() {
    if (!table_ || editing_ || !hasRecord())
        return;
    if (!table_->prior())
        QApplication::beep();
    ShowRecord();
    SetButtons();
}

void TAddressMain::pageDown(bool control) {
    if (editing_) {
        if (!control && ui::AskYesNo(QStringLiteral("Save changes?"), QStringLiteral("Save"), this))
            Save();
        return;
    }
    control ? Last() : Next();
}

void TAddressMain::pageUp(bool control) {
    if (editing_)
        return;
    control ? First() : Prior();
}

void TAddressMain::escapePressed() {
    if (editing_ && ui::AskYesNo(QStringLiteral("Cancel changes?"), QStringLiteral("Cancel"), this))
        CancelEdit();
}

void TAddressMain::saveAndAddAnother() {
    if (!editing_)
        return;
    if (Save() && ui::AskYesNo(QStringLiteral("Add another record?"), QStringLiteral("Add"), this))
        Add();
}

// ---------------------------------------------------------------------------
// Editing

void TAddressMain::setEditing(bool on) {
    editing_ = on;
    for (auto& [field, edit] : fields_)
        edit->setReadOnly(!on);
    memo_->setReadOnly(!on);
    if (!on) {
        adding_ = false;
        SetSkipFields(false);
    }
}

QString TAddressMain::readOnlyReason() const {
    return table_ ? qs(table_->writeBlock()) : QString();
}

bool TAddressMain::refuseReadOnly() {
    const QString reason = readOnlyReason();
    if (reason.isEmpty())
        return false;
    ui::ShowInfo(qs(ReadOnlyNotice(str(reason))), this);
    return true;
}

bool TAddressMain::BeginEdit() {
    if (editing_)
        return true;
    if (!ControlStatesFor(state()).editDelete)
        return false;
    if (refuseReadOnly())
        return false;
    setEditing(true);
    SetButtons();
    return true;
}

bool TAddressMain::takeTypedDate() {
    auto* box = fields_["DATE"];
    const QString pattern = qs(store::UserShortDatePattern());
    const QString typed = box->text().trimmed();
    if (typed == qs(store::FormatDisplayDate(pendingDate_, str(pattern))))
        return true;
    if (typed.isEmpty()) {
        pendingDate_.clear();
        return true;
    }
    // The pattern writes months as "m"; to Qt that is minutes.
    const QString qtPattern = QString(pattern).replace(QLatin1Char('m'), QLatin1Char('M'));
    const QDate date = QDate::fromString(typed, qtPattern);
    if (!date.isValid()) {
        ui::ShowInfo(QStringLiteral("\"%1\" is not a date. Type it as %2 (today: %3) or choose it "
                                    "with the Date button.")
                         .arg(typed, pattern, QDate::currentDate().toString(qtPattern)),
                     this);
        box->setFocus();
        return false;
    }
    pendingDate_ = str(date.toString(QStringLiteral("yyyyMMdd")));
    return true;
}

bool TAddressMain::Save() {
    if (!editing_ || !table_)
        return false;
    // Everything is checked before anything is written, so a refusal leaves
    // the record as it was.
    if (!takeTypedDate())
        return false;
    std::vector<std::pair<std::string, std::string>> values;
    for (auto* edit : fieldOrder_) {
        if (edit->field() == QStringLiteral("DATE"))
            continue;
        values.emplace_back(str(edit->field()), str(edit->text()));
    }
    values.emplace_back("DATE", pendingDate_);
    if (!tagId_.empty()) {
        const bool wasTagged = !adding_ && table_->getString("TAG") == tagId_;
        if (tagged_->isChecked() != wasTagged)
            values.emplace_back("TAG", tagged_->isChecked() ? tagId_ : std::string());
    }
    std::string memo = store::memoForStorage(memoToStored(memo_->toPlainText()));
    for (const auto& [field, value] : values) {
        QString bad = FirstNonWindows1252Character(qs(value));
        if (!bad.isEmpty()) {
            ui::ShowInfo(Windows1252RefusalMessage(bad), this);
            fields_[qs(field)]->setFocus();
            return false;
        }
    }
    if (QString bad = FirstNonWindows1252Character(qs(memo)); !bad.isEmpty()) {
        ui::ShowInfo(Windows1252RefusalMessage(bad), this);
        memo_->setFocus();
        return false;
    }
    store::Status st;
    if (adding_)
        st = table_->append();
    for (const auto& [field, value] : values) {
        if (!st)
            break;
        st = table_->replace(field, value);
    }
    if (st)
        st = table_->replace("MEMO", memo);
    if (st)
        st = table_->post();
    if (st && table_->changed())
        st = table_->post();
    if (!st) {
        table_->discard();
        ui::ShowInfo(qs(st.error()), this);
        return false;
    }
    setEditing(false);
    if (table_->queryRecCount() == 0)
        ApplyFilter();
    ShowRecord();
    SetButtons();
    return true;
}

void TAddressMain::CancelEdit() {
    if (!editing_)
        return;
    if (table_)
        table_->discard();
    setEditing(false);
    ShowRecord();
    SetButtons();
}

void TAddressMain::SetSkipFields(bool on) {
    std::vector<std::string> skipped = on ? SkippedFields(prefs_) : std::vector<std::string>{};
    for (auto& [field, edit] : fields_) {
        bool skip = std::find(skipped.begin(), skipped.end(), str(field)) != skipped.end();
        edit->setFocusPolicy(skip ? Qt::ClickFocus : Qt::StrongFocus);
    }
}

std::pair<std::string, std::string> TAddressMain::FillCityState(const std::string& zip) {
    std::pair<std::string, std::string> found;
    if (!table_)
        return found;
    const auto recno = table_->recNo();
    const int order = table_->indexOrd();
    const bool exact = table_->exact();
    if (int tag = table_->tagArea("ZIP"); tag != 0 && table_->setOrder(tag)) {
        table_->setExact(false);
        auto hit = table_->seek(store::upperFilterText(zip));
        if (hit && *hit)
            found = {table_->getString("CITY"), table_->getString("STATE")};
    }
    table_->setExact(exact);
    (void)table_->setOrder(order);
    table_->go(recno);
    return found;
}

bool TAddressMain::CheckDupName(const std::string& first, const std::string& last) {
    if (!table_ || store::Trim(first).empty() || store::Trim(last).empty())
        return true;
    const auto recno = table_->recNo();
    const int order = table_->indexOrd();
    const bool exact = table_->exact();
    auto width = [this](const char* field) {
        auto i = table_->fieldIndex(field);
        return i ? table_->fields()[std::size_t(*i)].length : 30;
    };
    bool goOn = true;
    bool found = false;
    if (int tag = table_->tagArea("LNAME"); tag != 0 && table_->setOrder(tag)) {
        table_->setExact(true);
        auto hit = table_->seek(DuplicateProbeKey(last, first, width("LNAME"), width("FNAME")));
        found = hit && *hit;
        if (found) {
            QApplication::beep();
            goOn = ui::AskYesNoDefaultNo(
                qs(DuplicateQuestion([this](std::string_view f) { return table_->getString(f); })),
                text(kDuplicateTitle), this);
        }
    }
    const auto foundRecno = table_->recNo();
    table_->setExact(exact);
    (void)table_->setOrder(order);
    table_->go(goOn || !found ? recno : foundRecno);
    return goOn;
}

void TAddressMain::Add() {
    if (!table_ || editing_ || refuseReadOnly())
        return;
    tabs_->setCurrentIndex(0);
    CarryOver carried = NoteCarryOver(tableReader(), prefs_);
    TypedForNewRecord typed;
    if (NewRecordDialogNeeded(prefs_)) {
        auto width = [this](const char* field) {
            auto i = table_->fieldIndex(field);
            return i ? table_->fields()[std::size_t(*i)].length : 30;
        };
        auto answer = AskNewRecord(
            this, NewRecordOptionsFor(prefs_, width("LNAME"), width("FNAME"), width("ZIP")));
        if (!answer)
            return;
        typed.last = answer->last;
        typed.first = answer->first;
        typed.zip = answer->zip;
    }
    if (!store::Trim(typed.zip).empty())
        std::tie(typed.city, typed.state) = FillCityState(typed.zip);
    if (!CheckDupName(typed.first, typed.last)) {
        ShowRecord();
        SetButtons();
        return;
    }
    auto values = NewRecordValues(prefs_, carried, typed, todayEightDigits());
    memo_->clear();
    adding_ = true;
    setEditing(true);
    pendingDate_.clear();
    std::map<std::string, std::string, std::less<>> byField(values.begin(), values.end());
    if (auto d = byField.find("DATE"); d != byField.end())
        pendingDate_ = d->second;
    fillFields([&](std::string_view field) {
        auto it = byField.find(field);
        return it == byField.end() ? std::string() : it->second;
    });
    SetButtons();
    SetSkipFields(true);
    fields_[qs(AddFocusField(prefs_, values))]->setFocus();
}

void TAddressMain::DeleteRecord() {
    if (!table_ || editing_ || !hasRecord() || refuseReadOnly())
        return;
    if (!ui::AskYesNo(QStringLiteral("Delete this record?"), QStringLiteral("DELETE"), this))
        return;
    table_->setDeleted(false);
    store::Status st = table_->deleteRecord();
    if (st)
        st = table_->replaceLogical("ISDEL", true);
    if (st)
        st = table_->post();
    table_->setDeleted(true);
    if (!st) {
        table_->discard();
        ui::ShowInfo(qs(st.error()), this);
    }
    table_->prior();
    if (table_->queryRecCount() == 0)
        ApplyFilter();
    else if (!hasRecord())
        table_->first();
    ShowRecord();
    SetButtons();
}

void TAddressMain::UndeleteRecord() {
    if (!table_ || editing_ || !hasRecord() || !table_->deleted() || refuseReadOnly())
        return;
    if (auto st = Undelete(*table_); !st) {
        ui::ShowInfo(qs(st.error()), this);
        return;
    }
    ShowRecord();
    SetButtons();
}

void TAddressMain::CloneRecord() {
    if (!table_ || editing_ || !hasRecord() || refuseReadOnly())
        return;
    if (!ui::AskYesNo(QStringLiteral("Clone this record?"), QStringLiteral("Clone"), this))
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<std::pair<std::string_view, std::string>> copied;
    for (auto field : kCloneFields)
        copied.emplace_back(field, table_->getString(field));
    auto memo = table_->getMemo("MEMO");
    store::Status st = table_->append();
    for (const auto& [field, value] : copied)
        if (st)
            st = table_->replace(field, value);
    if (st && memo && !memo->empty())
        st = table_->replace("MEMO", *memo);
    if (st)
        st = table_->post();
    QGuiApplication::restoreOverrideCursor();
    if (!st) {
        table_->discard();
        ui::ShowInfo(qs(st.error()), this);
    } else {
        ui::ShowInfo(QStringLiteral("Clone completed. Current record is an exact copy"), this);
    }
    ShowRecord();
    SetButtons();
}

void TAddressMain::CopyToClipboard() {
    if (!table_ || !hasRecord())
        return;
    auto parts = AskClipboardParts(this);
    if (!parts)
        return;
    std::string textOut = GetRecordAsString(
        editing_ ? FieldReader([this](std::string_view f) { return shownValue(f); })
                 : tableReader(),
        *parts);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(qs(textOut));
    ui::ShowInfo(QStringLiteral("Record copied to the clipboard"), this);
}

void TAddressMain::SelectDate() {
    if (!table_)
        return;
    if (!editing_ && !BeginEdit())
        return;
    auto chosen = AskDate(this, pendingDate_);
    if (!chosen)
        return;
    pendingDate_ = *chosen;
    fields_["DATE"]->setText(
        qs(store::FormatDisplayDate(pendingDate_, store::UserShortDatePattern())));
}

// ---------------------------------------------------------------------------
// Other windows

void TAddressMain::ShowGettingStarted() {
    OpenGettingStarted(this);
}

void TAddressMain::ShowAbout() {
    QDialog about(this);
    about.setWindowTitle(QStringLiteral("About Quillpost"));
    auto* layout = new QVBoxLayout(&about);
    auto* name = new QLabel(QStringLiteral("Quillpost"), &about);
    QFont f = name->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.6);
    name->setFont(f);
    layout->addWidget(name, 0, Qt::AlignHCenter);
    auto* version = new QLabel(QStringLiteral("Version 2.2k"), &about);
    version->setObjectName(QStringLiteral("aboutVersion"));
    layout->addWidget(version, 0, Qt::AlignHCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
    layout->addWidget(buttons);
    ui::CenterDialog(about);
    about.exec();
}

void TAddressMain::RunTool(Tool tool) {
    const ToolCallback* callback = FindTool(tool);
    if (!callback)
        return;
    if (editing_ && tool == Tool::Browse) {
        QApplication::beep();
        return;
    }
    TToolSession session(*this, tool);
    if (!session.ready())
        return;
    (*callback)(session.context());
}

} // namespace qp::addressbook
