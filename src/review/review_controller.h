#pragma once
#include <optional>
#include <set>
#include <string>

#include "app/interfaces.h"
#include "app/parameters.h"
#include "app/session.h"
#include "priceedit/editor_inputs.h"
#include "review/review_commands.h"
#include "review/review_rows.h"
#include "review/review_state.h"

namespace cl::review {

// The review screen without its widgets: opening, the grid's rows and counts, the searches,
// the selection cell and the commands. The Qt screen and the command line both drive it.
// Counters go to Progress under the names of their controls ("nrartw", "cntw", "cntrw",
// "cntbw").
inline constexpr const char* kRecalcTitle = "Ricalcola Prezzi";

class ReviewController {
  public:
    ReviewController(Session& session, store::Database& db, Messages& messages, Progress& progress);

    // Form_Load: the opening (base condition, parameter row, supplier name), then leggo.
    void open();
    const std::optional<ParameterRow>& parameters() const { return parameters_; }

    // Reloads the grid from the base condition (leggo).
    void leggo();
    // A search box's Enter: the view shows the search; counts stay as they were.
    void search(SearchKind kind, const std::string& text);

    std::string toggleSelectedView();
    long long selectAllRows();
    long long deselectAllRows();
    long long selectChangedPrices();
    long long selectRaisedPrices();
    // Asks first; true when the rows were deleted (the screen then closes).
    bool deleteShownRows();
    // The base condition takes the selected rows only and the view shows them ("Ricalcola
    // Prezzi" and "Aggiorna Listino" start so); returns their count.
    long long restrictToSelected();
    // "Ricalcola Prezzi": restrictToSelected, the count shown in cntrw.
    long long openRecalc();
    // The panel's two "Ricalcola": rows written; with rows, " Elaborazione terminata" is shown
    // and the screen must be opened again.
    // Prices typed by hand among the rows: asked about (default Yes), or decided by the caller.
    enum class HandTyped { Ask, Recalculate, Keep };
    long long recalcFromPrice(const std::string& percw, HandTyped handTyped = HandTyped::Ask);
    long long recalcFromCost(const std::string& perc2w, HandTyped handTyped = HandTyped::Ask);

    // A click on (row, col) of the data rows (row from 0, col 0..34): toggles the selection
    // on column 1, and asks for the editor on columns 2 to 16.
    std::optional<priceedit::EditorInputs> click(size_t row, int col);
    // Enter on the grid: the editor on the current row.
    std::optional<priceedit::EditorInputs> enter(size_t row);
    bool isBold(size_t row) const { return bold_.count(row) > 0; }
    // A row clicked (or saved by the editor) is drawn bold while its Sel reads "X".
    void refreshBold(size_t row);
    // "Articoli Selezionati" (cntw): the rows of the supplier's view whose Sel is "X".
    void countSelected();

    const ReviewRows& rows() const { return rows_; }
    ReviewRows& rows() { return rows_; }
    const ReviewState& state() const { return state_; }
    Session& session() { return session_; }
    store::Database& database() { return db_; }

  private:
    void showView();
    long long selectByTest(PriceTest test);
    // The two recalculations differ only in their formula and the field they read.
    using Recalculation = decltype(&review::recalcFromPrice);
    long long ricalcola(const std::string& text, const std::string& caption,
                        Recalculation recalculation, HandTyped handTyped);
    priceedit::EditorInputs inputsFor(size_t row) const;

    Session& session_;
    store::Database& db_;
    Messages& messages_;
    Progress& progress_;
    std::optional<ParameterRow> parameters_;
    ReviewState state_{ReviewFilter{}};
    ReviewRows rows_;
    std::set<size_t> bold_;
};

}  // namespace cl::review
