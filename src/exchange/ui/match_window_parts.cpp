#include "exchange/ui/match_window_parts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qp::exchange {

QTableWidget* addMatchGrid(QVBoxLayout* layout, QDialog* window, int rows,
                           const QString& fileName) {
    auto* matchLabel = new QLabel("Field Match", window);
    layout->addWidget(matchLabel);
    auto* match = new QTableWidget(rows, 2, window);
    match->setObjectName("matchGrid");
    match->setEditTriggers(QAbstractItemView::NoEditTriggers);
    match->setSelectionBehavior(QAbstractItemView::SelectRows);
    match->setSelectionMode(QAbstractItemView::SingleSelection);
    match->setHorizontalHeaderLabels(
        {"Quillpost Field", "Import from Field (in " + fileName + ")"});
    match->horizontalHeader()->setStretchLastSection(true);
    match->verticalHeader()->hide();
    matchLabel->setBuddy(match);
    layout->addWidget(match, 1);
    return match;
}

MatchButtons addMatchButtons(QVBoxLayout* layout, QDialog* window, int helpTopic) {
    MatchButtons m;
    auto* buttons = new QHBoxLayout;
    m.select = new QPushButton("&Select Field", window);
    m.clear = new QPushButton("&Clear Current", window);
    m.clearAll = new QPushButton("Clear &All", window);
    auto* ok = new QPushButton("Ok", window);
    auto* cancel = new QPushButton("Cancel", window);
    auto* help = new QPushButton(QObject::tr("&Help"), window);
    // The help viewer reads the topic from the window.
    window->setProperty("helpTopic", helpTopic);
    help->setProperty("helpTopic", helpTopic);
    ok->setDefault(true);
    for (auto* b : {m.select, m.clear, m.clearAll})
        buttons->addWidget(b);
    buttons->addStretch();
    for (auto* b : {ok, cancel, help})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    QObject::connect(ok, &QPushButton::clicked, window, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, window, &QDialog::reject);
    return m;
}

} // namespace qp::exchange
