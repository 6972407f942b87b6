#include "print/ui/preview_form.h"

#include "print/draw_command.h"
#include "print/ui/file_preview.h"
#include "print/ui/window_hooks.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>

namespace qp::print {

TPreviewForm::TPreviewForm(const TStoredJob& job, const QString& caption, int zoomMode,
                           QWidget* parent)
    : QDialog(parent), Caption_(caption), ZoomMode_(zoomMode) {
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    Preview_ = new TFilePreview(this);
    Preview_->Model().ZoomInc = 10;
    Preview_->Model().SetZoom(75.0);
    Preview_->SetJob(&job);

    auto* bar = new QHBoxLayout;
    bar->setSpacing(2);
    auto add = [&](const QString& name, const QString& text, const QString& tip) {
        QToolButton* b = AddButton(name, text, tip);
        bar->addWidget(b);
        return b;
    };
    TPreviewModel& m = Preview_->Model();
    connect(add("OkButton", "Ok", "Close the preview"), &QToolButton::clicked, this,
            &QDialog::accept);
    connect(add("ZoomInButton", "+", "Zoom in"), &QToolButton::clicked, this, [&m] { m.ZoomIn(); });
    connect(add("ZoomOutButton", QString(QChar(0x2212)), "Zoom out"), &QToolButton::clicked, this,
            [&m] { m.ZoomOut(); });
    connect(add("PageWidthButton", "Page Width", "Zoom to the page width"), &QToolButton::clicked,
            Preview_, &TFilePreview::ZoomPageWidth);
    connect(add("WholePageButton", "Whole Page", "Show the whole page"), &QToolButton::clicked,
            Preview_, &TFilePreview::ZoomWholePage);
    connect(add("ActualSizeButton", "100%", "Actual size"), &QToolButton::clicked, this,
            [&m] { m.SetZoom(100); });
    connect(add("FirstButton", "|<", "First page"), &QToolButton::clicked, this,
            [&m] { m.First(); });
    connect(add("PrevButton", "<", "Previous page"), &QToolButton::clicked, this,
            [&m] { m.Prev(); });
    connect(add("NextButton", ">", "Next page"), &QToolButton::clicked, this, [&m] { m.Next(); });
    connect(add("LastButton", ">|", "Last page"), &QToolButton::clicked, this, [&m] { m.Last(); });
    bar->addStretch();
    connect(add("HelpButton", "Help", "Help on the preview"), &QToolButton::clicked, this,
            [this] { ShowHelpTopic(this, kHelpTopic); });
    connect(add("WhatsThisButton", "?", "What's this?"), &QToolButton::clicked, this,
            [] { QWhatsThis::enterWhatsThisMode(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(Preview_, 1);
    connect(Preview_, &TFilePreview::PageChanged, this, [this] {
        Retitle();
        UpdateButtons();
    });
    connect(Preview_, &TFilePreview::ZoomChanged, this, &TPreviewForm::Retitle);
    Preview_->setWhatsThis(QStringLiteral(
        "The printed page. Click to zoom in, click with another button to zoom out."));
    resize(800, 900);
    UpdateButtons();
}

QToolButton* TPreviewForm::AddButton(const QString& name, const QString& text, const QString& tip) {
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(tip);
    b->setWhatsThis(tip);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus); // the arrow keys belong to the page
    return b;
}

QToolButton* TPreviewForm::ButtonNamed(const QString& objectName) const {
    return findChild<QToolButton*>(objectName);
}

void TPreviewForm::UpdateButtons() {
    const bool several = Preview_->Model().PageCount() >= 2;
    for (const char* name : {"FirstButton", "PrevButton", "NextButton", "LastButton"})
        ButtonNamed(QString::fromLatin1(name))->setVisible(several);
}

void TPreviewForm::Retitle() {
    if (Shown_)
        setWindowTitle(Preview_->Model().Title());
}

void TPreviewForm::showEvent(QShowEvent* e) {
    if (!Shown_) {
        if (TWindowPlacementStore* store = WindowPlacementStore())
            store->Restore(*this);
    }
    QDialog::showEvent(e);
    if (!Shown_) {
        Shown_ = true;
        Preview_->ApplyZoomMode(ZoomMode_); // needs the final viewport size
        Preview_->setFocus();
        Retitle();
    }
}

void TPreviewForm::done(int r) {
    if (TWindowPlacementStore* store = WindowPlacementStore())
        store->Save(*this);
    QDialog::done(r);
}

} // namespace qp::print
