#pragma once
// A private program folder per test and address files of known records.

#include "store/address_file.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace qp::testing {

// Dates and number separators from a fixed locale, whatever the machine's.
inline const bool kFixedLocale = (setenv("LC_ALL", "C", 1), true);

using RecordValues = std::map<std::string, std::string>;

// QUILLPOST_HOME points at a fresh folder for the object's lifetime.
class ReportsHome {
public:
    ReportsHome() {
        saved_ = qgetenv("QUILLPOST_HOME");
        qputenv("QUILLPOST_HOME", dir_.path().toLocal8Bit());
    }
    ~ReportsHome() {
        if (saved_.isEmpty())
            qunsetenv("QUILLPOST_HOME");
        else
            qputenv("QUILLPOST_HOME", saved_);
    }
    std::string file(const std::string& name) const {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QByteArray saved_;
};

// An address file with one record per entry; "ISDEL" = "T" marks a record
// deleted. Returns the open table.
inline store::Result<store::Table> makeAddressFile(const std::string& path,
                                                   const std::vector<RecordValues>& records) {
    if (auto st = store::createAddressFile(path, {}); !st)
        return store::fail(st.error());
    auto t = store::openAddressFile(path);
    if (!t)
        return t;
    for (const auto& r : records) {
        if (auto st = t->append(); !st)
            return store::fail(st.error());
        bool deleted = false;
        for (const auto& [field, value] : r) {
            if (field == "ISDEL") {
                deleted = value == "T";
                if (auto st = t->replaceLogical("ISDEL", deleted); !st)
                    return store::fail(st.error());
            } else if (auto st = t->replace(field, value); !st) {
                return store::fail(st.error());
            }
        }
        if (auto st = t->post(); !st)
            return store::fail(st.error());
        if (deleted)
            if (auto st = t->deleteRecord(); !st)
                return store::fail(st.error());
    }
    t->first();
    return t;
}

inline std::vector<RecordValues> zipRecords(const std::vector<std::string>& zips) {
    std::vector<RecordValues> out;
    int n = 0;
    for (const auto& z : zips)
        out.push_back({{"LNAME", "Name" + std::to_string(++n)}, {"ZIP", z}});
    return out;
}

} // namespace qp::testing
