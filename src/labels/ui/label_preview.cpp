#include "labels/ui/label_preview.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

#include "labels/label_layouts.h"
#include "print/label_sheet.h"
#include "ui/qt_messages.h"

namespace cl::labels::ui {

void previewLabels(QWidget* parent, const history::LabelList& list, const std::string& layoutName,
                   int copies) {
    cl::ui::QtMessages messages(parent);
    try {
        const LabelLayout& layout = findLayout(layoutName);
        QPrinter printer(QPrinter::HighResolution);
        print::prepareLabelPrinter(printer, layout);
        QPrintPreviewDialog dialog(&printer, parent);
        dialog.setWindowTitle(QStringLiteral("Anteprima di stampa - Etichette da ristampare"));
        dialog.resize(900, 1000);
        cl::ui::QtMessages inDialog(&dialog);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&](QPrinter* target) {
                             try {
                                 print::drawLabels(*target, layout, list, copies);
                             } catch (const std::exception& e) {
                                 inDialog.show(e.what(), Icon::Critical, {});
                             }
                         });
        dialog.exec();
    } catch (const std::exception& e) {
        messages.show(e.what(), Icon::Critical, {});
    }
}

}  // namespace cl::labels::ui
