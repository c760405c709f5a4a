#include "update/creo_art_nuovo.h"

#include "app/money.h"
#include "app/numbers.h"
#include "app/percentages.h"
#include "app/row_amounts.h"
#include "report/report_nobarcode.h"
#include "store/fixed_text.h"
#include "update/update_settings.h"

namespace cl::review {

using store::Value;

namespace {

enum class Variant { Nuovo, Forni };

Value unitOf(const Value& um) {
    return store::trimmed(um.text()) == "CT" ? Value("PZ") : um;
}

// Null propagates through the arithmetic, as it does on the field values.
Value rounded2(std::optional<double> x) {
    return x ? Value(roundHalfEven(*x, 2)) : Value();
}

Value timesPieces(const Value& price, const Value& pezzix) {
    if (price.isNull()) return Value();
    long long pieces = pezzix.integer() == 0 ? 1 : pezzix.integer();
    return Value((moneyOf(price) * Money::fromInt(pieces)).toDouble());
}

// Step 4: the supplier-list row; returns the code the list already links to (0: none).
long long supplierListRow(UpdateRun& run, UpdateStore& store, const UpdateRow& row,
                          const WorkArea& work, const std::string& codlis, long long code,
                          Variant variant) {
    auto found = store.supplierByTrimmedCode(work.gcodafo, codlis);
    if (!found) {
        store.add("listi02", {{"codart", Value(code)},
                              {"desart", row.descrizione},
                              {"codlis", Value(codlis)},
                              {"cobart", row.costoN},
                              {"cofart", row.costoN},
                              {"codafo", Value(work.gcodafo)},
                              {"ivart", row.iva},
                              {"umart", unitOf(row.um)},
                              {"desfor", Value(run.nomeFornitore)},
                              {"dsclistino", Value(run.nomeFornitore)},
                              {"codfor", Value(work.codiceFornitore)},
                              {"datval", Value(run.today)}});
        return 0;
    }
    return variant == Variant::Nuovo ? found->codart.integer() : 0;
}

void addArticle(UpdateRun& run, UpdateStore& store, const UpdateRow& row, const WorkArea& work,
                long long code, long long codrep, const std::string& desrep, double fatxmul,
                Variant variant) {
    std::optional<double> price;
    if (!row.prezzoN.isNull()) price = row.prezzoN.number();
    std::optional<double> perUnit, margin;
    double pezzatura = row.pezzatura.number();
    if (fatxmul != 0 && pezzatura > 0 && price) perUnit = *price / (pezzatura / fatxmul);
    if (work.gcosiva != 0 && price) margin = percentChange(work.gcosiva, *price);
    long long colore = 1;
    if (variant == Variant::Nuovo && work.gean[0] == '2') colore = 5;
    if (!row.tipart.isNull() && row.tipart.number() == 2) colore = 5;

    UpdateStore::Fields f{
        {"codart", Value(code)},
        {"desart", row.descrizione},
        {"umart", unitOf(row.um)},
        {"imbart", row.imbart},
        {"ivart", Value(formatNumber(static_cast<double>(vatPercent(row.iva)), "00"))},
        {"codafo", Value(work.gcodafo)},
        {"desfor", Value(run.nomeFornitore)},
        {"codfor", Value(work.codiceFornitore)},
        {"desgru", row.gruppo},
        {"dessot", row.sottogruppo},
        {"codgru", row.codgru},
        {"codsot", row.codsot},
        {"datreg", Value(run.today)},
        {"datagg", Value(run.today)},
        {"przart", row.prezzoN},
        {"quaco", row.pezzatura},
        {"umquaco", row.umconf},
        {"tipart", Value(1)},
        {"annoco", Value(run.year)},
        {"codrep", Value(codrep)},
        {"desrep", Value(desrep)},
        {"descas", Value(store::firstChars(row.descrizione.text(), 30))},
        {"fl1art", Value(0)},
        {"fl2art", Value(" ")},
        {"cobart", row.costoN},
        {"cofart", row.costoN},
        {"przpub", row.prezzoN},
        {"ricart", row.marN},
        {"colore", Value(colore)}};
    for (const char* zero : {"qinv", "qacq", "qres", "qven", "qgia", "cosmp", "scopro", "przpro",
                             "scosal", "valgia", "q1", "sq1", "q2", "sq2", "scomi"})
        f[zero] = Value(0);
    if (perUnit) f["prztot"] = rounded2(perUnit);
    if (work.gcosiva != 0) f["marg"] = rounded2(margin);
    store.add("listi01", f);
}

void barcodeRow(UpdateRun& run, UpdateStore& store, const UpdateRow& row, const WorkArea& work,
                long long code, Variant variant) {
    auto found = store.barcode(work.gean);
    UpdateStore::Fields f;
    if (!found) {
        f = {{"eanare", Value(work.gean)},
             {"codare", Value(code)},
             {"desart", Value(store::firstChars(row.descrizione.text(), 35))},
             {"desfor", Value(store::firstChars(run.nomeFornitore, 35))},
             {"codafo", Value(work.gcodafo)},
             {"aggi", Value("A")},
             {"pezzix", Value(1)},
             {"prezzo", row.prezzoN},
             {"prezzox", timesPieces(row.prezzoN, Value(1))},
             {"neti", Value(1)}};
        if (variant == Variant::Nuovo) {
            f["colare"] = Value(work.gean[0] == '2' ? 5 : 1);
            f["primasecon"] = Value("P");
        }
    } else if (variant == Variant::Nuovo) {
        // The barcode keeps its article; it takes the supplier code and the previous price.
        f = {{"codafo", Value(work.gcodafo)},
             {"prezzo", row.prezzoV},
             {"prezzox", timesPieces(row.prezzoV, found->extra)}};
    } else {
        // Moved over to the new article, with the new price.
        f = {{"codare", Value(code)},
             {"desart", Value(store::firstChars(row.descrizione.text(), 35))},
             {"codafo", Value(work.gcodafo)},
             {"prezzo", row.prezzoN},
             {"prezzox", timesPieces(row.prezzoN, found->extra)}};
    }
    if (!run.settings.noinvio) f["flagean"] = Value("S");
    if (found)
        store.edit("codean", found->row, f);
    else
        store.add("codean", f);
}

bool createArticle(UpdateRun& run, UpdateStore& store, const UpdateRow& row, WorkArea& work,
                   Variant variant) {
    const std::string codlis = formatNumber(static_cast<double>(work.codiceFornitore), "000000");
    long long code =
        work.gcodart != 0 && variant == Variant::Nuovo ? work.gcodart : store.nextFreeCode();
    work.gcodafo = supplierArticleCode(row.codiceForn);
    if (long long linked = supplierListRow(run, store, row, work, codlis, code, variant))
        code = linked;
    run.result.filterCleared = true;

    long long codrep = !row.codrep.isNull() && row.codrep.integer() > 0 ? row.codrep.integer() : 0;
    std::string desrep = store::fixedWidth("", 30);
    if (auto name = store.reparto(codrep))
        desrep = store::fixedWidth(store::firstChars(*name, 30), 30);

    if (!store.supplierListExists(codlis))
        store.add("fistini", {{"dsclistino", Value(store::firstChars(run.nomeFornitore, 20))},
                              {"codlis", Value(codlis)},
                              {"datval", Value(run.today)}});
    double fatxmul = store.fattore(store::fixedWidth(row.um.text(), 2)).value_or(0);

    if (code == 0) {
        run.messages.show("Attenzione....., codice articolo =0", Icon::Critical);
        return false;
    }
    run.progress.setText("codarw", std::to_string(code));
    run.progress.setText("descw", row.descrizione.text());

    const bool created = !store.articolo(code);
    if (created) addArticle(run, store, row, work, code, codrep, desrep, fatxmul, variant);
    if (work.gean == kNoEan) {
        if (variant == Variant::Nuovo && created)
            run.result.noBarcodeLines.push_back(noBarcodeLine(code, row.descrizione.text()));
        return created;
    }
    barcodeRow(run, store, row, work, code, variant);
    return created;
}

}  // namespace

std::string supplierArticleCode(const Value& codiceForn) {
    const std::string written = codiceForn.isNull() ? "" : store::trimmed(codiceForn.text());
    const bool digits =
        !written.empty() && written.find_first_not_of("0123456789") == std::string::npos;
    if (!digits) return store::fixedWidth(written, 16);
    return store::fixedWidth(formatNumber(*localeNumber(written), "000000000"), 16);
}

bool creo_art_nuovo(UpdateRun& run, UpdateStore& store, const UpdateRow& row, WorkArea& work) {
    return createArticle(run, store, row, work, Variant::Nuovo);
}

void creo_art_nuovo_forni(UpdateRun& run, UpdateStore& store, const UpdateRow& row,
                          WorkArea& work) {
    work.gcodart = 0;
    createArticle(run, store, row, work, Variant::Forni);
}

}  // namespace cl::review
