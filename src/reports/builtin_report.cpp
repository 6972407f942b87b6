#include "reports/builtin_report.h"

#include "reports/record_sheet.h"
#include "store/locale_dates.h"
#include "store/shared_routines.h"

#include <array>
#include <vector>

namespace qp::reports {

namespace {

constexpr double kLeftMargin = 1.0;
constexpr double kOtherMargins = 0.5;
constexpr int kInnerMargin = 2; // hundredths of an inch
constexpr double kClipShortening = 0.2;
constexpr int kCodesShade = 5;
constexpr int kMemoShade = 10;
const QColor kRuleGrey = QColor(0xC0, 0xC0, 0xC0); // RGB 12632256

QString qs(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString trimLeft(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    return s.mid(i);
}

// A value printed in a cell holds neither tabs nor line breaks.
QString oneLine(QString s) {
    for (QChar c : {QChar(u'\t'), QChar(u'\r'), QChar(u'\n')})
        s.replace(c, u' ');
    return s;
}

QString middleWithDot(const QString& middle) {
    return middle.isEmpty() ? middle : middle + u'.';
}

const std::vector<BuiltInColumn>& columnsOf(int report) {
    static const std::array<std::vector<BuiltInColumn>, 4> columns{{
        {{"Name", 1.75}, {"Address", 2.15}, {"City/St/Zip", 2.0}, {"Phone", 1.5}},
        {{"Name", 2.0}, {"Organization", 2.5}, {"Phone", 1.5}, {"Fax", 1.35}},
        {{"Organization", 2.5}, {"Name", 2.0}, {"Phone", 1.5}, {"Fax", 1.35}},
        {{"", 0.5}, {"", 2.25}, {"", 3.0}, {"", 1.5}},
    }};
    return columns[static_cast<std::size_t>(std::clamp(report, 1, 4) - 1)];
}

double bodySize(int report) {
    return report == 4 ? 8 : 9;
}

void setBodyFont(print::TBaseReport& job, int report) {
    job.SetFont(QStringLiteral("Arial"), bodySize(report));
    job.SetBold(false);
    job.SetItalic(false);
}

void setColumnStops(print::TBaseReport& job, int report) {
    job.ClearTabs();
    bool first = true;
    for (const BuiltInColumn& c : columnsOf(report)) {
        job.SetTab(first ? kLeftMargin : -1, print::pjLeft, c.width, kInnerMargin);
        first = false;
    }
}

double stopLeft(const print::TBaseReport& job, int stop) {
    return stop < job.TabCount() ? job.TabStop(stop).Position : job.SectionLeft;
}

// DoTextRect: the value from the cell's left edge plus the inner margin,
// clipped at the cell's width less 0.2 inch, measured from where it starts.
void doTextRect(print::TBaseReport& job, double left, double width, const QString& text) {
    if (text.isEmpty())
        return;
    const double x = left + kInnerMargin / 100.0;
    const double top = job.YPos() - job.LineHeight();
    const QRectF clip(QPointF(x, top), QPointF(x + std::max(0.0, width - kClipShortening),
                                               job.YPos() + job.FontDescent()));
    job.TextRect(clip, x, top, oneLine(text));
}

struct Record {
    NameFields name;
    QString title, org, street, city, state, zip, country, phone, fax, email, date, codes;
};

Record readRecord(const store::Table& t) {
    auto f = [&](std::string_view field) {
        return t.fieldIndex(field) ? qs(t.getString(field)) : QString();
    };
    Record r;
    r.name = {f("LNAME"), f("FNAME"), f("MIDDLE"), f("PREFIX")};
    r.title = f("TITLE");
    r.org = f("ORG");
    r.street = f("STREET");
    r.city = f("CITY");
    r.state = f("STATE");
    r.zip = f("ZIP");
    r.country = f("COUNTRY");
    r.phone = f("PHONE");
    r.fax = f("FAX");
    r.email = f("EMAIL");
    r.date = f("DATE");
    r.codes = f("CODES");
    return r;
}

class BuiltInPrinter {
public:
    BuiltInPrinter(print::TBaseReport& job, store::Table& table, const BuiltInOptions& options,
                   const ReportHooks& hooks)
        : job_(job), table_(table), o_(options), hooks_(hooks) {}

    int run() {
        job_.MarginLeft = kLeftMargin;
        setBodyFont(job_, o_.report);
        job_.SetSection(job_.MarginLeft, job_.PageWidth() - job_.MarginLeft, job_.MarginTop + 1.0,
                        job_.PageHeight() - job_.MarginBottom - 1.0);
        setColumnStops(job_, o_.report);
        pageHead();
        int printed = 0;
        while (!table_.eof()) {
            if (job_.Aborted() || (hooks_.stopRequested && hooks_.stopRequested()))
                break;
            const Record r = readRecord(table_);
            const int need = o_.report == 4 ? 3 : 1;
            if (job_.LinesLeft() < need && !newPage())
                break;
            printLines(r);
            codesAndMemo(r);
            if (o_.report == 4 && job_.LinesLeft() > 3) {
                const double y = job_.YPos() - job_.LineHeight() / 2;
                job_.SetPen(kRuleGrey, print::psSolid, 1);
                job_.MoveTo(job_.SectionLeft, y);
                job_.LineTo(job_.SectionRight, y);
                job_.SetPen(Qt::black, print::psSolid, 1);
                job_.NewLine();
            }
            ++printed;
            if (hooks_.processEvents)
                hooks_.processEvents();
            if (!table_.next())
                break;
        }
        return printed;
    }

private:
    bool newPage() {
        job_.NewPage();
        if (job_.Aborted())
            return false;
        pageHead();
        return true;
    }

    void pageHead() {
        job_.ResetSection();
        job_.SetFont(QStringLiteral("Times New Roman"), 14);
        job_.SetBold(true);
        job_.SetItalic(false);
        job_.Home();
        job_.Print(oneLine(o_.title));
        job_.PrintRight(QStringLiteral("Page ") + QString::number(job_.CurrentPage()),
                        job_.SectionRight);
        job_.NewLine();
        job_.PrintRight(qs(store::FormatDate(reportToday(hooks_), store::UserShortDatePattern())),
                        job_.SectionRight);
        job_.SetFont(QStringLiteral("Arial"), 9);
        job_.SetBold(true);
        job_.GotoXY(kLeftMargin, job_.MarginTop + (o_.report == 4 ? 0.5 : 0.8));
        job_.NewLine();
        if (o_.report == 4) {
            const std::array<std::array<const char*, 4>, 3> heads{{
                {"Name", nullptr, "Title and Organization", nullptr},
                {nullptr, "Street", "City/State/Zip", "Country"},
                {nullptr, "Phone,Fax", "Email", "Date"},
            }};
            for (std::size_t line = 0; line < heads.size(); ++line) {
                for (int stop = 0; stop < 4; ++stop) {
                    job_.Tab();
                    if (const char* h = heads[line][static_cast<std::size_t>(stop)])
                        job_.Print(QString::fromLatin1(h));
                }
                if (line + 1 < heads.size())
                    job_.NewLine();
            }
        } else {
            for (const BuiltInColumn& c : columnsOf(o_.report)) {
                job_.Tab();
                job_.Print(QString::fromLatin1(c.heading));
            }
        }
        job_.SetBold(false);
        job_.SetItalic(false);
        job_.SetSection(job_.MarginLeft, job_.PageWidth() - job_.MarginLeft + job_.MarginRight,
                        job_.MarginTop + 1.0, job_.PageHeight() - job_.MarginBottom - 0.5);
        job_.SetPen(Qt::black, print::psSolid, 1);
        job_.MoveTo(job_.SectionLeft, job_.SectionTop);
        job_.LineTo(job_.SectionRight, job_.SectionTop);
        job_.MoveTo(job_.SectionLeft, job_.SectionBottom);
        job_.LineTo(job_.SectionRight, job_.SectionBottom);
        setBodyFont(job_, o_.report);
        job_.Home();
    }

    void cell(int stop, double width, const QString& text) {
        doTextRect(job_, stopLeft(job_, stop), width, text);
    }

    void printLines(const Record& r) {
        const auto& cols = columnsOf(o_.report);
        switch (o_.report) {
        case 1:
            cell(0, cols[0].width, NameA(r.name));
            cell(1, cols[1].width, r.street);
            cell(2, cols[2].width, CityLineA(r.city, r.state, r.zip));
            cell(3, cols[3].width, r.phone);
            job_.NewLine();
            break;
        case 2:
            cell(0, cols[0].width, NameA(r.name));
            cell(1, cols[1].width, r.org);
            cell(2, cols[2].width, r.phone);
            cell(3, cols[3].width, r.fax);
            job_.NewLine();
            break;
        case 3:
            cell(0, cols[0].width, r.org);
            cell(1, cols[1].width, NameA(r.name));
            cell(2, cols[2].width, r.phone);
            cell(3, cols[3].width, r.fax);
            job_.NewLine();
            break;
        default:
            cell(0, 2.75, NameB(r.name));
            cell(2, 4.5, TitleAndOrganization(r.title, r.org));
            job_.NewLine();
            cell(1, 2.25, r.street);
            cell(2, 3.0, CityLineB(r.city, r.state, r.zip));
            cell(3, 1.5, r.country);
            job_.NewLine();
            cell(1, 2.25, PhoneAndFax(r.phone, r.fax));
            cell(2, 3.0, r.email);
            cell(3, 1.5, r.date);
            job_.NewLine();
            break;
        }
    }

    void fullWidthStop(int shade) {
        job_.ClearTabs();
        job_.SetTab(job_.MarginLeft, print::pjLeft, job_.SectionRight - job_.SectionLeft,
                    kInnerMargin, print::blNone, shade);
    }

    void codesAndMemo(const Record& r) {
        if (o_.printCodes && !r.codes.trimmed().isEmpty()) {
            if (job_.LinesLeft() < 1 && !newPage())
                return;
            job_.SaveTabs();
            fullWidthStop(kCodesShade);
            job_.Tab();
            job_.Print(QStringLiteral("Codes: ") + oneLine(r.codes));
            job_.NewLine();
            job_.RestoreTabs();
        }
        if (!o_.printMemo || !table_.fieldIndex("MEMO"))
            return;
        auto memo = table_.getMemo("MEMO");
        if (!memo)
            return;
        const double width = job_.SectionRight - job_.SectionLeft - 0.25;
        const QStringList lines =
            wrapText(qs(*memo), width, [this](const QString& s) { return job_.TextWidth(s); });
        if (lines.isEmpty())
            return;
        job_.SaveTabs();
        fullWidthStop(kMemoShade);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (job_.LinesLeft() < 1) {
                job_.RestoreTabs();
                if (!newPage())
                    return;
                job_.SaveTabs();
                fullWidthStop(kMemoShade);
            }
            job_.Tab();
            job_.Print(oneLine(lines[i]));
            job_.NewLine();
        }
        job_.RestoreTabs();
    }

    print::TBaseReport& job_;
    store::Table& table_;
    const BuiltInOptions& o_;
    const ReportHooks& hooks_;
};

} // namespace

QString BuiltInReportName(int report) {
    switch (report) {
    case 1:
        return QStringLiteral("1. Name,Address,City,State,Zip,Phone");
    case 2:
        return QStringLiteral("2. Name,Organization,Phone,Fax");
    case 3:
        return QStringLiteral("3. Organization,Name,Phone,Fax ");
    case 4:
        return QStringLiteral("4. All major fields (takes several lines)");
    default:
        return {};
    }
}

std::string BuiltInReportOrder(int report) {
    return report == 3 ? "ORG" : "LNAME";
}

QString NameA(const NameFields& n) {
    return trimLeft(n.lname + QStringLiteral(", ")) + trimLeft(n.fname + u' ') +
           trimLeft(middleWithDot(n.middle));
}

QString NameB(const NameFields& n) {
    if (n.lname.isEmpty())
        return {};
    QString out = trimLeft(n.lname) + QStringLiteral(", ");
    if (!(n.prefix + n.fname).isEmpty())
        out += n.prefix + u' ';
    out += trimLeft(n.fname + u' ');
    out += trimLeft(middleWithDot(n.middle));
    return out;
}

QString CityLineA(const QString& city, const QString& state, const QString& zip) {
    QString out;
    if (!city.isEmpty())
        out += city + QStringLiteral(", ");
    if (!state.isEmpty())
        out += state + QStringLiteral("  ");
    if (!zip.isEmpty())
        out += zip + u' ';
    return out;
}

QString CityLineB(const QString& city, const QString& state, const QString& zip) {
    QString out = city;
    if (!state.isEmpty())
        out += QStringLiteral(", ") + state;
    if (!zip.isEmpty())
        out += QStringLiteral(", ") + zip;
    return out;
}

QString TitleAndOrganization(const QString& title, const QString& org) {
    if (!title.isEmpty() && !org.isEmpty())
        return title + QStringLiteral(", ") + org;
    return org;
}

QString PhoneAndFax(const QString& phone, const QString& fax) {
    QString out;
    if (!phone.isEmpty())
        out += QStringLiteral("Ph: ") + phone + QStringLiteral("  ");
    if (!fax.isEmpty())
        out += QStringLiteral("Fax: ") + fax + QStringLiteral("  ");
    return out;
}

int printBuiltInReport(print::TBaseReport& job, store::Table& table, const BuiltInOptions& options,
                       const ReportHooks& hooks) {
    BuiltInPrinter printer(job, table, options, hooks);
    return printer.run();
}

void prepareBuiltInReport(print::TBaseReport& job, store::Table& table, BuiltInOptions options,
                          ReportHooks hooks, int* printed) {
    job.Title = QString::fromLatin1(kReportJobTitle);
    job.MarginLeft = kLeftMargin;
    job.MarginRight = job.MarginTop = job.MarginBottom = kOtherMargins;
    job.OnBeforePrint = [](print::TBaseReport& r) {
        r.StatusFormat = QString::fromLatin1(kReportStatusFormat);
        r.StatusText = {QString(), QString()};
    };
    job.OnPrint = [&table, options = std::move(options), hooks = std::move(hooks),
                   printed](print::TBaseReport& r) {
        const int n = printBuiltInReport(r, table, options, hooks);
        if (printed)
            *printed = n;
    };
}

} // namespace qp::reports
