#include "report/ui/report_preview.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPrintPreviewWidget>
#include <QTimer>
#include <filesystem>

#include "report/report_nobarcode.h"
#include "support/temp_store.h"
#include "ui/widget_application.h"

namespace cl::review::ui {
namespace {

// Waits for the preview dialog, notes its pages and a picture of it, and closes it.
struct PreviewWatcher {
    int pages = -1;
    QImage shot;
    QString title;
    void watch() {
        QTimer::singleShot(50, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return watch();
            auto* view = dialog->findChild<QPrintPreviewWidget*>();
            if (view) {
                view->updatePreview();
                pages = view->pageCount();
            }
            title = dialog->windowTitle();
            shot = dialog->grab().toImage();
            dialog->reject();
        });
    }
};

TEST(ReportPreview, StampaOpensAPreviewOfTheGridRows) {
    cl::ui::ensureWidgetApplication();
    test::TempStore t;
    std::string rows;
    for (int i = 1; i <= 30; ++i) {
        std::string n = std::to_string(i);
        t.exec("INSERT INTO listi01 (codart, umart, cofart, cosiva) VALUES (" + n +
               ", 'PZ', 1, 1)");
        rows += std::string(i > 1 ? "," : "") + "(" + n + ", " + n + ", 'RIGA " + n + "', 12)";
    }
    t.exec("INSERT INTO variatil (bns, codart, desart, codfor) VALUES " + rows);
    ReviewFilter filter;
    filter.supplier = 12;

    PreviewWatcher w;
    w.watch();
    printReportWithPreview(nullptr, t.session, filter);
    EXPECT_EQ(w.pages, 2);  // 28 rows on the first page
    EXPECT_EQ(w.title.toStdString(), "Anteprima di stampa - CONTROLLO PRODOTTI");
    EXPECT_FALSE(w.shot.isNull());
    if (const char* dir = std::getenv("CL_SCREENSHOTS"))
        w.shot.save(QString::fromStdString(std::string(dir) + "/report-preview.png"));
}

TEST(ReportPreview, NoBarcodeLinesInOnePreviewAndNothingForNoLines) {
    cl::ui::ensureWidgetApplication();
    PreviewWatcher w;
    w.watch();
    printNoBarcodeWithPreview(nullptr, {noBarcodeLine(41, "PANE"), noBarcodeLine(42, "LATTE")});
    EXPECT_EQ(w.pages, 1);

    printNoBarcodeWithPreview(nullptr, {});  // returns at once: no dialog to wait for
    QApplication::processEvents();
}

}  // namespace
}  // namespace cl::review::ui
