#include "demo/demo_store.h"

#include "app/clock.h"
#include "demo/demo_write.h"
#include "store/error.h"

namespace cl::demo {

namespace fs = std::filesystem;

namespace {

struct Planned {
    DemoFile file;
    fs::path temp, old;  // no temp: a file of the old store that only goes
    bool replaced = false;
};

void refuseExisting(const std::vector<Planned>& plan, bool replace) {
    for (const auto& p : plan) {
        auto kind = store::fileKind(p.file.host);
        if (kind == store::FileKind::Missing) continue;
        if (!replace)
            throw Error("Attenzione ... Il file " + p.file.windowsPath +
                        " esiste già: il negozio di prova non viene creato. Per sostituire i "
                        "database esistenti usare --force.");
        if (kind == store::FileKind::Access)
            throw Error("Attenzione ... Il file " + p.file.windowsPath +
                        " è un database Access: non viene sostituito dal negozio di prova.");
        if (kind == store::FileKind::Directory)
            throw Error("Attenzione ... " + p.file.windowsPath +
                        " è una cartella: il negozio di prova non viene creato.");
    }
}

void removeTemps(const std::vector<Planned>& plan) {
    std::error_code ec;
    for (const auto& p : plan)
        if (!p.temp.empty()) fs::remove(p.temp, ec);
}

// Old files step aside, the new ones take their place; on a failure the old ones come back.
void moveIntoPlace(std::vector<Planned>& plan) {
    size_t moved = 0;
    try {
        for (auto& p : plan) {
            if (fs::exists(p.file.host)) {
                fs::rename(p.file.host, p.old);
                p.replaced = true;
            }
        }
        for (; moved < plan.size(); ++moved)
            if (!plan[moved].temp.empty()) fs::rename(plan[moved].temp, plan[moved].file.host);
    } catch (const fs::filesystem_error& e) {
        std::error_code ec;
        for (size_t i = 0; i < moved; ++i) fs::remove(plan[i].file.host, ec);
        for (auto& p : plan)
            if (p.replaced) fs::rename(p.old, p.file.host, ec);
        removeTemps(plan);
        throw Error(std::string("Attenzione ... Impossibile mettere al loro posto i database di "
                                "prova: ") +
                        e.what(),
                    ErrorKind::ReadOnly);
    }
    std::error_code ec;
    for (auto& p : plan)
        if (p.replaced) fs::remove(p.old, ec);
}

std::vector<Planned> planFiles(Session& session) {
    const std::string drive(1, session.mapper().currentDrive());
    std::vector<std::string> paths{demoStorePath(session.mapper().currentDrive()),
                                   session.state.nomedb_fisso, drive + ":\\ostrel\\tramel.mdb",
                                   drive + ":\\ostrel\\client.mdb"};
    std::vector<Planned> plan;
    for (const auto& w : paths) {
        Planned p;
        p.file = {w, session.host(w)};
        p.temp = p.file.host.string() + ".demo-nuovo";
        p.old = p.file.host.string() + ".demo-vecchio";
        plan.push_back(p);
    }
    // The journal of the old store's updates (and its rollback file) would tell of updates the
    // new store never had.
    const std::string folder = paths[0].substr(0, paths[0].rfind('\\') + 1);
    for (const char* name : {"DATI.history", "DATI.history-journal"}) {
        Planned p;
        p.file = {folder + name, session.host(folder + name)};
        p.old = p.file.host.string() + ".demo-vecchio";
        plan.push_back(p);
    }
    return plan;
}

}  // namespace

std::string demoStorePath(char drive) {
    return std::string(1, drive) + ":\\negozio\\dati\\DATI.MDB";
}

DemoSummary createDemo(Session& session, const DemoOptions& options, bool replace,
                       Progress& progress) {
    auto plan = planFiles(session);
    refuseExisting(plan, replace);

    DemoSummary summary;
    progress.setText("demo", "Preparazione articoli");
    summary.model = buildDemoModel(options, todayIso());
    try {
        for (const auto& p : plan) {
            fs::create_directories(p.file.host.parent_path());
            if (!p.temp.empty()) fs::remove(p.temp);
        }
        progress.showBar(true);
        progress.setText("demo", "Database del negozio");
        writeStoreDatabase(plan[0].temp, summary.model, progress);
        progress.setText("demo", "Database articoli centrale");
        writeFixedDatabase(plan[1].temp, summary.model, progress);
        progress.showBar(false);
        writeSuiteDatabase(plan[2].temp, plan[0].file.windowsPath);
        writeSuiteDatabase(plan[3].temp, plan[0].file.windowsPath);
    } catch (const fs::filesystem_error& e) {
        progress.showBar(false);
        removeTemps(plan);
        throw Error(
            std::string("Attenzione ... Impossibile creare i database di prova: ") + e.what(),
            ErrorKind::ReadOnly);
    } catch (...) {
        progress.showBar(false);
        removeTemps(plan);
        throw;
    }
    moveIntoPlace(plan);
    summary.model.articles.clear();
    for (const auto& p : plan)
        if (!p.temp.empty()) summary.files.push_back(p.file);
    return summary;
}

}  // namespace cl::demo
