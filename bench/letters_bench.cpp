// Form letters: 1,000 one-page letters merged with 1,000 address records and
// printed to one PDF (target: 10 seconds or less).

#include "letters/letter_job.h"
#include "print/printer_setup.h"
#include "richtext/rtf_reader.h"
#include "store/table.h"
#include "support/sample_addresses.h"

#include <QTemporaryDir>
#include <QTextDocument>

#include <benchmark/benchmark.h>

using namespace qp;

namespace {

const QByteArray kLetter =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}}"
    "\\paperw12240\\paperh15840\\margl1440\\margr1440\\margt1440\\margb1440\n"
    "\\pard\\qr [Long Date]\\par\n\\pard\\par\n\\pard [Name and Address]\\par\n"
    "\\pard\\sa120 {\\b Dear [Full Name],}\\par\n"
    "\\pard\\sa120\\qj {\\f1 Thank you for your order, which left our warehouse today for "
    "[Street] in [City]. We hope it reaches [City+State+Zip] in good order. Should anything "
    "be amiss, call us and quote your phone number [Phone]; we will put it right at once. "
    "As a valued customer of [Organization] you will also find our new catalogue enclosed, "
    "with prices held until the end of the season.}\\par\n"
    "\\pard\\sa120 {\\i With kind regards,}\\par\n\\pard Quillpost Supplies\\par\n}";

void BM_MergeThousandLettersToPdf(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("ADD0001.DBF").toStdString();
    if (auto st = testing::SampleAddresses::writeTable(path, 1000, false); !st) {
        state.SkipWithError(st.error().c_str());
        return;
    }
    {
        // Every sample record gets its letter: none is left deleted.
        auto writable = store::Table::open(path, store::OpenMode::Exclusive);
        if (!writable) {
            state.SkipWithError(writable.error().c_str());
            return;
        }
        writable->setDeleted(false);
        for (bool ok = writable->first(); ok && !writable->eof(); ok = writable->next())
            if (writable->deleted() || writable->getLogical("ISDEL")) {
                (void)writable->recall();
                (void)writable->replaceLogical("ISDEL", false);
                (void)writable->post();
            }
    }
    auto table = store::Table::open(path, store::OpenMode::ReadOnly);
    if (!table) {
        state.SkipWithError(table.error().c_str());
        return;
    }
    QTextDocument letter;
    richtext::ReadRtf(kLetter, letter);
    print::TPrinterSetup setup;
    setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName);
    setup.SetOutputFileName(dir.filePath("letters.pdf"));
    store::RecordSelection all;
    all.choice = store::SelectionChoice::All;
    int pages = 0;
    for (auto _ : state) {
        const auto r = letters::PrintLetters(letter, *table, all, 1, setup, "Bench");
        if (r.Outcome != letters::TLetterOutcome::Completed) {
            state.SkipWithError(r.Error.toStdString().c_str());
            return;
        }
        pages = r.Pages;
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_MergeThousandLettersToPdf)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
