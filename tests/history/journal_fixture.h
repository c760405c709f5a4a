#pragma once
#include <gtest/gtest.h>

#include <functional>

#include "app/clock.h"
#include "history/journal.h"
#include "support/temp_store.h"
#include "support/typed_rows.h"

namespace cl {

using history::Journal;

// Every row with every value's kind kept, so that 12 and 12.0 or '' and NULL differ.
inline std::string typedDump(test::TempStore& t, const std::string& table) {
    auto dbConnection = t.openStoreDb();
    return test::typedTable(*dbConnection, table);
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
    // a supplier row and header added, the review rows consumed; then `extra`.
    // With the article database attached too, as the command line's update has it.
    using Writes = std::function<void(Journal&, store::Database&)>;
    long long update(const Writes& extra = {}, bool articleDatabase = false) {
        auto db = t.session.openStore(articleDatabase);
        Journal journal(*db, t.storeFile());
        store::Transaction tx(*db);
        long long run = journal.beginRun({"Aggiorna", 12, "FORNITORE SPA", "kpre"});
        journal.updateRows("listi01", {{"przpub", 2.7}, {"cofart", 1.2}, {"datagg", "2026-12-08"}},
                           " WHERE codart = 1");
        journal.updateRows("listi01", {{"desart", "LATTE INTERO"}}, " WHERE codart = 2");
        journal.insertRow("listi01", {{"codart", 3},
                                      {"desart", "NUOVO"},
                                      {"przpub", 3.1},
                                      {"prztot", 6.2},
                                      {"umart", "PZ"},
                                      {"quaco", 0.5},
                                      {"umquaco", "LT"}});
        journal.insertRow("codean", {{"eanare", "8000000000031"}, {"codare", 3}, {"prezzo", 3.1}});
        journal.updateRows("codean", {{"codare", 3}}, " WHERE eanare = '8000000000024'");
        journal.insertRow("listi02",
                          {{"codlis", "000012"}, {"codafo", "000000003       "}, {"codart", 3}});
        journal.insertRow("fistini", {{"codlis", "000012"}, {"dsclistino", "FORNITORE SPA"}});
        journal.deleteRows("variatil", "");
        if (extra) extra(journal, *db);
        journal.endRun();
        tx.commit();
        return run;
    }
};

}  // namespace cl
