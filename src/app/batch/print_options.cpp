#include "app/batch/print_options.h"

#include "app/batch/batch_command.h"
#include "print/paper_codes.h"
#include "print/printer_setup.h"

#include "store/open_files.h"

#include <QString>

#include <filesystem>
#include <fstream>
#include <string_view>

namespace qp::batch {

const std::set<std::string>& printValueOptions() {
    static const std::set<std::string> names{"pdf", "printer", "copies", "paper"};
    return names;
}

const std::set<std::string>& printFlags() {
    static const std::set<std::string> names{"overwrite"};
    return names;
}

bool isPdfFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[5] = {};
    return in.read(head, sizeof head) && std::string_view(head, sizeof head) == "%PDF-";
}

void checkOutputFile(const Args& args, const std::string& path,
                     bool (*isKind)(const std::string& path), const std::string& kindName) {
    if (auto st = store::checkNotOpenFile(path); !st)
        throw Failure(st.error());
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status))
        return;
    if (std::filesystem::is_directory(status))
        throw Failure("\"" + path + "\" is a folder, not a file");
    if (!args.flag("overwrite") && !isKind(path))
        throw Failure("\"" + path + "\" exists and is not " + kindName +
                      "; add --overwrite to replace it");
}

void applyPrintTarget(const Args& args, print::TPrinterSetup& setup) {
    auto pdf = args.value("pdf");
    auto printer = args.value("printer");
    if (pdf && printer)
        throw UsageError("--pdf and --printer do not go together");
    if (!pdf && !printer)
        throw UsageError("say where to print: --pdf FILE or --printer NAME");
    if (pdf) {
        checkOutputFile(args, *pdf, isPdfFile, "a PDF file");
        setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName);
        setup.SetOutputFileName(QString::fromStdString(*pdf));
    } else if (!setup.SelectPrinterByName(QString::fromStdString(*printer))) {
        std::string known;
        for (const auto& name : setup.PrinterNames())
            known += "\n  " + name.toStdString();
        throw Failure("There is no printer named \"" + *printer + "\". Printers:" + known);
    }
    long copies = args.number("copies").value_or(1);
    if (copies < 1 || copies > 999)
        throw UsageError("--copies takes a number from 1 to 999");
    setup.SetCopies(static_cast<int>(copies));
}

void applyPaper(const Args& args, print::TPrinterSetup& setup) {
    auto paper = args.value("paper");
    if (!paper)
        return;
    std::string p = *paper;
    bool ok = false;
    if (p == "letter")
        ok = setup.SetPaperCode(print::kPaperLetter);
    else if (p == "a4")
        ok = setup.SetPaperCode(print::kPaperA4);
    else if (p == "a5")
        ok = setup.SetPaperCode(print::kPaperA5);
    else if (auto x = p.find('x'); x != std::string::npos) {
        bool okW = false, okH = false;
        double w = QString::fromStdString(p.substr(0, x)).toDouble(&okW);
        double h = QString::fromStdString(p.substr(x + 1)).toDouble(&okH);
        if (okW && okH && w > 0.5 && h > 0.5 && w < 50 && h < 50)
            ok = setup.SetUserPaper(w, h);
    }
    if (!ok)
        throw UsageError("--paper takes letter, a4, a5 or WxH in inches (e.g. 8.5x11)");
}

} // namespace qp::batch
