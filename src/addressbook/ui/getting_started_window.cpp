#include "addressbook/ui/getting_started_window.h"

#include "addressbook/getting_started_rules.h"
#include "store/settings_file.h"
#include "store/ui/common_dialogs.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace qp::addressbook {

namespace {

// The link target carries its own text, which picks the help topic.
QString link(const QString& text) {
    return QStringLiteral("<a href=\"#%1\">%2</a>")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(text)), text.toHtmlEscaped());
}

} // namespace

QString TGettingStartedWindow::pageHtml() {
    QString html;
    html += QStringLiteral("<p>\"<b><u>What do I do now?</u></b>\" is a common question when "
                           "you first start a new program. we want to answer that question for "
                           "you so you can start enjoying your new program right away!</p>");
    html += QStringLiteral("<ul>");
    html += QStringLiteral("<li>How do I create a %1 database?</li>").arg(link("new"));
    html += QStringLiteral("<li>How do I import records from another program that are in %1 or "
                           "%2 comma-delimited format?</li>")
                .arg(link("dBase"), link("ASCII"));
    html += QStringLiteral("<li>How do I %1 a new record?</li>").arg(link("add"));
    html += QStringLiteral("<li>How do I %1 an existing record?</li>").arg(link("change"));
    html += QStringLiteral("<li>How do I %1 an existing record?</li>").arg(link("delete"));
    html += QStringLiteral("<li>Other %1</li>").arg(link("Frequently Asked Questions"));
    html += QStringLiteral("</ul>");
    html += QStringLiteral(
        "<p>Every screen has two Help options. Click on the Help to display the main Help topic "
        "for that screen. Or, click on the black question mark. Your mouse cursor will turn "
        "into a question mark and you can click on any screen object you have a question about. "
        "You can always come back to this screen by clicking Help from the main menu, and then "
        "selecting Getting Started.</p>");
    return html;
}

TGettingStartedWindow::TGettingStartedWindow(HelpHandler help, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), help_(std::move(help)) {
    setObjectName(QStringLiteral("GettingStartedWindow"));
    setWindowTitle(QStringLiteral("Getting Started"));

    // Without a title bar the window needs its own edge.
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(1);

    auto* heading = new QLabel(QStringLiteral("Getting Started"), frame);
    heading->setObjectName(QStringLiteral("HeadingLabel"));
    heading->setAlignment(Qt::AlignCenter);
    heading->setAutoFillBackground(true);
    QPalette hp = heading->palette();
    hp.setColor(QPalette::Window, hp.color(QPalette::Highlight));
    hp.setColor(QPalette::WindowText, hp.color(QPalette::HighlightedText));
    heading->setPalette(hp);
    QFont hf(QStringLiteral("Arial"), 14, QFont::Bold);
    heading->setFont(hf);
    heading->setMargin(6);

    page_ = new QTextBrowser(frame);
    page_->setObjectName(QStringLiteral("PageText"));
    page_->setReadOnly(true);
    page_->setOpenLinks(false);
    page_->setOpenExternalLinks(false);
    page_->setFont(QFont(QStringLiteral("Arial"), 10));
    page_->document()->setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    page_->setHtml(pageHtml());
    connect(page_, &QTextBrowser::anchorClicked, this, &TGettingStartedWindow::linkClicked);

    dontShow_ = new QCheckBox(QStringLiteral("Do not show this screen at start up"), frame);
    dontShow_->setObjectName(QStringLiteral("DontShowCheck"));
    dontShow_->setChecked(store::ReadGettingStartedOff(store::SettingsFile::standard()));

    auto* ok = new QPushButton(QStringLiteral("Ok"), frame);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(dontShow_);
    bottom->addStretch();
    bottom->addWidget(ok);

    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(1, 1, 1, 8);
    inner->addWidget(heading);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 4, 8, 0);
    body->addWidget(page_, 1);
    body->addLayout(bottom);
    inner->addLayout(body, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    setTabOrder(ok, dontShow_);
    setTabOrder(dontShow_, page_);
    ok->setFocus();
    resize(520, 380);
}

void TGettingStartedWindow::linkClicked(const QUrl& url) {
    QString text = url.fragment(QUrl::FullyDecoded);
    if (auto topic = HelpContextForLink(text.toStdString()); topic && help_)
        help_(*topic);
}

void TGettingStartedWindow::done(int result) {
    auto settings = store::SettingsFile::standard();
    if (auto st = store::WriteGettingStartedOff(settings, dontShow_->isChecked()); !st)
        qp::ui::ShowInfo(qp::ui::qs(st.error()), this);
    QDialog::done(result);
}

void TGettingStartedWindow::showEvent(QShowEvent* event) {
    qp::ui::CenterDialog(*this);
    QDialog::showEvent(event);
}

} // namespace qp::addressbook
