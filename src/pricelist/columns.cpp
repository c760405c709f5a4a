#include "pricelist/columns.h"

#include <algorithm>
#include <cctype>

#include "store/error.h"

namespace cl::pricelist {

namespace {

// The first rows in which a heading row is looked for.

struct Names {
    Field field;
    std::vector<std::string> names;  // folded as fold() folds headings
};

const std::vector<Names>& synonyms() {
    static const std::vector<Names> all = {
        {Field::Ean,
         {"ean", "ean13", "ean 13", "barcode", "bar code", "codice a barre", "cod a barre",
          "codice ean", "cod ean", "gtin"}},
        {Field::Code,
         {"codice", "cod art", "codice fornitore", "cod fornitore", "codice articolo",
          "cod articolo", "cod", "code", "item code", "article code", "product code",
          "supplier code", "sku", "item no", "item number"}},
        {Field::Description,
         {"descrizione", "descrizione articolo", "description", "prodotto", "product",
          "product name", "item description"}},
        {Field::Cost,
         {"costo", "costo netto", "costo unitario", "prezzo acquisto", "prezzo di acquisto",
          "netto", "prezzo netto", "cost", "unit cost", "net", "net price", "purchase price"}},
        {Field::Vat, {"iva", "aliquota", "aliquota iva", "cod iva", "vat", "vat rate", "tax"}},
        {Field::Price,
         {"prezzo vendita", "prezzo di vendita", "prezzo consigliato", "prezzo al pubblico", "pvp",
          "pv", "retail price", "sale price", "selling price", "rrp", "msrp"}},
        {Field::Unit,
         {"um", "u m", "unita di misura", "unita misura", "unit", "uom", "unit of measure"}},
        {Field::Pack,
         {"conf", "confezione", "pezzi", "pezzi per confezione", "imballo", "pack", "pack size",
          "pieces", "pcs", "case"}},
    };
    return all;
}

// Lower case, accents of the Italian vowels dropped, punctuation and symbols as blanks, blanks
// collapsed: "Cod. Art." -> "cod art", "Unità di misura" -> "unita di misura".
std::string fold(const std::string& text) {
    static const std::pair<const char*, char> accents[] = {
        {"à", 'a'}, {"á", 'a'}, {"è", 'e'}, {"é", 'e'}, {"ì", 'i'}, {"í", 'i'},
        {"ò", 'o'}, {"ó", 'o'}, {"ù", 'u'}, {"ú", 'u'}, {"À", 'a'}, {"È", 'e'},
        {"É", 'e'}, {"Ì", 'i'}, {"Ò", 'o'}, {"Ù", 'u'}};
    std::string out;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        char add = ' ';
        size_t step = 1;
        if (std::isalnum(c)) {
            add = char(std::tolower(c));
        } else if (c >= 0x80) {
            for (auto& [a, plain] : accents)
                if (text.compare(i, 2, a) == 0) add = plain, step = 2;
            if (step == 1)
                while (i + step < text.size() &&
                       (static_cast<unsigned char>(text[i + step]) & 0xC0) == 0x80)
                    ++step;
        }
        i += step;
        if (add == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += add;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// The field of a heading: a name equal to it, else the longest name it begins with as words.
std::optional<Field> match(const std::string& folded) {
    if (folded.empty()) return std::nullopt;
    std::optional<Field> best;
    size_t bestLength = 0;
    for (const auto& s : synonyms())
        for (const auto& n : s.names) {
            if (folded == n) return s.field;
            bool prefix = folded.size() > n.size() && folded.compare(0, n.size(), n) == 0 &&
                          folded[n.size()] == ' ';
            if (prefix && n.size() > bestLength) best = s.field, bestLength = n.size();
        }
    return best;
}

ColumnMap mapHeadings(const SheetRow& row, ColumnMap map) {
    std::vector<bool> taken(row.cells.size(), false);
    for (auto c : map.column)
        if (c && *c < taken.size()) taken[*c] = true;
    for (size_t i = 0; i < row.cells.size(); ++i) {
        if (taken[i] || row.cells[i].number) continue;
        auto f = match(fold(row.cells[i].text));
        if (f && !map[*f]) map[*f] = i;
    }
    return map;
}

}  // namespace

const char* fieldKey(Field f) {
    static const char* keys[] = {"ean", "code",  "description", "cost",
                                 "vat", "price", "unit",        "pack"};
    return keys[size_t(f)];
}

const char* fieldCaption(Field f) {
    static const char* captions[] = {"EAN", "Codice fornitore", "Descrizione", "Costo",
                                     "IVA", "Prezzo vendita",   "UM",          "Conf./Pezzi"};
    return captions[size_t(f)];
}

bool ColumnMap::complete() const {
    return (*this)[Field::Cost] && ((*this)[Field::Code] || (*this)[Field::Ean]);
}

std::optional<Field> fieldOfHeading(const std::string& heading) {
    return match(fold(heading));
}

std::optional<ColumnMap> guessColumns(const Sheet& sheet) {
    for (size_t r = 0; r < sheet.rows.size() && r < kHeadingSearch; ++r) {
        ColumnMap map = mapHeadings(sheet.rows[r], ColumnMap{});
        if (map.complete()) {
            map.headingRow = r;
            return map;
        }
    }
    return std::nullopt;
}

namespace {
bool sameColumn(const std::string& a, const std::string& b) {
    auto x = columnIndex(a), y = columnIndex(b);
    return x && y ? *x == *y : fold(a) == fold(b);
}
}  // namespace

std::vector<std::pair<Field, std::string>> parseColumnSpec(const std::string& spec) {
    std::vector<std::pair<Field, std::string>> out;
    size_t start = 0;
    while (start <= spec.size()) {
        size_t comma = spec.find(',', start);
        std::string item = spec.substr(start, comma - start);
        start = comma == std::string::npos ? spec.size() + 1 : comma + 1;
        item = trimBlanks(item);
        if (item.empty()) continue;
        auto eq = item.find('=');
        if (eq == std::string::npos)
            throw Error("--columns: " + cellQuote(item) + " non è nella forma campo=colonna",
                        ErrorKind::InvalidInput);
        std::string key = trimBlanks(item.substr(0, eq)), column = trimBlanks(item.substr(eq + 1));
        auto f = std::find_if(kFields.begin(), kFields.end(),
                              [&](Field x) { return key == fieldKey(x); });
        if (f == kFields.end())
            throw Error("--columns: campo sconosciuto " + cellQuote(key) +
                            " (ean, code, description, cost, vat, price, unit, pack)",
                        ErrorKind::InvalidInput);
        if (column.empty())
            throw Error("--columns: manca la colonna di «" + key + "»", ErrorKind::InvalidInput);
        // One field in two columns, or two fields in one: either way a value would be guessed.
        for (auto& [g, other] : out) {
            if (g == *f)
                throw Error("--columns: il campo «" + key + "» è indicato due volte",
                            ErrorKind::InvalidInput);
            if (sameColumn(other, column))
                throw Error("--columns: la colonna " + cellQuote(column) + " è indicata per «" +
                                fieldKey(g) + "» e per «" + key + "»",
                            ErrorKind::InvalidInput);
        }
        out.emplace_back(*f, column);
    }
    return out;
}

void requireComplete(const ColumnMap& map) {
    if (!map[Field::Cost])
        throw Error("Manca la colonna del costo: indicarla (cost=...).", ErrorKind::InvalidInput);
    if (!map[Field::Code] && !map[Field::Ean])
        throw Error("Manca la colonna del codice fornitore o dell'EAN: indicarne una.",
                    ErrorKind::InvalidInput);
}

ColumnMap resolveColumns(const Sheet& sheet,
                         const std::vector<std::pair<Field, std::string>>& spec) {
    // The heading row: the first that holds every heading named; letters need none.
    auto namedIn = [&](const SheetRow& row, const std::string& name) -> std::optional<size_t> {
        for (size_t i = 0; i < row.cells.size(); ++i)
            if (!row.cells[i].number && fold(row.cells[i].text) == fold(name)) return i;
        return std::nullopt;
    };
    bool anyName = false;
    for (auto& [f, col] : spec) anyName = anyName || !columnIndex(col);
    std::optional<size_t> heading;
    for (size_t r = 0; anyName && r < sheet.rows.size() && r < kHeadingSearch && !heading; ++r) {
        bool all = true;
        for (auto& [f, col] : spec) all = all && (namedIn(sheet.rows[r], col) || columnIndex(col));
        if (all) heading = r;
    }
    ColumnMap map;
    for (auto& [f, col] : spec) {
        std::optional<size_t> at;
        if (heading) at = namedIn(sheet.rows[*heading], col);  // "UM" may be a heading
        if (!at) at = columnIndex(col);
        if (!at)
            throw Error("La colonna " + cellQuote(col) + " non è tra le intestazioni del file.",
                        ErrorKind::InvalidInput);
        for (Field g : kFields)
            if (g != f && map[g] == at)
                throw Error("--columns: la colonna " + cellQuote(col) + " è indicata per «" +
                                fieldKey(g) + "» e per «" + fieldKey(f) + "»",
                            ErrorKind::InvalidInput);
        map[f] = at;
    }
    if (!heading)
        if (auto guessed = guessColumns(sheet)) heading = guessed->headingRow;
    if (heading) {
        map = mapHeadings(sheet.rows[*heading], map);
        map.headingRow = heading;
    }
    requireComplete(map);
    return map;
}

}  // namespace cl::pricelist
