#include <unordered_map>
#include <unordered_set>

#include "app/percentages.h"
#include "app/price_rounding.h"
#include "app/row_amounts.h"
#include "check/comparison_steps.h"
#include "check/key_groups.h"
#include "check/pricing.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl::check {

namespace {

bool blank(const store::Value& v) {
    return v.isNull() || (v.isText() && store::trimmed(v.text()).empty());
}

// What the barcode check reads of the store article (each row starts afresh).
struct StoreSide {
    Money markup, oldPrice, oldCost, offer;
    double margin = 0;
    bool hasMarkup = false;
    std::string description, unit, supplier, group, subgroup, status;
    store::Value lastUpdate;
};

StoreSide readStoreSide(RunContext& ctx, long long codice_art) {
    StoreSide s;
    auto p = ctx.lookups.priceRow(codice_art);
    // Without a sale-list row (or its markup) the article is priced with the run's markup of 30.
    s.markup = Money::fromInt(30);
    if (!p) return s;
    if (!blank(p->ricart)) {
        s.hasMarkup = true;
        s.markup = moneyOf(p->ricart);
        if (!blank(p->marg))
            s.margin = p->marg.number();
        else
            ctx.messages.show(
                "ATTENZIONE !!!. Articolo " + std::to_string(codice_art) + " senza margine ...",
                Icon::Information);
    }
    s.oldPrice = moneyOf(p->przpub);
    s.oldCost = moneyOf(p->cofart);
    s.description = p->desart;
    s.unit = p->umart;
    s.supplier = p->desfor;
    s.group = p->desgru;
    s.subgroup = p->dessot;
    if (!moneyOf(p->przsal).isZero()) {
        s.status = "OFFERTA";
        s.offer = moneyOf(p->przsal);
    }
    if (!blank(p->datagg)) s.lastUpdate = p->datagg;
    return s;
}

// The amounts were checked when the row passed the filters.
void writeBarcodeRow(RunContext& ctx, const WalkRow& r, long long codice_art, const StoreSide& s,
                     long long bns) {
    VariatilRow v;
    v.codart = codice_art;
    v.desart = store::fixedWidth(s.description, 30);
    v.umart = store::fixedWidth(s.unit, 2);
    v.ea1art = store::fixedWidth(r.eanare, 13);
    v.przart = r.przart.isNull() ? r.przart : amountValue(moneyOf(r.przart));
    v.imbart = r.imbart;
    v.ivart = fixedOrNull(r.ivart, 2);
    v.ea2art = r.ea2art;
    v.fl1art = " ";
    v.fl2art = r.fl2art;
    v.fl3art = r.fl3art;
    v.desfor = store::fixedWidth(s.supplier, 35);
    v.codfor = ctx.app.codice_fornitore;  // so that the review, which selects by supplier, shows it
    v.desgru = store::fixedWidth(s.group, 30);
    v.dessot = store::fixedWidth(s.subgroup, 30);
    v.datval = r.datval;
    v.datagg = s.lastUpdate;
    v.colli = r.colli;
    v.tipges = r.tipges;
    v.tipart = r.tipart;
    v.przvec = amountValue(s.oldCost);
    v.coston = v.przart;
    v.offerta = store::fixedWidth(s.status, 10);
    v.prezoff = amountValue(s.offer);
    v.codafo = zeroPadded(r.codart.integer(), 6);
    v.marchio = r.marchio;
    v.pezzatura = r.pezzatura;
    v.codrep = !r.codrep.isNull() && r.codrep.integer() == 999 ? store::Value(0) : r.codrep;
    v.perc = s.hasMarkup ? s.margin : 0.0;
    v.rica = s.margin;
    v.prezpub = amountValue(s.oldPrice);
    v.prezpubv = amountValue(moneyOf(r.przpub));
    v.bns = bns;
    ctx.workRows.add(v);
}

// The central articles of a block's written rows, by their identity, in a few statements.
std::unordered_map<long long, WalkRow> centralArticles(store::Database& db,
                                                       const std::vector<long long>& ids) {
    std::unordered_map<long long, WalkRow> out;
    auto st = db.prepare("SELECT " + walkColumns() + ", a." + db.rowIdentity() +
                         " FROM fisso.articolo a WHERE a." + db.rowIdentity() + " IN (" +
                         keyMarks() + ")");
    forKeyGroups(st, ids, [&](const store::Query& q) {
        WalkRow r = readWalkRow(q);
        out.emplace(q.value(q.columnCount() - 1).integer(), std::move(r));
    });
    for (long long id : ids)
        if (!out.count(id))
            throw Error("Articolo centrale non più presente durante il controllo.",
                        ErrorKind::NotFound);
    return out;
}

}  // namespace

const std::string kBarcodeWalk =
    " FROM fisso.articolo a JOIN fisso.codean c ON c.codare = a.codart";

long long barcodeArticles(store::Database& db) {
    auto count = db.prepare("SELECT count(*)" + kBarcodeWalk);
    count.step();
    const long long rows = count.value(0).integer();
    count.reset();
    return rows;
}

RunResult elabora_ean(RunContext& ctx) {
    const std::string& from = kBarcodeWalk;
    const long long rows = barcodeArticles(ctx.db);
    // Nothing to check: the work table keeps what it holds.
    if (rows == 0) return {RunEnd::NoArticles, {}, {}};
    discardReview(ctx.db, ctx.discardAgreed);

    RunCounts counts;
    std::unordered_set<long long> handled;  // store articles already treated in this run
    RunProgress bar(ctx.progress, rows);
    const FilterBoxes filters = ctx.screen.filters();
    // Only what the comparison needs is sorted; a written article is read whole by its identity.
    auto walk = ctx.db.prepare("SELECT a." + ctx.db.rowIdentity() +
                               ", a.przart, a.ivart, c.eanare, a.codart, a.desart, a.przpub" +
                               from + walkOrder());
    // A block of walked rows, their store look-ups read ahead, then compared one by one.
    struct Walked {
        long long identity;
        store::Value przart, ivart;
        std::string eanare;
        store::Value codart, desart, przpub;
    };
    std::vector<Walked> block;
    const Walked* current = nullptr;
    struct ToWrite {
        long long identity, codice_art;
        StoreSide store;
        long long bns;
        std::string eanare;
    };
    std::vector<ToWrite> toWrite;
    auto checkOne = [&] {
        const Walked& w = *current;
        const std::string& eanare = w.eanare;
        auto found = ctx.lookups.barcode(store::fixedWidth(eanare, 13));
        if (!found || store::trimmed(found->flagean) != "S") return;
        // A barcode of no store article (code 0) is never written.
        if (found->codare == 0 || !handled.insert(found->codare).second) return;

        StoreSide s = readStoreSide(ctx, found->codare);
        Money cost = moneyOf(w.przart);
        checkAmount(cost, "Costo");
        Money price =
            barcodeCheckPrice(cost, s.markup, vatRate(store::firstChars(w.ivart.text(), 2)));
        if (ctx.rounding) price = roundToFiveCents(price);
        checkAmount(price, "Prezzo calcolato");
        double p = ctx.screen.reference == Reference::Cost ? variationPercent(cost, s.oldCost)
                                                           : variationPercent(price, s.oldPrice);
        ctx.app.tipo_filtro = 0;
        if (!passesBarcodeFilters(filters, ctx.limit, p, found->even)) return;
        checkAmount(s.oldCost, "Costo attuale del negozio");
        checkAmount(s.oldPrice, "Prezzo attuale del negozio");
        checkAmount(s.offer, "Prezzo di offerta del negozio");
        checkAmount(moneyOf(w.przpub), "Prezzo al pubblico");
        ++counts.processed;
        toWrite.push_back({w.identity, found->codare, std::move(s), counts.processed, eanare});
    };
    // The block's passing rows are written in their order, the central articles read at once.
    auto writeBlock = [&] {
        std::vector<long long> ids;
        for (const auto& t : toWrite) ids.push_back(t.identity);
        const auto articles = centralArticles(ctx.db, ids);
        for (auto& t : toWrite) {
            WalkRow r = articles.at(t.identity);
            r.eanare = t.eanare;
            writeBarcodeRow(ctx, r, t.codice_art, t.store, t.bns);
            ++counts.written;
        }
        toWrite.clear();
    };
    auto compareBlock = [&] {
        std::vector<std::string> barcodes;
        for (const auto& w : block) barcodes.push_back(store::fixedWidth(w.eanare, 13));
        ctx.lookups.readAheadBarcodes(barcodes);
        // Price rows only of the store articles this check will price: barcodes marked to send.
        std::vector<long long> articles;
        for (const auto& b : barcodes)
            if (auto found = ctx.lookups.barcode(b); found && found->codare != 0 &&
                                                     store::trimmed(found->flagean) == "S" &&
                                                     !handled.count(found->codare))
                articles.push_back(found->codare);
        ctx.lookups.readAheadPriceRows(articles);
        for (const auto& w : block) {
            ++counts.examined;
            bar.rowDone();
            current = &w;
            forArticle(w.codart, w.desart, checkOne);
        }
        writeBlock();
        block.clear();
        ctx.lookups.forgetReadAhead();
    };
    while (walk.step()) {
        block.push_back({walk.value(0).integer(), walk.value(1), walk.value(2),
                         walk.value(3).text(), walk.value(4), walk.value(5), walk.value(6)});
        if (block.size() == kReadAheadRows) compareBlock();
    }
    compareBlock();
    return {RunEnd::Done, counts, {}};
}

}  // namespace cl::check
