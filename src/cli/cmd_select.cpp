#include <iostream>

#include "app/numbers.h"
#include "cli/review_session.h"
#include "review/review_commands.h"

namespace cl::cli {
namespace {

long long selectedIn(store::Database& db, review::ReviewFilter view) {
    view.selectedOnly = true;
    return review::countViewRows(db, view);
}

int runSelect(Context& ctx, const Args& args) {
    if (args.positional().size() != 1) throw UsageError{"indicare all, none, changed o increased"};
    const std::string what = args.positional().front();
    if (what != "all" && what != "none" && what != "changed" && what != "increased")
        throw UsageError{"selezione sconosciuta: " + what};
    auto s = openReviewSession(ctx, ctx.messages);
    auto& review = *s->review;
    if (what == "all") {
        std::cout << "Seleziona Tutti: " << review.selectAllRows() << " righe selezionate.\n";
    } else if (what == "none") {
        std::cout << "Deseleziona Tutti: " << review.deselectAllRows() << " righe deselezionate.\n";
    } else {
        long long n =
            what == "changed" ? review.selectChangedPrices() : review.selectRaisedPrices();
        std::cout << (what == "changed" ? "Seleziona Solo PV Variati: "
                                        : "Seleziona solo PV aumentati: ")
                  << n << " righe esaminate, " << selectedIn(*s->db, review.state().base())
                  << " selezionate.\n";
    }
    return kDone;
}

int runToggle(Context& ctx, const Args& args) {
    if (args.positional().empty()) throw UsageError{"indicare almeno un bns"};
    std::vector<long long> keys;
    for (const auto& word : args.positional()) {
        auto n = wholeNumber(word);
        if (!n) throw UsageError{"bns non valido: " + word};
        keys.push_back(*n);
    }
    auto s = openReviewSession(ctx, ctx.messages);
    review::toggleSelections(*s->db, keys);
    for (long long bns : keys) {
        auto st = s->db->prepare("SELECT sel FROM variatil WHERE bns = ? ORDER BY " +
                                 s->db->rowIdentity() + " LIMIT 1");
        st.bindAll(bns);
        bool selected = st.step() && st.text("sel") == "X";
        st.reset();
        std::cout << "bns " << bns << ": " << (selected ? "selezionata" : "deselezionata") << "\n";
    }
    return kDone;
}

Registration regSelect{{"select",
                        "all|none|changed|increased",
                        "Seleziona Tutti / Deseleziona Tutti / Solo PV Variati / Solo PV aumentati",
                        {},
                        {},
                        runSelect}};
Registration regToggle{
    {"toggle", "BNS...", "inverte la selezione (Sel) delle righe indicate", {}, {}, runToggle}};

}  // namespace
}  // namespace cl::cli
