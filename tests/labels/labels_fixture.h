#pragma once
#include <gtest/gtest.h>

#include <functional>

#include "app/clock.h"
#include "history/journal.h"
#include "support/temp_store.h"

namespace cl::test {

// A store with a bread, a bottle of oil sold by content, a mozzarella on offer and a ham sold
// by weight, and an update that changes their prices (barcodes too) and creates one article.
struct LabelsStore : ::testing::Test {
    TempStore t;
    LabelsStore() {
        setToday("2026-12-08");
        t.exec(
            "INSERT INTO listi01 (codart, desart, przpub, quaco, umquaco, przsal, umart, codrep, "
            "desrep) VALUES "
            "(1, 'PANE', 2.5, 0, '', 0, 'PZ', 1, 'PANETTERIA'),"
            "(2, 'OLIO EXTRA VERGINE', 6.9, 0.5, 'LT', 0, 'PZ', 2, 'DROGHERIA'),"
            "(3, 'MOZZARELLA DI BUFALA', 2.5, 250, 'GR', 1.99, 'PZ', 4, 'LATTICINI'),"
            "(4, 'PROSCIUTTO CRUDO', 21.5, 0, '', 0, 'KG', 5, 'SALUMERIA');"
            "INSERT INTO codean (eanare, codare, prezzo, aggi, primasecon) VALUES "
            "('8000000000019', 1, 2.5, 'A', 'P'), ('8000000000026', 2, 6.9, 'A', 'P'),"
            "('8000000000033', 3, 2.5, 'A', 'P'), ('2100051000009', 4, 21.5, 'A', 'P');"
            "INSERT INTO unitam (coduni, fatxmul, umrife) VALUES ('LT', 1, 'LT'), ('KG', 1, "
            "'KG'), ('GR', 1000, 'KG');");
    }
    ~LabelsStore() override { setToday(""); }

    // The writes of an update, made through the run's journal as the update makes them.
    long long journaled(const std::function<void(history::Journal&)>& writes) {
        auto db = t.session.openStore();
        history::Journal journal(*db, t.storeFile());
        store::Transaction tx(*db);
        long long run = journal.beginRun({"Aggiorna", 12, "FORNITORE SPA", "kpre"});
        writes(journal);
        journal.endRun();
        tx.commit();
        return run;
    }

    // Bread and its barcode stay; the others change price; a new article with a new barcode.
    long long update() {
        return journaled([](history::Journal& j) {
            j.updateRows("listi01", {{"przpub", 7.14}}, " WHERE codart = 2");
            j.updateRows("listi01", {{"przpub", 2.7}}, " WHERE codart = 3");
            j.updateRows("listi01", {{"przpub", 19.9}}, " WHERE codart = 4");
            j.updateRows("codean", {{"prezzo", 7.14}}, " WHERE codare = 2");
            j.updateRows("codean", {{"prezzo", 2.7}}, " WHERE codare = 3");
            j.updateRows("codean", {{"prezzo", 19.9}}, " WHERE codare = 4");
            j.insertRow("listi01", {{"codart", 5},
                                    {"desart", "=SOMMA(A1:A9) \"BISCOTTI\"; FROLLINI"},
                                    {"przpub", 3.1},
                                    {"umart", "PZ"},
                                    {"codrep", 2},
                                    {"desrep", "DROGHERIA"}});
            j.insertRow("codean", {{"eanare", "8000000000040"},
                                   {"codare", 5},
                                   {"prezzo", 3.1},
                                   {"aggi", "A"},
                                   {"primasecon", "P"}});
        });
    }
};

}  // namespace cl::test
