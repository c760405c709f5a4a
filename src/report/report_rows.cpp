#include "report/report_rows.h"

#include <map>

namespace cl::review {

namespace {

// Articles read by one statement: a report of many rows costs a round trip per block.
constexpr size_t kBlock = 64;

std::string articlesSql(const store::Database& db) {
    std::string marks;
    for (size_t i = 0; i < kBlock; ++i) marks += i ? ", ?" : "?";
    // The first row of a code wins, as the index on the code gives them.
    return "SELECT codart, umart, imbart, cofart, ivart, cosiva, ricart FROM listi01 WHERE "
           "codart IN (" +
           marks + ") ORDER BY codart, " + db.rowIdentity();
}

// The article records of `codes`, those listi01 holds.
std::map<long long, ReportArticle> articlesOf(store::Database& db,
                                              const std::vector<long long>& codes) {
    std::map<long long, ReportArticle> out;
    auto st = db.prepare(articlesSql(db));
    for (size_t from = 0; from < codes.size(); from += kBlock) {
        st.reset();
        for (size_t i = 0; i < kBlock; ++i)
            st.bind(static_cast<int>(i) + 1,
                    from + i < codes.size() ? store::Value(codes[from + i]) : store::Value());
        while (st.step())
            out.emplace(st.integer("codart"),
                        ReportArticle{st.text("umart"), st.value("imbart"), st.number("cofart"),
                                      st.text("ivart"), st.number("cosiva"), st.number("ricart")});
    }
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
        rows.push_back(std::move(row));
    }
    view.reset();
    std::vector<long long> codes;
    for (const auto& r : rows) codes.push_back(r.codart);
    const auto articles = articlesOf(db, codes);
    for (auto& r : rows)
        if (auto a = articles.find(r.codart); a != articles.end()) r.article = a->second;
    return rows;
}

}  // namespace cl::review
