// The look-ups of a block of rows read in a few statements (see StoreLookups::readAhead*).
#include "check/key_groups.h"
#include "check/store_lookups.h"
#include "store/fixed_text.h"

namespace cl::check {

void StoreLookups::readAheadBarcodes(const std::vector<std::string>& eans) {
    std::vector<std::string> keys;
    for (const auto& ean : eans) {
        const std::string key = store::trimmed(ean);
        if (key.empty()) continue;
        for (const std::string& form : {key, store::fixedWidth(key, 13)})
            if (barcodeKeys_.insert(store::asciiFolded(form)).second) keys.push_back(form);
    }
    // Oldest first: of rows alike, the single look-up takes the oldest too.
    auto st =
        db_.prepare("SELECT eanare, codare, even, flagean FROM main.codean WHERE eanare IN (" +
                    keyMarks() + ") ORDER BY " + db_.rowIdentity());
    forKeyGroups(st, keys, [&](const store::Query& q) {
        barcodes_.emplace(
            store::asciiFolded(q.value(0).text()),
            StoreBarcode{q.value(1).integer(), q.value(2).integer(), q.value(3).text()});
    });
}

std::optional<std::optional<StoreBarcode>> StoreLookups::readAheadBarcode(
    const std::string& key, const std::string& padded) const {
    const std::string bare = store::asciiFolded(key), full = store::asciiFolded(padded);
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
                    keyMarks() + ") ORDER BY codart, " + db_.rowIdentity());
    forKeyGroups(st, keys, [&](const store::Query& q) {
        auto& slot = priceRows_[q.value(0).integer()];
        if (!slot) slot = readPriceRow(q, 1);
    });
}

void StoreLookups::readAheadSupplierArticles(const std::vector<std::string>& codafos,
                                             const std::string& codlis) {
    if (store::asciiFolded(codlis) != store::asciiFolded(supplierList_)) supplierArticles_.clear();
    supplierList_ = codlis;
    std::vector<std::string> keys;
    for (const auto& code : codafos)
        if (!code.empty() &&
            supplierArticles_.emplace(store::asciiFolded(code), std::nullopt).second)
            keys.push_back(code);
    auto st = db_.prepare("SELECT codafo, codart FROM main.listi02 WHERE codafo IN (" + keyMarks() +
                          ") AND codlis = ? ORDER BY " + db_.rowIdentity());
    forKeyGroups(
        st, keys,
        [&](const store::Query& q) {
            auto& slot = supplierArticles_[store::asciiFolded(q.value(0).text())];
            if (!slot) slot = q.value(1).integer();
        },
        &codlis);
}

void StoreLookups::readAheadSupplierCodes(const std::vector<std::string>& codes,
                                          const std::string& codlis) {
    std::vector<std::string> forms;
    for (const auto& code : codes) {
        forms.push_back(code);
        forms.push_back(store::fixedWidth(code, 16));
    }
    readAheadSupplierArticles(forms, codlis);
}

void StoreLookups::readAheadCentralBarcodes(const std::vector<long long>& codes) {
    std::vector<long long> keys;
    for (long long code : codes)
        if (centralAsked_.insert(code).second) keys.push_back(code);
    auto st = db_.prepare("SELECT codare FROM fisso.codean WHERE codare IN (" + keyMarks() + ")");
    forKeyGroups(st, keys,
                 [&](const store::Query& q) { centralWithBarcode_.insert(q.value(0).integer()); });
}

std::optional<std::optional<long long>> StoreLookups::readAheadSupplierArticle(
    const std::string& codafo, const std::string& codlis) const {
    if (store::asciiFolded(codlis) != store::asciiFolded(supplierList_)) return std::nullopt;
    auto it = supplierArticles_.find(store::asciiFolded(codafo));
    if (it == supplierArticles_.end()) return std::nullopt;
    return it->second;
}

void StoreLookups::forgetReadAhead() {
    barcodes_.clear();
    barcodeKeys_.clear();
    priceRows_.clear();
    supplierArticles_.clear();
    centralAsked_.clear();
    centralWithBarcode_.clear();
}

}  // namespace cl::check
