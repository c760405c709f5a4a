#include "check/ui/price_list_dialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QVBoxLayout>

#include "pricelist/price_list.h"
#include "store/error.h"

namespace cl::check::ui {

namespace {
constexpr int kPreviewRows = 12;
constexpr int kHeadingChoices = 30;
}  // namespace

PriceListDialog::PriceListDialog(const QString& fileName, pricelist::Sheet sheet,
                                 std::function<pricelist::Sheet(int)> reread, QWidget* parent)
    : QDialog(parent), sheet_(std::move(sheet)), reread_(std::move(reread)) {
    setObjectName("colonneListino");
    setWindowTitle("Colonne del listino");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("File: " + QFileInfo(fileName).fileName()));

    auto* top = new QHBoxLayout;
    auto* form = new QFormLayout;
    sheetBox = new QComboBox;
    sheetBox->setObjectName("foglio");
    for (size_t i = 0; i < sheet_.sheetNames.size(); ++i)
        sheetBox->addItem(
            QString("%1 - %2").arg(i + 1).arg(QString::fromStdString(sheet_.sheetNames[i])));
    sheetBox->setEnabled(sheet_.sheetNames.size() > 1);
    if (!sheet_.sheetNames.empty()) form->addRow("Foglio", sheetBox);
    headingBox = new QComboBox;
    headingBox->setObjectName("intestazione");
    form->addRow("Riga di intestazione", headingBox);
    decimalBox = new QComboBox;
    decimalBox->setObjectName("decimali");
    decimalBox->addItem("dagli importi", -1);
    decimalBox->addItem("virgola (1.250,50)", int(pricelist::NumberStyle::Italian));
    decimalBox->addItem("punto (1,250.50)", int(pricelist::NumberStyle::Plain));
    form->addRow("Decimali", decimalBox);
    connect(decimalBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this] { refresh(); });
    auto* fields = new QFormLayout;
    for (auto f : pricelist::kFields) {
        auto* box = new QComboBox;
        box->setObjectName(pricelist::fieldKey(f));
        fieldBoxes[size_t(f)] = box;
        bool required = f == pricelist::Field::Cost || f == pricelist::Field::Code ||
                        f == pricelist::Field::Ean;
        fields->addRow(QString(pricelist::fieldCaption(f)) + (required ? " *" : ""), box);
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                [this] { refresh(); });
    }
    top->addLayout(form);
    top->addLayout(fields);
    top->addStretch();
    layout->addLayout(top);

    preview = new QTableWidget;
    preview->setObjectName("anteprima");
    preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview->setMinimumSize(720, 260);
    layout->addWidget(preview, 1);
    status = new QLabel;
    status->setObjectName("stato");
    layout->addWidget(status);

    auto* buttons = new QDialogButtonBox;
    okButton = buttons->addButton("Controllo dati", QDialogButtonBox::AcceptRole);
    cancelButton = buttons->addButton("Annulla", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(headingBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this] { refresh(); });
    connect(sheetBox, QOverload<int>::of(&QComboBox::activated), this,
            &PriceListDialog::sheetChosen);
    fill();
}

void PriceListDialog::fill() {
    filling_ = true;
    const size_t columns = sheet_.columnCount();
    const auto guess = pricelist::guessColumns(sheet_);
    // A column is offered with its letter and what the guessed heading row says of it.
    std::vector<QString> names(columns);
    for (size_t c = 0; c < columns; ++c) {
        names[c] = QString::fromStdString(pricelist::columnLetters(c));
        if (guess && guess->headingRow) {
            const auto& cells = sheet_.rows[*guess->headingRow].cells;
            if (c < cells.size() && !cells[c].text.empty())
                names[c] += ": " + QString::fromStdString(cells[c].text);
        }
    }
    for (auto* box : fieldBoxes) {
        box->clear();
        box->addItem("(nessuna)", -1);
        for (size_t c = 0; c < columns; ++c) box->addItem(names[c], int(c));
    }
    headingBox->clear();
    headingBox->addItem("(nessuna)", -1);
    for (int r = 0; r < int(sheet_.rows.size()) && r < kHeadingChoices; ++r)
        headingBox->addItem(QString("riga %1").arg(sheet_.rows[size_t(r)].line), r);

    const int shown = std::min<int>(int(sheet_.rows.size()), kPreviewRows);
    preview->clear();
    preview->setRowCount(shown);
    preview->setColumnCount(int(columns));
    QStringList letters, lines;
    for (size_t c = 0; c < columns; ++c)
        letters << QString::fromStdString(pricelist::columnLetters(c));
    preview->setHorizontalHeaderLabels(letters);
    for (int r = 0; r < shown; ++r) {
        const auto& row = sheet_.rows[size_t(r)];
        lines << QString::number(row.line);
        for (size_t c = 0; c < row.cells.size(); ++c)
            preview->setItem(r, int(c),
                             new QTableWidgetItem(QString::fromStdString(row.cells[c].text)));
    }
    preview->setVerticalHeaderLabels(lines);
    preview->resizeColumnsToContents();
    filling_ = false;
    showColumns(guess.value_or(pricelist::ColumnMap{}));
}

void PriceListDialog::showColumns(const pricelist::ColumnMap& map) {
    filling_ = true;
    for (auto f : pricelist::kFields) {
        auto* box = fieldBoxes[size_t(f)];
        box->setCurrentIndex(map[f] ? box->findData(int(*map[f])) : 0);
    }
    headingBox->setCurrentIndex(map.headingRow ? headingBox->findData(int(*map.headingRow)) : 0);
    filling_ = false;
    refresh();
}

pricelist::ColumnMap PriceListDialog::columns() const {
    pricelist::ColumnMap map;
    for (auto f : pricelist::kFields) {
        int c = fieldBoxes[size_t(f)]->currentData().toInt();
        if (c >= 0) map[f] = size_t(c);
    }
    int h = headingBox->currentData().toInt();
    if (h >= 0) map.headingRow = size_t(h);
    if (int d = decimalBox->currentData().toInt(); d >= 0)
        map.decimal = static_cast<pricelist::NumberStyle>(d);
    return map;
}

void PriceListDialog::refresh() {
    if (filling_) return;
    const auto map = columns();
    for (int r = 0; r < preview->rowCount(); ++r)
        for (int c = 0; c < preview->columnCount(); ++c)
            if (auto* item = preview->item(r, c)) {
                QFont font = item->font();
                font.setBold(map.headingRow && size_t(r) == *map.headingRow);
                item->setFont(font);
                item->setForeground(map.headingRow && size_t(r) < *map.headingRow ? Qt::gray
                                                                                  : Qt::black);
            }
    // Amounts that read two ways are asked about here, never guessed.
    const auto ambiguous = map.complete() ? pricelist::ambiguousAmounts(sheet_, map) : std::nullopt;
    okButton->setEnabled(map.complete() && !ambiguous);
    status->setText(ambiguous ? QString::fromStdString(*ambiguous) + ": scegliere i decimali."
                    : map.complete()
                        ? "Le righe sotto l'intestazione saranno controllate come articoli variati."
                        : "Indicare la colonna del costo e quella del codice fornitore o "
                          "dell'EAN (*).");
}

void PriceListDialog::sheetChosen(int index) {
    try {
        sheet_ = reread_(index + 1);
        fill();
    } catch (const Error& e) {
        QMessageBox::critical(this, windowTitle(), QString::fromStdString(e.what()));
    }
}

}  // namespace cl::check::ui
