// The settings panel "Impostazioni Aggiornamenti" over a grid of many selected rows: it hides
// the rows beneath it and stays in the middle of the screen when the window is resized.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <cstdlib>

#include "review/ui/review_screen.h"
#include "support/temp_store.h"
#include "ui/review_wiring.h"
#include "update/ui/update_panel.h"

namespace cl::ui {
namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "tests_flow_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* a = QApplication::instance()
                                 ? static_cast<QApplication*>(QApplication::instance())
                                 : new QApplication(argc, argv);
    return *a;
}

void key(QWidget* w, int k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::processEvents();
}

// Pixels of the grid's cell colours (yellow, green, red) inside a rectangle of an image.
int gridColoured(const QImage& image, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            QColor c = image.pixelColor(x, y);
            if (c == QColor(255, 255, 0) || c == QColor(0, 255, 0) || c == QColor(255, 0, 0)) ++n;
        }
    return n;
}

TEST(UpdatePanelOverGrid, OpaqueOverAHundredSelectedRowsAndCentredOnResize) {
    app();
    test::TempStore ts;
    ts.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ROSSI SPA')");
    std::string rows;
    for (int i = 1; i <= 120; ++i) {
        double old = 1 + i * 0.13;
        rows += std::string(rows.empty() ? "" : ",") + "(" + std::to_string(i) + ", 'X', " +
                std::to_string(1000 + i) + ", '80000000" + std::to_string(10000 + i) +
                "', 'ARTICOLO DI PROVA " + std::to_string(i) + "', 12, " +
                std::to_string(old * 0.6) + ", '22', " + std::to_string(old) + ", " +
                std::to_string(old * (i % 3 ? 1.07 : 0.95)) + ", " + std::to_string(old * 0.55) +
                ", 30, 28, 'PZ')";
    }
    ts.exec(
        "INSERT INTO variatil (bns, sel, codart, ea1art, desart, codfor, coston, ivart, prezpub, "
        "prezpubv, przvec, perc, rica, umart) VALUES " +
        rows);
    ts.session.state.codice_fornitore = 12;
    wireReviewScreen();
    auto* screen = new ReviewScreen(ts.session, ts.session.openStore());
    screen->onUpdatePriceList = reviewHooks().onUpdatePriceList;
    screen->setAttribute(Qt::WA_DeleteOnClose, false);
    screen->resize(1180, 720);
    screen->show();
    QApplication::processEvents();

    screen->findChild<QPushButton*>("Command1")->click();
    auto* panel = screen->findChild<review::ui::UpdatePanel*>("Frame2");
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->isVisible());
    QApplication::processEvents();
    QImage shot = screen->grab().toImage();
    // The grid's coloured cells lie beneath the panel, and none of them shows through.
    QRect beneath = screen->grid()->geometry().intersected(panel->geometry());
    ASSERT_FALSE(beneath.isEmpty());
    EXPECT_EQ(gridColoured(shot, beneath), 0);
    if (const char* dir = std::getenv("CL_SCREENSHOTS"))
        shot.save(QString(dir) + "/review-update.png");

    for (QSize size : {QSize(1400, 860), QSize(1000, 700)}) {
        screen->resize(size);
        QApplication::processEvents();
        QPoint centre = panel->geometry().center();
        EXPECT_NEAR(centre.x(), screen->width() / 2, 2) << size.width();
        EXPECT_NEAR(centre.y(), screen->height() / 2, 2) << size.height();
    }

    // The panel has the keyboard: focus in it, Tab round its controls, Enter on the grid
    // behind it opens no editor, Esc closes it and gives the commands back.
    EXPECT_TRUE(panel->isAncestorOf(screen->focusWidget()));
    for (int i = 0; i < 20; ++i) {
        key(screen->focusWidget(), Qt::Key_Tab);
        EXPECT_TRUE(panel->isAncestorOf(screen->focusWidget())) << i;
    }
    screen->grid()->setCurrentIndex(screen->grid()->model()->index(0, 2));
    key(screen->grid(), Qt::Key_Return);
    EXPECT_EQ(screen->editor(), nullptr);
    key(screen->focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(screen->findChild<QWidget*>("Frame1")->isEnabled());
    delete screen;
}

}  // namespace
}  // namespace cl::ui
