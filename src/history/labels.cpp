#include "history/labels.h"

#include <algorithm>

#include "app/numbers.h"
#include "history/journal.h"
#include "history/journal_schema.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl::history {

namespace {

const std::string H = kHistorySchema;

std::string csvField(const std::string& s) {
    if (s.find_first_of(",\"\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string amount(const std::optional<Money>& m) {
    return m ? formatNumber(m->toDouble(), "#,##0.00") : "";
}

long long lastRun(store::Database& db) {
    auto& st = db.prepare("SELECT max(id) FROM " + H + ".runs WHERE undone_at IS NULL");
    long long id = st.step() ? st.value(0).integer() : 0;
    st.reset();
    return id;
}

}  // namespace

LabelList etichetteDaRistampare(Session& session, std::optional<long long> run) {
    auto storeFile = session.host(session.state.nomedb);
    LabelList out;
    if (!std::filesystem::exists(historyFileFor(storeFile)))
        throw Error("Attenzione ... Nessun aggiornamento registrato.");
    auto db = session.openStore(false, store::OpenMode::ReadOnly);
    db->attach(historyFileFor(storeFile), H, store::OpenMode::ReadOnly);
    out.run = run ? *run : lastRun(*db);
    auto& r = db->prepare("SELECT at FROM " + H + ".runs WHERE id = ?");
    r.bind(1, store::Value(out.run));
    if (!r.step())
        throw Error(run ? "Attenzione ... L'aggiornamento " + std::to_string(*run) + " non esiste."
                        : "Attenzione ... Nessun aggiornamento registrato.");
    out.at = r.value(0).text();
    r.reset();
    if (db->columns("after_listi01", H).empty()) return out;
    bool haveBefore = !db->columns("before_listi01", H).empty();
    const int version = journalVersion(*db, H);
    auto col = [&](const char* alias, const char* column) {
        return std::string(alias) + "." + quoteName(copyColumn(column, version));
    };
    // First state before the run and last state after it, per article row.
    std::string before =
        haveBefore ? "(SELECT " + col("b", "przpub") + " FROM " + H + ".changes c2 JOIN " + H +
                         ".before_listi01 b ON b.change = c2.id WHERE c2.run = c.run "
                         "AND c2.tbl = 'listi01' AND c2.row = c.row ORDER BY c2.id LIMIT 1)"
                   : "NULL";
    auto& st =
        db->prepare("SELECT " + col("a", "codart") + ", " + col("a", "desart") + ", " +
                    col("a", "przpub") + ", " + col("a", "quaco") + ", " + col("a", "umquaco") +
                    ", " + before + ", (SELECT min(c3.op) FROM " + H +
                    ".changes c3 WHERE c3.run = c.run AND c3.tbl = 'listi01' "
                    "AND c3.row = c.row AND c3.op = 'I') FROM " +
                    H + ".changes c JOIN " + H +
                    ".after_listi01 a ON a.change = c.id WHERE c.id IN (SELECT max(id) FROM " + H +
                    ".changes WHERE run = ? AND tbl = 'listi01' GROUP BY row)");
    st.bind(1, store::Value(out.run));
    auto& ean = db->prepare(
        "SELECT eanare FROM main.codean WHERE codare = ? ORDER BY (primasecon = 'P') "
        "DESC, rowid LIMIT 1");
    auto& unit =
        db->prepare("SELECT fatxmul, umrife FROM main.unitam WHERE coduni = ? OR coduni = ?");
    while (st.step()) {
        Label l;
        l.article = st.value(0).integer();
        l.description = store::rtrimmed(st.value(1).text());
        l.newPrice = Money::fromDouble(st.value(2).number());
        bool created = !st.value(6).isNull();
        if (!created) l.oldPrice = journaledMoney(st.value(5));
        if (!created && l.oldPrice && *l.oldPrice == l.newPrice) continue;
        ean.reset().bind(1, store::Value(l.article));
        if (ean.step()) l.ean = store::rtrimmed(ean.value(0).text());
        ean.reset();
        // The shelf shows the price per reference unit of the content (per litre for 500 ML):
        // price / (content / multiplier of the content's unit), where the content is known.
        double content = st.value(3).number();
        std::string contentUnit = st.value(4).text();
        unit.reset().bindAll(store::fixedWidth(contentUnit, 2), store::trimmed(contentUnit));
        if (content > 0 && unit.step()) {
            double factor = leadingNumber(unit.value(0).text());
            if (factor > 0) {
                l.unitPrice =
                    Money::fromDouble(l.newPrice.toDouble() / (content / factor)).round2();
                l.referenceUnit = store::trimmed(unit.value(1).text());
            }
        }
        unit.reset();
        out.labels.push_back(l);
    }
    std::sort(out.labels.begin(), out.labels.end(),
              [](const Label& a, const Label& b) { return a.description < b.description; });
    return out;
}

std::string labelsCsv(const LabelList& list) {
    std::string out =
        "codart,ean,descrizione,prezzo_vecchio,prezzo_nuovo,prezzo_unitario,unita_riferimento\n";
    for (const auto& l : list.labels) {
        out += std::to_string(l.article) + "," + csvField(l.ean) + "," + csvField(l.description) +
               "," + (l.oldPrice ? l.oldPrice->plain() : "") + "," + l.newPrice.plain() + "," +
               (l.unitPrice ? l.unitPrice->plain() : "") + "," + csvField(l.referenceUnit) + "\n";
    }
    return out;
}

void stampaEtichette(const LabelList& list, Printer& p) {
    struct Col {
        const char* heading;
        double width;
    };
    const Col cols[] = {{"Codice", 35},         {"Codice Ean", 65},   {"Descrizione", 150},
                        {"Prezzo vecchio", 60}, {"Prezzo nuovo", 60}, {"Prezzo/UM", 60}};
    p.setScale(450, 650);
    p.setFontName("times new roman");
    int page = 0;
    double y = 0;
    auto heading = [&] {
        ++page;
        p.setFontSize(14);
        p.setBold(true);
        p.setPos(10, 20);
        p.print("Etichette da ristampare", false);
        p.setFontSize(10);
        p.setPos(300, 24);
        p.print("Agg. " + std::to_string(list.run) + " del " + formatDate(list.at.substr(0, 10)) +
                    "   Pag. " + std::to_string(page),
                false);
        y = 50;
        double x = 10;
        p.setLineWidth(1);
        for (const auto& c : cols) {
            p.rect(x, y, x + c.width, y + 14);
            p.setPos(x + 2, y + 2);
            p.print(c.heading, false);
            x += c.width;
        }
        y += 18;
        p.setBold(false);
        p.setFontSize(8);
    };
    heading();
    for (const auto& l : list.labels) {
        if (y > 625) {
            p.newPage();
            heading();
        }
        std::string unitText = l.unitPrice
                                   ? formatNumber(l.unitPrice->toDouble(), "#,##0.00") +
                                         (l.referenceUnit.empty() ? "" : "/" + l.referenceUnit)
                                   : "";
        const std::string texts[] = {std::to_string(l.article),
                                     l.ean,
                                     store::firstChars(l.description, 40),
                                     l.oldPrice ? amount(l.oldPrice) : "nuovo",
                                     amount(l.newPrice),
                                     unitText};
        double x = 10;
        for (size_t i = 0; i < 6; ++i) {
            p.rect(x, y, x + cols[i].width, y + 12);
            p.setPos(x + 2, y + 2);
            p.print(texts[i], false);
            x += cols[i].width;
        }
        y += 14;
    }
    p.endDoc();
}

}  // namespace cl::history
