#include "server_store.h"

#include <algorithm>
#include <cstdlib>

#include "app/clock.h"
#include "check/check_commands.h"
#include "check/check_state.h"
#include "history/undo.h"
#include "support/need.h"
#include "support/pg_server.h"
#include "support/workstation.h"
#include "update/update_run.h"
#include "update/update_settings.h"

namespace cl::test {

namespace {

constexpr const char* kToday = "2026-12-08";

// Answers Yes to everything and keeps what it was shown.
class YesMessages : public Messages {
  public:
    std::string said;
    void show(const std::string& text, Icon, const std::string&) override { said += text + "\n"; }
    Answer ask(const std::string& text, const std::string&, Icon, Answer) override {
        said += text + " [Sì]\n";
        return Answer::Yes;
    }
};

void chooseSupplier(AppState& state) {
    state.codice_fornitore = kSupplier;
    state.nome_fornitore = std::string("ROSSI SPA") + std::string(36, ' ');
}

}  // namespace

void ServerStoreTest::SetUp() {
    CL_NEED(!PgServer::binDir().empty(), "PostgreSQL (initdb, pg_ctl) non installato");
    // Every store of this suite lives on the server.
    setenv("CL_TEST_ENGINE", "postgres", 1);
    setToday(kToday);
    ts.emplace();
    chooseSupplier(ts->session.state);
}

void ServerStoreTest::TearDown() {
    for (const auto& c : copies_) dropServerDatabase(c);
    setToday("");
}

void ServerStoreTest::seed(int articles) {
    auto db = ts->openStoreDb();
    store::Transaction tx(*db);
    db->exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ROSSI SPA')");
    auto central = db->prepare(
        "INSERT INTO fisso.articolo (codart, desart, przart, ivart, umart, desfor, artvariato) "
        "SELECT i, 'ARTICOLO ' || i, 1 + (i % 50) / 10.0, '22', 'PZ', 'CENTRALE SRL', 'S' "
        "FROM generate_series(1, ?) i");
    central.bind(1, store::Value(static_cast<long long>(articles)));
    central.run();
    db->exec(
        "INSERT INTO fisso.codean (eanare, codare) SELECT lpad(codart::text, 13, '8000000000000'), "
        "codart FROM fisso.articolo");
    // Two articles in three are the store's already, at a price to change.
    db->exec(
        "INSERT INTO codean (eanare, codare, flagean, even) SELECT eanare, codare, 'S', 0 "
        "FROM fisso.codean WHERE codare % 3 <> 0");
    db->exec(
        "INSERT INTO listi01 (codart, desart, umart, cofart, przpub, ricart, marg, przsal) "
        "SELECT codart, 'NEGOZIO ' || codart, 'KG', 1, 2, 35, 20, 0 FROM fisso.articolo "
        "WHERE codart % 3 <> 0");
    tx.commit();
}

void ServerStoreTest::markCentralAgain() {
    auto db = ts->openStoreDb(true);
    db->exec("UPDATE articolo SET artvariato = 'S', przart = przart * 1.1");
}

Session ServerStoreTest::copy() {
    Session s = ts->session;
    const std::string name =
        "copia" + std::to_string(copies_.size() + 1) + "_" + std::to_string(getpid());
    s.server = copyServerDatabase(ts->session.server, name);
    copies_.push_back(s.server);
    return s;
}

void ServerStoreTest::dropCopy(const Session& copy) {
    dropServerDatabase(copy.server);
    copies_.erase(std::remove(copies_.begin(), copies_.end(), copy.server), copies_.end());
}

std::map<std::string, std::string> ServerStoreTest::tables(const Session& s) const {
    return storeTables(s.server);
}

std::string runCheck(Session session) {
    check::CheckScreenState screen;
    check::presetAtStartUp(screen, session.state, std::nullopt, std::nullopt);
    chooseSupplier(session.state);
    YesMessages messages;
    NullProgress progress;
    auto r = check::runArticleCheck(session, screen, messages, progress);
    if (r.outcome != check::RunOutcome::Done)
        return "controllo non eseguito (esito " + std::to_string(static_cast<int>(r.outcome)) +
               "): " + messages.said;
    return "controllo eseguito, righe " + std::to_string(r.counts.written) + "\n" + messages.said;
}

std::string runUpdate(Session session) {
    auto settings = review::settingsAfterReviewLoad(std::nullopt);
    settings.aggcodafo = true;
    review::ReviewFilter filter;
    filter.supplier = kSupplier;
    filter.selectedOnly = true;
    chooseSupplier(session.state);
    YesMessages messages;
    NullProgress progress;
    auto db = session.openStore(true);
    auto r = review::applyUpdate(session.state, *db, settings, filter, messages, progress);
    return "aggiornamento eseguito, aggiornati " + std::to_string(r.aggiornati) + ", creati " +
           std::to_string(r.creati) + "\n" + messages.said;
}

std::string runUndo(Session session) {
    YesMessages messages;
    bool undone = history::undoUpdate(session, std::nullopt, messages);
    return std::string(undone ? "annullato" : "annullamento non eseguito") + "\n" + messages.said;
}

bool refused(const std::string& said) {
    return said.rfind("ERRORE", 0) == 0 || said.find("non eseguit") != std::string::npos;
}

}  // namespace cl::test
