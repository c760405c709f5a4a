#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "app/interfaces.h"
#include "demo/demo_model.h"
#include "store/database.h"

namespace cl::demo {

// One INSERT prepared once and rebound for every row.
class RowInserter {
  public:
    RowInserter(store::Database& db, const std::string& table,
                const std::vector<std::string>& fields);
    void row(const std::vector<store::Value>& values);

  private:
    store::Query statement_;
};

store::Value money(Money m);
store::Value dateOrNull(const std::string& iso);
store::Value textOrNull(const std::string& text);

// Each creates the file with the empty schema and fills it in one transaction.
// Progress: the bar moves over the rows (0..20000 per database written).
void writeStoreDatabase(const std::filesystem::path& file, const DemoModel& model,
                        Progress& progress);
void writeFixedDatabase(const std::filesystem::path& file, const DemoModel& model,
                        Progress& progress);
// The suite database (and its template): one company whose store database is storePath.
void writeSuiteDatabase(const std::filesystem::path& file, const std::string& storePath);

}  // namespace cl::demo
