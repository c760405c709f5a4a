#include "update/update_store.h"

#include <algorithm>
#include <limits>

#include "app/numbers.h"
#include "store/error.h"
#include "store/fixed_text.h"
#include "store/identifier.h"
#include "update/update_settings.h"

namespace cl::review {

using store::Value;

namespace {
// A fixed-width text key may be stored padded or not: both forms hit the index.
Value padded(const std::string& key, size_t width) {
    return Value(store::fixedWidth(key, width));
}
Value bare(const std::string& key) {
    return Value(store::trimmed(key));
}
}  // namespace

// "SELECT <row identity>, ...": the identity first, then the columns a look-up wants.
std::string UpdateStore::selectRow(const std::string& rest) const {
    return "SELECT " + db_.rowIdentity() + ", " + rest;
}

// " ORDER BY <keys>, <row identity> LIMIT 1": of rows with the same key the oldest wins, on
// every engine (the order an index on the key gives).
std::string UpdateStore::firstBy(const std::string& keys) const {
    return " ORDER BY " + (keys.empty() ? "" : keys + ", ") + db_.rowIdentity() + " LIMIT 1";
}

std::optional<UpdateStore::Found> UpdateStore::one(store::Query& st) {
    std::optional<Found> out;
    if (st.step()) {
        out =
            Found{st.value(0).integer(), st.value(1), st.columnCount() > 2 ? st.value(2) : Value()};
    }
    st.reset();
    return out;
}

// Groups, departments, units and the central names are never written by an update: each key
// is read once per run, not once per row.
bool UpdateStore::isGroupExcluded(long long codgru) {
    if (auto known = excluded_.find(codgru); known != excluded_.end()) return known->second;
    auto st = db_.prepare("SELECT escgruppo FROM gruppi WHERE codgru = ?" + firstBy());
    st.bind(1, Value(codgru));
    bool excluded = st.step() && st.value(0).integer() == 1;
    st.reset();
    excluded_.emplace(codgru, excluded);
    return excluded;
}

std::optional<UpdateStore::Found> UpdateStore::articolo(long long codart) {
    if (auto known = articles_.find(codart); known != articles_.end()) {
        if (known->second.empty()) return std::nullopt;
        const ArticleRow& first = known->second.front();
        return Found{first.row, first.codart, first.przpub};
    }
    auto st = db_.prepare(selectRow("codart, przpub FROM listi01 WHERE codart = ?" + firstBy()));
    st.bind(1, Value(codart));
    return one(st);
}

std::string UpdateStore::articleDescription(long long codart) {
    if (auto known = articles_.find(codart); known != articles_.end())
        return known->second.empty() ? std::string() : known->second.front().desart.text();
    auto st = db_.prepare("SELECT desart FROM listi01 WHERE codart = ?" + firstBy());
    st.bind(1, Value(codart));
    std::string out = st.step() ? st.value(0).text() : std::string();
    st.reset();
    return out;
}

bool UpdateStore::articleHasSupplierCode(long long codart, const std::string& codafoTrimmed) {
    if (auto known = articles_.find(codart); known != articles_.end()) {
        const std::string want = store::asciiFolded(codafoTrimmed);
        return std::any_of(known->second.begin(), known->second.end(), [&](const ArticleRow& a) {
            return !a.codafo.isNull() &&
                   store::asciiFolded(store::trimmed(a.codafo.text())) == want;
        });
    }
    auto st = db_.prepare("SELECT 1 FROM listi01 WHERE codart = ? AND " +
                          db_.textEqualsIgnoringCase("trim(codafo)", "?") + " LIMIT 1");
    st.bind(1, Value(codart)).bind(2, Value(codafoTrimmed));
    bool found = st.step();
    st.reset();
    return found;
}

std::optional<UpdateStore::Found> UpdateStore::barcode(const std::string& ean) {
    if (auto known = barcodes_.find(ean); known != barcodes_.end()) return known->second;
    auto st = db_.prepare(
        selectRow("codare, pezzix FROM codean WHERE eanare IN (?, ?)" + firstBy("eanare")));
    st.bind(1, padded(ean, 13)).bind(2, bare(ean));
    return one(st);
}

std::vector<UpdateStore::Barcode> UpdateStore::barcodesOf(long long codart) {
    if (auto known = barcodesOf_.find(codart); known != barcodesOf_.end()) return known->second;
    auto st = db_.prepare(
        selectRow("pezzix, aggi FROM codean WHERE codare = ? ORDER BY " + db_.rowIdentity()));
    st.bind(1, Value(codart));
    std::vector<Barcode> rows;
    while (st.step()) rows.push_back({st.value(0).integer(), st.value(1), st.value(2).text()});
    st.reset();
    return rows;
}

std::optional<UpdateStore::Found> UpdateStore::supplierByTrimmedCode(const std::string& codafo,
                                                                     const std::string& codlis) {
    std::string key = store::trimmed(codafo);
    if (key.empty()) return std::nullopt;
    if (codlis == suppliersList_)
        if (auto known = suppliers_.find(key); known != suppliers_.end()) return known->second;
    // The key followed by blanks sorts between the key and the key padded far: an index range.
    auto st = db_.prepare(selectRow("codart FROM listi02 WHERE codafo BETWEEN ? AND ? AND " +
                                    db_.textEqualsIgnoringCase("trim(codafo)", "?") +
                                    " AND codlis = ?" + firstBy("codafo")));
    st.bindAll(key, key + std::string(32, ' '), key, codlis);
    if (auto found = one(st)) return found;
    // Codes stored with leading blanks are rare; they sit in their own short index range.
    auto lead = db_.prepare(selectRow(
        "codart FROM listi02 WHERE codafo >= ' ' AND codafo < '!' AND " +
        db_.textEqualsIgnoringCase("trim(codafo)", "?") + " AND codlis = ?" + firstBy("codafo")));
    lead.bind(1, Value(key)).bind(2, Value(codlis));
    return one(lead);
}

std::optional<UpdateStore::Found> UpdateStore::supplierByExactCode(const std::string& codafo,
                                                                   const std::string& codlis) {
    if (store::trimmed(codafo).empty()) return std::nullopt;
    auto st =
        db_.prepare(selectRow("codart FROM listi02 WHERE codafo = ? AND codlis = ?" + firstBy()));
    st.bind(1, Value(codafo)).bind(2, Value(codlis));
    return one(st);
}

std::optional<UpdateStore::Found> UpdateStore::supplierByArticle(long long codart,
                                                                 const std::string& codlis) {
    auto st =
        db_.prepare(selectRow("codart FROM listi02 WHERE codart = ? AND codlis = ?" + firstBy()));
    st.bind(1, Value(codart)).bind(2, Value(codlis));
    return one(st);
}

std::optional<std::string> UpdateStore::reparto(long long code) {
    if (auto known = departments_.find(code); known != departments_.end()) return known->second;
    auto st = db_.prepare("SELECT descrizione FROM reparti WHERE reparto = ?" + firstBy());
    st.bind(1, Value(code));
    std::optional<std::string> out;
    if (st.step()) out = st.value(0).text();
    st.reset();
    departments_.emplace(code, out);
    return out;
}

std::optional<double> UpdateStore::fattore(const std::string& unit) {
    if (auto known = factors_.find(unit); known != factors_.end()) return known->second;
    auto st = db_.prepare("SELECT fatxmul FROM unitam WHERE coduni IN (?, ?)" + firstBy("coduni"));
    st.bind(1, padded(unit, 2)).bind(2, bare(unit));
    std::optional<double> out;
    if (st.step()) {
        Value v = st.value(0);
        out = v.isText() ? leadingNumber(v.text()) : v.number();
    }
    st.reset();
    factors_.emplace(unit, out);
    return out;
}

bool UpdateStore::supplierListExists(const std::string& codlis) {
    if (auto known = supplierLists_.find(codlis); known != supplierLists_.end())
        return known->second;
    auto st = db_.prepare("SELECT 1 FROM fistini WHERE codlis IN (?, ?) LIMIT 1");
    st.bind(1, padded(codlis, 6)).bind(2, bare(codlis));
    bool found = st.step();
    st.reset();
    supplierLists_[codlis] = found;
    return found;
}

long long UpdateStore::nextFreeCode() {
    // Past the largest 32-bit code the table's own answer is the error to give.
    const long long code = highestCode_ && *highestCode_ < std::numeric_limits<int>::max()
                               ? *highestCode_ + 1
                               : review::nextFreeCode(db_);
    highestCode_ = code - 1;
    // Above every code in the table: no article has it yet.
    articles_[code];
    return code;
}

std::optional<UpdateStore::Subgroup> UpdateStore::sottogruppo(long long codsot) {
    if (auto known = subgroups_.find(codsot); known != subgroups_.end()) return known->second;
    auto st = db_.prepare("SELECT descrizione, codgru FROM fisso.sottogruppi WHERE codsot = ?" +
                          firstBy());
    st.bind(1, Value(codsot));
    std::optional<Subgroup> out;
    if (st.step() && !st.value(0).isNull())
        out = Subgroup{st.value(0).text(), st.value(1).integer()};
    st.reset();
    subgroups_.emplace(codsot, out);
    return out;
}

std::optional<std::string> UpdateStore::groupNameOf(long long codice) {
    if (auto known = groupNames_.find(codice); known != groupNames_.end()) return known->second;
    auto st = db_.prepare("SELECT descrizione FROM fisso.gruppi WHERE codice = ?" + firstBy());
    st.bind(1, Value(codice));
    std::optional<std::string> out;
    if (st.step() && !st.value(0).isNull()) out = st.value(0).text();
    st.reset();
    groupNames_.emplace(codice, out);
    return out;
}

history::Journal& UpdateStore::journal() {
    // Every write is recorded, so that the run can be undone: none without the journal.
    if (!journal_) throw Error("Aggiornamento senza registro: nessuna modifica è permessa.");
    return *journal_;
}

void UpdateStore::add(const std::string& table, const Fields& fields) {
    journal().insertRow(table, fields);
    forget(table, 0, fields);
}

void UpdateStore::edit(const std::string& table, long long row, const Fields& fields) {
    journal().updateReadRow(table, row, fields);
    forget(table, row, fields);
}

}  // namespace cl::review
