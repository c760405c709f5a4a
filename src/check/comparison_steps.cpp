#include "check/comparison_steps.h"

#include "app/percentages.h"
#include "app/price_rounding.h"
#include "app/row_amounts.h"
#include "check/pricing.h"
#include "store/fixed_text.h"

namespace cl::check {

const std::string& walkColumns() {
    static const std::string columns =
        "a.codart, a.desart, a.przart, a.przpub, a.ivart, a.umart, a.desfor, a.desgru, a.codgru, "
        "a.codsot, a.dessot, a.imbart, a.ea2art, a.datval, a.colli, a.tipges, a.tipart, "
        "a.marchio, a.pezzatura, a.umconf, a.ea1art, a.fl2art, a.fl3art, a.codrep";
    return columns;
}

std::string walkOrder() {
    // Empty fields first on every engine. A central code is unique and so is a barcode; rows
    // still alike (two barcodes left empty) give the same comparison in either order.
    return " ORDER BY a.desart NULLS FIRST, a.codart NULLS FIRST, c.eanare NULLS FIRST";
}

WalkRow readWalkRow(const store::Query& st) {
    WalkRow r;
    store::Value* fields[] = {&r.codart,    &r.desart, &r.przart, &r.przpub, &r.ivart,  &r.umart,
                              &r.desfor,    &r.desgru, &r.codgru, &r.codsot, &r.dessot, &r.imbart,
                              &r.ea2art,    &r.datval, &r.colli,  &r.tipges, &r.tipart, &r.marchio,
                              &r.pezzatura, &r.umconf, &r.ea1art, &r.fl2art, &r.fl3art, &r.codrep};
    int i = 0;
    for (auto* f : fields) *f = st.value(i++);
    if (st.columnCount() > i) r.eanare = st.value(i).text();
    return r;
}

ComparisonSteps::ComparisonSteps(RunContext& ctx, ComparisonKind kind) : ctx_(ctx), kind_(kind) {
    codice_lis = zeroPadded(ctx.app.codice_fornitore, 6);
}

void ComparisonSteps::lookupGroups(Working& w) {
    if (auto* g = ctx_.lookups.subgroupGroup(w.codice_sottogruppo)) w.codice_gruppo = *g;
    if (auto* g = ctx_.lookups.storeGroup(w.codice_gruppo)) {
        if (!g->codrep.isNull()) w.codice_reparto = g->codrep.integer();
        if (!g->dscgruppo.isNull()) w.descr_gruppo = store::fixedWidth(g->dscgruppo.text(), 30);
    }
    if (auto* d = ctx_.lookups.department(w.codice_reparto))
        w.descr_reparto = store::fixedWidth(d->descrizione, 30);
}

void ComparisonSteps::searchStore(Working& w, const WalkRow& r, const std::string& barcode,
                                  const std::string& codafoText) {
    if (auto found = ctx_.lookups.barcode(barcode)) {
        w.codice_art = found->codare;
        w.venduto = found->even;
        return;
    }
    w.stato = store::fixedWidth("*** NUOVO", 10);
    auto codart = r.codafo ? ctx_.lookups.supplierListCode(codafoText, codice_lis)
                           : ctx_.lookups.supplierListArticle(codafoText, codice_lis);
    if (codart) {
        w.codice_art = *codart;
        return;
    }
    // A code a spreadsheet stripped of its leading zeros is the stored one it can only be;
    // with two it could be, the row is not guessed.
    if (r.codafo && fromSupplierFile) {
        auto stored = ctx_.lookups.codesWithoutZeros(*r.codafo, codice_lis);
        if (stored.size() == 1) {
            w.codice_art = stored[0].codart;
            w.codiceListino = stored[0].codafo;
            return;
        }
        if (stored.size() > 1) {
            leftOut = "codice «" + *r.codafo + "» senza gli zeri iniziali: può essere «" +
                      store::trimmed(stored[0].codafo) + "» o «" +
                      store::trimmed(stored[1].codafo) + "»";
            return;
        }
    }
    w.descrizione = store::fixedWidth(r.desart.text(), 50);
    w.unita = r.umart.text();
    w.nome_fornitore = store::fixedWidth(r.desfor.text(), 45);
}

void ComparisonSteps::readPriceRow(Working& w) {
    w.ricarica = Money::fromDouble(ctx_.defaultMarkup);
    price_.reset();
    if (w.codice_art == 0) return;
    price_ = ctx_.lookups.priceRow(w.codice_art);
    if (!price_) return;
    const PriceRow& p = *price_;
    if (!p.ricart.isNull()) {
        w.storeMarkup = true;
        w.ricarica = moneyOf(p.ricart);
        if (!p.marg.isNull()) w.margine_vecchio = p.marg.number();
    }
    w.prezzo_vecchio = moneyOf(p.przpub);
    w.costo_vecchio = moneyOf(p.cofart);
    w.unita = p.umart;
    if (kind_ == ComparisonKind::Changed) {
        if (!p.datagg.isNull()) w.data_agg = p.datagg;
    } else {
        // A store row without a description keeps the central one.
        if (!store::trimmed(p.desart).empty()) w.descrizione = store::fixedWidth(p.desart, 50);
        if (!p.desfor.empty()) w.nome_fornitore = store::fixedWidth(p.desfor, 45);
    }
    if (!moneyOf(p.przsal).isZero()) {
        w.stato = store::fixedWidth("OFFERTA", 10);
        w.prezzo_offerta = moneyOf(p.przsal);
    }
}

std::optional<WalkRow> ComparisonSteps::withStoreVat(const WalkRow& r) {
    if (!fromSupplierFile || !r.ivart.isNull()) return r;
    if (price_ && !store::trimmed(price_->ivart.text()).empty()) {
        WalkRow out = r;
        out.ivart = store::Value(store::trimmed(price_->ivart.text()));
        return out;
    }
    leftOut = price_ ? "manca l'aliquota IVA, nel file e nell'articolo del negozio"
                     : "manca l'aliquota IVA di un articolo nuovo";
    return std::nullopt;
}

void ComparisonSteps::computePrice(Working& w, const WalkRow& r) {
    w.costo_nuovo = moneyOf(r.przart);
    checkAmount(w.costo_nuovo, "Costo");
    if (!r.przpub.isNull()) w.prezzo_nuovo = moneyOf(r.przpub);
    checkAmount(w.prezzo_nuovo, "Prezzo al pubblico");
    if (!r.ivart.isNull()) w.aliquota = store::firstChars(r.ivart.text(), 2);
    if (ctx_.screen.markup != MarkupSource::NewOnly) {
        w.descr_gruppo = store::fixedWidth(r.desgru.text(), 30);
        auto group = ctx_.lookups.centralGroupMarkup(w.codice_gruppo);
        if (!group)
            w.ricarica = Money::fromDouble(ctx_.defaultMarkup);
        else if (*group)
            w.ricarica = Money::fromDouble(**group);
        // The run over changed articles never marks up by more than 100 %.
        if (kind_ == ComparisonKind::Changed && w.ricarica > Money::fromInt(100))
            w.ricarica = Money::fromInt(100);
    }
    w.costo_nuovo = calculatedPrice(w.costo_nuovo, w.ricarica, vatRate(w.aliquota));
    if (ctx_.rounding) w.costo_nuovo = roundToFiveCents(w.costo_nuovo);
    checkAmount(w.costo_nuovo, "Prezzo calcolato");
}

void ComparisonSteps::countExamined() {
    ++counts.examined;
    ctx_.progress.setCount("cntw", counts.examined);
}

void ComparisonSteps::computeVariation(Working& w, const WalkRow& r) {
    if (ctx_.screen.reference == Reference::Cost) {
        if (!r.przart.isNull()) {
            Money cost = moneyOf(r.przart);
            if (!w.costo_vecchio.isZero()) w.diff_costo = cost - w.costo_vecchio;
            w.variazione = variationPercent(cost, w.costo_vecchio);
        }
    } else {
        Money q = w.prezzo_nuovo.isZero() ? w.costo_nuovo : w.prezzo_nuovo;
        w.variazione = variationPercent(q, w.prezzo_vecchio);
    }
    ctx_.app.tipo_filtro = 0;
}

bool ComparisonSteps::passesFilters(const Working& w) const {
    ComparedRow row{w.variazione, store::trimmed(w.stato) == "*** NUOVO", w.venduto,
                    w.diff_costo.toDouble()};
    return passesComparisonFilters(ctx_.screen.filters(), ctx_.limit, row);
}

bool ComparisonSteps::departmentExcluded(Working& w) {
    if (w.codice_art != 0) {
        w.codice_reparto = 1;
        if (price_ && !price_->codrep.isNull()) w.codice_reparto = price_->codrep.integer();
    }
    auto* d = ctx_.lookups.department(w.codice_reparto);
    return d && store::trimmed(d->tx) == "N";
}

void ComparisonSteps::write(Working& w, const WalkRow& r, const std::string& barcode) {
    const bool changed = kind_ == ComparisonKind::Changed;
    if (auto* g = ctx_.lookups.storeGroup(w.codice_gruppo)) {
        if (w.codice_reparto == 0) w.codice_reparto = g->codrep.isNull() ? 2 : g->codrep.integer();
        w.descr_gruppo = store::fixedWidth(g->dscgruppo.text(), 30);
    }
    if (auto* d = ctx_.lookups.department(w.codice_reparto))
        w.descr_reparto = store::fixedWidth(d->descrizione, 30);
    ++counts.processed;
    ctx_.progress.setCount("bnsw", counts.processed);
    if (changed && departmentExcluded(w)) return;

    VariatilRow v;
    v.codart = w.codice_art;
    v.desart = store::fixedWidth(w.descrizione, 30);
    v.umart = store::fixedWidth(w.unita, 2);
    v.ea1art = store::fixedWidth(barcode, 13);
    v.przart = amountValue(r.przart);
    v.imbart = r.imbart;
    v.ivart = fixedOrNull(r.ivart, 2);
    v.ea2art = r.ea2art;
    v.fl1art = " ";
    v.desfor = store::fixedWidth(w.nome_fornitore, 35);
    v.codfor = ctx_.app.codice_fornitore;
    v.desgru = store::fixedWidth(w.descr_gruppo, 30);
    v.dessot = fixedOrNull(r.dessot, 30);
    v.datval = r.datval;
    if (changed) v.datagg = w.data_agg;
    v.colli = r.colli;
    v.tipges = r.tipges;
    v.tipart = r.tipart;
    v.przvec = amountValue(w.costo_vecchio);
    v.coston = amountValue(r.przart);
    Money cost = moneyOf(r.przart);
    if (!w.costo_vecchio.isZero()) {
        v.percdiff = percentChange(w.costo_vecchio.toDouble(), cost.toDouble());
    } else if (changed) {
        v.percdiff = 100.0;
    }
    v.offerta = store::fixedWidth(w.stato, 10);
    v.prezoff = amountValue(w.prezzo_offerta);
    v.codafo = w.codiceListino ? *w.codiceListino
               : r.codafo      ? *r.codafo
                               : zeroPadded(r.codart.integer(), 9);
    v.marchio = r.marchio;
    v.pezzatura = r.pezzatura;
    v.umconf = r.umconf;
    v.codgru = r.codgru;
    v.codsot = r.codsot;
    v.desrep = store::fixedWidth(w.descr_reparto, 20);
    v.codrep = w.codice_reparto;
    v.perc = w.storeMarkup ? w.margine_vecchio : 0.0;

    Money vat = vatRate(store::firstChars(r.ivart.text(), 2));
    Money prezpubv =
        w.prezzo_nuovo.isZero() ? newPublicPrice(cost, w.ricarica, vat) : w.prezzo_nuovo;
    double rica = newMargin(prezpubv, r.ivart.isNull() ? std::nullopt : std::optional<Money>(vat),
                            r.przart.isNull() ? std::nullopt : std::optional<Money>(cost),
                            ctx_.defaultMarkup);
    if (changed && !ctx_.screen.tut && cost.isZero() && prezpubv.isZero()) return;
    checkAmount(prezpubv, "Prezzo nuovo");
    checkAmount(w.prezzo_vecchio, "Prezzo attuale del negozio");
    checkAmount(w.costo_vecchio, "Costo attuale del negozio");
    checkAmount(w.prezzo_offerta, "Prezzo di offerta del negozio");
    v.rica = rica;
    v.prezpub = amountValue(w.prezzo_vecchio);
    v.prezpubv = amountValue(prezpubv);
    v.bns = counts.processed;
    v.sel = "X";
    ctx_.workRows.add(v);
    ++counts.written;
}

}  // namespace cl::check
