#pragma once
#include <gtest/gtest.h>

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

    long long journaled(const std::string& sql) {
        auto db = t.session.openStore();
        history::Journal journal(*db, t.storeFile());
        store::Transaction tx(*db);
        long long run = journal.beginRun({"Aggiorna", 12, "FORNITORE SPA", "kpre"});
        db->exec(sql);
        journal.endRun();
        tx.commit();
        return run;
    }

    // Bread and its barcode stay; the others change price; a new article with a new barcode.
    long long update() {
        return journaled(
            "UPDATE listi01 SET przpub = 7.14 WHERE codart = 2;"
            "UPDATE listi01 SET przpub = 2.7 WHERE codart = 3;"
            "UPDATE listi01 SET przpub = 19.9 WHERE codart = 4;"
            "UPDATE codean SET prezzo = 7.14 WHERE codare = 2;"
            "UPDATE codean SET prezzo = 2.7 WHERE codare = 3;"
            "UPDATE codean SET prezzo = 19.9 WHERE codare = 4;"
            "INSERT INTO listi01 (codart, desart, przpub, umart, codrep, desrep) VALUES "
            "(5, '=SOMMA(A1:A9) \"BISCOTTI\"; FROLLINI', 3.1, 'PZ', 2, 'DROGHERIA');"
            "INSERT INTO codean (eanare, codare, prezzo, aggi, primasecon) VALUES "
            "('8000000000040', 5, 3.1, 'A', 'P');");
    }
};

}  // namespace cl::test
