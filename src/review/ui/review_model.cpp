#include "review/ui/review_model.h"

#include <QApplication>
#include <QBrush>
#include <QFont>
#include <QPalette>

#include "review/review_grid.h"

namespace cl::ui {

namespace {
QColor qt(review::Rgb c) {
    return QColor(c.r, c.g, c.b);
}
}  // namespace

ReviewModel::ReviewModel(review::ReviewController& review, QObject* parent)
    : QAbstractTableModel(parent), review_(review) {}

int ReviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(review_.rows().count());
}

int ReviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : review::kColumnCount + 1;
}

QVariant ReviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() == 0) {
        if (role == Qt::BackgroundRole) return QApplication::palette().color(QPalette::Button);
        return {};
    }
    size_t row = static_cast<size_t>(index.row());
    if (role == Qt::FontRole) {
        if (!review_.isBold(row)) return {};
        QFont f;
        f.setBold(true);
        return f;
    }
    if (role != Qt::DisplayRole && role != Qt::BackgroundRole && role != Qt::ForegroundRole)
        return {};
    review::CellLook look = review::cellLook(review_.rows().row(row), index.column());
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(look.text);
        case Qt::BackgroundRole:
            return look.background ? QVariant(QBrush(qt(*look.background))) : QVariant();
        case Qt::ForegroundRole:
            // A row selected by a click is drawn in the active title bar's colour.
            if (review_.isBold(row))
                return QBrush(QApplication::palette().color(QPalette::Highlight));
            return look.foreground ? QVariant(QBrush(qt(*look.foreground))) : QVariant();
    }
    return {};
}

QVariant ReviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    if (section < 0 || section > review::kColumnCount) return {};
    return QString::fromUtf8(review::columnInfo(section).heading);
}

void ReviewModel::reload() {
    beginResetModel();
    endResetModel();
}

void ReviewModel::rowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, review::kColumnCount));
}

}  // namespace cl::ui
