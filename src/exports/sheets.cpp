#include "exports/sheets.h"

#include <array>

#include "app/who.h"
#include "labels/label_face.h"
#include "review/review_grid.h"
#include "store/fixed_text.h"

namespace cl::exports {

namespace {

using K = CellKind;

// Kind of each review column (1..34) as the grid shows it.
constexpr std::array<K, review::kColumnCount + 1> kReviewKinds{{
    K::Text,    K::Text,     K::Integer,  K::Text,    K::Text,    K::Text,    K::Text,
    K::Text,    K::Money4,   K::Percent2, K::Money2,  K::Date,    K::Money4,  K::Percent4,
    K::Money2,  K::Percent2, K::Text,     K::Text,    K::Money2,  K::Text,    K::Text,
    K::Text,    K::Integer,  K::Integer,  K::Integer, K::Text,    K::Integer, K::Integer,
    K::Decimal, K::Text,     K::Integer,  K::Integer, K::Integer, K::Text,    K::Text,
}};

double widthOf(K kind, int twips) {
    if (twips > 0) return std::max(6.0, twips / 100.0);
    switch (kind) {
        case K::Date:
            return 11;
        case K::Text:
            return 14;
        default:
            return 10;
    }
}

Cell money(const std::optional<Money>& m) {
    if (!m) return std::monostate{};
    return m->toDouble();
}

Cell text(const std::string& s) {
    if (s.empty()) return std::monostate{};
    return s;
}

}  // namespace

Sheet reviewSheet(const review::ReviewRows& rows) {
    Sheet s;
    s.name = "Revisione";
    for (int c = 1; c <= review::kColumnCount; ++c) {
        const auto& info = review::columnInfo(c);
        K kind = kReviewKinds[static_cast<size_t>(c)];
        s.columns.push_back({info.heading, kind, widthOf(kind, info.widthTwips)});
    }
    s.columns[review::kDescrizione - 1].width = 34;
    for (size_t i = 0; i < rows.count(); ++i) {
        const review::ReviewRow& row = rows.row(i);
        std::vector<Cell> cells;
        for (int c = 1; c <= review::kColumnCount; ++c) {
            std::string raw = review::rawText(row, c);
            K kind = kReviewKinds[static_cast<size_t>(c)];
            if (kind == K::Text || kind == K::Date)
                cells.push_back(text(kind == K::Text ? store::rtrimmed(raw) : raw));
            else
                cells.push_back(numberCell(store::trimmed(raw)));
        }
        s.rows.push_back(std::move(cells));
    }
    return s;
}

Sheet labelsSheet(const history::LabelList& list) {
    Sheet s;
    s.name = "Etichette";
    s.columns = {{"Codice", K::Integer, 9},       {"Codice Ean", K::Text, 15},
                 {"Descrizione", K::Text, 36},    {"UM", K::Text, 5},
                 {"Reparto", K::Text, 16},        {"Prezzo vecchio", K::Money2, 11},
                 {"Prezzo nuovo", K::Money2, 11}, {"Prezzo/UM rif.", K::Money2, 11},
                 {"UM rif.", K::Text, 7},         {"Prezzo offerta", K::Money2, 11},
                 {"A peso", K::Text, 7}};
    for (const auto& l : list.labels) {
        s.rows.push_back({static_cast<double>(l.article), text(l.ean), text(l.description),
                          text(l.unit), text(l.departmentName), money(l.oldPrice),
                          l.newPrice.toDouble(), money(l.unitPrice), text(l.referenceUnit),
                          money(l.offerPrice),
                          std::string(labels::soldByWeight(l.ean) ? "S" : "N")});
    }
    return s;
}

Sheet historySheet(const history::ArticleHistory& h) {
    Sheet s;
    s.name = "Storico prezzi";
    s.columns = {{"Codice", K::Integer, 9},      {"Descrizione", K::Text, 34},
                 {"Data", K::DateTime, 19},      {"Agg.", K::Integer, 6},
                 {"Tipo", K::Text, 22},          {"Costo prima", K::Money2, 11},
                 {"Costo dopo", K::Money2, 11},  {"Prezzo prima", K::Money2, 11},
                 {"Prezzo dopo", K::Money2, 11}, {"Eseguito da", K::Text, 24},
                 {"Note", K::Text, 16}};
    for (const auto& c : h.changes) {
        s.rows.push_back({static_cast<double>(h.article), text(h.description), c.at,
                          static_cast<double>(c.run), text(c.kind),
                          c.created ? Cell{} : money(c.costBefore), money(c.costAfter),
                          c.created ? Cell{} : money(c.priceBefore), money(c.priceAfter),
                          text(describeWho(c.byUser, c.byPc)), text(history::changeNote(c))});
    }
    return s;
}

}  // namespace cl::exports
