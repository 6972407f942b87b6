#include "envelopes/ui/envelope_size_dialog.h"

#include "envelopes/envelope_design_rules.h"
#include "envelopes/envelope_sizes.h"
#include "print/ui/window_hooks.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp::envelopes {

TEnvelopeSizeDialog::TEnvelopeSizeDialog(int code, QWidget* parent) : QDialog(parent), code_(code) {
    setObjectName(QStringLiteral("TEnvelopeSize"));
    setWindowTitle(QStringLiteral("Envelope Size"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("SizeList"));
    for (const EnvelopeSize& s : kEnvelopeSizes)
        list_->addItem(QString::fromLatin1(s.caption.data(), int(s.caption.size())));
    list_->setCurrentRow(envelopeSizeIndex(code));
    list_->setMinimumWidth(list_->sizeHintForColumn(0) + 40);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { print::ShowHelpTopic(this, kSizeChooserHelpTopic); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
}

int TEnvelopeSizeDialog::chosenCode() const {
    const int row = list_->currentRow();
    if (row < 0 || row >= int(kEnvelopeSizes.size()) || list_->selectedItems().isEmpty())
        return code_;
    return kEnvelopeSizes[std::size_t(row)].code;
}

std::optional<int> chooseEnvelopeSize(int code, QWidget* parent,
                                      const std::function<int(QDialog&)>& runModal) {
    TEnvelopeSizeDialog dialog(code, parent);
    const int result = runModal ? runModal(dialog) : dialog.exec();
    if (result != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosenCode();
}

} // namespace qp::envelopes
