#include "design/ui/design_dialogs.h"

#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/shapes.h"
#include "design/symbol_font.h"
#include "design/text_labels.h"
#include "print/ui/window_hooks.h"
#include "store/ui/common_dialogs.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace qp::design::ui {

std::function<void(int)>& HelpHandler() {
    static std::function<void(int)> h;
    return h;
}

namespace {

// "Ok", "Cancel" and "Help" under every dialog.
QDialogButtonBox* OkCancelHelp(QDialog* d, int helpTopic) {
    auto* box = new QDialogButtonBox(d);
    QPushButton* ok = box->addButton("Ok", QDialogButtonBox::AcceptRole);
    ok->setObjectName("OkButton");
    box->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("CancelButton");
    QPushButton* help = box->addButton("Help", QDialogButtonBox::HelpRole);
    help->setObjectName("HelpButton");
    ok->setDefault(true);
    QObject::connect(box, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, d, &QDialog::reject);
    QObject::connect(help, &QPushButton::clicked, d, [d, helpTopic] {
        if (HelpHandler())
            HelpHandler()(helpTopic);
        else
            print::ShowHelpTopic(d, helpTopic);
    });
    return box;
}

int Exec(QDialog& d) {
    qp::ui::CenterDialog(d);
    return d.exec();
}

QFont ScreenFont(const TDesignFont& f) {
    QFont q(f.Name, f.Size);
    q.setBold(f.Bold);
    q.setItalic(f.Italic);
    q.setUnderline(f.Underline);
    q.setStrikeOut(f.StrikeOut);
    return q;
}

void SetButtonColor(QPushButton* b, TColor c) {
    QPixmap pm(32, 14);
    pm.fill(ToQColor(c));
    b->setIcon(QIcon(pm));
    b->setIconSize(pm.size());
}

// Paints one object as the panel would, centred in the widget.
class TObjectPreview : public QWidget {
public:
    TObjectPreview(TGGraphicControl& o, QWidget* parent) : QWidget(parent), O_(o) {
        setMinimumSize(220, 80);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        O_.SetBounds(4, 4, width() - 8, height() - 8);
        O_.Paint(p);
    }

private:
    TGGraphicControl& O_;
};

} // namespace

QDialogButtonBox* DesignDialogButtons(QDialog* dialog, int helpTopic) {
    return OkCancelHelp(dialog, helpTopic);
}

bool ChooseDesignFont(TDesignFont& font, QWidget* parent) {
    bool ok = false;
    const QFont q = QFontDialog::getFont(&ok, ScreenFont(font), parent, "Font");
    if (!ok)
        return false;
    font.Name = q.family();
    font.Size = std::max(1, q.pointSize());
    font.Bold = q.bold();
    font.Italic = q.italic();
    font.Underline = q.underline();
    font.StrikeOut = q.strikeOut();
    return true;
}

bool ChooseDesignColor(TColor& color, QWidget* parent) {
    const QColor c = QColorDialog::getColor(ToQColor(color), parent);
    if (!c.isValid())
        return false;
    color = FromQColor(c);
    return true;
}

// ---- Text -----------------------------------------------------------------------

TTextDialog::TTextDialog(const QString& text, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Text");
    auto* lay = new QVBoxLayout(this);
    auto* prompt = new QLabel("&Enter Text", this);
    Edit_ = new QLineEdit(text, this);
    Edit_->setObjectName("TextEdit");
    prompt->setBuddy(Edit_);
    lay->addWidget(prompt);
    lay->addWidget(Edit_);
    lay->addWidget(OkCancelHelp(this, 40004));
    Edit_->selectAll();
    resize(360, sizeHint().height());
}

QString TTextDialog::Text() const {
    return Edit_->text();
}

bool RunTextDialog(TGPLabel& label, QWidget* parent) {
    TTextDialog d(label.Caption(), parent);
    if (Exec(d) != QDialog::Accepted)
        return false;
    label.SetCaption(d.Text());
    label.FitToText();
    label.Repaint();
    return true;
}

// ---- Select Field ------------------------------------------------------------------

TSelectFieldDialog::TSelectFieldDialog(const QStringList& labels, const QString& current,
                                       QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Select Field");
    auto* lay = new QVBoxLayout(this);
    List_ = new QListWidget(this);
    List_->setObjectName("FieldList");
    List_->addItems(labels);
    const int at = labels.indexOf(current);
    List_->setCurrentRow(at >= 0 ? at : (labels.isEmpty() ? -1 : 0));
    lay->addWidget(List_);
    lay->addWidget(OkCancelHelp(this, 40007));
    connect(List_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

QString TSelectFieldDialog::Selected() const {
    auto* item = List_->currentItem();
    return item ? item->text() : QString();
}

namespace {
bool RunFieldList(TGBasePanel& panel, bool memo, QString& name, QString& descript,
                  QWidget* parent) {
    QStringList labels;
    std::vector<TDataField> fields;
    if (const TDataSource* ds = panel.DataSet(); ds && ds->Active())
        for (const TDataField& f : ds->Fields())
            if ((memo ? f.Type == 'M' : f.Type == 'C') && f.Visible && f.Tag >= 0) {
                labels << f.DisplayLabel;
                fields.push_back(f);
            }
    TSelectFieldDialog d(labels, descript, parent);
    bool ok = false;
    if (Exec(d) == QDialog::Accepted) {
        const QString chosen = d.Selected();
        for (const TDataField& f : fields)
            if (f.DisplayLabel == chosen) {
                name = f.Name;
                descript = f.DisplayLabel;
                ok = true;
                break;
            }
    }
    return ok;
}

// The chosen field goes through the object's property table, so the change
// is noticed and can be undone.
bool RunFieldDialog(TGGraphicControl& label, TGBasePanel& panel, bool memo, QWidget* parent) {
    QString name, descript;
    if (auto n = label.Property("DataFieldName"))
        AsString(*n, name);
    if (auto d = label.Property("DataFieldDescript"))
        AsString(*d, descript);
    const bool ok = RunFieldList(panel, memo, name, descript, parent);
    if (ok) {
        label.SetProperty("DataFieldName", name);
        label.SetProperty("DataFieldDescript", descript);
    }
    panel.RefreshDataValues();
    return ok;
}
} // namespace

bool RunSelectFieldDialog(TGPDLabel& label, TGBasePanel& panel, QWidget* parent) {
    return RunFieldDialog(label, panel, false, parent);
}

bool RunMemoFieldDialog(TGDMultiLineLabel& label, TGBasePanel& panel, QWidget* parent) {
    return RunFieldDialog(label, panel, true, parent);
}

// ---- Counter ---------------------------------------------------------------------

TCounterDialog::TCounterDialog(const TGCounterLabel& c, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Counter");
    auto* form = new QFormLayout;
    Start = new QSpinBox(this);
    Start->setObjectName("StartEdit");
    Start->setRange(INT32_MIN, INT32_MAX);
    Start->setValue(c.Startingnumber());
    Repeat = new QSpinBox(this);
    Repeat->setObjectName("RepeatEdit");
    Repeat->setRange(1, 999);
    Repeat->setValue(c.RepeatEach());
    Before = new QLineEdit(c.TextBefore, this);
    Before->setObjectName("BeforeEdit");
    After = new QLineEdit(c.TextAfter, this);
    After->setObjectName("AfterEdit");
    Zeros = new QSpinBox(this);
    Zeros->setObjectName("ZerosEdit");
    Zeros->setRange(0, 9);
    Zeros->setValue(c.LeadingZeros());
    form->addRow("Starting Number", Start);
    form->addRow("Repeat number for #of  labels?", Repeat);
    form->addRow("Text  before", Before);
    form->addRow("Text after", After);
    auto* zeros = new QHBoxLayout;
    zeros->addWidget(Zeros);
    zeros->addWidget(new QLabel("digits", this));
    form->addRow("Leading zeros to ", zeros);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addWidget(OkCancelHelp(this, 40006));
}

bool RunCounterDialog(TGCounterLabel& counter, QWidget* parent) {
    TCounterDialog d(counter, parent);
    if (Exec(d) != QDialog::Accepted)
        return false;
    counter.ApplySettings(d.Start->value(), d.Repeat->value(), d.Before->text(), d.After->text(),
                          d.Zeros->value());
    return true;
}

// ---- Symbol Selector -------------------------------------------------------------

int TSymbolSelector::ColumnsForSize(int pt) {
    if (pt >= 6 && pt <= 10)
        return 14;
    if (pt >= 11 && pt <= 20)
        return 10;
    if (pt >= 21 && pt <= 30)
        return 8;
    if (pt >= 31 && pt <= 40)
        return 6;
    if (pt >= 41 && pt <= 50)
        return 4;
    if (pt >= 51 && pt <= 60)
        return 3;
    if (pt >= 61 && pt <= 72)
        return 2;
    return 1;
}

QString TSymbolSelector::FontCaption(const TDesignFont& f) {
    QString s = f.Name + ", " + QString::number(f.Size) + "pt ";
    if (f.Italic)
        s += "Italic ";
    else if (f.Bold)
        s += "Bold ";
    return s;
}

TSymbolSelector::TSymbolSelector(const TDesignFont& font, int index, QWidget* parent)
    : QDialog(parent), Font_(font) {
    setWindowTitle("Symbol Selector");
    auto* lay = new QVBoxLayout(this);
    FontButton_ = new QPushButton(this);
    FontButton_->setObjectName("FontButton");
    Grid_ = new QListWidget(this);
    Grid_->setObjectName("SymbolGrid");
    Grid_->setViewMode(QListView::IconMode);
    Grid_->setMovement(QListView::Static);
    Grid_->setResizeMode(QListView::Adjust);
    Grid_->setUniformItemSizes(true);
    // The entries are icons: mark the chosen one with a filled cell.
    Grid_->setStyleSheet(
        QStringLiteral("QListView::item:selected { background: palette(highlight); }"));
    for (int code = 32; code <= 255; ++code) {
        auto* item = new QListWidgetItem(Grid_);
        item->setTextAlignment(Qt::AlignCenter);
    }
    Grid_->setCurrentRow(std::clamp(index, 0, 223));
    auto* fontRow = new QHBoxLayout;
    auto* fontLabel = new QLabel("&Font", this);
    fontLabel->setBuddy(FontButton_);
    fontRow->addWidget(fontLabel);
    fontRow->addWidget(FontButton_, 1);
    lay->addLayout(fontRow);
    lay->addWidget(Grid_);
    lay->addWidget(OkCancelHelp(this, 40005));
    connect(FontButton_, &QPushButton::clicked, this, [this] {
        TDesignFont f = Font_;
        if (ChooseDesignFont(f, this)) {
            Font_ = f;
            ApplyFont();
        }
    });
    connect(Grid_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    ApplyFont();
}

void TSymbolSelector::ApplyFont() {
    FontButton_->setText(FontCaption(Font_));
    const QFont q = ScreenFont(Font_);
    Grid_->setFont(q);
    QPalette pal = Grid_->palette();
    pal.setColor(QPalette::Text, ToQColor(Font_.Color));
    Grid_->setPalette(pal);
    // Each entry shows its code as the label draws it, painted as an icon:
    // the list's own text drawing loses symbols outside the basic plane.
    std::vector<TSymbolText> symbols;
    int side = 0;
    for (int code = 32; code <= 255; ++code) {
        symbols.push_back(SymbolText(Font_, QString(QChar(char16_t(code)))));
        side = std::max(side, QFontMetrics(ScreenFont(symbols.back().Font)).height());
    }
    const qreal dpr = Grid_->devicePixelRatioF();
    for (int i = 0; i < int(symbols.size()); ++i) {
        QPixmap pm(QSize(side, side) * dpr);
        pm.setDevicePixelRatio(dpr);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        const QFont f = ScreenFont(symbols[i].Font);
        p.setFont(f);
        p.setPen(ToQColor(Font_.Color));
        // A symbol wider than the cell is shown smaller rather than cut.
        const int w = QFontMetrics(f).horizontalAdvance(symbols[i].Text);
        if (w > side) {
            p.translate(side / 2.0, side / 2.0);
            p.scale(double(side) / w, double(side) / w);
            p.translate(-side / 2.0, -side / 2.0);
        }
        p.drawText(QRectF(side / 2.0 - std::max(w, side) / 2.0, 0, std::max(w, side), side),
                   Qt::AlignCenter, symbols[i].Text);
        p.end();
        QListWidgetItem* item = Grid_->item(i);
        item->setIcon(QIcon(pm));
        item->setData(Qt::UserRole, symbols[i].Text);
        item->setData(Qt::AccessibleTextRole, symbols[i].Text);
        item->setToolTip(
            QStringLiteral("%1 (0x%2)").arg(i + 32).arg(i + 32, 2, 16, QLatin1Char('0')));
    }
    Grid_->setIconSize(QSize(side, side));
    const int cell = side + 8;
    Grid_->setGridSize(QSize(cell, cell));
    const int cols = ColumnsForSize(Font_.Size);
    Grid_->setFixedWidth(cols * cell + 2 * Grid_->frameWidth() +
                         Grid_->verticalScrollBar()->sizeHint().width() + 4);
    Grid_->setMinimumHeight(std::min(6, (223 / cols) + 1) * cell);
}

int TSymbolSelector::SelectedIndex() const {
    return std::max(0, Grid_->currentRow());
}

bool RunSymbolSelector(TGSymbolLabel& symbol, QWidget* parent) {
    TSymbolSelector d(symbol.Font(), symbol.SymbolIndex(), parent);
    if (Exec(d) != QDialog::Accepted)
        return false;
    symbol.ChooseSymbol(d.Font(), d.SelectedIndex());
    return true;
}

// ---- Multi-line Text Editor --------------------------------------------------------

TMultiLineEditor::TMultiLineEditor(const QStringList& lines, const TDesignFont& font,
                                   QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Multi-line Text Editor");
    auto* lay = new QVBoxLayout(this);
    Edit_ = new QPlainTextEdit(this);
    Edit_->setObjectName("LinesEdit");
    Edit_->setFont(ScreenFont(font));
    Edit_->setPlainText(lines.join('\n').left(kMaxChars));
    Edit_->setTabChangesFocus(true);
    connect(Edit_, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = Edit_->toPlainText();
        if (t.size() > kMaxChars) {
            QTextCursor c = Edit_->textCursor();
            const int pos = std::min(int(c.position()), kMaxChars);
            Edit_->setPlainText(t.left(kMaxChars));
            c = Edit_->textCursor();
            c.setPosition(pos);
            Edit_->setTextCursor(c);
        }
    });
    lay->addWidget(Edit_);
    lay->addWidget(OkCancelHelp(this, 40001));
    resize(420, 260);
}

QStringList TMultiLineEditor::Lines() const {
    const QString t = Edit_->toPlainText();
    return t.isEmpty() ? QStringList() : t.split('\n');
}

bool RunMultiLineEditor(TGMultiLineLabel& label, QWidget* parent) {
    TMultiLineEditor d(label.Items(), label.Font(), parent);
    if (Exec(d) != QDialog::Accepted)
        return false;
    label.SetItems(d.Lines());
    label.FitToContents();
    label.Repaint();
    label.Changed();
    return true;
}

// ---- Text 3D Effects ---------------------------------------------------------------

TText3DEffectsDialog::TText3DEffectsDialog(const TGBaseLabel& label, QWidget* parent)
    : QDialog(parent), Preview_(new TGPLabel), Shadow_(label.colorShadow()),
      Highlight_(label.colorHighlight()), FontColor_(label.Font().Color) {
    setWindowTitle("Text 3D Effects");
    Preview_->SetCaption("Sample");
    Preview_->SetTransparent(true);
    Preview_->SetFont(label.Font());
    Preview_->SetDirectionShadow(label.DirectionShadow());
    Preview_->SetDepthShadow(label.DepthShadow());
    Preview_->SetDirectionHighlight(label.DirectionHighlight());
    Preview_->SetDepthHighlight(label.DepthHighlight());
    Preview_->SetcolorShadow(Shadow_);
    Preview_->SetcolorHighlight(Highlight_);
    auto depths = [this] {
        auto* c = new QComboBox(this);
        for (int i = 0; i <= 10; ++i)
            c->addItem(QString::number(i));
        return c;
    };
    ShadowDirection = new QComboBox(this);
    ShadowDirection->setObjectName("ShadowDirectionList");
    ShadowDirection->addItems({"None", "Right", "Left", "Lower Right", "Lower Left", "Down"});
    ShadowDirection->setCurrentIndex(label.DirectionShadow());
    ShadowDepth = depths();
    ShadowDepth->setObjectName("ShadowDepthList");
    ShadowDepth->setCurrentIndex(label.DepthShadow());
    ShadowColor = new QPushButton("Shadow Color", this);
    ShadowColor->setObjectName("ShadowColorButton");
    HighlightDirection = new QComboBox(this);
    HighlightDirection->setObjectName("HighlightDirectionList");
    HighlightDirection->addItems({"None", "Right", "Left", "Upper Right", "Upper Left", "Up"});
    HighlightDirection->setCurrentIndex(label.DirectionHighlight());
    HighlightDepth = depths();
    HighlightDepth->setObjectName("HighlightDepthList");
    HighlightDepth->setCurrentIndex(label.DepthHighlight());
    HighlightColor = new QPushButton("Highlight Color", this);
    HighlightColor->setObjectName("HighlightColorButton");
    FontColor = new QPushButton("Font Color", this);
    FontColor->setObjectName("FontColorButton");
    SetButtonColor(ShadowColor, Shadow_);
    SetButtonColor(HighlightColor, Highlight_);
    SetButtonColor(FontColor, FontColor_);

    auto* shadow = new QFormLayout;
    shadow->addRow("Shadow Direction", ShadowDirection);
    shadow->addRow("Shadow Depth", ShadowDepth);
    shadow->addRow(ShadowColor);
    auto* highlight = new QFormLayout;
    highlight->addRow("Highlight Direction", HighlightDirection);
    highlight->addRow("Highlight Depth", HighlightDepth);
    highlight->addRow(HighlightColor);
    auto* groups = new QHBoxLayout;
    auto* g1 = new QGroupBox("Shadow", this);
    g1->setLayout(shadow);
    auto* g2 = new QGroupBox("Highlight", this);
    g2->setLayout(highlight);
    groups->addWidget(g1);
    groups->addWidget(g2);
    PreviewArea_ = new TObjectPreview(*Preview_, this);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(groups);
    lay->addWidget(FontColor);
    lay->addWidget(PreviewArea_);
    lay->addWidget(OkCancelHelp(this, 40008));

    for (QComboBox* c : {ShadowDirection, ShadowDepth, HighlightDirection, HighlightDepth})
        connect(c, &QComboBox::currentIndexChanged, this, [this] { UpdatePreview(); });
    auto pick = [this](QPushButton* b, TColor* c) {
        connect(b, &QPushButton::clicked, this, [this, b, c] {
            if (ChooseDesignColor(*c, this)) {
                SetButtonColor(b, *c);
                UpdatePreview();
            }
        });
    };
    pick(ShadowColor, &Shadow_);
    pick(HighlightColor, &Highlight_);
    pick(FontColor, &FontColor_);
    UpdatePreview();
}

TText3DEffectsDialog::~TText3DEffectsDialog() {
    delete Preview_;
}

void TText3DEffectsDialog::UpdatePreview() {
    Preview_->SetDirectionShadow(TShadowDirection(ShadowDirection->currentIndex()));
    Preview_->SetDepthShadow(ShadowDepth->currentIndex());
    Preview_->SetDirectionHighlight(THighlightDirection(HighlightDirection->currentIndex()));
    Preview_->SetDepthHighlight(HighlightDepth->currentIndex());
    Preview_->SetcolorShadow(Shadow_);
    Preview_->SetcolorHighlight(Highlight_);
    TDesignFont f = Preview_->Font();
    f.Color = FontColor_;
    Preview_->SetFont(f);
    PreviewArea_->update();
}

void TText3DEffectsDialog::ApplyTo(TGBaseLabel& label) const {
    label.SetFont(Preview_->Font());
    label.SetDepthShadow(Preview_->DepthShadow());
    label.SetDepthHighlight(Preview_->DepthHighlight());
    label.SetDirectionShadow(Preview_->DirectionShadow());
    label.SetDirectionHighlight(Preview_->DirectionHighlight());
    label.SetcolorShadow(Preview_->colorShadow());
    label.SetcolorHighlight(Preview_->colorHighlight());
}

bool RunText3DEffects(TGBaseLabel& label, QWidget* parent) {
    TText3DEffectsDialog d(label, parent);
    if (Exec(d) != QDialog::Accepted)
        return false;
    d.ApplyTo(label);
    return true;
}

// ---- Load Image File ----------------------------------------------------------------

TImageBrowser::TImageBrowser(bool stretch, bool autoSize, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Load Image File (BMP/WMF)");
    Drives = new QComboBox(this);
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes())
        if (s.isValid() && s.isReady())
            Drives->addItem(s.rootPath());
    DirModel_ = new QFileSystemModel(this);
    DirModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    DirModel_->setRootPath(QDir::rootPath());
    Folders = new QTreeView(this);
    Folders->setModel(DirModel_);
    for (int c = 1; c < DirModel_->columnCount(); ++c)
        Folders->hideColumn(c);
    Folders->header()->hide();
    FileModel_ = new QFileSystemModel(this);
    FileModel_->setFilter(QDir::Files);
    // Windows bitmaps and metafiles, and the formats converted on load.
    FileModel_->setNameFilters({"*.BMP", "*.bmp", "*.WMF", "*.wmf", "*.EMF", "*.emf", "*.PNG",
                                "*.png", "*.JPG", "*.jpg", "*.JPEG", "*.jpeg"});
    FileModel_->setNameFilterDisables(false);
    Files = new QListView(this);
    Files->setModel(FileModel_);
    Preview = new QLabel(this);
    Preview->setFixedSize(160, 160);
    Preview->setFrameShape(QFrame::Box);
    Preview->setAlignment(Qt::AlignCenter);
    Stretch = new QCheckBox("Stretch", this);
    Stretch->setToolTip("Stretch image to max display size");
    Stretch->setChecked(stretch);
    AutoSize = new QCheckBox("AutoSize", this);
    AutoSize->setToolTip("AutoSize TImage");
    AutoSize->setChecked(autoSize);
    connect(Stretch, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            AutoSize->setChecked(false);
    });
    connect(AutoSize, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            Stretch->setChecked(false);
    });
    auto* options = new QGroupBox(" Options ", this);
    auto* ol = new QVBoxLayout(options);
    ol->addWidget(Stretch);
    ol->addWidget(AutoSize);

    auto* left = new QVBoxLayout;
    left->addWidget(Drives);
    left->addWidget(Folders, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(Preview);
    right->addWidget(options);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(Files, 1);
    top->addLayout(right);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addWidget(OkCancelHelp(this, 40003));

    auto showFolder = [this](const QString& path) {
        Files->setRootIndex(FileModel_->setRootPath(path));
        Folders->setCurrentIndex(DirModel_->index(path));
    };
    connect(Drives, &QComboBox::currentTextChanged, this, showFolder);
    connect(Folders, &QTreeView::clicked, this,
            [this, showFolder](const QModelIndex& i) { showFolder(DirModel_->filePath(i)); });
    connect(Files, &QListView::clicked, this,
            [this](const QModelIndex& i) { SelectFile(FileModel_->filePath(i)); });
    connect(Files, &QListView::doubleClicked, this, [this](const QModelIndex& i) {
        SelectFile(FileModel_->filePath(i));
        if (!File_.isEmpty())
            accept();
    });
    showFolder(QDir::currentPath());
    resize(720, 400);
}

void TImageBrowser::SelectFile(const QString& path) {
    TDesignPicture pic;
    if (!TDesignPicture::LoadFile(path, pic)) {
        File_.clear();
        Preview->clear();
        qp::ui::ShowInfo("Error loading file!", this);
        return;
    }
    File_ = path;
    QPixmap pm(Preview->size() - QSize(4, 4));
    pm.fill(Qt::white);
    {
        QPainter p(&pm);
        const QRect box(QPoint(0, 0), pm.size());
        if (!pic.Image().isNull()) {
            p.drawImage(box, pic.Image());
        } else if (const QPicture* d = pic.Drawing()) {
            const QRect b = d->boundingRect();
            if (!b.isEmpty())
                p.scale(double(box.width()) / b.width(), double(box.height()) / b.height());
            p.drawPicture(-b.topLeft(), *d);
        }
    }
    Preview->setPixmap(pm);
}

bool RunImageBrowser(TGImage& image, QWidget* parent) {
    const QString cwd = QDir::currentPath();
    TImageBrowser d(image.Stretch(), image.AutoSize(), parent);
    const int r = Exec(d);
    QDir::setCurrent(cwd);
    if (r != QDialog::Accepted || d.SelectedFile().isEmpty())
        return false;
    QString error;
    if (!image.LoadPictureFile(d.SelectedFile(), &error)) {
        // The object keeps the picture it had.
        qp::ui::ShowInfo("Error loading file!", parent);
        return false;
    }
    image.SetOptionsDirect(d.Stretch->isChecked(), d.AutoSize->isChecked());
    image.ApplyAutoSize();
    image.Changed();
    return true;
}

} // namespace qp::design::ui
