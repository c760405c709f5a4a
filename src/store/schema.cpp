#include "store/schema.h"

#include <algorithm>
#include <filesystem>

#include "store/database.h"
#include "store/identifier.h"

namespace cl::store {

namespace {

using T = FieldType;
FieldDef tx(const char* n) {
    return {n, T::Text};
}
FieldDef fx(const char* n, int w) {
    return {n, T::FixedText, w};
}
FieldDef wh(const char* n) {
    return {n, T::Whole};
}
FieldDef mo(const char* n) {
    return {n, T::Money};
}
FieldDef de(const char* n) {
    return {n, T::Decimal};
}
FieldDef da(const char* n) {
    return {n, T::Date};
}

TableDef codeanTable() {
    return {"codean",
            {fx("eanare", 13), wh("codare"), fx("desart", 35), fx("desfor", 35), fx("codafo", 16),
             mo("prezzo"), wh("pezzix"), mo("prezzox"), fx("aggi", 1), wh("neti"), fx("flagean", 1),
             fx("primasecon", 1), wh("colare"), wh("even")},
            {{"keyean", {"eanare"}, true}, {"codean_codare", {"codare"}}}};
}

TableDef sottogruppiTable() {
    return {"sottogruppi",
            {wh("codsot"), tx("descrizione"), wh("codgru")},
            {{"sottogruppi_codsot", {"codsot"}}}};
}

std::vector<TableDef> storeTables() {
    return {
        codeanTable(),
        {"listi01",
         {wh("codart"),   tx("desart"),     fx("descas", 30), fx("umart", 2),   wh("imbart"),
          fx("ivart", 2), fx("codafo", 16), wh("codfor"),     fx("desfor", 45), wh("codgru"),
          tx("desgru"),   wh("codsot"),     tx("dessot"),     wh("codrep"),     fx("desrep", 30),
          mo("cobart"),   mo("cofart"),     mo("cosiva"),     de("ricart"),     de("marg"),
          mo("przart"),   mo("przpub"),     mo("prztot"),     mo("przsal"),     de("quaco"),
          tx("umquaco"),  wh("colore"),     wh("tipart"),     da("datreg"),     da("datagg"),
          wh("annoco"),   wh("fl1art"),     tx("fl2art"),     wh("qinv"),       wh("qacq"),
          wh("qres"),     wh("qven"),       wh("qgia"),       mo("cosmp"),      mo("scopro"),
          mo("przpro"),   mo("scosal"),     mo("valgia"),     wh("q1"),         wh("sq1"),
          wh("q2"),       wh("sq2"),        mo("scomi")},
         {{"primary", {"codart"}, true}}},
        {"listi02",
         {fx("codlis", 6), fx("codafo", 16), wh("codart"), tx("desart"), mo("cobart"), mo("cofart"),
          tx("ivart"), fx("umart", 2), fx("desfor", 45), fx("dsclistino", 45), wh("codfor"),
          da("datval")},
         {{"listi02_codafo", {"codafo", "codlis"}}, {"listi02_codart", {"codart", "codlis"}}}},
        {"variatil",
         {wh("bns"),
          fx("sel", 1),
          wh("codart"),
          fx("ea1art", 13),
          fx("desart", 30),
          fx("umart", 2),
          fx("ivart", 2),
          wh("imbart"),
          tx("ea2art"),
          fx("fl1art", 1),
          tx("fl2art"),
          tx("fl3art"),
          da("datval"),
          wh("colli"),
          wh("tipges"),
          wh("tipart"),
          tx("marchio"),
          de("pezzatura"),
          tx("umconf"),
          fx("desfor", 35),
          wh("codfor"),
          tx("codafo"),
          wh("codrep"),
          fx("desrep", 20),
          wh("codgru"),
          fx("desgru", 30),
          wh("codsot"),
          fx("dessot", 30),
          mo("przart"),
          mo("przvec"),
          mo("coston"),
          de("perc"),
          de("rica"),
          mo("prezpub"),
          mo("prezpubv"),
          de("percdiff"),
          fx("offerta", 10),
          mo("prezoff"),
          da("datagg"),
          fx("variati", 1),
          fx("modificatoamano", 1)},
         {{"variatil_bns", {"bns"}},
          {"variatil_codart", {"codart"}},
          {"variatil_codfor", {"codfor"}}}},
        {"parametri",
         {tx("tipo"), wh("acos"), wh("aric"), wh("apv"), wh("creart"), wh("cliente"), wh("tiposel"),
          wh("codpag"), wh("cassa")},
         {{"parametri_tipo", {"tipo"}}}},
        {"fornitori",
         {wh("codfornitore"), tx("dscfornitore")},
         {{"fornitori_codfornitore", {"codfornitore"}}}},
        {"gruppi",
         {wh("codgru"), tx("dscgruppo"), wh("codrep"), wh("escgruppo")},
         {{"codgru", {"codgru"}}}},
        sottogruppiTable(),
        {"reparti",
         {wh("reparto"), fx("descrizione", 30), fx("tx", 1)},
         {{"reparto", {"reparto"}}}},
        {"unitam", {fx("coduni", 2), de("fatxmul"), tx("umrife")}, {{"coduni", {"coduni"}}}},
        {"fistini",
         {fx("codlis", 6), fx("dsclistino", 20), da("datval")},
         {{"codlis", {"codlis"}}}},
    };
}

std::vector<TableDef> fixedTables() {
    TableDef articolo{
        "articolo",
        {wh("codart"),        tx("desart"),     fx("umart", 2), mo("przart"), mo("przpub"),
         fx("ivart", 2),      wh("imbart"),     tx("ea2art"),   tx("fl2art"), tx("fl3art"),
         fx("artvariato", 1), fx("ea1art", 13), wh("codgru"),   wh("codsot"), tx("umconf"),
         da("datval"),        wh("colli"),      wh("tipges"),   wh("tipart"), tx("marchio"),
         de("pezzatura"),     wh("codrep"),     tx("desfor"),   tx("desgru"), tx("dessot")},
        {{"articolo_codart", {"codart"}, true}, {"articolo_artvariato", {"artvariato"}}}};
    TableDef gruppi{"gruppi",
                    {wh("codice"), tx("descrizione"), de("ricarica")},
                    {{"gruppi_codice", {"codice"}}}};
    return {articolo, codeanTable(), sottogruppiTable(), gruppi};
}

std::vector<TableDef> suiteTables() {
    return {{"società", {wh("codute"), tx("database")}, {}}};
}

}  // namespace

const FieldDef* TableDef::field(const std::string& n) const {
    for (const auto& f : fields)
        if (std::equal(f.name.begin(), f.name.end(), n.begin(), n.end(),
                       [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
            return &f;
    return nullptr;
}

const std::vector<TableDef>& schemaOf(DatabaseKind kind) {
    static const std::vector<TableDef> store = storeTables();
    static const std::vector<TableDef> fixed = fixedTables();
    static const std::vector<TableDef> suite = suiteTables();
    switch (kind) {
        case DatabaseKind::Store:
            return store;
        case DatabaseKind::FixedArticles:
            return fixed;
        case DatabaseKind::Suite:
            return suite;
    }
    return store;
}

const TableDef& tableDef(DatabaseKind kind, const std::string& table) {
    for (const auto& t : schemaOf(kind))
        if (t.name == table) return t;
    throw Error("Tabella sconosciuta: " + table);
}

std::string createTableSql(const Database& db, const TableDef& table, const std::string& schema) {
    std::string sql =
        "CREATE TABLE " + schema + "." + quoteName(table.name) + " (" + db.rowIdentityColumn();
    for (size_t i = 0; i < table.fields.size(); ++i) {
        if (i) sql += ", ";
        sql += quoteName(table.fields[i].name) + " " + db.columnType(table.fields[i].type);
    }
    // The tables an update rewrites row by row: articles, barcodes, supplier lists.
    const bool rewritten =
        table.name == "listi01" || table.name == "codean" || table.name == "listi02";
    return sql + ")" + db.tableOptions(rewritten);
}

std::vector<std::string> createIndexSql(const Database& db, const TableDef& table,
                                        const std::string& schema) {
    std::vector<std::string> out;
    for (const auto& idx : table.indexes)
        out.push_back(db.createIndexSql(schema, idx.name, table.name, idx.fields, idx.unique));
    return out;
}

void createTables(Database& db, DatabaseKind kind, const std::string& schema) {
    for (const auto& t : schemaOf(kind)) {
        db.exec(createTableSql(db, t, schema));
        for (const auto& s : createIndexSql(db, t, schema)) db.exec(s);
    }
}

void createDatabase(const std::string& file, DatabaseKind kind) {
    if (std::filesystem::exists(file))
        throw Error("Attenzione ... Il file " + file + " esiste già: non viene sovrascritto.");
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    // Built beside the target and moved into place, so that a half-made file never appears.
    std::string temp = file + ".tmp-init";
    std::filesystem::remove(temp);
    try {
        auto owned = openDatabase(temp, OpenMode::Create);
        Database& db = *owned;
        Transaction tx(db);
        createTables(db, kind, "main");
        db.setUserVersion(kSchemaVersion);
        tx.commit();
    } catch (...) {
        std::filesystem::remove(temp);
        throw;
    }
    std::filesystem::rename(temp, file);
}

void validateSchema(Database& db, DatabaseKind kind, const std::string& schema,
                    const std::string& shownFile) {
    const std::string file = shownFile.empty() ? db.where() : shownFile;
    for (const auto& t : schemaOf(kind)) {
        if (!db.tableExists(t.name, schema))
            throw Error("Attenzione ... Nel " + describe(kind) + " " + file +
                            " manca la tabella \"" + t.name + "\".",
                        ErrorKind::Corrupt);
        auto cols = db.columns(t.name, schema);
        for (const auto& f : t.fields) {
            bool found = std::any_of(cols.begin(), cols.end(), [&](const std::string& c) {
                return std::equal(
                    c.begin(), c.end(), f.name.begin(), f.name.end(),
                    [](char a, char b) { return std::tolower(a) == std::tolower(b); });
            });
            if (!found)
                throw Error("Attenzione ... Nel " + describe(kind) + " " + file +
                                " manca il campo \"" + f.name + "\" della tabella \"" + t.name +
                                "\".",
                            ErrorKind::Corrupt);
        }
    }
}

std::string describe(DatabaseKind kind) {
    switch (kind) {
        case DatabaseKind::Store:
            return "database del negozio";
        case DatabaseKind::FixedArticles:
            return "database articoli centrale";
        case DatabaseKind::Suite:
            return "database della suite";
    }
    return "database";
}

}  // namespace cl::store
