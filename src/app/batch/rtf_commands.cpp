// Rich-text batch commands: rtf roundtrip, rtf text and rtf pdf.

#include "app/batch/batch_command.h"
#include "richtext/paged_layout.h"
#include "richtext/rtf_file.h"
#include "richtext/text_finder.h"

#include <QTextDocument>

#include <iostream>
#include <ostream>

namespace qp::batch {

namespace {

using namespace qp::richtext;

void Load(const std::string& path, QTextDocument& doc) {
    const TFileResult r = LoadRtfFile(QString::fromStdString(path), doc);
    if (!r.Ok)
        throw Failure(r.Error.toStdString());
    if (!r.Warning.isEmpty())
        std::cerr << "warning: " << r.Warning.toStdString() << "\n";
}

int runRtf(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {}, {});
    const std::string verb = args.positionals().empty() ? "" : args.positional(0, "command");
    QTextDocument doc;
    if (verb == "roundtrip") {
        args.expectPositionals(3, 3);
        Load(args.positional(1, "IN.rtf"), doc);
        const TFileResult r =
            SaveRtfFile(doc, QString::fromStdString(args.positional(2, "OUT.rtf")));
        if (!r.Ok)
            throw Failure(r.Error.toStdString());
        return 0;
    }
    if (verb == "text") {
        args.expectPositionals(2, 2);
        Load(args.positional(1, "IN.rtf"), doc);
        out << PlainText(doc).toStdString();
        return 0;
    }
    if (verb == "pdf") {
        args.expectPositionals(3, 3);
        Load(args.positional(1, "IN.rtf"), doc);
        const TPdfResult r = WritePdf(doc, QString::fromStdString(args.positional(2, "OUT.pdf")));
        if (!r.Ok)
            throw Failure(r.Error.toStdString());
        out << r.Pages << " page(s) printed\n";
        return 0;
    }
    throw UsageError("rtf takes roundtrip, text or pdf");
}

BatchCommand rtf({"rtf", "roundtrip IN.rtf OUT.rtf | text IN.rtf | pdf IN.rtf OUT.pdf",
                  "Reads an RTF file and writes it again, prints its text one paragraph a "
                  "line, or prints it to PDF on its own page size and margins.",
                  runRtf});

} // namespace
} // namespace qp::batch
