#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <fstream>

#include "app/numbers.h"
#include "exports/sheets.h"
#include "history/price_changes.h"
#include "history/ui/history_screens.h"
#include "history/ui/table_cells.h"
#include "labels/label_layouts.h"
#include "labels/ui/label_preview.h"
#include "print/label_sheet.h"
#include "store/error.h"
#include "ui/qt_messages.h"

namespace cl::history::ui {

namespace {

QString heading(const LabelList& list) {
    QString undone = list.undone ? " (annullato: prezzi rimessi)" : "";
    const auto n = static_cast<long long>(list.labels.size());
    return QString("Aggiornamento %1 del %2%3: %4")
        .arg(list.run)
        .arg(QString::fromStdString(formatDateTime(list.at)))
        .arg(undone)
        .arg(QString::fromStdString(
            counted(n, "prezzo di vendita variato", "prezzi di vendita variati")));
}

void fillTable(QTableWidget* table, const LabelList& list) {
    table->setRowCount(static_cast<int>(list.labels.size()));
    for (int i = 0; i < static_cast<int>(list.labels.size()); ++i) {
        const auto& l = list.labels[static_cast<size_t>(i)];
        QString unit =
            l.unitPrice
                ? amount(l.unitPrice) +
                      (l.referenceUnit.empty() ? "" : "/" + QString::fromStdString(l.referenceUnit))
                : QString();
        setRow(table, i,
               {QString::number(l.article), QString::fromStdString(l.ean),
                QString::fromStdString(l.description), l.oldPrice ? amount(l.oldPrice) : "nuovo",
                amount(l.newPrice), unit, amount(l.offerPrice)});
        table->item(i, 2)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    table->resizeColumnsToContents();
}

}  // namespace

LabelsWindow::LabelsWindow(Session& session, std::optional<long long> run, QWidget* parent)
    : QDialog(parent), session_(session) {
    list_ = labelsToReprint(session, run);
    setWindowTitle("Etichette da ristampare");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(heading(list_), this));
    table_ = makeTable({"Codice", "Codice Ean", "Descrizione", "Prezzo vecchio", "Prezzo nuovo",
                        "Prezzo/UM", "Offerta"},
                       this);
    fillTable(table_, list_);
    layout->addWidget(table_, 1);

    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel("Formato:", this));
    layout_ = new QComboBox(this);
    for (const auto& l : labels::labelLayouts())
        layout_->addItem(QString::fromStdString(l.title), QString::fromStdString(l.name));
    options->addWidget(layout_);
    options->addSpacing(16);
    options->addWidget(new QLabel("Copie per etichetta:", this));
    copies_ = new QSpinBox(this);
    copies_->setRange(1, labels::kMaxCopies);
    options->addWidget(copies_);
    options->addStretch();
    layout->addLayout(options);
    // The list prints once: copies are for labels.
    connect(layout_, &QComboBox::currentIndexChanged, this,
            [this] { copies_->setEnabled(!labels::findLayout(layoutName()).table); });

    auto* buttons = new QHBoxLayout;
    auto* print = new QPushButton("Stampa", this);
    auto* pdf = new QPushButton("Salva PDF", this);
    auto* xlsx = new QPushButton("Esporta in Excel", this);
    auto* csv = new QPushButton("Esporta CSV", this);
    auto* scales = new QPushButton("Prezzi per bilance e casse", this);
    auto* exit = new QPushButton("Uscita", this);
    print->setToolTip("Anteprima di stampa: stampa su qualsiasi stampante o salva in PDF");
    scales->setToolTip("File CSV dei codici a barre con il prezzo variato, per bilance e casse");
    buttons->addStretch();
    for (auto* b : {print, pdf, xlsx, csv, scales, exit}) buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(exit, &QPushButton::clicked, this, &QDialog::close);
    connect(csv, &QPushButton::clicked, this, [this] { exportCsv(); });
    connect(print, &QPushButton::clicked, this,
            [this] { labels::ui::previewLabels(this, list_, layoutName(), copies()); });
    connect(pdf, &QPushButton::clicked, this, [this] {
        QString f = askFile("Salva etichette in PDF", "etichette.pdf", "PDF (*.pdf)");
        if (!f.isEmpty()) savePdf(f);
    });
    connect(xlsx, &QPushButton::clicked, this, [this] {
        QString f = askFile("Esporta in Excel", "etichette.xlsx", "Cartella di Excel (*.xlsx)");
        if (!f.isEmpty()) exportXlsx(f);
    });
    connect(scales, &QPushButton::clicked, this, [this] {
        QString f = askFile("Prezzi per bilance e casse", "variazioni_prezzi.csv", "CSV (*.csv)");
        if (!f.isEmpty()) exportPriceChanges(f);
    });
    resize(940, 520);
}

std::string LabelsWindow::layoutName() const {
    return layout_->currentData().toString().toStdString();
}

int LabelsWindow::copies() const {
    return copies_->isEnabled() ? copies_->value() : 1;
}

void LabelsWindow::chooseLayout(const std::string& name) {
    int i = layout_->findData(QString::fromStdString(name));
    if (i >= 0) layout_->setCurrentIndex(i);
}

void LabelsWindow::setCopies(int copies) {
    copies_->setValue(copies);
}

QString LabelsWindow::askFile(const QString& title, const QString& name, const QString& filter) {
    return QFileDialog::getSaveFileName(this, title, name, filter);
}

bool LabelsWindow::savePdf(const QString& file) {
    try {
        print::writeLabelsPdf(list_, file.toStdString(), layoutName(), copies());
        return true;
    } catch (const std::exception& e) {
        cl::ui::QtMessages(this).show(e.what(), Icon::Critical, {});
        return false;
    }
}

bool LabelsWindow::exportXlsx(const QString& file) {
    try {
        exports::writeXlsx(file.toStdString(), {exports::labelsSheet(list_)});
        return true;
    } catch (const std::exception& e) {
        cl::ui::QtMessages(this).show(e.what(), Icon::Critical, {});
        return false;
    }
}

bool LabelsWindow::exportPriceChanges(const QString& file) {
    try {
        auto changes = priceChangesOfRun(session_, list_.run);
        writePriceChangesCsv(changes, file.toStdString());
        return true;
    } catch (const std::exception& e) {
        cl::ui::QtMessages(this).show(e.what(), Icon::Critical, {});
        return false;
    }
}

void LabelsWindow::exportCsv() {
    QString file = askFile("Esporta etichette", "etichette.csv", "CSV (*.csv)");
    if (file.isEmpty()) return;
    std::ofstream out(file.toStdString(), std::ios::trunc);
    out << labelsCsv(list_);
    if (!out)
        cl::ui::QtMessages(this).show("Attenzione ... Impossibile scrivere " + file.toStdString(),
                                      Icon::Critical, {});
}

}  // namespace cl::history::ui
