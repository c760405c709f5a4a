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

#include "app/failure_message.h"
#include "app/numbers.h"
#include "app/who.h"
#include "exports/sheets.h"
#include "history/price_history.h"
#include "history/ui/table_cells.h"
#include "history/undo.h"
#include "print/pdf_file.h"
#include "report/ui/report_preview.h"
#include "store/error.h"
#include "ui/qt_messages.h"

namespace cl::history::ui {

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
    table_ = makeTable({"Data", "Agg.", "Costo prima", "Costo dopo", "Prezzo prima", "Prezzo dopo",
                        "Eseguito da", "Note"},
                       this);
    layout->addWidget(table_, 1);
    auto* buttons = new QHBoxLayout;
    auto* xlsx = new QPushButton("Esporta in Excel", this);
    auto* exit = new QPushButton("Uscita", this);
    buttons->addStretch();
    buttons->addWidget(xlsx);
    buttons->addWidget(exit);
    layout->addLayout(buttons);
    connect(exit, &QPushButton::clicked, this, &QDialog::close);
    connect(xlsx, &QPushButton::clicked, this, [this] {
        QString file = QFileDialog::getSaveFileName(this, "Esporta in Excel", "storico.xlsx",
                                                    "Cartella di Excel (*.xlsx)");
        if (!file.isEmpty()) exportXlsx(file);
    });
    auto go = [this] { search(input_->text(), byEan_->isChecked()); };
    connect(find, &QPushButton::clicked, this, go);
    connect(input_, &QLineEdit::returnPressed, this, go);
    resize(820, 420);
}

void HistoryWindow::search(const QString& text, bool byEan) {
    table_->setRowCount(0);
    article_->clear();
    shown_ = {};
    cl::ui::QtMessages messages(this);
    try {
        ArticleHistory h;
        if (byEan) {
            h = historyByEan(session_, text.toStdString());
        } else {
            auto code = wholeNumber(text.toStdString());
            if (!code)
                throw Error("Attenzione ... Il codice articolo \"" + text.toStdString() +
                                "\" non è un numero intero valido.",
                            ErrorKind::InvalidInput);
            h = articleHistory(session_, *code);
        }
        article_->setText(
            QString("Articolo %1  %2").arg(h.article).arg(QString::fromStdString(h.description)));
        if (h.changes.empty())
            article_->setText(article_->text() + "  -  nessuna variazione registrata");
        shown_ = h;
        table_->setRowCount(static_cast<int>(h.changes.size()));
        for (int i = 0; i < static_cast<int>(h.changes.size()); ++i) {
            const auto& c = h.changes[static_cast<size_t>(i)];
            setRow(table_, i,
                   {QString::fromStdString(formatDateTime(c.at)), QString::number(c.run),
                    c.created ? "" : amount(c.costBefore), amount(c.costAfter),
                    c.created ? "" : amount(c.priceBefore), amount(c.priceAfter),
                    QString::fromStdString(describeWho(c.byUser, c.byPc)),
                    QString::fromStdString(changeNote(c))});
        }
        table_->resizeColumnsToContents();
    } catch (const std::exception& e) {
        showFailure(messages, e);
    }
}

bool HistoryWindow::exportXlsx(const QString& file) {
    try {
        if (shown_.article == 0)
            throw Error("Attenzione ... Cercare prima un articolo da esportare.");
        exports::writeXlsx(file.toStdString(), {exports::historySheet(shown_)});
        return true;
    } catch (const std::exception& e) {
        cl::ui::QtMessages(this).show(e.what(), Icon::Critical, {});
        return false;
    }
}

bool undoLastUpdate(QWidget* parent, Session& session) {
    cl::ui::QtMessages messages(parent);
    try {
        return undoUpdate(session, std::nullopt, messages);
    } catch (const std::exception& e) {
        showFailure(messages, e, "Annulla ultimo aggiornamento");
        return false;
    }
}

void writeLabelsPdf(const LabelList& list, const std::string& file) {
    print::writeDocumentPdf(file, "Etichette da ristampare",
                            [&](Printer& p) { printLabelList(list, p); });
}

}  // namespace cl::history::ui
