#include "review/review_commands.h"

#include <string>
#include <utility>

#include "app/money.h"
#include "app/row_amounts.h"
#include "check/pricing.h"
#include "review/recalc.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl::review {

namespace {

void bindAllParams(store::Query& st, const std::vector<store::Value>& params, int first = 1) {
    for (size_t i = 0; i < params.size(); ++i) st.bind(first + static_cast<int>(i), params[i]);
}

// Runs "<sql> <condition of the view>" in one transaction; returns the rows changed.
long long runOverView(store::Database& db, const std::string& sql, const ReviewFilter& view,
                      const std::vector<store::Value>& leading = {}) {
    SqlText where = whereClause(db, view);
    store::Transaction tx(db);
    auto st = db.prepare(sql + where.text);
    bindAllParams(st, leading);
    bindAllParams(st, where.params, static_cast<int>(leading.size()) + 1);
    st.run();
    long long changed = db.changes();
    tx.commit();
    return changed;
}

// Reads (row identity, fields...) of every row of the view in its order, before any row is written.
std::vector<std::pair<long long, std::vector<store::Value>>> readView(store::Database& db,
                                                                      const ReviewFilter& view,
                                                                      const std::string& fields) {
    SqlText where = whereClause(db, view);
    auto st = db.prepare("SELECT " + db.rowIdentity() + ", " + fields + " FROM variatil" +
                         where.text + orderClause(db, view));
    bindAllParams(st, where.params);
    std::vector<std::pair<long long, std::vector<store::Value>>> rows;
    while (st.step()) {
        std::vector<store::Value> values;
        for (int i = 1; i < st.columnCount(); ++i) values.push_back(st.value(i));
        rows.emplace_back(st.value(0).integer(), std::move(values));
    }
    return rows;
}

// The margin of the new price, as the check run computes it; where that gives 0 the row keeps
// the margin it had, so that the grid and a created article never show another price's margin.
store::Value marginFor(Money price, const store::Value& coston, const store::Value& ivart,
                       const store::Value& rica) {
    std::optional<Money> vat, cost;
    if (!ivart.isNull()) vat = check::vatRate(store::firstChars(ivart.text(), 2));
    if (!coston.isNull()) cost = moneyOf(coston);
    double margin = check::newMargin(price, vat, cost, 0);
    return margin == 0 ? rica : store::Value(margin);
}

// The fields every recalculation reads after its own: for the margin, the hand-typed mark and
// the key that names a refused row.
constexpr int kTrailing = 5;
const char* kTrailingFields = ", coston, ivart, rica, modificatoamano, bns";

long long handTypedRows(store::Database& db, const ReviewFilter& view);

// New prices and margins written a block of rows per statement: a server costs a round trip
// per block, not per row.
class PriceWrites {
  public:
    static constexpr int kBlock = 64;

    explicit PriceWrites(store::Database& db) : st_(db.prepare(blockSql(db))) {}
    void add(long long id, double price, store::Value margin) {
        pending_.push_back({id, price, std::move(margin)});
        if (pending_.size() == kBlock) flush();
    }
    // Unused places of the block name no row.
    void flush() {
        if (pending_.empty()) return;
        st_.reset();
        int at = 1;
        for (int i = 0; i < kBlock; ++i) {
            const Pending* p = i < static_cast<int>(pending_.size()) ? &pending_[i] : nullptr;
            st_.bind(at + 2 * i, p ? store::Value(p->id) : store::Value());
            st_.bind(at + 2 * i + 1, p ? store::Value(p->price) : store::Value());
            st_.bind(at + 2 * kBlock + 2 * i, p ? store::Value(p->id) : store::Value());
            st_.bind(at + 2 * kBlock + 2 * i + 1, p ? p->margin : store::Value());
            st_.bind(at + 4 * kBlock + i, p ? store::Value(p->id) : store::Value());
        }
        st_.run();
        pending_.clear();
    }

  private:
    struct Pending {
        long long id;
        double price;
        store::Value margin;
    };
    // Each field takes the value given for its row; the column itself in ELSE gives the
    // values their type on every engine.
    static std::string blockSql(store::Database& db) {
        const std::string id = db.rowIdentity();
        std::string whens, marks;
        for (int i = 0; i < kBlock; ++i) {
            whens += " WHEN ? THEN ?";
            marks += i ? ", ?" : "?";
        }
        return "UPDATE variatil SET prezpubv = CASE " + id + whens +
               " ELSE prezpubv END, rica = "
               "CASE " +
               id + whens + " ELSE rica END WHERE " + id + " IN (" + marks + ")";
    }
    store::Query st_;
    std::vector<Pending> pending_;
};

template <typename PriceOf>
long long rewritePrices(store::Database& db, const ReviewFilter& view, const std::string& fields,
                        bool keepEdited, long long editedAgreed, Progress& progress,
                        PriceOf priceOf) {
    store::Transaction tx(db);
    if (!keepEdited && editedAgreed >= 0 && handTypedRows(db, view) > editedAgreed)
        throw Error(kEditedSinceQuestion);
    auto rows = readView(db, view, fields + kTrailingFields);
    PriceWrites writes(db);
    long long n = 0;
    for (const auto& [id, values] : rows) {
        const store::Value* tail = values.data() + values.size() - kTrailing;
        if (keepEdited && store::trimmed(tail[3].text()) == "1") continue;
        Money price = priceOf(values);
        // An absurd result stops the command before anything is written, naming the row.
        std::string why = salePriceRefusal(price.toDouble());
        if (!why.empty())
            throw Error(
                why + " (riga bns " + values.back().text() + "): nessun prezzo ricalcolato.",
                ErrorKind::InvalidInput);
        writes.add(id, price.toDouble(), marginFor(price, tail[0], tail[1], tail[2]));
        if (++n % 256 == 0) progress.setCount("cntbw", n);
    }
    writes.flush();
    progress.setCount("cntbw", n);
    tx.commit();
    return n;
}

// Flips the mark of the first row (in insertion order) with a given key.
std::string invertSql(store::Database& db) {
    const std::string id = db.rowIdentity();
    return "UPDATE variatil SET sel = CASE WHEN coalesce(sel, '') = '' THEN 'X' ELSE '' END "
           "WHERE " +
           id + " = (SELECT " + id + " FROM variatil WHERE bns = ? ORDER BY " + id + " LIMIT 1)";
}

}  // namespace

long long countViewRows(store::Database& db, const ReviewFilter& view) {
    SqlText where = whereClause(db, view);
    auto st = db.prepare("SELECT count(*) FROM variatil" + where.text);
    bindAllParams(st, where.params);
    return st.step() ? st.value(0).integer() : 0;
}

long long setViewSelection(store::Database& db, const ReviewFilter& view, bool selected) {
    return runOverView(db, "UPDATE variatil SET sel = ?", view,
                       {store::Value(selected ? "X" : "")});
}

long long selectByPrice(store::Database& db, const ReviewFilter& view, PriceTest test) {
    // A null price reads as 0, as the grid shows it.
    const std::string holds = test == PriceTest::Changed
                                  ? "coalesce(prezpubv, 0) <> coalesce(prezpub, 0)"
                                  : "coalesce(prezpub, 0) < coalesce(prezpubv, 0)";
    return runOverView(db,
                       "UPDATE variatil SET variati = CASE WHEN " + holds +
                           " THEN 'V' ELSE variati END, sel = CASE WHEN " + holds +
                           " THEN 'X' ELSE '' END",
                       view);
}

long long deleteRows(store::Database& db, const ReviewFilter& view) {
    return runOverView(db, "DELETE FROM variatil", view);
}

bool toggleSelection(store::Database& db, long long bns) {
    store::Transaction tx(db);
    auto st = db.prepare(invertSql(db));
    st.bindAll(bns);
    st.run();
    bool found = db.changes() > 0;
    tx.commit();
    return found;
}

void toggleSelections(store::Database& db, const std::vector<long long>& keys) {
    store::Transaction tx(db);
    for (long long bns : keys) {
        auto st = db.prepare(invertSql(db));
        st.bindAll(bns);
        st.run();
        if (db.changes() == 0)
            throw Error("Attenzione ... Nessuna riga con bns = " + std::to_string(bns) +
                            ": nessuna selezione cambiata.",
                        ErrorKind::NotFound);
    }
    tx.commit();
}

long long countHandEdited(store::Database& db, const ReviewFilter& view) {
    return handTypedRows(db, view);
}

namespace {
long long handTypedRows(store::Database& db, const ReviewFilter& view) {
    SqlText where = whereClause(db, view);
    auto st = db.prepare("SELECT count(*) FROM variatil" + where.text +
                         (where.text.empty() ? " WHERE" : " AND") +
                         " trim(coalesce(modificatoamano, '')) = '1'");
    bindAllParams(st, where.params);
    return st.step() ? st.value(0).integer() : 0;
}
}  // namespace

long long recalcFromPrice(store::Database& db, const ReviewFilter& view, float p, bool round,
                          bool keepEdited, Progress& progress, long long editedAgreed) {
    return rewritePrices(
        db, view, "prezpub", keepEdited, editedAgreed, progress,
        [&](const auto& v) { return priceFromPercentage(moneyOf(v[0]), p, round); });
}

long long recalcFromCost(store::Database& db, const ReviewFilter& view, float p, bool round,
                         bool keepEdited, Progress& progress, long long editedAgreed) {
    return rewritePrices(db, view, "coston, ivart", keepEdited, editedAgreed, progress,
                         [&](const auto& v) {
                             int vat = 0;
                             try {
                                 vat = wholeVatRate(v[1].text());
                             } catch (const Error& e) {
                                 throw Error(std::string(e.what()) + " (riga bns " +
                                                 v.back().text() + "): nessun prezzo ricalcolato.",
                                             e.kind());
                             }
                             return priceFromCost(moneyOf(v[0]), p, vat, round);
                         });
}

}  // namespace cl::review
