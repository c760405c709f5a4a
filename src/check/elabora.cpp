#include "app/numbers.h"
#include "check/comparison_steps.h"
#include "history/check_journal.h"
#include "store/fixed_text.h"

namespace cl::check {

namespace {

long long articleNumber(const store::Value& codart) {
    if (codart.isNumber()) return codart.integer();
    return wholeNumber(codart.text()).value_or(0);
}

long long countOf(store::Database& db, const std::string& sql) {
    auto st = db.prepare(sql);
    st.step();
    long long n = st.value(0).integer();
    st.reset();
    return n;
}

const std::string kChangedWalk =
    " FROM fisso.articolo a JOIN fisso.codean c ON c.codare = a.codart "
    "WHERE a.artvariato = 'S'";
const std::string kMarkedWalk = " FROM fisso.articolo a WHERE  a.artvariato = 'S' ";

// The walk's rows one by one, for compareInBlocks.
auto nextWalkRow(store::Query& walk) {
    return [&walk]() -> std::optional<WalkRow> {
        if (!walk.step()) return std::nullopt;
        return readWalkRow(walk);
    };
}

void clearChangeMarks(RunContext& ctx) {
    if (ctx.journaled) history::recordClearedMarks(ctx.db);
    ctx.db.prepare("UPDATE fisso.articolo SET artvariato = '' WHERE artvariato = 'S'").run();
}

}  // namespace

void readAheadBlock(StoreLookups& lookups, const std::vector<WalkRow>& block,
                    const std::string& codlis) {
    std::vector<std::string> barcodes;
    for (const auto& r : block) barcodes.push_back(store::fixedWidth(r.eanare, 13));
    lookups.readAheadBarcodes(barcodes);
    // The rows whose barcode the store lacks are sought in the supplier list: by the code of
    // the supplier's file as it writes it, else by the central code.
    std::vector<long long> articles;
    std::vector<std::string> exact, listed;
    for (size_t i = 0; i < block.size(); ++i) {
        if (auto found = lookups.barcode(barcodes[i])) {
            if (found->codare != 0) articles.push_back(found->codare);
        } else if (block[i].codafo) {
            listed.push_back(*block[i].codafo);
        } else {
            exact.push_back(zeroPadded(articleNumber(block[i].codart), 9));
        }
    }
    lookups.readAheadSupplierArticles(exact, codlis);
    lookups.readAheadSupplierCodes(listed, codlis);
    auto add = [&](std::optional<long long> article) {
        if (article && *article != 0) articles.push_back(*article);
    };
    for (const auto& code : exact) add(lookups.supplierListArticle(code, codlis));
    for (const auto& code : listed) add(lookups.supplierListCode(code, codlis));
    lookups.readAheadPriceRows(articles);
}

void compareChanged(ComparisonSteps& steps, const WalkRow& r) {
    Working w;
    w.descrizione = store::fixedWidth(r.desart.text(), 50);
    w.descr_sottogruppo = store::fixedWidth(r.dessot.text(), 30);
    w.codice_sottogruppo = r.codsot.integer();
    steps.lookupGroups(w);
    const std::string barcode = store::fixedWidth(r.eanare, 13);
    // Codes "000..." other than "00000..." are internal codes, not products.
    if (barcode.rfind("000", 0) == 0 && barcode.rfind("00000", 0) != 0) return;
    steps.searchStore(w, r, barcode, r.codafo ? *r.codafo : zeroPadded(articleNumber(r.codart), 9));
    if (steps.leftOut) return;
    steps.readPriceRow(w);
    const auto row = steps.withStoreVat(r);
    if (!row) return;
    steps.computePrice(w, *row);
    steps.countExamined();
    steps.computeVariation(w, *row);
    if (steps.passesFilters(w)) steps.write(w, *row, barcode);
}

namespace {

void compareWithoutBarcode(ComparisonSteps& steps, StoreLookups& lookups, const WalkRow& r) {
    const long long code = articleNumber(r.codart);
    if (lookups.centralHasBarcode(code)) return;
    Working w;
    w.descrizione = store::fixedWidth(r.desart.text(), 50);
    w.descr_sottogruppo = store::fixedWidth(r.dessot.text(), 30);
    w.codice_sottogruppo = r.codsot.integer();
    steps.lookupGroups(w);
    if (store::trimmed(w.descrizione).empty()) return;
    const std::string barcode = store::fixedWidth(r.ea1art.text(), 13);
    // Here the code text is the 16-character field of the supplier list, padded.
    steps.searchStore(w, r, barcode, store::fixedWidth(zeroPadded(code, 9), 16));
    steps.readPriceRow(w);
    steps.computePrice(w, r);
    steps.countExamined();
    steps.computeVariation(w, r);
    if (steps.passesFilters(w)) steps.write(w, r, barcode);
}

// The look-ups of a block of articles compared without a central barcode, read ahead: which
// have one, then the store barcodes, supplier-list codes and price rows of the others.
void readAheadWithoutBarcode(StoreLookups& lookups, const std::vector<WalkRow>& block,
                             const std::string& codlis) {
    std::vector<long long> codes;
    for (const auto& r : block) codes.push_back(articleNumber(r.codart));
    lookups.readAheadCentralBarcodes(codes);
    std::vector<std::string> barcodes, listed;
    std::vector<long long> articles;
    for (size_t i = 0; i < block.size(); ++i)
        if (!lookups.centralHasBarcode(codes[i]))
            barcodes.push_back(store::fixedWidth(block[i].ea1art.text(), 13));
    lookups.readAheadBarcodes(barcodes);
    for (size_t i = 0, b = 0; i < block.size(); ++i) {
        if (lookups.centralHasBarcode(codes[i])) continue;
        if (auto found = lookups.barcode(barcodes[b++])) {
            if (found->codare != 0) articles.push_back(found->codare);
        } else {
            listed.push_back(store::fixedWidth(zeroPadded(codes[i], 9), 16));
        }
    }
    lookups.readAheadSupplierArticles(listed, codlis);
    for (const auto& code : listed)
        if (auto article = lookups.supplierListArticle(code, codlis); article && *article != 0)
            articles.push_back(*article);
    lookups.readAheadPriceRows(articles);
}

}  // namespace

long long changedArticles(store::Database& db) {
    return countOf(db, "SELECT count(*)" + kChangedWalk);
}

long long unmarkedBarcodeArticles(store::Database& db) {
    return countOf(db, "SELECT count(*)" + kMarkedWalk);
}

RunResult elabora(RunContext& ctx) {
    ComparisonSteps steps(ctx, ComparisonKind::Changed);
    const std::string& from = kChangedWalk;
    long long rows = countOf(ctx.db, "SELECT count(*)" + from);
    if (rows == 0) {
        ctx.messages.show(kNoArticles, Icon::Information);
        return {RunEnd::NoArticles, {}, {}};
    }
    discardReview(ctx.db, ctx.discardAgreed);
    {
        RunProgress bar(ctx.progress, rows);
        auto walk = ctx.db.prepare("SELECT " + walkColumns() + ", c.eanare" + from + walkOrder());
        compareInBlocks(
            ctx.lookups, nextWalkRow(walk),
            [&](const auto& block) { readAheadBlock(ctx.lookups, block, steps.codice_lis); },
            [&](const WalkRow& r) {
                forArticle(r.codart, r.desart, [&] { compareChanged(steps, r); });
                bar.rowDone();
            });
        clearChangeMarks(ctx);
    }
    return {RunEnd::Done, steps.counts, {}};
}

RunResult elabora_solodoppi(RunContext& ctx) {
    ComparisonSteps steps(ctx, ComparisonKind::WithoutBarcode);
    const std::string& from = kMarkedWalk;
    long long rows = countOf(ctx.db, "SELECT count(*)" + from);
    if (rows == 0) {
        ctx.messages.show(kNoArticles, Icon::Information);
        return {RunEnd::NoArticles, {}, {}};
    }
    discardReview(ctx.db, ctx.discardAgreed);
    {
        RunProgress bar(ctx.progress, rows);
        auto walk =
            ctx.db.prepare("SELECT " + walkColumns() + from + "ORDER BY a." + ctx.db.rowIdentity());
        compareInBlocks(
            ctx.lookups, nextWalkRow(walk),
            [&](const auto& block) {
                readAheadWithoutBarcode(ctx.lookups, block, steps.codice_lis);
            },
            [&](const WalkRow& r) {
                forArticle(r.codart, r.desart,
                           [&] { compareWithoutBarcode(steps, ctx.lookups, r); });
                bar.rowDone();
            });
        clearChangeMarks(ctx);
    }
    return {RunEnd::Done, steps.counts, {}};
}

}  // namespace cl::check
