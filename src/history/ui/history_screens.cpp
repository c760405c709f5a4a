#include "history/ui/history_screens.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <fstream>

#include "app/numbers.h"
#include "history/price_history.h"
#include "history/undo.h"
#include "review/ui/report_pdf.h"
#include "review/ui/report_preview.h"
#include "store/error.h"
#include "ui/qt_messages.h"

namespace cl::history::ui {

namespace {

QString amount(const std::optional<Money>& m) {
    return m ? QString::fromStdString(formatNumber(m->toDouble(), "#,##0.00")) : QString();
}

QTableWidget* makeTable(const QStringList& headings, QWidget* parent) {
    auto* t = new QTableWidget(0, headings.size(), parent);
    t->setHorizontalHeaderLabels(headings);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

void setRow(QTableWidget* t, int row, const QStringList& cells) {
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        t->setItem(row, c, item);
    }
}

}  // namespace

HistoryWindow::HistoryWindow(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setWindowTitle("Storico prezzi");
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox("Ricerca articolo", this);
    auto* row = new QHBoxLayout(box);
    byCode_ = new QRadioButton("Codice articolo", box);
    byEan_ = new QRadioButton("Codice Ean", box);
    byCode_->setChecked(true);
    input_ = new QLineEdit(box);
    auto* find = new QPushButton("Cerca", box);
    row->addWidget(byCode_);
    row->addWidget(byEan_);
    row->addWidget(input_, 1);
    row->addWidget(find);
    layout->addWidget(box);
    article_ = new QLabel(this);
    layout->addWidget(article_);
    table_ = makeTable(
        {"Data", "Agg.", "Costo prima", "Costo dopo", "Prezzo prima", "Prezzo dopo", "Note"}, this);
    layout->addWidget(table_, 1);
    auto* exit = new QPushButton("Uscita", this);
    layout->addWidget(exit, 0, Qt::AlignRight);
    connect(exit, &QPushButton::clicked, this, &QDialog::close);
    auto go = [this] { search(input_->text(), byEan_->isChecked()); };
    connect(find, &QPushButton::clicked, this, go);
    connect(input_, &QLineEdit::returnPressed, this, go);
    resize(820, 420);
}

void HistoryWindow::search(const QString& text, bool byEan) {
    table_->setRowCount(0);
    article_->clear();
    cl::ui::QtMessages messages(this);
    try {
        ArticleHistory h;
        if (byEan) {
            h = storicoEan(session_, text.toStdString());
        } else {
            auto code = wholeNumber(text.toStdString());
            if (!code)
                throw Error("Attenzione ... Il codice articolo \"" + text.toStdString() +
                            "\" non è un numero intero valido.");
            h = storicoArticolo(session_, *code);
        }
        article_->setText(
            QString("Articolo %1  %2").arg(h.article).arg(QString::fromStdString(h.description)));
        if (h.changes.empty())
            article_->setText(article_->text() + "  -  nessuna variazione registrata");
        table_->setRowCount(static_cast<int>(h.changes.size()));
        for (int i = 0; i < static_cast<int>(h.changes.size()); ++i) {
            const auto& c = h.changes[static_cast<size_t>(i)];
            QString note = c.created ? "creato" : "";
            if (c.undone) note += note.isEmpty() ? "annullato" : ", annullato";
            setRow(table_, i,
                   {QString::fromStdString(c.at), QString::number(c.run),
                    c.created ? "" : amount(c.costBefore), amount(c.costAfter),
                    c.created ? "" : amount(c.priceBefore), amount(c.priceAfter), note});
        }
        table_->resizeColumnsToContents();
    } catch (const std::exception& e) {
        messages.show(e.what(), Icon::Critical, {});
    }
}

LabelsWindow::LabelsWindow(Session& session, std::optional<long long> run, QWidget* parent)
    : QDialog(parent), session_(session) {
    list_ = etichetteDaRistampare(session, run);
    setWindowTitle("Etichette da ristampare");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString("Aggiornamento %1 del %2: %3 prezzi di vendita variati")
                                     .arg(list_.run)
                                     .arg(QString::fromStdString(list_.at))
                                     .arg(list_.labels.size()),
                                 this));
    table_ = makeTable(
        {"Codice", "Codice Ean", "Descrizione", "Prezzo vecchio", "Prezzo nuovo", "Prezzo/UM"},
        this);
    table_->setRowCount(static_cast<int>(list_.labels.size()));
    for (int i = 0; i < static_cast<int>(list_.labels.size()); ++i) {
        const auto& l = list_.labels[static_cast<size_t>(i)];
        QString unit =
            l.unitPrice
                ? amount(l.unitPrice) +
                      (l.referenceUnit.empty() ? "" : "/" + QString::fromStdString(l.referenceUnit))
                : QString();
        setRow(table_, i,
               {QString::number(l.article), QString::fromStdString(l.ean),
                QString::fromStdString(l.description), l.oldPrice ? amount(l.oldPrice) : "nuovo",
                amount(l.newPrice), unit});
        table_->item(i, 2)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    table_->resizeColumnsToContents();
    layout->addWidget(table_, 1);
    auto* buttons = new QHBoxLayout;
    auto* print = new QPushButton("Stampa", this);
    auto* csv = new QPushButton("Esporta CSV", this);
    auto* exit = new QPushButton("Uscita", this);
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(csv);
    buttons->addWidget(exit);
    layout->addLayout(buttons);
    connect(exit, &QPushButton::clicked, this, &QDialog::close);
    connect(csv, &QPushButton::clicked, this, [this] { exportCsv(); });
    connect(print, &QPushButton::clicked, this, [this] {
        review::ui::previewDocument(this, "Etichette da ristampare",
                                    [this](Printer& p) { stampaEtichette(list_, p); });
    });
    resize(860, 480);
}

void LabelsWindow::exportCsv() {
    QString file =
        QFileDialog::getSaveFileName(this, "Esporta etichette", "etichette.csv", "CSV (*.csv)");
    if (file.isEmpty()) return;
    std::ofstream out(file.toStdString(), std::ios::trunc);
    out << labelsCsv(list_);
    if (!out)
        cl::ui::QtMessages(this).show("Attenzione ... Impossibile scrivere " + file.toStdString(),
                                      Icon::Critical, {});
}

bool annullaUltimoAggiornamento(QWidget* parent, Session& session) {
    cl::ui::QtMessages messages(parent);
    try {
        return annullaAggiornamento(session, std::nullopt, messages);
    } catch (const std::exception& e) {
        messages.show(e.what(), Icon::Critical, "Annulla ultimo aggiornamento");
        return false;
    }
}

void writeLabelsPdf(const LabelList& list, const std::string& file) {
    review::ui::writeDocumentPdf(file, "Etichette da ristampare",
                                 [&](Printer& p) { stampaEtichette(list, p); });
}

}  // namespace cl::history::ui
