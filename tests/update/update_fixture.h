#pragma once
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/clock.h"
#include "store/value.h"
#include "support/temp_store.h"
#include "support/test_engine.h"
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
    // The values of each row joined by `sep`, the rows by `rowSep`: what SQL concatenation
    // gives on files ("" for a row holding a null), on either engine.
    std::string joined(const std::string& sql, const std::string& sep = "|",
                       const std::string& rowSep = ",") {
        auto db = ts.openStoreDb();
        auto st = db->prepare(sql);
        std::string out;
        for (bool first = true; st.step(); first = false) {
            std::string row;
            bool hasNull = false;
            for (int i = 0; i < st.columnCount(); ++i) {
                hasNull = hasNull || st.value(i).isNull();
                row += (i ? sep : "") + concatText(st.value(i));
            }
            out += (first ? "" : rowSep) + (hasNull ? "" : row);
        }
        st.reset();
        return out;
    }
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
    // A value as files concatenate it: a whole stored as a real keeps ".0". A server gives
    // money and reals alike, so there a whole number reads bare.
    static std::string concatText(const store::Value& v) {
        std::string t = v.text();
        if (std::holds_alternative<double>(v.v) && !onServerEngine() &&
            t.find_first_of(".eEn") == std::string::npos)
            t += ".0";
        return t;
    }
    int bns_ = 0;
};

}  // namespace cl::test
