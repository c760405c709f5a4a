#include "review/ui/review_screen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <cstdlib>

#include "priceedit/ui/editor_dialog.h"
#include "review/review_grid.h"
#include "store/write_transactions.h"
#include "support/column_text.h"
#include "support/variatil_rows.h"
#include "ui/evidenzia.h"

namespace cl::ui {
namespace {

// Mouse and key events as the platform delivers them.
void mouseClick(QWidget* w, QPoint at = {}) {
    if (at.isNull()) at = w->rect().center();
    QPointF global = w->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
    QApplication::processEvents();
}

void keyClick(QWidget* w, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
    QApplication::processEvents();
}

void keyClicks(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

QApplication& app() {
    static int argc = 1;
    static char name[] = "tests_review_ui";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own globals are gone by the time static objects would be.
    static QApplication* a = QApplication::instance()
                                 ? static_cast<QApplication*>(QApplication::instance())
                                 : new QApplication(argc, argv);
    return *a;
}

// Answers every message box that opens, keeping its text.
class MessageBoxes {
  public:
    MessageBoxes() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (!box || !box->isVisible()) continue;
                texts.push_back(box->text().toStdString());
                defaultIsNo.push_back(box->defaultButton() == box->button(QMessageBox::No));
                EXPECT_EQ(store::openWriteTransactions(), 0) << texts.back();
                QAbstractButton* b = box->button(answerYes ? QMessageBox::Yes : QMessageBox::No);
                if (!b) b = box->button(QMessageBox::Ok);
                b->click();
            }
        });
        timer_.start();
    }
    std::vector<std::string> texts;
    std::vector<bool> defaultIsNo;
    bool answerYes = false;

  private:
    QTimer timer_;
};

class ReviewScreenTest : public ::testing::Test {
  protected:
    QApplication& application = app();  // before any timer
    test::TempStore store;
    MessageBoxes boxes;
    ReviewScreen* screen = nullptr;

    void SetUp() override {
        app();
        store.exec(
            "INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ORTOFRUTTA SRL')");
        test::addVariatil(store, {.bns = 1,
                                  .codart = 100,
                                  .sel = "",
                                  .desart = "POMODORI DELL'ORTO",
                                  .prezpub = "10",
                                  .prezpubv = "9",
                                  .przart = "10"});
        test::addVariatil(store, {.bns = 2,
                                  .codart = 0,
                                  .sel = "",
                                  .desart = "LATTE NUOVO",
                                  .prezpub = "0",
                                  .prezpubv = "5"});
        test::addVariatil(store, {.bns = 3,
                                  .codart = 300,
                                  .sel = "X",
                                  .desart = "ZUCCHERO",
                                  .prezpub = "1",
                                  .prezpubv = "1.2",
                                  .coston = "1"});
        store.session.state.codice_fornitore = 12;
        open();
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
        QApplication::processEvents();
    }
    void open() {
        auto db = store.session.openStore();
        screen = new ReviewScreen(store.session, std::move(db));
        screen->onReopen = [this] { reopened = true; };
        screen->show();
        // Let the window take the focus before the test clicks.
        screen->activateWindow();
        QApplication::processEvents();
    }
    QTableView* grid() { return screen->grid(); }
    QString cell(int row, int col) { return grid()->model()->index(row, col).data().toString(); }
    template <typename T>
    T* find(const char* name, QWidget* in = nullptr) {
        T* w = (in ? in : screen)->findChild<T*>(name);
        if (!w) throw std::runtime_error(std::string("manca ") + name);
        return w;
    }
    void clickCell(int row, int col) {
        QModelIndex i = grid()->model()->index(row, col);
        grid()->scrollTo(i);
        mouseClick(grid()->viewport(), grid()->visualRect(i).center());
    }
    void typeEnter(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->setText(text);
        keyClick(box, Qt::Key_Return);
    }
    std::string q(const std::string& sql) { return store.scalar(sql); }
    bool reopened = false;
};

TEST_F(ReviewScreenTest, OpensWithCaptionSupplierCountsAndGrid) {
    EXPECT_EQ(screen->windowTitle(), "Gestione Articoli  1");
    EXPECT_EQ(find<QLabel>("tiposw")->text().trimmed(), "ORTOFRUTTA SRL");
    EXPECT_EQ(find<QLineEdit>("nrartw")->text(), "3");
    // "Articoli Selezionati": one of the three rows has Sel "X".
    EXPECT_EQ(find<QLineEdit>("cntw")->text(), "1");
    auto* model = grid()->model();
    EXPECT_EQ(model->columnCount(), 35);
    EXPECT_EQ(model->headerData(14, Qt::Horizontal).toString(), "PrezzoN");
    EXPECT_TRUE(grid()->isColumnHidden(19));
    EXPECT_EQ(grid()->columnWidth(4), 3100 / 15);
    EXPECT_EQ(cell(0, 4).trimmed(), "LATTE NUOVO");
    EXPECT_EQ(cell(0, 15), "100,00");
    EXPECT_EQ(model->index(0, 15).data(Qt::BackgroundRole).value<QBrush>().color(),
              QColor(255, 0, 0));
    EXPECT_EQ(model->index(0, 15).data(Qt::ForegroundRole).value<QBrush>().color(),
              QColor(255, 255, 0));
    EXPECT_EQ(cell(1, 15), "-10,00");
    EXPECT_EQ(model->index(1, 15).data(Qt::BackgroundRole).value<QBrush>().color(),
              QColor(0, 255, 0));
    EXPECT_EQ(find<QPushButton>("Command7")->toolTip(),
              "Seleziona solo prodotti con prezzo di vendita variato");
    EXPECT_FALSE(find<QGroupBox>("Frame6")->isVisible());
}

TEST_F(ReviewScreenTest, TheOpenScreenLetsAnotherWorkstationWrite) {
    // Opened straight from the store, with nothing reset by hand: no statement of the opening
    // keeps a table it read.
    store.exec(
        "UPDATE variatil SET prezpub = prezpub; UPDATE fornitori SET dscfornitore = 'ORTO'; "
        "UPDATE parametri SET cliente = cliente; UPDATE listi01 SET umart = umart");
    EXPECT_EQ(q("SELECT dscfornitore FROM fornitori"), "ORTO");
}

TEST_F(ReviewScreenTest, SearchBoxesRunOnEnterAndPaintYellowOnClick) {
    auto* ricw = find<QLineEdit>("ricw");
    mouseClick(ricw);
    EXPECT_EQ(background(ricw), QColor(255, 255, 0));
    typeEnter(ricw, "DELL'ORTO");
    ASSERT_EQ(grid()->model()->rowCount(), 1);
    EXPECT_EQ(cell(0, 4).trimmed(), "POMODORI DELL'ORTO");
    mouseClick(find<QLineEdit>("codw"));
    EXPECT_NE(background(ricw), QColor(255, 255, 0));

    typeEnter(find<QLineEdit>("codw"), "abc");
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find("non è un codice articolo"), std::string::npos);
    EXPECT_EQ(grid()->model()->rowCount(), 1);  // nothing searched
    typeEnter(find<QLineEdit>("codw"), "300");
    EXPECT_EQ(cell(0, 4).trimmed(), "ZUCCHERO");
    keyClick(find<QLineEdit>("codw"), Qt::Key_Down);
    EXPECT_TRUE(grid()->hasFocus() || !QApplication::focusWidget());
}

TEST_F(ReviewScreenTest, SelectionCellTogglesAndBolds) {
    clickCell(0, 1);
    EXPECT_EQ(q("SELECT sel FROM variatil WHERE bns = 2"), "X");
    EXPECT_EQ(cell(0, 1), "X");
    EXPECT_TRUE(grid()->model()->index(0, 4).data(Qt::FontRole).value<QFont>().bold());
    clickCell(0, 1);
    EXPECT_EQ(q("SELECT sel FROM variatil WHERE bns = 2"), "");
    EXPECT_EQ(screen->editor(), nullptr);
}

TEST_F(ReviewScreenTest, EditorFromTheGridTypedEnterConferma) {
    clickCell(1, 4);  // POMODORI: cost 10, VAT 22
    EditorDialog* editor = screen->editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(editor->isModal());
    EXPECT_EQ(editor->windowTitle(), "Modifica Prezzi di Vendita");
    using priceedit::Field;
    EXPECT_EQ(editor->box(Field::coston)->text(), "10,000");
    EXPECT_EQ(background(editor->box(Field::codarw)), kLockedGrey);

    QLineEdit* ricn = editor->box(Field::ricn);
    editor->activateWindow();
    ricn->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(ricn->hasFocus());
    EXPECT_EQ(background(ricn), kFocusYellow);
    EXPECT_EQ(ricn->selectedText(), ricn->text());
    keyClicks(ricn, "30");
    keyClick(ricn, Qt::Key_Return);
    EXPECT_EQ(editor->box(Field::pren)->text(), "15,86");
    EXPECT_EQ(editor->box(Field::margw)->text(), "23,08");
    EXPECT_TRUE(editor->box(Field::pren)->hasFocus());
    EXPECT_EQ(background(editor->box(Field::pren)), kFocusYellow);
    editor->box(Field::coston)->setFocus();  // chiaro
    QApplication::processEvents();
    EXPECT_EQ(background(editor->box(Field::pren)), QApplication::palette().color(QPalette::Base));
    mouseClick(editor->conferma());
    QApplication::processEvents();

    EXPECT_EQ(screen->editor(), nullptr);
    EXPECT_EQ(cell(1, 14), "15,86");
    EXPECT_EQ(cell(1, 13), "23,08");
    EXPECT_EQ(cell(1, 1), "X");
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 1"), "15.86");
    EXPECT_EQ(q("SELECT sel || modificatoamano FROM variatil WHERE bns = 1"), "X1");
}

TEST_F(ReviewScreenTest, EnterOnTheGridOpensTheEditorOnTheCurrentRow) {
    grid()->setFocus();
    grid()->setCurrentIndex(grid()->model()->index(2, 20));
    keyClick(grid(), Qt::Key_Return);
    ASSERT_NE(screen->editor(), nullptr);
    EXPECT_EQ(screen->editor()->box(priceedit::Field::desarw)->text().trimmed(), "ZUCCHERO");
    EXPECT_TRUE(screen->isVisible());
}

TEST_F(ReviewScreenTest, EditorAsksBeforeConfermaOfAPriceBelowTheCostWithVat) {
    clickCell(1, 4);  // POMODORI: cost 10 + 22 % = 12,20
    EditorDialog* editor = screen->editor();
    ASSERT_NE(editor, nullptr);
    using priceedit::Field;
    QLineEdit* pren = editor->box(Field::pren);
    pren->setFocus();
    pren->selectAll();
    keyClicks(pren, "120");  // read as 1,20
    keyClick(pren, Qt::Key_Return);
    ASSERT_EQ(pren->text(), "1,2000");
    const std::string before = store.dump("variatil");
    mouseClick(editor->conferma());  // answered No
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0],
              "Attenzione ... Il prezzo di vendita 1,20 è sotto il costo IVA compresa 12,20. "
              "Confermare il prezzo?");
    EXPECT_TRUE(boxes.defaultIsNo[0]);
    EXPECT_EQ(screen->editor(), editor);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(store.dump("variatil"), before);

    boxes.answerYes = true;
    mouseClick(editor->conferma());
    EXPECT_EQ(screen->editor(), nullptr);
    EXPECT_EQ(cell(1, 14), "1,2000");  // the text of the price box
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 1"), "1.2");
}

TEST_F(ReviewScreenTest, EditorFocusColoursAndLightGreenMargin) {
    store.exec("UPDATE variatil SET rica = 0 WHERE bns = 3");
    clickCell(2, 3);
    EditorDialog* editor = screen->editor();
    ASSERT_NE(editor, nullptr);
    using priceedit::Field;
    EXPECT_EQ(background(editor->box(Field::margw)), kLightGreen);
    evidenzia(editor, editor->box(Field::pren));
    EXPECT_EQ(background(editor->box(Field::pren)), kFocusYellow);
    EXPECT_EQ(background(editor->box(Field::margw)), kEditableWhite);
    EXPECT_EQ(background(editor->box(Field::umw)), kLockedGrey);
    // Another row closes the open editor first.
    clickCell(0, 2);
    QApplication::processEvents();
    ASSERT_NE(screen->editor(), nullptr);
    EXPECT_NE(screen->editor(), editor);
    EXPECT_EQ(screen->editor()->box(Field::desarw)->text().trimmed(), "LATTE NUOVO");
}

TEST_F(ReviewScreenTest, CommandsAndRecalculationPanel) {
    mouseClick(find<QPushButton>("Command3"));
    EXPECT_EQ(columnText(store, "SELECT sel FROM variatil", ""), "XXX");
    mouseClick(find<QPushButton>("Command2"));
    EXPECT_EQ(find<QPushButton>("Command2")->text(), "Vedi tutti");
    EXPECT_TRUE(grid()->isColumnHidden(19));  // widths survive the reload
    EXPECT_EQ(grid()->columnWidth(4), 3100 / 15);
    mouseClick(find<QPushButton>("Command8"));
    auto* frame6 = find<QGroupBox>("Frame6");
    EXPECT_TRUE(frame6->isVisible());
    EXPECT_EQ(find<QLineEdit>("cntrw")->text(), "3");
    find<QCheckBox>("arropvw")->click();
    EXPECT_EQ(store.session.state.fl_arrotonda, "S");
    find<QLineEdit>("perc2w")->setText("30");
    mouseClick(find<QPushButton>("Command12"));
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 3"), "1.6");
    ASSERT_FALSE(boxes.texts.empty());
    EXPECT_EQ(boxes.texts.back(), " Elaborazione terminata");
    EXPECT_TRUE(reopened);
}

TEST_F(ReviewScreenTest, TheRecalculationPanelKeepsTheKeyboard) {
    grid()->setCurrentIndex(grid()->model()->index(2, 20));
    mouseClick(find<QPushButton>("Command8"));
    auto* frame6 = find<QGroupBox>("Frame6");
    ASSERT_TRUE(frame6->isVisible());
    EXPECT_EQ(screen->focusWidget(), find<QLineEdit>("percw"));
    // Tab goes round the panel's own controls, never to the grid behind it.
    std::vector<QWidget*> seen;
    for (int i = 0; i < 8; ++i) {
        keyClick(screen->focusWidget(), Qt::Key_Tab);
        seen.push_back(screen->focusWidget());
        EXPECT_TRUE(frame6->isAncestorOf(seen.back())) << i;
    }
    EXPECT_EQ(seen[0], find<QPushButton>("Command11"));
    EXPECT_EQ(seen[1], find<QLineEdit>("perc2w"));
    keyClick(screen->focusWidget(), Qt::Key_Backtab);
    EXPECT_TRUE(frame6->isAncestorOf(screen->focusWidget()));
    // Enter on the grid behind the open panel opens no editor over it.
    keyClick(grid(), Qt::Key_Return);
    EXPECT_EQ(screen->editor(), nullptr);
    // Esc closes the panel; the grid has the keyboard again.
    keyClick(screen->focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(frame6->isVisible());
    keyClick(grid(), Qt::Key_Return);
    EXPECT_NE(screen->editor(), nullptr);
}

TEST_F(ReviewScreenTest, UpdateAndPrintButtonsCallTheirHooks) {
    int updates = 0, prints = 0;
    screen->onUpdatePriceList = [&](ReviewScreen& s) {
        ++updates;
        EXPECT_EQ(&s, screen);
    };
    screen->onPrint = [&](ReviewScreen&) { ++prints; };
    mouseClick(find<QPushButton>("Command1"));
    mouseClick(find<QPushButton>("Command10"));
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(prints, 1);
    screen->onPrint = nullptr;
    mouseClick(find<QPushButton>("Command10"));
    ASSERT_FALSE(boxes.texts.empty());
    EXPECT_EQ(boxes.texts.back(), "Attenzione ... Funzione non disponibile.");
}

TEST_F(ReviewScreenTest, EliminaDatiNoKeepsTheScreen) {
    std::string before = store.dump("variatil");
    mouseClick(find<QPushButton>("Command4"));
    EXPECT_EQ(store.dump("variatil"), before);
    EXPECT_TRUE(screen->isVisible());
    boxes.answerYes = true;
    mouseClick(find<QPushButton>("Command4"));
    EXPECT_EQ(q("SELECT count(*) FROM variatil"), "0");
}

}  // namespace
}  // namespace cl::ui
