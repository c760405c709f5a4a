#include "app/numbers.h"
#include "demo/demo_catalog.h"
#include "demo/demo_write.h"
#include "store/fixed_text.h"
#include "store/schema.h"

namespace cl::demo {

namespace {

using store::fixedWidth;
using store::Value;

std::string listCode(int supplier) {
    return formatNumber(supplier, "000000");
}

void writeReferenceTables(store::Database& db, const DemoModel& model) {
    RowInserter suppliers(db, "fornitori", {"codfornitore", "dscfornitore"});
    RowInserter headers(db, "fistini", {"codlis", "dsclistino", "datval"});
    for (const auto& s : demoSuppliers()) {
        suppliers.row({s.code, s.name});
        headers.row({listCode(s.code), fixedWidth(s.name, 20), model.today});
    }
    RowInserter departments(db, "reparti", {"reparto", "descrizione", "tx"});
    for (const auto& d : demoDepartments()) departments.row({d.code, fixedWidth(d.name, 30), d.tx});
    RowInserter groups(db, "gruppi", {"codgru", "dscgruppo", "codrep", "escgruppo"});
    for (const auto& g : demoGroups())
        groups.row({g.code, g.name, g.department ? Value(g.department) : Value(), g.excluded});
    RowInserter subgroups(db, "sottogruppi", {"codsot", "descrizione", "codgru"});
    for (const auto& s : demoSubgroups()) subgroups.row({s.code, s.name, s.group});
    RowInserter units(db, "unitam", {"coduni", "fatxmul", "umrife"});
    for (const auto& u : demoUnits()) units.row({u.code, u.multiplier, u.reference});
}

const std::vector<std::string> kListi01Fields{
    "codart", "desart",  "descas", "umart",  "imbart", "ivart",  "codafo", "codfor",
    "desfor", "codgru",  "desgru", "codsot", "dessot", "codrep", "desrep", "cobart",
    "cofart", "cosiva",  "ricart", "marg",   "przart", "przpub", "prztot", "przsal",
    "quaco",  "umquaco", "colore", "tipart", "datreg", "datagg", "annoco", "fl1art",
    "fl2art", "qinv",    "qacq",   "qres",   "qven",   "qgia",   "cosmp",  "scopro",
    "przpro", "scosal",  "valgia", "q1",     "sq1",    "q2",     "sq2",    "scomi"};

void writeArticle(RowInserter& listi01, const DemoArticle& a) {
    const auto& sub = subgroupByCode(a.subgroup);
    const auto& group = groupOf(sub);
    const auto& dept = departmentByCode(a.department);
    const std::string& supplier = supplierByCode(a.supplier).name;
    Money cosiva = withVat(a.cost, a.vat);
    bool inStoreCode = !a.barcodes.empty() && a.barcodes.front().ean[0] == '2';
    long long stock = a.bought - a.sold;
    listi01.row({a.storeCode,
                 a.description,
                 fixedWidth(a.description, 30),
                 a.unit,
                 a.pack,
                 formatNumber(a.vat, "00"),
                 fixedWidth(a.supplierCode, 16),
                 a.supplier,
                 fixedWidth(supplier, 45),
                 a.group,
                 group.name,
                 a.subgroup,
                 sub.name,
                 a.department,
                 fixedWidth(dept.name, 30),
                 money(a.cost),
                 money(a.cost),
                 money(cosiva),
                 a.markup,
                 marginOver(a.price, cosiva),
                 money(a.price),
                 money(a.price),
                 a.unitPrice.isZero() ? Value() : money(a.unitPrice),
                 money(a.offer),
                 a.content,
                 a.contentUnit,
                 (a.weighed || inStoreCode) ? 5 : 1,
                 a.weighed ? 2 : 1,
                 a.registered,
                 dateOrNull(a.updated),
                 std::stoi(a.registered.substr(0, 4)),
                 0,
                 " ",
                 0,
                 a.bought,
                 0,
                 a.sold,
                 stock,
                 money(a.cost),
                 0,
                 0,
                 0,
                 money(a.cost * Money::fromInt(stock)),
                 0,
                 0,
                 0,
                 0,
                 0});
}

void writeBarcodes(RowInserter& codean, const DemoArticle& a) {
    const std::string& supplier = supplierByCode(a.supplier).name;
    for (const auto& b : a.barcodes) {
        codean.row({b.ean, a.storeCode, fixedWidth(a.description, 35), fixedWidth(supplier, 35),
                    fixedWidth(a.supplierCode, 16), money(a.price), b.pieces,
                    money(a.price * Money::fromInt(b.pieces)), "A", 1,
                    b.flagged ? Value("S") : Value(), b.primary ? Value("P") : Value(),
                    b.ean[0] == '2' ? 5 : 1, b.sold});
    }
}

void writeListRow(RowInserter& listi02, const DemoArticle& a) {
    const std::string& supplier = supplierByCode(a.supplier).name;
    // Lists imported from elsewhere may hold the code unpadded; the program writes it padded.
    std::string code = a.paddedListCode ? fixedWidth(a.supplierCode, 16) : a.supplierCode;
    listi02.row({listCode(a.supplier), code, a.storeCode, a.description, money(a.cost),
                 money(a.cost), std::to_string(a.vat), a.unit, fixedWidth(supplier, 45),
                 fixedWidth(supplier, 45), a.supplier,
                 a.updated.empty() ? a.registered : a.updated});
}

}  // namespace

void writeStoreDatabase(const std::filesystem::path& file, const DemoModel& model,
                        Progress& progress) {
    store::createDatabase(file.string(), store::DatabaseKind::Store);
    auto dbConnection = store::openDatabase(file);
    store::Database& db = *dbConnection;
    store::Transaction tx(db);
    writeReferenceTables(db, model);
    RowInserter listi01(db, "listi01", kListi01Fields);
    RowInserter codean(db, "codean",
                       {"eanare", "codare", "desart", "desfor", "codafo", "prezzo", "pezzix",
                        "prezzox", "aggi", "neti", "flagean", "primasecon", "colare", "even"});
    RowInserter listi02(db, "listi02",
                        {"codlis", "codafo", "codart", "desart", "cobart", "cofart", "ivart",
                         "umart", "desfor", "dsclistino", "codfor", "datval"});
    const size_t total = model.articles.size();
    for (size_t i = 0; i < total; ++i) {
        const DemoArticle& a = model.articles[i];
        if (a.storeCode) {
            writeArticle(listi01, a);
            writeBarcodes(codean, a);
            writeListRow(listi02, a);
        }
        if (i % 1024 == 0) progress.setBar(static_cast<int>(i * 20000 / total));
    }
    // The wholesaler is remembered, so the check starts by itself on the demo.
    RowInserter(db, "parametri",
                {"tipo", "acos", "aric", "apv", "creart", "cliente", "tiposel", "codpag", "cassa"})
        .row({"01L", 1, 0, 1, 1, kWholesaler, 4, 0, 0});
    tx.commit();
}

}  // namespace cl::demo
