// The rows of a supplier's price list under its heading row, each value read and checked.
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "app/ean.h"
#include "pricelist/amounts.h"
#include "pricelist/price_list.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl::pricelist {

namespace {

constexpr double kMaxAmount = 1e9;  // beyond any price; Money holds far more, a typo is likelier

struct Reader {
    const Sheet& sheet;
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
std::optional<std::string> ambiguityOf(Field f, const std::vector<const Cell*>& cells) {
    const Cell* example = nullptr;
    for (const Cell* c : cells) {
        if (!c || c->number) continue;
        if (styleOf(c->text)) return std::nullopt;
        if (!example && readsBothWays(c->text)) example = c;
    }
    if (!example) return std::nullopt;
    auto shown = [&](NumberStyle style) {
        std::string s = std::to_string(*readAmount(example->text, style));
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') s.pop_back();
        if (auto dot = s.find('.'); dot != std::string::npos) s[dot] = ',';
        return s;
    };
    return std::string("Gli importi della colonna \"") + fieldCaption(f) +
           "\" si leggono in due modi (" + cellQuote(example->text) + ": " +
           shown(NumberStyle::Italian) + " o " + shown(NumberStyle::Plain) + ")";
}

bool isAmount(Field f) {
    return f == Field::Cost || f == Field::Price || f == Field::Vat || f == Field::Pack;
}

std::vector<const Cell*> columnCells(const Sheet& sheet, const ColumnMap& map, Field f) {
    std::vector<const Cell*> cells;
    Reader r{sheet, map, {}};
    const size_t first = map.headingRow ? *map.headingRow + 1 : 0;
    for (size_t i = first; i < sheet.rows.size(); ++i) cells.push_back(r.cell(sheet.rows[i], f));
    return cells;
}

bool sameValues(const PriceListRow& a, const PriceListRow& b) {
    return a.cost == b.cost && a.price == b.price && a.vat == b.vat && a.pack == b.pack;
}

// One article, one row: two rows of an EAN or a code that disagree are both left out (which
// one the supplier meant cannot be told); a row repeating another exactly is checked once.
void leaveOutRepeatedArticles(PriceList& list) {
    std::unordered_map<std::string, size_t> first;
    std::vector<std::string> why(list.rows.size());
    for (size_t i = 0; i < list.rows.size(); ++i) {
        const auto& r = list.rows[i];
        for (const std::string& key :
             {r.ean.empty() ? "" : "E" + r.ean, r.code.empty() ? "" : "C" + r.code}) {
            if (key.empty()) continue;
            auto [at, added] = first.try_emplace(key, i);
            if (added) continue;
            const auto& other = list.rows[at->second];
            const std::string what =
                key[0] == 'E' ? "EAN " + cellQuote(r.ean) : "codice " + cellQuote(r.code);
            if (sameValues(r, other)) {
                if (why[i].empty()) why[i] = "ripete la riga " + std::to_string(other.line);
                continue;
            }
            why[i] = what + " anche alla riga " + std::to_string(other.line) + " con altri valori";
            why[at->second] =
                what + " anche alla riga " + std::to_string(r.line) + " con altri valori";
        }
    }
    std::vector<PriceListRow> kept;
    for (size_t i = 0; i < list.rows.size(); ++i) {
        if (why[i].empty())
            kept.push_back(std::move(list.rows[i]));
        else
            list.problems.push_back({list.rows[i].line, why[i], false});
    }
    list.rows = std::move(kept);
    std::stable_sort(list.problems.begin(), list.problems.end(),
                     [](const RowProblem& a, const RowProblem& b) { return a.line < b.line; });
}

}  // namespace

std::optional<std::string> ambiguousAmounts(const Sheet& sheet, const ColumnMap& map) {
    if (map.decimal) return std::nullopt;
    for (Field f : kFields)
        if (isAmount(f) && map[f])
            if (auto why = ambiguityOf(f, columnCells(sheet, map, f))) return why;
    return std::nullopt;
}

long long PriceList::notChecked() const {
    long long n = 0;
    for (const auto& p : problems) n += p.checked ? 0 : 1;
    return n;
}

PriceList extractRows(const Sheet& sheet, const ColumnMap& map) {
    Reader r{sheet, map, {}};
    const size_t first = map.headingRow ? *map.headingRow + 1 : 0;
    // Without a sign of its own, a column follows the habit of the file's kind.
    NumberStyle fallback = sheet.kind == SourceKind::Csv && sheet.delimiter == ','
                               ? NumberStyle::Plain
                               : NumberStyle::Italian;
    if (auto why = ambiguousAmounts(sheet, map))
        throw Error(*why +
                        ": indicare il separatore dei decimali (--decimal comma o point, o "
                        "nella finestra delle colonne).",
                    ErrorKind::InvalidInput);
    for (Field f : kFields)
        r.style[size_t(f)] =
            map.decimal ? *map.decimal : columnStyle(columnCells(sheet, map, f), fallback);
    PriceList out;
    const FieldCount widths = headingWidths(sheet, map);
    size_t misshapen = 0;
    for (size_t i = first; i < sheet.rows.size(); ++i) {
        const SheetRow& row = sheet.rows[i];
        if (auto why = shapeProblem(row, widths, sheet.delimiter)) {
            out.problems.push_back({row.line, *why, false});
            ++misshapen;
            continue;
        }
        PriceListRow item;
        std::vector<RowProblem> notes;
        if (auto reason = readRow(r, row, item, notes)) {
            out.problems.push_back({row.line, *reason, false});
            continue;
        }
        out.rows.push_back(std::move(item));
        for (auto& n : notes) out.problems.push_back(std::move(n));
    }
    const size_t dataRows = sheet.rows.size() - std::min(first, sheet.rows.size());
    if (dataRows > 0 && misshapen * 2 > dataRows) refuseMisshapen(sheet.delimiter);
    leaveOutRepeatedArticles(out);
    return out;
}

std::string problemLine(const RowProblem& p) {
    return "Riga " + std::to_string(p.line) + ": " + p.reason +
           (p.checked ? "" : " (non controllata)");
}

}  // namespace cl::pricelist
