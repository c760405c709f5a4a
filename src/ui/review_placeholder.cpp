#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWidget>

#include "store/error.h"
#include "ui/screens.h"

namespace cl::ui {

// Until the review screen exists: the counts and the first rows of variatil, read-only.
void openReviewScreen(Session& session) {
    auto* w = new QWidget;
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setWindowTitle("Gestione articoli variati");
    auto* layout = new QVBoxLayout(w);
    auto* table = new QTableWidget(0, 7);
    table->setHorizontalHeaderLabels(
        {"bns", "Sel", "CodArt", "Ean", "Descrizione", "PrezzoV", "PrezzoN"});
    QString counts;
    try {
        auto db = session.openStore(false, store::OpenMode::ReadOnly);
        auto& n = db->prepare("SELECT count(*), count(NULLIF(sel, '')) FROM variatil");
        n.step();
        counts = QString("Righe in variatil: %1 (selezionate %2)")
                     .arg(n.value(0).integer())
                     .arg(n.value(1).integer());
        n.reset();
        auto& st = db->prepare(
            "SELECT bns, sel, codart, ea1art, desart, prezpub, prezpubv FROM variatil "
            "ORDER BY desart LIMIT 200");
        while (st.step()) {
            int r = table->rowCount();
            table->insertRow(r);
            for (int c = 0; c < 7; ++c)
                table->setItem(r, c,
                               new QTableWidgetItem(QString::fromStdString(st.value(c).text())));
        }
    } catch (const Error& e) {
        counts = QString::fromStdString(e.what());
    }
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(new QLabel(counts));
    layout->addWidget(table);
    w->resize(800, 500);
    w->show();
}

}  // namespace cl::ui
