#include "reports/report_store.h"

#include "design/layout_stream.h"
#include "store/atomic_file.h"
#include "store/shared_routines.h"
#include "store/system_tables.h"

#include <QFile>

#include <cstdio>
#include <filesystem>
#include <set>
#include <vector>

namespace qp::reports {

namespace {

namespace fs = std::filesystem;

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Every BINARY of the table, deleted records included, upper-cased; the
// cursor's order, query, deletion setting and record are put back.
std::set<std::string> namesInUse(store::Table& t) {
    const int order = t.indexOrd();
    const std::string query = t.dbFilter();
    const bool hidden = t.deletedHidden();
    const std::uint32_t recno = t.recNo();
    std::set<std::string> used;
    t.setDeleted(false);
    if (t.setQuery("") && t.setOrder(0))
        for (bool ok = t.first(); ok && !t.eof(); ok = t.next())
            used.insert(upper(store::TrimRight(t.getString("BINARY"))));
    (void)t.setOrder(order);
    (void)t.setQuery(query);
    t.setDeleted(hidden);
    if (recno > 0)
        t.go(recno);
    return used;
}

store::Status writeRecord(store::Table& t, const ReportDesign& d) {
    QString description = d.Description.left(int(kReportDescriptionLimit));
    if (auto st = t.replace("DESCRIPT", description.toStdString()); !st)
        return st;
    if (auto st = t.replace("LAYOUT", d.Layout.toStdString()); !st)
        return st;
    return t.replace("BINARY", d.Binary);
}

store::Status tableWritable(const store::Table& t) {
    if (t.readOnly())
        return store::fail("File " + t.path() + " is open read-only");
    if (!t.writeBlock().empty())
        return store::fail(t.writeBlock());
    if (!t.indexError().empty())
        return store::fail(t.indexError() +
                           "\nThe file is read-only until its indexes are rebuilt.");
    return {};
}

std::optional<QByteArray> readBytes(const std::string& path) {
    QFile f(qs(path));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll();
}

} // namespace

void ReportBands::Clear() {
    Header.ClearObjects();
    Detail.ClearObjects();
    Footer.ClearObjects();
}

void ReportBands::SetDataSet(const design::TDataSource* source) {
    Header.SetDataSet(source);
    Detail.SetDataSet(source);
    Footer.SetDataSet(source);
}

store::Result<store::Table> openReportTable(const std::string& sysdata) {
    auto t = store::openSystemTable(sysdata, store::SystemTable::Report);
    if (!t)
        return t;
    t->setDeleted(true);
    (void)t->setQuery("");
    if (t->tagCount() > 0)
        (void)t->setOrder(1);
    t->first();
    return t;
}

std::optional<std::string> freshReportFileName(const std::string& sysdata, store::Table& t) {
    const std::set<std::string> used = namesInUse(t);
    std::set<std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(sysdata, ec))
        files.insert(upper(entry.path().filename().string()));
    for (int n = 1; n <= 99999; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "BIN%05d.R", n);
        if (!used.count(name) && !files.count(name))
            return std::string(name);
    }
    return std::nullopt;
}

store::Result<std::string> reportFilePath(const std::string& sysdata, const std::string& binary) {
    return design::LayoutFilePath(sysdata, binary, 'R', "report");
}

ReportDesign readReportRecord(const store::Table& t) {
    ReportDesign d;
    d.Description = qs(store::TrimRight(t.getString("DESCRIPT")));
    d.Layout = qs(store::TrimRight(t.getString("LAYOUT")));
    d.Binary = store::Trim(t.getString("BINARY"));
    return d;
}

store::Status readReportData(const QByteArray& data, ReportBands& bands, ReportVars& vars) {
    vars = NewReportVars();
    bands.Clear();
    design::TStreamReader r(data);
    design::TGLabelObjectFiler filer;
    ReportVars read;
    const bool objects = filer.ReadList(r, bands.Header, false) &&
                         filer.ReadList(r, bands.Detail, false) &&
                         filer.ReadList(r, bands.Footer, false);
    QString why = filer.LastError();
    if (objects) {
        if (r.ExpectListBegin() && ReadReportVars(r, read) && !r.AtListEnd() && !r.Failed())
            r.Fail(QStringLiteral("The report settings list is not closed"));
        if (!r.Failed() && !r.AtEnd())
            r.Fail(QStringLiteral("Data after the report settings"));
        if (r.Failed())
            why = QStringLiteral("The report settings are damaged: %1").arg(r.ErrorText());
    }
    if (!objects || r.Failed()) {
        bands.Clear();
        return store::fail(why.toStdString());
    }
    vars = read;
    for (TReportPanel* p : {&bands.Header, &bands.Detail, &bands.Footer}) {
        p->WireAll();
        p->RefreshDataValues();
    }
    return {};
}

store::Status readReportFile(const std::string& path, ReportBands& bands, ReportVars& vars) {
    vars = NewReportVars();
    bands.Clear();
    std::error_code ec;
    if (!fs::exists(path, ec))
        return {};
    auto data = readBytes(path);
    if (!data)
        return store::fail("The report layout " + path + " cannot be read");
    if (auto st = readReportData(*data, bands, vars); !st)
        return store::fail("The report layout " + path + " cannot be used:\n" + st.error());
    return {};
}

QByteArray writeReportData(ReportBands& bands, const ReportVars& vars) {
    design::TStreamWriter w;
    for (TReportPanel* p : {&bands.Header, &bands.Detail, &bands.Footer}) {
        p->ShowDesignTextAll();
        std::vector<const design::TGGraphicControl*> objects;
        for (int i = 0; i < p->ObjectCount(); ++i)
            objects.push_back(p->Object(i));
        w.WriteObjectList(objects);
    }
    w.WriteListBegin();
    WriteReportVars(w, vars);
    w.WriteListEnd();
    for (TReportPanel* p : {&bands.Header, &bands.Detail, &bands.Footer})
        p->RefreshDataValues();
    return w.Data();
}

store::Status writeReportFile(const std::string& path, ReportBands& bands, const ReportVars& vars) {
    const QByteArray data = writeReportData(bands, vars);
    if (auto st = store::writeFileAtomically(
            path, std::string_view(data.constData(), std::size_t(data.size())));
        !st)
        return store::fail("The report layout could not be saved:\n" + st.error());
    return {};
}

store::Status loadReport(bool isNew, store::Table& t, const std::string& sysdata,
                         ReportBands& bands, ReportDesign& design) {
    design = ReportDesign{};
    bands.Clear();
    if (isNew)
        return {};
    design = readReportRecord(t);
    auto path = reportFilePath(sysdata, design.Binary);
    if (!path)
        return store::fail(path.error());
    return readReportFile(*path, bands, design.Vars);
}

store::Status saveReport(bool isNew, store::Table& t, const std::string& sysdata,
                         ReportBands& bands, ReportDesign& design) {
    if (auto st = tableWritable(t); !st)
        return st;
    ReportDesign saved = design;
    if (isNew) {
        auto fresh = freshReportFileName(sysdata, t);
        if (!fresh)
            return store::fail(std::string(kNoFreeReportNameMessage));
        saved.Binary = *fresh;
    }
    auto path = reportFilePath(sysdata, saved.Binary);
    if (!path)
        return store::fail(path.error());
    std::error_code ec;
    const bool existed = fs::exists(*path, ec);
    const std::optional<QByteArray> before = existed ? readBytes(*path) : std::nullopt;
    if (existed && !before)
        return store::fail("The report layout " + *path + " cannot be read, so it is not replaced");
    if (auto st = writeReportFile(*path, bands, saved.Vars); !st)
        return store::fail(st.error() + "\nThe report was not saved.");
    auto undo = [&](const std::string& why) {
        t.discard();
        if (before)
            (void)store::writeFileAtomically(
                *path, std::string_view(before->constData(), std::size_t(before->size())));
        else
            fs::remove(*path, ec);
        return store::fail(why);
    };
    if (isNew)
        if (auto st = t.append(); !st)
            return undo(st.error());
    if (auto st = writeRecord(t, saved); !st)
        return undo(st.error());
    if (auto st = t.post(); !st)
        return undo(st.error());
    design = saved;
    return {};
}

store::Status deleteReport(store::Table& t, const std::string& sysdata) {
    if (auto st = tableWritable(t); !st)
        return st;
    const ReportDesign d = readReportRecord(t);
    if (auto st = t.deleteRecord(); !st)
        return st;
    if (auto path = reportFilePath(sysdata, d.Binary)) {
        std::error_code ec;
        fs::remove(*path, ec);
    }
    if (!t.next() || t.eof())
        t.last();
    return {};
}

store::Result<ReportDesign> cloneReport(store::Table& t, const std::string& sysdata) {
    if (auto st = tableWritable(t); !st)
        return store::fail(st.error());
    ReportDesign d = readReportRecord(t);
    auto fresh = freshReportFileName(sysdata, t);
    if (!fresh)
        return store::fail(std::string(kNoFreeReportNameMessage));
    ReportDesign copy = d;
    copy.Description = QStringLiteral("Clone of ") + d.Description;
    copy.Binary = *fresh;
    auto newPath = reportFilePath(sysdata, copy.Binary);
    if (!newPath)
        return store::fail(newPath.error());
    bool written = false;
    // The layout is copied byte for byte; a report without a readable file
    // gets a record only, as the original has nothing more.
    if (auto oldPath = reportFilePath(sysdata, d.Binary)) {
        if (auto bytes = readBytes(*oldPath)) {
            if (auto st = store::writeFileAtomically(
                    *newPath, std::string_view(bytes->constData(), std::size_t(bytes->size())));
                !st)
                return store::fail("The report layout could not be copied:\n" + st.error());
            written = true;
        }
    }
    auto undo = [&](const std::string& why) {
        t.discard();
        std::error_code ec;
        if (written)
            fs::remove(*newPath, ec);
        return store::fail(why);
    };
    if (auto st = t.append(); !st)
        return undo(st.error());
    if (auto st = writeRecord(t, copy); !st)
        return undo(st.error());
    if (auto st = t.post(); !st)
        return undo(st.error());
    return copy;
}

std::optional<ReportDesign> findReport(store::Table& t, std::string_view description) {
    const std::string wanted = upper(store::TrimRight(description));
    for (bool ok = t.first(); ok && !t.eof(); ok = t.next())
        if (upper(store::TrimRight(t.getString("DESCRIPT"))) == wanted)
            return readReportRecord(t);
    return std::nullopt;
}

std::string reportDeleteQuestion(std::string_view description) {
    return "Delete \"" + store::TrimRight(description) + "\"?";
}

std::string reportCloneQuestion(std::string_view description) {
    return "Clone \"" + store::TrimRight(description) + "\"?";
}

} // namespace qp::reports
