#include <cstdio>
#include <iostream>

#include "app/numbers.h"
#include "app/who.h"
#include "cli/check_list.h"
#include "cli/cli.h"
#include "history/journal.h"
#include "history/restore_check.h"

namespace cl::cli {

int printChecks(Context& ctx) {
    ctx.locate();
    std::vector<history::CheckSummary> checks;
    {
        // Only read: a journal without checks yet stays as it is.
        auto db = ctx.session.openStore(false, store::OpenMode::ReadOnly);
        if (history::attachHistoryToRead(ctx.session, *db)) checks = history::listChecks(*db);
    }
    if (checks.empty()) {
        std::cout << "Nessun controllo registrato.\n";
        return kDone;
    }
    std::printf("%5s  %-16s  %-30s  %9s  %7s  %-24s  %s\n", "Contr", "Data", "Fornitore",
                "Azzerati", "Righe", "Eseguito da", "Opzioni");
    for (const auto& c : checks) {
        std::string supplier = std::to_string(c.supplier) + " " + c.supplierName;
        std::string restored;
        if (c.restored()) {
            const std::string who = describeWho(c.restoredByUser, c.restoredByPc);
            restored = "  (ripristinato il " + formatDateTime(c.restoredAt) +
                       (who.empty() ? "" : " da " + who) + ")";
        }
        std::printf("%5lld  %-16s  %-30.30s  %9lld  %7lld  %-24s  %s — %s%s\n", c.id,
                    formatDateTime(c.at).c_str(), supplier.c_str(), c.cleared, c.written,
                    describeWho(c.byUser, c.byPc).c_str(), c.kind.c_str(), c.options.c_str(),
                    restored.c_str());
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
    // A script decides beforehand: --yes must not mark again prices fixed by hand.
    if (history::restoreCheck(ctx.session, run, ctx.messages, args.flag("include-applied")))
        return kDone;
    std::cerr << "Controllo non ripristinato: nessuna modifica.\n";
    return kFailed;
}

Registration reg{{"restore-check",
                  "[--run ID] [--include-applied]",
                  "\"Ripristina ultimo controllo\": segna di nuovo come variati gli articoli "
                  "azzerati dall'ultimo controllo (o da quello indicato); chiede conferma. Gli "
                  "articoli aggiornati dopo il controllo restano come sono, salvo "
                  "--include-applied",
                  {"run"},
                  {"include-applied"},
                  runRestoreCheck}};

}  // namespace
}  // namespace cl::cli
