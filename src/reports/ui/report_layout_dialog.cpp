#include "reports/ui/report_layout_dialog.h"

#include "design/design_types.h"
#include "design/design_units.h"
#include "print/ui/window_hooks.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qp::reports {

namespace {

constexpr int kHelpTopic = 1078;
constexpr const char* kSideNames[4] = {"Top", "Left", "Bottom", "Right"};

struct NamedColor {
    const char* name;
    int value; // as stored: red in the low byte
};
constexpr NamedColor kColors[] = {
    {"White", 0xFFFFFF},  {"Silver", 0xC0C0C0}, {"Gray", 0x808080},   {"Black", 0x000000},
    {"Yellow", 0x00FFFF}, {"Aqua", 0xFFFF00},   {"Lime", 0x00FF00},   {"Fuchsia", 0xFF00FF},
    {"Red", 0x0000FF},    {"Blue", 0xFF0000},   {"Green", 0x008000},  {"Navy", 0x800000},
    {"Maroon", 0x000080}, {"Olive", 0x008080},  {"Purple", 0x800080}, {"Teal", 0x808000},
};

bool& sideOf(BandBorders& b, int side) {
    switch (side) {
    case 0:
        return b.Top;
    case 1:
        return b.Left;
    case 2:
        return b.Bottom;
    default:
        return b.Right;
    }
}

QColor qcolor(int stored) {
    return design::ToQColor(design::TColor{static_cast<std::uint32_t>(stored)});
}

} // namespace

// The small page: printable area inset by the margins, the four bands.
class TMiniPage : public QWidget {
public:
    explicit TMiniPage(TReportProperties& owner) : QWidget(&owner), owner_(owner) {
        setObjectName(QStringLiteral("MiniPage"));
        setMinimumSize(240, 240);
    }

    // Band rectangles in widget pixels (header, detail, memo, footer) and the page.
    QRect pageRect() const { return QRect(10, 10, px(v().PageWidth), px(v().PageHeight)); }
    std::array<QRect, 4> bandRects() const {
        const QRect page = pageRect();
        const QRect area(page.left() + px(v().LeftMargin), page.top() + px(v().TopMargin),
                         page.width() - px(v().LeftMargin) - px(v().RightMargin),
                         page.height() - px(v().TopMargin) - px(v().BottomMargin));
        const int header = v().UseHeader ? std::max(3, px(v().HeaderHeight)) : 0;
        const int footer = v().UseFooter ? std::max(3, px(v().FooterHeight)) : 0;
        const int memo = v().UseMemo ? std::max(3, px(kMemoBandHeight)) : 0;
        std::array<QRect, 4> r;
        r[rbHeader] = QRect(area.left(), area.top(), area.width(), header);
        r[rbFooter] = QRect(area.left(), area.bottom() + 1 - footer, area.width(), footer);
        r[rbMemo] = QRect(area.left(), r[rbFooter].top() - memo, area.width(), memo);
        r[rbDetail] = QRect(area.left(), area.top() + header, area.width(),
                            std::max(0, r[rbMemo].top() - area.top() - header));
        return r;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        p.fillRect(pageRect(), Qt::white);
        p.setPen(Qt::black);
        p.drawRect(pageRect().adjusted(0, 0, -1, -1));
        const auto rects = bandRects();
        for (int b = 0; b < 4; ++b) {
            const QRect r = rects[std::size_t(b)];
            if (r.height() <= 0)
                continue;
            const BandBorders& bb = v().Borders[std::size_t(b)];
            p.fillRect(r, qcolor(ShadedColor(bb.ShadeColor, bb.ShadePercent)));
            const int w = bb.LineWidth;
            if (bb.Top)
                p.fillRect(QRect(r.left(), r.top(), r.width(), w), Qt::black);
            if (bb.Bottom)
                p.fillRect(QRect(r.left(), r.bottom() + 1 - w, r.width(), w), Qt::black);
            if (bb.Left)
                p.fillRect(QRect(r.left(), r.top(), w, r.height()), Qt::black);
            if (bb.Right)
                p.fillRect(QRect(r.right() + 1 - w, r.top(), w, r.height()), Qt::black);
        }
    }
    void mousePressEvent(QMouseEvent* e) override { owner_.pagePressed(e->position().toPoint()); }

private:
    const ReportVars& v() const { return owner_.vars_; }
    static int px(int designPixels) { return int(designPixels * 20.0 / design::PixelsPerInch); }
    TReportProperties& owner_;
};

TReportProperties::TReportProperties(const ReportVars& vars, QWidget* parent)
    : QDialog(parent), vars_(vars) {
    setWindowTitle(QStringLiteral("Report Layout"));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("Tabs"));

    auto* page = new QWidget(tabs_);
    auto* pl = new QVBoxLayout(page);
    auto* orientation = new QGroupBox(QStringLiteral("Orientation"), page);
    auto* ol = new QVBoxLayout(orientation);
    portrait_ = new QRadioButton(QStringLiteral("&Portrait"), orientation);
    landscape_ = new QRadioButton(QStringLiteral("&Landscape"), orientation);
    ol->addWidget(portrait_);
    ol->addWidget(landscape_);
    auto* size = new QGroupBox(QStringLiteral("Size"), page);
    auto* sl = new QVBoxLayout(size);
    letter_ = new QRadioButton(QStringLiteral("L&etter"), size);
    a4_ = new QRadioButton(QStringLiteral("&A4"), size);
    sl->addWidget(letter_);
    sl->addWidget(a4_);
    auto* margins = new QGroupBox(QStringLiteral("Margins (in inches)"), page);
    auto* ml = new QFormLayout(margins);
    const char* marginNames[4] = {"Left", "Top", "Right", "Bottom"};
    for (int i = 0; i < 4; ++i) {
        auto* box = new QDoubleSpinBox(margins);
        box->setObjectName(QStringLiteral("Margin%1").arg(QLatin1String(marginNames[i])));
        box->setDecimals(2);
        box->setRange(0.5, 2.5);
        box->setSingleStep(0.05);
        ml->addRow(QLatin1String(marginNames[i]), box);
        margins_[std::size_t(i)] = box;
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] { readControls(); });
    }
    pl->addWidget(orientation);
    pl->addWidget(size);
    pl->addWidget(margins);
    pl->addStretch();
    for (QRadioButton* b : {portrait_, landscape_, letter_, a4_})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                readControls();
        });
    tabs_->addTab(page, QStringLiteral("Page"));

    const char* bandNames[4] = {"Header", "Detail", "Memo", "Footer"};
    for (int b = 0; b < 4; ++b) {
        auto* w = new QWidget(tabs_);
        auto* bl = new QVBoxLayout(w);
        auto* borders = new QGroupBox(QStringLiteral("Borders"), w);
        auto* gl = new QGridLayout(borders);
        BandControls& c = bands_[std::size_t(b)];
        for (int s = 0; s < 4; ++s) {
            c.sides[std::size_t(s)] = new QCheckBox(QLatin1String(kSideNames[s]), borders);
            gl->addWidget(c.sides[std::size_t(s)], s / 2, s % 2);
            connect(c.sides[std::size_t(s)], &QCheckBox::toggled, this, [this] { readControls(); });
        }
        bl->addWidget(borders);
        auto* form = new QFormLayout;
        c.width = new QSpinBox(w);
        c.width->setRange(1, 3);
        c.shade = new QComboBox(w);
        for (int p = 0; p <= 100; p += 20)
            c.shade->addItem(QString::number(p), p);
        c.color = new QComboBox(w);
        for (const NamedColor& nc : kColors) {
            QPixmap swatch(16, 12);
            swatch.fill(qcolor(nc.value));
            c.color->addItem(QIcon(swatch), QLatin1String(nc.name), nc.value);
        }
        form->addRow(QStringLiteral("Line Width"), c.width);
        form->addRow(QStringLiteral("Shade Percent"), c.shade);
        form->addRow(QStringLiteral("Shade Color"), c.color);
        bl->addLayout(form);
        bl->addStretch();
        connect(c.width, &QSpinBox::valueChanged, this, [this] { readControls(); });
        connect(c.shade, &QComboBox::currentIndexChanged, this, [this] { readControls(); });
        connect(c.color, &QComboBox::currentIndexChanged, this, [this] { readControls(); });
        tabs_->addTab(w, QLatin1String(bandNames[b]));
    }
    left->addWidget(tabs_);
    auto* row = new QHBoxLayout;
    auto button = [&](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    auto* save = button(QStringLiteral("&Save"), "SaveButton");
    save->setDefault(true);
    connect(save, &QPushButton::clicked, this, &QDialog::accept);
    connect(button(QStringLiteral("Cancel"), "CancelButton"), &QPushButton::clicked, this,
            &QDialog::reject);
    connect(button(QStringLiteral("&Defaults"), "DefaultsButton"), &QPushButton::clicked, this,
            &TReportProperties::setDefaults);
    connect(button(QStringLiteral("Help"), "HelpButton"), &QPushButton::clicked, this,
            [this] { print::ShowHelpTopic(this, kHelpTopic); });
    left->addLayout(row);
    layout->addLayout(left);
    picture_ = new TMiniPage(*this);
    layout->addWidget(picture_);

    paper_ = RecognisePaper(vars_.PageWidth, vars_.PageHeight);
    showVars();
}

void TReportProperties::showVars() {
    showing_ = true;
    (IsA4(paper_) ? a4_ : letter_)->setChecked(true);
    (IsLandscape(paper_) ? landscape_ : portrait_)->setChecked(true);
    const int m[4] = {vars_.LeftMargin, vars_.TopMargin, vars_.RightMargin, vars_.BottomMargin};
    for (int i = 0; i < 4; ++i)
        margins_[std::size_t(i)]->setValue(double(m[i]) / design::PixelsPerInch);
    for (int b = 0; b < 4; ++b) {
        BandControls& c = bands_[std::size_t(b)];
        BandBorders& bb = vars_.Borders[std::size_t(b)];
        for (int s = 0; s < 4; ++s)
            c.sides[std::size_t(s)]->setChecked(sideOf(bb, s));
        c.width->setValue(bb.LineWidth);
        c.shade->setCurrentIndex(std::clamp((bb.ShadePercent + 10) / 20, 0, 5));
        int color = c.color->findData(bb.ShadeColor);
        if (color < 0) {
            c.color->addItem(QStringLiteral("Custom"), bb.ShadeColor);
            color = c.color->count() - 1;
        }
        c.color->setCurrentIndex(color);
    }
    showing_ = false;
    picture_->update();
}

void TReportProperties::readControls() {
    if (showing_)
        return;
    const bool a4 = a4_->isChecked(), landscape = landscape_->isChecked();
    paper_ = a4 ? (landscape ? ReportPaper::A4Landscape : ReportPaper::A4Portrait)
                : (landscape ? ReportPaper::LetterLandscape : ReportPaper::LetterPortrait);
    SetPaper(vars_, paper_);
    int* m[4] = {&vars_.LeftMargin, &vars_.TopMargin, &vars_.RightMargin, &vars_.BottomMargin};
    for (int i = 0; i < 4; ++i)
        *m[i] = design::RoundHalfEven(design::PixelsPerInch * margins_[std::size_t(i)]->value());
    for (int b = 0; b < 4; ++b) {
        BandControls& c = bands_[std::size_t(b)];
        BandBorders& bb = vars_.Borders[std::size_t(b)];
        for (int s = 0; s < 4; ++s)
            sideOf(bb, s) = c.sides[std::size_t(s)]->isChecked();
        bb.LineWidth = c.width->value();
        bb.ShadePercent = c.shade->currentData().toInt();
        bb.ShadeColor = c.color->currentData().toInt();
    }
    picture_->update();
}

void TReportProperties::setDefaults() {
    const ReportVars d = NewReportVars();
    SetPaper(vars_, ReportPaper::LetterPortrait);
    vars_.LeftMargin = d.LeftMargin;
    vars_.TopMargin = d.TopMargin;
    vars_.RightMargin = d.RightMargin;
    vars_.BottomMargin = d.BottomMargin;
    vars_.Borders = d.Borders;
    paper_ = ReportPaper::LetterPortrait;
    showVars();
}

void TReportProperties::pagePressed(QPoint p) {
    auto* mini = static_cast<TMiniPage*>(picture_);
    const auto rects = mini->bandRects();
    for (int b = 0; b < 4; ++b)
        if (rects[std::size_t(b)].height() > 0 && rects[std::size_t(b)].contains(p)) {
            tabs_->setCurrentIndex(b + 1);
            return;
        }
    if (mini->pageRect().contains(p))
        tabs_->setCurrentIndex(0);
}

} // namespace qp::reports
