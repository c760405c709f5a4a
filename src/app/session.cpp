#include "app/session.h"

#include <optional>
#include <vector>

#include "app/access_files.h"
#include "app/server_delivery.h"
#include "app/store_lock.h"
#include "store/error.h"
#include "store/fixed_text.h"
#include "store/schema.h"

namespace cl {

Session::Session(std::filesystem::path root, char drive) : mapper_(std::move(root), drive) {
    state.lettera_drive = mapper_.currentDrive();
}

std::string storeFolderFrom(const std::string& databaseField) {
    // An empty field has no segments at all (not one empty segment), so the fallback folder
    // applies instead of a bare "\".
    if (databaseField.empty()) return {};
    std::vector<std::string> segments;
    size_t start = 0;
    while (true) {
        size_t at = databaseField.find('\\', start);
        segments.push_back(databaseField.substr(start, at - start));
        if (at == std::string::npos) break;
        start = at + 1;
    }
    std::string folder;
    for (size_t i = 0; i < segments.size() && i <= 10; ++i) {
        if (store::trimmed(segments[i]) == "DATI.MDB") break;
        folder += segments[i] + "\\";
    }
    return folder;
}

namespace {
// The database field of the first company by code, when the suite has a company. No LIMIT:
// companies sharing a code keep the order the full sort gives them.
std::optional<std::string> firstCompanyDatabase(store::Database& suite) {
    auto st = suite.prepare("SELECT \"database\" FROM \"società\" ORDER BY codute");
    std::optional<std::string> out;
    if (st.step()) out = st.text("database");
    st.reset();
    return out;
}
}  // namespace

bool Session::settoDb(Messages& messages, const std::string& whatNext) {
    state.lettera_drive = mapper_.currentDrive();
    const std::string suiteFolder = std::string(1, state.lettera_drive) + ":\\ostrel";
    state.nomedb_suite = suiteFolder + "\\tramel.mdb";
    if (onServer()) {
        auto suite =
            store::openServer(server, store::kServerSuiteSchema, store::OpenMode::ReadOnly);
        locateStore(*suite);
        return true;
    }

    std::error_code ec;
    std::filesystem::create_directories(host(suiteFolder), ec);
    if (ec)
        throw Error("Attenzione ... La cartella " + suiteFolder + " non si può creare (" +
                        host(suiteFolder).string() + ": " + ec.message() + ").",
                    ErrorKind::ReadOnly);
    auto suite = host(state.nomedb_suite);
    if (!std::filesystem::exists(suite)) {
        auto templ = host(suiteFolder + "\\client.mdb");
        if (!std::filesystem::exists(templ)) {
            messages.show("Attenzione ... File " + state.nomedb_suite + "  non esiste " +
                              (whatNext.empty() ? "" : "\n\n" + whatNext),
                          Icon::Critical);
            return false;
        }
        ensureSqlite(templ, suiteFolder + "\\client.mdb", store::DatabaseKind::Suite, &messages,
                     accessProgress);
        std::filesystem::copy_file(templ, suite, ec);
        if (ec)
            throw Error("Attenzione ... Il file " + state.nomedb_suite +
                            " non si può creare dal modello client.mdb (" + ec.message() + ").",
                        ErrorKind::ReadOnly);
    }
    ensureSqlite(suite, state.nomedb_suite, store::DatabaseKind::Suite, &messages, accessProgress);

    auto dbConnection = store::openDatabase(suite, store::OpenMode::ReadOnly);
    locateStore(*dbConnection);
    return true;
}

void Session::locateStore(store::Database& suite) {
    state.cartella_db.clear();
    store::validateSchema(suite, store::DatabaseKind::Suite,
                          suite.onServer() ? store::kServerSuiteSchema : "main");
    if (auto field = firstCompanyDatabase(suite)) state.cartella_db = storeFolderFrom(*field);
    if (state.cartella_db.empty())
        state.cartella_db = std::string(1, state.lettera_drive) + ":\\tramel\\";
    state.nomedb = state.cartella_db + "DATI.MDB";
    state.nsede = 1;
}

void Session::holdForWriting() const {
    if (auto other = takeStoreFiles(*this))
        throw Error(alreadyOpenText(*other) +
                        " Nessuna modifica scritta: chiudere prima il programma aperto là.",
                    ErrorKind::Busy);
}

std::unique_ptr<store::Database> Session::openStore(bool attachFixed, store::OpenMode mode) const {
    if (!located())
        throw Error("Attenzione ... Database del negozio non individuato.", ErrorKind::NotFound);
    if (onServer()) {
        // The four databases are schemas of one server database; only a new delivery of the
        // article database still arrives as a file at its fixed path.
        if (attachFixed)
            deliverToServer(server, host(state.nomedb_fisso), state.nomedb_fisso, accessMessages,
                            accessProgress);
        auto db = store::openServer(server, store::kServerStoreSchema, mode);
        store::validateSchema(*db, store::DatabaseKind::Store);
        if (attachFixed) {
            db->attach({}, kFixedSchema, mode);
            store::validateSchema(*db, store::DatabaseKind::FixedArticles, kFixedSchema);
        }
        return db;
    }
    // A copy that only looks converts nothing: an Access file is refused with how to convert it.
    if (readOnly) mode = store::OpenMode::ReadOnly;
    if (mode != store::OpenMode::ReadOnly && holdOnWrite) holdForWriting();
    Messages* converting = readOnly ? nullptr : accessMessages;
    ensureSqlite(host(state.nomedb), state.nomedb, store::DatabaseKind::Store, converting,
                 accessProgress);
    if (attachFixed)
        ensureSqlite(host(state.nomedb_fisso), state.nomedb_fisso,
                     store::DatabaseKind::FixedArticles, converting, accessProgress, !readOnly);
    auto db = store::openDatabase(host(state.nomedb), mode);
    store::validateSchema(*db, store::DatabaseKind::Store);
    if (attachFixed) {
        auto fixed = host(state.nomedb_fisso);
        db->attach(fixed, kFixedSchema, mode);
        store::validateSchema(*db, store::DatabaseKind::FixedArticles, kFixedSchema,
                              fixed.string());
    }
    return db;
}

}  // namespace cl
