#include "check/ui/check_screen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <cstdlib>

#include "check/start_up.h"
#include "support/temp_store.h"
#include "test_application.h"

namespace cl::test {
namespace {

QApplication& app() {
    return testApplication();
}

class CheckScreenUi : public ::testing::Test {
  protected:
    CheckScreenUi() {
        t.exec(
            "INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (7, 'BIANCHI SRL'), (12, "
            "'ROSSI SPA')");
        for (int i = 1; i <= 3; ++i) {
            t.execFixed(
                "INSERT INTO articolo (codart, desart, przart, ivart, umart, artvariato) "
                "VALUES (" +
                std::to_string(i) + ", 'ARTICOLO " + std::to_string(i) + "', 10, '22', 'PZ', 'S')");
            t.execFixed("INSERT INTO codean (eanare, codare) VALUES ('800000000000" +
                        std::to_string(i) + "', " + std::to_string(i) + ")");
        }
        check::CheckScreenState s;
        screen.load(check::formLoad(t.session, s), s);
        screen.onRunEnded = [this](const check::RunReport&) { ++reviews; };
    }
    bool appReady = (app(), true);  // before any widget
    TempStore t;
    RecordingMessages messages;
    check::ui::CheckScreen screen{t.session, messages};
    int reviews = 0;
};

TEST_F(CheckScreenUi, CaptionsAndStartUpState) {
    EXPECT_EQ(screen.windowTitle(), "Controllo Articoli");
    QStringList frames;
    for (auto* g : screen.findChildren<QGroupBox*>()) frames << g->title();
    for (const char* f :
         {"Selezionare Fornitore", "Aggiornamenti automatici", "Riferimento", "% limite",
          "Calcolo Prezzi", "Articoli controllati", "Articoli elaborati"})
        EXPECT_TRUE(frames.contains(f)) << f;
    EXPECT_EQ(screen.Command2->toolTip(), "Uscita programma");
    EXPECT_EQ(screen.Command3->text(), "Controllo articoli presenti in Barcode");
    EXPECT_EQ(screen.ProgressBar1->maximum(), 20005);
    EXPECT_TRUE(screen.ProgressBar1->isHidden());
    EXPECT_TRUE(screen.pvk->isChecked());
    EXPECT_FALSE(screen.dagruppimerc->isChecked() || screen.soloartnuo->isChecked());
    EXPECT_TRUE(screen.tut->isChecked() && screen.nuo->isChecked() && screen.piu->isChecked() &&
                screen.men->isChecked());
    EXPECT_EQ(screen.perif->text(), "0");
    EXPECT_EQ(screen.ricnw->text(), "35");
    EXPECT_EQ(screen.DBCombo3->count(), 2);
    EXPECT_EQ(screen.DBCombo3->currentIndex(), -1);
}

TEST_F(CheckScreenUi, SupplierChosenBoxesClickedRunCountersShown) {
    screen.show();
    // Without a supplier: the message, no run.
    screen.Command1->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "ATTENZIONE !!!. Non è stato selezionato il Fornitore...");
    EXPECT_EQ(reviews, 0);

    screen.DBCombo3->setCurrentIndex(1);
    emit screen.DBCombo3->activated(1);
    EXPECT_EQ(screen.codforw->text(), "12");
    screen.men->click();
    EXPECT_FALSE(screen.men->isChecked());
    EXPECT_FALSE(screen.tut->isChecked());
    screen.kpre->click();
    screen.Command1->click();
    EXPECT_EQ(screen.cntw->text(), "3");
    EXPECT_EQ(screen.bnsw->text(), "3");
    EXPECT_TRUE(screen.ProgressBar1->isHidden());
    EXPECT_TRUE(screen.Command1->isEnabled());
    EXPECT_EQ(reviews, 1);
    EXPECT_EQ(t.scalar("SELECT count(*) FROM variatil"), "3");
    EXPECT_EQ(t.scalar("SELECT CAST(apv AS TEXT) || cliente FROM parametri"), "112");

    if (const char* shot = std::getenv("CL_SCREENSHOT")) screen.grab().save(shot);
}

}  // namespace
}  // namespace cl::test
