#include "update/update_summary.h"

#include "store/fixed_text.h"
#include "update/update_run.h"
#include "update/update_steps.h"
#include "update/update_store.h"
#include "update/update_walk.h"

namespace cl::review {

namespace {

// The price the row leaves in the price list, against the one stored there now.
void countPrice(const UpdateRun& run, UpdateStore& store, const UpdateRow& row, long long code,
                UpdateSummary& s) {
    auto art = store.articolo(code);
    double stored = art ? art->extra.number() : 0, now = row.prezzoN.number();
    bool written = run.settings.kpre && writesPrice(run, row);
    if (!written || now == stored)
        ++s.pricesUnchanged;
    else if (now > stored)
        ++s.pricesRaised;
    else
        ++s.pricesLowered;
}

// Counts and names a row whose new price is below its cost with VAT.
void noteBelowCost(const UpdateRun& run, const UpdateRow& row, UpdateSummary& s) {
    double cost = freshWorkArea(run, row).gcosiva;
    if (!(cost > 0 && row.prezzoN.number() < cost)) return;
    ++s.pricesBelowCost;
    s.belowCost.push_back({row.codart.integer(), store::trimmed(row.ean.text()),
                           store::trimmed(row.descrizione.text()),
                           Money::fromDouble(row.prezzoN.number()), Money::fromDouble(cost)});
}

constexpr size_t kListed = 50;

// "HEADING: N" and a line for each row, cut after kListed.
template <typename Row, typename Line>
std::string listed(const std::string& heading, const std::vector<Row>& rows, Line line) {
    std::string out = heading + ": " + std::to_string(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i == kListed) {
            out += "\n  ... e altre " + std::to_string(rows.size() - kListed) + " righe";
            break;
        }
        out += "\n  - " + line(rows[i]);
    }
    return out;
}

}  // namespace

UpdateSummary summarizeUpdate(AppState& state, store::Database& db, const UpdateSettings& settings,
                              const ReviewFilter& filter) {
    NullProgress progress;
    struct Silent : Messages {
        void show(const std::string&, Icon, const std::string&) override {}
        Answer ask(const std::string&, const std::string&, Icon, Answer a) override { return a; }
    } silent;
    UpdateRun run = startRun(state, db, settings, silent, progress);
    UpdateStore lookups(db);
    UpdateSummary s;
    auto readAhead = [&](const std::vector<UpdateRow>& block) {
        lookups.readAhead(blockKeys(run, block));
    };
    walkReviewInBlocks(db, filter, readAhead, [&](const UpdateRow& row) {
        long long code = 0;
        RowFate fate = rowFate(run, lookups, row, code);
        switch (fate) {
            case RowFate::Update:
                ++s.rowsToUpdate;
                countPrice(run, lookups, row, code, s);
                if (settings.kpre && writesPrice(run, row)) noteBelowCost(run, row, s);
                break;
            case RowFate::Create:
                ++s.articlesToCreate;
                noteBelowCost(run, row, s);
                break;
            default:
                s.unwritten.push_back(unwrittenRowOf(row, fate));
        }
    });
    return s;
}

std::string unwrittenList(const std::vector<UnwrittenRow>& rows) {
    if (rows.empty()) return "";
    return listed("Righe non scritte nel listino", rows, [](const UnwrittenRow& r) {
        return (r.ean.empty() ? std::string("(senza EAN)") : r.ean) + " " + r.descrizione + ": " +
               r.motivo;
    });
}

std::string belowCostList(const std::vector<BelowCostRow>& rows) {
    return listed("Nuovi prezzi sotto il costo IVA compresa", rows, [](const BelowCostRow& r) {
        const std::string code =
            r.codart != 0 ? std::to_string(r.codart) : "nuovo" + (r.ean.empty() ? "" : " " + r.ean);
        return code + " " + r.descrizione + ": prezzo " + amountText(r.price) +
               ", costo IVA compresa " + amountText(r.cost);
    });
}

std::string summaryText(const UpdateSummary& s) {
    std::string out = "Righe da aggiornare: " + std::to_string(s.rowsToUpdate) +
                      "\n  prezzo di vendita aumentato: " + std::to_string(s.pricesRaised) +
                      "\n  prezzo di vendita diminuito: " + std::to_string(s.pricesLowered) +
                      "\n  prezzo di vendita invariato: " + std::to_string(s.pricesUnchanged) +
                      "\n" + belowCostList(s.belowCost) +
                      "\nArticoli nuovi da creare: " + std::to_string(s.articlesToCreate);
    out += "\n" + (s.unwritten.empty() ? std::string("Righe non scritte nel listino: 0")
                                       : unwrittenList(s.unwritten));
    return out;
}

UpdateResult applyUpdateAfterSummary(AppState& state, store::Database& db,
                                     const UpdateSettings& settings, const ReviewFilter& filter,
                                     Messages& messages, Progress& progress) {
    if (settings.CreaLisForn) return applyUpdate(state, db, settings, filter, messages, progress);
    // Taken before the summary is counted: rows changed after it then stop the update, rather
    // than an update of rows the summary did not show.
    const WorkTableMark shown = reviewMark(db, filter);
    std::string text = summaryText(summarizeUpdate(state, db, settings, filter));
    if (messages.ask(text + "\n\n" + kSummaryQuestion, kSummaryTitle, Icon::Question, Answer::No) !=
        Answer::Yes)
        return {};
    return applyUpdate(state, db, settings, filter, messages, progress, &shown);
}

}  // namespace cl::review
