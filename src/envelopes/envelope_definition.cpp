#include "envelopes/envelope_definition.h"

#include "design/base_panel.h"
#include "design/layout_stream.h"
#include "labels/printing/label_designs.h"
#include "labels/template_filter.h"
#include "store/shared_routines.h"
#include "store/system_tables.h"

#include <QFile>
#include <QString>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace qp::envelopes {

namespace fs = std::filesystem;

store::Result<store::Table> openEnvelopeTable(const std::string& sysdataFolder) {
    auto table = store::openSystemTable(sysdataFolder, store::SystemTable::Envelope);
    if (!table)
        return table;
    if (int order = table->tagArea("DESCRIPT"))
        (void)table->setOrder(order);
    table->setDeleted(true);
    table->first();
    return table;
}

EnvelopeDefinition readEnvelopeDefinition(const store::Table& t) {
    EnvelopeDefinition d;
    d.description = store::TrimRight(t.getString("DESCRIPT"));
    const std::optional<double> number = t.getNumber("NUMBER");
    d.code = number && std::isfinite(*number) ? static_cast<int>(std::lround(*number)) : -1;
    d.layoutFile = store::TrimRight(t.getString("BINARY"));
    return d;
}

store::Status writeEnvelopeDefinition(store::Table& t, const EnvelopeDefinition& d) {
    std::string description = store::TrimRight(d.description);
    if (description.size() > kDescriptionLimit)
        description.resize(kDescriptionLimit);
    if (auto st = t.replace("DESCRIPT", description); !st)
        return st;
    if (auto st = t.replaceNumber("NUMBER", d.code); !st)
        return st;
    return t.replace("BINARY", d.layoutFile);
}

std::optional<std::string> freshEnvelopeLayoutName(const std::string& sysdata,
                                                   store::Table& table) {
    return labels::freshLayoutFileName(sysdata, table, kLayoutExtension);
}

store::Result<std::string> envelopeLayoutPath(const std::string& sysdata,
                                              const EnvelopeDefinition& def) {
    return design::LayoutFilePath(sysdata, def.layoutFile, 'E', "envelope");
}

bool envelopeLayoutExists(const std::string& sysdata, const EnvelopeDefinition& def) {
    auto path = envelopeLayoutPath(sysdata, def);
    std::error_code ec;
    return path && fs::is_regular_file(*path, ec);
}

std::string cloneDescription(std::string_view description) {
    std::string out = std::string(kClonePrefix) + store::TrimRight(description);
    if (out.size() > kDescriptionLimit)
        out.resize(kDescriptionLimit);
    return out;
}

namespace {

// A table that will not take a record (read-only, damaged index) is refused
// before any file is written.
store::Status writable(store::Table& t) {
    if (t.readOnly())
        return store::fail("File " + t.path() + " is open read-only");
    if (!t.writeBlock().empty())
        return store::fail(t.writeBlock());
    if (!t.indexError().empty())
        return store::fail(t.indexError() +
                           "\nThe file is read-only until its indexes are rebuilt.");
    return {};
}

store::Status writeRecord(store::Table& t, const EnvelopeDefinition& def, bool isNew) {
    if (isNew)
        if (auto st = t.append(); !st)
            return st;
    if (auto st = writeEnvelopeDefinition(t, def); !st)
        return st;
    return t.post();
}

} // namespace

store::Status saveEnvelopeDesign(store::Table& t, const EnvelopeDefinition& def, bool isNew,
                                 design::TGBasePanel& panel, const std::string& sysdata) {
    if (auto st = writable(t); !st)
        return st;
    auto path = envelopeLayoutPath(sysdata, def);
    if (!path)
        return store::fail(path.error());
    std::error_code ec;
    const bool existed = fs::exists(*path, ec);
    QString error;
    if (!design::SaveLayoutFile(panel, QString::fromStdString(*path), &error))
        return store::fail(
            "The envelope layout could not be saved, so the envelope was not saved:\n" +
            error.toStdString());
    if (auto st = writeRecord(t, def, isNew); !st) {
        t.discard();
        if (!existed)
            fs::remove(*path, ec);
        return st;
    }
    return {};
}

store::Status deleteEnvelopeDesign(store::Table& t, const std::string& sysdata) {
    const EnvelopeDefinition def = readEnvelopeDefinition(t);
    if (auto st = t.deleteRecord(); !st)
        return st;
    if (auto path = envelopeLayoutPath(sysdata, def)) {
        std::error_code ec;
        fs::remove(*path, ec);
    }
    if (!t.next() || t.eof())
        t.last();
    return {};
}

store::Result<EnvelopeDefinition> cloneEnvelopeDesign(store::Table& t, const std::string& sysdata) {
    const EnvelopeDefinition def = readEnvelopeDefinition(t);
    if (!envelopeLayoutExists(sysdata, def))
        return store::fail(std::string(kLayoutFileRemovedMessage));
    if (auto st = writable(t); !st)
        return store::fail(st.error());
    auto fresh = freshEnvelopeLayoutName(sysdata, t);
    if (!fresh)
        return store::fail(std::string(kNoFreeLayoutNameMessage));
    EnvelopeDefinition copy = def;
    copy.description = cloneDescription(def.description);
    copy.layoutFile = *fresh;
    const std::string from = *envelopeLayoutPath(sysdata, def);
    const std::string to = (fs::path(sysdata) / *fresh).string();
    std::error_code ec;
    if (!fs::copy_file(from, to, fs::copy_options::none, ec)) {
        fs::remove(to, ec);
        return store::fail("The envelope layout " + def.layoutFile +
                           " could not be copied, so nothing was cloned:\n" + ec.message());
    }
    if (auto st = writeRecord(t, copy, true); !st) {
        t.discard();
        fs::remove(to, ec);
        return store::fail(st.error());
    }
    return copy;
}

store::Status checkEnvelopeLayoutFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return store::fail("The file " + path +
                           " cannot be read: " + file.errorString().toStdString());
    std::vector<std::vector<design::TStreamObject>> lists;
    QString error;
    if (!design::ParseObjectLists(file.readAll(), lists, &error, 1))
        return store::fail("The file " + path + " is not a layout file: " + error.toStdString());
    const QStringList allowed = design::PanelKindClasses(design::pkEnvelope);
    for (const auto& list : lists)
        for (const auto& o : list)
            if (!allowed.contains(o.ClassName))
                return store::fail("The file " + path + " holds a " + o.ClassName.toStdString() +
                                   " object, which an envelope cannot hold");
    return {};
}

std::optional<EnvelopeDefinition> findEnvelopeDesign(store::Table& t,
                                                     std::string_view description) {
    const std::string wanted = labels::upperAscii(store::TrimRight(description));
    for (bool ok = t.first(); ok && !t.eof(); ok = t.next())
        if (labels::upperAscii(store::TrimRight(t.getString("DESCRIPT"))) == wanted)
            return readEnvelopeDefinition(t);
    return std::nullopt;
}

} // namespace qp::envelopes
