#include "help/help_viewer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace qp::help {

namespace {

const QString kTopicDir = QStringLiteral(":/qp/help/topics");

QString readResource(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

TopicInfo readTopic(const QString& id) {
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression keys(
        QStringLiteral(R"re(<meta\s+name="keywords"\s+content="([^"]*)")re"));
    const QString html = readResource(TopicPath(id));
    TopicInfo info{id, title.match(html).captured(1).trimmed(), {}};
    for (const QString& k : keys.match(html).captured(1).split(QLatin1Char(';')))
        if (!k.trimmed().isEmpty())
            info.keywords << k.trimmed();
    return info;
}

QString idOf(const QUrl& url) {
    return QFileInfo(url.path()).completeBaseName();
}

} // namespace

QString TopicPath(const QString& id) {
    return kTopicDir + QLatin1Char('/') + id + QStringLiteral(".html");
}

const std::vector<TopicInfo>& Topics() {
    static const std::vector<TopicInfo> all = [] {
        std::vector<TopicInfo> out;
        const QStringList files =
            QDir(kTopicDir).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
        for (const QString& f : files)
            out.push_back(readTopic(QFileInfo(f).completeBaseName()));
        return out;
    }();
    return all;
}

const TopicInfo* FindTopic(const QString& id) {
    for (const auto& t : Topics())
        if (t.id == id)
            return &t;
    return nullptr;
}

std::vector<const TopicInfo*> SearchTopics(const QString& words) {
    const QStringList wanted = words.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    std::vector<std::pair<int, const TopicInfo*>> scored;
    for (const auto& t : Topics()) {
        int score = 0;
        bool all = true;
        for (const QString& w : wanted) {
            int best = 0;
            if (t.title.contains(w, Qt::CaseInsensitive))
                best = 2;
            for (const QString& k : t.keywords) {
                if (k.compare(w, Qt::CaseInsensitive) == 0)
                    best = std::max(best, 4);
                else if (k.startsWith(w, Qt::CaseInsensitive))
                    best = std::max(best, 3);
                else if (k.contains(w, Qt::CaseInsensitive))
                    best = std::max(best, 1);
            }
            all = all && best > 0;
            score += best;
        }
        if (all)
            scored.push_back({wanted.isEmpty() ? 0 : score, &t});
    }
    std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first > b.first;
        return a.second->title.localeAwareCompare(b.second->title) < 0;
    });
    std::vector<const TopicInfo*> out;
    for (const auto& [score, t] : scored)
        out.push_back(t);
    return out;
}

THelpViewer& THelpViewer::instance() {
    static QPointer<THelpViewer> viewer;
    if (!viewer)
        viewer = new THelpViewer;
    return *viewer;
}

THelpViewer::THelpViewer() : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("THelpViewer"));
    setWindowTitle(QStringLiteral("Quillpost Help"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(820, 560);

    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    auto button = [this, bar](const char* name, const char* text) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(QString::fromUtf8(text));
        bar->addWidget(b);
        return b;
    };
    auto* contentsButton = button("ContentsButton", "&Contents");
    auto* searchButton = button("SearchButton", "&Search");
    back_ = button("BackButton", "&Back");
    forward_ = button("ForwardButton", "&Forward");
    bar->addStretch();
    layout->addLayout(bar);

    auto* split = new QSplitter(this);
    tabs_ = new QTabWidget(split);
    contents_ = new QTreeWidget(tabs_);
    contents_->setObjectName(QStringLiteral("ContentsTree"));
    contents_->setHeaderHidden(true);
    tabs_->addTab(contents_, QStringLiteral("Contents"));
    auto* searchPage = new QWidget(tabs_);
    auto* sl = new QVBoxLayout(searchPage);
    sl->addWidget(new QLabel(QStringLiteral("Type a word to look for:"), searchPage));
    search_ = new QLineEdit(searchPage);
    search_->setObjectName(QStringLiteral("SearchBox"));
    sl->addWidget(search_);
    results_ = new QListWidget(searchPage);
    results_->setObjectName(QStringLiteral("SearchResults"));
    sl->addWidget(results_);
    tabs_->addTab(searchPage, QStringLiteral("Search"));
    browser_ = new QTextBrowser(split);
    browser_->setObjectName(QStringLiteral("TopicBrowser"));
    browser_->setSearchPaths({kTopicDir});
    split->addWidget(tabs_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 3);
    layout->addWidget(split);

    fillContents();
    connect(contentsButton, &QToolButton::clicked, this, &THelpViewer::showContents);
    connect(searchButton, &QToolButton::clicked, this, &THelpViewer::showSearch);
    connect(back_, &QToolButton::clicked, this, &THelpViewer::back);
    connect(forward_, &QToolButton::clicked, this, &THelpViewer::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(contents_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QString id = item->data(0, Qt::UserRole).toString();
        if (!id.isEmpty())
            showTopic(id);
    });
    connect(contents_, &QTreeWidget::itemClicked, contents_, &QTreeWidget::itemActivated);
    connect(search_, &QLineEdit::textChanged, this, &THelpViewer::updateResults);
    connect(search_, &QLineEdit::returnPressed, this, [this] {
        if (results_->count() > 0)
            showTopic(results_->item(0)->data(Qt::UserRole).toString());
    });
    connect(results_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showTopic(item->data(Qt::UserRole).toString()); });
    connect(results_, &QListWidget::itemClicked, results_, &QListWidget::itemActivated);
    updateResults();
}

void THelpViewer::fillContents() {
    QTreeWidgetItem* group = nullptr;
    QStringList listed;
    const QStringList lines =
        readResource(kTopicDir + QStringLiteral("/contents.txt")).split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('#'))) {
            group = new QTreeWidgetItem(contents_, {line.mid(1).trimmed()});
            continue;
        }
        const TopicInfo* t = FindTopic(line);
        if (!t)
            continue;
        auto* item = group ? new QTreeWidgetItem(group, {t->title})
                           : new QTreeWidgetItem(contents_, {t->title});
        item->setData(0, Qt::UserRole, t->id);
        listed << t->id;
    }
    QTreeWidgetItem* other = nullptr;
    for (const auto& t : Topics()) {
        if (listed.contains(t.id))
            continue;
        if (!other)
            other = new QTreeWidgetItem(contents_, {QStringLiteral("Other topics")});
        new QTreeWidgetItem(other, {t.title});
        other->child(other->childCount() - 1)->setData(0, Qt::UserRole, t.id);
    }
    contents_->expandAll();
}

void THelpViewer::updateResults() {
    results_->clear();
    for (const TopicInfo* t : SearchTopics(search_->text())) {
        auto* item = new QListWidgetItem(t->title, results_);
        item->setData(Qt::UserRole, t->id);
    }
}

void THelpViewer::bringUp() {
    show();
    raise();
    activateWindow();
}

void THelpViewer::showTopic(const QString& id) {
    if (!FindTopic(id))
        return;
    browser_->setSource(QUrl(QStringLiteral("qrc") + TopicPath(id)));
    bringUp();
}

void THelpViewer::showContents() {
    tabs_->setCurrentIndex(0);
    showTopic(QStringLiteral("index"));
    contents_->setFocus();
}

void THelpViewer::showSearch() {
    tabs_->setCurrentIndex(1);
    search_->clear();
    if (browser_->source().isEmpty())
        showTopic(QStringLiteral("index"));
    bringUp();
    search_->setFocus();
}

void THelpViewer::showHowToUse() {
    showTopic(QStringLiteral("howto"));
}

QString THelpViewer::currentTopic() const {
    return idOf(browser_->source());
}

void THelpViewer::back() {
    browser_->backward();
}

void THelpViewer::forward() {
    browser_->forward();
}

} // namespace qp::help
