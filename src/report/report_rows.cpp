#include "report/report_rows.h"

namespace cl::review {

namespace {

// The article record of `codart`, when listi01 holds one.
std::optional<ReportArticle> articleOf(store::Database& db, long long codart) {
    auto st = db.prepare(
        "SELECT umart, imbart, cofart, ivart, cosiva, ricart FROM listi01 WHERE codart = ? "
        "LIMIT 1");
    st.bind(1, store::Value(codart));
    std::optional<ReportArticle> out;
    if (st.step())
        out = ReportArticle{st.text("umart"), st.value("imbart"),  st.number("cofart"),
                            st.text("ivart"), st.number("cosiva"), st.number("ricart")};
    st.reset();  // left on its row: let go of the table
    return out;
}

}  // namespace

std::vector<ReportRow> readReportRows(store::Database& db, const ReviewFilter& filter) {
    const SqlText source = reviewSource(db, filter);
    auto view = db.prepare(source.text);
    for (size_t i = 0; i < source.params.size(); ++i)
        view.bind(static_cast<int>(i) + 1, source.params[i]);

    std::vector<ReportRow> rows;
    while (view.step()) {
        ReportRow row;
        row.codart = view.integer("CodArt");
        row.ean = view.text("Ean");
        row.descrizione = view.text("Descrizione");
        row.prezzoV = view.number("PrezzoV");
        row.article = articleOf(db, row.codart);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace cl::review
