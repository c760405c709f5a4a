#include "check/start_up.h"

#include <filesystem>

#include "app/init_databases.h"
#include "app/parameters.h"
#include "check/check_record.h"
#include "history/journal.h"
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

// The supplier the central check remembers (the parameter row's, unless a supplier's file check
// wrote it there). A journal that cannot be read leaves the row's: the check itself then stops
// on it before writing anything.
long long rememberedOf(const Session& session, store::Database& db, long long inRow) {
    try {
        history::attachHistoryToRead(session, db);
        return rememberedSupplier(db, session.state);
    } catch (const Error&) {
        return inRow;
    }
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
    long long remembered = rememberedOf(session, *db, row ? row->cliente : app.codice_fornitore);
    if (row) row->cliente = remembered;
    std::optional<std::string> name;
    if (remembered != 0) name = supplierNameOf(*db, remembered);
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
