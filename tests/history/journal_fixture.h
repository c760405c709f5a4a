#pragma once
#include <gtest/gtest.h>

#include "app/clock.h"
#include "history/journal.h"
#include "support/temp_store.h"

namespace cl {

using history::Journal;

// Every row with every value quoted, so that 12 and 12.0 or '' and NULL differ.
inline std::string typedDump(test::TempStore& t, const std::string& table) {
    auto dbConnection = store::openDatabase(t.storeFile());
    store::Database& db = *dbConnection;
    std::string cols;
    for (const auto& c : db.columns(table)) cols += ", quote(\"" + c + "\")";
    auto st = db.prepare("SELECT rowid" + cols + " FROM \"" + table + "\" ORDER BY rowid");
    std::string out;
    while (st.step()) {
        for (int i = 0; i < st.columnCount(); ++i) out += st.value(i).text() + "|";
        out += "\n";
    }
    return out;
}

inline std::string allTables(test::TempStore& t) {
    std::string out;
    for (const auto& table : history::journaledTables()) out += table + ":\n" + typedDump(t, table);
    return out;
}

struct JournalTest : ::testing::Test {
    test::TempStore t;
    JournalTest() {
        setToday("2026-12-08");
        t.exec(
            "INSERT INTO listi01 (codart, desart, cofart, przpub, prztot, umart, marg) VALUES "
            "(1, 'PANE', 1.1, 2.5, 0, 'PZ', 10.5), (2, 'LATTE DELL''ORTO', 0.8, 1.29, 1.29, 'LT', "
            "20);"
            "INSERT INTO codean (eanare, codare, prezzo, primasecon) VALUES "
            "('8000000000017', 1, 2.5, 'P'), ('8000000000024', 2, 1.29, 'P');"
            "INSERT INTO variatil (bns, codart, desart, prezpubv, percdiff) VALUES "
            "(1, 1, 'PANE', 2.7, 8.123456789012345), (2, 0, 'NUOVO', 3.1, 100);"
            "INSERT INTO unitam (coduni, fatxmul, umrife) VALUES ('LT', 1, 'LT');");
    }
    ~JournalTest() override { setToday(""); }

    // What an update does: prices changed, an article and its barcode created, a barcode moved,
    // a supplier row and header added, the review rows consumed.
    // With the article database attached too, as the command line's update has it.
    long long update(const std::string& extraSql = "", bool articleDatabase = false) {
        auto db = t.session.openStore(articleDatabase);
        Journal journal(*db, t.storeFile());
        store::Transaction tx(*db);
        long long run = journal.beginRun({"Aggiorna", 12, "FORNITORE SPA", "kpre"});
        db->exec(
            "UPDATE listi01 SET przpub = 2.7, cofart = 1.2, datagg = '2026-12-08' WHERE codart = 1;"
            "UPDATE listi01 SET desart = 'LATTE INTERO' WHERE codart = 2;"
            "INSERT INTO listi01 (codart, desart, przpub, prztot, umart, quaco, umquaco) "
            "VALUES (3, 'NUOVO', 3.1, 6.2, 'PZ', 0.5, 'LT');"
            "INSERT INTO codean (eanare, codare, prezzo) VALUES ('8000000000031', 3, 3.1);"
            "UPDATE codean SET codare = 3 WHERE eanare = '8000000000024';"
            "INSERT INTO listi02 (codlis, codafo, codart) VALUES ('000012', '000000003       ', 3);"
            "INSERT INTO fistini (codlis, dsclistino) VALUES ('000012', 'FORNITORE SPA');"
            "DELETE FROM variatil;" +
            extraSql);
        journal.endRun();
        tx.commit();
        return run;
    }
};

}  // namespace cl
