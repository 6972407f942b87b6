#include "reports/ui/report_designer.h"

#include "design/text_labels.h"
#include "design/ui/design_dialogs.h"
#include "design/ui/panel_widget.h"
#include "print/ui/window_hooks.h"
#include "reports/ui/report_layout_dialog.h"
#include "reports/ui/report_ruler.h"
#include "store/ui/common_dialogs.h"

#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace qp::reports {

namespace {

constexpr int kHelpTopic = 1079;
constexpr const char* kBandNames[4] = {"Header", "Detail", "Memo", "Footer"};

struct ToolInfo {
    TRPanelState state;
    const char* name;
    const char* caption;
    const char* hint;
};
constexpr ToolInfo kTools[] = {
    {psPointing, "SelectionTool", "Select", "Selection tool"},
    {psLabel, "TextTool", "Text", "Text tool"},
    {psLine, "LineTool", "Line", "Line Tool"},
    {psImage, "ClipArtTool", "Art", "Clip Art Tool"},
    {psDataLabel, "FieldTool", "Field", "Database Field tool"},
    {psDateTime, "DateTimeTool", "Date", "Date Time Tool"},
    {psPageNumber, "PageNumberTool", "Page#", "Page Number Tool"},
    {psSymbolLabel, "SymbolTool", "Symbol", "Symbol tool"},
    {psRectangle, "RectangleTool", "Rect", "Rectangle tool"},
    {psEllipse, "EllipseTool", "Ellipse", "Ellipse tool"},
    {psRoundRectangle, "RoundRectangleTool", "RRect", "Round Rectangle tool"},
};

int viewIndex(TReportBand b) {
    return b == rbHeader ? 0 : b == rbDetail ? 1 : 2;
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

// The strip under a band that drags its height.
class TBandSizer : public QWidget {
public:
    TBandSizer(TReportDesigner& owner, TReportBand band, QWidget* parent)
        : QWidget(parent), owner_(owner), band_(band) {
        setObjectName(QStringLiteral("%1Sizer").arg(QLatin1String(kBandNames[band])));
        setCursor(Qt::SizeVerCursor);
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
        setPalette(p);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton)
            return;
        dragging_ = true;
        pressY_ = e->globalPosition().toPoint().y();
        pressHeight_ = BandHeight(const_cast<ReportVars&>(owner_.design().Vars), band_);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (dragging_)
            owner_.dragBand(band_, pressHeight_, e->globalPosition().toPoint().y() - pressY_);
    }
    void mouseReleaseEvent(QMouseEvent*) override {
        if (!dragging_)
            return;
        dragging_ = false;
        owner_.bandReleased(band_);
    }

private:
    TReportDesigner& owner_;
    TReportBand band_;
    bool dragging_ = false;
    int pressY_ = 0;
    int pressHeight_ = 0;
};

TReportDesigner::TReportDesigner(ReportBands& bands, ReportDesign& design, bool isNew,
                                 store::Table* addressTable, QWidget* parent)
    : QDialog(parent), bands_(bands), design_(design), address_(addressTable) {
    setWindowTitle(QStringLiteral("Report Designer"));
    Q_UNUSED(isNew);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildTopRow());
    layout->addWidget(buildToolBar());
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("DrawingArea"));
    buildPage();
    scroll_->setWidget(page_);
    layout->addWidget(scroll_, 1);
    layout->addWidget(buildBottomRow());

    for (TReportPanel* p : {&bands_.Header, &bands_.Detail, &bands_.Footer}) {
        p->SetGridSize(design::gs4x4);
        p->SetPanelState(psPointing);
        p->Font.Name = design_.Vars.DefaultFontName;
        p->Font.Size = design_.Vars.DefaultFontSize;
        p->Font.Bold = design_.Vars.DefaultFontBold;
        p->Font.Italic = design_.Vars.DefaultFontItalic;
        p->OnRefused = [this](const QString& why) {
            QApplication::beep();
            ui::ShowInfo(why, this);
        };
        p->OpenTextDialog = [this](design::TGGraphicControl& o) {
            design::ui::RunTextDialog(static_cast<design::TGPLabel&>(o), this);
        };
        p->OpenFieldDialog = [this, p](design::TGGraphicControl& o) {
            design::ui::RunSelectFieldDialog(static_cast<design::TGPDLabel&>(o), *p, this);
        };
        p->OpenSymbolDialog = [this](design::TGGraphicControl& o) {
            design::ui::RunSymbolSelector(static_cast<design::TGSymbolLabel&>(o), this);
        };
        p->DroppedObjectEvent = [this](const QRect&) { objectDropped(); };
        p->RefreshDataValues();
    }
    description_->setText(design_.Description);
    layout_->setText(design_.Layout);
    updateFontCaption();
    ArrangeBands();
    resize(std::min(1000, page_->width() + 60), 640);
    // Connected last, so setting the window up is not a change.
    for (auto* v : views_)
        connect(v, &design::ui::TPanelWidget::LayoutChanged, this, &TReportDesigner::markChanged);
    connect(description_, &QLineEdit::textEdited, this, &TReportDesigner::markChanged);
}

void TReportDesigner::markChanged() {
    changed_ = true;
    save_->setVisible(true);
}

TReportDesigner::~TReportDesigner() {
    for (TReportPanel* p : {&bands_.Header, &bands_.Detail, &bands_.Footer}) {
        p->OnRefused = nullptr;
        p->OpenTextDialog = nullptr;
        p->OpenFieldDialog = nullptr;
        p->OpenSymbolDialog = nullptr;
        p->DroppedObjectEvent = nullptr;
        p->SetPanelState(psPointing);
    }
}

QWidget* TReportDesigner::buildTopRow() {
    auto* w = new QWidget(this);
    auto* row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    auto* dl = new QLabel(QStringLiteral("&Description:"), w);
    description_ = new QLineEdit(w);
    description_->setObjectName(QStringLiteral("DescriptionEdit"));
    description_->setMaxLength(int(kReportDescriptionLimit));
    dl->setBuddy(description_);
    row->addWidget(dl);
    row->addWidget(description_, 1);
    row->addWidget(new QLabel(QStringLiteral("Layout:"), w));
    layout_ = new QLabel(w);
    layout_->setObjectName(QStringLiteral("LayoutCaption"));
    row->addWidget(layout_);
    font_ = new QPushButton(w);
    font_->setObjectName(QStringLiteral("DefaultFontButton"));
    font_->setAutoDefault(false);
    connect(font_, &QPushButton::clicked, this, &TReportDesigner::chooseDefaultFont);
    row->addWidget(font_);
    return w;
}

QWidget* TReportDesigner::buildToolBar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    tools_ = new QButtonGroup(this);
    tools_->setExclusive(true);
    auto toggle = [bar](const QString& caption, const QString& hint) {
        auto* b = new QToolButton(bar);
        b->setText(caption);
        b->setToolTip(hint);
        b->setCheckable(true);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    for (const ToolInfo& t : kTools) {
        QToolButton* b = toggle(QLatin1String(t.caption), QLatin1String(t.hint));
        b->setObjectName(QLatin1String(t.name));
        tools_->addButton(b, t.state);
        row->addWidget(b);
    }
    tools_->button(psPointing)->setChecked(true);
    connect(tools_, &QButtonGroup::idClicked, this,
            [this](int id) { setTool(static_cast<TRPanelState>(id)); });
    auto* grid = toggle(QStringLiteral("Grid"), QStringLiteral("Show grid"));
    grid->setObjectName(QStringLiteral("ShowGridButton"));
    auto* snap = toggle(QStringLiteral("Snap"), QStringLiteral("Snap to Grid"));
    snap->setObjectName(QStringLiteral("SnapToGridButton"));
    auto* names = toggle(QStringLiteral("Names"),
                         QStringLiteral("Toggle display of field names or field values"));
    names->setObjectName(QStringLiteral("FieldNamesButton"));
    for (QToolButton* b : {grid, snap, names})
        row->addWidget(b);
    row->addStretch();
    connect(grid, &QToolButton::toggled, this, [this](bool on) {
        for (TReportPanel* p : {&bands_.Header, &bands_.Detail, &bands_.Footer})
            p->SetShowGrid(on);
    });
    connect(snap, &QToolButton::toggled, this, [this](bool on) {
        for (TReportPanel* p : {&bands_.Header, &bands_.Detail, &bands_.Footer})
            p->SetSnapToGrid(on);
    });
    connect(names, &QToolButton::toggled, this, [this](bool down) {
        for (TReportPanel* p : {&bands_.Header, &bands_.Detail, &bands_.Footer}) {
            p->SetDisplayDataValues(!down);
            p->RefreshDataValues();
        }
        for (auto* v : views_)
            v->update();
    });
    return bar;
}

QWidget* TReportDesigner::buildBottomRow() {
    auto* w = new QWidget(this);
    auto* row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    auto button = [&](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption, w);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    save_ = button(QStringLiteral("&Save"), "SaveButton");
    save_->setVisible(false);
    connect(save_, &QPushButton::clicked, this, &TReportDesigner::save);
    connect(button(QStringLiteral("Cancel"), "CancelButton"), &QPushButton::clicked, this,
            &QDialog::reject);
    connect(button(QStringLiteral("Help"), "HelpButton"), &QPushButton::clicked, this,
            [this] { print::ShowHelpTopic(this, kHelpTopic); });
    connect(button(QStringLiteral("Change &Layout"), "ChangeLayoutButton"), &QPushButton::clicked,
            this, &TReportDesigner::changeLayout);
    row->addStretch();
    const char* names[4] = {"FirstRecord", "PriorRecord", "NextRecord", "LastRecord"};
    const Qt::ArrowType arrows[4] = {Qt::UpArrow, Qt::LeftArrow, Qt::RightArrow, Qt::DownArrow};
    const char* hints[4] = {"First record", "Previous record", "Next record", "Last record"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QToolButton(w);
        b->setObjectName(QLatin1String(names[i]));
        b->setArrowType(arrows[i]);
        b->setToolTip(QLatin1String(hints[i]));
        b->setEnabled(address_ != nullptr);
        connect(b, &QToolButton::clicked, this, [this, i] { moveRecord(i); });
        row->addWidget(b);
    }
    return w;
}

void TReportDesigner::buildPage() {
    page_ = new QWidget;
    page_->setObjectName(QStringLiteral("Page"));
    ruler_ = new THRuler(page_);
    ruler_->setObjectName(QStringLiteral("Ruler"));
    for (TReportBand b : {rbHeader, rbDetail, rbMemo, rbFooter}) {
        auto* caption = new QWidget(page_);
        caption->setObjectName(QStringLiteral("%1Caption").arg(QLatin1String(kBandNames[b])));
        caption->setAutoFillBackground(true);
        QPalette pal = caption->palette();
        pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
        caption->setPalette(pal);
        auto* row = new QHBoxLayout(caption);
        row->setContentsMargins(4, 0, 4, 0);
        auto* box = new QCheckBox(QLatin1String(kBandNames[b]), caption);
        box->setObjectName(QStringLiteral("%1Switch").arg(QLatin1String(kBandNames[b])));
        box->setChecked(BandUsed(design_.Vars, b));
        connect(box, &QCheckBox::toggled, this, [this, b](bool on) { switchBand(b, on); });
        row->addWidget(box);
        row->addStretch();
        if (b == rbMemo) {
            memoProps_ = new QPushButton(QStringLiteral("Properties"), caption);
            memoProps_->setObjectName(QStringLiteral("MemoProperties"));
            memoProps_->setAutoDefault(false);
            memoProps_->setFixedHeight(kCaptionHeight - 2);
            auto* menu = new QMenu(memoProps_);
            menu->addAction(QStringLiteral("Font"), this, [this] {
                design::TDesignFont f;
                f.Name = design_.Vars.MemoFontName;
                f.Size = design_.Vars.MemoFontSize;
                f.Bold = design_.Vars.MemoFontBold;
                f.Italic = design_.Vars.MemoFontItalic;
                if (!design::ui::ChooseDesignFont(f, this))
                    return;
                design_.Vars.MemoFontName = f.Name;
                design_.Vars.MemoFontSize = f.Size;
                design_.Vars.MemoFontBold = f.Bold;
                design_.Vars.MemoFontItalic = f.Italic;
                showMemo();
                markChanged();
            });
            auto* group = new QActionGroup(menu);
            const std::pair<const char*, int> aligns[3] = {
                {"Left Aligned", 0}, {"Centered", 2}, {"Right Aligned", 1}};
            for (const auto& [text, value] : aligns) {
                QAction* a = menu->addAction(QLatin1String(text));
                a->setCheckable(true);
                a->setData(value);
                group->addAction(a);
                connect(a, &QAction::triggered, this, [this, v = value] { setMemoAlignment(v); });
            }
            connect(menu, &QMenu::aboutToShow, this, [this, group] {
                for (QAction* a : group->actions())
                    a->setChecked(a->data().toInt() == design_.Vars.MemoAlignment);
            });
            memoProps_->setMenu(menu);
            row->addWidget(memoProps_);
        }
        captions_[b] = caption;
        switches_[b] = box;
        sizers_[b] = new TBandSizer(*this, b, page_);
    }
    TReportPanel* panels[3] = {&bands_.Header, &bands_.Detail, &bands_.Footer};
    for (int i = 0; i < 3; ++i) {
        views_[std::size_t(i)] = new design::ui::TPanelWidget(*panels[i], page_);
        views_[std::size_t(i)]->setObjectName(
            QStringLiteral("%1Band").arg(QLatin1String(kBandNames[i == 0   ? 0
                                                                  : i == 1 ? 1
                                                                           : 3])));
        views_[std::size_t(i)]->installEventFilter(this);
    }
    memo_ = new QLabel(page_);
    memo_->setObjectName(QStringLiteral("MemoBand"));
    memo_->setAutoFillBackground(true);
    memo_->setWordWrap(true);
    QPalette pal = memo_->palette();
    pal.setColor(QPalette::Window, Qt::white);
    memo_->setPalette(pal);
}

TReportPanel& TReportDesigner::band(TReportBand b) {
    return b == rbHeader ? bands_.Header : b == rbFooter ? bands_.Footer : bands_.Detail;
}

design::ui::TPanelWidget* TReportDesigner::bandWidget(TReportBand b) const {
    return b == rbMemo ? nullptr : views_[std::size_t(viewIndex(b))];
}

QToolButton* TReportDesigner::toolButton(TRPanelState s) const {
    return static_cast<QToolButton*>(tools_->button(s));
}

void TReportDesigner::ArrangeBands() {
    arranging_ = true;
    const BandArrangement a = reports::ArrangeBands(design_.Vars);
    ruler_->setGeometry(0, 0, a.width, kRulerHeight);
    ruler_->SetStartInch(a.startInch);
    for (TReportBand b : {rbHeader, rbDetail, rbMemo, rbFooter}) {
        const BandPlace& p = a.bands[b];
        captions_[b]->setGeometry(0, p.captionTop, a.width, kCaptionHeight);
        sizers_[b]->setGeometry(0, p.sizerTop, a.width, kSizerHeight);
        sizers_[b]->setEnabled(BandUsed(design_.Vars, b) && b != rbMemo);
        {
            const QSignalBlocker block(switches_[b]);
            switches_[b]->setChecked(BandUsed(design_.Vars, b));
        }
        if (b == rbMemo) {
            memo_->setGeometry(0, p.bandTop, a.width, p.bandHeight);
            memo_->setVisible(p.bandHeight > 0);
            memoProps_->setVisible(design_.Vars.UseMemo);
            continue;
        }
        TReportPanel& panel = band(b);
        panel.SetSize(a.width, p.bandHeight);
        auto* view = bandWidget(b);
        view->SyncSize();
        view->move(0, p.bandTop);
        view->setVisible(p.bandHeight > 0);
    }
    page_->resize(a.width, a.pageHeight);
    showMemo();
    arranging_ = false;
}

void TReportDesigner::showMemo() {
    QFont f(design_.Vars.MemoFontName);
    f.setPixelSize(std::max(1, design_.Vars.MemoFontSize * 96 / 72));
    f.setBold(design_.Vars.MemoFontBold);
    f.setItalic(design_.Vars.MemoFontItalic);
    memo_->setFont(f);
    memo_->setAlignment(Qt::AlignTop | (design_.Vars.MemoAlignment == 1   ? Qt::AlignRight
                                        : design_.Vars.MemoAlignment == 2 ? Qt::AlignHCenter
                                                                          : Qt::AlignLeft));
    QString text;
    if (address_ && !address_->eof() && address_->fieldIndex("MEMO"))
        if (auto m = address_->getMemo("MEMO"))
            text = qs(*m);
    memo_->setText(text);
}

void TReportDesigner::setTool(TRPanelState state) {
    for (TReportPanel* p : {&bands_.Header, &bands_.Detail, &bands_.Footer})
        p->SetPanelState(state);
    if (auto* b = tools_->button(state))
        b->setChecked(true);
}

void TReportDesigner::objectDropped() {
    setTool(psPointing);
    markChanged();
}

void TReportDesigner::switchBand(TReportBand b, bool on) {
    if (arranging_)
        return;
    SwitchBand(design_.Vars, b, on);
    ArrangeBands();
    markChanged();
}

void TReportDesigner::dragBand(TReportBand b, int pressHeight, int dy) {
    DragBand(design_.Vars, b, pressHeight, dy);
    ArrangeBands();
    markChanged();
}

void TReportDesigner::bandReleased(TReportBand b) {
    if (b != rbMemo)
        band(b).KeepObjectsInside();
    if (auto* v = bandWidget(b))
        v->update();
}

void TReportDesigner::applyLayout(const ReportVars& vars, const QString& paperDescription) {
    design_.Vars = vars;
    design_.Layout = paperDescription;
    layout_->setText(paperDescription);
    ArrangeBands();
}

void TReportDesigner::changeLayout() {
    TReportProperties dialog(design_.Vars, this);
    ui::CenterDialog(dialog);
    if (dialog.exec() == QDialog::Accepted) {
        applyLayout(dialog.vars(), dialog.paperDescription());
        markChanged();
    }
}

void TReportDesigner::updateFontCaption() {
    const ReportVars& v = design_.Vars;
    font_->setText(QStringLiteral("Default Font: %1, %2 pt %3%4")
                       .arg(v.DefaultFontName)
                       .arg(v.DefaultFontSize)
                       .arg(v.DefaultFontBold ? QStringLiteral(", bold") : QString())
                       .arg(v.DefaultFontItalic ? QStringLiteral(", italic") : QString()));
}

void TReportDesigner::chooseDefaultFont() {
    design::TDesignFont f = bands_.Detail.Font;
    if (!design::ui::ChooseDesignFont(f, this))
        return;
    for (TReportPanel* p : {&bands_.Header, &bands_.Detail, &bands_.Footer})
        p->Font = f;
    design_.Vars.DefaultFontName = f.Name;
    design_.Vars.DefaultFontSize = f.Size;
    design_.Vars.DefaultFontBold = f.Bold;
    design_.Vars.DefaultFontItalic = f.Italic;
    updateFontCaption();
    markChanged();
}

void TReportDesigner::setMemoAlignment(int alignment) {
    design_.Vars.MemoAlignment = alignment;
    showMemo();
    markChanged();
}

void TReportDesigner::moveRecord(int which) {
    if (!address_)
        return;
    switch (which) {
    case 0:
        address_->first();
        break;
    case 1:
        if (!address_->prior() || address_->bof())
            address_->first();
        break;
    case 2:
        if (!address_->next() || address_->eof())
            address_->last();
        break;
    default:
        address_->last();
        break;
    }
    for (TReportPanel* p : {&bands_.Header, &bands_.Detail, &bands_.Footer})
        p->RefreshDataValues();
    for (auto* v : views_)
        v->update();
    showMemo();
}

bool TReportDesigner::save() {
    ReportVars& v = design_.Vars;
    for (TReportBand b : {rbHeader, rbDetail, rbFooter})
        if (BandHeight(v, b) == 0)
            BandUsed(v, b) = false;
    if (!v.UseHeader && !v.UseDetail && !v.UseMemo && !v.UseFooter) {
        ui::ShowInfo(QStringLiteral("No report bands are selected. Please select at least one"),
                     this);
        return false;
    }
    for (TReportBand b : {rbHeader, rbDetail, rbFooter}) {
        if (BandUsed(v, b))
            band(b).RemoveObjectsOutside();
        else
            band(b).ClearObjects();
    }
    for (TReportBand b : {rbHeader, rbDetail, rbFooter}) {
        band(b).ShowDesignTextAll();
        BandHeight(v, b) = band(b).Height();
    }
    design_.Description = description_->text();
    accept();
    return true;
}

bool TReportDesigner::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (TReportBand b : {rbHeader, rbDetail, rbFooter}) {
            if (bandWidget(b) != watched)
                continue;
            TReportPanel& p = band(b);
            // A band that does not take the active tool only beeps.
            if (!p.Pointing() && !p.Accepting()) {
                QApplication::beep();
                return true;
            }
            for (TReportBand other : {rbHeader, rbDetail, rbFooter})
                if (other != b) {
                    band(other).ClearSelection();
                    bandWidget(other)->update();
                }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace qp::reports
