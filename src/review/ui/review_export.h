#pragma once
#include <QString>

#include "review/review_rows.h"

class QWidget;

namespace cl::review::ui {

// "Esporta in Excel": the rows the grid shows as an .xlsx file. False after showing why not.
bool exportReviewXlsx(QWidget* parent, const ReviewRows& rows, const QString& file);
// The same after asking for the file; nothing happens when the operator cancels.
void askAndExportReviewXlsx(QWidget* parent, const ReviewRows& rows);

}  // namespace cl::review::ui
