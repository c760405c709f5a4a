#include "history/price_changes.h"

#include <algorithm>
#include <fstream>

#include "app/numbers.h"
#include "app/row_amounts.h"
#include "history/journal.h"
#include "history/journal_schema.h"
#include "history/label_reader.h"
#include "labels/label_face.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl::history {

namespace {

const std::string H = kHistorySchema;

// Per barcode row the run touched: the image the store holds now and the price on the other
// side. Before-images exist only once some run has updated or deleted a codean row.
std::string changesQuery(bool undone, bool haveBefore, int version) {
    auto v = [&](const char* alias, const char* column) { return copyRef(alias, column, version); };
    const std::string image = v("s", "eanare") + ", " + v("s", "codare") + ", " + v("s", "desart") +
                              ", " + v("s", "prezzo");
    const std::string rows =
        "(SELECT %s(id) FROM " + H + ".changes WHERE run = ? AND tbl = 'codean' GROUP BY row)";
    auto ids = [&](const char* fn) {
        std::string q = rows;
        q.replace(q.find("%s"), 2, fn);
        return q;
    };
    const std::string created = "(SELECT count(*) FROM " + H +
                                ".changes c3 WHERE c3.run = c.run AND c3.tbl = 'codean' AND "
                                "c3.row = c.row AND c3.op = 'I')";
    if (undone)
        return "SELECT " + image + ", (SELECT " + v("a", "prezzo") + " FROM " + H +
               ".changes c2 JOIN " + H +
               ".after_codean a ON a.change = c2.id WHERE c2.run = c.run AND c2.tbl = 'codean' "
               "AND c2.row = c.row AND c2.op <> 'D' ORDER BY c2.id DESC LIMIT 1), " +
               created + " FROM " + H + ".changes c JOIN " + H +
               ".before_codean s ON s.change = c.id WHERE c.id IN " + ids("min") + " ORDER BY c.id";
    std::string before = haveBefore ? "(SELECT " + v("b", "prezzo") + " FROM " + H +
                                          ".changes c2 JOIN " + H +
                                          ".before_codean b ON b.change = c2.id WHERE c2.run = "
                                          "c.run AND c2.tbl = 'codean' AND c2.row = c.row ORDER "
                                          "BY c2.id LIMIT 1)"
                                    : "NULL";
    return "SELECT " + image + ", " + before + ", " + created + " FROM " + H + ".changes c JOIN " +
           H + ".after_codean s ON s.change = c.id WHERE c.id IN " + ids("max") + " ORDER BY c.id";
}

// Department, unit and price per reference unit from the article as the store holds it.
void describe(store::Database& db, LabelReader& reader, BarcodePriceChange& line) {
    auto st =
        db.prepare(std::string("SELECT ") + kLabelFields + " FROM main.listi01 WHERE codart = ?");
    st.bind(1, store::Value(line.article));
    if (st.step()) {
        Label l = reader.read(st, 0);
        if (line.description.empty()) line.description = l.description;
        line.department = l.department;
        line.departmentName = l.departmentName;
        line.unit = l.unit;
        l.newPrice = line.newPrice;
        l.offerPrice.reset();
        reader.unitPrices(l, st.value(3).number(), st.value(4).text());
        line.referencePrice = l.unitPrice;
        line.referenceUnit = l.referenceUnit;
    }
    st.reset();
    if (line.byWeight) {
        line.referencePrice = line.newPrice;
        line.referenceUnit = "KG";
    }
}

long long lastRun(store::Database& db) {
    auto st = db.prepare("SELECT max(id) FROM " + H + ".runs WHERE undone_at IS NULL");
    long long id = st.step() ? st.value(0).integer() : 0;
    st.reset();
    return id;
}

// Scale and till importers read one record per line: a line break or tab inside a text
// becomes a blank; a text with ";" or '"' goes in double quotes.
std::string field(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    if (s.find_first_of(";\"") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// "1234,5" -> "1234,50": decimal comma, no thousands separator, two decimals.
std::string amount(const std::optional<Money>& m) {
    if (!m) return "";
    std::string s = formatNumber(m->toDouble(), "0.00");
    s.erase(std::remove(s.begin(), s.end(), '.'), s.end());
    return s;
}

}  // namespace

PriceChangeList priceChangesOfRun(Session& session, std::optional<long long> run) {
    auto storeFile = session.host(session.state.nomedb);
    if (!journalExists(session))
        throw NothingToDo("Attenzione ... Nessun aggiornamento registrato.");
    auto db = session.openStore(false, store::OpenMode::ReadOnly);
    db->attach(historyFileFor(storeFile), H, store::OpenMode::ReadOnly);
    PriceChangeList out;
    out.run = run ? *run : lastRun(*db);
    auto r = db->prepare("SELECT CASE WHEN undone_at IS NULL THEN 0 ELSE 1 END FROM " + H +
                         ".runs WHERE id = ?");
    r.bind(1, store::Value(out.run));
    if (!r.step()) {
        if (!run) throw NothingToDo("Attenzione ... Nessun aggiornamento registrato.");
        throw Error("Attenzione ... L'aggiornamento " + std::to_string(*run) + " non esiste.",
                    ErrorKind::NotFound);
    }
    out.undone = r.value(0).integer() != 0;
    r.reset();
    const bool haveAfter = !db->columns("after_codean", H).empty();
    const bool haveBefore = !db->columns("before_codean", H).empty();
    if (!haveAfter || (out.undone && !haveBefore)) return out;
    auto st = db->prepare(changesQuery(out.undone, haveBefore, journalVersion(*db, H)));
    st.bind(1, store::Value(out.run));
    std::vector<BarcodePriceChange> lines;
    while (st.step()) {
        bool created = st.value(5).integer() != 0;
        if (out.undone && created) continue;
        BarcodePriceChange line;
        line.ean = store::trimmed(st.value(0).text());
        line.article = st.value(1).integer();
        line.description = store::trimmed(st.value(2).text());
        line.newPrice = moneyOf(st.value(3));
        if (!created) line.oldPrice = optionalMoney(st.value(4));
        if (!created && line.oldPrice && *line.oldPrice == line.newPrice) continue;
        line.byWeight = labels::soldByWeight(line.ean);
        lines.push_back(line);
    }
    st.reset();
    LabelReader reader(*db);
    for (auto& line : lines) describe(*db, reader, line);
    std::sort(lines.begin(), lines.end(),
              [](const auto& a, const auto& b) { return a.ean < b.ean; });
    out.lines = std::move(lines);
    return out;
}

std::string priceChangesCsv(const PriceChangeList& list) {
    std::string out =
        "\xEF\xBB\xBF"
        "EAN;CODICE_ARTICOLO;DESCRIZIONE;REPARTO;DESCRIZIONE_REPARTO;UM;PREZZO_VECCHIO;"
        "PREZZO_NUOVO;PREZZO_RIFERIMENTO;UM_RIFERIMENTO;PESO_VARIABILE\r\n";
    for (const auto& l : list.lines) {
        out += field(l.ean) + ";" + std::to_string(l.article) + ";" + field(l.description) + ";" +
               (l.department ? std::to_string(l.department) : "") + ";" + field(l.departmentName) +
               ";" + field(l.unit) + ";" + amount(l.oldPrice) + ";" + amount(l.newPrice) + ";" +
               amount(l.referencePrice) + ";" + field(l.referenceUnit) + ";" +
               (l.byWeight ? "S" : "N") + "\r\n";
    }
    return out;
}

void writePriceChangesCsv(const PriceChangeList& list, const std::string& file) {
    const std::string part = file + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out << priceChangesCsv(list);
        out.flush();
        if (!out) {
            std::error_code ec;
            std::filesystem::remove(part, ec);
            throw Error("Attenzione ... Impossibile scrivere il file " + file + ".",
                        ErrorKind::ReadOnly);
        }
    }
    std::error_code ec;
    std::filesystem::rename(part, file, ec);
    if (ec) {
        std::filesystem::remove(part, ec);
        throw Error("Attenzione ... Impossibile scrivere il file " + file + ".",
                    ErrorKind::ReadOnly);
    }
}

}  // namespace cl::history
