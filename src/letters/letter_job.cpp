#include "letters/letter_job.h"

#include "print/base_report.h"
#include "print/printer_setup.h"
#include "print/report_printer.h"
#include "richtext/paged_layout.h"
#include "richtext/rtf_writer.h"
#include "store/table.h"

#include <QFile>
#include <QPainter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace qp::letters {

using richtext::kTwipsPerInch;

std::optional<QRectF> TextAreaInches(const richtext::TPageSettings& page) {
    // One coordinate system: the text area in twips, then inches.
    const int width = page.PageWidth - page.RightMargin - page.LeftMargin;
    const int height = page.PageHeight - page.BottomMargin - page.TopMargin;
    if (page.PageWidth <= 0 || page.PageHeight <= 0 || width <= 0 || height <= 0)
        return std::nullopt;
    return QRectF(page.LeftMargin / double(kTwipsPerInch), page.TopMargin / double(kTwipsPerInch),
                  width / double(kTwipsPerInch), height / double(kTwipsPerInch));
}

QString NoTextAreaMessage(const richtext::TPageSettings& page) {
    return QStringLiteral("The letter's page (%1 x %2 inches) leaves no room for text inside its "
                          "margins. Change them in Page Settings of the Letter Designer.")
        .arg(page.PageWidth / double(kTwipsPerInch), 0, 'g', 4)
        .arg(page.PageHeight / double(kTwipsPerInch), 0, 'g', 4);
}

TLetterRun::TLetterRun(const QTextDocument& letter, store::Table& table, store::SelectionWalk& walk,
                       int copies, bool onlyCurrent, TLetterJobHooks hooks)
    : Letter_(letter), Table_(table), Walk_(walk), Copies_(std::clamp(copies, 1, kMaxCopies)),
      OnlyCurrent_(onlyCurrent), Hooks_(std::move(hooks)), Page_(richtext::PageSettings(letter)) {}

bool TLetterRun::Check(QString* why) const {
    if (TextAreaInches(Page_))
        return true;
    if (why)
        *why = NoTextAreaMessage(Page_);
    return false;
}

bool TLetterRun::PrintRecord(print::TBaseReport& job, const QTextDocument& doc) {
    // The layout is shared by the pages' paint routines, which the engine may
    // run after the job moved on (copies, a stored preview).
    const auto layout = std::make_shared<const richtext::TPagedLayout>(doc, Page_);
    const QRectF area = *TextAreaInches(Page_);
    const int pages = std::max(layout->PageCount(), 1);
    for (int copy = 0; copy < Copies_; ++copy) {
        if (copy > 0)
            job.NewPage();
        for (int page = 0; page < pages; ++page) {
            if (job.Aborted())
                return false;
            if (page > 0)
                job.NewPage();
            job.PaintRect(area,
                          [layout, page](QPainter& painter, const QRectF& target, double zoom) {
                              layout->Paint(painter, page, target, zoom);
                          });
            ++Pages_;
        }
    }
    return !job.Aborted();
}

void TLetterRun::Print(print::TBaseReport& job) {
    QTextDocument working;
    working.setUndoRedoEnabled(false);
    while (Walk_.valid() && !Cancelled_) {
        richtext::CopyDocument(Letter_, working);
        ReplaceTokens(working, ReadMergeRecord(Table_), Hooks_.Today);
        if (!PrintRecord(job, working))
            break;
        ++Letters_;
        if (OnlyCurrent_)
            break;
        if (Walk_.next())
            job.NewPage();
        if (Hooks_.Status)
            Hooks_.Status(QString::fromLatin1(kPrintingPage) + QString::number(Pages_));
        if (Hooks_.CancelNow && Hooks_.CancelNow()) {
            Cancelled_ = true;
            job.Abort();
        }
        if (!Walk_.valid())
            break;
    }
    if (job.Aborted())
        Cancelled_ = true;
}

void PrepareLetterJob(print::TBaseReport& job, TLetterRun& run, const QString& title) {
    job.Title = title;
    job.Copies = 1;
    job.Orientation = print::poPortrait;
    job.OnPrint = [&run](print::TBaseReport& j) { run.Print(j); };
}

namespace {

void useLetterPaper(print::TPrinterSetup& setup, const richtext::TPageSettings& page) {
    setup.SetUserPaper(page.PageWidth / double(kTwipsPerInch),
                       page.PageHeight / double(kTwipsPerInch));
}

} // namespace

TLetterPrintResult PrintLetters(const QTextDocument& letter, store::Table& table,
                                const store::RecordSelection& selection, int copies,
                                print::TPrinterSetup& setup, const QString& title,
                                TLetterJobHooks hooks) {
    TLetterPrintResult result;
    auto walk = store::SelectionWalk::begin(table, selection, [&](std::string_view message) {
        if (hooks.Info)
            hooks.Info(QString::fromUtf8(message.data(), qsizetype(message.size())));
    });
    if (!walk) {
        result.Error = QString::fromStdString(walk.error());
        return result;
    }
    if (!walk->valid()) {
        result.Outcome = TLetterOutcome::NothingToPrint;
        result.Error = QStringLiteral("There are no records to print");
        return result;
    }
    TLetterRun run(letter, table, *walk, copies,
                   selection.choice == store::SelectionChoice::Current, std::move(hooks));
    if (!run.Check(&result.Error))
        return result;
    useLetterPaper(setup, richtext::PageSettings(letter));
    print::TReportPrinter job(&setup);
    PrepareLetterJob(job, run, title);
    const bool ok = job.Execute();
    result.Pages = run.PagesPrinted();
    result.Letters = run.LettersPrinted();
    if (ok)
        result.Outcome = TLetterOutcome::Completed;
    else if (job.Aborted() && job.LastError().isEmpty() && run.Cancelled())
        result.Outcome = TLetterOutcome::Canceled;
    else
        result.Error = job.LastError().isEmpty() ? QStringLiteral("The letters were not printed")
                                                 : job.LastError();
    return result;
}

namespace {

// Appends `doc` to `into`, its first paragraph starting a new page.
void appendLetter(QTextDocument& into, const QTextDocument& doc, bool first) {
    QTextCursor c(&into);
    c.movePosition(QTextCursor::End);
    if (!first)
        c.insertBlock();
    const int start = c.position();
    c.insertFragment(QTextDocumentFragment(&doc));
    // The fragment's first paragraph merged into the block just made: give
    // it the letter's own first paragraph format, plus the page break.
    QTextCursor head(&into);
    head.setPosition(start);
    QTextBlockFormat f = doc.begin().blockFormat();
    if (!first)
        f.setPageBreakPolicy(f.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
    head.setBlockFormat(f);
}

// Turns the page break before each letter's first paragraph into a section
// break, so a word processor sees one section a letter.
QByteArray sectionsAt(QByteArray rtf, const std::vector<int>& letterBlocks) {
    // Every paragraph the writer writes begins with "\pard".
    std::vector<qsizetype> starts;
    for (qsizetype at = rtf.indexOf("\\pard"); at >= 0; at = rtf.indexOf("\\pard", at + 5)) {
        const char after = at + 5 < rtf.size() ? rtf[at + 5] : ' ';
        const bool escaped = at > 0 && rtf[at - 1] == '\\';
        if (!escaped && !std::isalpha(static_cast<unsigned char>(after)))
            starts.push_back(at);
    }
    for (auto it = letterBlocks.rbegin(); it != letterBlocks.rend(); ++it)
        if (*it > 0 && std::size_t(*it) < starts.size())
            rtf.insert(starts[std::size_t(*it)], "\\sect\\sectd\n");
    return rtf;
}

} // namespace

TMergedRtfResult WriteMergedRtf(const QTextDocument& letter, store::Table& table,
                                const store::RecordSelection& selection, int copies,
                                const QString& path, const QDate& today) {
    TMergedRtfResult result;
    auto walk = store::SelectionWalk::begin(table, selection);
    if (!walk) {
        result.Error = QString::fromStdString(walk.error());
        return result;
    }
    copies = std::clamp(copies, 1, kMaxCopies);
    QTextDocument all;
    all.setUndoRedoEnabled(false);
    all.setDefaultFont(letter.defaultFont());
    richtext::SetPageSettings(all, richtext::PageSettings(letter));
    QTextDocument working;
    working.setUndoRedoEnabled(false);
    std::vector<int> letterBlocks;
    const bool single = selection.choice == store::SelectionChoice::Current;
    for (; walk->valid(); walk->next()) {
        richtext::CopyDocument(letter, working);
        ReplaceTokens(working, ReadMergeRecord(table), today);
        for (int copy = 0; copy < copies; ++copy) {
            letterBlocks.push_back(result.Letters == 0 ? 0 : all.blockCount());
            appendLetter(all, working, result.Letters == 0);
            ++result.Letters;
        }
        if (single)
            break;
    }
    if (result.Letters == 0) {
        result.Error = QStringLiteral("There are no records to print");
        return result;
    }
    QSaveFile file(path);
    const QByteArray bytes = sectionsAt(richtext::WriteRtf(all), letterBlocks);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        result.Error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return result;
    }
    result.Ok = true;
    return result;
}

} // namespace qp::letters
