// Table-level batch commands: info, eval, seek, dump-tag.

#include "app/batch/batch_command.h"
#include "app/batch/table_options.h"
#include "store/codepage.h"
#include "store/number_text.h"
#include "store/table.h"

#include <cmath>
#include <cstdio>
#include <ostream>
#include <sstream>

namespace qp::batch {

namespace {

using store::OpenMode;
using store::Table;

std::string formatNumber(double v) {
    return store::generalText(v, 10);
}

std::string formatValue(const store::Value& v) {
    switch (v.type) {
    case store::ValueType::Character:
        return v.text;
    case store::ValueType::Numeric:
        return formatNumber(v.number);
    case store::ValueType::Logical:
        return v.logical ? ".T." : ".F.";
    }
    return {};
}

int runInfo(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {}, {});
    args.expectPositionals(1, 1);
    Table table = openTable(args.positional(0, "FILE"));
    out << "File: " << table.path() << "\n";
    out << "Records: " << table.recCount() << "\n";
    out << "Fields: " << table.fields().size() << "\n";
    for (const auto& f : table.fields())
        out << "  " << f.name << " " << f.type << " " << f.length << " " << f.decimals << "\n";
    out << "Tags: " << table.tagCount() << "\n";
    for (int order = 1; order <= table.tagCount(); ++order) {
        auto info = table.tagInfo(order);
        out << "  " << info->name << " " << store::cp1252ToUtf8(info->expression) << "\n";
    }
    if (!table.indexError().empty())
        out << "Index: " << table.indexError() << "\n";
    return 0;
}

int runEval(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"recno"}, {});
    args.expectPositionals(2, 2);
    Table table = openTable(args.positional(0, "FILE"));
    long recno = args.number("recno").value_or(1);
    table.setDeleted(false);
    if (recno < 1 || !table.go(static_cast<std::uint32_t>(recno)))
        throw Failure("Record " + std::to_string(recno) + " does not exist");
    auto value = table.evaluate(args.positional(1, "EXPR"));
    if (!value)
        throw Failure(value.error());
    out << formatValue(*value) << "\n";
    return 0;
}

int runSeek(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {}, {"exact", "soft"});
    args.expectPositionals(3, 3);
    Table table = openTable(args.positional(0, "FILE"));
    useTag(table, args.positional(1, "TAG"));
    table.setExact(args.flag("exact"));
    table.setSoftSeek(args.flag("soft"));
    auto found = table.seek(args.positional(2, "KEY"));
    if (!found)
        throw Failure(found.error());
    if (*found) {
        out << table.recNo() << "\n";
        return 0;
    }
    out << "not found";
    if (args.flag("soft") && !table.eof())
        out << " (positioned at " << table.recNo() << ")";
    out << "\n";
    return 1;
}

int runDumpTag(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {}, {});
    args.expectPositionals(2, 2);
    Table table = openTable(args.positional(0, "FILE"));
    table.setDeleted(false);
    useTag(table, args.positional(1, "TAG"));
    for (bool more = table.first(); more; more = table.next()) {
        std::string key = table.currentKey();
        while (!key.empty() && key.back() == ' ')
            key.pop_back();
        out << table.recNo() << '\t' << key << "\n";
    }
    return 0;
}

BatchCommand info({"info", "FILE", "Fields, record count and index tags of a table.", runInfo});
BatchCommand eval({"eval", "FILE EXPR [--recno N]",
                   "Value of an xBase expression on record N (default 1).", runEval});
BatchCommand seek({"seek", "FILE TAG KEY [--exact] [--soft]",
                   "Record number found in TAG, or \"not found\" with exit status 1.", runSeek});
BatchCommand dumpTag({"dump-tag", "FILE TAG", "Every key of TAG in order: record number, tab, key.",
                      runDumpTag});

} // namespace
} // namespace qp::batch
