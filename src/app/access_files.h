#pragma once
#include <filesystem>
#include <string>

#include "app/interfaces.h"
#include "store/access_import.h"
#include "store/schema.h"

namespace cl {

// The mdbtools folder: $CONTROLLO_LISTINO_MDBTOOLS, else PATH (empty result).
std::filesystem::path mdbtoolsDir();

// "Il file ... è un database Access. Convertirlo ora? L'originale resta accanto come ..."
std::string conversionQuestion(const std::string& shownName, const std::filesystem::path& file);
// What a finished conversion tells the operator (tables, rows, where the original is, notes).
std::string conversionSummary(const std::string& shownName, const std::filesystem::path& file,
                              const store::ImportReport& report);

// How a database of the kind is converted: checked against the program's schema, shown on the
// progress bar (0..20000) and in "importw".
store::ImportOptions conversionOptions(const std::string& shownName, store::DatabaseKind kind,
                                       Progress* progress);

// Called before a database of the program is opened. An Access file found there is converted
// in place (the original kept beside it) once the operator agrees; a delivery of the fixed-path
// article database is converted without asking. Returns false when the operator declined (the
// opener then refuses the file with its message); any other file is left to the opener.
bool ensureSqlite(const std::filesystem::path& file, const std::string& shownName,
                  store::DatabaseKind kind, Messages* messages, Progress* progress,
                  bool delivery = false);

}  // namespace cl
