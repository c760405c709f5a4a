#pragma once
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/clock.h"
#include "store/value.h"
#include "support/temp_store.h"
#include "update/update_run.h"

namespace cl::test {

// A store with supplier 12 "ROSSI SPA", today fixed, and helpers to add rows by field.
class UpdateTest : public ::testing::Test {
  protected:
    static constexpr const char* kToday = "2026-12-08";
    using Row = std::map<std::string, store::Value>;

    void SetUp() override {
        setToday(kToday);
        ts.session.state.codice_fornitore = 12;
        ts.session.state.nome_fornitore = std::string("ROSSI SPA") + std::string(36, ' ');
        filter.supplier = 12;
        filter.selectedOnly = true;
        settings.aggcodafo = true;  // as "Aggiorna Listino" leaves it
    }
    void TearDown() override { setToday(""); }

    void insert(const std::string& table, const Row& row, bool fixed = false) {
        std::string cols, marks;
        for (const auto& [k, v] : row) {
            cols += (cols.empty() ? "" : ",") + k;
            marks += marks.empty() ? "?" : ",?";
        }
        // Through the session, so that the rows land where the update reads, on either engine.
        auto dbConnection = ts.session.openStore(fixed);
        store::Database& db = *dbConnection;
        auto st = db.prepare("INSERT INTO " + std::string(fixed ? "fisso." : "") + table + " (" +
                             cols + ") VALUES (" + marks + ")");
        int i = 0;
        for (const auto& [k, v] : row) st.bind(++i, v);
        st.run();
    }
    // A selected review row of supplier 12 with the fields given (others null).
    void variatil(Row row) {
        row.emplace("bns", ++bns_);
        row.emplace("sel", "X");
        row.emplace("codfor", 12);
        insert("variatil", row);
    }
    review::UpdateResult run() {
        auto db = ts.session.openStore(true);
        return review::applyUpdate(ts.session.state, *db, settings, filter, messages, progress);
    }
    std::string q(const std::string& sql) { return ts.scalar(sql); }
    std::string everything() {
        std::string out;
        for (const char* t : {"listi01", "codean", "listi02", "fistini", "variatil"})
            out += std::string(t) + ":\n" + ts.dump(t);
        return out;
    }

    TempStore ts;
    review::UpdateSettings settings = review::settingsAfterReviewLoad(std::nullopt);
    review::ReviewFilter filter;
    RecordingMessages messages;
    RecordingProgress progress;

  private:
    int bns_ = 0;
};

}  // namespace cl::test
