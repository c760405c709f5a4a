#include "report/ui/report_preview.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <functional>

#include "print/qt_printer.h"
#include "report/report_layout.h"
#include "report/report_nobarcode.h"
#include "report/report_print.h"
#include "report/report_rows.h"
#include "store/error.h"
#include "ui/qt_messages.h"

namespace cl::review::ui {

// The preview asks for the pages again whenever the operator changes the paper or prints:
// each time the same document is laid out anew.
void previewDocument(QWidget* parent, const QString& name,
                     const std::function<void(Printer&)>& draw) {
    QPrinter printer(QPrinter::HighResolution);
    print::prepareReportPrinter(printer, name);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Anteprima di stampa - ") + name);
    dialog.resize(900, 1000);
    cl::ui::QtMessages messages(&dialog);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        try {
            print::QtPrinter out(*target);
            draw(out);
        } catch (const std::exception& e) {
            messages.show(e.what(), Icon::Critical, {});
        }
    });
    dialog.exec();
}

void printReportWithPreview(QWidget* parent, Session& session, const ReviewFilter& filter) {
    std::unique_ptr<store::Database> db;
    try {
        db = session.openStore(false, store::OpenMode::ReadOnly);
    } catch (const std::exception& e) {
        cl::ui::QtMessages(parent).show(e.what(), Icon::Critical, {});
        return;
    }
    printReportWithPreview(parent, session, *db, filter);
}

void printReportWithPreview(QWidget* parent, const Session& session, store::Database& db,
                            const ReviewFilter& filter) {
    std::vector<ReportRow> rows;
    try {
        rows = readReportRows(db, filter);
    } catch (const std::exception& e) {
        cl::ui::QtMessages(parent).show(e.what(), Icon::Critical, {});
        return;
    }
    const ReportHeading heading = reportHeading(session);
    previewDocument(parent, QStringLiteral("CONTROLLO PRODOTTI"),
                    [&](Printer& p) { ReportLayout(p, heading).stampa2(rows); });
}

void printNoBarcodeWithPreview(QWidget* parent, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    previewDocument(parent, QStringLiteral("Prodotti senza codice EAN"),
                    [&](Printer& p) { printNoBarcodeList(p, lines); });
}

}  // namespace cl::review::ui
