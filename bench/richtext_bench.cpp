// Letters: reading and writing a 100-page letter as RTF, and laying it out
// and printing all its pages to PDF.

#include "richtext/paged_layout.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

using namespace qp::richtext;

namespace {

// About a hundred pages of letter text in 12 point with bold, italic and
// coloured runs, centred and indented paragraphs and a few page breaks.
const QByteArray& HundredPageLetter() {
    static const QByteArray rtf = [] {
        QByteArray r = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Times New "
                       "Roman;}}{\\colortbl;\\red200\\green0\\blue0;}"
                       "\\paperw12240\\paperh15840\\margl1440\\margr1440\\margt1440\\margb1440\n";
        for (int i = 0; i < 1150; ++i) {
            r += i % 40 == 39 ? "\\pard\\pagebb" : "\\pard";
            r += i % 7 == 0 ? "\\qc" : (i % 5 == 0 ? "\\qj\\li720\\fi-360" : "");
            r += "\\sa120 {\\b Dear [First] [Last],} we are writing to you about your caf\\'e9 "
                 "{\\i order number " +
                 QByteArray::number(i) +
                 "} which {\\cf1 shipped} today. {\\f1 Thank you for your custom; we look forward "
                 "to serving you again, and hope the goods arrive in good order and condition "
                 "at [Street], [City+State+Zip].}\\par\n";
        }
        return r + "}";
    }();
    return rtf;
}

void BM_ReadRtf100Pages(benchmark::State& state) {
    for (auto _ : state) {
        QTextDocument doc;
        ReadRtf(HundredPageLetter(), doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.counters["bytes"] = double(HundredPageLetter().size());
}
BENCHMARK(BM_ReadRtf100Pages)->Unit(benchmark::kMillisecond);

void BM_WriteRtf100Pages(benchmark::State& state) {
    QTextDocument doc;
    ReadRtf(HundredPageLetter(), doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteRtf(doc).size());
}
BENCHMARK(BM_WriteRtf100Pages)->Unit(benchmark::kMillisecond);

void BM_LayoutAndPdf100Pages(benchmark::State& state) {
    QTextDocument doc;
    ReadRtf(HundredPageLetter(), doc);
    QTemporaryDir dir;
    int pages = 0;
    for (auto _ : state) {
        const TPdfResult r = WritePdf(doc, dir.filePath("letter.pdf"));
        pages = r.Pages;
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_LayoutAndPdf100Pages)->Unit(benchmark::kMillisecond);

} // namespace
