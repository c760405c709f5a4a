#include "review/ui/review_screen.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "priceedit/ui/editor_dialog.h"
#include "review/review_grid.h"
#include "review/ui/review_model.h"
#include "store/error.h"
#include "ui/enter_buttons.h"
#include "ui/evidenzia.h"

namespace cl::ui {

ReviewHooks& reviewHooks() {
    static ReviewHooks hooks;
    return hooks;
}

void ScreenProgress::setText(const std::string& control, const std::string& text) {
    auto it = boxes.find(control);
    if (it == boxes.end() || !it->second) return;
    it->second->setText(QString::fromStdString(text));
    // Long commands keep the window alive by repainting their counters.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

ReviewScreen::ReviewScreen(Session& session, std::unique_ptr<store::Database> db, QWidget* parent)
    : QWidget(parent), session_(session), db_(std::move(db)), messages_(this) {
    setObjectName("art17t");
    setAttribute(Qt::WA_DeleteOnClose);
    review_ = std::make_unique<review::ReviewController>(session_, *db_, messages_, progress_);
    model_ = new ReviewModel(*review_, this);

    tiposw_ = new QLabel(this);
    tiposw_->setObjectName("tiposw");
    QFont bold = tiposw_->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    tiposw_->setFont(bold);

    flex1_ = new QTableView(this);
    flex1_->setObjectName("flex1");
    flex1_->setModel(model_);
    flex1_->verticalHeader()->hide();
    flex1_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    flex1_->verticalHeader()->setDefaultSectionSize(flex1_->fontMetrics().height() + 4);
    flex1_->horizontalHeader()->setDefaultSectionSize(64);
    flex1_->setSelectionMode(QAbstractItemView::SingleSelection);
    flex1_->setSelectionBehavior(QAbstractItemView::SelectItems);
    flex1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    flex1_->setWordWrap(false);
    // Column widths are the form's; cells are clipped there as the original grid does.
    flex1_->setTextElideMode(Qt::ElideNone);
    QFont gridFont = flex1_->font();
    gridFont.setPointSize(8);
    flex1_->setFont(gridFont);
    flex1_->installEventFilter(this);
    connect(flex1_, &QTableView::clicked, this,
            [this](const QModelIndex& i) { gridClicked(i.row(), i.column()); });
    connect(flex1_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& i) { rememberCurrent(i); });

    auto* top = new QHBoxLayout;
    top->addWidget(tiposw_, 1);
    auto* deslisw = new QLabel("Nr. articoli selezionati  =>", this);
    deslisw->setObjectName("deslisw");
    nrartw_ = new QLineEdit(this);
    nrartw_->setObjectName("nrartw");
    nrartw_->setReadOnly(true);
    nrartw_->setMaximumWidth(90);
    top->addWidget(deslisw);
    top->addWidget(nrartw_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(13, 8, 13, 8);  // the grid: window width minus 400 twips
    layout->addLayout(top);
    layout->addWidget(buildSearches());
    layout->addWidget(flex1_, 1);
    layout->addWidget(buildCommands());
    frame6_ = buildRecalcPanel();

    progress_.boxes = {{"nrartw", nrartw_}, {"cntw", cntw_}, {"cntrw", cntrw_}, {"cntbw", cntbw_}};

    review_->open();
    tiposw_->setText(QString::fromStdString(session_.state.nome_fornitore));
    tiposw_->setObjectName("tiposw");
    setWindowTitle(QString("Gestione Articoli  %1").arg(session_.state.nsede));
    if (session_.readOnly) onlyLook();
    redraw();
    resize(1180, 720);
    enterPressesButtons(this);
}

ReviewScreen::~ReviewScreen() {
    // The editor and the grid read the controller and the database: gone before them.
    delete editor_;
    flex1_->setModel(nullptr);
    // The progress boxes die with the widgets; the controller must not write to them after.
    progress_.boxes.clear();
}

void ReviewScreen::reload() {
    review_->leggo();
    redraw();
}

void ReviewScreen::redraw() {
    model_->reload();
    vedo();  // a reset grid forgets its column widths
    // Keyboard work goes on from the row it was on, wherever the reload put that row.
    if (!current_) return;
    std::optional<size_t> row;
    try {
        row = review_->rows().find(current_->bns);
    } catch (const std::exception&) {
        return;  // the row is simply not found again
    }
    if (!row) return;
    QModelIndex at = model_->index(static_cast<int>(*row), current_->column);
    flex1_->setCurrentIndex(at);
    flex1_->scrollTo(at);
}

void ReviewScreen::rememberCurrent(const QModelIndex& index) {
    // A reset grid has no current cell for a moment: the row it had is still the one to keep.
    if (!index.isValid()) return;
    try {
        const auto& row = review_->rows().row(static_cast<size_t>(index.row()));
        current_ = CurrentCell{row[review::kBns].integer(), index.column()};
    } catch (const std::exception&) {
        current_.reset();
    }
}

void ReviewScreen::reopen() {
    if (onReopen) onReopen();
    close();
}

void ReviewScreen::vedo() {
    for (int c = 0; c <= review::kColumnCount; ++c) {
        int twips = review::columnInfo(c).widthTwips;
        flex1_->setColumnHidden(c, twips == 0);
        if (twips > 0)
            flex1_->setColumnWidth(c, twips / 15);
        else if (twips == review::kDefaultWidth)
            flex1_->setColumnWidth(c, 64);
    }
}

void ReviewScreen::chiaro() {
    const QColor window = QApplication::palette().color(QPalette::Base);
    for (QLineEdit* box : {ricw_, codw_, gruw_, forw_, eanw_}) setBackground(box, window);
    QPalette p = flex1_->palette();
    p.setColor(QPalette::Base, window);
    flex1_->setPalette(p);
}

bool ReviewScreen::guarded(const std::function<void()>& command) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool ok = true;
    try {
        command();
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        messages_.show(e.what(), Icon::Critical, {});
        // What the view shows may have changed before the failure.
        redraw();
        return false;
    }
    QApplication::restoreOverrideCursor();
    return ok;
}

void ReviewScreen::runSearch(QLineEdit* box) {
    static const std::map<std::string, review::SearchKind> kinds{
        {"ricw", review::SearchKind::Description},
        {"codw", review::SearchKind::Code},
        {"gruw", review::SearchKind::SupplierCode},
        {"forw", review::SearchKind::Subgroup},
        {"eanw", review::SearchKind::Ean}};
    auto kind = kinds.at(box->objectName().toStdString());
    if (guarded([&] { review_->search(kind, box->text().toStdString()); })) redraw();
}

void ReviewScreen::gridClicked(int row, int col) {
    if (row < 0 || session_.readOnly) return;  // a click selects a row or opens the editor
    std::optional<priceedit::EditorInputs> inputs;
    if (!guarded([&] { inputs = review_->click(static_cast<size_t>(row), col); })) return;
    model_->rowChanged(row);
    if (inputs) openEditor(*inputs);
}

void ReviewScreen::onlyLook() {
    // Another copy of the program has the store: no selection, recalculation, update, edit,
    // deletion, undo or restore here.
    for (const char* name : {"Command1", "Command3", "Command13", "Command7", "Command14",
                             "Command4", "Command8", "CommandAnnulla", "CommandRipristina"})
        if (auto* b = findChild<QPushButton*>(name)) b->setEnabled(false);
    setWindowTitle(windowTitle() + " — sola lettura");
}

bool ReviewScreen::panelOpen() const {
    auto* frame2 = findChild<QWidget*>("Frame2", Qt::FindDirectChildrenOnly);
    return (frame6_ && frame6_->isVisible()) || (frame2 && frame2->isVisible());
}

void ReviewScreen::openEditor(const priceedit::EditorInputs& inputs) {
    if (panelOpen() || session_.readOnly) return;
    if (editor_) editor_->close();
    editor_ = new EditorDialog(*db_, session_.state, inputs, this);
    connect(editor_, &EditorDialog::saved, this, [this](const priceedit::GridCells& cells) {
        auto& rows = review_->rows();
        rows.refreshAll();  // every row of the article was written
        // The grid may have been reloaded or searched while the editor was open: the cells go
        // to the row of the key, wherever it is now, or nowhere if it is not shown.
        std::optional<size_t> row;
        guarded([&] { row = rows.find(cells.bns); });
        if (row) {
            rows.writeCell(*row, review::kMarN, cells.marN);
            rows.writeCell(*row, review::kPrezzoN, cells.prezzoN);
            rows.writeCell(*row, review::kSel, cells.sel);
            guarded([&] { review_->refreshBold(*row); });
        }
        // The save selected the article's rows.
        guarded([&] { review_->countSelected(); });
        redraw();
    });
    editor_->show();
}

bool ReviewScreen::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    bool isSearch =
        box && (box == ricw_ || box == codw_ || box == gruw_ || box == forw_ || box == eanw_);
    if (isSearch && (event->type() == QEvent::MouseButtonPress ||
                     (box == ricw_ && event->type() == QEvent::FocusIn))) {
        chiaro();
        setBackground(box, QColor(255, 255, 0));
    }
    if (watched == flex1_ && event->type() == QEvent::FocusIn) chiaro();
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (isSearch && key->key() == Qt::Key_Down) {
        flex1_->setFocus();
        return true;
    }
    if (isSearch && enter) {
        runSearch(box);
        return true;
    }
    if (watched == flex1_ && enter) {
        if (panelOpen()) return true;  // the panel over the grid has the keyboard
        int row = flex1_->currentIndex().row();
        std::optional<priceedit::EditorInputs> inputs;
        if (row >= 0 && guarded([&] { inputs = review_->enter(static_cast<size_t>(row)); }) &&
            inputs)
            openEditor(*inputs);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ReviewScreen::centre(QWidget* panel) {
    panel->adjustSize();
    panel->move((width() - panel->width()) / 2, (height() - panel->height()) / 2);
}

void ReviewScreen::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The panels over the grid: recalculation (Frame6) and update settings (Frame2).
    if (frame6_) centre(frame6_);
    if (auto* frame2 = findChild<QWidget*>("Frame2", Qt::FindDirectChildrenOnly)) centre(frame2);
}

}  // namespace cl::ui
