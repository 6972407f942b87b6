#include "letters/ui/letter_preview.h"

#include "letters/merge_fields.h"
#include "print/ui/magnifier_cursor.h"
#include "print/ui/window_hooks.h"
#include "richtext/page_settings.h"
#include "richtext/paged_layout.h"
#include "store/table.h"
#include "store/ui/common_dialogs.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <exception>

namespace qp::letters {

namespace {

constexpr int kHelpTopic = 1086;
constexpr const char* kTitle = "Preview Letters";

} // namespace

int ZoomedIn(int zoom) {
    return zoom < 150 ? std::max(1, int(zoom * 1.25)) : zoom;
}

int ZoomedOut(int zoom) {
    return zoom > 50 ? std::max(1, int(zoom * 0.75)) : zoom;
}

int FittingZoom(int windowPixels, int pageTwips, double pixelsPerInch) {
    if (pageTwips <= 0)
        pageTwips = richtext::TPageSettings{}.PageWidth;
    const double pagePixels = pageTwips * pixelsPerInch / richtext::kTwipsPerInch;
    if (pagePixels <= 0 || windowPixels <= 0)
        return 1;
    return std::max(1, int(windowPixels / pagePixels * 100));
}

// The sheet of paper on the screen: white, the text drawn inside the margins.
class TPreviewPage : public QWidget {
public:
    explicit TPreviewPage(TRTFPreviewForm* form) : QWidget(nullptr), Form_(form) {
        setObjectName(QStringLiteral("PreviewPage"));
        setCursor(print::MagnifierCursor());
        setAutoFillBackground(false);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setPen(Qt::gray);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        Form_->DrawPage(p, Form_->TextAreaPixels());
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            Form_->ZoomIn();
        else
            Form_->ZoomOut();
    }

private:
    TRTFPreviewForm* Form_;
};

TRTFPreviewForm::TRTFPreviewForm(store::Table& addressFile, QWidget* parent)
    : QDialog(parent), Table_(addressFile) {
    setWindowTitle(QString::fromLatin1(kTitle));
    setSizeGripEnabled(true);
    Working_.setUndoRedoEnabled(false);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto tool = [&](const QString& text, const QString& name, const QString& tip, auto slot) {
        auto* b = new QToolButton(this);
        b->setText(text);
        b->setObjectName(name);
        b->setToolTip(tip);
        connect(b, &QToolButton::clicked, this, slot);
        row->addWidget(b);
        return b;
    };
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    row->addWidget(ok);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    help->setObjectName(QStringLiteral("HelpButton"));
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this, [this] { print::ShowHelpTopic(this, kHelpTopic); });
    row->addWidget(help);
    row->addSpacing(12);
    tool(QStringLiteral("|<"), QStringLiteral("FirstRecordButton"), QStringLiteral("First record"),
         &TRTFPreviewForm::FirstRecord);
    tool(QStringLiteral("<"), QStringLiteral("PriorRecordButton"),
         QStringLiteral("Previous record"), &TRTFPreviewForm::PriorRecord);
    tool(QStringLiteral(">"), QStringLiteral("NextRecordButton"), QStringLiteral("Next record"),
         &TRTFPreviewForm::NextRecord);
    tool(QStringLiteral(">|"), QStringLiteral("LastRecordButton"), QStringLiteral("Last record"),
         &TRTFPreviewForm::LastRecord);
    row->addSpacing(12);
    tool(QStringLiteral("+"), QStringLiteral("ZoomInButton"), QStringLiteral("Zoom in"),
         &TRTFPreviewForm::ZoomIn);
    tool(QStringLiteral("-"), QStringLiteral("ZoomOutButton"), QStringLiteral("Zoom out"),
         &TRTFPreviewForm::ZoomOut);
    tool(QStringLiteral("Width"), QStringLiteral("PageWidthButton"), QStringLiteral("Page width"),
         &TRTFPreviewForm::PageWidth);
    tool(QStringLiteral("Page"), QStringLiteral("FullPageButton"), QStringLiteral("Full page"),
         &TRTFPreviewForm::FullPage);
    row->addSpacing(12);
    tool(QStringLiteral("Prev page"), QStringLiteral("PreviousPageButton"),
         QStringLiteral("Previous page"), &TRTFPreviewForm::PreviousPage);
    tool(QStringLiteral("Next page"), QStringLiteral("NextPageButton"), QStringLiteral("Next page"),
         &TRTFPreviewForm::NextPage);
    auto* whatsThis = print::NewMouseHelpButton(this);
    row->addWidget(whatsThis);
    row->addStretch(1);
    layout->addLayout(row);

    Scroll_ = new QScrollArea(this);
    Scroll_->setObjectName(QStringLiteral("PreviewScroll"));
    Scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Scroll_->setBackgroundRole(QPalette::Dark);
    Page_ = new TPreviewPage(this);
    Scroll_->setWidget(Page_);
    Scroll_->setWidgetResizable(false);
    layout->addWidget(Scroll_, 1);
    resize(760, 700);
    // The first zoom fits the page width into the window.
    Zoom_ = FittingZoom(Scroll_->viewport()->width() > 100 ? Scroll_->viewport()->width() : 720,
                        richtext::PageSettings(Working_).PageWidth, ScreenPpi());
}

TRTFPreviewForm::~TRTFPreviewForm() = default;

double TRTFPreviewForm::ScreenPpi() const {
    return logicalDpiX() > 0 ? logicalDpiX() : 96.0;
}

void TRTFPreviewForm::SetTemplate(const QTextDocument& letter) {
    richtext::CopyDocument(letter, Template_);
}

void TRTFPreviewForm::Remerge() {
    PageNo_ = 1;
    Start_ = 0;
    Next_ = 0;
    Stack_.clear();
    richtext::CopyDocument(Template_, Working_);
    if (!Table_.eof())
        ReplaceTokens(Working_, ReadMergeRecord(Table_), QDate::currentDate());
    // Where the next page starts is known before the first paint.
    const richtext::TPagedLayout layout(Working_);
    Next_ = layout.PageCount() > 1 ? layout.PageStart(1) : 0;
}

void TRTFPreviewForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (Shown_)
        return;
    Shown_ = true;
    ui::RestoreWindowPlacement(*this);
    Remerge();
    UpdateView();
}

void TRTFPreviewForm::done(int r) {
    ui::SaveWindowPlacement(*this);
    QDialog::done(r);
}

QSize TRTFPreviewForm::PageSizePixels() const {
    richtext::TPageSettings page = richtext::PageSettings(Working_);
    if (page.PageWidth <= 0 || page.PageHeight <= 0)
        page = richtext::TPageSettings{};
    const double ppi = ScreenPpi();
    const int w = int(std::lround(page.PageWidth * ppi / richtext::kTwipsPerInch)) * Zoom_ / 100;
    const int h = int(std::lround(page.PageHeight * ppi / richtext::kTwipsPerInch)) * Zoom_ / 100;
    return {std::max(w, 1), std::max(h, 1)};
}

QRect TRTFPreviewForm::TextAreaPixels() const {
    const richtext::TPageSettings page = richtext::PageSettings(Working_);
    const double f = ScreenPpi() / richtext::kTwipsPerInch * Zoom_ / 100.0;
    const QSize size = PageSizePixels();
    const int l = int(std::lround(page.LeftMargin * f));
    const int r = int(std::lround(page.RightMargin * f));
    const int t = int(std::lround(page.TopMargin * f));
    const int b = int(std::lround(page.BottomMargin * f));
    return QRect(l, t, std::max(1, size.width() - l - r), std::max(1, size.height() - t - b));
}

void TRTFPreviewForm::UpdateView() {
    Page_->resize(PageSizePixels());
    Page_->update();
}

void TRTFPreviewForm::DrawPage(QPainter& painter, const QRectF& textArea) {
    try {
        Next_ = richtext::RenderPage(painter, textArea, Working_, Start_, Zoom_ / 100.0);
    } catch (const std::exception&) {
        if (!DrawErrorShown_) {
            DrawErrorShown_ = true;
            QMessageBox::warning(this, QStringLiteral("Information"),
                                 QStringLiteral("There was an error drawing the preview"));
        }
    }
}

void TRTFPreviewForm::SetZoom(int zoom) {
    Zoom_ = std::max(1, zoom);
    UpdateView();
}

void TRTFPreviewForm::ZoomIn() {
    SetZoom(ZoomedIn(Zoom_));
}

void TRTFPreviewForm::ZoomOut() {
    SetZoom(ZoomedOut(Zoom_));
}

void TRTFPreviewForm::PageWidth() {
    SetZoom(FittingZoom(Scroll_->viewport()->width(), richtext::PageSettings(Working_).PageWidth,
                        ScreenPpi()));
}

void TRTFPreviewForm::FullPage() {
    SetZoom(FittingZoom(Scroll_->viewport()->height(), richtext::PageSettings(Working_).PageHeight,
                        ScreenPpi()));
}

void TRTFPreviewForm::ShowPage() {
    setWindowTitle(QStringLiteral("Preview Letters Page ") + QString::number(PageNo_));
    // The next start of the new page is known once it is laid out.
    const richtext::TPagedLayout layout(Working_);
    const int page = layout.PageAt(Start_);
    Next_ = page + 1 < layout.PageCount() && layout.PageStart(page + 1) > Start_
                ? layout.PageStart(page + 1)
                : 0;
    Page_->update();
}

void TRTFPreviewForm::NextPage() {
    if (Next_ <= 0)
        return;
    Stack_.push_back(Start_);
    Start_ = Next_;
    ++PageNo_;
    ShowPage();
}

void TRTFPreviewForm::PreviousPage() {
    if (Stack_.empty())
        return;
    Start_ = Stack_.back();
    Stack_.pop_back();
    --PageNo_;
    ShowPage();
}

void TRTFPreviewForm::FirstRecord() {
    Table_.first();
    Remerge();
    ShowPage();
}

void TRTFPreviewForm::PriorRecord() {
    if (!Table_.prior() || Table_.bof())
        Table_.first();
    Remerge();
    ShowPage();
}

void TRTFPreviewForm::NextRecord() {
    if (!Table_.next() || Table_.eof())
        Table_.last();
    Remerge();
    ShowPage();
}

void TRTFPreviewForm::LastRecord() {
    Table_.last();
    Remerge();
    ShowPage();
}

void TRTFPreviewForm::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    UpdateView();
}

void TRTFPreviewForm::keyPressEvent(QKeyEvent* e) {
    QScrollBar* bar = Scroll_->verticalScrollBar();
    if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) {
        const int step = e->key() == Qt::Key_Up ? -bar->singleStep() : bar->singleStep();
        bar->setValue(std::clamp(bar->value() + step, bar->minimum(), bar->maximum()));
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace qp::letters
