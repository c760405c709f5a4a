#pragma once
#include "app/app_state.h"
#include "app/interfaces.h"
#include "app/work_table.h"
#include "check/check_state.h"
#include "check/filters.h"
#include "check/store_lookups.h"
#include "check/work_rows.h"
#include "pricelist/price_list.h"
#include "store/database.h"

namespace cl::check {

// What every run works with: one connection (store + "fisso"), the process-wide values, the
// screen's controls as the run reads them, and the interfaces that show its progress.
struct RunContext {
    RunContext(store::Database& db, AppState& app, const CheckScreenState& screen,
               Messages& messages, Progress& progress);

    store::Database& db;
    AppState& app;
    const CheckScreenState& screen;
    Messages& messages;
    Progress& progress;
    StoreLookups lookups;
    // What the run writes to the work table; flushed once the run has walked its rows.
    WorkRows workRows;
    Limit limit;           // "% limite"
    double defaultMarkup;  // ricnw, read as a leading number
    bool rounding;         // fl_arrotonda = "S"
    // The journal is attached: the run files the marks it clears there, so that the check can
    // be put back.
    bool journaled = false;
    // The work table as the operator agreed to lose it before the transaction began.
    WorkTableMark discardAgreed;
};

// What a run leaves: counters for the screen and the command line.
struct RunCounts {
    long long examined = 0;   // n_controllati (cntw)
    long long processed = 0;  // n_elaborati (bnsw, bns)
    long long written = 0;    // rows stored in variatil
};

enum class RunEnd { Done, NoArticles };

struct RunResult {
    RunEnd end = RunEnd::Done;
    RunCounts counts;
    // The rows of a supplier's file the run itself could not check, with their reasons.
    std::vector<pricelist::RowProblem> leftOut;
};

// The three runs. Each works inside the caller's transaction, asks nothing and throws cl::Error
// on failure.
RunResult elabora(RunContext& ctx);            // changed-article comparison
RunResult elabora_solodoppi(RunContext& ctx);  // articles without barcodes
RunResult elabora_ean(RunContext& ctx);        // barcode presence check

// How many rows each run would walk, read before its transaction: a run with none leaves the
// work table as it is, so only a run with some asks about an unapplied review.
long long changedArticles(store::Database& db);
long long unmarkedBarcodeArticles(store::Database& db);
long long barcodeArticles(store::Database& db);

}  // namespace cl::check
