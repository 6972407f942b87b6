#include "labels/printing/label_designs.h"

#include "design/base_panel.h"
#include "design/layout_stream.h"
#include "labels/template_filter.h"
#include "store/shared_routines.h"

#include <QString>

#include <cstdio>
#include <filesystem>
#include <set>

namespace qp::labels {

namespace {

namespace fs = std::filesystem;

// Every BINARY of the table, deleted records included, upper-cased; the
// cursor's order, query, deletion setting and record are put back.
std::set<std::string> layoutNamesInUse(store::Table& t) {
    const int order = t.indexOrd();
    const std::string query = t.dbFilter();
    const bool hidden = t.deletedHidden();
    const std::uint32_t recno = t.recNo();
    std::set<std::string> used;
    t.setDeleted(false);
    if (t.setQuery("") && t.setOrder(0)) {
        for (bool ok = t.first(); ok && !t.eof(); ok = t.next())
            used.insert(upperAscii(store::TrimRight(t.getString("BINARY"))));
    }
    (void)t.setOrder(order);
    (void)t.setQuery(query);
    t.setDeleted(hidden);
    if (recno > 0)
        t.go(recno);
    return used;
}

std::set<std::string> filesIn(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        names.insert(upperAscii(entry.path().filename().string()));
    return names;
}

} // namespace

std::optional<std::string> freshLayoutFileName(const std::string& sysdata,
                                               store::Table& labelTable) {
    return freshLayoutFileName(sysdata, labelTable, ".L");
}

std::optional<std::string> freshLayoutFileName(const std::string& sysdata, store::Table& table,
                                               std::string_view extension) {
    const std::set<std::string> used = layoutNamesInUse(table);
    const std::set<std::string> files = filesIn(sysdata);
    const std::string ext = upperAscii(std::string(extension));
    for (int n = 1; n <= 99999; ++n) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%05d", n);
        const std::string name = "BIN" + std::string(digits) + ext;
        if (!used.count(name) && !files.count(name))
            return std::string(name);
    }
    return std::nullopt;
}

store::Result<std::string> layoutFilePath(const std::string& sysdata, const LabelDefinition& def) {
    return design::LayoutFilePath(sysdata, def.layoutFile, 'L', "label");
}

bool layoutFileExists(const std::string& sysdata, const LabelDefinition& def) {
    auto path = layoutFilePath(sysdata, def);
    std::error_code ec;
    return path && fs::is_regular_file(*path, ec);
}

std::string cloneDescription(std::string_view description) {
    std::string out = std::string(kClonePrefix) + store::TrimRight(description);
    if (out.size() > kDescriptionLimit)
        out.resize(kDescriptionLimit);
    return out;
}

std::string deleteQuestion(std::string_view description) {
    return "Delete \"" + store::TrimRight(description) + "\"?";
}

std::string cloneQuestion(std::string_view description) {
    return "Clone \"" + store::TrimRight(description) + "\"?";
}

store::Status saveLabelDesign(store::Table& t, const LabelDefinition& def, bool isNew,
                              design::TGBasePanel& panel, const std::string& sysdata) {
    // A table that will not take the record (damaged, its index unreadable)
    // is refused before the layout file is written, so no design is overwritten.
    if (t.readOnly())
        return store::fail("File " + t.path() + " is open read-only");
    if (!t.writeBlock().empty())
        return store::fail(t.writeBlock());
    if (!t.indexError().empty())
        return store::fail(t.indexError() +
                           "\nThe file is read-only until its indexes are rebuilt.");
    auto path = layoutFilePath(sysdata, def);
    if (!path)
        return store::fail(path.error());
    std::error_code ec;
    const bool existed = fs::exists(*path, ec);
    QString error;
    if (!design::SaveLayoutFile(panel, QString::fromStdString(*path), &error))
        return store::fail("The label layout could not be saved, so the label was not saved:\n" +
                           error.toStdString());
    auto undo = [&](const std::string& why) {
        t.discard();
        if (!existed)
            fs::remove(*path, ec);
        return store::fail(why);
    };
    if (isNew)
        if (auto st = t.append(); !st)
            return undo(st.error());
    if (auto st = writeLabelDefinition(t, def); !st)
        return undo(st.error());
    if (auto st = t.post(); !st)
        return undo(st.error());
    return {};
}

store::Status deleteLabelDesign(store::Table& t, const std::string& sysdata) {
    const LabelDefinition def = readLabelDefinition(t);
    if (auto st = t.deleteRecord(); !st)
        return st;
    if (auto path = layoutFilePath(sysdata, def)) {
        std::error_code ec;
        fs::remove(*path, ec);
    }
    if (!t.next() || t.eof())
        t.last();
    return {};
}

store::Result<LabelDefinition> cloneLabelDesign(store::Table& t, const std::string& sysdata,
                                                design::TGBasePanel& scratch) {
    const LabelDefinition def = readLabelDefinition(t);
    if (!layoutFileExists(sysdata, def))
        return store::fail(std::string(kLayoutFileRemovedMessage));
    scratch.ClearObjects();
    QString error;
    if (!design::LoadLayoutFile(scratch, QString::fromStdString(*layoutFilePath(sysdata, def)),
                                &error))
        return store::fail("The label layout could not be read, so nothing was copied:\n" +
                           error.toStdString());
    auto fresh = freshLayoutFileName(sysdata, t);
    if (!fresh)
        return store::fail(std::string(kNoFreeLayoutNameMessage));
    LabelDefinition copy = def;
    copy.description = cloneDescription(def.description);
    copy.layoutFile = *fresh;
    if (auto st = saveLabelDesign(t, copy, true, scratch, sysdata); !st)
        return store::fail(st.error());
    return copy;
}

std::optional<LabelDefinition> findLabelDesign(store::Table& t, std::string_view description) {
    const std::string wanted = upperAscii(store::TrimRight(description));
    for (bool ok = t.first(); ok && !t.eof(); ok = t.next())
        if (upperAscii(store::TrimRight(t.getString("DESCRIPT"))) == wanted)
            return readLabelDefinition(t);
    return std::nullopt;
}

} // namespace qp::labels
