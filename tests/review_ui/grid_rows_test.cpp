// The review grid across reloads and while the editor is open: rows are followed by their key,
// the counter of selected rows follows Sel, and Enter works on the editor's buttons.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <cstdlib>

#include "priceedit/ui/editor_dialog.h"
#include "review/review_grid.h"
#include "review/ui/review_screen.h"
#include "store/write_transactions.h"
#include "support/column_text.h"
#include "support/variatil_rows.h"

namespace cl::ui {
namespace {

using priceedit::Field;

QApplication& app() {
    static int argc = 1;
    static char name[] = "tests_review_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* a = QApplication::instance()
                                 ? static_cast<QApplication*>(QApplication::instance())
                                 : new QApplication(argc, argv);
    return *a;
}

void sendKey(QWidget* w, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
    QApplication::processEvents();
}

class GridRows : public ::testing::Test {
  protected:
    QApplication& application = app();
    test::TempStore store;
    ReviewScreen* screen = nullptr;
    std::vector<std::string> boxTexts;
    QTimer answerer;

    void SetUp() override {
        store.exec(
            "INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ORTOFRUTTA SRL')");
        // By description: LATTE (row 0), POMODORI (row 1), ZUCCHERO (row 2).
        test::addVariatil(store, {.bns = 1,
                                  .codart = 100,
                                  .sel = "",
                                  .desart = "POMODORI",
                                  .prezpubv = "9",
                                  .przart = "10"});
        test::addVariatil(
            store,
            {.bns = 2, .codart = 0, .sel = "", .desart = "LATTE", .prezpubv = "5", .przart = "2"});
        test::addVariatil(store, {.bns = 3,
                                  .codart = 300,
                                  .sel = "X",
                                  .desart = "ZUCCHERO",
                                  .prezpubv = "1.2",
                                  .rica = "NULL"});
        store.session.state.codice_fornitore = 12;
        // Message boxes are answered OK and their texts kept.
        answerer.setInterval(20);
        QObject::connect(&answerer, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    boxTexts.push_back(box->text().toStdString());
                    EXPECT_EQ(store::openWriteTransactions(), 0) << boxTexts.back();
                    box->button(box->buttons().contains(box->button(QMessageBox::Ok))
                                    ? QMessageBox::Ok
                                    : QMessageBox::No)
                        ->click();
                }
        });
        answerer.start();
        auto db = store.session.openStore();
        screen = new ReviewScreen(store.session, std::move(db));
        screen->resize(1180, 640);
        screen->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
        QApplication::processEvents();
    }
    QTableView* grid() { return screen->grid(); }
    QString cell(int row, int col) { return grid()->model()->index(row, col).data().toString(); }
    bool bold(int row) {
        return grid()->model()->index(row, 4).data(Qt::FontRole).value<QFont>().bold();
    }
    QString counter() { return screen->findChild<QLineEdit*>("cntw")->text(); }
    void clickCell(int row, int col) {
        QModelIndex i = grid()->model()->index(row, col);
        grid()->scrollTo(i);
        QPoint at = grid()->visualRect(i).center();
        QWidget* vp = grid()->viewport();
        QPointF global = vp->mapToGlobal(QPointF(at));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &press);
        QApplication::sendEvent(vp, &release);
        QApplication::processEvents();
    }
    void search(const char* box, const QString& text) {
        auto* b = screen->findChild<QLineEdit*>(box);
        b->setFocus();
        b->setText(text);
        sendKey(b, Qt::Key_Return);
    }
    void press(const char* button) { screen->findChild<QPushButton*>(button)->click(); }
    std::string q(const std::string& sql) { return store.scalar(sql); }
};

TEST_F(GridRows, EditorSavesIntoTheRowOfItsKeyWhereverTheGridHasMovedIt) {
    clickCell(0, 4);  // LATTE: a new article, found by its bns
    EditorDialog* editor = screen->editor();
    ASSERT_NE(editor, nullptr);
    // While the editor is open the operator looks for another article.
    search("codw", "300");
    ASSERT_EQ(grid()->model()->rowCount(), 1);
    ASSERT_EQ(cell(0, 4).trimmed(), "ZUCCHERO");
    editor->box(Field::pren)->setText("7");
    editor->pressEnter(Field::pren);
    QApplication::processEvents();
    if (const char* dir = std::getenv("CL_SCREENSHOTS")) {
        editor->grab().save(QString(dir) + "/editor-after-search.png");
        screen->grab().save(QString(dir) + "/review-editor-search.png");
    }
    editor->conferma()->click();
    QApplication::processEvents();
    // The row shown is another article: its cells stay as they were.
    EXPECT_EQ(cell(0, 14), "1,20");
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 3"), "1.2");
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 2"), "7");
    EXPECT_EQ(q("SELECT sel FROM variatil WHERE bns = 2"), "X");
    // Back to every row: LATTE shows what was saved, POMODORI nothing new.
    search("codw", "");
    int latte = -1;
    for (int r = 0; r < grid()->model()->rowCount(); ++r)
        if (cell(r, 4).trimmed() == "LATTE") latte = r;
    ASSERT_GE(latte, 0);
    EXPECT_EQ(cell(latte, 14), "7,00");
    EXPECT_EQ(cell(latte, 1), "X");
}

TEST_F(GridRows, EnterOnTheEditorsFocusedButtonsPressesThem) {
    clickCell(1, 4);  // POMODORI: a price above its cost with VAT (12,20) asks nothing
    EditorDialog* editor = screen->editor();
    ASSERT_NE(editor, nullptr);
    editor->box(Field::pren)->setText("15");
    editor->pressEnter(Field::pren);
    auto* uscita = editor->findChild<QPushButton*>("Command1");
    uscita->setFocus();
    sendKey(uscita, Qt::Key_Return);
    EXPECT_EQ(screen->editor(), nullptr);  // closed, nothing saved
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 1"), "9");

    clickCell(1, 4);
    editor = screen->editor();
    ASSERT_NE(editor, nullptr);
    editor->box(Field::pren)->setText("15");
    editor->pressEnter(Field::pren);
    editor->conferma()->setFocus();
    sendKey(editor->conferma(), Qt::Key_Enter);
    EXPECT_EQ(screen->editor(), nullptr);
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 1"), "15");
}

TEST_F(GridRows, EnterOnAFocusedButtonOfTheScreenPressesIt) {
    auto* selectAllRows = screen->findChild<QPushButton*>("Command3");
    selectAllRows->setFocus();
    sendKey(selectAllRows, Qt::Key_Return);
    EXPECT_EQ(columnText(store, "SELECT sel FROM variatil", ""), "XXX");
    EXPECT_EQ(counter(), "3");
}

TEST_F(GridRows, ReloadsKeepTheCurrentRowByItsKey) {
    grid()->setFocus();
    grid()->setCurrentIndex(grid()->model()->index(2, 6));  // ZUCCHERO
    press("Command2");  // "Vedi selezioni": only ZUCCHERO, now the first row
    ASSERT_EQ(grid()->model()->rowCount(), 1);
    EXPECT_EQ(grid()->currentIndex().row(), 0);
    EXPECT_EQ(grid()->currentIndex().column(), 6);
    press("Command2");  // "Vedi tutti"
    EXPECT_EQ(grid()->currentIndex().row(), 2);

    // After a save from the editor the keyboard goes on from the same row.
    grid()->setCurrentIndex(grid()->model()->index(1, 4));
    sendKey(grid(), Qt::Key_Return);
    ASSERT_NE(screen->editor(), nullptr);
    screen->editor()->conferma()->click();
    QApplication::processEvents();
    EXPECT_EQ(grid()->currentIndex().row(), 1);
    // A bulk command reloads the grid too.
    press("Command13");  // "Deseleziona Tutti"
    EXPECT_EQ(grid()->currentIndex().row(), 1);
    EXPECT_EQ(cell(grid()->currentIndex().row(), 4).trimmed(), "POMODORI");
}

TEST_F(GridRows, SelectedCounterFollowsSelAndBoldFollowsSel) {
    EXPECT_EQ(counter(), "1");
    clickCell(0, 1);  // LATTE selected
    EXPECT_EQ(counter(), "2");
    EXPECT_TRUE(bold(0));
    clickCell(0, 1);  // and deselected
    EXPECT_EQ(counter(), "1");
    EXPECT_FALSE(bold(0));
    // Any click on a row whose Sel is "X" draws it bold; on another row it does not.
    clickCell(2, 20);
    EXPECT_TRUE(bold(2));
    clickCell(1, 20);
    EXPECT_FALSE(bold(1));
    clickCell(2, 1);  // ZUCCHERO deselected: no longer bold
    EXPECT_FALSE(bold(2));
    EXPECT_EQ(counter(), "0");
    // The counter keeps to the supplier's rows through a search.
    search("ricw", "LATTE");
    clickCell(0, 1);
    EXPECT_EQ(counter(), "1");
}

TEST_F(GridRows, EnterInMarkupOnARowWithoutMarginCountsItAsZero) {
    clickCell(2, 4);  // ZUCCHERO: no rica
    EditorDialog* editor = screen->editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->box(Field::margw)->text(), "");
    QLineEdit* ricn = editor->box(Field::ricn);
    ricn->setFocus();
    ricn->setText("0");
    sendKey(ricn, Qt::Key_Return);
    EXPECT_TRUE(boxTexts.empty()) << boxTexts.front();
    EXPECT_EQ(editor->box(Field::margw)->text(), "0,00");
    EXPECT_EQ(editor->box(Field::pren)->text(), "10,98");  // cost 9 + 22 % VAT
}

}  // namespace
}  // namespace cl::ui
