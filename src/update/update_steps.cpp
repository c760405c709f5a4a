#include "update/update_steps.h"

#include "app/money.h"
#include "app/numbers.h"
#include "app/percentages.h"
#include "app/row_amounts.h"
#include "store/fixed_text.h"
#include "store/schema.h"
#include "update/creo_art_nuovo.h"

namespace cl::review {

using store::Value;
using Fields = UpdateStore::Fields;

UpdateStore::Fields supplierListFields(const UpdateRun& run, const UpdateRow& row,
                                       long long codiceFornitore) {
    return {{"desart", row.descrizione},
            {"cobart", row.costoN},
            {"cofart", row.costoN},
            {"codafo", row.codiceForn},
            {"ivart", row.iva},
            {"umart", row.um},
            {"desfor", Value(run.nomeFornitore)},
            {"dsclistino", Value(run.nomeFornitore)},
            {"codfor", Value(codiceFornitore)},
            {"datval", Value(run.today)}};
}

namespace {

std::optional<double> numberOrNull(const Value& v) {
    return v.isNull() ? std::nullopt : std::optional<double>(v.number());
}

Value rounded2(std::optional<double> x) {
    return x ? Value(roundHalfEven(*x, 2)) : Value();
}

bool flagOne(const Value& v) {
    return store::trimmed(v.text()) == "1";
}

void costFields(const WorkArea& w, const UpdateRow& row, const Value& stored, Fields& f) {
    f["cobart"] = row.costoN;
    f["cofart"] = row.costoN;
    f["cosiva"] = Value(w.gcosiva);
    auto przpub = numberOrNull(stored);
    if (w.gcosiva != 0)
        f["ricart"] =
            rounded2(przpub ? std::optional(percentChange(w.gcosiva, *przpub)) : std::nullopt);
    if (przpub && *przpub != 0) f["marg"] = rounded2(marginPercent(*przpub, w.gcosiva));
}

void groupFields(UpdateStore& store, const UpdateRow& row, Fields& f) {
    long long codgru = row.codgru.integer(), codsot = row.codsot.integer();
    std::string gruppo, sottogruppo;
    if (codsot != 0) {
        if (auto sub = store.sottogruppo(codsot)) {
            sottogruppo = sub->name;
            codgru = sub->codgru;
        }
    }
    if (codgru != 0) gruppo = store.groupNameOf(codgru).value_or("");
    f["dessot"] = Value(store::fixedWidth(sottogruppo, 30));
    f["codsot"] = Value(codsot);
    f["desgru"] = Value(store::fixedWidth(gruppo, 30));
    f["codgru"] = Value(codgru);
}

void unitFields(UpdateStore& store, const UpdateRow& row, const Value& przpub, Fields& f) {
    double factor = store.fattore(store::fixedWidth(row.um.text(), 2)).value_or(0);
    double pezzatura = row.pezzatura.number();
    if (pezzatura <= 0) return;
    f["quaco"] = row.pezzatura;
    f["umquaco"] = row.umconf;
    if (factor != 0) {
        auto price = numberOrNull(przpub);
        f["prztot"] = rounded2(price ? std::optional(*price / (pezzatura / factor)) : std::nullopt);
    }
}

// The review keeps descriptions cut to its own width. One that is the start of the store's
// longer description is that description cut: writing it would lose the rest (a size, "250 ML").
bool cutsStoreDescription(const Value& review, const std::string& stored) {
    static const size_t width = static_cast<size_t>(
        store::tableDef(store::DatabaseKind::Store, "variatil").field("desart")->width);
    const std::string whole = store::trimmed(stored);
    return store::charCount(whole) > width &&
           store::trimmed(store::firstChars(whole, width)) == store::trimmed(review.text());
}

// Step 7: the article's listi01 record, field by field as the boxes ask.
void updateArticleRow(UpdateRun& run, UpdateStore& store, const UpdateRow& row, WorkArea& w,
                      long long code) {
    auto art = store.articolo(code);
    if (!art) {
        w.gcodart = code;
        run.createdInFirstPass.insert(row.bns.integer());
        creo_art_nuovo(run, store, row, w);
        return;
    }
    const UpdateSettings& s = run.settings;
    Fields f;
    // The price the record keeps after this row: the markup and margin the cost step writes
    // belong to it, never to a price the store no longer has.
    const bool newPrice = s.kpre && writesPrice(run, row);
    const Value przpub = newPrice ? row.prezzoN : art->extra;
    if (s.kcos) costFields(w, row, przpub, f);
    if (s.aimb) f["imbart"] = row.imbart;
    if (s.kpre) {
        if (newPrice) f["przpub"] = przpub;
        if (!row.tipart.isNull() && row.tipart.number() == 2) f["colore"] = Value(5);
    }
    if (s.AggDes) {
        if (!cutsStoreDescription(row.descrizione, store.articleDescription(code)))
            f["desart"] = row.descrizione;
        f["descas"] = Value(store::firstChars(row.descrizione.text(), 30));
    }
    if (s.kric) {
        f["marg"] = row.marN;
        if (w.gcosiva != 0) f["ricart"] = rounded2(percentChange(w.gcosiva, row.prezzoN.number()));
    }
    if (s.AggRep && row.codrep.integer() != 0) {
        if (auto name = store.reparto(row.codrep.integer())) {
            f["desrep"] = Value(store::fixedWidth(*name, 30));
            f["codrep"] = row.codrep;
        }
    }
    if (s.gruppiM) groupFields(store, row, f);
    if (s.umeum) unitFields(store, row, przpub, f);
    if (s.codiceIva) f["ivart"] = Value(formatNumber(static_cast<double>(w.iva), "00"));
    if (s.aggcodafo) f["codafo"] = Value(w.gcodafo);
    f["datagg"] = Value(run.today);
    f["codfor"] = Value(w.codiceFornitore);
    f["desfor"] = Value(run.nomeFornitore);
    store.edit("listi01", art->row, f);
}

// Step 8. False when a new barcode row was added (the supplier-list step is then not done).
bool updateBarcodeRow(UpdateRun& run, UpdateStore& store, const UpdateRow& row, WorkArea& w,
                      long long& code) {
    const UpdateSettings& s = run.settings;
    auto found = store.barcode(w.gean);
    if (!found) {
        // The article's sale price as stored after this row's update.
        auto art = store.articolo(code);
        Value price = art ? art->extra : Value(0);
        Fields f{{"eanare", Value(w.gean)},
                 {"codare", Value(code)},
                 {"desart", Value(store::firstChars(row.descrizione.text(), 35))},
                 {"desfor", Value(store::firstChars(run.nomeFornitore, 35))},
                 {"codafo", row.codiceForn},
                 {"aggi", Value("A")},
                 {"pezzix", Value(1)},
                 {"prezzo", price},
                 {"prezzox", price},
                 {"neti", Value(1)},
                 {"primasecon", Value("P")}};
        if (!s.noinvio) f["flagean"] = Value("S");
        store.add("codean", f);
        return false;
    }
    code = found->codart.integer();
    bool price = s.kpre && writesPrice(run, row);
    for (const auto& b : store.barcodesOf(code)) {
        Fields f;
        long long pieces = b.pezzix.integer();
        if (pieces == 0) f["pezzix"] = Value(pieces = 1);
        if (price && store::trimmed(b.aggi) == "A") {
            f["prezzo"] = row.prezzoN;
            f["prezzox"] = Value((moneyOf(row.prezzoN) * Money::fromInt(pieces)).toDouble());
            if (!s.noinvio) f["flagean"] = Value("S");
            f["neti"] = Value(1);
        }
        if (s.aggcodafo) f["codafo"] = row.codiceForn;
        if (!f.empty()) store.edit("codean", b.row, f);
    }
    return true;
}

// Step 9: the supplier list row of the supplier article code.
void updateSupplierListRow(UpdateRun& run, UpdateStore& store, const UpdateRow& row,
                           const WorkArea& w, long long code) {
    if (store::trimmed(w.gcodafo).empty() || w.codiceFornitore == 0) return;
    auto found = store.supplierByTrimmedCode(w.gcodafo, run.codiceLis);
    Fields f = supplierListFields(run, row, w.codiceFornitore);
    if (found) {
        store.edit("listi02", found->row, f);
    } else {
        f["codart"] = Value(code);
        f["codlis"] = Value(run.codiceLis);
        store.add("listi02", f);
    }
}

bool escluso(UpdateRun& run, UpdateStore& store, const UpdateRow& row, bool count) {
    if (!store.isGroupExcluded(row.codgru.integer())) return false;
    if (count) {
        run.progress.setCount("cntew", ++run.result.esclusi);
        run.progress.setText("eanew", row.ean.text());
        run.progress.setText("desew", row.descrizione.text());
    }
    return true;
}

void nonScritta(UpdateRun& run, const UpdateRow& row, RowFate fate) {
    run.result.unwritten.push_back(unwrittenRowOf(row, fate));
}

}  // namespace

bool writesPrice(const UpdateRun& run, const UpdateRow& row) {
    return !isToday(row.datagg, run.today) || flagOne(row.modificatoamano);
}

RowFate rowFate(const UpdateRun& run, UpdateStore& store, const UpdateRow& row, long long& code) {
    code = 0;
    // A price of 0 or less (or none) is never written.
    if (row.prezzoN.number() <= 0) return RowFate::PriceNotPositive;
    if (store.isGroupExcluded(row.codgru.integer())) return RowFate::GroupExcluded;
    WorkArea w = freshWorkArea(run, row);
    code = row.codart.integer();
    if (w.codiceFornitore != 0 && code == 0) {
        if (auto linked = store.supplierByTrimmedCode(w.gcodafo, run.codiceLis))
            code = linked->codart.integer();
    }
    if (code == 0) return run.settings.kcrea ? RowFate::Create : RowFate::CreationOff;
    // An article code without a price-list record becomes a new article too.
    return store.articolo(code) ? RowFate::Update : RowFate::Create;
}

std::string unwrittenReason(RowFate fate) {
    switch (fate) {
        case RowFate::PriceNotPositive:
            return "prezzo nuovo 0 o negativo";
        case RowFate::GroupExcluded:
            return "gruppo merceologico escluso";
        case RowFate::CreationOff:
            return "articolo nuovo, \"Crea Articoli nuovi\" non spuntato";
        default:
            return "";
    }
}

UnwrittenRow unwrittenRowOf(const UpdateRow& row, RowFate fate) {
    return {store::trimmed(row.ean.text()), store::trimmed(row.descrizione.text()),
            unwrittenReason(fate)};
}

UpdateStore::BlockKeys blockKeys(const UpdateRun& run, const std::vector<UpdateRow>& block) {
    UpdateStore::BlockKeys keys;
    keys.codlis = run.codiceLis;
    for (const UpdateRow& row : block) {
        const WorkArea w = freshWorkArea(run, row);
        if (long long code = row.codart.integer(); code != 0) keys.codes.push_back(code);
        if (w.gean != kNoEan) keys.eans.push_back(w.gean);
        keys.supplierCodes.push_back(w.gcodafo);
        // A new article looks its supplier row up by the code in the form it keeps.
        if (row.codart.integer() == 0)
            keys.supplierCodes.push_back(supplierArticleCode(row.codiceForn));
    }
    return keys;
}

void firstPass(UpdateRun& run, UpdateStore& store, const UpdateRow& row) {
    long long code = 0;
    RowFate fate = rowFate(run, store, row, code);
    if (fate == RowFate::PriceNotPositive) return nonScritta(run, row, fate);
    // An absurd price left in the review stops the whole update rather than reach the list.
    if (std::string why = salePriceRefusal(row.prezzoN.number()); !why.empty())
        throw AmountError(why);
    if (fate == RowFate::GroupExcluded) {
        escluso(run, store, row, true);
        return nonScritta(run, row, fate);
    }
    WorkArea w = freshWorkArea(run, row);
    if (fate == RowFate::CreationOff) nonScritta(run, row, fate);
    if (run.settings.kcrea && code == 0) {
        run.progress.setCount("cntcw", ++run.result.creati);
        creo_art_nuovo(run, store, row, w);
        return;
    }
    run.progress.setCount("cntaw", ++run.result.aggiornati);
    run.progress.setText("eanaw", row.ean.text());
    run.progress.setText("desaw", row.descrizione.text());
    if (code != 0) {
        updateArticleRow(run, store, row, w, code);
        if (w.gean != kNoEan && !updateBarcodeRow(run, store, row, w, code)) return;
    }
    updateSupplierListRow(run, store, row, w, code);
}

void secondPass(UpdateRun& run, UpdateStore& store, const UpdateRow& row) {
    long long code = row.codart.integer();
    if (code == 0 || !run.settings.aggcodafo) return;
    if (escluso(run, store, row, false)) return;
    if (run.createdInFirstPass.count(row.bns.integer())) return;
    WorkArea w = freshWorkArea(run, row);
    if (!store.articleHasSupplierCode(code, store::trimmed(w.gcodafo)))
        creo_art_nuovo_forni(run, store, row, w);
}

}  // namespace cl::review
