// The update's look-ups read for a block of review rows at once, and forgotten as the run writes.
#include <algorithm>
#include <functional>
#include <set>

#include "store/fixed_text.h"
#include "update/update_store.h"

namespace cl::review {

using store::Value;

namespace {

// Keys per statement: the statement is the same for every block, the last one padded.
constexpr size_t kKeys = 64;

std::string marks(size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) out += i ? ", ?" : "?";
    return out;
}

using store::asciiFolded;
std::string foldedTrim(const std::string& text) {
    return asciiFolded(store::trimmed(text));
}

// Runs the statement `sql` makes for kKeys keys over every kKeys of `keys`, each key bound
// as the `perKey` values `bindKey` gives, then `after`; the last chunk repeats its first key.
template <typename Key>
void inChunks(store::Database& db, const std::vector<Key>& keys, const std::string& sql,
              const std::function<std::vector<Value>(const Key&)>& bindKey,
              const std::function<void(store::Query&)>& perRow,
              const std::vector<Value>& after = {}) {
    auto st = db.prepare(sql);
    for (size_t at = 0; at < keys.size(); at += kKeys) {
        st.reset();
        int param = 0;
        for (size_t i = 0; i < kKeys; ++i) {
            const Key& key = keys[at + i < keys.size() ? at + i : at];
            for (const Value& v : bindKey(key)) st.bind(++param, v);
        }
        for (const Value& v : after) st.bind(++param, v);
        while (st.step()) perRow(st);
    }
    st.reset();
}

template <typename T>
std::vector<T> distinct(const std::vector<T>& values) {
    std::set<T> seen(values.begin(), values.end());
    return {seen.begin(), seen.end()};
}

// The whole number a code column holds; nullopt for anything else.
std::optional<long long> wholeCode(const Value& v) {
    if (!v.isNumber()) return std::nullopt;
    const long long k = v.integer();
    return v.number() == static_cast<double>(k) ? std::optional(k) : std::nullopt;
}

}  // namespace

void UpdateStore::readAhead(const BlockKeys& keys) {
    articles_.clear();
    barcodes_.clear();
    barcodesOf_.clear();
    suppliers_.clear();
    readArticles(distinct(keys.codes));
    // The barcodes of an article are asked for the article a barcode found belongs to.
    readBarcodesOf(distinct(readBarcodes(distinct(keys.eans))));
    readSuppliers(distinct(keys.supplierCodes), keys.codlis);
}

// Every row of `sql` (the row identity, then the code, then what `entry` makes of the row)
// under the code it holds, in row order; each code asked starts with no rows. A code stored in
// another form than a whole number is left to the look-up of its own: nothing is kept.
template <typename Entry>
void UpdateStore::readByCode(const std::vector<long long>& codes, const std::string& sql,
                             std::map<long long, std::vector<Entry>>& byCode,
                             Entry (*entry)(const store::Query&)) {
    for (long long c : codes) byCode[c];
    bool odd = false;
    inChunks<long long>(
        db_, codes, sql, [](long long c) { return std::vector<Value>{Value(c)}; },
        [&](store::Query& st) {
            auto code = wholeCode(st.value(1));
            if (!code || !byCode.count(*code))
                odd = true;
            else
                byCode[*code].push_back(entry(st));
        });
    if (odd) byCode.clear();
}

void UpdateStore::readArticles(const std::vector<long long>& codes) {
    readByCode<ArticleRow>(
        codes,
        selectRow("codart, przpub, codafo, desart FROM listi01 WHERE codart IN (" + marks(kKeys) +
                  ") ORDER BY " + db_.rowIdentity()),
        articles_, [](const store::Query& st) {
            return ArticleRow{st.value(0).integer(), st.value(1), st.value(2), st.value(3),
                              st.value(4)};
        });
}

std::vector<long long> UpdateStore::readBarcodes(const std::vector<std::string>& eans) {
    struct Candidate {
        long long row;
        Value codare, pezzix;
        std::string key;  // eanare as its column orders it
    };
    std::vector<Candidate> found;
    inChunks<std::string>(
        db_, eans,
        selectRow("codare, pezzix, eanare FROM codean WHERE eanare IN (" + marks(2 * kKeys) + ")"),
        [](const std::string& ean) {
            return std::vector<Value>{Value(store::fixedWidth(ean, 13)),
                                      Value(store::trimmed(ean))};
        },
        [&](store::Query& st) {
            found.push_back(
                {st.value(0).integer(), st.value(1), st.value(2), asciiFolded(st.value(3).text())});
        });
    // Of the rows an ean matches, the first by eanare then identity, as barcode() orders them.
    std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
        return a.key != b.key ? a.key < b.key : a.row < b.row;
    });
    std::vector<long long> owners;
    for (const std::string& ean : eans) {
        const std::string padded = asciiFolded(store::fixedWidth(ean, 13));
        const std::string bare = asciiFolded(store::trimmed(ean));
        auto first = std::find_if(found.begin(), found.end(), [&](const Candidate& c) {
            return c.key == padded || c.key == bare;
        });
        if (first == found.end()) {
            barcodes_[ean] = std::nullopt;
            continue;
        }
        barcodes_[ean] = Found{first->row, first->codare, first->pezzix};
        if (auto owner = wholeCode(first->codare)) owners.push_back(*owner);
    }
    return owners;
}

void UpdateStore::readBarcodesOf(const std::vector<long long>& codes) {
    readByCode<Barcode>(codes,
                        selectRow("codare, pezzix, aggi FROM codean WHERE codare IN (" +
                                  marks(kKeys) + ") ORDER BY " + db_.rowIdentity()),
                        barcodesOf_, [](const store::Query& st) {
                            return Barcode{st.value(0).integer(), st.value(2), st.value(3).text()};
                        });
}

void UpdateStore::readSuppliers(const std::vector<std::string>& codes, const std::string& codlis) {
    std::vector<std::string> keys;
    for (const std::string& c : codes)
        if (!store::trimmed(c).empty()) keys.push_back(store::trimmed(c));
    keys = distinct(keys);
    suppliersList_ = codlis;
    struct Candidate {
        long long row;
        Value codart;
        std::string key;  // codafo as its column orders it
    };
    std::vector<Candidate> found;
    auto collect = [&](store::Query& st) {
        found.push_back({st.value(0).integer(), st.value(1), asciiFolded(st.value(2).text())});
    };
    if (supplierCodesInStoreForms()) {
        // A code's rows are those of its two forms: one look-up of the index per form.
        inChunks<std::string>(
            db_, keys,
            selectRow("codart, codafo FROM listi02 WHERE codafo IN (" + marks(2 * kKeys) +
                      ") AND codlis = ?"),
            [](const std::string& key) {
                const bool fits = store::charCount(key) < kSupplierCodeWidth;
                return std::vector<Value>{
                    Value(key), Value(fits ? store::fixedWidth(key, kSupplierCodeWidth) : key)};
            },
            collect, {Value(codlis)});
    } else {
        // Each key through its own index range, as supplierByTrimmedCode reads it.
        std::string arms;
        for (size_t i = 0; i < kKeys; ++i)
            arms += (i ? " UNION ALL " : "") +
                    selectRow(
                        "codart, codafo FROM listi02 WHERE codafo BETWEEN ? AND ? AND codlis = ?");
        inChunks<std::string>(
            db_, keys, arms,
            [&](const std::string& key) {
                return std::vector<Value>{Value(key), Value(key + std::string(32, ' ')),
                                          Value(codlis)};
            },
            collect);
    }
    auto firstOf = [&](const std::string& key) -> std::optional<Found> {
        const std::string want = asciiFolded(key);
        std::optional<Candidate> best;
        for (const Candidate& c : found)
            if (foldedTrim(c.key) == want &&
                (!best || c.key < best->key || (c.key == best->key && c.row < best->row)))
                best = c;
        // The form the code is stored in goes along: a later edit of the row may keep it first.
        return best ? std::optional(Found{best->row, best->codart, Value(best->key)})
                    : std::nullopt;
    };
    std::vector<std::string> missing;
    for (const std::string& key : keys)
        if (!(suppliers_[key] = firstOf(key))) missing.push_back(key);
    if (missing.empty()) return;
    // Codes stored with leading blanks, for the keys the ranges did not find.
    found.clear();
    auto lead = db_.prepare(selectRow(
        "codart, codafo FROM listi02 WHERE codafo >= ' ' AND codafo < '!' AND codlis = ?"));
    lead.bind(1, Value(codlis));
    while (lead.step()) collect(lead);
    lead.reset();
    for (const std::string& key : missing) suppliers_[key] = firstOf(key);
}

// True when no supplier code of listi02 has blanks around it save in a field filled to its
// width: each is stored as given or padded, the two forms the store writes. Then the codes
// that trimmed equal a key are found by equality, which a server plans as cheaply as the
// files; a range per key costs it more to plan than to read. Asked once per run.
bool UpdateStore::supplierCodesInStoreForms() {
    if (!supplierCodesInStoreForms_) {
        auto odd = db_.prepare(
            "SELECT 1 FROM listi02 WHERE codafo <> trim(codafo) AND length(codafo) <> " +
            std::to_string(kSupplierCodeWidth) + " LIMIT 1");
        supplierCodesInStoreForms_ = !odd.step();
        odd.reset();
    }
    return *supplierCodesInStoreForms_;
}

// An edit of a known article or barcode row that changes none of its keys: the answers that
// hold the row take the values written, as the row now holds them (each comes from a column
// of the same type, or is a whole number). True when so; else the answers are forgotten.
bool UpdateStore::followEdit(const std::string& table, long long row, const Fields& fields) {
    auto given = [&](const char* column) -> const Value* {
        auto it = fields.find(column);
        return it == fields.end() ? nullptr : &it->second;
    };
    if (row == 0) return false;
    if (table == "listi01") {
        if (given("codart")) return false;
        for (auto& [code, rows] : articles_)
            for (ArticleRow& a : rows)
                if (a.row == row) {
                    if (const Value* v = given("przpub")) a.przpub = *v;
                    if (const Value* v = given("codafo")) a.codafo = *v;
                    if (const Value* v = given("desart")) a.desart = *v;
                }
        return true;
    }
    if (given("eanare") || given("codare") || given("aggi")) return false;
    if (const Value* v = given("pezzix")) {
        for (auto& [key, found] : barcodes_)
            if (found && found->row == row) found->extra = *v;
        for (auto& [code, rows] : barcodesOf_)
            for (Barcode& b : rows)
                if (b.row == row) b.pezzix = *v;
    }
    return true;
}

// A write forgets the answers that hold the row it wrote, and those of the keys it gave.
void UpdateStore::forget(const std::string& table, long long row, const Fields& fields) {
    auto given = [&](const char* column) -> const Value* {
        auto it = fields.find(column);
        return it == fields.end() ? nullptr : &it->second;
    };
    auto forgetCode = [&](auto& byCode, const char* column) {
        const Value* code = given(column);
        if (!code && row != 0) return;
        auto whole = code ? wholeCode(*code) : std::nullopt;
        if (whole)
            byCode.erase(*whole);
        else
            byCode.clear();
    };
    auto forgetKey = [&](auto& byKey, const char* column) {
        const Value* key = given(column);
        if (!key && row != 0) return;
        if (!key) return byKey.clear();
        const std::string written = foldedTrim(key->text());
        std::erase_if(byKey, [&](const auto& e) { return foldedTrim(e.first) == written; });
    };
    auto holdsRow = [&](const auto& e) { return e.second && e.second->row == row; };
    if (table == "listi01") {
        // The highest code follows the codes the run adds.
        if (const Value* code = given("codart");
            code && row == 0 && highestCode_ && wholeCode(*code))
            highestCode_ = std::max(*highestCode_, *wholeCode(*code));
        else if (code || row == 0)
            highestCode_.reset();
        if (followEdit(table, row, fields)) return;
        std::erase_if(articles_, [&](const auto& e) {
            return std::any_of(e.second.begin(), e.second.end(),
                               [&](const ArticleRow& a) { return a.row == row; });
        });
        forgetCode(articles_, "codart");
    } else if (table == "codean") {
        if (followEdit(table, row, fields)) return;
        std::erase_if(barcodes_, holdsRow);
        std::erase_if(barcodesOf_, [&](const auto& e) {
            return std::any_of(e.second.begin(), e.second.end(),
                               [&](const Barcode& b) { return b.row == row; });
        });
        forgetKey(barcodes_, "eanare");
        forgetCode(barcodesOf_, "codare");
    } else if (table == "fistini") {
        supplierLists_.clear();
    } else if (table == "listi02") {
        const Value* code = given("codafo");
        if (code && !code->isNull()) {
            const std::string text = code->text();
            if (store::trimmed(text) != text && store::charCount(text) != kSupplierCodeWidth)
                supplierCodesInStoreForms_ = false;
        }
        // Of the rows of a code the one of the smallest form comes first, then the oldest: an
        // edit of that row which keeps its code in a form no larger leaves it first.
        auto staysFirst = [&](const auto& e) {
            if (row == 0 || !e.second || e.second->row != row || given("codlis") || given("codart"))
                return false;
            return !code || (foldedTrim(code->text()) == foldedTrim(e.first) &&
                             asciiFolded(code->text()) <= e.second->extra.text());
        };
        std::erase_if(suppliers_, [&](const auto& e) { return holdsRow(e) && !staysFirst(e); });
        if (given("codlis") && !code) suppliers_.clear();
        if (!code && row == 0) suppliers_.clear();
        if (code) {
            const std::string written = foldedTrim(code->text());
            std::erase_if(suppliers_, [&](const auto& e) {
                return foldedTrim(e.first) == written && !staysFirst(e);
            });
        }
    }
}

}  // namespace cl::review
