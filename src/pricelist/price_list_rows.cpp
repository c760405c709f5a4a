// The rows of a supplier's price list under its heading row, each value read and checked.
#include <algorithm>
#include <cmath>
#include <map>

#include "app/ean.h"
#include "pricelist/amounts.h"
#include "pricelist/price_list.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl::pricelist {

namespace {

constexpr double kMaxAmount = 1e9;  // beyond any price; Money holds far more, a typo is likelier

struct Reader {
    const ColumnMap& map;
    std::array<NumberStyle, kFieldCount> style{};

    const Cell* cell(const SheetRow& row, Field f) const {
        auto c = map[f];
        if (!c || *c >= row.cells.size() || row.cells[*c].empty()) return nullptr;
        return &row.cells[*c];
    }
    std::string text(const SheetRow& row, Field f) const {
        const Cell* c = cell(row, f);
        return c ? trimBlanks(c->text) : std::string();
    }
    std::optional<double> amount(const SheetRow& row, Field f) const {
        const Cell* c = cell(row, f);
        return c ? readAmount(*c, style[size_t(f)]) : std::nullopt;
    }
};

// The rate a VAT cell gives: 0.22 and "22 %" are 22. nullopt when it reads as no number.
std::optional<double> vatOf(const Reader& r, const SheetRow& row) {
    const Cell* c = r.cell(row, Field::Vat);
    if (!c) return std::nullopt;
    std::optional<double> v;
    if (c->number) {
        v = *c->number * (c->isPercent ? 100 : 1);
    } else {
        std::string t = c->text;
        if (auto pct = t.find('%'); pct != std::string::npos) t.erase(pct, 1);
        v = readAmount(t, r.style[size_t(Field::Vat)]);
    }
    if (v && *v > 0 && *v < 1) *v *= 100;
    return v;
}

// The Italian rates, as the store's two-character field writes them.
std::optional<std::string> italianRate(double v) {
    for (int rate : {0, 4, 5, 10, 22})
        if (std::abs(v - rate) < 0.005) return std::to_string(rate);
    return std::nullopt;
}

// Reads one row; a reason of a left-out row, else nullopt.
std::optional<std::string> readRow(const Reader& r, const SheetRow& row, PriceListRow& out,
                                   std::vector<RowProblem>& notes) {
    out.line = row.line;
    out.description = r.text(row, Field::Description);
    out.unit = r.text(row, Field::Unit);
    std::string ean = r.text(row, Field::Ean), code = r.text(row, Field::Code);
    std::string eanProblem;
    if (ean.empty()) {
    } else if (auto checked = app::storeEan(ean); !checked)
        eanProblem = "EAN non valido " + cellQuote(ean) + " (cifre o cifra di controllo)";
    else if (std::string padded = store::fixedWidth(*checked, 13);
             padded.compare(0, 3, "000") == 0 && padded.compare(0, 5, "00000") != 0)
        eanProblem = "EAN " + cellQuote(*checked) + " di un codice interno (inizia con 000)";
    else
        out.ean = *checked;
    if (store::charCount(code) > 16) return "codice fornitore più lungo di 16 caratteri";
    out.code = code;

    const Cell* costCell = r.cell(row, Field::Cost);
    auto cost = r.amount(row, Field::Cost);
    std::string costProblem;
    if (!costCell)
        costProblem = "manca il costo";
    else if (!cost)
        costProblem = "costo non leggibile " + cellQuote(costCell->text);
    else if (*cost < 0 || *cost >= kMaxAmount)
        costProblem = "costo non valido " + cellQuote(costCell->text);
    if (out.ean.empty() && out.code.empty()) {
        std::string why = !eanProblem.empty() ? eanProblem : "mancano codice fornitore ed EAN";
        return costProblem.empty() ? why : why + "; " + costProblem;
    }
    if (!costProblem.empty()) return costProblem;
    out.cost = *cost;
    if (!eanProblem.empty()) notes.push_back({row.line, eanProblem + ": cercato per codice", true});

    if (const Cell* p = r.cell(row, Field::Price)) {
        auto price = r.amount(row, Field::Price);
        if (price && *price >= 0 && *price < kMaxAmount)
            out.price = price;
        else
            notes.push_back({row.line,
                             "prezzo di vendita non valido " + cellQuote(p->text) + ": ignorato",
                             true});
    }
    // A rate that does not read is the store's own; one that reads wrong prices the row wrong.
    if (const Cell* v = r.cell(row, Field::Vat)) {
        if (auto rate = vatOf(r, row)) {
            out.vat = italianRate(*rate);
            if (!out.vat)
                return "aliquota IVA " + cellQuote(v->text) + " non italiana (0, 4, 5, 10, 22)";
        } else {
            notes.push_back({row.line,
                             "aliquota IVA non leggibile " + cellQuote(v->text) +
                                 ": si usa quella dell'articolo del negozio",
                             true});
        }
    }
    if (const Cell* k = r.cell(row, Field::Pack)) {
        auto pack = r.amount(row, Field::Pack);
        if (pack && *pack >= 0 && *pack < 1e6 && *pack == std::floor(*pack))
            out.pack = static_cast<long long>(*pack);
        else
            notes.push_back(
                {row.line, "confezione non valida " + cellQuote(k->text) + ": ignorata", true});
    }
    return std::nullopt;
}

// The fields of a CSV's heading row: all of them, and up to the last one not empty.
struct FieldCount {
    size_t all = 0, written = 0;
    bool csv = false;
};

FieldCount headingWidths(const Sheet& sheet, const ColumnMap& map) {
    FieldCount w;
    if (sheet.kind != SourceKind::Csv || !map.headingRow) return w;
    const auto& cells = sheet.rows[*map.headingRow].cells;
    w.csv = true;
    w.all = cells.size();
    for (size_t i = 0; i < cells.size(); ++i)
        if (!cells[i].empty()) w.written = i + 1;
    return w;
}

// A CSV row split into more or fewer fields than its heading: its values would land in the
// wrong columns (a "1,25" cut in two by a "," separator gives cost 1 and VAT 25).
std::optional<std::string> shapeProblem(const SheetRow& row, const FieldCount& w, char d) {
    if (!w.csv) return std::nullopt;
    size_t last = 0;
    for (size_t i = 0; i < row.cells.size(); ++i)
        if (!row.cells[i].empty()) last = i + 1;
    if (last <= w.all && row.cells.size() >= w.written) return std::nullopt;
    const std::string sep = d == '\t' ? "tabulazione" : std::string("«") + d + "»";
    return "la riga ha " + std::to_string(row.cells.size()) + " campi, l'intestazione " +
           std::to_string(w.all) + " (separatore " + sep + " dentro un valore?)";
}

[[noreturn]] void refuseMisshapen(char d) {
    const std::string sep = d == '\t' ? "la tabulazione" : std::string("«") + d + "»";
    throw Error(
        "Quasi tutte le righe del file hanno un numero di campi diverso dall'intestazione: il "
        "separatore dei campi (" +
            sep +
            ") compare probabilmente anche dentro i valori (per esempio la virgola dei "
            "decimali). Salvare il file con il separatore «;» o con i valori tra virgolette.",
        ErrorKind::InvalidInput);
}

// A column of amounts none of which tells its decimal separator, and some of which read two
// ways: a thousand times too much or too little, so not guessed.
std::optional<std::string> ambiguityOf(Field f, const StyleCount& count) {
    if (!count.ambiguous()) return std::nullopt;
    auto shown = [&](NumberStyle style) {
        std::string s = std::to_string(*readAmount(count.twoWays, style));
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') s.pop_back();
        if (auto dot = s.find('.'); dot != std::string::npos) s[dot] = ',';
        return s;
    };
    return std::string("Gli importi della colonna \"") + fieldCaption(f) +
           "\" si leggono in due modi (" + cellQuote(count.twoWays) + ": " +
           shown(NumberStyle::Italian) + " o " + shown(NumberStyle::Plain) + ")";
}

bool isAmount(Field f) {
    return f == Field::Cost || f == Field::Price || f == Field::Vat || f == Field::Pack;
}

std::optional<std::string> ambiguityIn(const ColumnMap& map, const AmountEvidence& evidence) {
    if (map.decimal) return std::nullopt;
    for (Field f : kFields)
        if (isAmount(f) && map[f])
            if (auto why = ambiguityOf(f, evidence.of(*map[f]))) return why;
    return std::nullopt;
}

AmountEvidence evidenceUnder(const Sheet& sheet, const ColumnMap& map) {
    AmountEvidence e;
    for (size_t i = map.headingRow ? *map.headingRow + 1 : 0; i < sheet.rows.size(); ++i)
        e.add(sheet.rows[i]);
    return e;
}

bool sameValues(const PriceListRow& a, const PriceListRow& b) {
    return a.cost == b.cost && a.price == b.price && a.vat == b.vat && a.pack == b.pack;
}

// One article, one row: two rows of an EAN or a code that disagree are both left out (which
// one the supplier meant cannot be told); a row repeating another exactly is checked once.
void leaveOutRepeatedArticles(PriceList& list) {
    auto& rows = list.rows;
    std::map<size_t, std::string> why;  // few rows: the reason of each left out
    // By sorted indices rather than a hash of keys: a million rows take 4 MB per key.
    for (bool ean : {true, false}) {
        auto key = [&](uint32_t i) -> const std::string& {
            return ean ? rows[i].ean : rows[i].code;
        };
        std::vector<uint32_t> order;
        for (uint32_t i = 0; i < rows.size(); ++i)
            if (!key(i).empty()) order.push_back(i);
        std::stable_sort(order.begin(), order.end(),
                         [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
        for (size_t g = 0; g < order.size();) {
            size_t end = g + 1;
            while (end < order.size() && key(order[end]) == key(order[g])) ++end;
            const auto& first = rows[order[g]];
            for (size_t k = g + 1; k < end; ++k) {
                const auto& r = rows[order[k]];
                const std::string what =
                    ean ? "EAN " + cellQuote(r.ean) : "codice " + cellQuote(r.code);
                if (sameValues(r, first)) {
                    why.try_emplace(order[k], "ripete la riga " + std::to_string(first.line));
                    continue;
                }
                why[order[k]] =
                    what + " anche alla riga " + std::to_string(first.line) + " con altri valori";
                why[order[g]] =
                    what + " anche alla riga " + std::to_string(r.line) + " con altri valori";
            }
            g = end;
        }
    }
    size_t kept = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (auto w = why.find(i); w != why.end()) {
            list.problems.push_back({rows[i].line, std::move(w->second), false});
        } else {
            if (kept != i) rows[kept] = std::move(rows[i]);
            ++kept;
        }
    }
    rows.resize(kept);
    std::stable_sort(list.problems.begin(), list.problems.end(),
                     [](const RowProblem& a, const RowProblem& b) { return a.line < b.line; });
}

}  // namespace

void AmountEvidence::add(const SheetRow& row) {
    if (row.cells.size() > columns.size()) columns.resize(row.cells.size());
    for (size_t c = 0; c < row.cells.size(); ++c) columns[c].add(&row.cells[c]);
}

void AmountEvidence::merge(const AmountEvidence& later) {
    if (later.columns.size() > columns.size()) columns.resize(later.columns.size());
    for (size_t c = 0; c < later.columns.size(); ++c) {
        columns[c].italian += later.columns[c].italian;
        columns[c].plain += later.columns[c].plain;
        if (columns[c].twoWays.empty()) columns[c].twoWays = later.columns[c].twoWays;
    }
}

const StyleCount& AmountEvidence::of(size_t column) const {
    static const StyleCount none;
    return column < columns.size() ? columns[column] : none;
}

std::optional<std::string> ambiguousAmounts(const Sheet& sheet, const ColumnMap& map) {
    return map.decimal ? std::nullopt : ambiguityIn(map, evidenceUnder(sheet, map));
}

RowExtractor::RowExtractor(const Sheet& head, const ColumnMap& map, const AmountEvidence& evidence)
    : map_(map), delimiter_(head.delimiter) {
    if (auto why = ambiguityIn(map, evidence))
        throw Error(*why +
                        ": indicare il separatore dei decimali (--decimal comma o point, o "
                        "nella finestra delle colonne).",
                    ErrorKind::InvalidInput);
    // Without a sign of its own, a column follows the habit of the file's kind.
    const NumberStyle fallback = head.kind == SourceKind::Csv && head.delimiter == ','
                                     ? NumberStyle::Plain
                                     : NumberStyle::Italian;
    for (Field f : kFields)
        style_[size_t(f)] = map.decimal ? *map.decimal
                            : map[f]    ? evidence.of(*map[f]).style(fallback)
                                        : fallback;
    const FieldCount w = headingWidths(head, map);
    widthAll_ = w.all, widthWritten_ = w.written, csv_ = w.csv;
}

void RowExtractor::add(const SheetRow& row) {
    ++rows_;
    if (auto why = shapeProblem(row, {widthAll_, widthWritten_, csv_}, delimiter_)) {
        out_.problems.push_back({row.line, *why, false});
        ++misshapen_;
        return;
    }
    Reader r{map_, style_};
    PriceListRow item;
    std::vector<RowProblem> notes;
    if (auto reason = readRow(r, row, item, notes)) {
        out_.problems.push_back({row.line, *reason, false});
        return;
    }
    out_.rows.push_back(std::move(item));
    for (auto& n : notes) out_.problems.push_back(std::move(n));
}

PriceList RowExtractor::finish() {
    if (rows_ > 0 && misshapen_ * 2 > rows_) refuseMisshapen(delimiter_);
    leaveOutRepeatedArticles(out_);
    return std::move(out_);
}

long long PriceList::notChecked() const {
    long long n = 0;
    for (const auto& p : problems) n += p.checked ? 0 : 1;
    return n;
}

PriceList extractRows(const Sheet& sheet, const ColumnMap& map) {
    RowExtractor rows(sheet, map, evidenceUnder(sheet, map));
    for (size_t i = map.headingRow ? *map.headingRow + 1 : 0; i < sheet.rows.size(); ++i)
        rows.add(sheet.rows[i]);
    return rows.finish();
}

std::string problemLine(const RowProblem& p) {
    return "Riga " + std::to_string(p.line) + ": " + p.reason +
           (p.checked ? "" : " (non controllata)");
}

}  // namespace cl::pricelist
