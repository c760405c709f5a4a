#include "app/parameters.h"

namespace cl {

namespace {

// The first row of a key (in the order rows were added: a server moves a row it rewrites), with
// its identity: a save edits that row and leaves any copy alone.
struct StoredParameters {
    long long identity = 0;
    ParameterRow row;
};

std::optional<StoredParameters> firstRowOf(store::Database& db, const std::string& chiave) {
    auto st = db.prepare("SELECT " + db.rowIdentity() +
                         " AS row_identity, acos, aric, apv, creart, cliente, tiposel "
                         "FROM parametri WHERE tipo = ? ORDER BY " +
                         db.rowIdentity());
    st.bind(1, store::Value(chiave));
    std::optional<StoredParameters> out;
    if (st.step()) {
        StoredParameters found;
        found.identity = st.integer("row_identity");
        found.row.acos = static_cast<int>(st.integer("acos"));
        found.row.aric = static_cast<int>(st.integer("aric"));
        found.row.apv = static_cast<int>(st.integer("apv"));
        found.row.creart = static_cast<int>(st.integer("creart"));
        found.row.cliente = st.integer("cliente");
        found.row.tiposel = static_cast<int>(st.integer("tiposel"));
        out = found;
    }
    st.reset();  // the row is read: let go of the table for other workstations
    return out;
}

void insertParameters(store::Database& db, const std::string& chiave, const ParameterRow& row) {
    db.prepare(
          "INSERT INTO parametri (tipo, acos, aric, apv, creart, codpag, cassa, tiposel, "
          "cliente) VALUES (?, ?, ?, ?, ?, 0, 0, ?, ?)")
        .bindAll(chiave, row.acos, row.aric, row.apv, row.creart, row.tiposel, row.cliente)
        .run();
}

void updateParameters(store::Database& db, long long identity, const ParameterRow& row) {
    db.prepare(
          "UPDATE parametri SET acos = ?, aric = ?, apv = ?, creart = ?, codpag = 0, "
          "cassa = 0, tiposel = ?, cliente = ? WHERE " +
          db.rowIdentity() + " = ?")
        .bindAll(row.acos, row.aric, row.apv, row.creart, row.tiposel, row.cliente, identity)
        .run();
}

}  // namespace

std::string chiaveParametri(int nsede) {
    return "0" + std::to_string(nsede) + "L";
}

std::optional<ParameterRow> readParameters(store::Database& db, const std::string& chiave) {
    if (auto stored = firstRowOf(db, chiave)) return stored->row;
    return std::nullopt;
}

void saveParameters(store::Database& db, const std::string& chiave, const ParameterRow& row) {
    if (auto stored = firstRowOf(db, chiave))
        updateParameters(db, stored->identity, row);
    else
        insertParameters(db, chiave, row);
}

}  // namespace cl
