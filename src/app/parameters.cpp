#include "app/parameters.h"

#include "store/table_view.h"

namespace cl {

namespace {
store::TableView openParametri(store::Database& db, const std::string& chiave) {
    store::TableView view("parametri", db);
    view.setSource("SELECT * FROM parametri where tipo=?", {store::Value(chiave)});
    view.refresh();
    return view;
}
}  // namespace

std::string chiaveParametri(int nsede) {
    return "0" + std::to_string(nsede) + "L";
}

std::optional<ParameterRow> leggiParametri(store::Database& db, const std::string& chiave) {
    auto view = openParametri(db, chiave);
    if (!view.findFirst("tipo", store::Value(chiave))) return std::nullopt;
    ParameterRow row;
    row.acos = static_cast<int>(view.integer("acos"));
    row.aric = static_cast<int>(view.integer("aric"));
    row.apv = static_cast<int>(view.integer("apv"));
    row.creart = static_cast<int>(view.integer("creart"));
    row.cliente = view.integer("cliente");
    row.tiposel = static_cast<int>(view.integer("tiposel"));
    return row;
}

void salvaParametri(store::Database& db, const std::string& chiave, const ParameterRow& row) {
    auto view = openParametri(db, chiave);
    if (!view.findFirst("tipo", store::Value(chiave))) {
        view.addNew();
        view.set("tipo", store::Value(chiave));
    } else {
        view.edit();
    }
    view.set("acos", row.acos);
    view.set("aric", row.aric);
    view.set("apv", row.apv);
    view.set("creart", row.creart);
    view.set("codpag", 0);
    view.set("cassa", 0);
    view.set("tiposel", row.tiposel);
    view.set("cliente", static_cast<long long>(row.cliente));
    view.update();
}

}  // namespace cl
