#include <iostream>

#include "app/access_files.h"
#include "app/server_delivery.h"
#include "cli/cli.h"
#include "store/database.h"

namespace cl::cli {
namespace {

bool looksLikeWindowsPath(const std::string& p) {
    return p.size() >= 3 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':' &&
           p[2] == '\\';
}

void printReport(const store::ImportReport& report) {
    for (const auto& t : report.tables) std::cout << "  " << t.name << ": " << t.rows << " righe\n";
}

// On a server the databases are schemas: the Access file's rows take the place of those of the
// database of its kind there. The delivery at the article database's fixed path is taken as the
// runs take it (the original kept beside); any other file stays as it is.
int importIntoServer(Context& ctx, const std::filesystem::path& source, const std::string& given,
                     store::ImportOptions options, CliProgress& progress) {
    if (ctx.messages.ask("Il file " + given +
                             " è un database Access. Caricarne i dati sul server al posto di "
                             "quelli del database corrispondente (negozio, articoli centrali o "
                             "suite)?",
                         "Database Access", Icon::Question, Answer::No) != Answer::Yes)
        throw Error("Nulla è stato cambiato. Per caricare " + given +
                    " sul server ripetere il comando con --yes; per scriverne una copia SQLite "
                    "indicare --to PERCORSO.");
    std::error_code ec;
    if (std::filesystem::equivalent(source, ctx.session.host(ctx.session.state.nomedb_fisso), ec)) {
        deliverToServer(ctx.session.server, source, given, &ctx.messages, &progress);
        return kDone;
    }
    options.validate = true;
    auto report = loadIntoServer(ctx.session.server, source, options, &progress);
    printReport(report);
    std::cout << "Caricato il file " << given << " sul server nel "
              << store::describe(report.kind.value_or(store::DatabaseKind::Store)) << ": "
              << report.tables.size() << " tabelle, " << report.rows() << " righe.\n";
    for (const auto& note : report.notes) std::cout << note << "\n";
    return kDone;
}

int runImportMdb(Context& ctx, const Args& args) {
    if (args.positional().size() != 1) throw UsageError{"indicare un solo file Access"};
    const std::string given = args.positional()[0];
    std::filesystem::path source = given;
    if (!std::filesystem::exists(source) && looksLikeWindowsPath(given))
        source = ctx.session.host(given);

    CliProgress progress;
    store::ImportOptions options;
    options.toolDir = mdbtoolsDir();
    options.shownName = given;
    options.progress = [&progress](const std::string&, long long done, long long total) {
        progress.setBar(total > 0 ? static_cast<int>(done * 20000 / total) : 0);
    };

    if (auto to = args.value("to")) {
        auto target = ctx.session.host(*to);
        std::error_code ec;
        if (!std::filesystem::equivalent(source, target, ec)) {
            progress.showBar(true);
            auto report = store::importAccess(source, target, options);
            progress.showBar(false);
            printReport(report);
            std::cout << "Convertito il file " << given << " in " << *to << " (" << target.string()
                      << "): " << report.tables.size() << " tabelle, " << report.rows()
                      << " righe.\n";
            for (const auto& note : report.notes) std::cout << note << "\n";
            return kDone;
        }
    }

    auto kind = store::fileKind(source);
    if (kind == store::FileKind::Missing)
        throw Error("Attenzione ... File " + given + "  non esiste ", ErrorKind::NotFound);
    if (kind == store::FileKind::Special)
        throw Error("Attenzione ... " + given +
                        " non è un file normale (è una FIFO, un socket o un dispositivo): nulla da "
                        "convertire.",
                    ErrorKind::InvalidInput);
    if (kind != store::FileKind::Access)
        throw Error("Attenzione ... Il file " + given + " non è un database Access: " +
                        (kind == store::FileKind::SQLite ? "è già un database SQLite."
                                                         : "nulla da convertire."),
                    ErrorKind::InvalidInput);
    if (ctx.session.onServer()) return importIntoServer(ctx, source, given, options, progress);
    if (ctx.messages.ask(conversionQuestion(given, source), "Database Access", Icon::Question,
                         Answer::No) != Answer::Yes)
        throw Error("Nulla è stato cambiato. Per convertire " + given +
                    " al suo posto ripetere il comando con --yes; per scrivere il database "
                    "convertito altrove indicare --to PERCORSO.");
    progress.showBar(true);
    auto report = store::replaceWithSqlite(source, options);
    progress.showBar(false);
    printReport(report);
    std::cout << conversionSummary(given, source, report) << "\n";
    return kDone;
}

Registration reg{{"import-mdb",
                  "SOURCE [--to PERCORSO_WINDOWS]",
                  "converte un database Access (Jet 3/4, ACE) in un database SQLite del programma; "
                  "senza --to lo sostituisce al suo posto (chiede conferma, --yes) e conserva "
                  "l'originale come NOME.access",
                  {"to"},
                  {},
                  runImportMdb}};

}  // namespace
}  // namespace cl::cli
