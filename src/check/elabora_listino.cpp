#include "check/elabora_listino.h"

#include "check/comparison_steps.h"
#include "store/fixed_text.h"

namespace cl::check {

namespace {
store::Value textOrNull(const std::string& s) {
    return s.empty() ? store::Value() : store::Value(s);
}
}  // namespace

WalkRow walkRowOf(const pricelist::PriceListRow& row, const std::string& supplierName) {
    WalkRow r;
    r.desart = store::Value(row.description);
    r.przart = store::Value(row.cost);
    if (row.price) r.przpub = store::Value(*row.price);
    if (row.vat) r.ivart = store::Value(*row.vat);
    r.umart = textOrNull(row.unit);
    // The file is the supplier's own: a new article takes its name.
    r.desfor = textOrNull(store::trimmed(supplierName));
    if (row.pack) r.imbart = store::Value(*row.pack);
    r.eanare = row.ean;
    r.codafo = row.code;
    return r;
}

RunResult elabora_listino(RunContext& ctx, const std::vector<pricelist::PriceListRow>& rows) {
    if (rows.empty()) {
        ctx.messages.show(kNoArticles, Icon::Information);
        return {RunEnd::NoArticles, {}, {}};
    }
    discardReview(ctx.db, ctx.discardAgreed);
    ComparisonSteps steps(ctx, ComparisonKind::Changed);
    steps.fromSupplierFile = true;
    std::vector<pricelist::RowProblem> leftOut;
    size_t compared = 0;
    {
        RunProgress bar(ctx.progress, static_cast<long long>(rows.size()));
        size_t next = 0;
        compareInBlocks(
            ctx.lookups,
            [&]() -> std::optional<WalkRow> {
                if (next == rows.size()) return std::nullopt;
                return walkRowOf(rows[next++], ctx.app.nome_fornitore);
            },
            [&](const auto& block) { readAheadBlock(ctx.lookups, block, steps.codice_lis); },
            [&](const WalkRow& r) {
                compareChanged(steps, r);
                if (steps.leftOut) leftOut.push_back({rows[compared].line, *steps.leftOut, false});
                steps.leftOut.reset();
                ++compared;
                bar.rowDone();
            });
    }
    return {RunEnd::Done, steps.counts, std::move(leftOut)};
}

}  // namespace cl::check
