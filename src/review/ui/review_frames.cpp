// The controls around the grid: the five search boxes, the command frame Frame1 and the
// recalculation panel Frame6, with their handlers.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/failure_message.h"
#include "review/ui/review_model.h"
#include "review/ui/review_screen.h"
#include "ui/panel_keys.h"

namespace cl::ui {

namespace {

QPushButton* button(QWidget* parent, const char* name, const char* caption,
                    const char* tooltip = nullptr) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    if (tooltip) b->setToolTip(QString::fromUtf8(tooltip));
    return b;
}

QLineEdit* box(QWidget* parent, const char* name, bool readOnly = false) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(readOnly);
    return e;
}

QGroupBox* framed(QWidget* parent, const char* caption, QWidget* inside) {
    auto* g = new QGroupBox(QString::fromUtf8(caption), parent);
    auto* l = new QVBoxLayout(g);
    l->setContentsMargins(6, 4, 6, 4);
    l->addWidget(inside);
    return g;
}

}  // namespace

QWidget* ReviewScreen::buildSearches() {
    auto* w = new QWidget(this);
    auto* grid = new QGridLayout(w);
    grid->setContentsMargins(0, 0, 0, 0);
    struct Search {
        QLineEdit** box;
        const char *name, *label, *caption;
        int stretch;
    };
    const Search searches[] = {
        {&ricw_, "ricw", "Label2", "Ricerca alfabetica", 3},
        {&codw_, "codw", "Label3", "Per Codice", 1},
        {&gruw_, "gruw", "Label4", "Per cod. art. For.", 2},
        {&forw_, "forw", "Label5", "Ricerca per Sottogruppo", 2},
        {&eanw_, "eanw", "Label6", "Per Ean", 2},
    };
    int col = 0;
    for (const auto& s : searches) {
        auto* label = new QLabel(QString::fromUtf8(s.caption), w);
        label->setObjectName(s.label);
        *s.box = box(w, s.name);
        (*s.box)->installEventFilter(this);
        grid->addWidget(label, 0, col);
        grid->addWidget(*s.box, 1, col);
        grid->setColumnStretch(col, s.stretch);
        ++col;
    }
    return w;
}

QWidget* ReviewScreen::buildCommands() {
    auto* w = new QWidget(this);
    auto* row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);

    auto* frame1 = new QGroupBox(w);
    frame1->setObjectName("Frame1");
    auto* g = new QGridLayout(frame1);
    auto* command1 = button(frame1, "Command1", "Aggiorna Listino");
    command2_ = button(frame1, "Command2", "Vedi selezioni");
    auto* command3 = button(frame1, "Command3", "Seleziona Tutti");
    auto* command13 = button(frame1, "Command13", "Deseleziona Tutti");
    auto* command7 = button(frame1, "Command7", "Seleziona Solo PV Variati",
                            "Seleziona solo prodotti con prezzo di vendita variato");
    auto* command14 = button(frame1, "Command14", "Seleziona solo PV aumentati",
                             "Seleziona solo i prodotti aumentati");
    auto* command4 = button(frame1, "Command4", "Elimina Dati");
    auto* command8 = button(frame1, "Command8", "Ricalcola Prezzi");
    auto* command10 = button(frame1, "Command10", "Stampa");
    g->addWidget(command1, 0, 0);
    g->addWidget(command2_, 0, 1);
    g->addWidget(command3, 0, 2);
    g->addWidget(command13, 0, 3);
    g->addWidget(command8, 0, 4);
    g->addWidget(command10, 1, 0);
    g->addWidget(command7, 1, 1);
    g->addWidget(command14, 1, 2);
    g->addWidget(command4, 1, 3);
    int extraColumn = 0;
    for (const auto& extra : reviewHooks().extraCommands) {
        auto* b =
            button(frame1, extra.control.c_str(), extra.caption.c_str(), extra.tooltip.c_str());
        g->addWidget(b, 2, extraColumn++);
        auto run = extra.run;
        connect(b, &QPushButton::clicked, this, [this, run] {
            try {
                run(*this);
            } catch (const std::exception& e) {
                showFailure(messages_, e);
            }
        });
    }
    row->addWidget(frame1, 1);

    cntw_ = box(w, "cntw", true);
    cntw_->setMaximumWidth(90);
    row->addWidget(framed(w, "Articoli Selezionati", cntw_));
    auto* cmdesc = button(w, "Cmdesc", "Uscita");
    cmdesc->setMinimumHeight(48);
    row->addWidget(cmdesc);

    connect(cmdesc, &QPushButton::clicked, this, &QWidget::close);
    // The hooks may open screens and dialogs of their own: no wait cursor around them.
    auto hook = [this](QPushButton* b, std::function<void(ReviewScreen&)> ReviewScreen::*member) {
        connect(b, &QPushButton::clicked, this, [this, member] {
            if (!(this->*member)) {
                messages_.show("Attenzione ... Funzione non disponibile.", Icon::Information, {});
                return;
            }
            try {
                (this->*member)(*this);
            } catch (const std::exception& e) {
                showFailure(messages_, e);
            }
        });
    };
    hook(command1, &ReviewScreen::onUpdatePriceList);
    hook(command10, &ReviewScreen::onPrint);
    connect(command2_, &QPushButton::clicked, this, [this] {
        std::string caption;
        if (guarded([&] { caption = review_->toggleSelectedView(); }))
            command2_->setText(QString::fromStdString(caption));
        redraw();
    });
    auto bulk = [this](QPushButton* b, long long (review::ReviewController::*command)()) {
        connect(b, &QPushButton::clicked, this, [this, command] {
            guarded([&] { ((*review_).*command)(); });
            redraw();
        });
    };
    bulk(command3, &review::ReviewController::selectAllRows);
    bulk(command13, &review::ReviewController::deselectAllRows);
    bulk(command7, &review::ReviewController::selectChangedPrices);
    bulk(command14, &review::ReviewController::selectRaisedPrices);
    connect(command4, &QPushButton::clicked, this, [this] {
        bool deleted = false;
        guarded([&] { deleted = review_->deleteShownRows(); });
        redraw();
        if (deleted) close();
    });
    connect(command8, &QPushButton::clicked, this, [this] {
        if (session_.state.fl_arrotonda == "S") arropvw_->setChecked(true);
        bool ok = guarded([&] { review_->openRecalc(); });
        redraw();
        if (!ok) return;
        cntbw_->clear();
        centre(frame6_);
        frame6_->show();
        frame6_->raise();
        frame6Keys_->focusIn(percw_);
    });
    return w;
}

QGroupBox* ReviewScreen::buildRecalcPanel() {
    auto* frame6 = new QGroupBox("Ricalcola Prezzi Vendita", this);
    frame6->setObjectName("Frame6");
    frame6->setAutoFillBackground(true);
    auto* v = new QVBoxLayout(frame6);

    arropvw_ = new QCheckBox("Applica arrotondamento Prezzi Vendita", frame6);
    arropvw_->setObjectName("arropvw");
    v->addWidget(arropvw_);
    connect(arropvw_, &QCheckBox::clicked, this, [this](bool checked) {
        session_.state.fl_arrotonda = std::string(1, checked ? 'S' : 'N');
    });

    auto percentRow = [&](QLineEdit*& field, const char* name, const char* label,
                          const char* labelName, const char* command) {
        auto* inner = new QWidget(frame6);
        auto* h = new QHBoxLayout(inner);
        h->setContentsMargins(0, 0, 0, 0);
        field = box(inner, name);
        field->setMaximumWidth(80);
        auto* text = new QLabel(QString::fromUtf8(label), inner);
        text->setObjectName(labelName);
        text->setWordWrap(true);
        text->setMinimumWidth(320);
        auto* run = button(inner, command, "Ricalcola");
        h->addWidget(framed(inner, "Percentuale", field));
        h->addWidget(text, 1);
        h->addWidget(run);
        v->addWidget(inner);
        return run;
    };
    auto* command11 = percentRow(percw_, "percw",
                                 "Inserire +/- una percentuale che verrà applicata al prezzo di "
                                 "vendita attuale e calcolerà un nuovo prezzo di vendita",
                                 "Label8", "Command11");
    auto* command12 = percentRow(perc2w_, "perc2w",
                                 "Ricalcola prezzi di vendita a partire dal costo nuovo "
                                 "applicando questa percentuale di ricarica",
                                 "Label9", "Command12");

    auto* counters = new QHBoxLayout;
    cntrw_ = box(frame6, "cntrw", true);
    cntbw_ = box(frame6, "cntbw", true);
    counters->addWidget(framed(frame6, "Articoli Selezionati", cntrw_));
    counters->addWidget(framed(frame6, "Articoli Aggiornati", cntbw_));
    auto* command9 = button(frame6, "Command9", "Uscita");
    counters->addWidget(command9);
    v->addLayout(counters);
    connect(command9, &QPushButton::clicked, frame6, &QWidget::hide);
    frame6Keys_ = new PanelKeys(frame6, [this, frame6] {
        frame6->hide();
        flex1_->setFocus();
    });

    auto recalc = [this](QLineEdit* field, bool fromCost) {
        if (field->text().trimmed().isEmpty()) field->setText("0");
        long long n = 0;
        bool ok = guarded([&] {
            std::string text = field->text().toStdString();
            n = fromCost ? review_->recalcFromCost(text) : review_->recalcFromPrice(text);
        });
        if (ok) afterRecalc(n);
    };
    connect(command11, &QPushButton::clicked, this, [this, recalc] { recalc(percw_, false); });
    connect(command12, &QPushButton::clicked, this, [this, recalc] { recalc(perc2w_, true); });
    frame6->hide();
    return frame6;
}

void ReviewScreen::afterRecalc(long long rows) {
    // " Elaborazione terminata" was shown; the screen is opened anew.
    if (rows > 0) reopen();
}

}  // namespace cl::ui
