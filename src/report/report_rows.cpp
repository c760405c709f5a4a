#include "report/report_rows.h"

#include "store/table_view.h"

namespace cl::review {

std::vector<ReportRow> leggoRigheReport(store::Database& db, const ReviewFilter& filter) {
    store::TableCursor listi01(db, "listi01");
    listi01.setIndex("primary");

    const SqlText source = reviewSource(filter);
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
        if (listi01.seek(store::Value(row.codart))) {
            row.article = ReportArticle{listi01.text("umart"),    listi01.field("imbart"),
                                        listi01.number("cofart"), listi01.text("ivart"),
                                        listi01.number("cosiva"), listi01.number("ricart")};
        }
        rows.push_back(std::move(row));
    }
    // A finished statement may keep its read lock until reset; let other writers in.
    view.reset();
    return rows;
}

}  // namespace cl::review
