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
    std::vector<long long> articles;
    std::vector<const WalkRow*> notFound;
    for (size_t i = 0; i < block.size(); ++i) {
        if (auto found = lookups.barcode(barcodes[i])) {
            if (found->codare != 0) articles.push_back(found->codare);
        } else {
            notFound.push_back(&block[i]);
        }
    }
    std::vector<std::string> exact, listed;
    for (const WalkRow* r : notFound) {
        if (r->codafo)
            listed.push_back(*r->codafo);
        else
            exact.push_back(zeroPadded(articleNumber(r->codart), 9));
    }
    lookups.readAheadSupplierArticles(exact, codlis);
    lookups.readAheadSupplierCodes(listed, codlis);
    for (const WalkRow* r : notFound) {
        auto article = r->codafo ? lookups.supplierListCode(*r->codafo, codlis)
                                 : lookups.supplierListArticle(
                                       zeroPadded(articleNumber(r->codart), 9), codlis);
        if (article && *article != 0) articles.push_back(*article);
    }
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
    steps.readPriceRow(w);
    steps.computePrice(w, r);
    steps.countExamined();
    steps.computeVariation(w, r);
    if (steps.passesFilters(w)) steps.write(w, r, barcode);
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
        return {RunEnd::NoArticles, {}};
    }
    discardReview(ctx.db, ctx.discardAgreed);
    {
        RunProgress bar(ctx.progress, rows);
        auto walk = ctx.db.prepare("SELECT " + walkColumns() + ", c.eanare" + from + walkOrder());
        std::vector<WalkRow> block;
        auto compareBlock = [&] {
            readAheadBlock(ctx.lookups, block, steps.codice_lis);
            for (const auto& r : block) {
                forArticle(r.codart, r.desart, [&] { compareChanged(steps, r); });
                bar.rowDone();
            }
            block.clear();
            ctx.lookups.forgetReadAhead();
        };
        while (walk.step()) {
            block.push_back(readWalkRow(walk));
            if (block.size() == kReadAheadRows) compareBlock();
        }
        compareBlock();
        clearChangeMarks(ctx);
    }
    return {RunEnd::Done, steps.counts};
}

RunResult elabora_solodoppi(RunContext& ctx) {
    ComparisonSteps steps(ctx, ComparisonKind::WithoutBarcode);
    const std::string& from = kMarkedWalk;
    long long rows = countOf(ctx.db, "SELECT count(*)" + from);
    if (rows == 0) {
        ctx.messages.show(kNoArticles, Icon::Information);
        return {RunEnd::NoArticles, {}};
    }
    discardReview(ctx.db, ctx.discardAgreed);
    {
        RunProgress bar(ctx.progress, rows);
        auto walk =
            ctx.db.prepare("SELECT " + walkColumns() + from + "ORDER BY a." + ctx.db.rowIdentity());
        std::vector<WalkRow> block;
        auto compareBlock = [&] {
            readAheadWithoutBarcode(ctx.lookups, block, steps.codice_lis);
            for (const auto& r : block) {
                forArticle(r.codart, r.desart,
                           [&] { compareWithoutBarcode(steps, ctx.lookups, r); });
                bar.rowDone();
            }
            block.clear();
            ctx.lookups.forgetReadAhead();
        };
        while (walk.step()) {
            block.push_back(readWalkRow(walk));
            if (block.size() == kReadAheadRows) compareBlock();
        }
        compareBlock();
        clearChangeMarks(ctx);
    }
    return {RunEnd::Done, steps.counts};
}

}  // namespace cl::check
