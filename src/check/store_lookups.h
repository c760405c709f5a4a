#pragma once
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/money.h"
#include "store/database.h"

namespace cl::check {

// Walked rows compared per block: their store look-ups are read ahead in a few statements.
inline constexpr size_t kReadAheadRows = 256;

// A row of the store's barcode table found by its barcode (index keyean).
struct StoreBarcode {
    long long codare = 0;
    long long even = 0;
    std::string flagean;
};

// The fields of the store's sale-list row (listi01, index primary) that the runs read.
struct PriceRow {
    store::Value ricart, marg, przpub, cofart, przsal, datagg, codrep, ivart, codfor;
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
// and supplier lists are sought through prepared, indexed statements, row by row or read
// ahead for a block of rows.
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
    // The codes of the list `codlis` a numeric code can be once its leading zeros are lost
    // ("123" for "000123"), with their articles. The list is read once per run.
    struct StoredCode {
        std::string codafo;
        long long codart = 0;
    };
    std::vector<StoredCode> codesWithoutZeros(const std::string& digits, const std::string& codlis);
    // True when the central database has a barcode row for the article.
    bool centralHasBarcode(long long codart);

    // Reads ahead, in a few statements, what barcode() and priceRow() will be asked for a
    // block of rows: on a server a look-up per article would cost a round trip each. The
    // answers are those the single look-ups give, as long as nothing writes the store's
    // barcodes and price rows meanwhile (a check never does). forgetReadAhead() drops them.
    void readAheadBarcodes(const std::vector<std::string>& eans);
    void readAheadPriceRows(const std::vector<long long>& codes);
    // What supplierListArticle() will be asked for these codes of the list `codlis`.
    void readAheadSupplierArticles(const std::vector<std::string>& codafos,
                                   const std::string& codlis);
    // What supplierListCode() will be asked: each code as written and padded.
    void readAheadSupplierCodes(const std::vector<std::string>& codes, const std::string& codlis);
    // What centralHasBarcode() will be asked for these central articles.
    void readAheadCentralBarcodes(const std::vector<long long>& codes);
    void forgetReadAhead();

    const long long* subgroupGroup(long long codsot) const;  // fisso.sottogruppi
    const StoreGroup* storeGroup(long long codgru) const;    // gruppi of the store
    const Department* department(long long reparto) const;   // reparti
    // fisso.gruppi: nullopt when the group has no row; a row with a null markup gives a
    // present but empty value.
    std::optional<std::optional<double>> centralGroupMarkup(long long codice) const;

  private:
    static const std::string kPriceColumns;
    static PriceRow readPriceRow(const store::Query& st, int first);
    // nullopt: not read ahead; else the answer barcode() gives.
    std::optional<std::optional<StoreBarcode>> readAheadBarcode(const std::string& key,
                                                                const std::string& padded) const;
    std::optional<std::optional<long long>> readAheadSupplierArticle(
        const std::string& codafo, const std::string& codlis) const;
    store::Database& db_;
    // Read ahead: barcodes by their letters folded as the store compares them, the keys asked
    // (found or not), price rows by code (empty: read, not there).
    std::unordered_map<std::string, StoreBarcode> barcodes_;
    std::unordered_set<std::string> barcodeKeys_;
    std::unordered_map<long long, std::optional<PriceRow>> priceRows_;
    // Supplier-list articles of the list supplierList_ by code folded (empty: read, not there).
    std::string supplierList_;
    std::unordered_map<std::string, std::optional<long long>> supplierArticles_;
    // Central articles asked, and those of them with a barcode.
    std::unordered_set<long long> centralAsked_, centralWithBarcode_;
    // The numeric codes of one supplier list by their digits without leading zeros.
    std::optional<std::string> zerosList_;
    std::unordered_multimap<std::string, StoredCode> codesByDigits_;
    std::unordered_map<long long, long long> subgroups_;
    std::unordered_map<long long, StoreGroup> groups_;
    std::unordered_map<long long, Department> departments_;
    std::unordered_map<long long, std::optional<double>> centralGroups_;
};

}  // namespace cl::check
