#include "design/ui/design_list_rows.h"

#include "store/record_selection.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>

namespace qp::design::ui {

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

} // namespace

QTableWidget* AddDesignList(QBoxLayout* column, QWidget* parent, const QString& caption,
                            const QString& name, int minimumWidth) {
    auto* label = new QLabel(caption, parent);
    column->addWidget(label);
    auto* list = new QTableWidget(0, 1, parent);
    list->setObjectName(name);
    list->setHorizontalHeaderLabels({QStringLiteral("Description")});
    list->horizontalHeader()->setStretchLastSection(true);
    list->verticalHeader()->hide();
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setMinimumWidth(minimumWidth);
    label->setBuddy(list);
    column->addWidget(list);
    return list;
}

WhatToPrintBox BuildWhatToPrintBox(QWidget* parent) {
    WhatToPrintBox w;
    w.box = new QGroupBox(QStringLiteral("What to Print"), parent);
    w.box->setObjectName(QStringLiteral("WhatToPrintPanel"));
    w.column = new QVBoxLayout(w.box);
    w.all = new QRadioButton(qs(store::kSelectionAllCaption), w.box);
    w.all->setObjectName(QStringLiteral("AllRecordsButton"));
    w.filter = new QRadioButton(qs(store::kSelectionFilterCaption), w.box);
    w.filter->setObjectName(QStringLiteral("FilterRecordsButton"));
    w.current = new QRadioButton(qs(store::kSelectionCurrentCaption), w.box);
    w.current->setObjectName(QStringLiteral("CurrentRecordButton"));
    w.startCurrent = new QCheckBox(qs(store::kStartFromCurrentCaption), w.box);
    w.startCurrent->setObjectName(QStringLiteral("StartFromCurrentBox"));
    for (QWidget* b : std::initializer_list<QWidget*>{w.all, w.filter, w.current, w.startCurrent})
        w.column->addWidget(b);
    return w;
}

} // namespace qp::design::ui
