#pragma once
// The help viewer: topics compiled into the program, a contents list, a
// keyword search, back and forward.
#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QToolButton;

namespace qp::help {

struct TopicInfo {
    QString id; // "1029", "howto", "index"
    QString title;
    QStringList keywords;
};

// Every topic in the resources, read from its <title> and keywords.
const std::vector<TopicInfo>& Topics();
const TopicInfo* FindTopic(const QString& id);
QString TopicPath(const QString& id); // ":/qp/help/topics/<id>.html"
// Topics whose title or a keyword contains the words typed, best first.
std::vector<const TopicInfo*> SearchTopics(const QString& words);

class THelpViewer : public QWidget {
    Q_OBJECT
public:
    static THelpViewer& instance();

    void showTopic(const QString& id);
    void showTopic(int contextNumber) { showTopic(QString::number(contextNumber)); }
    void showContents();
    void showSearch();
    void showHowToUse();

    QString currentTopic() const;
    QTextBrowser* browser() const { return browser_; }
    QLineEdit* searchBox() const { return search_; }
    QListWidget* results() const { return results_; }
    QTabWidget* tabs() const { return tabs_; }
    void back();
    void forward();

private:
    THelpViewer();
    void bringUp();
    void fillContents();
    void updateResults();

    QTabWidget* tabs_;
    QTreeWidget* contents_;
    QLineEdit* search_;
    QListWidget* results_;
    QTextBrowser* browser_;
    QToolButton* back_;
    QToolButton* forward_;
};

} // namespace qp::help
