#include "addressbook/ui/check_window_parts.h"

#include "addressbook/ui/record_grid.h"
#include "addressbook/ui/tagging_window.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>
#include <memory>

namespace qp::addressbook {

QPushButton* NewActionButton(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QRadioButton* NewRadioButton(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QRadioButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QProgressBar* NewProgressBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QStringLiteral("ProgressBar"));
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

QLabel* NewStatusLine(QWidget* parent) {
    auto* status = new QLabel(parent);
    status->setObjectName(QStringLiteral("StatusLine"));
    return status;
}

QToolButton* NewMouseHelpButton(QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QStringLiteral("MouseHelpButton"));
    b->setText(QStringLiteral("?"));
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

CheckReport ShowCheckProgress(QProgressBar* bar, QLabel* status, const bool& cancelRequested,
                              std::function<std::string(std::uint32_t)> foundText) {
    auto shown = std::make_shared<QElapsedTimer>();
    shown->start();
    return [=, &cancelRequested](const CheckProgress& p) {
        if (p.seen != p.total && shown->elapsed() < 50 && !cancelRequested)
            return true;
        shown->restart();
        const int percent = int(std::uint64_t(p.seen) * 100 / std::max<std::uint32_t>(p.total, 1));
        if (percent > 0 && percent < 100)
            bar->setValue(percent);
        status->setText(ui::qs(foundText(p.found)));
        QApplication::processEvents();
        return !cancelRequested;
    };
}

bool TagAllFound(TRecordGrid& grid, store::Table& table, const std::string& tagId,
                 const QString& question, QWidget* parent) {
    if (!ui::AskYesNo(question, QStringLiteral("TAG ALL"), parent))
        return false;
    if (!grid.Save())
        return false;
    TTaggingWindow tagging(table, tagId, parent);
    tagging.exec();
    grid.reload();
    return true;
}

} // namespace qp::addressbook
