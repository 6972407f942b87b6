// Form letters: letter list|new|export|delete keep the letter table;
// letters FILE --letter ... prints a letter merged with the records of an
// address file, as the "Print Letters" window prints it.

#include "app/batch/batch_command.h"
#include "app/batch/filter_options.h"
#include "app/batch/print_options.h"
#include "app/batch/selection_options.h"
#include "app/batch/table_options.h"
#include "letters/letter_job.h"
#include "letters/letter_store.h"
#include "print/printer_setup.h"
#include "richtext/rtf_file.h"
#include "store/address_file.h"

#include <QFile>
#include <QSaveFile>
#include <QTextDocument>

#include <fstream>
#include <iostream>
#include <ostream>

namespace qp::batch {

namespace {

using letters::TLetterTable;

QString qstr(const std::string& s) {
    return QString::fromStdString(s);
}

TLetterTable openLetters() {
    auto t = TLetterTable::Open();
    if (!t)
        throw Failure(t.error());
    return std::move(*t);
}

void findLetter(TLetterTable& table, const std::string& description) {
    if (!table.Find(qstr(description)))
        throw Failure("There is no letter called \"" + description + "\" (see: letter list)");
}

bool isRtfFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[5] = {};
    return in.read(head, sizeof head) && std::string_view(head, sizeof head) == "{\\rtf";
}

int runLetter(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"rtf"}, {"overwrite"});
    const std::string verb = args.positionals().empty() ? "" : args.positional(0, "command");
    if (verb == "list") {
        args.expectPositionals(1, 1);
        TLetterTable table = openLetters();
        for (const auto& e : table.Entries())
            out << e.Description.toStdString() << "\n";
        return 0;
    }
    if (verb == "new") {
        args.expectPositionals(2, 2);
        const std::string description = args.positional(1, "DESCRIPTION");
        auto file = args.value("rtf");
        if (!file)
            throw UsageError("say which document: --rtf FILE");
        if (QString::fromStdString(description).trimmed().isEmpty())
            throw UsageError("a letter needs a description");
        if (description.size() > 50)
            throw UsageError("a description holds at most 50 characters");
        QFile in(qstr(*file));
        if (!in.open(QIODevice::ReadOnly))
            throw Failure("Cannot read " + *file + ": " + in.errorString().toStdString());
        // Read through a document: what is stored is what the designer shows.
        QTextDocument doc;
        const QString problem = letters::LoadLetterText(in.readAll(), doc);
        if (!problem.isEmpty())
            std::cerr << "warning: " << *file << ": " << problem.toStdString() << "\n";
        TLetterTable table = openLetters();
        if (auto st = table.Add(qstr(description), doc); !st)
            throw Failure(st.error());
        out << "Added letter \"" << description << "\"\n";
        return 0;
    }
    if (verb == "export") {
        args.expectPositionals(3, 3);
        const std::string description = args.positional(1, "DESCRIPTION");
        const std::string path = args.positional(2, "OUT.rtf");
        checkOutputFile(args, path, isRtfFile, "an RTF file");
        TLetterTable table = openLetters();
        findLetter(table, description);
        QTextDocument doc;
        auto loaded = table.Load(doc);
        if (!loaded)
            throw Failure(loaded.error());
        if (!loaded->isEmpty())
            std::cerr << "warning: " << loaded->toStdString() << "\n";
        const auto r = richtext::SaveRtfFile(doc, qstr(path));
        if (!r.Ok)
            throw Failure(r.Error.toStdString());
        return 0;
    }
    if (verb == "delete") {
        args.expectPositionals(2, 2);
        const std::string description = args.positional(1, "DESCRIPTION");
        TLetterTable table = openLetters();
        findLetter(table, description);
        if (auto st = table.Delete(); !st)
            throw Failure(st.error());
        out << "Deleted letter \"" << description << "\"\n";
        return 0;
    }
    throw UsageError("letter takes list, new, export or delete");
}

int runLetters(const std::vector<std::string>& words, std::ostream& out) {
    std::set<std::string> values = printValueOptions();
    values.insert(selectionValueOptions().begin(), selectionValueOptions().end());
    values.insert({"letter", "flt", "criteria", "order", "rtf"});
    std::set<std::string> flags = selectionFlags();
    flags.insert(printFlags().begin(), printFlags().end());
    flags.insert({"tagged", "reverse"});
    Args args(words, values, flags);
    args.expectPositionals(1, 1);
    const std::string& path = args.positional(0, "FILE");
    auto description = args.value("letter");
    if (!description)
        throw UsageError("say which letter: --letter DESCRIPTION (see: letter list)");
    if (args.value("paper"))
        throw UsageError("the letter names its page size; --paper does not apply");
    const long copies = args.number("copies").value_or(1);
    if (copies < 1 || copies > letters::kMaxCopies)
        throw UsageError("--copies takes a number from 1 to 999");
    auto rtf = args.value("rtf");
    if (rtf && (args.value("pdf") || args.value("printer")))
        throw UsageError("--rtf goes alone, without --pdf or --printer");

    TLetterTable letterTable = openLetters();
    findLetter(letterTable, *description);
    QTextDocument letter;
    auto loaded = letterTable.Load(letter);
    if (!loaded)
        throw Failure(loaded.error());
    if (!loaded->isEmpty())
        std::cerr << "warning: the letter is damaged: " << loaded->toStdString() << "\n";

    auto opened = store::openAddressFile(path, store::OpenMode::ReadOnly);
    if (!opened)
        throw Failure(opened.error());
    store::Table& table = *opened;
    if (auto caption = args.value("order"))
        useSortCaption(table, *caption);
    else if (table.tagArea("LNAME"))
        useTag(table, "LNAME");
    applyFilterOptions(args, table, tagIdentifier(), "No records match the filter");
    applyRecno(args, table);
    if (table.eof())
        throw Failure("There are no records to print");
    store::RecordSelection selection; // the records matching the filter options
    if (auto chosen = selectionFromArgs(args))
        selection = *chosen;
    selection.currentByQuery = false; // letters stay on the current record

    if (rtf) {
        checkOutputFile(args, *rtf, isRtfFile, "an RTF file");
        const auto r = letters::WriteMergedRtf(letter, table, selection, int(copies), qstr(*rtf));
        if (!r.Ok)
            throw Failure(r.Error.toStdString());
        out << r.Letters << " letter(s) written\n";
        return 0;
    }
    print::TPrinterSetup setup;
    applyPrintTarget(args, setup);
    setup.SetCopies(1); // --copies counts copies of each letter
    letters::TLetterJobHooks hooks;
    hooks.Info = [](const QString& message) { std::cerr << message.toStdString() << "\n"; };
    const auto r = letters::PrintLetters(letter, table, selection, int(copies), setup,
                                         letterTable.Description(), std::move(hooks));
    if (r.Outcome != letters::TLetterOutcome::Completed)
        throw Failure(r.Error.isEmpty() ? std::string(letters::kLetterCanceled)
                                        : r.Error.toStdString());
    out << r.Letters << " letter(s), " << r.Pages << " page(s) printed\n";
    return 0;
}

BatchCommand letterCommand(
    {"letter",
     "list | new DESCRIPTION --rtf FILE | export DESCRIPTION OUT.rtf | delete DESCRIPTION",
     "Keeps the letter table: lists the letters, adds one from an RTF file, writes one to an "
     "RTF file, or deletes one.",
     runLetter});

BatchCommand lettersCommand(
    {"letters",
     std::string("FILE --letter DESCRIPTION (--pdf OUT | --printer NAME | --rtf OUT) ") +
         kSelectionOptions + " " + kFilterOptions + " [--order CAPTION] [--copies N]",
     "Prints a form letter once per selected record (default the records the filter options "
     "select), merge fields "
     "replaced, each letter and copy on new sheets; --rtf writes the merged letters as one "
     "RTF document, one letter a section.",
     runLetters});

} // namespace

} // namespace qp::batch
