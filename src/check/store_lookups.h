#pragma once
#include <optional>
#include <string>
#include <unordered_map>

#include "app/money.h"
#include "store/database.h"

namespace cl::check {

// A row of the store's barcode table found by its barcode (index keyean).
struct StoreBarcode {
    long long codare = 0;
    long long even = 0;
    std::string flagean;
};

// The fields of the store's sale-list row (listi01, index primary) that the runs read.
struct PriceRow {
    store::Value ricart, marg, przpub, cofart, przsal, datagg, codrep;
    std::string desart, umart, desfor, desgru, dessot;
};

struct StoreGroup {
    store::Value codrep;
    store::Value dscgruppo;
};

struct Department {
    std::string descrizione, tx;
};

// The store and central lookups of one run over one connection (central tables attached as
// "fisso"). Groups, sub-groups and departments are small and read once; barcodes, price rows
// and supplier lists are sought row by row through prepared, indexed statements.
class StoreLookups {
  public:
    explicit StoreLookups(store::Database& db);

    std::optional<StoreBarcode> barcode(const std::string& ean);
    std::optional<PriceRow> priceRow(long long codart);
    // listi02 by supplier article code and list code, compared as given (no trimming).
    std::optional<long long> supplierListArticle(const std::string& codafo,
                                                 const std::string& codlis);
    // listi02 by a supplier's code as its file writes it: stored as written or padded to the
    // 16 characters of the field (the form the store writes), the same code.
    std::optional<long long> supplierListCode(const std::string& code, const std::string& codlis);
    // True when the central database has a barcode row for the article.
    bool centralHasBarcode(long long codart);

    const long long* subgroupGroup(long long codsot) const;  // fisso.sottogruppi
    const StoreGroup* storeGroup(long long codgru) const;    // gruppi of the store
    const Department* department(long long reparto) const;   // reparti
    // fisso.gruppi: nullopt when the group has no row; a row with a null markup gives a
    // present but empty value.
    std::optional<std::optional<double>> centralGroupMarkup(long long codice) const;

  private:
    store::Database& db_;
    std::unordered_map<long long, long long> subgroups_;
    std::unordered_map<long long, StoreGroup> groups_;
    std::unordered_map<long long, Department> departments_;
    std::unordered_map<long long, std::optional<double>> centralGroups_;
};

}  // namespace cl::check
