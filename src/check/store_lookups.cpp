#include "check/store_lookups.h"

#include "store/fixed_text.h"

namespace cl::check {

StoreLookups::StoreLookups(store::Database& db) : db_(db) {
    // The first row of a key wins, as a lookup query's first row would.
    auto sub =
        db.prepare("SELECT codsot, codgru FROM fisso.sottogruppi ORDER BY " + db.rowIdentity());
    while (sub.step())
        if (!sub.value(0).isNull())
            subgroups_.emplace(sub.value(0).integer(), sub.value(1).integer());
    auto gr = db.prepare("SELECT codgru, codrep, dscgruppo FROM main.gruppi ORDER BY " +
                         db.rowIdentity());
    while (gr.step())
        if (!gr.value(0).isNull())
            groups_.emplace(gr.value(0).integer(), StoreGroup{gr.value(1), gr.value(2)});
    auto rep = db.prepare("SELECT reparto, descrizione, tx FROM main.reparti ORDER BY " +
                          db.rowIdentity());
    while (rep.step())
        if (!rep.value(0).isNull())
            departments_.emplace(rep.value(0).integer(),
                                 Department{rep.value(1).text(), rep.value(2).text()});
    auto cg = db.prepare("SELECT codice, ricarica FROM fisso.gruppi ORDER BY " + db.rowIdentity());
    while (cg.step()) {
        if (cg.value(0).isNull()) continue;
        auto v = cg.value(1);
        centralGroups_.emplace(cg.value(0).integer(),
                               v.isNull() ? std::nullopt : std::optional<double>(v.number()));
    }
}

std::optional<StoreBarcode> StoreLookups::barcode(const std::string& ean) {
    std::string key = store::trimmed(ean);
    if (key.empty()) return std::nullopt;  // a blank barcode names no product
    // Stored padded or not, the barcode is the same one; a full 13-character code has one form.
    const std::string padded = store::fixedWidth(key, 13);
    if (auto known = readAheadBarcode(key, padded)) return *known;
    auto st = padded == key ? db_.prepare(
                                  "SELECT codare, even, flagean FROM main.codean WHERE eanare = ? "
                                  "ORDER BY " +
                                  db_.rowIdentity() + " LIMIT 1")
                            : db_.prepare(
                                  "SELECT codare, even, flagean FROM main.codean "
                                  "WHERE eanare IN (?, ?) ORDER BY eanare, " +
                                  db_.rowIdentity() + " LIMIT 1");
    st.bind(1, store::Value(padded));
    if (padded != key) st.bind(2, store::Value(key));
    std::optional<StoreBarcode> out;
    if (st.step())
        out = StoreBarcode{st.value(0).integer(), st.value(1).integer(), st.value(2).text()};
    return out;
}

const std::string StoreLookups::kPriceColumns =
    "ricart, marg, przpub, cofart, przsal, datagg, codrep, desart, umart, desfor, desgru, dessot, "
    "ivart, codfor";

PriceRow StoreLookups::readPriceRow(const store::Query& st, int first) {
    PriceRow r;
    r.ricart = st.value(first);
    r.marg = st.value(first + 1);
    r.przpub = st.value(first + 2);
    r.cofart = st.value(first + 3);
    r.przsal = st.value(first + 4);
    r.datagg = st.value(first + 5);
    r.codrep = st.value(first + 6);
    r.desart = st.value(first + 7).text();
    r.umart = st.value(first + 8).text();
    r.desfor = st.value(first + 9).text();
    r.desgru = st.value(first + 10).text();
    r.dessot = st.value(first + 11).text();
    r.ivart = st.value(first + 12);
    r.codfor = st.value(first + 13);
    return r;
}

std::optional<PriceRow> StoreLookups::priceRow(long long codart) {
    if (auto known = priceRows_.find(codart); known != priceRows_.end()) return known->second;
    auto st =
        db_.prepare("SELECT " + kPriceColumns + " FROM main.listi01 WHERE codart = ? ORDER BY " +
                    db_.rowIdentity() + " LIMIT 1");
    st.bind(1, store::Value(codart));
    std::optional<PriceRow> out;
    if (st.step()) out = readPriceRow(st, 0);
    return out;
}

std::optional<long long> StoreLookups::supplierListArticle(const std::string& codafo,
                                                           const std::string& codlis) {
    if (codafo.empty()) return std::nullopt;  // a row without a code names no listed article
    if (auto known = readAheadSupplierArticle(codafo, codlis)) return *known;
    auto st =
        db_.prepare("SELECT codart FROM main.listi02 WHERE codafo = ? AND codlis = ? ORDER BY " +
                    db_.rowIdentity() + " LIMIT 1");
    st.bindAll(codafo, codlis);
    std::optional<long long> out;
    if (st.step()) out = st.value(0).integer();
    return out;
}

namespace {
std::string withoutLeadingZeros(const std::string& digits) {
    size_t i = digits.find_first_not_of('0');
    return i == std::string::npos ? "0" : digits.substr(i);
}
bool isDigits(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}
}  // namespace

std::vector<StoreLookups::StoredCode> StoreLookups::codesWithoutZeros(const std::string& digits,
                                                                      const std::string& codlis) {
    if (!isDigits(digits)) return {};
    if (zerosList_ != codlis) {
        zerosList_ = codlis;
        codesByDigits_.clear();
        auto st = db_.prepare("SELECT codafo, codart FROM main.listi02 WHERE codlis = ?");
        st.bind(1, store::Value(codlis));
        while (st.step()) {
            std::string code = store::trimmed(st.value(0).text());
            if (isDigits(code))
                codesByDigits_.emplace(withoutLeadingZeros(code),
                                       StoredCode{st.value(0).text(), st.value(1).integer()});
        }
    }
    std::vector<StoredCode> out;
    auto [from, to] = codesByDigits_.equal_range(withoutLeadingZeros(digits));
    for (auto it = from; it != to; ++it) {
        bool known = false;
        for (const auto& o : out) known = known || o.codart == it->second.codart;
        if (!known) out.push_back(it->second);
    }
    return out;
}

std::optional<long long> StoreLookups::supplierListCode(const std::string& code,
                                                        const std::string& codlis) {
    if (code.empty()) return std::nullopt;
    const std::string padded = store::fixedWidth(code, 16);
    if (padded == code) return supplierListArticle(code, codlis);
    // The code as written wins over the code padded, as the statement below orders them.
    if (auto bare = readAheadSupplierArticle(code, codlis)) {
        if (auto full = readAheadSupplierArticle(padded, codlis)) return *bare ? *bare : *full;
    }
    auto st = db_.prepare(
        "SELECT codart FROM main.listi02 WHERE codafo IN (?, ?) AND codlis = ? "
        "ORDER BY CASE WHEN codafo = ? THEN 0 ELSE 1 END, codafo, " +
        db_.rowIdentity() + " LIMIT 1");
    st.bindAll(code, padded, codlis, code);
    std::optional<long long> out;
    if (st.step()) out = st.value(0).integer();
    return out;
}

bool StoreLookups::centralHasBarcode(long long codart) {
    if (centralAsked_.count(codart)) return centralWithBarcode_.count(codart) > 0;
    auto st = db_.prepare("SELECT 1 FROM fisso.codean WHERE codare = ? LIMIT 1");
    st.bind(1, store::Value(codart));
    bool found = st.step();
    return found;
}

const long long* StoreLookups::subgroupGroup(long long codsot) const {
    auto it = subgroups_.find(codsot);
    return it == subgroups_.end() ? nullptr : &it->second;
}

const StoreGroup* StoreLookups::storeGroup(long long codgru) const {
    auto it = groups_.find(codgru);
    return it == groups_.end() ? nullptr : &it->second;
}

const Department* StoreLookups::department(long long reparto) const {
    auto it = departments_.find(reparto);
    return it == departments_.end() ? nullptr : &it->second;
}

std::optional<std::optional<double>> StoreLookups::centralGroupMarkup(long long codice) const {
    auto it = centralGroups_.find(codice);
    if (it == centralGroups_.end()) return std::nullopt;
    return it->second;
}

}  // namespace cl::check
