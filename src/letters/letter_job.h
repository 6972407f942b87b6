#pragma once
// Printing a form letter: one merged copy per record of the selection (or
// for the current record only), each letter and each copy on fresh sheets,
// and no blank page after the last. Pages are rendered by the rich-text page
// renderer into the text area of the letter's own page and sent through the
// print engine, so the printer, a PDF file and the preview get the same pages.

#include "letters/merge_fields.h"
#include "richtext/page_settings.h"
#include "store/record_selection.h"

#include <QDate>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>

class QTextDocument;

namespace qp::print {
class TBaseReport;
class TPrinterSetup;
} // namespace qp::print

namespace qp::store {
class Table;
}

namespace qp::letters {

inline constexpr int kMaxCopies = 999;
inline constexpr const char* kPrintingPage = "Printing page ";
inline constexpr const char* kCancelQuestion = "Cancel print job?";
inline constexpr const char* kLetterCanceled = "Letter Print Canceled!";
inline constexpr const char* kLetterCompleted = "Letter Print Completed!";

// The text area of the page in inches from the paper's top-left corner;
// nothing when the margins leave no room for text.
std::optional<QRectF> TextAreaInches(const richtext::TPageSettings& page);
QString NoTextAreaMessage(const richtext::TPageSettings& page);

struct TLetterJobHooks {
    // After each record: the status text ("Printing page 4").
    std::function<void(const QString&)> Status;
    // After each record: true ends the job as cancelled.
    std::function<bool()> CancelNow;
    // The out-of-range message of "Start from current record".
    std::function<void(const QString&)> Info;
    QDate Today = QDate::currentDate();
};

// The letter run of one job. Print() is the job's print routine: it walks
// the table from where it stands, merges each record into a fresh copy of
// the letter and renders its pages.
class TLetterRun {
public:
    // `walk` stands on the first record to print.
    TLetterRun(const QTextDocument& letter, store::Table& table, store::SelectionWalk& walk,
               int copies, bool onlyCurrent, TLetterJobHooks hooks = {});

    // False before anything is printed when the page has no text area.
    bool Check(QString* why) const;
    void Print(print::TBaseReport& job);

    int PagesPrinted() const { return Pages_; }
    int LettersPrinted() const { return Letters_; }
    bool Cancelled() const { return Cancelled_; }

private:
    // Renders every page of `doc` for every copy; false when the job stopped.
    bool PrintRecord(print::TBaseReport& job, const QTextDocument& doc);

    const QTextDocument& Letter_;
    store::Table& Table_;
    store::SelectionWalk& Walk_;
    int Copies_;
    bool OnlyCurrent_;
    TLetterJobHooks Hooks_;
    richtext::TPageSettings Page_;
    int Pages_ = 0;
    int Letters_ = 0;
    bool Cancelled_ = false;
};

enum class TLetterOutcome { Completed, Canceled, Failed, NothingToPrint };

struct TLetterPrintResult {
    TLetterOutcome Outcome = TLetterOutcome::Failed;
    int Pages = 0;
    int Letters = 0;
    QString Error; // why it failed
};

// Prepares `job` for the letter: the paper of the letter's page, one copy
// from the engine (copies are the run's own), the print routine.
void PrepareLetterJob(print::TBaseReport& job, TLetterRun& run, const QString& title);

// The whole print headless: the selection walked with `selection` and put
// back afterwards, onto the target `setup` names (a printer or a PDF file).
TLetterPrintResult PrintLetters(const QTextDocument& letter, store::Table& table,
                                const store::RecordSelection& selection, int copies,
                                print::TPrinterSetup& setup, const QString& title,
                                TLetterJobHooks hooks = {});

// The merged letters as one RTF document, each letter a section of its own
// starting on a new page. Returns the number of letters, or why not.
struct TMergedRtfResult {
    bool Ok = false;
    int Letters = 0;
    QString Error;
};
TMergedRtfResult WriteMergedRtf(const QTextDocument& letter, store::Table& table,
                                const store::RecordSelection& selection, int copies,
                                const QString& path, const QDate& today = QDate::currentDate());

} // namespace qp::letters
