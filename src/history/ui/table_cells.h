#pragma once
#include <QHeaderView>
#include <QStringList>
#include <QTableWidget>
#include <optional>

#include "app/money.h"
#include "app/numbers.h"

namespace cl::history::ui {

// The read-only tables of the history windows: amounts as the screens show them, numbers on
// the right.

inline QString amount(const std::optional<Money>& m) {
    return m ? QString::fromStdString(formatNumber(m->toDouble(), "#,##0.00")) : QString();
}

inline QTableWidget* makeTable(const QStringList& headings, QWidget* parent) {
    auto* t = new QTableWidget(0, headings.size(), parent);
    t->setHorizontalHeaderLabels(headings);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

inline void setRow(QTableWidget* t, int row, const QStringList& cells) {
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        t->setItem(row, c, item);
    }
}

}  // namespace cl::history::ui
