// The look-ups of a block of rows read in a few statements (see StoreLookups::readAhead*).
#include "check/store_lookups.h"
#include "store/fixed_text.h"

namespace cl::check {

namespace {

// Keys bound by one statement; unused places are bound null, so that one text serves all.
constexpr size_t kKeys = 128;

std::string marks() {
    std::string out;
    for (size_t i = 0; i < kKeys; ++i) out += i ? ", ?" : "?";
    return out;
}

// Letters folded as the store's case-insensitive texts compare them: ASCII only.
std::string folded(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Runs `st` once per group of kKeys values, calling `row` for each row it gives.
template <typename Key, typename Row>
void inGroups(store::Query& st, const std::vector<Key>& keys, Row&& row) {
    for (size_t from = 0; from < keys.size(); from += kKeys) {
        st.reset();
        for (size_t i = 0; i < kKeys; ++i)
            st.bind(static_cast<int>(i) + 1,
                    from + i < keys.size() ? store::Value(keys[from + i]) : store::Value());
        while (st.step()) row(st);
    }
}

}  // namespace

void StoreLookups::readAheadBarcodes(const std::vector<std::string>& eans) {
    std::vector<std::string> keys;
    for (const auto& ean : eans) {
        const std::string key = store::trimmed(ean);
        if (key.empty()) continue;
        for (const std::string& form : {key, store::fixedWidth(key, 13)})
            if (barcodeKeys_.insert(folded(form)).second) keys.push_back(form);
    }
    // Oldest first: of rows alike, the single look-up takes the oldest too.
    auto st =
        db_.prepare("SELECT eanare, codare, even, flagean FROM main.codean WHERE eanare IN (" +
                    marks() + ") ORDER BY " + db_.rowIdentity());
    inGroups(st, keys, [&](const store::Query& q) {
        barcodes_.emplace(
            folded(q.value(0).text()),
            StoreBarcode{q.value(1).integer(), q.value(2).integer(), q.value(3).text()});
    });
}

std::optional<std::optional<StoreBarcode>> StoreLookups::readAheadBarcode(
    const std::string& key, const std::string& padded) const {
    const std::string bare = folded(key), full = folded(padded);
    if (!barcodeKeys_.count(bare) || !barcodeKeys_.count(full)) return std::nullopt;
    // The code as given sorts before the code padded: it wins when both are stored.
    for (const auto* form : {&bare, &full})
        if (auto it = barcodes_.find(*form); it != barcodes_.end())
            return std::optional<StoreBarcode>(it->second);
    return std::optional<StoreBarcode>();
}

void StoreLookups::readAheadPriceRows(const std::vector<long long>& codes) {
    std::vector<long long> keys;
    for (long long code : codes)
        if (priceRows_.emplace(code, std::nullopt).second) keys.push_back(code);
    auto st =
        db_.prepare("SELECT codart, " + kPriceColumns + " FROM main.listi01 WHERE codart IN (" +
                    marks() + ") ORDER BY codart, " + db_.rowIdentity());
    inGroups(st, keys, [&](const store::Query& q) {
        auto& slot = priceRows_[q.value(0).integer()];
        if (!slot) slot = readPriceRow(q, 1);
    });
}

void StoreLookups::readAheadArticles(const std::vector<std::string>& eans) {
    readAheadBarcodes(eans);
    std::vector<long long> articles;
    for (const auto& ean : eans)
        if (auto found = barcode(ean); found && found->codare != 0)
            articles.push_back(found->codare);
    readAheadPriceRows(articles);
}

void StoreLookups::forgetReadAhead() {
    barcodes_.clear();
    barcodeKeys_.clear();
    priceRows_.clear();
}

}  // namespace cl::check
