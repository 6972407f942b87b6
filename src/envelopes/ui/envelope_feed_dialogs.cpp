#include "envelopes/ui/envelope_feed_dialogs.h"

#include "envelopes/envelope_design_rules.h"
#include "print/printer_setup.h"
#include "print/ui/printer_dialogs.h"
#include "print/ui/window_hooks.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qp::envelopes {

QString displayText(std::string_view text) {
    QString s = QString::fromUtf8(text.data(), int(text.size()));
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

// ---- picture ----------------------------------------------------------------------------

TFeedPicture::TFeedPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FeedPicture"));
    setMinimumSize(sizeHint());
}

void TFeedPicture::setFeed(const FeedMethod& feed) {
    feed_ = feed;
    update();
}

QRect TFeedPicture::envelopeRect() const {
    const QRect tray = rect().adjusted(10, 0, -10, -1);
    const bool upright = feed_.orientation == foPortrait;
    const QSize size = upright ? QSize(38, 80) : QSize(80, 38);
    int x = tray.left() + (tray.width() - size.width()) / 2;
    if (feed_.position == fpLeft)
        x = tray.left() + 2;
    else if (feed_.position == fpRight)
        x = tray.right() - 2 - size.width() + 1;
    return QRect(QPoint(x, tray.top() + 2), size);
}

void TFeedPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().window());
    // The printer's input: a tray open at the top, where the paper goes in.
    const QRect tray = rect().adjusted(10, 0, -10, -1);
    p.setPen(QPen(Qt::darkGray, 2));
    p.drawLine(tray.topLeft(), tray.bottomLeft());
    p.drawLine(tray.bottomLeft(), tray.bottomRight());
    p.drawLine(tray.bottomRight(), tray.topRight());
    p.setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    p.drawLine(QPoint(tray.center().x(), tray.bottom() - 4),
               QPoint(tray.center().x(), tray.bottom() - 14));
    p.drawLine(QPoint(tray.center().x(), tray.bottom() - 14),
               QPoint(tray.center().x() - 4, tray.bottom() - 10));
    p.drawLine(QPoint(tray.center().x(), tray.bottom() - 14),
               QPoint(tray.center().x() + 4, tray.bottom() - 10));

    const QRect r = envelopeRect();
    p.save();
    p.translate(QRectF(r).center());
    // Drawn as an envelope lying across (80 x 38), then turned into place.
    qreal angle = 0;
    if (feed_.orientation == foPortrait)
        angle = -90;
    else if (feed_.clockWiseRotation)
        angle = 180;
    p.rotate(angle);
    const QRectF env(-40, -19, 80, 38);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(feed_.facing == ffUp ? QColor(255, 255, 240) : QColor(235, 230, 210));
    p.drawRect(env);
    if (feed_.facing == ffUp) {
        // Front: the stamp at the top right, the address in the middle.
        p.setBrush(QColor(200, 40, 40));
        p.drawRect(QRectF(env.right() - 12, env.top() + 3, 9, 10));
        p.setPen(QPen(Qt::darkBlue, 2));
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(-8, -2 + 6 * i), QPointF(20, -2 + 6 * i));
        p.setPen(QPen(Qt::gray, 1));
        p.drawLine(QPointF(env.left() + 4, env.top() + 5), QPointF(env.left() + 20, env.top() + 5));
        p.drawLine(QPointF(env.left() + 4, env.top() + 9), QPointF(env.left() + 18, env.top() + 9));
    } else {
        // Back: the flap along the top edge.
        p.setBrush(Qt::NoBrush);
        p.drawLine(env.topLeft(), QPointF(0, 4));
        p.drawLine(QPointF(0, 4), env.topRight());
        p.drawLine(env.bottomLeft(), QPointF(-6, 2));
        p.drawLine(env.bottomRight(), QPointF(6, 2));
    }
    p.restore();
}

// ---- Paper Feed Method ----------------------------------------------------------------

TEnvelopeFeed::TEnvelopeFeed(const FeedMethod& feed, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TEnvelopeFeed"));
    setWindowTitle(QStringLiteral("Paper Feed Method"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Please indicate how you normally feed envelopes into your printer:"),
        this));
    auto* row = new QHBoxLayout;
    auto group = [this](const QString& title, std::initializer_list<QRadioButton**> buttons,
                        std::initializer_list<const char*> captions) {
        auto* box = new QGroupBox(title, this);
        auto* v = new QVBoxLayout(box);
        auto* exclusive = new QButtonGroup(box);
        auto caption = captions.begin();
        for (QRadioButton** b : buttons) {
            *b = new QRadioButton(QString::fromLatin1(*caption++), box);
            exclusive->addButton(*b);
            v->addWidget(*b);
            connect(*b, &QRadioButton::toggled, this, [this] { changed(); });
        }
        v->addStretch();
        return box;
    };
    row->addWidget(group(QStringLiteral("Position"), {&position_[0], &position_[1], &position_[2]},
                         {"&Left", "&Right", "&Center"}));
    auto* orientation = group(QStringLiteral("Orientation"), {&portrait_, &landscape_},
                              {"&Portrait", "&Landscape"});
    clockwise_ = new QCheckBox(QStringLiteral("Clock&wise Rotation"), orientation);
    clockwise_->setObjectName(QStringLiteral("ClockwiseBox"));
    static_cast<QVBoxLayout*>(orientation->layout())->insertWidget(2, clockwise_);
    connect(clockwise_, &QCheckBox::toggled, this, [this] { changed(); });
    row->addWidget(orientation);
    row->addWidget(group(QStringLiteral("Facing"), {&up_, &down_}, {"&Up", "&Down"}));
    picture_ = new TFeedPicture(this);
    row->addWidget(picture_);
    layout->addLayout(row);
    auto* note = new QLabel(QStringLiteral("(note: there are many printers and many ways to feed "
                                           "envelopes - this may take some experimenting)"),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { print::ShowHelpTopic(this, kFeedDialogHelpTopic); });
    layout->addWidget(buttons);

    const FeedMethod f = sanitizedFeed(feed);
    position_[f.position]->setChecked(true);
    (f.orientation == foLandscape ? landscape_ : portrait_)->setChecked(true);
    (f.facing == ffUp ? up_ : down_)->setChecked(true);
    clockwise_->setChecked(f.clockWiseRotation);
    changed();
}

FeedMethod TEnvelopeFeed::feed() const {
    FeedMethod f;
    f.position = position_[0]->isChecked()   ? fpLeft
                 : position_[1]->isChecked() ? fpRight
                                             : fpCenter;
    f.orientation = landscape_->isChecked() ? foLandscape : foPortrait;
    f.facing = up_->isChecked() ? ffUp : ffDown;
    f.clockWiseRotation = clockwise_->isChecked();
    return f;
}

void TEnvelopeFeed::changed() {
    if (!picture_)
        return;
    // The rotation means something for landscape feed only.
    clockwise_->setVisible(landscape_->isChecked());
    picture_->setFeed(feed());
}

// ---- Envelope Print ---------------------------------------------------------------------

TEnvelopePrePrint::TEnvelopePrePrint(print::TPrinterSetup& setup, double envelopeWidth,
                                     double envelopeHeight, const FeedMethod& feed, QWidget* parent)
    : QDialog(parent), setup_(setup), width_(envelopeWidth), height_(envelopeHeight),
      feed_(sanitizedFeed(feed)) {
    setObjectName(QStringLiteral("TEnvelopePrePrint"));
    setWindowTitle(QStringLiteral("Envelope Print"));
    auto* layout = new QVBoxLayout(this);
    auto* boxes = new QHBoxLayout;

    auto* printerBox = new QGroupBox(QStringLiteral("Printer Setup"), this);
    auto* form = new QFormLayout(printerBox);
    auto value = [printerBox](const char* name) {
        auto* l = new QLabel(printerBox);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    printer_ = value("PrinterValue");
    paper_ = value("PaperValue");
    source_ = value("SourceValue");
    orientation_ = value("OrientationValue");
    form->addRow(QStringLiteral("Printer:"), printer_);
    form->addRow(QStringLiteral("Paper:"), paper_);
    form->addRow(QStringLiteral("Source:"), source_);
    form->addRow(QStringLiteral("Orientation:"), orientation_);
    auto* setupButton = new QPushButton(QStringLiteral("Printer Setup"), printerBox);
    setupButton->setObjectName(QStringLiteral("PrinterSetupButton"));
    setupButton->setAutoDefault(false);
    form->addRow(setupButton);
    boxes->addWidget(printerBox, 1);

    auto* feedBox = new QGroupBox(QStringLiteral("Paper Feed"), this);
    auto* feedRow = new QHBoxLayout(feedBox);
    picture_ = new TFeedPicture(feedBox);
    description_ = new QLabel(feedBox);
    description_->setObjectName(QStringLiteral("FeedDescription"));
    auto* feedColumn = new QVBoxLayout;
    feedColumn->addWidget(description_);
    auto* feedButton = new QPushButton(QStringLiteral("Paper Feed Method"), feedBox);
    feedButton->setObjectName(QStringLiteral("FeedMethodButton"));
    feedButton->setAutoDefault(false);
    feedColumn->addStretch();
    feedColumn->addWidget(feedButton);
    feedRow->addWidget(picture_);
    feedRow->addLayout(feedColumn);
    boxes->addWidget(feedBox, 1);
    layout->addLayout(boxes);

    warning_ = new QLabel(this);
    warning_->setObjectName(QStringLiteral("WarningLabel"));
    warning_->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
    layout->addWidget(warning_);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { print::ShowHelpTopic(this, kPrintDialogHelpTopic); });
    layout->addWidget(buttons);

    runPrinterSetup = [this] { return print::RunPrinterSetupDialog(setup_, this); };
    connect(setupButton, &QPushButton::clicked, this, [this] {
        if (runPrinterSetup && runPrinterSetup())
            refresh();
    });
    connect(feedButton, &QPushButton::clicked, this, &TEnvelopePrePrint::openFeedMethod);
    refresh();
}

void TEnvelopePrePrint::refresh() {
    printer_->setText(setup_.DeviceName());
    paper_->setText(setup_.PaperName());
    source_->setText(setup_.BinName());
    orientation_->setText(setup_.Orientation() == print::poLandScape ? QStringLiteral("Landscape")
                                                                     : QStringLiteral("Portrait"));
    description_->setText(displayText(feedDescription(feed_)));
    picture_->setFeed(feed_);
    const bool mismatch = paperMismatch(width_, height_, setup_.PageWidth(), setup_.PageHeight());
    warning_->setText(mismatch ? displayText(kPaperWarning) : QString());
    warning_->setVisible(mismatch);
}

void TEnvelopePrePrint::openFeedMethod() {
    TEnvelopeFeed dialog(feed_, this);
    if (runModal(dialog) != QDialog::Accepted)
        return;
    feed_ = dialog.feed();
    setup_.SetOrientation(feed_.orientation == foLandscape ? print::poLandScape
                                                           : print::poPortrait);
    refresh();
}

} // namespace qp::envelopes
