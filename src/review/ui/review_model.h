#pragma once
#include <QAbstractTableModel>

#include "review/review_controller.h"

namespace cl::ui {

// The grid flex1 over the review's rows: only the cells the view asks for are read, coloured
// and formatted. Column 0 is the empty row-heading column, 1..34 the fields.
class ReviewModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ReviewModel(review::ReviewController& review, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // After the rows were loaded again.
    void reload();
    // After cells of one row changed.
    void rowChanged(int row);

  private:
    review::ReviewController& review_;
};

}  // namespace cl::ui
