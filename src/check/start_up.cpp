#include "check/start_up.h"

#include <filesystem>

#include "app/init_databases.h"
#include "app/parameters.h"
#include "store/fixed_text.h"

namespace cl::check {

namespace {

// The Windows path of the first database that is not there, or empty.
std::string missingDatabase(const Session& s) {
    // On a server the databases are schemas: opening the store says what is missing there.
    if (s.onServer()) return {};
    for (const auto& p : {s.state.nomedb, s.state.nomedb_fisso})
        if (!std::filesystem::exists(s.host(p))) return p;
    return {};
}

bool offerToCreate(Session& session, Messages& messages) {
    if (messages.ask(kCreateDatabases, "Controllo Articoli", Icon::Question, Answer::No) !=
        Answer::Yes)
        return false;
    initDatabases(session);
    return session.located() && missingDatabase(session).empty();
}

}  // namespace

bool locateDatabases(Session& session, Messages& messages) {
    if (!session.settoDb(messages, kStoreNotSetUp)) return offerToCreate(session, messages);
    std::string missing = missingDatabase(session);
    if (missing.empty()) return true;
    messages.show("Attenzione ... File " + missing + "  non esiste ", Icon::Critical);
    return offerToCreate(session, messages);
}

std::vector<Supplier> formLoad(Session& session, CheckScreenState& screen) {
    AppState& app = session.state;
    auto db = session.openStore(false, store::OpenMode::ReadOnly);
    app.chiave_parametri = chiaveParametri(app.nsede);
    auto row = readParameters(*db, app.chiave_parametri);
    long long remembered = row ? row->cliente : app.codice_fornitore;
    std::optional<std::string> name;
    if (remembered != 0) {
        auto st =
            db->prepare("SELECT dscfornitore FROM fornitori WHERE codfornitore = ? ORDER BY " +
                        db->rowIdentity());
        st.bind(1, store::Value(remembered));
        if (st.step()) name = st.value(0).text();
        st.reset();
    }
    presetAtStartUp(screen, app, row, name);
    std::vector<Supplier> list;
    // Suppliers of one name keep the order they were entered in, on every engine.
    auto st = db->prepare(
        "SELECT codfornitore, dscfornitore FROM fornitori ORDER BY dscfornitore NULLS FIRST, " +
        db->rowIdentity());
    while (st.step()) list.push_back({st.value(0).integer(), st.value(1).text()});
    return list;
}

}  // namespace cl::check
