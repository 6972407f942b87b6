// The topics compiled into the program: one per context number of the
// windows' Help buttons and the Getting Started links, linked together.
#include "help/help_viewer.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace qp::help;

namespace {
const int kWindowTopics[] = {
    1002, 1003, 1017, 1018, 1019,  1021,  1022,  1023,  1024,  1025,  1026,  1029, 1031,
    1033, 1034, 1037, 1038, 1039,  1040,  1043,  1044,  1045,  1046,  1047,  1048, 1049,
    1050, 1073, 1074, 1075, 1078,  1079,  1080,  1081,  1082,  1083,  1084,  1085, 1086,
    1087, 1091, 1092, 2097, 40001, 40003, 40004, 40005, 40006, 40007, 40008, 40009};
// New, dBase, ASCII, add, change, delete, FAQ, find, technical support.
const int kLinkTopics[] = {1037, 1021, 1023, 1030, 1030, 2099, 2098, 1026, 1015};
} // namespace

TEST(HelpTopics, EveryContextNumberHasATitledTopic) {
    for (int n : kWindowTopics) {
        const TopicInfo* t = FindTopic(QString::number(n));
        ASSERT_NE(t, nullptr) << n;
        EXPECT_FALSE(t->title.isEmpty()) << n;
        EXPECT_FALSE(t->keywords.isEmpty()) << n;
    }
    for (int n : kLinkTopics)
        EXPECT_NE(FindTopic(QString::number(n)), nullptr) << n;
    EXPECT_NE(FindTopic("index"), nullptr);
    EXPECT_NE(FindTopic("howto"), nullptr);
}

TEST(HelpTopics, LinksAndContentsNameTopicsThatExist) {
    static const QRegularExpression href(QStringLiteral(R"re(href="([^"#]+)\.html")re"));
    for (const auto& t : Topics()) {
        QFile f(TopicPath(t.id));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << t.id.toStdString();
        const QString html = QString::fromUtf8(f.readAll());
        for (auto it = href.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            EXPECT_NE(FindTopic(target), nullptr)
                << t.id.toStdString() << " -> " << target.toStdString();
        }
    }
    QFile contents(":/qp/help/topics/contents.txt");
    ASSERT_TRUE(contents.open(QIODevice::ReadOnly));
    for (const QString& line : QString::fromUtf8(contents.readAll()).split('\n')) {
        const QString id = line.trimmed();
        if (!id.isEmpty() && !id.startsWith('#')) {
            EXPECT_NE(FindTopic(id), nullptr) << id.toStdString();
        }
    }
}

TEST(HelpTopics, KeywordSearchRanksExactKeywordsFirst) {
    const auto hits = SearchTopics("filter");
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits.front()->id, "1033");
    const auto both = SearchTopics("import ascii");
    ASSERT_FALSE(both.empty());
    for (const TopicInfo* t : both)
        EXPECT_TRUE(t->id == "1023" || t->id == "1024") << t->id.toStdString();
    EXPECT_TRUE(SearchTopics("zzzzqqq").empty());
    EXPECT_EQ(SearchTopics("").size(), Topics().size());
}
