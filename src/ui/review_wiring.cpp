#include "ui/review_wiring.h"

#include <QGroupBox>

#include "history/restore_check.h"
#include "history/ui/history_screens.h"
#include "report/ui/report_preview.h"
#include "review/ui/review_export.h"
#include "review/ui/review_screen.h"
#include "ui/label_offers.h"
#include "update/ui/update_panel.h"
#include "update/update_settings.h"

namespace cl::ui {

namespace {

using review::ui::UpdatePanel;

void setFrame1Enabled(ReviewScreen& screen, bool enabled) {
    if (auto* frame1 = screen.findChild<QGroupBox*>("Frame1")) frame1->setEnabled(enabled);
}

// The panel lives on the screen from the first "Aggiorna Listino" on, keeping its boxes.
UpdatePanel* panelOf(ReviewScreen& screen) {
    if (auto* panel = screen.findChild<UpdatePanel*>("Frame2")) return panel;
    auto* panel = new UpdatePanel(&screen);
    panel->setSettings(review::settingsAfterReviewLoad(screen.controller().parameters()));
    QObject::connect(panel, &UpdatePanel::exitRequested, &screen,
                     [&screen] { setFrame1Enabled(screen, true); });
    QObject::connect(panel, &UpdatePanel::updateFinished, &screen,
                     [&screen, panel](const review::UpdateResult& result) {
                         review::ui::printNoBarcodeWithPreview(&screen, result.noBarcodeLines);
                         offerLabelsAfterUpdate(screen.controller().session(), panel->messages(),
                                                result.run);
                         screen.close();
                     });
    return panel;
}

void prepareUpdate(ReviewScreen& screen) {
    auto& review = screen.controller();
    UpdatePanel* panel = panelOf(screen);
    review.restrictToSelected();
    screen.reload();
    auto settings = panel->settings();
    review::ReviewFilter filter = review.state().shown();
    auto prep = review::prepareUpdate(review.database(), settings, filter);
    setFrame1Enabled(screen, false);
    panel->prepare(settings, prep.nextCode,
                   UpdatePanel::storeRunner(review.session(), review.state().shown()));
    screen.centre(panel);
    panel->raise();
}

}  // namespace

void wireReviewScreen() {
    auto& hooks = reviewHooks();
    hooks.onUpdatePriceList = prepareUpdate;
    hooks.onPrint = [](ReviewScreen& screen) {
        auto& review = screen.controller();
        review::ui::printReportWithPreview(&screen, review.session(), review.database(),
                                           review.state().shown());
    };
    hooks.extraCommands = {
        {"CommandAnnulla", "Annulla ultimo aggiornamento",
         "Rimette i valori precedenti all'ultimo aggiornamento del listino",
         [](ReviewScreen& screen) {
             Session& session = screen.controller().session();
             auto run = lastUndoableRun(session);
             if (!history::ui::undoLastUpdate(&screen, session)) return;
             if (run) offerLabelsAfterUndo(session, screen.messages(), *run);
             screen.reopen();
         }},
        {"CommandRipristina", "Ripristina ultimo controllo",
         "Segna di nuovo come variati gli articoli dell'ultimo controllo e toglie le sue righe "
         "non aggiornate",
         [](ReviewScreen& screen) {
             if (history::restoreCheck(screen.controller().session(), std::nullopt,
                                       screen.messages()))
                 screen.reopen();
         }},
        {"CommandStorico", "Storico prezzi", "Costi e prezzi di vendita passati di un articolo",
         [](ReviewScreen& screen) {
             auto* window = new history::ui::HistoryWindow(screen.controller().session(), &screen);
             window->setAttribute(Qt::WA_DeleteOnClose);
             window->show();
         }},
        {"CommandExcel", "Esporta in Excel", "Le righe mostrate nella griglia come file .xlsx",
         [](ReviewScreen& screen) {
             review::ui::askAndExportReviewXlsx(&screen, screen.controller().rows());
         }},
        {"CommandEtichette", "Etichette da ristampare",
         "Articoli con prezzo di vendita variato dall'ultimo aggiornamento",
         [](ReviewScreen& screen) {
             auto* window = new history::ui::LabelsWindow(screen.controller().session(),
                                                          std::nullopt, &screen);
             window->setAttribute(Qt::WA_DeleteOnClose);
             window->show();
         }},
    };
}

}  // namespace cl::ui
