#include "addressbook/ui/field_lengths_dialog.h"

#include "addressbook/new_database_rules.h"
#include "store/ui/common_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp::addressbook {

namespace {

std::size_t storeIndex(const char* field) {
    for (std::size_t i = 0; i < store::kNewFileFieldLengths.size(); ++i)
        if (std::string_view(store::kNewFileFieldLengths[i].field) == field)
            return i;
    return 0;
}

} // namespace

TFieldLengthsDialog::TFieldLengthsDialog(const store::NewFileFieldLengths& current, QWidget* parent)
    : QDialog(parent), result_(current) {
    setObjectName(QStringLiteral("FieldLengthsDialog"));
    setWindowTitle(QStringLiteral("Specify Field Lengths"));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    // Two columns of nine, filled top to bottom so tab order reads down.
    for (std::size_t i = 0; i < kFieldLengthBoxes.size(); ++i) {
        const auto& info = kFieldLengthBoxes[i];
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("Field") + QLatin1String(info.field));
        box->setMaxLength(2);
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
        box->setValidator(new QIntValidator(0, 99, box));
        box->installEventFilter(this);
        auto* label = new QLabel(QString::fromLatin1(info.label), this);
        label->setObjectName(box->objectName() + QStringLiteral("Label"));
        label->setBuddy(box);
        int row = int(i % 9);
        int column = int(i / 9) * 2;
        grid->addWidget(label, row, column, Qt::AlignRight);
        grid->addWidget(box, row, column + 1, Qt::AlignLeft);
        boxes_[i] = box;
    }
    grid->setColumnMinimumWidth(2, 120);

    auto* note =
        new QLabel(QString::fromLatin1(kFieldLengthNote.data(), kFieldLengthNote.size()), this);
    note->setObjectName(QStringLiteral("NoteLabel"));

    useForAll_ = new QCheckBox(QStringLiteral("Use these settings for all new databases"), this);
    useForAll_->setObjectName(QStringLiteral("UseForAll"));

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    auto* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    auto* help = buttons->addButton(QStringLiteral("Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("HelpButton"));
    auto* defaults = buttons->addButton(QStringLiteral("Defaults"), QDialogButtonBox::ResetRole);
    defaults->setObjectName(QStringLiteral("DefaultsButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        if (help_)
            help_(kHelpTopic);
    });
    connect(defaults, &QPushButton::clicked, this, &TFieldLengthsDialog::fillDefaults);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(note);
    layout->addWidget(useForAll_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    loadBoxes(current);
}

void TFieldLengthsDialog::showEvent(QShowEvent* event) {
    qp::ui::CenterDialog(*this);
    QDialog::showEvent(event);
}

bool TFieldLengthsDialog::useForAllNewDatabases() const {
    return useForAll_->isChecked();
}

void TFieldLengthsDialog::loadBoxes(const store::NewFileFieldLengths& lengths) {
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        loaded_[i] = lengths.lengths[storeIndex(kFieldLengthBoxes[i].field)];
        boxes_[i]->setText(QString::number(loaded_[i]));
    }
}

void TFieldLengthsDialog::checkBox(std::size_t i) {
    if (!ParseFieldLengthBox(boxes_[i]->text().toStdString()))
        boxes_[i]->setText(QString::number(loaded_[i]));
}

void TFieldLengthsDialog::fillDefaults() {
    loadBoxes(store::NewFileFieldLengths::buttonDefaults());
}

bool TFieldLengthsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        for (std::size_t i = 0; i < boxes_.size(); ++i)
            if (boxes_[i] == watched)
                checkBox(i);
    }
    return QDialog::eventFilter(watched, event);
}

void TFieldLengthsDialog::accept() {
    store::NewFileFieldLengths chosen = result_;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        checkBox(i);
        chosen.lengths[storeIndex(kFieldLengthBoxes[i].field)] = boxes_[i]->text().toInt();
    }
    if (useForAll_->isChecked()) {
        chosen = chosen.validated();
        auto settings = store::SettingsFile::standard();
        if (auto st = store::WriteNewFileFieldLengths(settings, chosen); !st)
            qp::ui::ShowInfo(qp::ui::qs(st.error()), this);
    }
    result_ = chosen;
    QDialog::accept();
}

} // namespace qp::addressbook
