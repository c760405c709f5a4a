// The review screen with everything the program wires to it: "Aggiorna Listino" opens the
// update panel over the selected rows, "Aggiorna" writes the store and the journal, and the
// screen closes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QTableWidget>
#include <cstdlib>

#include "app/clock.h"
#include "app/who.h"
#include "history/ui/history_screens.h"
#include "review/ui/review_screen.h"
#include "support/column_text.h"
#include "support/temp_store.h"
#include "ui/review_wiring.h"
#include "update/ui/update_panel.h"

namespace cl::ui {
namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "tests_flow_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

class ReviewUpdateFlow : public ::testing::Test {
  protected:
    test::TempStore ts;
    void SetUp() override {
        app();
        setToday("2026-12-08");
        ts.exec(
            "INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ROSSI SPA');"
            "INSERT INTO parametri (tipo, acos, aric, apv, creart, cliente, tiposel) "
            "VALUES ('01L', 0, 0, 1, 1, 12, 4);"
            "INSERT INTO listi01 (codart, desart, przpub, cofart, ivart) VALUES (5, 'PANE', 2.5, "
            "1.5, '04');"
            "INSERT INTO codean (eanare, codare, prezzo, aggi, pezzix) VALUES ('8000000000055', 5, "
            "2.5, 'A', 1);"
            "INSERT INTO variatil (bns, sel, codart, ea1art, desart, codfor, coston, ivart, "
            "prezpub, "
            "prezpubv, codafo) VALUES (1, 'X', 5, '8000000000055', 'PANE', 12, 1.6, '04', 2.5, "
            "2.7, "
            "'000000005'), (2, '', 0, '8000000000062', 'LATTE', 12, 0.8, '04', 0, 1.1, "
            "'000000006');");
        ts.session.state.codice_fornitore = 12;
        wireReviewScreen();
    }
    void TearDown() override { setToday(""); }
};

TEST_F(ReviewUpdateFlow, AggiornaListinoThenAggiornaWritesTheSelectedRowsAndCloses) {
    auto* screen = new ReviewScreen(ts.session, ts.session.openStore());
    screen->onUpdatePriceList = reviewHooks().onUpdatePriceList;
    screen->setAttribute(Qt::WA_DeleteOnClose, false);
    screen->resize(1200, 700);
    screen->show();
    QApplication::processEvents();
    // The journal's commands stand in the command frame beside the review's own.
    EXPECT_NE(screen->findChild<QPushButton*>("CommandAnnulla"), nullptr);
    EXPECT_NE(screen->findChild<QPushButton*>("CommandStorico"), nullptr);
    EXPECT_NE(screen->findChild<QPushButton*>("CommandEtichette"), nullptr);

    screen->findChild<QPushButton*>("Command1")->click();
    auto* panel = screen->findChild<review::ui::UpdatePanel*>("Frame2");
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(screen->findChild<QGroupBox*>("Frame1")->isEnabled());
    EXPECT_TRUE(panel->box("aggcodafo")->isChecked());
    EXPECT_EQ(panel->counter("codarw")->text(), "6");
    if (const char* dir = std::getenv("CL_SCREENSHOTS"))
        screen->grab().save(QString(dir) + "/review-update.png");

    test::RecordingMessages messages;
    panel->setMessages(&messages);
    messages.answers = {Answer::Yes};  // the summary's question
    panel->updateButton()->click();
    QApplication::processEvents();
    EXPECT_EQ(ts.scalar("SELECT przpub FROM listi01 WHERE codart = 5"), "2.7");
    // Only the selected row was applied and consumed; the other stays for review.
    EXPECT_EQ(test::columnText(ts, "SELECT bns FROM variatil ORDER BY bns"), "2");
    EXPECT_EQ(ts.scalar("SELECT count(*) FROM listi01"), "1");
    ASSERT_GE(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[messages.shown.size() - 2].text,
              "Elaborazione terminata, cliccare su OK per uscire?");
    // Before the screen closes, the labels of the changed price are offered (No here).
    EXPECT_EQ(messages.shown.back().title, "Etichette da ristampare");
    EXPECT_NE(messages.shown.back().text.find("(1 articolo)?"), std::string::npos);
    EXPECT_FALSE(screen->isVisible());
    // The update is in the journal: a file beside the store, or its schema on a server.
    if (ts.session.onServer())
        EXPECT_EQ(ts.scalar("SELECT count(*) FROM storia.runs"), "1");
    else
        EXPECT_TRUE(std::filesystem::exists(ts.storeFile().parent_path() / "DATI.history"));
    delete screen;

    // The price history of the article shows the update, and the labels list it.
    history::ui::HistoryWindow window(ts.session);
    window.show();
    window.search("5", false);
    ASSERT_EQ(window.table()->rowCount(), 1);
    EXPECT_EQ(window.table()->item(0, 4)->text(), "2,50");
    EXPECT_EQ(window.table()->item(0, 5)->text(), "2,70");
    EXPECT_EQ(window.table()->item(0, 6)->text().toStdString(),
              describeWho(whoIsHere().user, whoIsHere().pc));
    window.search("8000000000055", true);
    EXPECT_EQ(window.table()->rowCount(), 1);
    if (const char* dir = std::getenv("CL_SCREENSHOTS"))
        window.grab().save(QString(dir) + "/history-window.png");
    history::ui::LabelsWindow labels(ts.session, std::nullopt);
    EXPECT_EQ(labels.list().labels.size(), 1u);
}

}  // namespace
}  // namespace cl::ui
