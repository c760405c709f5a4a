#include "check/work_rows.h"

#include <string>

namespace cl::check {

namespace {

const char* const kColumns =
    "bns, sel, codart, ea1art, desart, umart, ivart, imbart, ea2art, fl1art, fl2art, fl3art, "
    "datval, colli, tipges, tipart, marchio, pezzatura, umconf, desfor, codfor, codafo, codrep, "
    "desrep, codgru, desgru, codsot, dessot, przart, przvec, coston, perc, rica, prezpub, "
    "prezpubv, percdiff, offerta, prezoff, datagg";

// The values of a row in the order of kColumns.
std::vector<const store::Value*> valuesOf(const VariatilRow& r) {
    return {&r.bns,      &r.sel,     &r.codart,  &r.ea1art,    &r.desart, &r.umart,   &r.ivart,
            &r.imbart,   &r.ea2art,  &r.fl1art,  &r.fl2art,    &r.fl3art, &r.datval,  &r.colli,
            &r.tipges,   &r.tipart,  &r.marchio, &r.pezzatura, &r.umconf, &r.desfor,  &r.codfor,
            &r.codafo,   &r.codrep,  &r.desrep,  &r.codgru,    &r.desgru, &r.codsot,  &r.dessot,
            &r.przart,   &r.przvec,  &r.coston,  &r.perc,      &r.rica,   &r.prezpub, &r.prezpubv,
            &r.percdiff, &r.offerta, &r.prezoff, &r.datagg};
}

std::string insertOf(size_t rows, size_t fields) {
    std::string row = "(";
    for (size_t i = 0; i < fields; ++i) row += i ? ",?" : "?";
    row += ")";
    std::string sql = std::string("INSERT INTO main.variatil (") + kColumns + ") VALUES ";
    for (size_t i = 0; i < rows; ++i) sql += (i ? "," : "") + row;
    return sql;
}

}  // namespace

void WorkRows::add(const VariatilRow& row) {
    pending_.push_back(row);
    if (pending_.size() == kBlockRows) flush();
}

void WorkRows::flush() {
    if (pending_.empty()) return;
    const size_t fields = valuesOf(pending_.front()).size();
    // A full block always has the same text, compiled once per run.
    auto st = db_.prepare(insertOf(pending_.size(), fields));
    int index = 1;
    for (const auto& row : pending_)
        for (const store::Value* v : valuesOf(row)) st.bind(index++, *v);
    pending_.clear();
    st.run();
}

}  // namespace cl::check
