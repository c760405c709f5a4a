#pragma once
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/interfaces.h"
#include "store/database.h"
#include "store/value.h"
#include "update/update_settings.h"

namespace cl::review {

// One row of the review view, read through the grid's aliases.
struct UpdateRow {
    store::Value codart, ean, descrizione, um, iva, costoN, marN, prezzoN, prezzoV, datagg,
        codiceForn, codrep, codgru, codsot, gruppo, sottogruppo, imbart, pezzatura, umconf, codfor,
        tipart, modificatoamano, bns, costoV;
};

// Resolves the aliases of the review source once, then fills a UpdateRow per step.
class UpdateRowReader {
  public:
    explicit UpdateRowReader(const store::Query& walk);
    UpdateRow read(const store::Query& walk) const;

  private:
    std::vector<int> columns_;
};

// "0000000000000": the barcode of a product that has none.
inline const std::string kNoEan = "0000000000000";

// The shared work area of the current row, read by the creation routines.
struct WorkArea {
    long long gcodart = 0;
    std::string gean = kNoEan;      // 13 characters
    std::string gcodafo;            // 16 characters, blank-padded
    double gcosiva = 0;             // cost including VAT
    long long codiceFornitore = 0;  // supplier code of the row
    long long iva = 0;              // VAT percentage of the row
};

// A review row the update passed over, and why.
struct UnwrittenRow {
    std::string ean, descrizione, motivo;
};

// What an update run leaves for the screen and the command line.
struct UpdateResult {
    bool performed = false;  // false when the operator answered No
    long long aggiornati = 0, creati = 0, esclusi = 0;
    long long rowsConsumed = 0;  // variatil rows consumed
    long long run = 0;           // number of the run in the journal of updates
    // "Creato Codice : ..." lines of the products created without a barcode, for the printer.
    std::vector<std::string> noBarcodeLines;
    // Rows not written (price 0 or below, group excluded, creation not ticked): the closing
    // message lists them, as they leave the work list with the others.
    std::vector<UnwrittenRow> unwritten;
    // A creation routine cleared the grid's filter condition.
    bool filterCleared = false;
};

// Everything one run shares between its routines.
struct UpdateRun {
    UpdateRun(store::Database& d, const UpdateSettings& s, Messages& m, Progress& p)
        : db(d), settings(s), messages(m), progress(p) {}
    store::Database& db;
    const UpdateSettings& settings;
    Messages& messages;
    Progress& progress;
    long long codiceFornitore = 0;  // of the run
    std::string nomeFornitore;      // 45 characters
    std::string codiceLis;          // codiceFornitore as "000000"
    std::string today;
    int year = 0;
    UpdateResult result;
    // Rows (bns) whose article the first pass created because its code had no record: the
    // second pass must not create that product a second time.
    std::unordered_set<long long> createdInFirstPass;
};

// The work area as a row starts it: VAT 0, supplier article code blank, the run's supplier,
// then the row's own non-null values; the VAT-inclusive cost from them.
WorkArea freshWorkArea(const UpdateRun& run, const UpdateRow& row);

// The row's barcode as the work area holds it: 13 characters; a blank one counts as none.
std::string eanOf(const store::Value& ean);
// Cost + VAT, 4 decimals; 0 with VAT 0, the cost itself with VAT 50 or more.
double vatInclusiveCost(const store::Value& cost, long long vat);
// The whole part of the number a VAT text begins with.
long long vatPercent(const store::Value& iva);
// A text read as the update compares it (the row's own Datagg against today, ...).
bool isToday(const store::Value& date, const std::string& today);

}  // namespace cl::review
