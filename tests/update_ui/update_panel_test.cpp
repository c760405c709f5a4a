// The settings panel on a small store: "Aggiorna Listino", boxes, "Aggiorna", counters.
#include "update/ui/update_panel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>

#include "app/clock.h"
#include "support/failing_writes.h"
#include "support/temp_store.h"
#include "update/update_run.h"

namespace cl::review::ui {
namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "tests_update_ui";
    static char* argv[] = {name, nullptr};
    static QApplication a(argc, argv);
    return a;
}

class PanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app();
        setToday("2026-12-08");
        ts.session.state.codice_fornitore = 12;
        ts.session.state.nome_fornitore = "ROSSI SPA";
        ts.exec(
            "INSERT INTO listi01 (codart, przpub, desart) VALUES (5, 1, 'VECCHIA'), (9, 2, 'X')");
        ts.exec("INSERT INTO gruppi (codgru, escgruppo) VALUES (30, 1)");
        ts.exec(
            "INSERT INTO variatil (bns, sel, codfor, codart, ea1art, desart, codafo, coston, "
            "ivart, prezpubv, codgru) VALUES "
            "(1, 'X', 12, 5, '8000000000011', 'AGGIORNATA', '000000005', 1, '22', 1.5, NULL), "
            "(2, 'X', 12, 0, '8000000000028', 'NUOVA', '000000006', 1, '22', 2, NULL), "
            "(3, 'X', 12, 9, '8000000000035', 'BLOCCATA', '000000009', 1, '22', 3, 30)");
    }
    void TearDown() override { setToday(""); }

    // What the review screen does on "Aggiorna Listino".
    void prepareUpdate(UpdatePanel& panel) {
        auto db = ts.session.openStore(true);
        UpdateSettings s = settingsAfterReviewLoad(std::nullopt);
        ReviewFilter f;
        f.supplier = 12;
        auto prep = review::prepareUpdate(*db, s, f);
        panel.prepare(s, prep.nextCode, UpdatePanel::storeRunner(ts.session, f));
    }

    test::TempStore ts;
    test::RecordingMessages messages;
};

TEST_F(PanelTest, ShowsEveryBoxWithItsCaptionAndDefaultsAfterAggiornaListino) {
    UpdatePanel panel;
    EXPECT_TRUE(panel.isHidden());
    EXPECT_EQ(panel.title(), "Impostazioni Aggiornamenti");
    prepareUpdate(panel);
    EXPECT_FALSE(panel.isHidden());
    EXPECT_EQ(panel.box("umeum")->text(), "UM e UM confezione + Valore Contenuto");
    EXPECT_EQ(panel.box("aggcodafo")->text(), "Aggiorna Codice Articolo  Fornitore");
    EXPECT_TRUE(panel.box("kpre")->isChecked());
    EXPECT_TRUE(panel.box("aggcodafo")->isChecked());
    EXPECT_FALSE(panel.box("kcos")->isChecked());
    EXPECT_EQ(panel.counter("codarw")->text(), "10");
    EXPECT_EQ(panel.updateButton()->text(), "Aggiorna");
    EXPECT_EQ(panel.exitButton()->text(), "Uscita");
}

TEST_F(PanelTest, AggiornaRunsTheUpdateMovesTheCountersAndEnds) {
    UpdatePanel panel;
    panel.setMessages(&messages);
    prepareUpdate(panel);
    panel.box("kcos")->click();
    panel.box("noinvio")->click();
    EXPECT_TRUE(panel.settings().kcos);
    bool finished = false;
    UpdateResult seen;
    QObject::connect(&panel, &UpdatePanel::updateFinished, [&](const UpdateResult& r) {
        finished = true;
        seen = r;
    });
    panel.resize(900, 420);
    messages.answers = {Answer::Yes};  // the summary's question
    panel.updateButton()->click();
    ASSERT_TRUE(finished);
    EXPECT_EQ(panel.counter("cntaw")->text(), "1");
    EXPECT_EQ(panel.counter("desaw")->text(), "AGGIORNATA");
    EXPECT_EQ(panel.counter("cntcw")->text(), "1");
    EXPECT_EQ(panel.counter("codarw")->text(), "10");
    EXPECT_EQ(panel.counter("descw")->text(), "NUOVA");
    EXPECT_EQ(panel.counter("cntew")->text(), "1");
    EXPECT_EQ(panel.counter("eanew")->text(), "8000000000035");
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().text, kUpdateDoneMessage);
    EXPECT_EQ(ts.scalar("SELECT cosiva FROM listi01 WHERE codart=5"), "1.22");
    EXPECT_EQ(ts.scalar("SELECT przpub FROM listi01 WHERE codart=5"), "1.5");
    EXPECT_EQ(ts.scalar("SELECT count(*) FROM codean WHERE flagean IS NULL"), "2");
    EXPECT_EQ(ts.scalar("SELECT count(*) FROM variatil"), "0");
    EXPECT_EQ(seen.creati, 1);
    if (const char* dir = std::getenv("CL_SCREENSHOT_DIR"))
        panel.grab().save(QString(dir) + "/update-panel.png");
}

TEST_F(PanelTest, FailureShowsTheMessageAndKeepsThePanelUsable) {
    UpdatePanel panel;
    panel.setMessages(&messages);
    prepareUpdate(panel);
    test::failWrites(ts, "f", "BEFORE", "UPDATE", "listi01", "", "bloccato");
    bool finished = false;
    QObject::connect(&panel, &UpdatePanel::updateFinished, [&] { finished = true; });
    messages.answers = {Answer::Yes};
    panel.updateButton()->click();
    EXPECT_FALSE(finished);
    // The summary's question, then the failure.
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].title, "Aggiorna");
    EXPECT_EQ(messages.shown[1].icon, Icon::Critical);
    EXPECT_TRUE(panel.updateButton()->isEnabled());
    EXPECT_EQ(ts.scalar("SELECT count(*) FROM variatil"), "3");
}

TEST_F(PanelTest, UscitaHidesThePanel) {
    UpdatePanel panel;
    prepareUpdate(panel);
    bool exited = false;
    QObject::connect(&panel, &UpdatePanel::exitRequested, [&] { exited = true; });
    panel.exitButton()->click();
    EXPECT_TRUE(exited);
    EXPECT_TRUE(panel.isHidden());
}

}  // namespace
}  // namespace cl::review::ui
