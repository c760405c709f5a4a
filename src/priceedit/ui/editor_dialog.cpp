#include "priceedit/ui/editor_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/evidenzia.h"

namespace cl::ui {

using priceedit::Field;

namespace {

// A label above its box, as the form shows them.
QWidget* labelled(QWidget* parent, const char* caption, QLineEdit* box) {
    auto* w = new QWidget(parent);
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(1);
    v->addWidget(new QLabel(QString::fromUtf8(caption), w));
    v->addWidget(box);
    return w;
}

}  // namespace

EditorDialog::EditorDialog(store::Database& db, const AppState& state,
                           const priceedit::EditorInputs& inputs, QWidget* parent)
    : QDialog(parent), messages_(this), editor_(db, messages_, state) {
    setObjectName("Ord01z");
    setWindowTitle("Modifica Prezzi di Vendita");
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* frame = new QGroupBox("Costi e Prezzi di Vendita", this);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(labelled(frame, " Codice articolo ", addBox(Field::codarw, "codarw", true)), 0,
                    0);
    grid->addWidget(labelled(frame, "Codice Ean", addBox(Field::eanw, "eanw", true)), 0, 1);
    grid->addWidget(labelled(frame, "   Cod.Forn.", addBox(Field::codfow, "codfow", true)), 0, 2);
    grid->addWidget(
        labelled(frame, "    Descrizione Articolo", addBox(Field::desarw, "desarw", true)), 1, 0, 1,
        2);
    auto* umIva = new QWidget(frame);
    auto* h = new QHBoxLayout(umIva);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(labelled(umIva, "UM", addBox(Field::umw, "umw", true)));
    h->addWidget(labelled(umIva, "Iva", addBox(Field::ivaw, "ivaw", false)));
    grid->addWidget(umIva, 1, 2);

    auto* vecchi = new QGroupBox("Vecchi", frame);
    auto* vl = new QVBoxLayout(vecchi);
    vl->addWidget(labelled(vecchi, "Costo", addBox(Field::costov, "costov", true)));
    vl->addWidget(labelled(vecchi, "P.Vendita", addBox(Field::prev, "prev", true)));
    vl->addWidget(labelled(vecchi, "% Margine", addBox(Field::ricv, "ricv", true)));
    vl->addStretch();
    auto* nuovi = new QGroupBox("Nuovi", frame);
    auto* nl = new QVBoxLayout(nuovi);
    nl->addWidget(labelled(nuovi, "Costo", addBox(Field::coston, "coston", false)));
    nl->addWidget(labelled(nuovi, "% Ricarica", addBox(Field::ricn, "ricn", false)));
    nl->addWidget(labelled(nuovi, "P.Vendita", addBox(Field::pren, "pren", false)));
    nl->addWidget(labelled(nuovi, "% Margine", addBox(Field::margw, "margw", false)));
    grid->addWidget(vecchi, 2, 0);
    grid->addWidget(nuovi, 2, 1, 1, 2);
    for (Field f : {Field::ricn, Field::pren, Field::margw}) {
        QFont big = boxes_[f]->font();
        big.setBold(true);
        big.setPointSize(big.pointSize() + 2);
        boxes_[f]->setFont(big);
    }

    conferma_ = new QPushButton("Conferma", this);
    conferma_->setObjectName("Command3");
    // Enter on a focused button presses it, as Space does.
    conferma_->setAutoDefault(true);
    auto* uscita = new QPushButton("Uscita", this);
    uscita->setObjectName("Command1");
    uscita->setAutoDefault(true);
    connect(conferma_, &QPushButton::clicked, this, &EditorDialog::confirm);
    connect(uscita, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(conferma_);
    buttons->addWidget(uscita);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    editor_.load(inputs);
    toWidgets();
    if (editor_.margwLightGreen()) setBackground(boxes_[Field::margw], kLightGreen);
}

QLineEdit* EditorDialog::addBox(Field f, const char* name, bool locked) {
    auto* b = new QLineEdit(this);
    b->setObjectName(name);
    b->setReadOnly(locked);
    if (locked) setBackground(b, kLockedGrey);
    b->installEventFilter(this);
    boxes_[f] = b;
    return b;
}

void EditorDialog::fromWidgets() {
    for (auto& [f, b] : boxes_) editor_.fields[f] = b->text().toStdString();
}

void EditorDialog::toWidgets() {
    for (auto& [f, b] : boxes_) {
        QString text = QString::fromStdString(editor_.fields[f]);
        if (b->text() != text) b->setText(text);
    }
}

void EditorDialog::chiaro() {
    const QColor window = QApplication::palette().color(QPalette::Base);
    for (Field f : {Field::ricn, Field::pren, Field::margw}) setBackground(boxes_[f], window);
}

void EditorDialog::pressEnter(Field f) {
    fromWidgets();
    auto next = editor_.enter(f);
    toWidgets();
    if (!next) return;
    if (*next == Field::Conferma)
        conferma_->setFocus();
    else
        boxes_[*next]->setFocus();
}

void EditorDialog::confirm() {
    fromWidgets();
    priceedit::PriceEditor::SaveResult result;
    try {
        result = editor_.carica();
    } catch (const std::exception& e) {
        messages_.show(e.what(), Icon::Critical, {});
        return;
    }
    if (result.focus) boxes_[*result.focus]->setFocus();
    if (!result.closed) return;
    if (result.cells) emit saved(*result.cells);
    close();
}

bool EditorDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* b = qobject_cast<QLineEdit*>(watched);
    if (!b) return QDialog::eventFilter(watched, event);
    Field f = Field::Conferma;
    for (auto& [field, box] : boxes_)
        if (box == b) f = field;
    bool highlighted = f == Field::ricn || f == Field::pren || f == Field::margw;
    if (event->type() == QEvent::FocusIn) {
        if (highlighted)
            evidenzia(this, b);
        else if (f != Field::desarw)
            chiaro();
    } else if (event->type() == QEvent::MouseButtonPress && f == Field::desarw) {
        chiaro();
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            pressEnter(f);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void EditorDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (centred_) return;
    centred_ = true;
    // The description has the focus at first: entering any other box would clear the light
    // green of the margin before it is seen.
    boxes_[Field::desarw]->setFocus();
    adjustSize();
    if (QScreen* s = screen() ? screen() : QApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

}  // namespace cl::ui
