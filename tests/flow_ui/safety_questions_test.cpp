// The questions of the week's safety nets as the screens show them: the summary before the
// update and the restore of a check. With CL_SCREENSHOTS set, each box is saved there.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <cstdlib>

#include "app/clock.h"
#include "check/check_commands.h"
#include "check/check_state.h"
#include "history/restore_check.h"
#include "history/undo.h"
#include "review/ui/review_screen.h"
#include "support/temp_store.h"
#include "ui/label_offers.h"
#include "ui/qt_messages.h"
#include "ui/review_wiring.h"
#include "update/update_run.h"
#include "update/update_summary.h"

namespace cl::ui {
namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "tests_flow_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

// Shows each question in the box the screens use, saves a picture of it, and answers.
class ShownQuestions : public Messages {
  public:
    explicit ShownQuestions(Answer answer) : answer_(answer) {}
    std::vector<std::string> files;  // the pictures to take, in order
    std::vector<QString> texts;
    std::vector<bool> defaultIsNo;
    void show(const std::string&, Icon, const std::string&) override {}
    Answer ask(const std::string& text, const std::string& title, Icon icon,
               Answer defaultAnswer) override {
        test::expectNoWriteTransaction(text);
        auto box = questionBox(text, title, icon, defaultAnswer, nullptr);
        box->show();
        QApplication::processEvents();
        texts.push_back(box->text());
        defaultIsNo.push_back(box->defaultButton() == box->button(QMessageBox::No));
        const char* dir = std::getenv("CL_SCREENSHOTS");
        if (dir && texts.size() <= files.size())
            box->grab().save(QString(dir) + "/" + QString::fromStdString(files[texts.size() - 1]));
        return answer_;
    }

  private:
    Answer answer_;
};

class SafetyQuestions : public ::testing::Test {
  protected:
    test::TempStore ts;
    void SetUp() override {
        app();
        setToday("2026-12-08");
        ts.exec(
            "INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'CE.DI. ORVIK "
            "DISTRIBUZIONE S.P.A.')");
        ts.session.state.codice_fornitore = 12;
        ts.session.state.nome_fornitore = "CE.DI. ORVIK DISTRIBUZIONE S.P.A.";
    }
    void TearDown() override { setToday(""); }
};

TEST_F(SafetyQuestions, SummaryBeforeTheUpdateDefaultsToNo) {
    ts.exec(
        "INSERT INTO listi01 (codart, desart, przpub) VALUES (5, 'PANE', 2.5), (6, 'LATTE', 1.2),"
        " (7, 'OLIO', 6.9);"
        "INSERT INTO variatil (bns, sel, codart, ea1art, desart, codfor, coston, ivart, prezpubv) "
        "VALUES (1, 'X', 5, '8000000000055', 'PANE', 12, 1.6, '04', 2.7),"
        " (2, 'X', 6, '8000000000062', 'LATTE', 12, 1.3, '04', 1.1),"
        " (3, 'X', 7, '8000000000079', 'OLIO', 12, 5.1, '04', 6.9),"
        " (4, 'X', 0, '8000000000086', 'FARINA 00', 12, 0.6, '04', 0.99),"
        " (5, 'X', 6, '8000000000093', 'LATTE INTERO', 12, 1.1, '04', 0)");
    std::string before = ts.dump("listi01") + ts.dump("variatil");
    ShownQuestions no(Answer::No);
    no.files = {"update-summary-question.png"};
    review::ReviewFilter filter;
    filter.supplier = 12;
    filter.selectedOnly = true;
    auto db = ts.session.openStore(true);
    auto r = review::applyUpdateAfterSummary(ts.session.state, *db,
                                             review::settingsAfterReviewLoad(std::nullopt), filter,
                                             no, *std::make_unique<NullProgress>());
    EXPECT_FALSE(r.performed);
    ASSERT_EQ(no.texts.size(), 1u);
    EXPECT_TRUE(no.texts[0].startsWith("Righe da aggiornare: 3\n"));
    EXPECT_TRUE(no.texts[0].contains("8000000000093 LATTE INTERO: prezzo nuovo 0 o negativo"));
    EXPECT_TRUE(no.defaultIsNo[0]);
    EXPECT_EQ(ts.dump("listi01") + ts.dump("variatil"), before);
}

TEST_F(SafetyQuestions, RestoreQuestionSaysHowManyAndTheScreenOffersIt) {
    for (int code = 1; code <= 4; ++code)
        ts.execFixed("INSERT INTO articolo (codart, desart, przart, ivart, artvariato) VALUES (" +
                     std::to_string(code) +
                     ", 'ARTICOLO', 1, '22', 'S');"
                     "INSERT INTO codean (eanare, codare) VALUES ('80000000000" +
                     std::to_string(10 + code) + "', " + std::to_string(code) + ")");
    check::CheckScreenState screen;
    check::presetAtStartUp(screen, ts.session.state, std::nullopt, std::nullopt);
    ts.session.state.codice_fornitore = 12;
    screen.tut = screen.nuo = screen.piu = screen.men = false;
    screen.sve = true;  // "Solo prodotti venduti": nothing written, every mark cleared
    test::RecordingMessages quiet;
    test::RecordingProgress progress;
    ASSERT_EQ(check::runArticleCheck(ts.session, screen, quiet, progress).outcome,
              check::RunOutcome::Done);
    ts.execFixed("UPDATE articolo SET artvariato = 'S' WHERE codart = 4");  // a newer delivery

    ShownQuestions yes(Answer::Yes);
    yes.files = {"restore-check-question.png"};
    ASSERT_TRUE(history::restoreCheck(ts.session, std::nullopt, yes));
    ASSERT_EQ(yes.texts.size(), 1u);
    EXPECT_TRUE(yes.texts[0].contains("3 articoli verranno segnati di nuovo come variati"));
    EXPECT_TRUE(yes.texts[0].contains("1 articolo è già segnato di nuovo"));
    EXPECT_TRUE(yes.defaultIsNo[0]);
    EXPECT_EQ(ts.scalarFixed("SELECT count(*) FROM articolo WHERE artvariato = 'S'"), "4");

    wireReviewScreen();
    ReviewScreen review(ts.session, ts.session.openStore());
    auto* button = review.findChild<QPushButton*>("CommandRipristina");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "Ripristina ultimo controllo");
    review.resize(1200, 700);
    review.show();
    QApplication::processEvents();
    if (const char* dir = std::getenv("CL_SCREENSHOTS"))
        review.grab().save(QString(dir) + "/review-safety-commands.png");
}

TEST_F(SafetyQuestions, AnotherSupplierThanTheLastCheckIsAskedAboutDefaultNo) {
    ts.exec(
        "INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (27, 'ORTOFRUTTA F.LLI ESPOSITO "
        "S.N.C.')");
    ts.execFixed(
        "INSERT INTO articolo (codart, desart, przart, ivart, artvariato) VALUES (1, 'MELE', 1, "
        "'04', 'S'); INSERT INTO codean (eanare, codare) VALUES ('8000000000017', 1)");
    check::CheckScreenState screen;
    check::presetAtStartUp(screen, ts.session.state, std::nullopt, std::nullopt);
    ts.session.state.codice_fornitore = 12;
    test::RecordingMessages quiet;
    test::RecordingProgress progress;
    ASSERT_EQ(check::runArticleCheck(ts.session, screen, quiet, progress).outcome,
              check::RunOutcome::Done);
    ts.execFixed("UPDATE articolo SET artvariato = 'S'");
    check::chooseSupplier(screen, ts.session.state, "27", "ORTOFRUTTA F.LLI ESPOSITO S.N.C.");
    ShownQuestions no(Answer::No);
    no.files = {"supplier-guard-question.png"};
    EXPECT_EQ(check::runArticleCheck(ts.session, screen, no, progress).outcome,
              check::RunOutcome::SupplierDeclined);
    ASSERT_EQ(no.texts.size(), 1u);
    EXPECT_TRUE(no.texts[0].endsWith("). Continuare?"));
    EXPECT_TRUE(no.defaultIsNo[0]);
    EXPECT_EQ(ts.scalarFixed("SELECT artvariato FROM articolo"), "S");
}

TEST_F(SafetyQuestions, LabelsAreOfferedAfterAnUpdateThatChangedPrices) {
    ts.exec(
        "INSERT INTO listi01 (codart, desart, przpub) VALUES (5, 'PANE', 2.5), (6, 'LATTE', 1.2);"
        "INSERT INTO variatil (bns, sel, codart, ea1art, desart, codfor, coston, ivart, prezpubv) "
        "VALUES (1, 'X', 5, '0000000000000', 'PANE', 12, 1.6, '04', 2.7),"
        " (2, 'X', 6, '0000000000000', 'LATTE', 12, 0.8, '04', 1.2)");
    review::ReviewFilter filter;
    filter.supplier = 12;
    filter.selectedOnly = true;
    test::RecordingMessages quiet;
    NullProgress progress;
    auto db = ts.session.openStore(true);
    auto r =
        review::applyUpdate(ts.session.state, *db, review::settingsAfterReviewLoad(std::nullopt),
                            filter, quiet, progress);
    ASSERT_GT(r.run, 0);
    ShownQuestions no(Answer::No);
    no.files = {"labels-offer-question.png"};
    offerLabelsAfterUpdate(ts.session, no, r.run);
    ASSERT_EQ(no.texts.size(), 1u);
    EXPECT_EQ(no.texts[0], "Stampare le etichette dei prezzi di vendita variati (1 articolo)?");
    EXPECT_FALSE(no.defaultIsNo[0]);              // an offer: Yes is the default
    offerLabelsAfterUpdate(ts.session, no, 999);  // no such update: nothing offered
    EXPECT_EQ(no.texts.size(), 1u);

    // After the undo, the labels that put the old prices back.
    db.reset();
    EXPECT_EQ(lastUndoableRun(ts.session), r.run);
    quiet.answers = {Answer::Yes};
    ASSERT_TRUE(history::undoUpdate(ts.session, std::nullopt, quiet));
    EXPECT_EQ(lastUndoableRun(ts.session), std::nullopt);
    offerLabelsAfterUndo(ts.session, no, r.run);
    ASSERT_EQ(no.texts.size(), 2u);
    EXPECT_TRUE(no.texts[1].startsWith(
        "Stampare le etichette con i prezzi di vendita rimessi dall'annullamento ("));
}

}  // namespace
}  // namespace cl::ui
