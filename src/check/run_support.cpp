#include "check/run_support.h"

#include <cstdio>

#include "app/numbers.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl::check {

RunProgress::RunProgress(Progress& progress, long long rows) : progress_(progress), rows_(rows) {
    progress_.setBar(0);
    progress_.showBar(true);
}

RunProgress::~RunProgress() {
    progress_.showBar(false);
}

void RunProgress::rowDone() {
    ++done_;
    int position = rows_ > 0 ? static_cast<int>(done_ * 20000 / rows_) : 0;
    if (position != shown_) {
        shown_ = position;
        progress_.setBar(position);
    }
}

long long variatilRows(store::Database& db) {
    auto st = db.prepare("SELECT count(*) FROM main.variatil");
    st.step();
    long long n = st.value(0).integer();
    st.reset();
    return n;
}

std::optional<WorkTableMark> confirmDiscardReview(store::Database& db, Messages& messages) {
    const WorkTableMark review = workTableMark(db);
    if (review.rows == 0) return review;
    std::string text = "ATTENZIONE !!!. Ci sono ancora " + std::to_string(review.rows) +
                       " articoli variati non aggiornati in listino dal controllo precedente. "
                       "Proseguendo verranno cancellati. Eseguire ugualmente il nuovo controllo ?";
    if (messages.ask(text, "Controllo Articoli", Icon::Question, Answer::No) != Answer::Yes)
        return std::nullopt;
    return review;
}

void discardReview(store::Database& db, const WorkTableMark& agreed) {
    // An empty table loses nothing; anything else must be what the operator was asked about.
    if (variatilRows(db) != 0 && !(workTableMark(db) == agreed)) throw Error(kWorkTableChanged);
    emptyVariatil(db);
}

void emptyVariatil(store::Database& db) {
    db.prepare("DELETE FROM main.variatil").run();
}

store::Value fixedOrNull(const store::Value& v, size_t width) {
    if (v.isNull()) return v;
    return store::Value(store::fixedWidth(v.text(), width));
}

std::string zeroPadded(long long n, int digits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", digits, n);
    return buf;
}

void checkAmount(Money amount, const char* what) {
    if (withinLimits(amount)) return;
    throw AmountError(std::string(what) + " " + formatNumber(amount.toDouble(), "#,##0.00") +
                      " fuori dai limiti (deve essere minore di 1.000.000,00).");
}

std::string articleFailure(const store::Value& codart, const store::Value& desart,
                           const std::string& reason) {
    const std::string prefix = "Attenzione ... ";
    std::string why = reason.rfind(prefix, 0) == 0 ? reason.substr(prefix.size()) : reason;
    return prefix + "Articolo " + codart.text() + " \"" + store::trimmed(desart.text()) +
           "\" dell'archivio centrale: " + why + " Controllo annullato.";
}

}  // namespace cl::check
