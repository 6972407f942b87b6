#include "print/printer_setup.h"

#include "print/paper_codes.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

namespace qp::print {

const QString TPrinterSetup::kPdfPrinterName = QStringLiteral("PDF file");

namespace {

constexpr double kPdfDpi = 600;

struct TBinName {
    QPrinter::PaperSource Source;
    const char* Name;
};

const TBinName kBins[] = {
    {QPrinter::OnlyOne, "Upper"},
    {QPrinter::Lower, "Lower"},
    {QPrinter::Middle, "Middle"},
    {QPrinter::Manual, "Manual"},
    {QPrinter::Envelope, "Envelope"},
    {QPrinter::EnvelopeManual, "Envelope Manual"},
    {QPrinter::Auto, "Auto"},
    {QPrinter::Tractor, "Tractor"},
    {QPrinter::SmallFormat, "Small Format"},
    {QPrinter::LargeFormat, "Large Format"},
    {QPrinter::LargeCapacity, "Large Capacity"},
    {QPrinter::Cassette, "Cassette"},
    {QPrinter::FormSource, "Form Source"},
    {QPrinter::CustomSource, "Custom"},
};

QString BinText(QPrinter::PaperSource s) {
    for (const TBinName& b : kBins)
        if (b.Source == s)
            return QString::fromLatin1(b.Name);
    return QStringLiteral("Auto");
}

QList<QPageSize> PdfPageSizes() {
    QList<QPageSize> list;
    for (int code : {1, 5, 9, 11, 19, 20, 21, 22, 23, 27, 28, 30, 31, 32, 33, 34, 35, 36, 37, 38}) {
        QPageSize s = PageSizeForCode(code);
        if (s.isValid())
            list.append(s);
    }
    return list;
}

} // namespace

QString PrinterNameOnlyPart(const QString& name) {
    const qsizetype at = name.indexOf(QStringLiteral(" ON "), 0, Qt::CaseInsensitive);
    return at < 0 ? name : name.left(at);
}

TPrinterSetup::TPrinterSetup() : Printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    SelectDefaultPrinter();
    Printer_->setPageSize(QPageSize(QPageSize::Letter));
}

TPrinterSetup::~TPrinterSetup() = default;

TPrinterSetup& TPrinterSetup::Shared() {
    static TPrinterSetup setup;
    return setup;
}

QStringList TPrinterSetup::PrinterNames() const {
    QStringList names = QPrinterInfo::availablePrinterNames();
    names.append(kPdfPrinterName);
    return names;
}

int TPrinterSetup::PrinterIndex() const {
    return static_cast<int>(PrinterNames().indexOf(Selected_));
}

void TPrinterSetup::ConfigurePdf() {
    Printer_->setOutputFormat(QPrinter::PdfFormat);
    Printer_->setResolution(static_cast<int>(kPdfDpi));
    Printer_->setOutputFileName(OutputFile_);
}

bool TPrinterSetup::SelectPrinter(int index) {
    const QStringList names = PrinterNames();
    if (index < 0 || index >= names.size())
        return false;
    const QPageLayout layout = Printer_->pageLayout();
    Selected_ = names[index];
    if (Selected_ == kPdfPrinterName) {
        ConfigurePdf();
    } else {
        Printer_->setOutputFormat(QPrinter::NativeFormat);
        Printer_->setPrinterName(Selected_);
    }
    // Keep the paper and orientation the caller asked for across printers.
    Printer_->setPageSize(layout.pageSize());
    Printer_->setPageOrientation(layout.orientation());
    Printer_->setFullPage(true);
    return true;
}

bool TPrinterSetup::SelectPrinterByName(const QString& name) {
    const QString wanted = PrinterNameOnlyPart(name).trimmed();
    const QStringList names = PrinterNames();
    for (int i = 0; i < names.size(); ++i)
        if (PrinterNameOnlyPart(names[i]).compare(wanted, Qt::CaseInsensitive) == 0)
            return SelectPrinter(i);
    return false;
}

void TPrinterSetup::SelectDefaultPrinter() {
    const QString def = QPrinterInfo::defaultPrinterName();
    const QStringList names = PrinterNames();
    const qsizetype at = def.isEmpty() ? -1 : names.indexOf(def);
    SelectPrinter(at < 0 ? static_cast<int>(names.size() - 1) : static_cast<int>(at));
}

void TPrinterSetup::SyncFromPrinter() {
    if (Printer_->outputFormat() == QPrinter::PdfFormat) {
        Selected_ = kPdfPrinterName;
        OutputFile_ = Printer_->outputFileName();
        Printer_->setResolution(static_cast<int>(kPdfDpi));
    } else {
        Selected_ = Printer_->printerName();
    }
    Printer_->setFullPage(true);
}

QString TPrinterSetup::DeviceName() const {
    return Selected_;
}

bool TPrinterSetup::IsPdf() const {
    return Selected_ == kPdfPrinterName;
}

void TPrinterSetup::SetOutputFileName(const QString& path) {
    OutputFile_ = path;
    if (IsPdf())
        Printer_->setOutputFileName(path);
}

QString TPrinterSetup::OutputFileName() const {
    return OutputFile_;
}

bool TPrinterSetup::SetPaperCode(int code, double widthInches, double heightInches) {
    const QPageSize size =
        code == kPaperUser ? UserPageSize(widthInches, heightInches) : PageSizeForCode(code);
    return size.isValid() && Printer_->setPageSize(size);
}

bool TPrinterSetup::SetUserPaper(double widthInches, double heightInches) {
    return SetPaperCode(kPaperUser, widthInches, heightInches);
}

QStringList TPrinterSetup::PaperNames() const {
    const QList<QPageSize> sizes =
        IsPdf() ? PdfPageSizes() : QPrinterInfo(*Printer_).supportedPageSizes();
    QStringList names;
    for (const QPageSize& s : sizes)
        names.append(s.name());
    return names;
}

QString TPrinterSetup::PaperName() const {
    return Printer_->pageLayout().pageSize().name();
}

bool TPrinterSetup::SelectPaper(const QString& name) {
    const QList<QPageSize> sizes =
        IsPdf() ? PdfPageSizes() : QPrinterInfo(*Printer_).supportedPageSizes();
    for (const QPageSize& s : sizes)
        if (s.name().compare(name, Qt::CaseInsensitive) == 0)
            return Printer_->setPageSize(s);
    return false;
}

QStringList TPrinterSetup::BinNames() const {
    // Qt lists a device's input slots only on Windows; offer the common ones.
    if (IsPdf())
        return {BinText(QPrinter::Auto)};
    QStringList names;
    for (const TBinName& b : kBins)
        names.append(QString::fromLatin1(b.Name));
    return names;
}

QString TPrinterSetup::BinName() const {
    return BinText(Printer_->paperSource());
}

bool TPrinterSetup::SelectBin(const QString& name) {
    for (const TBinName& b : kBins) {
        if (QString::fromLatin1(b.Name).compare(name, Qt::CaseInsensitive) == 0) {
            Printer_->setPaperSource(b.Source);
            return true;
        }
    }
    return false;
}

TOrientation TPrinterSetup::Orientation() const {
    return Printer_->pageLayout().orientation() == QPageLayout::Landscape ? poLandScape
                                                                          : poPortrait;
}

void TPrinterSetup::SetOrientation(TOrientation o) {
    if (o == poDefault)
        return;
    Printer_->setPageOrientation(o == poLandScape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

double TPrinterSetup::PageWidth() const {
    return Printer_->pageLayout().fullRect(QPageLayout::Point).width() / 72.0;
}

double TPrinterSetup::PageHeight() const {
    return Printer_->pageLayout().fullRect(QPageLayout::Point).height() / 72.0;
}

QMarginsF TPrinterSetup::UnprintableMargins() const {
    if (IsPdf())
        return {};
    const QMarginsF m = Printer_->pageLayout().minimumMargins(); // in the layout's units
    const double toInch = QPageLayout(Printer_->pageLayout()).fullRect(QPageLayout::Point).width() /
                          Printer_->pageLayout().fullRect().width() / 72.0;
    return m * toInch;
}

double TPrinterSetup::XDpi() const {
    return IsPdf() ? kPdfDpi : Printer_->resolution();
}

double TPrinterSetup::YDpi() const {
    return XDpi();
}

} // namespace qp::print
