#include "review/ui/review_export.h"

#include <QFileDialog>

#include "exports/sheets.h"
#include "ui/qt_messages.h"

namespace cl::review::ui {

bool exportReviewXlsx(QWidget* parent, const ReviewRows& rows, const QString& file) {
    try {
        exports::writeXlsx(file.toStdString(), {exports::reviewSheet(rows)});
        return true;
    } catch (const std::exception& e) {
        cl::ui::QtMessages(parent).show(e.what(), Icon::Critical, {});
        return false;
    }
}

void askAndExportReviewXlsx(QWidget* parent, const ReviewRows& rows) {
    QString file = QFileDialog::getSaveFileName(parent, "Esporta in Excel", "revisione.xlsx",
                                                "Cartella di Excel (*.xlsx)");
    if (!file.isEmpty()) exportReviewXlsx(parent, rows, file);
}

}  // namespace cl::review::ui
