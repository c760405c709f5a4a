// A check that used up the week's changes can be put back; the supplier guard asks first.
#include "history/restore_check.h"

#include <unistd.h>

#include "check/check_commands.h"
#include "check_fixture.h"
#include "history/check_journal.h"
#include "history/journal.h"
#include "store/error.h"
#include "support/cli_runner.h"

namespace cl::test {
namespace {

class RestoreCheck : public CheckFixture {
  protected:
    RestoreCheck() {
        t.session.state.nome_fornitore = "ROSSI SPA";
        t.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (27, 'FRUTTA SRL')");
        for (int code : {1, 2, 3}) {
            std::string ean = "800000000000" + std::to_string(code);
            central(code, "ARTICOLO " + std::to_string(code), ean, "1.5", "2.5");
            storeArticle(code, ean, "1", "2");
        }
    }
    long long marked() {
        return std::stoll(t.scalarFixed("SELECT count(*) FROM articolo WHERE artvariato = 'S'"));
    }
    std::vector<history::CheckSummary> checks() {
        auto db = t.session.openStore(true);
        history::attachHistory(*db, t.storeFile());
        return history::listChecks(*db);
    }
    bool restore(std::optional<long long> run = std::nullopt) {
        messages.answers = {Answer::Yes};
        return history::restoreCheck(t.session, run, messages);
    }
    std::string everything() {
        return t.dump("variatil") + t.dump("parametri") + t.dump("articolo", true);
    }
};

TEST_F(RestoreCheck, FilterThatWritesNothingThenRestoreThenTheChangesAreFoundAgain) {
    onlyFilters(false, false, false, false, /*sve=*/true);
    ASSERT_EQ(check().outcome, check::RunOutcome::Done);
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(marked(), 0);  // the week's changes used up by a check that wrote nothing
    EXPECT_EQ(check().outcome, check::RunOutcome::NoArticles);

    auto list = checks();
    ASSERT_EQ(list.size(), 1u);  // the run that found nothing is not a check of its own
    EXPECT_EQ(list[0].cleared, 3);
    EXPECT_EQ(list[0].written, 0);
    EXPECT_EQ(list[0].supplier, 12);
    EXPECT_EQ(list[0].supplierName, "ROSSI SPA");
    EXPECT_NE(list[0].options.find("Venduti"), std::string::npos);

    messages.shown.clear();
    ASSERT_TRUE(restore());
    EXPECT_NE(messages.shown[0].text.find("3 articoli verranno segnati di nuovo come variati"),
              std::string::npos)
        << messages.shown[0].text;
    EXPECT_EQ(messages.shown[0].title, history::kRestoreTitle);
    EXPECT_EQ(marked(), 3);
    EXPECT_TRUE(checks()[0].restored());

    onlyFilters(true, true, true, true);
    ASSERT_EQ(check().outcome, check::RunOutcome::Done);
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(marked(), 0);
}

TEST_F(RestoreCheck, AnsweredNoOrAlreadyRestoredChangesNothing) {
    ASSERT_EQ(check().outcome, check::RunOutcome::Done);
    std::string before = everything();
    messages.answers = {Answer::No};
    EXPECT_FALSE(history::restoreCheck(t.session, std::nullopt, messages));
    EXPECT_EQ(everything(), before);
    ASSERT_TRUE(restore());
    EXPECT_EQ(rows(), 0);  // the review rows of the check, never applied, went with it
    before = everything();
    EXPECT_THROW(restore(1), Error);  // already put back
    EXPECT_THROW(restore(), Error);   // nothing left to put back
    EXPECT_THROW(restore(9), Error);  // no such check
    EXPECT_EQ(everything(), before);
}

TEST_F(RestoreCheck, NewerDeliveryMakesItPartialOrRefused) {
    ASSERT_EQ(check().outcome, check::RunOutcome::Done);
    ASSERT_EQ(rows(), 3);
    // A newer delivery marks article 1 again (with a new cost).
    t.execFixed("UPDATE articolo SET artvariato = 'S', przart = 1.7 WHERE codart = 1");
    messages.shown.clear();
    ASSERT_TRUE(restore());
    const std::string& q = messages.shown[0].text;
    EXPECT_NE(q.find("2 articoli verranno segnati di nuovo"), std::string::npos) << q;
    EXPECT_NE(q.find("3 righe non ancora aggiornate verranno tolte"), std::string::npos) << q;
    EXPECT_NE(q.find("1 articolo è già segnato di nuovo da una consegna più recente"),
              std::string::npos)
        << q;
    EXPECT_EQ(marked(), 3);
    EXPECT_EQ(t.scalarFixed("SELECT przart FROM articolo WHERE codart = 1"), "1.7");

    // Every article marked again by the delivery: nothing to put back, refused.
    ASSERT_EQ(check().outcome, check::RunOutcome::Done);
    t.execFixed("UPDATE articolo SET artvariato = 'S'");
    std::string before = everything();
    try {
        restore();
        ADD_FAILURE() << "restore should be refused";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("consegna più recente"), std::string::npos);
    }
    EXPECT_EQ(everything(), before);
    EXPECT_EQ(rows(), 3);  // the review stays
}

TEST_F(RestoreCheck, OlderCheckLeavesWhatALaterCheckExaminedAndItsReview) {
    ASSERT_EQ(check().outcome, check::RunOutcome::Done);  // check 1 clears 1, 2, 3
    t.execFixed("UPDATE articolo SET artvariato = 'S' WHERE codart = 2");
    messages.answers = {Answer::Yes};                     // the unapplied review of check 1 may go
    ASSERT_EQ(check().outcome, check::RunOutcome::Done);  // check 2 clears 2
    ASSERT_EQ(rows(), 1);
    messages.shown.clear();
    ASSERT_TRUE(restore(1));
    EXPECT_NE(
        messages.shown[0].text.find("1 articolo è stato esaminato da un controllo successivo"),
        std::string::npos);
    EXPECT_EQ(t.scalarFixed("SELECT count(*) FROM articolo WHERE artvariato = 'S'"), "2");
    EXPECT_EQ(t.scalarFixed("SELECT min(codart) || ',' || max(codart) FROM articolo "
                            "WHERE artvariato = 'S'"),
              "1,3");
    EXPECT_EQ(rows(), 1);  // check 2's review is not check 1's
}

TEST_F(RestoreCheck, BarcodeCheckIsListedButClearsNothingToRestore) {
    ASSERT_EQ(barcodeCheck().outcome, check::RunOutcome::Done);
    auto list = checks();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].kind, "Controllo articoli presenti in Barcode");
    EXPECT_EQ(list[0].cleared, 0);
    EXPECT_EQ(marked(), 3);
    EXPECT_THROW(restore(), Error);
}

TEST_F(RestoreCheck, AnotherSupplierAsksFirstAndNoLeavesEverythingAsItWas) {
    ASSERT_EQ(check().outcome, check::RunOutcome::Done);
    t.execFixed("UPDATE articolo SET artvariato = 'S'");
    check::chooseSupplier(screen, t.session.state, "27", "FRUTTA SRL");
    std::string before = everything();
    messages.shown.clear();
    messages.answers = {Answer::No};
    auto r = check();
    EXPECT_EQ(r.outcome, check::RunOutcome::SupplierDeclined);
    EXPECT_FALSE(r.opensReview());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind(
                  "Il fornitore scelto (FRUTTA SRL, codice 27) non è quello dell'ultimo "
                  "controllo (ROSSI SPA, codice 12, del ",
                  0),
              0u)
        << messages.shown[0].text;
    EXPECT_NE(messages.shown[0].text.find("). Continuare?"), std::string::npos);
    EXPECT_EQ(everything(), before);
    EXPECT_EQ(checks().size(), 1u);

    // Yes: the check runs (and asks about the unapplied review as before).
    messages.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(check().outcome, check::RunOutcome::Done);
    EXPECT_EQ(field("codfor", "bns = 1"), "27");
    // The same supplier again: no question.
    t.execFixed("UPDATE articolo SET artvariato = 'S'");
    messages.shown.clear();
    messages.answers = {Answer::Yes};
    EXPECT_EQ(check().outcome, check::RunOutcome::Done);
    ASSERT_EQ(messages.shown.size(), 1u);  // only the unapplied review
    EXPECT_EQ(messages.shown[0].text.find("Il fornitore scelto"), std::string::npos);
}

// The command line: the same week, as a script would run it.
TEST_F(RestoreCheck, CommandLineHistoryChecksRestoreAndSupplierGuard) {
    if (!programPath()) {
        auto beside = std::filesystem::read_symlink("/proc/self/exe").parent_path();
        setenv("CL_BINARY", (beside / "controllo-listino").c_str(), 0);
    }
    t.exec("INSERT INTO parametri (tipo, cliente, tiposel) VALUES ('01L', 12, 4)");
    auto r = runProgram(t.root, {"check", "--filters", "sold"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Righe scritte in variatil: 0"), std::string::npos);
    r = runProgram(t.root, {"history", "--checks"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("12 ROSSI SPA"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Venduti"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("        3        0"), std::string::npos) << r.out;

    r = runProgram(t.root, {"restore-check"}, /*yes=*/false);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(marked(), 0);
    r = runProgram(t.root, {"restore-check", "--run", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(marked(), 3);
    r = runProgram(t.root, {"restore-check", "--run", "uno"});
    EXPECT_EQ(r.exitCode, 2);

    // The last check was put back: the supplier the parameter row remembers is compared with.
    r = runProgram(t.root, {"check", "--supplier", "27"}, /*yes=*/false);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("non è quello dell'ultimo controllo (ROSSI SPA, codice 12). Continuare?"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(marked(), 3);
    r = runProgram(t.root, {"check", "--supplier", "27"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    t.execFixed("UPDATE articolo SET artvariato = 'S'");
    std::string before = everything();
    r = runProgram(t.root, {"check", "--supplier", "12"}, /*yes=*/false);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Il fornitore scelto (ROSSI SPA, codice 12) non è quello dell'ultimo "
                         "controllo (FRUTTA SRL, codice 27"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(everything(), before);
    r = runProgram(t.root, {"check", "--supplier", "12"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Righe scritte in variatil: 3"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace cl::test
