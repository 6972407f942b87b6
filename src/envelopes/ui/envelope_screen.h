#pragma once
// "Print Envelope": the saved envelope designs with New, Modify, Delete and
// Clone, a small preview of the chosen one with the current record's
// values, what to print, and Printer Setup, Preview and Print.

#include "design/data_source.h"
#include "envelopes/envelope_definition.h"
#include "envelopes/envelope_feed.h"
#include "envelopes/envelope_panel.h"
#include "store/record_selection.h"
#include "store/table.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTableWidget;

namespace qp::envelopes {

class TEnvelopePanelView;

class TQPEnvelopes : public QDialog {
    Q_OBJECT
public:
    TQPEnvelopes(store::Table& addressTable, bool filterSet, std::string tagId,
                 QWidget* parent = nullptr);
    ~TQPEnvelopes() override;
    // False when ENVELOPE.DBF could not be opened (the reason has been shown).
    bool opened() const { return envelopes_.has_value(); }

    // Every modal window the screen opens goes through here.
    std::function<int(QDialog&)> runModal = [](QDialog& d) { return d.exec(); };
    // Questions (Delete, Clone); tests answer them.
    std::function<bool(const QString& text, const QString& title)> ask;

    void modifyEnvelope();
    void newEnvelope();
    void deleteEnvelope();
    void cloneEnvelope();
    void printOrPreview(bool preview);
    void printerSetup();
    void moveRecord(int which);

    store::RecordSelection selection() const;
    std::optional<EnvelopeDefinition> currentDefinition() const;
    store::Table* envelopeTable() { return envelopes_ ? &*envelopes_ : nullptr; }
    TEnvelopePanel& previewPanel() { return preview_; }
    const FeedMethod& feed() const { return feed_; }

    QTableWidget* list() const { return list_; }
    QPushButton* button(const char* objectName) const;
    QRadioButton* allRecords() const { return all_; }
    QRadioButton* filterRecords() const { return filter_; }
    QRadioButton* currentRecord() const { return current_; }
    QCheckBox* startFromCurrent() const { return startCurrent_; }
    QLabel* recordCaption() const { return recordCaption_; }
    QWidget* previewWidget() const;

protected:
    void showEvent(QShowEvent*) override;

private:
    void fillList(std::uint32_t select = 0);
    void rowChosen();
    void refreshPreview();
    void showRecord();
    void setButtons();
    bool runDesign(EnvelopeDefinition def, bool isNew);
    bool askUser(const QString& text, const QString& title);
    std::string sysdata() const;

    store::Table& address_;
    bool filterSet_;
    std::string tagId_;
    std::optional<store::Table> envelopes_;
    std::vector<std::uint32_t> rows_;
    design::TTableDataSource source_;
    TEnvelopePanel preview_;
    TEnvelopePanel printPanel_;
    FeedMethod feed_;
    bool firstShow_ = true;

    QTableWidget* list_ = nullptr;
    QScrollArea* previewArea_ = nullptr;
    TEnvelopePanelView* previewView_ = nullptr;
    QLabel* recordCaption_ = nullptr;
    QRadioButton* all_ = nullptr;
    QRadioButton* filter_ = nullptr;
    QRadioButton* current_ = nullptr;
    QCheckBox* startCurrent_ = nullptr;
};

// The "Print Envelopes" tool of the main window.
void runEnvelopeScreen(QWidget* parent, store::Table& addressTable, bool filterSet,
                       const std::string& tagId);

} // namespace qp::envelopes
