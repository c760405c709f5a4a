// Saves pictures of the review screen, the sale-price editor and the recalculation panel over
// a dozen sample rows, for the README: review_screenshots DIR (run by scripts/screenshots.sh).
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <cstdio>
#include <string>

#include "priceedit/ui/editor_dialog.h"
#include "review/ui/review_screen.h"
#include "support/variatil_rows.h"
#include "ui/evidenzia.h"

namespace {

using cl::ui::ReviewScreen;

void click(QWidget* w, QPoint at) {
    QPointF global = w->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
    QApplication::processEvents();
}

void clickCell(ReviewScreen& screen, int row, int col) {
    QTableView* grid = screen.grid();
    QModelIndex i = grid->model()->index(row, col);
    grid->scrollTo(i);
    click(grid->viewport(), grid->visualRect(i).center());
}

void sampleRows(cl::test::TempStore& store) {
    store.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ORTOFRUTTA SRL')");
    const char* names[] = {"BISCOTTI FROLLINI", "CAFFE' MOKA",         "FARINA 00",
                           "OLIO EXTRAVERGINE", "PASTA PENNE",         "RISO CARNAROLI",
                           "SALE FINO",         "TONNO ALL'OLIO",      "ACETO BALSAMICO",
                           "MIELE MILLEFIORI",  "PASSATA DI POMODORO", "YOGURT BIANCO"};
    int bns = 10;
    for (const char* n : names) {
        double old = 1 + bns * 0.37;
        cl::test::addVariatil(store, {.bns = bns,
                                      .codart = 400 + bns,
                                      .sel = bns % 3 ? "X" : "",
                                      .desart = n,
                                      .prezpub = std::to_string(old),
                                      .prezpubv = std::to_string(old * (bns % 4 ? 1.06 : 0.97)),
                                      .coston = std::to_string(old * 0.6)});
        ++bns;
    }
    store.session.state.codice_fornitore = 12;
}

bool save(QWidget* w, const QString& file) {
    QApplication::processEvents();
    if (w->grab().save(file)) return true;
    std::fprintf(stderr, "Impossibile scrivere %s\n", file.toLocal8Bit().constData());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Uso: %s CARTELLA\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[1]);
    cl::test::TempStore store;
    sampleRows(store);
    auto db = store.session.openStore();
    auto* screen = new ReviewScreen(store.session, std::move(db));
    screen->resize(1180, 640);
    screen->show();
    screen->activateWindow();
    QApplication::processEvents();
    clickCell(*screen, 3, 1);
    bool ok = save(screen, dir + "/review-screen.png");

    clickCell(*screen, 9, 4);
    if (auto* editor = screen->editor()) {
        editor->box(cl::priceedit::Field::ricn)->setText("30");
        editor->pressEnter(cl::priceedit::Field::ricn);
        cl::ui::evidenzia(editor, editor->box(cl::priceedit::Field::pren));
        ok = save(editor, dir + "/editor.png") && ok;
        editor->close();
    } else {
        std::fprintf(stderr, "La finestra di modifica non si è aperta.\n");
        ok = false;
    }
    if (auto* recalc = screen->findChild<QPushButton*>("Command8")) {
        recalc->click();
        ok = save(screen, dir + "/review-recalc-panel.png") && ok;
    }
    delete screen;
    return ok ? 0 : 1;
}
