#pragma once
// "Print Letters": the list of letters (Modify, New, Delete, Clone), what to
// print, the printer and the copies of each letter, and Ok, Print, Preview
// and Printer Setup.

#include "letters/letter_store.h"
#include "store/record_selection.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class QTextDocument;

namespace qp::letters {

class TLetterDesign;

class TQPLetters : public QDialog {
    Q_OBJECT
public:
    TQPLetters(TLetterTable letters, store::Table& addressFile, bool filterSet,
               QWidget* parent = nullptr);

    // Tests and the designer's callers: the designer runs through this hook,
    // which by default shows it modally and returns its result.
    std::function<int(TLetterDesign&)> RunDesigner;

    TLetterTable& Letters() { return Letters_; }
    QTableWidget* Grid() const { return Grid_; }
    QPushButton* Button(const QString& objectName) const;
    QRadioButton* AllRecords() const { return All_; }
    QRadioButton* FilterRecords() const { return Filter_; }
    QRadioButton* CurrentRecord() const { return Current_; }
    QCheckBox* StartFromCurrent() const { return StartCurrent_; }
    QSpinBox* Copies() const { return Copies_; }
    QLabel* PrinterName() const { return Printer_; }

    store::RecordSelection Selection() const;
    // Loads the selected letter; false (and a message) when it cannot be read.
    bool LoadSelected(QTextDocument& doc);

    void ModifyLetter();
    void NewLetter();
    void DeleteLetter();
    void CloneLetter();
    void PreviewLetter();
    // Asks the print dialog first unless `askPrinter` is false.
    bool PrintLetters(bool askPrinter = true);
    void PrinterSetup();
    void UpdateButtons();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FillGrid(std::uint32_t select = 0);
    void SelectionChanged();
    void ShowPrinter();
    void StoreFailed(const store::Status& st);

    TLetterTable Letters_;
    store::Table& Address_;
    bool FilterSet_;
    QTableWidget* Grid_;
    QRadioButton* All_;
    QRadioButton* Filter_;
    QRadioButton* Current_;
    QCheckBox* StartCurrent_;
    QSpinBox* Copies_;
    QLabel* Printer_;
    bool Shown_ = false;
};

// Opens the letter table and the window; says why when the table cannot be
// opened.
void runLettersWindow(QWidget* parent, store::Table& addressFile, bool filterSet);

} // namespace qp::letters
