// The supplier a central check remembers: a supplier's file check leaves it, and the question
// before a check compares with the last check of the central database, or with the parameter
// row when none is recorded.
#include "check/check_record.h"
#include "check/start_up.h"
#include "check_fixture.h"
#include "history/journal.h"
#include "history/journal_schema.h"
#include "pricelist/price_list.h"
#include "support/older_journal.h"

namespace cl::test {
namespace {

using check::RunOutcome;

class SupplierMemory : public CheckFixture {
  protected:
    SupplierMemory() {
        t.session.state.nome_fornitore = "ROSSI SPA";
        t.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (77, 'BEVANDE SRL')");
        t.exec("INSERT INTO parametri (tipo, cliente, tiposel) VALUES ('01L', 12, 4)");
        for (int code : {1, 2}) {
            std::string ean = "800000000000" + std::to_string(code);
            central(code, "ARTICOLO " + std::to_string(code), ean, "1.5", "2.5");
            storeArticle(code, ean, "1", "2");
        }
    }
    // Start-up as the program does it: the screen preset from the parameter row.
    void startUp() {
        screen = {};
        t.session.state.codice_fornitore = 0;
        t.session.state.nome_fornitore.clear();
        check::formLoad(t.session, screen);
    }
    check::RunReport fileCheckOf77() {
        check::chooseSupplier(screen, t.session.state, "77", "BEVANDE SRL");
        pricelist::PriceListRow r;
        r.ean = "8000000000001", r.code = "B-1", r.description = "ARTICOLO 1", r.cost = 1.6;
        r.vat = "22";
        pricelist::PriceList list;
        list.rows = {r};
        return check::checkPriceList(t.session, screen, list, messages, progress);
    }
    void markAll() { t.execFixed("UPDATE articolo SET artvariato = 'S'"); }
    bool askedAboutSupplier() const {
        for (const auto& m : messages.shown)
            if (m.text.find("Il fornitore scelto") != std::string::npos) return true;
        return false;
    }
    std::string supplierOfRows() {
        return t.scalar("SELECT min(codfor) || '-' || max(codfor) FROM variatil");
    }
};

TEST_F(SupplierMemory, AFileCheckLeavesTheSupplierOfTheNextStartUpCheck) {
    ASSERT_EQ(check().outcome, RunOutcome::Done);  // the week's central check, supplier 12
    messages.answers = {Answer::Yes};              // its review may go
    ASSERT_EQ(fileCheckOf77().outcome, RunOutcome::Done);
    EXPECT_EQ(supplierOfRows(), "77-77");
    // The review of the file check is that of its supplier.
    EXPECT_EQ(t.scalar("SELECT cliente FROM parametri"), "77");

    markAll();  // a new delivery
    startUp();
    EXPECT_EQ(t.session.state.codice_fornitore, 12);
    EXPECT_EQ(screen.supplierText, "ROSSI SPA");
    messages.shown.clear();
    messages.answers = {Answer::Yes};  // the file check's review may go
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    EXPECT_FALSE(askedAboutSupplier());
    EXPECT_EQ(supplierOfRows(), "12-12");
    EXPECT_EQ(t.scalar("SELECT cliente FROM parametri"), "12");
}

TEST_F(SupplierMemory, TheQuestionComparesWithTheLastCentralCheckNotTheFile) {
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    messages.answers = {Answer::Yes};
    ASSERT_EQ(fileCheckOf77().outcome, RunOutcome::Done);
    markAll();
    const std::string before = t.dump("variatil") + t.dump("articolo", true);
    messages.shown.clear();
    messages.answers = {Answer::No};
    // The supplier of the file, left chosen on the screen, for a check of the central database.
    EXPECT_EQ(check().outcome, RunOutcome::SupplierDeclined);
    ASSERT_TRUE(askedAboutSupplier());
    EXPECT_EQ(messages.shown[0].text.rfind("Il fornitore scelto (BEVANDE SRL, codice 77) non è "
                                           "quello dell'ultimo controllo (ROSSI SPA, codice 12, "
                                           "del ",
                                           0),
              0u)
        << messages.shown[0].text;
    EXPECT_EQ(t.dump("variatil") + t.dump("articolo", true), before);
}

TEST_F(SupplierMemory, WithNoCheckRecordedTheParameterRowIsComparedWith) {
    check::chooseSupplier(screen, t.session.state, "77", "BEVANDE SRL");
    const std::string before = t.dump("articolo", true) + t.dump("parametri");
    messages.answers = {Answer::No};
    EXPECT_EQ(check().outcome, RunOutcome::SupplierDeclined);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Il fornitore scelto (BEVANDE SRL, codice 77) non è quello dell'ultimo controllo "
              "(ROSSI SPA, codice 12). Continuare?");
    EXPECT_EQ(t.dump("articolo", true) + t.dump("parametri"), before);

    // The start-up check keeps the remembered supplier: nothing to ask.
    startUp();
    messages.shown.clear();
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    EXPECT_FALSE(askedAboutSupplier());
    EXPECT_EQ(supplierOfRows(), "12-12");
}

TEST_F(SupplierMemory, AFileCheckFirstAfterInstallingOrFindingNothing) {
    // The first check after installing is a supplier's file: the row's supplier stays the one
    // the central check remembers.
    ASSERT_EQ(fileCheckOf77().outcome, RunOutcome::Done);
    startUp();
    EXPECT_EQ(t.session.state.codice_fornitore, 12);
    check::chooseSupplier(screen, t.session.state, "77", "BEVANDE SRL");
    messages.shown.clear();
    messages.answers = {Answer::No};
    EXPECT_EQ(check().outcome, RunOutcome::SupplierDeclined);
    EXPECT_NE(messages.shown.at(0).text.find("(ROSSI SPA, codice 12). Continuare?"),
              std::string::npos);

    // A file with nothing to check leaves the parameter row as it was.
    t.exec("UPDATE parametri SET cliente = 12");
    check::chooseSupplier(screen, t.session.state, "77", "BEVANDE SRL");
    EXPECT_EQ(check::checkPriceList(t.session, screen, pricelist::PriceList{}, messages, progress)
                  .outcome,
              RunOutcome::NoArticles);
    EXPECT_EQ(t.scalar("SELECT cliente FROM parametri"), "12");
    startUp();
    EXPECT_EQ(t.session.state.codice_fornitore, 12);
}

TEST_F(SupplierMemory, AJournalOfTheOlderLayoutTellsTheCentralSupplierByTheCheckBefore) {
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    messages.answers = {Answer::Yes};
    ASSERT_EQ(fileCheckOf77().outcome, RunOutcome::Done);
    {
        auto db = t.openStoreDb();
        history::attachHistory(*db, t.storeFile());
        backToJournalVersion3(*db, history::kHistorySchema);
    }
    startUp();  // reads the older journal as it is, without upgrading it
    EXPECT_EQ(t.session.state.codice_fornitore, 12);
    auto db = t.session.openStore();
    ASSERT_TRUE(history::attachHistoryToRead(t.session, *db));
    EXPECT_EQ(history::journalVersion(*db, history::kHistorySchema), 3);
}

}  // namespace
}  // namespace cl::test
