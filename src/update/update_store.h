#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "history/journal.h"
#include "store/database.h"
#include "store/value.h"

namespace cl::review {

// The characters of listi02.codafo: a code the store writes is padded to them.
inline constexpr size_t kSupplierCodeWidth = 16;

// The store look-ups and writes of the update and creation routines: statements prepared once
// (cached by the connection) and rebound per row; every look-up goes through an index. Writes
// go through the run's journal, which records them; a store without one only looks up.
class UpdateStore {
  public:
    explicit UpdateStore(store::Database& db, history::Journal* journal = nullptr)
        : db_(db), journal_(journal) {}
    store::Database& db() { return db_; }

    struct Found {
        long long row = 0;    // the row's identity, for a later edit
        store::Value codart;  // codart, or codare for a barcode
        store::Value extra;   // przpub of an article, pezzix of a barcode
    };

    // gruppi by codgru: is the group excluded from the update (escgruppo 1)?
    bool isGroupExcluded(long long codgru);
    std::optional<Found> articolo(long long codart);  // listi01 by primary
    // listi01.desart of the record articolo() finds, as stored (empty when none).
    std::string articleDescription(long long codart);
    // listi01 by code whose trimmed codafo equals the given one.
    bool articleHasSupplierCode(long long codart, const std::string& codafoTrimmed);
    std::optional<Found> barcode(const std::string& ean);  // codean by keyean
    struct Barcode {
        long long row = 0;
        store::Value pezzix;
        std::string aggi;
    };
    std::vector<Barcode> barcodesOf(long long codart);  // codean WHERE codare = ...
    // listi02 WHERE trim(codafo) = ... and codlis = ...; a blank code never matches.
    std::optional<Found> supplierByTrimmedCode(const std::string& codafo,
                                               const std::string& codlis);
    // listi02 WHERE codafo = ... (as stored, not trimmed) and codlis = ...
    std::optional<Found> supplierByExactCode(const std::string& codafo, const std::string& codlis);
    std::optional<Found> supplierByArticle(long long codart, const std::string& codlis);
    std::optional<std::string> reparto(long long code);  // reparti.descrizione
    // unitam.fatxmul for a unit, read as the number its text begins with; nullopt: not found.
    std::optional<double> fattore(const std::string& unit);
    bool supplierListExists(const std::string& codlis);  // fistini by codlis
    // The code a new article takes: the highest codart + 1, read once per run and then
    // followed as the run adds articles.
    long long nextFreeCode();
    // Names from the fixed-path article database.
    struct Subgroup {
        std::string name;
        long long codgru = 0;
    };
    std::optional<Subgroup> sottogruppo(long long codsot);
    std::optional<std::string> groupNameOf(long long codice);

    // The keys the rows of a block will look up.
    struct BlockKeys {
        std::vector<long long> codes;   // articles
        std::vector<std::string> eans;  // as barcode() is asked; barcodesOf() their articles
        std::vector<std::string> supplierCodes;  // as supplierByTrimmedCode() is asked
        std::string codlis;
    };
    // Reads the answers of a whole block with a few statements, as on a server each statement
    // waits for a round trip. articolo, articleHasSupplierCode, barcode, barcodesOf and
    // supplierByTrimmedCode answer from them until a write through this store may have changed
    // one; that one is read again on its own.
    void readAhead(const BlockKeys& keys);

    using Fields = history::Journal::Fields;
    void add(const std::string& table, const Fields& fields);
    void edit(const std::string& table, long long row, const Fields& fields);

  private:
    std::optional<Found> one(store::Query& st);
    history::Journal& journal();
    std::string selectRow(const std::string& rest) const;
    std::string firstBy(const std::string& keys = {}) const;
    template <typename Entry>
    void readByCode(const std::vector<long long>& codes, const std::string& sql,
                    std::map<long long, std::vector<Entry>>& byCode,
                    Entry (*entry)(const store::Query&));
    void readArticles(const std::vector<long long>& codes);
    std::vector<long long> readBarcodes(const std::vector<std::string>& eans);
    void readBarcodesOf(const std::vector<long long>& codes);
    void readSuppliers(const std::vector<std::string>& codes, const std::string& codlis);
    bool supplierCodesInStoreForms();
    bool followEdit(const std::string& table, long long row, const Fields& fields);
    void forget(const std::string& table, long long row, const Fields& fields);
    store::Database& db_;
    history::Journal* journal_;
    // What the tables no update writes answered, by key.
    std::map<long long, bool> excluded_;
    std::map<long long, std::optional<std::string>> departments_;
    std::map<std::string, std::optional<double>> factors_;
    std::map<long long, std::optional<Subgroup>> subgroups_;
    std::map<long long, std::optional<std::string>> groupNames_;
    // What the block's read-ahead found in the tables the update writes, by key.
    struct ArticleRow {
        long long row = 0;
        store::Value codart, przpub, codafo, desart;
    };
    std::map<long long, std::vector<ArticleRow>> articles_;  // in row order
    std::map<std::string, std::optional<Found>> barcodes_;
    std::map<long long, std::vector<Barcode>> barcodesOf_;
    std::map<std::string, std::optional<Found>> suppliers_;  // by trimmed code
    std::string suppliersList_;                              // the codlis they belong to
    std::optional<bool> supplierCodesInStoreForms_;          // as the run has left listi02
    std::map<std::string, bool> supplierLists_;              // fistini by codlis
    std::optional<long long> highestCode_;                   // of listi01, as the run left it
};

}  // namespace cl::review
