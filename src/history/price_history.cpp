#include "history/price_history.h"

#include "app/row_amounts.h"
#include "app/who.h"
#include "history/journal.h"
#include "history/journal_schema.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl::history {

namespace {

const std::string H = kHistorySchema;

std::unique_ptr<store::Database> openWithHistory(Session& session) {
    auto db = session.openStore(false, store::OpenMode::ReadOnly);
    attachHistoryToRead(session, *db);
    return db;
}

ArticleHistory historyOf(store::Database& db, long long article) {
    ArticleHistory out;
    out.article = article;
    auto desc = db.prepare("SELECT desart FROM main.listi01 WHERE codart = ?");
    desc.bind(1, store::Value(article));
    if (desc.step()) out.description = store::rtrimmed(desc.value(0).text());
    desc.reset();
    if (!db.isAttached(H) || db.columns("before_listi01", H).empty() ||
        db.columns("after_listi01", H).empty())
        return out;
    const int version = journalVersion(db, H);
    auto col = [&](const char* alias, const char* column) {
        return std::string(alias) + "." + quoteName(copyColumn(column, version));
    };
    auto st = db.prepare(
        "SELECT r.id, r.at, r.kind, CASE WHEN r.undone_at IS NULL THEN 0 ELSE 1 END, c.op, " +
        col("b", "cofart") + ", " + col("a", "cofart") + ", " + col("b", "przpub") + ", " +
        col("a", "przpub") + ", " + col("a", "desart") + ", " +
        (version >= 4 ? "r.by_user, r.by_pc, r.undone_by_user, r.undone_by_pc"
                      : "NULL, NULL, NULL, NULL") +
        " FROM " + H + ".changes c JOIN " + H + ".runs r ON r.id = c.run LEFT JOIN " + H +
        ".before_listi01 b ON b.change = c.id LEFT JOIN " + H +
        ".after_listi01 a ON a.change = c.id WHERE c.tbl = 'listi01' AND c.article = ? ORDER BY "
        "c.id");
    st.bind(1, store::Value(article));
    while (st.step()) {
        PriceChange p;
        p.run = st.value(0).integer();
        p.at = st.value(1).text();
        p.kind = st.value(2).text();
        p.undone = st.value(3).integer() != 0;
        p.created = st.value(4).text() == "I";
        p.costBefore = optionalMoney(st.value(5));
        p.costAfter = optionalMoney(st.value(6));
        p.priceBefore = optionalMoney(st.value(7));
        p.priceAfter = optionalMoney(st.value(8));
        if (out.description.empty()) out.description = store::rtrimmed(st.value(9).text());
        p.byUser = st.value(10).text();
        p.byPc = st.value(11).text();
        p.undoneByUser = st.value(12).text();
        p.undoneByPc = st.value(13).text();
        bool costSame = p.costBefore == p.costAfter, priceSame = p.priceBefore == p.priceAfter;
        if (p.created || !costSame || !priceSame) out.changes.push_back(p);
    }
    return out;
}

}  // namespace

std::string changeNote(const PriceChange& c) {
    std::string note = c.created ? "creato" : "";
    if (!c.undone) return note;
    const std::string who = describeWho(c.undoneByUser, c.undoneByPc);
    return note + (note.empty() ? "" : ", ") + "annullato" + (who.empty() ? "" : " da " + who);
}

ArticleHistory articleHistory(Session& session, long long article) {
    auto db = openWithHistory(session);
    return historyOf(*db, article);
}

ArticleHistory historyByEan(Session& session, const std::string& ean) {
    auto db = openWithHistory(session);
    auto st = db->prepare(
        "SELECT codare FROM main.codean WHERE eanare = ? OR eanare = ? ORDER BY "
        "eanare, " +
        db->rowIdentity());
    st.bindAll(store::fixedWidth(ean, 13), store::trimmed(ean));
    long long article = 0;
    if (st.step()) article = st.value(0).integer();
    st.reset();
    if (!article && db->isAttached(H) && !db->columns("after_codean", H).empty()) {
        std::string eanare = "a." + quoteName(copyColumn("eanare", journalVersion(*db, H)));
        auto j = db->prepare("SELECT c.article FROM " + H + ".changes c JOIN " + H +
                             ".after_codean a ON a.change = c.id WHERE " + eanare + " = ? OR " +
                             eanare + " = ? ORDER BY c.id DESC LIMIT 1");
        j.bindAll(store::fixedWidth(ean, 13), store::trimmed(ean));
        if (j.step()) article = j.value(0).integer();
        j.reset();
    }
    if (!article)
        throw Error("Attenzione ... Il codice EAN " + store::trimmed(ean) + " non è presente.",
                    ErrorKind::NotFound);
    return historyOf(*db, article);
}

}  // namespace cl::history
