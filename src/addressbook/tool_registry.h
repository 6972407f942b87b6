#pragma once
// The tools the main window starts (labels, letters, reports, imports,
// checks, ...): each command of the window is wired to one Tool, and a tool's
// window plugs in by registering a callback for it from its own file:
//
//     #include "addressbook/tool_registry.h"
//     QP_REGISTER_TOOL(qp::addressbook::Tool::ImportAscii,
//                      [](qp::addressbook::ToolContext& c) { runAsciiImport(c.window, *c.table);
//                      });
//
// A library holding such registrations must be linked whole into the
// program: add `set_property(GLOBAL APPEND PROPERTY QP_TOOL_LIBRARIES <target>)`
// beside its add_library. Tools without a callback are disabled in the window.
//
// What the main window notes before a tool and restores after it (record,
// query, order, display updates, table events, printer) is described per
// tool by its ToolTraits and done by the window, never by the tool.

#include "store/filter_criteria.h"
#include "store/table.h"

#include <functional>
#include <string>
#include <string_view>

class QWidget;

namespace qp::addressbook {

enum class Tool {
    PrintLabels,
    PrintLetters,
    PrintEnvelopes,
    PrintReports,
    PrintCurrentRecord,
    CountZipCodes,
    CheckStateZip,
    CheckDuplicates,
    ConvertCase,
    DeleteRecords,
    SearchReplace,
    Export,
    ImportDbf,
    ImportAscii,
    ImportVCard,
    ImportVersion1,
    ImportVersion2,
    RebuildIndexes,
    RebuildSystemIndexes,
    Preferences,
    Browse,
    Search,
    SearchMemo,
    FindNext,
    ClearTags,
    TagAllFilterMatches,
    ToggleTag,
    DialPhone1,
    DialPhone2,
};
inline constexpr int kToolCount = int(Tool::DialPhone2) + 1;

// What the tool is handed. The table is the open address file (nullptr only
// for tools that need no file); it is positioned and queried as the tool's
// traits say, and the window puts it back afterwards.
struct ToolContext {
    QWidget* window = nullptr; // the main window, parent of the tool's window
    store::Table* table = nullptr;
    std::string filePath;                    // the open address file
    store::FilterCriteria* filter = nullptr; // the window's filter values
    std::string tagId;                       // the tag identifier in force
    bool nameAndAddressFields = false;       // FullName, FullNameWithPrefix, CityStateZip computed
    bool filterSet() const { return filter && !filter->expression.empty(); }
};

using ToolCallback = std::function<void(ToolContext&)>;

// The query the window gives the table before the tool.
enum class ToolQuery {
    Keep,       // the filter in force
    NotDeleted, // "!ISDEL"
    BareFilter, // the filter expression without the deleted-record test
    Remove,     // no query
};

struct ToolTraits {
    std::string_view name;       // the command as the user knows it
    bool needsPrinter = false;   // CheckPrinterReady first; nothing when it fails
    bool needsFile = false;      // else "You need to have a database file open first"
    bool needsRecord = false;    // an open file with at least one visible record
    bool restorePrinter = false; // default printer, then the noted one, afterwards
    bool nameAndAddressFields = false;
    ToolQuery query = ToolQuery::Keep;
    // Afterwards: the filter applied again (else the noted query set back),
    // the first record (else the noted record), the file reopened by path.
    bool reapplyFilter = false;
    bool firstRecord = false;
    bool reopenFile = false;
    // With the filter applied again: back on the noted record while it still
    // matches (a tool that changes no record's place).
    bool staysOnRecord = false;
    // A tool that moves the record on purpose (browse, search): nothing of
    // the table is put back, only the window refreshed.
    bool movesRecord = false;
};

const ToolTraits& TraitsOf(Tool tool);

// Registers (or replaces) the callback of `tool`; returns true so that it can
// initialise a static.
bool RegisterTool(Tool tool, ToolCallback callback);
// Removes it again (tests).
void UnregisterTool(Tool tool);
// Nullptr when nothing is registered.
const ToolCallback* FindTool(Tool tool);

inline constexpr std::string_view kToolNotAvailable = "This tool is not available yet";

#define QP_TOOL_CONCAT2(a, b) a##b
#define QP_TOOL_CONCAT(a, b) QP_TOOL_CONCAT2(a, b)
#define QP_REGISTER_TOOL(tool, ...)                                                                \
    [[maybe_unused]] static const bool QP_TOOL_CONCAT(qpToolRegistered, __LINE__) =                \
        ::qp::addressbook::RegisterTool(tool, __VA_ARGS__)

} // namespace qp::addressbook
