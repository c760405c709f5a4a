#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "app/server_choice.h"
#include "app/server_layout.h"
#include "cli/cli.h"
#include "serverdata/server_connection.h"
#include "serverdata/server_export.h"
#include "serverdata/server_import.h"

namespace cl::cli {
namespace {

// Table by table on stderr: a line updated in place on a terminal, one line per table elsewhere.
class CopyLines {
  public:
    void operator()(const std::string& schema, const std::string& table, long long rows) {
        std::string name = schema + "." + table;
        if (name != current_) finish();
        current_ = name;
        rows_ = rows;
        if (terminal_) std::fprintf(stderr, "\r  %s: %lld righe", name.c_str(), rows);
    }
    void finish() {
        if (current_.empty()) return;
        if (terminal_)
            std::fputs("\n", stderr);
        else
            std::fprintf(stderr, "  %s: %lld righe\n", current_.c_str(), rows_);
        current_.clear();
    }

  private:
    bool terminal_ = isatty(STDERR_FILENO);
    std::string current_;
    long long rows_ = 0;
};

std::string chosenServer(const Context& ctx) {
    if (ctx.session.server.empty())
        throw UsageError{std::string("nessun server indicato: usare --server URL, la variabile ") +
                         kServerVariable + " o la riga \"server = URL\" in " +
                         (ctx.session.mapper().root() / kSettingsFileName).string()};
    return ctx.session.server;
}

std::filesystem::path rootArgument(const Context& ctx, const Args& args) {
    if (args.positional().size() > 2) throw UsageError{"argomenti inattesi"};
    if (args.positional().size() == 2) {
        if (args.positional()[1].empty()) throw UsageError{"cartella radice vuota"};
        return args.positional()[1];
    }
    return ctx.session.mapper().root();
}

void printTables(const serverdata::MoveReport& report) {
    for (const auto& t : report.tables)
        std::cout << "  " << t.schema << "." << t.table << ": " << t.rows << " righe\n";
    for (const auto& t : report.tables)
        for (const auto& column : t.leftOut)
            std::cout << "Nota: la colonna " << column << " della tabella " << t.table
                      << " non ha posto sul server e non è stata copiata.\n";
}

int runInit(Context& ctx, const Args& args) {
    if (args.positional().size() > 1) throw UsageError{"argomenti inattesi"};
    const std::string server = chosenServer(ctx);
    auto db = serverdata::connectServer(server, store::OpenMode::Create);
    createServerLayout(*db);
    std::cout
        << "Server " << serverPlace(server)
        << " pronto: schemi main, fisso, suite e storia creati, con tutte le tabelle vuote.\n";
    return kDone;
}

int runImport(Context& ctx, const Args& args) {
    const std::filesystem::path root = rootArgument(ctx, args);
    const std::string server = chosenServer(ctx);
    Session source(root, ctx.session.mapper().currentDrive());
    source.accessMessages = ctx.session.accessMessages;
    source.accessProgress = ctx.session.accessProgress;
    if (!source.settoDb(ctx.messages)) return kFailed;
    auto db = serverdata::connectServer(server);
    CopyLines lines;
    auto report = serverdata::importStore(*db, serverdata::filesOf(source), std::ref(lines));
    lines.finish();
    std::cout << "Negozio di " << root.string() << " copiato sul server " << serverPlace(server)
              << (report.journal ? ", registro degli aggiornamenti compreso" : "") << ":\n";
    printTables(report);
    return kDone;
}

int runExport(Context& ctx, const Args& args) {
    const std::filesystem::path root = rootArgument(ctx, args);
    const std::string server = chosenServer(ctx);
    auto db = serverdata::connectServer(server);
    CopyLines lines;
    auto report =
        serverdata::exportStore(*db, root, ctx.session.mapper().currentDrive(), std::ref(lines));
    lines.finish();
    std::cout << "Dati del server " << serverPlace(server) << " scritti in " << root.string()
              << ":\n";
    for (const auto& part : serverdata::parts())
        if (part.kind || report.journal)
            std::cout << "  " << part.label << ": " << report.files.of(part).string() << "\n";
    printTables(report);
    return kDone;
}

int runServer(Context& ctx, const Args& args) {
    if (args.positional().empty()) throw UsageError{"manca il comando: init, import o export"};
    const std::string& what = args.positional()[0];
    if (what == "init") return runInit(ctx, args);
    if (what == "import") return runImport(ctx, args);
    if (what == "export") return runExport(ctx, args);
    throw UsageError{"comando sconosciuto: " + what + " (init, import o export)"};
}

Registration reg{{"server",
                  "init | import [ROOT] | export [ROOT]",
                  "sposta un negozio su un server PostgreSQL: init crea le tabelle vuote, import "
                  "vi copia i database di ROOT, export li riscrive come file in ROOT (predefinita: "
                  "--root)",
                  {},
                  {},
                  runServer}};

HelpDetails details{"server",
                    "Il server è quello indicato con --server URL, con la variabile " +
                        std::string(kServerVariable) + " o con la riga \"server = URL\" del file " +
                        kSettingsFileName +
                        " nella cartella radice.\n"
                        "  init    crea gli schemi main, fisso, suite e storia con tutte le "
                        "tabelle, vuote; rifiuta se ci sono già.\n"
                        "  import  copia suite, negozio, articoli centrali e registro degli "
                        "aggiornamenti in una sola transazione,\n"
                        "          controllando le righe di ogni tabella; rifiuta se il server "
                        "contiene già dati.\n"
                        "  export  riscrive i dati del server come file SQLite dove il programma "
                        "li cerca (copia di sicurezza);\n"
                        "          rifiuta se uno dei file esiste già.\n"
                        "Esempio: controllo-listino --server \"host=srv1 dbname=negozio "
                        "user=mario\" server import /percorso/negozio\n"};

}  // namespace
}  // namespace cl::cli
