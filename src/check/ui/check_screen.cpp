#include "check/ui/check_screen.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "check/ui/price_list_dialog.h"
#include "check/ui/qt_progress.h"
#include "store/error.h"
#include "ui/enter_buttons.h"

namespace cl::check::ui {

namespace {

template <typename W>
W* named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

QGroupBox* frame(const QString& caption, QLayout* layout) {
    auto* box = new QGroupBox(caption);
    box->setLayout(layout);
    return box;
}

QLineEdit* counter(const char* name) {
    auto* e = named(new QLineEdit, name);
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignRight);
    return e;
}

bool askColumns(const QString& file, pricelist::Sheet& sheet, pricelist::ColumnMap& map,
                QWidget* parent) {
    const std::string path = file.toStdString();
    PriceListDialog dialog(
        file, sheet, [path](int n) { return pricelist::readPriceListFile(path, n); }, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    sheet = dialog.sheet();
    map = dialog.columns();
    return true;
}

void showRowProblems(const std::vector<pricelist::RowProblem>& problems, QWidget* parent) {
    QDialog box(parent);
    box.setWindowTitle("Righe del listino");
    auto* layout = new QVBoxLayout(&box);
    long long left = 0;
    QString text;
    for (const auto& p : problems) {
        left += p.checked ? 0 : 1;
        text += QString::fromStdString(pricelist::problemLine(p)) + "\n";
    }
    layout->addWidget(new QLabel(QString("Righe non controllate: %1. Righe controllate senza un "
                                         "valore: %2.")
                                     .arg(left)
                                     .arg(qlonglong(problems.size()) - left)));
    auto* list = new QPlainTextEdit(text);
    list->setReadOnly(true);
    list->setMinimumSize(560, 240);
    layout->addWidget(list);
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok);
    QObject::connect(ok, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    layout->addWidget(ok);
    box.exec();
}

}  // namespace

CheckScreen::CheckScreen(Session& session, Messages& messages, QWidget* parent)
    : QWidget(parent), session_(session), messages_(messages) {
    setObjectName("lis04g");
    setWindowTitle("Controllo Articoli");
    build();
}

void CheckScreen::build() {
    DBCombo3 = named(new QComboBox, "DBCombo3");
    DBCombo3->setMinimumWidth(320);
    codforw = named(new QLineEdit, "codforw");
    codforw->setMaximumWidth(80);
    auto* supplierRow = new QHBoxLayout;
    supplierRow->addWidget(DBCombo3, 1);
    supplierRow->addWidget(codforw);

    kcos = named(new QCheckBox("Costo prodotto"), "kcos");
    kric = named(new QCheckBox("% di Ricarica"), "kric");
    kpre = named(new QCheckBox("Prezzo al Publico Ivato"), "kpre");
    kcrea = named(new QCheckBox("Crea Articoli nuovi"), "kcrea");
    auto* updates = new QVBoxLayout;
    for (auto* b : {kcos, kric, kpre, kcrea}) updates->addWidget(b);

    pvk = named(new QRadioButton("Prezzo V."), "pvk");
    csk = named(new QRadioButton("Costo"), "csk");
    auto* reference = new QVBoxLayout;
    reference->addWidget(pvk);
    reference->addWidget(csk);
    reference->addStretch();

    tut = named(new QCheckBox("Tutti (Nessun Filtro)"), "tut");
    sma = named(new QCheckBox("Solo prodotti doppi"), "sma");
    sve = named(new QCheckBox("Solo prodotti venduti"), "sve");
    men = named(new QCheckBox("Prodotti diminuiti"), "men");
    piu = named(new QCheckBox("Prodotti aumentati"), "piu");
    nuo = named(new QCheckBox("Nuovi prodotti"), "nuo");
    auto* filterBox = new QFrame;
    filterBox->setFrameShape(QFrame::StyledPanel);
    auto* filters = new QGridLayout(filterBox);
    filters->addWidget(tut, 0, 0);
    filters->addWidget(nuo, 0, 1);
    filters->addWidget(sma, 1, 0);
    filters->addWidget(piu, 1, 1);
    filters->addWidget(sve, 2, 0);
    filters->addWidget(men, 2, 1);

    perif = named(new QLineEdit, "perif");
    perif->setMaximumWidth(80);
    auto* limit = new QVBoxLayout;
    limit->addWidget(perif);
    limit->addStretch();

    dagruppimerc = named(new QRadioButton("Ricariche da Gruppi Merc."), "dagruppimerc");
    soloartnuo = named(new QRadioButton("Fissa solo articoli Nuovi"), "soloartnuo");
    ricnw = named(new QLineEdit, "ricnw");
    ricnw->setMaximumWidth(80);
    auto* prices = new QVBoxLayout;
    prices->addWidget(dagruppimerc);
    prices->addWidget(soloartnuo);
    prices->addWidget(ricnw);

    cntw = counter("cntw");
    bnsw = counter("bnsw");
    auto* checked = new QVBoxLayout;
    checked->addWidget(cntw);
    auto* processed = new QVBoxLayout;
    processed->addWidget(bnsw);

    ProgressBar1 = named(new QProgressBar, "ProgressBar1");
    ProgressBar1->setRange(0, 20005);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setVisible(false);

    Command1 = named(new QPushButton("Controllo dati"), "Command1");
    Command3 = named(new QPushButton("Controllo articoli presenti in Barcode"), "Command3");
    CommandListino = named(new QPushButton("Listino da file…"), "CommandListino");
    CommandListino->setToolTip("Controlla il listino di un fornitore da un file .xlsx o CSV");
    Command2 = named(new QPushButton("Uscita"), "Command2");
    Command2->setToolTip("Uscita programma");
    Drive1 = named(new QComboBox, "Drive1");
    Drive1->addItem(QString(QChar(std::tolower(session_.state.lettera_drive))) + ":");
    Drive1->setEnabled(false);  // the drive is chosen once, at start-up

    auto* grid = new QGridLayout(this);
    auto* supplierFrame = frame("Selezionare Fornitore", supplierRow);
    auto* updatesFrame = frame("Aggiornamenti automatici", updates);
    auto* referenceFrame = frame("Riferimento", reference);
    auto* limitFrame = frame("% limite", limit);
    auto* pricesFrame = frame("Calcolo Prezzi", prices);
    grid->addWidget(supplierFrame, 0, 0, 1, 3);
    grid->addWidget(updatesFrame, 1, 0);
    grid->addWidget(referenceFrame, 1, 1);
    grid->addWidget(limitFrame, 1, 2);
    grid->addWidget(filterBox, 2, 0, 1, 2);
    grid->addWidget(pricesFrame, 2, 2);
    grid->addWidget(frame("Articoli controllati", checked), 3, 0);
    grid->addWidget(frame("Articoli elaborati", processed), 3, 1);
    grid->addWidget(Drive1, 3, 2, Qt::AlignBottom);
    grid->addWidget(ProgressBar1, 4, 0, 1, 3);
    autoCheck = new AutoCheckBar;
    grid->addWidget(autoCheck, 6, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command3);
    buttons->addWidget(CommandListino);
    buttons->addStretch();
    buttons->addWidget(Command2);
    grid->addLayout(buttons, 5, 0, 1, 3);
    inputs_ = {supplierFrame, updatesFrame, referenceFrame, limitFrame, filterBox,
               pricesFrame,   Command1,     Command3,       Command2,   CommandListino};

    connectFilter(tut, FilterBox::Tut);
    connectFilter(nuo, FilterBox::Nuo);
    connectFilter(piu, FilterBox::Piu);
    connectFilter(men, FilterBox::Men);
    connectFilter(sma, FilterBox::Sma);
    connectFilter(sve, FilterBox::Sve);
    connect(DBCombo3, QOverload<int>::of(&QComboBox::activated), this,
            &CheckScreen::supplierChosen);
    connect(Command1, &QPushButton::clicked, this, [this] { command1(); });
    connect(Command3, &QPushButton::clicked, this, [this] { command3(); });
    connect(Command2, &QPushButton::clicked, this, &QWidget::close);
    connect(CommandListino, &QPushButton::clicked, this, [this] { commandListino(); });
    cl::ui::enterPressesButtons(this);
    // Another copy of the program has the store: nothing runs from here.
    if (session_.readOnly) {
        for (auto* b : {Command1, Command3, CommandListino}) b->setEnabled(false);
        inputs_ = {};
    }
}

void CheckScreen::connectFilter(QCheckBox* box, FilterBox which) {
    connect(box, &QCheckBox::clicked, this, [this, which] {
        auto s = state();
        afterFilterClick(s, session_.state, which);
        tut->setChecked(s.tut);
    });
}

void CheckScreen::load(const std::vector<Supplier>& suppliers, const CheckScreenState& s) {
    DBCombo3->clear();
    for (const auto& sup : suppliers)
        DBCombo3->addItem(QString::fromStdString(sup.name), QString::number(sup.code));
    // The remembered supplier is shown by name; an unknown code leaves the box empty.
    DBCombo3->setCurrentIndex(DBCombo3->findText(QString::fromStdString(s.supplierText)));
    codforw->setText(QString::fromStdString(s.codforw));
    kcos->setChecked(s.kcos);
    kric->setChecked(s.kric);
    kpre->setChecked(s.kpre);
    kcrea->setChecked(s.kcrea);
    pvk->setChecked(s.reference == Reference::Price);
    csk->setChecked(s.reference == Reference::Cost);
    tut->setChecked(s.tut);
    sma->setChecked(s.sma);
    sve->setChecked(s.sve);
    men->setChecked(s.men);
    piu->setChecked(s.piu);
    nuo->setChecked(s.nuo);
    perif->setText(QString::fromStdString(s.perif));
    ricnw->setText(QString::fromStdString(s.ricnw));
    dagruppimerc->setChecked(s.markup == MarkupSource::Groups);
    soloartnuo->setChecked(s.markup == MarkupSource::NewOnly);
}

CheckScreenState CheckScreen::state() const {
    CheckScreenState s;
    s.supplierText = DBCombo3->currentText().toStdString();
    s.codforw = codforw->text().toStdString();
    s.kcos = kcos->isChecked();
    s.kric = kric->isChecked();
    s.kpre = kpre->isChecked();
    s.kcrea = kcrea->isChecked();
    s.reference = csk->isChecked() ? Reference::Cost : Reference::Price;
    s.tut = tut->isChecked();
    s.sma = sma->isChecked();
    s.sve = sve->isChecked();
    s.men = men->isChecked();
    s.piu = piu->isChecked();
    s.nuo = nuo->isChecked();
    s.perif = perif->text().toStdString();
    s.ricnw = ricnw->text().toStdString();
    s.markup = soloartnuo->isChecked()     ? MarkupSource::NewOnly
               : dagruppimerc->isChecked() ? MarkupSource::Groups
                                           : MarkupSource::NoneSelected;
    return s;
}

void CheckScreen::supplierChosen(int index) {
    auto s = state();
    chooseSupplier(s, session_.state, DBCombo3->itemData(index).toString().toStdString(),
                   DBCombo3->itemText(index).toStdString());
    codforw->setText(QString::fromStdString(s.codforw));
}

void CheckScreen::announceAutomaticCheck(int seconds) {
    autoCheck->begin(DBCombo3->currentText().trimmed(), seconds, [this] { command1(); });
}

RunReport CheckScreen::command1() {
    return run(false);
}
RunReport CheckScreen::command3() {
    return run(true);
}

RunReport CheckScreen::run(bool barcode) {
    if (running_) return {};
    autoCheck->cancel();  // a run started by hand replaces the announced one
    QtProgress progress({{"cntw", cntw}, {"bnsw", bnsw}}, ProgressBar1);
    const CheckScreenState s = state();
    setRunning(true);
    cntw->clear();
    bnsw->clear();
    RunReport r = barcode ? runBarcodeCheck(session_, s, messages_, progress)
                          : runArticleCheck(session_, s, messages_, progress);
    setRunning(false);
    // A run rolled back or declined counted nothing that stays.
    if (r.outcome == RunOutcome::Failed || r.outcome == RunOutcome::Declined) {
        cntw->clear();
        bnsw->clear();
    }
    if (r.outcome == RunOutcome::NoSupplier) DBCombo3->setFocus();
    if (r.opensReview() && onRunEnded) onRunEnded(r);
    return r;
}

RunReport CheckScreen::commandListino() {
    if (running_) return {};
    autoCheck->cancel();
    // The file is the chosen supplier's: without one there is nothing to ask for.
    if (session_.state.codice_fornitore == 0) {
        messages_.show(kNoSupplier, Icon::Information);
        DBCombo3->setFocus();
        return {RunOutcome::NoSupplier, {}, {}};
    }
    const QString file =
        chooseFile ? chooseFile()
                   : QFileDialog::getOpenFileName(this, "Listino del fornitore", {},
                                                  "Listini (*.xlsx *.csv *.txt);;Tutti i file (*)");
    if (file.isEmpty()) return {};
    pricelist::Sheet sheet;
    pricelist::ColumnMap map;
    try {
        sheet = pricelist::readPriceListFile(file.toStdString());
        map = pricelist::guessColumns(sheet).value_or(pricelist::ColumnMap{});
    } catch (const Error& e) {
        messages_.show(e.what(), Icon::Critical);
        return {};
    }
    auto ask = chooseColumns
                   ? chooseColumns
                   : [this](const QString& f, pricelist::Sheet& s, pricelist::ColumnMap& m) {
                         return askColumns(f, s, m, this);
                     };
    if (!ask(file, sheet, map)) return {};
    pricelist::PriceList list;
    try {
        list = pricelist::extractRows(sheet, map);
    } catch (const Error& e) {
        messages_.show(e.what(), Icon::Critical);
        return {};
    }
    RunReport r = runPriceList(list);
    auto problems = list.problems;
    problems.insert(problems.end(), r.leftOut.begin(), r.leftOut.end());
    if (r.outcome != RunOutcome::NoSupplier && r.outcome != RunOutcome::Failed && !problems.empty())
        (showProblems ? showProblems
                      : [this](const auto& p) { showRowProblems(p, this); })(problems);
    if (r.opensReview() && onRunEnded) onRunEnded(r);
    return r;
}

RunReport CheckScreen::runPriceList(const pricelist::PriceList& list) {
    QtProgress progress({{"cntw", cntw}, {"bnsw", bnsw}}, ProgressBar1);
    setRunning(true);
    RunReport r = checkPriceList(session_, state(), list, messages_, progress);
    setRunning(false);
    return r;
}

void CheckScreen::setRunning(bool running) {
    running_ = running;
    for (auto* w : inputs_) w->setEnabled(!running);
}

void CheckScreen::closeEvent(QCloseEvent* event) {
    if (running_)
        event->ignore();  // a run ends by itself, and closes the screen then
    else
        QWidget::closeEvent(event);
}

}  // namespace cl::check::ui
