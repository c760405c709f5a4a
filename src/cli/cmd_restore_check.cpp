#include <cstdio>
#include <iostream>

#include "app/numbers.h"
#include "cli/check_list.h"
#include "cli/cli.h"
#include "history/journal.h"
#include "history/restore_check.h"

namespace cl::cli {

int printChecks(Context& ctx) {
    ctx.locate();
    auto storeFile = ctx.session.host(ctx.session.state.nomedb);
    std::vector<history::CheckSummary> checks;
    if (history::journalExists(ctx.session)) {
        // Only read: a journal without checks yet stays as it is.
        auto db = ctx.session.openStore(false, store::OpenMode::ReadOnly);
        db->attach(history::historyFileFor(storeFile), history::kHistorySchema,
                   store::OpenMode::ReadOnly);
        if (db->tableExists("check_runs", history::kHistorySchema))
            checks = history::listChecks(*db);
    }
    if (checks.empty()) {
        std::cout << "Nessun controllo registrato.\n";
        return kDone;
    }
    std::printf("%5s  %-16s  %-30s  %9s  %7s  %s\n", "Contr", "Data", "Fornitore", "Azzerati",
                "Righe", "Opzioni");
    for (const auto& c : checks) {
        std::string supplier = std::to_string(c.supplier) + " " + c.supplierName;
        const std::string restored =
            c.restored() ? "  (ripristinato il " + formatDateTime(c.restoredAt) + ")" : "";
        std::printf("%5lld  %-16s  %-30.30s  %9lld  %7lld  %s — %s%s\n", c.id,
                    formatDateTime(c.at).c_str(), supplier.c_str(), c.cleared, c.written,
                    c.kind.c_str(), c.options.c_str(), restored.c_str());
    }
    return kDone;
}

namespace {

int runRestoreCheck(Context& ctx, const Args& args) {
    if (!args.positional().empty()) throw UsageError{"argomenti inattesi"};
    std::optional<long long> run;
    if (auto text = args.value("run")) {
        auto n = wholeNumber(*text);
        if (!n || *n <= 0) throw UsageError{"--run vuole il numero di un controllo: " + *text};
        run = *n;
    }
    ctx.locate();
    if (history::restoreCheck(ctx.session, run, ctx.messages)) return kDone;
    std::cerr << "Controllo non ripristinato: nessuna modifica.\n";
    return kFailed;
}

Registration reg{{"restore-check",
                  "[--run ID]",
                  "\"Ripristina ultimo controllo\": segna di nuovo come variati gli articoli "
                  "azzerati dall'ultimo controllo (o da quello indicato); chiede conferma",
                  {"run"},
                  {},
                  runRestoreCheck}};

}  // namespace
}  // namespace cl::cli
