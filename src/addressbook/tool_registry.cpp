#include "addressbook/tool_registry.h"

#include <array>

namespace qp::addressbook {

namespace {

std::array<ToolCallback, kToolCount>& callbacks() {
    static std::array<ToolCallback, kToolCount> registered;
    return registered;
}

ToolTraits printing(std::string_view name) {
    ToolTraits t;
    t.name = name;
    t.needsPrinter = t.needsFile = t.needsRecord = t.restorePrinter = true;
    return t;
}

std::array<ToolTraits, kToolCount> makeTraits() {
    std::array<ToolTraits, kToolCount> all{};
    auto& labels = all[int(Tool::PrintLabels)] = printing("Print Labels");
    labels.nameAndAddressFields = true;
    all[int(Tool::PrintLetters)] = printing("Print Letters");
    auto& envelopes = all[int(Tool::PrintEnvelopes)] = printing("Print Envelopes");
    envelopes.nameAndAddressFields = true;
    auto& reports = all[int(Tool::PrintReports)] = printing("Print Reports");
    reports.nameAndAddressFields = true;

    auto& current = all[int(Tool::PrintCurrentRecord)] = printing("Print Current Record");
    current.restorePrinter = false;
    auto& zips = all[int(Tool::CountZipCodes)] = printing("Count Zip Codes");
    zips.restorePrinter = false;

    auto fileTool = [&](Tool tool, std::string_view name) -> ToolTraits& {
        ToolTraits& t = all[int(tool)];
        t.name = name;
        t.needsFile = true;
        return t;
    };
    fileTool(Tool::CheckStateZip, "Check & Repair State and Zip Codes").query =
        ToolQuery::NotDeleted;
    auto& dups = fileTool(Tool::CheckDuplicates, "Check & Repair Duplicates");
    dups.query = ToolQuery::NotDeleted;
    dups.reapplyFilter = true;
    fileTool(Tool::ConvertCase, "Convert Case");
    for (auto [tool, name] : {std::pair{Tool::DeleteRecords, "Delete Records"},
                              std::pair{Tool::SearchReplace, "Search & Replace Field Values"}}) {
        auto& t = fileTool(tool, name);
        t.query = ToolQuery::BareFilter;
        t.reapplyFilter = t.firstRecord = true;
    }
    fileTool(Tool::Export, "Export").needsRecord = true;
    for (auto [tool, name] : {std::pair{Tool::ImportDbf, "Import from DBF File"},
                              std::pair{Tool::ImportAscii, "Import from ASCII File"},
                              std::pair{Tool::ImportVCard, "Import from vCard"}}) {
        auto& t = fileTool(tool, name);
        t.reapplyFilter = t.firstRecord = t.reopenFile = true;
    }
    for (auto [tool, name] : {std::pair{Tool::ImportVersion1, "Import from Quillpost 1.x DBF"},
                              std::pair{Tool::ImportVersion2, "Import from Quillpost 2.x DBF"}}) {
        auto& t = fileTool(tool, name);
        t.query = ToolQuery::Remove;
        t.reapplyFilter = true;
    }
    fileTool(Tool::RebuildIndexes, "Rebuild Indexes for this file").reapplyFilter = true;
    all[int(Tool::RebuildSystemIndexes)].name = "Rebuild System File indexes";
    all[int(Tool::Preferences)].name = "Preferences";
    for (auto [tool, name] :
         {std::pair{Tool::Browse, "Browse"}, std::pair{Tool::Search, "Search"},
          std::pair{Tool::SearchMemo, "Search Memo"}, std::pair{Tool::FindNext, "Find Next"},
          std::pair{Tool::ToggleTag, "Tagged"}})
        fileTool(tool, name).movesRecord = true;
    auto& clearTags = fileTool(Tool::ClearTags, "Clear Tags");
    clearTags.reapplyFilter = clearTags.staysOnRecord = true;
    fileTool(Tool::TagAllFilterMatches, "Tag All Filter Matches");
    fileTool(Tool::DialPhone1, "Dial Phone 1");
    fileTool(Tool::DialPhone2, "Dial Phone 2");
    return all;
}

} // namespace

const ToolTraits& TraitsOf(Tool tool) {
    static const std::array<ToolTraits, kToolCount> traits = makeTraits();
    return traits[int(tool)];
}

bool RegisterTool(Tool tool, ToolCallback callback) {
    callbacks()[int(tool)] = std::move(callback);
    return true;
}

void UnregisterTool(Tool tool) {
    callbacks()[int(tool)] = nullptr;
}

const ToolCallback* FindTool(Tool tool) {
    const ToolCallback& cb = callbacks()[int(tool)];
    return cb ? &cb : nullptr;
}

} // namespace qp::addressbook
