#include "reports/record_sheet.h"

#include "store/locale_dates.h"
#include "store/shared_routines.h"

#include <QRegularExpression>

namespace qp::reports {

namespace {

constexpr double kSheetMargin = 1.0;
constexpr double kHeadTop = 0.5;
constexpr double kCaptionWidth = 1.25;
constexpr double kValueWidth = 5.25;
constexpr int kStopMargin = 2; // hundredths of an inch

QString qs(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// One line of the sheet holds no tab: it would move to the next stop.
QString oneLine(QString s) {
    s.replace(u'\t', u' ');
    s.replace(u'\r', u' ');
    s.replace(u'\n', u' ');
    return s;
}

std::chrono::year_month_day clockToday() {
    const auto now = store::CurrentLocalDateTime();
    return std::chrono::year_month_day{std::chrono::year(now.year),
                                       std::chrono::month(static_cast<unsigned>(now.month)),
                                       std::chrono::day(static_cast<unsigned>(now.day))};
}

void setSheetStops(print::TBaseReport& job) {
    job.ClearTabs();
    job.SetTab(kSheetMargin, print::pjLeft, kCaptionWidth, kStopMargin);
    job.SetTab(kSheetMargin + kCaptionWidth, print::pjLeft, kValueWidth, kStopMargin);
}

void setMemoStop(print::TBaseReport& job, int boxLines) {
    job.ClearTabs();
    job.SetTab(job.SectionLeft, print::pjLeft, job.SectionRight - job.SectionLeft, kStopMargin,
               boxLines);
}

void wrapParagraph(const QString& paragraph, double width,
                   const std::function<double(const QString&)>& measure, QStringList& out) {
    QString line;
    auto flush = [&] {
        out << line;
        line.clear();
    };
    const QStringList words = paragraph.split(u' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        QString word = words[i];
        const QString candidate = line.isEmpty() && i == 0 ? word : line + u' ' + word;
        if (measure(candidate) <= width) {
            line = candidate;
            continue;
        }
        if (!line.isEmpty())
            flush();
        // A word wider than the line goes over as many lines as it needs.
        while (!word.isEmpty() && measure(word) > width) {
            qsizetype n = 1;
            while (n < word.size() && measure(word.left(n + 1)) <= width)
                ++n;
            out << word.left(n);
            word = word.mid(n);
        }
        line = word;
    }
    flush();
}

} // namespace

store::Result<RecordSheet> readRecordSheet(const store::Table& table) {
    if (table.eof() || table.bof())
        return store::fail("There is no current record to print");
    RecordSheet sheet;
    for (int i = 0; i < kSheetFieldCount - 1; ++i) {
        const std::string_view field = kSheetFields[static_cast<std::size_t>(i)].field;
        std::string value;
        if (field == "DisplayDate")
            value =
                store::FormatDisplayDate(table.getString("DATE"), store::UserShortDatePattern());
        else if (table.fieldIndex(field))
            value = table.getString(field);
        sheet.values[static_cast<std::size_t>(i)] = qs(value);
    }
    if (table.fieldIndex("MEMO")) {
        auto memo = table.getMemo("MEMO");
        if (!memo)
            return store::fail("The memo of this record cannot be read: " + memo.error());
        sheet.memo = qs(*memo);
    }
    return sheet;
}

QStringList wrapText(const QString& text, double width,
                     const std::function<double(const QString&)>& measure) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    QStringList lines;
    for (const QString& paragraph : text.split(breaks))
        wrapParagraph(paragraph, width, measure, lines);
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

void recordSheetHeader(print::TBaseReport& job, const RecordSheetHooks& hooks) {
    job.MarginTop = kHeadTop;
    job.ResetSection();
    job.Home();
    job.PrintRight(QStringLiteral("Page ") + QString::number(job.CurrentPage()), job.SectionRight);
    job.NewLine();
    const auto today = hooks.today ? hooks.today() : clockToday();
    job.PrintRight(qs(store::FormatDate(today, store::UserShortDatePattern())), job.SectionRight);
    job.MarginTop = kSheetMargin;
    job.ResetSection();
    job.MoveTo(job.SectionLeft, job.SectionTop);
    job.LineTo(job.SectionRight, job.SectionTop);
    job.MoveTo(job.SectionLeft, job.SectionBottom);
    job.LineTo(job.SectionRight, job.SectionBottom);
    job.Home();
    job.NewLine();
}

namespace {

bool stopped(print::TBaseReport& job, const RecordSheetHooks& hooks) {
    if (hooks.processEvents)
        hooks.processEvents();
    return job.Aborted() || (hooks.stopRequested && hooks.stopRequested());
}

void printMemo(print::TBaseReport& job, const QString& memo, const RecordSheetHooks& hooks) {
    job.SetItalic(true);
    // Wrapped in the font it prints in, so that every line stays inside the
    // stop whatever the screen's fonts are.
    const double width = job.SectionRight - job.SectionLeft - 2 * kStopMargin / 100.0;
    const QStringList lines =
        wrapText(memo, width, [&job](const QString& s) { return job.TextWidth(s); });
    if (lines.isEmpty()) {
        job.SetItalic(false);
        return;
    }
    job.SaveTabs();
    setMemoStop(job, print::blBottom);
    job.Tab();
    job.NewLine(); // the empty cell's bottom line is the rule
    setMemoStop(job, print::blNone);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (stopped(job, hooks))
            break;
        job.Tab();
        job.Print(lines[i]);
        job.NewLine();
        if (job.LinesLeft() < 1 && i + 1 < lines.size()) {
            job.RestoreTabs();
            job.SetItalic(false);
            job.NewPage();
            if (job.Aborted())
                return;
            recordSheetHeader(job, hooks);
            job.SaveTabs();
            job.SetItalic(true);
            setMemoStop(job, print::blNone);
        }
    }
    job.RestoreTabs();
    job.SetItalic(false);
}

} // namespace

void printRecordSheet(print::TBaseReport& job, const RecordSheet& sheet,
                      const SheetChoices& choices, const RecordSheetHooks& hooks) {
    job.SetFont(QStringLiteral("Times"), 10);
    job.SetBold(false);
    job.SetItalic(false);
    job.MarginLeft = job.MarginRight = job.MarginTop = job.MarginBottom = kSheetMargin;
    job.ResetSection();
    setSheetStops(job);
    recordSheetHeader(job, hooks);
    for (int i = 0; i < kSheetFieldCount - 1; ++i) {
        if (!choices[static_cast<std::size_t>(i)])
            continue;
        if (stopped(job, hooks))
            return;
        job.Tab();
        job.SetBold(true);
        job.Print(qs(std::string(kSheetFields[static_cast<std::size_t>(i)].caption)));
        job.SetBold(false);
        job.Tab();
        job.Print(oneLine(sheet.values[static_cast<std::size_t>(i)]));
        job.NewLine();
    }
    job.NewLine();
    if (choices[kMemoChoice])
        printMemo(job, sheet.memo, hooks);
}

void prepareRecordSheet(print::TBaseReport& job, RecordSheet sheet, SheetChoices choices,
                        RecordSheetHooks hooks) {
    job.Title = QString::fromLatin1(kRecordSheetTitle);
    job.MarginLeft = job.MarginRight = job.MarginTop = job.MarginBottom = kSheetMargin;
    job.OnBeforePrint = [](print::TBaseReport& r) {
        r.StatusFormat = QStringLiteral("Printing Page %p\r%0\r%1");
        r.StatusText = {QString(), QString()};
    };
    job.OnPrint = [sheet = std::move(sheet), choices, hooks = std::move(hooks)](
                      print::TBaseReport& r) { printRecordSheet(r, sheet, choices, hooks); };
}

} // namespace qp::reports
