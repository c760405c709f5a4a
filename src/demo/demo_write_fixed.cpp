#include "app/numbers.h"
#include "demo/demo_catalog.h"
#include "demo/demo_write.h"
#include "store/fixed_text.h"
#include "store/schema.h"

namespace cl::demo {

namespace {

using store::fixedWidth;
using store::Value;

void writeGroups(store::Database& db) {
    RowInserter groups(db, "gruppi", {"codice", "descrizione", "ricarica"});
    for (const auto& g : demoGroups())
        groups.row({g.code, g.name, g.markup < 0 ? Value() : Value(g.markup)});
    RowInserter subgroups(db, "sottogruppi", {"codsot", "descrizione", "codgru"});
    for (const auto& s : demoSubgroups()) subgroups.row({s.code, s.name, s.group});
}

// The barcodes the central catalogue knows: the store's own, or its own one for a product the
// store has no barcode for.
std::vector<DemoBarcode> centralBarcodes(const DemoArticle& a) {
    if (!a.barcodes.empty()) return a.barcodes;
    DemoBarcode b;
    b.ean = a.centralEan;
    return {b};
}

void writeArticle(RowInserter& articolo, const DemoArticle& a) {
    const auto& sub = subgroupByCode(a.subgroup);
    auto codes = centralBarcodes(a);
    articolo.row({a.centralCode,
                  a.description,
                  a.unit,
                  money(a.centralCost),
                  money(a.centralPrice),
                  formatNumber(a.vat, "00"),
                  a.pack,
                  codes.size() > 1 ? codes[1].ean : "",
                  "",
                  "",
                  a.marked ? "S" : "",
                  codes.front().ean,
                  a.group,
                  a.subgroup,
                  a.contentUnit,
                  a.validFrom,
                  1,
                  1,
                  a.weighed ? 2 : 1,
                  a.brand,
                  a.content,
                  a.department,
                  supplierByCode(a.supplier).name,
                  groupOf(sub).name,
                  sub.name});
}

void writeBarcodes(RowInserter& codean, const DemoArticle& a) {
    const std::string& supplier = supplierByCode(a.supplier).name;
    for (const auto& b : centralBarcodes(a)) {
        codean.row({b.ean, a.centralCode, fixedWidth(a.description, 35), fixedWidth(supplier, 35),
                    fixedWidth(a.supplierCode, 16), money(a.centralPrice), b.pieces,
                    money(a.centralPrice * Money::fromInt(b.pieces)), "A", 1, Value(),
                    b.primary ? Value("P") : Value(), b.ean[0] == '2' ? 5 : 1, 0});
    }
}

}  // namespace

void writeFixedDatabase(const std::filesystem::path& file, const DemoModel& model,
                        Progress& progress) {
    store::createDatabase(file.string(), store::DatabaseKind::FixedArticles);
    auto dbConnection = store::openDatabase(file);
    store::Database& db = *dbConnection;
    store::Transaction tx(db);
    writeGroups(db);
    RowInserter articolo(db, "articolo", {"codart",     "desart", "umart",  "przart", "przpub",
                                          "ivart",      "imbart", "ea2art", "fl2art", "fl3art",
                                          "artvariato", "ea1art", "codgru", "codsot", "umconf",
                                          "datval",     "colli",  "tipges", "tipart", "marchio",
                                          "pezzatura",  "codrep", "desfor", "desgru", "dessot"});
    RowInserter codean(db, "codean",
                       {"eanare", "codare", "desart", "desfor", "codafo", "prezzo", "pezzix",
                        "prezzox", "aggi", "neti", "flagean", "primasecon", "colare", "even"});
    const size_t total = model.articles.size();
    for (size_t i = 0; i < total; ++i) {
        const DemoArticle& a = model.articles[i];
        if (a.centralCode) {
            writeArticle(articolo, a);
            writeBarcodes(codean, a);
        }
        if (i % 1024 == 0) progress.setBar(static_cast<int>(i * 20000 / total));
    }
    tx.commit();
}

}  // namespace cl::demo
