#include "review/review_controller.h"

#include "app/numbers.h"
#include "review/recalc.h"
#include "review/review_commands.h"
#include "review/review_grid.h"
#include "review/review_load.h"
#include "store/fixed_text.h"

namespace cl::review {

ReviewController::ReviewController(Session& session, store::Database& db, Messages& messages,
                                   Progress& progress)
    : session_(session), db_(db), messages_(messages), progress_(progress) {}

void ReviewController::open() {
    ReviewOpening opening = openReviewData(session_, db_);
    parameters_ = opening.parameters;
    state_ = ReviewState(opening.filter);
    leggo();
}

void ReviewController::leggo() {
    state_.rebind();
    bold_.clear();
    rows_.load(db_, state_.shown());
    // Every row is coloured and counted: colours and formats are worked out as rows are shown.
    progress_.setCount("nrartw", static_cast<long long>(rows_.count()));
    countSelected();
}

void ReviewController::countSelected() {
    ReviewFilter selected = state_.base();
    selected.selectedOnly = true;
    SqlText where = whereClause(db_, selected);
    auto st = db_.prepare("SELECT count(*) FROM variatil" + where.text);
    for (size_t i = 0; i < where.params.size(); ++i)
        st.bind(static_cast<int>(i + 1), where.params[i]);
    st.step();
    long long n = st.value(0).integer();
    st.reset();
    progress_.setCount("cntw", n);
}

void ReviewController::showView() {
    bold_.clear();
    rows_.load(db_, state_.shown());
}

void ReviewController::search(SearchKind kind, const std::string& text) {
    state_.search(kind, text);
    showView();
}

std::string ReviewController::toggleSelectedView() {
    std::string caption = state_.toggleShowSelected();
    leggo();
    return caption;
}

long long ReviewController::selectAllRows() {
    state_.rebind();
    long long n = setViewSelection(db_, state_.shown(), true);
    state_.afterSelectAll();
    leggo();
    return n;
}

long long ReviewController::deselectAllRows() {
    state_.rebind();
    long long n = setViewSelection(db_, state_.shown(), false);
    state_.afterDeselectAll(session_.state.codice_fornitore);
    leggo();
    return n;
}

// The two price-based selections differ only in their test.
long long ReviewController::selectByTest(PriceTest test) {
    state_.clearVariationFilter();
    long long n = selectByPrice(db_, state_.shown(), test);
    state_.afterPriceSelection();
    leggo();
    return n;
}

long long ReviewController::selectChangedPrices() {
    return selectByTest(PriceTest::Changed);
}

long long ReviewController::selectRaisedPrices() {
    return selectByTest(PriceTest::Increased);
}

bool ReviewController::deleteShownRows() {
    Answer a = messages_.ask("Attenzione  !!  Sei sicuro di voler Eliminare i prodotti importati ?",
                             "Elimina prodotti importati", Icon::Question, Answer::No);
    if (a != Answer::Yes) return false;
    deleteRows(db_, state_.shown());
    rows_.clear();
    return true;
}

long long ReviewController::restrictToSelected() {
    state_.selectedOnly();
    showView();
    return static_cast<long long>(rows_.count());
}

long long ReviewController::openRecalc() {
    long long n = restrictToSelected();
    progress_.setCount("cntrw", n);
    return n;
}

long long ReviewController::ricalcola(const std::string& text, const std::string& caption,
                                      Recalculation recalculation, HandTyped handTyped) {
    float p = percentuale(text, caption);
    state_.rebind();
    bool keep = handTyped == HandTyped::Keep;
    // Asked before the recalculation's transaction; it then stops if more prices were typed by
    // hand meanwhile than the operator was told of.
    long long edited = -1;
    if (handTyped == HandTyped::Ask) {
        edited = countHandEdited(db_, state_.shown());
        keep = edited > 0 &&
               messages_.ask(
                   std::to_string(edited) + " dei prezzi selezionati " +
                       byCount(edited, "è stato modificato a mano. Ricalcolare anche questo?",
                               "sono stati modificati a mano. Ricalcolare anche questi?"),
                   kRecalcTitle, Icon::Question, Answer::Yes) == Answer::No;
    }
    long long n = recalculation(db_, state_.shown(), p, session_.state.fl_arrotonda == "S", keep,
                                progress_, edited);
    if (n > 0) messages_.show(" Elaborazione terminata", Icon::Information);
    return n;
}

long long ReviewController::recalcFromPrice(const std::string& percw, HandTyped handTyped) {
    return ricalcola(percw, "Percentuale", review::recalcFromPrice, handTyped);
}

long long ReviewController::recalcFromCost(const std::string& perc2w, HandTyped handTyped) {
    return ricalcola(perc2w, "Percentuale di ricarica", review::recalcFromCost, handTyped);
}

priceedit::EditorInputs ReviewController::inputsFor(size_t row) const {
    const ReviewRow& r = rows_.row(row);
    priceedit::EditorInputs in;
    in.gridRow = row;
    in.codart = r[kCodArt].integer();
    in.ean = store::fixedWidth(r[kEan].text(), 13);
    in.codafo = store::fixedWidth(r[kCodiceForn].text(), 16);
    in.bns = r[kBns].integer();
    return in;
}

std::optional<priceedit::EditorInputs> ReviewController::click(size_t row, int col) {
    // A grid without data rows has nothing to select or open.
    if (row >= rows_.count()) return std::nullopt;
    if (col == kSel) {
        toggleSelection(db_, rows_.row(row)[kBns].integer());
        rows_.refreshRow(row);
        std::string sel = rows_.row(row)[kSel].text();
        // A cell the editor wrote shows the toggled value too.
        if (rows_.row(row).written.count(kSel)) rows_.writeCell(row, kSel, sel);
        countSelected();
    }
    refreshBold(row);
    if (col > kSel && col < 17) return inputsFor(row);
    return std::nullopt;
}

void ReviewController::refreshBold(size_t row) {
    const ReviewRow& r = rows_.row(row);
    auto written = r.written.find(kSel);
    std::string sel = written != r.written.end() ? written->second : r[kSel].text();
    if (sel == "X")
        bold_.insert(row);
    else
        bold_.erase(row);
}

std::optional<priceedit::EditorInputs> ReviewController::enter(size_t row) {
    if (row >= rows_.count()) return std::nullopt;
    return inputsFor(row);
}

}  // namespace cl::review
