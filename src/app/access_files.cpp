#include "app/access_files.h"

#include <cstdlib>

#include "store/database.h"

namespace cl {

std::filesystem::path mdbtoolsDir() {
    const char* dir = std::getenv("CONTROLLO_LISTINO_MDBTOOLS");
    return dir && *dir ? std::filesystem::path(dir) : std::filesystem::path();
}

std::string conversionQuestion(const std::string& shownName, const std::filesystem::path& file) {
    return "Il file " + shownName +
           " è un database Access. Convertirlo ora? L'originale resta "
           "accanto come " +
           store::keptOriginal(file).filename().string() + ".";
}

std::string conversionSummary(const std::string& shownName, const std::filesystem::path& file,
                              const store::ImportReport& report) {
    std::string text = "Convertito il file " + shownName + ": " +
                       std::to_string(report.tables.size()) + " tabelle, " +
                       std::to_string(report.rows()) +
                       " righe. L'originale Access è conservato "
                       "come " +
                       store::keptOriginal(file).filename().string() + ".";
    for (const auto& note : report.notes) text += "\n" + note;
    return text;
}

// Shows the copy on the progress bar (0..20000, as the runs use it) and the table in "importw".
store::ImportOptions conversionOptions(const std::string& shownName, store::DatabaseKind kind,
                                       Progress* progress) {
    store::ImportOptions options;
    options.toolDir = mdbtoolsDir();
    options.kind = kind;
    options.validate = true;
    options.shownName = shownName;
    if (progress)
        options.progress = [progress, shownName](const std::string& table, long long done,
                                                 long long total) {
            progress->setText("importw", "Conversione di " + shownName + ": tabella " + table);
            progress->setBar(total > 0 ? static_cast<int>(done * 20000 / total) : 0);
        };
    return options;
}

bool ensureSqlite(const std::filesystem::path& file, const std::string& shownName,
                  store::DatabaseKind kind, Messages* messages, Progress* progress, bool delivery) {
    if (store::fileKind(file) != store::FileKind::Access) return true;
    if (!delivery) {
        if (!messages) return false;
        if (messages->ask(conversionQuestion(shownName, file), "Database Access", Icon::Question,
                          Answer::No) != Answer::Yes)
            return false;
    }
    if (progress) progress->showBar(true);
    store::ImportReport report;
    try {
        report = store::replaceWithSqlite(file, conversionOptions(shownName, kind, progress));
    } catch (...) {
        if (progress) progress->showBar(false);
        throw;
    }
    if (progress) progress->showBar(false);
    if (messages) {
        std::string text = conversionSummary(shownName, file, report);
        if (delivery) text = "Nuova fornitura del " + store::describe(kind) + ". " + text;
        messages->show(text, Icon::Information);
    }
    return true;
}

}  // namespace cl
