#include "history/labels.h"

#include <algorithm>

#include "app/clock.h"
#include "app/numbers.h"
#include "app/row_amounts.h"
#include "history/journal.h"
#include "history/journal_schema.h"
#include "history/label_reader.h"
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
    auto st = db.prepare("SELECT max(id) FROM " + H + ".runs WHERE undone_at IS NULL");
    long long id = st.step() ? st.value(0).integer() : 0;
    st.reset();
    return id;
}

std::string fieldsOf(const std::string& alias, int version) {
    std::string out, all = kLabelFields;
    size_t from = 0;
    while (from < all.size()) {
        size_t comma = all.find(", ", from);
        std::string f =
            all.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        out += (out.empty() ? "" : ", ") + copyRef(alias, f, version);
        if (comma == std::string::npos) break;
        from = comma + 2;
    }
    return out;
}

// Per article row of the run: the image the store holds now (after the run, or before it when
// the run was undone) and the price on the other side of the change.
std::string runQuery(bool undone, bool haveBefore, int version) {
    const std::string perRow =
        "(SELECT %s(id) FROM " + H + ".changes WHERE run = ? AND tbl = 'listi01' GROUP BY row)";
    auto ids = [&](const char* fn) {
        std::string q = perRow;
        q.replace(q.find("%s"), 2, fn);
        return q;
    };
    // The other side: the price before the first change, or after the last one.
    std::string other = !haveBefore ? std::string("NULL")
                        : undone    ? "(SELECT " + copyRef("a", "przpub", version) + " FROM " + H +
                                       ".changes c2 JOIN " + H +
                                       ".after_listi01 a ON a.change = c2.id WHERE c2.run = c.run "
                                       "AND c2.tbl = 'listi01' AND c2.row = c.row AND c2.op <> 'D' "
                                       "ORDER BY c2.id DESC LIMIT 1)"
                                 : "(SELECT " + copyRef("b", "przpub", version) + " FROM " + H +
                                       ".changes c2 JOIN " + H +
                                       ".before_listi01 b ON b.change = c2.id WHERE c2.run = c.run "
                                       "AND c2.tbl = 'listi01' AND c2.row = c.row ORDER BY c2.id "
                                       "LIMIT 1)";
    // An article the run created: gone again after an undo, "nuovo" on its label otherwise.
    std::string created = "(SELECT count(*) FROM " + H +
                          ".changes c3 WHERE c3.run = c.run AND c3.tbl = 'listi01' AND c3.row = "
                          "c.row AND c3.op = 'I')";
    const std::string image = undone ? "before_listi01" : "after_listi01";
    return "SELECT " + other + ", " + created + ", " + fieldsOf("s", version) + " FROM " + H +
           ".changes c JOIN " + H + "." + image + " s ON s.change = c.id WHERE c.id IN " +
           ids(undone ? "min" : "max") + " ORDER BY c.id";
}

}  // namespace

LabelList labelsToReprint(Session& session, std::optional<long long> run) {
    auto storeFile = session.host(session.state.nomedb);
    LabelList out;
    if (!journalExists(session))
        throw NothingToDo("Attenzione ... Nessun aggiornamento registrato.");
    auto db = session.openStore(false, store::OpenMode::ReadOnly);
    db->attach(historyFileFor(storeFile), H, store::OpenMode::ReadOnly);
    out.run = run ? *run : lastRun(*db);
    auto r = db->prepare("SELECT at, CASE WHEN undone_at IS NULL THEN 0 ELSE 1 END FROM " + H +
                         ".runs WHERE id = ?");
    r.bind(1, store::Value(out.run));
    if (!r.step()) {
        if (!run) throw NothingToDo("Attenzione ... Nessun aggiornamento registrato.");
        throw Error("Attenzione ... L'aggiornamento " + std::to_string(*run) + " non esiste.",
                    ErrorKind::NotFound);
    }
    out.at = r.value(0).text();
    const bool undone = r.value(1).integer() != 0;
    out.undone = undone;
    r.reset();
    if (db->columns("after_listi01", H).empty()) return out;
    // Before-images exist once a run has updated or deleted a row.
    if (undone && db->columns("before_listi01", H).empty()) return out;
    auto st = db->prepare(
        runQuery(undone, !db->columns("before_listi01", H).empty(), journalVersion(*db, H)));
    st.bind(1, store::Value(out.run));
    LabelReader reader(*db);
    while (st.step()) {
        bool created = st.value(1).integer() != 0;
        if (undone && created) continue;
        Label l = reader.read(st, 2);
        if (!created) l.oldPrice = optionalMoney(st.value(0));
        if (!created && l.oldPrice && *l.oldPrice == l.newPrice) continue;
        out.labels.push_back(l);
    }
    st.reset();
    std::sort(out.labels.begin(), out.labels.end(),
              [](const Label& a, const Label& b) { return a.description < b.description; });
    return out;
}

LabelList labelsForArticles(Session& session, const std::vector<long long>& articles) {
    LabelList out;
    out.at = todayIso();
    auto db = session.openStore(false, store::OpenMode::ReadOnly);
    auto st =
        db->prepare(std::string("SELECT ") + kLabelFields + " FROM main.listi01 WHERE codart = ?");
    LabelReader reader(*db);
    for (long long code : articles) {
        st.reset().bind(1, store::Value(code));
        if (!st.step())
            throw Error(
                "Attenzione ... L'articolo " + std::to_string(code) + " non esiste nel listino.",
                ErrorKind::NotFound);
        out.labels.push_back(reader.read(st, 0));
        st.reset();
    }
    return out;
}

std::vector<long long> articleCodes(const std::string& text) {
    std::vector<long long> out;
    size_t from = 0;
    while (from <= text.size()) {
        size_t comma = text.find(',', from);
        std::string part =
            text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        auto code = wholeNumber(part);
        if (!code || *code <= 0)
            throw Error("Attenzione ... Il codice articolo \"" + store::trimmed(part) +
                            "\" non è un numero intero valido.",
                        ErrorKind::InvalidInput);
        out.push_back(*code);
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
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

void printLabelList(const LabelList& list, Printer& p) {
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
        // Articles chosen by code belong to no update: the list is of their current prices.
        p.print(
            (list.run ? "Agg. " + std::to_string(list.run) + " del " : std::string("Prezzi del ")) +
                formatDate(list.at.substr(0, 10)) + "   Pag. " + std::to_string(page),
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
                                     l.oldPrice ? amount(l.oldPrice)
                                     : list.run ? "nuovo"
                                                : "",
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
