#pragma once
#include <string>

#include "app/money.h"
#include "check/run_context.h"
#include "check/run_support.h"

namespace cl::check {

// The central article of one walk row (fields of articolo, and the barcode of the join).
struct WalkRow {
    store::Value codart, desart, przart, przpub, ivart, umart, desfor, desgru, codgru, codsot,
        dessot, imbart, ea2art, datval, colli, tipges, tipart, marchio, pezzatura, umconf, ea1art,
        fl2art, fl3art, codrep;
    std::string eanare;
    // The supplier's own article code as written (a row of a supplier's file): sought in the
    // supplier list and written as it is. Without it, the central code padded to 9 digits.
    std::optional<std::string> codafo;
};
// The column list that readWalkRow expects, for "SELECT <list> FROM fisso.articolo a ...".
const std::string& walkColumns();
// " ORDER BY ..." of the walks over central articles joined to their barcodes (a, c).
std::string walkOrder();
WalkRow readWalkRow(const store::Query& st);

enum class ComparisonKind { Changed, WithoutBarcode };

// The working values of one walk row; every one starts afresh at each row.
struct Working {
    long long codice_art = 0;
    std::string stato, descrizione, aliquota, unita, nome_fornitore;
    Money costo_nuovo, prezzo_nuovo, costo_vecchio, prezzo_vecchio, prezzo_offerta, ricarica,
        diff_costo;
    double margine_vecchio = 0;
    bool storeMarkup = false;  // the store price row has a markup (ricart not null)
    store::Value data_agg;
    long long venduto = 0;
    long long codice_gruppo = 0, codice_sottogruppo = 0, codice_reparto = 0;
    std::string descr_gruppo, descr_sottogruppo, descr_reparto;
    double variazione = 0;
    // The supplier-list code a code without its leading zeros was found as.
    std::optional<std::string> codiceListino;
};

// The steps of the comparison runs shared by the run over changed articles and the one over
// articles without barcodes.
class ComparisonSteps {
  public:
    ComparisonSteps(RunContext& ctx, ComparisonKind kind);

    void lookupGroups(Working& w);  // sub-group, group, department
    // The store's barcode, else its supplier list under the article's code text.
    void searchStore(Working& w, const WalkRow& r, const std::string& barcode,
                     const std::string& codafoText);
    void readPriceRow(Working& w);
    void computePrice(Working& w, const WalkRow& r);
    void countExamined();
    void computeVariation(Working& w, const WalkRow& r);
    bool passesFilters(const Working& w) const;
    void write(Working& w, const WalkRow& r, const std::string& barcode);

    // A supplier's row (fromSupplierFile) without a VAT rate takes the store article's; the one
    // neither gives is left out, its reason kept in leftOut for the caller to list, as is a
    // code that lost its leading zeros and can be two stored codes.
    std::optional<WalkRow> withStoreVat(const WalkRow& r);

    RunCounts counts;
    std::string codice_lis;
    bool fromSupplierFile = false;
    std::optional<std::string> leftOut;

  private:
    bool departmentExcluded(Working& w);
    RunContext& ctx_;
    ComparisonKind kind_;
    std::optional<PriceRow> price_;
};

// The store look-ups of a block of rows, read ahead: barcodes, the supplier-list codes of the
// rows whose barcode the store lacks, then the price rows of the store articles found either
// way. On a server each look-up of its own would cost a round trip.
void readAheadBlock(StoreLookups& lookups, const std::vector<WalkRow>& block,
                    const std::string& codlis);

// Compares the rows `next` gives (nullopt: no more) in blocks of kReadAheadRows: each block's
// look-ups are read by `readAhead` first, then `compare` takes its rows in order, then the
// look-ups read ahead are forgotten.
template <typename Next, typename ReadAhead, typename Compare>
void compareInBlocks(StoreLookups& lookups, Next&& next, ReadAhead&& readAhead, Compare&& compare) {
    std::vector<WalkRow> block;
    auto compareBlock = [&] {
        readAhead(block);
        for (const auto& r : block) compare(r);
        block.clear();
        lookups.forgetReadAhead();
    };
    while (std::optional<WalkRow> row = next()) {
        block.push_back(std::move(*row));
        if (block.size() == kReadAheadRows) compareBlock();
    }
    compareBlock();
}

// One changed article through every step: barcode skip, store search, price row, new price,
// variation, filters and the write.
void compareChanged(ComparisonSteps& steps, const WalkRow& r);

}  // namespace cl::check
