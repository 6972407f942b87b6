#pragma once
// The single-record sheet: the chosen fields of one address record, caption
// in bold and value beside it, the memo in italics below a rule, continued on
// further pages. Drawn through the print engine onto any job.

#include "print/base_report.h"
#include "store/table.h"

#include <QString>
#include <QStringList>

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace qp::reports {

inline constexpr const char* kRecordSheetTitle = "Single Record Report";
inline constexpr const char* kRecordPreviewTitle = "Preview Report";
inline constexpr const char* kPrintCurrentRecordTitle = "Print Current Record";

struct SheetField {
    std::string_view checkBox; // the box in the window
    std::string_view caption;  // printed; empty for the memo
    std::string_view field;    // stored field, "DisplayDate" for the date
};

inline constexpr int kSheetFieldCount = 21;
inline constexpr int kMemoChoice = 20;

inline constexpr std::array<SheetField, kSheetFieldCount> kSheetFields{{
    {"Prefix", "Prefix", "PREFIX"},
    {"Last", "Last", "LNAME"},
    {"First", "First", "FNAME"},
    {"Middle", "Middle", "MIDDLE"},
    {"Title", "Title", "TITLE"},
    {"Organization", "Organization", "ORG"},
    {"Address 1", "Address 1", "STREET"},
    {"Address 2", "Address 2", "STREET2"},
    {"City", "City", "CITY"},
    {"State/Province", "State", "STATE"},
    {"Zip/Postal Code", "Zip/Postal", "ZIP"},
    {"Country", "Country", "COUNTRY"},
    {"Phone 1", "Phone 1", "PHONE"},
    {"Phone 2", "Phone 2", "PHONE2"},
    {"Fax", "Fax", "FAX"},
    {"E-mail", "E-Mail", "EMAIL"},
    {"Comment 1", "Comment 1", "USER1"},
    {"Comment 2", "Comment 2", "USER2"},
    {"Codes", "Codes", "CODES"},
    {"Date", "Date", "DisplayDate"},
    {"Memo", "", "MEMO"},
}};

using SheetChoices = std::array<bool, kSheetFieldCount>;
inline SheetChoices allSheetChoices() {
    SheetChoices c;
    c.fill(true);
    return c;
}

// What one record gives the sheet.
struct RecordSheet {
    std::array<QString, kSheetFieldCount - 1> values; // fields 1 to 20, in table order
    QString memo;
};

// The current record's values; the date as displayed (short date pattern).
store::Result<RecordSheet> readRecordSheet(const store::Table& table);

// Lines of `text` no wider than `width` as `measure` gives widths: broken at
// blanks, a word wider than the line broken where it must; line breaks kept.
// A text of blanks and line breaks only gives no line.
QStringList wrapText(const QString& text, double width,
                     const std::function<double(const QString&)>& measure);

struct RecordSheetHooks {
    std::function<bool()> stopRequested;
    std::function<void()> processEvents;
    // Today, for the page head; the clock when empty.
    std::function<std::chrono::year_month_day()> today;
};

// The page head: "Page n" and today's date at the right, a line along the
// top and the bottom of the section.
void recordSheetHeader(print::TBaseReport& job, const RecordSheetHooks& hooks);

// The whole sheet onto a running job.
void printRecordSheet(print::TBaseReport& job, const RecordSheet& sheet,
                      const SheetChoices& choices, const RecordSheetHooks& hooks = {});

// Sets title, status format and the print routine on `job`.
void prepareRecordSheet(print::TBaseReport& job, RecordSheet sheet, SheetChoices choices,
                        RecordSheetHooks hooks = {});

} // namespace qp::reports
