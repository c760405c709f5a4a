#include "update/update_summary.h"

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
        ++s.invariati;
    else if (now > stored)
        ++s.aumentati;
    else
        ++s.diminuiti;
}

bool belowCost(const UpdateRun& run, const UpdateRow& row) {
    double cost = freshWorkArea(run, row).gcosiva;
    return cost > 0 && row.prezzoN.number() < cost;
}

constexpr size_t kListed = 50;

}  // namespace

UpdateSummary riepilogoAggiornamento(AppState& state, store::Database& db,
                                     const UpdateSettings& settings, const ReviewFilter& filter) {
    NullProgress progress;
    struct Silent : Messages {
        void show(const std::string&, Icon, const std::string&) override {}
        Answer ask(const std::string&, const std::string&, Icon, Answer a) override { return a; }
    } silent;
    UpdateRun run = startRun(state, db, settings, silent, progress);
    UpdateStore lookups(db);
    UpdateSummary s;
    walkReview(db, filter, [&](const UpdateRow& row) {
        long long code = 0;
        RowFate fate = destinoRiga(run, lookups, row, code);
        switch (fate) {
            case RowFate::Update:
                ++s.daAggiornare;
                countPrice(run, lookups, row, code, s);
                if (settings.kpre && writesPrice(run, row) && belowCost(run, row)) ++s.sottoCosto;
                break;
            case RowFate::Create:
                ++s.daCreare;
                if (belowCost(run, row)) ++s.sottoCosto;
                break;
            default:
                s.nonScritte.push_back(rigaNonScritta(row, fate));
        }
    });
    return s;
}

std::string elencoNonScritte(const std::vector<RigaNonScritta>& rows) {
    if (rows.empty()) return "";
    std::string out = "Righe non scritte nel listino: " + std::to_string(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i == kListed) {
            out += "\n  ... e altre " + std::to_string(rows.size() - kListed) + " righe";
            break;
        }
        const auto& r = rows[i];
        out += "\n  - " + (r.ean.empty() ? std::string("(senza EAN)") : r.ean) + " " +
               r.descrizione + ": " + r.motivo;
    }
    return out;
}

std::string testoRiepilogo(const UpdateSummary& s) {
    std::string out =
        "Righe da aggiornare: " + std::to_string(s.daAggiornare) +
        "\n  prezzo di vendita aumentato: " + std::to_string(s.aumentati) +
        "\n  prezzo di vendita diminuito: " + std::to_string(s.diminuiti) +
        "\n  prezzo di vendita invariato: " + std::to_string(s.invariati) +
        "\nNuovi prezzi sotto il costo IVA compresa: " + std::to_string(s.sottoCosto) +
        "\nArticoli nuovi da creare: " + std::to_string(s.daCreare);
    out += "\n" + (s.nonScritte.empty() ? std::string("Righe non scritte nel listino: 0")
                                        : elencoNonScritte(s.nonScritte));
    return out;
}

UpdateResult aggiornaDopoRiepilogo(AppState& state, store::Database& db,
                                   const UpdateSettings& settings, const ReviewFilter& filter,
                                   Messages& messages, Progress& progress) {
    if (settings.CreaLisForn) return aggiorna(state, db, settings, filter, messages, progress);
    // Taken before the summary is counted: rows changed after it then stop the update, rather
    // than an update of rows the summary did not show.
    const WorkTableMark shown = reviewMark(db, filter);
    std::string text = testoRiepilogo(riepilogoAggiornamento(state, db, settings, filter));
    if (messages.ask(text + "\n\n" + kRiepilogoDomanda, kRiepilogoTitolo, Icon::Question,
                     Answer::No) != Answer::Yes)
        return {};
    return aggiorna(state, db, settings, filter, messages, progress, &shown);
}

}  // namespace cl::review
