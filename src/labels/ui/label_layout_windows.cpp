#include "labels/ui/label_layout_windows.h"

#include "labels/ui/label_dialog_buttons.h"

#include "labels/manual_layout.h"
#include "labels/template_filter.h"
#include "labels/user_stock.h"
#include "store/ui/common_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace qp::labels {

namespace {

constexpr int kLabelLayoutHelpTopic = 1049;
constexpr int kTemplateHelpTopic = 1048;
constexpr int kUserLayoutHelpTopic = 1050;

QString inchesText(double v) {
    // "#0.0##": one to three decimals.
    QString s = QString::number(v, 'f', 3);
    while (s.endsWith('0') && s.indexOf('.') < s.size() - 2)
        s.chop(1);
    return s;
}

} // namespace

TLabelLayoutForm::TLabelLayoutForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Label Layout");
    fromList_ = new QRadioButton("&Select layout from a list of templates", this);
    manual_ = new QRadioButton("&Enter the layout values manually (user defined layout)", this);
    fromList_->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fromList_);
    layout->addWidget(manual_);
    layout->addWidget(okCancelHelp(*this, kLabelLayoutHelpTopic).box);
}

LayoutChoice TLabelLayoutForm::choice() const {
    if (result() != QDialog::Accepted)
        return LayoutChoice::Cancelled;
    return manual_->isChecked() ? LayoutChoice::ManualEntry : LayoutChoice::TemplateList;
}

LayoutChoice chooseLabelLayout(QWidget* parent) {
    TLabelLayoutForm form(parent);
    ui::CenterDialog(form);
    form.exec();
    return form.choice();
}

TSelectLabelTemplateForm::TSelectLabelTemplateForm(const std::string& sysdataFolder,
                                                   const LabelDefinition& current, bool isNew,
                                                   QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Select Label Template");
    search_ = new QLineEdit(this);
    search_->setPlaceholderText("Product number or words of the description, e.g. L7163");
    search_->setClearButtonEnabled(true);
    search_->installEventFilter(this);
    manufacturer_ = new QComboBox(this);
    manufacturer_->setMaxVisibleItems(30);
    items_ = labels::manufacturerItems({});
    for (const auto& item : items_)
        manufacturer_->addItem(ui::qs(item.text));
    product_ = new QComboBox(this);
    for (auto item : kProductItems)
        product_->addItem(QString::fromUtf8(item.data(), static_cast<int>(item.size())));
    european_ = new QCheckBox("European paper sizes only (A4, A5)", this);
    grid_ = new QTableWidget(0, 1, this);
    grid_->setHorizontalHeaderLabels({"Description"});
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->verticalHeader()->hide();
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* filters = new QFormLayout;
    filters->addRow("Sear&ch", search_);
    filters->addRow("&Manufacturer", manufacturer_);
    filters->addRow("&Product Type", product_);
    filters->addRow(european_);
    auto* facts = new QFormLayout;
    const char* captions[] = {"Label Height", "Label Width", "# Across",
                              "# Down",       "Paper Width", "Paper Height"};
    for (std::size_t i = 0; i < details_.size(); ++i) {
        details_[i] = new QLabel(this);
        facts->addRow(captions[i], details_[i]);
    }
    auto* middle = new QHBoxLayout;
    middle->addWidget(grid_, 1);
    middle->addLayout(facts);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addLayout(middle);
    const auto buttons = okCancelHelp(*this, kTemplateHelpTopic);
    ok_ = buttons.ok;
    layout->addWidget(buttons.box);
    resize(600, 460);

    auto table = openLabelTemplateTable(sysdataFolder);
    if (!table) {
        ui::ShowInfo(ui::qs(table.error().substr(0, table.error().find('\n'))), parent);
        return;
    }
    catalogue_.emplace(std::move(*table));
    // One item per maker of the catalogue after the four fixed ones, so that
    // every sheet can be reached through the list.
    items_ = labels::manufacturerItems(catalogueMakers(*catalogue_));
    for (std::size_t i = kManufacturerItems.size(); i < items_.size(); ++i)
        manufacturer_->addItem(ui::qs(items_[i].text));

    auto pre = preselectTemplate(current.maker, current.printer, current.productType, isNew);
    const int item =
        manufacturerItemFor(items_, current.maker, current.templateName, isNew, pre.manufacturer);
    if (item != pre.manufacturer) {
        pre.manufacturer = item;
        pre.product = productItemFor(current.productType);
        pre.seekTemplate = true;
    }
    manufacturer_->setCurrentIndex(pre.manufacturer);
    product_->setCurrentIndex(pre.product);
    rebuild();
    if (pre.seekTemplate && !rows_.empty()) {
        int at = static_cast<int>(rows_.size()) - 1;
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].description == current.templateName) {
                at = static_cast<int>(i);
                break;
            }
        grid_->selectRow(at);
    }
    connect(search_, &QLineEdit::textChanged, this, [this] { rebuild(); });
    connect(manufacturer_, &QComboBox::currentIndexChanged, this, [this] { rebuild(); });
    connect(product_, &QComboBox::currentIndexChanged, this, [this] { rebuild(); });
    connect(european_, &QCheckBox::toggled, this, [this] { rebuild(); });
    connect(grid_, &QTableWidget::itemSelectionChanged, this, [this] { showDetails(); });
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this] {
        if (ok_->isEnabled())
            accept();
    });
}

bool TSelectLabelTemplateForm::eventFilter(QObject* watched, QEvent* event) {
    // In the search box, Enter picks the highlighted sheet and the arrow and
    // page keys move the highlight, so a sheet is found without the mouse.
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (ok_->isEnabled())
                accept();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (grid_->isEnabled())
                QCoreApplication::sendEvent(grid_, event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TSelectLabelTemplateForm::rebuild() {
    // A search looks through the whole catalogue, whatever the lists say.
    const std::string search = stockSearchExpression(search_->text().toStdString());
    // The lists rest while a search is typed, and show so.
    for (QWidget* w : {static_cast<QWidget*>(manufacturer_), static_cast<QWidget*>(product_),
                       static_cast<QWidget*>(european_)})
        w->setEnabled(search.empty());
    const int item = std::max(0, manufacturer_->currentIndex());
    expression_ = !search.empty()
                      ? search
                      : templateFilterExpression(items_[static_cast<std::size_t>(item)],
                                                 product_->currentIndex(), european_->isChecked());
    rows_.clear();
    auto n = applyTemplateFilter(*catalogue_, expression_);
    if (n && *n > 0)
        for (bool ok = catalogue_->first(); ok && !catalogue_->eof(); ok = catalogue_->next())
            rows_.push_back(readLabelTemplate(*catalogue_));
    grid_->setUpdatesEnabled(false);
    grid_->setRowCount(static_cast<int>(rows_.size()));
    for (std::size_t i = 0; i < rows_.size(); ++i)
        grid_->setItem(static_cast<int>(i), 0, new QTableWidgetItem(ui::qs(rows_[i].description)));
    grid_->setUpdatesEnabled(true);
    bool any = !rows_.empty();
    grid_->setEnabled(any);
    ok_->setEnabled(any);
    if (any)
        grid_->selectRow(0);
    showDetails();
}

std::optional<LabelTemplate> TSelectLabelTemplateForm::selected() const {
    int row = grid_->currentRow();
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return std::nullopt;
    return rows_[static_cast<std::size_t>(row)];
}

void TSelectLabelTemplateForm::showDetails() {
    auto s = selected();
    if (!s) {
        for (auto* d : details_)
            d->clear();
        return;
    }
    details_[0]->setText(QString::number(s->labelHeight, 'f', 3));
    details_[1]->setText(QString::number(s->labelWidth, 'f', 3));
    details_[2]->setText(QString::number(s->across));
    details_[3]->setText(QString::number(s->down));
    details_[4]->setText(QString::number(s->sheetWidth, 'f', 3));
    details_[5]->setText(QString::number(s->sheetDepth, 'f', 3));
}

TUserLabelLayoutForm::TUserLabelLayoutForm(const ManualLayout& layout, QWidget* parent,
                                           std::string sysdataFolder)
    : QDialog(parent), sysdataFolder_(std::move(sysdataFolder)), incoming_(layout), result_(layout),
      paperCode_(layout.paperSize) {
    setWindowTitle(QString::fromUtf8(kUserDefinedTitle.data()));
    const char* captions[] = {"Label &Width",    "Label &Height", "Hori&zontal Pitch",
                              "&Vertical Pitch", "&Left Margin",  "&Top Margin",
                              "Paper W&idth",    "Paper H&eight"};
    auto* form = new QFormLayout;
    for (int i = 0; i < 8; ++i) {
        edits_[i] = new QLineEdit(this);
        connect(edits_[i], &QLineEdit::textEdited, this, [this, i] { edited(i); });
        connect(edits_[i], &QLineEdit::editingFinished, this, [this, i] { leftField(i); });
    }
    across_ = new QSpinBox(this);
    across_->setRange(1, 10);
    down_ = new QSpinBox(this);
    down_->setRange(1, 30);
    paper_ = new QComboBox(this);
    for (const auto& p : kPaperChoices)
        paper_->addItem(QString::fromUtf8(p.caption.data(), static_cast<int>(p.caption.size())));
    shape_ = new QComboBox(this);
    for (const auto& s : kShapeChoices)
        shape_->addItem(QString::fromUtf8(s.caption.data(), static_cast<int>(s.caption.size())));
    for (int i = 0; i < 4; ++i)
        form->addRow(captions[i], edits_[i]);
    form->addRow("# &across", across_);
    form->addRow("# &down", down_);
    form->addRow(captions[4], edits_[4]);
    form->addRow(captions[5], edits_[5]);
    form->addRow("&Paper size", paper_);
    form->addRow(captions[6], edits_[6]);
    form->addRow(captions[7], edits_[7]);
    form->addRow("Label &Shape", shape_);
    inches_ = new QRadioButton("Use &Inches", this);
    mm_ = new QRadioButton("Use &Millimeters", this);
    inches_->setChecked(true);
    auto* units = new QHBoxLayout;
    units->addWidget(inches_);
    units->addWidget(mm_);
    auto* layoutBox = new QVBoxLayout(this);
    layoutBox->addLayout(form);
    layoutBox->addLayout(units);
    const auto buttons = okCancelHelp(*this, kUserLayoutHelpTopic);
    if (!sysdataFolder_.empty()) {
        saveAsStock_ = buttons.box->addButton("Save as &stock...", QDialogButtonBox::ActionRole);
        saveAsStock_->setObjectName("saveAsStock");
        saveAsStock_->setAutoDefault(false);
        saveAsStock_->setToolTip("Keep this sheet in the label stock catalogue under a name, "
                                 "to choose it again from \"Select Label Template\"");
        connect(saveAsStock_, &QPushButton::clicked, this, [this] { askSaveAsStock(); });
    }
    layoutBox->addWidget(buttons.box);
    connect(mm_, &QRadioButton::toggled, this, [this](bool on) { setMillimetres(on); });
    connect(paper_, &QComboBox::activated, this, [this](int index) { paperChosen(index); });
}

void TUserLabelLayoutForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    const ManualLayout& m = incoming_;
    values_ = {m.labelWidth, m.labelHeight, m.horizontalPitch, m.verticalPitch,
               m.leftMargin, m.topMargin,   m.sheetWidth,      m.sheetDepth};
    across_->setValue(m.across);
    down_->setValue(m.down);
    paper_->setCurrentIndex(paperChoiceIndex(m.paperSize));
    shape_->setCurrentIndex(std::max(0, shapeChoiceIndex(m.shape)));
    setMillimetres(false);
}

void TUserLabelLayoutForm::setMillimetres(bool on) {
    if (on != millimetres_) {
        double factor = on ? kMillimetresPerInch : kInchesPerMillimetre;
        for (double& v : values_)
            v *= factor;
        millimetres_ = on;
    }
    QSignalBlocker a(inches_), b(mm_);
    inches_->setChecked(!on);
    mm_->setChecked(on);
    auto* validator = new QRegularExpressionValidator(
        QRegularExpression(on ? R"(\d{0,3})" : R"(\d{0,2}(\.\d{0,3})?)"), this);
    for (int i = 0; i < 8; ++i) {
        edits_[i]->setValidator(validator);
        showValue(i);
    }
}

void TUserLabelLayoutForm::showValue(int which) {
    double v = values_[which];
    edits_[which]->setText(millimetres_ ? QString::number(std::round(v), 'f', 0) : inchesText(v));
}

void TUserLabelLayoutForm::edited(int which) {
    values_[which] = edits_[which]->text().toDouble();
}

void TUserLabelLayoutForm::leftField(int which) {
    if (which == Width && values_[HPitch] < values_[Width]) {
        values_[HPitch] = values_[Width];
        showValue(HPitch);
    } else if (which == Height && values_[VPitch] < values_[Height]) {
        values_[VPitch] = values_[Height];
        showValue(VPitch);
    }
}

void TUserLabelLayoutForm::paperChosen(int index) {
    if (index < 0 || index >= static_cast<int>(kPaperChoices.size()))
        return;
    const auto& p = kPaperChoices[static_cast<std::size_t>(index)];
    paperCode_ = std::string(p.code);
    if (p.width <= 0)
        return;
    double factor = millimetres_ ? kMillimetresPerInch : 1.0;
    values_[PaperWidth] = p.width * factor;
    values_[PaperHeight] = p.height * factor;
    showValue(PaperWidth);
    showValue(PaperHeight);
}

std::optional<ManualLayout> TUserLabelLayoutForm::validatedLayout() {
    double toInches = millimetres_ ? kInchesPerMillimetre : 1.0;
    ManualLayout m;
    m.labelWidth = values_[Width] * toInches;
    m.labelHeight = values_[Height] * toInches;
    m.horizontalPitch = values_[HPitch] * toInches;
    m.verticalPitch = values_[VPitch] * toInches;
    m.leftMargin = values_[LeftMargin] * toInches;
    m.topMargin = values_[TopMargin] * toInches;
    m.sheetWidth = values_[PaperWidth] * toInches;
    m.sheetDepth = values_[PaperHeight] * toInches;
    m.across = across_->value();
    m.down = down_->value();
    m.paperSize = paperCode_;
    m.shape = std::string(
        kShapeChoices[static_cast<std::size_t>(std::max(0, shape_->currentIndex()))].code);
    m = roundedLayout(m);
    if (auto message = validateManualLayout(m)) {
        ui::ShowInfo(QString::fromUtf8(message->data(), static_cast<int>(message->size())), this);
        return std::nullopt;
    }
    return m;
}

void TUserLabelLayoutForm::accept() {
    auto m = validatedLayout();
    if (!m)
        return;
    result_ = *m;
    QDialog::accept();
}

void TUserLabelLayoutForm::askSaveAsStock() {
    if (!validatedLayout())
        return;
    bool ok = false;
    const QString name = QInputDialog::getText(
        this, "Save as Stock", "Name of the sheet in the catalogue:", QLineEdit::Normal, QString(),
        &ok);
    if (ok)
        saveAsStock(name);
}

bool TUserLabelLayoutForm::saveAsStock(const QString& name) {
    auto m = validatedLayout();
    if (!m)
        return false;
    const std::string text = name.trimmed().toStdString();
    if (auto problem = userStockNameProblem(text); !problem.empty()) {
        ui::ShowInfo(ui::qs(problem), this);
        return false;
    }
    auto use = stockNameUse(sysdataFolder_, text);
    if (!use) {
        ui::ShowInfo(ui::qs(use.error()), this);
        return false;
    }
    if (*use == StockNameUse::CatalogueSheet) {
        ui::ShowInfo(ui::qs("The catalogue already holds a sheet called \"" + text +
                            "\". Please choose another name."),
                     this);
        return false;
    }
    if (*use == StockNameUse::UserSheet &&
        !ui::AskYesNoDefaultNo(ui::qs("Replace \"" + text + "\"?"), "REPLACE", this))
        return false;
    if (auto st = saveUserStock(sysdataFolder_, userStockSheet(*m, text)); !st) {
        ui::ShowInfo(ui::qs(st.error()), this);
        return false;
    }
    ui::ShowInfo(
        ui::qs("\"" + text + "\" is kept in the label stock catalogue under \"User Defined\"."),
        this);
    return true;
}

} // namespace qp::labels
