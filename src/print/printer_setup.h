#pragma once
// Printer choice, paper, bins and geometry of the selected device.
// A "PDF file" printer is always listed, so jobs run without any printer.
#include "print/paper_codes.h"
#include "print/print_types.h"

#include <QMarginsF>
#include <QString>
#include <QStringList>
#include <memory>

class QPrinter;

namespace qp::print {

class TPrinterSetup {
public:
    static const QString kPdfPrinterName;

    TPrinterSetup(); // selects the default printer, else "PDF file"
    ~TPrinterSetup();
    TPrinterSetup(const TPrinterSetup&) = delete;
    TPrinterSetup& operator=(const TPrinterSetup&) = delete;

    // The selection every window shares, as the platform printer is shared.
    static TPrinterSetup& Shared();

    QStringList PrinterNames() const; // installed printers, then "PDF file"
    int PrinterIndex() const;
    bool SelectPrinter(int index);
    // Compares the part before " ON " (any case), ignoring case.
    bool SelectPrinterByName(const QString& name);
    void SelectDefaultPrinter();
    // Takes over the printer a print dialog chose on Printer().
    void SyncFromPrinter();
    QString DeviceName() const;
    bool IsPdf() const;

    // Target file while "PDF file" is selected.
    void SetOutputFileName(const QString& path);
    QString OutputFileName() const;

    // Paper by platform code (0 = user size w x h inches).
    bool SetPaperCode(int code, double widthInches = 0, double heightInches = 0);
    bool SetUserPaper(double widthInches, double heightInches);
    QStringList PaperNames() const;
    QString PaperName() const;
    bool SelectPaper(const QString& name);
    QStringList BinNames() const;
    QString BinName() const;
    bool SelectBin(const QString& name);

    TOrientation Orientation() const;
    void SetOrientation(TOrientation o); // poDefault leaves it as it is

    // Whole sheet in inches, whatever the unprintable margins.
    double PageWidth() const;
    double PageHeight() const;
    QMarginsF UnprintableMargins() const; // left, top, right, bottom in inches
    double XDpi() const;
    double YDpi() const;

    int Copies() const { return Copies_; }
    void SetCopies(int n) { Copies_ = n < 1 ? 1 : n; }

    QPrinter& Printer() { return *Printer_; }
    const QPrinter& Printer() const { return *Printer_; }

private:
    void ConfigurePdf();
    std::unique_ptr<QPrinter> Printer_;
    QString Selected_;
    QString OutputFile_;
    int Copies_ = 1;
};

QString PrinterNameOnlyPart(const QString& name);

} // namespace qp::print
